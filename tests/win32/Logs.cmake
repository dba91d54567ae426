# velmora-cli logs against real files a running stand-in service holds open.
velmora_wine_test(logs_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/LogsFlowTest.cpp LIBRARIES velmora_e2e_support)
set_tests_properties(logs_tests PROPERTIES RUN_SERIAL TRUE)
