# tavrill_add_test(<name> LABEL <area> SOURCES ... [LIBS ...] [QTTEST] [TIMEOUT s] [RESOURCE_LOCK name] [ENV k=v ...])
# GoogleTest executables link tavrill_gtest_main (a Qt application object and a private
# application directory per process); QTTEST executables bring their own QTEST_MAIN. Every one
# runs on the virtual cabinet, handed in before main() (tavrill_test_cabinet).
# Every test runs offscreen with a short time scale and carries its area's label.
function(tavrill_add_test name)
  cmake_parse_arguments(T "QTTEST" "LABEL;TIMEOUT;RESOURCE_LOCK" "SOURCES;LIBS;ENV" ${ARGN})
  if(NOT T_LABEL)
    message(FATAL_ERROR "tavrill_add_test(${name}): LABEL is required")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tavrill_test_support tavrill_test_cabinet)
  if(T_QTTEST)
    target_link_libraries(${name} PRIVATE Qt5::Test)
  else()
    target_link_libraries(${name} PRIVATE tavrill_gtest_main)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${T_LABEL}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TAVRILL_TIME_SCALE=0.02;ASAN_OPTIONS=detect_leaks=0;${T_ENV}")
  if(T_RESOURCE_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK ${T_RESOURCE_LOCK})
  endif()
endfunction()
