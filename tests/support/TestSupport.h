// Helpers shared by the test executables.
#pragma once

#include <string>

namespace hw::test {

// True in a build with a sanitizer that slows every instruction several times: timing
// targets are measured there but only a release-like build is held to them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kSanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kSanitizedBuild = true;
#else
inline constexpr bool kSanitizedBuild = false;
#endif
#else
inline constexpr bool kSanitizedBuild = false;
#endif

// A fresh empty folder under the test's private home, removed by the destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);

// sox's statistics of a recorded wave file, silence trimmed off both ends.
std::string SoundStat(const std::string& wave_file);
// One numeric field of those statistics ("Length (seconds)"), or -1 when missing.
double StatField(const std::string& stat, const std::string& field);

// Keeps a test executable started by hand (not through CTest, which sets it) on
// loopback: without HALLWIRE_INTERFACES the carrier would use every interface.
// A value already set, such as a namespace host's interface, is left alone.
void ConfineToLoopback();

// Maps the gtest result so that a run whose every case was skipped exits 77,
// which CTest reports as skipped instead of passed.
int FinishRun(int gtest_result);

}  // namespace hw::test
