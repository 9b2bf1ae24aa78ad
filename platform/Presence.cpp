#include "platform/Presence.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "platform/Carrier.h"
#include "platform/Config.h"
#include "platform/Kernel32.h"
#include "platform/Mpr.h"

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
    if (ms >= 100) return static_cast<std::uint32_t>(ms);
  }
  return 60000;
}

bool ValidName(const std::string& name) {
  if (name.empty() || name.size() > 15) return false;
  for (unsigned char c : name)
    if (c < 0x21 || c == '\\' || c == 0x7F) return false;
  return true;
}

class TPresence {
 public:
  static TPresence& Instance() {
    static TPresence* presence = new TPresence();  // threads end with their users
    return *presence;
  }

  void AddAnnouncer() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (announcers_++ == 0) {
      StartListening(lock);
      next_announce_ = Clock::now();
      wake_.notify_all();
    }
  }

  void RemoveAnnouncer() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (announcers_ == 0 || --announcers_ > 0) return;
    // Goodbye: server type 0 takes this computer off every table at once.
    Announce(0);
    table_.erase(Config().computer_name);
    StopListening(lock);
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
    Expire(Clock::now());
    std::vector<TPresenceEntry> out;
    const std::string& workgroup = Config().workgroup;
    for (const auto& [name, entry] : table_)
      if (entry.workgroup == workgroup) out.push_back(entry);
    if (temporary && announcers_ == 0) StopListening(lock);
    return out;  // the map keeps names sorted
  }

  bool KnowsWorkgroup(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    return workgroups_.count(ToUpperAscii(name)) > 0;
  }

  std::optional<in_addr> Resolve(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = table_.find(ToUpperAscii(name));
    if (it == table_.end()) return std::nullopt;
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
      if (announcers_ > 0 && now >= next_announce_) {
        Announce(kServerTypeWorkstation | kServerTypeServer);
        next_announce_ = now + std::chrono::milliseconds(AnnouncePeriodMs());
      }
      Expire(now);
      auto wake_at = now + std::chrono::seconds(1);
      if (announcers_ > 0) wake_at = std::min(wake_at, next_announce_);
      wake_.wait_until(lock, wake_at);
    }
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
    std::unique_lock<std::mutex> lock(mutex_);
    if (message->opcode == kOpAnnouncementRequest) {
      if (announcers_ > 0 && workgroup == Config().workgroup) ScheduleAnswer();
      return;
    }
    if (!ValidName(workgroup)) return;
    if (workgroups_.size() < kMaxPresenceEntries) workgroups_.insert(workgroup);
    const std::string name = ToUpperAscii(message->server_name);
    if (message->server_type == 0) {
      table_.erase(name);
      return;
    }
    auto it = table_.find(name);
    if (it == table_.end()) {
      if (table_.size() >= kMaxPresenceEntries) {
        auto oldest = std::min_element(table_.begin(), table_.end(), [](const auto& a, const auto& b) {
          return a.second.last_seen < b.second.last_seen;
        });
        table_.erase(oldest);
      }
      it = table_.emplace(name, TPresenceEntry{}).first;
    }
    TPresenceEntry& e = it->second;
    e.name = name;
    e.workgroup = workgroup;
    e.comment = message->comment;
    e.address = from.sin_addr;
    e.periodicity_ms = std::clamp<std::uint32_t>(message->periodicity_ms, 100, 86400000);
    e.last_seen = Clock::now();
  }

  // Answers a request after a short random delay, so that a whole LAN does not
  // answer in the same instant (mutex held).
  void ScheduleAnswer() {
    const auto delay = std::chrono::milliseconds(std::uniform_int_distribution<int>(0, kMaxAnswerDelayMs)(rng_));
    const auto at = Clock::now() + delay;
    if (at < next_announce_) {
      next_announce_ = at;
      wake_.notify_all();
    }
  }

  void Expire(Clock::time_point now) {
    for (auto it = table_.begin(); it != table_.end();) {
      if (now - it->second.last_seen > 3 * std::chrono::milliseconds(it->second.periodicity_ms))
        it = table_.erase(it);
      else
        ++it;
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  int announcers_ = 0;
  bool listening_ = false;
  bool stopping_ = false;
  bool asked_ = false;
  std::uint8_t update_count_ = 0;
  Clock::time_point next_announce_{};
  std::map<std::string, TPresenceEntry> table_;
  std::set<std::string> workgroups_;
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

std::optional<THostAnnouncement> DecodeBrowseMessage(const std::uint8_t* p, std::size_t size) {
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
