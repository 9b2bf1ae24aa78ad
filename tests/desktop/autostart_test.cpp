// The autostart component on the registry stand-in: the sequence the preferences
// dialog runs at every start, the user's clicks, moves between names and roots, and the
// error texts.
#include "desktop/Autostart.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QGuiApplication>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "desktop/AutostartEntry.h"
#include "platform/store/Registry.h"
#include "tests/platform/registry_support.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace hw::win32;
using hw::TSunfieldAutostart;

const char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunOnce[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kStoredName[] = "Quillo 4#Autostart";

// The command registered under name, nothing when there is no such value.
std::optional<std::string> Registered(HKEY root, const char* key, const std::string& name) {
  auto value = hw::test::QueryValue(root, key, name);
  if (!value) return std::nullopt;
  EXPECT_EQ(value->type, REG_SZ);
  EXPECT_TRUE(!value->data.empty() && value->data.back() == '\0') << "written without its terminating zero";
  return value->data.substr(0, value->data.find('\0'));
}

DWORD ValueCount(HKEY root, const char* path) {
  HKEY key = 0;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0xFFFFFFFF;
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(key);
  return values;
}

bool KeyExists(HKEY root, const char* path) {
  HKEY key = 0;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::string ErrorOf(const std::function<void()>& work) {
  try {
    work();
  } catch (const hw::ERegistryError& e) {
    return e.what();
  }
  return "";
}

class AutostartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hw::test::UseRegistryFolders(dir_.Path());
    TSunfieldAutostart::SetFirstWritePending(true);  // every case is a fresh start
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    ASSERT_GT(n, 0);
    quoted_exe_ = "\"" + std::string(path, static_cast<size_t>(n)) + "\"";
  }

  // What the preferences dialog does at creation with its stored properties.
  static void StartLikeTheDialog(TSunfieldAutostart& autostart) {
    autostart.LoadStored(kStoredName, true, false, false);
  }

  hw::test::TempDir dir_;
  std::string quoted_exe_;
};

TEST_F(AutostartTest, FreshSystemStartRegistersNothing) {
  TSunfieldAutostart autostart("Hallwire");
  EXPECT_EQ(autostart.appName(), "Hallwire#Autostart");
  StartLikeTheDialog(autostart);
  EXPECT_EQ(autostart.appName(), kStoredName);
  EXPECT_FALSE(autostart.autostart());
  EXPECT_FALSE(autostart.StartNextLogon());
  EXPECT_FALSE(autostart.Global());
  EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, kRun), 0u);
  EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, kRunOnce), 0u) << "the RunOnce key is there, empty";
  const std::string entries = dir_.Path() + "/config/autostart";
  EXPECT_TRUE(!std::filesystem::exists(entries) || std::filesystem::is_empty(entries));
  EXPECT_FALSE(TSunfieldAutostart::FirstWritePending());
}

TEST_F(AutostartTest, RegisteredProgramThatMovedIsRegisteredWithItsNewPathAtStart) {
  hw::test::SetString(HKEY_CURRENT_USER, kRun, kStoredName, "\"/old/folder/hallwire\"");
  TSunfieldAutostart autostart("Hallwire");
  StartLikeTheDialog(autostart);
  EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRun, kStoredName), quoted_exe_);
  EXPECT_TRUE(autostart.autostart());
  auto entry = hw::test::ReadDesktopEntry(hw::AutostartEntryFile(HKEY_CURRENT_USER, false, kStoredName));
  EXPECT_EQ(entry.exec, std::vector<std::string>{quoted_exe_.substr(1, quoted_exe_.size() - 2)});
}

TEST_F(AutostartTest, PendingNextLogonRegistrationIsRemovedAtStart) {
  hw::test::SetString(HKEY_CURRENT_USER, kRunOnce, kStoredName, quoted_exe_);
  const std::string entry = hw::AutostartEntryFile(HKEY_CURRENT_USER, true, kStoredName);
  ASSERT_TRUE(std::filesystem::exists(entry));
  TSunfieldAutostart autostart("Hallwire");
  StartLikeTheDialog(autostart);
  EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRunOnce, kStoredName), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRun, kStoredName), std::nullopt) << "the start registered the program";
}

TEST_F(AutostartTest, ClicksRegisterAndUnregisterAtOnce) {
  TSunfieldAutostart autostart("Hallwire");
  StartLikeTheDialog(autostart);
  autostart.Setautostart(true);
  EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRun, kStoredName), quoted_exe_);
  autostart.SetStartNextLogon(true);
  EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRunOnce, kStoredName), quoted_exe_);
  EXPECT_TRUE(std::filesystem::exists(hw::AutostartEntryFile(HKEY_CURRENT_USER, true, kStoredName)));
  autostart.Setautostart(false);
  EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRun, kStoredName), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(hw::AutostartEntryFile(HKEY_CURRENT_USER, false, kStoredName)));
  EXPECT_TRUE(autostart.StartNextLogon());
  autostart.SetStartNextLogon(false);
  EXPECT_FALSE(autostart.StartNextLogon());
}

TEST_F(AutostartTest, FirstWriteRequestOfARunOnlyRefreshes) {
  TSunfieldAutostart autostart("Hallwire");
  autostart.SetappName(kStoredName);
  autostart.Setautostart(true);  // first request: unregistered stays unregistered
  EXPECT_FALSE(autostart.autostart());
  autostart.Setautostart(true);
  EXPECT_TRUE(autostart.autostart());

  TSunfieldAutostart::SetFirstWritePending(true);  // next run: registered stays registered
  TSunfieldAutostart next("Hallwire");
  next.SetappName(kStoredName);
  next.Setautostart(false);
  EXPECT_TRUE(next.autostart());
}

TEST_F(AutostartTest, PathWithBlanksIsStoredInQuotes) {
  TSunfieldAutostart::SetFirstWritePending(false);
  TSunfieldAutostart autostart("Hallwire");
  autostart.SetExecutablePath("/opt/Hall Wire/bin/hallwire");
  autostart.Setautostart(true);
  EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRun, "Hallwire#Autostart"), "\"/opt/Hall Wire/bin/hallwire\"");
  EXPECT_EQ(hw::test::ReadDesktopEntry(hw::AutostartEntryFile(HKEY_CURRENT_USER, false, "Hallwire#Autostart")).exec,
            std::vector<std::string>{"/opt/Hall Wire/bin/hallwire"});
}

TEST_F(AutostartTest, NewNameTakesEveryRegistrationAlongButOtherCaseIsTheSameName) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    for (const char* key : {kRun, kRunOnce}) hw::test::SetString(root, key, "Old", "\"/bin/old\"");
  TSunfieldAutostart::SetFirstWritePending(false);
  TSunfieldAutostart autostart("Hallwire");
  autostart.SetappName("Old");
  autostart.SetappName("New");
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    for (const char* key : {kRun, kRunOnce}) {
      SCOPED_TRACE(std::string(root == HKEY_CURRENT_USER ? "user " : "machine ") + key);
      EXPECT_EQ(Registered(root, key, "Old"), std::nullopt);
      EXPECT_EQ(Registered(root, key, "New"), quoted_exe_);
      EXPECT_FALSE(std::filesystem::exists(hw::AutostartEntryFile(root, key == kRunOnce, "Old")));
      EXPECT_TRUE(std::filesystem::exists(hw::AutostartEntryFile(root, key == kRunOnce, "New")));
    }
  }
  EXPECT_TRUE(autostart.autostart());
  EXPECT_TRUE(autostart.StartNextLogon());

  autostart.SetappName("NEW");
  EXPECT_EQ(autostart.appName(), "New");
  std::string stored = hw::test::ReadFile(hw::RegistryHiveFile(HKEY_CURRENT_USER));
  EXPECT_NE(stored.find("\"New\"="), std::string::npos);
  EXPECT_EQ(stored.find("NEW"), std::string::npos);
}

// The first start after registrations were made under the constructed name: they move
// to the stored name and none is left behind, so the program is not started twice.
TEST_F(AutostartTest, RegistrationUnderTheConstructedNameMovesWithoutADuplicate) {
  hw::test::SetString(HKEY_CURRENT_USER, kRun, "Hallwire#Autostart", "\"/old/hallwire\"");
  TSunfieldAutostart autostart("Hallwire");
  StartLikeTheDialog(autostart);
  EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRun, "Hallwire#Autostart"), std::nullopt);
  EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRun, kStoredName), quoted_exe_);
  EXPECT_EQ(ValueCount(HKEY_CURRENT_USER, kRun), 1u);
}

TEST_F(AutostartTest, GlobalWithoutAdministratorRightsStaysOff) {
  int result = hw::test::RunAsOrdinaryUser(dir_.Path(), [] {
    int failures = 0;
    TSunfieldAutostart::SetFirstWritePending(false);
    TSunfieldAutostart autostart("Hallwire");
    autostart.Setautostart(true);
    autostart.SetGlobal(true);
    if (autostart.Global()) failures |= 1;
    if (!hw::test::QueryValue(HKEY_CURRENT_USER, kRun, "Hallwire#Autostart")) failures |= 2;
    if (!autostart.autostart()) failures |= 4;
    return failures;
  });
  if (result == hw::test::kNoOrdinaryUser) GTEST_SKIP() << "no ordinary user to test with";
  EXPECT_EQ(result, 0) << "failed checks (bits): " << result;
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Sunfield"));
}

TEST_F(AutostartTest, GlobalMovesRegistrationsToAllUsersAndBack) {
  // Left over from an earlier test of write access, with a sub-key.
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Sunfield\\test\\deeper\\still", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  TSunfieldAutostart::SetFirstWritePending(false);
  TSunfieldAutostart autostart("Hallwire");
  autostart.Setautostart(true);
  autostart.SetStartNextLogon(true);
  autostart.SetGlobal(true);
  EXPECT_TRUE(autostart.Global());
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Sunfield\\test"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Sunfield"));
  for (const char* k : {kRun, kRunOnce}) {
    EXPECT_EQ(Registered(HKEY_LOCAL_MACHINE, k, "Hallwire#Autostart"), quoted_exe_);
    EXPECT_EQ(Registered(HKEY_CURRENT_USER, k, "Hallwire#Autostart"), std::nullopt);
  }
  EXPECT_TRUE(std::filesystem::exists(dir_.Path() + "/system/autostart/hallwire_23autostart.desktop"));
  EXPECT_TRUE(autostart.autostart());

  autostart.SetGlobal(false);
  EXPECT_FALSE(autostart.Global());
  for (const char* k : {kRun, kRunOnce}) {
    EXPECT_EQ(Registered(HKEY_CURRENT_USER, k, "Hallwire#Autostart"), quoted_exe_);
    EXPECT_EQ(Registered(HKEY_LOCAL_MACHINE, k, "Hallwire#Autostart"), std::nullopt);
  }
}

TEST_F(AutostartTest, ValueOfAnotherTypeFailsTheStartButTheDialogCanGoOnAndRepairIt) {
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRun, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const DWORD one = 1;
  ASSERT_EQ(RegSetValueExA(key, kStoredName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_SUCCESS);
  RegCloseKey(key);
  hw::test::SetString(HKEY_CURRENT_USER, kRunOnce, kStoredName, quoted_exe_);

  TSunfieldAutostart autostart("Hallwire");
  EXPECT_EQ(ErrorOf([&] { StartLikeTheDialog(autostart); }), "Invalid data type for 'Quillo 4#Autostart'");
  // The remaining steps ran all the same.
  EXPECT_EQ(autostart.appName(), kStoredName);
  EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRunOnce, kStoredName), std::nullopt);
  EXPECT_FALSE(TSunfieldAutostart::FirstWritePending());
  EXPECT_EQ(ErrorOf([&] { autostart.autostart(); }), "Invalid data type for 'Quillo 4#Autostart'");
  // Ticking "Startup with Windows" replaces the foreign value with a registration.
  autostart.Setautostart(true);
  EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRun, kStoredName), quoted_exe_);
  EXPECT_TRUE(autostart.autostart());
}

TEST_F(AutostartTest, RefusedWriteRaisesFailedToSetData) {
  std::filesystem::create_directories(dir_.Path() + "/config");
  hw::test::WriteFile(dir_.Path() + "/config/autostart", "not a folder");
  TSunfieldAutostart::SetFirstWritePending(false);
  TSunfieldAutostart autostart("Hallwire");
  autostart.SetappName(kStoredName);
  EXPECT_EQ(ErrorOf([&] { autostart.Setautostart(true); }), "Failed to set data for 'Quillo 4#Autostart'");
  EXPECT_FALSE(autostart.autostart());
}

TEST_F(AutostartTest, EmptyNameNeverTouchesTheRegistry) {
  TSunfieldAutostart::SetFirstWritePending(false);
  TSunfieldAutostart autostart("Hallwire");
  autostart.SetappName("");
  autostart.Setautostart(true);
  autostart.SetStartNextLogon(true);
  EXPECT_FALSE(autostart.autostart());
  EXPECT_FALSE(std::filesystem::exists(hw::RegistryHiveFile(HKEY_CURRENT_USER)));
}

TEST_F(AutostartTest, DefaultNameComesFromTheApplicationTitle) {
  QGuiApplication::setApplicationDisplayName("Hallwire");
  TSunfieldAutostart autostart;
  EXPECT_EQ(autostart.appName(), "Hallwire#Autostart");
}

}  // namespace

namespace {

TEST_F(AutostartTest, AStartFollowsWhatTheDesktopsStartUpSettingsDidToTheEntry) {
  struct Row {
    const char* change;
    std::optional<std::string> entry;  // nothing: the user deleted it
    bool registered;
  } rows[] = {
      {"deleted", std::nullopt, false},
      {"hidden", "[Desktop Entry]\nType=Application\nName=x\nExec=x\nHidden=true\n", false},
      {"disabled", "[Desktop Entry]\r\nType=Application\r\nX-GNOME-Autostart-enabled = false\r\n", false},
      {"disabled elsewhere", "[Other]\nHidden=true\n[Desktop Entry]\nType=Application\nExec=x\n", true},
  };
  const std::string path = hw::AutostartEntryFile(HKEY_CURRENT_USER, false, kStoredName);
  for (const Row& row : rows) {
    TSunfieldAutostart::SetFirstWritePending(true);
    hw::test::SetString(HKEY_CURRENT_USER, kRun, kStoredName, quoted_exe_);
    std::filesystem::remove(path);
    if (row.entry) hw::test::WriteFile(path, *row.entry);
    TSunfieldAutostart autostart("Hallwire");
    StartLikeTheDialog(autostart);
    EXPECT_EQ(autostart.autostart(), row.registered) << row.change;
    EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRun, kStoredName).has_value(), row.registered) << row.change;
    if (!row.registered) {
      // Never written again: a deleted entry stays deleted, a disabled one as it was.
      EXPECT_EQ(std::filesystem::exists(path), row.entry.has_value()) << row.change;
      if (row.entry) {
        EXPECT_EQ(hw::test::ReadFile(path), *row.entry) << row.change;
      }
    }
  }
  // Switched on again in the desktop's settings: the preferences box shows it ticked.
  TSunfieldAutostart autostart("Hallwire");
  autostart.SetappName(kStoredName);
  autostart.Setautostart(false);
  ASSERT_EQ(Registered(HKEY_CURRENT_USER, kRun, kStoredName), std::nullopt);
  hw::test::WriteFile(path, "[Desktop Entry]\nType=Application\nExec=x\n");
  EXPECT_TRUE(autostart.autostart());
  EXPECT_EQ(Registered(HKEY_CURRENT_USER, kRun, kStoredName), quoted_exe_);
}

TEST_F(AutostartTest, AnAllUsersNextLogonStartRunsOnceForEachUser) {
  hw::test::SetString(HKEY_LOCAL_MACHINE, kRunOnce, kStoredName, quoted_exe_);
  const std::string all_users = hw::AutostartEntryFile(HKEY_LOCAL_MACHINE, true, kStoredName);
  ASSERT_TRUE(std::filesystem::exists(all_users));
  const std::string mine = hw::AutostartEntryFile(HKEY_CURRENT_USER, true, kStoredName);
  for (int start = 0; start < 2; ++start) {
    TSunfieldAutostart::SetFirstWritePending(true);
    TSunfieldAutostart autostart("Hallwire");
    StartLikeTheDialog(autostart);
    EXPECT_TRUE(std::filesystem::exists(all_users)) << "the other users' start is kept";
    EXPECT_EQ(Registered(HKEY_LOCAL_MACHINE, kRunOnce, kStoredName), quoted_exe_);
    const std::string text = hw::test::ReadFile(mine);
    EXPECT_NE(text.find("\nHidden=true\n"), std::string::npos) << text;
  }
}

}  // namespace
