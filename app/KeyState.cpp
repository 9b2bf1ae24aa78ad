#include "app/KeyState.h"

#include <QGuiApplication>

#if HALLWIRE_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace hw {
namespace {

// Bit 0 is Caps Lock, bit 1 Num Lock in the core keyboard's indicator state.
unsigned IndicatorState() {
#if HALLWIRE_HAVE_X11
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  // Other platforms (offscreen, Wayland) have no X display.
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return 0;
  unsigned state = 0;
  if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success) return 0;
  return state;
#else
  return 0;
#endif
}

}  // namespace

bool TKeyState::Toggled(int virtual_key) const {
  switch (virtual_key) {
    case VK_INSERT: return insert_;
    case VK_CAPITAL: return (IndicatorState() & 1u) != 0;
    case VK_NUMLOCK: return (IndicatorState() & 2u) != 0;
    default: return false;
  }
}

}  // namespace hw
