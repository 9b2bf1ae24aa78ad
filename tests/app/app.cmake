# The messenger window, its recipient tree and its message files.
hallwire_add_test(NAME test_app_tree SOURCES ${HW_TEST_DIR}/test_network_tree.cpp LIBS hw_app QT)
hallwire_add_test(NAME test_app_message_file SOURCES ${HW_TEST_DIR}/test_message_file.cpp LIBS hw_app)
hallwire_add_test(NAME test_app_main_form SOURCES ${HW_TEST_DIR}/test_main_form.cpp LIBS hw_app QT
                  ENV "XDG_CACHE_HOME=${CMAKE_BINARY_DIR}/testhome/test_app_main_form/cache")
hallwire_add_test(NAME test_app_about_help SOURCES ${HW_TEST_DIR}/test_about_help.cpp LIBS hw_app QT
                  ENV "XDG_CACHE_HOME=${CMAKE_BINARY_DIR}/testhome/test_app_about_help/cache")
