# The stand-in service wrapper's command-line reader. Its service cycle runs
# against the real service manager in the service flow tests.
velmora_wine_test(wrapper_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/WrapperCommandLineTest.cpp
  LIBRARIES velmora_wrapper_command_line)
