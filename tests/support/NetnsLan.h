// LANs of network namespaces for the integration tests: hosts "host1", "host2", ...
// (each its own computer name) on subnets that are bridges in a namespace of their own.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace hw::test {

// The complete lines of a program's output (a last line still being written is left out).
std::vector<std::string> Lines(const std::string& text);

// Hosts on bridges br0, br1, ... (subnet k is 10.<n>.k.0/24; host n is .n), torn down
// by the destructor. A routed LAN joins its subnets with a router (.254 on each) that
// forwards unicast but not directed broadcasts, as most routers do.
class TLan {
 public:
  struct THost {
    std::string ns;
    std::string hostname;
    std::string workgroup = "OFFICE";
    int subnet = 0;
    int octet = 0;
  };

  // hosts_per_subnet {2, 1}: two subnets joined by a router, hosts numbered 1.. across
  // them. {3} with bridges 2: three hosts on subnet 0 and a second bridge to move them to.
  TLan(const std::string& dir, const std::string& prefix, const std::vector<int>& hosts_per_subnet, int bridges = 1);
  ~TLan();
  TLan(const TLan&) = delete;
  TLan& operator=(const TLan&) = delete;

  // Builds the LAN; on failure returns why, and Unsupported() tells whether the machine
  // lacks namespaces, bridges or veth pairs rather than a later step having failed.
  std::optional<std::string> Up();
  bool Unsupported() const { return unsupported_; }

  // Gives every host a name server that never answers, so that a DNS query really
  // leaves and costs the resolver its whole time-out.
  std::optional<std::string> SilentNameServer();
  // Writes a file that replaces /etc/<path> for programs run on host n (ip netns exec).
  std::optional<std::string> EtcFile(int n, const std::string& path, const std::string& content);

  std::optional<std::string> SetLink(int n, bool up);
  std::optional<std::string> ChangeAddress(int n, int octet);
  std::optional<std::string> MoveToSubnet(int n, int subnet, int octet);

  const std::string& Bridge() const { return lan_; }  // the namespace of the bridges
  const THost& Host(int n) const { return hosts_.at(static_cast<std::size_t>(n - 1)); }
  std::string Address(int n) const { return Subnet(Host(n).subnet) + std::to_string(Host(n).octet); }
  // "10.<n>.<subnet>."
  std::string Subnet(int subnet) const { return prefix_ + std::to_string(subnet) + "."; }
  std::string Broadcast(int subnet) const { return Subnet(subnet) + "255"; }
  // Gives host n `count` more /32 addresses counted up from CrowdAddresses(), outside
  // every subnet: a crowd of computers behind one interface.
  std::optional<std::string> AddAddresses(int n, std::size_t count);
  std::string CrowdAddresses() const { return Subnet(100) + "0"; }
  void SetWorkgroups(const std::vector<std::string>& workgroups);
  // NAME=value for programs started from now on on host n (0: every host).
  void SetEnvironment(const std::string& assignment, int n = 0) { extra_env_.push_back({n, assignment}); }

  // The carrier on eth0 only, the host's workgroup, then what SetEnvironment added.
  std::vector<std::string> HostEnvironment(int n) const;
  // The command line that runs argv on host n under its own host name.
  std::vector<std::string> OnHost(int n, const std::vector<std::string>& argv) const;

 private:
  std::optional<std::string> Ip(std::vector<std::string> args);
  std::optional<std::string> SetAddress(int n, int subnet, int octet);

  std::string dir_;
  std::string prefix_ns_;
  std::string lan_;
  std::string router_;
  std::string prefix_;
  int subnets_;
  bool routed_;
  std::vector<THost> hosts_;
  std::vector<std::string> made_;
  std::vector<std::string> etc_;
  std::vector<std::pair<int, std::string>> extra_env_;
  bool unsupported_ = false;
};

// A test case on a LAN running the real tools (from HALLWIRE_BIN_DIR) and a peer
// program of the test's own; skips itself without root, iproute2 or namespaces.
class TLanTest : public ::testing::Test {
 protected:
  TLanTest(std::string prefix, std::string peer, int hosts = 3, int bridges = 1)
      : TLanTest(std::move(prefix), std::move(peer), std::vector<int>{hosts}, bridges) {}
  // A routed LAN (TLan's hosts_per_subnet).
  TLanTest(std::string prefix, std::string peer, std::vector<int> hosts_per_subnet, int bridges = 1)
      : prefix_(std::move(prefix)), peer_(std::move(peer)), layout_(std::move(hosts_per_subnet)), bridges_(bridges) {}
  void SetUp() override;
  void TearDown() override;

  // Starts argv on host n; its output goes to files named after label.
  TChild& Start(int host, const std::vector<std::string>& argv, const std::string& label);
  TRunResult RunOn(int host, const std::vector<std::string>& argv,
                   std::chrono::milliseconds timeout = std::chrono::seconds(20));
  std::string Out(TChild& child);
  std::string Err(TChild& child);

  bool WaitOwned(int host, const std::string& name = "hwSlot");
  // Starts hallwire-listen on host n (for `seconds`) and waits until it owns "hwSlot".
  TChild& Listen(int host, int seconds = 60);
  TRunResult Send(int host, const std::vector<std::string>& args);
  // Waits until the child printed at least n complete lines.
  bool WaitLines(TChild& child, std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(5));

  // Starts tshark on the bridges named (a routed packet shows once on each subnet it
  // crosses); nullptr when tshark is missing.
  TChild* StartCapture(const std::string& label, const std::string& filter,
                       const std::vector<std::string>& bridges = {"br0"});
  std::string ReadCapture(TChild& capture, const std::string& label, std::vector<std::string> args);

  // The chat line a host's hallwire-send produces for text.
  std::string Line(int host, const std::string& text);
  // Long enough for a stray or repeated delivery to show at a listener (checks every 250 ms).
  static void Settle();

  std::unique_ptr<TempDir> dir_;
  std::string bin_;
  std::unique_ptr<TLan> lan_;
  std::vector<std::unique_ptr<TChild>> children_;
  std::map<TChild*, std::string> outputs_;
  int serial_ = 0;

 private:
  std::string prefix_;
  std::string peer_;
  std::vector<int> layout_;
  int bridges_;
};

}  // namespace hw::test
