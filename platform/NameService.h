// The NetBIOS name service, B-node style (RFC 1002 4.2.12 and 4.2.13), on the name
// port (Config().name_port): this computer answers queries for its own name while a
// program on it owns a mailslot, and resolves other computers' names by broadcast.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Datagram.h"

namespace hw::platform {

constexpr std::uint16_t kNameTypeNb = 0x0020;
constexpr std::uint16_t kNameClassIn = 0x0001;

struct TNamePacket {
  std::uint16_t id = 0;
  bool response = false;
  std::uint8_t opcode = 0;  // 0 query
  std::uint16_t flags = 0;  // the whole second 16-bit word
  std::uint8_t rcode = 0;
  TNetbiosName name;
  std::uint32_t ttl = 0;                // responses
  std::vector<in_addr> addresses;       // responses: every NB_ADDRESS of the answer
};

// A NAME QUERY REQUEST, broadcast (B and RD set), for name.
std::vector<std::uint8_t> EncodeNameQuery(std::uint16_t id, const TNetbiosName& name);
// A positive NAME QUERY RESPONSE giving one unique B-node address.
std::vector<std::uint8_t> EncodeNameQueryResponse(std::uint16_t id, const TNetbiosName& name, in_addr address,
                                                  std::uint32_t ttl);
// Parses a name query request or response; nullopt (and the drop counted) when
// the packet is anything else or its fields disagree with its size.
std::optional<TNamePacket> DecodeNamePacket(const std::uint8_t* bytes, std::size_t size);
std::uint64_t NamePacketsDropped();

// The address of a computer by name query: the first positive answer within the
// wait, cached for its time to live (a miss for a few seconds). Sends only to the
// carrier's interfaces.
std::optional<in_addr> QueryComputerName(const std::string& name);

// Answering queries for this computer's name. Only one process per computer
// answers: the first to start, until it stops; the others keep trying (Start again).
// Returns true while this process is the one answering.
bool StartNameResponder();
void StopNameResponder();

}  // namespace hw::platform
