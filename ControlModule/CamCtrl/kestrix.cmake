# Kestrix camera controller: library and camera lifecycle, frame hand-over, frame processing and
# saving. Links the driver library kestrix64 by name.
add_library(tavrill_kestrix STATIC
  ${CMAKE_CURRENT_LIST_DIR}/kestrixctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/kestrixctrl_images.cpp
  ${CMAKE_CURRENT_LIST_DIR}/kestrixframeset.cpp
  ${CMAKE_CURRENT_LIST_DIR}/kestrixprocessing.cpp)
target_include_directories(tavrill_kestrix PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tavrill_kestrix PUBLIC kestrix64 tavrill_options tavrill_frameops tavrill_platform tavrill_opencv
  Qt5::Core Qt5::Gui)
target_link_libraries(tavrill_core INTERFACE tavrill_kestrix)
