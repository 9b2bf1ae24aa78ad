// The wave player heard through a real sound server: a private PulseAudio daemon with a
// null sink, recorded with parec and measured with sox. Skipped where those tools are
// missing.
#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "desktop/MediaPlayer.h"
#include "tests/desktop/mediaplayer_wave.h"
#include "tests/support/TestSupport.h"

extern char** environ;

namespace {

bool OnPath(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Starts a program with its output going to logFile; returns its pid or -1.
pid_t Spawn(const std::vector<std::string>& args, const std::string& logFile) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void Stop(pid_t pid, int signal) {
  if (pid <= 0) return;
  kill(pid, signal);
  int status = 0;
  waitpid(pid, &status, 0);
}

using hw::test::StatField;

void Pump(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
}

class MediaPlayerOutputTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char* tool : {"pulseaudio", "pactl", "parec", "sox"}) {
      if (!OnPath(tool)) {
        skip_reason_ = std::string(tool) + " is not installed";
        return;
      }
    }
    // A short folder of our own: the server's socket path must stay under 108 bytes.
    char pattern[] = "/tmp/hw-pulse-XXXXXX";
    if (!mkdtemp(pattern)) {
      skip_reason_ = "no runtime folder";
      return;
    }
    runtime_ = pattern;
    chmod(runtime_.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    setenv("PULSE_SERVER", ("unix:" + runtime_ + "/pulse/native").c_str(), 1);
    server_ = Spawn({"pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--disable-shm",
                     "--load=module-null-sink sink_name=nullsink", "--load=module-native-protocol-unix"},
                    runtime_ + "/server.log");
    for (int i = 0; i < 100; ++i) {
      if (std::system("pactl info >/dev/null 2>&1") == 0) return;
      usleep(100000);
    }
    skip_reason_ = "the sound server did not start: " + hw::test::ReadFile(runtime_ + "/server.log");
  }

  static void TearDownTestSuite() {
    Stop(server_, SIGTERM);
    server_ = -1;
    if (!runtime_.empty()) {
      std::error_code ec;
      std::filesystem::remove_all(runtime_, ec);
    }
  }

  void SetUp() override {
    if (!skip_reason_.empty()) GTEST_SKIP() << skip_reason_;
  }

  // Records the null sink while work runs; returns sox's statistics of the recording
  // with the silence before and after the sound trimmed off.
  std::string Record(const std::function<void()>& work) {
    std::string file = dir_.File("rec.wav");
    pid_t recorder = Spawn({"parec", "--latency-msec=50", "-d", "nullsink.monitor", "--file-format=wav", file},
                           dir_.File("parec.log"));
    EXPECT_GT(recorder, 0);
    // Wait until the recorder delivers (the monitor carries silence while nothing plays).
    QElapsedTimer timer;
    timer.start();
    std::error_code ec;
    while (timer.elapsed() < 5000 && (!std::filesystem::exists(file, ec) || std::filesystem::file_size(file, ec) < 16000))
      Pump(20);
    Pump(200);
    work();
    Pump(800);
    Stop(recorder, SIGINT);
    return hw::test::SoundStat(file);
  }

  std::string Tone(const std::string& name, double seconds, double frequency) {
    std::string path = dir_.File(name);
    hw::test::WriteFile(path, hw::test::MakeWave(seconds, frequency, 0.5));
    return path;
  }

  static std::string skip_reason_;
  static std::string runtime_;
  static pid_t server_;
  hw::test::TempDir dir_;
};

std::string MediaPlayerOutputTest::skip_reason_;
std::string MediaPlayerOutputTest::runtime_;
pid_t MediaPlayerOutputTest::server_ = -1;

TEST_F(MediaPlayerOutputTest, ToneIsHeardForItsLength) {
  hw::TMediaPlayer player;
  bool done = false;
  player.SetOnNotify([&](hw::TMediaPlayer&) { done = true; });
  std::string stat = Record([&] {
    player.SetFileName(Tone("tone.wav", 1.5, 440));
    player.Open();
    player.Play();
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < 10000) Pump(20);
  });
  EXPECT_TRUE(done);
  EXPECT_EQ(player.NotifyValue(), hw::nvSuccessful);
  double seconds = StatField(stat, "Length (seconds)");
  EXPECT_GE(seconds, 1.0) << stat;
  EXPECT_LE(seconds, 1.8) << stat;
  EXPECT_GT(StatField(stat, "Maximum amplitude"), 0.3) << stat;
}

TEST_F(MediaPlayerOutputTest, SecondOpenCutsOffTheFirstTone) {
  hw::TMediaPlayer player;
  std::vector<hw::TMPNotifyValues> notices;
  player.SetOnNotify([&](hw::TMediaPlayer& p) { notices.push_back(p.NotifyValue()); });
  std::string first = Tone("first.wav", 1.5, 440);
  std::string second = Tone("second.wav", 1.5, 660);
  std::string stat = Record([&] {
    player.SetFileName(first);
    player.Open();
    player.Play();
    Pump(700);
    player.SetFileName(second);
    player.Open();
    player.Play();
    QElapsedTimer timer;
    timer.start();
    while (notices.size() < 2 && timer.elapsed() < 10000) Pump(20);
  });
  EXPECT_EQ(notices, (std::vector<hw::TMPNotifyValues>{hw::nvAborted, hw::nvSuccessful}));
  // 0.7 s of the first tone, then the whole second one: about 2.2 s of sound.
  double seconds = StatField(stat, "Length (seconds)");
  EXPECT_GE(seconds, 1.8) << stat;
  EXPECT_LE(seconds, 2.7) << stat;
  // Had the first tone gone on under the second, the two would add up to about 1.0.
  double peak = StatField(stat, "Maximum amplitude");
  EXPECT_GT(peak, 0.3) << stat;
  EXPECT_LT(peak, 0.75) << stat;
}

}  // namespace
