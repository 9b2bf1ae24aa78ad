// The messenger end to end: three simulated computers (network namespaces on one
// bridge), each with its own X display (Xvfb), window manager (openbox) and tray host
// (trayer), run the real program. Messages come from hallwire-send and from text
// typed into a program with xdotool; chat boxes are read back by saving them through
// the File menu. Screenshots stay under build/artifacts/app_e2e/.
// Needs root, iproute2 and the X tools; skips itself otherwise.
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>

#include "tests/support/DesktopRig.h"
#include "tests/support/NetnsLan.h"

namespace {

using namespace hw::test;

// One simulated computer: the desktop rig, every process of it run in the host's namespace.
struct THost : TDesktopRig {
  std::string hostname;
};

class AppEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "network namespaces need root";
    HW_SKIP_WITHOUT("ip", "unshare", "hostname", "Xvfb", "openbox", "trayer", "xdotool", "xwininfo", "xprop", "import",
                    "convert");
    const char* bin = std::getenv("HALLWIRE_BIN_DIR");
    ASSERT_TRUE(bin);
    bin_ = bin;
    for (const char* program : {"hallwire", "hallwire-send"})
      ASSERT_EQ(access((bin_ + "/" + program).c_str(), X_OK), 0) << program << " is not built";
    const char* artifacts = std::getenv("HALLWIRE_ARTIFACTS");
    artifacts_ = artifacts ? artifacts : "artifacts";
    std::filesystem::create_directories(artifacts_);
    lan_ = std::make_unique<TLan>(dir_.Path(), "hwae", std::vector<int>{3});
    if (auto why = lan_->Up()) GTEST_SKIP() << "cannot build a LAN of namespaces: " << *why;
    for (int n = 1; n <= 3; ++n) {
      THost& host = *hosts_.emplace_back(std::make_unique<THost>());
      host.hostname = lan_->Host(n).hostname;
      host.wrap_ = lan_->OnHost(n, {});
      // The carrier on the host's eth0 only, the computer name from the host name.
      host.extra_env_ = {"HALLWIRE_INTERFACES=eth0", "HALLWIRE_WORKGROUP=OFFICE", "HALLWIRE_COMPUTERNAME",
                         "XDG_CACHE_HOME=" + host.dir_.File("cache")};
      ASSERT_NO_FATAL_FAILURE(host.StartX("openbox", 300 + static_cast<int>(getpid() % 100) * 3 + n * 7))
          << "on " << host.hostname;
      host.StartTrayer();
    }
  }

  void StartProgram(THost& host) {
    host.StartProgram("PlaySound=False\n[Notify]\nOpenWindow=False");
    ASSERT_TRUE(WaitFor([&] { return host.TrayEntry().has_value(); }, 20s))
        << host.hostname << ": no tray icon; " << ReadFile(host.dir_.File("hallwire.err"));
  }

  // Double-clicks the tray icon and waits for the main window.
  void ShowMainWindow(THost& host) {
    const auto icon = host.TrayEntry();
    ASSERT_TRUE(icon.has_value()) << host.hostname;
    host.Click(icon->x + icon->width / 2, icon->y + icon->height / 2, 2);
    EXPECT_TRUE(WaitFor([&] { return host.MainWindow().has_value(); }, 10s)) << host.hostname;
    std::this_thread::sleep_for(300ms);
  }

  // Distinct pictures of the tray icon over about a second: 1 while still, more while blinking.
  std::size_t TrayPictures(THost& host) {
    const auto icon = host.TrayEntry();
    if (!icon) return 0;
    std::set<std::string> pictures;
    for (int i = 0; i < 9; ++i) {
      pictures.insert(host.Pixels(*icon));
      std::this_thread::sleep_for(120ms);
    }
    return pictures.size();
  }

  void Screenshot(THost& host, const std::string& name) {
    host.RunTool({"import", "-window", "root", artifacts_ + "/" + host.hostname + "-" + name + ".png"}, 15s);
  }

  TRunResult Send(THost& from, std::vector<std::string> args) {
    args.insert(args.begin(), bin_ + "/hallwire-send");
    return from.RunTool(args, 20s);
  }

  THost& Host(int n) { return *hosts_.at(static_cast<std::size_t>(n - 1)); }

  std::string bin_;
  std::string artifacts_;
  TempDir dir_;
  std::unique_ptr<TLan> lan_;              // its namespaces go once the hosts' processes have ended
  std::vector<std::unique_ptr<THost>> hosts_;
};

TEST_F(AppEndToEnd, MessagesTravelBetweenThreeDesktops) {
  for (int n = 1; n <= 3; ++n) ASSERT_NO_FATAL_FAILURE(StartProgram(Host(n)));
  THost& h1 = Host(1);
  THost& h2 = Host(2);
  THost& h3 = Host(3);
  for (THost* h : {&h1, &h2, &h3}) Screenshot(*h, "1-started");
  // Still once the tray host has settled.
  EXPECT_TRUE(WaitFor([&] { return TrayPictures(h1) == 1u; }, 5s)) << "the icon blinks before any message";

  // A broadcast from a tool on host3 reaches both hidden programs and makes them blink.
  ASSERT_EQ(Send(h3, {"--all", "Broadcast from the tool"}).code, 0);
  EXPECT_TRUE(WaitFor([&] { return TrayPictures(h1) > 1; }, 10s)) << "host1 does not blink";
  EXPECT_GT(TrayPictures(h2), 1u) << "host2 does not blink";
  for (THost* h : {&h1, &h2}) Screenshot(*h, "2-blinking");

  // Showing the window by a double-click stops the blinking; the line is in the chat box.
  ShowMainWindow(h1);
  EXPECT_TRUE(WaitFor([&] { return TrayPictures(h1) == 1u; }, 3s)) << "host1 still blinks after the double-click";
  Screenshot(h1, "3-shown");
  const std::string chat1 = h1.SaveChat("chat1-broadcast");
  EXPECT_TRUE(Contains(chat1, "\r\nHost3( root ) Broadcast from the tool\r\n")) << chat1;

  // A message to one computer reaches only that one.
  ASSERT_EQ(Send(h3, {"--to", "HOST2", "Only for host2"}).code, 0);
  std::this_thread::sleep_for(1500ms);
  ShowMainWindow(h2);
  const std::string chat2 = h2.SaveChat("chat2-direct");
  EXPECT_TRUE(Contains(chat2, "Host3( root ) Broadcast from the tool\r\n")) << chat2;
  EXPECT_TRUE(Contains(chat2, "Host3( root ) Only for host2\r\n")) << chat2;
  EXPECT_FALSE(Contains(h1.SaveChat("chat1-direct"), "Only for host2"));
  ASSERT_NO_FATAL_FAILURE(h2.Minimise());

  // Text typed into host1's program and sent to host2 arrives there, and only there.
  const auto window = h1.MainWindow();
  ASSERT_TRUE(window.has_value());
  h1.Xdo({"key", "alt+r"});  // refresh: all three computers are known by now
  std::this_thread::sleep_for(1500ms);
  // The tree starts below the caption strip, the menu bar and the toolbar; rows are 18 high.
  const int tree_top = window->y + window->height - 260;
  h1.Click(window->x + 20, tree_top + 11);           // the root node
  h1.Click(window->x + 60, tree_top + 11 + 18 * 2);  // its second computer: Host2
  h1.Click(window->x + 250, tree_top + 20);          // the entry box
  h1.Xdo({"key", "ctrl+a", "Delete"});
  h1.Xdo({"type", "--delay", "30", "Typed on host1"});
  Screenshot(h1, "4-typed");
  h1.Xdo({"key", "alt+s"});
  EXPECT_TRUE(WaitFor([&] { return TrayPictures(h2) > 1; }, 10s)) << "host2 does not blink for the typed message";
  Screenshot(h2, "5-typed-arrived");
  ShowMainWindow(h2);
  const std::string typed2 = h2.SaveChat("chat2-typed");
  EXPECT_TRUE(Contains(typed2, "\r\nHost1( root ) Typed on host1\r\n")) << typed2;
  Screenshot(h2, "6-shown");
  ShowMainWindow(h3);
  const std::string typed3 = h3.SaveChat("chat3-typed");
  EXPECT_TRUE(Contains(typed3, "Host3( root ) Broadcast from the tool")) << typed3;
  EXPECT_FALSE(Contains(typed3, "Typed on host1")) << typed3;
  // The sender shows its own line once (a message to one computer does not come back).
  const std::string own = h1.SaveChat("chat1-typed");
  EXPECT_EQ(own.find("Typed on host1"), own.rfind("Typed on host1")) << own;
  for (THost* h : {&h1, &h2, &h3}) Screenshot(*h, "7-end");

  // Ending through SIGTERM writes the main window's placement.
  EXPECT_EQ(h1.program_->Stop(), 0);
  EXPECT_TRUE(Contains(ReadFile(h1.PlacementFile()), "[MainForm]"));
}

TEST_F(AppEndToEnd, ASecondCopyOnTheSameComputerReportsAndEnds) {
  THost& h1 = Host(1);
  ASSERT_NO_FATAL_FAILURE(StartProgram(h1));
  TChild& second = h1.Start({h1.dir_.File("hallwire")}, "second");
  // Its error box appears; the first copy keeps running.
  EXPECT_TRUE(WaitFor([&] { return !h1.ErrorBoxes().empty(); }, 15s));
  std::this_thread::sleep_for(500ms);
  Screenshot(h1, "second-copy");
  EXPECT_TRUE(second.Running());
  const std::vector<TWindow> boxes = h1.ErrorBoxes();
  ASSERT_FALSE(boxes.empty());
  h1.Xdo({"windowactivate", "--sync", boxes[0].id});
  h1.Xdo({"key", "Return"});
  const auto code = second.Wait(10s);
  ASSERT_TRUE(code.has_value()) << "the second copy did not end";
  EXPECT_EQ(*code, 1);
  EXPECT_TRUE(h1.program_->Running());
}

}  // namespace
