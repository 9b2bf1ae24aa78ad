// Stand-ins for the profile-file calls (GetPrivateProfileStringA / WritePrivateProfileStringA).
#pragma once

#include <string>

#include "platform/Win32Types.h"

namespace hw::win32 {

// Copies the value of [lpAppName] lpKeyName from lpFileName into lpReturnedString
// (lpDefault when the file, section or key is missing); returns the characters copied.
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName);
// Writes one key's value, creating file and section when missing; nonzero on success.
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName);

}  // namespace hw::win32

namespace hw {
// The per-user folder that profile file names without a directory resolve to:
// $XDG_CONFIG_HOME/hallwire/ (default ~/.config/hallwire/), with a trailing slash.
std::string ProfileFolder();
}  // namespace hw
