// The notification-area ("tray") entry of the program: a still icon with a tip, a menu
// on right-click, a double-click action, and a blinking animation through a list of
// frames advanced by a timer thread of its own.
//
// Typical use from the main window (all calls on the GUI thread):
//   tray_ = new TTrayIcon(this);               // owned by the window
//   tray_->SetHint("Hallwire");
//   tray_->SetIcon(pictures::ProgramIcon());   // registers the entry
//   tray_->SetIcons(frames);
//   tray_->SetPopupMenu(trayMenu);             // not owned
//   tray_->SetOnDblClick([this] { TrayIconDblClick(); });
//   tray_->SetAnimated(true);                  // blink; SetAnimated(false) stops it
#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/system/Shell32.h"
#include "platform/system/Win32Types.h"

class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace hw {

class TTrayIcon;

// The animation frames.
using TIconList = QList<QIcon>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Keys and buttons held while a mouse event happened (a set of these flags).
enum TShiftStateFlag : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
using TShiftState = unsigned;

// The message with which the shell reports mouse activity on the entry; its lParam
// is the mouse message (WM_LBUTTONDOWN, ...).
constexpr win32::UINT WM_TRAYNOTIFY = 0xB054;

// The record handed to the shell for every add, modify and delete.
struct TNotifyIconData {
  win32::DWORD cbSize = win32::NOTIFYICONDATAA_V1_SIZE;
  TTrayIcon* hWnd = nullptr;  // receives the notifications through WndProc
  win32::UINT uID = 0;
  win32::UINT uFlags = win32::NIF_MESSAGE | win32::NIF_ICON | win32::NIF_TIP;
  win32::UINT uCallbackMessage = WM_TRAYNOTIFY;
  QIcon hIcon;
  QString szTip;  // at most 63 characters
};

// The notification area. The default one is TQtTrayShell; tests use their own.
class ITrayShell {
 public:
  virtual ~ITrayShell() = default;
  // NIM_ADD, NIM_MODIFY or NIM_DELETE with the component's record; true on success.
  // A shell reports activity by calling data.hWnd->WndProc(WM_TRAYNOTIFY, mouse message)
  // and a tray host that appears after a failed add through data.hWnd->TrayHostAppeared().
  virtual bool NotifyIcon(win32::DWORD message, const TNotifyIconData& data) = 0;
  // The component's right-click menu (not owned), for hosts that show an item's menu
  // themselves; the shell must not use it after it is deleted.
  virtual void SetMenu(QMenu* menu) { (void)menu; }
};

// The notification area of the desktop through QSystemTrayIcon (StatusNotifierItem over
// D-Bus or XEmbed on X11). An add fails while no tray host exists; the shell then
// watches for one and tells the component when it appears. A D-Bus host reports
// single clicks only: there a left click is passed on as the double-click, and the
// menu is published over D-Bus (dbusmenu), since most such hosts show only that.
class TQtTrayShell : public ITrayShell {
 public:
  TQtTrayShell();
  ~TQtTrayShell() override;
  bool NotifyIcon(win32::DWORD message, const TNotifyIconData& data) override;
  void SetMenu(QMenu* menu) override;
  // The Qt entry; null until the first successful add.
  QSystemTrayIcon* SystemTrayIcon() const { return icon_.get(); }
  // Whether the entry went to a StatusNotifierItem host (decided at the first add).
  bool SingleClicksOnly() const { return single_clicks_only_; }

 private:
  void Activated(int reason);
  void PublishMenu();
  QPointer<QMenu> menu_;
  // The menu's actions as handed to Qt's D-Bus tray; outlives the entry that uses it.
  std::unique_ptr<QMenu> published_menu_;
  std::unique_ptr<QSystemTrayIcon> icon_;
  std::unique_ptr<QTimer> watch_;
  TTrayIcon* owner_ = nullptr;
  bool single_clicks_only_ = false;
};

// The animation thread: sleeps the component's Interval, then hands one animation
// step to the window thread and waits until it ran. Owned and joined by the component.
class TTimerThread {
 public:
  TTimerThread(TTrayIcon& owner, std::uint64_t id, bool suspended);
  ~TTimerThread();  // terminates and joins
  TTimerThread(const TTimerThread&) = delete;
  TTimerThread& operator=(const TTimerThread&) = delete;

  std::uint64_t Id() const { return id_; }
  void Suspend();
  void Resume();
  bool Suspended() const;
  // After Detach the thread no longer touches its component.
  void Detach();
  void Terminate();
  // The window thread ran the step this thread handed over.
  void StepDone();

 private:
  void Execute();
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  TTrayIcon* owner_;
  const std::uint64_t id_;
  bool suspended_;
  bool terminated_ = false;
  bool step_pending_ = false;
  std::thread thread_;
};

class TTrayIcon : public QObject {
 public:
  using TNotifyEvent = std::function<void()>;
  using TMouseEvent = std::function<void(TMouseButton button, TShiftState shift, int x, int y)>;
  using TMouseMoveEvent = std::function<void(TShiftState shift, int x, int y)>;
  using TErrorHandler = std::function<void(const std::exception& error)>;

  // shell: the notification area to use; null takes the desktop's (TQtTrayShell).
  explicit TTrayIcon(QObject* parent = nullptr, std::unique_ptr<ITrayShell> shell = nullptr);
  // Stops the animation and deletes the entry.
  ~TTrayIcon() override;

  // While true the entry stays registered with the shell (default true).
  bool Active() const { return active_; }
  void SetActive(bool value);
  // While false mouse notifications are ignored (default true).
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  // The tip: the text before the first "|", at most 63 characters, is shown.
  const QString& Hint() const { return hint_; }
  void SetHint(const QString& value);
  // The still icon, shown whenever the entry is not animated.
  const QIcon& Icon() const { return icon_; }
  void SetIcon(const QIcon& value);
  // The animation frames, in order.
  const TIconList& Icons() const { return icons_; }
  void SetIcons(const TIconList& value);
  // While true the entry shows the frames in turn; stays false while Icons is empty.
  bool Animated() const { return animated_.load(); }
  void SetAnimated(bool value);
  // Milliseconds between two frames (default 150).
  std::uint16_t Interval() const { return interval_.load(); }
  void SetInterval(std::uint16_t value) { interval_.store(value); }
  // Menu shown on a right-click (not owned; forgotten when it is deleted).
  QMenu* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(QMenu* menu);

  void SetOnClick(TNotifyEvent handler) { on_click_ = std::move(handler); }
  void SetOnDblClick(TNotifyEvent handler) { on_dbl_click_ = std::move(handler); }
  void SetOnMouseDown(TMouseEvent handler) { on_mouse_down_ = std::move(handler); }
  void SetOnMouseUp(TMouseEvent handler) { on_mouse_up_ = std::move(handler); }
  void SetOnMouseMove(TMouseMoveEvent handler) { on_mouse_move_ = std::move(handler); }
  // Receives an error raised by a handler while a notification is handled (without
  // one it is printed as a warning); notifications go on afterwards.
  void SetOnError(TErrorHandler handler) { on_error_ = std::move(handler); }

  // Registers the entry afresh (delete, then add) when Active; call once the owner
  // has set the properties up.
  void Loaded();
  // The component's hidden window: WM_TRAYNOTIFY with a mouse message in lParam is
  // handled, anything else ignored.
  void WndProc(win32::UINT message, win32::UINT lParam);
  // Called by the shell when a tray host appears: registers when Active and unregistered.
  void TrayHostAppeared();

  // Between a successful add and the next delete.
  bool Registered() const { return registered_; }
  // -1 until the animation is first switched, then 0 .. Icons().size() - 1.
  int FrameIndex() const { return frame_index_; }
  // The frame shown while animated, otherwise Icon().
  QIcon CurrentIcon() const;
  // The record as last handed to the shell.
  const TNotifyIconData& NotifyData() const { return data_; }
  ITrayShell& Shell() { return *shell_; }
  // The animation thread, present while Animated.
  const TTimerThread* AnimationThread() const { return timer_.get(); }

 private:
  friend class TTimerThread;
  void Register();
  void Unregister();
  void Refresh();
  void FillData();
  void PostAnimationStep(std::uint64_t thread_id);  // called on the animation thread
  void AnimationStep(std::uint64_t thread_id);
  void ShowPopupMenu();
  void HandleMouse(win32::UINT mouse_message);
  void MouseDown(TMouseButton button, TShiftState extra);
  void MouseUp(TMouseButton button);

  std::unique_ptr<ITrayShell> shell_;
  bool active_ = true;
  bool enabled_ = true;
  QString hint_;
  QIcon icon_;
  TIconList icons_;
  std::atomic<bool> animated_{false};
  std::atomic<std::uint16_t> interval_{150};
  QPointer<QMenu> popup_menu_;
  TNotifyEvent on_click_;
  TNotifyEvent on_dbl_click_;
  TMouseEvent on_mouse_down_;
  TMouseEvent on_mouse_up_;
  TMouseMoveEvent on_mouse_move_;
  TErrorHandler on_error_;

  TNotifyIconData data_;
  bool registered_ = false;
  int frame_index_ = -1;
  bool left_pressed_ = false;
  bool right_pressed_ = false;
  bool destroying_ = false;
  std::uint64_t next_thread_id_ = 1;
  std::unique_ptr<TTimerThread> timer_;
};

}  // namespace hw
