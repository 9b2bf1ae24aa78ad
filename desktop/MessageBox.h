// The message box every window uses. Where the compositor decides window sizes
// (Wayland) it takes whatever size it is given: a box the compositor maximises or
// makes full screen grows, where a box of fixed size would end the program.
#pragma once

#include <QMessageBox>

namespace hw {

class TMessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  bool event(QEvent* event) override;
};

}  // namespace hw
