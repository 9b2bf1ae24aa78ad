// Helpers for the tests of the registry stand-in and of the autostart component:
// private registry folders, value access, reading desktop entries the way a desktop
// does, and running a check as an ordinary user.
#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/store/Registry.h"

namespace hw::test {

// Both roots and their autostart folders below base: base/config (the user's config
// home) and base/system.
inline void UseRegistryFolders(const std::string& base) {
  setenv("XDG_CONFIG_HOME", (base + "/config").c_str(), 1);
  setenv("HALLWIRE_SYSTEM_REGISTRY_DIR", (base + "/system").c_str(), 1);
  unsetenv("HALLWIRE_SYSTEM_AUTOSTART_DIR");
}

struct RegValue {
  win32::DWORD type;
  std::string data;
  bool operator==(const RegValue& o) const { return type == o.type && data == o.data; }
};

inline std::ostream& operator<<(std::ostream& out, const RegValue& v) {
  return out << "type " << v.type << " data \"" << v.data << "\"";
}

// The value as stored, or nothing when the key or value is missing.
inline std::optional<RegValue> QueryValue(win32::HKEY root, const std::string& path, const std::string& name) {
  using namespace win32;
  HKEY key = 0;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0, size = 0;
  std::optional<RegValue> result;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::string data(size, '\0');
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
        ERROR_SUCCESS)
      result = RegValue{type, data.substr(0, size)};
  }
  RegCloseKey(key);
  return result;
}

// Writes a string value with its terminating zero, creating the key.
inline void SetString(win32::HKEY root, const std::string& path, const std::string& name, const std::string& value,
                      win32::DWORD type = win32::REG_SZ) {
  using namespace win32;
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

struct DesktopEntry {
  std::string type;
  std::string name;
  std::vector<std::string> exec;  // the command as a desktop launches it
};

// A desktop entry's string value with its escapes resolved.
inline std::string EntryValue(const std::string& raw) {
  std::string out;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\' || i + 1 == raw.size()) {
      out += raw[i];
      continue;
    }
    char c = raw[++i];
    out += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
  }
  return out;
}

// Splits an Exec value into arguments by the desktop entry rules: blanks separate,
// double quotes group, and inside them a backslash escapes " ` $ and itself; "%%" is "%".
inline std::vector<std::string> SplitExec(const std::string& exec) {
  std::vector<std::string> args;
  std::string arg;
  bool have = false, quoted = false;
  for (size_t i = 0; i < exec.size(); ++i) {
    char c = exec[i];
    if (quoted) {
      if (c == '\\' && i + 1 < exec.size() && std::string("\"`$\\").find(exec[i + 1]) != std::string::npos)
        arg += exec[++i];
      else if (c == '"')
        quoted = false;
      else
        arg += c;
    } else if (c == ' ') {
      if (have) args.push_back(arg);
      arg.clear();
      have = false;
    } else if (c == '"') {
      quoted = have = true;
    } else {
      arg += c;
      have = true;
    }
  }
  if (have) args.push_back(arg);
  for (auto& a : args) {
    std::string plain;
    for (size_t i = 0; i < a.size(); ++i) {
      plain += a[i];
      if (a[i] == '%' && i + 1 < a.size() && a[i + 1] == '%') ++i;
    }
    a = plain;
  }
  return args;
}

inline DesktopEntry ReadDesktopEntry(const std::string& path) {
  DesktopEntry entry;
  std::ifstream in(path);
  std::string line;
  bool in_group = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '[') {
      in_group = line == "[Desktop Entry]";
      continue;
    }
    size_t eq = line.find('=');
    if (!in_group || eq == std::string::npos) continue;
    std::string key = line.substr(0, eq), value = EntryValue(line.substr(eq + 1));
    if (key == "Type") entry.type = value;
    if (key == "Name") entry.name = value;
    if (key == "Exec") entry.exec = SplitExec(value);
  }
  return entry;
}

// Runs a command and returns its exit status (-1 when it could not run).
inline int RunAndWait(const std::vector<std::string>& args) {
  if (args.empty()) return -1;
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

constexpr int kNoOrdinaryUser = -1;

// Runs check as a user without administrator rights and returns its result (0..255).
// As root, in a child process that has dropped to "nobody", with a config home of its
// own below base; otherwise in this process with the system registry folder made
// read-only. kNoOrdinaryUser when neither is possible.
inline int RunAsOrdinaryUser(const std::string& base, const std::function<int()>& check) {
  if (geteuid() != 0) {
    std::string system = base + "/system";
    std::filesystem::create_directories(system);
    chmod(system.c_str(), 0555);
    int result = check();
    chmod(system.c_str(), 0755);
    return result;
  }
  struct passwd* nobody = getpwnam("nobody");
  if (!nobody) return kNoOrdinaryUser;
  std::string home = base + "/nobody";
  std::filesystem::create_directories(home);
  if (chown(home.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) return kNoOrdinaryUser;
  chmod(base.c_str(), 0755);
  fflush(nullptr);
  pid_t child = fork();
  if (child < 0) return kNoOrdinaryUser;
  if (child == 0) {
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    if (setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) _exit(254);
    _exit(check() & 0xFF);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 254) return kNoOrdinaryUser;
  return WEXITSTATUS(status);
}

}  // namespace hw::test
