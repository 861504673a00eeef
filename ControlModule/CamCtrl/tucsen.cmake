# tavrill_tucsen: the Tucsen camera controller, its frame operations and its bring-up threads.
set(TAVRILL_TUCSEN_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(tavrill_tucsen STATIC
  ${TAVRILL_TUCSEN_DIR}/h695icecamctrl.cpp
  ${TAVRILL_TUCSEN_DIR}/h695icecamctrl_frames.cpp
  ${TAVRILL_TUCSEN_DIR}/inith695icecamerathread.cpp
  ${TAVRILL_TUCSEN_DIR}/seth695iceaethread.cpp)
target_include_directories(tavrill_tucsen PUBLIC ${TAVRILL_TUCSEN_DIR})
target_link_libraries(tavrill_tucsen PUBLIC tavrill_options tavrill_frameops tavrill_platform_tucam
  tavrill_platform Qt5::Core)
target_link_libraries(tavrill_core INTERFACE tavrill_tucsen)
