// XDG autostart entries: the desktop entries that stand for the values of the registry's
// Run and RunOnce keys, so that the desktop starts their commands at login, and what the
// desktop's start-up settings make of them.
//
// Linked into a program, this file registers itself with the registry stand-in
// (hw::platform::SetRunKeyMirror) before main() runs: from then on a string value under
// "SOFTWARE\Microsoft\Windows\CurrentVersion\Run" of either root is also an entry, so the
// desktop starts its command at the next login; one under "...\RunOnce" starts it once:
// the entry deletes itself when it runs, and the value is gone from then on. Deleting
// the value removes the entry.
#pragma once

#include <optional>
#include <string>

#include "platform/store/Registry.h"

namespace hw {

// The autostart folder a root's Run and RunOnce values go to: $XDG_CONFIG_HOME/autostart/
// for HKEY_CURRENT_USER; $HALLWIRE_SYSTEM_AUTOSTART_DIR, else "autostart/" inside
// $HALLWIRE_SYSTEM_REGISTRY_DIR when that is set, else /etc/xdg/autostart/ for
// HKEY_LOCAL_MACHINE. With a trailing slash.
std::string AutostartFolder(win32::HKEY root);
// The desktop entry that stands for value valueName under Run (runOnce false) or RunOnce.
// The file name is the value name in lower case with every byte other than a-z, 0-9 and
// "-" written as "_" and two hex digits, "_once" added for RunOnce, then ".desktop".
std::string AutostartEntryFile(win32::HKEY root, bool runOnce, const std::string& valueName);

// What the desktop makes of an entry: the start-up settings of GNOME, KDE and XFCE
// disable one with Hidden=true or X-GNOME-Autostart-enabled=false, or delete it. One
// that cannot be looked at counts as enabled.
enum class AutostartEntryState { kMissing, kDisabled, kEnabled };
AutostartEntryState AutostartEntryStateOf(const std::string& entryFile);

// The user's own entry of the same name as an all-users one: it takes that one's place
// for this user.
std::string UserOverrideEntryFile(const std::string& allUsersEntryFile);

// An entry's text as it is (nothing when it cannot be read), and written back as given,
// making its folder; a failed write is ignored.
std::optional<std::string> ReadAutostartEntry(const std::string& entryFile);
void WriteAutostartEntry(const std::string& entryFile, const std::string& text);

}  // namespace hw
