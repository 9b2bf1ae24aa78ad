#include "platform/store/RegularFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace hw {

int ReadRegularFile(const std::string& path, std::string& text, struct stat* st) {
  text.clear();
  // O_NONBLOCK: opening a FIFO for reading otherwise waits for a writer, and a device
  // may wait for its hardware. The type is checked on the open descriptor, so the name
  // cannot be swapped between the check and the read.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return errno;
  struct stat local;
  if (!st) st = &local;
  if (::fstat(fd, st) != 0) {
    int err = errno;
    ::close(fd);
    return err;
  }
  if (!S_ISREG(st->st_mode)) {
    ::close(fd);
    return kNotRegularFile;
  }
  char buffer[8192];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      return err;
    }
    if (n == 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return 0;
}

}  // namespace hw
