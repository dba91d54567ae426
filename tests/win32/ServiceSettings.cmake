# How the service runs, set through velmora-cli and the window's dialog and
# read back from the real service manager.
velmora_wine_test(service_settings_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/ServiceSettingsFlowTest.cpp
  LIBRARIES velmora_e2e_support)
set_tests_properties(service_settings_tests PROPERTIES RUN_SERIAL TRUE)
