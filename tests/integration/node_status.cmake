# Sends that tell the truth, on a LAN of namespaces on the standard ports: NODE STATUS
# and name queries from Samba's nmblookup, sends to addresses and DNS names, names
# nobody has, ports held by other programs, and hallwire-send --check. Needs root and
# iproute2 (and nmblookup for its cases); skips itself otherwise.
hallwire_add_test(NAME test_node_status_netns
  SOURCES ${HW_TEST_DIR}/node_status_test.cpp
  LIBS hw_platform
  LABELS integration
  TIMEOUT 120)
target_compile_definitions(test_node_status_netns PRIVATE HW_NETNS_PEER="$<TARGET_FILE:transport_netns_peer>")
add_dependencies(test_node_status_netns hallwire-send hallwire-listen transport_netns_peer)
