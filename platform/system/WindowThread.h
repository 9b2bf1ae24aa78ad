// The "window thread": the one thread that runs handlers and owns every component.
// Other threads hand it work through this interface. The program uses the Qt GUI
// thread (app/), headless tools and tests use TMessageLoop below.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace hw {

// A blocking cross-thread call in flight. Cancel() releases the waiting thread
// without running the work (used when the object that posted it is destroyed).
class TPendingCall {
 public:
  explicit TPendingCall(std::function<void()> work) : work_(std::move(work)) {}
  // Runs on the window thread: does the work unless cancelled, records any exception.
  void Run();
  // Releases the waiter; the work will not run if it has not started.
  void Cancel();
  // Waits until Run or Cancel finished. Returns false if cancelled; rethrows the
  // work's exception in the waiting thread.
  bool Wait();

 private:
  std::mutex mutex_;
  std::condition_variable done_cv_;
  std::function<void()> work_;
  std::exception_ptr error_;
  bool running_ = false;
  bool done_ = false;
  bool cancelled_ = false;
};

class IWindowThread {
 public:
  virtual ~IWindowThread() = default;
  // Queues work to run on the window thread; returns at once.
  virtual void Post(std::function<void()> work) = 0;
  // True when called on the window thread itself.
  virtual bool IsCurrentThread() const = 0;
  // Runs work on the window thread and waits for it, rethrowing its exception here.
  // Returns false when the call was cancelled through `call` before it ran.
  bool Invoke(const std::shared_ptr<TPendingCall>& call);
};

// A small message loop of our own, run by the thread that calls Run/ProcessFor.
class TMessageLoop : public IWindowThread {
 public:
  TMessageLoop();
  void Post(std::function<void()> work) override;
  bool IsCurrentThread() const override;

  // Runs queued work until Quit() is called.
  void Run();
  void Quit();
  // Runs queued work until the deadline passes; returns the number of items run.
  int ProcessFor(std::chrono::milliseconds duration);
  // Runs queued work until pred() holds or the time-out expires; returns pred().
  bool ProcessUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout);
  // Runs what is queued now without waiting.
  int ProcessPending();

 private:
  bool RunOne(std::unique_lock<std::mutex>& lock);
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> queue_;
  std::thread::id owner_;
  bool quit_ = false;
};

}  // namespace hw
