#include "platform/system/WindowThread.h"

namespace hw {

void TPendingCall::Run() {
  std::function<void()> work;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cancelled_ || done_) return;
    running_ = true;
    work = std::move(work_);
  }
  std::exception_ptr error;
  try {
    work();
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    error_ = error;
    running_ = false;
    done_ = true;
  }
  done_cv_.notify_all();
}

void TPendingCall::Cancel() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (done_) return;
    // Work that already started on the window thread finishes normally; the
    // canceller is that same thread, so this only happens for re-entrant calls.
    if (!running_) {
      cancelled_ = true;
      done_ = true;
      work_ = nullptr;
    }
  }
  done_cv_.notify_all();
}

bool TPendingCall::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  done_cv_.wait(lock, [this] { return done_; });
  if (cancelled_) return false;
  if (error_) std::rethrow_exception(error_);
  return true;
}

bool IWindowThread::Invoke(const std::shared_ptr<TPendingCall>& call) {
  if (IsCurrentThread()) {
    call->Run();
    return call->Wait();
  }
  Post([call] { call->Run(); });
  return call->Wait();
}

TMessageLoop::TMessageLoop() : owner_(std::this_thread::get_id()) {}

void TMessageLoop::Post(std::function<void()> work) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(work));
  }
  cv_.notify_one();
}

bool TMessageLoop::IsCurrentThread() const { return std::this_thread::get_id() == owner_; }

bool TMessageLoop::RunOne(std::unique_lock<std::mutex>& lock) {
  if (queue_.empty()) return false;
  auto work = std::move(queue_.front());
  queue_.pop_front();
  lock.unlock();
  work();
  lock.lock();
  return true;
}

void TMessageLoop::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  quit_ = false;
  while (!quit_) {
    cv_.wait(lock, [this] { return quit_ || !queue_.empty(); });
    while (!quit_ && RunOne(lock)) {
    }
  }
}

void TMessageLoop::Quit() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  cv_.notify_all();
}

int TMessageLoop::ProcessFor(std::chrono::milliseconds duration) {
  const auto deadline = std::chrono::steady_clock::now() + duration;
  int count = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  while (cv_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) {
    while (RunOne(lock)) ++count;
  }
  return count;
}

bool TMessageLoop::ProcessUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    while (RunOne(lock)) {
    }
    lock.unlock();
    const bool ok = pred();
    lock.lock();
    if (ok) return true;
    if (!cv_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) {
      lock.unlock();
      const bool last = pred();
      lock.lock();
      return last;
    }
  }
}

int TMessageLoop::ProcessPending() {
  int count = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  while (RunOne(lock)) ++count;
  return count;
}

}  // namespace hw
