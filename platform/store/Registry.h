// Stand-ins for the advapi32 registry calls, with their Win32 names, parameter shapes
// and error codes, implemented on Linux files.
//
// Two roots exist. HKEY_CURRENT_USER lives in "registry.dat" of the per-user folder
// (hw::ProfileFolder()); HKEY_LOCAL_MACHINE lives in "registry.dat" of the system
// folder (hw::SystemRegistryFolder()), which only an administrator can write, so
// asking for write access there without rights fails with ERROR_ACCESS_DENIED.
// Key and value names compare without regard to case and keep the case they were
// created with. Every change is written at once and atomically; several processes
// may share a root. A root file that is damaged (not a registry file, a key nested
// deeper than 512 levels, or no regular file at all) is renamed to
// "registry.dat.damaged-<date>-<time>" by the first call that may change the root, and
// the root starts empty; until then, and where it cannot be changed, calls give
// ERROR_BADDB.
//
// Each value under "SOFTWARE\Microsoft\Windows\CurrentVersion\Run" and "...\RunOnce"
// can have a file that stands for it, named and filled by a mirror registered with
// hw::platform::SetRunKeyMirror (the desktop layer's autostart entries). A change to
// such a value writes or removes its file first, under the root's lock; when the file
// cannot be changed, the change fails and neither is changed. A RunOnce value that has
// a file by the mirror, but whose file is gone, has run: it no longer exists.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/system/Win32Types.h"

namespace hw::win32 {

using HKEY = std::uint32_t;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LPBYTE = BYTE*;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;

constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

// Access rights.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_CREATE_LINK = 0x0020;
constexpr REGSAM DELETE = 0x00010000;
constexpr REGSAM KEY_READ = 0x00020019;
constexpr REGSAM KEY_WRITE = 0x00020006;
constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

// RegCreateKeyExA options and dispositions.
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Error codes the registry calls return besides those of Win32Types.h.
constexpr LONG ERROR_BAD_PATHNAME = 161;
constexpr LONG ERROR_BADDB = 1009;
constexpr LONG ERROR_CANTWRITE = 1013;
constexpr LONG ERROR_KEY_DELETED = 1018;

// Opens an existing key. lpSubKey is relative to hKey ("" or nullptr: hKey's own key)
// and must not begin with a backslash (ERROR_BAD_PATHNAME); a trailing one is ignored.
// Missing key: ERROR_FILE_NOT_FOUND. Write rights without write access to the root's
// folder: ERROR_ACCESS_DENIED.
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
// Opens a key, creating it and any missing parents. *lpdwDisposition (may be nullptr)
// tells REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. Keys nest at most 512 levels
// below a root; a deeper path gives ERROR_BAD_PATHNAME.
LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions, REGSAM samDesired,
                     const void* lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition);
// Reads a value's type and data. With lpData nullptr only the size is reported; a buffer
// that is too small gives ERROR_MORE_DATA and the size needed. Missing: ERROR_FILE_NOT_FOUND.
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData);
// Writes a value of any type; the bytes are kept exactly (a REG_SZ passes its terminating zero).
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData);
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
// Counts of sub-keys and values and the longest names and data; any pointer may be nullptr.
LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved, LPDWORD lpcSubKeys,
                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                      LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                      PFILETIME lpftLastWriteTime);
// The name of sub-key dwIndex (in name order); ERROR_NO_MORE_ITEMS past the last one.
LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved, LPSTR lpClass,
                   LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);
// Deletes a key that has no sub-keys (ERROR_ACCESS_DENIED when it has some), with its values.
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
LONG RegCloseKey(HKEY hKey);

}  // namespace hw::win32

namespace hw {

// HKEY_LOCAL_MACHINE's folder: $HALLWIRE_SYSTEM_REGISTRY_DIR, else /var/lib/hallwire/;
// with a trailing slash.
std::string SystemRegistryFolder();
// The file that holds a root (HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE).
std::string RegistryHiveFile(win32::HKEY root);

}  // namespace hw

namespace hw::platform {

// One value of root's Run (runOnce false) or RunOnce key as stored: a value that is
// gone has type REG_NONE and no data.
struct TRunValue {
  win32::HKEY root;
  bool runOnce;
  std::string name;
  win32::DWORD type;
  std::string data;  // the bytes as stored (a string with its terminating zero)
};
// The file that stands for a value, and its content (nothing: the value has no file).
struct TRunValueFile {
  std::string path;
  std::optional<std::string> content;
};
using TRunKeyMirror = std::function<TRunValueFile(const TRunValue& value)>;
// Registers the mirror for every later change and read (an empty one: values have no files).
void SetRunKeyMirror(TRunKeyMirror mirror);

// Once for every damaged root file set aside in this process: an English sentence for
// the user naming the file and where it was set aside. Checks both roots first.
std::optional<std::string> TakeRegistryNotice();

}  // namespace hw::platform
