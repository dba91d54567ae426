# velmora-cli adopt against the real registry and service manager: a Tomcat 10
# service registered with the stand-in wrapper as Tomcat's own script does.
velmora_wine_test(adopt_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/AdoptFlowTest.cpp LIBRARIES velmora_e2e_support)
set_tests_properties(adopt_tests PROPERTIES RUN_SERIAL TRUE)
