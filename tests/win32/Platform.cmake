# The real platform layer: processes, files, the service manager's answers,
# the environment and Windows' own case folding. The command line is read by
# every program the tests start.

velmora_wine_test(platform_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PlatformProcessesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlatformFilesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlatformSystemTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlatformCaseTest.cpp
  LIBRARIES velmora_e2e_support)
target_compile_definitions(platform_tests PRIVATE VELMORA_EXITWITH_EXE="$<TARGET_FILE:exitwith>")
add_dependencies(platform_tests exitwith)
