# velmora.exe driven end to end through its windows; screenshots of every
# scenario land in <build>/screenshots/window.
velmora_wine_test(window_e2e_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/e2eWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/e2eLookTest.cpp
  LIBRARIES velmora_e2e_support)
target_compile_definitions(window_e2e_tests PRIVATE VELMORA_HIGH_CONTRAST_DLL="$<TARGET_FILE:high_contrast>")
add_dependencies(window_e2e_tests high_contrast)
# The tests share the machine's configuration store and service manager.
set_tests_properties(window_e2e_tests PROPERTIES RUN_SERIAL TRUE)
