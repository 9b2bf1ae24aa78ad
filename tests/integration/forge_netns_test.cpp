// Attacks by a forging host on a LAN of namespaces: host1 (A) sends, host2 (B) is the
// computer whose name is wanted, host3 (C) forges and counts what reaches it with
// forge.py. Skips without root, iproute2 or python3.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/NetnsLan.h"

namespace {

using namespace hw::test;
using namespace std::chrono_literals;

constexpr const char* kPython = "/usr/bin/python3";

class ForgeNetns : public TLanTest {
 protected:
  ForgeNetns() : TLanTest("hwfg", HW_NETNS_PEER) {}

  void SetUp() override {
    if (access(kPython, X_OK) != 0) GTEST_SKIP() << kPython << " is missing";
    TLanTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    port_ = std::atoi(std::getenv("HALLWIRE_DGRAM_PORT"));
    // B announces every 2 s, as the owner of a name would be heard throughout.
    lan_->SetEnvironment("HALLWIRE_ANNOUNCE_PERIOD_MS=2000", 2);
  }

  // Counts on host3 (C) the datagrams holding text that reach C's port, as a forger
  // reading every unicast to its address would (a real copy drops those for B).
  TChild& Catch(const std::string& text, int seconds) {
    TChild& catcher = Start(3, {kPython, HW_FORGE, "catch", text, "--me", lan_->Address(3), "--port", Port(),
                                "--seconds", std::to_string(seconds)},
                            "catch" + std::to_string(++catches_));
    EXPECT_TRUE(WaitLines(catcher, 1));
    return catcher;
  }
  int Caught(TChild& catcher) {
    EXPECT_TRUE(catcher.Wait(30s));
    return LastNumber(Out(catcher));
  }
  static int LastNumber(const std::string& out) { return std::atoi(out.substr(out.rfind(' ') + 1).c_str()); }

  // Runs forge.py on host3; the number its result line ends with.
  int Forge(std::vector<std::string> args) {
    args.insert(args.begin(), {kPython, HW_FORGE});
    const auto result = RunOn(3, args, 30s);
    EXPECT_EQ(result.code, 0) << result.err;
    return LastNumber(result.out);
  }
  static int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
  std::string Port(int offset = 0) const { return std::to_string(port_ + offset); }
  const std::string kDispute = "The name HOST2 is claimed by the computers at ";

  int port_ = 0;
  int catches_ = 0;
};

// One HostAnnouncement from C with a 12-minute period while B announces every 2 s: before
// A has heard B, B's next announcement takes the name back; once A knows B, A's messages
// fail naming both addresses. Never does one reach C.
TEST_F(ForgeNetns, AStolenAnnouncementMakesADisputeNotATheft) {
  TChild& b = Listen(2);
  const struct { const char* label; std::chrono::milliseconds forged_after; bool disputed; } rows[] = {
      {"before A heard B", 0ms, false}, {"once A knew B", 2500ms, true}};
  for (const auto& row : rows) {
    const int before = Count(Out(b), "burst ");
    TChild& c = Catch("burst ", 14);
    TChild& a = Start(1, {HW_NETNS_PEER, "burst", "--to", "HOST2", "--count", "9", "--every", "1000"}, row.label);
    std::this_thread::sleep_for(row.forged_after);
    Forge({"announce", "HOST2", "--to", lan_->Broadcast(0), "--port", Port(), "--period", "720000"});
    ASSERT_TRUE(a.Wait(20s));
    Settle();
    const int at_b = Count(Out(b), "burst ") - before, at_c = Caught(c);
    EXPECT_EQ(at_c, 0) << row.label;
    const bool failed = Err(a).find(kDispute + lan_->Address(2) + " and " + lan_->Address(3)) != std::string::npos;
    EXPECT_EQ(failed, row.disputed) << row.label << ": " << Err(a);
    EXPECT_TRUE(row.disputed ? at_b >= 1 && at_b < 9 : at_b == 9) << row.label << ": " << at_b << " of 9 at B";
  }
}

// C answers A's name queries for HOST2: with its own address the name is disputed
// (never C's alone); pointing elsewhere, the answer does not count at all.
TEST_F(ForgeNetns, ANameAnswerRaceIsNeverWonSilently) {
  TChild& b = Listen(2);
  const struct { const char* label; std::string give; bool dispute_allowed; } rows[] = {
      {"C's own address", lan_->Address(3), true}, {"an address C does not have", lan_->Subnet(0) + "77", false}};
  int sent = 0;
  for (const auto& row : rows) {
    TChild& forger = Start(3, {kPython, HW_FORGE, "answer", "HOST2", "--give", row.give, "--name-port", Port(-1),
                               "--seconds", "8"},
                           std::string("answer-") + row.label);
    ASSERT_TRUE(WaitLines(forger, 1));
    int disputed = 0;
    const int before = Count(Out(b), " race ");
    TChild& c = Catch(" race ", 10);
    for (int i = 0; i < 10; ++i)
      disputed += Send(1, {"--to", "HOST2", "race " + std::to_string(++sent)}).err.find(kDispute) != std::string::npos;
    ASSERT_TRUE(forger.Wait(15s));
    Settle();
    const int at_b = Count(Out(b), " race ") - before, at_c = Caught(c);
    EXPECT_EQ(at_c, 0) << row.label;
    EXPECT_EQ(at_b + disputed, 10) << row.label;
    EXPECT_TRUE(row.dispute_allowed || disputed == 0) << row.label << ": " << disputed << " refused as disputed";
  }
}

// Name queries and AnnouncementRequests (thirty in six seconds) with forged sources: an
// off-subnet source gets nothing back even with a route to it. One asker on the subnet
// gets its burst of name answers and then a trickle, and at most four answers to the
// requests; a crowd of forged askers five, and then one in two seconds.
TEST_F(ForgeNetns, TheRespondersAnswerOnlyTheirSubnetsAndAtABoundedRate) {
  ASSERT_EQ(RunOn(1, {"ip", "route", "add", "default", "via", lan_->Address(3)}).code, 0);
  Listen(1);
  const std::vector<std::string> query = {"query", "HOST1", "--to", lan_->Address(1), "--name-port", Port(-1)},
                                 request = {"request", "--to", lan_->Broadcast(0), "--port", Port(),
                                            "--watch", lan_->Address(1), "--listen", "1"};
  const std::string off = "198.51.100.7", c = lan_->Address(3);
  // pause: for A's budgets to refill, and before requests for its first announcements to pass
  const struct {
    const char* label; const std::vector<std::string>& kind; std::string sources; const char *count, *every;
    std::chrono::milliseconds pause; int least, most;
  } rows[] = {
      {"query from off-subnet", query, off, "5", "0.1", 2500ms, 0, 0},
      {"query flood on the subnet", query, c, "40", "0.01", 2500ms, 10, 13},
      {"query on the subnet, its bucket full again", query, c, "5", "0.1", 2500ms, 5, 5},
      {"requests from one asker", request, c, "30", "0.2", 10s, 0, 4},
      {"requests from off-subnet", request, off, "30", "0.2", 10s, 0, 0},
      {"requests from thirty forged askers", request, lan_->Subnet(0) + "100-129", "30", "0.2", 10s, 0, 5 + 4}};
  for (const auto& row : rows) {
    std::this_thread::sleep_for(row.pause);
    auto args = row.kind;
    args.insert(args.end(), {"--count", row.count, "--every", row.every, "--source", row.sources});
    const int answers = Forge(args);
    EXPECT_TRUE(answers >= row.least && answers <= row.most) << row.label << ": " << answers;
  }
}

}  // namespace
