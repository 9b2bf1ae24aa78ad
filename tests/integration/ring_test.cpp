// The preferences' default sound "ring.wav" rings from a program started in a folder
// that does not hold it (as the desktop starts it, in the home folder): once at start
// and once when a message arrives. Heard through a private PulseAudio null sink.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace std::chrono_literals;
using hw::test::TChild;

class RingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"pulseaudio", "pactl", "parec", "sox"})
      if (!hw::test::Executable(tool)) GTEST_SKIP() << tool << " is not installed";
    bin_ = std::getenv("HALLWIRE_BIN_DIR");
    // A short folder: the server's socket path must stay under 108 bytes.
    char pattern[] = "/tmp/hw-ring-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    runtime_ = pattern;
    chmod(runtime_.c_str(), 0700);
    env_ = hw::test::Environment();
    env_.push_back("XDG_RUNTIME_DIR=" + runtime_);
    env_.push_back("PULSE_SERVER=unix:" + runtime_ + "/pulse/native");
    server_ = std::make_unique<TChild>(
        std::vector<std::string>{"pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--disable-shm",
                                 "--load=module-null-sink sink_name=nullsink", "--load=module-native-protocol-unix"},
        env_, dir_.File("server.out"), dir_.File("server.err"));
    for (int i = 0; i < 100; ++i) {
      if (hw::test::RunCommand({"pactl", "info"}, env_, dir_.Path()).code == 0) return;
      std::this_thread::sleep_for(100ms);
    }
    GTEST_SKIP() << "the sound server did not start: " << hw::test::ReadFile(dir_.File("server.err"));
  }

  void TearDown() override {
    server_.reset();
    std::error_code ec;
    if (!runtime_.empty()) std::filesystem::remove_all(runtime_, ec);
  }

  // Seconds of sound on the null sink while work runs (silence trimmed off both ends).
  double SecondsHeard(const std::string& name, const std::function<void()>& work) {
    const std::string file = dir_.File(name);
    TChild recorder({"parec", "--latency-msec=50", "-d", "nullsink.monitor", "--file-format=wav", file}, env_,
                    dir_.File(name + ".out"), dir_.File(name + ".err"));
    std::error_code ec;
    for (int i = 0; i < 250 && (!std::filesystem::exists(file, ec) || std::filesystem::file_size(file, ec) < 16000); ++i)
      std::this_thread::sleep_for(20ms);
    work();
    std::this_thread::sleep_for(2500ms);
    recorder.Stop();
    return hw::test::StatField(hw::test::SoundStat(file), "Length (seconds)");
  }

  std::string bin_, runtime_;
  std::vector<std::string> env_;
  std::unique_ptr<TChild> server_;
  hw::test::TempDir dir_;
};

TEST_F(RingTest, DefaultSoundRingsAtStartAndOnArrival) {
  // The file the preferences' OK writes with the dialog's defaults, except that the
  // arrival sound is not limited to a hidden window: without a tray the window is shown.
  const std::string config = std::string(std::getenv("XDG_CONFIG_HOME")) + "/hallwire";
  std::filesystem::create_directories(config);
  hw::test::WriteFile(config + "/Hwire.ini",
                      "[EntryWindow]\nForeground=clBlack\nBackground=clWhite\n[ChatWindow]\nForeground=clLime\n"
                      "Background=clBlack\n[SoundOptions]\nIconizedfile=ring.wav\nAllIncoming=ring.wav\n"
                      "PlaySound=True\nIconizedOnly=False\n[Notify]\nOpenWindow=False\n[Keyboard]\nUseEnter=False\n");
  const std::string home = dir_.File("home");
  std::filesystem::create_directories(home);
  std::unique_ptr<TChild> program;
  const double at_start = SecondsHeard("start.wav", [&] {
    program = std::make_unique<TChild>(
        std::vector<std::string>{"sh", "-c", "cd \"$1\" && exec \"$2\"", "sh", home, bin_ + "/hallwire"}, env_,
        dir_.File("hallwire.out"), dir_.File("hallwire.err"));
  });
  ASSERT_TRUE(program->Running()) << hw::test::ReadFile(dir_.File("hallwire.err"));
  const double on_arrival = SecondsHeard("arrival.wav", [&] {
    EXPECT_EQ(hw::test::RunCommand({bin_ + "/hallwire-send", "--local", "hello"}, env_, dir_.Path()).code, 0);
  });
  program.reset();
  // The chime lasts 0.75 s; the recorder may miss its first part.
  EXPECT_GE(at_start, 0.3) << hw::test::ReadFile(dir_.File("hallwire.err"));
  EXPECT_LE(at_start, 1.0);
  EXPECT_GE(on_arrival, 0.3) << hw::test::ReadFile(dir_.File("hallwire.err"));
  EXPECT_LE(on_arrival, 1.0);
}

}  // namespace
