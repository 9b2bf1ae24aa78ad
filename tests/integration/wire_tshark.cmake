# A standard analyzer reads what the carrier sends. Needs tshark and the right to
# capture on the loopback interface; skips itself otherwise.
hallwire_add_test(NAME test_wire_tshark SOURCES ${HW_TEST_DIR}/wire_tshark_test.cpp LIBS hw_platform
  LABELS integration TIMEOUT 60
  ENV "HALLWIRE_COMPUTERNAME=WIREHOST;HALLWIRE_WORKGROUP=WIREGROUP")
