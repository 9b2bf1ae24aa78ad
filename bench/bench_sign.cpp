// bench_sign [--lines N]
//
// Measures signed chat lines on this computer, confined to loopback:
//   1. lines signed per second (a trailer made for a typical line);
//   2. lines checked per second (signature, pin and session, no bound on checks);
//   3. lines per second end to end, terminal to terminal through a local mailslot,
//      signed and checked, beside the same unsigned and unchecked.
// Prints the figures; exit 0 unless a signed line failed to verify.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/system/WindowThread.h"
#include "transport/Mailslot.h"
#include "transport/Trust.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double PerSecond(std::size_t n, Clock::duration d) { return n / std::chrono::duration<double>(d).count(); }

// Lines through two terminals; returns lines per second, or -1 when some were lost.
double EndToEnd(std::size_t lines, bool signed_lines, std::size_t& verified) {
  hw::TMessageLoop loop;
  const std::string slot = "hwBenchSign" + std::to_string(getpid()) + (signed_lines ? "s" : "u");
  auto receiver = std::make_unique<hw::TMailslotTerminal>(loop);
  receiver->SetMailslotName(slot);
  receiver->SetInterval(1);
  auto sender = std::make_unique<hw::TMailslotTerminal>(loop);
  sender->SetMailslotName(slot + "a");
  sender->SetReceiver(hw::TReceiverType::rcLocalComputer);
  sender->Client().SetMailslotName(slot);
  if (signed_lines) {
    sender->SetSigner(hw::TLineSigner::Generate());
    receiver->SetVerifier(std::make_unique<hw::TLineVerifier>(std::make_unique<hw::TPinStore>(), 1e9, 1e9));
  }
  std::size_t got = 0;
  receiver->SetOnNewMessage([&](hw::TMailslotTerminal& t, std::uint32_t, std::uint16_t) {
    ++got;
    if (t.LastCheck().Trust == hw::TLineTrust::Verified) ++verified;
  });
  const std::string line = "Office-pc2( alice ) Is the meeting at three still on for today?";
  const auto start = Clock::now();
  for (std::size_t i = 0; i < lines; ++i) {
    sender->Send(line.c_str(), static_cast<std::uint16_t>(line.size() + 1));
    if (i % 500 == 499) loop.ProcessFor(0ms);  // keeps the mailslot's queue short
  }
  loop.ProcessUntil([&] { return got >= lines; }, 30s);
  const auto elapsed = Clock::now() - start;
  return got == lines ? PerSecond(lines, elapsed) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t lines = 20000;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--lines") == 0 && i + 1 < argc) {
      lines = std::strtoul(argv[++i], nullptr, 10);
    } else {
      std::fprintf(stderr, "usage: bench_sign [--lines N]\n");
      return 2;
    }
  }
  setenv("HALLWIRE_INTERFACES", "lo", 1);

  const auto signer = hw::TLineSigner::Generate();
  const std::string line = "Office-pc2( alice ) Is the meeting at three still on for today?";
  std::vector<std::vector<std::uint8_t>> payloads(lines);
  auto start = Clock::now();
  for (std::size_t i = 0; i < lines; ++i) {
    payloads[i].assign(line.begin(), line.end());
    payloads[i].push_back(0);
    signer->AppendTrailer(payloads[i], 7, static_cast<std::uint32_t>(i + 1));
  }
  const double signed_rate = PerSecond(lines, Clock::now() - start);

  hw::TLineVerifier verifier(std::make_unique<hw::TPinStore>(), 1e9, 1e9);
  std::size_t ok = 0;
  start = Clock::now();
  for (std::size_t i = 0; i < lines; ++i)
    ok += verifier.Check(1, 7, static_cast<std::uint32_t>(i + 1), payloads[i].data(), payloads[i].size()).Trust ==
          hw::TLineTrust::Verified;
  const double checked_rate = PerSecond(lines, Clock::now() - start);

  std::size_t verified = 0, none = 0;
  const double plain = EndToEnd(lines, false, none);
  const double signed_e2e = EndToEnd(lines, true, verified);

  std::printf("lines signed:  %10.0f /s (%.1f us each)\n", signed_rate, 1e6 / signed_rate);
  std::printf("lines checked: %10.0f /s (%.1f us each); the window thread checks at most %.0f /s, %.0f per source\n",
              checked_rate, 1e6 / checked_rate, hw::TLineVerifier::kChecksInAll,
              hw::TLineVerifier::kChecksPerSource);
  std::printf("end to end:    %10.0f /s unsigned, %.0f /s signed and checked (%.2f)\n", plain, signed_e2e,
              plain > 0 ? signed_e2e / plain : 0.0);
  const bool good = ok == lines && verified == lines;
  if (!good) std::printf("FAIL: %zu of %zu checked, %zu of %zu delivered verified\n", ok, lines, verified, lines);
  return good ? 0 : 1;
}
