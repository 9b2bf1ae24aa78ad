// Hosts on the standard ports (138, 137) so that Samba's nmblookup can talk to the
// name responder; sends by address and DNS name; ports held by another program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "tests/support/NetnsLan.h"

namespace {

using namespace hw::test;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using ::testing::AllOf;
using ::testing::HasSubstr;

// Holds a UDP port without SO_REUSEPORT, as a program that does not share it does.
const char kHolder[] =
    "import socket,sys,time\n"
    "s=socket.socket(socket.AF_INET,socket.SOCK_DGRAM)\n"
    "s.bind(('0.0.0.0',int(sys.argv[1])))\n"
    "print('held',flush=True)\n"
    "time.sleep(60)\n";

class NodeStatus : public TLanTest {
 protected:
  NodeStatus() : TLanTest("hwns", HW_NETNS_PEER) {}

  void SetUp() override {
    TLanTest::SetUp();
    if (lan_) lan_->SetEnvironment("HALLWIRE_DGRAM_PORT=138");  // each namespace has its own ports
  }

  // Runs nmblookup on host n with a configuration of its own, none of the machine's.
  TRunResult Nmblookup(int n, std::vector<std::string> args) {
    if (auto error = lan_->EtcFile(n, "samba/smb.conf", "[global]\n  workgroup = OFFICE\n")) ADD_FAILURE() << *error;
    args.insert(args.begin(), "nmblookup");
    return RunOn(n, args, 10s);
  }
};

TEST_F(NodeStatus, NmblookupListsTheNamesAndFindsTheComputer) {
  if (!Executable("nmblookup")) GTEST_SKIP() << "nmblookup (samba-common-bin) is not installed";
  Listen(2);
  const auto status = Nmblookup(1, {"-A", lan_->Address(2)});
  ASSERT_EQ(status.code, 0) << status.out << status.err;
  EXPECT_THAT(status.out, AllOf(HasSubstr("HOST2           <00> -         B <ACTIVE>"),
                                HasSubstr("HOST2           <03> -         B <ACTIVE>"),
                                HasSubstr("OFFICE          <00> - <GROUP> B <ACTIVE>")));
  const auto query = Nmblookup(1, {"-B", lan_->Broadcast(0), "HOST2"});
  EXPECT_THAT(query.out, HasSubstr(lan_->Address(2) + " HOST2<00>")) << query.err;
}

TEST_F(NodeStatus, SendsToAddressesAndDnsNamesArriveAndSendsToNobodyFailWith53) {
  if (auto error = lan_->EtcFile(1, "hosts", "127.0.0.1 localhost\n" + lan_->Address(2) + " hostb.lan\n"))
    FAIL() << *error;
  TChild& l2 = Listen(2);
  const std::pair<std::string, bool> rows[] = {  // to, arrives
      {lan_->Address(2), true},         // the address of a computer running Hallwire
      {"hostb.lan", true},              // a DNS name (from the namespace's hosts file)
      {"NOSUCH", false},                // a name nobody has
      {lan_->Address(3), false},        // a computer that runs no Hallwire program
      {lan_->Subnet(0) + "9", false},   // an address nobody has
      {"nosuch.lan", false},            // a DNS name the resolver does not know
  };
  std::size_t arrived = 0;
  for (const auto& [to, arrives] : rows) {
    const auto start = Clock::now();
    const auto sent = Send(1, {"--to", to, "to " + to});
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    std::cout << "hallwire-send --to " << to << ": exit " << sent.code << " in " << took.count() << " ms\n";
    EXPECT_EQ(sent.code, arrives ? 0 : 1) << to << ": " << sent.err;
    if (arrives) {
      EXPECT_TRUE(WaitLines(l2, ++arrived)) << to << ": " << Err(l2);
    } else {
      EXPECT_THAT(sent.err, HasSubstr("The network path was not found")) << to;
      EXPECT_LT(took, 3s) << to;
    }
  }
  Settle();
  EXPECT_EQ(Lines(Out(l2)), (std::vector<std::string>{Line(1, "to " + lan_->Address(2)), Line(1, "to hostb.lan")}));
}

TEST_F(NodeStatus, APortHeldByAnotherProgramIsSaidAtStartAndCheckFails) {
  if (!Executable("python3")) GTEST_SKIP() << "python3 is not installed";
  // A clean computer first: its check passes and sees the other computer's program.
  Listen(2);
  Listen(3);
  const auto clean = Send(2, {"--check"});
  EXPECT_EQ(clean.code, 0) << clean.out << clean.err;
  EXPECT_THAT(clean.out, AllOf(HasSubstr("Datagram port 138/udp: held by hallwire-listen (pid"),
                               HasSubstr("answered by another Hallwire program"),
                               HasSubstr("Computers heard in OFFICE: 1, last datagram from another computer"),
                               HasSubstr("Result: messages can travel"),
                               HasSubstr("eth0 " + lan_->Address(2) + " netmask 255.255.255.0 broadcast " +
                                         lan_->Broadcast(0))));

  const std::pair<std::string, std::string> rows[] = {
      {"138", "The datagram port 138 (UDP) cannot be used: another program holds it and does not share it."},
      {"137", "The name port 137 (UDP) cannot be used: another program holds it and does not share it."}};
  for (const auto& [port, text] : rows) {
    TChild& holder = Start(1, {"python3", "-c", kHolder, port}, "holder" + port);
    ASSERT_TRUE(WaitLines(holder, 1)) << Err(holder);
    const auto listened = RunOn(1, {bin_ + "/hallwire-listen", "--timeout", "5"}, 10s);
    EXPECT_EQ(listened.code, 2) << port;
    EXPECT_THAT(listened.err, HasSubstr(text));
    const auto checked = Send(1, {"--check"});
    EXPECT_EQ(checked.code, 1) << checked.out;
    EXPECT_THAT(checked.out, AllOf(HasSubstr(port + "/udp: held by python3 (pid"), HasSubstr(text),
                                   HasSubstr("Result: messages cannot travel")));
    holder.Kill();
  }

  // Port 138 without the privilege.
  if (!Executable("setpriv")) return;
  const auto unprivileged = RunOn(1, {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                      bin_ + "/hallwire-listen", "--timeout", "5"}, 10s);
  EXPECT_EQ(unprivileged.code, 2);
  EXPECT_THAT(unprivileged.err, HasSubstr("The datagram port 138 (UDP) cannot be used: ports below 1024 need privilege"));
}

}  // namespace
