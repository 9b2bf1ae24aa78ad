// The presence service: computers running a copy announce themselves over the
// datagram carrier in the browser-protocol layout (HostAnnouncement and
// AnnouncementRequest to "\MAILSLOT\BROWSE"), and every copy keeps a table of the
// computers of its workgroup. The network enumeration (Mpr.h) lists that table.
//
// A process announces its computer while it owns at least one local mailslot. When
// it closes its last one it waits a moment (a rename closes before it creates) and
// says goodbye (server type 0) only if no program on the computer owns a mailslot
// any longer; a process that ends with the goodbye still due sends it on its way
// out. The process also answers name queries for the computer while it owns a
// mailslot, if no other program here does. The announcement period is
// HALLWIRE_ANNOUNCE_PERIOD_MS (default and longest 60000); a computer that missed
// three periods drops out, so one announcement holds a name for 3 minutes at most.
#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace hw::platform::net {

// The provider name the enumeration reports: the text of the tree's root node.
inline constexpr const char* kProviderName = "Hallwire Network";
// Room for a LAN of many thousand computers; against a flood of invented names the
// per-host cap below means filling it takes 4,096 addresses, and then a new name
// replaces the one silent longest.
constexpr std::size_t kMaxPresenceEntries = 16384;
// A computer announces one name, a server a few aliases.
constexpr std::size_t kMaxNamesPerSource = 4;
constexpr std::uint32_t kMinAnnouncePeriodMs = 100;
// The longest period honoured (the browser protocol allows 12 minutes): whatever a
// host announces, its name lapses three of these after its last announcement.
constexpr std::uint32_t kMaxAnnouncePeriodMs = 60000;
constexpr int kHeldPeriods = 3;

struct TPresenceEntry {
  std::string name;       // computer name, upper case
  std::string workgroup;  // upper case
  std::string comment;
  in_addr address{};
  bool local = false;  // announced from an address of this computer
  std::uint32_t periodicity_ms = 0;
  std::chrono::steady_clock::time_point last_seen;
  // Announcements heard from `address` (counted to 2), or 2 once the name service
  // confirmed it: one datagram alone never routes a message (see Resolve).
  std::uint8_t heard = 0;
  // A second address that announces the name while this one's hold lives: the name
  // is disputed until one of them lapses; presence never settles it in silence.
  std::optional<in_addr> rival;
  bool rival_local = false;
  bool rival_pending = false;  // being checked as a move (a new address of the holder)
  std::uint32_t rival_periodicity_ms = 0;
  std::chrono::steady_clock::time_point rival_last_seen;
};

struct THostAnnouncement {
  std::uint8_t opcode = 1;  // 1 HostAnnouncement, 2 AnnouncementRequest
  std::uint8_t update_count = 0;
  std::uint32_t periodicity_ms = 0;
  std::string server_name;
  std::uint8_t os_major = 6, os_minor = 1;
  std::uint32_t server_type = 0;
  std::string comment;  // HostAnnouncement; for a request: the response name
};

constexpr std::uint32_t kServerTypeWorkstation = 0x00000001;
constexpr std::uint32_t kServerTypeServer = 0x00000002;

std::vector<std::uint8_t> EncodeBrowseMessage(const THostAnnouncement& message);
// Parses a browser message; nullopt (and the drop counted) when it is not a
// well-formed HostAnnouncement or AnnouncementRequest.
std::optional<THostAnnouncement> DecodeBrowseMessage(const std::uint8_t* bytes, std::size_t size);
std::uint64_t BrowseMessagesDropped();

// The longest a computer waits, at random, before it answers an AnnouncementRequest
// when it knows of `computers` computers: 7 ms for each, at least 0.5 s, at most 30 s,
// so that a LAN of up to 4,000 computers answers at about 140 datagrams a second.
std::chrono::milliseconds AnswerDelayBound(std::size_t computers);

// The computers heard of, kept so that no single host can take the table over:
// a host other than this computer holds at most kMaxNamesPerSource names, a name
// alive at one address is not taken by another (a second address is kept as its
// rival, and the name is disputed), a goodbye counts only from the address that
// announced it, and periods are clamped.
class TPresenceTable {
 public:
  using Clock = std::chrono::steady_clock;
  // Applies a HostAnnouncement to workgroup heard from `from` (`local`: an address
  // of this computer). False when it was refused.
  bool Apply(const THostAnnouncement& message, const std::string& workgroup, in_addr from, bool local,
             Clock::time_point now);
  void Expire(Clock::time_point now);
  void Erase(const std::string& name);
  // The addresses that hold name now: none, one, or two when it is disputed (a rival
  // being checked as a move does not count yet).
  std::vector<in_addr> Claimants(const std::string& name, Clock::time_point now) const;
  void SetRivalPending(const std::string& name, bool pending);
  void Confirm(const std::string& name);
  // By name, upper case.
  const std::map<std::string, TPresenceEntry>& Entries() const { return entries_; }

 private:
  using TEntries = std::map<std::string, TPresenceEntry>;
  TEntries::iterator Remove(TEntries::iterator it);
  // Drops a lapsed rival, and hands a lapsed holder's name to a live rival; end()
  // when the name lapsed altogether.
  TEntries::iterator Age(TEntries::iterator it, Clock::time_point now);
  void Promote(TPresenceEntry& entry);
  void Count(const TPresenceEntry& entry, int change);

  TEntries entries_;
  // What a table of thousands must not search on every announcement: who was silent
  // longest, and how many names each other host holds.
  std::set<std::pair<Clock::time_point, std::string>> by_last_seen_;
  std::unordered_map<std::uint32_t, std::size_t> names_per_source_;
  Clock::time_point last_sweep_{};
};

// Starts this process's presence service: from then on it follows the process's mailslot
// ownership through the carrier (SetOnMailslotOpened, SetOnMailslotClosed). The mailslot
// calls start it before the first mailslot is created; later calls do nothing.
void StartPresenceService();
// Called when this computer's interfaces changed; with a new address the computer
// announces itself at once and asks the others to announce themselves.
void PresenceInterfacesChanged(bool new_address);

// The computers of this workgroup now (asks the network and waits up to a second
// the first time in this process). Sorted by name.
std::vector<TPresenceEntry> PresenceComputers();
// True when name is a workgroup seen on the network (our own included).
bool PresenceKnowsWorkgroup(const std::string& name);

// A line verified with the key pinned for computer_name came from address: when two
// addresses dispute that name, this one is taken. Kept for an hour after the last.
void VouchForAddress(const std::string& computer_name, in_addr address);
// The address last vouched for computer_name within that hour, if any.
std::optional<in_addr> VouchedAddress(const std::string& computer_name);

}  // namespace hw::platform::net
