hallwire_add_test(NAME test_tray_icon SOURCES ${HW_TEST_DIR}/tray_icon_test.cpp LIBS hw_desktop QT)
