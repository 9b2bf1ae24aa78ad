// Local mailslots: a mailslot is an abstract AF_UNIX datagram socket named after the
// mailslot (lower-cased, per carrier port). The kernel gives each name to one socket per
// network namespace and frees it when the owner closes it or dies, which is the
// ownership rule of mailslots. Local writers send to that name directly; the carrier
// (Carrier.h) feeds the owners what arrives over the network.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/system/Win32Types.h"

namespace hw::platform::net {

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

// The source recorded for a message written on this computer: 127.0.0.1, network order.
inline std::uint32_t LocalSource() { return htonl(INADDR_LOOPBACK); }

// The abstract socket name of a mailslot (without the leading zero), and its address.
std::string AbstractName(const std::string& mailslot);
socklen_t FillAbstract(sockaddr_un& addr, const std::string& name);

enum class TLocalSend { Sent, Full, Busy, Gone, TooLarge };

// Sends one datagram to a local mailslot's socket (connected when addr is null),
// waiting up to wait_ms for an owner that is merely slow. An owner whose quota is used
// up has connected its socket to itself, so the kernel refuses every other sender
// (EPERM) at once.
TLocalSend SendLocal(int fd, const void* data, std::size_t size, const sockaddr_un* addr, socklen_t len,
                     int wait_ms);

// A mailslot this process owns: its socket and the queue of messages taken from it.
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
  // Writes dropped because another user's program made them.
  std::atomic<std::uint64_t> refused_writes{0};
  std::mutex mutex;
  std::condition_variable arrived;
  std::deque<std::vector<std::uint8_t>> queue;
  // Beside each queued message, the IPv4 address it came from (network byte order;
  // 127.0.0.1 for a local write).
  std::deque<std::uint32_t> sources;
  std::size_t queued_bytes = 0;  // guarded by mutex

  bool FullLocked() const { return queue.size() >= kQueueMaxMessages || queued_bytes >= kQueueMaxBytes; }
  bool Full() {
    std::lock_guard<std::mutex> lock(mutex);
    return FullLocked();
  }
  // Moves what waits in the socket into the queue.
  void Pull();

  // Queues a local message already taken from the socket: it is always kept.
  void Push(std::vector<std::uint8_t> message) {
    if (max_size != 0 && message.size() > max_size) return;  // larger than the mailslot accepts
    {
      std::lock_guard<std::mutex> lock(mutex);
      queued_bytes += message.size();
      queue.push_back(std::move(message));
      sources.push_back(LocalSource());
    }
    arrived.notify_all();
  }

  // Queues a datagram's data unless the quota is used up; false when it was dropped
  // for that (a datagram larger than the mailslot accepts is dropped too, not counted).
  bool PushFromNetwork(const std::uint8_t* data, std::size_t size, std::uint32_t source) {
    if (max_size != 0 && size > max_size) return true;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (FullLocked()) return false;
      queued_bytes += size;
      queue.emplace_back(data, data + size);
      sources.push_back(source);
    }
    arrived.notify_all();
    return true;
  }

  // Moves the datagrams waiting in the socket into the queue, with io_mutex held. When
  // the quota is used up the socket is closed to writers and then emptied: a write that
  // succeeded is never lost, so the quota may be passed by what the socket held at that
  // moment (a few datagrams). It opens again once a read has made room.
  void PullLocked(std::vector<std::uint8_t>* buffer);

 private:
  void DrainSocket(std::vector<std::uint8_t>* buffer, bool until_full);
};

// Creates the socket of the local mailslot `name` and gives it the name. Null with
// `error` set (ERROR_ALREADY_EXISTS when another socket owns the name) on failure.
std::shared_ptr<TLocalMailslot> OpenLocalMailslot(const std::string& name, win32::DWORD max_size,
                                                  win32::DWORD read_timeout, win32::DWORD& error);

// A writer's end of a local mailslot.
struct TLocalWriter {
  int fd = -1;  // connected unless the owner was full when it was opened
  bool connected = false;
  sockaddr_un address{};  // the owner's, for a socket left unconnected
  socklen_t address_length = 0;

  TLocalWriter() = default;
  TLocalWriter(const TLocalWriter&) = delete;
  TLocalWriter& operator=(const TLocalWriter&) = delete;
  ~TLocalWriter();
  // False when nobody owns the mailslot `name` here.
  bool Open(const std::string& name);
  TLocalSend Send(const void* data, std::size_t size) const {
    return SendLocal(fd, data, size, connected ? nullptr : &address, address_length, kLocalWriteWaitMs);
  }
};

// True while any program on this computer (this one included) owns a mailslot on
// the carrier's port.
bool AnyMailslotOwnedOnComputer();

// The user whose program owns the local mailslot `name`; none when nobody does or
// the kernel will not say.
std::optional<unsigned> MailslotOwnerUid(const std::string& name);
// A user's login name, or "uid N" for a user without one.
std::string UserName(unsigned uid);

}  // namespace hw::platform::net
