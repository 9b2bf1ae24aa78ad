#include "app/NetworkTree.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QIcon>
#include <QPalette>
#include <QTreeWidget>

#include <algorithm>

#include "app/Pictures.h"
#include "transport/ChatLine.h"

namespace hw {
namespace {

constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kSelectedImageRole = Qt::UserRole + 2;

// Closes an enumeration handle exactly once, also when adding nodes throws.
class TEnumHandle {
 public:
  TEnumHandle(const TNetEnumApi& api, win32::HANDLE handle) : api_(api), handle_(handle) {}
  ~TEnumHandle() { Close(); }
  TEnumHandle(const TEnumHandle&) = delete;
  TEnumHandle& operator=(const TEnumHandle&) = delete;
  void Close() {
    if (open_) {
      open_ = false;
      api_.CloseEnum(handle_);
    }
  }
  win32::HANDLE Get() const { return handle_; }

 private:
  const TNetEnumApi& api_;
  win32::HANDLE handle_;
  bool open_ = true;
};

// Turns repainting off for the rebuild and back on however the rebuild ends.
class TUpdatesSuspended {
 public:
  explicit TUpdatesSuspended(QTreeWidget& view) : view_(view), was_enabled_(view.updatesEnabled()) {
    view_.setUpdatesEnabled(false);
  }
  ~TUpdatesSuspended() { view_.setUpdatesEnabled(was_enabled_); }
  TUpdatesSuspended(const TUpdatesSuspended&) = delete;
  TUpdatesSuspended& operator=(const TUpdatesSuspended&) = delete;

 private:
  QTreeWidget& view_;
  bool was_enabled_;
};

QIcon NodeIcon(int image, int selected_image) {
  QIcon icon;
  icon.addPixmap(pictures::TreeImage(image), QIcon::Normal);
  icon.addPixmap(pictures::TreeImage(selected_image), QIcon::Selected);
  return icon;
}

}  // namespace

std::string DisplayNameFromRemoteName(const char* remote_name) {
  return remote_name ? ComputerDisplayName(remote_name) : std::string();
}

QTreeWidgetItem* AddTreeNode(QTreeWidget& view, QTreeWidgetItem* parent, const std::string& text, int image,
                             int selected_image) {
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(&view);
  item->setText(0, QString::fromStdString(ShownAsUtf8(text)));
  item->setData(0, kImageRole, image);
  item->setData(0, kSelectedImageRole, selected_image);
  item->setIcon(0, NodeIcon(image, selected_image));
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  return item;
}

int NodeImageIndex(const QTreeWidgetItem& item) { return item.data(0, kImageRole).toInt(); }
int NodeSelectedImageIndex(const QTreeWidgetItem& item) { return item.data(0, kSelectedImageRole).toInt(); }

QTreeWidgetItem* SelectedNode(const QTreeWidget& view) {
  const auto selected = view.selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

void ConfigureRecipientTree(QTreeWidget& view) {
  view.setColumnCount(1);
  view.setHeaderHidden(true);
  view.setIndentation(23);
  view.setRootIsDecorated(false);
  view.setIconSize(QSize(16, 16));
  view.setSelectionMode(QAbstractItemView::SingleSelection);
  view.setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  // The selected node is not highlighted while the tree has no focus.
  QPalette palette = view.palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Inactive, QPalette::Base));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Inactive, QPalette::Text));
  view.setPalette(palette);
  // Selecting a node expands it and collapses the one selected before, unless
  // that one holds the new node.
  QObject::connect(&view, &QTreeWidget::currentItemChanged, &view,
                   [](QTreeWidgetItem* current, QTreeWidgetItem* previous) {
                     if (current) current->setExpanded(true);
                     if (!previous || previous == current) return;
                     for (QTreeWidgetItem* up = current ? current->parent() : nullptr; up; up = up->parent())
                       if (up == previous) return;
                     previous->setExpanded(false);
                   });
  view.clear();
  AddTreeNode(view, nullptr, kInitialNodeText, tiGlobe, tiGlobe);
}

bool GetDomainList(QTreeWidget& view, const TNetEnumApi& api) {
  using namespace win32;
  // One buffer for both stages; each read overwrites it from the start.
  alignas(NETRESOURCEA) unsigned char buffer[kNetEnumBufferSize];
  auto* request = reinterpret_cast<NETRESOURCEA*>(buffer);
  *request = NETRESOURCEA{RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_DOMAIN, RESOURCEUSAGE_CONTAINER,
                          nullptr,           nullptr,         nullptr,                    nullptr};

  HANDLE stage1 = 0;
  if (api.OpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER, request, &stage1) != NO_ERROR)
    return false;
  DWORD count = 1;
  DWORD size = kNetEnumBufferSize;
  DWORD result;
  {
    TEnumHandle handle(api, stage1);
    result = api.EnumResource(handle.Get(), &count, buffer, &size);
  }
  if (result != NO_ERROR || count == 0) return false;

  HANDLE stage2 = 0;
  if (api.OpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER, request, &stage2) != NO_ERROR)
    return false;
  TEnumHandle handle(api, stage2);
  count = kNetEnumMaxEntries;
  size = kNetEnumBufferSize;
  if (api.EnumResource(handle.Get(), &count, buffer, &size) != NO_ERROR) return false;
  // A success with no records gives no provider name for the root: keep the tree.
  if (count == 0) return false;
  // Never trust a count beyond what the buffer can hold.
  count = std::min<DWORD>(count, std::min<DWORD>(kNetEnumMaxEntries, kNetEnumBufferSize / sizeof(NETRESOURCEA)));

  const auto* records = reinterpret_cast<const NETRESOURCEA*>(buffer);
  {
    TUpdatesSuspended suspended(view);
    view.clear();
    const char* provider = records[0].lpProvider;
    QTreeWidgetItem* root = AddTreeNode(view, nullptr, provider ? provider : "", tiGlobe, tiGlobe);
    for (DWORD i = 0; i < count; ++i)
      AddTreeNode(view, root, DisplayNameFromRemoteName(records[i].lpRemoteName), tiComputer, tiArrow);
  }
  return true;
}

}  // namespace hw
