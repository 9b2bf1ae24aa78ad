// The settings file's readers and writer against recording stand-ins for the main
// window and the preferences dialog.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/store/IniFile.h"
#include "platform/store/Profile.h"
#include "platform/system/ProgramFolders.h"
#include "settings/SettingsFile.h"
#include "tests/support/TestSupport.h"

using namespace hw;
using hw::test::ReadFile;
using hw::test::TempDir;
using hw::test::WriteFile;

namespace {

// The main window with its design colours and start values.
struct FakeWindow : ISettingsWindow {
  std::vector<std::string> calls;
  TColor memo_font = clWindowText, memo = clWindow, chat_font = clWhite, chat = clBlack;
  bool play_sound = false, iconized_only = false, use_enter = false, open_window = false;
  std::string iconized_file, all_incoming;

  void SetMemoFontColor(TColor c) override { calls.push_back("MemoFont"), memo_font = c; }
  void SetMemoColor(TColor c) override { calls.push_back("Memo"), memo = c; }
  void SetChatWindowFontColor(TColor c) override { calls.push_back("ChatFont"), chat_font = c; }
  void SetChatWindowColor(TColor c) override { calls.push_back("Chat"), chat = c; }
  void SetPlaySound(bool on) override { calls.push_back("PlaySound"), play_sound = on; }
  void SetIconizedOnly(bool on) override { calls.push_back("IconizedOnly"), iconized_only = on; }
  void SetUseEnter(bool on) override { calls.push_back("UseEnter"), use_enter = on; }
  void SetIconizedFile(const std::string& f) override { calls.push_back("IconizedFile"), iconized_file = f; }
  void SetAllIncoming(const std::string& f) override { calls.push_back("AllIncoming"), all_incoming = f; }
  void SetOpenWindow(bool on) override { calls.push_back("OpenWindow"), open_window = on; }

  void AllOn() { play_sound = iconized_only = use_enter = open_window = true; }
};

// The preferences dialog in its design state.
struct FakeDialog : IPreferencesControls {
  std::vector<std::string> calls;
  TColor ew_fore = clBlack, ew_back = clWhite, cw_fore = clLime, cw_back = clBlack;
  std::string icon_incoming, all_incoming;
  bool play_sounds = false, sound_only = false, notify = false, use_enter = false;
  int autostart_reads = 0;

  TColor EntryForeground() const override { return ew_fore; }
  void SetEntryForeground(TColor c) override { calls.push_back("EWfore"), ew_fore = c; }
  TColor EntryBackground() const override { return ew_back; }
  void SetEntryBackground(TColor c) override { calls.push_back("EWback"), ew_back = c; }
  TColor ChatForeground() const override { return cw_fore; }
  void SetChatForeground(TColor c) override { calls.push_back("CWfore"), cw_fore = c; }
  TColor ChatBackground() const override { return cw_back; }
  void SetChatBackground(TColor c) override { calls.push_back("CWback"), cw_back = c; }
  std::string IconIncomingText() const override { return icon_incoming; }
  void SetIconIncomingText(const std::string& t) override { calls.push_back("IconIncoming"), icon_incoming = t; }
  std::string AllincomingText() const override { return all_incoming; }
  void SetAllincomingText(const std::string& t) override { calls.push_back("Allincoming"), all_incoming = t; }
  bool PlaySoundsChecked() const override { return play_sounds; }
  void SetPlaySoundsChecked(bool c) override { calls.push_back("ckPlaySounds"), play_sounds = c; }
  bool SoundOnlyChecked() const override { return sound_only; }
  void SetSoundOnlyChecked(bool c) override { calls.push_back("ckSoundOnly"), sound_only = c; }
  bool NotifyChecked() const override { return notify; }
  void SetNotifyChecked(bool c) override { calls.push_back("ckNotify"), notify = c; }
  bool UseEnterChecked() const override { return use_enter; }
  void SetUseEnterChecked(bool c) override { calls.push_back("ckUseEnter"), use_enter = c; }
  void ReadAutoStart() override { calls.push_back("ckAutoStart"), ++autostart_reads; }
};

const char kAllKeys[] =
    "[EntryWindow]\nForeground=clNavy\nBackground=clSilver\n\n"
    "[ChatWindow]\nForeground=clMaroon\nBackground=clTeal\n\n"
    "[SoundOptions]\nIconizedfile=hidden.wav\nAllIncoming=shown.wav\nPlaySound=True\nIconizedOnly=False\n\n"
    "[Notify]\nOpenWindow=True\n\n"
    "[Keyboard]\nUseEnter=True\n";

std::string Message(const std::function<void()>& f) {
  try {
    f();
  } catch (const hw::Exception& e) {
    return e.what();
  }
  return "(no error)";
}

}  // namespace

TEST(SettingsPath, IsHwireIniBesideTheExecutable) {
  char exe[PATH_MAX] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  std::string folder(exe);
  folder.erase(folder.rfind('/') + 1);
  EXPECT_EQ(SettingsFilePath(), folder + "Hwire.ini");
}

// Where the file lies: an existing per-user file wins, then a writable program folder
// outside an installed tree, then the per-user folder. A missing program folder stands in for one the user may
// not write (these tests may run as root, who may write anywhere).
TEST(SettingsPath, PerUserFileWhenPresentOrWhenTheProgramFolderIsNotWritable) {
  TempDir dir;
  const std::string program = dir.File("bin") + "/", user = dir.File("user") + "/";
  mkdir(program.c_str(), 0755);
  mkdir(user.c_str(), 0700);
  EXPECT_EQ(SettingsFilePathFor(program, user), program + "Hwire.ini");
  EXPECT_EQ(SettingsFilePathFor(dir.File("missing") + "/", user), user + "Hwire.ini");
  std::system(("mkdir -p '" + dir.File("usr/bin") + "' '" + dir.File("usr/share/hallwire") + "'").c_str());
  EXPECT_EQ(SettingsFilePathFor(dir.File("usr/bin") + "/", user), user + "Hwire.ini");  // installed, though writable
  WriteFile(user + "Hwire.ini", "");
  EXPECT_EQ(SettingsFilePathFor(program, user), user + "Hwire.ini");
}

// The writer makes the per-user folder of an installed program on its first OK.
TEST(SettingsPath, WriterMakesThePerUserFolder) {
  const std::string path = ProfileFolder() + "Hwire.ini";
  std::remove(path.c_str());
  rmdir(ProfileFolder().c_str());
  TIniFile ini(path);
  ini.WriteString("Keyboard", "UseEnter", "True");
  ini.UpdateFile();
  EXPECT_EQ(ReadFile(path), "[Keyboard]\nUseEnter=True\n");
  std::remove(path.c_str());
}

TEST(DataFolder, ShareFolderOfAnInstalledTreeElseTheProgramFolder) {
  TempDir dir;
  const std::string build = dir.File("build/bin") + "/", prefix = dir.File("usr") + "/";
  for (const std::string& folder : {build, prefix + "bin/", prefix + "share/hallwire/"})
    std::system(("mkdir -p '" + folder + "'").c_str());
  EXPECT_EQ(DataFolderFor(build), build);
  EXPECT_EQ(DataFolderFor(prefix + "bin/"), prefix + "share/hallwire/");
}

// --- nothing stored ------------------------------------------------------------------------

TEST(SettingsSentinel, NoFileOrErrorTextChangesNothing) {
  TempDir dir;
  for (const std::string& content : {std::string("(no file)"), std::string("[EntryWindow]\nForeground=Error\n") + kAllKeys,
                                    std::string("[EntryWindow]\nBackground=clRed\n[Keyboard]\nUseEnter=True\n"),
                                    std::string("[entrywindow]\nforeground=\"Error\"\n")}) {
    const std::string path = dir.File("Hwire.ini");
    if (content == "(no file)")
      unlink(path.c_str());
    else
      WriteFile(path, content);
    FakeWindow window;
    FakeDialog dialog;
    ApplySettings(window, path);
    ReadPreferences(dialog, path);
    EXPECT_TRUE(window.calls.empty()) << content;
    EXPECT_TRUE(dialog.calls.empty()) << content;  // ckAutoStart is left alone as well
    EXPECT_EQ(window.chat_font, clWhite);
    EXPECT_EQ(window.chat, clBlack);
    EXPECT_EQ(window.memo, clWindow);
  }
  // The check is exact: "error" in lower case counts as stored settings (and is no colour).
  WriteFile(dir.File("Hwire.ini"), "[EntryWindow]\nForeground=error\n");
  FakeWindow window;
  EXPECT_EQ(Message([&] { ApplySettings(window, dir.File("Hwire.ini")); }), "'error' is not a valid integer value");
}

// --- the main window's reader ---------------------------------------------------------------

TEST(ApplySettings, ReadsEveryKeyInOrder) {
  TempDir dir;
  WriteFile(dir.File("Hwire.ini"), kAllKeys);
  FakeWindow window;
  ApplySettings(window, dir.File("Hwire.ini"));
  EXPECT_EQ(window.calls, (std::vector<std::string>{"MemoFont", "Memo", "ChatFont", "Chat", "PlaySound",
                                                    "IconizedOnly", "UseEnter", "IconizedFile", "AllIncoming",
                                                    "OpenWindow"}));
  EXPECT_EQ(window.memo_font, clNavy);
  EXPECT_EQ(window.memo, clSilver);
  EXPECT_EQ(window.chat_font, clMaroon);
  EXPECT_EQ(window.chat, clTeal);
  EXPECT_TRUE(window.play_sound);
  EXPECT_FALSE(window.iconized_only);
  EXPECT_TRUE(window.use_enter);
  EXPECT_TRUE(window.open_window);
  EXPECT_EQ(window.iconized_file, "hidden.wav");
  EXPECT_EQ(window.all_incoming, "shown.wav");
}

TEST(ApplySettings, OnlyTheEntryForegroundStoredGivesTheMainWindowDefaults) {
  TempDir dir;
  WriteFile(dir.File("Hwire.ini"), "[EntryWindow]\nForeground=$00C08040\n");
  FakeWindow window;
  window.AllOn();
  window.iconized_file = window.all_incoming = "old.wav";
  ApplySettings(window, dir.File("Hwire.ini"));
  EXPECT_EQ(window.memo_font, 0x00C08040u);
  EXPECT_EQ(window.memo, clYellow);
  EXPECT_EQ(window.chat_font, clLime);
  EXPECT_EQ(window.chat, clWhite);
  // Every value is assigned both ways: the defaults switch the booleans off again.
  EXPECT_FALSE(window.play_sound);
  EXPECT_FALSE(window.iconized_only);
  EXPECT_FALSE(window.use_enter);
  EXPECT_FALSE(window.open_window);
  EXPECT_EQ(window.iconized_file, "");
  EXPECT_EQ(window.all_incoming, "");
}

TEST(ApplySettings, BooleansAreExactWordsAndNamesIgnoreCase) {
  TempDir dir;
  WriteFile(dir.File("Hwire.ini"),
            "[ENTRYWINDOW]\nFOREGROUND=clred\n"
            "[soundoptions]\nplaysound=true\nICONIZEDONLY=True\nICONIZEDFILE=  \"C:\\My Sounds\\a b.wav\"  \n"
            "allincoming='x y.wav'\n"
            "[notify]\nopenwindow=false\n[keyboard]\nuseenter=yes\n");
  FakeWindow window;
  ApplySettings(window, dir.File("Hwire.ini"));
  EXPECT_EQ(window.memo_font, clRed);
  EXPECT_FALSE(window.play_sound);  // "true" is not "True"
  EXPECT_TRUE(window.iconized_only);
  EXPECT_FALSE(window.use_enter);   // "yes" is not "True"
  EXPECT_TRUE(window.open_window);  // anything but "False" is on
  EXPECT_EQ(window.iconized_file, "C:\\My Sounds\\a b.wav");
  EXPECT_EQ(window.all_incoming, "x y.wav");
}

TEST(ApplySettings, BadColourStopsTheReaderAtThatKey) {
  TempDir dir;
  std::string content = kAllKeys;
  content.replace(content.find("clTeal"), 6, "teal");
  WriteFile(dir.File("Hwire.ini"), content);
  FakeWindow window;
  window.AllOn();
  EXPECT_EQ(Message([&] { ApplySettings(window, dir.File("Hwire.ini")); }), "'teal' is not a valid integer value");
  EXPECT_EQ(window.calls, (std::vector<std::string>{"MemoFont", "Memo", "ChatFont"}));
  EXPECT_EQ(window.chat, clBlack);
  EXPECT_TRUE(window.open_window && window.use_enter && window.play_sound && window.iconized_only);

  // An empty colour text fails too, with nothing between the apostrophes.
  WriteFile(dir.File("Hwire.ini"), "[EntryWindow]\nForeground=\n");
  FakeWindow second;
  EXPECT_EQ(Message([&] { ApplySettings(second, dir.File("Hwire.ini")); }), "'' is not a valid integer value");
  EXPECT_TRUE(second.calls.empty());
}

TEST(ApplySettings, LongValuesAreCutTo2047Characters) {
  TempDir dir;
  std::string name = "/sounds/" + std::string(3000, 'n') + ".wav";
  WriteFile(dir.File("Hwire.ini"), "[EntryWindow]\nForeground=clRed\n[SoundOptions]\nAllIncoming=" + name + "\n");
  FakeWindow window;
  ApplySettings(window, dir.File("Hwire.ini"));
  EXPECT_EQ(window.all_incoming, name.substr(0, 2047));
}

// --- the dialog's reader ------------------------------------------------------------------

TEST(ReadPreferences, ReadsEveryControlInOrder) {
  TempDir dir;
  WriteFile(dir.File("Hwire.ini"), kAllKeys);
  FakeDialog dialog;
  ReadPreferences(dialog, dir.File("Hwire.ini"));
  EXPECT_EQ(dialog.calls,
            (std::vector<std::string>{"EWfore", "EWback", "CWfore", "CWback", "ckAutoStart", "IconIncoming",
                                      "Allincoming", "ckPlaySounds", "ckSoundOnly", "ckNotify", "ckUseEnter"}));
  EXPECT_EQ(dialog.ew_fore, clNavy);
  EXPECT_EQ(dialog.ew_back, clSilver);
  EXPECT_EQ(dialog.cw_fore, clMaroon);
  EXPECT_EQ(dialog.cw_back, clTeal);
  EXPECT_EQ(dialog.icon_incoming, "hidden.wav");
  EXPECT_EQ(dialog.all_incoming, "shown.wav");
  EXPECT_TRUE(dialog.play_sounds);
  EXPECT_FALSE(dialog.sound_only);
  EXPECT_TRUE(dialog.notify);
  EXPECT_TRUE(dialog.use_enter);
}

TEST(ReadPreferences, OnlyTheEntryForegroundStoredGivesTheDialogDefaults) {
  TempDir dir;
  WriteFile(dir.File("Hwire.ini"), "[EntryWindow]\nForeground=clWhite\n");
  FakeDialog dialog;
  ReadPreferences(dialog, dir.File("Hwire.ini"));
  EXPECT_EQ(dialog.ew_fore, clWhite);
  EXPECT_EQ(dialog.ew_back, clYellow);
  EXPECT_EQ(dialog.cw_fore, clLime);
  EXPECT_EQ(dialog.cw_back, clWhite);
  EXPECT_EQ(dialog.autostart_reads, 1);
  EXPECT_EQ(dialog.icon_incoming, "ring.wav");
  EXPECT_EQ(dialog.all_incoming, "ring.wav");
  EXPECT_TRUE(dialog.play_sounds);
  EXPECT_TRUE(dialog.sound_only);
  EXPECT_FALSE(dialog.notify);
  EXPECT_FALSE(dialog.use_enter);
}

TEST(ReadPreferences, BooleanTestsDifferFromTheMainWindows) {
  TempDir dir;
  WriteFile(dir.File("Hwire.ini"),
            "[EntryWindow]\nForeground=clWhite\n[SoundOptions]\nPlaySound=true\nIconizedOnly=TRUE\n"
            "ICONIZEDFILE=\"C:\\a b.wav\"\n[Notify]\nOpenWindow=false\n[Keyboard]\nUseEnter=yes\n");
  FakeDialog dialog;
  ReadPreferences(dialog, dir.File("Hwire.ini"));
  EXPECT_FALSE(dialog.play_sounds);
  EXPECT_FALSE(dialog.sound_only);
  EXPECT_TRUE(dialog.notify);
  EXPECT_TRUE(dialog.use_enter);  // checked unless exactly "False"
  EXPECT_EQ(dialog.icon_incoming, "C:\\a b.wav");
}

TEST(ReadPreferences, BadColourStopsBeforeTheAutostartBoxAndTheRest) {
  TempDir dir;
  std::string content = kAllKeys;
  content.replace(content.find("clSilver"), 8, "$1234567890");
  WriteFile(dir.File("Hwire.ini"), content);
  FakeDialog dialog;
  EXPECT_EQ(Message([&] { ReadPreferences(dialog, dir.File("Hwire.ini")); }),
            "'$1234567890' is not a valid integer value");
  EXPECT_EQ(dialog.calls, std::vector<std::string>{"EWfore"});
  EXPECT_EQ(dialog.autostart_reads, 0);
  EXPECT_EQ(dialog.ew_back, clWhite);
}

// --- the writer -------------------------------------------------------------------------------

TEST(WritePreferences, WritesAllTenKeys) {
  TempDir dir;
  const std::string path = dir.File("Hwire.ini");
  FakeDialog dialog;
  dialog.ew_back = 0x00C08040;
  dialog.icon_incoming = "\"/home/anna/my sounds/ring.wav\"";
  dialog.all_incoming = "ring.wav";
  dialog.notify = true;
  WritePreferences(dialog, path);
  EXPECT_EQ(ReadFile(path),
            "[EntryWindow]\nForeground=clBlack\nBackground=$00C08040\n\n"
            "[ChatWindow]\nForeground=clLime\nBackground=clBlack\n\n"
            "[SoundOptions]\nIconizedfile=\"/home/anna/my sounds/ring.wav\"\nAllIncoming=ring.wav\n"
            "PlaySound=False\nIconizedOnly=False\n\n"
            "[Notify]\nOpenWindow=True\n\n"
            "[Keyboard]\nUseEnter=False\n");

  // What was written reads back the same into a fresh dialog, unnamed colour included.
  FakeDialog again;
  again.ew_back = clRed;
  ReadPreferences(again, path);
  EXPECT_EQ(again.ew_back, 0x00C08040u);
  EXPECT_EQ(again.icon_incoming, "/home/anna/my sounds/ring.wav");
  EXPECT_TRUE(again.notify);
  EXPECT_FALSE(again.use_enter);
}

TEST(WritePreferences, ClearedBoxesSwitchTheMainWindowOffOnReRead) {
  TempDir dir;
  const std::string path = dir.File("Hwire.ini");
  WriteFile(path, kAllKeys);
  FakeWindow window;
  ApplySettings(window, path);
  ASSERT_TRUE(window.play_sound && window.use_enter && window.open_window);

  FakeDialog dialog;
  ReadPreferences(dialog, path);
  dialog.play_sounds = dialog.sound_only = dialog.notify = dialog.use_enter = false;
  WritePreferences(dialog, path);
  ApplySettings(window, path);
  EXPECT_FALSE(window.play_sound);
  EXPECT_FALSE(window.iconized_only);
  EXPECT_FALSE(window.use_enter);
  EXPECT_FALSE(window.open_window);
  EXPECT_EQ(window.iconized_file, "hidden.wav");  // written as "Iconizedfile", read as "IconizedFile"
}

TEST(WritePreferences, KeepsHandWrittenLinesOfTheFile) {
  TempDir dir;
  const std::string path = dir.File("Hwire.ini");
  const std::string by_hand = "; my colours\r\n[Extra]\r\nmine = 1\r\n[EntryWindow]\r\nForeground = clRed\r\n";
  WriteFile(path, by_hand);
  FakeDialog dialog;
  dialog.ew_fore = clAqua;
  WritePreferences(dialog, path);
  std::string text = ReadFile(path);
  EXPECT_EQ(text.substr(0, by_hand.size() - 7), by_hand.substr(0, by_hand.size() - 7));  // up to the value
  EXPECT_NE(text.find("Foreground = clAqua\r\nBackground=clWhite\r\n"), std::string::npos);
  EXPECT_EQ(TIniFile(path).ReadString("extra", "MINE", ""), "1");
}

TEST(WritePreferences, RefusedWriteNamesTheFileAndStopsAtThatKey) {
  TempDir dir;
  const std::string missing = dir.File("gone/Hwire.ini");
  FakeDialog dialog;
  EXPECT_EQ(Message([&] { WritePreferences(dialog, missing); }), "Unable to write to " + missing);

  // A file name that would break into further lines is refused; the keys before it are
  // written and the keys after it keep their old values.
  const std::string path = dir.File("Hwire.ini");
  WriteFile(path, kAllKeys);
  dialog.ew_fore = clFuchsia;
  dialog.icon_incoming = "a.wav\n[Keyboard]\nUseEnter=False";
  dialog.all_incoming = "new.wav";
  EXPECT_THROW(WritePreferences(dialog, path), EIniFileException);
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("EntryWindow", "Foreground", ""), "clFuchsia");
  EXPECT_EQ(ini.ReadString("ChatWindow", "Background", ""), "clBlack");
  EXPECT_EQ(ini.ReadString("SoundOptions", "Iconizedfile", ""), "hidden.wav");
  EXPECT_EQ(ini.ReadString("SoundOptions", "AllIncoming", ""), "shown.wav");
  EXPECT_EQ(ini.ReadString("Keyboard", "UseEnter", ""), "True");
}

// The [Network] keys: what the user typed reads back as typed, and the preferences'
// writer, run after them, leaves the section as it was.
TEST(NetworkSettings, RoundTripAndThePreferenceWriterLeavesThemAlone) {
  const struct {
    NetworkSettings written;
    const char* section;  // as it stands in the file
  } rows[] = {
      {{"10.77.3.1", "10.77.2.255/STAFF 10.77.4.7"},
       "[Network]\nWinsServer=10.77.3.1\nRemoteAnnounce=10.77.2.255/STAFF 10.77.4.7\n"},
      {{"", "10.0.0.9"}, "[Network]\nWinsServer=\nRemoteAnnounce=10.0.0.9\n"},
      {{"", ""}, "[Network]\nWinsServer=\nRemoteAnnounce=\n"},
      {{"", "", false}, "[Desktop]\nNotifications=False\n"},
  };
  for (const auto& row : rows) {
    TempDir dir;
    const std::string path = dir.File("Hwire.ini");
    WriteFile(path, kAllKeys);
    WriteNetworkSettings(row.written, path);
    FakeDialog dialog;
    ReadPreferences(dialog, path);
    WritePreferences(dialog, path);
    const std::string text = ReadFile(path);
    EXPECT_NE(text.find(row.section), std::string::npos) << text;
    const NetworkSettings read = ReadNetworkSettings(path);
    EXPECT_EQ(read.winsServer, row.written.winsServer);
    EXPECT_EQ(read.remoteAnnounce, row.written.remoteAnnounce);
    EXPECT_EQ(read.desktopNotifications, row.written.desktopNotifications);
  }
  EXPECT_EQ(ReadNetworkSettings("/nonexistent/Hwire.ini").remoteAnnounce, "");
  EXPECT_TRUE(ReadNetworkSettings("/nonexistent/Hwire.ini").desktopNotifications);
}
