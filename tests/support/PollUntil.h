// Polling "wait until" for tests that watch another process or a server.
#pragma once

#include <chrono>
#include <optional>
#include <thread>

namespace hw::test {

// Asks `done` every `pause` until it holds or `timeout` has passed since `since`;
// the time from `since` to the first yes, or nullopt.
template <typename F>
std::optional<std::chrono::milliseconds> PollUntil(F done, std::chrono::milliseconds timeout,
                                                   std::chrono::steady_clock::time_point since =
                                                       std::chrono::steady_clock::now(),
                                                   std::chrono::milliseconds pause = std::chrono::milliseconds(50)) {
  for (;;) {
    const auto now = std::chrono::steady_clock::now();
    if (done()) return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since);
    if (now - since >= timeout) return std::nullopt;
    std::this_thread::sleep_for(pause);
  }
}

}  // namespace hw::test
