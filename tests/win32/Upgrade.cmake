# velmora-cli upgrade against Wine's service manager with stand-in homes and JDKs.
velmora_wine_test(upgrade_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/UpgradeFlowTest.cpp LIBRARIES velmora_e2e_support)
set_tests_properties(upgrade_tests PROPERTIES RUN_SERIAL TRUE)
