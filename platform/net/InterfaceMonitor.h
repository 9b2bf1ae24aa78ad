// Follows this computer's interfaces while the datagram carrier runs: rtnetlink tells
// of every address and link change as it happens, and each one that changes the
// carrier's interfaces publishes a new Config() snapshot, flushes the name cache and
// lets presence announce a new address at once.
#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/net/Config.h"

namespace hw::platform::net {

// One rtnetlink notice about a link or an IPv4 address.
struct TInterfaceEvent {
  enum class TKind { LinkNew, LinkGone, AddressNew, AddressGone };
  TKind kind = TKind::LinkNew;
  unsigned index = 0;
  std::string name;    // the link's name, or the address's label
  unsigned flags = 0;  // links: IFF_*
  in_addr address{};   // addresses
  unsigned prefix = 0; // addresses
};

// The link and IPv4 address notices in a buffer of rtnetlink messages; anything
// else, and anything cut short, is skipped.
std::vector<TInterfaceEvent> ParseInterfaceEvents(const void* data, std::size_t size);

// Counted: the monitor runs from the first Start to the matching last Stop.
void StartInterfaceMonitor();
void StopInterfaceMonitor();

// Tells the user once when the carrier has no interface left, and once when it has
// one again (PostNetworkNotice). Cheap when nothing changed.
void ReportInterfaceUse(const TPlatformConfig& config);
// A send found no interface: tells the user, unless the monitor follows the
// interfaces (it does so itself, past the short gap of an address being replaced).
void NoteSendWithoutInterface(const TPlatformConfig& config);

}  // namespace hw::platform::net
