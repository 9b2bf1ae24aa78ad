// Owning the computer's names, on loopback: the broadcast claim at start and the
// responder's refusals (a fake defender shares the name port), and the WINS client
// against a fake server at 127.0.0.2 that answers as Samba's nmbd does.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/net/Config.h"
#include "platform/net/Kernel32Mailslots.h"
#include "platform/net/NameRegistration.h"
#include "platform/net/NetworkNotice.h"
#include "platform/net/Presence.h"
#include "platform/system/Exception.h"
#include "platform/net/Wins.h"

using namespace hw::platform::net;
using namespace hw::win32;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;
using ::testing::HasSubstr;

namespace {

std::string Text(in_addr a) { return inet_ntoa(a); }
in_addr Address(const char* text) { return {inet_addr(text)}; }

// A UDP socket bound to address:port that shares the port with others; -1 when it cannot bind.
int UdpSocket(const char* address, std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &one, sizeof one);
  sockaddr_in me{AF_INET, htons(port), Address(address), {}};
  if (bind(fd, reinterpret_cast<sockaddr*>(&me), sizeof me) == 0) return fd;
  close(fd);
  return -1;
}

// A socket on the name port at `address` that records every request it reads and
// answers through `reply` (which may send nothing).
class TFakeNameNode {
 public:
  struct TSeen { TNamePacket packet; Clock::time_point at; };
  // Sends to the asker from the node's socket, or from `source`, another address of loopback.
  struct TSender {
    int fd;
    sockaddr_in asker;
    void operator()(const Bytes& bytes, const char* source = nullptr) const {
      const int from = source ? UdpSocket(source, 0) : fd;
      sendto(from, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&asker), sizeof asker);
      if (source) close(from);
    }
  };
  using TReply = std::function<void(const TNamePacket&, const TSender&)>;

  TFakeNameNode(const char* address, TReply reply)
      : reply_(std::move(reply)), fd_(UdpSocket(address, Config().name_port)), thread_([this] { Run(); }) {}
  ~TFakeNameNode() {
    stop_ = true;
    thread_.join();
    close(fd_);
  }
  bool Bound() const { return fd_ >= 0; }
  std::vector<TSeen> Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }
  // How often each name was asked for with opcode, by "NAME<xx>".
  std::map<std::string, int> Counts(std::uint8_t opcode) {
    std::map<std::string, int> out;
    for (const auto& s : Seen())
      if (s.packet.opcode == opcode) ++out[Key(s.packet)];
    return out;
  }
  static std::string Key(const TNamePacket& p) {
    char suffix[8];
    snprintf(suffix, sizeof suffix, "<%02x>", p.name.suffix);
    return p.name.name + suffix;
  }

 private:
  void Run() {
    for (std::uint8_t buffer[600]; !stop_;) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      sockaddr_in from{};
      socklen_t size = sizeof from;
      const ssize_t got = recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &size);
      const auto packet = got > 0 ? DecodeNamePacket(buffer, static_cast<std::size_t>(got)) : std::nullopt;
      if (!packet || packet->response) continue;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        seen_.push_back({*packet, Clock::now()});
      }
      reply_(*packet, TSender{fd_, from});
    }
  }

  TReply reply_;
  int fd_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<TSeen> seen_;
  std::thread thread_;  // last: it starts with the others set up
};

std::mutex g_notices_mutex;
std::vector<std::string> g_notices;

std::vector<std::string> Notices() {
  std::lock_guard<std::mutex> lock(g_notices_mutex);
  return g_notices;
}

class NameOwnership : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SetOnNetworkNotice([](const std::string& text) {
      std::lock_guard<std::mutex> lock(g_notices_mutex);
      g_notices.push_back(text);
    });
  }
};

// Sends bytes to the responder from a socket of its own; the answers within the wait.
std::vector<TNamePacket> AskResponder(const Bytes& bytes) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in to{AF_INET, htons(Config().name_port), Address("127.0.0.1"), {}};
  sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  std::vector<TNamePacket> answers;
  pollfd p{fd, POLLIN, 0};
  for (std::uint8_t buffer[600]; poll(&p, 1, 300) > 0;)
    if (auto packet = DecodeNamePacket(buffer, static_cast<std::size_t>(std::max<ssize_t>(recv(fd, buffer, 600, 0), 0))))
      answers.push_back(*packet);
  close(fd);
  return answers;
}

}  // namespace

TEST_F(NameOwnership, TheBroadcastClaimIsRefusedByAHolderAndOursRefusesOthersTheUserHearsOnce) {
  // The holder refuses this computer's claim on OWNHOST<00>.
  // It shares the wildcard port with our responder, so it goes before the unicasts
  // below: the kernel would hand each to one of the two.
  auto holder = std::make_unique<TFakeNameNode>("0.0.0.0", [](const TNamePacket& p, const auto& send) {
    if (p.opcode == kOpcodeRegistration && p.name.suffix == 0 && p.name.name == "OWNHOST")
      send(EncodeNameRegistrationResponse(p.id, {p.name, 0, Address("127.0.0.1"), 0}, kRcodeActive));
  });
  ASSERT_TRUE(holder->Bound());
  HANDLE slot = CreateMailslotA("\\\\.\\mailslot\\Owner", 0, 0, nullptr);
  ASSERT_NE(slot, INVALID_HANDLE_VALUE);
  std::this_thread::sleep_for(1200ms);

  // Three tries of each name, a quarter of a second apart, with the id of the first.
  std::map<std::string, std::vector<TFakeNameNode::TSeen>> claims;
  for (const auto& s : holder->Seen())
    // The WINS client's unicasts to 127.0.0.2 may reach this wildcard socket too.
    if (s.packet.opcode == kOpcodeRegistration && (s.packet.flags & 0x0010))
      claims[TFakeNameNode::Key(s.packet)].push_back(s);
  ASSERT_EQ(claims.size(), 3u);
  for (const auto& [name, tries] : claims) {
    ASSERT_EQ(tries.size(), 3u) << name;
    for (std::size_t i = 1; i < tries.size(); ++i) {
      EXPECT_EQ(tries[i].packet.id, tries[0].packet.id) << name;
      const auto gap = tries[i].at - tries[i - 1].at;
      EXPECT_TRUE(gap > 200ms && gap < 400ms) << name;
    }
    EXPECT_EQ(tries[0].packet.nb_flags, name == "OWNGROUP<00>" ? 0xE000 : 0x6000) << name;
    EXPECT_EQ(Text(tries[0].packet.addresses.at(0)), "127.0.0.1") << name;
  }
  ASSERT_EQ(Notices().size(), 1u);
  EXPECT_THAT(Notices()[0], HasSubstr("the computer at 127.0.0.1 also uses the name OWNHOST"));

  holder.reset();
  // Another computer's claims on our names are refused, with its own claim sent back;
  // our own address and other names pass.
  const struct { TNameClaim claim; bool refused; } rows[] = {{{{"ownhost", 3}, 0, Address("10.9.9.9"), 300}, true},
              {{{"OWNHOST", 0}, kNbGroup, Address("10.9.9.9"), 300}, true},
              {{{"OWNHOST", 0}, 0, Address("127.0.0.1"), 300}, false},
              {{{"OTHER", 0}, 0, Address("10.9.9.9"), 300}, false}};
  for (const auto& row : rows) {
    const auto answers = AskResponder(EncodeNameRegistration(0x5151, row.claim, true));
    ASSERT_EQ(answers.size(), row.refused ? 1u : 0u) << row.claim.name.name;
    if (!row.refused) continue;
    const TNamePacket& a = answers[0];
    EXPECT_EQ(std::make_tuple(int{a.id}, int{a.rcode}, int{a.flags}, Text(a.addresses.at(0))),
              std::make_tuple(0x5151, int{kRcodeActive}, 0xAD86, std::string("10.9.9.9")));
  }
  // A release or a refresh takes nothing from us.
  EXPECT_TRUE(AskResponder(EncodeNameRelease(0x5252, {{"OWNHOST", 0}, 0, Address("10.9.9.9"), 0}, true)).empty());
  EXPECT_EQ(Notices().size(), 1u) << "told twice";
  CloseHandle(slot);
}

TEST_F(NameOwnership, AWinsServerGetsRegistrationsRefreshesQueriesAndReleases) {
  // As nmbd: a WACK first for OWNHOST<00> (the holder is being asked), OWNHOST<03>
  // refused, everything else granted for two seconds.
  std::atomic<bool> wack_sent{false};
  std::vector<std::thread> late;
  std::mutex late_mutex;
  TFakeNameNode server("127.0.0.2", [&](const TNamePacket& p, const auto& send) {
    const TNameClaim claim{p.name, p.nb_flags, p.addresses.empty() ? in_addr{} : p.addresses[0], 2};
    if (p.opcode == kOpcodeQuery) {
      TNameClaim found{p.name, 0, Address("10.1.2.4"), 60};
      if (p.name.name == "GROUPY") found.nb_flags = kNbGroup;
      if (p.name.name == "NOBODY")
        return send(Bytes{static_cast<std::uint8_t>(p.id >> 8), static_cast<std::uint8_t>(p.id), 0x85, 0x83, 0, 0,
                          0, 0, 0, 0, 0, 0});
      auto bytes = EncodeNameRegistrationResponse(p.id, found, 0);
      bytes[2] = 0x85;  // a query response
      return send(bytes);
    }
    if (p.opcode == kOpcodeRelease) {
      auto bytes = EncodeNameRegistrationResponse(p.id, claim, 0);
      bytes[2] = 0xB5;
      return send(bytes);
    }
    if (p.opcode == kOpcodeRegistration && p.name.name == "OWNHOST" && p.name.suffix == 0 && !wack_sent.exchange(true)) {
      send(EncodeWack(p.id, p.name, 5, p.flags));
      std::lock_guard<std::mutex> lock(late_mutex);
      late.emplace_back([send, p, claim] {
        std::this_thread::sleep_for(1500ms);  // beyond the client's resend interval
        send(EncodeNameRegistrationResponse(p.id, claim, 0));
      });
      return;
    }
    send(EncodeNameRegistrationResponse(p.id, claim, p.name.suffix == 3 ? kRcodeActive : 0));
  });
  ASSERT_TRUE(server.Bound());
  ASSERT_EQ(Config().wins_servers.size(), 1u);
  HANDLE slot = CreateMailslotA("\\\\.\\mailslot\\Owner", 0, 0, nullptr);
  ASSERT_NE(slot, INVALID_HANDLE_VALUE);
  std::this_thread::sleep_for(3500ms);

  // Unicast, as an H node; the WACK held OWNHOST<00> back; the refusal of <03> made the
  // client look up who holds the name, and is not refreshed.
  const auto seen = server.Seen();
  ASSERT_FALSE(seen.empty());
  EXPECT_FALSE(seen[0].packet.flags & 0x0010);
  using TCounts = std::map<std::string, int>;
  EXPECT_EQ(server.Counts(kOpcodeRegistration), (TCounts{{"OWNGROUP<00>", 1}, {"OWNHOST<00>", 1}, {"OWNHOST<03>", 1}}))
      << "OWNHOST<00> resent during the WACK?";
  EXPECT_EQ(server.Counts(kOpcodeQuery)["OWNHOST<00>"], 1);
  // Granted for 2 s: refreshed every second, the first a second after the grant.
  auto refreshes = server.Counts(kOpcodeRefresh);
  EXPECT_TRUE(refreshes["OWNGROUP<00>"] >= 2 && refreshes["OWNGROUP<00>"] <= 4) << refreshes["OWNGROUP<00>"];
  EXPECT_EQ(refreshes["OWNHOST<00>"], 1) << "granted 1.5 s late";
  EXPECT_EQ(refreshes["OWNHOST<03>"], 0);

  const std::pair<const char*, const char*> lookups[] = {{"peer", "10.1.2.4"}, {"GROUPY", nullptr}, {"NOBODY", nullptr}};
  for (const auto& [name, expected] : lookups) {
    const auto start = Clock::now();
    const auto found = QueryWinsName(name);
    EXPECT_LT(Clock::now() - start, 100ms) << name;
    EXPECT_EQ(found ? Text(*found) : "none", expected ? expected : "none") << name;
  }

  CloseHandle(slot);
  std::this_thread::sleep_for(700ms);
  EXPECT_EQ(server.Counts(kOpcodeRelease), (TCounts{{"OWNGROUP<00>", 1}, {"OWNHOST<00>", 1}, {"OWNHOST<03>", 1}}));
  for (auto& t : late) t.join();
}

// A name answer counts only from the address it gives. Two computers answering for one
// name leave it disputed: a write to it fails naming both, the user hears once, and a
// line signed with the pinned key settles it for its address.
TEST_F(NameOwnership, AnswersCountFromTheirOwnAddressAndTwoComputersDisputeAName) {
  const std::map<std::string, std::vector<std::pair<const char*, const char*>>> replies = {  // given, sent from
      {"FAITHFUL", {{"127.0.0.3", "127.0.0.3"}}},
      {"POINTED", {{"127.0.0.3", "127.0.0.4"}}},
      {"RACED", {{"127.0.0.3", "127.0.0.3"}, {"127.0.0.4", "127.0.0.4"}}},
  };
  TFakeNameNode node("0.0.0.0", [&](const TNamePacket& p, const auto& send) {
    const auto it = replies.find(p.name.name);
    if (p.opcode != kOpcodeQuery || it == replies.end()) return;
    for (const auto& [given, from] : it->second) send(EncodeNameQueryResponse(p.id, p.name, Address(given), 300), from);
  });
  ASSERT_TRUE(node.Bound());
  EXPECT_EQ(Text(QueryName("faithful").address.value_or(in_addr{})), "127.0.0.3");
  EXPECT_FALSE(QueryName("pointed").address) << "an answer that points elsewhere";
  const auto raced = QueryName("raced");
  EXPECT_FALSE(raced.address);
  ASSERT_EQ(raced.disputed.size(), 2u);

  const auto told = Notices().size();
  HANDLE w = CreateFileA("\\\\raced\\mailslot\\x", GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, 0);
  ASSERT_NE(w, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  for (int i = 0; i < 2; ++i) {
    EXPECT_FALSE(WriteFile(w, "hi", 2, &written, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_DUP_NAME);
    EXPECT_EQ(hw::SystemErrorText(GetLastError()),
              "The name RACED is claimed by the computers at 127.0.0.3 and 127.0.0.4; the message was not sent");
  }
  ASSERT_EQ(Notices().size(), told + 1);
  EXPECT_THAT(Notices().back(), HasSubstr("Two computers claim the name RACED: the computers at 127.0.0.3 and 127.0.0.4"));
  VouchForAddress("raced", Address("127.0.0.4"));
  EXPECT_TRUE(WriteFile(w, "hi", 2, &written, nullptr)) << GetLastError();
  CloseHandle(w);
}
