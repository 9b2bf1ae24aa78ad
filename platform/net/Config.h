// Platform configuration from the environment:
//   HALLWIRE_INTERFACES    comma-separated interfaces the datagram carrier may use,
//                          whenever they are up (default: every up IPv4 interface with
//                          a broadcast address; "lo" confines the carrier to this computer)
//   HALLWIRE_DGRAM_PORT    the carrier's UDP port (default 13138)
//   HALLWIRE_NAME_PORT     the name service's UDP port (137 when the carrier uses 138,
//                          else this, default: the carrier's port minus one)
//   HALLWIRE_COMPUTERNAME  this computer's name (default: host name's first label,
//                          upper case, at most 15 characters)
//   HALLWIRE_WORKGROUP     the primary workgroup (default: `workgroup` of
//                          /etc/samba/smb.conf, else "WORKGROUP"); one that cannot be a
//                          NetBIOS name makes `error` say so
//   HALLWIRE_WINS          comma-separated WINS server addresses (default: `wins server`
//                          of /etc/samba/smb.conf, its addresses only; else none); an
//                          entry that is not an IPv4 address makes `error` say so
//   HALLWIRE_REMOTE_ANNOUNCE  remote targets, separated by commas or blanks: each an
//                          IPv4 address (a remote subnet's broadcast address or one
//                          computer) with an optional "/WORKGROUP" (default: `remote
//                          announce` of /etc/samba/smb.conf, else none); an entry that
//                          cannot be read makes `error` say so
// Settings of the user's own (SetNetworkOverrides) come before the environment.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <string>
#include <vector>

namespace hw::platform::net {

struct TCarrierInterface {
  std::string name;
  unsigned index = 0;  // the kernel's interface index
  in_addr address{};
  in_addr netmask{};
  in_addr broadcast{};
  bool loopback = false;
};

bool operator==(const TCarrierInterface& a, const TCarrierInterface& b);

// Where host announcements, the announcement request and writes to the whole workgroup
// go besides the local broadcasts: a remote subnet's broadcast address or one computer,
// and the workgroup they are addressed to there (empty: ours).
struct TRemoteTarget {
  in_addr address{};
  std::string workgroup;  // upper case
};

struct TPlatformConfig {
  std::uint16_t port = 13138;
  std::uint16_t name_port = 13137;
  std::string computer_name;  // upper case, <= 15 characters
  std::string workgroup;      // upper case, <= 15 characters
  std::vector<TCarrierInterface> interfaces;
  std::vector<in_addr> wins_servers;
  std::vector<TRemoteTarget> remote_targets;
  // True when the carrier may only use loopback.
  bool confined_to_loopback = true;
  // Why this configuration cannot be used (empty when it can).
  std::string error;
};

// The configuration read from the environment on first use, with the interfaces as
// they are now. Each change publishes a new snapshot; a reference stays valid for the
// life of the process.
const TPlatformConfig& Config();
// Reads the interfaces again; when they changed, publishes a snapshot with the new
// ones (everything else kept) and returns true.
bool RefreshInterfaces();
// Reads the environment again (tests that change it).
void ReloadConfig();
// Throws hw::Exception with the configuration's error, if it has one.
void CheckConfig();

// The user's own network settings (the [Network] section of the settings file), taken
// before the environment and smb.conf; an empty text leaves a setting to them. The
// programs call this at start, before the carrier is used; it publishes a snapshot.
// Entries that cannot be read are left out and reported once as a network notice.
struct TNetworkOverrides {
  std::string wins_servers;
  std::string remote_announce;
};
void SetNetworkOverrides(const TNetworkOverrides& overrides);

// Reads remote targets ("10.1.2.255/STAFF 10.1.3.7", commas or blanks between them)
// into out; false when an entry is not one (the others are still read).
bool ParseRemoteTargets(const std::string& text, std::vector<TRemoteTarget>& out);

// True when text can be a NetBIOS name: 1 to 15 bytes, no control characters and
// none of \ / : * ? " < > | (blanks are allowed).
bool ValidNetbiosName(const std::string& text);

// Reads IPv4 addresses separated by commas or blanks (Samba's "tag:address" form too)
// into out; false when an entry is not one (the others are still read).
bool ParseAddressList(const std::string& text, std::vector<in_addr>& out);

std::string ToUpperAscii(std::string text);
std::string ToLowerAscii(std::string text);
bool EqualsNoCase(const std::string& a, const std::string& b);

}  // namespace hw::platform::net
