hallwire_add_test(NAME test_placement SOURCES ${HW_TEST_DIR}/placement_test.cpp LIBS hw_desktop QT)
# A 1024 by 768 screen of 144 logical pixels per inch.
hallwire_add_test(NAME test_placement_dpi SOURCES ${HW_TEST_DIR}/placement_dpi_test.cpp LIBS hw_desktop QT
                  ENV "QT_QPA_PLATFORM=offscreen:configfile=${HW_TEST_DIR}/placement_dpi_screen.json")
