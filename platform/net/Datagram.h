// The wire layout of a remote mailslot write: a NetBIOS datagram (RFC 1002 4.4,
// names in first-level encoding, RFC 1001 14.1) carrying an SMB_COM_TRANSACTION
// mailslot write (opcode 1, class 2, name "\MAILSLOT\" + name).
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hw::platform::net {

enum class TDatagramType : std::uint8_t { DirectUnique = 0x10, DirectGroup = 0x11, Broadcast = 0x12 };

constexpr std::size_t kNetbiosHeaderSize = 14;
constexpr std::size_t kEncodedNameSize = 34;
constexpr std::size_t kMaxUdpPayload = 65507;
// Windows takes at most this many bytes of SMB on the standard datagram port.
constexpr std::size_t kMaxSmbOnPort138 = 512;

struct TNetbiosName {
  std::string name;  // up to 15 characters, upper-cased on the wire
  std::uint8_t suffix = 0x00;
};

struct TMailslotDatagram {
  TDatagramType type = TDatagramType::DirectGroup;
  std::uint16_t id = 0;
  in_addr source_ip{};
  std::uint16_t source_port = 138;
  TNetbiosName source;
  TNetbiosName destination;
  std::string mailslot;  // e.g. "\MAILSLOT\hwSlot"
  std::vector<std::uint8_t> data;
};

// First-level encoding: 0x20, 32 letters, 0x00.
std::string EncodeNetbiosName(const TNetbiosName& name);
std::vector<std::uint8_t> EncodeDatagram(const TMailslotDatagram& datagram);
// The same with the data given apart (datagram.data is ignored).
std::vector<std::uint8_t> EncodeDatagram(const TMailslotDatagram& datagram, const std::uint8_t* data,
                                         std::size_t size);
// Encodes datagrams that share every field but id and data: the names and the SMB
// header are encoded once, each datagram then costs a few stores and a copy of its data.
class TDatagramEncoder {
 public:
  // The fields every later datagram carries (id and data are ignored).
  void SetFields(const TMailslotDatagram& fields);
  // The datagram with this id and data; valid until the next call.
  const std::vector<std::uint8_t>& Encode(std::uint16_t id, const std::uint8_t* data, std::size_t size);

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t fixed_size_ = 0;  // everything before the data
};

// Size of the encoded datagram and of its SMB part, without building it.
std::size_t EncodedDatagramSize(std::size_t mailslot_length, std::size_t data_length);
std::size_t EncodedSmbSize(std::size_t mailslot_length, std::size_t data_length);
// A parsed datagram whose mailslot name and data still lie in the bytes received.
struct TDatagramView {
  TDatagramType type = TDatagramType::DirectGroup;
  std::uint16_t id = 0;
  in_addr source_ip{};
  std::uint16_t source_port = 0;
  TNetbiosName source;
  TNetbiosName destination;
  const std::uint8_t* mailslot = nullptr;
  std::size_t mailslot_size = 0;
  const std::uint8_t* data = nullptr;
  std::size_t data_size = 0;
};

// Parses a datagram; nullopt when it is not a well-formed mailslot write, or when any
// of its fields disagrees with its size. Pure: reads only bytes[0, size).
std::optional<TDatagramView> ParseDatagram(const std::uint8_t* bytes, std::size_t size);
// The view with its mailslot name and data copied out of the bytes received.
TMailslotDatagram ToDatagram(const TDatagramView& view);
// ParseDatagram, with the mailslot name and data copied out.
std::optional<TMailslotDatagram> DecodeDatagram(const std::uint8_t* bytes, std::size_t size);

}  // namespace hw::platform::net
