#include "platform/net/Datagram.h"

#include <cstring>

#include "platform/net/Config.h"

namespace hw::platform::net {

namespace {

constexpr std::uint8_t kSmbComTransaction = 0x25;
constexpr std::size_t kSmbHeaderSize = 32;
constexpr std::size_t kTransWordCount = 17;
// SMB header, WordCount, 17 words, ByteCount.
constexpr std::size_t kSmbFixedSize = kSmbHeaderSize + 1 + kTransWordCount * 2 + 2;

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint16_t Get16Be(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

// Decodes one first-level encoded name at p (34 bytes available); false if malformed.
bool DecodeName(const std::uint8_t* p, TNetbiosName& out) {
  if (p[0] != 0x20 || p[33] != 0x00) return false;
  char raw[16];
  unsigned bad = 0;
  for (int i = 0; i < 16; ++i) {
    const unsigned hi = static_cast<unsigned>(p[1 + 2 * i] - 'A');
    const unsigned lo = static_cast<unsigned>(p[2 + 2 * i] - 'A');
    bad |= (hi | lo) & ~15u;
    raw[i] = static_cast<char>((hi << 4) | (lo & 15u));
  }
  if (bad) return false;
  std::size_t length = 15;
  while (length > 0 && raw[length - 1] == ' ') --length;
  out.name.assign(raw, length);
  out.suffix = static_cast<std::uint8_t>(raw[15]);
  return true;
}

}  // namespace

namespace {

// Writes the 34 encoded bytes at out.
void EncodeNameInto(const TNetbiosName& name, std::uint8_t* out) {
  // "*" (the wildcard name) is padded with zeros, every other name with blanks.
  const char pad = name.name == "*" ? '\0' : ' ';
  out[0] = 0x20;
  for (std::size_t i = 0; i < 16; ++i) {
    unsigned char c = i == 15 ? name.suffix : i < name.name.size() ? static_cast<unsigned char>(name.name[i]) : pad;
    if (i < 15 && c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    out[1 + 2 * i] = static_cast<std::uint8_t>('A' + (c >> 4));
    out[2 + 2 * i] = static_cast<std::uint8_t>('A' + (c & 0x0F));
  }
  out[33] = 0;
}

}  // namespace

std::string EncodeNetbiosName(const TNetbiosName& name) {
  std::uint8_t bytes[kEncodedNameSize];
  EncodeNameInto(name, bytes);
  return std::string(reinterpret_cast<const char*>(bytes), kEncodedNameSize);
}

std::size_t EncodedSmbSize(std::size_t mailslot_length, std::size_t data_length) {
  return kSmbFixedSize + mailslot_length + 1 + data_length;
}

std::size_t EncodedDatagramSize(std::size_t mailslot_length, std::size_t data_length) {
  return kNetbiosHeaderSize + 2 * kEncodedNameSize + EncodedSmbSize(mailslot_length, data_length);
}

std::vector<std::uint8_t> EncodeDatagram(const TMailslotDatagram& d) {
  return EncodeDatagram(d, d.data.data(), d.data.size());
}

std::vector<std::uint8_t> EncodeDatagram(const TMailslotDatagram& d, const std::uint8_t* data, std::size_t size) {
  TDatagramEncoder encoder;
  encoder.SetFields(d);
  return encoder.Encode(d.id, data, size);
}

void TDatagramEncoder::SetFields(const TMailslotDatagram& d) {
  fixed_size_ = EncodedDatagramSize(d.mailslot.size(), 0);
  bytes_.assign(fixed_size_, 0);
  auto& out = bytes_;

  // NetBIOS datagram header, big-endian; id and length are set per datagram.
  out[0] = static_cast<std::uint8_t>(d.type);
  out[1] = 0x02;  // first (and only) fragment, B node
  std::memcpy(&out[4], &d.source_ip, 4);  // already in network order
  out[8] = static_cast<std::uint8_t>(d.source_port >> 8);
  out[9] = static_cast<std::uint8_t>(d.source_port);
  // packet offset 0
  EncodeNameInto(d.source, &out[kNetbiosHeaderSize]);
  EncodeNameInto(d.destination, &out[kNetbiosHeaderSize + kEncodedNameSize]);

  // SMB_COM_TRANSACTION; the data counts are set per datagram.
  const std::size_t smb = kNetbiosHeaderSize + 2 * kEncodedNameSize;
  out[smb + 0] = 0xFF;
  out[smb + 1] = 'S';
  out[smb + 2] = 'M';
  out[smb + 3] = 'B';
  out[smb + 4] = kSmbComTransaction;
  const std::size_t w = smb + kSmbHeaderSize + 1;
  out[w - 1] = kTransWordCount;
  const auto data_offset = static_cast<std::uint16_t>(kSmbFixedSize + d.mailslot.size() + 1);
  // TotalParameterCount, MaxParameterCount, MaxDataCount, MaxSetupCount, Reserved1,
  // Flags, Timeout(4), Reserved2, ParameterCount: zero
  Put16(out, w + 20, data_offset);  // ParameterOffset (no parameters)
  Put16(out, w + 24, data_offset);  // DataOffset, from the SMB header's start
  out[w + 26] = 3;                  // SetupCount
  out[w + 27] = 0;
  Put16(out, w + 28, 1);  // opcode: mailslot write
  Put16(out, w + 30, 1);  // priority
  Put16(out, w + 32, 2);  // class 2: unreliable datagram
  const std::size_t name_at = w + kTransWordCount * 2 + 2;  // after ByteCount
  std::memcpy(&out[name_at], d.mailslot.data(), d.mailslot.size());
}

const std::vector<std::uint8_t>& TDatagramEncoder::Encode(std::uint16_t id, const std::uint8_t* data,
                                                          std::size_t size) {
  // Resizing keeps the fixed part; only what depends on id and size is written.
  bytes_.resize(fixed_size_ + size);
  auto& out = bytes_;
  const std::size_t after_header = out.size() - kNetbiosHeaderSize;
  out[2] = static_cast<std::uint8_t>(id >> 8);
  out[3] = static_cast<std::uint8_t>(id);
  out[10] = static_cast<std::uint8_t>(after_header >> 8);
  out[11] = static_cast<std::uint8_t>(after_header);
  const std::size_t w = kNetbiosHeaderSize + 2 * kEncodedNameSize + kSmbHeaderSize + 1;
  const auto data_count = static_cast<std::uint16_t>(size);
  Put16(out, w + 2, data_count);   // TotalDataCount
  Put16(out, w + 22, data_count);  // DataCount
  const std::size_t name_and_data = fixed_size_ - (w + kTransWordCount * 2 + 2) + size;
  Put16(out, w + kTransWordCount * 2, static_cast<std::uint16_t>(name_and_data));  // ByteCount
  if (size != 0) std::memcpy(&out[fixed_size_], data, size);
  return bytes_;
}

// Every field is checked against the bytes at hand before it is used in arithmetic:
// a length from the wire is never subtracted from, so nothing can wrap, and a
// datagram whose fields disagree with its size is refused whole.
std::optional<TDatagramView> ParseDatagram(const std::uint8_t* p, std::size_t size) {
  constexpr std::size_t kSmbAt = kNetbiosHeaderSize + 2 * kEncodedNameSize;
  if (!p || size < kSmbAt + kSmbFixedSize || size > kMaxUdpPayload) return std::nullopt;
  const std::uint8_t type = p[0];
  if (type < 0x10 || type > 0x12) return std::nullopt;
  if (p[1] & 0x01) return std::nullopt;  // a fragment: mailslot writes are never split
  const std::size_t length = Get16Be(p + 10);
  if (Get16Be(p + 12) != 0 || kNetbiosHeaderSize + length != size) return std::nullopt;
  TDatagramView d;
  d.type = static_cast<TDatagramType>(type);
  d.id = Get16Be(p + 2);
  std::memcpy(&d.source_ip, p + 4, 4);
  d.source_port = Get16Be(p + 8);
  if (!DecodeName(p + kNetbiosHeaderSize, d.source) ||
      !DecodeName(p + kNetbiosHeaderSize + kEncodedNameSize, d.destination))
    return std::nullopt;

  const std::uint8_t* smb = p + kSmbAt;
  const std::size_t smb_size = size - kSmbAt;  // size >= kSmbAt + kSmbFixedSize, checked above
  if (smb[0] != 0xFF || smb[1] != 'S' || smb[2] != 'M' || smb[3] != 'B' || smb[4] != kSmbComTransaction)
    return std::nullopt;
  const std::size_t word_count = smb[kSmbHeaderSize];
  const std::size_t bytes_at = kSmbHeaderSize + 1 + word_count * 2 + 2;
  if (word_count < kTransWordCount || bytes_at > smb_size) return std::nullopt;
  const std::uint8_t* words = smb + kSmbHeaderSize + 1;
  const std::size_t total_data = Get16(words + 2);
  const std::size_t data_count = Get16(words + 22);
  const std::size_t data_offset = Get16(words + 24);
  const std::size_t setup_count = words[26];
  const std::size_t byte_count = Get16(smb + bytes_at - 2);
  // The setup words lie inside the word block, the byte block inside the SMB, and the
  // data is one whole piece inside the byte block.
  if (setup_count < 3 || 14 + setup_count > word_count || Get16(words + 28) != 1) return std::nullopt;
  if (byte_count > smb_size - bytes_at) return std::nullopt;
  const std::size_t bytes_end = bytes_at + byte_count;
  if (total_data != data_count || data_offset < bytes_at || data_offset > bytes_end ||
      data_count > bytes_end - data_offset)
    return std::nullopt;
  // The name runs from the byte block to its zero, before the data.
  const std::uint8_t* name = smb + bytes_at;
  const auto* zero = static_cast<const std::uint8_t*>(std::memchr(name, 0, data_offset - bytes_at));
  if (!zero) return std::nullopt;
  d.mailslot = name;
  d.mailslot_size = static_cast<std::size_t>(zero - name);
  d.data = smb + data_offset;
  d.data_size = data_count;
  return d;
}

TMailslotDatagram ToDatagram(const TDatagramView& view) {
  TMailslotDatagram d;
  d.type = view.type;
  d.id = view.id;
  d.source_ip = view.source_ip;
  d.source_port = view.source_port;
  d.source = view.source;
  d.destination = view.destination;
  d.mailslot.assign(reinterpret_cast<const char*>(view.mailslot), view.mailslot_size);
  d.data.assign(view.data, view.data + view.data_size);
  return d;
}

std::optional<TMailslotDatagram> DecodeDatagram(const std::uint8_t* bytes, std::size_t size) {
  const auto view = ParseDatagram(bytes, size);
  if (!view) return std::nullopt;
  return ToDatagram(*view);
}

}  // namespace hw::platform::net
