// Platform configuration from the environment:
//   HALLWIRE_INTERFACES    comma-separated interfaces the datagram carrier may use
//                          (default: every up IPv4 interface with a broadcast address;
//                          "lo" confines the carrier to this computer)
//   HALLWIRE_DGRAM_PORT    the carrier's UDP port (default 13138)
//   HALLWIRE_COMPUTERNAME  this computer's name (default: host name's first label,
//                          upper case, at most 15 characters)
//   HALLWIRE_WORKGROUP     the primary workgroup (default: `workgroup` of
//                          /etc/samba/smb.conf, else "WORKGROUP")
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <string>
#include <vector>

namespace hw::platform {

struct TCarrierInterface {
  std::string name;
  in_addr address{};
  in_addr broadcast{};
  bool loopback = false;
};

struct TPlatformConfig {
  std::uint16_t port = 13138;
  std::string computer_name;  // upper case, <= 15 characters
  std::string workgroup;      // upper case, <= 15 characters
  std::vector<TCarrierInterface> interfaces;
  // True when the carrier may only use loopback.
  bool confined_to_loopback = true;
};

// The configuration read from the environment on first use.
const TPlatformConfig& Config();
// Reads the environment again (tests that change it).
void ReloadConfig();

std::string ToUpperAscii(std::string text);
std::string ToLowerAscii(std::string text);
bool EqualsNoCase(const std::string& a, const std::string& b);

}  // namespace hw::platform
