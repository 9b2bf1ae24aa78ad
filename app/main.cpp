// hallwire [--preferences]: the messenger. Starts hidden with its tray entry, owns the
// mailslot "hwSlot" and runs until Exit.
#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <memory>
#include <string>

#include "app/About.h"
#include "app/Dialogs.h"
#include "app/Help.h"
#include "app/MainForm.h"
#include "app/Pictures.h"
#include "app/Translations.h"
#include "app/preferences/PrefForm.h"
#include "desktop/MessageBox.h"
#include "desktop/QtWindowThread.h"
#include "desktop/ShownText.h"
#include "platform/store/Registry.h"
#include "settings/SettingsFile.h"

namespace {

int quit_pipe[2] = {-1, -1};

void RequestQuit(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(quit_pipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the program as Exit does, so the windows' placements are
// written and the mailslot is closed when a session ends.
void QuitOnTerminationSignals(QApplication& app) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, quit_pipe) != 0) return;
  auto* notifier = new QSocketNotifier(quit_pipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QApplication::exit(0); });
  struct sigaction action {};
  action.sa_handler = RequestQuit;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

const char kUsage[] =
    "usage: hallwire [--preferences]\n"
    "  --preferences  open the preferences dialog at start\n";

}  // namespace

int main(int argc, char** argv) {
  // Before Qt, which aborts without a display.
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--version") {
      std::cout << "hallwire " HALLWIRE_VERSION "\n";
      return 0;
    }
  }
  QApplication app(argc, argv);  // takes Qt's own options (-platform, -display, ...)
  bool open_preferences = false;
  for (const QString& arg : QApplication::arguments().mid(1)) {
    if (arg == "--preferences") {
      open_preferences = true;
    } else {
      std::cerr << "hallwire: unknown argument '" << arg.toStdString() << "'\n" << kUsage;
      return 2;
    }
  }
  QApplication::setApplicationName("Hallwire");
  // The windows' texts follow the user's locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
  hw::InstallTranslations();
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(hw::pictures::ProgramIcon());
  QuitOnTerminationSignals(app);

  // The user's own network settings, before the first mailslot announces this computer.
  hw::ApplyNetworkSettings();
  hw::TQtWindowThread window_thread;
  std::unique_ptr<hw::TmainForm> main_form;
  try {
    main_form = std::make_unique<hw::TmainForm>(hw::MakeDefaultParts(window_thread));
  } catch (const std::exception& error) {
    hw::ShowStandardErrorBox(error.what());
    return 1;
  }
  auto preferences = std::make_unique<hw::app::TfrmPref>(main_form.get());
  preferences->setProperty(hw::kHelpContextProperty, hw::kPreferencesHelpContext);
  std::unique_ptr<hw::TAbout> about = hw::MakeAboutBox(main_form.get());
  main_form->SetPreferencesDialog(preferences.get());
  main_form->SetAboutBox(about.get());
  main_form->ShowWithoutTray();
  // A damaged registry file was set aside and a new one started: the user hears of it once.
  while (const auto notice = hw::platform::TakeRegistryNotice()) {
    hw::TMessageBox box(QMessageBox::Information, hw::kApplicationTitle, hw::ShownText(*notice), QMessageBox::Ok);
    box.exec();
  }
  // The same path as File -> Preferences, once the message loop runs.
  if (open_preferences) QTimer::singleShot(0, main_form->PreferencesAction(), &QAction::trigger);

  const int code = QApplication::exec();
  // Destroying the windows writes their placements and closes the mailslot.
  about.reset();
  preferences.reset();
  main_form.reset();
  return code;
}
