// Stand-ins for the kernel32 calls of the network services: this computer's name and
// the mailslot (file) calls, with their Win32 names, parameter shapes and error
// behaviour, implemented for Linux. Includes the system part (last error and the rest).
#pragma once

#include <cstdint>

#include "platform/system/Kernel32.h"
#include "platform/system/Win32Types.h"

namespace hw::win32 {

// --- this computer's name -----------------------------------------------------------
constexpr DWORD MAX_COMPUTERNAME_LENGTH = 15;

// HALLWIRE_COMPUTERNAME, else the host name's first label in upper case, at most 15 characters.
BOOL GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize);

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
// ReadFile on a mailslot that also gives the IPv4 address the message came from
// (network byte order; 127.0.0.1 for a write on this computer). Not a Win32 call.
BOOL ReadMailslotFrom(HANDLE hMailslot, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                      std::uint32_t* lpSource);
// Writes one message (one datagram, whole or not at all) to a mailslot write handle.
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               OVERLAPPED* lpOverlapped);
BOOL CloseHandle(HANDLE hObject);

}  // namespace hw::win32
