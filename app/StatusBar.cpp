#include "app/StatusBar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOption>
#include <qdrawutil.h>

#include <algorithm>

namespace hw {
namespace {

// A panel is painted, not a widget: screen readers get it from this interface.
class TStatusPanelAccessible : public QAccessibleInterface {
 public:
  TStatusPanelAccessible(TStatusBar* bar, int index) : bar_(bar), index_(index) {}

  bool isValid() const override { return bar_ && index_ < bar_->PanelCount(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return bar_ ? bar_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(bar_.data()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text type) const override {
    if (!isValid()) return {};
    if (type == QAccessible::Name) return bar_->PanelName(index_);
    if (type == QAccessible::Description) return bar_->PanelDescription(index_);
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!isValid()) return {};
    const QRect area = bar_->PanelRect(index_);
    return QRect(bar_->mapToGlobal(area.topLeft()), area.size());
  }
  QAccessible::Role role() const override { return QAccessible::StaticText; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.readOnly = true;
    state.invisible = !bar_ || !bar_->isVisible();
    return state;
  }

 private:
  QPointer<TStatusBar> bar_;
  int index_;
};

class TStatusBarAccessible : public QAccessibleWidget {
 public:
  // The panels' interfaces stay registered after the bar has gone (they then report
  // themselves invalid): Qt's cache deletes them at exit, and deleting them here could
  // reach that cache while it is being destroyed.
  explicit TStatusBarAccessible(TStatusBar* bar) : QAccessibleWidget(bar, QAccessible::StatusBar) {}

  int childCount() const override { return Bar()->PanelCount(); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    while (static_cast<int>(panel_ids_.size()) <= index)
      panel_ids_.push_back(QAccessible::registerAccessibleInterface(
          new TStatusPanelAccessible(Bar(), static_cast<int>(panel_ids_.size()))));
    return QAccessible::accessibleInterface(panel_ids_[static_cast<std::size_t>(index)]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (std::size_t i = 0; i < panel_ids_.size(); ++i)
      if (QAccessible::accessibleInterface(panel_ids_[i]) == child) return static_cast<int>(i);
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint point = Bar()->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < childCount(); ++i)
      if (Bar()->PanelRect(i).contains(point)) return child(i);
    return nullptr;
  }

 private:
  TStatusBar* Bar() const { return static_cast<TStatusBar*>(widget()); }
  mutable std::vector<QAccessible::Id> panel_ids_;
};

QAccessibleInterface* MakeStatusBarAccessible(const QString& class_name, QObject* object) {
  if (class_name == QLatin1String(TStatusBar::staticMetaObject.className()) && object && object->isWidgetType())
    return new TStatusBarAccessible(static_cast<TStatusBar*>(object));
  return nullptr;
}

}  // namespace

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
  static const bool factory_installed = (QAccessible::installFactory(&MakeStatusBarAccessible), true);
  (void)factory_installed;
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
      static_cast<QWidget*>(watched)->window() == window()) {
    update();
    for (int i = 0; i < PanelCount(); ++i)
      if (panels_[static_cast<std::size_t>(i)].owner_drawn) AnnouncePanel(i);
  }
  return QWidget::eventFilter(watched, event);
}

void TStatusBar::SetPanels(std::vector<TStatusPanel> panels) {
  panels_ = std::move(panels);
  update();
}

void TStatusBar::SetPanelText(int index, const QString& text) {
  panels_.at(static_cast<std::size_t>(index)).text = text;
  update();
  AnnouncePanel(index);
}

QString TStatusBar::PanelName(int index) const {
  const TStatusPanel& panel = panels_.at(static_cast<std::size_t>(index));
  if (panel.owner_drawn && on_name_panel_) return on_name_panel_(index);
  return panel.text;
}

QString TStatusBar::PanelDescription(int index) const { return panels_.at(static_cast<std::size_t>(index)).description; }

void TStatusBar::AnnouncePanel(int index) {
  if (!QAccessible::isActive()) return;
  QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(this);
  if (QAccessibleInterface* panel = bar ? bar->child(index) : nullptr) {
    QAccessibleEvent event(panel, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
  }
}

std::vector<int> TStatusBar::PanelWidths() const {
  // The crisp face the panels are painted in; a panel that is too narrow for its
  // text (a larger face, another language) grows and the first one gives way.
  QFont crisp = font();
  crisp.setStyleStrategy(QFont::NoAntialias);
  const QFontMetrics metrics(crisp);
  std::vector<int> widths;
  int total = 0;
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    const TStatusPanel& panel = panels_[i];
    const int needed = i == 0 || panel.text.isEmpty() ? 0 : metrics.horizontalAdvance(panel.text) + 8;
    widths.push_back(std::max(panel.width, needed));
    total += widths.back();
  }
  if (!widths.empty() && total > width()) widths[0] = std::max(8, widths[0] - (total - width()));
  return widths;
}

QRect TStatusBar::PanelRect(int index) const {
  const std::vector<int> widths = PanelWidths();
  int left = 0;
  for (int i = 0; i < index; ++i) left += widths[static_cast<std::size_t>(i)];
  const int width = widths.at(static_cast<std::size_t>(index));
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
    if (panel.owner_drawn) {
      if (on_draw_panel_) on_draw_panel_(painter, i, panel.text, inner);
    } else {
      const QRect area = inner.adjusted(2, 0, 0, 0);
      const QString shown = painter.fontMetrics().elidedText(panel.text, Qt::ElideRight, area.width());
      painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    }
    painter.restore();
  }
}

}  // namespace hw
