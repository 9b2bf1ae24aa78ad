// hallwire-listen [--count N] [--timeout SECONDS] [--verify]
// Owns the "hwSlot" mailslot and prints each message delivered to it on a line; with
// --verify each line is checked against the user's pinned keys and starts with
// "[verified] ", "[unsigned] " or "[forged] ".
// Exit 0 after N messages, 1 when the time-out comes first, 2 when the mailslot
// cannot be created or the datagram or name port cannot be bound (the reason is on
// standard error): a listener nothing can reach ends rather than wait deaf.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "platform/net/Carrier.h"
#include "platform/net/NameService.h"
#include "platform/net/NetworkNotice.h"
#include "platform/system/WindowThread.h"
#include "settings/SettingsFile.h"
#include "transport/Mailslot.h"

namespace {

hw::TMessageLoop* g_loop = nullptr;
volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

int Usage() {
  std::cerr << "usage: hallwire-listen [--count N] [--timeout SECONDS] [--verify]\n";
  return 2;
}

// True when the carrier or the name responder could not bind its port; the notice
// hook has printed why. The responder starts on the presence thread, so its turn is
// waited for (briefly: it comes with the first announcement).
bool PortsUnusable() {
  using namespace hw::platform::net;
  if (!CarrierPortProblem().empty()) return true;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  while (!NameResponderTried() && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return !NamePortProblem().empty();
}

}  // namespace

int main(int argc, char** argv) {
  long count = -1;
  double timeout = -1;
  bool verify = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    char* end = nullptr;
    if (arg == "--count" && i + 1 < argc) {
      count = std::strtol(argv[++i], &end, 10);
      if (*end || count < 0) return Usage();
    } else if (arg == "--verify") {
      verify = true;
    } else if (arg == "--timeout" && i + 1 < argc) {
      timeout = std::strtod(argv[++i], &end);
      if (*end || timeout < 0) return Usage();
    } else {
      return Usage();
    }
  }

  hw::TMessageLoop loop;
  hw::platform::net::SetOnNetworkNotice([](const std::string& text) { std::cerr << text << std::endl; });
  hw::ApplyNetworkSettings();
  g_loop = &loop;
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  long received = 0;
  std::unique_ptr<hw::TMailslotTerminal> terminal;
  try {
    terminal = std::make_unique<hw::TMailslotTerminal>(loop);
    terminal->SetInterval(250);
    terminal->SetMailslotName("hwSlot");
    if (verify)
      terminal->SetVerifier(std::make_unique<hw::TLineVerifier>(std::make_unique<hw::TPinStore>(hw::UserPinFile())));
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 2;
  }
  if (PortsUnusable()) return 2;
  terminal->SetOnNewMessage([&](hw::TMailslotTerminal& sender, std::uint32_t, std::uint16_t size) {
    auto& stream = sender.MessageStream();
    const auto* payload = reinterpret_cast<const char*>(stream.Memory() + stream.Position());
    if (verify) {
      static const char* const kMarks[] = {"[unsigned] ", "[verified] ", "[forged] "};
      std::cout << kMarks[static_cast<int>(sender.LastCheck().Trust)];
    }
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
