# velmora-cli.exe run as a script would, against the real registry and
# service manager, on the end-to-end session's prepared Catalina home.
velmora_wine_test(cli_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CliFlowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/e2eSession.cpp
  LIBRARIES velmora_window_driver velmora_core)
target_compile_definitions(cli_tests PRIVATE
  VELMORA_EXE="$<TARGET_FILE:velmora>"
  VELMORA_CLI_EXE="$<TARGET_FILE:velmora-cli>"
  VELMORA_WRAPPER_EXE="$<TARGET_FILE:tomcat>"
  VELMORA_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots/cli")
target_link_libraries(cli_tests PRIVATE advapi32 comctl32 gdi32 user32)
add_dependencies(cli_tests velmora velmora-cli tomcat)
set_tests_properties(cli_tests PROPERTIES RUN_SERIAL TRUE)
