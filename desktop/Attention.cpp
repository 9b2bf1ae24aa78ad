#include "desktop/Attention.h"

#include <QApplication>
#include <QWidget>

#if HALLWIRE_HAVE_X11
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace hw {
namespace {

// Qt asks for attention only through the window manager's state (_NET_WM_STATE), and
// for a minimised window that request can be lost: openbox, for one, never shows it.
// The urgency hint in the window's own WM_HINTS is the client's to set at any time;
// window managers, docks and taskbars read it.
void SetUrgencyHint(QWidget* window, bool urgent) {
#if HALLWIRE_HAVE_X11
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;  // none under Wayland or offscreen
  if (!display || !window->internalWinId()) return;
  const auto id = static_cast<Window>(window->internalWinId());
  XWMHints* stored = XGetWMHints(display, id);
  XWMHints hints = stored ? *stored : XWMHints{};
  if (stored) XFree(stored);
  if (((hints.flags & XUrgencyHint) != 0) == urgent) return;
  hints.flags = urgent ? hints.flags | XUrgencyHint : hints.flags & ~XUrgencyHint;
  XSetWMHints(display, id, &hints);
  XFlush(display);
#else
  (void)window;
  (void)urgent;
#endif
}

}  // namespace

void RequestAttention(QWidget* window) {
  QApplication::alert(window);
  SetUrgencyHint(window, true);
}

void WithdrawAttention(QWidget* window) { SetUrgencyHint(window, false); }

}  // namespace hw
