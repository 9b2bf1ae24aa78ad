// maximise_probe: opens the messenger's boxes one after another (error, notice,
// confirmation, about) and asks the compositor to maximise each, as a title bar's
// Maximise does. Prints "<box> WIDTHxHEIGHT" with the size each box then took; a box
// that cannot take the compositor's size ends the program with a protocol error.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWindow>

#include <unistd.h>

#include <chrono>
#include <iostream>
#include <memory>

#include "app/About.h"
#include "app/Dialogs.h"
#include "desktop/ErrorBox.h"

int main(int argc, char** argv) {
  using Clock = std::chrono::steady_clock;
  QApplication app(argc, argv);
  const char* box_name = "";
  bool asked = false;
  QSize shown;
  Clock::time_point asked_at;
  QTimer poll;
  poll.setInterval(100);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!box || !box->windowHandle() || !box->windowHandle()->isExposed()) return;
    if (!asked) {
      shown = box->size();
      box->setWindowState(Qt::WindowMaximized);
      asked = true;
      asked_at = Clock::now();
    } else if (box->width() > shown.width() || Clock::now() - asked_at > std::chrono::seconds(3)) {
      std::cout << box_name << " " << box->width() << "x" << box->height() << std::endl;
      asked = false;
      box->done(0);
    }
  });
  poll.start();
  hw::TQtUserDialogs dialogs;
  box_name = "error";
  hw::ShowStandardError(nullptr, "An error");
  box_name = "notice";
  dialogs.ShowNotice("A notice");
  box_name = "confirmation";
  dialogs.Confirm("A question?");
  box_name = "about";
  hw::MakeAboutBox(nullptr)->exec();
  // At once: Qt's Wayland client keeps allocations until exit, which LeakSanitizer
  // would report.
  std::cout.flush();
  _exit(0);
}
