// A worker thread told to stop through a descriptor (an eventfd) that it polls beside
// its own, so that a blocking poll() ends at once.
#pragma once

#include <functional>
#include <mutex>
#include <thread>

namespace hw::platform::net {

class TStoppableThread {
 public:
  TStoppableThread() = default;
  ~TStoppableThread() { Stop(); }
  TStoppableThread(const TStoppableThread&) = delete;
  TStoppableThread& operator=(const TStoppableThread&) = delete;

  // Runs body(stop_fd) on a new thread, unless one runs already. The body returns once
  // stop_fd is readable. False when no thread runs.
  bool Start(std::function<void(int stop_fd)> body);
  // Signals the body and waits until it has returned; nothing when none runs.
  void Stop();

 private:
  std::mutex mutex_;
  std::thread thread_;
  int stop_fd_ = -1;
};

}  // namespace hw::platform::net
