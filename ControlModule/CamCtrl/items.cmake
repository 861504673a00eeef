# Painted QML items for live and stored images.
add_library(tavrill_items STATIC
  ${CMAKE_CURRENT_LIST_DIR}/imagepainteditem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/detailimageitem.cpp)
target_include_directories(tavrill_items PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tavrill_items PUBLIC tavrill_options Qt5::Quick)
target_link_libraries(tavrill_core INTERFACE tavrill_items)
