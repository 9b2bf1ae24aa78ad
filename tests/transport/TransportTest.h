// Shared pieces of the transport tests: a window thread of our own and raw writes.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>

#include "platform/net/Kernel32Mailslots.h"
#include "platform/system/WindowThread.h"
#include "transport/Mailslot.h"

namespace hw::test {

inline std::string UniqueName(const std::string& base) {
  static std::atomic<int> counter{0};
  return base + std::to_string(getpid()) + "_" + std::to_string(counter++);
}

// Writes raw bytes into a local mailslot, as something other than a terminal might.
inline void WriteRaw(const std::string& name, const std::string& bytes) {
  TMailslotClient client;
  client.SetReceiver(TReceiverType::rcLocalComputer);
  client.SetMailslotName(name);
  client.WriteMessage(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

inline std::string Frame(std::uint32_t sender, std::uint32_t sequence, const std::string& payload) {
  std::string f(8, '\0');
  std::memcpy(&f[0], &sender, 4);  // little-endian host
  std::memcpy(&f[4], &sequence, 4);
  return f + payload;
}

inline bool WaitCount(TMailslotServer& server, std::uint32_t n, int ms = 2000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (server.MessageCount() < n && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return server.MessageCount() >= n;
}

}  // namespace hw::test
