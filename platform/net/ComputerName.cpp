// This computer's name: the network configuration's, so that what the program shows
// is the name its datagrams carry.
#include <cstring>

#include "platform/net/Config.h"
#include "platform/net/Kernel32Mailslots.h"

namespace hw::win32 {

// On success *nSize is the length without the zero; when the buffer is too small it is
// the length needed with the zero, and the call fails with ERROR_BUFFER_OVERFLOW (111).
BOOL GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize) {
  const std::string& name = hw::platform::net::Config().computer_name;
  if (!nSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!lpBuffer || *nSize < name.size() + 1) {
    *nSize = static_cast<DWORD>(name.size() + 1);
    SetLastError(111 /* ERROR_BUFFER_OVERFLOW */);
    return FALSE;
  }
  std::memcpy(lpBuffer, name.c_str(), name.size() + 1);
  *nSize = static_cast<DWORD>(name.size());
  return TRUE;
}

}  // namespace hw::win32
