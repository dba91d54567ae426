# The real platform layer: processes and files. The command line is read by
# every program the tests start; the service manager is met in the flows.

# exitwith CODE [SLEEP_MS [FILE]] / exitwith showwindow: the program the
# process tests start. It must sit beside the test executable.
add_executable(exitwith PlatformExitWith.cpp)
target_link_libraries(exitwith PRIVATE velmora_win32)

velmora_wine_test(platform_tests SOURCES
  PlatformProcessesTest.cpp
  PlatformFilesTest.cpp
  PlatformTestSupport.cpp)
add_dependencies(platform_tests exitwith)
