// Profile files: INI text read and edited in place, written back atomically.
#include "platform/Profile.h"

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

#include "platform/Kernel32.h"

namespace hw {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// One line of a profile file, as offsets into the file's text.
struct Line {
  enum Kind { kOther, kSection, kKey };
  size_t begin = 0;        // first character
  size_t end = 0;          // end of the text, before "\n" or "\r\n"
  size_t next = 0;         // start of the following line
  Kind kind = kOther;
  std::string name;        // section or key name without surrounding blanks
  size_t value_begin = 0;  // key lines: the value without surrounding blanks
  size_t value_end = 0;
};

std::vector<Line> ParseLines(const std::string& text) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    Line line;
    line.begin = pos;
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) {
      line.end = line.next = text.size();
    } else {
      line.end = nl;
      line.next = nl + 1;
      if (line.end > line.begin && text[line.end - 1] == '\r') --line.end;
    }
    size_t i = line.begin;
    while (i < line.end && IsBlank(text[i])) ++i;
    if (i < line.end && text[i] == '[') {
      size_t close = text.find(']', i + 1);
      if (close == std::string::npos || close > line.end) close = line.end;
      line.kind = Line::kSection;
      line.name = Trim(text.substr(i + 1, close - i - 1));
    } else if (i < line.end && text[i] != ';') {
      size_t eq = text.find('=', i);
      if (eq != std::string::npos && eq < line.end) {
        line.kind = Line::kKey;
        line.name = Trim(text.substr(i, eq - i));
        size_t vb = eq + 1, ve = line.end;
        while (vb < ve && IsBlank(text[vb])) ++vb;
        while (ve > vb && IsBlank(text[ve - 1])) --ve;
        line.value_begin = vb;
        line.value_end = ve;
      }
    }
    lines.push_back(std::move(line));
    pos = lines.back().next;
  }
  return lines;
}

// Index of the first header of `section`, or -1.
long FindSection(const std::vector<Line>& lines, const std::string& section) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].kind == Line::kSection && SameName(lines[i].name, section)) return static_cast<long>(i);
  return -1;
}

// One past the last line of the section whose header is at `header`.
size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
  size_t i = header + 1;
  while (i < lines.size() && lines[i].kind != Line::kSection) ++i;
  return i;
}

long FindKey(const std::vector<Line>& lines, size_t header, const std::string& key) {
  for (size_t i = header + 1, end = SectionEnd(lines, header); i < end; ++i)
    if (lines[i].kind == Line::kKey && SameName(lines[i].name, key)) return static_cast<long>(i);
  return -1;
}

// Blanks around a stored value are already gone; one pair of enclosing quotes goes too.
std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

win32::DWORD ErrnoToWin32(int err) {
  switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return win32::ERROR_ACCESS_DENIED;
    case ENOENT:
    case ENOTDIR:
      return win32::ERROR_PATH_NOT_FOUND;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return win32::ERROR_DISK_FULL;
    case ENAMETOOLONG:
      return win32::ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM:
      return win32::ERROR_NOT_ENOUGH_MEMORY;
    default:
      return win32::ERROR_WRITE_FAULT;
  }
}

// Reads the whole file. Returns 0 (with *exists false for a missing file) or an errno.
int ReadWhole(const std::string& path, std::string* text, bool* exists, struct stat* st) {
  text->clear();
  *exists = false;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? 0 : errno;
  if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
    int err = S_ISDIR(st->st_mode) ? EISDIR : errno;
    ::close(fd);
    return err ? err : EACCES;
  }
  *exists = true;
  char buf[8192];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      return err;
    }
    if (n == 0) break;
    text->append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return 0;
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

std::string DetectLineBreak(const std::string& text) {
  size_t nl = text.find('\n');
  if (nl != std::string::npos && nl > 0 && text[nl - 1] == '\r') return "\r\n";
  return "\n";
}

// Applies one write to the file's text. Returns false when the text stays the same.
bool EditProfile(std::string& text, const std::string& section, const char* key, const char* value) {
  std::vector<Line> lines = ParseLines(text);
  const std::string eol = DetectLineBreak(text);
  long header = FindSection(lines, section);

  if (!key) {  // delete the whole section
    if (header < 0) return false;
    size_t end = SectionEnd(lines, static_cast<size_t>(header));
    size_t from = lines[static_cast<size_t>(header)].begin;
    size_t to = end < lines.size() ? lines[end].begin : text.size();
    text.erase(from, to - from);
    return true;
  }
  const std::string key_name = Trim(key);

  if (header < 0) {
    if (!value) return false;
    std::string add;
    if (!text.empty()) {
      if (text.back() != '\n') add += eol;
      const Line& last = lines.back();
      bool last_blank = true;
      for (size_t i = last.begin; i < last.end; ++i)
        if (!IsBlank(text[i])) last_blank = false;
      if (!last_blank) add += eol;  // a blank line between sections
    }
    add += "[" + Trim(section) + "]" + eol + key_name + "=" + value + eol;
    text += add;
    return true;
  }

  long found = FindKey(lines, static_cast<size_t>(header), key_name);
  if (found >= 0) {
    const Line& line = lines[static_cast<size_t>(found)];
    if (!value) {
      text.erase(line.begin, line.next - line.begin);
      return true;
    }
    if (text.compare(line.value_begin, line.value_end - line.value_begin, value) == 0) return false;
    text.replace(line.value_begin, line.value_end - line.value_begin, value);
    return true;
  }
  if (!value) return false;

  // A new key goes after the section's last key (or its header), so comments and blank
  // lines that lead into the next section stay where they are.
  size_t anchor = static_cast<size_t>(header);
  for (size_t i = anchor + 1, end = SectionEnd(lines, anchor); i < end; ++i)
    if (lines[i].kind == Line::kKey) anchor = i;
  const Line& after = lines[anchor];
  if (after.next == after.end)  // the last line of a file without a final line break
    text.insert(after.next, eol + key_name + "=" + value);
  else
    text.insert(after.next, key_name + "=" + value + eol);
  return true;
}

bool HasLineBreak(const char* s) { return s && std::strpbrk(s, "\r\n") != nullptr; }

bool ValidWrite(const char* section, const char* key, const char* value) {
  if (!section) return false;
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  if (std::strchr(section, ']')) return false;
  if (key) {
    std::string k = Trim(key);
    if (k.find('=') != std::string::npos) return false;
    if (!k.empty() && (k[0] == '[' || k[0] == ';')) return false;
  }
  return true;
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

void AddUnique(std::vector<std::string>& names, const std::string& name) {
  for (const auto& n : names)
    if (SameName(n, name)) return;
  names.push_back(name);
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
  std::vector<Line> lines = ParseLines(text);

  if (!lpAppName) {
    std::vector<std::string> names;
    for (const auto& line : lines)
      if (line.kind == Line::kSection) AddUnique(names, line.name);
    return CopyList(names, lpReturnedString, nSize);
  }
  long header = FindSection(lines, Trim(lpAppName));
  if (!lpKeyName) {
    std::vector<std::string> names;
    if (header >= 0)
      for (size_t i = static_cast<size_t>(header) + 1, end = SectionEnd(lines, static_cast<size_t>(header));
           i < end; ++i)
        if (lines[i].kind == Line::kKey) AddUnique(names, lines[i].name);
    return CopyList(names, lpReturnedString, nSize);
  }

  std::string value;
  long key = header >= 0 ? FindKey(lines, static_cast<size_t>(header), Trim(lpKeyName)) : -1;
  if (key >= 0) {
    const Line& line = lines[static_cast<size_t>(key)];
    value = Unquote(text.substr(line.value_begin, line.value_end - line.value_begin));
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
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
      ::fsync(fd);
      ::close(fd);
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  if (!ValidWrite(lpAppName, lpKeyName, lpString)) {
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
  bool changed = EditProfile(text, Trim(lpAppName), lpKeyName, lpString);
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
