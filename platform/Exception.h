// The one base of every error class of the program. The message is the exact
// text the user sees.
#pragma once

#include <stdexcept>
#include <string>

#include "platform/Win32Types.h"

namespace hw {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// The system's text for an error code as the program reports it: the English system
// message (at most 256 characters) with trailing blanks, control characters and
// full stops removed.
std::string SystemErrorText(win32::DWORD code);

}  // namespace hw
