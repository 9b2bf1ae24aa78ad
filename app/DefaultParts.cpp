// The program's own working parts for the main window: the mailslot terminal, the
// wave player, the tray icon with its desktop notifications and the placement store.
#include <QMenu>

#include "app/MainFormParts.h"
#include "app/Pictures.h"
#include "desktop/DesktopNotifier.h"
#include "desktop/FormPlacement.h"
#include "desktop/MediaPlayer.h"
#include "desktop/TrayIcon.h"

namespace hw {
namespace {

class TWavePlayer : public ISoundPlayer {
 public:
  void PlayFile(const std::string& file_name) override {
    player_.SetFileName(file_name);
    player_.Open();
    player_.Play();
  }

 private:
  TMediaPlayer player_;
};

class TProgramTrayIcon : public ITrayIcon {
 public:
  TProgramTrayIcon() {
    tray_.SetHint(kApplicationTitle);
    tray_.SetIcon(pictures::ProgramIcon());
    TIconList frames;
    for (int i = 0; i < pictures::kTrayFrameCount; ++i) frames << pictures::TrayFrame(i);
    tray_.SetIcons(frames);
    tray_.SetOnError([](const std::exception& error) { ShowStandardErrorBox(error.what()); });
    tray_.Loaded();
  }
  void SetAnimated(bool animated) override { tray_.SetAnimated(animated); }
  bool Animated() const override { return tray_.Animated(); }
  bool Registered() const override { return tray_.Registered(); }
  void SetPopupMenu(QMenu* menu) override { tray_.SetPopupMenu(menu); }
  void SetOnDblClick(std::function<void()> handler) override { tray_.SetOnDblClick(std::move(handler)); }
  void Notify(const QString& summary, const QString& body) override { notifier_.Show(summary, body); }
  void CloseNotification() override { notifier_.Close(); }
  void SetOnNotificationOpen(std::function<void()> handler) override { notifier_.SetOnOpen(std::move(handler)); }

 private:
  TTrayIcon tray_;
  TDesktopNotifier notifier_;
};

}  // namespace

TMainFormParts MakeDefaultParts(IWindowThread& window) {
  TMainFormParts parts;
  // The mailslot first: a second copy of the program stops here.
  parts.Terminal = MakeMailslotTerminalPort(window);
  parts.Sound = std::make_unique<TWavePlayer>();
  parts.Tray = std::make_unique<TProgramTrayIcon>();
  // Under X11 the window's size is fixed, so its placement keeps position and state;
  // under Wayland, where it can grow, size and state.
  parts.MakePlacement = [](QWidget& form) -> std::unique_ptr<QObject> {
    auto placement = std::make_unique<TFormPlacement>(&form);
    placement->SetIniFileName("hwire.ini");
    placement->SetIniSection("MainForm");
    placement->SetOnError([](const std::exception& error) { ShowStandardErrorBox(error.what()); });
    return placement;
  };
  return parts;
}

}  // namespace hw
