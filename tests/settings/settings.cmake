hallwire_add_test(NAME test_colors SOURCES ${HW_TEST_DIR}/colors_test.cpp LIBS hw_settings)
hallwire_add_test(NAME test_settings_file SOURCES ${HW_TEST_DIR}/settings_file_test.cpp LIBS hw_settings)
