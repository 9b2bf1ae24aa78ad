// The tray icon in a real tray: an X server (Xvfb) with a tray host (trayer) that starts
// after the icon was created. The entry must be embedded once the host appears, blink
// while animated and stand still when the animation is off, and answer xdotool clicks.
// Skipped where Xvfb, trayer or xdotool is missing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QThread>
#include <QWidget>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#ifdef HALLWIRE_HAVE_X11
#include <X11/Xlib.h>
#endif

#include "desktop/TrayIcon.h"

namespace hw {
namespace {

bool OnPath(const std::string& tool) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string candidate = dirs.substr(start, end - start) + "/" + tool;
    if (::access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// A child process, ended and reaped when the object goes.
class Child {
 public:
  // Starts argv[0] from PATH with its output discarded; keep_fd stays open in the child.
  explicit Child(const std::vector<std::string>& args, int keep_fd = -1) {
    pid_ = ::fork();
    if (pid_ == 0) {
      int null = ::open("/dev/null", O_RDWR);
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
      for (int fd = 3; fd < 256; ++fd)
        if (fd != keep_fd) ::close(fd);
      std::vector<char*> argv;
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execvp(argv[0], argv.data());
      ::_exit(127);
    }
  }
  ~Child() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status;
    ::waitpid(pid_, &status, 0);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  bool Started() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

// Starts Xvfb on a free display and returns its number, or -1.
int StartXvfb(std::unique_ptr<Child>* server) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  *server = std::make_unique<Child>(std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen",
                                                             "0", "1024x768x24", "-nolisten", "tcp"},
                                    fds[1]);
  ::close(fds[1]);
  std::string number;
  char c;
  // Xvfb writes the display number and a newline once it accepts clients.
  while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  return number.empty() ? -1 : std::atoi(number.c_str());
}

bool PumpUntil(const std::function<bool()>& done, int timeout_ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeout_ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
  return true;
}

QWidget* TrayWidget() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String("QSystemTrayIconSys")) return w;
  return nullptr;
}

#ifdef HALLWIRE_HAVE_X11
// True when the window has been reparented away from the root, into the tray.
bool Embedded(QWidget* widget) {
  if (!widget) return false;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  const bool ok = XQueryTree(display, static_cast<Window>(widget->winId()), &root, &parent, &children, &count);
  if (children) XFree(children);
  XCloseDisplay(display);
  return ok && parent != 0 && parent != root;
}
#endif

QIcon Solid(const QColor& color) {
  QPixmap pixmap(16, 16);
  pixmap.fill(color);
  return QIcon(pixmap);
}

QImage Grab(QWidget* widget) {
  return QGuiApplication::primaryScreen()->grabWindow(widget->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// Distinct pictures of the entry seen over a period.
std::set<qint64> Samples(QWidget* widget, int duration_ms, QImage* last) {
  std::set<qint64> seen;
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < duration_ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    *last = Grab(widget);
    const uchar* bits = last->constBits();
    seen.insert(static_cast<qint64>(qHashBits(bits, static_cast<size_t>(last->sizeInBytes()))));
    QThread::msleep(30);
  }
  return seen;
}

TEST(TrayRealTest, EmbeddedBlinksStopsAndAnswersClicks) {
#ifndef HALLWIRE_HAVE_X11
  GTEST_SKIP() << "built without X11";
#else
  for (const char* tool : {"Xvfb", "trayer", "xdotool"})
    if (!OnPath(tool)) GTEST_SKIP() << tool << " is not installed";

  std::unique_ptr<Child> xvfb;
  const int display = StartXvfb(&xvfb);
  ASSERT_GE(display, 0) << "Xvfb did not start";
  const std::string display_name = ":" + std::to_string(display);
  ::setenv("DISPLAY", display_name.c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  ::unsetenv("WAYLAND_DISPLAY");
  ::unsetenv("DBUS_SESSION_BUS_ADDRESS");  // the XEmbed tray, not a StatusNotifier host

  static int argc = 1;
  static char name[] = "tray_real_test";
  static char* argv[] = {name, nullptr};
  auto app = std::make_unique<QApplication>(argc, argv);

  QIcon still = Solid(QColor(0, 0, 255));
  TIconList frames;
  for (int i = 0; i < 3; ++i) frames.append(Solid(QColor(255, 0, 0)));
  QPixmap blank(16, 16);
  blank.fill(Qt::transparent);
  for (int i = 0; i < 3; ++i) frames.append(QIcon(blank));

  QMenu menu;
  menu.addAction("&View Message");
  int double_clicks = 0;
  auto tray = std::make_unique<TTrayIcon>();
  tray->SetHint("Hallwire");
  tray->SetIcon(still);
  tray->SetIcons(frames);
  tray->SetPopupMenu(&menu);
  tray->SetOnDblClick([&] { ++double_clicks; });
  EXPECT_FALSE(tray->Registered()) << "no tray host yet";

  // The host appears after the icon: the entry registers and is embedded.
  const std::vector<std::string> trayer_args = {"trayer",      "--edge",        "top",     "--align",       "right",
                                                "--widthtype", "pixel",         "--width", "120",           "--height",
                                                "36",          "--SetDockType", "true",    "--transparent", "false"};
  auto trayer = std::make_unique<Child>(trayer_args);
  ASSERT_TRUE(trayer->Started());
  ASSERT_TRUE(PumpUntil([&] { return tray->Registered(); }, 10000)) << "never registered";
  ASSERT_TRUE(PumpUntil([&] { return Embedded(TrayWidget()); }, 10000)) << "never embedded";
  QWidget* entry = TrayWidget();
  PumpUntil([] { return false; }, 300);

  // Still: one picture.
  QImage picture;
  EXPECT_EQ(Samples(entry, 400, &picture).size(), 1u);
  const QImage still_picture = picture;

  // Blinking: the picture changes.
  tray->SetAnimated(true);
  EXPECT_GE(Samples(entry, 1500, &picture).size(), 2u);

  // Off: the still picture again, unchanging.
  tray->SetAnimated(false);
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(Samples(entry, 800, &picture).size(), 1u);
  EXPECT_EQ(picture, still_picture);

  // A double-click reaches the double-click event.
  const QString window_id = QString::number(entry->winId());
  QProcess::execute("xdotool", {"mousemove", "--window", window_id, "8", "8"});
  QProcess clicks;
  clicks.start("xdotool", {"click", "--repeat", "2", "--delay", "80", "1"});
  EXPECT_TRUE(PumpUntil([&] { return double_clicks == 1; }, 5000));
  clicks.waitForFinished(5000);

  // A right-click opens the menu.
  QProcess right;
  right.start("xdotool", {"click", "3"});
  EXPECT_TRUE(PumpUntil([&] { return menu.isVisible(); }, 5000));
  right.waitForFinished(5000);
  menu.hide();

  // A tray host that is replaced while the program runs gets the entry again.
  trayer.reset();
  ASSERT_TRUE(PumpUntil([&] { return !Embedded(TrayWidget()); }, 10000));
  trayer = std::make_unique<Child>(trayer_args);
  EXPECT_TRUE(PumpUntil([&] { return Embedded(TrayWidget()); }, 10000)) << "not embedded in the new host";
  EXPECT_TRUE(tray->Registered());

  tray.reset();
  app.reset();
#endif
}

}  // namespace
}  // namespace hw
