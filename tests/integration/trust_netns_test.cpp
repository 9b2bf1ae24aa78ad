// Signed lines between real computers: host1 signs its lines, host2 checks them with
// hallwire-listen --verify, host3 forges. Each attack must end flagged or harmless.
// Skips without root or iproute2.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/NetnsLan.h"

namespace {

using namespace hw::test;
using namespace std::chrono_literals;

class TrustNetns : public TLanTest {
 protected:
  TrustNetns() : TLanTest("hwtr", HW_NETNS_PEER, 3) {}

  TChild& Verify() {
    TChild& child = Start(2, {bin_ + "/hallwire-listen", "--verify", "--timeout", "60"}, "verify" + std::to_string(++serial_));
    EXPECT_TRUE(WaitOwned(2)) << Err(child);
    return child;
  }
  void Say(const std::string& text) { std::ofstream(talk_, std::ios::app) << text << "\n"; }  // host1 signs and sends it

  std::string talk_;
};

TEST_F(TrustNetns, ForgedIdentityMuteFrameAndReplayAfterRestart) {
  for (int host = 1; host <= 3; ++host)
    lan_->SetEnvironment("XDG_CONFIG_HOME=" + dir_->Path() + "/home" + std::to_string(host), host);
  talk_ = dir_->Path() + "/talk";
  std::ofstream(talk_).close();
  const std::string captured = dir_->Path() + "/captured", peer = HW_NETNS_PEER;

  TChild* listen = &Verify();
  TChild& capture = Start(3, {peer, "capture", captured}, "capture");
  TChild& talker = Start(1, {peer, "talk", talk_}, "talk");
  ASSERT_TRUE(WaitLines(capture, 1) && WaitLines(talker, 1)) << Err(capture) << Err(talker);
  Say("first");
  ASSERT_TRUE(capture.Wait(10s) == 0) << Err(capture);
  ASSERT_TRUE(WaitLines(*listen, 1)) << Out(*listen);

  // The attacks, each followed by a line of the real sender that must still arrive.
  // shown: what host2 prints for the attack.
  const struct { std::string attack; std::vector<std::string> shown; } rows[] = {
      {"identity", {"[forged] " + Line(1, "please wire the money")}},
      {"mute", {"[unsigned] " + Line(1, "mute"), "[forged] " + Line(1, "first")}},
      {"replay", {"[forged] " + Line(1, "first")}},
  };
  std::size_t lines = 1;
  for (const auto& row : rows) {
    if (row.attack == "replay") {
      // The receiver restarts: its pins and the sessions it saw are on disk.
      listen->Stop();
      listen = &Verify();
      lines = 0;
    }
    ASSERT_EQ(RunOn(3, {peer, "forge", captured, row.attack}).code, 0) << row.attack;
    Say("after " + row.attack);
    lines += row.shown.size() + 1;
    ASSERT_TRUE(WaitLines(*listen, lines)) << row.attack << "\n" << Out(*listen);
    Settle();
    const std::string out = Out(*listen);
    for (const auto& shown : row.shown) EXPECT_NE(out.find(shown + "\n"), std::string::npos) << shown << " in\n" << out;
    EXPECT_NE(out.find("[verified] " + Line(1, "after " + row.attack) + "\n"), std::string::npos) << row.attack << "\n" << out;
    EXPECT_EQ(Lines(out).size(), lines) << out;
  }
}

}  // namespace
