# The colour list and the file name edit.
hallwire_add_test(NAME test_widgets SOURCES ${HW_TEST_DIR}/widgets_test.cpp LIBS hw_widgets QT)
