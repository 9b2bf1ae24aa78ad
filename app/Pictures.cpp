#include "app/Pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

// Resources of a static library are registered explicitly.
static void InitPictureResources() { Q_INIT_RESOURCE(hallwire); }

namespace hw::pictures {
namespace {

QPixmap Blank(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A small monitor on a stand; the screen is drawn in `screen`.
void DrawComputer(QPainter& p, const QRectF& box, const QColor& screen) {
  const qreal w = box.width(), h = box.height();
  const QRectF monitor(box.left() + w * 0.08, box.top() + h * 0.08, w * 0.84, h * 0.62);
  p.setPen(QPen(QColor(40, 40, 40), qMax<qreal>(1.0, w / 16)));
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(monitor);
  p.setPen(Qt::NoPen);
  p.setBrush(screen);
  p.drawRect(monitor.adjusted(w * 0.1, h * 0.1, -w * 0.1, -h * 0.1));
  p.setBrush(QColor(120, 120, 120));
  p.drawRect(QRectF(box.left() + w * 0.42, monitor.bottom(), w * 0.16, h * 0.12));
  p.setPen(QPen(QColor(40, 40, 40), qMax<qreal>(1.0, w / 16)));
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(QRectF(box.left() + w * 0.2, monitor.bottom() + h * 0.12, w * 0.6, h * 0.12));
}

void DrawSpeaker(QPainter& p) {
  QPolygonF cone;
  cone << QPointF(2, 6) << QPointF(5, 6) << QPointF(9, 2) << QPointF(9, 14) << QPointF(5, 10) << QPointF(2, 10);
  p.setPen(QPen(QColor(30, 30, 30), 1));
  p.setBrush(QColor(90, 90, 90));
  p.drawPolygon(cone);
}

QPixmap Send() {
  QPixmap pm = Blank(16);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  // An envelope with a green arrow leaving it.
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(QColor(250, 245, 220));
  p.drawRect(QRectF(1.5, 4.5, 10, 8));
  p.drawLine(QPointF(1.5, 4.5), QPointF(6.5, 9));
  p.drawLine(QPointF(11.5, 4.5), QPointF(6.5, 9));
  QPolygonF arrow;
  arrow << QPointF(9, 1) << QPointF(15, 4) << QPointF(9, 7);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 150, 0));
  p.drawPolygon(arrow);
  return pm;
}

QPixmap Prefs() {
  QPixmap pm = Blank(16);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  // A gear: a toothed wheel with a hole.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 90, 140));
  p.translate(8, 8);
  for (int i = 0; i < 8; ++i) {
    p.drawRect(QRectF(-1.5, -7.5, 3, 4));
    p.rotate(45);
  }
  p.drawEllipse(QPointF(0, 0), 5, 5);
  p.setBrush(QColor(230, 230, 230));
  p.drawEllipse(QPointF(0, 0), 2, 2);
  return pm;
}

QPixmap Clear() {
  QPixmap pm = Blank(16);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  // A page with lines, crossed out in red.
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(2.5, 1.5, 10, 13));
  for (int y = 4; y <= 12; y += 2) p.drawLine(QPointF(4.5, y + 0.5), QPointF(10.5, y + 0.5));
  p.setPen(QPen(QColor(210, 0, 0), 2));
  p.drawLine(QPointF(3, 3), QPointF(14, 14));
  p.drawLine(QPointF(14, 3), QPointF(3, 14));
  return pm;
}

QPixmap SoundOn() {
  QPixmap pm = Blank(16);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  DrawSpeaker(p);
  p.setPen(QPen(QColor(0, 110, 200), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(7, 5, 5, 6), -60 * 16, 120 * 16);
  p.drawArc(QRectF(6, 3, 8, 10), -60 * 16, 120 * 16);
  p.drawArc(QRectF(5, 1, 10, 14), -60 * 16, 120 * 16);
  return pm;
}

QPixmap SoundOff() {
  QPixmap pm = Blank(16);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  DrawSpeaker(p);
  p.setPen(QPen(QColor(210, 0, 0), 1.6));
  p.drawLine(QPointF(10.5, 5.5), QPointF(15, 10.5));
  p.drawLine(QPointF(15, 5.5), QPointF(10.5, 10.5));
  return pm;
}

QPixmap Refresh() {
  QPixmap pm = Blank(16);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  // Two curved arrows chasing each other.
  p.setPen(QPen(QColor(0, 120, 60), 2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(2, 2, 12, 12), 30 * 16, 150 * 16);
  p.drawArc(QRectF(2, 2, 12, 12), 210 * 16, 150 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 120, 60));
  QPolygonF head1;
  head1 << QPointF(10.5, 0.5) << QPointF(15, 4) << QPointF(9.5, 6);
  p.drawPolygon(head1);
  QPolygonF head2;
  head2 << QPointF(5.5, 15.5) << QPointF(1, 12) << QPointF(6.5, 10);
  p.drawPolygon(head2);
  return pm;
}

QPixmap Globe() {
  QPixmap pm = Blank(16);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0, 70, 150), 1));
  p.setBrush(QColor(90, 160, 230));
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(5, 1.5, 6, 13));
  p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
  p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 150, 60));
  p.drawEllipse(QRectF(3, 4, 4, 3));
  p.drawEllipse(QRectF(9, 9, 4, 3));
  return pm;
}

QPixmap Computer() {
  QPixmap pm = Blank(16);
  QPainter p(&pm);
  DrawComputer(p, QRectF(0, 0, 16, 16), QColor(0, 90, 160));
  return pm;
}

QPixmap Arrow() {
  QPixmap pm = Blank(16);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QPolygonF arrow;
  arrow << QPointF(2, 6) << QPointF(8, 6) << QPointF(8, 2) << QPointF(14.5, 8) << QPointF(8, 14) << QPointF(8, 10)
        << QPointF(2, 10);
  p.setPen(QPen(QColor(120, 60, 0), 1));
  p.setBrush(QColor(240, 160, 0));
  p.drawPolygon(arrow);
  return pm;
}

QPixmap Folder(bool open) {
  QPixmap pm = Blank(16);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(130, 100, 0), 1));
  p.setBrush(QColor(235, 200, 80));
  QPolygonF back;
  back << QPointF(1.5, 3.5) << QPointF(6, 3.5) << QPointF(7.5, 5) << QPointF(14.5, 5) << QPointF(14.5, 13.5)
       << QPointF(1.5, 13.5);
  p.drawPolygon(back);
  if (open) {
    QPolygonF flap;
    flap << QPointF(3.5, 7.5) << QPointF(15.5, 7.5) << QPointF(13.5, 13.5) << QPointF(1.5, 13.5);
    p.setBrush(QColor(250, 225, 130));
    p.drawPolygon(flap);
  }
  return pm;
}

}  // namespace

QPixmap ToolbarImage(int index) {
  switch (index) {
    case 0: return Send();
    case 1: return Prefs();
    case 2: return Clear();
    case 3: return SoundOn();
    case 4: return Refresh();
    case 5: return SoundOff();
    default: return Blank(16);
  }
}

QPixmap TreeImage(int index) {
  switch (index) {
    case 0: return Globe();
    case 1: return Computer();
    case 2: return Arrow();
    case 3: return Folder(true);
    case 4: return Folder(false);
    default: return Blank(16);
  }
}

QIcon ProgramIcon() {
  InitPictureResources();
  // The desktop's icon theme has the installed icon (and may restyle it); the copy
  // built into the program serves a build tree and desktops without the theme.
  QIcon built_in;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    built_in.addFile(QString(":/hallwire/icons/hallwire-%1.png").arg(size), QSize(size, size));
  return QIcon::fromTheme("hallwire", built_in);
}

QIcon TrayFrame(int index) {
  QPixmap pm = Blank(16);
  if (index >= 0 && index < 3) {
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF triangle;
    triangle << QPointF(8, 1) << QPointF(15, 14.5) << QPointF(1, 14.5);
    p.setPen(QPen(QColor(220, 0, 0), 2));
    p.setBrush(QColor(255, 230, 0));
    p.drawPolygon(triangle);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(QPointF(8, 5), QPointF(8, 10));
    p.drawPoint(QPointF(8, 12.5));
  }
  return QIcon(pm);
}

QPixmap AboutPicture() { return ProgramIcon().pixmap(48, 48); }

}  // namespace hw::pictures
