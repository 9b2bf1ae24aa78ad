#include "desktop/widgets/ColorComboBox.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>

namespace hw::desktop {

namespace {

constexpr int kEntryCount = 16;  // the explicit colours lead the colour table
constexpr int kColorRole = Qt::UserRole;

// The entries' names as the user reads them; the settings store colours by their
// identifiers ("clBlack"), never by these.
const char* const kEntryNames[kEntryCount] = {
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Black"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Maroon"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Green"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Olive"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Navy"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Purple"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Teal"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Gray"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Silver"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Red"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Lime"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Yellow"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Blue"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Fuchsia"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "Aqua"),
    QT_TRANSLATE_NOOP("hw::desktop::TColorComboBox", "White"),
};

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

namespace {

// Qt names a combo box on Linux by its current text, so a screen reader would read a
// colour list as "Black" alone. This one is named by its accessible name and gives
// the colour as its value; its child is still the drop-down list.
class TColorComboAccessible : public QAccessibleWidget {
 public:
  explicit TColorComboAccessible(TColorComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

  QString text(QAccessible::Text type) const override {
    const auto* box = static_cast<const TColorComboBox*>(widget());
    if (type == QAccessible::Value) return box->currentText();
    if (type == QAccessible::Name && box->accessibleName().isEmpty()) return box->currentText();
    return QAccessibleWidget::text(type);
  }
  int childCount() const override { return 1; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(static_cast<QComboBox*>(widget())->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child && child->object() == static_cast<QComboBox*>(widget())->view() ? 0 : -1;
  }
};

QAccessibleInterface* MakeColorComboAccessible(const QString& class_name, QObject* object) {
  if (class_name != QLatin1String("QComboBox")) return nullptr;
  if (auto* box = dynamic_cast<TColorComboBox*>(object)) return new TColorComboAccessible(box);
  return nullptr;
}

}  // namespace

TColorComboBox::TColorComboBox(QWidget* parent) : QComboBox(parent) {
  static const bool factory_installed = (QAccessible::installFactory(&MakeColorComboAccessible), true);
  (void)factory_installed;
  setEditable(false);
  setItemDelegate(new TColorItemDelegate(this));
  for (int i = 0; i < kEntryCount; ++i) {
    addItem(QCoreApplication::translate("hw::desktop::TColorComboBox", kEntryNames[i]),
            QVariant::fromValue<uint>(ColorNames[i].Value));
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

}  // namespace hw::desktop
