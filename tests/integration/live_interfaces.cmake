# Interfaces that change under a running program: a link that comes up late, an
# address that changes, a move to another subnet. Needs root and iproute2; skips
# itself otherwise.
hallwire_add_test(NAME test_live_interfaces
  SOURCES ${HW_TEST_DIR}/live_interfaces_test.cpp
  LIBS hw_platform
  LABELS integration
  TIMEOUT 180)
target_compile_definitions(test_live_interfaces PRIVATE HW_NETNS_PEER="$<TARGET_FILE:transport_netns_peer>")
add_dependencies(test_live_interfaces hallwire-send hallwire-listen transport_netns_peer)
