hallwire_add_test(NAME test_autostart SOURCES ${HW_TEST_DIR}/autostart_test.cpp LIBS hw_desktop QT)
hallwire_add_test(NAME test_autostart_entry SOURCES ${HW_TEST_DIR}/autostart_entry_test.cpp LIBS hw_desktop)
