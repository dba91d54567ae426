# velmora.exe driven end to end through its windows; screenshots of every
# scenario land in <build>/screenshots/window.
velmora_wine_test(window_e2e_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/e2eWindowTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/e2eLookTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/e2eSession.cpp
  LIBRARIES velmora_window_driver velmora_win32)
target_compile_definitions(window_e2e_tests PRIVATE
  VELMORA_EXE="$<TARGET_FILE:velmora>"
  VELMORA_WRAPPER_EXE="$<TARGET_FILE:tomcat>"
  VELMORA_HIGH_CONTRAST_DLL="$<TARGET_FILE:high_contrast>"
  VELMORA_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots/window")
target_link_libraries(window_e2e_tests PRIVATE advapi32 comctl32 gdi32 user32)
add_dependencies(window_e2e_tests velmora tomcat high_contrast)
# The tests share the machine's configuration store and service manager.
set_tests_properties(window_e2e_tests PROPERTIES RUN_SERIAL TRUE)
