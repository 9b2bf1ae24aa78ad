// The process-wide datagram carrier behind the mailslot stand-ins: one UDP socket
// on the service port (shared with other programs through SO_REUSEADDR) and one
// I/O thread that drains it and every local mailslot's socket into the queues.
// Other platform services (presence) listen and send through it too.
#pragma once

#include <netinet/in.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Datagram.h"
#include "platform/Win32Types.h"

namespace hw::platform {

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
};
TCarrierCounters CarrierCounters();

// The IPv4 address this computer's datagrams give as their source.
in_addr CarrierSourceAddress();

// True while any program on this computer (this one included) owns a mailslot on
// the carrier's port.
bool AnyMailslotOwnedOnComputer();

// Name resolution for "\\NAME\" targets: the presence table registers itself here.
using TNameResolver = std::function<std::optional<in_addr>(const std::string& computer)>;
using TWorkgroupTest = std::function<bool(const std::string& name)>;
void SetNameResolver(TNameResolver resolver);
void SetWorkgroupTest(TWorkgroupTest test);

}  // namespace hw::platform
