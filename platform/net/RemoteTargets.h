// Beyond the local subnets: the remote targets of the configuration and the off-subnet
// peers heard from, to which host announcements, the announcement request and writes
// to the whole workgroup go as unicasts besides the local broadcasts.
#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/net/Config.h"
#include "platform/net/Datagram.h"

namespace hw::platform::net {

// Few enough that a LAN of hosts announcing from invented addresses gets at most this
// many unicasts out of us per announcement.
constexpr std::size_t kMaxOffSubnetPeers = 32;

// True when a lies on the subnet of one of the interfaces, or is this computer's.
bool OnOwnSubnet(in_addr a, const std::vector<TCarrierInterface>& interfaces);

// Computers outside every subnet of ours that announced themselves to our workgroup,
// each kept while its announcement lives.
class TOffSubnetPeers {
 public:
  using Clock = std::chrono::steady_clock;
  // Keeps from until `until`; true when it was not kept before. A full table refuses
  // new addresses until one expires.
  bool Note(in_addr from, Clock::time_point until);
  void Forget(in_addr from);
  bool Contains(in_addr from, Clock::time_point now) const;
  // The live ones, expired ones dropped.
  std::vector<in_addr> Alive(Clock::time_point now);

 private:
  std::map<std::uint32_t, Clock::time_point> until_;
};

// The process's table (thread-safe): presence notes and forgets peers in it.
bool NoteOffSubnetPeer(in_addr from, std::chrono::milliseconds lifetime);
void ForgetOffSubnetPeer(in_addr from);
// True while from is a live off-subnet peer.
bool IsOffSubnetPeer(in_addr from);

// Sends a group datagram to every remote target (addressed to the target's workgroup
// when it names one) and every off-subnet peer, each address once. `fields` is the
// datagram as broadcast to our workgroup; data is its payload.
void SendToRemoteTargets(TMailslotDatagram fields, const std::uint8_t* data, std::size_t size);
// The same to one address only (an answer to a newly heard peer).
void SendToAddress(const TMailslotDatagram& datagram, in_addr to);

}  // namespace hw::platform::net
