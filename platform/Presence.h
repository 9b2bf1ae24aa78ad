// The presence service: computers running a copy announce themselves over the
// datagram carrier in the browser-protocol layout (HostAnnouncement and
// AnnouncementRequest to "\MAILSLOT\BROWSE"), and every copy keeps a table of the
// computers of its workgroup. The network enumeration (Mpr.h) lists that table.
//
// A process announces itself while it owns at least one local mailslot, and says
// goodbye (server type 0) when it closes the last one. The announcement period is
// HALLWIRE_ANNOUNCE_PERIOD_MS (default 60000); a computer that missed three
// periods drops out.
#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hw::platform {

// The provider name the enumeration reports: the text of the tree's root node.
inline constexpr const char* kProviderName = "Hallwire Network";
constexpr std::size_t kMaxPresenceEntries = 1024;

struct TPresenceEntry {
  std::string name;       // computer name, upper case
  std::string workgroup;  // upper case
  std::string comment;
  in_addr address{};
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
std::optional<THostAnnouncement> DecodeBrowseMessage(const std::uint8_t* bytes, std::size_t size);

// Called by the mailslot service when the process starts or stops owning mailslots.
void PresenceMailslotOpened();
void PresenceMailslotClosed();

// The computers of this workgroup now (asks the network and waits up to a second
// the first time in this process). Sorted by name.
std::vector<TPresenceEntry> PresenceComputers();
// True when name is a workgroup seen on the network (our own included).
bool PresenceKnowsWorkgroup(const std::string& name);

}  // namespace hw::platform
