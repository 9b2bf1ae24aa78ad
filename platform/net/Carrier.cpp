// The datagram carrier (Carrier.h).
//
// Remote writes travel as NetBIOS datagrams over UDP (see Datagram.h). Every
// process owning a mailslot binds the service port with SO_REUSEPORT alone, which
// the kernel allows only between sockets of one user (with SO_REUSEADDR as well,
// another account could bind beside us and receive our unicasts); its I/O
// thread keeps datagrams addressed to this computer or its workgroup for the
// mailslots it owns, and forwards a unicast for a name it does not own to the
// local owner (a unicast reaches only one of the sockets sharing the port).
// A unicast for a listener (presence's browse mailslot) is relayed to the other
// processes here instead: each keeps its own table of computers.
#include "platform/net/Carrier.h"

#include <arpa/inet.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "platform/net/Config.h"
#include "platform/net/Datagram.h"
#include "platform/net/InterfaceMonitor.h"
#include "platform/net/LocalMailslot.h"
#include "platform/net/PortStatus.h"

namespace hw::platform::net {

namespace {

using Clock = std::chrono::steady_clock;

bool IsLoopback(in_addr a) { return (ntohl(a.s_addr) >> 24) == 127; }

// Relays leave from this loopback address, which nothing else sends from, so that a
// receiver can tell them from this computer's own datagrams.
constexpr std::uint32_t kRelayAddress = 0x7F000002u;  // 127.0.0.2

std::atomic<std::uint64_t> g_malformed{0};
std::atomic<std::uint64_t> g_dropped_full{0};
std::atomic<std::uint64_t> g_received{0};
std::atomic<Clock::rep> g_last_arrival{0};  // 0: none yet
std::mutex g_port_problem_mutex;
std::string g_port_problem;

class TCarrier {
 public:
  static TCarrier& Instance() {
    static TCarrier* carrier = new TCarrier();  // lives until exit; threads end with their users
    return *carrier;
  }

  // Start and stop hold the lifecycle lock throughout, joins included, so a user
  // arriving while the last one leaves waits for the old thread to be gone. The
  // I/O thread never takes this lock.
  void Acquire() {
    std::lock_guard<std::mutex> life(lifecycle_);
    if (users_++ > 0) return;
    Start();
  }

  void Release() {
    std::lock_guard<std::mutex> life(lifecycle_);
    if (--users_ > 0) return;
    Stop();
  }

  void AddMailslot(const std::shared_ptr<TLocalMailslot>& slot) {
    std::lock_guard<std::mutex> lock(mutex_);
    mailslots_[slot->name] = slot;
    by_fd_[slot->fd] = slot;
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = slot->fd;
    epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, slot->fd, &ev);
  }

  void RemoveMailslot(const std::shared_ptr<TLocalMailslot>& slot) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, slot->fd, nullptr);
      mailslots_.erase(slot->name);
      by_fd_.erase(slot->fd);
    }
    // Close at once so the name is free when CloseHandle returns.
    std::lock_guard<std::mutex> io(slot->io_mutex);
    close(slot->fd);
    slot->fd = -1;
  }

  void SetOnMailslotOpened(std::function<void()> handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    on_mailslot_opened_ = std::move(handler);
  }
  void SetOnMailslotClosed(std::function<void()> handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    on_mailslot_closed_ = std::move(handler);
  }
  // Called without the lock: the handler may call back into the carrier.
  void MailslotOpened() { Notify(on_mailslot_opened_); }
  void MailslotClosed() { Notify(on_mailslot_closed_); }

  void AddListener(const std::string& key, TDatagramListener listener) {
    std::lock_guard<std::mutex> lock(mutex_);
    listeners_[key] = std::move(listener);
  }
  void RemoveListener(const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    listeners_.erase(key);
  }

  void SetResolver(TNameResolver r) {
    std::lock_guard<std::mutex> lock(mutex_);
    resolver_ = std::move(r);
  }
  void SetWorkgroups(TWorkgroupTest t) {
    std::lock_guard<std::mutex> lock(mutex_);
    workgroup_test_ = std::move(t);
  }
  std::vector<in_addr> Resolve(const std::string& name) {
    TNameResolver r;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      r = resolver_;
    }
    return r ? r(name) : std::vector<in_addr>{};
  }
  bool IsKnownWorkgroup(const std::string& name) {
    if (EqualsNoCase(name, Config().workgroup)) return true;
    TWorkgroupTest t;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      t = workgroup_test_;
    }
    return t && t(name);
  }

 private:
  void Notify(const std::function<void()>& handler_member) {
    std::function<void()> handler;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      handler = handler_member;
    }
    if (handler) handler();
  }

  void Start() {
    epoll_fd_ = epoll_create1(EPOLL_CLOEXEC);
    event_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    forward_fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = event_fd_;
    epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, event_fd_, &ev);

    udp_fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const int one = 1;
    setsockopt(udp_fd_, SOL_SOCKET, SO_REUSEPORT, &one, sizeof one);
    setsockopt(udp_fd_, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    setsockopt(udp_fd_, IPPROTO_IP, IP_PKTINFO, &one, sizeof one);
    if (setsockopt(udp_fd_, SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBuffer, sizeof kReceiveBuffer) != 0)
      setsockopt(udp_fd_, SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(Config().port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    std::string problem;
    if (bind(udp_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      ev.data.fd = udp_fd_;
      epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, udp_fd_, &ev);
    } else {
      // Local mailslots still work; the user is told why nothing comes from outside.
      problem = ReportPortProblem(TPortRole::Datagram, Config().port, errno);
    }
    {
      std::lock_guard<std::mutex> lock(g_port_problem_mutex);
      g_port_problem = problem;
    }
    relay_fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    setsockopt(relay_fd_, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    sockaddr_in relay{};
    relay.sin_family = AF_INET;
    relay.sin_addr.s_addr = htonl(kRelayAddress);
    socklen_t relay_len = sizeof relay;
    if (bind(relay_fd_, reinterpret_cast<sockaddr*>(&relay), sizeof relay) == 0 &&
        getsockname(relay_fd_, reinterpret_cast<sockaddr*>(&relay), &relay_len) == 0)
      relay_port_ = relay.sin_port;
    stopping_ = false;
    thread_ = std::thread([this] { Run(); });
    StartInterfaceMonitor();
  }

  void Stop() {
    StopInterfaceMonitor();
    stopping_ = true;
    const std::uint64_t one = 1;
    while (write(event_fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    if (thread_.joinable()) thread_.join();
    close(udp_fd_);
    close(event_fd_);
    close(epoll_fd_);
    close(forward_fd_);
    close(relay_fd_);
    udp_fd_ = event_fd_ = epoll_fd_ = forward_fd_ = relay_fd_ = -1;
    relay_port_ = 0;
  }

  void Run() {
    std::vector<std::uint8_t> buffer(kMaxLocalMessage + 1);
    auto batch = std::make_unique<TUdpBatch>();
    epoll_event events[16];
    for (;;) {
      const int n = epoll_wait(epoll_fd_, events, 16, -1);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return;
      for (int i = 0; i < n; ++i) {
        const int fd = events[i].data.fd;
        if (fd == event_fd_) {
          if (stopping_) return;
          std::uint64_t v;
          if (read(event_fd_, &v, sizeof v) < 0) {
          }
        } else if (fd == udp_fd_) {
          DrainUdp(*batch);
        } else {
          DrainLocal(fd, buffer);
        }
      }
    }
  }

  void DrainLocal(int fd, std::vector<std::uint8_t>& buffer) {
    std::shared_ptr<TLocalMailslot> slot;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = by_fd_.find(fd);
      if (it == by_fd_.end()) return;
      slot = it->second;
    }
    std::lock_guard<std::mutex> io(slot->io_mutex);
    slot->PullLocked(&buffer);
  }

  // Datagrams are taken in batches: on a busy port one system call brings many, which
  // is most of what a datagram costs this thread.
  struct TUdpBatch {
    static constexpr int kSize = 32;
    static constexpr std::size_t kBuffer = 65536;  // above the largest UDP payload
    // Left uninitialised: only the pages that datagrams fill are ever touched.
    std::unique_ptr<std::uint8_t[]> data{new std::uint8_t[kSize * kBuffer]};
    sockaddr_in from[kSize];
    iovec iov[kSize];
    char control[kSize][CMSG_SPACE(sizeof(in_pktinfo))];
    mmsghdr msgs[kSize];
  };

  void DrainUdp(TUdpBatch& batch) {
    for (;;) {
      for (int i = 0; i < TUdpBatch::kSize; ++i) {
        batch.iov[i] = iovec{batch.data.get() + i * TUdpBatch::kBuffer, TUdpBatch::kBuffer};
        msghdr& msg = batch.msgs[i].msg_hdr;
        msg = msghdr{};
        msg.msg_name = &batch.from[i];
        msg.msg_namelen = sizeof batch.from[i];
        msg.msg_iov = &batch.iov[i];
        msg.msg_iovlen = 1;
        msg.msg_control = batch.control[i];
        msg.msg_controllen = sizeof batch.control[i];
      }
      const int got = recvmmsg(udp_fd_, batch.msgs, TUdpBatch::kSize, MSG_DONTWAIT, nullptr);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return;
      g_received += static_cast<std::uint64_t>(got);
      for (int i = 0; i < got; ++i)
        if (!IsOwnAddress(batch.from[i].sin_addr)) {
          g_last_arrival = std::max<Clock::rep>(1, Clock::now().time_since_epoch().count());
          break;
        }
      for (int i = 0; i < got; ++i) {
        msghdr& msg = batch.msgs[i].msg_hdr;
        if (msg.msg_flags & MSG_TRUNC) {
          g_malformed++;
          continue;
        }
        bool unicast = false;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
          if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info;
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            unicast = IsUnicastDestination(info.ipi_addr);
          }
        }
        HandleDatagram(static_cast<const std::uint8_t*>(batch.iov[i].iov_base), batch.msgs[i].msg_len,
                       batch.from[i], unicast);
      }
      if (got < TUdpBatch::kSize) return;
    }
  }

  static bool IsOwnAddress(in_addr a) {
    if (IsLoopback(a)) return true;
    for (const auto& itf : Config().interfaces)
      if (itf.address.s_addr == a.s_addr) return true;
    return false;
  }

  static bool IsUnicastDestination(in_addr a) {
    const std::uint32_t h = ntohl(a.s_addr);
    if (h == 0xFFFFFFFFu || (h >> 28) == 0xE) return false;
    if (h == 0x7FFFFFFFu) return false;
    for (const auto& itf : Config().interfaces)
      if (itf.broadcast.s_addr == a.s_addr) return false;
    // Any other broadcast address: the host part all ones for a /8 to /30 is
    // indistinguishable here, so ask the interfaces we know; unknown ones count as unicast.
    return true;
  }

  void HandleDatagram(const std::uint8_t* bytes, std::size_t size, const sockaddr_in& from, bool unicast) {
    // Parsed in place: the data is copied once, into the queue, and only when it is kept.
    const auto d = ParseDatagram(bytes, size);
    if (!d) {
      g_malformed++;
      return;
    }
    static const char kPrefix[] = "\\MAILSLOT\\";
    constexpr std::size_t kPrefixSize = sizeof kPrefix - 1;
    if (d->mailslot_size <= kPrefixSize) return;
    for (std::size_t i = 0; i < kPrefixSize; ++i) {
      char c = static_cast<char>(d->mailslot[i]);
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c != kPrefix[i]) return;
    }
    std::string name(reinterpret_cast<const char*>(d->mailslot) + kPrefixSize, d->mailslot_size - kPrefixSize);
    for (char& c : name)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');

    // A relay stands for its original sender (the datagram's own source fields). One
    // from this process was handled when it came in; one claiming to come from this
    // computer is not a relay.
    sockaddr_in sender = from;
    if (from.sin_addr.s_addr == htonl(kRelayAddress)) {
      if (from.sin_port == relay_port_ || IsOwnAddress(d->source_ip)) return;
      sender.sin_addr = d->source_ip;
      sender.sin_port = htons(d->source_port);
    }

    TDatagramListener listener;
    std::shared_ptr<TLocalMailslot> slot;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto l = listeners_.find(name);
      if (l != listeners_.end()) listener = l->second;
      auto s = mailslots_.find(name);
      if (s != mailslots_.end()) slot = s->second;
    }
    if (listener) listener(ToDatagram(*d), sender);
    // Without its own address a relay would pass for this computer's datagram.
    if (listener && unicast && relay_port_ != 0 && !IsLoopback(from.sin_addr)) Relay(bytes, size);

    const auto& config = Config();
    const bool for_us = d->destination.suffix == 0x00 && (EqualsNoCase(d->destination.name, config.computer_name) ||
                                                          EqualsNoCase(d->destination.name, config.workgroup));
    if (!for_us) return;
    if (slot) {
      if (!slot->PushFromNetwork(d->data, d->data_size, sender.sin_addr.s_addr)) g_dropped_full++;
    } else if (unicast && !listener) {
      // Only one of the sockets sharing the port saw this unicast: hand it to the owner.
      // A full owner drops it as it would a datagram of its own; a slow one is waited
      // for, since its socket queues only a few datagrams (net.unix.max_dgram_qlen).
      sockaddr_un addr;
      const socklen_t len = FillAbstract(addr, AbstractName(name));
      if (SendLocal(forward_fd_, d->data, d->data_size, &addr, len, kForwardWaitMs) ==
          TLocalSend::Full)
        g_dropped_full++;
    }
  }

  // Hands a unicast to every other process on the port (and back to this one, which
  // drops it) through the loopback broadcast.
  void Relay(const std::uint8_t* bytes, std::size_t size) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(Config().port);
    to.sin_addr.s_addr = htonl(0x7FFFFFFFu);
    sendto(relay_fd_, bytes, size, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  }

  std::mutex lifecycle_;
  int users_ = 0;  // guarded by lifecycle_
  std::mutex mutex_;
  int epoll_fd_ = -1, event_fd_ = -1, udp_fd_ = -1, forward_fd_ = -1, relay_fd_ = -1;
  std::uint16_t relay_port_ = 0;  // network order
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::map<std::string, std::shared_ptr<TLocalMailslot>> mailslots_;
  std::map<int, std::shared_ptr<TLocalMailslot>> by_fd_;
  std::map<std::string, TDatagramListener> listeners_;
  TNameResolver resolver_;
  TWorkgroupTest workgroup_test_;
  std::function<void()> on_mailslot_opened_;
  std::function<void()> on_mailslot_closed_;
};

in_addr FirstSourceAddress() {
  for (const auto& itf : Config().interfaces)
    if (!itf.loopback) return itf.address;
  in_addr lo{};
  lo.s_addr = htonl(INADDR_LOOPBACK);
  return lo;
}


}  // namespace

// --- carrier API for other platform services ----------------------------------

TCarrierListener::TCarrierListener(const std::string& mailslot_name, TDatagramListener listener)
    : key_(ToLowerAscii(mailslot_name)) {
  TCarrier::Instance().Acquire();
  TCarrier::Instance().AddListener(key_, std::move(listener));
}

TCarrierListener::~TCarrierListener() {
  TCarrier::Instance().RemoveListener(key_);
  TCarrier::Instance().Release();
}

in_addr CarrierSourceAddress() { return FirstSourceAddress(); }

TCarrierCounters CarrierCounters() {
  TCarrierCounters counters{g_malformed.load(), g_dropped_full.load(), g_received.load(), std::nullopt};
  if (const auto last = g_last_arrival.load())
    counters.last_arrival = Clock::time_point(Clock::duration(last));
  return counters;
}

std::string CarrierPortProblem() {
  std::lock_guard<std::mutex> lock(g_port_problem_mutex);
  return g_port_problem;
}

namespace {

// The one socket every datagram is sent from, made on first use (and again after a
// failed attempt). Opening and closing a socket per datagram cost more than the send.
int SendSocket() {
  static std::mutex mutex;
  static int fd = -1;
  std::lock_guard<std::mutex> lock(mutex);
  if (fd < 0) {
    fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    if (fd >= 0) setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
  }
  return fd;
}

// Unicasts go through a socket connected to the last target: a connected socket keeps
// its route, which an unconnected one looks up again for every datagram.
// A new interface snapshot connects again: the source address chosen at connect
// time may be gone.
win32::DWORD SendUnicast(const std::vector<std::uint8_t>& bytes, in_addr target, const TPlatformConfig& config) {
  static std::mutex mutex;
  static int fd = -1;
  static sockaddr_in connected{};
  static const TPlatformConfig* connected_for = nullptr;
  const std::uint16_t port = config.port;
  std::lock_guard<std::mutex> lock(mutex);
  if (fd < 0 || connected.sin_addr.s_addr != target.s_addr || connected.sin_port != htons(port) ||
      connected_for != &config) {
    // A fresh socket each time: Linux keeps the source address of a socket's first
    // connect through later ones, and it may not suit the new target.
    if (fd >= 0) close(fd);
    fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return win32::ERROR_NO_NETWORK;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr = target;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
      close(fd);
      fd = -1;
      return win32::ERROR_BAD_NETPATH;
    }
    connected = addr;
    connected_for = &config;
  }
  // A port nobody listened on earlier reports itself on the next send (ECONNREFUSED);
  // that says nothing about this datagram, which is sent again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const ssize_t n = send(fd, bytes.data(), bytes.size(), 0);
    if (n == static_cast<ssize_t>(bytes.size())) return win32::ERROR_SUCCESS;
    if (n < 0 && errno == EMSGSIZE) return win32::WSAEMSGSIZE;
    if (n < 0 && errno != EINTR && errno != ECONNREFUSED) break;
  }
  return win32::ERROR_BAD_NETPATH;
}

}  // namespace

win32::DWORD SendCarrierDatagram(const std::vector<std::uint8_t>& bytes, const std::optional<in_addr>& target) {
  const auto& config = Config();
  if (bytes.size() > kMaxUdpPayload) return win32::WSAEMSGSIZE;
  if (target && config.confined_to_loopback && !IsLoopback(*target)) return win32::ERROR_NETWORK_ACCESS_DENIED;
  if (target) return SendUnicast(bytes, *target, config);
  if (config.interfaces.empty()) NoteSendWithoutInterface(config);
  const int fd = SendSocket();
  if (fd < 0) return win32::ERROR_NO_NETWORK;
  std::vector<in_addr> targets;
  {
    for (const auto& itf : config.interfaces) targets.push_back(itf.broadcast);
    in_addr local{};
    inet_pton(AF_INET, "127.255.255.255", &local);
    targets.push_back(local);
  }
  std::set<std::uint32_t> sent;
  win32::DWORD result = win32::ERROR_SUCCESS;
  bool any = false;
  for (const auto& a : targets) {
    if (!sent.insert(a.s_addr).second) continue;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(config.port);
    addr.sin_addr = a;
    ssize_t n;
    do {
      n = sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    } while (n < 0 && errno == EINTR);
    if (n == static_cast<ssize_t>(bytes.size()))
      any = true;
    else if (errno == EMSGSIZE)
      result = win32::WSAEMSGSIZE;
  }
  if (result != win32::ERROR_SUCCESS) return result;
  return any ? win32::ERROR_SUCCESS : win32::ERROR_BAD_NETPATH;
}

void AttachMailslot(const std::shared_ptr<TLocalMailslot>& slot) {
  TCarrier& carrier = TCarrier::Instance();
  carrier.Acquire();
  carrier.AddMailslot(slot);
  carrier.MailslotOpened();
}

void DetachMailslot(const std::shared_ptr<TLocalMailslot>& slot) {
  TCarrier& carrier = TCarrier::Instance();
  carrier.RemoveMailslot(slot);
  carrier.MailslotClosed();
  carrier.Release();
}

std::vector<in_addr> ResolveComputerName(const std::string& computer) { return TCarrier::Instance().Resolve(computer); }
bool IsKnownWorkgroup(const std::string& name) { return TCarrier::Instance().IsKnownWorkgroup(name); }

void SetNameResolver(TNameResolver resolver) { TCarrier::Instance().SetResolver(std::move(resolver)); }
void SetWorkgroupTest(TWorkgroupTest test) { TCarrier::Instance().SetWorkgroups(std::move(test)); }
void SetOnMailslotOpened(std::function<void()> handler) {
  TCarrier::Instance().SetOnMailslotOpened(std::move(handler));
}
void SetOnMailslotClosed(std::function<void()> handler) {
  TCarrier::Instance().SetOnMailslotClosed(std::move(handler));
}

}  // namespace hw::platform::net
