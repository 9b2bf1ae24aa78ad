// The XDG autostart entries that mirror the registry's Run and RunOnce keys.
#include "desktop/AutostartEntry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/registry_support.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace hw::win32;
using hw::test::ReadFile;
using hw::test::WriteFile;

const char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunOnce[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

bool Exists(const std::string& path) { return std::filesystem::exists(path); }
const auto EntryOf = hw::AutostartEntryFile;

class AutostartEntryTest : public ::testing::Test {
 protected:
  void SetUp() override { hw::test::UseRegistryFolders(dir_.Path()); }
  hw::test::TempDir dir_;
};

TEST_F(AutostartEntryTest, RunValuesAreAutostartEntries) {
  const std::string entry = EntryOf(HKEY_CURRENT_USER, false, "Quillo 4#Autostart");
  EXPECT_EQ(entry, dir_.Path() + "/config/autostart/quillo_204_23autostart.desktop");
  EXPECT_EQ(EntryOf(HKEY_CURRENT_USER, false, "QUILLO 4#AUTOSTART"), entry);
  EXPECT_EQ(EntryOf(HKEY_LOCAL_MACHINE, true, "Quillo 4#Autostart"),
            dir_.Path() + "/system/autostart/quillo_204_23autostart_once.desktop");

  // A path with blanks and the characters an Exec line treats specially.
  const std::string path = "/opt/my apps/it's $HOME `x` 100% back\\slash/hallwire";
  hw::test::SetString(HKEY_CURRENT_USER, kRun, "Quillo 4#Autostart", "\"" + path + "\" --hidden");
  ASSERT_TRUE(Exists(entry));
  hw::test::DesktopEntry parsed = hw::test::ReadDesktopEntry(entry);
  EXPECT_EQ(parsed.type, "Application");
  EXPECT_EQ(parsed.name, "Quillo 4#Autostart");
  EXPECT_EQ(parsed.exec, (std::vector<std::string>{path, "--hidden"}));

  // REG_EXPAND_SZ expands environment variables.
  setenv("HW_TEST_PROGRAM", "/usr/local/bin/tool", 1);
  hw::test::SetString(HKEY_CURRENT_USER, kRun, "Tool", "%HW_TEST_PROGRAM% -x", REG_EXPAND_SZ);
  EXPECT_EQ(hw::test::ReadDesktopEntry(EntryOf(HKEY_CURRENT_USER, false, "Tool")).exec,
            (std::vector<std::string>{"/usr/local/bin/tool", "-x"}));

  // No longer a string: no entry. An empty command: no entry.
  HKEY key = 0;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRun, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  const DWORD one = 1;
  ASSERT_EQ(RegSetValueExA(key, "Tool", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4), ERROR_SUCCESS);
  EXPECT_FALSE(Exists(EntryOf(HKEY_CURRENT_USER, false, "Tool")));
  ASSERT_EQ(RegSetValueExA(key, "Blank", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1), ERROR_SUCCESS);
  EXPECT_FALSE(Exists(EntryOf(HKEY_CURRENT_USER, false, "Blank")));
  // Deleting the value removes the entry.
  ASSERT_EQ(RegDeleteValueA(key, "quillo 4#autostart"), ERROR_SUCCESS);
  EXPECT_FALSE(Exists(entry));
  RegCloseKey(key);

  // The machine root's entries go to the system autostart folder; deleting the key removes them.
  hw::test::SetString(HKEY_LOCAL_MACHINE, kRun, "Tool", "/bin/true");
  EXPECT_TRUE(Exists(dir_.Path() + "/system/autostart/tool.desktop"));
  ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRun), ERROR_SUCCESS);
  EXPECT_FALSE(Exists(dir_.Path() + "/system/autostart/tool.desktop"));
}

TEST_F(AutostartEntryTest, RunOnceEntryStartsTheProgramOnceAndTheValueIsGone) {
  // A stand-in program that records its arguments.
  const std::string program = dir_.File("my program.sh");
  const std::string marker = dir_.File("started");
  WriteFile(program, "#!/bin/sh\necho \"$@\" >> '" + marker + "'\n");
  chmod(program.c_str(), 0755);

  for (bool through_gio : {false, true}) {
    SCOPED_TRACE(through_gio ? "gio launch" : "Exec line");
    if (through_gio && std::system("command -v gio >/dev/null 2>&1") != 0) continue;
    std::filesystem::remove(marker);
    hw::test::SetString(HKEY_CURRENT_USER, kRunOnce, "Once", "\"" + program + "\" first-login");
    const std::string entry = EntryOf(HKEY_CURRENT_USER, true, "Once");
    ASSERT_TRUE(Exists(entry));
    ASSERT_TRUE(hw::test::QueryValue(HKEY_CURRENT_USER, kRunOnce, "Once"));

    // What a desktop does at login.
    if (through_gio)
      ASSERT_EQ(std::system(("gio launch '" + entry + "' >/dev/null 2>&1").c_str()), 0);
    else
      ASSERT_EQ(hw::test::RunAndWait(hw::test::ReadDesktopEntry(entry).exec), 0);
    for (int i = 0; i < 100 && !Exists(marker); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadFile(marker), "first-login\n");
    EXPECT_FALSE(Exists(entry)) << "the entry would run again";
    EXPECT_EQ(hw::test::QueryValue(HKEY_CURRENT_USER, kRunOnce, "Once"), std::nullopt);
  }

  // A later change to the key drops the used value from the file too.
  hw::test::SetString(HKEY_CURRENT_USER, kRunOnce, "Other", "/bin/true");
  std::remove(EntryOf(HKEY_CURRENT_USER, true, "Other").c_str());
  hw::test::SetString(HKEY_CURRENT_USER, kRunOnce, "Third", "/bin/true");
  EXPECT_EQ(ReadFile(hw::RegistryHiveFile(HKEY_CURRENT_USER)).find("Other"), std::string::npos);
}

TEST_F(AutostartEntryTest, ValueIsNotStoredWhenItsEntryCannotBeWritten) {
  std::filesystem::create_directories(dir_.Path() + "/config");
  WriteFile(dir_.Path() + "/config/autostart", "a file where the folder belongs");
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRun, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_NE(RegSetValueExA(key, "Prog", 0, REG_SZ, reinterpret_cast<const BYTE*>("/bin/prog"), 10), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(hw::test::QueryValue(HKEY_CURRENT_USER, kRun, "Prog"), std::nullopt);
}

}  // namespace
