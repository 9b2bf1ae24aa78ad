// The desktop the desktop tests run the program on: an X display (Xvfb) with a window
// manager, an XEmbed tray (trayer) or a private session bus, or a headless Wayland
// compositor (weston). The program runs as its own copy in a private folder, with its
// own settings file and per-user config folder. DesktopEndToEnd adds the services of
// tests/integration/bus_services.py and peers' chat lines over loopback.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/PollUntil.h"
#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"
#include "transport/ChatLine.h"
#include "transport/Mailslot.h"

namespace hw::test {

using namespace std::chrono_literals;

inline bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  return PollUntil(condition, timeout, std::chrono::steady_clock::now(), 100ms).has_value();
}

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The first of the tools that is not installed, or empty.
inline std::string MissingTool(std::initializer_list<const char*> tools) {
  for (const char* tool : tools)
    if (!Executable(tool)) return tool;
  return std::string();
}

#define HW_SKIP_WITHOUT(...)                                                                \
  if (const std::string missing = ::hw::test::MissingTool({__VA_ARGS__}); !missing.empty()) \
  GTEST_SKIP() << missing << " is not installed"

struct TWindow {
  std::string id;
  int x = 0, y = 0, width = 0, height = 0;  // the client area, on the screen
};

class TDesktopRig {
 public:
  TDesktopRig() {
    namespace fs = std::filesystem;
    fs::create_directories(dir_.File("config/hallwire"));
    fs::create_directories(dir_.File("runtime"));
    fs::permissions(dir_.File("runtime"), fs::perms::owner_all, fs::perm_options::replace);
    if (const char* bin = std::getenv("HALLWIRE_BIN_DIR")) bin_ = bin;
  }
  ~TDesktopRig() {
    program_.reset();
    while (!children_.empty()) children_.pop_back();
  }

  // Xvfb at 1024 by 768 with this window manager, ready to activate windows. Xvfb picks
  // a free display itself: two tests that chose the same number would otherwise each
  // find the other's server answering. A rig in a network namespace of its own names
  // its display (from `from` on): Xvfb's own choice sees only its namespace's servers.
  // xfwm4 reads its settings over a session bus, so it gets one.
  void StartX(const std::string& window_manager, std::optional<int> from = std::nullopt) {
    namespace fs = std::filesystem;
    if (from) {
      for (int n = *from;; ++n)
        if (!fs::exists("/tmp/.X" + std::to_string(n) + "-lock") && !fs::exists("/tmp/.X11-unix/X" + std::to_string(n))) {
          display_ = n;
          break;
        }
      Start({"Xvfb", ":" + std::to_string(display_), "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, "xvfb");
    } else {
      Start({"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, "xvfb");
      std::string number;
      ASSERT_TRUE(WaitFor([&] { return Contains(number = ReadFile(dir_.File("xvfb.out")), "\n"); }, 10s))
          << ReadFile(dir_.File("xvfb.err"));
      display_ = std::stoi(number);
    }
    ASSERT_TRUE(WaitFor([&] { return RunTool({"xprop", "-root", "_NET_SUPPORTED"}).code == 0; }, 10s))
        << ReadFile(dir_.File("xvfb.err"));
    if (window_manager == "xfwm4" && bus_.empty()) {
      ASSERT_NO_FATAL_FAILURE(StartBus());
    }
    // xdotool refuses to activate windows until the window manager says it can. Now and
    // then a window manager started right after the server ends at once: start it again.
    const auto ready = [&] { return Contains(RunTool({"xprop", "-root", "_NET_SUPPORTED"}).out, "_NET_ACTIVE_WINDOW"); };
    for (int attempt = 0; attempt < 3 && !ready(); ++attempt) {
      TChild& manager = Start({window_manager}, window_manager);
      WaitFor([&] { return ready() || !manager.Running(); }, 20s);
    }
    ASSERT_TRUE(ready()) << ReadFile(dir_.File(window_manager + ".err"));
  }

  // weston without a screen, with this shell ("desktop-shell.so", "kiosk-shell.so").
  void StartWeston(const std::string& shell) {
    wayland_ = "wl-hallwire-" + std::to_string(getpid());
    Start({"weston", "--backend=headless-backend.so", "--socket=" + wayland_, "--shell=" + shell, "--idle-time=0"},
          "weston");
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(dir_.File("runtime/" + wayland_)); }, 10s))
        << ReadFile(dir_.File("weston.err"));
  }

  void StartTrayer() {
    Start({"trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120", "--height", "36",
           "--SetDockType", "true", "--transparent", "false"},
          "trayer");
  }

  // A session bus that starts no services on demand: installed desktop services (a
  // notification daemon, say) never stand in for the test's own.
  void StartBus() {
    WriteFile(dir_.File("bus.conf"),
              "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
              " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
              "<busconfig><type>session</type><listen>unix:tmpdir=" + dir_.Path() + "</listen>"
              "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
              "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
    Start({"dbus-daemon", "--config-file=" + dir_.File("bus.conf"), "--nofork", "--print-address=1"}, "dbus");
    ASSERT_TRUE(WaitFor([&] { return Contains(ReadFile(dir_.File("dbus.out")), "\n"); }, 10s));
    bus_ = ReadFile(dir_.File("dbus.out"));
    bus_.resize(bus_.find('\n'));
  }

  // This process's environment with the session's variables, then extra_env_, then
  // extra in place of any of the same name; a NAME without "=value" removes it.
  std::vector<std::string> Env(const std::vector<std::string>& extra = {}) const {
    std::vector<std::string> env = Environment();
    const auto put = [&env](const std::string& e) {
      const std::string name = e.substr(0, e.find('=')) + "=";
      env.erase(std::remove_if(env.begin(), env.end(), [&](const std::string& x) { return x.rfind(name, 0) == 0; }),
                env.end());
      if (Contains(e, "=")) env.push_back(e);
    };
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "LC_ALL", "LC_MESSAGES", "LANGUAGE"})
      put(name);
    put(wayland_.empty() ? "DISPLAY=:" + std::to_string(display_) : "WAYLAND_DISPLAY=" + wayland_);
    put(wayland_.empty() ? "QT_QPA_PLATFORM=xcb" : "QT_QPA_PLATFORM=wayland");
    put("XDG_RUNTIME_DIR=" + dir_.File("runtime"));
    // Each case starts afresh: no window placement or registry from an earlier one.
    put("XDG_CONFIG_HOME=" + dir_.File("config"));
    put("LANG=C.UTF-8");
    if (!bus_.empty()) put("DBUS_SESSION_BUS_ADDRESS=" + bus_);
    for (const auto* list : {&extra_env_, &extra})
      for (const std::string& e : *list) put(e);
    return env;
  }

  // A process that ends with the rig, its output in <label>.out and <label>.err.
  TChild& Start(const std::vector<std::string>& argv, const std::string& label) {
    children_.push_back(Spawn(argv, label));
    return *children_.back();
  }

  TRunResult RunTool(std::vector<std::string> argv, std::chrono::milliseconds timeout = 15s) {
    argv.insert(argv.begin(), wrap_.begin(), wrap_.end());
    return RunCommand(argv, Env(), dir_.Path(), timeout);
  }

  void Xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    const TRunResult result = RunTool(args);
    ASSERT_EQ(result.code, 0) << result.err;
  }

  void Click(int x, int y, int repeat = 1) {
    Xdo({"mousemove", std::to_string(x), std::to_string(y)});
    std::this_thread::sleep_for(100ms);
    Xdo({"click", "--repeat", std::to_string(repeat), "--delay", "80", "1"});
  }

  // The program (its own copy: it reads its settings beside itself) with these lines
  // in its [SoundOptions] section and after; extra_env as in Env.
  void StartProgram(const std::string& settings, const std::vector<std::string>& extra_env = {}) {
    namespace fs = std::filesystem;
    ASSERT_FALSE(bin_.empty()) << "HALLWIRE_BIN_DIR is not set";
    fs::copy_file(bin_ + "/hallwire", dir_.File("hallwire"), fs::copy_options::overwrite_existing);
    WriteFile(dir_.File("Hwire.ini"), "[EntryWindow]\nForeground=clBlack\nBackground=clWhite\n[ChatWindow]\n"
                                      "Foreground=clWhite\nBackground=clBlack\n[SoundOptions]\n" + settings + "\n");
    program_.reset();
    program_ = Spawn({dir_.File("hallwire")}, "hallwire", extra_env);
  }

  // Starts the program and waits for its main window; minimised, until it has gone.
  void StartShown(const std::string& settings, TWindow& main, bool minimise = false) {
    ASSERT_NO_FATAL_FAILURE(StartProgram(settings));
    std::optional<TWindow> shown;
    ASSERT_TRUE(WaitFor([&] { return (shown = MainWindow()).has_value(); }, 20s)) << ReadFile(dir_.File("hallwire.err"));
    main = *shown;
    if (minimise) {
      ASSERT_NO_FATAL_FAILURE(Minimise());
    }
  }

  void Minimise() {
    const std::optional<TWindow> main = MainWindow();
    ASSERT_TRUE(main.has_value());
    Xdo({"windowminimize", main->id});
    ASSERT_TRUE(WaitFor([&] { return !MainWindow().has_value(); }, 10s)) << "still shown";
  }

  // The screen's pixels in this rectangle, raw.
  std::string Pixels(const TWindow& area) {
    const std::string file = dir_.File("pixels.rgb");
    RunTool({"import", "-window", "root", "-crop", std::to_string(area.width) + "x" + std::to_string(area.height) + "+" +
             std::to_string(area.x) + "+" + std::to_string(area.y), "+repage", "-depth", "8", "rgb:" + file}, 10s);
    return ReadFile(file);
  }

  // The program's window placement file.
  std::string PlacementFile() const { return dir_.File("config/hallwire/hwire.ini"); }

  // Shown windows found by xdotool with these search options ("--name", "^Hallwire$"),
  // placed as xwininfo sees them (xdotool's position of a decorated window is off by its frame).
  std::vector<TWindow> Windows(const std::string& option, const std::string& pattern) {
    std::vector<TWindow> windows;
    std::istringstream ids(RunTool({"xdotool", "search", "--onlyvisible", option, pattern}).out);
    for (std::string id; std::getline(ids, id);) {
      const std::string info = RunTool({"xwininfo", "-id", id}).out;
      TWindow w{id};
      std::smatch m;
      for (auto [pattern, field] : {std::pair{R"(Absolute upper-left X:\s+(-?\d+))", &w.x},
                                    {R"(Absolute upper-left Y:\s+(-?\d+))", &w.y},
                                    {R"(Width:\s+(\d+))", &w.width},
                                    {R"(Height:\s+(\d+))", &w.height}})
        if (std::regex_search(info, m, std::regex(pattern))) *field = std::stoi(m[1]);
      windows.push_back(w);
    }
    return windows;
  }
  std::vector<TWindow> Windows(const std::string& title) { return Windows("--name", "^" + title + "$"); }

  std::optional<TWindow> MainWindow() {
    for (const TWindow& w : Windows("Hallwire"))
      if (w.width == 383) return w;
    return std::nullopt;
  }

  // The program's icon in an XEmbed tray.
  std::optional<TWindow> TrayEntry() {
    for (const TWindow& w : Windows("--classname", "^hallwire$"))
      if (w.width < 100) return w;
    return std::nullopt;
  }

  // Error boxes: windows titled "Hallwire" other than the main window and the tray entry.
  std::vector<TWindow> ErrorBoxes() {
    std::vector<TWindow> boxes;
    for (const TWindow& w : Windows("Hallwire"))
      if (w.width > 100 && w.width != 383) boxes.push_back(w);
    return boxes;
  }

  // Saves the chat box of the shown main window through File, Save Messages and returns
  // the file's bytes.
  std::string SaveChat(const std::string& name) {
    const std::string path = dir_.File(name + ".hwm");
    std::filesystem::remove(path);
    Xdo({"windowactivate", "--sync", MainWindow().value_or(TWindow()).id});
    Xdo({"key", "alt+f"});
    std::this_thread::sleep_for(300ms);
    Xdo({"key", "s"});
    EXPECT_TRUE(WaitFor([&] { return !Windows("Save Message").empty(); }, 10s)) << "the save dialog did not open";
    std::this_thread::sleep_for(300ms);
    Xdo({"type", "--delay", "20", path});
    Xdo({"key", "Return"});
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(path); }, 10s)) << "nothing saved";
    std::this_thread::sleep_for(200ms);
    return ReadFile(path);
  }

  TempDir dir_;
  std::string bin_;
  int display_ = -1;
  std::string wayland_;
  std::string bus_;
  std::vector<std::unique_ptr<TChild>> children_;
  std::unique_ptr<TChild> program_;
  std::vector<std::string> extra_env_;  // for every process started, as in Env
  std::vector<std::string> wrap_;       // the command every process is started through (a namespace's)

 private:
  std::unique_ptr<TChild> Spawn(std::vector<std::string> argv, const std::string& label,
                                const std::vector<std::string>& extra_env = {}) {
    argv.insert(argv.begin(), wrap_.begin(), wrap_.end());
    return std::make_unique<TChild>(argv, Env(extra_env), dir_.File(label + ".out"), dir_.File(label + ".err"));
  }
};

// On X with openbox; the program's peers send it chat lines over loopback.
class DesktopEndToEnd : public ::testing::Test, protected TDesktopRig {
 protected:
  void SetUp() override {
    HW_SKIP_WITHOUT("Xvfb", "openbox", "xdotool", "xwininfo", "xprop", "import");
    ASSERT_FALSE(bin_.empty()) << "HALLWIRE_BIN_DIR is not set";
    ASSERT_NO_FATAL_FAILURE(StartX("openbox"));
  }

  // Whether /usr/bin/python3 with Gio and the D-Bus tools are there for the helpers in
  // tests/integration (a StatusNotifier host, a notification server).
  bool HaveBusTools() {
    return Executable("dbus-daemon") && Executable("gdbus") &&
           RunTool({"/usr/bin/python3", "-c", "from gi.repository import Gio"}).code == 0;
  }

  // python3 with a script of tests/integration.
  static std::vector<std::string> Script(const std::string& name, const std::string& argument) {
    const char* source = std::getenv("HALLWIRE_SOURCE_DIR");
    return {"/usr/bin/python3", std::string(source ? source : ".") + "/tests/integration/" + name, argument};
  }

  TRunResult Gdbus(const std::string& dest, const std::string& path, const std::string& method,
                   std::vector<std::string> args = {}) {
    args.insert(args.begin(), {"gdbus", "call", "--session", "--dest", dest, "--object-path", path, "--method", method});
    return RunTool(args);
  }

  // Starts the StatusNotifier host and waits until the program's entry registers with
  // it; gives the entry's bus name and object path.
  void StartStatusNotifierHost(std::string& name, std::string& path) {
    Start(Script("bus_services.py", "watcher"), "watcher");
    std::smatch item;
    std::string out;
    ASSERT_TRUE(WaitFor(
        [&] { return std::regex_search(out = ReadFile(dir_.File("watcher.out")), item, std::regex(R"(registered (\S+) (\S+))")); },
        15s))
        << "the icon was never registered: " << out << ReadFile(dir_.File("watcher.err"));
    name = item[1];
    path = item[2];
  }

  // NewIcon signals the host has seen: the entry blinks while they grow.
  std::size_t IconChanges() {
    const std::string text = ReadFile(dir_.File("watcher.out"));
    std::size_t n = 0;
    for (std::size_t at = text.find("newicon"); at != std::string::npos; at = text.find("newicon", at + 1)) ++n;
    return n;
  }

  // Sends one chat line (any bytes) from "this computer" to the program, as a peer does.
  void Send(const std::string& text, int count = 1) {
    hw::TMailslotClient client;
    client.SetMailslotName("hwSlot");
    client.SetReceiver(hw::TReceiverType::rcLocalComputer);
    const std::string line = Line(text);
    for (int i = 0; i < count; ++i) {
      hw::TMemoryStream frame;
      hw::TMessageHeader header{hw::MakeSenderId(), 0};
      hw::FrameMessage(frame, header, line.c_str(), static_cast<std::uint16_t>(line.size() + 1));
      client.WriteMessage(frame.Memory(), static_cast<std::uint32_t>(frame.Size()));
      // Paced so that the program's mailslot keeps up.
      if (i % 50 == 49) std::this_thread::sleep_for(5ms);
    }
  }

  std::string Line(const std::string& text) const {
    return hw::BuildChatLine(hw::LocalComputerName(), hw::LocalUserName(), text);
  }
};

}  // namespace hw::test
