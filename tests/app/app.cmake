# The messenger window, its recipient tree and its message files.
hallwire_add_test(NAME test_app_tree SOURCES ${HW_TEST_DIR}/test_network_tree.cpp LIBS hw_app QT)
hallwire_add_test(NAME test_app_message_file SOURCES ${HW_TEST_DIR}/test_message_file.cpp LIBS hw_app)
