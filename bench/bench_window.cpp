// bench_window [--frames N] [--smoke]
//
// Measures the main window under a busy LAN, offscreen and confined to loopback: the
// real window with its mailslot terminal, and a writer thread that puts N frames
// (default 100,000) of one peer into the window's mailslot "hwSlot" as fast as the
// mailslot takes them, as a storm of arrivals would. It reports
//   1. how long the storm took, and the CPU time the process used for it;
//   2. the delay from the last frame written to the first moment the window answers a
//      timer's event again with that frame shown (a probe due every 5 ms);
//   3. the longest the window left a probe waiting during the storm;
//   4. resident memory before, after the storm (for the text kept) and after Clear.
// Exit 0 when every target is met (answer <= 1.5 s, growth <= 40 MB, Clear gives back
// all but 8 MB of the growth), else 1. --smoke runs 2,000 frames and only checks that
// the run completes (for the test suite).
#include <QApplication>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/MainForm.h"
#include "desktop/QtWindowThread.h"
#include "transport/ChatLine.h"
#include "transport/Mailslot.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr double kTargetAnswerSeconds = 1.5;
constexpr double kTargetGrowthMb = 40;
constexpr double kTargetKeptAfterClearMb = 8;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double ResidentMb() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  long pages = 0, resident = 0;
  if (f) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Loopback only, a datagram port nobody uses now (so the mailslot's name is ours
// whatever else runs here), offscreen, and folders of our own for settings and caches.
void Confine(const std::string& home) {
  setenv("HALLWIRE_INTERFACES", "lo", 1);
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
  if (std::getenv("HALLWIRE_DGRAM_PORT")) return;
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
    setenv("HALLWIRE_DGRAM_PORT", std::to_string(ntohs(addr.sin_port)).c_str(), 1);
  if (fd >= 0) close(fd);
}

std::string Line(int i) {
  // About as long as a short chat line: 40 to 48 bytes.
  return hw::BuildChatLine("Office-pc7", "alice", "message " + std::to_string(i) + " of the storm");
}

// The newest line the chat box shows (the box ends with an empty line after it).
QString NewestShown(const QPlainTextEdit& box) {
  const QTextBlock last = box.document()->lastBlock();
  return last.text().isEmpty() && last.previous().isValid() ? last.previous().text() : last.text();
}

// Runs the window's events for a while (QApplication::quit would close the window).
void RunFor(std::chrono::milliseconds duration) {
  QEventLoop loop;
  QTimer::singleShot(duration, &loop, &QEventLoop::quit);
  loop.exec();
}

struct TStorm {
  std::atomic<bool> done{false};
  Clock::time_point start, end;
  long retries = 0;
};

// Writes the frames of one peer, retrying while the mailslot is full.
void WriteFrames(int frames, TStorm& storm) {
  hw::TMailslotClient client;
  client.SetMailslotName("hwSlot");
  client.SetReceiver(hw::TReceiverType::rcLocalComputer);
  hw::TMessageHeader header{0x5EED1234u, 0};
  hw::TMemoryStream frame;
  storm.start = Clock::now();
  for (int i = 0; i < frames; ++i) {
    const std::string line = Line(i);
    hw::FrameMessage(frame, header, line.c_str(), static_cast<std::uint16_t>(line.size() + 1));
    for (;;) {
      try {
        client.WriteMessage(frame.Memory(), static_cast<std::uint32_t>(frame.Size()));
        break;
      } catch (const std::exception&) {
        ++storm.retries;
        client.CloseMailslot();
        std::this_thread::sleep_for(1ms);
      }
    }
  }
  storm.end = Clock::now();
  storm.done = true;
}

}  // namespace

int main(int argc, char** argv) {
  int frames = 100000;
  bool smoke = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--frames" && i + 1 < argc) {
      frames = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--smoke") {
      smoke = true;
      frames = 2000;
    } else {
      std::fprintf(stderr, "usage: bench_window [--frames N] [--smoke]\n");
      return 2;
    }
  }
  char home_template[] = "/tmp/bench_window.XXXXXX";
  const char* home = mkdtemp(home_template);
  if (!home) return 2;
  Confine(home);

  QApplication app(argc, argv);
  hw::TQtWindowThread window_thread;
  std::unique_ptr<hw::TmainForm> form;
  try {
    hw::TMainFormParts parts = hw::MakeDefaultParts(window_thread);
    parts.SettingsPath = std::string(home) + "/Hwire.ini";
    parts.MakePlacement = nullptr;
    form = std::make_unique<hw::TmainForm>(std::move(parts));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_window: %s\n", error.what());
    return 2;
  }
  form->ShowWindow();
  auto* box = form->findChild<QPlainTextEdit*>("ChatWindow");
  const QString last_line = QString::fromStdString(Line(frames - 1));

  // Let the window settle before the first figure.
  RunFor(500ms);
  const double rss_before = ResidentMb();
  const double cpu_before = CpuSeconds();

  TStorm storm;
  QEventLoop loop;
  double longest_wait = 0, answer = -1;
  std::thread writer([&] { WriteFrames(frames, storm); });
  // A probe is a timer due every 5 ms: how late it fires is how long the window left
  // input waiting. It stops once it finds the last frame shown after the writer ended.
  QTimer probe;
  probe.setInterval(5);
  auto due = Clock::now() + 5ms;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    longest_wait = std::max(longest_wait, Seconds(now - due));
    due = now + 5ms;
    if (!storm.done || NewestShown(*box) != last_line) return;
    answer = Seconds(now - storm.end);
    loop.quit();
  });
  probe.start();
  QTimer::singleShot(smoke ? 60s : 600s, &loop, &QEventLoop::quit);
  loop.exec();
  writer.join();
  const double cpu = CpuSeconds() - cpu_before;
  const double storm_seconds = Seconds(storm.end - storm.start);

  // Memory once the window is idle again, and after Clear.
  RunFor(300ms);
  const double rss_storm = ResidentMb();
  const std::size_t kept = form->ChatText().size();
  const int blocks = box->document()->blockCount();
  form->ClearClick();
  RunFor(300ms);
  const double rss_clear = ResidentMb();

  std::printf("frames %d, written in %.2f s (%ld retries while the mailslot was full)\n", frames, storm_seconds,
              storm.retries);
  std::printf("CPU time of the process during the storm %.2f s\n", cpu);
  std::printf("longest wait of a probe during the storm %.3f s\n", longest_wait);
  if (answer < 0)
    std::printf("the window never showed the last frame\n");
  else
    std::printf("window answers %.3f s after the last frame (target <= %.1f s)\n", answer, kTargetAnswerSeconds);
  std::printf("chat box keeps %zu bytes in %d lines\n", kept, blocks - 1);
  std::printf("resident memory %.1f MB before, %.1f MB after the storm (+%.1f MB, target <= %.0f MB), %.1f MB after "
              "Clear (+%.1f MB, target <= %.0f MB)\n",
              rss_before, rss_storm, rss_storm - rss_before, kTargetGrowthMb, rss_clear, rss_clear - rss_before,
              kTargetKeptAfterClearMb);
  form.reset();
  std::error_code ignored;
  std::filesystem::remove_all(home, ignored);
  if (answer < 0) return 1;
  if (smoke) return 0;
  const bool met = answer <= kTargetAnswerSeconds && rss_storm - rss_before <= kTargetGrowthMb &&
                   rss_clear - rss_before <= kTargetKeptAfterClearMb;
  std::printf(met ? "all targets met\n" : "a target was missed\n");
  return met ? 0 : 1;
}
