// hallwire-listen [--count N] [--timeout SECONDS]
// Owns the "hwSlot" mailslot and prints each message delivered to it on a line.
// Exit 0 after N messages, 1 when the time-out comes first, 2 when the mailslot
// cannot be created.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "platform/WindowThread.h"
#include "transport/Mailslot.h"

namespace {

hw::TMessageLoop* g_loop = nullptr;
volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

int Usage() {
  std::cerr << "usage: hallwire-listen [--count N] [--timeout SECONDS]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  long count = -1;
  double timeout = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    char* end = nullptr;
    if (arg == "--count" && i + 1 < argc) {
      count = std::strtol(argv[++i], &end, 10);
      if (*end || count < 0) return Usage();
    } else if (arg == "--timeout" && i + 1 < argc) {
      timeout = std::strtod(argv[++i], &end);
      if (*end || timeout < 0) return Usage();
    } else {
      return Usage();
    }
  }

  hw::TMessageLoop loop;
  g_loop = &loop;
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  long received = 0;
  std::unique_ptr<hw::TMailslotTerminal> terminal;
  try {
    terminal = std::make_unique<hw::TMailslotTerminal>(loop);
    terminal->SetInterval(250);
    terminal->SetMailslotName("hwSlot");
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 2;
  }
  terminal->SetOnNewMessage([&](hw::TMailslotTerminal& sender, std::uint32_t, std::uint16_t size) {
    auto& stream = sender.MessageStream();
    const auto* payload = reinterpret_cast<const char*>(stream.Memory() + stream.Position());
    std::cout << std::string(payload, strnlen(payload, size)) << std::endl;
    ++received;
  });
  terminal->SetOnError([](const std::exception& e) { std::cerr << e.what() << std::endl; });
  if (count == 0) return 0;

  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    loop.ProcessFor(std::chrono::milliseconds(50));
    if (count > 0 && received >= count) return 0;
    if (g_stop) return 1;
    if (timeout >= 0 && std::chrono::steady_clock::now() - start >= std::chrono::duration<double>(timeout)) return 1;
  }
}
