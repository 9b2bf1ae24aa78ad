// A status bar of fixed-width panels; panels marked owner-drawn are painted by a
// handler of the owning window. The bar and its panels are exposed to screen readers
// (the bar as a status bar, each panel as a label).
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QPainter;

namespace hw {

struct TStatusPanel {
  int width = 50;
  QString text;
  bool owner_drawn = false;
  QString description;  // what the panel shows, for screen readers
};

class TStatusBar : public QWidget {
  Q_OBJECT
 public:
  // Called for each owner-drawn panel with the painter prepared (the bar's font
  // and text colour, a button-face brush), the panel's index and text, and the
  // panel's inner rectangle.
  using TDrawPanelEvent = std::function<void(QPainter& canvas, int index, const QString& text, const QRect& rect)>;
  // The name a screen reader gives an owner-drawn panel (its state in words).
  using TNamePanelEvent = std::function<QString(int index)>;

  // Repaints itself whenever a key is released in its window, so panels that show
  // a key's lock follow it.
  explicit TStatusBar(QWidget* parent = nullptr);
  ~TStatusBar() override;

  void SetPanels(std::vector<TStatusPanel> panels);
  int PanelCount() const { return static_cast<int>(panels_.size()); }
  const TStatusPanel& Panel(int index) const { return panels_.at(static_cast<std::size_t>(index)); }
  void SetPanelText(int index, const QString& text);
  void SetPanelDescription(int index, const QString& text) { panels_.at(static_cast<std::size_t>(index)).description = text; }
  // The inner rectangle of a panel, in the bar's coordinates. A panel is at least as
  // wide as its text; the first panel gives up what the others need.
  QRect PanelRect(int index) const;
  void SetOnDrawPanel(TDrawPanelEvent handler) { on_draw_panel_ = std::move(handler); }
  void SetOnNamePanel(TNamePanelEvent handler) { on_name_panel_ = std::move(handler); }
  // What a screen reader reads for the panel: its name and its description.
  QString PanelName(int index) const;
  QString PanelDescription(int index) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Tells screen readers that the panel's name changed.
  void AnnouncePanel(int index);
  std::vector<int> PanelWidths() const;

  std::vector<TStatusPanel> panels_;
  TDrawPanelEvent on_draw_panel_;
  TNamePanelEvent on_name_panel_;
};

}  // namespace hw
