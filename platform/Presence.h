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
// HALLWIRE_ANNOUNCE_PERIOD_MS (default 60000); a computer that missed three
// periods drops out.
#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace hw::platform {

// The provider name the enumeration reports: the text of the tree's root node.
inline constexpr const char* kProviderName = "Hallwire Network";
constexpr std::size_t kMaxPresenceEntries = 1024;
// A computer announces one name, a server a few aliases.
constexpr std::size_t kMaxNamesPerSource = 4;
constexpr std::uint32_t kMinAnnouncePeriodMs = 100;
constexpr std::uint32_t kMaxAnnouncePeriodMs = 720000;  // the browser protocol's longest

struct TPresenceEntry {
  std::string name;       // computer name, upper case
  std::string workgroup;  // upper case
  std::string comment;
  in_addr address{};
  bool local = false;  // announced from an address of this computer
  std::uint32_t periodicity_ms = 0;
  std::chrono::steady_clock::time_point last_seen;
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

// The computers heard of, kept so that no single host can take the table over:
// a host other than this computer holds at most kMaxNamesPerSource names, a name
// alive at one address is not taken by another, a goodbye counts only from the
// address the name was announced from, and periods are clamped.
class TPresenceTable {
 public:
  using Clock = std::chrono::steady_clock;
  // Applies a HostAnnouncement to workgroup heard from `from` (`local`: an address
  // of this computer). False when it was refused.
  bool Apply(const THostAnnouncement& message, const std::string& workgroup, in_addr from, bool local,
             Clock::time_point now);
  void Expire(Clock::time_point now);
  void Erase(const std::string& name) { entries_.erase(name); }
  // By name, upper case.
  const std::map<std::string, TPresenceEntry>& Entries() const { return entries_; }

 private:
  std::map<std::string, TPresenceEntry> entries_;
};

// Called by the mailslot service when the process starts or stops owning mailslots.
void PresenceMailslotOpened();
void PresenceMailslotClosed();

// The computers of this workgroup now (asks the network and waits up to a second
// the first time in this process). Sorted by name.
std::vector<TPresenceEntry> PresenceComputers();
// True when name is a workgroup seen on the network (our own included).
bool PresenceKnowsWorkgroup(const std::string& name);

}  // namespace hw::platform
