// The window placement store on offscreen Qt windows: the keys a save writes, what a
// restore takes back (resolution keys, DPI, state, garbage), and when each happens.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "desktop/FormPlacement.h"
#include "platform/store/Profile.h"
#include "tests/support/TestSupport.h"

namespace hw {
namespace {

// A window whose close handler can refuse.
class Window : public QWidget {
 public:
  bool allow_close = true;

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (allow_close)
      event->accept();
    else
      event->ignore();
  }
};

std::string IniPath() { return ProfileFolder() + "hwire.ini"; }

std::string Value(const std::string& key, const std::string& section = "PrefForm") {
  char buffer[256];
  win32::GetPrivateProfileStringA(section.c_str(), key.c_str(), "<none>", buffer, sizeof buffer, "hwire.ini");
  return buffer;
}

std::string ScreenSuffix() {
  const QSize size = QGuiApplication::primaryScreen()->geometry().size();
  return "(" + std::to_string(size.width()) + "x" + std::to_string(size.height()) + ")";
}

int Ppi() { return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch()); }

class PlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::mkdir(ProfileFolder().c_str(), 0700);
    std::remove(IniPath().c_str());
  }
  void TearDown() override { std::remove(IniPath().c_str()); }

  // A resizable window with its store, its frame at 40,50 and a 300 by 200 client area.
  std::unique_ptr<Window> MakeWindow(const std::string& section = "PrefForm") {
    auto window = std::make_unique<Window>();
    window->move(40, 50);
    window->resize(300, 200);
    store_ = new TFormPlacement(window.get());
    store_->SetIniFileName("hwire.ini");
    store_->SetIniSection(section);
    store_->SetOnError([this](const std::exception& e) { errors_.push_back(e.what()); });
    return window;
  }
  void WriteIni(const std::string& body) { test::WriteFile(IniPath(), "[PrefForm]\n" + body); }
  static QRect Placed(const QWidget& w) { return QRect(w.pos(), w.size()); }

  TFormPlacement* store_ = nullptr;
  std::vector<std::string> errors_;
};

// --- save ------------------------------------------------------------------------------------

TEST_F(PlacementTest, SaveWritesEveryKeyInOrderAndReadsBackExactly) {
  auto window = MakeWindow();
  window->show();
  window->move(100, 120);
  window->resize(310, 210);
  ASSERT_TRUE(window->close());
  EXPECT_TRUE(store_->Saved());

  const TWindowPlacement wp = store_->GetWindowPlacement();
  const std::string min_max = "-1,-1," + std::to_string(wp.maxX) + "," + std::to_string(wp.maxY);
  const std::string expected =
      "[PrefForm]\n"
      "Flags=0\n"
      "ShowCmd=1\n"
      "PixelsPerInch=" +
      std::to_string(Ppi()) +
      "\n"
      "MinMaxPos" +
      ScreenSuffix() + "=" + min_max +
      "\n"
      "MinMaxPos=" +
      min_max +
      "\n"
      "NormPos" +
      ScreenSuffix() +
      "=100,120,410,330\n"
      "NormPos=100,120,410,330\n"
      "Visible=0\n";
  EXPECT_EQ(test::ReadFile(IniPath()), expected);

  // Another window with the same section comes back where the first one was.
  auto second = MakeWindow();
  second->show();
  EXPECT_EQ(Placed(*second), QRect(100, 120, 310, 210));
  EXPECT_EQ(store_->GetWindowPlacement().maxX, wp.maxX);
}

TEST_F(PlacementTest, CloseDestroyAndNeverShownDecideWhatIsWritten) {
  { auto never_shown = MakeWindow(); }
  EXPECT_FALSE(test::ReadFile(IniPath()).size()) << "a window never shown writes nothing";

  {
    auto refused = MakeWindow();
    refused->show();
    refused->allow_close = false;
    EXPECT_FALSE(refused->close());
    EXPECT_EQ(Value("Visible"), "<none>") << "a refused close saves nothing";
    EXPECT_FALSE(store_->Saved());
    refused->allow_close = true;
    refused->move(70, 80);
    EXPECT_TRUE(refused->close());
    EXPECT_EQ(Value("Visible"), "0");
    EXPECT_EQ(Value("NormPos"), "70,80,370,280");
    refused->move(90, 90);
  }
  EXPECT_EQ(Value("NormPos"), "70,80,370,280") << "saved at close, not again at destruction";

  {
    auto destroyed = MakeWindow();
    destroyed->show();
    destroyed->move(11, 12);
  }
  EXPECT_EQ(Value("Visible"), "1");
  EXPECT_EQ(Value("NormPos"), "11,12,311,212");

  {
    auto reopened = MakeWindow();
    reopened->show();
    reopened->close();
    EXPECT_EQ(Value("Visible"), "0");
    reopened->show();  // the restore clears the saved flag
    EXPECT_FALSE(store_->Saved());
  }
  EXPECT_EQ(Value("Visible"), "1");
}

TEST_F(PlacementTest, DialogEndedWithAResultIsSaved) {
  QDialog dialog;
  dialog.setGeometry(30, 40, 200, 150);
  auto* store = new TFormPlacement(&dialog);
  store->SetIniFileName("hwire.ini");
  store->SetIniSection("AboutForm");
  dialog.show();
  dialog.move(33, 44);
  dialog.accept();
  EXPECT_EQ(Value("NormPos", "AboutForm"), "33,44,233,194");
  EXPECT_EQ(Value("Visible", "AboutForm"), "0");

  dialog.show();
  dialog.move(55, 66);
  dialog.close();  // the close box: rejected by the dialog, saved once
  EXPECT_EQ(Value("NormPos", "AboutForm"), "55,66,255,216");
}

TEST_F(PlacementTest, RefusedWriteIsReportedWithTheFileName) {
  test::TempDir dir;
  const std::string blocked = dir.File("blocked");
  ::mkdir(blocked.c_str(), 0700);  // a folder where the file should be
  auto window = MakeWindow();
  store_->SetIniFileName(blocked);
  window->show();
  window->close();
  EXPECT_EQ(errors_, (std::vector<std::string>{"Unable to write to " + blocked}));
  EXPECT_FALSE(store_->Saved());
  EXPECT_THROW(store_->SaveFormPlacement(), std::exception);
}

// --- restore ------------------------------------------------------------------------------------

TEST_F(PlacementTest, RestoresAtEveryShowFromTheFileNotWhereTheWindowWasMoved) {
  WriteIni("NormPos=50,60,350,260\nShowCmd=1\nPixelsPerInch=" + std::to_string(Ppi()) + "\n");
  auto window = MakeWindow();
  window->show();
  EXPECT_EQ(Placed(*window), QRect(50, 60, 300, 200));
  EXPECT_TRUE(store_->Restored());
  window->move(200, 210);
  window->hide();
  window->show();
  EXPECT_EQ(Placed(*window), QRect(50, 60, 300, 200));
}

TEST_F(PlacementTest, ResolutionKeyComesFirstAndThePlainKeyStandsIn) {
  WriteIni("NormPos" + ScreenSuffix() + "=10,20,210,120\nNormPos=30,40,330,240\n");
  auto window = MakeWindow();
  window->show();
  EXPECT_EQ(Placed(*window), QRect(10, 20, 200, 100));
  window->hide();

  // Saved at another resolution: the plain key, written by every save, is used.
  WriteIni("NormPos(1x1)=10,20,210,120\nNormPos=30,40,330,240\nMinMaxPos(1x1)=1,2,3,4\nMinMaxPos=5,6,7,8\n");
  window->show();
  EXPECT_EQ(Placed(*window), QRect(30, 40, 300, 200));
  const TWindowPlacement wp = store_->GetWindowPlacement();
  EXPECT_EQ(wp.minX, 5);
  EXPECT_EQ(wp.minY, 6);
  window->hide();

  // An empty resolution key counts as missing.
  WriteIni("NormPos" + ScreenSuffix() + "=\nNormPos=31,41,331,241\n");
  window->show();
  EXPECT_EQ(Placed(*window), QRect(31, 41, 300, 200));
}

TEST_F(PlacementTest, OtherPixelsPerInchDiscardsPositionButKeepsState) {
  WriteIni("NormPos=10,20,210,120\nShowCmd=3\nPixelsPerInch=" + std::to_string(Ppi() + 24) + "\n");
  auto window = MakeWindow();
  window->show();
  EXPECT_EQ(window->size(), QSize(300, 200));
  EXPECT_NE(window->pos(), QPoint(10, 20));
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
}

TEST_F(PlacementTest, FixedSizeWindowTakesOnlyThePosition) {
  WriteIni("NormPos=10,20,999,999\n");
  auto window = MakeWindow("PrefForm");
  window->setFixedSize(383, 306);
  window->show();
  EXPECT_EQ(Placed(*window), QRect(10, 20, 383, 306));
}

TEST_F(PlacementTest, SectionWithoutAPositionGivesTheSizeOnlyAndLosesItsMarkerOnSave) {
  WriteIni("NormPos=0,0,250,150\nNoPosition=1\n");
  auto window = MakeWindow();
  window->show();
  EXPECT_EQ(Placed(*window), QRect(40, 50, 250, 150));
  window->move(60, 70);
  ASSERT_TRUE(window->close());
  EXPECT_EQ(Value("NormPos"), "60,70,310,220");
  EXPECT_EQ(Value("NoPosition"), "<none>");
}

TEST_F(PlacementTest, HiddenWindowIsPlacedButNotShown) {
  WriteIni("NormPos=15,25,215,125\nShowCmd=3\n");
  auto window = MakeWindow();
  store_->RestoreFormPlacement();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Placed(*window), QRect(15, 25, 200, 100));
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
}

TEST_F(PlacementTest, ShowCmdMapsToTheWindowState) {
  struct Case {
    const char* show_cmd;
    Qt::WindowStates expected;
  };
  const Case cases[] = {
      {"1", Qt::WindowNoState},     {"5", Qt::WindowNoState},   {"9", Qt::WindowNoState},   {"3", Qt::WindowMaximized},
      {"0x3", Qt::WindowMaximized}, {"2", Qt::WindowMinimized}, {"6", Qt::WindowMinimized}, {"7", Qt::WindowMinimized},
      {"0", Qt::WindowNoState},     {"4", Qt::WindowNoState},   {"8", Qt::WindowNoState},   {"-1", Qt::WindowNoState},
      {"zz", Qt::WindowNoState},    {"3x", Qt::WindowNoState},  {"0x", Qt::WindowNoState},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.show_cmd);
    WriteIni(std::string("ShowCmd=") + c.show_cmd + "\n");
    auto window = MakeWindow();
    window->show();
    QCoreApplication::processEvents();  // a minimised state follows the show
    EXPECT_EQ(window->windowState(), c.expected);
  }
  // A window minimised from the maximised state comes back that way.
  WriteIni("ShowCmd=2\nFlags=2\n");
  auto window = MakeWindow();
  window->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(window->windowState(), Qt::WindowMinimized | Qt::WindowMaximized);
}

// Hides instead of minimising, as the main window does.
class TrayWindow : public QWidget {
 public:
  int shows_seen_visible = 0;

 protected:
  void showEvent(QShowEvent*) override { shows_seen_visible += isVisible(); }
  void changeEvent(QEvent* event) override {
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
      setWindowState(windowState() & ~Qt::WindowMinimized);
      hide();
    }
  }
};

TEST_F(PlacementTest, StoredMinimisedStateFollowsTheShow) {
  WriteIni("ShowCmd=2\nNormPos=12,13,112,113\n");
  TrayWindow window;
  auto* store = new TFormPlacement(&window);
  store->SetIniFileName("hwire.ini");
  store->SetIniSection("PrefForm");
  window.show();
  // The show completes as a show; the minimise arrives afterwards and the window's
  // own rule (hide) handles it.
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.shows_seen_visible, 1);
  EXPECT_EQ(window.pos(), QPoint(12, 13));
  QCoreApplication::processEvents();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.windowState(), Qt::WindowNoState);
}

TEST_F(PlacementTest, NormPosWordsAndGarbage) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  struct Case {
    const char* norm_pos;
    QRect expected;  // from a window at 40,50 with 300 by 200
  };
  const Case cases[] = {
      {"10 20 , 310 ,,220", QRect(10, 20, 300, 200)},  // blanks and commas alike
      {"10,20,310", QRect(10, 20, 300, 230)},          // bottom missing: the current one
      {"abc", QRect(40, 50, 300, 200)},                // unreadable: current values
      {"10,20,x,y", QRect(10, 20, 330, 230)},          // right and bottom: current edges
      {"99999999999,60,400,300", QRect(40, 60, 360, 240)},
      {"100,100,50,300", QRect(40, 50, 300, 200)},  // right not past left: not applied
      {"100,100,100,300", QRect(40, 50, 300, 200)},
      {"2147483647,0,-2147483648,10", QRect(40, 50, 300, 200)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.norm_pos);
    WriteIni(std::string("NormPos=") + c.norm_pos + "\nMinMaxPos=1,2,3,4\n");
    auto window = MakeWindow();
    window->show();
    EXPECT_EQ(Placed(*window), c.expected);
  }

  // A rectangle that is not applied takes the minimised and maximised positions with it.
  WriteIni("NormPos=100,100,50,300\nMinMaxPos=1,2,3,4\n");
  auto window = MakeWindow();
  window->show();
  EXPECT_EQ(store_->GetWindowPlacement().minX, -1);

  // Far outside every screen: moved onto the primary one, size kept.
  window = MakeWindow();
  WriteIni("NormPos=50000,-50000,50300,-49800\n");
  window->show();
  EXPECT_EQ(window->size(), QSize(300, 200));
  EXPECT_TRUE(screen.contains(QRect(window->pos(), window->size()))) << window->pos().x() << "," << window->pos().y();

  // Sizes beyond the desktop are cut to it; the window stays reachable.
  window = MakeWindow();
  WriteIni("NormPos=-2147483648,-2147483648,2147483647,2147483647\n");
  window->show();
  EXPECT_LE(window->width(), QGuiApplication::primaryScreen()->virtualSize().width());
  EXPECT_LE(window->height(), QGuiApplication::primaryScreen()->virtualSize().height());
  EXPECT_TRUE(screen.intersects(QRect(window->pos(), window->size())));

  // Garbage everywhere else falls back to the defaults.
  window = MakeWindow();
  WriteIni("Flags=junk\nShowCmd=\nPixelsPerInch=many\nMinMaxPos=,,,\nNormPos=12,13,112,113\n");
  window->show();
  EXPECT_EQ(Placed(*window), QRect(12, 13, 100, 100));
  EXPECT_EQ(window->windowState(), Qt::WindowNoState);
  EXPECT_EQ(store_->GetWindowPlacement().minX, 0);
}

TEST_F(PlacementTest, PixelsPerInchReadsHexadecimal) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%X", Ppi());
  WriteIni(std::string("PixelsPerInch=") + hex + "\nNormPos=12,13,112,113\n");
  auto window = MakeWindow();
  window->show();
  EXPECT_EQ(Placed(*window), QRect(12, 13, 100, 100));
}

TEST_F(PlacementTest, InactiveStoreNeitherRestoresNorSaves) {
  WriteIni("NormPos=12,13,112,113\n");
  auto window = MakeWindow();
  store_->SetActive(false);
  window->show();
  EXPECT_EQ(Placed(*window), QRect(40, 50, 300, 200));
  window->close();
  window.reset();
  EXPECT_EQ(Value("Visible"), "<none>");
}

// --- limits, names, focus ------------------------------------------------------------------------

TEST_F(PlacementTest, MinMaxInfoBecomesTheWindowLimits) {
  auto about = MakeWindow("AboutForm");
  TWinMinMaxInfo about_limits;
  about_limits.MaxSizeHeight = 241;
  about_limits.MaxSizeWidth = 259;
  about_limits.MinTrackHeight = 241;
  about_limits.MinTrackWidth = 259;
  store_->SetMinMaxInfo(about_limits);
  EXPECT_EQ(about->minimumSize(), QSize(259, 241));
  EXPECT_EQ(about->maximumSize(), QSize(259, 241));
  about->show();
  about->resize(100, 100);
  EXPECT_EQ(about->size(), QSize(259, 241));
  about->showMaximized();
  EXPECT_EQ(about->size(), QSize(259, 241));

  auto main = MakeWindow("MainForm");
  main->setMaximumSize(800, 700);
  TWinMinMaxInfo main_limits;
  main_limits.MinTrackHeight = 352;
  main_limits.MinTrackWidth = 391;
  store_->SetMinMaxInfo(main_limits);
  EXPECT_EQ(main->minimumSize(), QSize(391, 352));
  EXPECT_EQ(main->maximumSize(), QSize(800, 700)) << "limits that are 0 stay as the window has them";

  // A minimum above the window's maximum does not leave contradicting limits.
  auto small = MakeWindow("Small");
  small->setFixedSize(200, 100);
  store_->SetMinMaxInfo(main_limits);
  EXPECT_EQ(small->maximumSize(), QSize(391, 352));
  EXPECT_EQ(small->size(), QSize(391, 352));
}

TEST_F(PlacementTest, DefaultFileAndSectionNames) {
  auto window = MakeWindow();
  store_->SetIniFileName("");
  store_->SetIniSection("");
  const std::string file = store_->EffectiveIniFileName();
  EXPECT_EQ(file, QCoreApplication::applicationFilePath().toStdString() + ".INI");
  EXPECT_EQ(store_->EffectiveIniSection(), "QWidget");
}

TEST_F(PlacementTest, ActiveControlOptionKeepsTheFocusedControl) {
  {
    auto window = MakeWindow();
    store_->SetOptions(fpState | fpPosition | fpActiveControl);
    auto* first = new QLineEdit(window.get());
    first->setObjectName("first");
    auto* second = new QLineEdit(window.get());
    second->setObjectName("second");
    window->show();
    second->setFocus();
  }
  EXPECT_EQ(Value("ActiveControl"), "second");

  auto window = MakeWindow();
  store_->SetOptions(fpState | fpPosition | fpActiveControl);
  auto* first = new QLineEdit(window.get());
  first->setObjectName("first");
  auto* second = new QLineEdit(window.get());
  second->setObjectName("second");
  first->setFocus();
  window->show();
  EXPECT_EQ(window->focusWidget(), second);
}

}  // namespace
}  // namespace hw
