// Owning this computer's NetBIOS names (RFC 1002 4.2.2 to 4.2.11 and 4.2.16): the
// registration, refresh and release packets, the B-node defence of the name on the LAN
// and the WINS registrations (Wins.h), both run by the process that answers the name
// service for the computer.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/net/Datagram.h"
#include "platform/net/NameService.h"

namespace hw::platform::net {

constexpr std::uint8_t kOpcodeQuery = 0;
constexpr std::uint8_t kOpcodeRegistration = 5;
constexpr std::uint8_t kOpcodeRelease = 6;
constexpr std::uint8_t kOpcodeWack = 7;
constexpr std::uint8_t kOpcodeRefresh = 8;
constexpr std::uint8_t kOpcodeRefreshAlt = 9;  // what some servers send for a refresh
constexpr std::uint8_t kRcodeNameError = 3;    // NAM_ERR: a WINS server does not know the name
constexpr std::uint8_t kRcodeActive = 6;       // ACT_ERR: the name is owned by another node
constexpr std::uint16_t kNbGroup = 0x8000;
constexpr std::uint16_t kNbOntH = 0x6000;  // WINS first, then broadcast (B node: 0)

// One name a node claims: for a unique name a single address, for a group a member.
struct TNameClaim {
  TNetbiosName name;
  std::uint16_t nb_flags = 0;  // G bit and owner node type
  in_addr address{};
  std::uint32_t ttl = 0;
};

// NAME REGISTRATION REQUEST; broadcast sets the B flag (a B node's claim on the LAN).
std::vector<std::uint8_t> EncodeNameRegistration(std::uint16_t id, const TNameClaim& claim, bool broadcast);
// NAME REFRESH REQUEST, to a WINS server.
std::vector<std::uint8_t> EncodeNameRefresh(std::uint16_t id, const TNameClaim& claim);
// NAME RELEASE REQUEST.
std::vector<std::uint8_t> EncodeNameRelease(std::uint16_t id, const TNameClaim& claim, bool broadcast);
// A registration response: rcode 0 grants the claim, any other refuses it (kRcodeActive
// when this node owns the name).
std::vector<std::uint8_t> EncodeNameRegistrationResponse(std::uint16_t id, const TNameClaim& claim,
                                                         std::uint8_t rcode);
// WAIT FOR ACKNOWLEDGEMENT: the server needs up to ttl seconds for the request whose
// header flags were request_flags.
std::vector<std::uint8_t> EncodeWack(std::uint16_t id, const TNetbiosName& name, std::uint32_t ttl,
                                     std::uint16_t request_flags);
// A NAME QUERY REQUEST to one server (no B flag).
std::vector<std::uint8_t> EncodeUnicastNameQuery(std::uint16_t id, const TNetbiosName& name);

// The packets DecodeNamePacket hands over: every opcode but a query, and negative
// query responses. nullopt when the fields disagree with the size.
std::optional<TNamePacket> ParseNameOwnershipPacket(const std::uint8_t* bytes, std::size_t size);

// The name responder's part: answers a claim on this computer's name by another node
// with a negative response through send (to the claimant's source), and tells the
// user once.
void AnswerNameClaim(const TNamePacket& packet, const std::function<void(const std::vector<std::uint8_t>&)>& send);
// Called by the name responder as it starts and stops answering for the computer:
// claims the names in the background (B-node broadcast, WINS registration and refresh).
void NameOwnershipStarted();
void NameOwnershipStopped();

// The user hears of a conflict once per process, with the other computer's address
// when it is known (the empty address when not).
void ReportNameConflict(const std::string& name, in_addr other, const std::string& through);

// Another computer's name that two or more addresses claim at once (two answers that
// disagree, or a second address announcing a live name): the text a send to it fails
// with, and the notice the user gets once per name.
std::string DisputedNameText(const std::string& name, const std::vector<in_addr>& addresses);
void ReportDisputedName(const std::string& name, const std::vector<in_addr>& addresses);

}  // namespace hw::platform::net
