// The settings file's two readers and its writer.
#include "settings/SettingsFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cassert>

#include "platform/net/Config.h"
#include "platform/store/IniFile.h"
#include "platform/store/Profile.h"
#include "platform/system/ProgramFolders.h"
#include "settings/SettingsKeys.h"

namespace hw {

namespace {

const char kSettingsFileName[] = "Hwire.ini";

// One reader's view of the file: every key read with that reader's fallback and flag rule.
class SettingsReader {
 public:
  SettingsReader(const std::string& path, SettingReading SettingKey::*reading) : ini_(path), reading_(reading) {}

  // No settings are stored unless the entry box's text colour is: the readers then
  // leave everything as it is.
  bool Stored() const {
    const SettingKey& key = KeyOf(Setting::kEntryForeground);
    return ini_.ReadString(key.section, key.name, "Error") != "Error";
  }
  TColor Colour(Setting setting) const {
    assert(KeyOf(setting).kind == SettingKind::kColour);
    return StringToColor(Text(setting));
  }
  std::string Text(Setting setting) const {
    const SettingKey& key = KeyOf(setting);
    return ini_.ReadString(key.section, key.name, (key.*reading_).fallback);
  }
  bool Flag(Setting setting) const {
    assert(KeyOf(setting).kind == SettingKind::kFlag);
    return (KeyOf(setting).*reading_).onUnlessFalse ? Text(setting) != kFlagOff : Text(setting) == kFlagOn;
  }

 private:
  TIniFile ini_;
  SettingReading SettingKey::*reading_;
};

void Write(TIniFile& ini, Setting setting, const std::string& text) {
  ini.WriteString(KeyOf(setting).section, KeyOf(setting).name, text);
}

void Write(TIniFile& ini, Setting setting, bool on) { Write(ini, setting, std::string(on ? kFlagOn : kFlagOff)); }

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
  const SettingsReader ini(path, &SettingKey::window);
  if (!ini.Stored()) return;
  window.SetMemoFontColor(ini.Colour(Setting::kEntryForeground));
  window.SetMemoColor(ini.Colour(Setting::kEntryBackground));
  window.SetChatWindowFontColor(ini.Colour(Setting::kChatForeground));
  window.SetChatWindowColor(ini.Colour(Setting::kChatBackground));
  window.SetPlaySound(ini.Flag(Setting::kPlaySound));
  window.SetIconizedOnly(ini.Flag(Setting::kIconizedOnly));
  window.SetUseEnter(ini.Flag(Setting::kUseEnter));
  window.SetIconizedFile(ini.Text(Setting::kIconizedFile));
  window.SetAllIncoming(ini.Text(Setting::kAllIncoming));
  window.SetOpenWindow(ini.Flag(Setting::kOpenWindow));
}

void ReadPreferences(IPreferencesControls& dialog, const std::string& path) {
  const SettingsReader ini(path, &SettingKey::dialog);
  if (!ini.Stored()) return;
  dialog.SetEntryForeground(ini.Colour(Setting::kEntryForeground));
  dialog.SetEntryBackground(ini.Colour(Setting::kEntryBackground));
  dialog.SetChatForeground(ini.Colour(Setting::kChatForeground));
  dialog.SetChatBackground(ini.Colour(Setting::kChatBackground));
  dialog.ReadAutoStart();
  dialog.SetIconIncomingText(ini.Text(Setting::kIconizedFile));
  dialog.SetAllincomingText(ini.Text(Setting::kAllIncoming));
  dialog.SetPlaySoundsChecked(ini.Flag(Setting::kPlaySound));
  dialog.SetSoundOnlyChecked(ini.Flag(Setting::kIconizedOnly));
  dialog.SetNotifyChecked(ini.Flag(Setting::kOpenWindow));
  dialog.SetUseEnterChecked(ini.Flag(Setting::kUseEnter));
}

void WritePreferences(const IPreferencesControls& dialog, const std::string& path) {
  TIniFile ini(path);
  Write(ini, Setting::kEntryForeground, ColorToString(dialog.EntryForeground()));
  Write(ini, Setting::kEntryBackground, ColorToString(dialog.EntryBackground()));
  Write(ini, Setting::kChatForeground, ColorToString(dialog.ChatForeground()));
  Write(ini, Setting::kChatBackground, ColorToString(dialog.ChatBackground()));
  Write(ini, Setting::kIconizedFile, dialog.IconIncomingText());
  Write(ini, Setting::kAllIncoming, dialog.AllincomingText());
  Write(ini, Setting::kPlaySound, dialog.PlaySoundsChecked());
  Write(ini, Setting::kIconizedOnly, dialog.SoundOnlyChecked());
  Write(ini, Setting::kOpenWindow, dialog.NotifyChecked());
  Write(ini, Setting::kUseEnter, dialog.UseEnterChecked());
  ini.UpdateFile();
}

NetworkSettings ReadNetworkSettings(const std::string& path) {
  const TIniFile ini(path);
  const auto text = [&](Setting setting) {
    const SettingKey& key = KeyOf(setting);
    return ini.ReadString(key.section, key.name, key.window.fallback);
  };
  const SettingKey& notifications = KeyOf(Setting::kDesktopNotifications);
  const bool on = ini.ReadString(notifications.section, notifications.name, notifications.window.fallback) != kFlagOff;
  return {text(Setting::kWinsServer), text(Setting::kRemoteAnnounce), on};
}

void WriteNetworkSettings(const NetworkSettings& settings, const std::string& path) {
  TIniFile ini(path);
  Write(ini, Setting::kWinsServer, settings.winsServer);
  Write(ini, Setting::kRemoteAnnounce, settings.remoteAnnounce);
  Write(ini, Setting::kDesktopNotifications, settings.desktopNotifications);
  ini.UpdateFile();
}

void ApplyNetworkSettings() {
  const NetworkSettings settings = ReadNetworkSettings(SettingsFilePath());
  platform::net::SetNetworkOverrides({settings.winsServer, settings.remoteAnnounce});
}

}  // namespace hw
