#include "platform/net/Presence.h"

#include <arpa/inet.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

#include "platform/net/AnswerPolicy.h"
#include "platform/net/Carrier.h"
#include "platform/net/Config.h"
#include "platform/net/LocalMailslot.h"
#include "platform/net/Mpr.h"
#include "platform/net/NameRegistration.h"
#include "platform/net/NameService.h"
#include "platform/net/RemoteTargets.h"
#include "platform/system/Kernel32.h"
#include "platform/net/Wins.h"

namespace hw::platform::net {

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kBrowseMailslot = "\\MAILSLOT\\BROWSE";
constexpr std::uint8_t kOpHostAnnouncement = 1;
constexpr std::uint8_t kOpAnnouncementRequest = 2;
constexpr std::uint8_t kSuffixMasterBrowser = 0x1D;
constexpr auto kFirstEnumerationWait = std::chrono::milliseconds(700);
// A listing tool waits on while names keep arriving this often.
constexpr auto kAnswerQuietGap = std::chrono::milliseconds(250);

std::uint32_t AnnouncePeriodMs() {
  const char* v = std::getenv("HALLWIRE_ANNOUNCE_PERIOD_MS");
  if (v) {
    const long ms = std::strtol(v, nullptr, 10);
    // Within what receivers accept, or they drop this computer between announcements.
    if (ms >= 100) return static_cast<std::uint32_t>(std::min<long>(ms, kMaxAnnouncePeriodMs));
  }
  return 60000;
}

bool ValidName(const std::string& name) {
  if (name.empty() || name.size() > 15) return false;
  for (unsigned char c : name)
    if (c < 0x21 || c == '\\' || c == 0x7F) return false;
  return true;
}

constexpr auto kGoodbyeDelay = std::chrono::milliseconds(150);
// Longer than the WINS releases take (two rounds of a quarter second each).
constexpr auto kGoodbyeAtExitWait = std::chrono::seconds(2);
constexpr auto kMinAnswerGap = std::chrono::milliseconds(250);

std::atomic<std::uint64_t> g_browse_dropped{0};

// True when a datagram from `a` came from this computer.
bool IsOwnAddress(in_addr a) {
  if ((ntohl(a.s_addr) >> 24) == 127) return true;
  for (const auto& itf : Config().interfaces)
    if (itf.address.s_addr == a.s_addr) return true;
  return false;
}

class TPresence {
 public:
  static TPresence& Instance() {
    static TPresence* presence = [] {
      auto* p = new TPresence();  // threads end with their users
      std::atexit([] { Instance().GoodbyeAtExit(); });
      return p;
    }();
    return *presence;
  }

  void AddAnnouncer() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (announcers_++ == 0) {
      goodbye_due_ = false;  // a rename: the new mailslot came before the goodbye
      StartListening(lock);
      next_announce_ = Clock::now();
      wake_.notify_all();
    }
  }

  void RemoveAnnouncer() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (announcers_ == 0 || --announcers_ > 0) return;
    StopListening(lock);
    lock.unlock();
    StopNameResponder();
    lock.lock();
    if (announcers_ > 0) return;
    table_.Erase(Config().computer_name);
    // A rename closes the old mailslot before it creates the new one, so the goodbye
    // is decided a moment later; a mailslot created meanwhile cancels it.
    goodbye_due_ = true;
    const auto serial = ++goodbye_serial_;
    std::thread([this, serial] {
      std::this_thread::sleep_for(kGoodbyeDelay);
      Goodbye(serial);
    }).detach();
  }

  std::vector<TPresenceEntry> Computers() {
    std::unique_lock<std::mutex> lock(mutex_);
    bool temporary = false;
    if (!asked_) {
      asked_ = true;
      if (!listening_) {
        StartListening(lock);
        temporary = true;
      }
      SendRequest();
      const auto asked_at = Clock::now();
      lock.unlock();
      std::this_thread::sleep_until(asked_at + kFirstEnumerationWait);
      lock.lock();
      // A program that only looks (a listing) waits for the rest of a big LAN, whose
      // answers are spread over a time that grows with its size; one that stays
      // (the messenger) has them by its next refresh.
      while (temporary) {
        const auto quiet_at = last_new_name_ + kAnswerQuietGap;
        const auto limit = asked_at + AnswerDelayBound(table_.Entries().size()) + kAnswerQuietGap;
        const auto until = std::min(quiet_at, limit);
        if (Clock::now() >= until) break;
        lock.unlock();
        std::this_thread::sleep_until(until);
        lock.lock();
      }
    }
    table_.Expire(Clock::now());
    std::vector<TPresenceEntry> out;
    const std::string& workgroup = Config().workgroup;
    for (const auto& [name, entry] : table_.Entries())
      if (entry.workgroup == workgroup) out.push_back(entry);
    if (temporary && announcers_ == 0) StopListening(lock);
    return out;  // the map keeps names sorted
  }

  bool KnowsWorkgroup(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string wanted = ToUpperAscii(name);
    for (const auto& [computer, entry] : table_.Entries())
      if (entry.workgroup == wanted) return true;
    return false;
  }

  void InterfacesChanged(bool new_address) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!new_address || announcers_ == 0) return;
    next_announce_ = Clock::now();
    request_due_ = true;
    wake_.notify_all();
  }

  // A name heard in a single announcement is left to the name service: a forger's
  // one datagram, sent before the owner was first heard, would otherwise carry
  // messages until the owner's next announcement made the name disputed.
  std::vector<in_addr> Resolve(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string key = ToUpperAscii(name);
    auto claimants = Settle(key, table_.Claimants(key, Clock::now()));
    const auto it = table_.Entries().find(key);
    if (claimants.size() == 1 && it != table_.Entries().end() && !it->second.local && it->second.heard < 2 &&
        claimants.front().s_addr == it->second.address.s_addr)
      claimants.clear();
    return claimants;
  }

 private:
  TPresence() : rng_(std::random_device{}()) {
    SetOnMailslotOpened([this] { AddAnnouncer(); });
    SetOnMailslotClosed([this] { RemoveAnnouncer(); });
  }

  void StartListening(std::unique_lock<std::mutex>& lock) {
    if (listening_) return;
    listening_ = true;
    stopping_ = false;
    lock.unlock();
    auto listener = std::make_unique<TCarrierListener>(
        "BROWSE", [this](const TMailslotDatagram& d, const sockaddr_in& from) { OnDatagram(d, from); });
    SetNameResolver([this](const std::string& name) { return Resolve(name); });
    SetWorkgroupTest([this](const std::string& name) { return KnowsWorkgroup(name); });
    lock.lock();
    listener_ = std::move(listener);
    thread_ = std::thread([this] { Run(); });
  }

  void StopListening(std::unique_lock<std::mutex>& lock) {
    if (!listening_) return;
    listening_ = false;
    stopping_ = true;
    wake_.notify_all();
    std::thread t = std::move(thread_);
    auto listener = std::move(listener_);
    lock.unlock();
    if (t.joinable()) t.join();
    listener.reset();
    lock.lock();
  }

  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
      const auto now = Clock::now();
      if (announcers_ > 0) {
        if (now >= next_announce_) {
          answer_pending_ = false;
          Announce(kServerTypeWorkstation | kServerTypeServer);
          last_announced_ = now;
          next_announce_ = now + std::chrono::milliseconds(AnnouncePeriodMs());
        }
        if (request_due_) {
          request_due_ = false;
          SendRequest();
        }
        // Another program may have answered for this computer until now.
        StartNameResponder();
      }
      VerifyMoves(lock);
      table_.Expire(now);
      auto wake_at = now + std::chrono::seconds(1);
      if (announcers_ > 0) wake_at = std::min(wake_at, next_announce_);
      wake_.wait_until(lock, wake_at);
    }
  }

  // Server type 0 takes this computer off every table at once: sent only when no
  // program on the computer owns a mailslot any longer.
  void Goodbye(std::uint64_t serial) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!goodbye_due_ || serial != goodbye_serial_ || announcers_ > 0) return;
    goodbye_due_ = false;
    goodbye_sending_ = true;
    lock.unlock();
    SendGoodbye();
    lock.lock();
    goodbye_sending_ = false;
    goodbye_sent_.notify_all();
  }

  void SendGoodbye() {
    const bool owned_here = AnyMailslotOwnedOnComputer();
    std::unique_lock<std::mutex> lock(mutex_);
    if (owned_here || announcers_ > 0) return;
    Announce(0);
    lock.unlock();
    ReleaseWinsNames();
  }

  // A program that closes its last mailslot and ends at once would never send the
  // goodbye it had waiting; one already on its way on the delayed thread is waited
  // for, or the WINS releases it is still sending would be cut off.
  void GoodbyeAtExit() {
    std::uint64_t serial;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      serial = goodbye_serial_;
    }
    Goodbye(serial);
    std::unique_lock<std::mutex> lock(mutex_);
    goodbye_sent_.wait_for(lock, kGoodbyeAtExitWait, [this] { return !goodbye_sending_; });
  }

  // Sends this computer's HostAnnouncement to the workgroup (mutex held).
  void Announce(std::uint32_t server_type) {
    Send(EncodeBrowseMessage(OwnAnnouncement(server_type)), {Config().workgroup, kSuffixMasterBrowser});
  }

  THostAnnouncement OwnAnnouncement(std::uint32_t server_type) {  // mutex held
    THostAnnouncement a;
    a.opcode = kOpHostAnnouncement;
    a.update_count = update_count_++;
    a.periodicity_ms = AnnouncePeriodMs();
    a.server_name = Config().computer_name;
    a.server_type = server_type;
    a.comment = "Hallwire";
    return a;
  }

  void SendRequest() {
    const auto& config = Config();
    THostAnnouncement r;
    r.opcode = kOpAnnouncementRequest;
    r.comment = config.computer_name;
    Send(EncodeBrowseMessage(r), {config.workgroup, 0x00});
  }

  static TMailslotDatagram BrowseDatagram(const TNetbiosName& to) {
    const auto& config = Config();
    TMailslotDatagram d;
    d.type = TDatagramType::DirectGroup;
    d.source_ip = CarrierSourceAddress();
    d.source_port = config.port;
    d.source = {config.computer_name, 0x00};
    d.destination = to;
    d.mailslot = kBrowseMailslot;
    return d;
  }

  static void Send(const std::vector<std::uint8_t>& payload, const TNetbiosName& to) {
    const TMailslotDatagram d = BrowseDatagram(to);
    SendCarrierDatagram(EncodeDatagram(d, payload.data(), payload.size()), std::nullopt);
    SendToRemoteTargets(d, payload.data(), payload.size());
  }

  // This computer's announcement to one newly heard off-subnet peer, so that it lists
  // us at once rather than at our next period (mutex held).
  void AnnounceTo(in_addr peer) {
    TMailslotDatagram d = BrowseDatagram({Config().workgroup, kSuffixMasterBrowser});
    d.data = EncodeBrowseMessage(OwnAnnouncement(kServerTypeWorkstation | kServerTypeServer));
    SendToAddress(d, peer);
  }

  // A computer beyond our subnets that announces itself to our workgroup hears our
  // announcements and writes to the workgroup from then on, while its announcement
  // lives: a remote target on one side is enough for both (mutex held).
  void NotePeer(const THostAnnouncement& message, const std::string& workgroup, in_addr from) {
    const auto& config = Config();
    if (workgroup != config.workgroup || OnOwnSubnet(from, config.interfaces)) return;
    if (message.server_type == 0) {
      ForgetOffSubnetPeer(from);
      return;
    }
    const auto period = std::clamp(message.periodicity_ms, kMinAnnouncePeriodMs, kMaxAnnouncePeriodMs);
    if (NoteOffSubnetPeer(from, 3 * std::chrono::milliseconds(period)) && announcers_ > 0) AnnounceTo(from);
  }

  void OnDatagram(const TMailslotDatagram& d, const sockaddr_in& from) {
    auto message = DecodeBrowseMessage(d.data.data(), d.data.size());
    if (!message) return;
    const std::string workgroup = ToUpperAscii(d.destination.name);
    const bool local = IsOwnAddress(from.sin_addr);
    std::unique_lock<std::mutex> lock(mutex_);
    const auto now = Clock::now();
    if (message->opcode == kOpAnnouncementRequest) {
      // Every computer of a LAN answers one request: only askers we could talk to
      // are heard, each seldom, or one forged datagram would make the LAN broadcast.
      if (announcers_ > 0 && workgroup == Config().workgroup && (local || MayAnswer(from.sin_addr, Config())) &&
          request_rate_.Allow(from.sin_addr, now))
        ScheduleAnswer();
      return;
    }
    const std::size_t known = table_.Entries().size();
    const std::string name = ToUpperAscii(message->server_name);
    const auto rival_before = RivalOf(name);
    if (table_.Apply(*message, workgroup, from.sin_addr, local, now)) {
      if (table_.Entries().size() > known) last_new_name_ = now;
      if (!local) NotePeer(*message, workgroup, from.sin_addr);
      return;
    }
    if (message->server_type == 0) return;
    const bool checking = !local && NoteMove(*message, workgroup, from.sin_addr, now);
    const auto rival = RivalOf(name);
    if (!rival || (rival_before && rival_before->s_addr == rival->s_addr)) return;
    // A computer whose address changed announces from the new one: while the name
    // service is asked which address answers, the holder keeps the name; otherwise
    // the dispute begins now.
    if (checking) {
      table_.SetRivalPending(name, true);
      return;
    }
    TellDispute(lock, name);
  }

  // A dispute that has just begun is told once, unless a signed line settles it.
  void TellDispute(std::unique_lock<std::mutex>& lock, const std::string& name) {
    const auto it = table_.Entries().find(name);
    if (it == table_.Entries().end() || !it->second.rival) return;
    const TPresenceEntry entry = it->second;
    const auto claimants = table_.Claimants(name, Clock::now());
    const bool settled = Settle(name, claimants).size() == 1;
    lock.unlock();
    if (entry.local && !entry.rival_local)
      ReportNameConflict(name, *entry.rival, "it announced the name");
    else if (!entry.local && entry.rival_local)
      ReportNameConflict(name, entry.address, "it announced the name");
    else if (!entry.local && !settled)
      ReportDisputedName(name, claimants);
    lock.lock();
  }

  std::optional<in_addr> RivalOf(const std::string& name) const {  // mutex held
    const auto it = table_.Entries().find(name);
    return it == table_.Entries().end() ? std::nullopt : it->second.rival;
  }

  // Claimants of a disputed name, reduced to the one a signed line vouched for.
  static std::vector<in_addr> Settle(const std::string& name, std::vector<in_addr> claimants) {
    if (claimants.size() < 2) return claimants;
    const auto vouched = VouchedAddress(name);
    for (const in_addr a : claimants)
      if (vouched && a.s_addr == vouched->s_addr) return {a};
    return claimants;
  }

  // A name announced from a new address while alive at its old one is either a
  // computer whose address changed or a host claiming another's name. The name
  // service tells them apart: the move is taken when a fresh query is answered from
  // the new address and not from the old one (mutex held). True when a check was
  // queued.
  bool NoteMove(const THostAnnouncement& message, const std::string& workgroup, in_addr from, Clock::time_point now) {
    const std::string name = ToUpperAscii(message.server_name);
    auto it = table_.Entries().find(name);
    if (it == table_.Entries().end() || it->second.local) return false;
    // At most one check per name every few seconds, and few names at once: a host
    // that claims names cannot make this computer query without end.
    if (last_move_check_.size() > kMaxPresenceEntries) last_move_check_.clear();
    auto& last = last_move_check_[name];
    if (now - last < kMoveCheckGap || moves_.size() >= kMaxMoveChecks) return false;
    last = now;
    moves_.push_back({message, workgroup, from, it->second.address});
    wake_.notify_all();
    return true;
  }

  void VerifyMoves(std::unique_lock<std::mutex>& lock) {
    while (!moves_.empty()) {
      const TMove move = moves_.front();
      moves_.erase(moves_.begin());
      lock.unlock();
      const auto answers = QueryComputerNameAnswers(move.message.server_name);
      lock.lock();
      const auto answered = [&](in_addr a) {
        return std::any_of(answers.begin(), answers.end(), [&](in_addr b) { return a.s_addr == b.s_addr; });
      };
      const std::string name = ToUpperAscii(move.message.server_name);
      auto it = table_.Entries().find(name);
      if (it == table_.Entries().end()) continue;
      const bool moved = answered(move.to) && !answered(move.from);
      if (moved && it->second.address.s_addr == move.from.s_addr) {
        table_.Erase(it->first);
        table_.Apply(move.message, move.workgroup, move.to, false, Clock::now());
        table_.Confirm(name);
      } else if (it->second.rival && it->second.rival->s_addr == move.to.s_addr && it->second.rival_pending) {
        table_.SetRivalPending(name, false);
        TellDispute(lock, name);
      }
    }
  }

  // Answers a request after a random delay up to AnswerDelayBound, so that a LAN
  // answers at a bounded rate whatever its size, and never sooner than kMinAnswerGap
  // after the last announcement. One answer pending serves every request that comes
  // meanwhile, so a stream of requests is not echoed one for one (mutex held).
  void ScheduleAnswer() {
    if (answer_pending_) return;
    // However many askers there are (forged sources are many), this computer answers
    // a few requests at once and then one every two seconds.
    if (!lan_request_rate_.Allow(in_addr{}, Clock::now())) return;
    const auto bound = AnswerDelayBound(table_.Entries().size());
    const auto delay = std::chrono::milliseconds(
        std::uniform_int_distribution<std::int64_t>(0, static_cast<std::int64_t>(bound.count()))(rng_));
    const auto at = std::max(Clock::now() + delay, last_announced_ + kMinAnswerGap);
    if (at < next_announce_) {
      next_announce_ = at;
      answer_pending_ = true;
      wake_.notify_all();
    }
  }

  struct TMove {
    THostAnnouncement message;
    std::string workgroup;
    in_addr to;
    in_addr from;
  };
  static constexpr auto kMoveCheckGap = std::chrono::seconds(5);
  // One asker is heard four times at once, then every 15 s (a computer asks as it
  // starts, a listing tool once per run); all askers together are answered five times
  // at once, then every 2 s.
  static constexpr std::size_t kRequestBurst = 4;
  static constexpr auto kRequestGap = std::chrono::seconds(15);
  static constexpr std::size_t kLanRequestBurst = 5;
  static constexpr auto kLanRequestGap = std::chrono::seconds(2);
  static constexpr std::size_t kMaxMoveChecks = 8;

  std::mutex mutex_;
  std::condition_variable wake_;
  bool request_due_ = false;
  std::vector<TMove> moves_;
  std::map<std::string, Clock::time_point> last_move_check_;
  int announcers_ = 0;
  bool listening_ = false;
  bool stopping_ = false;
  bool asked_ = false;
  bool goodbye_due_ = false;
  bool goodbye_sending_ = false;
  std::condition_variable goodbye_sent_;
  bool answer_pending_ = false;
  std::uint64_t goodbye_serial_ = 0;
  std::uint8_t update_count_ = 0;
  Clock::time_point next_announce_{};
  Clock::time_point last_announced_{};
  TAnswerRate request_rate_{kRequestBurst, kRequestGap};
  TAnswerRate lan_request_rate_{kLanRequestBurst, kLanRequestGap};
  Clock::time_point last_new_name_{};
  TPresenceTable table_;
  std::unique_ptr<TCarrierListener> listener_;
  std::thread thread_;
  std::mt19937 rng_;
};

void PutLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t GetLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::vector<std::uint8_t> EncodeBrowseMessage(const THostAnnouncement& m) {
  if (m.opcode == kOpAnnouncementRequest) {
    std::vector<std::uint8_t> out{kOpAnnouncementRequest, 0};
    out.insert(out.end(), m.comment.begin(), m.comment.end());
    out.push_back(0);
    return out;
  }
  std::vector<std::uint8_t> out(32, 0);
  out[0] = m.opcode;
  out[1] = m.update_count;
  PutLe32(out, 2, m.periodicity_ms);
  const std::string name = m.server_name.substr(0, 15);
  std::memcpy(&out[6], name.data(), name.size());
  out[22] = m.os_major;
  out[23] = m.os_minor;
  PutLe32(out, 24, m.server_type);
  out[28] = 15;  // browser protocol version 15.1
  out[29] = 1;
  out[30] = 0x55;  // signature 0xAA55
  out[31] = 0xAA;
  const std::string comment = m.comment.substr(0, 43);
  out.insert(out.end(), comment.begin(), comment.end());
  out.push_back(0);
  return out;
}

namespace {

std::optional<THostAnnouncement> ParseBrowseMessage(const std::uint8_t* p, std::size_t size) {
  if (size < 2) return std::nullopt;
  THostAnnouncement m;
  m.opcode = p[0];
  if (m.opcode == kOpAnnouncementRequest) {
    const auto* end = static_cast<const std::uint8_t*>(std::memchr(p + 2, 0, size - 2));
    if (!end) return std::nullopt;
    m.comment.assign(reinterpret_cast<const char*>(p + 2), static_cast<std::size_t>(end - (p + 2)));
    return m;
  }
  if (m.opcode != kOpHostAnnouncement || size < 33) return std::nullopt;
  if (p[30] != 0x55 || p[31] != 0xAA) return std::nullopt;
  m.update_count = p[1];
  m.periodicity_ms = GetLe32(p + 2);
  const auto* name_end = static_cast<const std::uint8_t*>(std::memchr(p + 6, 0, 16));
  if (!name_end) return std::nullopt;
  m.server_name.assign(reinterpret_cast<const char*>(p + 6), static_cast<std::size_t>(name_end - (p + 6)));
  if (!ValidName(m.server_name)) return std::nullopt;
  m.os_major = p[22];
  m.os_minor = p[23];
  m.server_type = GetLe32(p + 24);
  const auto* comment_end = static_cast<const std::uint8_t*>(std::memchr(p + 32, 0, size - 32));
  if (!comment_end) return std::nullopt;
  m.comment.assign(reinterpret_cast<const char*>(p + 32), static_cast<std::size_t>(comment_end - (p + 32)));
  return m;
}

}  // namespace

std::optional<THostAnnouncement> DecodeBrowseMessage(const std::uint8_t* bytes, std::size_t size) {
  auto message = ParseBrowseMessage(bytes, size);
  if (!message) ++g_browse_dropped;
  return message;
}

std::uint64_t BrowseMessagesDropped() { return g_browse_dropped; }

namespace {

std::chrono::milliseconds Hold(std::uint32_t periodicity_ms) {
  return kHeldPeriods * std::chrono::milliseconds(periodicity_ms);
}

std::uint32_t HeldPeriod(std::uint32_t announced_ms) {
  return std::clamp(announced_ms, kMinAnnouncePeriodMs, kMaxAnnouncePeriodMs);
}

}  // namespace

bool TPresenceTable::Apply(const THostAnnouncement& m, const std::string& workgroup, in_addr from, bool local,
                           Clock::time_point now) {
  if (!ValidNetbiosName(workgroup)) return false;
  // A full sweep per announcement would cost a big LAN's table quadratic time: the
  // rest is swept once a second, the name at hand always.
  if (now - last_sweep_ >= std::chrono::seconds(1)) Expire(now);
  const std::string name = ToUpperAscii(m.server_name);
  auto it = entries_.find(name);
  if (it != entries_.end()) it = Age(it, now);
  const bool same_source =
      it != entries_.end() && (it->second.address.s_addr == from.s_addr || (it->second.local && local));
  const bool from_rival = it != entries_.end() && !same_source && it->second.rival &&
                          (it->second.rival->s_addr == from.s_addr || (it->second.rival_local && local));
  if (m.server_type == 0) {
    if (from_rival) it->second.rival.reset();
    if (same_source && it->second.rival)
      Promote(it->second);
    else if (same_source)
      Remove(it);
    return same_source;
  }
  if (it != entries_.end() && !same_source) {
    // Alive elsewhere: the newcomer does not take the name, and is not refused in
    // silence either (it may be the owner, and the holder a forger).
    TPresenceEntry& e = it->second;
    if (!e.rival || e.rival->s_addr != from.s_addr) e.rival_pending = false;
    e.rival = from;
    e.rival_local = local;
    e.rival_periodicity_ms = HeldPeriod(m.periodicity_ms);
    e.rival_last_seen = now;
    return false;
  }
  if (it == entries_.end()) {
    if (!local) {
      const auto held = names_per_source_.find(from.s_addr);
      if (held != names_per_source_.end() && held->second >= kMaxNamesPerSource) return false;
    }
    if (entries_.size() >= kMaxPresenceEntries) Remove(entries_.find(by_last_seen_.begin()->second));
    it = entries_.emplace(name, TPresenceEntry{}).first;
    it->second.local = true;  // counted below, once its source is set
  } else {
    by_last_seen_.erase({it->second.last_seen, name});
  }
  TPresenceEntry& e = it->second;
  e.heard = static_cast<std::uint8_t>(std::min(e.heard + 1, 2));
  Count(e, -1);
  e.name = name;
  e.workgroup = workgroup;
  e.comment = m.comment;
  e.address = from;
  e.local = local;
  e.periodicity_ms = HeldPeriod(m.periodicity_ms);
  e.last_seen = now;
  Count(e, +1);
  by_last_seen_.emplace(now, name);
  return true;
}

TPresenceTable::TEntries::iterator TPresenceTable::Age(TEntries::iterator it, Clock::time_point now) {
  TPresenceEntry& e = it->second;
  if (e.rival && now - e.rival_last_seen > Hold(e.rival_periodicity_ms)) e.rival.reset();
  if (now - e.last_seen <= Hold(e.periodicity_ms)) return it;
  if (!e.rival) return Remove(it), entries_.end();
  Promote(e);
  return it;
}

// The rival takes the name over from a holder that lapsed or said goodbye.
void TPresenceTable::Promote(TPresenceEntry& e) {
  by_last_seen_.erase({e.last_seen, e.name});
  Count(e, -1);
  e.address = *e.rival;
  e.local = e.rival_local;
  e.periodicity_ms = e.rival_periodicity_ms;
  e.last_seen = e.rival_last_seen;
  e.heard = 1;
  e.rival.reset();
  e.rival_pending = false;
  Count(e, +1);
  by_last_seen_.emplace(e.last_seen, e.name);
}

void TPresenceTable::Expire(Clock::time_point now) {
  last_sweep_ = now;
  for (auto it = entries_.begin(); it != entries_.end();) {
    const auto next = std::next(it);
    Age(it, now);
    it = next;
  }
}

std::vector<in_addr> TPresenceTable::Claimants(const std::string& name, Clock::time_point now) const {
  std::vector<in_addr> out;
  const auto it = entries_.find(name);
  if (it == entries_.end()) return out;
  const TPresenceEntry& e = it->second;
  if (now - e.last_seen <= Hold(e.periodicity_ms)) out.push_back(e.address);
  if (e.rival && !e.rival_pending && now - e.rival_last_seen <= Hold(e.rival_periodicity_ms)) out.push_back(*e.rival);
  return out;
}

void TPresenceTable::Confirm(const std::string& name) {
  const auto it = entries_.find(name);
  if (it != entries_.end()) it->second.heard = 2;
}

void TPresenceTable::SetRivalPending(const std::string& name, bool pending) {
  const auto it = entries_.find(name);
  if (it != entries_.end()) it->second.rival_pending = pending;
}

void TPresenceTable::Erase(const std::string& name) {
  auto it = entries_.find(name);
  if (it != entries_.end()) Remove(it);
}

TPresenceTable::TEntries::iterator TPresenceTable::Remove(TEntries::iterator it) {
  Count(it->second, -1);
  by_last_seen_.erase({it->second.last_seen, it->first});
  return entries_.erase(it);
}

// Only hosts other than this computer are capped.
void TPresenceTable::Count(const TPresenceEntry& entry, int change) {
  if (entry.local) return;
  auto& held = names_per_source_[entry.address.s_addr];
  if (change > 0)
    ++held;
  else if (held > 0)
    --held;
  if (held == 0) names_per_source_.erase(entry.address.s_addr);
}

std::chrono::milliseconds AnswerDelayBound(std::size_t computers) {
  constexpr std::size_t kPerComputerMs = 7;
  constexpr std::size_t kLeastMs = 500;
  constexpr std::size_t kMostMs = 30000;
  return std::chrono::milliseconds(std::clamp(computers * kPerComputerMs, kLeastMs, kMostMs));
}

namespace {

constexpr auto kVouchKept = std::chrono::hours(1);
std::mutex g_vouch_mutex;
std::map<std::string, std::pair<in_addr, Clock::time_point>> g_vouched;  // by name, upper case

}  // namespace

void VouchForAddress(const std::string& computer_name, in_addr address) {
  const std::string name = ToUpperAscii(computer_name);
  if (!ValidNetbiosName(name)) return;
  std::lock_guard<std::mutex> lock(g_vouch_mutex);
  const auto now = Clock::now();
  if (g_vouched.size() >= kMaxPresenceEntries && !g_vouched.count(name)) {
    for (auto it = g_vouched.begin(); it != g_vouched.end();)
      it = now - it->second.second > kVouchKept ? g_vouched.erase(it) : std::next(it);
    if (g_vouched.size() >= kMaxPresenceEntries) return;
  }
  g_vouched[name] = {address, now};
}

std::optional<in_addr> VouchedAddress(const std::string& computer_name) {
  std::lock_guard<std::mutex> lock(g_vouch_mutex);
  const auto it = g_vouched.find(ToUpperAscii(computer_name));
  if (it == g_vouched.end() || Clock::now() - it->second.second > kVouchKept) return std::nullopt;
  return it->second.first;
}

void StartPresenceService() { TPresence::Instance(); }
void PresenceInterfacesChanged(bool new_address) { TPresence::Instance().InterfacesChanged(new_address); }
std::vector<TPresenceEntry> PresenceComputers() { return TPresence::Instance().Computers(); }
bool PresenceKnowsWorkgroup(const std::string& name) { return TPresence::Instance().KnowsWorkgroup(name); }

}  // namespace hw::platform::net

// --- the mpr stand-ins --------------------------------------------------------------

namespace hw::win32 {

namespace {

struct TEnumRecord {
  DWORD display_type;
  std::string remote_name;
  std::string comment;
};

struct TEnumeration {
  std::vector<TEnumRecord> records;
  std::size_t next = 0;
};

std::mutex g_enum_mutex;
std::map<HANDLE, std::unique_ptr<TEnumeration>> g_enums;
HANDLE g_next_enum = 0x7000;

}  // namespace

DWORD WNetOpenEnumA(DWORD dwScope, DWORD, DWORD, LPNETRESOURCEA lpNetResource, HANDLE* lphEnum) {
  using namespace hw::platform::net;
  if (!lphEnum) return ERROR_INVALID_PARAMETER;
  if (dwScope != RESOURCE_GLOBALNET) return ERROR_NOT_SUPPORTED;
  auto e = std::make_unique<TEnumeration>();
  const auto& config = Config();
  if (!lpNetResource || !lpNetResource->lpRemoteName) {
    // The top of the network: our primary workgroup.
    e->records.push_back({RESOURCEDISPLAYTYPE_DOMAIN, config.workgroup, ""});
  } else if (EqualsNoCase(lpNetResource->lpRemoteName, config.workgroup)) {
    for (const auto& c : PresenceComputers())
      e->records.push_back({RESOURCEDISPLAYTYPE_SERVER, "\\\\" + c.name, c.comment});
  } else {
    return ERROR_BAD_NET_NAME;
  }
  std::lock_guard<std::mutex> lock(g_enum_mutex);
  do {
    ++g_next_enum;
    if (g_next_enum == 0 || g_next_enum == INVALID_HANDLE_VALUE) g_next_enum = 0x7000;
  } while (g_enums.count(g_next_enum));
  g_enums[g_next_enum] = std::move(e);
  *lphEnum = g_next_enum;
  return NO_ERROR;
}

DWORD WNetEnumResourceA(HANDLE hEnum, LPDWORD lpcCount, LPVOID lpBuffer, LPDWORD lpBufferSize) {
  if (!lpcCount || !lpBufferSize || (!lpBuffer && *lpBufferSize > 0)) return ERROR_INVALID_PARAMETER;
  std::lock_guard<std::mutex> lock(g_enum_mutex);
  auto it = g_enums.find(hEnum);
  if (it == g_enums.end()) return ERROR_INVALID_HANDLE;
  TEnumeration& e = *it->second;
  if (e.next >= e.records.size()) {
    *lpcCount = 0;
    return ERROR_NO_MORE_ITEMS;
  }
  // Records from the start of the buffer, their strings packed from its end.
  auto* base = static_cast<char*>(lpBuffer);
  std::size_t records_end = 0;
  std::size_t strings_start = *lpBufferSize;
  DWORD count = 0;
  const DWORD wanted = *lpcCount;
  const std::string provider = hw::platform::net::kProviderName;
  while (e.next < e.records.size() && count < wanted) {
    const TEnumRecord& r = e.records[e.next];
    const std::size_t strings = r.remote_name.size() + 1 + provider.size() + 1 + (r.comment.size() + 1);
    if (records_end + sizeof(NETRESOURCEA) + strings > strings_start) {
      if (count == 0) {
        *lpBufferSize = static_cast<DWORD>(sizeof(NETRESOURCEA) + strings);
        return ERROR_MORE_DATA;
      }
      break;
    }
    auto place = [&](const std::string& s) {
      strings_start -= s.size() + 1;
      std::memcpy(base + strings_start, s.c_str(), s.size() + 1);
      return base + strings_start;
    };
    NETRESOURCEA rec{};
    rec.dwScope = RESOURCE_GLOBALNET;
    rec.dwType = RESOURCETYPE_ANY;
    rec.dwDisplayType = r.display_type;
    rec.dwUsage = RESOURCEUSAGE_CONTAINER;
    rec.lpLocalName = nullptr;
    rec.lpRemoteName = place(r.remote_name);
    rec.lpProvider = place(provider);
    rec.lpComment = place(r.comment);
    std::memcpy(base + records_end, &rec, sizeof rec);
    records_end += sizeof rec;
    ++count;
    ++e.next;
  }
  *lpcCount = count;
  return NO_ERROR;
}

DWORD WNetCloseEnum(HANDLE hEnum) {
  std::lock_guard<std::mutex> lock(g_enum_mutex);
  return g_enums.erase(hEnum) ? NO_ERROR : ERROR_INVALID_HANDLE;
}

}  // namespace hw::win32
