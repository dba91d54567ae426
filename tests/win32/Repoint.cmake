# velmora-cli repoint against the real registry and service manager, on the
# stand-in Tomcat 10 wrapper.
velmora_wine_test(repoint_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/RepointFlowTest.cpp LIBRARIES velmora_e2e_support)
set_tests_properties(repoint_tests PROPERTIES RUN_SERIAL TRUE)
