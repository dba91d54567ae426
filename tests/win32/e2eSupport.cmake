# What the end-to-end tests share: a prepared machine with the real
# velmora.exe, velmora-cli.exe and the stand-in wrappers, the store and the
# service manager read directly, and the window driver.
add_library(velmora_e2e_support STATIC ${CMAKE_CURRENT_LIST_DIR}/e2eSession.cpp)
target_include_directories(velmora_e2e_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(velmora_e2e_support PUBLIC velmora_window_driver velmora_win32 advapi32 comctl32 gdi32 netapi32 user32 ws2_32)
target_compile_definitions(velmora_e2e_support PRIVATE
  VELMORA_EXE="$<TARGET_FILE:velmora>"
  VELMORA_CLI_EXE="$<TARGET_FILE:velmora-cli>"
  VELMORA_WRAPPER_EXE="$<TARGET_FILE:tomcat>"
  VELMORA_MODERN_WRAPPER_EXE="$<TARGET_FILE:tomcat_modern>"
  VELMORA_JAVA_EXE="$<TARGET_FILE:java_standin>"
  VELMORA_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots/window")
add_dependencies(velmora_e2e_support velmora velmora-cli tomcat tomcat_modern java_standin)
