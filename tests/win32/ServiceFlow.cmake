# The session's service commands in this process, on the real platform,
# against Wine's service manager with the stand-in wrappers as bin\tomcat.exe
# and bin\tomcat10.exe.
velmora_wine_test(service_flow_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ServiceFlowTest.cpp
  LIBRARIES velmora_core velmora_e2e_support)
target_include_directories(service_flow_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/host)
set_tests_properties(service_flow_tests PROPERTIES RUN_SERIAL TRUE)
