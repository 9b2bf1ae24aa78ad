// The terminal's receive path: frames as read from the mailslot, through the header
// decoder and the repeat filter. The input is a run of frames, each behind a 16-bit
// little-endian length.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>

#include "tests/fuzz/FuzzCheck.h"
#include "transport/Mailslot.h"
#include "transport/SenderTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A small table, so that the fuzzer reaches the eviction of the least recent sender.
  hw::TSenderTable senders(8);
  std::map<std::uint32_t, std::uint32_t> delivered;  // sender: sequence last delivered
  std::size_t pos = 0;
  while (pos + 2 <= size) {
    std::size_t length = data[pos] | data[pos + 1] << 8;
    pos += 2;
    if (length > size - pos) length = size - pos;
    const auto header = hw::DecodeFrame(data + pos, length);
    pos += length;
    if (!header) {
      FUZZ_CHECK(length < hw::kFrameHeaderSize || length > hw::kMaxFrameSize);
      continue;
    }
    const bool held = senders.Find(header->SenderId) != nullptr;
    if (senders.Accept(header->SenderId, header->Sequence)) {
      // A sender still held never has the frame it last delivered delivered again.
      auto it = delivered.find(header->SenderId);
      FUZZ_CHECK(!held || it == delivered.end() || it->second != header->Sequence);
      delivered[header->SenderId] = header->Sequence;
    }
    FUZZ_CHECK(senders.size() <= senders.Capacity());
  }
  std::set<std::uint32_t> ids;
  for (const auto& entry : senders) FUZZ_CHECK(ids.insert(entry.SenderId).second);
  return 0;
}
