// Whom this computer answers, and how often. The name responder and the presence
// service answer questions (name queries, node status, AnnouncementRequests) only
// from askers that could be real partners, each at a bounded rate, so that a
// datagram with a forged source cannot make them send to anyone or send much.
#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "platform/net/Config.h"

namespace hw::platform::net {

// True when a question from `source` may be answered: it is on the subnet of one of
// `config`'s interfaces, on loopback, one of its remote targets or WINS servers, or
// an off-subnet peer whose announcement lives (RemoteTargets.h).
bool MayAnswer(in_addr source, const TPlatformConfig& config);

// A bucket per source address: `burst` answers at once, then one every `gap`. Sources
// are forgotten once their bucket is full again; while kMaxRateSources sources are
// kept, a new source gets nothing, so a flood from many addresses costs a bounded table.
constexpr std::size_t kMaxRateSources = 4096;
class TAnswerRate {
 public:
  using Clock = std::chrono::steady_clock;
  TAnswerRate(std::size_t burst, Clock::duration gap) : burst_(burst), gap_(gap) {}
  // True (and the answer counted) when `source` may have one more answer now.
  bool Allow(in_addr source, Clock::time_point now);

 private:
  std::size_t burst_;
  Clock::duration gap_;
  // When each source's bucket is full again.
  std::unordered_map<std::uint32_t, Clock::time_point> full_at_;
};

}  // namespace hw::platform::net
