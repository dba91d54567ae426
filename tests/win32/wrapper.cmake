# The stand-in service wrapper: its command-line reader, and whole service
# cycles against the real service manager (install, net start, net stop,
# uninstall) that leave nothing behind.
velmora_wine_test(wrapper_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/WrapperCommandLineTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WrapperServiceCycleTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WrapperTestSupport.cpp
  LIBRARIES velmora_wrapper_command_line advapi32)
target_compile_definitions(wrapper_tests PRIVATE VELMORA_WRAPPER_EXE="$<TARGET_FILE:tomcat>")
add_dependencies(wrapper_tests tomcat)
