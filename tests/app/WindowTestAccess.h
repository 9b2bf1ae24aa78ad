// The controls of the main window and the about box, for tests: both windows name
// TWindowTestAccess their friend and keep their controls private to everything else.
#pragma once

#include "app/About.h"
#include "app/MainForm.h"

namespace hw {

struct TWindowTestAccess {
  static const auto& Controls(const TmainForm& window) { return window.ui_; }
  static const auto& Controls(const TAbout& about) { return about.ui_; }
};

// Ui(window).send_button->click();
inline const auto& Ui(const TmainForm& window) { return TWindowTestAccess::Controls(window); }
inline const auto& Ui(const TAbout& about) { return TWindowTestAccess::Controls(about); }

}  // namespace hw
