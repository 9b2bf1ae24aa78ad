// The keys of the settings file "Hwire.ini", declared once: where each lies, what it
// holds and what each of the two readers takes when it is missing. The readers and
// the writers (SettingsFile.cpp) go through this table only. The first ten are the
// preferences the dialog's writer writes; the [Network] keys and [Desktop] Notifications
// have a reader and writer of their own.
#pragma once

#include <cstddef>
#include <iterator>

namespace hw {

// The flag texts the writer writes.
constexpr char kFlagOn[] = "True";
constexpr char kFlagOff[] = "False";

enum class SettingKind { kColour, kFileName, kFlag, kText };

// How one reader takes a key: the text it reads when the key is missing and, for a
// flag, whether any text but "False" counts as on (else only "True" does).
struct SettingReading {
  const char* fallback;
  bool onUnlessFalse;
};

struct SettingKey {
  const char* section;
  const char* name;  // as the writer spells it; reading ignores letter case
  SettingKind kind;
  SettingReading window;  // the main window's reader (ApplySettings)
  SettingReading dialog;  // the preferences dialog's reader (ReadPreferences)
};

// In the order the writer writes them.
enum class Setting {
  kEntryForeground,
  kEntryBackground,
  kChatForeground,
  kChatBackground,
  kIconizedFile,
  kAllIncoming,
  kPlaySound,
  kIconizedOnly,
  kOpenWindow,
  kUseEnter,
  // [Network]: the user's own network settings, taken before the environment and smb.conf.
  kWinsServer,
  kRemoteAnnounce,
  // [Desktop]: written with the [Network] keys by the same page.
  kDesktopNotifications,
};

inline constexpr SettingKey kSettingKeys[] = {
    {"EntryWindow", "Foreground", SettingKind::kColour, {"$FFFFFF", false}, {"$FFFFFF", false}},
    {"EntryWindow", "Background", SettingKind::kColour, {"$00FFFF", false}, {"$00FFFF", false}},
    {"ChatWindow", "Foreground", SettingKind::kColour, {"$00FF00", false}, {"$00FF00", false}},
    {"ChatWindow", "Background", SettingKind::kColour, {"$FFFFFF", false}, {"$FFFFFF", false}},
    {"SoundOptions", "Iconizedfile", SettingKind::kFileName, {"", false}, {"ring.wav", false}},
    {"SoundOptions", "AllIncoming", SettingKind::kFileName, {"", false}, {"ring.wav", false}},
    {"SoundOptions", "PlaySound", SettingKind::kFlag, {"", false}, {kFlagOn, false}},
    {"SoundOptions", "IconizedOnly", SettingKind::kFlag, {"", false}, {kFlagOn, false}},
    {"Notify", "OpenWindow", SettingKind::kFlag, {kFlagOff, true}, {kFlagOff, true}},
    {"Keyboard", "UseEnter", SettingKind::kFlag, {"", false}, {kFlagOff, true}},
    {"Network", "WinsServer", SettingKind::kText, {"", false}, {"", false}},
    {"Network", "RemoteAnnounce", SettingKind::kText, {"", false}, {"", false}},
    {"Desktop", "Notifications", SettingKind::kFlag, {kFlagOn, true}, {kFlagOn, true}},
};
static_assert(std::size(kSettingKeys) == static_cast<std::size_t>(Setting::kDesktopNotifications) + 1);

constexpr const SettingKey& KeyOf(Setting setting) { return kSettingKeys[static_cast<std::size_t>(setting)]; }

}  // namespace hw
