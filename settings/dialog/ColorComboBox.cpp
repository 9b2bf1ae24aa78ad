#include "settings/dialog/ColorComboBox.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>

namespace hw {

namespace {

constexpr int kEntryCount = 16;  // the explicit colours lead the colour table
constexpr int kColorRole = Qt::UserRole;

QColor ToQColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

}  // namespace

void TColorItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  TColorComboBox::PaintEntry(*painter, option.rect, index.data(kColorRole).toUInt(), index.data().toString(),
                             option.palette, selected);
}

QSize TColorItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  size.setHeight(std::max(option.fontMetrics.height() + 1, 9));
  return size;
}

TColorComboBox::TColorComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  setItemDelegate(new TColorItemDelegate(this));
  for (int i = 0; i < kEntryCount; ++i) {
    const std::string name = ColorNames[i].Name;
    addItem(QString::fromLatin1(name.substr(2).c_str()), QVariant::fromValue<uint>(ColorNames[i].Value));
  }
  SetColorValue(clBlack);
  // Any change of the selected entry, by the user or by the program, carries its colour;
  // an empty selection leaves the value alone so that unlisted colours survive.
  connect(this, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
    if (index >= 0) value_ = itemData(index, kColorRole).toUInt();
  });
  connect(this, qOverload<int>(&QComboBox::activated), this, [this](int) {
    if (onChange_) onChange_();
  });
}

void TColorComboBox::SetColorValue(TColor value) {
  value_ = value;
  int found = -1;
  for (int i = 0; i < count(); ++i)
    if (itemData(i, kColorRole).toUInt() == value) {
      found = i;
      break;
    }
  setCurrentIndex(found);
  value_ = value;
}

int TColorComboBox::ItemHeight() const { return std::max(fontMetrics().height() + 1, 9); }

void TColorComboBox::PaintEntry(QPainter& painter, const QRect& rect, TColor color, const QString& name,
                                const QPalette& palette, bool selected) {
  painter.save();
  if (selected) painter.fillRect(rect, palette.color(QPalette::Highlight));
  const QRect swatch(rect.left() + 2, rect.top() + 2, 22, rect.height() - 4);
  if (swatch.height() > 0) {
    painter.fillRect(swatch, ToQColor(color));
    painter.setPen(palette.color(QPalette::Text));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
  }
  const QRect text(rect.left() + 28, rect.top(), std::max(rect.width() - 28, 0), rect.height());
  painter.setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
  painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
  painter.restore();
}

void TColorComboBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionComboBox option;
  initStyleOption(&option);
  option.currentText.clear();
  option.currentIcon = QIcon();
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  const int index = currentIndex();
  if (index < 0) return;
  const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
  PaintEntry(painter, field, itemData(index, kColorRole).toUInt(), itemText(index), palette(),
             hasFocus() && !view()->isVisible());
}

}  // namespace hw
