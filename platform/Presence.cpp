#include "platform/Presence.h"

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

#include "platform/Carrier.h"
#include "platform/Config.h"
#include "platform/Kernel32.h"
#include "platform/Mpr.h"
#include "platform/NameService.h"

namespace hw::platform {

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kBrowseMailslot = "\\MAILSLOT\\BROWSE";
constexpr std::uint8_t kOpHostAnnouncement = 1;
constexpr std::uint8_t kOpAnnouncementRequest = 2;
constexpr std::uint8_t kSuffixMasterBrowser = 0x1D;
constexpr auto kFirstEnumerationWait = std::chrono::milliseconds(700);
constexpr int kMaxAnswerDelayMs = 500;

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
      const auto until = Clock::now() + kFirstEnumerationWait;
      lock.unlock();
      std::this_thread::sleep_until(until);
      lock.lock();
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

  std::optional<in_addr> Resolve(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = table_.Entries().find(ToUpperAscii(name));
    if (it == table_.Entries().end()) return std::nullopt;
    return it->second.address;
  }

 private:
  TPresence() : rng_(std::random_device{}()) {}

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
          Announce(kServerTypeWorkstation | kServerTypeServer);
          last_announced_ = now;
          next_announce_ = now + std::chrono::milliseconds(AnnouncePeriodMs());
        }
        // Another program may have answered for this computer until now.
        StartNameResponder();
      }
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
    lock.unlock();
    const bool owned_here = AnyMailslotOwnedOnComputer();
    lock.lock();
    if (!owned_here && announcers_ == 0) Announce(0);
  }

  // A program that closes its last mailslot and ends at once would never send the
  // goodbye it had waiting.
  void GoodbyeAtExit() {
    std::uint64_t serial;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      serial = goodbye_serial_;
    }
    Goodbye(serial);
  }

  // Sends this computer's HostAnnouncement to the workgroup (mutex held).
  void Announce(std::uint32_t server_type) {
    const auto& config = Config();
    THostAnnouncement a;
    a.opcode = kOpHostAnnouncement;
    a.update_count = update_count_++;
    a.periodicity_ms = AnnouncePeriodMs();
    a.server_name = config.computer_name;
    a.server_type = server_type;
    a.comment = "Hallwire";
    Send(EncodeBrowseMessage(a), {config.workgroup, kSuffixMasterBrowser});
  }

  void SendRequest() {
    const auto& config = Config();
    THostAnnouncement r;
    r.opcode = kOpAnnouncementRequest;
    r.comment = config.computer_name;
    Send(EncodeBrowseMessage(r), {config.workgroup, 0x00});
  }

  static void Send(const std::vector<std::uint8_t>& payload, const TNetbiosName& to) {
    const auto& config = Config();
    TMailslotDatagram d;
    d.type = TDatagramType::DirectGroup;
    d.source_ip = CarrierSourceAddress();
    d.source_port = config.port;
    d.source = {config.computer_name, 0x00};
    d.destination = to;
    d.mailslot = kBrowseMailslot;
    d.data = payload;
    SendCarrierDatagram(EncodeDatagram(d), std::nullopt);
  }

  void OnDatagram(const TMailslotDatagram& d, const sockaddr_in& from) {
    auto message = DecodeBrowseMessage(d.data.data(), d.data.size());
    if (!message) return;
    const std::string workgroup = ToUpperAscii(d.destination.name);
    const bool local = IsOwnAddress(from.sin_addr);
    std::unique_lock<std::mutex> lock(mutex_);
    if (message->opcode == kOpAnnouncementRequest) {
      if (announcers_ > 0 && workgroup == Config().workgroup) ScheduleAnswer();
      return;
    }
    table_.Apply(*message, workgroup, from.sin_addr, local, Clock::now());
  }

  // Answers a request after a short random delay, so that a whole LAN does not
  // answer in the same instant, and never sooner than kMinAnswerGap after the last
  // announcement, so that a stream of requests is not echoed one for one (mutex held).
  void ScheduleAnswer() {
    const auto delay = std::chrono::milliseconds(std::uniform_int_distribution<int>(0, kMaxAnswerDelayMs)(rng_));
    const auto at = std::max(Clock::now() + delay, last_announced_ + kMinAnswerGap);
    if (at < next_announce_) {
      next_announce_ = at;
      wake_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  int announcers_ = 0;
  bool listening_ = false;
  bool stopping_ = false;
  bool asked_ = false;
  bool goodbye_due_ = false;
  std::uint64_t goodbye_serial_ = 0;
  std::uint8_t update_count_ = 0;
  Clock::time_point next_announce_{};
  Clock::time_point last_announced_{};
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

bool TPresenceTable::Apply(const THostAnnouncement& m, const std::string& workgroup, in_addr from, bool local,
                           Clock::time_point now) {
  if (!ValidNetbiosName(workgroup)) return false;
  Expire(now);
  const std::string name = ToUpperAscii(m.server_name);
  auto it = entries_.find(name);
  const bool same_source =
      it != entries_.end() && (it->second.address.s_addr == from.s_addr || (it->second.local && local));
  if (m.server_type == 0) {
    if (same_source) entries_.erase(it);
    return same_source;
  }
  if (it != entries_.end() && !same_source) return false;  // alive elsewhere: Expire kept it
  if (it == entries_.end()) {
    if (!local) {
      std::size_t held = 0;
      for (const auto& [n, e] : entries_) held += !e.local && e.address.s_addr == from.s_addr;
      if (held >= kMaxNamesPerSource) return false;
    }
    if (entries_.size() >= kMaxPresenceEntries) {
      entries_.erase(std::min_element(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
        return a.second.last_seen < b.second.last_seen;
      }));
    }
    it = entries_.emplace(name, TPresenceEntry{}).first;
  }
  TPresenceEntry& e = it->second;
  e.name = name;
  e.workgroup = workgroup;
  e.comment = m.comment;
  e.address = from;
  e.local = local;
  e.periodicity_ms = std::clamp(m.periodicity_ms, kMinAnnouncePeriodMs, kMaxAnnouncePeriodMs);
  e.last_seen = now;
  return true;
}

void TPresenceTable::Expire(Clock::time_point now) {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (now - it->second.last_seen > 3 * std::chrono::milliseconds(it->second.periodicity_ms))
      it = entries_.erase(it);
    else
      ++it;
  }
}

void PresenceMailslotOpened() { TPresence::Instance().AddAnnouncer(); }
void PresenceMailslotClosed() { TPresence::Instance().RemoveAnnouncer(); }
std::vector<TPresenceEntry> PresenceComputers() { return TPresence::Instance().Computers(); }
bool PresenceKnowsWorkgroup(const std::string& name) { return TPresence::Instance().KnowsWorkgroup(name); }

}  // namespace hw::platform

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
  using namespace hw::platform;
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
  const std::string provider = hw::platform::kProviderName;
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
