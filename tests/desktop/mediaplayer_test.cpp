// The wave player without an audio server: open errors and their texts, asynchronous
// play with completion notices, rewinding, and the cut-off of a sound by the next Open.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "desktop/MediaPlayer.h"
#include "platform/system/Winmm.h"
#include "tests/desktop/mediaplayer_wave.h"
#include "tests/support/TestSupport.h"

namespace {

using hw::TMediaPlayer;
using hw::test::MakeWave;

const char kNotFound[] = "Cannot find the specified file. Make sure the path and filename are correct.";
const char kInvalid[] =
    "The specified file cannot be played on the specified MCI device. The file may be corrupt, or not in the correct "
    "format.";
const char kUnreadable[] =
    "Cannot read the specified file. Make sure the file is still present, or check your disk or network connection.";

bool WaitFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

void Pump(int ms) { WaitFor([] { return false; }, ms); }

// Opens the player's file and returns the error text, "" when the open succeeded.
std::string OpenError(TMediaPlayer& player, const std::string& file) {
  player.SetFileName(file);
  try {
    player.Open();
  } catch (const hw::EMCIDeviceError& e) {
    return e.what();
  }
  return "";
}

class MediaPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    player_.SetOnNotify([this](TMediaPlayer& p) { notices_.push_back(p.NotifyValue()); });
  }
  std::string Wave(const std::string& name, double seconds, double frequency = 440) {
    std::string path = dir_.File(name);
    hw::test::WriteFile(path, MakeWave(seconds, frequency));
    return path;
  }

  hw::test::TempDir dir_;
  TMediaPlayer player_;
  std::vector<hw::TMPNotifyValues> notices_;
};

TEST_F(MediaPlayerTest, OpenRejectsWhatItCannotPlayWithTheMediaSystemsText) {
  std::string wave = MakeWave(0.1);
  std::string adpcm = wave;
  adpcm[20] = 2;  // format tag 2: MS ADPCM, not decoded
  std::string riff_avi = wave;
  riff_avi.replace(8, 4, "AVI ");
  std::string no_data = wave.substr(0, 36);
  hw::test::WriteFile(dir_.File("notes.wav"), "just some text, not a wave file\n");
  hw::test::WriteFile(dir_.File("adpcm.wav"), adpcm);
  hw::test::WriteFile(dir_.File("video.wav"), riff_avi);
  hw::test::WriteFile(dir_.File("nodata.wav"), no_data);
  hw::test::WriteFile(dir_.File("cut.wav"), wave.substr(0, 30));
  hw::test::WriteFile(dir_.File("empty.wav"), "");
  mkdir(dir_.File("folder.wav").c_str(), 0755);

  struct Case {
    std::string file;
    const char* text;
    hw::win32::DWORD code;
  } cases[] = {
      {dir_.File("missing.wav"), kNotFound, hw::win32::MCIERR_FILE_NOT_FOUND},
      {dir_.File("no/such/folder/x.wav"), kNotFound, hw::win32::MCIERR_FILE_NOT_FOUND},
      {dir_.File("folder.wav"), kNotFound, hw::win32::MCIERR_FILE_NOT_FOUND},
      {dir_.File("notes.wav"), kInvalid, hw::win32::MCIERR_INVALID_FILE},
      {dir_.File("adpcm.wav"), kInvalid, hw::win32::MCIERR_INVALID_FILE},
      {dir_.File("video.wav"), kInvalid, hw::win32::MCIERR_INVALID_FILE},
      {dir_.File("nodata.wav"), kInvalid, hw::win32::MCIERR_INVALID_FILE},
      {dir_.File("cut.wav"), kInvalid, hw::win32::MCIERR_INVALID_FILE},
      {dir_.File("empty.wav"), kInvalid, hw::win32::MCIERR_INVALID_FILE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(OpenError(player_, c.file), c.text);
    EXPECT_EQ(player_.Error(), c.code);
    EXPECT_EQ(player_.ErrorMessage(), c.text);
    EXPECT_FALSE(player_.IsOpen());
    EXPECT_EQ(player_.DeviceID(), 0);
  }
}

TEST_F(MediaPlayerTest, UnreadableFileIsReportedAsUnreadable) {
  std::string path = Wave("secret.wav", 0.1);
  chmod(path.c_str(), 0);
  if (geteuid() != 0) {
    EXPECT_EQ(OpenError(player_, path), kUnreadable);
    return;
  }
  // Root reads every file: check in a child that runs as nobody.
  struct passwd* nobody = getpwnam("nobody");
  if (!nobody) GTEST_SKIP() << "no user nobody to drop to";
  chmod(dir_.Path().c_str(), 0755);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0) _exit(3);
    TMediaPlayer probe;
    _exit(OpenError(probe, path) == kUnreadable && probe.Error() == hw::win32::MCIERR_FILE_READ ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(MediaPlayerTest, PlayNeedsAnOpenDevice) {
  try {
    player_.Play();
    FAIL() << "Play without Open did not raise";
  } catch (const hw::EMCIDeviceError& e) {
    EXPECT_STREQ(e.what(), "No MCI device open");
  }
  // A failed Open closes the device that was open before it: Play raises again.
  player_.SetFileName(Wave("a.wav", 0.2));
  player_.Open();
  EXPECT_TRUE(player_.IsOpen());
  EXPECT_EQ(OpenError(player_, dir_.File("gone.wav")), kNotFound);
  EXPECT_FALSE(player_.IsOpen());
  EXPECT_THROW(player_.Play(), hw::EMCIDeviceError);
}

TEST_F(MediaPlayerTest, PlaysInTheBackgroundToTheEndAndRewindsForTheNextPlay) {
  player_.SetFileName(Wave("tone.wav", 0.4));
  player_.Open();
  EXPECT_EQ(player_.Length(), 400u);
  EXPECT_EQ(player_.Mode(), hw::mpStopped);
  QElapsedTimer timer;
  timer.start();
  player_.Play();
  EXPECT_LT(timer.elapsed(), 300) << "Play waited for the sound";
  EXPECT_EQ(player_.Mode(), hw::mpPlaying);
  ASSERT_TRUE(WaitFor([&] { return !notices_.empty(); }, 10000)) << "no completion notice";
  EXPECT_EQ(notices_, std::vector<hw::TMPNotifyValues>{hw::nvSuccessful});
  EXPECT_GE(timer.elapsed(), 300);
  EXPECT_EQ(player_.Position(), player_.Length());
  EXPECT_TRUE(player_.IsOpen()) << "the device stays open after the sound";
  EXPECT_EQ(player_.Error(), 0u);

  // At the end, Play starts again from the beginning and plays the whole sound.
  timer.restart();
  player_.Play();
  ASSERT_TRUE(WaitFor([&] { return notices_.size() == 2; }, 10000));
  EXPECT_EQ(notices_.back(), hw::nvSuccessful);
  EXPECT_GE(timer.elapsed(), 300);
}

TEST_F(MediaPlayerTest, SecondSoundCutsOffTheFirstAndStartsFromItsBeginning) {
  std::string first = Wave("first.wav", 1.5);
  std::string second = Wave("second.wav", 0.3, 880);
  player_.SetFileName(first);
  player_.Open();
  QElapsedTimer timer;
  timer.start();
  player_.Play();
  Pump(300);
  hw::win32::WORD first_id = player_.DeviceID();
  player_.SetFileName(second);
  player_.Open();
  EXPECT_NE(player_.DeviceID(), first_id);
  EXPECT_EQ(player_.Length(), 300u);
  player_.Play();
  ASSERT_TRUE(WaitFor([&] { return notices_.size() == 2; }, 10000));
  EXPECT_EQ(notices_, (std::vector<hw::TMPNotifyValues>{hw::nvAborted, hw::nvSuccessful}));
  EXPECT_LT(timer.elapsed(), 1400) << "the second sound waited for the first";
  Pump(1500);
  EXPECT_EQ(notices_.size(), 2u) << "the cut-off sound still reported its end";
}

TEST_F(MediaPlayerTest, SameFileAgainRestartsFromTheBeginning) {
  player_.SetFileName(Wave("ping.wav", 1.0));
  player_.Open();
  QElapsedTimer timer;
  timer.start();
  player_.Play();
  Pump(400);
  player_.Open();
  player_.Play();
  ASSERT_TRUE(WaitFor([&] { return notices_.size() == 2; }, 10000));
  EXPECT_EQ(notices_, (std::vector<hw::TMPNotifyValues>{hw::nvAborted, hw::nvSuccessful}));
  // Played from the start again: a whole second after the second Play.
  EXPECT_GE(timer.elapsed(), 1300);
}

TEST_F(MediaPlayerTest, EmptyFileNameOpensAnEmptyRecordingThatPlaysNothing) {
  EXPECT_EQ(OpenError(player_, ""), "");
  EXPECT_TRUE(player_.IsOpen());
  EXPECT_EQ(player_.Length(), 0u);
  player_.Play();
  ASSERT_TRUE(WaitFor([&] { return !notices_.empty(); }, 2000));
  EXPECT_EQ(notices_.front(), hw::nvSuccessful);
}

TEST_F(MediaPlayerTest, PlaysEveryWaveFormatItAccepts) {
  struct Format {
    const char* name;
    std::uint16_t tag, bits, channels;
  } formats[] = {{"pcm8", 1, 8, 1},     {"pcm16 stereo", 1, 16, 2}, {"pcm24", 1, 24, 1}, {"float", 3, 32, 1},
                 {"a-law", 6, 8, 1},    {"mu-law", 7, 8, 1},        {"extensible", 0xFFFE, 16, 2}};
  for (const auto& f : formats) {
    SCOPED_TRACE(f.name);
    notices_.clear();
    std::string path = dir_.File(std::string(f.name) + ".wav");
    hw::test::WriteFile(path, MakeWave(0.2, 440, 0.5, f.tag, f.bits, f.channels));
    ASSERT_EQ(OpenError(player_, path), "");
    EXPECT_EQ(player_.Length(), 200u);
    player_.Play();
    ASSERT_TRUE(WaitFor([&] { return !notices_.empty(); }, 10000));
    EXPECT_EQ(notices_.front(), hw::nvSuccessful) << "error " << player_.Error();
  }
}

TEST_F(MediaPlayerTest, DestroyedWhilePlayingEndsQuietly) {
  int notices = 0;
  {
    TMediaPlayer player;
    player.SetOnNotify([&](TMediaPlayer&) { ++notices; });
    player.SetFileName(Wave("long.wav", 2.0));
    player.Open();
    player.Play();
    Pump(200);
  }
  Pump(300);
  EXPECT_EQ(notices, 0);
}

// A relative name is looked up from the working folder first, then in the data folder;
// a name found in neither stays as typed, so the error names what the user wrote.
TEST(SoundPath, RelativeNamesFallBackToTheDataFolder) {
  hw::test::TempDir dir;
  const std::string work = dir.File("work"), data = dir.File("data") + "/";
  mkdir(work.c_str(), 0755);
  mkdir(data.c_str(), 0755);
  hw::test::WriteFile(work + "/here.wav", "");
  hw::test::WriteFile(data + "here.wav", "");
  hw::test::WriteFile(data + "ring.wav", "");
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(work.c_str()), 0);
  const struct {
    std::string name, expected;
  } cases[] = {
      {"", ""},
      {"here.wav", "here.wav"},
      {"ring.wav", data + "ring.wav"},
      {"missing.wav", "missing.wav"},
      {work + "/ring.wav", work + "/ring.wav"},
  };
  for (const auto& c : cases) EXPECT_EQ(hw::ResolveSoundPath(c.name, data), c.expected) << c.name;
  ASSERT_EQ(chdir(previous), 0);
}

}  // namespace
