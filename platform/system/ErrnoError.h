// The Win32 error code that the platform's file-backed services report for an errno.
#pragma once

#include "platform/system/Win32Types.h"

namespace hw {

// The code for a failed file operation's errno; otherwise for any errno without a
// closer code (each service names a failed write in its own terms).
win32::DWORD ErrnoToWin32Error(int err, win32::DWORD otherwise);

}  // namespace hw
