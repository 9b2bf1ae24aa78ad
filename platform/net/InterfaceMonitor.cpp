#include "platform/net/InterfaceMonitor.h"

#include <arpa/inet.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/net/NameService.h"
#include "platform/net/NetworkNotice.h"
#include "platform/net/Presence.h"
#include "platform/net/StoppableThread.h"

namespace hw::platform::net {

namespace {

// Changes come in bursts (a link up brings its addresses and routes): the monitor
// waits this long for the rest before it reads the interfaces again.
constexpr auto kSettle = std::chrono::milliseconds(30);
// A DHCP client replaces an address by removing the old one first: the user is told
// of a lost network only when none has come back after this long.
constexpr auto kLossGrace = std::chrono::milliseconds(1500);

void ReadAttributes(const rtattr* rta, std::size_t length, TInterfaceEvent& event, bool link) {
  in_addr local{}, address{};
  bool have_local = false, have_address = false;
  for (int left = static_cast<int>(length); RTA_OK(rta, left); rta = RTA_NEXT(rta, left)) {
    const auto* data = static_cast<const char*>(RTA_DATA(rta));
    const std::size_t size = RTA_PAYLOAD(rta);
    const unsigned short type = rta->rta_type;
    if ((link && type == IFLA_IFNAME) || (!link && type == IFA_LABEL)) {
      event.name.assign(data, strnlen(data, size));
    } else if (!link && (type == IFA_LOCAL || type == IFA_ADDRESS) && size >= sizeof(in_addr)) {
      std::memcpy(type == IFA_LOCAL ? &local : &address, data, sizeof(in_addr));
      (type == IFA_LOCAL ? have_local : have_address) = true;
    }
  }
  // On a point-to-point link IFA_ADDRESS is the far end; IFA_LOCAL is always ours.
  if (have_local) event.address = local;
  else if (have_address) event.address = address;
}

}  // namespace

std::vector<TInterfaceEvent> ParseInterfaceEvents(const void* data, std::size_t size) {
  std::vector<TInterfaceEvent> out;
  int left = static_cast<int>(std::min<std::size_t>(size, 1u << 30));
  for (auto* nh = static_cast<const nlmsghdr*>(data); NLMSG_OK(nh, left); nh = NLMSG_NEXT(nh, left)) {
    if (nh->nlmsg_type == NLMSG_DONE || nh->nlmsg_type == NLMSG_ERROR) break;
    TInterfaceEvent event;
    const std::size_t payload = nh->nlmsg_len - NLMSG_HDRLEN;
    if (nh->nlmsg_type == RTM_NEWLINK || nh->nlmsg_type == RTM_DELLINK) {
      if (payload < sizeof(ifinfomsg)) continue;
      const auto* info = static_cast<const ifinfomsg*>(NLMSG_DATA(nh));
      event.kind = nh->nlmsg_type == RTM_NEWLINK ? TInterfaceEvent::TKind::LinkNew : TInterfaceEvent::TKind::LinkGone;
      event.index = static_cast<unsigned>(info->ifi_index);
      event.flags = info->ifi_flags;
      ReadAttributes(IFLA_RTA(info), payload - NLMSG_ALIGN(sizeof(ifinfomsg)), event, true);
    } else if (nh->nlmsg_type == RTM_NEWADDR || nh->nlmsg_type == RTM_DELADDR) {
      if (payload < sizeof(ifaddrmsg)) continue;
      const auto* info = static_cast<const ifaddrmsg*>(NLMSG_DATA(nh));
      if (info->ifa_family != AF_INET) continue;
      event.kind =
          nh->nlmsg_type == RTM_NEWADDR ? TInterfaceEvent::TKind::AddressNew : TInterfaceEvent::TKind::AddressGone;
      event.index = info->ifa_index;
      event.prefix = info->ifa_prefixlen;
      ReadAttributes(IFA_RTA(info), payload - NLMSG_ALIGN(sizeof(ifaddrmsg)), event, false);
    } else {
      continue;
    }
    out.push_back(std::move(event));
  }
  return out;
}

namespace {

enum TUse : int { kUnknown, kUsable, kUnusable };
std::atomic<int> g_use{kUnknown};
std::atomic<bool> g_monitoring{false};

class TInterfaceMonitor {
 public:
  void Start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (users_++ > 0) return;
    netlink_fd_ = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR;
    if (netlink_fd_ >= 0 && bind(netlink_fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
      close(netlink_fd_);
      netlink_fd_ = -1;
    }
    // Whatever changed between the first reading and now counts too.
    Apply();
    ReportInterfaceUse(Config());
    if (netlink_fd_ >= 0) {
      g_monitoring = true;
      if (!worker_.Start([netlink = netlink_fd_](int stop) { Run(netlink, stop); })) g_monitoring = false;
    }
  }

  void Stop() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (users_ == 0 || --users_ > 0) return;
    lock.unlock();
    worker_.Stop();
    g_monitoring = false;
    lock.lock();
    if (netlink_fd_ >= 0) close(netlink_fd_), netlink_fd_ = -1;
  }

 private:
  static void Run(int netlink, int stop) {
    using Clock = std::chrono::steady_clock;
    auto report_loss_at = Clock::time_point::max();
    for (;;) {
      int wait_ms = -1;
      if (report_loss_at != Clock::time_point::max())
        wait_ms = static_cast<int>(std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(report_loss_at - Clock::now()).count()));
      pollfd fds[2] = {{netlink, POLLIN, 0}, {stop, POLLIN, 0}};
      const int ready = poll(fds, 2, wait_ms);
      if (ready < 0 && errno != EINTR) return;
      if (fds[1].revents) return;
      if (Clock::now() >= report_loss_at) {
        report_loss_at = Clock::time_point::max();
        ReportInterfaceUse(Config());
      }
      if (ready <= 0 || !(fds[0].revents & POLLIN) || !Drain(netlink)) continue;
      // At once, so that an address given up is not answered a moment longer; then
      // again once the rest of the burst is in.
      bool changed = Apply();
      std::this_thread::sleep_for(kSettle);
      if (Drain(netlink)) changed = Apply() || changed;
      if (!changed) continue;
      if (Config().interfaces.empty()) {
        report_loss_at = Clock::now() + kLossGrace;
      } else {
        report_loss_at = Clock::time_point::max();
        ReportInterfaceUse(Config());
      }
    }
  }

  // Reads every waiting message; true when one concerns links or IPv4 addresses, or
  // when some were lost (the kernel's queue overflowed), since then any may have.
  static bool Drain(int fd) {
    alignas(nlmsghdr) static thread_local char buffer[16384];
    bool relevant = false;
    for (;;) {
      const ssize_t got = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 && errno == ENOBUFS) {
        relevant = true;
        continue;
      }
      if (got <= 0) return relevant;
      relevant = relevant || !ParseInterfaceEvents(buffer, static_cast<std::size_t>(got)).empty();
    }
  }

  // Publishes the interfaces as they are now; true when they changed.
  static bool Apply() {
    const std::vector<TCarrierInterface> before = Config().interfaces;
    if (!RefreshInterfaces()) return false;
    const auto& now = Config();
    bool new_address = false;
    for (const auto& itf : now.interfaces)
      new_address = new_address || std::none_of(before.begin(), before.end(), [&](const TCarrierInterface& old) {
                      return old.address.s_addr == itf.address.s_addr && old.index == itf.index;
                    });
    ForgetComputerNames();
    PresenceInterfacesChanged(new_address);
    return true;
  }

  std::mutex mutex_;
  int users_ = 0;
  int netlink_fd_ = -1;
  TStoppableThread worker_;
};

TInterfaceMonitor& Monitor() {
  static auto* monitor = new TInterfaceMonitor();  // its thread may outlive static destruction
  return *monitor;
}

std::string Describe(const TPlatformConfig& config) {
  std::string text;
  for (const auto& itf : config.interfaces) {
    char address[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &itf.address, address, sizeof address);
    text += (text.empty() ? "" : ", ") + itf.name + " " + address;
  }
  return text;
}

}  // namespace

void StartInterfaceMonitor() { Monitor().Start(); }
void StopInterfaceMonitor() { Monitor().Stop(); }

void NoteSendWithoutInterface(const TPlatformConfig& config) {
  if (!g_monitoring) ReportInterfaceUse(config);
}

void ReportInterfaceUse(const TPlatformConfig& config) {
  const int use = config.interfaces.empty() ? kUnusable : kUsable;
  if (g_use.load(std::memory_order_relaxed) == use) return;
  const int was = g_use.exchange(use);
  if (was == use) return;
  if (use == kUnusable)
    PostNetworkNotice("No network interface is up: messages reach only this computer until one is.");
  else if (was == kUnusable)
    PostNetworkNotice("The network is back (" + Describe(config) + ").");
}

}  // namespace hw::platform::net
