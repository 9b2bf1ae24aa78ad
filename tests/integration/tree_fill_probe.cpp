// tree_fill_probe COMPUTERS TIMEOUT_SECONDS
// The messenger's window with its real parts: once the presence table holds COMPUTERS
// names, Refresh is clicked three times, each timed until the tree holds them all,
// with the longest gap of a 2-ms timer from the click until 300 ms after. Prints
// "ready", then per click "tree=N fill_ms=F longest_frame_ms=L"; exits 1 at the time-out.
#include <QApplication>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <thread>

#include "app/MainForm.h"
#include "desktop/QtWindowThread.h"
#include "platform/net/Presence.h"
#include "tests/app/WindowTestAccess.h"

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

double Millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

int TreeSize(const QTreeWidget& tree) {
  return tree.topLevelItemCount() ? tree.topLevelItem(0)->childCount() : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const int expected = std::atoi(argv[1]);
  const auto deadline = Clock::now() + std::chrono::seconds(std::atoi(argv[2]));
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  hw::TQtWindowThread window_thread;
  auto form = std::make_unique<hw::TmainForm>(hw::MakeDefaultParts(window_thread));
  form->ShowWithoutTray();
  std::cout << "ready" << std::endl;

  // Counted off the window thread, so that waiting costs the window nothing.
  std::atomic<bool> heard{false};
  std::thread counter([&] {
    while (Clock::now() < deadline && hw::platform::net::PresenceComputers().size() < static_cast<std::size_t>(expected))
      std::this_thread::sleep_for(50ms);
    heard = true;
  });

  int clicks = 0;
  bool measuring = false;
  Clock::time_point clicked, filled, last_tick;
  double longest = 0;
  const QTreeWidget& tree = *hw::Ui(*form).recipient_tree;
  const auto fill = [&](Clock::time_point now) {
    if (filled == Clock::time_point{} && TreeSize(tree) >= expected) filled = now;
  };
  QTimer ticker;
  ticker.setInterval(2);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    if (now > deadline) QApplication::exit(1);
    if (measuring) {
      longest = std::max(longest, Millis(now - last_tick));
      fill(now);
      if (filled != Clock::time_point{} && now - filled >= 300ms) {
        measuring = false;
        std::cout << "tree=" << TreeSize(tree) << " fill_ms=" << Millis(filled - clicked)
                  << " longest_frame_ms=" << longest << std::endl;
        if (clicks == 3) QApplication::exit(0);
      }
    } else if (heard && now < deadline) {
      measuring = true;
      ++clicks;
      filled = {};
      clicked = Clock::now();
      hw::Ui(*form).refresh_button->click();
      // The click ran inside this tick: its length counts as a frame.
      longest = Millis(Clock::now() - clicked);
      fill(Clock::now());
    }
    last_tick = Clock::now();
  });
  ticker.start();
  const int code = QApplication::exec();
  counter.join();
  form.reset();
  return code;
}
