// Under Xvfb on a private bus: the tray menu over D-Bus and the notifications (with the
// test's own host and server), and the windows as screen readers see them over AT-SPI.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "tests/support/DesktopRig.h"

namespace {

using namespace hw::test;

class DesktopNotify : public DesktopEndToEnd {
 protected:
  void SetUp() override {
    if (!HaveBusTools()) GTEST_SKIP() << "dbus-daemon, gdbus or python3-gi is missing";
    DesktopEndToEnd::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_NO_FATAL_FAILURE(StartBus());
  }

  void StartNotificationServer() {
    Start(Script("bus_services.py", "notify"), "notify");
    ASSERT_TRUE(WaitFor([&] { return Contains(ReadFile(dir_.File("notify.out")), "serving"); }, 30s))
        << ReadFile(dir_.File("notify.err"));
  }

  // "<id> <replaces_id> <summary>|<body>|<actions>" of each Notify call.
  std::vector<std::string> Notifications() {
    std::vector<std::string> calls;
    std::istringstream lines(ReadFile(dir_.File("notify.out")));
    for (std::string line; std::getline(lines, line);)
      if (line.rfind("notify ", 0) == 0) calls.push_back(line.substr(7));
    return calls;
  }

  // A user's click on a notification's action; the window is to open.
  void Invoke(const std::string& id, const std::string& action) {
    const TRunResult call = Gdbus("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                  "org.example.NotifyTest.Invoke", {id, action});
    ASSERT_EQ(call.code, 0) << call.err;
    EXPECT_TRUE(WaitFor([&] { return MainWindow().has_value(); }, 10s)) << action << " did not open the window";
  }

  // The entry blinks after a hidden arrival; `open` shows the window and stops it.
  void BlinksUntil(const std::string& what, const std::function<void()>& open) {
    const std::size_t still = IconChanges();
    ASSERT_TRUE(WaitFor([&] { return IconChanges() > still + 3; }, 10s)) << "no blinking";
    open();
    EXPECT_TRUE(WaitFor([&] { return MainWindow().has_value(); }, 10s)) << what << " did not open the window";
    std::this_thread::sleep_for(500ms);
    const std::size_t stopped = IconChanges();
    std::this_thread::sleep_for(1200ms);
    EXPECT_EQ(IconChanges(), stopped) << "still blinking after " << what;
  }
};

TEST_F(DesktopNotify, AStatusNotifierEntryPublishesItsMenuAndHiddenArrivalsNotifyUntilOpened) {
  ASSERT_NO_FATAL_FAILURE(StartNotificationServer());
  TWindow main;
  ASSERT_NO_FATAL_FAILURE(StartShown("PlaySound=False\n[Notify]\nOpenWindow=False", main));
  // The host comes after the program is up and still gets the entry.
  std::this_thread::sleep_for(1500ms);
  std::string name, item;
  ASSERT_NO_FATAL_FAILURE(StartStatusNotifierHost(name, item));

  // The menu as a panel reads it.
  std::smatch m;
  const std::string property = Gdbus(name, item, "org.freedesktop.DBus.Properties.Get",
                                     {"org.kde.StatusNotifierItem", "Menu"}).out;
  ASSERT_TRUE(std::regex_search(property, m, std::regex("objectpath '([^']+)'"))) << property;
  const std::string menu = m[1];
  ASSERT_NE(menu, "/NO_DBUSMENU");
  const std::string layout = Gdbus(name, menu, "com.canonical.dbusmenu.GetLayout", {"0", "int32 -1", "[]"}).out;
  std::map<std::string, std::string> entries;  // label without mnemonic marks -> id
  const std::regex entry(R"(\((\d+), \{[^}]*'label': <'([^']*)'>)");
  for (auto it = std::sregex_iterator(layout.begin(), layout.end(), entry); it != std::sregex_iterator(); ++it) {
    std::string label = (*it)[2];
    label.erase(std::remove(label.begin(), label.end(), '_'), label.end());
    entries[label] = (*it)[1];
  }
  ASSERT_TRUE(entries.count("View Message") && entries.count("Exit")) << layout;
  const auto click = [&](const std::string& label) {
    const TRunResult call = Gdbus(name, menu, "com.canonical.dbusmenu.Event", {entries[label], "clicked", "<0>", "0"});
    ASSERT_EQ(call.code, 0) << call.err;
  };

  // Hidden arrivals: one notification replaced with the count, the body escaped and cut short.
  ASSERT_NO_FATAL_FAILURE(Minimise());
  Send("fish & chips");
  ASSERT_TRUE(WaitFor([&] { return Notifications().size() == 1; }, 10s)) << ReadFile(dir_.File("notify.out"));
  Send(std::string(300, 'x'));
  ASSERT_TRUE(WaitFor([&] { return Notifications().size() == 2; }, 10s));
  const auto calls = Notifications();
  const std::string id = calls[0].substr(0, calls[0].find(' '));
  EXPECT_TRUE(Contains(calls[0], " 0 New message|") && Contains(calls[0], "fish &amp; chips|default,open")) << calls[0];
  EXPECT_EQ(calls[1].rfind(id + " " + id + " 2 messages waiting|", 0), 0u) << calls[1];
  EXPECT_TRUE(Contains(calls[1], std::string(150, 'x') + "\xE2\x80\xA6|") && !Contains(calls[1], std::string(200, 'x')))
      << calls[1];
  // A click on the notification, or the host's click on the entry (Activate), opens the
  // window and stops the blinking.
  BlinksUntil("the notification", [&] { Invoke(id, "default"); });
  ASSERT_NO_FATAL_FAILURE(Minimise());
  Send("blink");
  BlinksUntil("the host's click", [&] {
    const TRunResult call = Gdbus(name, item, "org.kde.StatusNotifierItem.Activate", {"100", "100"});
    ASSERT_EQ(call.code, 0) << call.err;
  });

  ASSERT_NO_FATAL_FAILURE(Minimise());
  click("View Message");
  EXPECT_TRUE(WaitFor([&] { return MainWindow().has_value(); }, 10s)) << "View Message did not show the window";
  click("Exit");
  EXPECT_TRUE(WaitFor([&] { return !program_->Running(); }, 10s)) << "Exit did not end the program";
  EXPECT_TRUE(ErrorBoxes().empty());
}

TEST_F(DesktopNotify, WithoutATrayArrivalsAskForAttentionAndNotifyOnceAServerIsThere) {
  TWindow main;
  ASSERT_NO_FATAL_FAILURE(StartShown("PlaySound=False\n[Notify]\nOpenWindow=False", main, true));

  // No notification server: no error, but the window asks for attention, with its own
  // urgency hint, which the window manager shows as its state.
  Send("unheard");
  const auto hints = [&] { return RunTool({"xprop", "-id", main.id, "WM_HINTS", "_NET_WM_STATE"}).out; };
  EXPECT_TRUE(WaitFor([&] {
    return Contains(hints(), "urgency hint bit is set") && Contains(hints(), "_NET_WM_STATE_DEMANDS_ATTENTION");
  }, 10s)) << hints();
  std::this_thread::sleep_for(1s);
  EXPECT_TRUE(ErrorBoxes().empty());
  ASSERT_TRUE(program_->Running());

  ASSERT_NO_FATAL_FAILURE(StartNotificationServer());
  Send("heard");
  ASSERT_TRUE(WaitFor([&] { return Notifications().size() == 1; }, 10s)) << ReadFile(dir_.File("notify.out"));
  const std::string call = Notifications()[0];
  EXPECT_TRUE(Contains(call, "2 messages waiting|")) << call;
  Invoke(call.substr(0, call.find(' ')), "open");
  EXPECT_TRUE(WaitFor([&] { return !Contains(hints(), "urgency"); }, 5s)) << hints();
}

const char kLauncher[] = "/usr/libexec/at-spi-bus-launcher";

struct TNode {
  std::string role, name, description, states, text;
  bool Has(const std::string& state) const { return Contains("," + states + ",", "," + state + ","); }
};
using TNodes = std::vector<TNode>;

// The object with this role and name, or an empty one.
TNode Node(const TNodes& nodes, const std::string& role, const std::string& name) {
  for (const TNode& node : nodes)
    if (node.role == role && node.name == name) return node;
  return {};
}

class Accessibility : public DesktopEndToEnd {
 protected:
  void SetUp() override {
    if (!Executable("dbus-daemon") || access(kLauncher, X_OK) != 0 ||
        RunCommand({"/usr/bin/python3", "-c", "import pyatspi"}, Environment(), dir_.Path()).code != 0)
      GTEST_SKIP() << "dbus-daemon, at-spi2-core or python3-pyatspi is missing";
    DesktopEndToEnd::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_NO_FATAL_FAILURE(StartBus());
    extra_env_ = {"QT_ACCESSIBILITY=1", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1"};
    Start({kLauncher, "--launch-immediately"}, "atspi");
    TWindow main;
    ASSERT_NO_FATAL_FAILURE(StartShown("PlaySound=False", main));
    ASSERT_NO_FATAL_FAILURE(Xdo({"windowactivate", "--sync", main.id}));
  }

  TNodes Dump() {
    const TRunResult dump = RunTool(Script("atspi_dump.py", "Hallwire"));
    EXPECT_EQ(dump.code, 0) << dump.err;
    TNodes nodes;
    std::istringstream lines(dump.out);
    for (std::string role; std::getline(lines, role, '\t');) {
      TNode& n = nodes.emplace_back(TNode{role, "", "", "", ""});
      for (std::string* field : {&n.name, &n.description, &n.states}) std::getline(lines, *field, '\t');
      std::getline(lines, n.text);
    }
    return nodes;
  }

  TNodes KeysUntil(const std::vector<std::string>& keys, const std::string& role, const std::string& name) {
    for (const std::string& key : keys) {
      Xdo({"key", key});
      std::this_thread::sleep_for(300ms);
    }
    TNodes nodes;
    EXPECT_TRUE(WaitFor([&] { return !Node(nodes = Dump(), role, name).role.empty(); }, 10s)) << role << " " << name;
    return nodes;
  }
};

TEST_F(Accessibility, EveryControlIsNamedDescribedAndReachableWithTab) {
  TNodes nodes = Dump();
  KeysUntil({"alt+p"}, "dialog", "Preferences");
  for (const TNode& node : KeysUntil({"alt+n"}, "dialog", "Network")) nodes.push_back(node);
  KeysUntil({"Escape", "alt+c"}, "tree", "Recipients");
  for (const TNode& node : KeysUntil({"alt+h", "a"}, "dialog", "About")) nodes.push_back(node);
  Xdo({"key", "Return"});

  // One control of each kind and window; then every control is named, described and takes Tab.
  for (const auto& [role, name] : std::vector<std::pair<std::string, std::string>>{
           {"text", "Message"}, {"status bar", "Status bar"}, {"label", "Num Lock off"}, {"text", "WINS servers"},
           {"combo box", "Chat window background colour"}, {"push button", "Browse for the all incoming sound"}})
    EXPECT_EQ(Node(nodes, role, name).role, role) << name;
  for (const TNode& node : nodes) {
    if (!std::regex_match(node.role, std::regex("push button|check box|combo box|text|tree"))) continue;
    EXPECT_FALSE(node.name.empty()) << node.role << " without a name";
    EXPECT_FALSE(node.description.empty()) << node.role << " " << node.name << " without a description";
    EXPECT_TRUE(node.Has("focusable")) << node.role << " " << node.name;
  }
}

TEST_F(Accessibility, TheKeyboardAloneChoosesTheRecipientAndSends) {
  const std::string text = "sent with the keyboard alone";
  Xdo({"type", "--delay", "30", text});
  // Tab leaves the entry box for the chat box; two Shift+Tabs go back to the tree.
  TNodes nodes = KeysUntil({"Tab"}, "text", "Chat");
  EXPECT_TRUE(WaitFor([&] { return Node(nodes = Dump(), "text", "Chat").Has("focused"); }, 5s)) << "Tab stayed";
  EXPECT_TRUE(Contains(Node(nodes, "text", "Message").text, text));
  EXPECT_FALSE(Contains(Node(nodes, "text", "Message").text, "\\t")) << "Tab typed a tab";
  KeysUntil({"shift+Tab", "shift+Tab", "Down", "space", "alt+s"}, "text", "Chat");
  // The line stands in the chat box as sent and as it came back.
  std::string chat;
  const auto twice = [&] {
    chat = Node(Dump(), "text", "Chat").text;
    return chat.find(text) != chat.rfind(text);
  };
  EXPECT_TRUE(WaitFor(twice, 10s)) << chat;
  for (const TNode& node : Dump()) EXPECT_FALSE(Contains(node.name + node.text, "You must first select")) << node.role;
}

}  // namespace
