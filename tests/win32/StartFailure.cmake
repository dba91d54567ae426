# Starts that fail under Wine's service manager for real causes, made on the
# machine for the stand-in wrappers and the JVM and Tomcat they stand for,
# and the cause each start is given.
velmora_wine_test(start_failure_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/StartFailureTest.cpp
  LIBRARIES velmora_core velmora_e2e_support)
target_include_directories(start_failure_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/host)
# Each layout waits out one start that never finishes (60 s).
set_tests_properties(start_failure_tests PROPERTIES RUN_SERIAL TRUE TIMEOUT 600)
