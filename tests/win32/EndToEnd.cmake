# The real programs against what they did not make (other vendors' services
# and files, device names, damaged stored values, a wrapper that hangs).
velmora_wine_test(e2e_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/e2eSafetyTest.cpp
  LIBRARIES velmora_e2e_support)
target_compile_definitions(e2e_tests PRIVATE VELMORA_OTHER_SERVICE_EXE="$<TARGET_FILE:otherservice>")
add_dependencies(e2e_tests otherservice)
set_tests_properties(e2e_tests PROPERTIES RUN_SERIAL TRUE)
