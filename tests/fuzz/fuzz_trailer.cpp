// The signed trailer after a chat line: its decoder and the verifier's checks, fed a
// frame's sender id and sequence (8 bytes) and then its body.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/fuzz/FuzzCheck.h"
#include "transport/Trust.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  std::uint32_t id, sequence;
  std::memcpy(&id, data, 4);
  std::memcpy(&sequence, data + 4, 4);
  const std::uint8_t* body = data + 8;
  const std::size_t body_size = size - 8;

  const auto* zero = static_cast<const std::uint8_t*>(std::memchr(body, 0, body_size));
  const std::size_t after = zero ? body_size - static_cast<std::size_t>(zero - body) - 1 : 0;
  if (const auto trailer = hw::DecodeTrailer(zero ? zero + 1 : nullptr, after)) {
    std::uint8_t again[hw::kTrailerSize];
    hw::EncodeTrailer(*trailer, again);
    FUZZ_CHECK(std::memcmp(again, zero + 1, hw::kTrailerSize) == 0);
  }

  static hw::TLineVerifier verifier(std::make_unique<hw::TPinStore>());
  const hw::TLineCheck check = verifier.Check(1, id, sequence, body, body_size);
  // No trailer, or one of a later version, is unsigned; any other is checked.
  FUZZ_CHECK((check.Trust == hw::TLineTrust::Unsigned) == (after == 0 || zero[1] != hw::kTrailerVersion));

  // Whatever the line, its own signature verifies, and a changed byte fails.
  static const auto signer = hw::TLineSigner::Generate();
  std::vector<std::uint8_t> line(body, zero ? zero : body + body_size);
  line.push_back(0);
  signer->AppendTrailer(line, id, sequence);
  hw::TLineVerifier fresh(std::make_unique<hw::TPinStore>());
  const auto verdict = fresh.Check(1, id, sequence, line.data(), line.size());
  FUZZ_CHECK(verdict.Trust == (hw::LineIdentity(reinterpret_cast<const char*>(line.data())).empty()
                                   ? hw::TLineTrust::Forged
                                   : hw::TLineTrust::Verified));
  line[line.size() - 1 - (sequence % hw::kTrailerSize)] ^= 0x40;
  FUZZ_CHECK(fresh.Check(1, id, sequence + 1, line.data(), line.size()).Trust != hw::TLineTrust::Verified);
  return 0;
}
