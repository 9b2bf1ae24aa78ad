// Browser messages (HostAnnouncement, AnnouncementRequest) from "\MAILSLOT\BROWSE".
#include <cstddef>
#include <cstdint>

#include "platform/net/Presence.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto message = hw::platform::net::DecodeBrowseMessage(data, size);
  if (!message) return 0;
  FUZZ_CHECK(message->server_name.size() + message->comment.size() <= size);
  FUZZ_CHECK(message->server_name.size() <= 15);
  return 0;
}
