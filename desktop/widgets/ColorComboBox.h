// A drop-down list of the sixteen named colours, each drawn as a swatch and its name.
#pragma once

#include <QComboBox>
#include <QStyledItemDelegate>
#include <functional>

#include "settings/Colors.h"

namespace hw::desktop {

// Draws one colour entry: a framed swatch from 2 to 24 pixels and the name from 28.
class TColorItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Black .. White in colour table order, without typing. The list holds any colour
// value: one of the sixteen selects its entry, any other shows the list empty and is
// reported back unchanged.
class TColorComboBox : public QComboBox {
 public:
  explicit TColorComboBox(QWidget* parent = nullptr);

  // The current colour.
  TColor ColorValue() const { return value_; }
  void SetColorValue(TColor value);

  // Raised when the user picks an entry.
  void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

  // Height of one entry: the font's text height plus one, at least 9 pixels.
  int ItemHeight() const;

  // Paints an entry's swatch and name into `rect`.
  static void PaintEntry(QPainter& painter, const QRect& rect, TColor color, const QString& name,
                         const QPalette& palette, bool selected);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TColor value_ = clBlack;
  std::function<void()> onChange_;
};

}  // namespace hw::desktop
