// The main window's placement: under X11 it comes back to the pixel; under Wayland every
// state is survived and only the size kept, and such a file never misplaces it under X11.
// There the boxes grow too when the compositor maximises them.
#include <gtest/gtest.h>

#include "tests/support/DesktopRig.h"

namespace {

using namespace hw::test;

const char* const kSettings = "PlaySound=False";

struct XCase { const char* window_manager; bool tray; };

class PlacementOnX : public ::testing::TestWithParam<XCase>, protected TDesktopRig {
 protected:
  void SetUp() override {
    HW_SKIP_WITHOUT("Xvfb", GetParam().window_manager, "xdotool", "xwininfo", "xprop", "dbus-daemon",
                    GetParam().tray ? "trayer" : "xdotool");
    ASSERT_NO_FATAL_FAILURE(StartX(GetParam().window_manager));
    if (GetParam().tray) StartTrayer();
  }

  // With a tray the window starts hidden and a double click on the entry opens it.
  TWindow Open() {
    StartProgram(kSettings);
    std::optional<TWindow> entry;
    if (GetParam().tray) {
      EXPECT_TRUE(WaitFor([&] { return (entry = TrayEntry()).has_value(); }, 20s)) << "no tray entry";
      // A click that comes while the entry is still being embedded is lost: click again,
      // where the entry is now (the tray moves it when the last run's entry goes).
      for (int click = 0; entry && click < 5 && !WaitFor([&] { return MainWindow().has_value(); }, 3s); ++click) {
        entry = TrayEntry().value_or(*entry);
        Click(entry->x + entry->width / 2, entry->y + entry->height / 2, 2);
      }
    }
    EXPECT_TRUE(WaitFor([&] { return MainWindow().has_value(); }, 20s)) << ReadFile(dir_.File("hallwire.err"));
    std::this_thread::sleep_for(500ms);  // the window manager's last word on the position
    return MainWindow().value_or(TWindow());
  }
};

TEST_P(PlacementOnX, AMovedWindowComesBackToThePixel) {
  TWindow first = Open();
  ASSERT_FALSE(first.id.empty());
  Xdo({"windowmove", "--sync", first.id, "448", "243"});
  ASSERT_TRUE(WaitFor([&] { return MainWindow() && MainWindow()->x != first.x; }, 5s)) << "the window did not move";
  std::this_thread::sleep_for(300ms);
  first = *MainWindow();
  for (int start = 1; start <= 2; ++start) {
    ASSERT_EQ(program_->Stop(), 0);
    const TWindow again = Open();
    EXPECT_EQ(std::make_pair(again.x, again.y), std::make_pair(first.x, first.y)) << ReadFile(PlacementFile());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, PlacementOnX,
    ::testing::Values(XCase{"openbox", false}, XCase{"openbox", true}, XCase{"xfwm4", false}, XCase{"xfwm4", true}),
    [](const auto& info) { return std::string(info.param.window_manager) + (info.param.tray ? "Tray" : "NoTray"); });

struct WaylandCase {
  const char* shell;
  const char *show_cmd, *request, *answer;  // stored state; the log's request and compositor's answer
};

struct PlacementOnWayland : ::testing::TestWithParam<WaylandCase>, TDesktopRig {};

TEST_P(PlacementOnWayland, EveryStateIsSurvivedAndOnlyTheSizeIsKept) {
  HW_SKIP_WITHOUT("weston");
  ASSERT_NO_FATAL_FAILURE(StartWeston(GetParam().shell));
  WriteFile(PlacementFile(), std::string("[MainForm]\nShowCmd=") + GetParam().show_cmd + "\n");
  for (int start = 0; start < 2; ++start) {
    SCOPED_TRACE(start);
    // (Qt's Wayland client and the graphics driver it loads keep allocations until exit.)
    ASSERT_NO_FATAL_FAILURE(StartProgram(kSettings, {"WAYLAND_DEBUG=client", "LSAN_OPTIONS=detect_leaks=0"}));
    // The request from the stored state (a minimised one is not told back), then the answer.
    std::string log;
    EXPECT_TRUE(WaitFor(
        [&] {
          log = ReadFile(dir_.File("hallwire.err"));
          return (start > 0 || Contains(log, GetParam().request)) && Contains(log, GetParam().answer);
        },
        15s));
    std::this_thread::sleep_for(1s);
    log = ReadFile(dir_.File("hallwire.err"));
    ASSERT_TRUE(program_->Running()) << log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
    ASSERT_EQ(program_->Stop(), 0);
    const std::string stored = ReadFile(PlacementFile());
    EXPECT_TRUE(Contains(stored, "\nNormPos=0,0,383,342\n") && Contains(stored, "\nNoPosition=1\n")) << stored;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Weston, PlacementOnWayland,
    ::testing::Values(WaylandCase{"desktop-shell.so", "3", "set_maximized()", "configure(1024, 608"},
                      WaylandCase{"desktop-shell.so", "2", "set_minimized()", "configure(0, 0"},
                      WaylandCase{"kiosk-shell.so", "1", "", "configure(1024, 640"}),
    [](const auto& info) { return std::string(info.param.shell[0] == 'k' ? "Kiosk" : "Desktop") + info.param.show_cmd; });

// Every box the messenger opens, maximised by the compositor, grows to its size.
TEST(BoxesOnWayland, EveryBoxTakesTheMaximisedSize) {
  HW_SKIP_WITHOUT("weston");
  TDesktopRig rig;
  ASSERT_NO_FATAL_FAILURE(rig.StartWeston("desktop-shell.so"));
  const TRunResult probe = rig.RunTool({HW_MAXIMISE_PROBE});
  ASSERT_EQ(probe.code, 0) << probe.out << probe.err;
  for (const char* box : {"error", "notice", "confirmation", "about"})
    EXPECT_TRUE(std::regex_search(probe.out, std::regex(std::string("(^|\n)") + box + " 10[0-9][0-9]x"))) << probe.out;
}

// A file saved under Wayland (no position, or an older release's decoration offset)
// never puts the window or its title bar off the screen under X11.
TEST(PlacementFromWayland, NeverPlacesTheWindowUnderX) {
  HW_SKIP_WITHOUT("Xvfb", "openbox", "xdotool", "xwininfo", "xprop");
  TDesktopRig rig;
  ASSERT_NO_FATAL_FAILURE(rig.StartX("openbox"));
  for (const char* norm_pos : {"0,0,383,342\nNoPosition=1", "-3,-30,380,312"}) {
    SCOPED_TRACE(norm_pos);
    WriteFile(rig.PlacementFile(),
              std::string("[MainForm]\nFlags=0\nShowCmd=1\nPixelsPerInch=96\nNormPos=") + norm_pos + "\n");
    TWindow main;
    ASSERT_NO_FATAL_FAILURE(rig.StartShown(kSettings, main));
    std::this_thread::sleep_for(500ms);
    main = rig.MainWindow().value_or(main);
    const bool centred = Contains(norm_pos, "NoPosition");  // as on its first start
    EXPECT_TRUE(main.y > (centred ? 100 : 10) && main.x > (centred ? 100 : -1)) << main.x << "," << main.y;
    ASSERT_EQ(rig.program_->Stop(), 0);
  }
}

}  // namespace
