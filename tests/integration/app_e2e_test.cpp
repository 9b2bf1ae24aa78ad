// The messenger end to end: three simulated computers (network namespaces on one
// bridge), each with its own X display (Xvfb), window manager (openbox) and tray host
// (trayer), run the real program. Messages come from hallwire-send and from text
// typed into a program with xdotool; chat boxes are read back by saving them through
// the File menu. Screenshots stay under build/artifacts/app_e2e/.
// Needs root, iproute2 and the X tools; skips itself otherwise.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace hw::test;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kNamespacePrefix = "hwae";

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(100ms);
  }
}

// A free X display number: neither a lock file nor a socket of that number exists.
int FreeDisplay(int from) {
  for (int n = from; n < from + 200; ++n)
    if (!fs::exists("/tmp/.X" + std::to_string(n) + "-lock") && !fs::exists("/tmp/.X11-unix/X" + std::to_string(n)))
      return n;
  return -1;
}

struct TGeometry {
  int x = 0, y = 0, width = 0, height = 0;
};

// One simulated computer: its namespace, its desktop and its copy of the program.
struct THost {
  int number = 0;
  std::string ns;
  std::string hostname;
  std::string dir;  // private folder: program copy, settings, config, logs
  int display = -1;
  std::vector<std::unique_ptr<TChild>> desktop;  // Xvfb, openbox, trayer
  std::unique_ptr<TChild> program;
};

class AppEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "network namespaces need root";
    for (const char* tool : {"ip", "unshare", "hostname", "Xvfb", "openbox", "trayer", "xdotool", "xwininfo",
                             "import", "convert"})
      if (!Executable(tool)) GTEST_SKIP() << tool << " is not installed";
    const char* bin = std::getenv("HALLWIRE_BIN_DIR");
    ASSERT_TRUE(bin);
    bin_ = bin;
    for (const char* program : {"hallwire", "hallwire-send"})
      ASSERT_EQ(access((bin_ + "/" + program).c_str(), X_OK), 0) << program << " is not built";
    const char* artifacts = std::getenv("HALLWIRE_ARTIFACTS");
    artifacts_ = artifacts ? artifacts : "artifacts";
    fs::create_directories(artifacts_);
    dir_ = std::make_unique<hw::test::TempDir>();
    if (auto why = BuildLan(3)) GTEST_SKIP() << "cannot build a LAN of namespaces: " << *why;
    for (THost& host : hosts_) StartDesktop(host);
  }

  void TearDown() override {
    for (THost& host : hosts_) {
      host.program.reset();
      while (!host.desktop.empty()) host.desktop.pop_back();  // trayer, openbox, then Xvfb
    }
    for (auto it = namespaces_.rbegin(); it != namespaces_.rend(); ++it)
      RunCommand({"ip", "netns", "del", *it}, Environment(), dir_->Path(), 5s);
    dir_.reset();
  }

  std::optional<std::string> BuildLan(int count) {
    RemoveStaleNamespaces(kNamespacePrefix, dir_->Path());
    const std::string id = kNamespacePrefix + std::to_string(getpid());
    const std::string lan = id + "l";
    const std::string subnet = "10." + std::to_string(30 + getpid() % 200) + ".1.";
    if (auto error = Ip({"netns", "add", lan})) return error;
    namespaces_.push_back(lan);
    if (auto error = Ip({"-n", lan, "link", "add", "br0", "type", "bridge"})) return error;
    if (auto error = Ip({"-n", lan, "link", "set", "br0", "up"})) return error;
    for (int i = 1; i <= count; ++i) {
      THost host;
      host.number = i;
      host.ns = id + "h" + std::to_string(i);
      host.hostname = "host" + std::to_string(i);
      host.dir = dir_->File(host.hostname);
      const std::string port = "vh" + std::to_string(i);
      if (auto error = Ip({"netns", "add", host.ns})) return error;
      namespaces_.push_back(host.ns);
      for (const std::vector<std::string>& step : std::vector<std::vector<std::string>>{
               {"link", "add", "eth0", "netns", host.ns, "type", "veth", "peer", "name", port, "netns", lan},
               {"-n", lan, "link", "set", port, "master", "br0"},
               {"-n", lan, "link", "set", port, "up"},
               {"-n", host.ns, "addr", "add", subnet + std::to_string(i) + "/24", "broadcast", subnet + "255", "dev",
                "eth0"},
               {"-n", host.ns, "link", "set", "lo", "up"},
               {"-n", host.ns, "link", "set", "eth0", "up"}})
        if (auto error = Ip(step)) return error;
      hosts_.push_back(std::move(host));
    }
    return std::nullopt;
  }

  std::optional<std::string> Ip(std::vector<std::string> args) {
    args.insert(args.begin(), "ip");
    const TRunResult result = RunCommand(args, Environment(), dir_->Path(), 10s);
    if (result.code == 0) return std::nullopt;
    std::string command;
    for (const auto& a : args) command += a + " ";
    return command + "failed: " + result.err;
  }

  // The environment of a program on a host: its display, its own config and runtime
  // folders, the carrier on the host's eth0 only, the computer name from the host name.
  std::vector<std::string> HostEnvironment(const THost& host) const {
    const auto replaced = [](const std::string& e) {
      for (const char* name : {"HALLWIRE_INTERFACES=", "HALLWIRE_COMPUTERNAME=", "HALLWIRE_WORKGROUP=",
                               "QT_QPA_PLATFORM=", "DISPLAY=", "XDG_CONFIG_HOME=", "XDG_RUNTIME_DIR=",
                               "XDG_CACHE_HOME=", "WAYLAND_DISPLAY="})
        if (e.rfind(name, 0) == 0) return true;
      return false;
    };
    std::vector<std::string> env;
    for (const auto& e : Environment())
      if (!replaced(e)) env.push_back(e);
    env.push_back("HALLWIRE_INTERFACES=eth0");
    env.push_back("HALLWIRE_WORKGROUP=OFFICE");
    env.push_back("QT_QPA_PLATFORM=xcb");
    env.push_back("DISPLAY=:" + std::to_string(host.display));
    env.push_back("XDG_CONFIG_HOME=" + host.dir + "/config");
    env.push_back("XDG_CACHE_HOME=" + host.dir + "/cache");
    env.push_back("XDG_RUNTIME_DIR=" + host.dir + "/runtime");
    return env;
  }

  std::vector<std::string> OnHost(const THost& host, const std::vector<std::string>& argv) const {
    std::vector<std::string> full = {"ip", "netns", "exec", host.ns, "unshare", "-u", "sh", "-c",
                                     "hostname \"$0\" && exec \"$@\"", host.hostname};
    full.insert(full.end(), argv.begin(), argv.end());
    return full;
  }

  TRunResult RunOn(const THost& host, const std::vector<std::string>& argv, std::chrono::milliseconds timeout = 20s) {
    return RunCommand(OnHost(host, argv), HostEnvironment(host), dir_->Path(), timeout);
  }

  std::unique_ptr<TChild> StartOn(const THost& host, const std::vector<std::string>& argv, const std::string& label) {
    const std::string log = host.dir + "/" + label;
    return std::make_unique<TChild>(OnHost(host, argv), HostEnvironment(host), log + ".out", log + ".err");
  }

  void StartDesktop(THost& host) {
    fs::create_directories(host.dir + "/config");
    fs::create_directories(host.dir + "/cache");
    fs::create_directories(host.dir + "/runtime");
    fs::permissions(host.dir + "/runtime", fs::perms::owner_all, fs::perm_options::replace);
    // The program reads its settings beside itself: each host runs its own copy.
    fs::copy_file(bin_ + "/hallwire", host.dir + "/hallwire");
    hw::test::WriteFile(host.dir + "/Hwire.ini",
                        "[EntryWindow]\nForeground=clBlack\nBackground=clWhite\n[ChatWindow]\nForeground=clWhite\n"
                        "Background=clBlack\n[SoundOptions]\nPlaySound=False\n[Notify]\nOpenWindow=False\n");
    host.display = FreeDisplay(300 + static_cast<int>(getpid() % 100) * 3 + host.number * 7);
    ASSERT_GT(host.display, 0);
    host.desktop.push_back(StartOn(host,
                                   {"Xvfb", ":" + std::to_string(host.display), "-screen", "0", "1024x768x24",
                                    "-nolisten", "tcp"},
                                   "xvfb"));
    ASSERT_TRUE(WaitFor([&] { return fs::exists("/tmp/.X11-unix/X" + std::to_string(host.display)); }, 10s))
        << "Xvfb did not start on " << host.hostname;
    host.desktop.push_back(StartOn(host, {"openbox"}, "openbox"));
    host.desktop.push_back(StartOn(host,
                                   {"trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width",
                                    "120", "--height", "36", "--SetDockType", "true", "--transparent", "false"},
                                   "trayer"));
  }

  void StartProgram(THost& host) {
    host.program = StartOn(host, {host.dir + "/hallwire"}, "hallwire");
    ASSERT_TRUE(WaitFor([&] { return TrayIcon(host).has_value(); }, 20s))
        << host.hostname << ": no tray icon; " << hw::test::ReadFile(host.dir + "/hallwire.err");
  }

  // The program's icon inside trayer's panel, in root coordinates.
  std::optional<TGeometry> TrayIcon(const THost& host) {
    const TRunResult tree = RunOn(host, {"xwininfo", "-root", "-tree"}, 10s);
    std::istringstream in(tree.out);
    std::string line;
    std::size_t panel_indent = std::string::npos;
    const std::regex geometry(R"((\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+))");
    while (std::getline(in, line)) {
      const std::size_t indent = line.find_first_not_of(' ');
      if (line.find("\"panel\": (\"panel\" \"trayer\")") != std::string::npos) {
        panel_indent = indent;
        continue;
      }
      if (panel_indent == std::string::npos) continue;
      if (indent <= panel_indent) break;
      std::smatch m;
      if (line.find("\"Hallwire\"") != std::string::npos && std::regex_search(line, m, geometry))
        return TGeometry{std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[1]), std::stoi(m[2])};
    }
    return std::nullopt;
  }

  // The shown windows with this exact title, with their geometry in root coordinates
  // (from xwininfo: xdotool's position of a decorated window is off by its frame).
  std::vector<std::pair<std::string, TGeometry>> Windows(const THost& host, const std::string& title) {
    std::vector<std::pair<std::string, TGeometry>> windows;
    const TRunResult found = RunOn(host, {"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"}, 10s);
    std::istringstream ids(found.out);
    std::string id;
    while (std::getline(ids, id)) {
      const TRunResult info = RunOn(host, {"xwininfo", "-id", id}, 10s);
      std::smatch m;
      TGeometry g;
      if (std::regex_search(info.out, m, std::regex(R"(Absolute upper-left X:\s+(-?\d+))"))) g.x = std::stoi(m[1]);
      if (std::regex_search(info.out, m, std::regex(R"(Absolute upper-left Y:\s+(-?\d+))"))) g.y = std::stoi(m[1]);
      if (std::regex_search(info.out, m, std::regex(R"(Width:\s+(\d+))"))) g.width = std::stoi(m[1]);
      if (std::regex_search(info.out, m, std::regex(R"(Height:\s+(\d+))"))) g.height = std::stoi(m[1]);
      windows.push_back({id, g});
    }
    return windows;
  }

  // The main window when it is shown (the one 383 pixels wide named "Hallwire").
  std::optional<TGeometry> MainWindow(const THost& host) {
    for (const auto& [id, geometry] : Windows(host, "Hallwire"))
      if (geometry.width == 383) {
        window_ids_[host.number] = id;
        return geometry;
      }
    return std::nullopt;
  }

  void Xdo(const THost& host, std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    const TRunResult result = RunOn(host, args, 10s);
    ASSERT_EQ(result.code, 0) << result.err;
  }

  void Click(const THost& host, int x, int y, int repeat = 1) {
    Xdo(host, {"mousemove", std::to_string(x), std::to_string(y)});
    std::this_thread::sleep_for(100ms);
    Xdo(host, {"click", "--repeat", std::to_string(repeat), "--delay", "80", "1"});
  }

  // Double-clicks the tray icon and waits for the main window.
  TGeometry ShowMainWindow(const THost& host) {
    const auto icon = TrayIcon(host);
    EXPECT_TRUE(icon.has_value());
    if (!icon) return {};
    Click(host, icon->x + icon->width / 2, icon->y + icon->height / 2, 2);
    std::optional<TGeometry> window;
    EXPECT_TRUE(WaitFor([&] { return (window = MainWindow(host)).has_value(); }, 10s)) << host.hostname;
    std::this_thread::sleep_for(300ms);
    return window.value_or(TGeometry{});
  }

  // Distinct pictures of the tray icon over about a second: 1 while still, more while blinking.
  std::size_t TrayPictures(const THost& host) {
    const auto icon = TrayIcon(host);
    if (!icon) return 0;
    std::set<std::string> pictures;
    const std::string crop = std::to_string(icon->width) + "x" + std::to_string(icon->height) + "+" +
                             std::to_string(icon->x) + "+" + std::to_string(icon->y);
    for (int i = 0; i < 9; ++i) {
      const std::string file = host.dir + "/tray.rgb";
      RunOn(host, {"import", "-window", "root", "-crop", crop, "+repage", "-depth", "8", "rgb:" + file}, 10s);
      pictures.insert(hw::test::ReadFile(file));
      std::this_thread::sleep_for(120ms);
    }
    return pictures.size();
  }

  void Screenshot(const THost& host, const std::string& name) {
    RunOn(host, {"import", "-window", "root", artifacts_ + "/" + host.hostname + "-" + name + ".png"}, 15s);
  }

  // Saves the chat box through File, Save Messages and returns the file's text.
  std::string SaveChat(const THost& host, const std::string& name) {
    const std::string path = host.dir + "/" + name + ".hwm";
    fs::remove(path);
    Xdo(host, {"windowactivate", "--sync", window_ids_[host.number]});
    Xdo(host, {"key", "alt+f"});
    std::this_thread::sleep_for(300ms);
    Xdo(host, {"key", "s"});
    EXPECT_TRUE(WaitFor([&] { return !Windows(host, "Save Message").empty(); }, 10s))
        << host.hostname << ": the save dialog did not open";
    std::this_thread::sleep_for(300ms);
    Xdo(host, {"type", "--delay", "20", path});
    Xdo(host, {"key", "Return"});
    EXPECT_TRUE(WaitFor([&] { return fs::exists(path); }, 10s)) << host.hostname << ": nothing saved";
    std::this_thread::sleep_for(200ms);
    return hw::test::ReadFile(path);
  }

  // Minimises the main window through the window manager; the program hides it.
  void Minimise(const THost& host) {
    Xdo(host, {"windowminimize", window_ids_[host.number]});
    EXPECT_TRUE(WaitFor([&] { return !MainWindow(host).has_value(); }, 10s)) << host.hostname << " still shown";
  }

  TRunResult Send(const THost& from, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {bin_ + "/hallwire-send"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunOn(from, argv);
  }

  THost& Host(int n) { return hosts_.at(static_cast<std::size_t>(n - 1)); }

  std::string bin_;
  std::string artifacts_;
  std::unique_ptr<hw::test::TempDir> dir_;
  std::vector<THost> hosts_;
  std::vector<std::string> namespaces_;
  std::map<int, std::string> window_ids_;
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

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
  const std::string chat1 = SaveChat(h1, "chat1-broadcast");
  EXPECT_TRUE(Contains(chat1, "\r\nHost3( root ) Broadcast from the tool\r\n")) << chat1;

  // A message to one computer reaches only that one.
  ASSERT_EQ(Send(h3, {"--to", "HOST2", "Only for host2"}).code, 0);
  std::this_thread::sleep_for(1500ms);
  ShowMainWindow(h2);
  const std::string chat2 = SaveChat(h2, "chat2-direct");
  EXPECT_TRUE(Contains(chat2, "Host3( root ) Broadcast from the tool\r\n")) << chat2;
  EXPECT_TRUE(Contains(chat2, "Host3( root ) Only for host2\r\n")) << chat2;
  EXPECT_FALSE(Contains(SaveChat(h1, "chat1-direct"), "Only for host2"));
  Minimise(h2);

  // Text typed into host1's program and sent to host2 arrives there, and only there.
  const auto window = MainWindow(h1);
  ASSERT_TRUE(window.has_value());
  Xdo(h1, {"key", "alt+r"});  // refresh: all three computers are known by now
  std::this_thread::sleep_for(1500ms);
  // The tree starts below the caption strip, the menu bar and the toolbar; rows are 18 high.
  const int tree_top = window->y + window->height - 260;
  Click(h1, window->x + 20, tree_top + 11);               // the root node
  Click(h1, window->x + 60, tree_top + 11 + 18 * 2);      // its second computer: Host2
  Click(h1, window->x + 250, tree_top + 20);              // the entry box
  Xdo(h1, {"key", "ctrl+a", "Delete"});
  Xdo(h1, {"type", "--delay", "30", "Typed on host1"});
  Screenshot(h1, "4-typed");
  Xdo(h1, {"key", "alt+s"});
  EXPECT_TRUE(WaitFor([&] { return TrayPictures(h2) > 1; }, 10s)) << "host2 does not blink for the typed message";
  Screenshot(h2, "5-typed-arrived");
  ShowMainWindow(h2);
  const std::string typed2 = SaveChat(h2, "chat2-typed");
  EXPECT_TRUE(Contains(typed2, "\r\nHost1( root ) Typed on host1\r\n")) << typed2;
  Screenshot(h2, "6-shown");
  ShowMainWindow(h3);
  const std::string typed3 = SaveChat(h3, "chat3-typed");
  EXPECT_TRUE(Contains(typed3, "Host3( root ) Broadcast from the tool")) << typed3;
  EXPECT_FALSE(Contains(typed3, "Typed on host1")) << typed3;
  // The sender shows its own line once (a message to one computer does not come back).
  const std::string own = SaveChat(h1, "chat1-typed");
  EXPECT_EQ(own.find("Typed on host1"), own.rfind("Typed on host1")) << own;
  for (THost* h : {&h1, &h2, &h3}) Screenshot(*h, "7-end");

  // Ending through SIGTERM writes the main window's placement.
  EXPECT_EQ(h1.program->Stop(), 0);
  EXPECT_TRUE(Contains(hw::test::ReadFile(h1.dir + "/config/hallwire/hwire.ini"), "[MainForm]"));
}

TEST_F(AppEndToEnd, ASecondCopyOnTheSameComputerReportsAndEnds) {
  THost& h1 = Host(1);
  ASSERT_NO_FATAL_FAILURE(StartProgram(h1));
  auto second = StartOn(h1, {h1.dir + "/hallwire"}, "second");
  // Its error box appears (a window titled "Hallwire" that is neither the tray icon
  // nor the hidden main window); the first copy keeps running.
  std::string box;
  EXPECT_TRUE(WaitFor(
      [&] {
        for (const auto& [id, geometry] : Windows(h1, "Hallwire"))
          if (geometry.width > 100 && geometry.width != 383) box = id;
        return !box.empty();
      },
      15s));
  std::this_thread::sleep_for(500ms);
  Screenshot(h1, "second-copy");
  EXPECT_TRUE(second->Running());
  ASSERT_FALSE(box.empty());
  Xdo(h1, {"windowactivate", "--sync", box});
  Xdo(h1, {"key", "Return"});
  const auto code = second->Wait(10s);
  ASSERT_TRUE(code.has_value()) << "the second copy did not end";
  EXPECT_EQ(*code, 1);
  EXPECT_TRUE(h1.program->Running());
}

}  // namespace
