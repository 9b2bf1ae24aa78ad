// Stand-ins for the profile-file calls (GetPrivateProfileStringA / WritePrivateProfileStringA).
//
// A profile file is INI text: "[Section]" header lines and "Key=Value" lines. Section and
// key names match without regard to ASCII case; the first section and the first key of a
// name win. Lines that are neither (comments, blanks, junk) are kept as they are.
// Every write replaces the whole file atomically (temporary file beside it, then rename),
// so a crash or a full disk never leaves a half-written file behind.
#pragma once

#include <string>

#include "platform/system/Win32Types.h"

namespace hw::win32 {

// Copies the value of [lpAppName] lpKeyName from lpFileName into lpReturnedString
// (lpDefault, or "" when null, when the file, section or key is missing); returns the
// characters copied. Blanks around the value and one pair of enclosing double or single
// quotes are removed; a value longer than nSize - 1 is cut to nSize - 1 characters.
// A null lpKeyName lists the section's key names, a null lpAppName the section names:
// each name ends with a zero and the list with a second one; the result counts the
// characters without the final zero (nSize - 2 when the list was cut).
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName);

// Writes one key's value, creating file and section when missing; nonzero on success,
// zero (and the last error set) on failure, the file then left as it was. Only that
// key's value changes; every other line stays byte for byte. A null lpString deletes
// the key, a null lpKeyName the whole section. All three null: commits the file to
// disk (writes are already durable, so this only syncs it) and succeeds.
// Names and values holding a line break, a section name holding "]" and a key name
// holding "=" or starting with "[" or ";" are refused (ERROR_INVALID_PARAMETER), since
// they would turn into other lines of the file.
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName);

}  // namespace hw::win32

namespace hw {
// The per-user folder that profile file names without a directory resolve to:
// $XDG_CONFIG_HOME/hallwire/ (default ~/.config/hallwire/), with a trailing slash.
std::string ProfileFolder();

// The file a profile file name stands for: a name without "/" lies in ProfileFolder(),
// any other name is used unchanged.
std::string ResolveProfilePath(const std::string& fileName);
}  // namespace hw
