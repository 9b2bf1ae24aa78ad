// A program on host1 keeps running while its link comes up late, DHCP gives it another
// address or it is carried to another subnet; the others must follow within the targets.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/NetnsLan.h"
#include "tests/support/PollUntil.h"

namespace {

using namespace hw::test;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const char kNoNetwork[] = "No network interface is up: messages reach only this computer until one is.";

struct TScenario {
  const char* name;
  int subnets;
  bool link_down_at_start;
  std::function<std::optional<std::string>(TLan&)> change;
  int watcher;        // the host that must list host1 soon after the change
  bool same_subnet;   // host2 asks host1's name and sends to it all along
};

void PrintTo(const TScenario& scenario, std::ostream* out) { *out << scenario.name; }

const TScenario kScenarios[] = {
    {"LinkUpLate", 1, true, [](TLan& lan) { return lan.SetLink(1, true); }, 2, false},
    {"AddressChange", 1, false, [](TLan& lan) { return lan.ChangeAddress(1, 13); }, 2, true},
    {"MoveToAnotherSubnet", 2, false, [](TLan& lan) { return lan.MoveToSubnet(1, 1, 13); }, 3, false},
};

class LiveInterfaces : public TLanTest, public ::testing::WithParamInterface<TScenario> {
 protected:
  LiveInterfaces() : TLanTest("hwli", HW_NETNS_PEER, 3, GetParam().subnets) {}
};

TEST_P(LiveInterfaces, TheOthersFollowTheChangeWithinTheTargets) {
  const TScenario& scenario = GetParam();
  const std::string old_address = lan_->Address(1);
  ASSERT_EQ(scenario.subnets > 1 ? lan_->MoveToSubnet(3, 1, 3) : std::nullopt, std::nullopt);
  ASSERT_EQ(scenario.link_down_at_start ? lan_->SetLink(1, false) : std::nullopt, std::nullopt);
  TChild& listener = Listen(1);
  std::this_thread::sleep_for(300ms);
  if (scenario.link_down_at_start) {
    // Sending without a network says why, once, and still reaches this computer.
    const auto sent = Send(1, {"--all", "alone"});
    EXPECT_EQ(sent.code, 0);
    EXPECT_EQ(sent.err, std::string(kNoNetwork) + "\n");
    EXPECT_TRUE(WaitLines(listener, 1)) << Err(listener);
  }
  // A long-running sender on host2, as a messenger would be (its presence table knew
  // host1 before the change), and a name query every few milliseconds.
  TChild *ticker = nullptr, *names = nullptr;
  if (scenario.same_subnet) {
    ticker = &Start(2, {HW_NETNS_PEER, "burst", "--to", "host1", "--count", "60", "--every", "100", "--resolve", "1"},
                    "ticker");
    ASSERT_TRUE(WaitLines(*ticker, 1)) << Err(*ticker);
    ASSERT_TRUE(WaitLines(listener, 3)) << Err(listener);
    names = &Start(2, {HW_NETNS_PEER, "names", "HOST1", "--timeout", "3"}, "names");
    ASSERT_TRUE(WaitLines(*names, 1)) << Err(*names);
  }
  const auto changed = Clock::now();
  ASSERT_EQ(scenario.change(*lan_), std::nullopt);
  // A query asked while the change was still being made may get the old address.
  const auto made_ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - changed).count();

  const auto listed = PollUntil(
      [&] {
        const auto lines = Lines(Send(scenario.watcher, {"--list"}).out);
        return std::find(lines.begin(), lines.end(), "Host1") != lines.end();
      },
      10s, changed, 0ms);
  ASSERT_TRUE(listed) << "host" << scenario.watcher << " never listed host1";
  EXPECT_LE(listed->count(), 2000);
  std::cout << scenario.name << ": listed on host" << scenario.watcher << " " << listed->count()
            << " ms after the change\n";

  if (names) {
    // Every query asked after the change is answered with the address host1 has
    // now, the first one within a second.
    ASSERT_TRUE(names->Wait(10s));
    const long change_ms = std::chrono::duration_cast<std::chrono::milliseconds>(changed.time_since_epoch()).count();
    long first = -1;
    for (const auto& line : Lines(Out(*names))) {
      std::istringstream in(line);
      long at = 0;
      if (!(in >> at) || (at -= change_ms) < 0) continue;
      for (std::string address; in >> address;) {
        if (at > made_ms) {
          EXPECT_NE(address, old_address) << "answered with the old address " << at << " ms after the change";
        }
        if (address == lan_->Address(1) && first < 0) first = at;
      }
    }
    EXPECT_GE(first, 0) << Out(*names);
    EXPECT_LE(first, 1000);
    std::cout << scenario.name << ": name answered with the new address " << first << " ms after the change\n";
  }
  if (ticker) {
    // The messenger-like sender's frames arrive again soon after the change.
    ASSERT_TRUE(ticker->Wait(15s));
    Settle();
    long last = 0, arrived = 0;
    for (const auto& line : Lines(Out(listener)))
      if (line.rfind("burst ", 0) == 0)
        last = std::max(last, std::stol(line.substr(6))), ++arrived;
    EXPECT_EQ(last, 60) << Out(listener);
    const long lost = last - arrived;
    EXPECT_LE(lost, 10) << "a long-running sender lost " << lost << " frames (one every 100 ms)";
    std::cout << scenario.name << ": a long-running sender lost " << lost << " frames, one sent every 100 ms\n";
  }
  // A send by name from the watcher arrives.
  const std::size_t received = Lines(Out(listener)).size();
  const auto sent = Send(scenario.watcher, {"--to", "host1", "after the change"});
  EXPECT_EQ(sent.code, 0) << sent.err;
  ASSERT_TRUE(WaitLines(listener, received + 1)) << Err(listener);
  EXPECT_EQ(Lines(Out(listener)).back(), Line(scenario.watcher, "after the change"));

  const std::string notices =
      scenario.link_down_at_start ? std::string(kNoNetwork) + "\nThe network is back (eth0 " + lan_->Address(1) + ").\n"
                                  : "";
  EXPECT_EQ(Err(listener), notices);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, LiveInterfaces, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
