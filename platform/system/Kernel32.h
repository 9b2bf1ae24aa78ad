// Stand-ins for the kernel32/advapi32 system calls the program relies on (last error,
// system texts, identity, local time), with their Win32 names, parameter shapes and
// error behaviour, implemented for Linux. The mailslot calls are in
// platform/net/Kernel32Mailslots.h.
#pragma once

#include "platform/system/Win32Types.h"

namespace hw::win32 {

// --- last error (per thread) -------------------------------------------------
DWORD GetLastError();
void SetLastError(DWORD code);

// --- system texts --------------------------------------------------------------
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200;
constexpr DWORD FORMAT_MESSAGE_ARGUMENT_ARRAY = 0x00002000;

// Writes the English system text for dwMessageId (with its trailing "\r\n") into
// lpBuffer; returns the number of characters stored, 0 when the code is unknown
// (last error ERROR_MR_MID_NOT_FOUND, 317) or the buffer is too small.
DWORD FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId, LPSTR lpBuffer,
                     DWORD nSize, void* Arguments);

// --- identity ------------------------------------------------------------------
constexpr DWORD UNLEN = 256;

// The real user's login name from the passwd database. nSize counts the terminating zero.
BOOL GetUserNameA(LPSTR lpBuffer, LPDWORD pcbBuffer);
DWORD GetCurrentProcessId();

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};
void GetLocalTime(SYSTEMTIME* lpSystemTime);

}  // namespace hw::win32
