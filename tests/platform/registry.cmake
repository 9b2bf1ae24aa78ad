hallwire_add_test(NAME test_registry SOURCES ${HW_TEST_DIR}/registry_test.cpp LIBS hw_platform)
