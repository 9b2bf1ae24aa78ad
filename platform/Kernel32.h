// Stand-ins for the kernel32/advapi32 calls the transport relies on, with their
// Win32 names, parameter shapes and error behaviour, implemented for Linux.
#pragma once

#include "platform/Win32Types.h"

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
constexpr DWORD MAX_COMPUTERNAME_LENGTH = 15;
constexpr DWORD UNLEN = 256;

// HALLWIRE_COMPUTERNAME, else the host name's first label in upper case, at most 15 characters.
BOOL GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize);
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

// --- files and mailslots -----------------------------------------------------------
struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

constexpr DWORD MAILSLOT_WAIT_FOREVER = 0xFFFFFFFFu;
constexpr DWORD MAILSLOT_NO_MESSAGE = 0xFFFFFFFFu;
constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;

struct OVERLAPPED;

// Creates the local mailslot "\\.\mailslot\NAME". Names are owned once per computer
// (compared without regard to case); a second owner fails with ERROR_ALREADY_EXISTS.
HANDLE CreateMailslotA(LPCSTR lpName, DWORD nMaxMessageSize, DWORD lReadTimeout,
                       LPSECURITY_ATTRIBUTES lpSecurityAttributes);
BOOL GetMailslotInfo(HANDLE hMailslot, LPDWORD lpMaxMessageSize, LPDWORD lpNextSize, LPDWORD lpMessageCount,
                     LPDWORD lpReadTimeout);
BOOL SetMailslotInfo(HANDLE hMailslot, DWORD lReadTimeout);

// Opens a mailslot for writing: "\\.\mailslot\NAME" (fails with ERROR_FILE_NOT_FOUND when
// nobody owns NAME here), "\\*\mailslot\NAME" or "\\COMPUTER-OR-DOMAIN\mailslot\NAME".
HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
// Reads one whole message from a mailslot handle.
BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              OVERLAPPED* lpOverlapped);
// Writes one message (one datagram, whole or not at all) to a mailslot write handle.
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               OVERLAPPED* lpOverlapped);
BOOL CloseHandle(HANDLE hObject);

}  // namespace hw::win32
