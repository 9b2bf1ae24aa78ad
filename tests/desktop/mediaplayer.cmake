hallwire_add_test(NAME test_mediaplayer SOURCES ${HW_TEST_DIR}/mediaplayer_test.cpp LIBS hw_desktop QT TIMEOUT 120)
hallwire_add_test(NAME test_mediaplayer_output SOURCES ${HW_TEST_DIR}/mediaplayer_output_test.cpp LIBS hw_desktop QT
                  TIMEOUT 120)
