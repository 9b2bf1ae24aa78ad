// The presence service and the network enumeration built on it.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <tuple>
#include <utility>

#include "platform/net/AnswerPolicy.h"
#include "platform/net/Carrier.h"
#include "platform/net/Config.h"
#include "platform/net/Kernel32Mailslots.h"
#include "platform/net/Mpr.h"
#include "platform/net/Presence.h"
#include "platform/net/RemoteTargets.h"
#include "tests/support/PollUntil.h"

using namespace hw::platform::net;
using namespace hw::win32;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Sends a browse datagram as another computer of some workgroup would.
void Inject(const Bytes& payload, const std::string& workgroup) {
  const TMailslotDatagram d{TDatagramType::DirectGroup, 0, CarrierSourceAddress(), 138, {"OTHER", 0}, {workgroup, 0x1D},
                            "\\MAILSLOT\\BROWSE", payload};
  ASSERT_EQ(SendCarrierDatagram(EncodeDatagram(d), std::nullopt), 0u);
}

THostAnnouncement Host(const std::string& name, std::uint32_t type = 3, std::uint32_t period = 60000) {
  THostAnnouncement a;
  a.server_name = name;
  a.server_type = type;
  a.periodicity_ms = period;
  return a;
}

in_addr Ip(const char* text) { return {inet_addr(text)}; }
std::string Text(in_addr a) { return inet_ntoa(a); }

Bytes Announcement(const std::string& name, std::uint32_t type = 3, std::uint32_t period = 300) {
  auto a = Host(name, type, period);
  a.comment = "peer";
  return EncodeBrowseMessage(a);
}

bool Listed(const std::string& name) {
  const auto computers = PresenceComputers();
  return std::any_of(computers.begin(), computers.end(), [&](const auto& c) { return c.name == name; });
}

bool WaitListed(const std::string& name, bool present, std::chrono::milliseconds timeout = 3s) {
  return hw::test::PollUntil([&] { return Listed(name) == present; }, timeout, std::chrono::steady_clock::now(), 20ms)
      .has_value();
}

// Keeps this process announcing and listening while it lives.
struct OwnMailslot {
  HANDLE h = CreateMailslotA("\\\\.\\mailslot\\PresenceTest", 0, 0, nullptr);
  ~OwnMailslot() { CloseHandle(h); }
};

}  // namespace

TEST(BrowseMessages, HostAnnouncementLayout) {
  THostAnnouncement a = Host("HOST1", 3, 60000);
  a.update_count = 3;
  a.comment = "Hallwire";
  const auto bytes = EncodeBrowseMessage(a);
  ASSERT_EQ(bytes.size(), 32u + 9u);
  // opcode, update count, server type, browser version 15.1, signature
  for (const auto& [at, value] : {std::pair{0, 1}, {1, 3}, {24, 3}, {28, 15}, {29, 1}, {30, 0x55}, {31, 0xAA}})
    EXPECT_EQ(bytes[at], value) << at;
  EXPECT_EQ(bytes[2] | bytes[3] << 8 | bytes[4] << 16, 60000);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[6])), "HOST1");
  const auto back = DecodeBrowseMessage(bytes.data(), bytes.size());
  ASSERT_TRUE(back);
  EXPECT_EQ(std::tie(back->server_name, back->comment, back->periodicity_ms),
            std::make_tuple(std::string("HOST1"), std::string("Hallwire"), 60000u));

  THostAnnouncement r;
  r.opcode = 2;
  r.comment = "ASKER";
  EXPECT_EQ(EncodeBrowseMessage(r), (Bytes{2, 0, 'A', 'S', 'K', 'E', 'R', 0}));
}

TEST(BrowseMessages, MalformedAnnouncementsDoNotParse) {
  const auto good = Announcement("GOOD");
  for (std::size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(DecodeBrowseMessage(good.data(), n)) << n;
  const struct { std::size_t at, n; int value; const char* what; } spoils[] = {
      {31, 1, 0, "signature"}, {6, 16, 'X', "name without its zero"}, {6, 1, 0, "empty name"}, {0, 1, 9, "opcode"}};
  for (const auto& s : spoils) {
    auto bad = good;
    std::memset(&bad[s.at], s.value, s.n);
    EXPECT_FALSE(DecodeBrowseMessage(bad.data(), bad.size())) << s.what;
  }
}

TEST(PresenceTable, OneHostCannotTakeItOver) {
  const auto t0 = std::chrono::steady_clock::now();
  TPresenceTable table;
  const struct { const char* what; THostAnnouncement message; const char *workgroup, *from; bool local, accepted; }
  rows[] = {
      {"a real computer", Host("REAL"), "OFFICE", "10.0.0.2", false, true},
      {"a workgroup with a blank", Host("BLANKS"), "MY GROUP", "10.0.0.5", false, true},
      {"a workgroup that is no NetBIOS name", Host("BADGROUP"), "A*B", "10.0.0.5", false, false},
      {"another host claims a live name", Host("REAL"), "OFFICE", "10.0.0.66", false, false},
      {"a goodbye from another host", Host("REAL", 0), "OFFICE", "10.0.0.66", false, false},
      {"the flooder's first names", Host("FLOOD1"), "OFFICE", "10.0.0.66", false, true},
      {"", Host("FLOOD2"), "OFFICE", "10.0.0.66", false, true},
      {"", Host("FLOOD3"), "OFFICE", "10.0.0.66", false, true}, {"", Host("FLOOD4"), "OFFICE", "10.0.0.66", false, true},
      {"one name too many", Host("FLOOD5"), "OFFICE", "10.0.0.66", false, false},
      {"a known name again from its own host", Host("FLOOD4"), "OFFICE", "10.0.0.66", false, true},
      {"this computer is not capped", Host("LOCAL1"), "OFFICE", "127.0.0.1", true, true},
      {"", Host("LOCAL2"), "OFFICE", "127.0.0.1", true, true}, {"", Host("LOCAL3"), "OFFICE", "127.0.0.1", true, true},
      {"", Host("LOCAL4"), "OFFICE", "127.0.0.1", true, true}, {"", Host("LOCAL5"), "OFFICE", "10.0.0.9", true, true},
      {"this computer's goodbye from its other address", Host("LOCAL1", 0), "OFFICE", "10.0.0.9", true, true},
      {"the real goodbye", Host("BLANKS", 0), "MY GROUP", "10.0.0.5", false, true},
      {"a day-long period", Host("SLOW", 3, 86400000), "OFFICE", "10.0.0.7", false, true},
  };
  for (const auto& row : rows)
    EXPECT_EQ(table.Apply(row.message, row.workgroup, Ip(row.from), row.local, t0), row.accepted) << row.what;
  const auto& entries = table.Entries();
  EXPECT_EQ(entries.at("REAL").address.s_addr, Ip("10.0.0.2").s_addr);
  EXPECT_FALSE(entries.count("BLANKS"));
  EXPECT_FALSE(entries.count("LOCAL1"));
  EXPECT_EQ(entries.at("SLOW").periodicity_ms, kMaxAnnouncePeriodMs);
  // Once the real computer has been silent for three periods, the name is free.
  EXPECT_TRUE(table.Apply(Host("REAL"), "OFFICE", Ip("10.0.0.66"), false, t0 + std::chrono::minutes(4)));
  EXPECT_FALSE(table.Entries().count("FLOOD1"));
}

TEST(PresenceTable, HoldsABigLanAndStaysBoundedAgainstAFlood) {
  const auto t0 = std::chrono::steady_clock::now(), later = t0 + 1s;
  TPresenceTable table;
  auto announce = [&](std::size_t n, std::uint32_t source, std::chrono::steady_clock::time_point at) {
    return table.Apply(Host("PC" + std::to_string(n), 3, 600000), "OFFICE", in_addr{htonl(0x0A000000u + source)},
                       false, at);
  };
  // 5,000 computers, four to an address, all kept; PC0 heard a second before the rest.
  for (std::size_t n = 0; n < 5000; ++n)
    ASSERT_TRUE(announce(n, static_cast<std::uint32_t>(n / 4), n ? t0 : t0 - 1s)) << n;
  EXPECT_EQ(table.Entries().size(), 5000u);
  EXPECT_FALSE(announce(99999, 0, t0)) << "a fifth name from one address";
  // Beyond the bound a new name replaces the one silent longest.
  for (std::size_t n = 5000; n < kMaxPresenceEntries + 10; ++n)
    ASSERT_TRUE(announce(n, static_cast<std::uint32_t>(n / 4), later)) << n;
  EXPECT_EQ(table.Entries().size(), kMaxPresenceEntries);
  EXPECT_FALSE(table.Entries().count("PC0"));
  EXPECT_TRUE(table.Entries().count("PC4999"));
  // A goodbye frees its host's share at once.
  EXPECT_TRUE(table.Apply(Host("PC5000", 0, 0), "OFFICE", in_addr{htonl(0x0A000000u + 1250)}, false, later));
  EXPECT_TRUE(announce(77777, 1250, later));
}

// A name announced from a second address while it lives is disputed, never taken or
// refused in silence; no period holds a name longer than three of the longest.
TEST(PresenceTable, ASecondAddressDisputesANameThatLapsesWithinThreeMinutes) {
  const auto t0 = std::chrono::steady_clock::now();
  TPresenceTable table;
  // claimants: of HOSTB afterwards
  const struct { int at_s; const char* from; std::uint32_t type, period; bool taken; const char* claimants; } rows[] = {
      {0, "10.0.0.2", 3, 60000, true, "10.0.0.2"},
      {1, "10.0.0.3", 3, 720000, false, "10.0.0.2 10.0.0.3"},  // a forger's 12-minute period
      {2, "10.0.0.2", 3, 60000, true, "10.0.0.2 10.0.0.3"},    // the owner is heard on
      {180, "10.0.0.2", 3, 60000, true, "10.0.0.2 10.0.0.3"},
      {182, "10.0.0.2", 3, 60000, true, "10.0.0.2"},  // the forger's hold ended at 3 minutes
      {183, "10.0.0.3", 3, 2000, false, "10.0.0.2 10.0.0.3"},
      {184, "10.0.0.3", 0, 0, false, "10.0.0.2"},  // its goodbye ends its claim only
      {185, "10.0.0.3", 3, 2000, false, "10.0.0.2 10.0.0.3"},
      {186, "10.0.0.2", 0, 0, true, "10.0.0.3"},  // the holder leaves: the rival holds it
      {187, "10.0.0.4", 3, 2000, false, "10.0.0.3 10.0.0.4"},
      {192, "10.0.0.4", 3, 2000, true, "10.0.0.4"},  // the holder lapsed after 6 s
  };
  for (const auto& row : rows) {
    const auto now = t0 + std::chrono::seconds(row.at_s);
    EXPECT_EQ(table.Apply(Host("HOSTB", row.type, row.period), "OFFICE", Ip(row.from), false, now), row.taken) << row.at_s;
    std::string claimants;
    for (const in_addr a : table.Claimants("HOSTB", now)) claimants += (claimants.empty() ? "" : " ") + Text(a);
    EXPECT_EQ(claimants, row.claimants) << row.at_s;
  }
}

TEST(AnswerPolicy, OnlyReachablePartnersAreAnsweredAndEachAtABoundedRate) {
  TPlatformConfig config;
  config.interfaces = {{"", 0, Ip("10.77.1.5"), Ip("255.255.255.0")}};
  config.remote_targets = {{Ip("192.0.2.9"), ""}};
  const struct { const char* source; bool own_subnet, answered; } sources[] = {
      {"10.77.1.200", true, true},    {"127.0.0.1", true, true},  {"192.0.2.9", false, true},
      {"198.51.100.7", false, false}, {"10.77.2.7", false, false}, {"192.0.2.10", false, false}};
  for (const auto& row : sources) {
    EXPECT_EQ(OnOwnSubnet(Ip(row.source), config.interfaces), row.own_subnet) << row.source;
    EXPECT_EQ(MayAnswer(Ip(row.source), config), row.answered) << row.source;
  }
  ASSERT_TRUE(NoteOffSubnetPeer(Ip("10.77.2.7"), 1h));
  EXPECT_TRUE(MayAnswer(Ip("10.77.2.7"), config)) << "a peer that announced itself to us";
  ForgetOffSubnetPeer(Ip("10.77.2.7"));

  TAnswerRate rate(3, 1s);
  const auto t0 = TAnswerRate::Clock::now();
  const struct { std::chrono::milliseconds at; const char* source; bool allowed; } asks[] = {
      {0ms, "10.0.0.1", true},    {0ms, "10.0.0.1", true},     {0ms, "10.0.0.1", true},
      {0ms, "10.0.0.1", false},   {0ms, "10.0.0.2", true},     {999ms, "10.0.0.1", false},
      {1000ms, "10.0.0.1", true}, {1001ms, "10.0.0.1", false}, {5000ms, "10.0.0.1", true}};
  for (const auto& row : asks) EXPECT_EQ(rate.Allow(Ip(row.source), t0 + row.at), row.allowed) << row.at.count();
  // A flood from many addresses fills a bounded table, and the rest wait their turn.
  for (std::uint32_t i = 0; i < kMaxRateSources; ++i) rate.Allow(in_addr{htonl(0x0B000000u + i)}, t0 + 5s);
  EXPECT_FALSE(rate.Allow(Ip("10.0.0.9"), t0 + 5s));
  EXPECT_TRUE(rate.Allow(Ip("10.0.0.9"), t0 + 9s));
}

TEST(AnswerDelay, GrowsWithTheListSoThatALanAnswersAtAboutTwoHundredASecond) {
  // most_per_second: of the answers drawn below, in any one second
  const struct { std::size_t computers; std::chrono::milliseconds bound; std::size_t most_per_second; } rows[] = {
      {0, 500ms, 1},       {3, 500ms, 3},         {71, 500ms, 71},        {72, 504ms, 72},
      {1000, 7000ms, 200}, {4000, 28000ms, 200},  {5000, 30000ms, 240},   {100000, 30000ms, 100000},
  };
  std::mt19937 rng(7);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.computers);
    const auto bound = AnswerDelayBound(row.computers);
    EXPECT_EQ(bound, row.bound);
    if (row.computers == 0 || row.computers > 10000) continue;
    // Every computer draws its delay as the presence service does.
    std::vector<std::int64_t> at;
    for (std::size_t i = 0; i < row.computers; ++i)
      at.push_back(std::uniform_int_distribution<std::int64_t>(0, bound.count())(rng));
    std::sort(at.begin(), at.end());
    std::size_t peak = 0;
    for (std::size_t i = 0, j = 0; j < at.size(); ++j) {
      while (at[j] - at[i] >= 1000) ++i;
      peak = std::max(peak, j - i + 1);
    }
    EXPECT_LE(peak, row.most_per_second);
  }
}

TEST(RemoteTargets, ListsReadAsSambaWritesThem) {
  // read: address[/workgroup] of each target read, blank-separated
  const struct { const char* text; bool whole; const char* read; } rows[] = {
      {"10.77.2.255/staff 10.77.2.7", true, "10.77.2.255/STAFF 10.77.2.7"},
      {" 10.1.1.1,10.1.1.2\t", true, "10.1.1.1 10.1.1.2"}, {"", true, ""}, {"branch.example 10.1.1.1", false, "10.1.1.1"},
      {"10.1.1.1/ 10.1.1.2/A:B 0.0.0.0 10.1.1.3/SIXTEEN_LETTERS_", false, ""},
  };
  for (const auto& row : rows) {
    std::vector<TRemoteTarget> targets;
    EXPECT_EQ(ParseRemoteTargets(row.text, targets), row.whole) << row.text;
    std::string read;
    for (const auto& t : targets)
      read += (read.empty() ? "" : " ") + Text(t.address) + (t.workgroup.empty() ? "" : "/" + t.workgroup);
    EXPECT_EQ(read, row.read) << row.text;
  }
}

// The user's settings come before the environment; only the environment's mistakes stop
// the program.
TEST(RemoteTargets, UserSettingsComeBeforeTheEnvironment) {
  // first: the first target's address, "" for none
  const struct { const char *user, *env, *first; bool error; } rows[] = {
      {"10.1.1.1", "10.2.2.2", "10.1.1.1", false}, {"", "10.2.2.2/STAFF", "10.2.2.2", false},
      {"", "not-an-address", "", true},
      {"not-an-address 10.1.1.3", "not-an-address", "10.1.1.3", false},
  };
  for (const auto& row : rows) {
    setenv("HALLWIRE_REMOTE_ANNOUNCE", row.env, 1);
    SetNetworkOverrides({"", row.user});
    const auto& config = Config();
    EXPECT_EQ(config.remote_targets.empty() ? "" : Text(config.remote_targets[0].address), row.first)
        << row.user << " / " << row.env;
    EXPECT_EQ(!config.error.empty(), row.error) << config.error;
  }
  unsetenv("HALLWIRE_REMOTE_ANNOUNCE");
  SetNetworkOverrides({});
  EXPECT_TRUE(Config().remote_targets.empty());
}

TEST(RemoteTargets, OffSubnetPeersAreBoundedAndExpire) {
  TOffSubnetPeers peers;
  const auto now = TOffSubnetPeers::Clock::now();
  for (std::uint32_t i = 0; i < kMaxOffSubnetPeers + 10; ++i)
    EXPECT_EQ(peers.Note(in_addr{htonl(0x0A4D0200u + i)}, now + 1h), i < kMaxOffSubnetPeers) << i;
  EXPECT_FALSE(peers.Note(Ip("10.77.2.0"), now + 1h));  // known: renewed, not new
  EXPECT_EQ(peers.Alive(now).size(), kMaxOffSubnetPeers);
  peers.Forget(Ip("10.77.2.0"));
  EXPECT_TRUE(peers.Note(Ip("10.99.0.1"), now - 1s));  // room again; already past
  EXPECT_EQ(peers.Alive(now).size(), kMaxOffSubnetPeers - 1);
}

TEST(Presence, OwnComputerAndPeersComeAndGo) {
  OwnMailslot own;
  EXPECT_TRUE(WaitListed("PRESENCEHOST", true));
  Inject(Announcement("PEER1", 3, 5000), "TESTGROUP");
  Inject(Announcement("ELSEWHERE"), "OTHERGROUP");
  EXPECT_TRUE(WaitListed("PEER1", true));
  // Datagrams are handled on the carrier's thread: wait until the second one was seen.
  EXPECT_TRUE(hw::test::PollUntil([] { return PresenceKnowsWorkgroup("othergroup"); }, 3s));
  EXPECT_FALSE(Listed("ELSEWHERE"));  // another workgroup's computer
  // Garbage changes nothing.
  Inject({1, 2, 3}, "TESTGROUP");
  auto bad = Announcement("GARBAGE");
  bad[30] = 0;
  Inject(bad, "TESTGROUP");
  std::this_thread::sleep_for(100ms);
  EXPECT_FALSE(Listed("GARBAGE"));
  EXPECT_TRUE(Listed("PEER1"));
  // Server type 0 removes at once; silence removes after three periods.
  Inject(Announcement("PEER1", 0), "TESTGROUP");
  EXPECT_TRUE(WaitListed("PEER1", false, 500ms));
  Inject(Announcement("QUIET", 3, 200), "TESTGROUP");
  EXPECT_TRUE(WaitListed("QUIET", true));
  EXPECT_TRUE(WaitListed("QUIET", false, 2s));
  // This computer keeps announcing itself within its period.
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(Listed("PRESENCEHOST"));
}

TEST(Presence, AnnouncedNamesResolveForUnicast) {
  OwnMailslot own;
  Inject(Announcement("RESOLVABLE", 3, 5000), "TESTGROUP");
  ASSERT_TRUE(WaitListed("RESOLVABLE", true));
  // The client sends to the announced address: the announcement came from this
  // computer, so a write to that name lands here when the name is ours.
  HANDLE w = CreateFileA("\\\\resolvable\\mailslot\\PresenceTest", GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, 0);
  ASSERT_NE(w, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(w, "x", 1, &written, nullptr));
  CloseHandle(w);
}

TEST(Enumeration, TwoStagesWithBufferRules) {
  OwnMailslot own;
  for (int i = 0; i < 5; ++i) Inject(Announcement("PC" + std::to_string(i), 3, 5000), "TESTGROUP");
  ASSERT_TRUE(WaitListed("PC4", true));
  std::vector<char> buffer(32768);
  HANDLE h = 0;
  DWORD count = 0, size = 0;
  const auto open = [&h](NETRESOURCEA* container) {
    return WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER, container, &h);
  };
  // Reads up to `asked` records into `bytes` of the buffer; count and size say what came.
  const auto read = [&](DWORD asked, DWORD bytes) {
    count = asked;
    size = bytes;
    return WNetEnumResourceA(h, &count, buffer.data(), &size);
  };
  const auto record = [&buffer](DWORD i) {
    NETRESOURCEA r;
    std::memcpy(&r, buffer.data() + i * sizeof r, sizeof r);
    return r;
  };
  const auto str = [](const char* text) { return std::string(text ? text : "(null)"); };

  NETRESOURCEA request{RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_DOMAIN, RESOURCEUSAGE_CONTAINER,
                       nullptr, nullptr, nullptr, nullptr};
  ASSERT_EQ(open(&request), NO_ERROR);
  ASSERT_EQ(read(1, 32768), NO_ERROR);
  ASSERT_EQ(count, 1u);
  NETRESOURCEA top = record(0);
  EXPECT_EQ(std::make_tuple(str(top.lpRemoteName), top.dwDisplayType, str(top.lpProvider)),
            std::make_tuple(std::string("TESTGROUP"), DWORD{RESOURCEDISPLAYTYPE_DOMAIN}, std::string(kProviderName)));
  EXPECT_EQ(read(1, size), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(WNetCloseEnum(h), NO_ERROR);
  EXPECT_EQ(WNetCloseEnum(h), ERROR_INVALID_HANDLE);

  std::string workgroup = top.lpRemoteName;
  top.lpRemoteName = workgroup.data();
  ASSERT_EQ(open(&top), NO_ERROR);
  // A buffer too small for one record asks for more.
  EXPECT_EQ(read(1024, 20), ERROR_MORE_DATA);
  EXPECT_GT(size, sizeof(NETRESOURCEA));
  // Two at a time, in name order, then the rest.
  ASSERT_EQ(read(2, 32768), NO_ERROR);
  ASSERT_EQ(count, 2u);
  const NETRESOURCEA first = record(0);
  EXPECT_EQ(std::make_tuple(str(first.lpRemoteName), first.dwDisplayType, str(first.lpProvider)),
            std::make_tuple(std::string("\\\\PC0"), DWORD{RESOURCEDISPLAYTYPE_SERVER}, std::string(kProviderName)));
  ASSERT_EQ(read(1024, size), NO_ERROR);
  EXPECT_GE(count, 4u);  // PC2..PC4, this computer, and peers of earlier cases
  EXPECT_EQ(read(1024, size), ERROR_NO_MORE_ITEMS);
  WNetCloseEnum(h);

  // A listing past 1,024 names continues across reads of any size, each name once.
  for (int i = 0; i < 1100; ++i) Inject(Announcement("MANY" + std::to_string(i), 3, 5000), "TESTGROUP");
  ASSERT_TRUE(WaitListed("MANY1099", true));  // the last one sent
  for (const auto& [asked, bytes] : std::vector<std::pair<DWORD, DWORD>>{{0xFFFFFFFF, 32768}, {7, 32768}, {1024, 700}}) {
    SCOPED_TRACE(bytes);
    ASSERT_EQ(open(&top), NO_ERROR);
    std::vector<std::string> names;
    for (DWORD result; (result = read(asked, bytes)) != ERROR_NO_MORE_ITEMS;) {
      ASSERT_EQ(result, NO_ERROR);
      ASSERT_GT(count, 0u);
      for (DWORD i = 0; i < count; ++i) names.push_back(record(i).lpRemoteName);
    }
    WNetCloseEnum(h);
    EXPECT_GE(names.size(), 1100u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.rfind("\\\\MANY", 0) == 0; }),
              1100);
  }
  std::string other = "NOSUCHGROUP";
  top.lpRemoteName = other.data();
  EXPECT_NE(open(&top), NO_ERROR);
}
