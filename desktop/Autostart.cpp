#include "desktop/Autostart.h"

#include <unistd.h>

#include <QGuiApplication>
#include <exception>
#include <optional>
#include <vector>

#include "desktop/AutostartEntry.h"
#include "platform/store/Registry.h"

namespace hw {

namespace {

using namespace win32;

bool g_first_write_pending = true;

// Relative to the root: the registry calls take no leading backslash.
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunOnceKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kTestKey[] = "Software\\Sunfield\\test\\";

std::string RunningExecutable() {
  std::string path(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0) return std::string();
  path.resize(static_cast<size_t>(n));
  return path;
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// Closes a key handle when it goes out of scope.
class KeyHandle {
 public:
  KeyHandle() = default;
  ~KeyHandle() {
    if (key_) RegCloseKey(key_);
  }
  KeyHandle(const KeyHandle&) = delete;
  KeyHandle& operator=(const KeyHandle&) = delete;
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = 0;
};

// Reads value name as a string: a missing or empty value is "", a value of another
// type that holds data is an error.
std::string ReadString(HKEY key, const std::string& name) {
  for (;;) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
      return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryError("Invalid data type for '" + name + "'");
    std::string data(size, '\0');
    LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (rc == ERROR_MORE_DATA) continue;  // grew in between; ask again
    if (rc != ERROR_SUCCESS) return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryError("Invalid data type for '" + name + "'");
    data.resize(size);
    size_t nul = data.find('\0');
    return nul == std::string::npos ? data : data.substr(0, nul);
  }
}

// Deletes a key with all its sub-keys.
void DeleteKeyTree(HKEY root, const std::string& path) {
  std::vector<std::string> children;
  {
    KeyHandle key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, key.Out()) != ERROR_SUCCESS) return;
    DWORD count = 0, longest = 0;
    if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
      return;
    std::string name(longest + 1, '\0');
    for (DWORD i = 0; i < count; ++i) {
      DWORD length = longest + 1;
      if (RegEnumKeyExA(key.Get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        children.push_back(name.substr(0, length));
    }
  }
  std::string base = path;
  while (!base.empty() && base.back() == '\\') base.pop_back();
  for (const auto& child : children) DeleteKeyTree(root, base + "\\" + child);
  RegDeleteKeyA(root, base.c_str());
}

}  // namespace

TSunfieldAutostart::TSunfieldAutostart(const std::string& applicationTitle)
    : name_(applicationTitle + "#Autostart"), executable_(RunningExecutable()) {}

TSunfieldAutostart::TSunfieldAutostart()
    : TSunfieldAutostart(qGuiApp ? QGuiApplication::applicationDisplayName().toStdString() : std::string()) {}

bool TSunfieldAutostart::FirstWritePending() { return g_first_write_pending; }
void TSunfieldAutostart::SetFirstWritePending(bool pending) { g_first_write_pending = pending; }

bool TSunfieldAutostart::ReadRegistration(Kind kind, bool allUsers) {
  if (name_.empty()) return false;
  KeyHandle key;
  // Full access also for reading: without rights to a root it counts as not registered.
  if (RegOpenKeyExA(allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kind == Kind::Run ? kRunKey : kRunOnceKey, 0,
                    KEY_ALL_ACCESS, key.Out()) != ERROR_SUCCESS)
    return false;
  return !ReadString(key.Get(), name_).empty();
}

bool TSunfieldAutostart::FollowDesktopEntry() {
  if (name_.empty()) return false;
  if (global_) {
    // The all-users entry may be switched off for this user only; the registration
    // stays for the others.
    const std::string entry = AutostartEntryFile(HKEY_LOCAL_MACHINE, false, name_);
    return AutostartEntryStateOf(entry) == AutostartEntryState::kEnabled &&
           AutostartEntryStateOf(UserOverrideEntryFile(entry)) != AutostartEntryState::kDisabled &&
           ReadRegistration(Kind::Run, true);
  }
  const std::string entry = AutostartEntryFile(HKEY_CURRENT_USER, false, name_);
  const AutostartEntryState state = AutostartEntryStateOf(entry);
  const bool registered = ReadRegistration(Kind::Run, false);
  if (registered && state != AutostartEntryState::kEnabled) {
    // Switched off in the desktop's start-up settings: the registration follows. The
    // registry removes the entry with its value; a disabled one is put back, so the
    // desktop's list still shows it as the user left it.
    const std::optional<std::string> disabled = ReadAutostartEntry(entry);
    WriteRegistration(Kind::Run, false, false, false);
    if (disabled) WriteAutostartEntry(entry, *disabled);
    return false;
  }
  if (!registered && state == AutostartEntryState::kEnabled) {
    // Switched on there again: registered, so that the preferences box shows it.
    return WriteRegistration(Kind::Run, false, true, false);
  }
  return registered;
}

void TSunfieldAutostart::KeepAllUsersRunOnceToOneRun() {
  if (name_.empty()) return;
  // An all-users entry cannot remove itself when it runs for a user without the rights
  // to its folder: this user's disabled entry of the same name keeps it from starting
  // the program again for this user. A user entry already there is left alone.
  const std::string entry = AutostartEntryFile(HKEY_LOCAL_MACHINE, true, name_);
  const std::string mine = UserOverrideEntryFile(entry);
  if (AutostartEntryStateOf(entry) == AutostartEntryState::kMissing ||
      AutostartEntryStateOf(mine) != AutostartEntryState::kMissing)
    return;
  WriteAutostartEntry(mine, "[Desktop Entry]\nType=Application\nName=" + name_ +
                                "\nComment=Started once already for this user\nHidden=true\n");
}

bool TSunfieldAutostart::WriteRegistration(Kind kind, bool allUsers, bool on, bool request) {
  if (request && g_first_write_pending) {
    // Cleared before the read, so that a read error still ends the refresh and the
    // user's next click takes effect.
    g_first_write_pending = false;
    on = FollowDesktopEntry();
    run_ = on;
  }
  if (name_.empty()) return false;
  KeyHandle key;
  if (RegCreateKeyExA(allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kind == Kind::Run ? kRunKey : kRunOnceKey, 0,
                      nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.Out(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  if (on) {
    std::string command = "\"" + executable_ + "\"";
    if (RegSetValueExA(key.Get(), name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1)) != ERROR_SUCCESS)
      throw ERegistryError("Failed to set data for '" + name_ + "'");
    return true;
  }
  LONG rc = RegDeleteValueA(key.Get(), name_.c_str());
  if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) return false;
  // The value could not be removed: report the state it is really in.
  return !ReadString(key.Get(), name_).empty();
}

bool TSunfieldAutostart::autostart() {
  run_ = FollowDesktopEntry();
  return run_;
}

void TSunfieldAutostart::Setautostart(bool on) { run_ = WriteRegistration(Kind::Run, global_, on, true); }

bool TSunfieldAutostart::StartNextLogon() {
  run_once_ = ReadRegistration(Kind::RunOnce, global_);
  return run_once_;
}

void TSunfieldAutostart::SetStartNextLogon(bool on) {
  run_once_ = WriteRegistration(Kind::RunOnce, global_, on, true);
}

void TSunfieldAutostart::SetappName(const std::string& name) {
  if (SameText(name, name_)) return;
  struct Registration {
    Kind kind;
    bool allUsers;
  };
  const Registration all[] = {{Kind::Run, false}, {Kind::Run, true}, {Kind::RunOnce, false}, {Kind::RunOnce, true}};
  std::vector<Registration> found;
  for (const auto& r : all)
    if (ReadRegistration(r.kind, r.allUsers)) found.push_back(r);
  for (const auto& r : found) WriteRegistration(r.kind, r.allUsers, false, false);
  name_ = name;
  for (const auto& r : found) WriteRegistration(r.kind, r.allUsers, true, false);
  autostart();
  StartNextLogon();
}

void TSunfieldAutostart::SetGlobal(bool on) {
  if (on) {
    bool writable;
    {
      KeyHandle key;
      writable = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                 nullptr, key.Out(), nullptr) == ERROR_SUCCESS;
    }
    if (writable) DeleteKeyTree(HKEY_LOCAL_MACHINE, kTestKey);
    else on = false;
  }
  if (on == global_) return;
  for (Kind kind : {Kind::Run, Kind::RunOnce}) {
    if (!ReadRegistration(kind, global_)) continue;
    WriteRegistration(kind, on, true, false);
    WriteRegistration(kind, global_, false, false);
  }
  global_ = on;
}

void TSunfieldAutostart::LoadStored(const std::string& appName, bool autostart, bool startNextLogon, bool global) {
  std::exception_ptr first;
  auto step = [&first](auto&& work) {
    try {
      work();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  };
  step([&] {
    try {
      SetappName(appName);
    } catch (...) {
      // The later steps must work on the stored name even when the move failed.
      name_ = appName;
      throw;
    }
  });
  step([&] { Setautostart(autostart); });
  step([&] { SetStartNextLogon(startNextLogon); });
  step([&] { SetGlobal(global); });
  step([&] { KeepAllUsersRunOnceToOneRun(); });
  if (first) std::rethrow_exception(first);
}

}  // namespace hw
