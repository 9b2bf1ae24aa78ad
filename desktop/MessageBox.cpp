#include "desktop/MessageBox.h"

#include "desktop/FormPlacement.h"

namespace hw {

bool TMessageBox::event(QEvent* event) {
  const bool handled = QMessageBox::event(event);
  // QMessageBox fixes its size again whenever it is shown or its contents or style
  // change. A compositor's maximised or full-screen size must still fit: a Wayland
  // client that answers it with a smaller surface is disconnected for a protocol
  // error. The size the box chose stays its minimum.
  if (WindowSystemPlacesWindows() && maximumSize() != QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX))
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  return handled;
}

}  // namespace hw
