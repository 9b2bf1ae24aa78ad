// NetBIOS name-service packets (name queries and their answers) on the name port.
#include <cstddef>
#include <cstdint>

#include "platform/NameService.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto packet = hw::platform::DecodeNamePacket(data, size);
  if (!packet) return 0;
  FUZZ_CHECK(packet->name.name.size() <= 15);
  // Every address answered takes six bytes of the packet (flags and address).
  FUZZ_CHECK(packet->addresses.size() * 6 <= size);
  return 0;
}
