#include "platform/net/StoppableThread.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace hw::platform::net {

bool TStoppableThread::Start(std::function<void(int stop_fd)> body) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (thread_.joinable()) return true;
  stop_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (stop_fd_ < 0) return false;
  thread_ = std::thread([body = std::move(body), stop = stop_fd_] { body(stop); });
  return true;
}

void TStoppableThread::Stop() {
  std::thread thread;
  int stop_fd = -1;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!thread_.joinable()) return;
    const std::uint64_t one = 1;
    while (write(stop_fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    thread = std::move(thread_);
    // A Start while this one waits gets a descriptor of its own.
    std::swap(stop_fd, stop_fd_);
  }
  thread.join();
  close(stop_fd);
}

}  // namespace hw::platform::net
