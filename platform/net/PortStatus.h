// Who holds the carrier's UDP ports, and the words for a port this process cannot
// take (a self-check for users and support, and the notice given at start).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hw::platform::net {

enum class TPortRole { Datagram, Name };

// The user's text for a bind of port that failed with errno `error`: which port, why,
// and what is lost.
std::string PortProblemText(TPortRole role, std::uint16_t port, int error);

// Posts the notice for a failed bind once per process and port; returns its text.
std::string ReportPortProblem(TPortRole role, std::uint16_t port, int error);

struct TPortState {
  std::uint16_t port = 0;
  bool held_here = false;           // a socket of this process is bound to it
  std::vector<std::string> others;  // other holders, "name (pid N)" where readable
  std::string problem;              // why this process could not bind it now; empty if it could
};

// The UDP sockets bound to port in this network namespace (/proc/net/udp), their
// processes where /proc lets us see them, and a trial bind as the carrier makes it.
TPortState InspectUdpPort(TPortRole role, std::uint16_t port);

}  // namespace hw::platform::net
