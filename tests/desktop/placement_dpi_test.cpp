// The placement store on a 1024 by 768 screen of 144 logical pixels per inch: the keys
// follow the screen, positions stored at 96 are not taken, and a file written at another
// resolution is read through its plain keys.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdio>
#include <memory>

#include "desktop/FormPlacement.h"
#include "platform/store/Profile.h"
#include "tests/support/TestSupport.h"

namespace hw {
namespace {

TEST(PlacementDpiTest, KeysFollowTheScreen) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (qRound(screen->logicalDotsPerInch()) != 144 || screen->geometry().size() != QSize(1024, 768))
    GTEST_SKIP() << "the platform ignored the screen configuration";
  const std::string path = ProfileFolder() + "hwire.ini";
  ::mkdir(ProfileFolder().c_str(), 0700);
  test::WriteFile(path, "[MainForm]\nPixelsPerInch=96\nNormPos=10,20,110,120\n");

  auto window = std::make_unique<QWidget>();
  window->move(40, 50);
  window->resize(300, 200);
  auto* store = new TFormPlacement(window.get());
  store->SetIniFileName("hwire.ini");
  store->SetIniSection("MainForm");
  window->show();
  EXPECT_EQ(window->pos(), QPoint(40, 50)) << "a position stored at 96 pixels per inch is not used";
  EXPECT_EQ(window->size(), QSize(300, 200));
  window->close();
  const std::string saved = test::ReadFile(path);
  EXPECT_NE(saved.find("PixelsPerInch=144\n"), std::string::npos);
  EXPECT_NE(saved.find("NormPos(1024x768)=40,50,340,250\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("MinMaxPos(1024x768)="), std::string::npos);

  // Written at 800 by 600: the resolution key does not match, the plain one does.
  test::WriteFile(path, "[MainForm]\nPixelsPerInch=144\nNormPos(800x600)=1,2,3,4\nNormPos=15,25,215,125\n");
  window->show();
  EXPECT_EQ(window->pos(), QPoint(15, 25));
  EXPECT_EQ(window->size(), QSize(200, 100));
  window->hide();

  // Saved at this density, the next show takes it back.
  test::WriteFile(path, "[MainForm]\nPixelsPerInch=144\nNormPos=10,20,110,120\n");
  window->show();
  EXPECT_EQ(window->pos(), QPoint(10, 20));
  EXPECT_EQ(window->size(), QSize(100, 100));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace hw
