hallwire_add_test(NAME test_profile SOURCES ${HW_TEST_DIR}/profile_test.cpp LIBS hw_platform)
