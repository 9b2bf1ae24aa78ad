# The transport between real computers: three network namespaces on one bridge, each
# with its own host name, running the command-line tools and a peer program of ours.
# Needs root and iproute2; skips itself otherwise.
add_executable(transport_netns_peer ${HW_TEST_DIR}/transport_netns_peer.cpp)
target_link_libraries(transport_netns_peer PRIVATE hw_transport hw_settings)
set_target_properties(transport_netns_peer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

add_executable(presence_flood_peer ${HW_TEST_DIR}/presence_flood_peer.cpp)
target_link_libraries(presence_flood_peer PRIVATE hw_platform)
set_target_properties(presence_flood_peer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

# A crowd of computers on many addresses of one namespace, and the messenger's window
# timed from inside while its tree fills.
add_executable(presence_crowd_peer ${HW_TEST_DIR}/presence_crowd_peer.cpp)
target_link_libraries(presence_crowd_peer PRIVATE hw_platform)
set_target_properties(presence_crowd_peer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_executable(tree_fill_probe ${HW_TEST_DIR}/tree_fill_probe.cpp)
target_link_libraries(tree_fill_probe PRIVATE hw_app)
set_target_properties(tree_fill_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

hallwire_add_test(NAME test_transport_netns
  SOURCES ${HW_TEST_DIR}/transport_netns_test.cpp
  LIBS hw_platform
  LABELS integration
  TIMEOUT 300)
target_compile_definitions(test_transport_netns PRIVATE
  HW_NETNS_PEER="$<TARGET_FILE:transport_netns_peer>" HW_FLOOD_PEER="$<TARGET_FILE:presence_flood_peer>"
  HW_CROWD_PEER="$<TARGET_FILE:presence_crowd_peer>" HW_TREE_PROBE="$<TARGET_FILE:tree_fill_probe>")
add_dependencies(test_transport_netns hallwire-send hallwire-listen transport_netns_peer presence_flood_peer
  presence_crowd_peer tree_fill_probe)

# The name service across a router with Samba's nmbd as WINS server; also needs Samba.
hallwire_add_test(NAME test_wins_netns
  SOURCES ${HW_TEST_DIR}/wins_netns_test.cpp
  LIBS hw_platform
  LABELS integration
  TIMEOUT 120)
target_compile_definitions(test_wins_netns PRIVATE HW_NETNS_PEER="$<TARGET_FILE:transport_netns_peer>")
add_dependencies(test_wins_netns hallwire-send hallwire-listen transport_netns_peer)

# Remote announcements and off-subnet peers across the same kind of router.
hallwire_add_test(NAME test_remote_netns
  SOURCES ${HW_TEST_DIR}/remote_netns_test.cpp
  LIBS hw_platform
  LABELS integration
  TIMEOUT 120)
target_compile_definitions(test_remote_netns PRIVATE HW_NETNS_PEER="$<TARGET_FILE:transport_netns_peer>")
add_dependencies(test_remote_netns hallwire-send hallwire-listen transport_netns_peer)

# Signed lines on the same kind of LAN, with a forging host.
hallwire_add_test(NAME test_trust_netns
  SOURCES ${HW_TEST_DIR}/trust_netns_test.cpp
  LIBS hw_platform
  LABELS integration
  TIMEOUT 120)
target_compile_definitions(test_trust_netns PRIVATE HW_NETNS_PEER="$<TARGET_FILE:transport_netns_peer>")
add_dependencies(test_trust_netns hallwire-listen transport_netns_peer)
# Attacks by a forging host (forge.py): stolen announcements, name-answer races,
# forged queries and AnnouncementRequests. Also needs /usr/bin/python3.
hallwire_add_test(NAME test_forge_netns
  SOURCES ${HW_TEST_DIR}/forge_netns_test.cpp
  LIBS hw_platform
  LABELS integration
  TIMEOUT 300)
target_compile_definitions(test_forge_netns PRIVATE HW_NETNS_PEER="$<TARGET_FILE:transport_netns_peer>"
  HW_FORGE="${HW_TEST_DIR}/forge.py")
add_dependencies(test_forge_netns hallwire-send hallwire-listen transport_netns_peer)
