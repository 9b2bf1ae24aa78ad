#include "app/MessageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/system/Exception.h"

namespace hw {
namespace {

// Closes a descriptor unless released.
class TFd {
 public:
  explicit TFd(int fd) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return fd_; }
  // Closes now and reports whether the close succeeded (it may report a late write error).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string NormaliseLineEnds(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

void SaveMessageFile(const std::string& path, const std::string& text) {
  const Exception cannot_create("Cannot create file " + path);
  // An existing file that we may not write stays as it is, as if it were created anew.
  struct stat existing {};
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists) {
    if (!S_ISREG(existing.st_mode)) throw cannot_create;
    TFd probe(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    if (probe.Get() < 0) throw cannot_create;
  }
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temp = folder + (slash == std::string::npos ? "/." : ".") + base + ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  TFd fd(::mkostemp(name.data(), O_CLOEXEC));
  if (fd.Get() < 0) throw cannot_create;
  temp = name.data();
  // A replacement keeps the permissions of the file it replaces; a new file is
  // readable by its owner only (mkostemp's 0600), as chat logs are private.
  if (exists) ::fchmod(fd.Get(), existing.st_mode & 07777);
  if (!WriteAll(fd.Get(), text.data(), text.size()) || ::fsync(fd.Get()) != 0 || !fd.Close()) {
    ::unlink(temp.c_str());
    throw Exception("Stream write error");
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    throw cannot_create;
  }
}

std::string LoadMessageFile(const std::string& path, std::size_t capacity, std::size_t max_lines) {
  TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || S_ISDIR(info.st_mode))
    throw Exception("Cannot open file " + path);
  const Exception too_large("Text exceeds memo capacity");
  // Normalising never shortens the text, so a larger file cannot fit.
  if (S_ISREG(info.st_mode) && static_cast<std::size_t>(info.st_size) > capacity) throw too_large;
  std::string raw;
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw Exception("Cannot open file " + path);
    }
    if (n == 0) break;
    raw.append(chunk, static_cast<std::size_t>(n));
    if (raw.size() > capacity) throw too_large;
  }
  // The box's text ends at a zero byte, as every text of the program does.
  const std::size_t zero = raw.find('\0');
  if (zero != std::string::npos) raw.resize(zero);
  std::string text = NormaliseLineEnds(raw);
  if (text.size() > capacity) throw too_large;
  std::size_t lines = 1;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  if (lines > max_lines) throw too_large;
  return text;
}

}  // namespace hw
