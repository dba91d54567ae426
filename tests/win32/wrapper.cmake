# The stand-in service wrappers' command-line readers. Their service cycles
# run against the real service manager in the service flow tests.
velmora_wine_test(wrapper_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/WrapperCommandLineTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ModernWrapperArgumentsTest.cpp
  LIBRARIES velmora_wrapper_command_line velmora_procrun_command)
