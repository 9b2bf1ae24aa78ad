// Profile files: INI text read and edited in place, written back atomically.
#include "platform/store/Profile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/system/ErrnoError.h"
#include "platform/system/Kernel32.h"
#include "platform/store/ProfileText.h"
#include "platform/store/RegularFile.h"

namespace hw {

namespace {

// A write that fails for any other reason.
win32::DWORD ErrnoToWin32(int err) { return ErrnoToWin32Error(err, win32::ERROR_WRITE_FAULT); }

// Reads the whole file. Returns 0 (with *exists false for a missing file) or an errno;
// anything but a regular file under the name is refused as a folder is.
int ReadWhole(const std::string& path, std::string* text, bool* exists, struct stat* st) {
  *exists = false;
  int err = ReadRegularFile(path, *text, st);
  if (err == ENOENT) return 0;
  if (err == kNotRegularFile) return EISDIR;
  *exists = err == 0;
  return err;
}

// Whether the file may be replaced. Replacing goes through a rename in the folder, which
// would otherwise succeed for a file the user may not write; root may write any file, so
// for root a file without any write permission counts as read-only.
bool MayWrite(const std::string& path, const struct stat& st) {
  if (::geteuid() == 0) return (st.st_mode & 0222) != 0;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Creates a folder and its missing parents (private to the user, as per-user config is).
int MakeFolders(const std::string& folder) {
  std::string partial;
  size_t pos = 0;
  while (pos <= folder.size()) {
    size_t slash = folder.find('/', pos);
    if (slash == std::string::npos) slash = folder.size();
    partial = folder.substr(0, slash);
    pos = slash + 1;
    if (partial.empty()) continue;
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return errno;
  }
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0) return errno;
  return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

// Serialises the read-modify-write of every profile file in one folder, across threads
// and processes, so that concurrent writers of different keys do not lose each other's keys.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder) {
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0)
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

std::atomic<unsigned> g_temp_counter{0};

// Replaces `target` with `text`: a temporary file in the same folder is written, synced
// and renamed over it. Returns 0 or an errno; on failure the old file is untouched.
int ReplaceFile(const std::string& target, const std::string& folder, const std::string& text,
                const struct stat* old_st, int folder_fd) {
  size_t slash = target.rfind('/');
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = folder + "/." + base + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(g_temp_counter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return errno;
  }
  if (fd < 0) return EEXIST;

  int err = 0;
  if (old_st) {
    // Keep the replaced file's permissions (and owner, where allowed).
    if (::fchmod(fd, old_st->st_mode & 07777) != 0) err = errno;
    if (!err && ::geteuid() == 0) (void)!::fchown(fd, old_st->st_uid, old_st->st_gid);
  }
  size_t done = 0;
  while (!err && done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
    } else {
      done += static_cast<size_t>(n);
    }
  }
  if (!err && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(temp.c_str());
    return err;
  }
  if (folder_fd >= 0) ::fsync(folder_fd);
  return 0;
}

// Copies a zero-separated name list ending in a second zero; cut lists end in two zeros.
win32::DWORD CopyList(const std::vector<std::string>& names, char* out, win32::DWORD size) {
  std::string list;
  for (const auto& n : names) {
    list += n;
    list += '\0';
  }
  if (list.size() + 1 <= size) {
    std::memcpy(out, list.data(), list.size());
    out[list.size()] = '\0';
    if (list.empty() && size >= 2) out[1] = '\0';
    return static_cast<win32::DWORD>(list.size());
  }
  if (size < 2) {
    out[0] = '\0';
    return 0;
  }
  std::memcpy(out, list.data(), size - 2);
  out[size - 2] = '\0';
  out[size - 1] = '\0';
  win32::SetLastError(win32::ERROR_MORE_DATA);
  return size - 2;
}

}  // namespace

std::string ProfileFolder() {
  std::string base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    std::string home_dir = home && home[0] ? home : "";
    if (home_dir.empty()) {
      struct passwd pw;
      struct passwd* result = nullptr;
      char buf[4096];
      if (::getpwuid_r(::getuid(), &pw, buf, sizeof buf, &result) == 0 && result && result->pw_dir)
        home_dir = result->pw_dir;
    }
    if (home_dir.empty()) home_dir = "/tmp";
    while (home_dir.size() > 1 && home_dir.back() == '/') home_dir.pop_back();
    base = (home_dir == "/" ? "" : home_dir) + "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return (base == "/" ? "" : base) + "/hallwire/";
}

std::string ResolveProfilePath(const std::string& fileName) {
  if (fileName.find('/') != std::string::npos) return fileName;
  return ProfileFolder() + fileName;
}

namespace win32 {

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName) {
  if (!lpReturnedString || nSize == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  lpReturnedString[0] = '\0';
  std::string text;
  bool exists = false;
  struct stat st;
  if (lpFileName && lpFileName[0]) ReadWhole(ResolveProfilePath(lpFileName), &text, &exists, &st);
  SetLastError(exists ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
  if (!lpAppName) return CopyList(profile::SectionNames(text), lpReturnedString, nSize);
  if (!lpKeyName) return CopyList(profile::KeyNames(text, lpAppName), lpReturnedString, nSize);

  std::string value;
  if (auto found = profile::ReadValue(text, lpAppName, lpKeyName)) {
    value = *found;
  } else {
    value = lpDefault ? lpDefault : "";
    if (exists) SetLastError(ERROR_FILE_NOT_FOUND);
  }
  size_t n = value.size();
  if (n > nSize - 1) {
    n = nSize - 1;
    SetLastError(ERROR_MORE_DATA);
  }
  std::memcpy(lpReturnedString, value.data(), n);
  lpReturnedString[n] = '\0';
  return static_cast<DWORD>(n);
}

BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName) {
  if (!lpFileName || !lpFileName[0]) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string name = lpFileName;
  const std::string path = ResolveProfilePath(name);

  if (!lpAppName && !lpKeyName && !lpString) {
    // Every write is already on disk; sync once more for callers that ask to commit.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd >= 0) {
      struct stat st;
      if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) ::fsync(fd);
      ::close(fd);
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  if (!profile::ValidWrite(lpAppName, lpKeyName, lpString)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The per-user folder is made on first write, whether the file was named bare or by
  // its full path there (the settings file of an installed program).
  const std::string user_folder = ProfileFolder();
  if (name.find('/') == std::string::npos || path.compare(0, user_folder.size(), user_folder) == 0) {
    if (int err = MakeFolders(user_folder.substr(0, user_folder.size() - 1))) {
      SetLastError(ErrnoToWin32(err));
      return FALSE;
    }
  }

  // Write through a symbolic link to the file it names instead of replacing the link.
  std::string target = path;
  struct stat lst;
  if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  const std::string folder = DirectoryOf(target);
  FolderLock lock(folder);

  std::string text;
  bool exists = false;
  struct stat st;
  if (int err = ReadWhole(target, &text, &exists, &st)) {
    SetLastError(ErrnoToWin32(err));
    return FALSE;
  }
  if (exists && !MayWrite(target, st)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  bool changed = profile::EditProfile(text, profile::Trim(lpAppName), lpKeyName, lpString);
  if (!changed) {
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  if (int err = ReplaceFile(target, folder, text, exists ? &st : nullptr, lock.fd())) {
    SetLastError(ErrnoToWin32(err));
    return FALSE;
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

}  // namespace win32
}  // namespace hw
