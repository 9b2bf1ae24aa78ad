# The preferences dialog, alone and shown from the main window.
hallwire_add_test(NAME test_pref_dialog SOURCES ${HW_TEST_DIR}/pref_dialog_test.cpp LIBS hw_preferences QT
                  ENV "HALLWIRE_SYSTEM_REGISTRY_DIR=${CMAKE_BINARY_DIR}/testhome/test_pref_dialog/system")
hallwire_add_test(NAME test_pref_mainwindow SOURCES ${HW_TEST_DIR}/pref_mainwindow_test.cpp LIBS hw_app hw_preferences QT
                  ENV "HALLWIRE_SYSTEM_REGISTRY_DIR=${CMAKE_BINARY_DIR}/testhome/test_pref_mainwindow/system")
