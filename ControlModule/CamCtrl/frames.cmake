# tavrill_frameops: what happens to a 16-bit frame between the camera and the disk (levels,
# focus measure, regions, filters, flat-field references, image files and savers).
set(TAVRILL_FRAMEOPS_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(tavrill_frameops STATIC
  ${TAVRILL_FRAMEOPS_DIR}/frameview.h
  ${TAVRILL_FRAMEOPS_DIR}/histograminfo.cpp
  ${TAVRILL_FRAMEOPS_DIR}/focusmeasure.cpp
  ${TAVRILL_FRAMEOPS_DIR}/flatfieldreferences.cpp
  ${TAVRILL_FRAMEOPS_DIR}/regionofinterest.cpp
  ${TAVRILL_FRAMEOPS_DIR}/imagefilters.cpp
  ${TAVRILL_FRAMEOPS_DIR}/paramimagefile.cpp
  ${TAVRILL_FRAMEOPS_DIR}/imagesaver.cpp
  ${TAVRILL_FRAMEOPS_DIR}/atomicfile.cpp)
target_include_directories(tavrill_frameops PUBLIC ${TAVRILL_FRAMEOPS_DIR})
target_link_libraries(tavrill_frameops PUBLIC tavrill_opencv Qt5::Core Qt5::Gui tavrill_platform)
# The focus sum may be reordered (results agree to rounding) so that sqrt and the row sum vectorise.
set_source_files_properties(${TAVRILL_FRAMEOPS_DIR}/focusmeasure.cpp PROPERTIES
  COMPILE_OPTIONS "-fno-math-errno;-fassociative-math;-fno-signed-zeros;-fno-trapping-math")
target_link_libraries(tavrill_core INTERFACE tavrill_frameops)
