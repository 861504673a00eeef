# tavrill_lens: the motorised lens behind the USB-to-SMBus bridge and its background threads.
set(TAVRILL_LENS_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(tavrill_lens STATIC
  ${TAVRILL_LENS_DIR}/smbuslensctrl.cpp
  ${TAVRILL_LENS_DIR}/initlensthread.cpp
  ${TAVRILL_LENS_DIR}/focusmovethread.cpp)
target_include_directories(tavrill_lens PUBLIC ${TAVRILL_LENS_DIR})
target_link_libraries(tavrill_lens PUBLIC tavrill_options tavrill_platform_smbus Qt5::Core)
target_link_libraries(tavrill_core INTERFACE tavrill_lens)
