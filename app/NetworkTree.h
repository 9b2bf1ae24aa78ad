// The recipient tree: one root node standing for the whole primary domain and one
// child per computer of the first network container the platform offers.
#pragma once

#include <functional>
#include <string>

#include "platform/net/Mpr.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace hw {

// The enumeration calls the refresh makes; defaults to the platform's own calls.
// Tests put fakes in their place.
struct TNetEnumApi {
  std::function<win32::DWORD(win32::DWORD, win32::DWORD, win32::DWORD, win32::LPNETRESOURCEA, win32::HANDLE*)>
      OpenEnum = win32::WNetOpenEnumA;
  std::function<win32::DWORD(win32::HANDLE, win32::LPDWORD, win32::LPVOID, win32::LPDWORD)> EnumResource =
      win32::WNetEnumResourceA;
  std::function<win32::DWORD(win32::HANDLE)> CloseEnum = win32::WNetCloseEnum;
};

// Size of the buffer a refresh starts reading into, the most entries it asks for in
// one read, and the most the buffer grows to for a record that does not fit.
constexpr std::size_t kNetEnumBufferSize = 32768;
constexpr win32::DWORD kNetEnumMaxEntries = 1024;
constexpr std::size_t kNetEnumMaxBufferSize = 1 << 20;

// Text of the node the tree holds until the first successful refresh.
inline constexpr const char* kInitialNodeText = "Network Neighborhood";

// Indexes into the tree's picture list.
enum TTreeImage { tiGlobe = 0, tiComputer = 1, tiArrow = 2, tiOpenFolder = 3, tiClosedFolder = 4 };

// The text a child node shows for a remote name such as "\\ACCOUNTS-2": the two
// leading characters dropped, A-Z lowered, the first character raised if a-z.
std::string DisplayNameFromRemoteName(const char* remote_name);

// Gives a tree view the recipient tree's look and behaviour: indent 23, no root
// decoration, single selection that auto-expands, label editing, selection hidden
// while the view has no focus, and the initial node.
void ConfigureRecipientTree(QTreeWidget& view);

// Rebuilds the view from the network in two enumeration stages, the second read until
// the platform has no more entries. Any failure of the enumeration leaves the view,
// its selection and its expansion untouched. Returns true when the view was rebuilt.
bool GetDomainList(QTreeWidget& view, const TNetEnumApi& api = TNetEnumApi());

// Adds a node with its picture indexes (normal and selected); parent null for a
// top-level node.
QTreeWidgetItem* AddTreeNode(QTreeWidget& view, QTreeWidgetItem* parent, const std::string& text, int image,
                             int selected_image);
// The node's picture indexes as set by AddTreeNode.
int NodeImageIndex(const QTreeWidgetItem& item);
int NodeSelectedImageIndex(const QTreeWidgetItem& item);

// The one selected node, or null.
QTreeWidgetItem* SelectedNode(const QTreeWidget& view);

}  // namespace hw
