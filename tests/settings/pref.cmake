hallwire_add_test(NAME test_pref_controls SOURCES ${HW_TEST_DIR}/pref_controls_test.cpp LIBS hw_settings_ui QT)
