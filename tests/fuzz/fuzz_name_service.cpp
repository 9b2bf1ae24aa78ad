// NetBIOS name-service packets on the name port: name queries, node status requests,
// registrations, refreshes, releases and their answers.
#include <cstddef>
#include <cstdint>

#include "platform/net/NameService.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto packet = hw::platform::net::DecodeNamePacket(data, size);
  if (!packet) return 0;
  FUZZ_CHECK(packet->name.name.size() <= 15);
  // Every address answered takes six bytes of the packet (flags and address).
  FUZZ_CHECK(packet->addresses.size() * 6 <= size);
  // So does every entry of a node's name table (name, suffix and flags).
  FUZZ_CHECK(packet->node_names.size() * 18 <= size);
  for (const auto& entry : packet->node_names) FUZZ_CHECK(entry.name.name.size() <= 15);
  return 0;
}
