// The registry stand-in: values and keys with their Win32 results, the files behind
// the two roots, write access to the machine root. (The autostart entries that mirror
// the Run and RunOnce keys are tested with the desktop layer that writes them.)
#include "platform/store/Registry.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/platform/registry_support.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace hw::win32;
using hw::test::ReadFile;
using hw::test::WriteFile;

const char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { hw::test::UseRegistryFolders(dir_.Path()); }

  hw::test::TempDir dir_;
};

TEST_F(RegistryTest, ValuesKeepTheirTypeAndBytesAndNamesIgnoreCase) {
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Test", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  const std::string odd_name = "odd %\"=[]\\\n\xE9 name";
  const DWORD number = 0x12345678;
  ASSERT_EQ(RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("hello"), 6), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, odd_name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(every_byte.data()),
                           256),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%HOME%"), 7), ERROR_SUCCESS);

  EXPECT_EQ(hw::test::QueryValue(HKEY_CURRENT_USER, "Software\\Test", "TEXT"),
            (hw::test::RegValue{REG_SZ, std::string("hello\0", 6)}));
  EXPECT_EQ(hw::test::QueryValue(HKEY_CURRENT_USER, "software\\test", "number"),
            (hw::test::RegValue{REG_DWORD, std::string("\x78\x56\x34\x12", 4)}));
  EXPECT_EQ(hw::test::QueryValue(HKEY_CURRENT_USER, "Software\\Test", odd_name),
            (hw::test::RegValue{REG_BINARY, every_byte}));
  EXPECT_EQ(hw::test::QueryValue(HKEY_CURRENT_USER, "Software\\Test", ""),
            (hw::test::RegValue{REG_EXPAND_SZ, std::string("%HOME%\0", 7)}));

  // Size first, then a buffer too small, then the data.
  DWORD type = 0, size = 0;
  ASSERT_EQ(RegQueryValueExA(key, "Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);
  char small[3];
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);

  // Another case of a name is the same value: replaced, not added.
  ASSERT_EQ(RegSetValueExA(key, "TEXT", 0, REG_SZ, reinterpret_cast<const BYTE*>("bye"), 4), ERROR_SUCCESS);
  DWORD values = 0;
  ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(values, 4u);
  EXPECT_EQ(hw::test::QueryValue(HKEY_CURRENT_USER, "Software\\Test", "text")->data, std::string("bye\0", 4));

  EXPECT_EQ(RegQueryValueExA(key, "Nothing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteValueA(key, "number"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "Number"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

  // The user's root is a file in the per-user folder; the machine root stayed untouched.
  EXPECT_TRUE(Exists(dir_.Path() + "/config/hallwire/registry.dat"));
  EXPECT_FALSE(Exists(hw::RegistryHiveFile(HKEY_LOCAL_MACHINE)));
  EXPECT_EQ(hw::test::QueryValue(HKEY_LOCAL_MACHINE, "Software\\Test", "Text"), std::nullopt);
}

TEST_F(RegistryTest, KeysAreCreatedOpenedEnumeratedAndDeleted) {
  HKEY key = 0;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Top\\beta\\Leaf\\", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  HKEY leaf = key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "TOP\\BETA\\leaf", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  RegCloseKey(key);
  for (const char* name : {"Alpha", "gamma"}) {
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string("Top\\") + name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  HKEY top = 0;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "top", 0, KEY_READ, &top), ERROR_SUCCESS);
  DWORD count = 0, longest = 0;
  ASSERT_EQ(RegQueryInfoKeyA(top, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(longest, 5u);
  std::vector<std::string> names;
  char name[16];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    LONG rc = RegEnumKeyExA(top, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(rc, ERROR_SUCCESS);
    names.emplace_back(name, length);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  DWORD tiny = 5;  // "Alpha" needs 6 with its terminating zero
  EXPECT_EQ(RegEnumKeyExA(top, 0, name, &tiny, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  // A read-only handle cannot change anything.
  EXPECT_EQ(RegSetValueExA(top, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1), ERROR_ACCESS_DENIED);

  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Top\\Missing", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "\\Top", 0, KEY_READ, &key), ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Top\\beta"), ERROR_ACCESS_DENIED) << "a key with sub-keys went";
  EXPECT_EQ(RegDeleteKeyA(top, "beta\\leaf"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(top, "beta\\leaf"), ERROR_FILE_NOT_FOUND);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(leaf, "x", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(RegSetValueExA(leaf, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1), ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(leaf), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(leaf), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(top), ERROR_SUCCESS);
}

std::string DeepKeyFile(size_t levels) {
  std::string path;
  for (size_t i = 0; i < levels; ++i) path += i ? "\\k" : "k";
  return "Hallwire registry 1\n[" + path + "]\n\"v\"=1:\"x\"\n";
}

// A damaged file is renamed aside whole, the root starts anew (registration works again)
// and the user is told once; a deep file must not crash any call on the way.
TEST_F(RegistryTest, DamagedFileIsSetAsideAndTheUserToldOnce) {
  struct Row {
    const char* what;
    std::function<void(const std::string&)> make;
    std::string content;  // what the set-aside file holds ("" for no regular file)
  };
  const std::string half = "Hallwire registry 1\n[Software]\n\"half a value\n";
  const std::vector<Row> rows = {
      {"half a value", [&](const std::string& f) { WriteFile(f, half); }, half},
      {"not a registry file", [](const std::string& f) { WriteFile(f, "[Software]\n"); }, "[Software]\n"},
      {"513 levels", [](const std::string& f) { WriteFile(f, DeepKeyFile(513)); }, DeepKeyFile(513)},
      {"200,000 levels", [](const std::string& f) { WriteFile(f, DeepKeyFile(200000)); }, DeepKeyFile(200000)},
      {"a FIFO", [](const std::string& f) { ASSERT_EQ(mkfifo(f.c_str(), 0644), 0); }, ""},
      {"a folder", [](const std::string& f) { std::filesystem::create_directory(f); }, ""},
  };
  const std::string file = hw::RegistryHiveFile(HKEY_CURRENT_USER);
  const std::string folder = std::filesystem::path(file).parent_path();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::filesystem::remove_all(folder);
    std::filesystem::remove_all(dir_.Path() + "/config/autostart");
    std::filesystem::create_directories(folder);
    row.make(file);
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    std::vector<std::string> aside;
    for (const auto& e : std::filesystem::directory_iterator(folder))
      if (e.path().filename().string().rfind("registry.dat.damaged-", 0) == 0) aside.push_back(e.path());
    ASSERT_EQ(aside.size(), 1u);
    if (!row.content.empty()) {
      EXPECT_EQ(ReadFile(aside[0]), row.content);
    }
    auto notice = hw::platform::TakeRegistryNotice();
    ASSERT_TRUE(notice);
    EXPECT_NE(notice->find(file + " was damaged"), std::string::npos) << *notice;
    EXPECT_NE(notice->find(aside[0]), std::string::npos) << *notice;
    EXPECT_FALSE(hw::platform::TakeRegistryNotice());
    hw::test::SetString(HKEY_CURRENT_USER, kRun, "Hallwire", "/usr/bin/hallwire");
    EXPECT_TRUE(hw::test::QueryValue(HKEY_CURRENT_USER, kRun, "Hallwire"));
  }
  // A root this process may not change keeps its damaged file.
  std::filesystem::create_directories(dir_.Path() + "/system");
  WriteFile(dir_.Path() + "/system/registry.dat", half);
  int result = hw::test::RunAsOrdinaryUser(dir_.Path(), [] {
    HKEY k = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &k) != ERROR_BADDB) return 1;
    return hw::platform::TakeRegistryNotice() ? 2 : 0;
  });
  if (result != hw::test::kNoOrdinaryUser) {
    EXPECT_EQ(result, 0);
  }
  EXPECT_EQ(ReadFile(dir_.Path() + "/system/registry.dat"), half);
}

// Names hold any byte and nesting stops at 512 levels; what is stored reads back the same.
TEST_F(RegistryTest, KeyNamesRoundTripAndNestingIsLimited) {
  struct Row {
    std::string file_path;  // the key path as the file writes it
    std::string name;       // the one key name it stands for
  };
  const std::vector<Row> rows = {
      {"a%5Cb", "a\\b"}, {"%25%5B%5D%3D%22", "%[]=\""}, {"tab%09nl%0A%E9", "tab\tnl\n\xE9"}, {"plain", "plain"}};
  const std::string file = hw::RegistryHiveFile(HKEY_CURRENT_USER);
  std::filesystem::create_directories(std::filesystem::path(file).parent_path());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file_path);
    const std::string text = "Hallwire registry 1\n[]\n[Top]\n[Top\\" + row.file_path + "]\n\"v\"=1:\"x\"\n";
    WriteFile(file, text);
    HKEY top = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Top", 0, KEY_ALL_ACCESS, &top), ERROR_SUCCESS);
    DWORD subkeys = 0;
    EXPECT_EQ(RegQueryInfoKeyA(top, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subkeys, 1u);
    char name[256];
    DWORD size = sizeof name;
    ASSERT_EQ(RegEnumKeyExA(top, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::string(name, size), row.name);
    // A change elsewhere rewrites the file; the key stays one key.
    ASSERT_EQ(RegSetValueExA(top, "w", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1), ERROR_SUCCESS);
    EXPECT_EQ(ReadFile(file), "Hallwire registry 1\n[]\n[Top]\n\"w\"=1:\"%00\"\n[Top\\" + row.file_path +
                                  "]\n\"v\"=1:\"x\"\n");
    RegCloseKey(top);
  }
  std::string deep, deeper;
  for (int i = 0; i < 512; ++i) deep += "k\\";
  deeper = deep + "k";
  HKEY key = 0;
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, deeper.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_BAD_PATHNAME);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, deep.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, deep.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_FALSE(hw::platform::TakeRegistryNotice());
}

TEST_F(RegistryTest, ChangesFromSeveralProcessesAreAllKept) {
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Shared", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  constexpr int kWriters = 4, kEach = 25;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int failures = 0;
      HKEY shared = 0;
      if (RegOpenKeyExA(HKEY_CURRENT_USER, "Shared", 0, KEY_ALL_ACCESS, &shared) != ERROR_SUCCESS) _exit(100);
      for (int i = 0; i < kEach; ++i) {
        std::string name = "w" + std::to_string(w) + "_" + std::to_string(i);
        if (RegSetValueExA(shared, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                           static_cast<DWORD>(name.size() + 1)) != ERROR_SUCCESS)
          ++failures;
      }
      _exit(failures);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  }
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Shared", 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD values = 0;
  ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(values, static_cast<DWORD>(kWriters * kEach)) << "changes were lost between processes";
  // Nothing but the file and its lock is left in the folder (no half-written copies).
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path() + "/config/hallwire"))
    files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"registry.dat", "registry.dat.lock"}));
}

TEST_F(RegistryTest, MachineRootNeedsAnAdministrator) {
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Tool", 0, REG_SZ, reinterpret_cast<const BYTE*>("\"/bin/true\""), 12),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_TRUE(Exists(dir_.Path() + "/system/registry.dat"));

  int result = hw::test::RunAsOrdinaryUser(dir_.Path(), [] {
    int failures = 0;
    HKEY k = 0;
    // Full access is refused, reading is allowed; creating keys or values is refused.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, KEY_ALL_ACCESS, &k) != ERROR_ACCESS_DENIED) failures |= 1;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRun, 0, KEY_READ, &k) != ERROR_SUCCESS) failures |= 2;
    else if (!hw::test::QueryValue(HKEY_LOCAL_MACHINE, kRun, "Tool")) failures |= 4;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Sunfield\\test\\", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                        nullptr) != ERROR_ACCESS_DENIED)
      failures |= 8;
    // The user's own root works.
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRun, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS)
      failures |= 16;
    return failures;
  });
  if (result == hw::test::kNoOrdinaryUser) GTEST_SKIP() << "no ordinary user to test with";
  EXPECT_EQ(result, 0) << "failed checks (bits): " << result;
  EXPECT_FALSE(Exists(dir_.Path() + "/system/Software"));
}

// A full disk refuses a change with ERROR_DISK_FULL and keeps the root as it was.
TEST_F(RegistryTest, FullDiskRefusesTheChangeAndKeepsTheRoot) {
  hw::test::SetString(HKEY_CURRENT_USER, "Software\\Hallwire", "kept", "old");
  const std::string before = ReadFile(hw::RegistryHiveFile(HKEY_CURRENT_USER));
  fflush(nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A file size limit stands in for a full disk: writes beyond it fail with EFBIG.
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {64, 64};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(77);
    HKEY key = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Hallwire", 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) _exit(1);
    const std::string big(500, 'n');
    _exit(RegSetValueExA(key, "big", 0, REG_SZ, reinterpret_cast<const BYTE*>(big.c_str()),
                         static_cast<DWORD>(big.size() + 1)) == ERROR_DISK_FULL
              ? 0
              : 2);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_NE(WEXITSTATUS(status), 77);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadFile(hw::RegistryHiveFile(HKEY_CURRENT_USER)), before);
}

}  // namespace
