#include "platform/net/RemoteTargets.h"

#include <arpa/inet.h>

#include <algorithm>
#include <mutex>
#include <set>

#include "platform/net/Carrier.h"

namespace hw::platform::net {

namespace {

std::mutex g_mutex;
TOffSubnetPeers g_peers;

}  // namespace

bool OnOwnSubnet(in_addr a, const std::vector<TCarrierInterface>& interfaces) {
  if ((ntohl(a.s_addr) >> 24) == 127) return true;
  for (const auto& itf : interfaces)
    if ((a.s_addr & itf.netmask.s_addr) == (itf.address.s_addr & itf.netmask.s_addr)) return true;
  return false;
}

bool TOffSubnetPeers::Note(in_addr from, Clock::time_point until) {
  auto it = until_.find(from.s_addr);
  if (it != until_.end()) {
    it->second = std::max(it->second, until);
    return false;
  }
  if (until_.size() >= kMaxOffSubnetPeers) Alive(Clock::now());
  if (until_.size() >= kMaxOffSubnetPeers) return false;
  until_.emplace(from.s_addr, until);
  return true;
}

void TOffSubnetPeers::Forget(in_addr from) { until_.erase(from.s_addr); }

bool TOffSubnetPeers::Contains(in_addr from, Clock::time_point now) const {
  const auto it = until_.find(from.s_addr);
  return it != until_.end() && it->second >= now;
}

std::vector<in_addr> TOffSubnetPeers::Alive(Clock::time_point now) {
  std::vector<in_addr> out;
  for (auto it = until_.begin(); it != until_.end();) {
    if (it->second < now) {
      it = until_.erase(it);
      continue;
    }
    in_addr a{};
    a.s_addr = it->first;
    out.push_back(a);
    ++it;
  }
  return out;
}

bool NoteOffSubnetPeer(in_addr from, std::chrono::milliseconds lifetime) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_peers.Note(from, TOffSubnetPeers::Clock::now() + lifetime);
}

void ForgetOffSubnetPeer(in_addr from) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_peers.Forget(from);
}

bool IsOffSubnetPeer(in_addr from) {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_peers.Contains(from, TOffSubnetPeers::Clock::now());
}

void SendToAddress(const TMailslotDatagram& datagram, in_addr to) {
  SendCarrierDatagram(EncodeDatagram(datagram), to);
}

void SendToRemoteTargets(TMailslotDatagram fields, const std::uint8_t* data, std::size_t size) {
  const auto& config = Config();
  std::vector<in_addr> peers;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    peers = g_peers.Alive(TOffSubnetPeers::Clock::now());
  }
  if (config.remote_targets.empty() && peers.empty()) return;
  // Best effort, as a broadcast is: a target that cannot be reached now is tried again
  // with the next datagram.
  std::set<std::uint32_t> sent;
  const std::string own = fields.destination.name;
  for (const auto& target : config.remote_targets) {
    if (!sent.insert(target.address.s_addr).second) continue;
    fields.destination.name = target.workgroup.empty() ? own : target.workgroup;
    SendCarrierDatagram(EncodeDatagram(fields, data, size), target.address);
  }
  fields.destination.name = own;
  std::vector<std::uint8_t> bytes;
  for (const auto& peer : peers) {
    if (!sent.insert(peer.s_addr).second) continue;
    if (bytes.empty()) bytes = EncodeDatagram(fields, data, size);
    SendCarrierDatagram(bytes, peer);
  }
}

}  // namespace hw::platform::net
