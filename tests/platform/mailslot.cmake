hallwire_add_test(NAME test_mailslot_service
  SOURCES ${HW_TEST_DIR}/test_mailslot_service.cpp ${HW_TEST_DIR}/test_datagram.cpp
  LIBS hw_platform)
# A process of its own, so that its memory figures are its flood's alone.
hallwire_add_test(NAME test_mailslot_flood
  SOURCES ${HW_TEST_DIR}/test_mailslot_flood.cpp
  LIBS hw_platform)
