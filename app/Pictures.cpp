#include "app/Pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <cmath>

// Resources of a static library are registered explicitly.
static void InitPictureResources() { Q_INIT_RESOURCE(hallwire); }

namespace hw::pictures {
namespace {

// How a picture shows in one icon mode.
enum class TTint { kColour, kGrey, kDisabled };

double Linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int Encoded(double linear) {
  const double c = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
  return qBound(0, qRound(c * 255), 255);
}

// Grey of the same relative luminance: a greyed picture keeps the contrast its
// colours were chosen for, which a plain qGray() does not.
void MakeGrey(QImage& image, bool faded) {
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = line[x];
      const int alpha = qAlpha(pixel);
      if (alpha == 0) continue;
      // Premultiplied: take the colour back out, grey it, put it back.
      const auto channel = [alpha](int c) { return qMin(255, c * 255 / alpha); };
      const double luminance = 0.2126 * Linear(channel(qRed(pixel))) + 0.7152 * Linear(channel(qGreen(pixel))) +
                               0.0722 * Linear(channel(qBlue(pixel)));
      const int out_alpha = faded ? alpha / 2 : alpha;
      const int grey = Encoded(luminance) * out_alpha / 255;
      line[x] = qRgba(grey, grey, grey, out_alpha);
    }
  }
}

QByteArray ReadSource(const QString& name) {
  if (name.isEmpty()) return {};
  InitPictureResources();
  QFile file(name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One picture drawn from SVG at every size asked for. The word currentColor in the
// source becomes the application palette's colour of `ink_role` at drawing time, so a
// change of theme redraws the outlines in the new text colour.
class TSvgPictureEngine final : public QIconEngine {
 public:
  TSvgPictureEngine(const QString& normal, const QString& selected, QPalette::ColorRole ink_role, bool grey_until_active)
      : normal_name_(normal),
        selected_name_(selected),
        normal_(ReadSource(normal)),
        selected_(selected == normal ? normal_ : ReadSource(selected)),
        ink_role_(ink_role),
        grey_until_active_(grey_until_active) {}

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    const bool selected = mode == QIcon::Selected;
    const TTint tint = mode == QIcon::Disabled                          ? TTint::kDisabled
                       : grey_until_active_ && mode != QIcon::Active ? TTint::kGrey
                                                                       : TTint::kColour;
    const QColor ink = QGuiApplication::palette().color(ink_role_);
    const QString key = QStringLiteral("hw-picture:%1:%2x%3:%4:%5")
                            .arg(selected ? selected_name_ : normal_name_)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(static_cast<int>(tint))
                            .arg(ink.rgba());
    QPixmap cached;
    if (QPixmapCache::find(key, &cached)) return cached;
    QImage image = Render(selected ? selected_ : normal_, size, ink);
    if (tint != TTint::kColour) MakeGrey(image, tint == TTint::kDisabled);
    QPixmap result = QPixmap::fromImage(image);
    QPixmapCache::insert(key, result);
    return result;
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    // Drawn at the device's own resolution, never scaled up from a smaller copy.
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap picture = pixmap(QSize(qRound(rect.width() * ratio), qRound(rect.height() * ratio)), mode, state);
    picture.setDevicePixelRatio(ratio);
    painter->drawPixmap(rect, picture);
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }

  // Tray hosts that take pictures by value (StatusNotifierItem) pick from these.
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    return {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
  }

  QIconEngine* clone() const override { return new TSvgPictureEngine(*this); }
  QString key() const override { return QStringLiteral("hallwire-svg"); }

 private:
  static QImage Render(const QByteArray& source, const QSize& size, const QColor& ink) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (source.isEmpty() || size.isEmpty()) return image;
    QByteArray svg = source;
    svg.replace("currentColor", ink.name().toLatin1());
    QSvgRenderer renderer(svg);
    // Square pictures, centred in a box of another shape.
    const int side = qMin(size.width(), size.height());
    QPainter painter(&image);
    renderer.render(&painter, QRectF((size.width() - side) / 2.0, (size.height() - side) / 2.0, side, side));
    return image;
  }

  QString normal_name_;
  QString selected_name_;
  QByteArray normal_;
  QByteArray selected_;
  QPalette::ColorRole ink_role_;
  bool grey_until_active_;
};

QString Source(const char* name) { return QStringLiteral(":/hallwire/pictures/%1.svg").arg(QLatin1String(name)); }

const char* const kToolbarNames[kToolbarImageCount] = {"send",        "preferences", "clear",
                                                       "sound-on",    "refresh",     "sound-off"};
const char* const kTreeNames[kTreeImageCount] = {"globe", "computer", "arrow", "folder-open", "folder-closed"};

QString TreeSource(int index) {
  return index >= 0 && index < kTreeImageCount ? Source(kTreeNames[index]) : QString();
}

}  // namespace

QIcon ToolbarPicture(int index) {
  const QString name = index >= 0 && index < kToolbarImageCount ? Source(kToolbarNames[index]) : QString();
  return QIcon(new TSvgPictureEngine(name, name, QPalette::WindowText, true));
}

QIcon TreePicture(int index, int selected_index) {
  return QIcon(new TSvgPictureEngine(TreeSource(index), TreeSource(selected_index), QPalette::Text, false));
}

QIcon BuiltInProgramIcon() {
  const QString name = QStringLiteral(":/hallwire/icons/hallwire.svg");
  return QIcon(new TSvgPictureEngine(name, name, QPalette::WindowText, false));
}

QIcon ProgramIcon() {
  // The desktop's icon theme has the installed icon (and may restyle it); the copy
  // built into the program serves a build tree and desktops without the theme.
  return QIcon::fromTheme(QStringLiteral("hallwire"), BuiltInProgramIcon());
}

QIcon TrayFrame(int index) {
  const QString name = index >= 0 && index < 3 ? Source("tray-warning") : QString();
  return QIcon(new TSvgPictureEngine(name, name, QPalette::WindowText, false));
}

QPixmap AboutPicture(qreal device_pixel_ratio) { return ProgramIcon().pixmap(QSize(48, 48), device_pixel_ratio); }

}  // namespace hw::pictures
