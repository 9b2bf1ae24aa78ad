#include "app/StatusBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <qdrawutil.h>

namespace hw {

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
  setFixedHeight(21);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Button);
  qApp->installEventFilter(this);
}

TStatusBar::~TStatusBar() { qApp->removeEventFilter(this); }

bool TStatusBar::eventFilter(QObject* watched, QEvent* event) {
  // A lock key changes its lock when it is released, after the press has been
  // painted: the panels are painted again then, whichever control has the focus.
  if (event->type() == QEvent::KeyRelease && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == window())
    update();
  return QWidget::eventFilter(watched, event);
}

void TStatusBar::SetPanels(std::vector<TStatusPanel> panels) {
  panels_ = std::move(panels);
  update();
}

void TStatusBar::SetPanelText(int index, const QString& text) {
  panels_.at(static_cast<std::size_t>(index)).Text = text;
  update();
}

QRect TStatusBar::PanelRect(int index) const {
  int left = 0;
  for (int i = 0; i < index; ++i) left += panels_[static_cast<std::size_t>(i)].Width;
  const int width = panels_.at(static_cast<std::size_t>(index)).Width;
  // Each panel is framed by a sunken one-pixel edge, with a two-pixel gap between panels.
  return QRect(left + 1, 3, width - 4, height() - 5);
}

void TStatusBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& pal = palette();
  for (int i = 0; i < PanelCount(); ++i) {
    const QRect inner = PanelRect(i);
    qDrawShadePanel(&painter, inner.adjusted(-1, -1, 1, 1), pal, true, 1);
    const TStatusPanel& panel = panels_[static_cast<std::size_t>(i)];
    painter.save();
    painter.setClipRect(inner);
    // Crisp text, as the bar's words are drawn in exact colours.
    QFont crisp = font();
    crisp.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(crisp);
    painter.setPen(pal.color(QPalette::ButtonText));
    painter.setBrush(pal.brush(QPalette::Button));
    if (panel.OwnerDraw) {
      if (on_draw_panel_) on_draw_panel_(painter, i, panel.Text, inner);
    } else {
      painter.drawText(inner.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, panel.Text);
    }
    painter.restore();
  }
}

}  // namespace hw
