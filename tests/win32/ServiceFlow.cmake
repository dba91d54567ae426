# Install, start, stop and uninstall a configuration through DoConfig against
# Wine's real service manager, with the stand-in wrappers as bin\tomcat.exe
# and bin\tomcat10.exe.
velmora_wine_test(service_flow_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ServiceFlowTest.cpp
  LIBRARIES velmora_memory)
target_include_directories(service_flow_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/host)
target_compile_definitions(service_flow_tests PRIVATE VELMORA_WRAPPER_EXE="$<TARGET_FILE:tomcat>"
  VELMORA_MODERN_WRAPPER_EXE="$<TARGET_FILE:tomcat_modern>")
add_dependencies(service_flow_tests tomcat tomcat_modern)
set_tests_properties(service_flow_tests PROPERTIES RUN_SERIAL TRUE)
