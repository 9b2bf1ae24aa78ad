#include "app/NetworkNotices.h"

#include <QMetaObject>
#include <QTimer>

#include "app/ChatText.h"
#include "desktop/ShownText.h"
#include "platform/net/NetworkNotice.h"

namespace hw {

namespace {

constexpr int kShownMs = 15000;

}  // namespace

TNetworkNotices::TNetworkNotices(TStatusBar& bar, std::function<void(const std::string&)> show_box)
    : bar_(bar), show_box_(std::move(show_box)) {
  // Notices come from the platform's threads; the window is touched on its own.
  platform::net::SetOnNetworkNotice([this](const std::string& text) {
    QMetaObject::invokeMethod(this, [this, text] { Show(text); }, Qt::QueuedConnection);
  });
}

TNetworkNotices::~TNetworkNotices() { platform::net::SetOnNetworkNotice(nullptr); }

void TNetworkNotices::Show(const std::string& text) {
  if (!covering_) saved_ = bar_.Panel(0).text;
  covering_ = true;
  bar_.SetPanelText(0, ShownText(text));
  bar_.setToolTip(ShownText(text));
  const auto serial = ++serial_;
  QTimer::singleShot(kShownMs, this, [this, serial] {
    if (serial != serial_) return;
    bar_.SetPanelText(0, saved_);
    covering_ = false;
  });
  // A notice that comes while a box is open is left to the status bar: a flapping
  // link must not stack boxes.
  if (box_open_) return;
  box_open_ = true;
  show_box_(text);
  box_open_ = false;
}

}  // namespace hw
