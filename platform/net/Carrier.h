// The process-wide datagram carrier behind the mailslot stand-ins: one UDP socket
// on the service port (shared with this user's other programs through SO_REUSEPORT) and one
// I/O thread that drains it and every local mailslot's socket into the queues.
// The mailslot calls hand it their local mailslots; other platform services
// (presence) listen and send through it and register with it.
#pragma once

#include <netinet/in.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/net/Datagram.h"
#include "platform/system/Win32Types.h"

namespace hw::platform::net {

// Called on the carrier's I/O thread for every well-formed datagram whose mailslot
// is `"\MAILSLOT\" + name`, whatever its destination name.
using TDatagramListener = std::function<void(const TMailslotDatagram& datagram, const sockaddr_in& from)>;

class TCarrierListener {
 public:
  // Registers the listener and keeps the carrier's socket open while it lives.
  TCarrierListener(const std::string& mailslot_name, TDatagramListener listener);
  ~TCarrierListener();
  TCarrierListener(const TCarrierListener&) = delete;
  TCarrierListener& operator=(const TCarrierListener&) = delete;

 private:
  std::string key_;
};

// Sends an encoded datagram to every carrier broadcast address (and 127.255.255.255)
// or, with a target address, to that address alone. Returns a Win32 error code.
win32::DWORD SendCarrierDatagram(const std::vector<std::uint8_t>& bytes, const std::optional<in_addr>& target);

// Datagrams this process refused since it started: malformed ones, and ones that found
// their mailslot's quota used up.
struct TCarrierCounters {
  std::uint64_t malformed = 0;
  std::uint64_t dropped_full = 0;
  std::uint64_t received = 0;  // every datagram taken off the port
  // When the last datagram from another computer arrived (this computer's own
  // broadcasts come back to it and do not count).
  std::optional<std::chrono::steady_clock::time_point> last_arrival;
};
TCarrierCounters CarrierCounters();

// Why the carrier could not bind the datagram port when it last started (the user was
// told once, through PostNetworkNotice); empty when it could or never started.
std::string CarrierPortProblem();

// The IPv4 address this computer's datagrams give as their source.
in_addr CarrierSourceAddress();

// Name resolution for "\\NAME\" targets: the presence table registers itself here.
// The addresses that claim computer now: none, one, or several that dispute the name.
using TNameResolver = std::function<std::vector<in_addr>(const std::string& computer)>;
using TWorkgroupTest = std::function<bool(const std::string& name)>;
void SetNameResolver(TNameResolver resolver);
void SetWorkgroupTest(TWorkgroupTest test);
// The registered resolver's answer for computer (none without one); whether name is
// this computer's workgroup or one the registered test knows.
std::vector<in_addr> ResolveComputerName(const std::string& computer);
bool IsKnownWorkgroup(const std::string& name);

// This process's mailslot ownership: called after each local mailslot it creates and
// after each it closes, on the caller's thread. The presence service registers these.
void SetOnMailslotOpened(std::function<void()> handler);
void SetOnMailslotClosed(std::function<void()> handler);

// Local mailslots the carrier delivers to. Attaching keeps the carrier running and
// reports the open; detaching closes the mailslot's socket (its name is free at once),
// reports the close and lets the carrier stop with its last user.
struct TLocalMailslot;
void AttachMailslot(const std::shared_ptr<TLocalMailslot>& slot);
void DetachMailslot(const std::shared_ptr<TLocalMailslot>& slot);

}  // namespace hw::platform::net
