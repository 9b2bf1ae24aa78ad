#include "app/NetworkTree.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QIcon>
#include <QPalette>
#include <QTreeWidget>

#include <algorithm>
#include <string>
#include <vector>

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

QIcon NodeIcon(int image, int selected_image) { return pictures::TreePicture(image, selected_image); }

// A node not yet in any tree; inserting thousands at once costs the view one update.
QTreeWidgetItem* NewNode(const std::string& text, int image, int selected_image, const QIcon& icon) {
  auto* item = new QTreeWidgetItem();
  item->setText(0, QString::fromStdString(ShownAsUtf8(text)));
  item->setData(0, kImageRole, image);
  item->setData(0, kSelectedImageRole, selected_image);
  item->setIcon(0, icon);
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  return item;
}

// What stage 2 returned over all its reads.
struct TListing {
  std::string provider;
  std::vector<std::string> names;  // display names, in the order returned
};

}  // namespace

std::string DisplayNameFromRemoteName(const char* remote_name) {
  return remote_name ? ComputerDisplayName(remote_name) : std::string();
}

QTreeWidgetItem* AddTreeNode(QTreeWidget& view, QTreeWidgetItem* parent, const std::string& text, int image,
                             int selected_image) {
  QTreeWidgetItem* item = NewNode(text, image, selected_image, NodeIcon(image, selected_image));
  if (parent)
    parent->addChild(item);
  else
    view.addTopLevelItem(item);
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
  // Every node is one line with a 16-pixel picture: the view need not measure
  // thousands of rows one by one after a refresh.
  view.setUniformRowHeights(true);
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
  // One buffer for both stages, NETRESOURCEA-aligned; each read overwrites it from
  // the start, and it grows when a record does not fit.
  DWORD capacity = kNetEnumBufferSize;
  std::vector<NETRESOURCEA> storage(capacity / sizeof(NETRESOURCEA) + 1);
  NETRESOURCEA* records = storage.data();
  *records = NETRESOURCEA{RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_DOMAIN, RESOURCEUSAGE_CONTAINER,
                          nullptr,           nullptr,         nullptr,                    nullptr};

  HANDLE stage1 = 0;
  if (api.OpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER, records, &stage1) != NO_ERROR)
    return false;
  DWORD count = 1;
  DWORD size = capacity;
  DWORD result;
  {
    TEnumHandle handle(api, stage1);
    result = api.EnumResource(handle.Get(), &count, records, &size);
  }
  if (result != NO_ERROR || count == 0) return false;

  // Stage 2 opens the container record stage 1 left at the start of the buffer.
  HANDLE stage2 = 0;
  if (api.OpenEnum(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER, records, &stage2) != NO_ERROR)
    return false;
  TEnumHandle handle(api, stage2);
  TListing listing;
  bool any = false;
  // Reads until the platform says there is no more; any other failure keeps the tree.
  for (;;) {
    count = kNetEnumMaxEntries;
    size = capacity;
    result = api.EnumResource(handle.Get(), &count, records, &size);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result == ERROR_MORE_DATA) {
      // The next record alone needs more room: take what the platform asks for, within reason.
      if (size <= capacity || size > kNetEnumMaxBufferSize) return false;
      capacity = size;
      storage.assign(capacity / sizeof(NETRESOURCEA) + 1, NETRESOURCEA{});
      records = storage.data();
      continue;
    }
    if (result != NO_ERROR) return false;
    if (count == 0) break;  // a success with nothing in it: nothing more is coming
    // Never trust a count beyond what the buffer can hold.
    count = std::min<DWORD>(count, std::min<DWORD>(kNetEnumMaxEntries, capacity / sizeof(NETRESOURCEA)));
    if (!any) listing.provider = records[0].lpProvider ? records[0].lpProvider : "";
    any = true;
    for (DWORD i = 0; i < count; ++i) listing.names.push_back(DisplayNameFromRemoteName(records[i].lpRemoteName));
  }
  // No record at all gives no provider name for the root: keep the tree.
  if (!any) return false;

  {
    TUpdatesSuspended suspended(view);
    view.clear();
    QTreeWidgetItem* root = AddTreeNode(view, nullptr, listing.provider, tiGlobe, tiGlobe);
    const QIcon icon = NodeIcon(tiComputer, tiArrow);
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(listing.names.size()));
    for (const std::string& name : listing.names) children.append(NewNode(name, tiComputer, tiArrow, icon));
    root->addChildren(children);
  }
  return true;
}

}  // namespace hw
