// The recipient tree: the two-stage refresh, the display-name rule, failures that
// leave the tree alone, and the tree view's behaviour.
#include <gtest/gtest.h>

#include <QTreeWidget>

#include "app/NetworkTree.h"
#include "tests/app/FakeNetwork.h"

namespace hw {
namespace {

using test::TFakeNetwork;

std::vector<std::string> Children(const QTreeWidget& view) {
  std::vector<std::string> names;
  if (view.topLevelItemCount() == 0) return names;
  const QTreeWidgetItem* root = view.topLevelItem(0);
  for (int i = 0; i < root->childCount(); ++i) names.push_back(root->child(i)->text(0).toStdString());
  return names;
}

class NetworkTreeTest : public ::testing::Test {
 protected:
  void SetUp() override { ConfigureRecipientTree(view); }
  QTreeWidget view;
  TFakeNetwork net;
};

TEST(DisplayName, FollowsTheComputerNameRule) {
  EXPECT_EQ(DisplayNameFromRemoteName("\\\\ACCOUNTS-2"), "Accounts-2");
  EXPECT_EQ(DisplayNameFromRemoteName("\\\\NONE"), "None");
  EXPECT_EQ(DisplayNameFromRemoteName("\\\\none"), "None");
  EXPECT_EQ(DisplayNameFromRemoteName("\\\\2NDFLOOR"), "2ndfloor");
  EXPECT_EQ(DisplayNameFromRemoteName("\\\\SALES DESK"), "Sales desk");
  // Only ASCII letters change; bytes above 127 stay as they are.
  EXPECT_EQ(DisplayNameFromRemoteName("\\\\\xC4RGER\xC9"), "\xC4rger\xC9");
  EXPECT_EQ(DisplayNameFromRemoteName("\\\\"), "");
  EXPECT_EQ(DisplayNameFromRemoteName("\\"), "");
  EXPECT_EQ(DisplayNameFromRemoteName(""), "");
  EXPECT_EQ(DisplayNameFromRemoteName(nullptr), "");
  // The first two characters are dropped whatever they are.
  EXPECT_EQ(DisplayNameFromRemoteName("xyHOST"), "Host");
}

TEST_F(NetworkTreeTest, StartsWithTheInitialNodeAndTheDesignedLook) {
  ASSERT_EQ(view.topLevelItemCount(), 1);
  const QTreeWidgetItem* initial = view.topLevelItem(0);
  EXPECT_EQ(initial->text(0), "Network Neighborhood");
  EXPECT_EQ(NodeImageIndex(*initial), tiGlobe);
  EXPECT_EQ(NodeSelectedImageIndex(*initial), tiGlobe);
  EXPECT_EQ(SelectedNode(view), nullptr);
  EXPECT_EQ(view.indentation(), 23);
  EXPECT_FALSE(view.rootIsDecorated());
  EXPECT_TRUE(initial->flags() & Qt::ItemIsEditable);
  EXPECT_EQ(view.selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(NetworkTreeTest, RefreshBuildsRootAndChildrenFromTheTwoStages) {
  net.computers = {"\\\\ACCOUNTS-2", "\\\\office-pc", "\\\\NONE"};
  ASSERT_TRUE(GetDomainList(view, net.Api()));

  ASSERT_EQ(view.topLevelItemCount(), 1);
  const QTreeWidgetItem* root = view.topLevelItem(0);
  EXPECT_EQ(root->text(0), "Hallwire Network");
  EXPECT_EQ(NodeImageIndex(*root), tiGlobe);
  EXPECT_EQ(NodeSelectedImageIndex(*root), tiGlobe);
  EXPECT_EQ(Children(view), (std::vector<std::string>{"Accounts-2", "Office-pc", "None"}));
  for (int i = 0; i < root->childCount(); ++i) {
    EXPECT_EQ(NodeImageIndex(*root->child(i)), tiComputer);
    EXPECT_EQ(NodeSelectedImageIndex(*root->child(i)), tiArrow);
    EXPECT_EQ(root->child(i)->childCount(), 0);
  }
  EXPECT_EQ(SelectedNode(view), nullptr);

  // Stage 1 asks for one container with the request record; stage 2 opens the
  // record stage 1 returned and reads up to 1024 entries at a time into the same
  // 32 KiB until the platform has no more.
  ASSERT_EQ(net.requests.size(), 2u);
  const win32::NETRESOURCEA& request = net.requests[0];
  EXPECT_EQ(request.dwScope, win32::RESOURCE_GLOBALNET);
  EXPECT_EQ(request.dwType, win32::RESOURCETYPE_ANY);
  EXPECT_EQ(request.dwDisplayType, win32::RESOURCEDISPLAYTYPE_DOMAIN);
  EXPECT_EQ(request.dwUsage, win32::RESOURCEUSAGE_CONTAINER);
  EXPECT_EQ(request.lpLocalName, nullptr);
  EXPECT_EQ(request.lpRemoteName, nullptr);
  EXPECT_EQ(request.lpComment, nullptr);
  EXPECT_EQ(request.lpProvider, nullptr);
  EXPECT_EQ(net.request_remote_names[1], "WORKGROUP");
  EXPECT_EQ(net.asked_counts, (std::vector<win32::DWORD>{1, 1024, 1024}));
  EXPECT_EQ(net.asked_sizes, (std::vector<win32::DWORD>{32768, 32768, 32768}));
  // Both handles closed, each once, stage 1 before stage 2.
  EXPECT_EQ(net.closed, (std::vector<win32::HANDLE>{101, 102}));
}

TEST_F(NetworkTreeTest, EveryFailingStageLeavesTreeSelectionAndExpansionAlone) {
  // A tree built by an earlier refresh, with a selected, collapsed root.
  net.computers = {"\\\\ALPHA", "\\\\BETA"};
  ASSERT_TRUE(GetDomainList(view, net.Api()));
  view.topLevelItem(0)->child(1)->setSelected(true);
  view.topLevelItem(0)->setExpanded(false);

  struct TCase {
    const char* what;
    win32::DWORD open1, read1, open2, read2;
    std::vector<win32::HANDLE> closed;
    int reads_before_failure = 0;
  };
  const TCase cases[] = {
      {"stage 1 open", win32::ERROR_NO_NETWORK, 0, 0, 0, {}},
      {"stage 1 read", 0, win32::ERROR_NO_MORE_ITEMS, 0, 0, {101}},
      {"stage 2 open", 0, 0, win32::ERROR_BAD_NETPATH, 0, {101}},
      {"stage 2 read", 0, 0, 0, win32::ERROR_NO_NETWORK, {101, 102}},
      {"stage 2 more data without a size", 0, 0, 0, win32::ERROR_MORE_DATA, {101, 102}},
      {"stage 2 no items", 0, 0, 0, win32::ERROR_NO_MORE_ITEMS, {101, 102}},
      {"stage 2 fails after a good read", 0, 0, 0, win32::ERROR_NO_NETWORK, {101, 102}, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeNetwork failing;
    failing.open1 = c.open1;
    failing.read1 = c.read1;
    failing.open2 = c.open2;
    failing.read2 = c.read2;
    failing.fail_after_reads = c.reads_before_failure;
    for (int i = 0; i < 1500; ++i) failing.computers.push_back("\\\\GAMMA" + std::to_string(i));
    EXPECT_FALSE(GetDomainList(view, failing.Api()));
    EXPECT_EQ(Children(view), (std::vector<std::string>{"Alpha", "Beta"}));
    ASSERT_NE(SelectedNode(view), nullptr);
    EXPECT_EQ(SelectedNode(view)->text(0), "Beta");
    EXPECT_FALSE(view.topLevelItem(0)->isExpanded());
    EXPECT_EQ(failing.closed, c.closed);
  }
}

TEST_F(NetworkTreeTest, FailedStartUpRefreshKeepsTheInitialNode) {
  net.open1 = win32::ERROR_NO_NETWORK;
  EXPECT_FALSE(GetDomainList(view, net.Api()));
  ASSERT_EQ(view.topLevelItemCount(), 1);
  EXPECT_EQ(view.topLevelItem(0)->text(0), "Network Neighborhood");
  EXPECT_EQ(view.topLevelItem(0)->childCount(), 0);
}

TEST_F(NetworkTreeTest, SuccessWithoutRecordsIsNoUsableAnswer) {
  // A platform that reports success but returns nothing gives no provider name
  // for the root: the tree stays as it is instead of reading stale records.
  net.empty_stage1 = true;
  EXPECT_FALSE(GetDomainList(view, net.Api()));
  EXPECT_EQ(view.topLevelItem(0)->text(0), "Network Neighborhood");
  EXPECT_EQ(net.closed, (std::vector<win32::HANDLE>{101}));
}

TEST_F(NetworkTreeTest, EveryEntryIsListedInTheOrderReturnedHoweverManyReadsItTakes) {
  const std::string long_name(200, 'X');
  struct TCase {
    const char* what;
    std::vector<std::string> computers;
    std::size_t reads;  // stage-2 reads, the last one saying there is no more; 0: not checked
  };
  std::vector<TCase> cases = {{"one read", {}, 2}, {"beyond 1024 entries", {}, 0}, {"long names", {}, 0}};
  for (int i = 0; i < 300; ++i) cases[0].computers.push_back("\\\\H" + std::to_string(i));
  for (int i = 0; i < 5000; ++i) cases[1].computers.push_back("\\\\H" + std::to_string(i));
  for (int i = 0; i < 300; ++i) cases[2].computers.push_back("\\\\" + long_name + std::to_string(i));
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeNetwork network;
    network.computers = c.computers;
    ASSERT_TRUE(GetDomainList(view, network.Api()));
    const auto names = Children(view);
    ASSERT_EQ(names.size(), c.computers.size());
    for (std::size_t i = 0; i < names.size(); ++i)
      ASSERT_EQ(names[i], DisplayNameFromRemoteName(c.computers[i].c_str())) << "entry " << i;
    if (c.reads) {
      EXPECT_EQ(network.asked_counts.size(), 1 + c.reads);
    } else {
      EXPECT_GT(network.asked_counts.size(), 3u);
    }
  }
}

TEST_F(NetworkTreeTest, ARecordLargerThanTheBufferGrowsItWithinALimit) {
  struct TCase {
    std::size_t name_size;
    bool listed;
  };
  for (const TCase& c : {TCase{40000, true}, TCase{2 << 20, false}}) {
    SCOPED_TRACE(c.name_size);
    net.computers = {"\\\\ALPHA"};
    ASSERT_TRUE(GetDomainList(view, net.Api()));
    TFakeNetwork network;
    network.computers = {"\\\\" + std::string(c.name_size, 'Z'), "\\\\OMEGA"};
    EXPECT_EQ(GetDomainList(view, network.Api()), c.listed);
    const auto names = Children(view);
    ASSERT_EQ(names.size(), c.listed ? 2u : 1u);
    if (c.listed) {
      EXPECT_EQ(names[0].size(), c.name_size);
      EXPECT_EQ(names[1], "Omega");
      EXPECT_GT(network.asked_sizes.back(), 40000u);
    } else {
      EXPECT_EQ(names[0], "Alpha");
    }
  }
}

TEST_F(NetworkTreeTest, RefreshReplacesNodesAndClearsTheSelection) {
  net.computers = {"\\\\ALPHA"};
  ASSERT_TRUE(GetDomainList(view, net.Api()));
  view.topLevelItem(0)->child(0)->setSelected(true);
  net.computers = {"\\\\BETA", "\\\\GAMMA"};
  net.provider = "Other Provider";
  ASSERT_TRUE(GetDomainList(view, net.Api()));
  EXPECT_EQ(view.topLevelItem(0)->text(0), "Other Provider");
  EXPECT_EQ(Children(view), (std::vector<std::string>{"Beta", "Gamma"}));
  EXPECT_EQ(SelectedNode(view), nullptr);
  EXPECT_TRUE(view.updatesEnabled());
}

TEST_F(NetworkTreeTest, SelectingANodeExpandsItAndCollapsesThePreviousOne) {
  net.computers = {"\\\\ALPHA"};
  ASSERT_TRUE(GetDomainList(view, net.Api()));
  QTreeWidgetItem* root = view.topLevelItem(0);
  root->setExpanded(false);
  view.setCurrentItem(root);
  EXPECT_TRUE(root->isExpanded());
  // The child lies inside the root: the root stays open.
  view.setCurrentItem(root->child(0));
  EXPECT_TRUE(root->isExpanded());
}

}  // namespace
}  // namespace hw
