# velmora-cli apply against the real registry and service manager, with the
# stand-in wrappers counting their runs.
velmora_wine_test(apply_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/ApplyFlowTest.cpp LIBRARIES velmora_e2e_support)
set_tests_properties(apply_tests PROPERTIES RUN_SERIAL TRUE)
