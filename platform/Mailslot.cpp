// Mailslots on Linux.
//
// A local mailslot is an abstract AF_UNIX datagram socket named after the mailslot
// (lower-cased, per carrier port): the kernel gives each name to one socket per
// network namespace and frees it when the owner closes it or dies, which is the
// ownership rule of mailslots. Local writers send to that name directly.
//
// Remote writes travel as NetBIOS datagrams over UDP (see Datagram.h). Every
// process owning a mailslot binds the service port with SO_REUSEADDR; its I/O
// thread keeps datagrams addressed to this computer or its workgroup for the
// mailslots it owns, and forwards a unicast for a name it does not own to the
// local owner (a unicast reaches only one of the sockets sharing the port).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <variant>

#include "platform/Carrier.h"
#include "platform/Config.h"
#include "platform/Datagram.h"
#include "platform/Kernel32.h"
#include "platform/NameService.h"
#include "platform/Presence.h"

namespace hw::platform {

namespace {

constexpr std::size_t kMaxLocalMessage = 200000;  // below the AF_UNIX datagram limit
constexpr int kReceiveBuffer = 4 * 1024 * 1024;
// How long a local write waits for an owner that is busy, not full, to take it.
constexpr int kLocalWriteWaitMs = 2000;
// How long the I/O thread waits for a slow owner before dropping a forwarded datagram.
constexpr int kForwardWaitMs = 1000;

// The queue's quota. Windows fails a write to a mailslot whose quota is used up; here
// datagrams from the network are dropped beyond it and local writers are refused. The
// byte limit keeps an unread receiver small under a flood; the message limit bounds the
// bookkeeping of tiny messages and still holds more than half a second of frames at the
// fastest rate loopback carries.
constexpr std::size_t kQueueMaxBytes = 16 * 1024 * 1024;
constexpr std::size_t kQueueMaxMessages = 65536;

constexpr std::size_t kAbstractMax = sizeof(sockaddr_un::sun_path) - 1;

// Two independent 64-bit hashes of a long name, as 32 hex digits.
std::string NameDigest(const std::string& name) {
  std::uint64_t a = 0xcbf29ce484222325ull, b = 0x9e3779b97f4a7c15ull;
  for (unsigned char c : name) {
    a = (a ^ c) * 0x100000001b3ull;
    b = (b + c) * 0xff51afd7ed558ccdull;
    b ^= b >> 29;
  }
  char hex[33];
  std::snprintf(hex, sizeof hex, "%016llx%016llx", static_cast<unsigned long long>(a),
                static_cast<unsigned long long>(b));
  return hex;
}

std::string AbstractPrefix() { return std::string("hallwire.") + std::to_string(Config().port) + ".mailslot."; }

// The abstract socket name of a mailslot. A name too long for sun_path keeps its start
// and gains a digest of the whole name, so long names never collide by their common
// start; shorter names stay as they always were.
std::string AbstractName(const std::string& mailslot) {
  const std::string prefix = AbstractPrefix();
  const std::string name = ToLowerAscii(mailslot);
  if (prefix.size() + name.size() < kAbstractMax) return prefix + name;
  const std::string digest = NameDigest(name);
  return prefix + name.substr(0, kAbstractMax - prefix.size() - digest.size() - 1) + "#" + digest;
}

socklen_t FillAbstract(sockaddr_un& addr, const std::string& name) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  const std::size_t n = std::min(name.size(), kAbstractMax);
  std::memcpy(addr.sun_path + 1, name.data(), n);  // leading zero: abstract namespace
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
}

enum class TLocalSend { Sent, Full, Busy, Gone, TooLarge };

// Sends one datagram to a local mailslot's socket (connected when addr is null),
// waiting up to wait_ms for an owner that is merely slow. An owner whose quota is used
// up has connected its socket to itself, so the kernel refuses every other sender
// (EPERM) at once.
TLocalSend SendLocal(int fd, const void* data, std::size_t size, const sockaddr_un* addr, socklen_t len,
                     int wait_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  for (;;) {
    const ssize_t sent = addr ? sendto(fd, data, size, MSG_DONTWAIT | MSG_NOSIGNAL,
                                       reinterpret_cast<const sockaddr*>(addr), len)
                              : send(fd, data, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent == static_cast<ssize_t>(size)) return TLocalSend::Sent;
    if (sent >= 0) return TLocalSend::Gone;
    if (errno == EINTR) continue;
    if (errno == EMSGSIZE) return TLocalSend::TooLarge;
    if (errno == EPERM) return TLocalSend::Full;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return TLocalSend::Gone;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) return TLocalSend::Busy;
    // An unconnected socket cannot wait for one peer: sleep briefly instead.
    pollfd p{fd, POLLOUT, 0};
    if (addr) {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::min<long long>(left, 5)));
    } else if (poll(&p, 1, static_cast<int>(std::min<long long>(left, 50))) < 0 && errno != EINTR) {
      return TLocalSend::Gone;
    }
  }
}

// Splits "\\SERVER\mailslot\NAME" into SERVER and NAME; false when malformed.
bool ParseMailslotPath(const std::string& path, std::string& server, std::string& name) {
  if (path.size() < 2 || path[0] != '\\' || path[1] != '\\') return false;
  const auto slash = path.find('\\', 2);
  if (slash == std::string::npos) return false;
  server = path.substr(2, slash - 2);
  static const std::string kMailslot = "mailslot\\";
  const std::string rest = path.substr(slash + 1);
  if (rest.size() <= kMailslot.size() || !EqualsNoCase(rest.substr(0, kMailslot.size()), kMailslot)) return false;
  name = rest.substr(kMailslot.size());
  return !name.empty();
}

bool IsLoopback(in_addr a) { return (ntohl(a.s_addr) >> 24) == 127; }

std::atomic<std::uint64_t> g_malformed{0};
std::atomic<std::uint64_t> g_dropped_full{0};

struct TLocalMailslot {
  std::string name;  // lower case
  win32::DWORD max_size = 0;
  std::atomic<win32::DWORD> read_timeout{0};
  int fd = -1;
  // Serialises reads of the socket (I/O thread and readers) with the close and with
  // changes of parked.
  std::mutex io_mutex;
  // While the quota is used up the socket is connected to itself: the kernel then
  // refuses every writer, and nothing written before is left behind in it.
  std::atomic<bool> parked{false};
  std::mutex mutex;
  std::condition_variable arrived;
  std::deque<std::vector<std::uint8_t>> queue;
  std::size_t queued_bytes = 0;  // guarded by mutex

  bool FullLocked() const { return queue.size() >= kQueueMaxMessages || queued_bytes >= kQueueMaxBytes; }
  bool Full() {
    std::lock_guard<std::mutex> lock(mutex);
    return FullLocked();
  }
  void Pull() {
    std::lock_guard<std::mutex> io(io_mutex);
    PullLocked(nullptr);
  }

  // Queues a local message already taken from the socket: it is always kept.
  void Push(std::vector<std::uint8_t> message) {
    if (max_size != 0 && message.size() > max_size) return;  // larger than the mailslot accepts
    {
      std::lock_guard<std::mutex> lock(mutex);
      queued_bytes += message.size();
      queue.push_back(std::move(message));
    }
    arrived.notify_all();
  }

  // Queues a datagram's data unless the quota is used up.
  void PushFromNetwork(const std::uint8_t* data, std::size_t size) {
    if (max_size != 0 && size > max_size) return;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (FullLocked()) {
        g_dropped_full++;
        return;
      }
      queued_bytes += size;
      queue.emplace_back(data, data + size);
    }
    arrived.notify_all();
  }

  // Moves the datagrams waiting in the socket into the queue, with io_mutex held. When
  // the quota is used up the socket is closed to writers and then emptied: a write that
  // succeeded is never lost, so the quota may be passed by what the socket held at that
  // moment (a few datagrams). It opens again once a read has made room.
  void PullLocked(std::vector<std::uint8_t>* buffer) {
    for (;;) {
      DrainSocket(buffer, !parked);
      const bool full = Full();
      if (fd < 0 || full == parked) return;
      if (full) {
        sockaddr_un self{};
        socklen_t len = sizeof self;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&self), &len) != 0 ||
            connect(fd, reinterpret_cast<sockaddr*>(&self), len) != 0)
          return;
        parked = true;  // drained once more above on the next turn: nothing can be left
      } else {
        sockaddr unspec{};
        unspec.sa_family = AF_UNSPEC;
        // Disconnecting purges the socket's queue: it is empty, since nobody could
        // write while it was connected to itself and it was drained just now.
        if (connect(fd, &unspec, sizeof unspec) != 0) return;
        parked = false;
        return;
      }
    }
  }

  void DrainSocket(std::vector<std::uint8_t>* buffer, bool until_full) {
    while (fd >= 0 && !(until_full && Full())) {
      ssize_t got;
      std::vector<std::uint8_t> message;
      if (buffer) {
        got = recv(fd, buffer->data(), buffer->size(), MSG_DONTWAIT | MSG_TRUNC);
        if (got >= 0 && static_cast<std::size_t>(got) <= buffer->size())
          message.assign(buffer->data(), buffer->data() + got);
      } else {
        // No buffer at hand: learn the size first and read straight into the message.
        got = recv(fd, nullptr, 0, MSG_DONTWAIT | MSG_PEEK | MSG_TRUNC);
        if (got >= 0) {
          message.resize(static_cast<std::size_t>(got));
          got = recv(fd, message.data(), message.size(), MSG_DONTWAIT | MSG_TRUNC);
        }
      }
      if (got < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (static_cast<std::size_t>(got) > kMaxLocalMessage) continue;  // too large to be a message
      Push(std::move(message));
    }
  }
};

// ---------------------------------------------------------------------------
// The carrier: UDP socket, local sockets, one I/O thread.

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
  std::optional<in_addr> Resolve(const std::string& name) {
    TNameResolver r;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      r = resolver_;
    }
    return r ? r(name) : std::nullopt;
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
    setsockopt(udp_fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    setsockopt(udp_fd_, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    setsockopt(udp_fd_, IPPROTO_IP, IP_PKTINFO, &one, sizeof one);
    if (setsockopt(udp_fd_, SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBuffer, sizeof kReceiveBuffer) != 0)
      setsockopt(udp_fd_, SOL_SOCKET, SO_RCVBUF, &kReceiveBuffer, sizeof kReceiveBuffer);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(Config().port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(udp_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
      ev.data.fd = udp_fd_;
      epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, udp_fd_, &ev);
    }
    // Without the port (no privilege for 138) local mailslots still work.
    stopping_ = false;
    thread_ = std::thread([this] { Run(); });
  }

  void Stop() {
    stopping_ = true;
    const std::uint64_t one = 1;
    while (write(event_fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    if (thread_.joinable()) thread_.join();
    close(udp_fd_);
    close(event_fd_);
    close(epoll_fd_);
    close(forward_fd_);
    udp_fd_ = event_fd_ = epoll_fd_ = forward_fd_ = -1;
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

    TDatagramListener listener;
    std::shared_ptr<TLocalMailslot> slot;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto l = listeners_.find(name);
      if (l != listeners_.end()) listener = l->second;
      auto s = mailslots_.find(name);
      if (s != mailslots_.end()) slot = s->second;
    }
    if (listener) listener(ToDatagram(*d), from);

    const auto& config = Config();
    const bool for_us = d->destination.suffix == 0x00 && (EqualsNoCase(d->destination.name, config.computer_name) ||
                                                          EqualsNoCase(d->destination.name, config.workgroup));
    if (!for_us) return;
    if (slot) {
      slot->PushFromNetwork(d->data, d->data_size);
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

  std::mutex lifecycle_;
  int users_ = 0;  // guarded by lifecycle_
  std::mutex mutex_;
  int epoll_fd_ = -1, event_fd_ = -1, udp_fd_ = -1, forward_fd_ = -1;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::map<std::string, std::shared_ptr<TLocalMailslot>> mailslots_;
  std::map<int, std::shared_ptr<TLocalMailslot>> by_fd_;
  std::map<std::string, TDatagramListener> listeners_;
  TNameResolver resolver_;
  TWorkgroupTest workgroup_test_;
};

// ---------------------------------------------------------------------------
// Handles.

enum class TTargetKind { Local, Domain, Computer };

struct TWriteTarget {
  TTargetKind kind = TTargetKind::Local;
  std::string server;   // computer or domain name for remote targets
  std::string mailslot; // as given
  int fd = -1;          // AF_UNIX socket (local), connected unless the owner was full
  bool connected = false;
  sockaddr_un address{};  // the owner's, for a socket left unconnected
  socklen_t address_length = 0;
  // Remote targets: the datagram's fixed part, encoded for this configuration and type
  // (the names and addresses in it change only with those). Writers from several
  // threads take turns on it.
  std::mutex encoder_mutex;
  TDatagramEncoder encoder;
  const TPlatformConfig* encoded_for = nullptr;
  TDatagramType encoded_type = TDatagramType::DirectUnique;
  ~TWriteTarget() {
    if (fd >= 0) close(fd);
  }
};

using TObject = std::variant<std::shared_ptr<TLocalMailslot>, std::shared_ptr<TWriteTarget>>;

class THandleTable {
 public:
  static THandleTable& Instance() {
    static THandleTable* table = new THandleTable();
    return *table;
  }
  win32::HANDLE Add(TObject object) {
    std::lock_guard<std::mutex> lock(mutex_);
    do {
      next_ += 4;
      if (next_ == 0 || next_ == win32::INVALID_HANDLE_VALUE || next_ < 0x100) next_ = 0x100;
    } while (objects_.count(next_));
    objects_[next_] = std::move(object);
    return next_;
  }
  // The object behind h if it is a T, copied once under the lock; `exists` tells a
  // handle of another kind from no handle.
  template <typename T>
  std::shared_ptr<T> GetAs(win32::HANDLE h, bool* exists = nullptr) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = objects_.find(h);
    if (exists) *exists = it != objects_.end();
    if (it == objects_.end()) return nullptr;
    auto* object = std::get_if<std::shared_ptr<T>>(&it->second);
    return object ? *object : nullptr;
  }
  std::optional<TObject> Take(win32::HANDLE h) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = objects_.find(h);
    if (it == objects_.end()) return std::nullopt;
    TObject o = std::move(it->second);
    objects_.erase(it);
    return o;
  }

 private:
  std::mutex mutex_;
  win32::HANDLE next_ = 0x100;
  std::map<win32::HANDLE, TObject> objects_;
};

std::shared_ptr<TLocalMailslot> GetMailslot(win32::HANDLE h) {
  return THandleTable::Instance().GetAs<TLocalMailslot>(h);
}

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

TCarrierCounters CarrierCounters() { return TCarrierCounters{g_malformed.load(), g_dropped_full.load()}; }

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
win32::DWORD SendUnicast(const std::vector<std::uint8_t>& bytes, in_addr target, std::uint16_t port) {
  static std::mutex mutex;
  static int fd = -1;
  static sockaddr_in connected{};
  std::lock_guard<std::mutex> lock(mutex);
  if (fd < 0 || connected.sin_addr.s_addr != target.s_addr || connected.sin_port != htons(port)) {
    if (fd < 0) fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
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
  if (target) return SendUnicast(bytes, *target, config.port);
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

// The kernel lists every bound abstract name of this network namespace, whoever
// owns it: the one view of all programs' mailslots that needs no cooperation.
bool AnyMailslotOwnedOnComputer() {
  std::ifstream in("/proc/net/unix");
  // The path is the last column and a mailslot name may hold blanks.
  const std::string wanted = " @" + AbstractPrefix();
  std::string line;
  while (std::getline(in, line))
    if (line.find(wanted) != std::string::npos) return true;
  return false;
}

void SetNameResolver(TNameResolver resolver) { TCarrier::Instance().SetResolver(std::move(resolver)); }
void SetWorkgroupTest(TWorkgroupTest test) { TCarrier::Instance().SetWorkgroups(std::move(test)); }

}  // namespace hw::platform

// --- the kernel32 stand-ins -------------------------------------------------------

namespace hw::win32 {

using namespace hw::platform;

HANDLE CreateMailslotA(LPCSTR lpName, DWORD nMaxMessageSize, DWORD lReadTimeout, LPSECURITY_ATTRIBUTES) {
  CheckConfig();  // a workgroup that cannot be used stops the program here, with its reason
  std::string server, name;
  if (!lpName || !ParseMailslotPath(lpName, server, name) || server != ".") {
    SetLastError(ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
  }
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return INVALID_HANDLE_VALUE;
  }
  sockaddr_un addr;
  const socklen_t len = FillAbstract(addr, AbstractName(name));
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
    const int err = errno;
    close(fd);
    SetLastError(err == EADDRINUSE ? ERROR_ALREADY_EXISTS : ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
  }
  const int buffer = kReceiveBuffer;
  if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer) != 0)
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
  auto slot = std::make_shared<TLocalMailslot>();
  slot->name = ToLowerAscii(name);
  slot->max_size = nMaxMessageSize;
  slot->read_timeout = lReadTimeout;
  slot->fd = fd;
  TCarrier::Instance().Acquire();
  TCarrier::Instance().AddMailslot(slot);
  PresenceMailslotOpened();
  return THandleTable::Instance().Add(slot);
}

BOOL GetMailslotInfo(HANDLE hMailslot, LPDWORD lpMaxMessageSize, LPDWORD lpNextSize, LPDWORD lpMessageCount,
                     LPDWORD lpReadTimeout) {
  auto slot = GetMailslot(hMailslot);
  if (!slot) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // What a local writer has handed over counts at once, whether or not the I/O thread
  // has taken it in yet.
  std::unique_lock<std::mutex> lock(slot->mutex);
  if (lpMessageCount || slot->queue.empty()) {
    lock.unlock();  // pulling takes the socket's lock first, then this one
    slot->Pull();
    lock.lock();
  }
  if (lpMaxMessageSize) *lpMaxMessageSize = slot->max_size;
  if (lpNextSize)
    *lpNextSize = slot->queue.empty() ? MAILSLOT_NO_MESSAGE : static_cast<DWORD>(slot->queue.front().size());
  if (lpMessageCount) *lpMessageCount = static_cast<DWORD>(slot->queue.size());
  if (lpReadTimeout) *lpReadTimeout = slot->read_timeout;
  return TRUE;
}

BOOL SetMailslotInfo(HANDLE hMailslot, DWORD lReadTimeout) {
  auto slot = GetMailslot(hMailslot);
  if (!slot) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  slot->read_timeout = lReadTimeout;
  return TRUE;
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              OVERLAPPED*) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  bool exists = false;
  const auto slot = THandleTable::Instance().GetAs<TLocalMailslot>(hFile, &exists);
  if (!slot) {
    // A client handle is open for writing only.
    SetLastError(exists ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::unique_lock<std::mutex> lock(slot->mutex);
  if (slot->queue.empty()) {
    lock.unlock();  // pulling takes the socket's lock first, then this one
    slot->Pull();
    lock.lock();
  }
  const DWORD timeout = slot->read_timeout;
  const auto ready = [&] { return !slot->queue.empty(); };
  if (timeout == MAILSLOT_WAIT_FOREVER) {
    slot->arrived.wait(lock, ready);
  } else if (!slot->arrived.wait_for(lock, std::chrono::milliseconds(timeout), ready)) {
    SetLastError(ERROR_SEM_TIMEOUT);
    return FALSE;
  }
  auto& message = slot->queue.front();
  if (message.size() > nNumberOfBytesToRead) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);  // the message stays queued
    return FALSE;
  }
  if (!message.empty()) std::memcpy(lpBuffer, message.data(), message.size());
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = static_cast<DWORD>(message.size());
  slot->queued_bytes -= message.size();
  slot->queue.pop_front();
  lock.unlock();
  if (slot->parked) slot->Pull();
  return TRUE;
}

HANDLE CreateFileA(LPCSTR lpFileName, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
  std::string server, name;
  if (!lpFileName || !ParseMailslotPath(lpFileName, server, name)) {
    SetLastError(lpFileName && std::strncmp(lpFileName, "\\\\\\", 3) == 0 ? ERROR_BAD_NETPATH : ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
  }
  auto target = std::make_shared<TWriteTarget>();
  target->mailslot = name;
  if (server == ".") {
    target->kind = TTargetKind::Local;
    target->fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    target->address_length = FillAbstract(target->address, AbstractName(name));
    int rc = -1;
    if (target->fd >= 0) {
      do {
        rc = connect(target->fd, reinterpret_cast<sockaddr*>(&target->address), target->address_length);
      } while (rc != 0 && errno == EINTR);
    }
    // EPERM: the owner is there but full (its socket is closed to writers for now).
    if (rc != 0 && !(target->fd >= 0 && errno == EPERM)) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return INVALID_HANDLE_VALUE;
    }
    target->connected = rc == 0;
    const int sndbuf = 1024 * 1024;
    setsockopt(target->fd, SOL_SOCKET, SO_SNDBUF, &sndbuf, sizeof sndbuf);
  } else {
    if (server.empty() || server.size() > 15 || server.find_first_of("\\/:*?\"<>|") != std::string::npos) {
      if (server != "*") {
        SetLastError(server.empty() ? ERROR_BAD_NETPATH : ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
      }
    }
    target->kind = server == "*" ? TTargetKind::Domain : TTargetKind::Computer;
    target->server = server;
  }
  return THandleTable::Instance().Add(target);
}

namespace {

std::optional<in_addr> ResolveWithSystem(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* list = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &list) != 0 || !list) return std::nullopt;
  const in_addr address = reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr;
  freeaddrinfo(list);
  return address;
}

BOOL WriteRemote(TWriteTarget& target, LPCVOID buffer, DWORD size, LPDWORD written) {
  const auto& config = Config();
  TDatagramType type = TDatagramType::DirectUnique;
  std::optional<in_addr> unicast;
  // This computer's own name comes first: it is never taken for a workgroup, and it
  // needs no look-up.
  if (target.kind == TTargetKind::Domain) {
    type = TDatagramType::DirectGroup;
  } else if (EqualsNoCase(target.server, config.computer_name)) {
    in_addr lo{};
    lo.s_addr = htonl(INADDR_LOOPBACK);
    unicast = lo;
  } else if (TCarrier::Instance().IsKnownWorkgroup(target.server)) {
    type = TDatagramType::DirectGroup;
  } else {
    // The presence table, then a NetBIOS name query (a quarter of a second at most),
    // then the broadcast below. Only a name with a dot is a DNS name: a plain one
    // never reaches a name server, which on some LANs takes seconds to not answer.
    // Nothing confined to loopback asks a name server either.
    unicast = TCarrier::Instance().Resolve(target.server);
    const bool dns_name = target.server.find('.') != std::string::npos;
    if (!unicast && !dns_name) unicast = QueryComputerName(target.server);
    if (!unicast && dns_name && !config.confined_to_loopback) unicast = ResolveWithSystem(target.server);
    // Otherwise a broadcast that only the computer of that name keeps.
  }
  static const std::string kMailslotPrefix = "\\MAILSLOT\\";
  const std::size_t mailslot_size = kMailslotPrefix.size() + target.mailslot.size();
  const std::size_t total = EncodedDatagramSize(mailslot_size, size);
  const std::size_t smb = EncodedSmbSize(mailslot_size, size);
  if (total > kMaxUdpPayload || size > 0xFFFF || (config.port == 138 && smb > kMaxSmbOnPort138)) {
    SetLastError(WSAEMSGSIZE);
    return FALSE;
  }
  static std::atomic<std::uint16_t> next_id{static_cast<std::uint16_t>(getpid())};
  DWORD error;
  {
    std::lock_guard<std::mutex> lock(target.encoder_mutex);
    if (target.encoded_for != &config || target.encoded_type != type) {
      TMailslotDatagram d;
      d.type = type;
      d.source_ip = FirstSourceAddress();
      d.source_port = config.port;
      d.source.name = config.computer_name;
      d.destination.name = target.kind == TTargetKind::Domain ? config.workgroup : ToUpperAscii(target.server);
      d.mailslot = kMailslotPrefix + target.mailslot;
      target.encoder.SetFields(d);
      // A configuration, once replaced, stays alive: its address is never reused.
      target.encoded_for = &config;
      target.encoded_type = type;
    }
    error = SendCarrierDatagram(target.encoder.Encode(next_id++, static_cast<const std::uint8_t*>(buffer), size),
                                unicast);
  }
  if (error != ERROR_SUCCESS) {
    SetLastError(error);
    return FALSE;
  }
  if (written) *written = size;
  return TRUE;
}

}  // namespace

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               OVERLAPPED*) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  bool exists = false;
  const auto target = THandleTable::Instance().GetAs<TWriteTarget>(hFile, &exists);
  if (!target) {
    // A server handle is open for reading only.
    SetLastError(exists ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  TWriteTarget& t = *target;
  if (t.kind != TTargetKind::Local) return WriteRemote(t, lpBuffer, nNumberOfBytesToWrite, lpNumberOfBytesWritten);
  if (nNumberOfBytesToWrite > kMaxLocalMessage) {
    SetLastError(WSAEMSGSIZE);
    return FALSE;
  }
  switch (SendLocal(t.fd, lpBuffer, nNumberOfBytesToWrite, t.connected ? nullptr : &t.address, t.address_length,
                    kLocalWriteWaitMs)) {
    case TLocalSend::Sent: break;
    case TLocalSend::Full: SetLastError(ERROR_NOT_ENOUGH_QUOTA); return FALSE;
    case TLocalSend::Busy: SetLastError(ERROR_SEM_TIMEOUT); return FALSE;
    case TLocalSend::TooLarge: SetLastError(WSAEMSGSIZE); return FALSE;
    case TLocalSend::Gone: SetLastError(ERROR_FILE_NOT_FOUND); return FALSE;
  }
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = nNumberOfBytesToWrite;
  return TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
  auto object = THandleTable::Instance().Take(hObject);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (auto* slot = std::get_if<std::shared_ptr<TLocalMailslot>>(&*object)) {
    TCarrier::Instance().RemoveMailslot(*slot);
    PresenceMailslotClosed();
    TCarrier::Instance().Release();
  }
  return TRUE;
}

}  // namespace hw::win32
