#include "platform/net/NameService.h"

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

#include "platform/net/AnswerPolicy.h"
#include "platform/net/Config.h"
#include "platform/net/NameWire.h"
#include "platform/net/NameRegistration.h"
#include "platform/net/PortStatus.h"

namespace hw::platform::net {

namespace {

using Clock = std::chrono::steady_clock;

using namespace wire;

constexpr std::size_t kQuestionSize = kHeaderSize + kEncodedNameSize + 4;
// Answer record up to RDLENGTH: name, type, class, TTL, RDLENGTH.
constexpr std::size_t kAnswerFixedSize = kHeaderSize + kEncodedNameSize + 10;
// A node status entry: 15 name bytes, the suffix, NAME_FLAGS; then the statistics.
constexpr std::size_t kNodeNameSize = 18;
constexpr std::size_t kNodeStatisticsSize = 46;
constexpr std::uint8_t kSuffixWorkstation = 0x00;
constexpr std::uint8_t kSuffixMessenger = 0x03;
// How long this computer's answer may be kept, and how long an answer is kept here.
// Short, since a computer stops answering when its last program closes.
constexpr std::uint32_t kAnswerTtlSeconds = 300;
constexpr auto kQueryWait = std::chrono::milliseconds(250);
constexpr auto kMissKept = std::chrono::seconds(3);
constexpr std::size_t kMaxCacheEntries = 256;

std::atomic<std::uint64_t> g_dropped{0};

bool IsKnownType(std::uint16_t type) { return type == kNameTypeNb || type == kNameTypeNbstat; }

std::optional<TNamePacket> Parse(const std::uint8_t* p, std::size_t size) {
  if (size < kHeaderSize) return std::nullopt;
  TNamePacket packet;
  const auto [questions, answers, authority, additional] = ReadHeader(p, packet);
  if (packet.opcode != kOpcodeQuery || (packet.response && packet.rcode != 0))
    return ParseNameOwnershipPacket(p, size);
  if (packet.opcode != 0 || authority != 0 || additional != 0) return std::nullopt;
  if (!packet.response) {
    if (questions != 1 || answers != 0 || size != kQuestionSize) return std::nullopt;
    if (!DecodeName(p + kHeaderSize, packet.name)) return std::nullopt;
    const std::uint8_t* q = p + kHeaderSize + kEncodedNameSize;
    packet.question_type = Be16(q);
    if (!IsKnownType(packet.question_type) || Be16(q + 2) != kNameClassIn) return std::nullopt;
    return packet;
  }
  if (questions != 0 || answers != 1 || size < kAnswerFixedSize) return std::nullopt;
  if (!DecodeName(p + kHeaderSize, packet.name)) return std::nullopt;
  const std::uint8_t* r = p + kHeaderSize + kEncodedNameSize;
  packet.question_type = Be16(r);
  if (!IsKnownType(packet.question_type) || Be16(r + 2) != kNameClassIn) return std::nullopt;
  packet.ttl = Be32(r + 4);
  const std::size_t length = Be16(r + 8);
  if (packet.question_type == kNameTypeNbstat) {
    if (length != size - kAnswerFixedSize || length < 1) return std::nullopt;
    const std::uint8_t* data = p + kAnswerFixedSize;
    const std::size_t count = data[0];
    // The statistics after the names are not read; the names must fit.
    if (1 + count * kNodeNameSize > length) return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t* entry = data + 1 + i * kNodeNameSize;
      std::string name(reinterpret_cast<const char*>(entry), 15);
      while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
      packet.node_names.push_back({{name, entry[15]}, Be16(entry + 16)});
    }
    return packet;
  }
  // Compared with what arrived before anything is read from it.
  if (length != size - kAnswerFixedSize || length % 6 != 0) return std::nullopt;
  for (std::size_t at = kAnswerFixedSize; at < size; at += 6) {
    in_addr a;
    std::memcpy(&a, p + at + 2, 4);  // after NB_FLAGS; network order as on the wire
    if (packet.addresses.empty()) packet.nb_flags = Be16(p + at);
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
                                                  std::uint32_t ttl, std::uint16_t nb_flags) {
  std::vector<std::uint8_t> out;
  out.reserve(kAnswerFixedSize + 6);
  PutHeader(out, id, kFlagResponse | kFlagAuthoritative | kFlagRecursionDesired, 0, 1);
  PutName(out, name);
  PutBe16(out, kNameTypeNb);
  PutBe16(out, kNameClassIn);
  PutBe32(out, ttl);
  PutBe16(out, 6);
  PutBe16(out, nb_flags);  // the G bit; B node
  const auto* a = reinterpret_cast<const std::uint8_t*>(&address);
  out.insert(out.end(), a, a + 4);
  return out;
}

std::vector<std::uint8_t> EncodeNodeStatusRequest(std::uint16_t id) {
  std::vector<std::uint8_t> out;
  out.reserve(kQuestionSize);
  PutHeader(out, id, 0, 1, 0);
  // The wildcard name: "*" padded with NULs, not blanks.
  out.push_back(0x20);
  for (int i = 0; i < 16; ++i) {
    const std::uint8_t b = i == 0 ? '*' : 0;
    out.push_back(static_cast<std::uint8_t>('A' + (b >> 4)));
    out.push_back(static_cast<std::uint8_t>('A' + (b & 15)));
  }
  out.push_back(0x00);
  PutBe16(out, kNameTypeNbstat);
  PutBe16(out, kNameClassIn);
  return out;
}

std::vector<std::uint8_t> EncodeNodeStatusResponse(std::uint16_t id, const TNetbiosName& asked,
                                                   const std::vector<TNodeName>& names) {
  const std::size_t count = std::min<std::size_t>(names.size(), 255);
  const std::size_t length = 1 + count * kNodeNameSize + kNodeStatisticsSize;
  std::vector<std::uint8_t> out;
  out.reserve(kAnswerFixedSize + length);
  PutHeader(out, id, kFlagResponse | kFlagAuthoritative, 0, 1);
  if (asked.name == "*") {
    const auto request = EncodeNodeStatusRequest(0);
    out.insert(out.end(), request.begin() + kHeaderSize, request.begin() + kHeaderSize + kEncodedNameSize);
  } else {
    PutName(out, asked);
  }
  PutBe16(out, kNameTypeNbstat);
  PutBe16(out, kNameClassIn);
  PutBe32(out, 0);
  PutBe16(out, static_cast<std::uint16_t>(length));
  out.push_back(static_cast<std::uint8_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    std::string raw = ToUpperAscii(names[i].name.name).substr(0, 15);
    raw.resize(15, ' ');
    out.insert(out.end(), raw.begin(), raw.end());
    out.push_back(names[i].name.suffix);
    PutBe16(out, names[i].flags);
  }
  out.resize(out.size() + kNodeStatisticsSize, 0);  // no adapter address, no counters
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
  TNameFound found;
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
  bool group;
};

// How long a query listens on after its first answer, for a second computer that
// claims the name: nodes of one LAN answer within milliseconds of each other.
constexpr auto kSecondAnswerWait = std::chrono::milliseconds(80);

// The next successful answer to request `id` that reaches fd before `until`; from
// gets its sender. Anything else read meanwhile is dropped.
std::optional<TNamePacket> NextAnswer(int fd, std::uint16_t id, Clock::time_point until, sockaddr_in& from) {
  std::uint8_t buffer[1500];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0) return std::nullopt;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    socklen_t from_size = sizeof from;
    const ssize_t got = recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &from_size);
    if (got <= 0) continue;
    auto answer = DecodeNamePacket(buffer, static_cast<std::size_t>(got));
    if (answer && answer->response && answer->id == id && answer->rcode == 0) return answer;
  }
}

// The positive answers to a broadcast query for name<00>: every one within the wait
// with `all`, else those of the moment after the first.
std::vector<TAnswer> Ask(const std::string& name, bool all) {
  std::vector<TAnswer> answers;
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return answers;
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
  auto until = Clock::now() + kQueryWait;
  sockaddr_in from{};
  while (const auto answer = NextAnswer(fd, id, until, from)) {
    if (answer->addresses.empty() || answer->name.suffix != kSuffixWorkstation ||
        !EqualsNoCase(answer->name.name, name))
      continue;
    // Anyone can send an answer; only one that comes from an address it gives is
    // that computer speaking for itself, so a host cannot point a name elsewhere.
    // (A WINS server answers for others; it is asked on a socket of its own, Wins.cpp.)
    const bool own = std::any_of(answer->addresses.begin(), answer->addresses.end(),
                                 [&](in_addr a) { return a.s_addr == from.sin_addr.s_addr; });
    if (!own) continue;
    if (answers.empty() && !all) until = std::min(until, Clock::now() + kSecondAnswerWait);
    answers.push_back(TAnswer{from.sin_addr, answer->ttl, (answer->nb_flags & kNbGroup) != 0});
  }
  close(fd);
  return answers;
}

}  // namespace

TNameFound QueryName(const std::string& computer) {
  const std::string name = ToUpperAscii(computer);
  if (!ValidNetbiosName(name)) return {};
  {
    std::lock_guard<std::mutex> lock(g_cache_mutex);
    auto it = g_cache.find(name);
    if (it != g_cache.end() && Clock::now() < it->second.expires) return it->second.found;
  }
  const auto answers = Ask(name, false);
  TNameFound found;
  auto kept = std::chrono::duration_cast<Clock::duration>(kMissKept);
  for (const auto& a : answers) {
    if (a.group) {
      found.workgroup = true;
      kept = std::max<Clock::duration>(kept, std::chrono::seconds(std::min(a.ttl, kAnswerTtlSeconds)));
      continue;
    }
    const bool seen = std::any_of(found.disputed.begin(), found.disputed.end(),
                                  [&](in_addr b) { return b.s_addr == a.address.s_addr; });
    if (!seen) found.disputed.push_back(a.address);
  }
  // A computer's answer is taken over a workgroup's of the same name; two computers
  // leave the name to the caller to report.
  if (found.disputed.size() == 1) {
    found.address = found.disputed.front();
    found.workgroup = false;
    found.disputed.clear();
    for (const auto& a : answers)
      if (!a.group) kept = std::chrono::seconds(std::min(a.ttl, kAnswerTtlSeconds));
  } else if (!found.disputed.empty()) {
    found.workgroup = false;
    kept = std::chrono::duration_cast<Clock::duration>(kMissKept);
  }
  std::lock_guard<std::mutex> lock(g_cache_mutex);
  const auto now = Clock::now();
  for (auto it = g_cache.begin(); it != g_cache.end();)
    it = now >= it->second.expires ? g_cache.erase(it) : std::next(it);
  if (g_cache.size() < kMaxCacheEntries || g_cache.count(name)) g_cache[name] = {found, now + kept};
  return found;
}

std::optional<in_addr> QueryComputerName(const std::string& computer) { return QueryName(computer).address; }

std::vector<in_addr> QueryComputerNameAnswers(const std::string& computer) {
  const std::string name = ToUpperAscii(computer);
  std::vector<TAnswer> answers;
  if (ValidNetbiosName(name)) answers = Ask(name, true);
  std::vector<in_addr> out;
  for (const auto& a : answers)
    if (!a.group) out.push_back(a.address);
  return out;
}

namespace {

constexpr auto kNodeStatusWait = std::chrono::milliseconds(250);
constexpr int kNodeStatusTries = 2;
// A node's name changes rarely, but an address may pass to another computer.
constexpr auto kNodeNameKept = std::chrono::seconds(30);

std::map<std::uint32_t, std::pair<std::string, Clock::time_point>> g_node_names;  // under g_cache_mutex

std::optional<std::string> AskNodeName(in_addr address) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return std::nullopt;
  static std::atomic<std::uint16_t> next_id{static_cast<std::uint16_t>(getpid() * 7919u)};
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(Config().name_port);
  to.sin_addr = address;
  std::optional<std::string> found;
  sockaddr_in from{};
  for (int attempt = 0; attempt < kNodeStatusTries && !found; ++attempt) {
    const std::uint16_t id = next_id++;
    const auto request = EncodeNodeStatusRequest(id);
    sendto(fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    for (const auto until = Clock::now() + kNodeStatusWait; !found;) {
      const auto answer = NextAnswer(fd, id, until, from);
      if (!answer) break;
      if (from.sin_addr.s_addr != address.s_addr || answer->question_type != kNameTypeNbstat) continue;
      for (const auto& entry : answer->node_names)
        if (entry.name.suffix == kSuffixWorkstation && !(entry.flags & kNodeNameGroup) &&
            ValidNetbiosName(entry.name.name)) {
          found = ToUpperAscii(entry.name.name);
          break;
        }
    }
  }
  close(fd);
  return found;
}

}  // namespace

std::optional<std::string> QueryNodeName(in_addr address) {
  const auto& config = Config();
  if ((ntohl(address.s_addr) >> 24) == 127) return config.computer_name;
  for (const auto& itf : config.interfaces)
    if (itf.address.s_addr == address.s_addr) return config.computer_name;
  {
    std::lock_guard<std::mutex> lock(g_cache_mutex);
    auto it = g_node_names.find(address.s_addr);
    if (it != g_node_names.end() && Clock::now() < it->second.second) return it->second.first;
  }
  auto name = AskNodeName(address);
  if (name) {
    std::lock_guard<std::mutex> lock(g_cache_mutex);
    if (g_node_names.size() >= kMaxCacheEntries) g_node_names.clear();
    g_node_names[address.s_addr] = {*name, Clock::now() + kNodeNameKept};
  }
  return name;
}

void ForgetComputerNames() {
  std::lock_guard<std::mutex> lock(g_cache_mutex);
  g_cache.clear();
  g_node_names.clear();
}

// --- the responder -------------------------------------------------------------

namespace {

// The computer-wide name whose owner answers the name service.
socklen_t AnswererName(sockaddr_un& addr) {
  addr = sockaddr_un{};
  addr.sun_family = AF_UNIX;
  const std::string key = "hallwire." + std::to_string(Config().port) + ".names";
  std::memcpy(addr.sun_path + 1, key.data(), key.size());
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + key.size());
}

class TResponder {
 public:
  bool Start() {
    std::lock_guard<std::mutex> lock(mutex_);
    tried_ = true;
    if (running_) return true;
    // The computer-wide right to answer: an abstract name, one owner per network
    // namespace, freed by the kernel when this process ends however it ends.
    lock_fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    const socklen_t len = AnswererName(addr);
    if (lock_fd_ < 0 || bind(lock_fd_, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
      CloseAll();
      return false;
    }
    udp_fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const int one = 1;
    setsockopt(udp_fd_, SOL_SOCKET, SO_REUSEPORT, &one, sizeof one);
    setsockopt(udp_fd_, IPPROTO_IP, IP_PKTINFO, &one, sizeof one);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(Config().name_port);
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    event_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (udp_fd_ < 0 || event_fd_ < 0 || bind(udp_fd_, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0) {
      // No right to the port (137 needs privilege) or another program keeps it: nobody
      // here answers, and the user hears why once.
      problem_ = ReportPortProblem(TPortRole::Name, Config().name_port, errno);
      CloseAll();
      return false;
    }
    problem_.clear();
    running_ = true;
    thread_ = std::thread([this, udp = udp_fd_, event = event_fd_] { Run(udp, event); });
    NameOwnershipStarted();
    return true;
  }

  bool Running() {
    std::lock_guard<std::mutex> lock(mutex_);
    return running_;
  }
  bool Tried() {
    std::lock_guard<std::mutex> lock(mutex_);
    return tried_;
  }
  std::string Problem() {
    std::lock_guard<std::mutex> lock(mutex_);
    return problem_;
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
    NameOwnershipStopped();
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
      // Only askers we may answer at all are heard; Reply counts the answers sent.
      if (!MayAnswer(from.sin_addr, Config())) continue;
      if (query->opcode != kOpcodeQuery) {
        AnswerNameClaim(*query, [&](const std::vector<std::uint8_t>& answer) {
          Reply(udp, answer, from, AnswerAddress(index, from.sin_addr));
        });
        continue;
      }
      if (query->question_type == kNameTypeNbstat) {
        AnswerNodeStatus(udp, *query, index, from);
        continue;
      }
      if (query->name.suffix != kSuffixWorkstation && query->name.suffix != kSuffixMessenger) continue;
      // Members answer for their workgroup's <00> group name, so a sender that has not
      // heard of the workgroup yet learns that it exists.
      const bool own = EqualsNoCase(query->name.name, Config().computer_name);
      const bool group =
          !own && query->name.suffix == kSuffixWorkstation && EqualsNoCase(query->name.name, Config().workgroup);
      if (!own && !group) continue;
      // Answer with the address the asker can reach us at, and only on interfaces
      // the carrier may use now: an address just given up is never answered again.
      const auto address = AnswerAddress(index, from.sin_addr);
      if (!address) continue;
      const auto answer = EncodeNameQueryResponse(query->id, query->name, *address, kAnswerTtlSeconds,
                                                  group ? kNbGroup : 0);
      Reply(udp, answer, from, address);
    }
  }

  // Sends an answer from the address it gives, which askers require of it (a host
  // with several addresses on one link might otherwise answer from another), and
  // only within the asker's rate.
  void Reply(int udp, const std::vector<std::uint8_t>& answer, const sockaddr_in& to, std::optional<in_addr> source) {
    if (!rate_.Allow(to.sin_addr, Clock::now()) || !source) return;
    iovec iov{const_cast<std::uint8_t*>(answer.data()), answer.size()};
    char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = const_cast<sockaddr_in*>(&to);
    msg.msg_namelen = sizeof to;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst = *source;
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    sendmsg(udp, &msg, 0);
  }

  // Our name table, asked for by "*" or by one of our names (nmblookup -A, a sender
  // that knows only an address).
  void AnswerNodeStatus(int udp, const TNamePacket& query, unsigned index, const sockaddr_in& from) {
    const auto& config = Config();
    if (query.name.name != "*" && !EqualsNoCase(query.name.name, config.computer_name)) return;
    const auto address = AnswerAddress(index, from.sin_addr);
    if (!address) return;
    const std::vector<TNodeName> names = {
        {{config.computer_name, kSuffixWorkstation}, kNodeNameActive},
        {{config.computer_name, kSuffixMessenger}, kNodeNameActive},
        {{config.workgroup, kSuffixWorkstation}, kNodeNameGroup | kNodeNameActive},
    };
    const auto answer = EncodeNodeStatusResponse(query.id, query.name, names);
    Reply(udp, answer, from, address);
  }

  // The address of interface `index` in the asker's subnet, else its first one.
  static std::optional<in_addr> AnswerAddress(unsigned index, in_addr asker) {
    std::optional<in_addr> first;
    for (const auto& itf : Config().interfaces) {
      if (itf.index != index) continue;
      if (((itf.address.s_addr ^ asker.s_addr) & itf.netmask.s_addr) == 0) return itf.address;
      if (!first) first = itf.address;
    }
    return first;
  }

  // Ten answers at once to one asker, then five a second: a sender resolves a name
  // once per cache time, a listing asks each computer once.
  static constexpr std::size_t kAnswerBurst = 10;
  static constexpr auto kAnswerGap = std::chrono::milliseconds(200);

  TAnswerRate rate_{kAnswerBurst, kAnswerGap};  // the responder thread's
  std::mutex mutex_;
  bool running_ = false;
  bool tried_ = false;
  std::string problem_;
  int lock_fd_ = -1, udp_fd_ = -1, event_fd_ = -1;
  std::thread thread_;
};

TResponder& Responder() {
  static auto* responder = new TResponder();  // its thread may outlive static destruction
  return *responder;
}

}  // namespace

bool StartNameResponder() { return Responder().Start(); }
void StopNameResponder() { Responder().Stop(); }

TNameAnswerer NameServiceAnswerer() {
  if (Responder().Running()) return TNameAnswerer::ThisProcess;
  // Connecting to the name only asks whether someone holds it; binding it would take
  // the turn from a program about to answer.
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return TNameAnswerer::Nobody;
  sockaddr_un addr;
  const socklen_t len = AnswererName(addr);
  const bool held = connect(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0;
  close(fd);
  return held ? TNameAnswerer::OtherProcess : TNameAnswerer::Nobody;
}

std::string NamePortProblem() { return Responder().Problem(); }
bool NameResponderTried() { return Responder().Tried(); }

}  // namespace hw::platform::net
