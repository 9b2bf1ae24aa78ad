// The settings file "Hwire.ini": the main window's reader (applying
// the settings), the preferences dialog's reader and its writer. Each works on a small
// interface that the Qt windows implement, so the algorithms run headless as well.
#pragma once

#include <string>

#include "settings/Colors.h"

namespace hw {

// The settings file: an existing per-user "Hwire.ini" in ProfileFolder(); else
// "Hwire.ini" beside the running executable when that folder is writable and not part
// of an installed tree (a build tree, a copy of it in the user's folders); else the
// per-user one.
std::string SettingsFilePath();
// The same rule for the given folders (each with a trailing slash).
std::string SettingsFilePathFor(const std::string& programFolder, const std::string& userFolder);

// What applying the settings changes in the main window.
class ISettingsWindow {
 public:
  virtual ~ISettingsWindow() = default;
  // Text and background colour of the entry box `Memo`.
  virtual void SetMemoFontColor(TColor color) = 0;
  virtual void SetMemoColor(TColor color) = 0;
  // Text and background colour of the chat box `ChatWindow`.
  virtual void SetChatWindowFontColor(TColor color) = 0;
  virtual void SetChatWindowColor(TColor color) = 0;
  // The settings values of the window state.
  virtual void SetPlaySound(bool on) = 0;
  virtual void SetIconizedOnly(bool on) = 0;
  virtual void SetUseEnter(bool on) = 0;
  virtual void SetIconizedFile(const std::string& fileName) = 0;
  virtual void SetAllIncoming(const std::string& fileName) = 0;
  virtual void SetOpenWindow(bool on) = 0;
};

// The preferences dialog's controls that the settings file fills and is written from.
class IPreferencesControls {
 public:
  virtual ~IPreferencesControls() = default;
  // Current colours of the four colour lists.
  virtual TColor EntryForeground() const = 0;  // ccEWforgrnd
  virtual void SetEntryForeground(TColor color) = 0;
  virtual TColor EntryBackground() const = 0;  // ccEWBckgrnd
  virtual void SetEntryBackground(TColor color) = 0;
  virtual TColor ChatForeground() const = 0;  // ccCWforgrnd
  virtual void SetChatForeground(TColor color) = 0;
  virtual TColor ChatBackground() const = 0;  // ccCWbckgrnd
  virtual void SetChatBackground(TColor color) = 0;
  // Texts of the two sound file edits.
  virtual std::string IconIncomingText() const = 0;  // IconIncoming
  virtual void SetIconIncomingText(const std::string& text) = 0;
  virtual std::string AllincomingText() const = 0;  // Allincoming
  virtual void SetAllincomingText(const std::string& text) = 0;
  // Checked states of the four option boxes.
  virtual bool PlaySoundsChecked() const = 0;  // ckPlaySounds
  virtual void SetPlaySoundsChecked(bool checked) = 0;
  virtual bool SoundOnlyChecked() const = 0;  // ckSoundOnly
  virtual void SetSoundOnlyChecked(bool checked) = 0;
  virtual bool NotifyChecked() const = 0;  // ckNotify
  virtual void SetNotifyChecked(bool checked) = 0;
  virtual bool UseEnterChecked() const = 0;  // ckUseEnter
  virtual void SetUseEnterChecked(bool checked) = 0;
  // Sets ckAutoStart from the autostart component's (freshly read) registration.
  virtual void ReadAutoStart() = 0;
};

// The main window's reader. Does nothing when no settings are stored; otherwise sets
// every colour and value in order. A colour text that does not convert throws
// EConvertError and leaves the later keys unread.
void ApplySettings(ISettingsWindow& window, const std::string& path);
void ApplySettings(ISettingsWindow& window);  // at SettingsFilePath()

// The dialog's reader, run once when the dialog is created; same stop rules.
void ReadPreferences(IPreferencesControls& dialog, const std::string& path);

// The writer (OK and Apply): writes all ten keys in order, then commits. Throws
// EIniFileException ("Unable to write to <path>") at the first refused key.
void WritePreferences(const IPreferencesControls& dialog, const std::string& path);

// The [Network] section: the user's WINS servers and remote announce targets, texts as
// the user gave them (empty: not set); and, set on the same page, whether messages that
// arrive while the window is hidden show a desktop notification ([Desktop]).
struct NetworkSettings {
  std::string winsServer;
  std::string remoteAnnounce;
  bool desktopNotifications = true;
};
NetworkSettings ReadNetworkSettings(const std::string& path);
// Writes its keys (an empty text: not set), then commits. Throws like the writer.
void WriteNetworkSettings(const NetworkSettings& settings, const std::string& path);
// Hands the [Network] section at SettingsFilePath() to the platform's configuration:
// the programs call this at start, before they use the network.
void ApplyNetworkSettings();

}  // namespace hw
