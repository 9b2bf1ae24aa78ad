#include "platform/system/ErrnoError.h"

#include <cerrno>

namespace hw {

win32::DWORD ErrnoToWin32Error(int err, win32::DWORD otherwise) {
  switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return win32::ERROR_ACCESS_DENIED;
    case ENOENT:
    case ENOTDIR:
      return win32::ERROR_PATH_NOT_FOUND;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return win32::ERROR_DISK_FULL;
    case ENAMETOOLONG:
      return win32::ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM:
      return win32::ERROR_NOT_ENOUGH_MEMORY;
    default:
      return otherwise;
  }
}

}  // namespace hw
