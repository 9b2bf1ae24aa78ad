// The NetBIOS datagram carrying a mailslot write, as any computer on the LAN may send it.
#include <cstddef>
#include <cstdint>

#include "platform/net/Datagram.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto datagram = hw::platform::net::DecodeDatagram(data, size);
  if (!datagram) return 0;
  // Whatever is delivered lies inside the datagram as its own length field bounds it,
  // behind the header and the two names.
  const std::size_t length = static_cast<std::size_t>(data[10]) << 8 | data[11];
  FUZZ_CHECK(length <= size - hw::platform::net::kNetbiosHeaderSize);
  FUZZ_CHECK(2 * hw::platform::net::kEncodedNameSize + datagram->mailslot.size() + datagram->data.size() <= length);
  return 0;
}
