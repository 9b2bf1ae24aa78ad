#include "desktop/ErrorBox.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "desktop/MessageBox.h"
#include "desktop/ShownText.h"

namespace hw {
namespace {

constexpr int kModalRetryMs = 250;

}  // namespace

std::string WithFullStop(const std::string& text) {
  // A translation may end in the full stop, exclamation or question mark of Chinese
  // and Japanese script, which takes no second stop.
  for (const char* mark : {"\xE3\x80\x82", "\xEF\xBC\x81", "\xEF\xBC\x9F"})
    if (text.size() >= 3 && text.compare(text.size() - 3, 3, mark) == 0) return text;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) return text + ".";
  return text;
}

void ShowStandardError(QWidget* parent, const std::string& text) {
  const std::string shown = WithFullStop(ShownText(text).toStdString());
  TMessageBox box(QMessageBox::Critical, kApplicationTitle, QString::fromStdString(shown), QMessageBox::Ok, parent);
  box.adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
  }
  box.exec();
}

TErrorBoxGate::TErrorBoxGate(TShow show)
    : show_(std::move(show)), context_(std::make_unique<QObject>()), alive_(std::make_shared<bool>(true)) {}

TErrorBoxGate::~TErrorBoxGate() { *alive_ = false; }

void TErrorBoxGate::Report(const std::string& text) {
  if (busy_) {
    ++waiting_;
    last_ = text;
    return;
  }
  busy_ = true;
  // From the event loop: the reporter (a message delivery, a poll) goes on at once,
  // and a box open in its own loop never nests a second one inside it.
  QTimer::singleShot(0, context_.get(), [this, text] { ShowAll(text); });
}

void TErrorBoxGate::ShowAll(std::string text) {
  // Another modal box (one from start-up, a dialog) would hold ours in its loop:
  // wait until it is closed.
  if (QApplication::activeModalWidget()) {
    QTimer::singleShot(kModalRetryMs, context_.get(), [this, text] { ShowAll(text); });
    return;
  }
  const std::shared_ptr<bool> alive = alive_;
  for (;;) {
    show_(text);
    // The box's loop may have run the gate's owner to its end.
    if (!*alive) return;
    if (waiting_ == 0) break;
    const int count = static_cast<int>(waiting_);
    QString more = QCoreApplication::translate("hw::TErrorBoxGate",
                                               "%n more errors came while the last box was open; this is the latest",
                                               nullptr, count);
    if (count == 1)
      more = QCoreApplication::translate("hw::TErrorBoxGate",
                                         "1 more error came while the last box was open; this is the latest");
    text = WithFullStop(ShownText(last_).toStdString()) + "\n\n" + more.toStdString();
    waiting_ = 0;
  }
  busy_ = false;
}

}  // namespace hw
