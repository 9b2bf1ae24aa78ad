hallwire_add_test(NAME test_tray_icon SOURCES ${HW_TEST_DIR}/tray_icon_test.cpp LIBS hw_desktop QT)
# Starts its own Xvfb and tray host; skipped where they are missing.
hallwire_add_test(NAME test_tray_real SOURCES ${HW_TEST_DIR}/tray_real_test.cpp LIBS hw_desktop TIMEOUT 90)
