// Platform configuration from the environment:
//   HALLWIRE_INTERFACES    comma-separated interfaces the datagram carrier may use
//                          (default: every up IPv4 interface with a broadcast address;
//                          "lo" confines the carrier to this computer)
//   HALLWIRE_DGRAM_PORT    the carrier's UDP port (default 13138)
//   HALLWIRE_NAME_PORT     the name service's UDP port (137 when the carrier uses 138,
//                          else this, default: the carrier's port minus one)
//   HALLWIRE_COMPUTERNAME  this computer's name (default: host name's first label,
//                          upper case, at most 15 characters)
//   HALLWIRE_WORKGROUP     the primary workgroup (default: `workgroup` of
//                          /etc/samba/smb.conf, else "WORKGROUP"); one that cannot be a
//                          NetBIOS name makes `error` say so
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
  std::uint16_t name_port = 13137;
  std::string computer_name;  // upper case, <= 15 characters
  std::string workgroup;      // upper case, <= 15 characters
  std::vector<TCarrierInterface> interfaces;
  // True when the carrier may only use loopback.
  bool confined_to_loopback = true;
  // Why this configuration cannot be used (empty when it can).
  std::string error;
};

// The configuration read from the environment on first use.
const TPlatformConfig& Config();
// Reads the environment again (tests that change it).
void ReloadConfig();
// Throws hw::Exception with the configuration's error, if it has one.
void CheckConfig();

// True when text can be a NetBIOS name: 1 to 15 bytes, no control characters and
// none of \ / : * ? " < > | (blanks are allowed).
bool ValidNetbiosName(const std::string& text);

std::string ToUpperAscii(std::string text);
std::string ToLowerAscii(std::string text);
bool EqualsNoCase(const std::string& a, const std::string& b);

}  // namespace hw::platform
