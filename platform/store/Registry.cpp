// The registry stand-in: two roots kept as small text files, read anew by every call so
// that several processes see each other's changes, changed under a file lock and
// replaced atomically. Values of the Run and RunOnce keys are kept in step with files of
// a registered mirror, within the same change.
#include "platform/store/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/system/ErrnoError.h"
#include "platform/store/Profile.h"
#include "platform/store/RegistryFormat.h"
#include "platform/store/RegularFile.h"

namespace hw {

namespace {

using win32::DWORD;
using win32::HKEY;
using win32::LONG;

using registry::Fold;
using registry::Key;
using registry::SameName;
using registry::Value;

enum class Hive { User, Machine };

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

std::optional<Hive> RootHive(HKEY key) {
  if (key == win32::HKEY_CURRENT_USER) return Hive::User;
  if (key == win32::HKEY_LOCAL_MACHINE) return Hive::Machine;
  return std::nullopt;
}

HKEY HiveRoot(Hive hive) { return hive == Hive::User ? win32::HKEY_CURRENT_USER : win32::HKEY_LOCAL_MACHINE; }

std::string HiveFolder(Hive hive) { return hive == Hive::User ? ProfileFolder() : SystemRegistryFolder(); }

// --- the tree -----------------------------------------------------------------

Key* Walk(Key& root, const std::vector<std::string>& path) {
  Key* key = &root;
  for (const auto& part : path) {
    key = key->FindSub(part);
    if (!key) return nullptr;
  }
  return key;
}

// Splits a sub-key path. A leading backslash is refused; empty parts (a trailing
// backslash, doubled ones) are skipped.
bool SplitPath(const char* subKey, std::vector<std::string>& parts) {
  if (!subKey) return true;
  std::string text = subKey;
  if (!text.empty() && text[0] == '\\') return false;
  std::string part;
  for (char c : text) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return true;
}

// --- files ------------------------------------------------------------------------

LONG ErrnoToError(int err) { return static_cast<LONG>(ErrnoToWin32Error(err, win32::ERROR_CANTWRITE)); }

int MakeFolders(const std::string& folder) {
  std::string path;
  size_t pos = 0;
  while (pos < folder.size()) {
    size_t next = folder.find('/', pos + 1);
    if (next == std::string::npos) next = folder.size();
    path = folder.substr(0, next);
    pos = next;
    if (path.empty() || path == "/") continue;
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) return errno;
  }
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0) return errno;
  if (!S_ISDIR(st.st_mode)) return ENOTDIR;
  return 0;
}

// Writes a whole file through a temporary beside it and a rename, so that readers see
// the old or the new content, never a part.
int WriteAtomically(const std::string& path, const std::string& content, mode_t mode) {
  size_t slash = path.rfind('/');
  std::string folder = path.substr(0, slash);
  if (int err = MakeFolders(folder)) return err;
  std::string temp = path + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return errno;
  int err = 0;
  size_t done = 0;
  while (done < content.size()) {
    ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (!err && ::fchmod(fd, mode) != 0) err = errno;
  if (!err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(temp.c_str());
    return err;
  }
  int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return 0;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// Whether this process may change a root: its folder, or the nearest existing folder
// above it when it does not exist yet, must be writable with the effective identity.
bool HiveWritable(Hive hive) {
  std::string path = HiveFolder(hive);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  for (;;) {
    if (::faccessat(AT_FDCWD, path.c_str(), F_OK, AT_EACCESS) == 0)
      return ::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
    size_t slash = path.rfind('/');
    if (slash == std::string::npos || path == "/") return false;
    path = slash == 0 ? "/" : path.substr(0, slash);
  }
}

// Serialises changes to one root across processes for the length of a change.
class HiveLock {
 public:
  explicit HiveLock(Hive hive) {
    std::string file = RegistryHiveFile(HiveRoot(hive));
    std::string folder = file.substr(0, file.rfind('/'));
    error_ = MakeFolders(folder);
    if (error_) return;
    fd_ = ::open((file + ".lock").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        error_ = errno;
        break;
      }
    }
  }
  ~HiveLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  HiveLock(const HiveLock&) = delete;
  HiveLock& operator=(const HiveLock&) = delete;
  int Error() const { return error_; }

 private:
  int fd_ = -1;
  int error_ = 0;
};

// --- the Run keys' mirror ----------------------------------------------------------

std::mutex g_mirror_mutex;

platform::TRunKeyMirror& RunKeyMirrorSlot() {
  static platform::TRunKeyMirror mirror;
  return mirror;
}

platform::TRunKeyMirror RunKeyMirror() {
  std::lock_guard<std::mutex> lock(g_mirror_mutex);
  return RunKeyMirrorSlot();
}

const std::vector<std::string> kRunPath = {"software", "microsoft", "windows", "currentversion", "run"};
const std::vector<std::string> kRunOncePath = {"software", "microsoft", "windows", "currentversion", "runonce"};

// Which autostart list a key path stands for: 0 none, 1 Run, 2 RunOnce.
int AutostartKind(const std::vector<std::string>& path) {
  if (path.size() != kRunPath.size()) return 0;
  for (size_t i = 0; i + 1 < path.size(); ++i)
    if (Fold(path[i]) != kRunPath[i]) return 0;
  std::string last = Fold(path.back());
  if (last == kRunPath.back()) return 1;
  if (last == kRunOncePath.back()) return 2;
  return 0;
}

// A pending change to one mirror file, undone when the change to the root fails.
struct EntryChange {
  std::string file;
  std::optional<std::string> content;  // nothing: remove the entry
  std::optional<std::string> before;   // the entry's old content, if there was one
  bool applied = false;
};

// The mirror's file for a value as it is now (nullptr: gone).
void PlanEntry(std::vector<EntryChange>& plan, Hive hive, int kind, const std::string& name, const Value* value) {
  const platform::TRunKeyMirror mirror = RunKeyMirror();
  if (!mirror) return;
  platform::TRunValueFile file = mirror({HiveRoot(hive), kind == 2, name, value ? value->type : win32::REG_NONE,
                                         value ? value->data : std::string()});
  EntryChange change;
  change.file = std::move(file.path);
  change.content = std::move(file.content);
  plan.push_back(std::move(change));
}

int ApplyEntries(std::vector<EntryChange>& plan) {
  for (auto& change : plan) {
    std::string old;
    int err = 0;
    if (ReadRegularFile(change.file, old) == 0) change.before = old;
    if (change.content) {
      err = WriteAtomically(change.file, *change.content, 0644);
    } else {
      err = ::unlink(change.file.c_str()) == 0 || errno == ENOENT ? 0 : errno;
    }
    if (err) return err;
    change.applied = true;
  }
  return 0;
}

void UndoEntries(std::vector<EntryChange>& plan) {
  for (auto it = plan.rbegin(); it != plan.rend(); ++it) {
    if (!it->applied) continue;
    if (it->before) WriteAtomically(it->file, *it->before, 0644);
    else ::unlink(it->file.c_str());
  }
}

// A RunOnce value whose file is gone has run (or its file was taken away): it no
// longer exists. Values the mirror gives no file (no command) stay.
void PruneConsumedRunOnce(Hive hive, Key& root) {
  const platform::TRunKeyMirror mirror = RunKeyMirror();
  if (!mirror) return;
  std::vector<std::string> path(kRunOncePath.begin(), kRunOncePath.end());
  Key* key = Walk(root, path);
  if (!key) return;
  auto& values = key->values;
  for (auto it = values.begin(); it != values.end();) {
    const platform::TRunValueFile file = mirror({HiveRoot(hive), true, it->name, it->type, it->data});
    if (file.content && !FileExists(file.path))
      it = values.erase(it);
    else
      ++it;
  }
}

// --- loading and saving a root ------------------------------------------------------

std::mutex g_notices_mutex;
std::deque<std::string> g_notices;

// Moves a damaged root file aside under a name not taken yet, so that what it held is
// kept for the user and a new root can start. Runs under the root's lock.
bool SetAside(Hive hive) {
  const std::string file = RegistryHiveFile(HiveRoot(hive));
  char stamp[32];
  std::time_t now = std::time(nullptr);
  struct tm local;
  localtime_r(&now, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  for (int n = 1; n <= 100; ++n) {
    std::string aside = file + ".damaged-" + stamp + (n > 1 ? "-" + std::to_string(n) : "");
    struct stat st;
    if (::lstat(aside.c_str(), &st) == 0 || errno != ENOENT) continue;
    if (::rename(file.c_str(), aside.c_str()) != 0) return false;
    std::lock_guard<std::mutex> lock(g_notices_mutex);
    g_notices.push_back("The registry file " + file + " was damaged; it was set aside as " + aside +
                        " and a new one was started.");
    return true;
  }
  return false;
}

// Reads a root. damaged: the file is not a regular file or not a registry file at all,
// as opposed to one that cannot be read now.
LONG ReadHive(Hive hive, Key& root, bool& damaged) {
  root = Key();
  damaged = false;
  std::string text;
  int err = ReadRegularFile(RegistryHiveFile(HiveRoot(hive)), text);
  if (err == ENOENT || err == ENOTDIR) return win32::ERROR_SUCCESS;
  if (err == EACCES || err == EPERM) return win32::ERROR_ACCESS_DENIED;
  if (err == kNotRegularFile || (err == 0 && !registry::ParseRegistry(text, root))) {
    root = Key();
    damaged = true;
    return win32::ERROR_BADDB;
  }
  if (err) return win32::ERROR_BADDB;
  PruneConsumedRunOnce(hive, root);
  return win32::ERROR_SUCCESS;
}

// Loads a root. A damaged file is set aside and the root starts empty, when this process
// may change the root; locked tells that the caller already holds the root's lock.
LONG LoadHive(Hive hive, Key& root, bool locked = false) {
  bool damaged = false;
  LONG rc = ReadHive(hive, root, damaged);
  if (!damaged) return rc;
  if (!locked) {
    if (!HiveWritable(hive)) return rc;
    HiveLock lock(hive);
    if (lock.Error()) return rc;
    // Another process may have set it aside and started anew meanwhile.
    return LoadHive(hive, root, true);
  }
  return SetAside(hive) ? win32::ERROR_SUCCESS : rc;
}

LONG SaveHive(Hive hive, const Key& root) {
  std::string text = registry::SerialiseRegistry(root);
  if (int err = WriteAtomically(RegistryHiveFile(HiveRoot(hive)), text, 0644)) return ErrnoToError(err);
  return win32::ERROR_SUCCESS;
}

// Runs one change under the root's lock: load, change (which may plan entry changes),
// write the entries, then the root; a failure leaves both as they were.
template <typename Change>
LONG ModifyHive(Hive hive, Change change) {
  if (!HiveWritable(hive)) return win32::ERROR_ACCESS_DENIED;
  HiveLock lock(hive);
  if (lock.Error()) return ErrnoToError(lock.Error());
  Key root;
  if (LONG rc = LoadHive(hive, root, true)) return rc;
  std::vector<EntryChange> plan;
  bool changed = false;
  if (LONG rc = change(root, plan, changed)) return rc;
  if (!changed) return win32::ERROR_SUCCESS;
  if (int err = ApplyEntries(plan)) {
    UndoEntries(plan);
    return ErrnoToError(err);
  }
  if (LONG rc = SaveHive(hive, root)) {
    UndoEntries(plan);
    return rc;
  }
  return win32::ERROR_SUCCESS;
}

// --- handles --------------------------------------------------------------------------

struct OpenKey {
  Hive hive;
  std::vector<std::string> path;
  win32::REGSAM access;
};

std::mutex g_handles_mutex;
std::map<HKEY, OpenKey> g_handles;
HKEY g_next_handle = 0x1000;

constexpr win32::REGSAM kWriteRights =
    win32::KEY_SET_VALUE | win32::KEY_CREATE_SUB_KEY | win32::KEY_CREATE_LINK | win32::DELETE | 0x00040000 /*WRITE_DAC*/ |
    0x00080000 /*WRITE_OWNER*/;

std::optional<OpenKey> Resolve(HKEY key) {
  if (auto hive = RootHive(key)) return OpenKey{*hive, {}, win32::KEY_ALL_ACCESS};
  std::lock_guard<std::mutex> lock(g_handles_mutex);
  auto it = g_handles.find(key);
  if (it == g_handles.end()) return std::nullopt;
  return it->second;
}

HKEY NewHandle(OpenKey key) {
  std::lock_guard<std::mutex> lock(g_handles_mutex);
  while (g_handles.count(g_next_handle) || g_next_handle == 0 || g_next_handle >= 0x80000000u)
    g_next_handle = g_next_handle >= 0x80000000u ? 0x1000 : g_next_handle + 1;
  HKEY handle = g_next_handle++;
  g_handles.emplace(handle, std::move(key));
  return handle;
}

// The stored names along a path, for a handle that keeps the names as created.
std::vector<std::string> StoredNames(Key& root, const std::vector<std::string>& path) {
  std::vector<std::string> names;
  Key* key = &root;
  for (const auto& part : path) {
    key = key->FindSub(part);
    names.push_back(key ? key->name : part);
    if (!key) break;
  }
  return names;
}

// Loads a root and finds the key a handle stands for.
LONG LoadKey(const OpenKey& open, Key& root, Key*& key) {
  if (LONG rc = LoadHive(open.hive, root)) return rc;
  key = Walk(root, open.path);
  return key ? win32::ERROR_SUCCESS : win32::ERROR_KEY_DELETED;
}

}  // namespace

std::string SystemRegistryFolder() {
  const char* dir = std::getenv("HALLWIRE_SYSTEM_REGISTRY_DIR");
  return WithSlash(dir && dir[0] ? dir : "/var/lib/hallwire");
}

std::string RegistryHiveFile(win32::HKEY root) {
  return (root == win32::HKEY_LOCAL_MACHINE ? SystemRegistryFolder() : ProfileFolder()) + "registry.dat";
}

namespace win32 {

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/, REGSAM samDesired, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = 0;
  auto base = Resolve(hKey);
  if (!base) return ERROR_INVALID_HANDLE;
  std::vector<std::string> path = base->path;
  if (!SplitPath(lpSubKey, path)) return ERROR_BAD_PATHNAME;
  if ((samDesired & kWriteRights) && !HiveWritable(base->hive)) return ERROR_ACCESS_DENIED;
  Key root;
  if (LONG rc = LoadHive(base->hive, root)) return rc;
  if (!Walk(root, base->path)) return ERROR_KEY_DELETED;
  if (!Walk(root, path)) return ERROR_FILE_NOT_FOUND;
  *phkResult = NewHandle(OpenKey{base->hive, StoredNames(root, path), samDesired});
  return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*Reserved*/, LPSTR /*lpClass*/, DWORD /*dwOptions*/,
                     REGSAM samDesired, const void* /*lpSecurityAttributes*/, PHKEY phkResult,
                     LPDWORD lpdwDisposition) {
  if (!phkResult || !lpSubKey) return ERROR_INVALID_PARAMETER;
  *phkResult = 0;
  auto base = Resolve(hKey);
  if (!base) return ERROR_INVALID_HANDLE;
  std::vector<std::string> path = base->path;
  if (!SplitPath(lpSubKey, path) || path.size() > registry::kMaxKeyDepth) return ERROR_BAD_PATHNAME;
  if ((samDesired & kWriteRights) && !HiveWritable(base->hive)) return ERROR_ACCESS_DENIED;

  DWORD disposition = REG_OPENED_EXISTING_KEY;
  std::vector<std::string> names;
  {
    Key root;
    if (LONG rc = LoadHive(base->hive, root)) return rc;
    if (!Walk(root, base->path)) return ERROR_KEY_DELETED;
    if (Walk(root, path)) names = StoredNames(root, path);
  }
  if (names.empty() && !path.empty()) {
    LONG rc = ModifyHive(base->hive, [&](Key& root, std::vector<EntryChange>&, bool& changed) -> LONG {
      if (!Walk(root, base->path)) return ERROR_KEY_DELETED;
      Key* key = &root;
      for (const auto& part : path) {
        bool created = false;
        key = key->FindOrCreateSub(part, &created);
        changed = changed || created;
      }
      if (changed) disposition = REG_CREATED_NEW_KEY;
      names = StoredNames(root, path);
      return ERROR_SUCCESS;
    });
    if (rc) return rc;
  }
  *phkResult = NewHandle(OpenKey{base->hive, names, samDesired});
  if (lpdwDisposition) *lpdwDisposition = disposition;
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD /*lpReserved*/, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
  auto open = Resolve(hKey);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  Key root;
  Key* key = nullptr;
  if (LONG rc = LoadKey(*open, root, key)) return rc;
  const Value* value = key->FindValue(lpValueName ? lpValueName : "");
  if (!value) return ERROR_FILE_NOT_FOUND;
  if (lpType) *lpType = value->type;
  DWORD size = static_cast<DWORD>(value->data.size());
  if (!lpcbData) return ERROR_SUCCESS;
  if (lpData && *lpcbData < size) {
    *lpcbData = size;
    return ERROR_MORE_DATA;
  }
  if (lpData) std::memcpy(lpData, value->data.data(), size);
  *lpcbData = size;
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD /*Reserved*/, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
  auto open = Resolve(hKey);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  if (!lpData && cbData) return ERROR_INVALID_PARAMETER;
  std::string name = lpValueName ? lpValueName : "";
  std::string data = lpData ? std::string(reinterpret_cast<const char*>(lpData), cbData) : std::string();
  return ModifyHive(open->hive, [&](Key& root, std::vector<EntryChange>& plan, bool& changed) -> LONG {
    Key* key = Walk(root, open->path);
    if (!key) return ERROR_KEY_DELETED;
    Value* value = key->FindValue(name);
    if (!value) {
      key->values.push_back(Value{name, dwType, data});
      value = &key->values.back();
    } else {
      value->type = dwType;
      value->data = data;
    }
    if (int kind = AutostartKind(open->path)) PlanEntry(plan, open->hive, kind, value->name, value);
    changed = true;
    return ERROR_SUCCESS;
  });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  auto open = Resolve(hKey);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  std::string name = lpValueName ? lpValueName : "";
  return ModifyHive(open->hive, [&](Key& root, std::vector<EntryChange>& plan, bool& changed) -> LONG {
    Key* key = Walk(root, open->path);
    if (!key) return ERROR_KEY_DELETED;
    for (auto it = key->values.begin(); it != key->values.end(); ++it) {
      if (!SameName(it->name, name)) continue;
      if (int kind = AutostartKind(open->path)) PlanEntry(plan, open->hive, kind, it->name, nullptr);
      key->values.erase(it);
      changed = true;
      return ERROR_SUCCESS;
    }
    return ERROR_FILE_NOT_FOUND;
  });
}

LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD /*lpReserved*/, LPDWORD lpcSubKeys,
                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                      LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                      PFILETIME lpftLastWriteTime) {
  auto open = Resolve(hKey);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  Key root;
  Key* key = nullptr;
  if (LONG rc = LoadKey(*open, root, key)) return rc;
  if (lpClass) {
    if (!lpcchClass || *lpcchClass < 1) return ERROR_MORE_DATA;
    lpClass[0] = '\0';
  }
  if (lpcchClass) *lpcchClass = 0;
  DWORD max_sub = 0, max_name = 0, max_data = 0;
  for (const auto& [folded, sub] : key->subkeys) max_sub = std::max<DWORD>(max_sub, DWORD(sub->name.size()));
  for (const auto& v : key->values) {
    max_name = std::max<DWORD>(max_name, DWORD(v.name.size()));
    max_data = std::max<DWORD>(max_data, DWORD(v.data.size()));
  }
  if (lpcSubKeys) *lpcSubKeys = static_cast<DWORD>(key->subkeys.size());
  if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = max_sub;
  if (lpcbMaxClassLen) *lpcbMaxClassLen = 0;
  if (lpcValues) *lpcValues = static_cast<DWORD>(key->values.size());
  if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = max_name;
  if (lpcbMaxValueLen) *lpcbMaxValueLen = max_data;
  if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
  if (lpftLastWriteTime) {
    // The root file's modification time, in 100 ns steps since 1601.
    struct stat st;
    std::uint64_t ticks = 0;
    if (::stat(RegistryHiveFile(HiveRoot(open->hive)).c_str(), &st) == 0)
      ticks = (static_cast<std::uint64_t>(st.st_mtime) + 11644473600ull) * 10000000ull;
    lpftLastWriteTime->dwLowDateTime = static_cast<DWORD>(ticks);
    lpftLastWriteTime->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  }
  return ERROR_SUCCESS;
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD /*lpReserved*/, LPSTR lpClass,
                   LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
  auto open = Resolve(hKey);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!(open->access & KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
  if (!lpName || !lpcchName) return ERROR_INVALID_PARAMETER;
  Key root;
  Key* key = nullptr;
  if (LONG rc = LoadKey(*open, root, key)) return rc;
  if (dwIndex >= key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
  auto it = key->subkeys.begin();
  std::advance(it, dwIndex);
  const std::string& name = it->second->name;
  if (*lpcchName < name.size() + 1) return ERROR_MORE_DATA;
  std::memcpy(lpName, name.c_str(), name.size() + 1);
  *lpcchName = static_cast<DWORD>(name.size());
  if (lpClass && lpcchClass && *lpcchClass > 0) lpClass[0] = '\0';
  if (lpcchClass) *lpcchClass = 0;
  if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  if (!lpSubKey) return ERROR_INVALID_PARAMETER;
  auto base = Resolve(hKey);
  if (!base) return ERROR_INVALID_HANDLE;
  std::vector<std::string> path = base->path;
  if (!SplitPath(lpSubKey, path)) return ERROR_BAD_PATHNAME;
  if (path.empty()) return ERROR_ACCESS_DENIED;  // a root cannot be deleted
  return ModifyHive(base->hive, [&](Key& root, std::vector<EntryChange>& plan, bool& changed) -> LONG {
    if (!Walk(root, base->path)) return ERROR_KEY_DELETED;
    std::vector<std::string> parent_path(path.begin(), path.end() - 1);
    Key* parent = Walk(root, parent_path);
    Key* key = parent ? parent->FindSub(path.back()) : nullptr;
    if (!key) return ERROR_FILE_NOT_FOUND;
    if (!key->subkeys.empty()) return ERROR_ACCESS_DENIED;
    if (int kind = AutostartKind(path))
      for (const auto& v : key->values) PlanEntry(plan, base->hive, kind, v.name, nullptr);
    parent->subkeys.erase(Fold(path.back()));
    changed = true;
    return ERROR_SUCCESS;
  });
}

LONG RegCloseKey(HKEY hKey) {
  if (RootHive(hKey)) return ERROR_SUCCESS;
  std::lock_guard<std::mutex> lock(g_handles_mutex);
  return g_handles.erase(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace win32

namespace platform {

void SetRunKeyMirror(TRunKeyMirror mirror) {
  std::lock_guard<std::mutex> lock(g_mirror_mutex);
  RunKeyMirrorSlot() = std::move(mirror);
}

std::optional<std::string> TakeRegistryNotice() {
  // Loading sets a damaged root aside, so a damage is found even before any other call.
  for (Hive hive : {Hive::User, Hive::Machine}) {
    Key root;
    LoadHive(hive, root);
  }
  std::lock_guard<std::mutex> lock(g_notices_mutex);
  if (g_notices.empty()) return std::nullopt;
  std::string notice = std::move(g_notices.front());
  g_notices.pop_front();
  return notice;
}

}  // namespace platform

}  // namespace hw
