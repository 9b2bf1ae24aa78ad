// The one base of every error class of the program. The message is the exact
// text the user sees.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/system/Win32Types.h"

namespace hw {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// The system's text for an error code as the program reports it: the English system
// message (at most 256 characters) with trailing blanks, control characters and
// full stops removed.
std::string SystemErrorText(win32::DWORD code);
// Sets the thread's last error with a text of its own that says more than the
// system's (for example which addresses dispute a name); SystemErrorText gives it for
// that code until the next SetLastError.
void SetLastErrorText(win32::DWORD code, std::string text);

}  // namespace hw
