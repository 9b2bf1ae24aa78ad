#include "platform/net/Wins.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include "platform/net/Config.h"
#include "platform/net/StoppableThread.h"

namespace hw::platform::net {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr std::uint32_t kRequestedTtl = 6 * 3600;  // what Samba grants at least by default
// Unicast requests are sent three times a second apart (a query twice, 400 ms apart, as
// a send waits for it); a server that stays silent is left alone for a while.
constexpr int kRequestTries = 3;
constexpr auto kRequestWait = milliseconds(1000);
constexpr int kQueryTries = 2;
constexpr auto kQueryWait = milliseconds(400);
constexpr auto kReleaseWait = milliseconds(250);
constexpr auto kSilentServerSkipped = seconds(60);
constexpr auto kRetryAfterSilence = seconds(30);
constexpr auto kRetryAfterRefusal = seconds(60);
constexpr auto kLongestWack = seconds(120);
constexpr auto kShortestRefresh = seconds(1);
constexpr auto kAnswerKept = seconds(60);
constexpr auto kMissKept = seconds(3);
constexpr std::size_t kMaxCacheEntries = 256;

std::uint16_t RandomId() {
  static std::mt19937 rng{std::random_device{}()};
  static std::mutex mutex;
  std::lock_guard<std::mutex> lock(mutex);
  return static_cast<std::uint16_t>(rng());
}

std::string AddressText(in_addr a) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &a, text, sizeof text);
  return text;
}

// The servers this process may talk to: one confined to loopback asks nothing beyond it.
std::vector<in_addr> Servers() {
  const auto& config = Config();
  std::vector<in_addr> out;
  for (const auto& s : config.wins_servers)
    if (!config.confined_to_loopback || (ntohl(s.s_addr) >> 24) == 127) out.push_back(s);
  return out;
}

// Both tables are made once and never destroyed: a goodbye sent as the process ends
// may still release names (and so touch them) during static destruction.
std::mutex& g_silent_mutex = *new std::mutex;
std::map<std::uint32_t, Clock::time_point>& g_silent_until = *new std::map<std::uint32_t, Clock::time_point>;

bool Silent(in_addr server) {
  std::lock_guard<std::mutex> lock(g_silent_mutex);
  const auto it = g_silent_until.find(server.s_addr);
  return it != g_silent_until.end() && Clock::now() < it->second;
}
void MarkSilent(in_addr server, bool silent) {
  std::lock_guard<std::mutex> lock(g_silent_mutex);
  if (silent)
    g_silent_until[server.s_addr] = Clock::now() + kSilentServerSkipped;
  else
    g_silent_until.erase(server.s_addr);
}

// A UDP socket connected to the server's name port: it hears only that server, and its
// local address is the one this computer reaches the server from.
int ConnectToServer(in_addr server, in_addr* local) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(Config().name_port);
  to.sin_addr = server;
  sockaddr_in me{};
  socklen_t size = sizeof me;
  if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&me), &size) != 0) {
    close(fd);
    return -1;
  }
  if (local) *local = me.sin_addr;
  return fd;
}

// The next response from the socket, waiting until the deadline at most; nullopt
// when none came.
std::optional<TNamePacket> Receive(int fd, Clock::time_point until) {
  for (;;) {
    std::uint8_t buffer[576];
    const ssize_t got = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got > 0) {
      if (auto packet = DecodeNamePacket(buffer, static_cast<std::size_t>(got)); packet && packet->response)
        return packet;
      continue;
    }
    if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNREFUSED)
      return std::nullopt;
    const auto left = std::chrono::ceil<milliseconds>(until - Clock::now()).count();
    if (left <= 0) return std::nullopt;
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, static_cast<int>(left));
  }
}

struct TWinsAnswer {
  bool answered = false;
  std::optional<in_addr> address;
  std::uint32_t ttl = 0;
};

// One server's answer for NAME<00>: a unique name's address, or none.
TWinsAnswer AskServer(in_addr server, const std::string& name) {
  TWinsAnswer result;
  const int fd = ConnectToServer(server, nullptr);
  if (fd < 0) return result;
  const std::uint16_t id = RandomId();
  const auto query = EncodeUnicastNameQuery(id, {name, 0x00});
  for (int attempt = 0; attempt < kQueryTries && !result.answered; ++attempt) {
    if (send(fd, query.data(), query.size(), 0) < 0) break;
    const auto until = Clock::now() + kQueryWait;
    while (auto answer = Receive(fd, until)) {
      if (answer->id != id || answer->opcode != kOpcodeQuery) continue;
      result.answered = true;
      if (answer->rcode == 0 && !answer->addresses.empty() && !(answer->nb_flags & kNbGroup) &&
          EqualsNoCase(answer->name.name, name)) {
        result.address = answer->addresses.front();
        result.ttl = answer->ttl;
      }
      break;
    }
  }
  close(fd);
  return result;
}

struct TCacheEntry {
  std::optional<in_addr> address;
  Clock::time_point expires;
};
std::mutex& g_cache_mutex = *new std::mutex;
std::map<std::string, TCacheEntry>& g_cache = *new std::map<std::string, TCacheEntry>;

}  // namespace

std::vector<TNameClaim> ComputerClaims(in_addr address, std::uint16_t ont) {
  const auto& config = Config();
  return {{{config.computer_name, 0x00}, ont, address, kRequestedTtl},
          {{config.computer_name, 0x03}, ont, address, kRequestedTtl},
          {{config.workgroup, 0x00}, static_cast<std::uint16_t>(ont | kNbGroup), address, kRequestedTtl}};
}

std::optional<in_addr> QueryWinsName(const std::string& computer) {
  const auto servers = Servers();
  if (servers.empty()) return std::nullopt;
  const std::string name = ToUpperAscii(computer);
  if (!ValidNetbiosName(name)) return std::nullopt;
  {
    std::lock_guard<std::mutex> lock(g_cache_mutex);
    const auto it = g_cache.find(name);
    if (it != g_cache.end() && Clock::now() < it->second.expires) return it->second.address;
  }
  // WINS servers share one database: the first that answers decides.
  TWinsAnswer answer;
  for (const auto& server : servers) {
    if (Silent(server)) continue;
    answer = AskServer(server, name);
    MarkSilent(server, !answer.answered);
    if (answer.answered) break;
  }
  std::lock_guard<std::mutex> lock(g_cache_mutex);
  const auto now = Clock::now();
  for (auto it = g_cache.begin(); it != g_cache.end();)
    it = now >= it->second.expires ? g_cache.erase(it) : std::next(it);
  auto kept = std::chrono::duration_cast<Clock::duration>(kMissKept);
  if (answer.address) kept = std::min<Clock::duration>(seconds(answer.ttl), kAnswerKept);
  if (g_cache.size() < kMaxCacheEntries || g_cache.count(name)) g_cache[name] = {answer.address, now + kept};
  return answer.address;
}

// --- registration and refresh ----------------------------------------------------

namespace {

class TWinsRegistrar {
 public:
  void Start() {
    if (!Servers().empty()) worker_.Start([this](int stop) { Run(stop); });
  }
  void Stop() { worker_.Stop(); }

 private:
  // One name with one server.
  struct TEntry {
    std::size_t server = 0;
    TNameClaim claim;
    bool registered = false;  // then the next request is a refresh
    bool waiting = false;
    int tries = 0;
    std::uint16_t id = 0;
    Clock::time_point due{};  // the next send, or the end of the wait for an answer
  };
  struct TServer {
    in_addr address{};
    int fd = -1;
  };

  void Run(int stop) {
    std::vector<TServer> servers;
    std::vector<TEntry> entries;
    for (const auto& address : Servers()) {
      in_addr local{};
      const int fd = ConnectToServer(address, &local);
      if (fd < 0) continue;
      servers.push_back({address, fd});
      for (const auto& claim : ComputerClaims(local, kNbOntH)) entries.push_back({servers.size() - 1, claim});
    }
    for (;;) {
      const auto now = Clock::now();
      auto next = now + seconds(3600);
      for (auto& e : entries) {
        if (now >= e.due) Step(e, servers[e.server], now);
        next = std::min(next, e.due);
      }
      std::vector<pollfd> fds;
      for (const auto& s : servers) fds.push_back({s.fd, POLLIN, 0});
      fds.push_back({stop, POLLIN, 0});
      const auto wait = std::max<long long>(0, std::chrono::ceil<milliseconds>(next - Clock::now()).count());
      if (poll(fds.data(), fds.size(), static_cast<int>(std::min<long long>(wait, 60000))) < 0 && errno != EINTR)
        break;
      if (fds.back().revents) break;
      for (std::size_t i = 0; i < servers.size(); ++i)
        if (fds[i].revents) Drain(i, servers[i], entries);
    }
    for (const auto& s : servers) close(s.fd);
  }

  // A due entry: sends the first request, resends one unanswered, or gives up for now.
  static void Step(TEntry& e, const TServer& server, Clock::time_point now) {
    if (e.waiting && e.tries >= kRequestTries) {
      // Silence: register afresh later (the server may have restarted without its data).
      e.waiting = false;
      e.registered = false;
      e.due = now + kRetryAfterSilence;
      return;
    }
    if (!e.waiting) {
      e.waiting = true;
      e.tries = 0;
      e.id = RandomId();
    }
    const auto bytes = e.registered ? EncodeNameRefresh(e.id, e.claim) : EncodeNameRegistration(e.id, e.claim, false);
    send(server.fd, bytes.data(), bytes.size(), 0);
    ++e.tries;
    e.due = now + kRequestWait;
  }

  static void Drain(std::size_t index, const TServer& server, std::vector<TEntry>& entries) {
    while (auto answer = Receive(server.fd, Clock::now())) {
      for (auto& e : entries) {
        if (e.server != index || !e.waiting || e.id != answer->id) continue;
        Answered(e, server, *answer);
        break;
      }
    }
  }

  static void Answered(TEntry& e, const TServer& server, const TNamePacket& answer) {
    const auto now = Clock::now();
    if (answer.opcode == kOpcodeWack) {
      // The server is asking the name's holder; no resend meanwhile.
      e.tries = kRequestTries;
      e.due = now + std::min<Clock::duration>(seconds(answer.ttl), kLongestWack);
      return;
    }
    if (answer.opcode != kOpcodeRegistration && answer.opcode != kOpcodeRefresh &&
        answer.opcode != kOpcodeRefreshAlt)
      return;
    e.waiting = false;
    if (answer.rcode == 0) {
      e.registered = true;
      const std::uint32_t granted = answer.ttl ? answer.ttl : e.claim.ttl;
      e.due = now + std::max<Clock::duration>(seconds(granted) / 2, kShortestRefresh);
      return;
    }
    if (e.registered) {
      // A refused refresh: the server lost or moved the name; claim it again at once.
      e.registered = false;
      e.due = now;
      return;
    }
    if (!(e.claim.nb_flags & kNbGroup)) {
      const auto holder = AskServer(server.address, e.claim.name.name);
      ReportNameConflict(e.claim.name.name, holder.address.value_or(in_addr{}),
                         "the WINS server at " + AddressText(server.address) + " refused to register it");
    }
    e.due = now + kRetryAfterRefusal;
  }

  TStoppableThread worker_;
};

TWinsRegistrar& Registrar() {
  static auto* registrar = new TWinsRegistrar();  // its thread may outlive static destruction
  return *registrar;
}

}  // namespace

void StartWinsRegistration() { Registrar().Start(); }
void StopWinsRegistration() { Registrar().Stop(); }

void ReleaseWinsNames() {
  struct TPending {
    int fd;
    std::vector<std::uint8_t> bytes;
    std::uint16_t id;
    bool done = false;
  };
  std::vector<TPending> pending;
  std::vector<int> fds;
  for (const auto& server : Servers()) {
    in_addr local{};
    const int fd = ConnectToServer(server, &local);
    if (fd < 0) continue;
    fds.push_back(fd);
    for (const auto& claim : ComputerClaims(local, kNbOntH)) {
      const std::uint16_t id = RandomId();
      pending.push_back({fd, EncodeNameRelease(id, claim, false), id});
    }
  }
  // Twice at most: a release that is lost leaves the name until its time to live ends.
  for (int attempt = 0; attempt < 2; ++attempt) {
    bool any = false;
    for (const auto& p : pending)
      if (!p.done) any = send(p.fd, p.bytes.data(), p.bytes.size(), 0) >= 0 || any;
    if (!any) break;
    const auto until = Clock::now() + kReleaseWait;
    for (int fd : fds)
      while (auto answer = Receive(fd, until)) {
        for (auto& p : pending)
          if (p.fd == fd && p.id == answer->id && answer->opcode == kOpcodeRelease) p.done = true;
        if (std::all_of(pending.begin(), pending.end(), [fd](const TPending& p) { return p.fd != fd || p.done; }))
          break;
      }
  }
  for (int fd : fds) close(fd);
  std::lock_guard<std::mutex> lock(g_cache_mutex);
  g_cache.clear();
}

}  // namespace hw::platform::net
