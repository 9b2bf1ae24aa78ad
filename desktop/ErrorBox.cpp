#include "desktop/ErrorBox.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace hw {

std::string WithFullStop(const std::string& text) {
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) return text + ".";
  return text;
}

void ShowStandardError(QWidget* parent, const std::string& text) {
  const std::string shown = WithFullStop(text);
  QMessageBox box(QMessageBox::Critical, kApplicationTitle,
                  QString::fromLocal8Bit(shown.data(), static_cast<int>(shown.size())), QMessageBox::Ok, parent);
  box.adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
  }
  box.exec();
}

}  // namespace hw
