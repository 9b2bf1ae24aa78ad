// Byte-level pieces shared by the name service's packet encoders and decoders
// (RFC 1002 4.2): big-endian fields, the 12-byte header and first-level encoded names.
// The decoders read only what their callers have checked is there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/net/Datagram.h"
#include "platform/net/NameService.h"

namespace hw::platform::net::wire {

constexpr std::size_t kHeaderSize = 12;
constexpr std::uint16_t kFlagResponse = 0x8000;
constexpr std::uint16_t kFlagAuthoritative = 0x0400;
constexpr std::uint16_t kFlagRecursionDesired = 0x0100;
constexpr std::uint16_t kFlagBroadcast = 0x0010;

inline void PutBe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}
inline void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutBe16(out, static_cast<std::uint16_t>(v >> 16));
  PutBe16(out, static_cast<std::uint16_t>(v));
}
inline std::uint16_t Be16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }
inline std::uint32_t Be32(const std::uint8_t* p) { return static_cast<std::uint32_t>(Be16(p)) << 16 | Be16(p + 2); }

// ID, flags, the four record counts (no authority records).
inline void PutHeader(std::vector<std::uint8_t>& out, std::uint16_t id, std::uint16_t flags, std::uint16_t questions,
                      std::uint16_t answers, std::uint16_t additional = 0) {
  for (std::uint16_t v : {id, flags, questions, answers, std::uint16_t{0}, additional}) PutBe16(out, v);
}

inline void PutName(std::vector<std::uint8_t>& out, const TNetbiosName& name) {
  const std::string encoded = EncodeNetbiosName(name);
  out.insert(out.end(), encoded.begin(), encoded.end());
}

struct TRecordCounts {
  std::uint16_t questions, answers, authority, additional;
};

// The 12-byte header at p: ID and flags into packet, the four record counts returned.
inline TRecordCounts ReadHeader(const std::uint8_t* p, TNamePacket& packet) {
  packet.id = Be16(p);
  packet.flags = Be16(p + 2);
  packet.response = (packet.flags & kFlagResponse) != 0;
  packet.opcode = static_cast<std::uint8_t>(packet.flags >> 11 & 0x0F);
  packet.rcode = static_cast<std::uint8_t>(packet.flags & 0x0F);
  return {Be16(p + 4), Be16(p + 6), Be16(p + 8), Be16(p + 10)};
}

// The first-level encoded name at p (34 bytes there; no scope, no compression), its
// padding of blanks or zeros removed; false when it is not one.
inline bool DecodeName(const std::uint8_t* p, TNetbiosName& out) {
  if (p[0] != 0x20 || p[33] != 0x00) return false;
  char raw[16];
  for (int i = 0; i < 16; ++i) {
    const int hi = p[1 + 2 * i] - 'A', lo = p[2 + 2 * i] - 'A';
    if (hi < 0 || hi > 15 || lo < 0 || lo > 15) return false;
    raw[i] = static_cast<char>(hi << 4 | lo);
  }
  std::size_t length = 15;
  while (length > 0 && (raw[length - 1] == ' ' || raw[length - 1] == '\0')) --length;
  out.name.assign(raw, length);
  out.suffix = static_cast<std::uint8_t>(raw[15]);
  return true;
}

}  // namespace hw::platform::net::wire
