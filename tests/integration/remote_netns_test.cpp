// Remote announcements across a router that forwards no directed broadcasts: only
// host1 is told of host2 (alone on the other subnet), and both must list and reach
// each other, also when another program on host2 took the port after the messenger.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/NetnsLan.h"

namespace {

using namespace hw::test;
using namespace std::chrono_literals;

class RemoteNetns : public TLanTest {
 protected:
  RemoteNetns() : TLanTest("hwrm", HW_NETNS_PEER, {1, 1}) {}

  // The milliseconds after "listed " in a peer's output; -1 when it never listed.
  static long ListedAfter(const std::string& out) {
    for (const auto& line : Lines(out))
      if (line.rfind("listed ", 0) == 0) return std::atol(line.c_str() + 7);
    return -1;
  }
};

TEST_F(RemoteNetns, OneSidesListLetsBothListAndReachEachOther) {
  const std::string port = std::getenv("HALLWIRE_DGRAM_PORT") ? std::getenv("HALLWIRE_DGRAM_PORT") : "13138";
  TChild* capture = StartCapture("remote", "udp port " + port, {"br1"});
  // How host1 learns of host2: the user's own settings file, or the environment (with
  // the workgroup named). host2 is never told of host1.
  for (const bool settings_file : {true, false}) {
    const std::string label = settings_file ? "settings" : "environment", config = dir_->Path() + "/" + label;
    ASSERT_EQ(RunCommand({"mkdir", "-p", config + "/hallwire"}, Environment(), dir_->Path()).code, 0);
    if (settings_file)
      WriteFile(config + "/hallwire/Hwire.ini", "[Network]\nRemoteAnnounce=" + lan_->Address(2) + "\n");
    lan_->SetEnvironment("XDG_CONFIG_HOME=" + config, 1);
    lan_->SetEnvironment("HALLWIRE_REMOTE_ANNOUNCE=" + (settings_file ? "" : lan_->Address(2) + "/OFFICE"), 1);

    const std::string peer = HW_NETNS_PEER;
    TChild& b = Start(2, {peer, "remote", "HOST1", "--timeout", "5"}, label + "-b");
    ASSERT_TRUE(WaitLines(b, 1)) << Err(b);
    // A second program on host2 binds the port last, so the unicasts reach it first:
    // it must relay the announcements to b and hand the messages to hwSlot's owner.
    TChild& other = Start(2, {peer, "hold", "hwOther", "--timeout", "6"}, label + "-other");
    ASSERT_TRUE(WaitLines(other, 1)) << Err(other);
    TChild& a = Start(1, {peer, "remote", "HOST2", "--timeout", "5"}, label + "-a");
    ASSERT_TRUE(a.Wait(10s) && b.Wait(10s)) << "the peers did not end";
    other.Kill();
    const long a_listed = ListedAfter(Out(a)), b_listed = ListedAfter(Out(b));
    std::cout << label << ": host1 listed host2 after " << a_listed << " ms of its start; host2, started first, listed host1 "
              << b_listed << " ms after its own start" << std::endl;
    EXPECT_TRUE(a_listed >= 0 && a_listed < 2000) << Out(a) << Err(a);
    // host2 started first, so host1 started within this.
    EXPECT_TRUE(b_listed >= 0 && b_listed < 2000) << Out(b) << Err(b);
    EXPECT_NE(Out(b).find("got to all from HOST1\n"), std::string::npos) << Out(b);
    EXPECT_NE(Out(a).find("got to all from HOST2\n"), std::string::npos) << Out(a);
  }
  if (!capture) GTEST_SKIP() << "tshark is not installed: the packets were not checked";
  // On host2's subnet, through the browser dissector: host1's request and announcement
  // reach host2 as unicasts, and host2 answers host1 the same way.
  const std::string seen =
      ReadCapture(*capture, "remote",
                  {"-d", "udp.port==" + port + ",nbdgm", "-Y", "browser || mailslot.name contains \"hwSlot\"", "-T",
                   "fields", "-e", "ip.src", "-e", "ip.dst", "-e", "nbdgm.type", "-e", "browser.command", "-e",
                   "nbdgm.destination_name"});
  const std::string h1 = lan_->Address(1), h2 = lan_->Address(2);
  for (const std::string& expected : {h1 + "\t" + h2 + "\t17\t0x02\tOFFICE<00>", h1 + "\t" + h2 + "\t17\t0x01\tOFFICE<1d>",
                                      h2 + "\t" + h1 + "\t17\t0x01\tOFFICE<1d>", h1 + "\t" + h2 + "\t17\t\tOFFICE<00>",
                                      h2 + "\t" + h1 + "\t17\t\tOFFICE<00>"})
    EXPECT_NE(seen.find(expected + "\n"), std::string::npos) << expected << " not in\n" << seen;
}

}  // namespace
