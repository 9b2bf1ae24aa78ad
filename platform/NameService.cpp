#include "platform/NameService.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "platform/Config.h"

namespace hw::platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kQuestionSize = kHeaderSize + kEncodedNameSize + 4;
// Answer record up to RDLENGTH: name, type, class, TTL, RDLENGTH.
constexpr std::size_t kAnswerFixedSize = kHeaderSize + kEncodedNameSize + 10;
constexpr std::uint16_t kFlagResponse = 0x8000;
constexpr std::uint16_t kFlagAuthoritative = 0x0400;
constexpr std::uint16_t kFlagRecursionDesired = 0x0100;
constexpr std::uint16_t kFlagBroadcast = 0x0010;
constexpr std::uint8_t kSuffixWorkstation = 0x00;
constexpr std::uint8_t kSuffixMessenger = 0x03;
// How long this computer's answer may be kept, and how long an answer is kept here.
// Short, since a computer stops answering when its last program closes.
constexpr std::uint32_t kAnswerTtlSeconds = 300;
constexpr auto kQueryWait = std::chrono::milliseconds(250);
constexpr auto kMissKept = std::chrono::seconds(3);
constexpr std::size_t kMaxCacheEntries = 256;

std::atomic<std::uint64_t> g_dropped{0};

void PutBe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}
void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutBe16(out, static_cast<std::uint16_t>(v >> 16));
  PutBe16(out, static_cast<std::uint16_t>(v));
}
std::uint16_t Be16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }
std::uint32_t Be32(const std::uint8_t* p) { return static_cast<std::uint32_t>(Be16(p)) << 16 | Be16(p + 2); }

void PutHeader(std::vector<std::uint8_t>& out, std::uint16_t id, std::uint16_t flags, std::uint16_t questions,
               std::uint16_t answers) {
  PutBe16(out, id);
  PutBe16(out, flags);
  PutBe16(out, questions);
  PutBe16(out, answers);
  PutBe16(out, 0);
  PutBe16(out, 0);
}

void PutName(std::vector<std::uint8_t>& out, const TNetbiosName& name) {
  const std::string encoded = EncodeNetbiosName(name);
  out.insert(out.end(), encoded.begin(), encoded.end());
}

// The first-level encoded name at p (34 bytes there); no scope, no compression.
bool DecodeName(const std::uint8_t* p, TNetbiosName& out) {
  if (p[0] != 0x20 || p[33] != 0x00) return false;
  char raw[16];
  for (int i = 0; i < 16; ++i) {
    const int hi = p[1 + 2 * i] - 'A';
    const int lo = p[2 + 2 * i] - 'A';
    if (hi < 0 || hi > 15 || lo < 0 || lo > 15) return false;
    raw[i] = static_cast<char>(hi << 4 | lo);
  }
  std::string name(raw, 15);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
  out.name = name;
  out.suffix = static_cast<std::uint8_t>(raw[15]);
  return true;
}

std::optional<TNamePacket> Parse(const std::uint8_t* p, std::size_t size) {
  if (size < kHeaderSize) return std::nullopt;
  TNamePacket packet;
  packet.id = Be16(p);
  packet.flags = Be16(p + 2);
  packet.response = packet.flags & kFlagResponse;
  packet.opcode = static_cast<std::uint8_t>(packet.flags >> 11 & 0x0F);
  packet.rcode = static_cast<std::uint8_t>(packet.flags & 0x0F);
  const std::uint16_t questions = Be16(p + 4), answers = Be16(p + 6), authority = Be16(p + 8),
                      additional = Be16(p + 10);
  if (packet.opcode != 0 || authority != 0 || additional != 0) return std::nullopt;
  if (!packet.response) {
    if (questions != 1 || answers != 0 || size != kQuestionSize) return std::nullopt;
    if (!DecodeName(p + kHeaderSize, packet.name)) return std::nullopt;
    const std::uint8_t* q = p + kHeaderSize + kEncodedNameSize;
    if (Be16(q) != kNameTypeNb || Be16(q + 2) != kNameClassIn) return std::nullopt;
    return packet;
  }
  if (questions != 0 || answers != 1 || size < kAnswerFixedSize) return std::nullopt;
  if (!DecodeName(p + kHeaderSize, packet.name)) return std::nullopt;
  const std::uint8_t* r = p + kHeaderSize + kEncodedNameSize;
  if (Be16(r) != kNameTypeNb || Be16(r + 2) != kNameClassIn) return std::nullopt;
  packet.ttl = Be32(r + 4);
  const std::size_t length = Be16(r + 8);
  // Compared with what arrived before anything is read from it.
  if (length != size - kAnswerFixedSize || length % 6 != 0) return std::nullopt;
  for (std::size_t at = kAnswerFixedSize; at < size; at += 6) {
    in_addr a;
    std::memcpy(&a, p + at + 2, 4);  // after NB_FLAGS; network order as on the wire
    packet.addresses.push_back(a);
  }
  return packet;
}

}  // namespace

std::vector<std::uint8_t> EncodeNameQuery(std::uint16_t id, const TNetbiosName& name) {
  std::vector<std::uint8_t> out;
  out.reserve(kQuestionSize);
  PutHeader(out, id, kFlagRecursionDesired | kFlagBroadcast, 1, 0);
  PutName(out, name);
  PutBe16(out, kNameTypeNb);
  PutBe16(out, kNameClassIn);
  return out;
}

std::vector<std::uint8_t> EncodeNameQueryResponse(std::uint16_t id, const TNetbiosName& name, in_addr address,
                                                  std::uint32_t ttl) {
  std::vector<std::uint8_t> out;
  out.reserve(kAnswerFixedSize + 6);
  PutHeader(out, id, kFlagResponse | kFlagAuthoritative | kFlagRecursionDesired, 0, 1);
  PutName(out, name);
  PutBe16(out, kNameTypeNb);
  PutBe16(out, kNameClassIn);
  PutBe32(out, ttl);
  PutBe16(out, 6);
  PutBe16(out, 0);  // NB_FLAGS: unique name, B node
  const auto* a = reinterpret_cast<const std::uint8_t*>(&address);
  out.insert(out.end(), a, a + 4);
  return out;
}

std::optional<TNamePacket> DecodeNamePacket(const std::uint8_t* bytes, std::size_t size) {
  auto packet = Parse(bytes, size);
  if (!packet) ++g_dropped;
  return packet;
}

std::uint64_t NamePacketsDropped() { return g_dropped; }

// --- resolution ----------------------------------------------------------------

namespace {

struct TCacheEntry {
  std::optional<in_addr> address;
  Clock::time_point expires;
};

std::mutex g_cache_mutex;
std::map<std::string, TCacheEntry> g_cache;

std::vector<in_addr> QueryTargets() {
  std::vector<in_addr> out;
  std::set<std::uint32_t> seen;
  in_addr local{};
  inet_pton(AF_INET, "127.255.255.255", &local);
  for (const auto& itf : Config().interfaces)
    if (seen.insert(itf.broadcast.s_addr).second) out.push_back(itf.broadcast);
  if (seen.insert(local.s_addr).second) out.push_back(local);
  return out;
}

struct TAnswer {
  in_addr address;
  std::uint32_t ttl;
};

std::optional<TAnswer> Ask(const std::string& name) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return std::nullopt;
  const int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
  static std::mt19937 rng{std::random_device{}()};
  static std::mutex rng_mutex;
  std::uint16_t id;
  {
    std::lock_guard<std::mutex> lock(rng_mutex);
    id = static_cast<std::uint16_t>(rng());
  }
  const auto query = EncodeNameQuery(id, {name, kSuffixWorkstation});
  for (const auto& target : QueryTargets()) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(Config().name_port);
    to.sin_addr = target;
    sendto(fd, query.data(), query.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  }
  std::optional<TAnswer> found;
  const auto until = Clock::now() + kQueryWait;
  std::uint8_t buffer[576];
  while (!found) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) continue;
    const auto answer = DecodeNamePacket(buffer, static_cast<std::size_t>(got));
    if (answer && answer->response && answer->id == id && answer->rcode == 0 && !answer->addresses.empty() &&
        answer->name.suffix == kSuffixWorkstation && EqualsNoCase(answer->name.name, name))
      found = TAnswer{answer->addresses.front(), answer->ttl};
  }
  close(fd);
  return found;
}

}  // namespace

std::optional<in_addr> QueryComputerName(const std::string& computer) {
  const std::string name = ToUpperAscii(computer);
  if (!ValidNetbiosName(name)) return std::nullopt;
  {
    std::lock_guard<std::mutex> lock(g_cache_mutex);
    auto it = g_cache.find(name);
    if (it != g_cache.end() && Clock::now() < it->second.expires) return it->second.address;
  }
  const auto answer = Ask(name);
  std::lock_guard<std::mutex> lock(g_cache_mutex);
  const auto now = Clock::now();
  for (auto it = g_cache.begin(); it != g_cache.end();)
    it = now >= it->second.expires ? g_cache.erase(it) : std::next(it);
  std::optional<in_addr> address;
  auto kept = std::chrono::duration_cast<Clock::duration>(kMissKept);
  if (answer) {
    address = answer->address;
    kept = std::chrono::seconds(std::min(answer->ttl, kAnswerTtlSeconds));
  }
  if (g_cache.size() < kMaxCacheEntries || g_cache.count(name)) g_cache[name] = {address, now + kept};
  return address;
}

// --- the responder -------------------------------------------------------------

namespace {

class TResponder {
 public:
  bool Start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (running_) return true;
    // The computer-wide right to answer: an abstract name, one owner per network
    // namespace, freed by the kernel when this process ends however it ends.
    lock_fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string key = "hallwire." + std::to_string(Config().port) + ".names";
    std::memcpy(addr.sun_path + 1, key.data(), key.size());
    const auto len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + key.size());
    if (lock_fd_ < 0 || bind(lock_fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
      CloseAll();
      return false;
    }
    udp_fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const int one = 1;
    setsockopt(udp_fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    setsockopt(udp_fd_, IPPROTO_IP, IP_PKTINFO, &one, sizeof one);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(Config().name_port);
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    event_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (udp_fd_ < 0 || event_fd_ < 0 || bind(udp_fd_, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0) {
      CloseAll();  // no right to the port (137 needs privilege): nobody here answers
      return false;
    }
    interfaces_.clear();
    for (const auto& itf : Config().interfaces)
      if (const unsigned index = if_nametoindex(itf.name.c_str())) interfaces_[index] = itf.address;
    running_ = true;
    thread_ = std::thread([this, udp = udp_fd_, event = event_fd_] { Run(udp, event); });
    return true;
  }

  void Stop() {
    std::thread t;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!running_) return;
      running_ = false;
      const std::uint64_t one = 1;
      if (write(event_fd_, &one, sizeof one) < 0) {
      }
      t = std::move(thread_);
    }
    t.join();
    std::lock_guard<std::mutex> lock(mutex_);
    CloseAll();
  }

 private:
  void CloseAll() {
    for (int* fd : {&lock_fd_, &udp_fd_, &event_fd_})
      if (*fd >= 0) close(*fd), *fd = -1;
  }

  void Run(int udp, int event) {
    for (;;) {
      pollfd fds[2] = {{udp, POLLIN, 0}, {event, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
      if (fds[1].revents) return;
      if (fds[0].revents) Drain(udp);
    }
  }

  void Drain(int udp) {
    for (;;) {
      std::uint8_t buffer[576];
      sockaddr_in from{};
      iovec iov{buffer, sizeof buffer};
      char control[CMSG_SPACE(sizeof(in_pktinfo))];
      msghdr msg{};
      msg.msg_name = &from;
      msg.msg_namelen = sizeof from;
      msg.msg_iov = &iov;
      msg.msg_iovlen = 1;
      msg.msg_control = control;
      msg.msg_controllen = sizeof control;
      const ssize_t got = recvmsg(udp, &msg, MSG_DONTWAIT);
      if (got < 0) return;
      unsigned index = 0;
      for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c))
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
          in_pktinfo info;
          std::memcpy(&info, CMSG_DATA(c), sizeof info);
          index = static_cast<unsigned>(info.ipi_ifindex);
        }
      const auto query = DecodeNamePacket(buffer, static_cast<std::size_t>(got));
      if (!query || query->response) continue;
      if (query->name.suffix != kSuffixWorkstation && query->name.suffix != kSuffixMessenger) continue;
      if (!EqualsNoCase(query->name.name, Config().computer_name)) continue;
      // Answer with the address the asker can reach us at, and only on interfaces
      // the carrier may use.
      const auto itf = interfaces_.find(index);
      if (itf == interfaces_.end()) continue;
      const auto answer = EncodeNameQueryResponse(query->id, query->name, itf->second, kAnswerTtlSeconds);
      sendto(udp, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from), sizeof from);
    }
  }

  std::mutex mutex_;
  bool running_ = false;
  int lock_fd_ = -1, udp_fd_ = -1, event_fd_ = -1;
  std::map<unsigned, in_addr> interfaces_;  // read only by the thread while it runs
  std::thread thread_;
};

TResponder& Responder() {
  static auto* responder = new TResponder();  // its thread may outlive static destruction
  return *responder;
}

}  // namespace

bool StartNameResponder() { return Responder().Start(); }
void StopNameResponder() { Responder().Stop(); }

}  // namespace hw::platform
