# A second account on the computer, made by the test (useradd, runuser): its writes
# to our mailslot are refused, it cannot share our port, and a mailslot it holds is
# said with its name. Needs root; skips itself otherwise.
hallwire_add_test(NAME test_local_users
  SOURCES ${HW_TEST_DIR}/local_users_test.cpp
  LIBS hw_platform
  LABELS integration
  TIMEOUT 60)
add_dependencies(test_local_users hallwire-send hallwire-listen)
