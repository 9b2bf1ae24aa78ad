// A status bar of fixed-width panels; panels marked owner-drawn are painted by a
// handler of the owning window.
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class QPainter;

namespace hw {

struct TStatusPanel {
  int Width = 50;
  QString Text;
  bool OwnerDraw = false;
};

class TStatusBar : public QWidget {
  Q_OBJECT
 public:
  // Called for each owner-drawn panel with the painter prepared (the bar's font
  // and text colour, a button-face brush), the panel's index and text, and the
  // panel's inner rectangle.
  using TDrawPanelEvent = std::function<void(QPainter& canvas, int index, const QString& text, const QRect& rect)>;

  // Repaints itself whenever a key is released in its window, so panels that show
  // a key's lock follow it.
  explicit TStatusBar(QWidget* parent = nullptr);
  ~TStatusBar() override;

  void SetPanels(std::vector<TStatusPanel> panels);
  int PanelCount() const { return static_cast<int>(panels_.size()); }
  const TStatusPanel& Panel(int index) const { return panels_.at(static_cast<std::size_t>(index)); }
  void SetPanelText(int index, const QString& text);
  // The inner rectangle of a panel, in the bar's coordinates.
  QRect PanelRect(int index) const;
  void SetOnDrawPanel(TDrawPanelEvent handler) { on_draw_panel_ = std::move(handler); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<TStatusPanel> panels_;
  TDrawPanelEvent on_draw_panel_;
};

}  // namespace hw
