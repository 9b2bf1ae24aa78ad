hallwire_add_test(NAME test_autostart SOURCES ${HW_TEST_DIR}/autostart_test.cpp LIBS hw_desktop QT)
