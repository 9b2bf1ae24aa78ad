// The rtnetlink messages the interface monitor reads, and what the user is told when
// the network goes and comes (the monitor at work: live_interfaces_test.cpp).
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/net/InterfaceMonitor.h"
#include "platform/net/NetworkNotice.h"

namespace hw::platform::net {
namespace {

using TKind = TInterfaceEvent::TKind;

// Appends one rtnetlink message: header, fixed part, then attributes.
struct TMessages {
  template <typename T>
  TMessages& Add(std::uint16_t type, const T& fixed, const std::vector<std::pair<unsigned short, std::string>>& attrs) {
    const std::size_t start = bytes.size();
    const auto put = [this](const void* p, std::size_t n) {
      bytes.insert(bytes.end(), static_cast<const char*>(p), static_cast<const char*>(p) + n);
      bytes.resize(NLMSG_ALIGN(bytes.size()));
    };
    bytes.resize(start + NLMSG_HDRLEN);
    put(&fixed, sizeof fixed);
    for (const auto& [kind, value] : attrs) {
      const rtattr a{static_cast<unsigned short>(RTA_LENGTH(value.size())), kind};
      put(&a, sizeof a);
      put(value.data(), value.size());
    }
    const nlmsghdr h{static_cast<std::uint32_t>(bytes.size() - start), type, 0, 0, 0};
    std::memcpy(bytes.data() + start, &h, sizeof h);
    return *this;
  }
  std::vector<char> bytes;
};

std::string Ip(const char* text) {
  in_addr a{};
  inet_pton(AF_INET, text, &a);
  return std::string(reinterpret_cast<const char*>(&a), 4);
}

ifinfomsg Link(int index, unsigned flags) { return {AF_UNSPEC, 0, 0, index, flags, 0}; }
ifaddrmsg Address(int family, unsigned index, unsigned char prefix) {
  return ifaddrmsg{static_cast<unsigned char>(family), prefix, 0, 0, index};
}

std::string Describe(const std::vector<TInterfaceEvent>& events) {
  std::string out;
  for (const auto& e : events) {
    char a[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &e.address, a, sizeof a);
    out += std::to_string(static_cast<int>(e.kind)) + ":" + std::to_string(e.index) + ":" + e.name + ":" +
           std::to_string(e.flags) + ":" + a + "/" + std::to_string(e.prefix) + ";";
  }
  return out;
}

TEST(InterfaceEvents, LinksAndIpv4AddressesAreReadAndEverythingElseSkipped) {
  // cut: bytes taken off the end
  const struct { const char* what; TMessages messages; std::size_t cut; std::string expected; } cases[] = {
      {"a link up", TMessages().Add(RTM_NEWLINK, Link(4, IFF_UP | IFF_BROADCAST), {{IFLA_IFNAME, "eth0"}}), 0,
       "0:4:eth0:" + std::to_string(IFF_UP | IFF_BROADCAST) + ":0.0.0.0/0;"},
      {"a new address and a gone one in one read",
       TMessages()
           .Add(RTM_NEWADDR, Address(AF_INET, 4, 24), {{IFA_ADDRESS, Ip("10.1.0.13")}, {IFA_LABEL, "eth0"}})
           .Add(RTM_DELADDR, Address(AF_INET, 4, 24), {{IFA_ADDRESS, Ip("10.1.0.3")}}),
       0, "2:4:eth0:0:10.1.0.13/24;3:4::0:10.1.0.3/24;"},
      {"point-to-point: the local end, not the far one",
       TMessages().Add(RTM_NEWADDR, Address(AF_INET, 7, 32), {{IFA_ADDRESS, Ip("10.9.0.1")}, {IFA_LOCAL, Ip("10.9.0.2")}}),
       0, "2:7::0:10.9.0.2/32;"},
      {"IPv6 addresses and routes are not ours",
       TMessages()
           .Add(RTM_NEWADDR, Address(AF_INET6, 4, 64), {})
           .Add(RTM_NEWROUTE, Link(0, 0), {})
           .Add(RTM_NEWLINK, Link(2, IFF_UP), {}),
       0, "0:2::" + std::to_string(IFF_UP) + ":0.0.0.0/0;"},
      {"nothing after the end of a dump",
       TMessages().Add(NLMSG_DONE, Link(0, 0), {}).Add(RTM_NEWLINK, Link(3, 0), {}), 0, ""},
      {"a message cut short is left out, the whole ones before it kept",
       TMessages()
           .Add(RTM_NEWLINK, Link(3, 0), {})
           .Add(RTM_NEWADDR, Address(AF_INET, 4, 24), {{IFA_ADDRESS, Ip("10.1.0.13")}}),
       6, "0:3::0:0.0.0.0/0;"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Describe(ParseInterfaceEvents(c.messages.bytes.data(), c.messages.bytes.size() - c.cut)), c.expected)
        << c.what;
}

TEST(InterfaceUse, TheUserIsToldOnceWhenTheNetworkGoesAndOnceWhenItComesBack) {
  std::vector<std::string> notices;
  SetOnNetworkNotice([&](const std::string& text) { notices.push_back(text); });
  TPlatformConfig none, up;
  up.interfaces = {{"eth0", 2, {inet_addr("10.1.0.3")}}};
  // Starting with a network says nothing; each change of state says one thing.
  for (const auto* config : {&up, &up, &none, &none, &none, &up, &up, &none})
    ReportInterfaceUse(*config);
  SetOnNetworkNotice(nullptr);
  const std::string gone = "No network interface is up: messages reach only this computer until one is.";
  EXPECT_EQ(notices, (std::vector<std::string>{gone, "The network is back (eth0 10.1.0.3).", gone}));
}

}  // namespace
}  // namespace hw::platform::net
