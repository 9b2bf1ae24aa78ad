// The about box and the help document.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/About.h"
#include "app/Help.h"
#include "tests/app/WindowTestAccess.h"
#include "tests/support/TestSupport.h"

namespace hw {
namespace {

TEST(About, ShowsProductBuildAndContactAndClosesOnOK) {
  TAbout about;
  EXPECT_EQ(about.windowTitle(), "About");
  EXPECT_EQ(Ui(about).product_name->text(), "Hallwire 1.5");
  EXPECT_EQ(Ui(about).build->text(), "Build 1.5.12");
  for (QLabel* line : Ui(about).contact_lines) EXPECT_FALSE(line->text().isEmpty());
  EXPECT_FALSE(Ui(about).picture->pixmap().isNull());
  EXPECT_EQ(Ui(about).ok_button->text(), "&OK");
  EXPECT_EQ(about.minimumSize(), QSize(259, 241));
  EXPECT_EQ(about.maximumSize(), QSize(259, 241));
  EXPECT_EQ(HelpContextOf(Ui(about).ok_button), kAboutHelpContext);
  QTimer::singleShot(0, Ui(about).ok_button, &QPushButton::click);
  EXPECT_EQ(about.exec(), QDialog::Accepted);
}

TEST(Help, TheDocumentHasATopicForEveryContext) {
  const std::string path = HelpDocumentPath();
  ASSERT_FALSE(path.empty());
  const std::string html = test::ReadFile(path);
  for (int context : {kMainWindowHelpContext, kPreferencesHelpContext, kAboutHelpContext})
    EXPECT_NE(html.find("id=\"context-" + std::to_string(context) + "\""), std::string::npos) << context;
  EXPECT_EQ(HelpTopicUrl(4), "file://" + path + "#context-4");
  EXPECT_EQ(HelpTopicUrl(0), "file://" + path);
  // Written again when it has been damaged.
  test::WriteFile(path, "damaged");
  EXPECT_EQ(HelpDocumentPath(), path);
  EXPECT_EQ(test::ReadFile(path), html);
}

TEST(Help, TheContextIsTheNearestOneUpTheParentChain) {
  QWidget window;
  window.setProperty(kHelpContextProperty, 3);
  QWidget* panel = new QWidget(&window);
  QWidget* inner = new QWidget(panel);
  EXPECT_EQ(HelpContextOf(inner), 3);
  panel->setProperty(kHelpContextProperty, 6);
  EXPECT_EQ(HelpContextOf(inner), 6);
  EXPECT_EQ(HelpContextOf(nullptr), 0);
}

}  // namespace
}  // namespace hw
