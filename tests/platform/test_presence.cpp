// The presence service and the network enumeration built on it.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/Carrier.h"
#include "platform/Config.h"
#include "platform/Kernel32.h"
#include "platform/Mpr.h"
#include "platform/Presence.h"

using namespace hw::platform;
using namespace hw::win32;
using namespace std::chrono_literals;

namespace {

// Sends a browse datagram as another computer of some workgroup would.
void Inject(const std::vector<std::uint8_t>& payload, const std::string& workgroup, std::uint8_t suffix = 0x1D) {
  TMailslotDatagram d;
  d.type = TDatagramType::DirectGroup;
  d.source_ip = CarrierSourceAddress();
  d.source = {"OTHER", 0};
  d.destination = {workgroup, suffix};
  d.mailslot = "\\MAILSLOT\\BROWSE";
  d.data = payload;
  ASSERT_EQ(SendCarrierDatagram(EncodeDatagram(d), std::nullopt), 0u);
}

std::vector<std::uint8_t> Announcement(const std::string& name, std::uint32_t type = 3, std::uint32_t period = 300) {
  THostAnnouncement a;
  a.server_name = name;
  a.server_type = type;
  a.periodicity_ms = period;
  a.comment = "peer";
  return EncodeBrowseMessage(a);
}

bool Listed(const std::string& name) {
  for (const auto& c : PresenceComputers())
    if (c.name == name) return true;
  return false;
}

bool WaitListed(const std::string& name, bool present, std::chrono::milliseconds timeout = 3s) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < until) {
    if (Listed(name) == present) return true;
    std::this_thread::sleep_for(20ms);
  }
  return Listed(name) == present;
}

// Keeps this process announcing and listening while it lives.
struct OwnMailslot {
  HANDLE h = CreateMailslotA("\\\\.\\mailslot\\PresenceTest", 0, 0, nullptr);
  ~OwnMailslot() { CloseHandle(h); }
};

}  // namespace

TEST(BrowseMessages, HostAnnouncementLayout) {
  THostAnnouncement a;
  a.update_count = 3;
  a.periodicity_ms = 60000;
  a.server_name = "HOST1";
  a.server_type = 3;
  a.comment = "Hallwire";
  const auto bytes = EncodeBrowseMessage(a);
  ASSERT_EQ(bytes.size(), 32u + 9u);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes[1], 3);
  EXPECT_EQ(bytes[2] | bytes[3] << 8 | bytes[4] << 16, 60000);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[6])), "HOST1");
  EXPECT_EQ(bytes[24], 3);
  EXPECT_EQ(bytes[28], 15);
  EXPECT_EQ(bytes[29], 1);
  EXPECT_EQ(bytes[30], 0x55);
  EXPECT_EQ(bytes[31], 0xAA);
  const auto back = DecodeBrowseMessage(bytes.data(), bytes.size());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->server_name, "HOST1");
  EXPECT_EQ(back->comment, "Hallwire");
  EXPECT_EQ(back->periodicity_ms, 60000u);

  THostAnnouncement r;
  r.opcode = 2;
  r.comment = "ASKER";
  const auto req = EncodeBrowseMessage(r);
  EXPECT_EQ(req, (std::vector<std::uint8_t>{2, 0, 'A', 'S', 'K', 'E', 'R', 0}));
}

TEST(BrowseMessages, MalformedAnnouncementsDoNotParse) {
  auto good = Announcement("GOOD");
  for (std::size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(DecodeBrowseMessage(good.data(), n)) << n;
  auto bad = good;
  bad[31] = 0;  // signature
  EXPECT_FALSE(DecodeBrowseMessage(bad.data(), bad.size()));
  bad = good;
  std::memset(&bad[6], 'X', 16);  // name without its zero
  EXPECT_FALSE(DecodeBrowseMessage(bad.data(), bad.size()));
  bad = good;
  bad[6] = 0;  // empty name
  EXPECT_FALSE(DecodeBrowseMessage(bad.data(), bad.size()));
  bad = good;
  bad[0] = 9;
  EXPECT_FALSE(DecodeBrowseMessage(bad.data(), bad.size()));
}

TEST(PresenceTable, OneHostCannotTakeItOver) {
  using Clock = std::chrono::steady_clock;
  const auto t0 = Clock::now();
  auto ip = [](const char* text) {
    in_addr a;
    inet_pton(AF_INET, text, &a);
    return a;
  };
  auto announce = [](const std::string& name, std::uint32_t type = 3, std::uint32_t period = 60000) {
    THostAnnouncement a;
    a.server_name = name;
    a.server_type = type;
    a.periodicity_ms = period;
    return a;
  };
  TPresenceTable table;
  struct TRow {
    const char* what;
    THostAnnouncement message;
    const char* workgroup;
    const char* from;
    bool local;
    bool accepted;
  };
  const TRow rows[] = {
      {"a real computer", announce("REAL"), "OFFICE", "10.0.0.2", false, true},
      {"a workgroup with a blank", announce("BLANKS"), "MY GROUP", "10.0.0.5", false, true},
      {"a workgroup that is no NetBIOS name", announce("BADGROUP"), "A*B", "10.0.0.5", false, false},
      {"another host claims a live name", announce("REAL"), "OFFICE", "10.0.0.66", false, false},
      {"a goodbye from another host", announce("REAL", 0), "OFFICE", "10.0.0.66", false, false},
      {"the flooder's first names", announce("FLOOD1"), "OFFICE", "10.0.0.66", false, true},
      {"", announce("FLOOD2"), "OFFICE", "10.0.0.66", false, true},
      {"", announce("FLOOD3"), "OFFICE", "10.0.0.66", false, true},
      {"", announce("FLOOD4"), "OFFICE", "10.0.0.66", false, true},
      {"one name too many", announce("FLOOD5"), "OFFICE", "10.0.0.66", false, false},
      {"a known name again from its own host", announce("FLOOD4"), "OFFICE", "10.0.0.66", false, true},
      {"this computer is not capped", announce("LOCAL1"), "OFFICE", "127.0.0.1", true, true},
      {"", announce("LOCAL2"), "OFFICE", "127.0.0.1", true, true},
      {"", announce("LOCAL3"), "OFFICE", "127.0.0.1", true, true},
      {"", announce("LOCAL4"), "OFFICE", "127.0.0.1", true, true},
      {"", announce("LOCAL5"), "OFFICE", "10.0.0.9", true, true},
      {"this computer's goodbye from its other address", announce("LOCAL1", 0), "OFFICE", "10.0.0.9", true, true},
      {"the real goodbye", announce("BLANKS", 0), "MY GROUP", "10.0.0.5", false, true},
      {"a day-long period", announce("SLOW", 3, 86400000), "OFFICE", "10.0.0.7", false, true},
  };
  for (const auto& row : rows)
    EXPECT_EQ(table.Apply(row.message, row.workgroup, ip(row.from), row.local, t0), row.accepted) << row.what;
  const auto& entries = table.Entries();
  EXPECT_EQ(entries.at("REAL").address.s_addr, ip("10.0.0.2").s_addr);
  EXPECT_FALSE(entries.count("BLANKS"));
  EXPECT_FALSE(entries.count("LOCAL1"));
  EXPECT_EQ(entries.at("SLOW").periodicity_ms, kMaxAnnouncePeriodMs);
  // Once the real computer has been silent for three periods, the name is free.
  const auto later = t0 + std::chrono::minutes(4);
  EXPECT_TRUE(table.Apply(announce("REAL"), "OFFICE", ip("10.0.0.66"), false, later));
  EXPECT_FALSE(table.Entries().count("FLOOD1"));
}

TEST(Presence, OwnComputerAndPeersComeAndGo) {
  OwnMailslot own;
  EXPECT_TRUE(WaitListed("PRESENCEHOST", true));
  Inject(Announcement("PEER1", 3, 5000), "TESTGROUP");
  Inject(Announcement("ELSEWHERE"), "OTHERGROUP");
  EXPECT_TRUE(WaitListed("PEER1", true));
  // Datagrams are handled on the carrier's thread: wait until the second one was seen.
  const auto until = std::chrono::steady_clock::now() + 3s;
  while (!PresenceKnowsWorkgroup("othergroup") && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(10ms);
  EXPECT_TRUE(PresenceKnowsWorkgroup("othergroup"));
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
  NETRESOURCEA request{RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_DOMAIN, RESOURCEUSAGE_CONTAINER,
                       nullptr, nullptr, nullptr, nullptr};
  HANDLE h = 0;
  ASSERT_EQ(WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER, &request, &h), NO_ERROR);
  DWORD count = 1, size = static_cast<DWORD>(buffer.size());
  ASSERT_EQ(WNetEnumResourceA(h, &count, buffer.data(), &size), NO_ERROR);
  ASSERT_EQ(count, 1u);
  NETRESOURCEA top;
  std::memcpy(&top, buffer.data(), sizeof top);
  EXPECT_STREQ(top.lpRemoteName, "TESTGROUP");
  EXPECT_EQ(top.dwDisplayType, RESOURCEDISPLAYTYPE_DOMAIN);
  EXPECT_STREQ(top.lpProvider, kProviderName);
  count = 1;
  EXPECT_EQ(WNetEnumResourceA(h, &count, buffer.data(), &size), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(WNetCloseEnum(h), NO_ERROR);
  EXPECT_EQ(WNetCloseEnum(h), ERROR_INVALID_HANDLE);

  std::string workgroup = top.lpRemoteName;
  top.lpRemoteName = workgroup.data();
  ASSERT_EQ(WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER, &top, &h), NO_ERROR);
  // A buffer too small for one record asks for more.
  count = 1024;
  size = 20;
  EXPECT_EQ(WNetEnumResourceA(h, &count, buffer.data(), &size), ERROR_MORE_DATA);
  EXPECT_GT(size, sizeof(NETRESOURCEA));
  // Two at a time, in name order, then the rest.
  count = 2;
  size = static_cast<DWORD>(buffer.size());
  ASSERT_EQ(WNetEnumResourceA(h, &count, buffer.data(), &size), NO_ERROR);
  ASSERT_EQ(count, 2u);
  NETRESOURCEA r;
  std::memcpy(&r, buffer.data(), sizeof r);
  EXPECT_STREQ(r.lpRemoteName, "\\\\PC0");
  EXPECT_EQ(r.dwDisplayType, RESOURCEDISPLAYTYPE_SERVER);
  EXPECT_STREQ(r.lpProvider, kProviderName);
  count = 1024;
  ASSERT_EQ(WNetEnumResourceA(h, &count, buffer.data(), &size), NO_ERROR);
  EXPECT_GE(count, 4u);  // PC2..PC4, this computer, and peers of earlier cases
  count = 1024;
  EXPECT_EQ(WNetEnumResourceA(h, &count, buffer.data(), &size), ERROR_NO_MORE_ITEMS);
  WNetCloseEnum(h);

  NETRESOURCEA unknown = top;
  std::string other = "NOSUCHGROUP";
  unknown.lpRemoteName = other.data();
  EXPECT_NE(WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER, &unknown, &h), NO_ERROR);
}
