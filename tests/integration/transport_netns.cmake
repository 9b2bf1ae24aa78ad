# The transport between real computers: three network namespaces on one bridge, each
# with its own host name, running the command-line tools and a peer program of ours.
# Needs root and iproute2; skips itself otherwise.
add_executable(transport_netns_peer ${HW_TEST_DIR}/transport_netns_peer.cpp)
target_link_libraries(transport_netns_peer PRIVATE hw_transport)
set_target_properties(transport_netns_peer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

add_executable(presence_flood_peer ${HW_TEST_DIR}/presence_flood_peer.cpp)
target_link_libraries(presence_flood_peer PRIVATE hw_platform)
set_target_properties(presence_flood_peer PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

hallwire_add_test(NAME test_transport_netns
  SOURCES ${HW_TEST_DIR}/transport_netns_test.cpp
  LIBS hw_platform
  LABELS integration
  TIMEOUT 300)
target_compile_definitions(test_transport_netns PRIVATE
  HW_NETNS_PEER="$<TARGET_FILE:transport_netns_peer>" HW_FLOOD_PEER="$<TARGET_FILE:presence_flood_peer>")
add_dependencies(test_transport_netns hallwire-send hallwire-listen transport_netns_peer presence_flood_peer)
