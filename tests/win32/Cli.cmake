# velmora-cli.exe run as a script would, against the real registry and
# service manager, on the end-to-end session's prepared Catalina home.
velmora_wine_test(cli_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/CliFlowTest.cpp LIBRARIES velmora_e2e_support)
set_tests_properties(cli_tests PROPERTIES RUN_SERIAL TRUE)
