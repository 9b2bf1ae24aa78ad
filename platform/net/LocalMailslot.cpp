// Local mailslots (see LocalMailslot.h): the queue behind an owner's socket, with its
// quota, and the writers' side.
#include "platform/net/LocalMailslot.h"

#include <fcntl.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <linux/unix_diag.h>
#include <poll.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>

#include "platform/net/Config.h"

namespace hw::platform::net {

namespace {

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

// Abstract names carry no permissions: anyone on the computer can write to a
// mailslot. The kernel stamps every datagram with its writer's credentials
// (SO_PASSCRED), and only this user's programs and root's are let in.
bool WriterMayWrite(const msghdr& header) {
  for (const cmsghdr* c = CMSG_FIRSTHDR(&header); c; c = CMSG_NXTHDR(const_cast<msghdr*>(&header), const_cast<cmsghdr*>(c)))
    if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS && c->cmsg_len >= CMSG_LEN(sizeof(ucred))) {
      ucred writer;
      std::memcpy(&writer, CMSG_DATA(c), sizeof writer);
      return writer.uid == 0 || writer.uid == geteuid();
    }
  return false;
}

std::string AbstractPrefix() { return std::string("hallwire.") + std::to_string(Config().port) + ".mailslot."; }

}  // namespace

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

void TLocalMailslot::Pull() {
  std::lock_guard<std::mutex> io(io_mutex);
  PullLocked(nullptr);
}

void TLocalMailslot::PullLocked(std::vector<std::uint8_t>* buffer) {
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

void TLocalMailslot::DrainSocket(std::vector<std::uint8_t>* buffer, bool until_full) {
  while (fd >= 0 && !(until_full && Full())) {
    // No buffer at hand: learn the size first and read straight into the message.
    std::vector<std::uint8_t> message;
    std::uint8_t* into = buffer ? buffer->data() : nullptr;
    std::size_t room = buffer ? buffer->size() : 0;
    if (!buffer) {
      const ssize_t size = recv(fd, nullptr, 0, MSG_DONTWAIT | MSG_PEEK | MSG_TRUNC);
      if (size < 0) {
        if (errno == EINTR) continue;
        return;
      }
      message.resize(static_cast<std::size_t>(size));
      into = message.data();
      room = message.size();
    }
    iovec io{into, room};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
    msghdr header{};
    header.msg_iov = &io;
    header.msg_iovlen = 1;
    header.msg_control = control;
    header.msg_controllen = sizeof control;
    const ssize_t got = recvmsg(fd, &header, MSG_DONTWAIT | MSG_TRUNC);
    if (got < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (static_cast<std::size_t>(got) > room || static_cast<std::size_t>(got) > kMaxLocalMessage) continue;
    if (!WriterMayWrite(header)) {
      refused_writes.fetch_add(1, std::memory_order_relaxed);
      continue;
    }
    if (buffer) message.assign(buffer->data(), buffer->data() + got);
    Push(std::move(message));
  }
}

std::shared_ptr<TLocalMailslot> OpenLocalMailslot(const std::string& name, win32::DWORD max_size,
                                                  win32::DWORD read_timeout, win32::DWORD& error) {
  const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    error = win32::ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  sockaddr_un addr;
  const socklen_t len = FillAbstract(addr, AbstractName(name));
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
    const int err = errno;
    close(fd);
    error = err == EADDRINUSE ? win32::ERROR_ALREADY_EXISTS : win32::ERROR_INVALID_NAME;
    return nullptr;
  }
  const int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &one, sizeof one);
  const int buffer = kReceiveBuffer;
  if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer) != 0)
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
  auto slot = std::make_shared<TLocalMailslot>();
  slot->name = ToLowerAscii(name);
  slot->max_size = max_size;
  slot->read_timeout = read_timeout;
  slot->fd = fd;
  return slot;
}

TLocalWriter::~TLocalWriter() {
  if (fd >= 0) close(fd);
}

bool TLocalWriter::Open(const std::string& name) {
  fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  address_length = FillAbstract(address, AbstractName(name));
  int rc = -1;
  if (fd >= 0) {
    do {
      rc = connect(fd, reinterpret_cast<sockaddr*>(&address), address_length);
    } while (rc != 0 && errno == EINTR);
  }
  // EPERM: the owner is there but full (its socket is closed to writers for now).
  if (rc != 0 && !(fd >= 0 && errno == EPERM)) return false;
  connected = rc == 0;
  const int sndbuf = 1024 * 1024;
  setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sndbuf, sizeof sndbuf);
  return true;
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

// The kernel's socket diagnostics name the user of every socket, whoever owns it,
// without asking the owner: a dump of all Unix sockets with their names and users.
std::optional<unsigned> MailslotOwnerUid(const std::string& name) {
  const int fd = socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
  if (fd < 0) return std::nullopt;
  struct {
    nlmsghdr header;
    unix_diag_req request;
  } query{};
  query.header.nlmsg_len = sizeof query;
  query.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
  query.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  query.request.sdiag_family = AF_UNIX;
  query.request.udiag_states = ~0u;
  query.request.udiag_show = UDIAG_SHOW_NAME | UDIAG_SHOW_UID;
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  std::optional<unsigned> owner;
  if (sendto(fd, &query, sizeof query, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) == sizeof query) {
    const std::string wanted = std::string(1, '\0') + AbstractName(name);
    alignas(nlmsghdr) char reply[32768];
    for (bool done = false; !done;) {
      const ssize_t got = recv(fd, reply, sizeof reply, 0);
      if (got <= 0) break;
      int left = static_cast<int>(got);
      for (auto* h = reinterpret_cast<nlmsghdr*>(reply); NLMSG_OK(h, left); h = NLMSG_NEXT(h, left)) {
        if (h->nlmsg_type == NLMSG_DONE || h->nlmsg_type == NLMSG_ERROR) {
          done = true;
          break;
        }
        const auto* socket_info = static_cast<const unix_diag_msg*>(NLMSG_DATA(h));
        int attributes = static_cast<int>(h->nlmsg_len - NLMSG_LENGTH(sizeof *socket_info));
        std::optional<unsigned> uid;
        bool named = false;
        for (auto* a = reinterpret_cast<rtattr*>(const_cast<unix_diag_msg*>(socket_info + 1)); RTA_OK(a, attributes);
             a = RTA_NEXT(a, attributes)) {
          const auto* data = static_cast<const char*>(RTA_DATA(a));
          const std::size_t size = RTA_PAYLOAD(a);
          if (a->rta_type == UNIX_DIAG_NAME)
            named = std::string(data, size) == wanted;
          else if (a->rta_type == UNIX_DIAG_UID && size >= sizeof(std::uint32_t)) {
            std::uint32_t value;
            std::memcpy(&value, data, sizeof value);
            uid = value;
          }
        }
        if (named && uid) owner = uid;
      }
    }
  }
  close(fd);
  return owner;
}

std::string UserName(unsigned uid) {
  passwd entry{};
  passwd* found = nullptr;
  char text[4096];
  if (getpwuid_r(uid, &entry, text, sizeof text, &found) == 0 && found) return found->pw_name;
  return "uid " + std::to_string(uid);
}

}  // namespace hw::platform::net
