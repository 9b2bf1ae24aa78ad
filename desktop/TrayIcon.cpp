#include "desktop/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <QtGlobal>
#include <chrono>
#include <string>

#if HALLWIRE_HAVE_X11
#include <X11/Xlib.h>
#endif

namespace hw {

using namespace win32;

namespace {

// How often a shell without a tray host looks for one.
constexpr int kHostWatchMs = 1000;

constexpr int kMaxTip = 63;

// The short hint: the text before the first "|", at most 63 characters, never ending
// in the first half of a surrogate pair.
QString ShortHint(const QString& hint) {
  QString tip = hint.section(QLatin1Char('|'), 0, 0);
  if (tip.size() > kMaxTip) {
    int cut = kMaxTip;
    if (tip.at(cut - 1).isHighSurrogate()) --cut;
    tip.truncate(cut);
  }
  return tip;
}

// A StatusNotifierItem host is there: the watcher is on the session bus and a host
// has registered with it (Qt registers nothing otherwise).
bool StatusNotifierHostPresent() {
  const char* const kWatcher = "org.kde.StatusNotifierWatcher";
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(kWatcher)) return false;
  QDBusMessage get = QDBusMessage::createMethodCall(kWatcher, "/StatusNotifierWatcher",
                                                   "org.freedesktop.DBus.Properties", "Get");
  get << QString::fromLatin1(kWatcher) << QStringLiteral("IsStatusNotifierHostRegistered");
  const QDBusReply<QDBusVariant> reply = bus.call(get, QDBus::Block, 2000);
  return reply.isValid() && reply.value().variant().toBool();
}

// An XEmbed tray host owns the screen's system tray selection.
bool XEmbedHostPresent() {
#if HALLWIRE_HAVE_X11
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return false;
  const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
  const Atom selection = XInternAtom(display, name.c_str(), False);
  return selection != None && XGetSelectionOwner(display, selection) != None;
#else
  return false;
#endif
}

// Qt decides once per process, at its first tray icon or availability check, whether
// it talks to a D-Bus host; asked before one appears, it never uses one later. So it
// is asked only once a host of either kind is seen.
bool TrayHostPresent() { return StatusNotifierHostPresent() || XEmbedHostPresent(); }

TShiftState CurrentShiftState() {
  TShiftState shift = 0;
  const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
  if (keys & Qt::ShiftModifier) shift |= ssShift;
  if (keys & Qt::AltModifier) shift |= ssAlt;
  if (keys & Qt::ControlModifier) shift |= ssCtrl;
  const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
  if (buttons & Qt::LeftButton) shift |= ssLeft;
  if (buttons & Qt::RightButton) shift |= ssRight;
  if (buttons & Qt::MiddleButton) shift |= ssMiddle;
  return shift;
}

}  // namespace

// --- TQtTrayShell -------------------------------------------------------------------

TQtTrayShell::TQtTrayShell() : watch_(std::make_unique<QTimer>()) {
  watch_->setInterval(kHostWatchMs);
  QObject::connect(watch_.get(), &QTimer::timeout, [this] {
    if (!TrayHostPresent() || !QSystemTrayIcon::isSystemTrayAvailable()) return;
    watch_->stop();
    if (owner_) owner_->TrayHostAppeared();
  });
}

TQtTrayShell::~TQtTrayShell() = default;

bool TQtTrayShell::NotifyIcon(DWORD message, const TNotifyIconData& data) {
  owner_ = data.hWnd;
  switch (message) {
    case NIM_ADD:
      if ((!icon_ && !TrayHostPresent()) || !QSystemTrayIcon::isSystemTrayAvailable()) {
        if (!watch_->isActive()) watch_->start();
        return false;
      }
      watch_->stop();
      if (!icon_) {
        single_clicks_only_ = StatusNotifierHostPresent();
        icon_ = std::make_unique<QSystemTrayIcon>();
        // Qt reports presses, not releases: each activation is turned into the mouse
        // messages a shell sends for it. The menu is shown by the component itself.
        QObject::connect(icon_.get(), &QSystemTrayIcon::activated,
                         [this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); });
        PublishMenu();
      }
      icon_->setIcon(data.hIcon);
      icon_->setToolTip(data.szTip);
      icon_->show();
      return true;
    case NIM_MODIFY:
      if (!icon_ || !icon_->isVisible()) return false;
      icon_->setIcon(data.hIcon);
      icon_->setToolTip(data.szTip);
      return true;
    case NIM_DELETE:
      watch_->stop();
      if (!icon_ || !icon_->isVisible()) return false;
      icon_->hide();
      return true;
    default:
      return false;
  }
}

void TQtTrayShell::SetMenu(QMenu* menu) {
  menu_ = menu;
  PublishMenu();
}

void TQtTrayShell::PublishMenu() {
  // Only a D-Bus host gets the menu: an XEmbed icon with a menu set would have Qt open
  // it on a right-click as well as the component. Qt's D-Bus tray takes the menu over
  // as a platform menu; a copy holding the same actions keeps the component's own menu
  // (also the caption strip's) a plain widget menu.
  if (!icon_ || !single_clicks_only_) return;
  if (!published_menu_) published_menu_ = std::make_unique<QMenu>();
  for (QAction* action : published_menu_->actions()) published_menu_->removeAction(action);
  if (menu_) published_menu_->addActions(menu_->actions());
  icon_->setContextMenu(published_menu_.get());
}

void TQtTrayShell::Activated(int reason) {
  // A handler may destroy the component and with it this shell: from here on only
  // the guarded pointer is used.
  QPointer<TTrayIcon> owner(owner_);
  auto send = [owner](UINT mouse) {
    if (owner) owner->WndProc(WM_TRAYNOTIFY, mouse);
  };
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      // A D-Bus host never reports a double-click: its click is the only way to the
      // double-click's action. An XEmbed host reports both, so it stays a click there.
      if (single_clicks_only_) {
        send(WM_LBUTTONDBLCLK);
      } else {
        send(WM_LBUTTONDOWN);
      }
      send(WM_LBUTTONUP);
      break;
    case QSystemTrayIcon::DoubleClick:
      send(WM_LBUTTONDBLCLK);
      send(WM_LBUTTONUP);
      break;
    case QSystemTrayIcon::Context:
      send(WM_RBUTTONDOWN);
      send(WM_RBUTTONUP);
      break;
    case QSystemTrayIcon::MiddleClick:
      send(WM_MBUTTONDOWN);
      send(WM_MBUTTONUP);
      break;
    default:
      break;
  }
}

// --- TTimerThread --------------------------------------------------------------------

TTimerThread::TTimerThread(TTrayIcon& owner, std::uint64_t id, bool suspended)
    : owner_(&owner), id_(id), suspended_(suspended) {
  thread_ = std::thread([this] { Execute(); });
}

TTimerThread::~TTimerThread() {
  Terminate();
  if (thread_.joinable()) thread_.join();
}

void TTimerThread::Suspend() {
  std::lock_guard<std::mutex> lock(mutex_);
  suspended_ = true;
}

void TTimerThread::Resume() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    suspended_ = false;
  }
  cv_.notify_all();
}

bool TTimerThread::Suspended() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return suspended_;
}

void TTimerThread::Detach() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    owner_ = nullptr;
  }
  cv_.notify_all();
}

void TTimerThread::Terminate() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    terminated_ = true;
  }
  cv_.notify_all();
}

void TTimerThread::StepDone() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    step_pending_ = false;
  }
  cv_.notify_all();
}

void TTimerThread::Execute() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    // Idle while suspended, detached or while the last step has not run yet, so a
    // busy window thread never piles up steps.
    cv_.wait(lock, [this] { return terminated_ || (!suspended_ && owner_ && !step_pending_); });
    if (terminated_) return;
    const auto interval = std::chrono::milliseconds(owner_->Interval());
    if (cv_.wait_for(lock, interval, [this] { return terminated_; })) return;
    if (suspended_ || !owner_ || !owner_->Animated()) continue;
    step_pending_ = true;
    // Under the lock: the component detaches (under the same lock) before it goes away.
    owner_->PostAnimationStep(id_);
  }
}

// --- TTrayIcon -------------------------------------------------------------------------

TTrayIcon::TTrayIcon(QObject* parent, std::unique_ptr<ITrayShell> shell)
    : QObject(parent), shell_(shell ? std::move(shell) : std::make_unique<TQtTrayShell>()) {
  data_.hWnd = this;
}

TTrayIcon::~TTrayIcon() {
  destroying_ = true;
  enabled_ = false;
  SetAnimated(false);
  if (registered_) Unregister();
}

void TTrayIcon::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (active_)
    Register();
  else
    Unregister();
}

void TTrayIcon::SetHint(const QString& value) {
  if (value == hint_) return;
  hint_ = value;
  Refresh();
}

void TTrayIcon::SetIcon(const QIcon& value) {
  icon_ = value;
  Refresh();
}

void TTrayIcon::SetIcons(const TIconList& value) {
  icons_ = value;
  Refresh();
}

QIcon TTrayIcon::CurrentIcon() const {
  if (animated_.load() && !icons_.isEmpty())
    return icons_.at(qBound(0, frame_index_, static_cast<int>(icons_.size()) - 1));
  return icon_;
}

void TTrayIcon::FillData() {
  data_.hWnd = this;
  data_.hIcon = CurrentIcon();
  data_.szTip = ShortHint(hint_);
}

void TTrayIcon::Register() {
  if (registered_) {
    shell_->NotifyIcon(NIM_DELETE, data_);
    registered_ = false;
  }
  if (!CurrentIcon().isNull()) {
    left_pressed_ = right_pressed_ = false;
    FillData();
    registered_ = shell_->NotifyIcon(NIM_ADD, data_);
  }
  if (animated_.load() && timer_) timer_->Resume();
}

void TTrayIcon::Unregister() {
  if (registered_) shell_->NotifyIcon(NIM_DELETE, data_);
  registered_ = false;
  left_pressed_ = right_pressed_ = false;
  if (animated_.load() && timer_) timer_->Suspend();
}

void TTrayIcon::Refresh() {
  if (icons_.isEmpty() && animated_.load()) {
    SetAnimated(false);  // refreshes again
    return;
  }
  if (registered_) {
    if (CurrentIcon().isNull()) {
      Unregister();
    } else {
      FillData();
      shell_->NotifyIcon(NIM_MODIFY, data_);
    }
  } else if (active_ && !destroying_) {
    Register();
  }
}

void TTrayIcon::SetAnimated(bool value) {
  const bool effective = value && !icons_.isEmpty();
  if (effective == animated_.load()) return;
  if (effective) {
    timer_ = std::make_unique<TTimerThread>(*this, next_thread_id_++, !registered_);
    animated_.store(true);
  } else {
    animated_.store(false);
    if (timer_) {
      timer_->Detach();
      timer_->Resume();
      timer_.reset();  // ends and joins; a step it handed over is ignored
    }
  }
  frame_index_ = 0;
  Refresh();
}

void TTrayIcon::SetPopupMenu(QMenu* menu) {
  popup_menu_ = menu;
  shell_->SetMenu(menu);
}

void TTrayIcon::Loaded() {
  if (active_) Register();
}

void TTrayIcon::TrayHostAppeared() {
  if (active_ && !registered_ && !destroying_) Register();
}

void TTrayIcon::PostAnimationStep(std::uint64_t thread_id) {
  QMetaObject::invokeMethod(
      this, [this, thread_id] { AnimationStep(thread_id); }, Qt::QueuedConnection);
}

void TTrayIcon::AnimationStep(std::uint64_t thread_id) {
  // A step from a thread that has been replaced or ended since is dropped.
  if (!timer_ || timer_->Id() != thread_id) return;
  timer_->StepDone();
  if (destroying_ || !animated_.load()) return;
  ++frame_index_;
  if (frame_index_ >= icons_.size()) frame_index_ = 0;
  Refresh();
}

// --- mouse notifications ----------------------------------------------------------------

void TTrayIcon::WndProc(UINT message, UINT lParam) {
  if (message != WM_TRAYNOTIFY || !enabled_) return;
  try {
    HandleMouse(lParam);
  } catch (const std::exception& error) {
    if (on_error_)
      on_error_(error);
    else
      qWarning("%s", error.what());
  }
}

void TTrayIcon::MouseDown(TMouseButton button, TShiftState extra) {
  if (!on_mouse_down_) return;
  const QPoint pos = QCursor::pos();
  on_mouse_down_(button, CurrentShiftState() | extra, pos.x(), pos.y());
}

void TTrayIcon::MouseUp(TMouseButton button) {
  if (!on_mouse_up_) return;
  const QPoint pos = QCursor::pos();
  on_mouse_up_(button, CurrentShiftState(), pos.x(), pos.y());
}

void TTrayIcon::HandleMouse(UINT mouse_message) {
  switch (mouse_message) {
    case WM_LBUTTONDBLCLK: {
      QAction* item = popup_menu_ ? popup_menu_->defaultAction() : nullptr;
      if (item && item->isEnabled())
        item->trigger();
      else if (on_dbl_click_)
        on_dbl_click_();
      MouseDown(TMouseButton::mbLeft, ssDouble);
      break;
    }
    case WM_LBUTTONDOWN:
      left_pressed_ = true;
      MouseDown(TMouseButton::mbLeft, 0);
      break;
    case WM_LBUTTONUP:
      if (left_pressed_) {
        left_pressed_ = false;
        if (on_click_) on_click_();
      }
      MouseUp(TMouseButton::mbLeft);
      break;
    case WM_RBUTTONDOWN:
      MouseDown(TMouseButton::mbRight, 0);
      right_pressed_ = true;
      break;
    case WM_RBUTTONUP:
      // Only a right button that went down on the icon counts as a right-click.
      if (right_pressed_) {
        right_pressed_ = false;
        if (active_ && popup_menu_)
          ShowPopupMenu();
        else if (on_click_)
          on_click_();
      }
      MouseUp(TMouseButton::mbRight);
      break;
    case WM_RBUTTONDBLCLK:
      MouseDown(TMouseButton::mbRight, ssDouble);
      break;
    case WM_MBUTTONDOWN:
      MouseDown(TMouseButton::mbMiddle, 0);
      break;
    case WM_MBUTTONUP:
      MouseUp(TMouseButton::mbMiddle);
      break;
    case WM_MBUTTONDBLCLK:
      MouseDown(TMouseButton::mbMiddle, ssDouble);
      break;
    case WM_MOUSEMOVE:
      if (on_mouse_move_) {
        const QPoint pos = QCursor::pos();
        on_mouse_move_(CurrentShiftState(), pos.x(), pos.y());
      }
      break;
    default:
      break;
  }
}

void TTrayIcon::ShowPopupMenu() {
  // Another open menu would keep the pointer grabbed; close it first.
  if (!destroying_) {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  }
  popup_menu_->popup(QCursor::pos());
}

}  // namespace hw
