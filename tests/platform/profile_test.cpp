// Profile file reads and writes: matching, value clean-up, in-place edits, and what a
// refused, interrupted or concurrent write leaves behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/store/IniFile.h"
#include "platform/store/Profile.h"
#include "platform/system/Kernel32.h"
#include "tests/support/TestSupport.h"

using namespace hw::win32;
using hw::test::ReadFile;
using hw::test::TempDir;
using hw::test::WriteFile;

namespace {

std::string Get(const std::string& file, const char* section, const char* key, const char* def = "<def>",
                DWORD size = 2048) {
  std::vector<char> buf(size + 1, 'X');
  DWORD n = GetPrivateProfileStringA(section, key, def, buf.data(), size, file.c_str());
  EXPECT_EQ(buf[n], '\0');
  return std::string(buf.data(), n);
}

BOOL Put(const std::string& file, const char* section, const char* key, const char* value) {
  return WritePrivateProfileStringA(section, key, value, file.c_str());
}

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
  return names;
}

// Runs `body` in a child process and returns its wait status.
int InChild(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

const char kHandWritten[] =
    "; settings kept by hand\r\n"
    "\r\n"
    "[Other]\r\n"
    "  Foreground   =   clRed   \r\n"
    "odd line without equals\r\n"
    "\r\n"
    "  [ EntryWindow ]  \r\n"
    "Foreground=$00FFFFFF\r\n"
    "\tBackground =  clYellow\r\n"
    "; a comment that leads into the next section\r\n"
    "\r\n"
    "[EntryWindow]\r\n"
    "Later=ignored duplicate section\r\n"
    "[Unknown Section]\r\n"
    "x=1\r\n"
    "last line without break=yes";

}  // namespace

// --- reading -----------------------------------------------------------------------

TEST(ProfileRead, NamesMatchWithoutRegardToCaseAndBlanks) {
  TempDir dir;
  const std::string f = dir.File("a.ini");
  WriteFile(f, kHandWritten);
  EXPECT_EQ(Get(f, "entrywindow", "FOREGROUND"), "$00FFFFFF");
  EXPECT_EQ(Get(f, "ENTRYWINDOW", "background"), "clYellow");
  EXPECT_EQ(Get(f, "other", "foreground"), "clRed");
  EXPECT_EQ(Get(f, "unknown section", "X"), "1");
  EXPECT_EQ(Get(f, "Unknown Section", "last line without break"), "yes");
  // The first of two sections with one name is the one used.
  EXPECT_EQ(Get(f, "EntryWindow", "Later"), "<def>");
  // Comments and lines without "=" are not keys.
  EXPECT_EQ(Get(f, "Other", "odd line without equals"), "<def>");
  EXPECT_EQ(Get(f, "(none)", "; settings kept by hand"), "<def>");
}

TEST(ProfileRead, MissingFileSectionOrKeyGiveTheDefault) {
  TempDir dir;
  const std::string f = dir.File("a.ini");
  EXPECT_EQ(Get(f, "EntryWindow", "Foreground", "Error"), "Error");
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Get(f, "EntryWindow", "Foreground", nullptr), "");
  WriteFile(f, "[S]\nk=v\n");
  EXPECT_EQ(Get(f, "T", "k", "d1"), "d1");
  EXPECT_EQ(Get(f, "S", "k2", "d2"), "d2");
  EXPECT_EQ(Get(f, "S", "k", "d3"), "v");
  // An empty stored value is a value, not a missing key.
  WriteFile(f, "[S]\nk=\n");
  EXPECT_EQ(Get(f, "S", "k", "d"), "");
  // A folder where the file should be reads as no file.
  std::filesystem::create_directory(dir.File("sub.ini"));
  EXPECT_EQ(Get(dir.File("sub.ini"), "S", "k", "d"), "d");
}

TEST(ProfileRead, BlanksAndOnePairOfEnclosingQuotesAreRemoved) {
  TempDir dir;
  const std::string f = dir.File("q.ini");
  WriteFile(f,
            "[S]\n"
            "double=  \"C:\\My Sounds\\ring one.wav\"  \n"
            "single='a b'\n"
            "nested=\"'x'\"\n"
            "twice=\"\"x\"\"\n"
            "inside= \" a \" \n"
            "mismatched=\"abc'\n"
            "open=\"abc\n"
            "lone=\"\n"
            "empty=\"\"\n"
            "middle=a \"b\" c\n"
            "tabs=\t v \t\n");
  EXPECT_EQ(Get(f, "S", "double"), "C:\\My Sounds\\ring one.wav");
  EXPECT_EQ(Get(f, "S", "single"), "a b");
  EXPECT_EQ(Get(f, "S", "nested"), "'x'");
  EXPECT_EQ(Get(f, "S", "twice"), "\"x\"");
  EXPECT_EQ(Get(f, "S", "inside"), " a ");
  EXPECT_EQ(Get(f, "S", "mismatched"), "\"abc'");
  EXPECT_EQ(Get(f, "S", "open"), "\"abc");
  EXPECT_EQ(Get(f, "S", "lone"), "\"");
  EXPECT_EQ(Get(f, "S", "empty"), "");
  EXPECT_EQ(Get(f, "S", "middle"), "a \"b\" c");
  EXPECT_EQ(Get(f, "S", "tabs"), "v");
}

TEST(ProfileRead, LongValuesAreCutToTheBuffer) {
  TempDir dir;
  const std::string f = dir.File("long.ini");
  std::string value(5000, 'v');
  value[2046] = 'L';
  value[2047] = 'C';
  WriteFile(f, "[S]\nk=" + value + "\n");
  std::string got = Get(f, "S", "k");
  ASSERT_EQ(got.size(), 2047u);
  EXPECT_EQ(got.back(), 'L');
  EXPECT_EQ(GetLastError(), ERROR_MORE_DATA);
  EXPECT_EQ(Get(f, "S", "k", "", 4), "vvv");
  EXPECT_EQ(Get(f, "S", "k", "", 1), "");
  // A long default is cut the same way.
  EXPECT_EQ(Get(f, "S", "missing", "abcdef", 4), "abc");
  // A quoted value is cut after its quotes are removed.
  WriteFile(f, "[S]\nk=\"" + std::string(3000, 'q') + "\"\n");
  EXPECT_EQ(Get(f, "S", "k"), std::string(2047, 'q'));
}

TEST(ProfileRead, NullNamesListSectionsAndKeys) {
  TempDir dir;
  const std::string f = dir.File("l.ini");
  WriteFile(f, "[One]\na=1\nB=2\n;c=3\nA=4\n[two]\n[ONE]\nz=9\n");
  char buf[64];
  DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "d", buf, sizeof buf, f.c_str());
  EXPECT_EQ(std::string(buf, n + 1), std::string("One\0two\0\0", 9));
  n = GetPrivateProfileStringA("one", nullptr, "d", buf, sizeof buf, f.c_str());
  EXPECT_EQ(std::string(buf, n + 1), std::string("a\0B\0\0", 5));
  n = GetPrivateProfileStringA("missing", nullptr, "d", buf, sizeof buf, f.c_str());
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(buf[0], '\0');
  EXPECT_EQ(buf[1], '\0');
  // A list that does not fit ends in two zeros and counts size - 2.
  n = GetPrivateProfileStringA(nullptr, nullptr, "d", buf, 6, f.c_str());
  EXPECT_EQ(n, 4u);
  EXPECT_EQ(std::string(buf, 6), std::string("One\0\0\0", 6));
}

TEST(ProfileRead, BareFileNamesLiveInThePerUserFolder) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  std::string saved_xdg = saved ? saved : "";
  TempDir dir;
  setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
  EXPECT_EQ(hw::ProfileFolder(), dir.Path() + "/hallwire/");
  EXPECT_EQ(hw::ResolveProfilePath("hwire.ini"), dir.Path() + "/hallwire/hwire.ini");
  EXPECT_EQ(hw::ResolveProfilePath("./hwire.ini"), "./hwire.ini");
  // The folder is made on the first write.
  ASSERT_TRUE(Put("hwire.ini", "MainForm", "Flags", "0"));
  EXPECT_EQ(ReadFile(dir.Path() + "/hallwire/hwire.ini"), "[MainForm]\nFlags=0\n");
  EXPECT_EQ(Get("hwire.ini", "mainform", "flags"), "0");
  // A relative XDG_CONFIG_HOME is ignored; HOME/.config is used instead.
  setenv("XDG_CONFIG_HOME", "relative/path", 1);
  std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", dir.Path().c_str(), 1);
  EXPECT_EQ(hw::ProfileFolder(), dir.Path() + "/.config/hallwire/");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(hw::ProfileFolder(), dir.Path() + "/.config/hallwire/");
  setenv("HOME", home.c_str(), 1);
  if (saved) setenv("XDG_CONFIG_HOME", saved_xdg.c_str(), 1);
}

// --- writing -------------------------------------------------------------------------

TEST(ProfileWrite, CreatesFileAndSectionsAndReplacesValues) {
  TempDir dir;
  const std::string f = dir.File("w.ini");
  ASSERT_TRUE(Put(f, "EntryWindow", "Foreground", "clWhite"));
  ASSERT_TRUE(Put(f, "EntryWindow", "Background", "clYellow"));
  ASSERT_TRUE(Put(f, "SoundOptions", "Iconizedfile", "\"a b.wav\""));
  ASSERT_TRUE(Put(f, "entrywindow", "FOREGROUND", "clBlack"));
  ASSERT_TRUE(Put(f, "SOUNDOPTIONS", "IconizedFile", "ring.wav"));
  EXPECT_EQ(ReadFile(f),
            "[EntryWindow]\nForeground=clBlack\nBackground=clYellow\n\n"
            "[SoundOptions]\nIconizedfile=ring.wav\n");
  // Writing a value that is already stored leaves the file alone.
  struct stat before, after;
  ASSERT_EQ(stat(f.c_str(), &before), 0);
  ASSERT_TRUE(Put(f, "EntryWindow", "Background", "clYellow"));
  ASSERT_EQ(stat(f.c_str(), &after), 0);
  EXPECT_EQ(before.st_ino, after.st_ino);
  // The commit call succeeds and changes nothing.
  EXPECT_TRUE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, f.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, dir.File("none.ini").c_str()));
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.ini")));
}

TEST(ProfileWrite, HandWrittenFileKeepsEveryOtherByte) {
  TempDir dir;
  const std::string f = dir.File("hand.ini");
  WriteFile(f, kHandWritten);
  const std::string original = kHandWritten;

  // Replacing a value keeps the line's spacing, its line break and every other line.
  ASSERT_TRUE(Put(f, "ENTRYWINDOW", "background", "clLime"));
  std::string expected = original;
  expected.replace(expected.find("clYellow"), 8, "clLime");
  EXPECT_EQ(ReadFile(f), expected);

  // A new key goes after the section's last key, before its trailing comment.
  ASSERT_TRUE(Put(f, "EntryWindow", "UseEnter", "True"));
  std::string anchor = "\tBackground =  clLime\r\n";
  expected.insert(expected.find(anchor) + anchor.size(), "UseEnter=True\r\n");
  EXPECT_EQ(ReadFile(f), expected);

  // A new section is appended with the file's own line breaks.
  ASSERT_TRUE(Put(f, "Keyboard", "UseEnter", "False"));
  expected += "\r\n\r\n[Keyboard]\r\nUseEnter=False\r\n";
  EXPECT_EQ(ReadFile(f), expected);

  // A key added to the last section of a file without a final break.
  WriteFile(f, "[A]\nk=1");
  ASSERT_TRUE(Put(f, "A", "j", "2"));
  EXPECT_EQ(ReadFile(f), "[A]\nk=1\nj=2");
  ASSERT_TRUE(Put(f, "B", "x", "3"));
  EXPECT_EQ(ReadFile(f), "[A]\nk=1\nj=2\n\n[B]\nx=3\n");
  // An empty value is written and replaced like any other.
  ASSERT_TRUE(Put(f, "A", "k", ""));
  ASSERT_TRUE(Put(f, "A", "k", "back"));
  EXPECT_EQ(Get(f, "A", "k"), "back");
}

// CR LF, LF and a lone CR are line ends alike, with or without one at the end; lines
// a write adds take the file's first line end, and no other value changes.
TEST(ProfileWrite, EveryLineEndReadsAndWritesAlike) {
  struct Row {
    const char* name;
    std::string eol;
    std::string last;  // what ends the file
  };
  const std::vector<Row> rows = {{"LF", "\n", "\n"},       {"CR LF", "\r\n", "\r\n"}, {"CR", "\r", "\r"},
                                 {"LF, none at end", "\n", ""}, {"CR, none at end", "\r", ""},
                                 {"CR LF, lone CR at end", "\r\n", "\r"}};
  TempDir dir;
  const std::string f = dir.File("eol.ini");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string e = row.eol;
    WriteFile(f, "[S]" + e + "a=1" + e + "b=2" + e + "[T]" + e + "c=3" + row.last);
    EXPECT_EQ(Get(f, "S", "a") + Get(f, "S", "b") + Get(f, "T", "c"), "123");
    ASSERT_TRUE(Put(f, "T", "d", "4"));
    ASSERT_TRUE(Put(f, "S", "b", "5"));
    ASSERT_TRUE(Put(f, "U", "e", "6"));
    EXPECT_EQ(Get(f, "S", "a") + Get(f, "S", "b") + Get(f, "T", "c") + Get(f, "T", "d") + Get(f, "U", "e"), "15346");
    const std::string end = row.last.empty() ? e : row.last;
    EXPECT_EQ(ReadFile(f), "[S]" + e + "a=1" + e + "b=5" + e + "[T]" + e + "c=3" + end + "d=4" + e + e + "[U]" + e +
                               "e=6" + e);
  }
}

// Only a regular file the user may write is replaced; anything else under the name is
// refused at once (a FIFO never stalls the caller) and stays as it was.
TEST(ProfileFailure, OnlyWritableRegularFilesAreReplaced) {
  struct Row {
    const char* name;
    std::function<bool(const std::string&)> make;
  };
  const std::vector<Row> rows = {
      {"read-only file",
       [](const std::string& f) {
         WriteFile(f, "[S]\nk=old\n");
         return chmod(f.c_str(), 0444) == 0;
       }},
      {"FIFO", [](const std::string& f) { return mkfifo(f.c_str(), 0644) == 0; }},
      {"folder", [](const std::string& f) { return mkdir(f.c_str(), 0755) == 0; }},
      {"device", [](const std::string& f) { return mknod(f.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    const std::string f = dir.File("Hwire.ini");
    if (!row.make(f)) continue;  // no device nodes without privilege
    struct stat before, after;
    ASSERT_EQ(lstat(f.c_str(), &before), 0);
    EXPECT_EQ(Get(f, "S", "k"), S_ISREG(before.st_mode) ? "old" : "<def>");
    SetLastError(0);
    EXPECT_FALSE(Put(f, "S", "k", "new"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_THROW(hw::TIniFile(f).WriteString("S", "k", "new"), hw::EIniFileException);
    EXPECT_TRUE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, f.c_str()));
    ASSERT_EQ(lstat(f.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"Hwire.ini"});
  }
}

TEST(ProfileWrite, NullValueDeletesKeyAndNullKeyDeletesSection) {
  TempDir dir;
  const std::string f = dir.File("d.ini");
  WriteFile(f, "; top\n[A]\nk=1\nj=2\n\n[B]\nx=3\n[C]\ny=4\n");
  ASSERT_TRUE(Put(f, "a", "K", nullptr));
  EXPECT_EQ(ReadFile(f), "; top\n[A]\nj=2\n\n[B]\nx=3\n[C]\ny=4\n");
  ASSERT_TRUE(Put(f, "b", nullptr, nullptr));
  EXPECT_EQ(ReadFile(f), "; top\n[A]\nj=2\n\n[C]\ny=4\n");
  ASSERT_TRUE(Put(f, "missing", nullptr, nullptr));
  ASSERT_TRUE(Put(f, "A", "missing", nullptr));
  EXPECT_EQ(ReadFile(f), "; top\n[A]\nj=2\n\n[C]\ny=4\n");
  // Deleting from a file that does not exist creates nothing.
  ASSERT_TRUE(Put(dir.File("no.ini"), "A", "k", nullptr));
  EXPECT_FALSE(std::filesystem::exists(dir.File("no.ini")));
}

TEST(ProfileWrite, TextThatWouldBecomeOtherLinesIsRefused) {
  TempDir dir;
  const std::string f = dir.File("inj.ini");
  WriteFile(f, "[S]\nk=v\n");
  SetLastError(0);
  EXPECT_FALSE(Put(f, "S", "k", "ring.wav\n[EntryWindow]\nForeground=Error"));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(Put(f, "S", "k", "a\rb"));
  EXPECT_FALSE(Put(f, "S\n[T]", "k", "v"));
  EXPECT_FALSE(Put(f, "S]x", "k", "v"));
  EXPECT_FALSE(Put(f, "S", "a=b", "v"));
  EXPECT_FALSE(Put(f, "S", "[T]", "v"));
  EXPECT_FALSE(Put(f, "S", ";k", "v"));
  EXPECT_FALSE(Put(f, nullptr, "k", "v"));
  EXPECT_FALSE(Put("", "S", "k", "v"));
  EXPECT_EQ(ReadFile(f), "[S]\nk=v\n");
  // "=" and quotes inside a value are fine.
  ASSERT_TRUE(Put(f, "S", "k", "a=b \"c\""));
  EXPECT_EQ(Get(f, "S", "k"), "a=b \"c\"");
}

TEST(ProfileWrite, KeepsPermissionsAndWritesThroughSymbolicLinks) {
  TempDir dir;
  const std::string f = dir.File("p.ini");
  WriteFile(f, "[S]\nk=v\n");
  ASSERT_EQ(chmod(f.c_str(), 0640), 0);
  ASSERT_TRUE(Put(f, "S", "k", "w"));
  struct stat st;
  ASSERT_EQ(stat(f.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  const std::string link = dir.File("link.ini");
  ASSERT_EQ(symlink(f.c_str(), link.c_str()), 0);
  ASSERT_TRUE(Put(link, "S", "k", "through"));
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(Get(f, "S", "k"), "through");
  // No temporary file is left after successful writes.
  auto names = FilesIn(dir.Path());
  EXPECT_EQ(names.size(), 2u);
}

// --- refused, interrupted and concurrent writes --------------------------------------------

TEST(ProfileFailure, ReadOnlyFolderRefusesAndKeepsTheFile) {
  TempDir dir;
  const std::string f = dir.File("ro.ini");
  WriteFile(f, "[S]\nk=old\n");
  ASSERT_EQ(chmod(f.c_str(), 0644), 0);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
  // Root ignores folder permissions, so the write runs as an ordinary user then.
  int status = InChild([&] {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 77;
    if (Get(f, "S", "k") != "old") return 77;  // the folder is not reachable at all
    SetLastError(0);
    if (Put(f, "S", "k", "new")) return 1;
    if (GetLastError() != ERROR_ACCESS_DENIED) return 2;
    if (Put(dir.File("fresh.ini"), "S", "k", "new")) return 3;
    return 0;
  });
  chmod(dir.Path().c_str(), 0755);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot act as an unprivileged user here";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadFile(f), "[S]\nk=old\n");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"ro.ini"});
}

TEST(ProfileFailure, MissingFolderIsRefused) {
  TempDir dir;
  SetLastError(0);
  EXPECT_FALSE(Put(dir.File("no/such/folder.ini"), "S", "k", "v"));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(ProfileFailure, FullDiskLeavesTheOldFile) {
  TempDir dir;
  const std::string f = dir.File("full.ini");
  const std::string original = "[S]\nk=old\nother=kept\n";
  WriteFile(f, original);
  // A file size limit stands in for a full disk: writes beyond it fail with EFBIG.
  int status = InChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {64, 64};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 77;
    SetLastError(0);
    if (Put(f, "S", "k", std::string(500, 'n').c_str())) return 1;
    if (GetLastError() != ERROR_DISK_FULL) return 2;
    return 0;
  });
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_NE(WEXITSTATUS(status), 77);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadFile(f), original);
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"full.ini"});
}

TEST(ProfileFailure, ProcessDyingMidWriteLeavesTheOldFile) {
  TempDir dir;
  const std::string f = dir.File("die.ini");
  const std::string original = "[S]\nk=old\nother=kept\n";
  WriteFile(f, original);
  // Passing the file size limit with the default signal action kills the writer mid-write.
  int status = InChild([&] {
    struct rlimit limit = {64, 64};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 77;
    Put(f, "S", "k", std::string(500, 'n').c_str());
    return 1;
  });
  ASSERT_TRUE(WIFSIGNALED(status)) << "writer was expected to die, status " << status;
  EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
  EXPECT_EQ(ReadFile(f), original);
  EXPECT_EQ(Get(f, "S", "other"), "kept");
  // The next write works despite the leftover.
  ASSERT_TRUE(Put(f, "S", "k", "new"));
  EXPECT_EQ(ReadFile(f), "[S]\nk=new\nother=kept\n");
}

TEST(ProfileFailure, CrashBetweenTemporaryFileAndRenameLeavesTheOldFile) {
#if defined(__x86_64__)
  const unsigned arch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
  const unsigned arch = AUDIT_ARCH_AARCH64;
#else
  GTEST_SKIP() << "no seccomp filter for this architecture";
  const unsigned arch = 0;
#endif
  TempDir dir;
  const std::string f = dir.File("crash.ini");
  const std::string original = "[S]\nk=old\n";
  WriteFile(f, original);
  // The child is killed by the kernel the moment it tries to rename anything.
  int status = InChild([&] {
    struct sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, arch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
#ifdef __NR_rename
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_rename, 3, 0),
#else
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat2, 3, 0),
#endif
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat, 2, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat2, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
    };
    struct sock_fprog prog = {static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return 77;
    if (prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &prog) != 0) return 77;
    Put(f, "S", "k", "new");
    return 1;
  });
  if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "seccomp filters are not available";
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(ReadFile(f), original);
  // The complete new text was waiting beside it, never renamed into place.
  bool found_temp = false;
  for (const auto& name : FilesIn(dir.Path()))
    if (name != "crash.ini") {
      found_temp = true;
      EXPECT_EQ(ReadFile(dir.File(name)), "[S]\nk=new\n");
    }
  EXPECT_TRUE(found_temp);
  EXPECT_EQ(Get(f, "S", "k"), "old");
}

TEST(ProfileConcurrency, WritersInSeveralProcessesKeepEachOthersKeys) {
  TempDir dir;
  const std::string f = dir.File("shared.ini");
  constexpr int kWriters = 4, kKeys = 60;
  // The writers start together: each waits until the parent closes the pipe.
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t pid = fork();
    if (pid == 0) {
      close(start[1]);
      char c;
      while (read(start[0], &c, 1) < 0 && errno == EINTR) {
      }
      int failures = 0;
      for (int k = 0; k < kKeys; ++k) {
        std::string key = "w" + std::to_string(w) + "k" + std::to_string(k);
        if (!Put(f, (k % 2) ? "Odd" : "Even", key.c_str(), std::to_string(k).c_str())) ++failures;
      }
      _exit(failures);
    }
    children.push_back(pid);
  }
  close(start[0]);
  close(start[1]);
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int w = 0; w < kWriters; ++w)
    for (int k = 0; k < kKeys; ++k) {
      std::string key = "w" + std::to_string(w) + "k" + std::to_string(k);
      EXPECT_EQ(Get(f, (k % 2) ? "Odd" : "Even", key.c_str()), std::to_string(k)) << key;
    }
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"shared.ini"});
}
