#include "platform/net/NetworkNotice.h"

#include <cstdio>
#include <mutex>
#include <vector>

namespace hw::platform::net {

namespace {

std::mutex g_mutex;
std::function<void(const std::string&)> g_hook;
std::vector<std::string> g_unheard;  // posted while there was no hook
constexpr std::size_t kMaxUnheard = 8;

}  // namespace

void SetOnNetworkNotice(std::function<void(const std::string&)> hook) {
  // Taken while a notice is delivered: once this returns, the old hook is never called again.
  std::lock_guard<std::mutex> lock(g_mutex);
  g_hook = std::move(hook);
  if (!g_hook) return;
  for (const auto& text : g_unheard) g_hook(text);
  g_unheard.clear();
}

void PostNetworkNotice(const std::string& text) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_hook) {
    g_hook(text);
  } else {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    if (g_unheard.size() < kMaxUnheard) g_unheard.push_back(text);
  }
}

}  // namespace hw::platform::net
