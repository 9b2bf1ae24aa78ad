hallwire_add_test(NAME test_transport
  SOURCES ${HW_TEST_DIR}/test_server.cpp ${HW_TEST_DIR}/test_terminal.cpp ${HW_TEST_DIR}/test_client.cpp
  ${HW_TEST_DIR}/test_trust.cpp
  LIBS hw_transport)
