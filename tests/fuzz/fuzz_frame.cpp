// The terminal's receive path: frames as read from the mailslot, through the header
// decoder and the repeat filter. The input is a run of frames, each behind a 16-bit
// little-endian length.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <set>

#include "tests/fuzz/FuzzCheck.h"
#include "transport/Mailslot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::deque<hw::TSenderEntry> senders;
  std::map<std::uint32_t, std::uint32_t> delivered;  // sender: last sequence delivered
  std::size_t pos = 0;
  while (pos + 2 <= size) {
    std::size_t length = data[pos] | data[pos + 1] << 8;
    pos += 2;
    if (length > size - pos) length = size - pos;
    hw::TMessageHeader header;
    if (hw::AcceptFrame(senders, data + pos, length, header)) {
      FUZZ_CHECK(length >= hw::kFrameHeaderSize && length <= hw::kMaxFrameSize);
      auto it = delivered.find(header.SenderId);
      // A repeat or an older frame of a sender is never delivered twice.
      FUZZ_CHECK(it == delivered.end() || it->second < header.Sequence);
      delivered[header.SenderId] = header.Sequence;
    }
    pos += length;
  }
  std::set<std::uint32_t> ids;
  for (const auto& entry : senders) FUZZ_CHECK(ids.insert(entry.SenderId).second);
  return 0;
}
