// Message files: byte-for-byte saves that never leave a partial file in place,
// loads that normalise line ends and fail before anything is lost.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>

#include "app/MessageFile.h"
#include "platform/system/Exception.h"
#include "tests/support/TestSupport.h"

namespace hw {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.what();
  }
  return "<no error>";
}

TEST(LineEnds, EveryKindBecomesCarriageReturnLineFeed) {
  EXPECT_EQ(NormaliseLineEnds("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(NormaliseLineEnds("\n\n"), "\r\n\r\n");
  EXPECT_EQ(NormaliseLineEnds("\r\r\n"), "\r\n\r\n");
  EXPECT_EQ(NormaliseLineEnds("\n\r"), "\r\n\r\n");
  EXPECT_EQ(NormaliseLineEnds(""), "");
  EXPECT_EQ(NormaliseLineEnds("no break"), "no break");
}

TEST(SaveMessageFile, WritesTheTextByteForByteAndReplacesAnExistingFile) {
  TempDir dir;
  const std::string path = dir.File("chat.hwm");
  const std::string text = "\r\nOffice-pc2( anna ) Lunch at 12?\r\n\xE9t\xE9 \xA0\x01\r\n";
  SaveMessageFile(path, text);
  EXPECT_EQ(ReadFile(path), text);
  SaveMessageFile(path, "");
  EXPECT_EQ(ReadFile(path), "");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(SaveMessageFile, KeepsThePermissionsOfTheFileItReplaces) {
  TempDir dir;
  const std::string path = dir.File("shared.txt");
  WriteFile(path, "old");
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  SaveMessageFile(path, "new");
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  EXPECT_EQ(ReadFile(path), "new");
}

TEST(SaveMessageFile, ReportsFilesThatCannotBeCreatedAndWritesNothing) {
  TempDir dir;
  const std::string missing = dir.File("no-such-folder/chat.hwm");
  EXPECT_EQ(ErrorOf([&] { SaveMessageFile(missing, "x"); }), "Cannot create file " + missing);
  const std::string folder = dir.File("folder.hwm");
  std::filesystem::create_directory(folder);
  EXPECT_EQ(ErrorOf([&] { SaveMessageFile(folder, "x"); }), "Cannot create file " + folder);

  if (geteuid() == 0) GTEST_SKIP() << "root may write read-only files and folders";
  const std::string locked = dir.File("locked.hwm");
  WriteFile(locked, "keep me");
  chmod(locked.c_str(), 0444);
  EXPECT_EQ(ErrorOf([&] { SaveMessageFile(locked, "x"); }), "Cannot create file " + locked);
  EXPECT_EQ(ReadFile(locked), "keep me");
}

TEST(SaveMessageFile, AFailedWriteLeavesTheOldFileWhole) {
  // A file-size limit makes the write fail part-way, as a full disk does.
  TempDir dir;
  const std::string path = dir.File("chat.hwm");
  WriteFile(path, "the good old file");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit {
      8, 8
    };
    setrlimit(RLIMIT_FSIZE, &limit);
    int code = 3;
    try {
      SaveMessageFile(path, std::string(1000, 'x'));
      code = 1;
    } catch (const Exception& e) {
      code = std::string(e.what()) == "Stream write error" ? 0 : 2;
    }
    _exit(code);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadFile(path), "the good old file");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(LoadMessageFile, NormalisesLineEndsAndStopsAtAZeroByte) {
  TempDir dir;
  const std::string path = dir.File("unix.txt");
  WriteFile(path, "one\ntwo\rthree\r\nfour\n");
  EXPECT_EQ(LoadMessageFile(path), "one\r\ntwo\r\nthree\r\nfour\r\n");
  WriteFile(path, std::string("before\0after", 12));
  EXPECT_EQ(LoadMessageFile(path), "before");
  WriteFile(path, "");
  EXPECT_EQ(LoadMessageFile(path), "");
}

TEST(LoadMessageFile, ReportsMissingFilesAndTextsBeyondTheCapacity) {
  TempDir dir;
  const std::string missing = dir.File("missing.hwm");
  EXPECT_EQ(ErrorOf([&] { LoadMessageFile(missing); }), "Cannot open file " + missing);
  EXPECT_EQ(ErrorOf([&] { LoadMessageFile(dir.Path()); }), "Cannot open file " + dir.Path());

  const std::string path = dir.File("big.txt");
  WriteFile(path, std::string(100, 'a'));
  EXPECT_EQ(LoadMessageFile(path, 100).size(), 100u);
  EXPECT_EQ(ErrorOf([&] { LoadMessageFile(path, 99); }), "Text exceeds memo capacity");
  // Line ends that grow when normalised count at their new length.
  WriteFile(path, std::string(60, '\n'));
  EXPECT_EQ(ErrorOf([&] { LoadMessageFile(path, 100); }), "Text exceeds memo capacity");
  // So do lines beyond the most the box holds.
  WriteFile(path, "a\nb\nc");
  EXPECT_EQ(LoadMessageFile(path, 100, 3), "a\r\nb\r\nc");
  EXPECT_EQ(ErrorOf([&] { LoadMessageFile(path, 100, 2); }), "Text exceeds memo capacity");
  // The capacity of the program's chat box.
  WriteFile(path, std::string(kChatCapacity + 1, 'a'));
  EXPECT_EQ(ErrorOf([&] { LoadMessageFile(path); }), "Text exceeds memo capacity");
}

}  // namespace
}  // namespace hw
