// The standard error box every window shows for an error that leaves a handler:
// caption "Hallwire", error icon, OK, and the full-stop rule.
#pragma once

#include <string>

class QWidget;

namespace hw {

// The application title: caption of the error box and of notices.
inline constexpr const char* kApplicationTitle = "Hallwire";

// The error box's text: a full stop is appended when the last character comes
// after '.' in the character order (so none after "!", ")", "." or a blank).
std::string WithFullStop(const std::string& text);

// Shows the modal standard error box, centred on the screen.
void ShowStandardError(QWidget* parent, const std::string& text);

}  // namespace hw
