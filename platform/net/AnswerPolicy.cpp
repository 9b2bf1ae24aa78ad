#include "platform/net/AnswerPolicy.h"

#include <algorithm>

#include "platform/net/RemoteTargets.h"

namespace hw::platform::net {

bool MayAnswer(in_addr source, const TPlatformConfig& config) {
  if (OnOwnSubnet(source, config.interfaces)) return true;
  // Peers the user named are asked to reach us across a router; they may ask back.
  for (const auto& target : config.remote_targets)
    if (target.address.s_addr == source.s_addr) return true;
  for (const auto& server : config.wins_servers)
    if (server.s_addr == source.s_addr) return true;
  return IsOffSubnetPeer(source);
}

bool TAnswerRate::Allow(in_addr source, Clock::time_point now) {
  // The bucket as the time it is full again: each answer moves it one gap later, and
  // an answer is allowed while that time is at most burst - 1 gaps ahead of now.
  auto it = full_at_.find(source.s_addr);
  if (it == full_at_.end()) {
    if (full_at_.size() >= kMaxRateSources) {
      for (auto i = full_at_.begin(); i != full_at_.end();) i = i->second <= now ? full_at_.erase(i) : std::next(i);
      if (full_at_.size() >= kMaxRateSources) return false;
    }
    it = full_at_.emplace(source.s_addr, now).first;
  }
  const auto start = std::max(it->second, now);
  if (start - now > gap_ * static_cast<long>(burst_ > 0 ? burst_ - 1 : 0) || burst_ == 0) return false;
  it->second = start + gap_;
  return true;
}

}  // namespace hw::platform::net
