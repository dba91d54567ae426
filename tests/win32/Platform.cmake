# The real platform layer: processes, files, the service manager's answers,
# the environment and Windows' own case folding. The command line is read by
# every program the tests start.

# exitwith: the program the process tests start (see its first lines). It must
# sit beside the test executable.
add_executable(exitwith ${CMAKE_CURRENT_LIST_DIR}/PlatformExitWith.cpp)
target_link_libraries(exitwith PRIVATE velmora_win32 user32)

velmora_wine_test(platform_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PlatformProcessesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlatformFilesTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlatformSystemTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlatformCaseTest.cpp
  LIBRARIES velmora_e2e_support)
add_dependencies(platform_tests exitwith)
