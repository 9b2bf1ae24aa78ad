// The name service across a router with Samba's nmbd (host4) as the WINS server, on
// the standard ports (nmbd asks a name's holder on 137): host1, host2 | host3 | host4.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/NetnsLan.h"
#include "tests/support/PollUntil.h"

namespace {

using namespace hw::test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using ::testing::HasSubstr;

class WinsNetns : public TLanTest {
 protected:
  WinsNetns() : TLanTest("hwwn", HW_NETNS_PEER, {2, 1, 1}) {}

  void SetUp() override {
    TLanTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    for (const char* tool : {"nmbd", "nmblookup", "ss"})
      if (!Executable(tool)) GTEST_SKIP() << tool << " is not installed (Debian samba, samba-common-bin)";
    wins_ = lan_->Address(4);
    const std::string folder = dir_->File("nmbd");
    ASSERT_TRUE(std::filesystem::create_directories(folder));
    conf_ = dir_->File("smb.conf");
    // Names live 4 s at the server, so that refreshes come every 2 s.
    std::string text = "[global]\nnetbios name = WINSSRV\nworkgroup = OFFICE\nwins support = yes\n"
                       "local master = no\ndomain master = no\npreferred master = no\ninterfaces = eth0\n"
                       "bind interfaces only = yes\nmin wins ttl = 4\nmax wins ttl = 4\nlog file = " +
                       folder + "/log\n";
    for (const char* dir : {"lock directory", "state directory", "cache directory", "private dir", "pid directory"})
      text += std::string(dir) + " = " + folder + "/" + std::string(dir).substr(0, std::string(dir).find(' ')) + "\n";
    WriteFile(conf_, text);
    Start(4, {"nmbd", "-F", "--no-process-group", "-s", conf_}, "nmbd");
    ASSERT_TRUE(PollUntil([&] { return RunOn(4, {"ss", "-Hlun"}, 5s).out.find(wins_ + ":137") != std::string::npos; }, 10s))
        << "nmbd did not start: " << ReadFile(dir_->File("nmbd.err")) << ReadFile(folder + "/log");
    lan_->SetEnvironment("HALLWIRE_DGRAM_PORT=138");
    lan_->SetEnvironment("HALLWIRE_WINS=" + wins_);
    // host3 finds the server the administrator's way.
    lan_->SetEnvironment("HALLWIRE_WINS=", 3);
    if (auto error = lan_->EtcFile(3, "samba/smb.conf", "[global]\n  WINS Server = " + wins_ + "\n")) FAIL() << *error;
  }

  bool Resolves(const std::string& name) {
    const auto r = RunOn(4, {"nmblookup", "-s", conf_, "-U", wins_, "--recursion", name}, 5s);
    return r.code == 0 && r.out.find(" " + name + "<00>") != std::string::npos;
  }
  // How long until nmbd's answer for name is `wanted`; nullopt when not within the wait.
  auto UntilResolves(const std::string& name, bool wanted, Clock::time_point since) {
    return PollUntil([&] { return Resolves(name) == wanted; }, 8s, since);
  }

  std::string wins_, conf_;
};

TEST_F(WinsNetns, ComputersRegisterRefreshResolveAcrossTheRouterAndRelease) {
  TChild* capture = StartCapture("nbns", "udp port 137", {"br2"});
  Listen(1);
  TChild& l3 = Listen(3);
  const auto started = Clock::now();
  const auto host1 = UntilResolves("HOST1", true, started), host3 = UntilResolves("HOST3", true, started);
  ASSERT_TRUE(host1 && host3) << "nmbd does not know the computers";

  // host1 has never heard of host3 (no broadcast crosses the router): the send asks WINS.
  const auto took = [&](const std::vector<std::string>& args) {
    const auto start = Clock::now();
    const auto result = Send(1, args);
    EXPECT_EQ(result.code, 0) << result.err;
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  };
  const auto to_all = took({"--all", "to my subnet"});
  const auto through_wins = took({"--to", "host3", "across the router"}) - to_all;
  EXPECT_TRUE(WaitLines(l3, 1)) << Err(l3);
  EXPECT_EQ(Lines(Out(l3)), std::vector<std::string>{Line(1, "across the router")});
  EXPECT_LT(through_wins, 300ms);

  std::this_thread::sleep_for(2500ms);  // a refresh or two
  l3.Stop();
  const auto released = UntilResolves("HOST3", false, Clock::now());
  ASSERT_TRUE(released) << "nmbd still resolves HOST3 after its program ended";
  EXPECT_LE(*released, 2000ms);
  EXPECT_TRUE(Resolves("HOST1"));
  std::cout << "nmbd resolves HOST1 " << host1->count() << " ms and HOST3 " << host3->count()
            << " ms after both started; --to HOST3 through WINS " << through_wins.count()
            << " ms beyond a send to all; HOST3 gone " << released->count() << " ms after its program ended\n";

  if (!capture) GTEST_SKIP() << "tshark is not installed: the packets were not checked";
  std::this_thread::sleep_for(500ms);  // the last packets reach the capture file
  // What each Hallwire computer asked of the server, as Wireshark's dissector reads it,
  // and how the server answered.
  const auto read = [&](const std::string& filter) {
    return Lines(ReadCapture(*capture, "nbns",
                             {"-Y", filter, "-T", "fields", "-E", "occurrence=f", "-e", "ip.src", "-e",
                              "nbns.flags.opcode", "-e", "nbns.name", "-e", "nbns.flags.rcode"}));
  };
  const auto rows = read("nbns.flags.response == 0 && ip.dst == " + wins_);
  const auto refused = read("nbns.flags.response == 1 && nbns.flags.rcode != 0 && ip.src == " + wins_);
  EXPECT_TRUE(refused.empty()) << refused.front();
  const auto count = [&rows](const std::string& row) { return std::count(rows.begin(), rows.end(), row); };
  const std::string seen = ::testing::PrintToString(rows);
  const std::string a1 = lan_->Address(1) + "\t", a3 = lan_->Address(3) + "\t";
  for (const char* name : {"HOST3<00>", "HOST3<03>", "OFFICE<00>"}) {
    EXPECT_GE(count(a3 + "5\t" + name + "\t"), 1) << "registration of " << name << seen;
    EXPECT_GE(count(a3 + "8\t" + name + "\t"), 1) << "refresh of " << name << seen;
    // nmbd dropping the names within 2 s (above) shows the release; a loaded capture
    // can miss its last packets, so here it is only checked not to repeat.
    EXPECT_LE(count(a3 + "6\t" + name + "\t"), 1) << "release of " << name << seen;
  }
  EXPECT_GE(count(a1 + "0\tHOST3<00>\t"), 1) << "host1's query" << seen;
  EXPECT_EQ(count(a1 + "6\tHOST1<00>\t"), 0) << "host1 still runs" << seen;
}

// A second HOST1: on host1's own subnet (refused by host1 itself, by broadcast) and
// across the router (refused by the WINS server, which asked host1). Each is told once
// and names host1; messages keep flowing.
TEST_F(WinsNetns, ADuplicateNameIsRefusedAndToldOnceOnEitherSideOfTheRouter) {
  TChild& l1 = Listen(1);
  std::vector<TChild*> duplicates;
  for (int host : {2, 3}) {
    lan_->SetEnvironment("HALLWIRE_COMPUTERNAME=HOST1", host);
    duplicates.push_back(&Listen(host));
    PollUntil([&] { return Err(*duplicates.back()).find("duplicate name") != std::string::npos; }, 5s);
    std::this_thread::sleep_for(500ms);  // a second notice would have come by now
    const std::string err = Err(*duplicates.back());
    EXPECT_EQ(Lines(err).size(), 1u) << "host" << host << ": " << err;
    EXPECT_THAT(err, HasSubstr("duplicate name exists on the network: the computer at " + lan_->Address(1) +
                               " also uses the name HOST1")) << "host" << host;
  }
  // The holder heard of the claim on its own subnet, not of the one behind the router.
  EXPECT_THAT(Err(l1), HasSubstr("the computer at " + lan_->Address(2)));
  EXPECT_EQ(Lines(Err(l1)).size(), 1u) << Err(l1);

  const auto sent = Send(1, {"--all", "still here"});
  ASSERT_EQ(sent.code, 0) << sent.err;
  EXPECT_TRUE(WaitLines(l1, 1)) << Err(l1);
  EXPECT_TRUE(WaitLines(*duplicates[0], 1)) << Err(*duplicates[0]);
}

}  // namespace
