// The settings file's two readers and its writer.
#include "settings/SettingsFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/IniFile.h"
#include "platform/Profile.h"
#include "platform/ProgramFolders.h"

namespace hw {

namespace {

const char kEntryWindow[] = "EntryWindow";
const char kChatWindow[] = "ChatWindow";
const char kSoundOptions[] = "SoundOptions";
const char kNotify[] = "Notify";
const char kKeyboard[] = "Keyboard";
const char kForeground[] = "Foreground";
const char kBackground[] = "Background";

const char kSettingsFileName[] = "Hwire.ini";

const char kTrue[] = "True";
const char kFalse[] = "False";

// No settings are stored unless the entry box's text colour is: the readers then
// leave everything as it is.
bool SettingsStored(const TIniFile& ini) { return ini.ReadString(kEntryWindow, kForeground, "Error") != "Error"; }

const char* BoolText(bool on) { return on ? kTrue : kFalse; }

}  // namespace

std::string SettingsFilePathFor(const std::string& programFolder, const std::string& userFolder) {
  const std::string user_file = userFolder + kSettingsFileName;
  struct stat st;
  // A per-user file, once there, always wins: a program folder that later becomes
  // writable (an administrator's copy, a changed mount) must not hide it.
  if (::lstat(user_file.c_str(), &st) == 0) return user_file;
  // An installed program keeps it per user even where it could write beside itself
  // (root, a prefix in the user's home): a package's folders are not a user's files.
  const bool installed = DataFolderFor(programFolder) != programFolder;
  if (!installed && ::access(programFolder.c_str(), W_OK) == 0) return programFolder + kSettingsFileName;
  return user_file;
}

std::string SettingsFilePath() { return SettingsFilePathFor(ProgramFolder(), ProfileFolder()); }

void ApplySettings(ISettingsWindow& window) { ApplySettings(window, SettingsFilePath()); }

void ApplySettings(ISettingsWindow& window, const std::string& path) {
  TIniFile ini(path);
  if (!SettingsStored(ini)) return;
  window.SetMemoFontColor(StringToColor(ini.ReadString(kEntryWindow, kForeground, "$FFFFFF")));
  window.SetMemoColor(StringToColor(ini.ReadString(kEntryWindow, kBackground, "$00FFFF")));
  window.SetChatWindowFontColor(StringToColor(ini.ReadString(kChatWindow, kForeground, "$00FF00")));
  window.SetChatWindowColor(StringToColor(ini.ReadString(kChatWindow, kBackground, "$FFFFFF")));
  window.SetPlaySound(ini.ReadString(kSoundOptions, "PlaySound", "") == kTrue);
  window.SetIconizedOnly(ini.ReadString(kSoundOptions, "IconizedOnly", "") == kTrue);
  window.SetUseEnter(ini.ReadString(kKeyboard, "UseEnter", "") == kTrue);
  window.SetIconizedFile(ini.ReadString(kSoundOptions, "IconizedFile", ""));
  window.SetAllIncoming(ini.ReadString(kSoundOptions, "AllIncoming", ""));
  window.SetOpenWindow(ini.ReadString(kNotify, "OpenWindow", kFalse) != kFalse);
}

void ReadPreferences(IPreferencesControls& dialog, const std::string& path) {
  TIniFile ini(path);
  if (!SettingsStored(ini)) return;
  dialog.SetEntryForeground(StringToColor(ini.ReadString(kEntryWindow, kForeground, "$FFFFFF")));
  dialog.SetEntryBackground(StringToColor(ini.ReadString(kEntryWindow, kBackground, "$00FFFF")));
  dialog.SetChatForeground(StringToColor(ini.ReadString(kChatWindow, kForeground, "$00FF00")));
  dialog.SetChatBackground(StringToColor(ini.ReadString(kChatWindow, kBackground, "$FFFFFF")));
  dialog.ReadAutoStart();
  dialog.SetIconIncomingText(ini.ReadString(kSoundOptions, "Iconizedfile", "ring.wav"));
  dialog.SetAllincomingText(ini.ReadString(kSoundOptions, "AllIncoming", "ring.wav"));
  const std::string play_sound = ini.ReadString(kSoundOptions, "PlaySound", kTrue);
  const std::string iconized_only = ini.ReadString(kSoundOptions, "IconizedOnly", kTrue);
  const std::string open_window = ini.ReadString(kNotify, "OpenWindow", kFalse);
  const std::string use_enter = ini.ReadString(kKeyboard, "UseEnter", kFalse);
  dialog.SetPlaySoundsChecked(play_sound == kTrue);
  dialog.SetSoundOnlyChecked(iconized_only == kTrue);
  dialog.SetNotifyChecked(open_window != kFalse);
  dialog.SetUseEnterChecked(use_enter != kFalse);
}

void WritePreferences(const IPreferencesControls& dialog, const std::string& path) {
  TIniFile ini(path);
  ini.WriteString(kEntryWindow, kForeground, ColorToString(dialog.EntryForeground()));
  ini.WriteString(kEntryWindow, kBackground, ColorToString(dialog.EntryBackground()));
  ini.WriteString(kChatWindow, kForeground, ColorToString(dialog.ChatForeground()));
  ini.WriteString(kChatWindow, kBackground, ColorToString(dialog.ChatBackground()));
  ini.WriteString(kSoundOptions, "Iconizedfile", dialog.IconIncomingText());
  ini.WriteString(kSoundOptions, "AllIncoming", dialog.AllincomingText());
  ini.WriteString(kSoundOptions, "PlaySound", BoolText(dialog.PlaySoundsChecked()));
  ini.WriteString(kSoundOptions, "IconizedOnly", BoolText(dialog.SoundOnlyChecked()));
  ini.WriteString(kNotify, "OpenWindow", BoolText(dialog.NotifyChecked()));
  ini.WriteString(kKeyboard, "UseEnter", BoolText(dialog.UseEnterChecked()));
  ini.UpdateFile();
}

}  // namespace hw
