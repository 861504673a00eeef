# tavrill_devices: frame format and reply decoding, the serial link thread, light control and
# the port locator (which falls back to the in-process virtual board).
add_library(tavrill_devices STATIC
  ${CMAKE_CURRENT_LIST_DIR}/devicecmd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/modbusmaster.cpp
  ${CMAKE_CURRENT_LIST_DIR}/asyncserialportthread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lightctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/serialportlocator.cpp)
target_include_directories(tavrill_devices PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tavrill_devices PUBLIC Qt5::Core Qt5::SerialPort tavrill_platform)
target_link_libraries(tavrill_core INTERFACE tavrill_devices)
