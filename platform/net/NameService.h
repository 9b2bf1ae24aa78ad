// The NetBIOS name service, B-node style (RFC 1002 4.2.12 and 4.2.13), on the name
// port (Config().name_port): this computer answers queries for its own name while a
// program on it owns a mailslot, and resolves other computers' names by broadcast.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/net/Datagram.h"

namespace hw::platform::net {

constexpr std::uint16_t kNameTypeNb = 0x0020;
constexpr std::uint16_t kNameTypeNbstat = 0x0021;
constexpr std::uint16_t kNameClassIn = 0x0001;

// One entry of a node's name table (RFC 1002 4.2.18).
struct TNodeName {
  TNetbiosName name;
  std::uint16_t flags = 0;  // NAME_FLAGS: kNodeNameGroup, kNodeNameActive, ...
};
constexpr std::uint16_t kNodeNameGroup = 0x8000;
constexpr std::uint16_t kNodeNameActive = 0x0400;

struct TNamePacket {
  std::uint16_t id = 0;
  bool response = false;
  std::uint8_t opcode = 0;  // 0 query
  std::uint16_t flags = 0;  // the whole second 16-bit word
  std::uint8_t rcode = 0;
  TNetbiosName name;
  std::uint32_t ttl = 0;                // responses
  std::vector<in_addr> addresses;       // responses: every NB_ADDRESS of the answer
  std::uint16_t nb_flags = 0;           // the first NB_FLAGS of an answer or a claim
  std::uint16_t question_type = kNameTypeNb;  // kNameTypeNbstat: a node status request or response
  std::vector<TNodeName> node_names;          // node status responses
};

// A NAME QUERY REQUEST, broadcast (B and RD set), for name.
std::vector<std::uint8_t> EncodeNameQuery(std::uint16_t id, const TNetbiosName& name);
// A positive NAME QUERY RESPONSE giving one B-node address, of a unique name or
// (nb_flags with the G bit, 0x8000) of a member of a group.
std::vector<std::uint8_t> EncodeNameQueryResponse(std::uint16_t id, const TNetbiosName& name, in_addr address,
                                                  std::uint32_t ttl, std::uint16_t nb_flags = 0);
// A NODE STATUS REQUEST for the wildcard name "*", to one address.
std::vector<std::uint8_t> EncodeNodeStatusRequest(std::uint16_t id);
// A NODE STATUS RESPONSE to a request for `asked`, listing names (statistics zero).
std::vector<std::uint8_t> EncodeNodeStatusResponse(std::uint16_t id, const TNetbiosName& asked,
                                                   const std::vector<TNodeName>& names);
// Parses a name query request or response; nullopt (and the drop counted) when
// the packet is anything else or its fields disagree with its size.
std::optional<TNamePacket> DecodeNamePacket(const std::uint8_t* bytes, std::size_t size);
std::uint64_t NamePacketsDropped();

// What a broadcast name query finds for name<00>: the address of the computer of
// that name, or members of a workgroup of that name (a group answer). An answer
// counts only when it comes from an address it gives. After the first the query
// listens a moment longer: when computers at two addresses answer, the name is
// disputed and no address is chosen. Cached for the answer's time to live (a miss or
// a dispute for a few seconds). Sends only to the carrier's interfaces.
struct TNameFound {
  std::optional<in_addr> address;  // a computer
  bool workgroup = false;
  std::vector<in_addr> disputed;  // two or more computers answered (address is empty)
};
TNameFound QueryName(const std::string& name);
// QueryName's address of a computer.
std::optional<in_addr> QueryComputerName(const std::string& name);
// Every address that answers a fresh query for name within the wait, from that
// address (no cache).
std::vector<in_addr> QueryComputerNameAnswers(const std::string& name);
// The computer name that the node at address gives for itself: the unique, active
// <00> name of its NODE STATUS answer, asked with a short wait and one repeat; an
// address of this computer needs no question. nullopt when nobody answers.
std::optional<std::string> QueryNodeName(in_addr address);
// Drops every kept answer (this computer's interfaces changed).
void ForgetComputerNames();

// Answering queries for this computer's name. Only one process per computer
// answers: the first to start, until it stops; the others keep trying (Start again).
// Returns true while this process is the one answering.
bool StartNameResponder();
void StopNameResponder();

enum class TNameAnswerer { ThisProcess, OtherProcess, Nobody };
// Who answers the name service on this computer now.
TNameAnswerer NameServiceAnswerer();
// Why this process could not bind the name port when it was its turn to answer (the
// user was told once, through PostNetworkNotice); empty when it could.
std::string NamePortProblem();
// Whether this process has yet tried to answer (it does once it owns a mailslot).
bool NameResponderTried();

}  // namespace hw::platform::net
