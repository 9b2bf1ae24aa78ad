// The tray icon's model against a recording shell: registration, refresh, the animation
// thread and the mouse rules.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QThread>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "desktop/TrayIcon.h"

namespace hw {
namespace {

using namespace win32;

struct ShellCall {
  DWORD message;
  TNotifyIconData data;
  bool on_gui_thread;
};

// Records every call; adds succeed unless told otherwise.
struct ShellLog {
  std::mutex mutex;
  std::vector<ShellCall> calls;
  bool fail_add = false;

  std::vector<ShellCall> Calls() {
    std::lock_guard<std::mutex> lock(mutex);
    return calls;
  }
  size_t Count(DWORD message) {
    std::lock_guard<std::mutex> lock(mutex);
    size_t n = 0;
    for (const auto& c : calls) n += c.message == message;
    return n;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex);
    calls.clear();
  }
};

class RecordingShell : public ITrayShell {
 public:
  explicit RecordingShell(std::shared_ptr<ShellLog> log) : log_(std::move(log)) {}
  bool NotifyIcon(DWORD message, const TNotifyIconData& data) override {
    std::lock_guard<std::mutex> lock(log_->mutex);
    log_->calls.push_back({message, data, QThread::currentThread() == qApp->thread()});
    return !(message == NIM_ADD && log_->fail_add);
  }

 private:
  std::shared_ptr<ShellLog> log_;
};

QIcon SolidIcon(const QColor& color) {
  QPixmap pixmap(16, 16);
  pixmap.fill(color);
  return QIcon(pixmap);
}

QIcon BlankIcon() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  return QIcon(pixmap);
}

bool SameIcon(const QIcon& a, const QIcon& b) { return a.cacheKey() == b.cacheKey(); }

bool PumpUntil(const std::function<bool()>& done, int timeout_ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeout_ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}

void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

class TrayIconTest : public ::testing::Test {
 protected:
  TrayIconTest() : log_(std::make_shared<ShellLog>()) {
    still_ = SolidIcon(Qt::blue);
    // Three warning frames and three blank ones, as the program blinks.
    for (int i = 0; i < 3; ++i) frames_.append(SolidIcon(QColor(200 + i, 0, 0)));
    for (int i = 0; i < 3; ++i) frames_.append(BlankIcon());
  }
  std::unique_ptr<TTrayIcon> MakeTray() {
    return std::make_unique<TTrayIcon>(nullptr, std::make_unique<RecordingShell>(log_));
  }
  int FrameOf(const QIcon& icon) const {
    for (int i = 0; i < frames_.size(); ++i)
      if (SameIcon(frames_[i], icon)) return i;
    return -1;
  }

  std::shared_ptr<ShellLog> log_;
  QIcon still_;
  TIconList frames_;
};

// --- registration and refresh -------------------------------------------------------

TEST_F(TrayIconTest, RegistersOnlyOnceAnIconExistsWithTheFirstFormRecord) {
  auto tray = MakeTray();
  tray->SetHint("Hallwire");
  EXPECT_FALSE(tray->Registered());
  EXPECT_TRUE(log_->Calls().empty()) << "a hint alone registers nothing";

  tray->SetIcon(still_);
  ASSERT_TRUE(tray->Registered());
  auto calls = log_->Calls();
  ASSERT_EQ(calls.size(), 1u);
  const ShellCall& add = calls[0];
  EXPECT_EQ(add.message, NIM_ADD);
  EXPECT_EQ(add.data.cbSize, 88u);
  EXPECT_EQ(add.data.uID, 0u);
  EXPECT_EQ(add.data.uFlags, 7u);
  EXPECT_EQ(add.data.uCallbackMessage, 0xB054u);
  EXPECT_EQ(add.data.hWnd, tray.get());
  EXPECT_EQ(add.data.szTip, "Hallwire");
  EXPECT_TRUE(SameIcon(add.data.hIcon, still_));

  // Loaded registers afresh: delete, then add.
  log_->Clear();
  tray->Loaded();
  calls = log_->Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].message, NIM_DELETE);
  EXPECT_EQ(calls[1].message, NIM_ADD);

  // The same hint again costs nothing; a new one modifies in place.
  log_->Clear();
  tray->SetHint("Hallwire");
  EXPECT_TRUE(log_->Calls().empty());
  tray->SetHint("Other");
  calls = log_->Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].message, NIM_MODIFY);
  EXPECT_EQ(calls[0].data.szTip, "Other");

  // Destruction deletes the entry.
  log_->Clear();
  tray.reset();
  EXPECT_EQ(log_->Count(NIM_DELETE), 1u);
}

TEST_F(TrayIconTest, TipIsTheShortHintCutTo63Characters) {
  auto tray = MakeTray();
  tray->SetIcon(still_);
  tray->SetHint("Short|the long part");
  EXPECT_EQ(tray->NotifyData().szTip, "Short");
  EXPECT_EQ(tray->Hint(), "Short|the long part");

  tray->SetHint(QString(100, QLatin1Char('x')));
  EXPECT_EQ(tray->NotifyData().szTip, QString(63, QLatin1Char('x')));

  // A character outside the basic plane is never split in half.
  QString hint = QString(62, QLatin1Char('a')) + QString::fromUcs4(U"\U0001F600") + "tail";
  tray->SetHint(hint);
  const QString tip = tray->NotifyData().szTip;
  EXPECT_EQ(tip, QString(62, QLatin1Char('a')));
  EXPECT_FALSE(tip.back().isHighSurrogate());
}

TEST_F(TrayIconTest, FailedAddIsRetriedByTheNextRefreshAndWhenAHostAppears) {
  log_->fail_add = true;
  auto tray = MakeTray();
  tray->SetIcon(still_);
  EXPECT_FALSE(tray->Registered());
  EXPECT_EQ(log_->Count(NIM_ADD), 1u);

  tray->SetHint("Hallwire");  // any refresh tries again
  EXPECT_FALSE(tray->Registered());
  EXPECT_EQ(log_->Count(NIM_ADD), 2u);
  EXPECT_EQ(log_->Count(NIM_DELETE), 0u) << "nothing to delete after a failed add";

  log_->fail_add = false;
  tray->TrayHostAppeared();
  EXPECT_TRUE(tray->Registered());
  EXPECT_EQ(log_->Count(NIM_ADD), 3u);

  // A registered entry is not added twice when a host appears again.
  tray->TrayHostAppeared();
  EXPECT_EQ(log_->Count(NIM_ADD), 3u);
}

TEST_F(TrayIconTest, ActiveAndIconChangesAddAndDeleteTheEntry) {
  auto tray = MakeTray();
  tray->SetActive(false);
  tray->SetIcon(still_);
  EXPECT_FALSE(tray->Registered()) << "an inactive component registers nothing";
  EXPECT_TRUE(log_->Calls().empty());

  tray->SetActive(true);
  EXPECT_TRUE(tray->Registered());
  tray->SetActive(false);
  EXPECT_FALSE(tray->Registered());
  EXPECT_EQ(log_->Count(NIM_DELETE), 1u);
  tray->SetActive(true);

  // Taking the icon away removes the entry; giving one back adds it again.
  log_->Clear();
  tray->SetIcon(QIcon());
  EXPECT_FALSE(tray->Registered());
  EXPECT_EQ(log_->Count(NIM_DELETE), 1u);
  tray->SetIcon(still_);
  EXPECT_TRUE(tray->Registered());
  EXPECT_EQ(log_->Count(NIM_ADD), 1u);
}

TEST_F(TrayIconTest, DefaultShellWithoutTrayHostLeavesTheEntryUnregistered) {
  // Offscreen there is no tray host: the add fails quietly and nothing breaks.
  TTrayIcon tray;
  tray.SetHint("Hallwire");
  tray.SetIcon(still_);
  EXPECT_FALSE(tray.Registered());
  tray.SetIcons(frames_);
  tray.SetAnimated(true);
  EXPECT_TRUE(tray.Animated());
  tray.SetAnimated(false);
  EXPECT_TRUE(dynamic_cast<TQtTrayShell*>(&tray.Shell()) != nullptr);
}

// --- animation --------------------------------------------------------------------------

TEST_F(TrayIconTest, AnimationNeedsFrames) {
  auto tray = MakeTray();
  tray->SetIcon(still_);
  EXPECT_EQ(tray->FrameIndex(), -1);
  tray->SetAnimated(true);
  EXPECT_FALSE(tray->Animated()) << "no frames, no animation";
  EXPECT_EQ(tray->AnimationThread(), nullptr);

  tray->SetIcons(frames_);
  tray->SetAnimated(true);
  EXPECT_TRUE(tray->Animated());
  EXPECT_NE(tray->AnimationThread(), nullptr);

  // Emptying the frames while blinking stops the animation and shows the still icon.
  log_->Clear();
  tray->SetIcons({});
  EXPECT_FALSE(tray->Animated());
  EXPECT_EQ(tray->AnimationThread(), nullptr);
  auto calls = log_->Calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().message, NIM_MODIFY);
  EXPECT_TRUE(SameIcon(calls.back().data.hIcon, still_));
}

TEST_F(TrayIconTest, FramesAdvanceInTurnOnTheWindowThread) {
  auto tray = MakeTray();
  tray->SetIcon(still_);
  tray->SetIcons(frames_);
  tray->SetInterval(20);
  log_->Clear();
  tray->SetAnimated(true);

  // Frame 0 shows at once.
  auto calls = log_->Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(FrameOf(calls[0].data.hIcon), 0);
  EXPECT_EQ(tray->FrameIndex(), 0);

  ASSERT_TRUE(PumpUntil([&] { return log_->Count(NIM_MODIFY) >= 9; }, 5000));
  tray->SetAnimated(false);
  calls = log_->Calls();
  // Every shell call ran on the window thread, frames in order, wrapping after the last.
  for (const auto& c : calls) EXPECT_TRUE(c.on_gui_thread);
  for (size_t i = 0; i + 1 < calls.size(); ++i) EXPECT_EQ(FrameOf(calls[i].data.hIcon), static_cast<int>(i % 6));
}

TEST_F(TrayIconTest, StoppingMidBlankShowsTheStillIconAtOnceAndNoMoreFrames) {
  auto tray = MakeTray();
  tray->SetIcon(still_);
  tray->SetIcons(frames_);
  tray->SetInterval(10);
  tray->SetAnimated(true);
  ASSERT_TRUE(PumpUntil([&] { return tray->FrameIndex() == 4; }, 5000));
  EXPECT_GE(FrameOf(log_->Calls().back().data.hIcon), 3) << "a blank frame is showing";

  tray->SetAnimated(false);
  EXPECT_EQ(tray->FrameIndex(), 0);
  EXPECT_TRUE(SameIcon(tray->CurrentIcon(), still_));
  EXPECT_TRUE(SameIcon(log_->Calls().back().data.hIcon, still_));
  EXPECT_EQ(tray->AnimationThread(), nullptr);

  // A step the ended thread had already handed over changes nothing.
  const size_t before = log_->Calls().size();
  Pump(100);
  EXPECT_EQ(log_->Calls().size(), before);
  EXPECT_TRUE(SameIcon(tray->NotifyData().hIcon, still_));
}

TEST_F(TrayIconTest, UnregisteredEntrySuspendsTheAnimation) {
  auto tray = MakeTray();
  tray->SetIcon(still_);
  tray->SetIcons(frames_);
  tray->SetInterval(10);
  tray->SetAnimated(true);
  tray->SetActive(false);
  ASSERT_NE(tray->AnimationThread(), nullptr);
  EXPECT_TRUE(tray->AnimationThread()->Suspended());
  const int frame = tray->FrameIndex();
  Pump(100);
  EXPECT_EQ(tray->FrameIndex(), frame);

  tray->SetActive(true);
  EXPECT_FALSE(tray->AnimationThread()->Suspended());
  EXPECT_TRUE(PumpUntil([&] { return tray->FrameIndex() != frame; }, 5000));
}

TEST_F(TrayIconTest, AnimationKeepsTryingToRegisterWhileTheShellRefuses) {
  log_->fail_add = true;
  auto tray = MakeTray();
  tray->SetIcon(still_);
  tray->SetIcons(frames_);
  tray->SetInterval(10);
  tray->SetAnimated(true);
  EXPECT_FALSE(tray->Registered());
  ASSERT_TRUE(PumpUntil([&] { return log_->Count(NIM_ADD) >= 3; }, 5000));
  log_->fail_add = false;
  EXPECT_TRUE(PumpUntil([&] { return tray->Registered(); }, 5000));
  EXPECT_TRUE(PumpUntil([&] { return log_->Count(NIM_MODIFY) >= 2; }, 5000));
}

TEST_F(TrayIconTest, ChangesFromTheWindowThreadWhileAnimatingStayConsistent) {
  auto tray = MakeTray();
  tray->SetIcon(still_);
  tray->SetIcons(frames_);
  tray->SetInterval(1);
  QElapsedTimer timer;
  timer.start();
  int round = 0;
  while (timer.elapsed() < 600) {
    tray->SetAnimated(round % 3 != 0);
    tray->SetHint(QString("hint %1").arg(round));
    if (round % 5 == 0) tray->SetIcons(frames_);
    if (round % 7 == 0) tray->SetInterval(static_cast<std::uint16_t>(round % 2));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    ++round;
  }
  tray->SetAnimated(false);
  for (const auto& c : log_->Calls()) ASSERT_TRUE(c.on_gui_thread);
  EXPECT_TRUE(SameIcon(tray->NotifyData().hIcon, still_));
  EXPECT_TRUE(tray->Registered());
}

TEST_F(TrayIconTest, IntervalZeroDoesNotFloodTheWindowThread) {
  auto tray = MakeTray();
  tray->SetIcon(still_);
  tray->SetIcons(frames_);
  tray->SetInterval(0);
  tray->SetAnimated(true);
  // The thread waits for each step to run, so the queue never holds more than one.
  QThread::msleep(200);
  log_->Clear();
  QCoreApplication::processEvents();
  EXPECT_LE(log_->Count(NIM_MODIFY), 2u);
  tray->SetAnimated(false);
}

// --- mouse notifications ---------------------------------------------------------------

class TrayMouseTest : public TrayIconTest {
 protected:
  void SetUp() override {
    tray_ = MakeTray();
    tray_->SetIcon(still_);
    tray_->SetOnClick([this] { events_.push_back("click"); });
    tray_->SetOnDblClick([this] { events_.push_back("dblclick"); });
    tray_->SetOnMouseDown([this](TMouseButton b, TShiftState s, int, int) {
      events_.push_back(std::string("down") + Name(b) + ((s & ssDouble) ? "+double" : ""));
    });
    tray_->SetOnMouseUp(
        [this](TMouseButton b, TShiftState, int, int) { events_.push_back(std::string("up") + Name(b)); });
    tray_->SetOnMouseMove([this](TShiftState, int, int) { events_.push_back("move"); });
  }
  void TearDown() override { menu_.hide(); }
  static const char* Name(TMouseButton b) {
    return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M";
  }
  void Send(UINT mouse) { tray_->WndProc(WM_TRAYNOTIFY, mouse); }
  using Events = std::vector<std::string>;

  std::unique_ptr<TTrayIcon> tray_;
  Events events_;
  QMenu menu_;
};

TEST_F(TrayMouseTest, LeftClicksAndDoubleClicks) {
  Send(WM_LBUTTONDOWN);
  Send(WM_LBUTTONUP);
  Send(WM_LBUTTONDBLCLK);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(events_, (Events{"downL", "click", "upL", "dblclick", "downL+double", "upL"}));

  events_.clear();
  Send(WM_LBUTTONUP);  // released without a press on the icon: no click
  Send(WM_MOUSEMOVE);
  Send(WM_MBUTTONDOWN);
  Send(WM_MBUTTONUP);
  Send(WM_RBUTTONDBLCLK);
  EXPECT_EQ(events_, (Events{"upL", "move", "downM", "upM", "downR+double"}));
}

TEST_F(TrayMouseTest, RightClickOpensTheMenuOnlyWhenPressedOnTheIcon) {
  menu_.addAction("&View Message");
  tray_->SetPopupMenu(&menu_);

  Send(WM_RBUTTONUP);  // the button went down elsewhere
  EXPECT_FALSE(menu_.isVisible());
  EXPECT_EQ(events_, (Events{"upR"}));

  events_.clear();
  Send(WM_RBUTTONDOWN);
  Send(WM_RBUTTONUP);
  EXPECT_TRUE(menu_.isVisible());
  EXPECT_EQ(events_, (Events{"downR", "upR"}));
  menu_.hide();

  // Re-registering forgets a pending press.
  Send(WM_RBUTTONDOWN);
  tray_->Loaded();
  Send(WM_RBUTTONUP);
  EXPECT_FALSE(menu_.isVisible());

  // Without a menu, or while inactive, a right-click is a click.
  events_.clear();
  tray_->SetActive(false);
  Send(WM_RBUTTONDOWN);
  Send(WM_RBUTTONUP);
  EXPECT_FALSE(menu_.isVisible());
  EXPECT_EQ(events_, (Events{"downR", "click", "upR"}));
  tray_->SetActive(true);
  tray_->SetPopupMenu(nullptr);
  events_.clear();
  Send(WM_RBUTTONDOWN);
  Send(WM_RBUTTONUP);
  EXPECT_EQ(events_, (Events{"downR", "click", "upR"}));
}

TEST_F(TrayMouseTest, DoubleClickRunsAnEnabledDefaultMenuItemInstead) {
  QAction* view = menu_.addAction("&View Message");
  int views = 0;
  QObject::connect(view, &QAction::triggered, [&] { ++views; });
  tray_->SetPopupMenu(&menu_);

  Send(WM_LBUTTONDBLCLK);  // no default item: the event
  EXPECT_EQ(views, 0);
  EXPECT_EQ(events_, (Events{"dblclick", "downL+double"}));

  events_.clear();
  menu_.setDefaultAction(view);
  Send(WM_LBUTTONDBLCLK);
  EXPECT_EQ(views, 1);
  EXPECT_EQ(events_, (Events{"downL+double"}));

  events_.clear();
  view->setEnabled(false);
  Send(WM_LBUTTONDBLCLK);
  EXPECT_EQ(views, 1);
  EXPECT_EQ(events_, (Events{"dblclick", "downL+double"}));

  // A menu deleted elsewhere is forgotten.
  auto* temporary = new QMenu;
  temporary->setDefaultAction(temporary->addAction("x"));
  tray_->SetPopupMenu(temporary);
  delete temporary;
  events_.clear();
  Send(WM_LBUTTONDBLCLK);
  EXPECT_EQ(events_, (Events{"dblclick", "downL+double"}));
}

TEST_F(TrayMouseTest, DisabledOrForeignMessagesAreIgnoredAndErrorsReported) {
  tray_->SetEnabled(false);
  Send(WM_LBUTTONDBLCLK);
  tray_->SetEnabled(true);
  tray_->WndProc(WM_TRAYNOTIFY + 1, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(events_.empty());

  std::vector<std::string> errors;
  tray_->SetOnError([&](const std::exception& e) { errors.push_back(e.what()); });
  tray_->SetOnDblClick([] { throw std::runtime_error("handler failed"); });
  Send(WM_LBUTTONDBLCLK);
  EXPECT_EQ(errors, (std::vector<std::string>{"handler failed"}));
  // Notifications go on afterwards.
  Send(WM_LBUTTONDOWN);
  Send(WM_LBUTTONUP);
  EXPECT_EQ(events_, (Events{"downL", "click", "upL"}));
}

}  // namespace
}  // namespace hw
