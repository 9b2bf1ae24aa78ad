hallwire_add_test(NAME test_interface_monitor SOURCES ${HW_TEST_DIR}/test_interface_monitor.cpp LIBS hw_platform)
