# The real platform layer: processes, files, the command line. The service
# manager is met in the service flow tests.

# exitwith CODE [SLEEP_MS [FILE]] / exitwith showwindow: the program the
# process tests start. It must sit beside the test executable.
add_executable(exitwith PlatformExitWith.cpp)
target_link_libraries(exitwith PRIVATE velmora_win32)

velmora_wine_test(platform_tests SOURCES
  PlatformProcessesTest.cpp
  PlatformFilesTest.cpp
  PlatformEnvironmentTest.cpp
  PlatformTestSupport.cpp)
add_dependencies(platform_tests exitwith)
