// Pictures and captions at the run's QT_SCALE_FACTOR on light and dark palettes;
// screenshots of the windows go to $HALLWIRE_TEST_HOME/shots for a person to look at.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>

#include <cmath>
#include <cstdlib>

#include "app/About.h"
#include "app/MainForm.h"
#include "app/Pictures.h"
#include "app/preferences/PrefForm.h"
#include "tests/app/FakeParts.h"
#include "tests/support/TestSupport.h"

namespace hw {
namespace {

// The desktop theme's palette, Qt's light one, and one in Adwaita-dark's colours.
std::vector<std::pair<QString, QPalette>> Palettes() {
  static const QPalette theme = QApplication::palette();
  const QColor window(0x35, 0x35, 0x35), text(0xee, 0xee, 0xec), base(0x2d, 0x2d, 0x2d);
  QPalette dark(text, window, window.lighter(150), window.darker(200), window.darker(130), text, Qt::white, base,
                window);
  dark.setColor(QPalette::Highlight, QColor(0x15, 0x53, 0x9e));
  return {{"theme", theme}, {"light", QApplication::style()->standardPalette()}, {"dark", dark}};
}

double Luminance(QRgb rgb) {
  const auto linear = [](int c) { return c <= 10 ? c / 255.0 / 12.92 : std::pow((c / 255.0 + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

// Over a background: the share of visible pixels at 3:1 contrast or more, and the sum of
// squared steps between neighbours (a sharp edge at 2x counts twice, a smoothed one once).
std::pair<double, double> ContrastShareAndEdgeEnergy(QImage picture, QColor background) {
  QImage laid(picture.size(), QImage::Format_RGB32);
  laid.fill(background);
  picture.setDevicePixelRatio(1);
  QPainter(&laid).drawImage(0, 0, picture);
  const double back = Luminance(background.rgb());
  double visible = 0, contrasted = 0, energy = 0;
  for (int y = 0; y < laid.height(); ++y)
    for (int x = 0; x < laid.width(); ++x) {
      const double l = Luminance(laid.pixel(x, y));
      const bool shown = picture.pixelColor(x, y).alpha() >= 128;
      visible += shown;
      contrasted += shown && (std::max(l, back) + 0.05) / (std::min(l, back) + 0.05) >= 3.0;
      if (x > 0) energy += std::pow((qGray(laid.pixel(x, y)) - qGray(laid.pixel(x - 1, y))) / 255.0, 2);
      if (y > 0) energy += std::pow((qGray(laid.pixel(x, y)) - qGray(laid.pixel(x, y - 1))) / 255.0, 2);
    }
  return {visible ? contrasted / visible : 0, energy};
}

QString Shown(QString text) { return text.replace(QRegularExpression("&(.)"), "\\1"); }  // access keys out

// Every caption fits its control; every control lies inside its parent and its group's frame.
void ExpectNothingClipped(QWidget& window) {
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (!w->isVisible() || w->isWindow()) continue;
    const std::string name = w->objectName().toStdString() + " " + w->metaObject()->className();
    QString text;
    QRect room = w->contentsRect();
    if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap())
      text = label->buddy() ? Shown(label->text()) : label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) text = Shown(button->text());
    if (auto* group = qobject_cast<QGroupBox*>(w)) text = Shown(group->title());
    if (auto* box = qobject_cast<QCheckBox*>(w)) {
      QStyleOptionButton option;
      option.initFrom(box);
      room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    }
    EXPECT_LE(w->fontMetrics().horizontalAdvance(text), room.width()) << name << " clips its caption";
    EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << name << " runs out of its parent";
    if (auto* group = qobject_cast<QGroupBox*>(w->parentWidget())) {
      QStyleOptionGroupBox option;
      option.initFrom(group);
      option.text = group->title();
      option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
      const QRect inside = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, group);
      EXPECT_TRUE(inside.contains(w->geometry())) << name << " lies on its group's frame";
    }
  }
}

// On each palette: every picture is drawn for its scale and stands out; no caption of the
// three windows is clipped, and each window is photographed.
TEST(Look, PicturesStandOutAndNoCaptionIsClippedOnEveryPalette) {
  test::TempDir dir;
  setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);  // no window size kept from an earlier run
  test::TFakeParts fake;
  TmainForm main_form(fake.Make(dir.File("Hwire.ini")));
  app::TfrmPref preferences(nullptr, {dir.File("Hwire.ini"), [](const std::string&) {}, {}});
  TAbout about;
  const QString shots = QString::fromUtf8(std::getenv("HALLWIRE_TEST_HOME")) + "/shots";
  QDir().mkpath(shots);
  std::vector<std::pair<std::string, QIcon>> all = {{"tray", pictures::TrayFrame(0)}, {"program", pictures::BuiltInProgramIcon()}};
  for (int i = 0; i < pictures::kToolbarImageCount; ++i) all.push_back({"toolbar " + std::to_string(i), pictures::ToolbarPicture(i)});
  for (int i = 0; i < pictures::kTreeImageCount; ++i) all.push_back({"tree " + std::to_string(i), pictures::TreePicture(i)});
  for (const auto& [palette_name, palette] : Palettes()) {
    QApplication::setPalette(palette);
    for (const auto& [name, icon] : all) {
      SCOPED_TRACE(name + " on " + palette_name.toStdString());
      const QImage one = icon.pixmap(QSize(16, 16), 1.0).toImage();
      for (double ratio : {1.5, 2.0}) {
        const QImage big = icon.pixmap(QSize(16, 16), ratio).toImage();
        EXPECT_NE(big, one.scaled(big.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)) << "blocky";
        // Lines fall between pixels at 1.5x; at 2x every edge must be as sharp as at 1x.
        EXPECT_TRUE(ratio != 2.0 || ContrastShareAndEdgeEnergy(big, Qt::white).second >
                                        1.5 * ContrastShareAndEdgeEnergy(one, Qt::white).second) << "scaled up smoothly";
      }
      for (auto role : {QPalette::Window, QPalette::Base})  // the program's icon brings its own tile
        EXPECT_TRUE(name == "program" || ContrastShareAndEdgeEnergy(one, palette.color(role)).first >= 0.5) << role;
    }
    for (QWidget* window : std::initializer_list<QWidget*>{&main_form, &preferences, &about}) {
      window->show();
      QApplication::processEvents();
      window->grab().save(
          QString("%1/%2-%3x-%4.png").arg(shots, window->objectName(), QString::number(qApp->devicePixelRatio()), palette_name));
      ExpectNothingClipped(*window);
      window->hide();
    }
  }
  QApplication::setPalette(Palettes().front().second);
  // The installed theme's icon is an SVG, readable only with Qt's SVG plugins.
  EXPECT_FALSE(QIcon(":/hallwire/icons/hallwire.svg").pixmap(64, 64).isNull()) << "no SVG icon engine";
}

}  // namespace
}  // namespace hw
