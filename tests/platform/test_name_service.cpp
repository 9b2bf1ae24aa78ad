// The NetBIOS name service: packets checked against bytes written by hand from
// RFC 1002's layout, the responder on loopback, and the configuration rules for
// names and the name port.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <cstdlib>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/net/Config.h"
#include "platform/net/Kernel32Mailslots.h"
#include "platform/net/NameService.h"
#include "platform/system/Exception.h"
#include "platform/net/NameRegistration.h"
#include "tests/support/PollUntil.h"
#include "tests/support/TestSupport.h"

using namespace hw::platform::net;
using namespace hw::win32;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

namespace {

// "HOST2" and "NAMEHOST", blank-padded to 15, suffix 00 (RFC 1001 14.1).
const std::string kHost2 = "EIEPFDFEDCCACACACACACACACACACAAA";
const std::string kNamehost = "EOEBENEFEIEPFDFECACACACACACACAAA";
const std::string kNamehost03 = "EOEBENEFEIEPFDFECACACACACACACAAD";

// Hex bytes, with the first-level encoded name (32 letters) spliced in at "%"; a second
// "%" gets `second_name` where one is given.
Bytes Packet(const std::string& hex, const std::string& encoded_name = kHost2, const std::string& second_name = "") {
  Bytes out;
  int names = 0;
  for (std::size_t i = 0; i < hex.size(); ++i) {
    if (hex[i] == ' ') continue;
    if (hex[i] == '%') {
      const std::string& name = ++names > 1 && !second_name.empty() ? second_name : encoded_name;
      out.insert(out.end(), name.begin(), name.end());
      continue;
    }
    out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    ++i;
  }
  return out;
}

in_addr Ip(const char* text) { return {inet_addr(text)}; }

// A broadcast query, and the head of a positive answer up to its RDLENGTH.
const std::string kQuery = "12 34 01 10 00 01 00 00 00 00 00 00 20 % 00 00 20 00 01";
const std::string kAnswer = "12 34 85 00 00 00 00 01 00 00 00 00 20 % 00 00 20 00 01 00 00 01 2C";
const Bytes kQueryHost2 = Packet(kQuery);
const Bytes kAnswerHost2 = Packet(kAnswer + " 00 06 00 00 0A 01 02 03");
// A B node's claim on HOST2, up to the question; the claim's record, up to its NB_FLAGS.
const std::string kClaim = "12 34 29 10 00 01 00 00 00 00 00 01 20 %";
const std::string kRecord = " 00 00 20 00 01 C0 0C 00 20 00 01 00 04 93 E0 00 06 ";
// NODE STATUS for "*" (NUL-padded) and its answer: HOST2<00>, HOST2<03> unique and
// OFFICE<00> group, all active, then 46 bytes of statistics.
const std::string kWildcard = "CKAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA";
const Bytes kStatusRequest = Packet("12 34 00 00 00 01 00 00 00 00 00 00 20 % 00 00 21 00 01", kWildcard);
const std::string kStatusNames =
    "03 48 4F 53 54 32 20 20 20 20 20 20 20 20 20 20 00 04 00 48 4F 53 54 32 20 20 20 20 20 20 20 20 20 20 03 04 00"
    " 4F 46 46 49 43 45 20 20 20 20 20 20 20 20 20 00 84 00";
std::string Zeros(int n) { return n ? " 00" + Zeros(n - 1) : ""; }
const std::string kStatusHead = "12 34 84 00 00 00 00 01 00 00 00 00 20 % 00 00 21 00 01 00 00 00 00";
const Bytes kStatusAnswer = Packet(kStatusHead + " 00 65 " + kStatusNames + Zeros(46), kWildcard);

}  // namespace

TEST(NamePackets, EncodeAndDecodeMatchTheHandWrittenLayout) {
  const in_addr a = Ip("10.1.2.3");
  const TNameClaim unique{{"host2", 0}, 0, a, 300000};
  const TNameClaim group{{"HOST2", 0}, kNbGroup | kNbOntH, a, 300000};
  // Read back, every field as written and every prefix refused; addresses: how many (each a)
  const struct { const char* what; Bytes encoded; std::string hex; int opcode, rcode, nb_flags; unsigned ttl, addresses; }
  rows[] = {
      {"query", EncodeNameQuery(0x1234, {"host2", 0}), kQuery, 0, 0, 0, 0, 0},
      {"answer", EncodeNameQueryResponse(0x1234, {"HOST2", 0}, a, 300), kAnswer + " 00 06 00 00 0A 01 02 03", 0, 0, 0,
       300, 1},
      {"B-node registration", EncodeNameRegistration(0x1234, unique, true), kClaim + kRecord + "00 00 0A 01 02 03", 5, 0,
       0, 300000, 1},
      {"H-node group registration", EncodeNameRegistration(0x1234, group, false),
       "12 34 29 00 00 01 00 00 00 00 00 01 20 %" + kRecord + "E0 00 0A 01 02 03", 5, 0, 0xE000, 300000, 1},
      {"refresh", EncodeNameRefresh(0x1234, unique),
       "12 34 41 00 00 01 00 00 00 00 00 01 20 %" + kRecord + "00 00 0A 01 02 03", 8, 0, 0, 300000, 1},
      {"broadcast release", EncodeNameRelease(0x1234, unique, true),
       "12 34 31 10 00 01 00 00 00 00 00 01 20 %" + kRecord + "00 00 0A 01 02 03", 6, 0, 0, 300000, 1},
      {"refusal, name active", EncodeNameRegistrationResponse(0x1234, unique, kRcodeActive),
       "12 34 AD 86 00 00 00 01 00 00 00 00 20 % 00 00 20 00 01 00 00 00 00 00 06 00 00 0A 01 02 03", 5, 6, 0, 0, 1},
      {"grant", EncodeNameRegistrationResponse(0x1234, group, 0),
       "12 34 AD 80 00 00 00 01 00 00 00 00 20 % 00 00 20 00 01 00 04 93 E0 00 06 E0 00 0A 01 02 03", 5, 0, 0xE000,
       300000, 1},
      {"WACK", EncodeWack(0x1234, {"HOST2", 0}, 60, 0x2900),
       "12 34 BC 00 00 00 00 01 00 00 00 00 20 % 00 00 20 00 01 00 00 00 3C 00 02 29 00", 7, 0, 0x2900, 60, 0},
      {"unicast query", EncodeUnicastNameQuery(0x1234, {"HOST2", 0}),
       "12 34 01 00 00 01 00 00 00 00 00 00 20 % 00 00 20 00 01", 0, 0, 0, 0, 0},
      // From other implementations: the claim's name written out, a negative query answer.
      {"claim with the name repeated", {},
       kClaim + " 00 00 20 00 01 20 % 00 00 20 00 01 00 04 93 E0 00 06 00 00 0A 01 02 03", 5, 0, 0, 300000, 1},
      {"name not found", {}, "12 34 85 83 00 00 00 01 00 00 00 00 20 % 00 00 0A 00 01 00 00 00 00 00 00", 0, 3, 0, 0, 0},
  };
  for (const auto& row : rows) {
    const Bytes expected = Packet(row.hex);
    if (!row.encoded.empty()) {
      EXPECT_EQ(row.encoded, expected) << row.what;
    }
    const auto packet = DecodeNamePacket(expected.data(), expected.size());
    ASSERT_TRUE(packet) << row.what;
    EXPECT_EQ(std::make_tuple(int{packet->id}, packet->response, packet->name.name, int{packet->name.suffix},
                              int{packet->opcode}, int{packet->rcode}, int{packet->nb_flags}, packet->ttl),
              std::make_tuple(0x1234, (expected[2] & 0x80) != 0, std::string("HOST2"), 0, row.opcode, row.rcode,
                              row.nb_flags, row.ttl))
        << row.what;
    EXPECT_EQ(packet->addresses.size(), row.addresses) << row.what;
    for (const in_addr got : packet->addresses) EXPECT_EQ(got.s_addr, a.s_addr) << row.what;
    for (std::size_t n = 0; n < expected.size(); ++n)
      EXPECT_FALSE(DecodeNamePacket(expected.data(), n)) << row.what << ", prefix of " << n;
  }
  EXPECT_EQ(EncodeNodeStatusRequest(0x1234), kStatusRequest);
  const std::vector<TNodeName> names = {{{"host2", 0}, kNodeNameActive},
                                        {{"HOST2", 3}, kNodeNameActive},
                                        {{"OFFICE", 0}, kNodeNameGroup | kNodeNameActive}};
  EXPECT_EQ(EncodeNodeStatusResponse(0x1234, {"*", 0}, names), kStatusAnswer);
  const auto request = DecodeNamePacket(kStatusRequest.data(), kStatusRequest.size());
  ASSERT_TRUE(request);
  EXPECT_EQ(request->question_type, kNameTypeNbstat);
  EXPECT_EQ(request->name.name, "*");
  const auto status = DecodeNamePacket(kStatusAnswer.data(), kStatusAnswer.size());
  ASSERT_TRUE(status);
  ASSERT_EQ(status->node_names.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const TNodeName& got = status->node_names[i];
    EXPECT_EQ(std::tie(got.name.name, got.name.suffix, got.flags),
              std::make_tuple(ToUpperAscii(names[i].name.name), names[i].name.suffix, names[i].flags)) << i;
  }
}

TEST(NamePackets, PacketsWhoseFieldsDisagreeWithTheirSizeAreDroppedAndCounted) {
  const std::uint64_t before = NamePacketsDropped();
  std::uint64_t rows = 0;
  for (const Bytes* good : {&kQueryHost2, &kAnswerHost2, &kStatusRequest, &kStatusAnswer})
    for (std::size_t n = 0; n < good->size(); ++n, ++rows)
      EXPECT_FALSE(DecodeNamePacket(good->data(), n)) << "prefix of " << n;
  const std::vector<std::pair<const char*, Bytes>> bad = {
      {"address length beyond the packet", Packet(kAnswer + " 00 0C 00 00 0A 01 02 03")},
      {"address length that wraps", Packet(kAnswer + " FF FF 00 00 0A 01 02 03")},
      {"address length not a multiple of six", Packet(kAnswer + " 00 05 00 00 0A 01 02")},
      {"two questions", Packet("12 34 01 10 00 02 00 00 00 00 00 00 20 % 00 00 20 00 01")},
      {"a byte after the question", Packet(kQuery + " 00")},
      {"registration, not a query", Packet("12 34 29 10 00 01 00 00 00 00 00 01 20 % 00 00 20 00 01")},
      {"label of 31 letters", Packet("12 34 01 10 00 01 00 00 00 00 00 00 1F % 00 00 20 00 01", kHost2.substr(1))},
      {"letter outside A to P", Packet(kQuery, "ZIEPFDFEDCCACACACACACACACACACAAA")},
      {"a scope after the name", Packet("12 34 01 10 00 01 00 00 00 00 00 00 20 % 03 63 6F 6D 00 00 20 00 01")},
      {"type neither NB nor NBSTAT", Packet("12 34 01 10 00 01 00 00 00 00 00 00 20 % 00 00 22 00 01")},
      {"more node names than the data holds", Packet(kStatusHead + " 00 37 04" + kStatusNames.substr(2), kWildcard)},
      {"node status data longer than the packet", Packet(kStatusHead + " 00 66 " + kStatusNames + Zeros(46), kWildcard)},
      {"node status without its name count", Packet(kStatusHead + " 00 00", kWildcard)},
      {"another name repeated", Packet(kClaim + " 00 00 20 00 01 20 % 00 00 20 00 01 00 04 93 E0 00 06 00 00 0A 01 02 03",
                                       kHost2, "EIEPFDFEDDCACACACACACACACACACAAA")},
      {"claim data of five bytes",
       Packet(kClaim + " 00 00 20 00 01 C0 0C 00 20 00 01 00 04 93 E0 00 05 00 00 0A 01 02")},
      {"claim without its record", Packet("12 34 29 10 00 01 00 00 00 00 00 00 20 % 00 00 20 00 01")},
      {"two records", Packet("12 34 29 10 00 01 00 00 00 00 00 02 20 %" + kRecord + "00 00 0A 01 02 03")},
      {"WACK of six bytes",
       Packet("12 34 BC 00 00 00 00 01 00 00 00 00 20 % 00 00 20 00 01 00 00 00 3C 00 06 00 00 0A 01 02 03")},
      {"empty positive answer", Packet("12 34 85 80 00 00 00 00 00 00 00 00")},
      {"NULL record in a positive answer",
       Packet("12 34 85 80 00 00 00 01 00 00 00 00 20 % 00 00 0A 00 01 00 00 00 00 00 00")},
      {"query response opcode as a request",
       Packet("12 34 39 10 00 01 00 00 00 00 00 01 20 %" + kRecord + "00 00 0A 01 02 03")},
  };
  for (const auto& [why, bytes] : bad) {
    EXPECT_FALSE(DecodeNamePacket(bytes.data(), bytes.size())) << why;
    ++rows;
  }
  EXPECT_EQ(NamePacketsDropped() - before, rows);
}

namespace {

// Sends a hand-written query from a socket of its own and collects the answers.
std::vector<Bytes> Ask(const Bytes& query, const char* to = "127.0.0.1", std::chrono::milliseconds wait = 300ms) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
  sockaddr_in addr{AF_INET, htons(Config().name_port), Ip(to), {}};
  sendto(fd, query.data(), query.size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  std::vector<Bytes> answers;
  pollfd p{fd, POLLIN, 0};
  for (const auto until = std::chrono::steady_clock::now() + wait;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) break;
    Bytes b(600);
    b.resize(static_cast<std::size_t>(std::max<ssize_t>(0, recv(fd, b.data(), b.size(), 0))));
    answers.push_back(b);
  }
  close(fd);
  return answers;
}

// Asks until the responder (started on the presence thread) answers.
std::vector<Bytes> AskUntilAnswered(const Bytes& query) {
  std::vector<Bytes> answers;
  for (int i = 0; i < 20 && answers.empty(); ++i) answers = Ask(query, "127.0.0.1", 100ms);
  return answers;
}

const Bytes kQueryNamehost = Packet("BE EF" + kQuery.substr(5), kNamehost);
const Bytes kAnswerNamehost = Packet("BE EF" + kAnswer.substr(5) + " 00 06 00 00 7F 00 00 01", kNamehost);

}  // namespace

TEST(NameResponder, AnswersForItsOwnNameOnceWhileAMailslotIsOwned) {
  EXPECT_TRUE(Ask(kQueryNamehost).empty()) << "answered with no mailslot owned";

  HANDLE slot = CreateMailslotA("\\\\.\\mailslot\\NameTest", 0, 0, nullptr);
  ASSERT_NE(slot, INVALID_HANDLE_VALUE);
  const auto answers = AskUntilAnswered(kQueryNamehost);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0], kAnswerNamehost);
  // By broadcast, as a B node asks: one answer for the computer.
  EXPECT_EQ(Ask(kQueryNamehost, "127.255.255.255").size(), 1u);
  // The messenger name <03> is answered as Windows does; other names and answers are not.
  const auto messenger = Ask(Packet("00 07" + kQuery.substr(5), kNamehost03));
  ASSERT_EQ(messenger.size(), 1u);
  EXPECT_EQ(std::string(messenger[0].begin() + 13, messenger[0].begin() + 45), kNamehost03);
  EXPECT_TRUE(Ask(kQueryHost2).empty());
  EXPECT_TRUE(Ask(kAnswerNamehost).empty());
  // A member answers for its workgroup's group name.
  const auto group = Ask(EncodeNameQuery(0x0808, {Config().workgroup, 0}));
  ASSERT_EQ(group.size(), 1u);
  const auto member = DecodeNamePacket(group[0].data(), group[0].size());
  ASSERT_TRUE(member);
  EXPECT_EQ(member->nb_flags, kNbGroup);
  EXPECT_TRUE(QueryName(Config().workgroup).workgroup);
  // Its name table for a NODE STATUS request (nmblookup -A).
  const auto status = Ask(kStatusRequest);
  ASSERT_EQ(status.size(), 1u);
  const auto table = DecodeNamePacket(status[0].data(), status[0].size());
  ASSERT_TRUE(table);
  ASSERT_EQ(table->node_names.size(), 3u);
  EXPECT_EQ(table->node_names[1].name.name + "/" + table->node_names[2].name.name, "NAMEHOST/" + Config().workgroup);
  EXPECT_EQ(table->node_names[2].flags, kNodeNameGroup | kNodeNameActive);

  // Resolution by the same queries: an answer at once, a miss within the wait,
  // then the miss from the cache.
  std::optional<in_addr> found;
  const auto timed = [&found](const char* name) {
    const auto start = std::chrono::steady_clock::now();
    found = QueryComputerName(name);
    return std::chrono::steady_clock::now() - start;
  };
  EXPECT_LT(timed("namehost"), 300ms);
  EXPECT_EQ(found.value_or(in_addr{}).s_addr, htonl(INADDR_LOOPBACK));
  const auto miss = timed("NOBODYHERE");
  EXPECT_FALSE(found);
  EXPECT_TRUE(miss >= 240ms && miss < 400ms) << std::chrono::duration_cast<std::chrono::milliseconds>(miss).count();
  EXPECT_LT(timed("NOBODYHERE"), 50ms);

  CloseHandle(slot);
  EXPECT_TRUE(Ask(kQueryNamehost).empty()) << "still answering after the last mailslot closed";
}

TEST(NameResponder, AnAnalyzerReadsTheAnswer) {
  if (std::system("command -v tshark >/dev/null 2>&1") != 0) GTEST_SKIP() << "tshark is not installed";
  if (geteuid() != 0) GTEST_SKIP() << "capturing on lo needs root";
  hw::test::TempDir dir;
  const std::string port = std::to_string(Config().name_port);
  const std::string pcap = dir.File("names.pcap"), log = dir.File("tshark.log");
  const auto logged = [&log](const char* text) {
    return hw::test::PollUntil([&] { return hw::test::ReadFile(log).find(text) != std::string::npos; }, 5s).has_value();
  };
  std::system(("timeout 8 tshark -i lo -f 'udp port " + port + "' -a duration:2 -w " + pcap + " >" + log +
               " 2>&1 &").c_str());
  if (!logged("Capture started")) GTEST_SKIP() << "tshark cannot capture here";
  std::this_thread::sleep_for(300ms);
  HANDLE slot = CreateMailslotA("\\\\.\\mailslot\\NameTest", 0, 0, nullptr);
  const auto answers = AskUntilAnswered(kQueryNamehost);
  CloseHandle(slot);
  ASSERT_FALSE(answers.empty());
  logged("captured");

  const std::string out = dir.File("fields.txt");
  std::system(("tshark -r " + pcap + " -d udp.port==" + port + ",nbns -Y 'nbns.flags.response == 1' -T fields " +
               "-e nbns.id -e nbns.name -e nbns.ttl -e nbns.addr >" + out + " 2>/dev/null").c_str());
  const std::string fields = hw::test::ReadFile(out);
  EXPECT_NE(fields.find("0xbeef\tNAMEHOST<00> (Workstation/Redirector)\t300\t127.0.0.1"), std::string::npos) << fields;
}

TEST(NameConfig, WorkgroupsAndNamePort) {
  const std::pair<const char*, const char*> rows[] = {  // as given, as used (nullptr: refused)
      {"my group", "MY GROUP"},     {"  Padded  ", "PADDED"}, {"FIFTEEN-CHARS15", "FIFTEEN-CHARS15"},
      {"SIXTEEN-CHARS-16", nullptr}, {"BACK\\SLASH", nullptr}, {"TAB\tNAME", nullptr}, {"STAR*", nullptr}};
  for (const auto& [given, used] : rows) {
    setenv("HALLWIRE_WORKGROUP", given, 1);
    ReloadConfig();
    if (used) {
      EXPECT_EQ(Config().workgroup, used);
      EXPECT_NO_THROW(CheckConfig());
    } else {
      EXPECT_NE(Config().error.find(given), std::string::npos) << Config().error;
      EXPECT_THROW(CreateMailslotA("\\\\.\\mailslot\\Refused", 0, 0, nullptr), hw::Exception) << given;
    }
  }
  const std::string saved_port = std::getenv("HALLWIRE_DGRAM_PORT");
  const std::tuple<const char*, const char*, int> ports[] = {{"138", "5000", 137}, {"20000", "5000", 5000},
                                                              {"20000", "", 19999}};
  for (const auto& [dgram, name, expected] : ports) {
    setenv("HALLWIRE_DGRAM_PORT", dgram, 1);
    setenv("HALLWIRE_NAME_PORT", name, 1);
    ReloadConfig();
    EXPECT_EQ(Config().name_port, expected) << dgram << " " << name;
  }
  setenv("HALLWIRE_DGRAM_PORT", saved_port.c_str(), 1);
  unsetenv("HALLWIRE_NAME_PORT");
  setenv("HALLWIRE_WORKGROUP", "NAMEGROUP", 1);
  ReloadConfig();
}
