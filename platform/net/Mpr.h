// Stand-ins for the network resource enumeration calls (mpr). Stage 1 of an
// enumeration yields our primary workgroup as the one top container, stage 2 its
// computers as seen by the presence service ("\\NAME" remote names).
#pragma once

#include "platform/system/Win32Types.h"

namespace hw::win32 {

constexpr DWORD NO_ERROR = 0;
constexpr DWORD RESOURCE_CONNECTED = 1;
constexpr DWORD RESOURCE_GLOBALNET = 2;
constexpr DWORD RESOURCETYPE_ANY = 0;
constexpr DWORD RESOURCETYPE_DISK = 1;
constexpr DWORD RESOURCEDISPLAYTYPE_GENERIC = 0;
constexpr DWORD RESOURCEDISPLAYTYPE_DOMAIN = 1;
constexpr DWORD RESOURCEDISPLAYTYPE_SERVER = 2;
constexpr DWORD RESOURCEUSAGE_CONNECTABLE = 1;
constexpr DWORD RESOURCEUSAGE_CONTAINER = 2;

struct NETRESOURCEA {
  DWORD dwScope;
  DWORD dwType;
  DWORD dwDisplayType;
  DWORD dwUsage;
  LPSTR lpLocalName;
  LPSTR lpRemoteName;
  LPSTR lpComment;
  LPSTR lpProvider;
};
using LPNETRESOURCEA = NETRESOURCEA*;

DWORD WNetOpenEnumA(DWORD dwScope, DWORD dwType, DWORD dwUsage, LPNETRESOURCEA lpNetResource, HANDLE* lphEnum);
// Fills lpBuffer with up to *lpcCount records followed by their strings; sets *lpcCount.
DWORD WNetEnumResourceA(HANDLE hEnum, LPDWORD lpcCount, LPVOID lpBuffer, LPDWORD lpBufferSize);
DWORD WNetCloseEnum(HANDLE hEnum);

}  // namespace hw::win32
