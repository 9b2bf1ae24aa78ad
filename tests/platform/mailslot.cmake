hallwire_add_test(NAME test_mailslot_service
  SOURCES ${HW_TEST_DIR}/test_mailslot_service.cpp ${HW_TEST_DIR}/test_datagram.cpp
  LIBS hw_platform)
