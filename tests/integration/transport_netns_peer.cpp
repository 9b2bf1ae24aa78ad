// A peer program for the multi-host transport tests, run inside one simulated host.
//
//   transport_netns_peer probe NAME
//       exit 0 when the local mailslot NAME has an owner on this computer, else 1.
//   transport_netns_peer burst --to NAME --count N [--resolve 1]
//       sends N frames ("burst 1" ... "burst N") through a terminal to the hwSlot
//       mailslot of computer or domain NAME; prints "sent N". With --resolve 1 it
//       first waits until the presence table knows computer NAME (so the frames go
//       as unicasts) and prints "resolved ADDRESS".
//   transport_netns_peer hold NAME --timeout SECONDS
//       owns the local mailslot NAME (and so the carrier's port) until the time-out
//       or SIGTERM; prints "ready".
//   transport_netns_peer count --count N --timeout SECONDS [--linger MS]
//       owns hwSlot itself and reads every message as it sits in the mailslot,
//       without the terminal's repeat filter, so duplicates made on the way show.
//       Prints "ready", then after N frames (or the time-out) and the linger time
//       one summary line:
//       frames=F unique=U duplicates=D reordered=R missing=M malformed=X senders=S
#include <arpa/inet.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/Config.h"
#include "platform/Exception.h"
#include "platform/Kernel32.h"
#include "platform/Presence.h"
#include "platform/WindowThread.h"
#include "transport/Mailslot.h"

namespace {

using namespace hw::win32;
using Clock = std::chrono::steady_clock;

int Usage() {
  std::cerr << "usage: transport_netns_peer (probe NAME | burst --to NAME --count N [--resolve 1] |\n"
               "                             hold NAME --timeout SECONDS |\n"
               "                             count --count N --timeout SECONDS [--linger MS])\n";
  return 64;
}

int Probe(const std::string& name) {
  const std::string path = "\\\\.\\mailslot\\" + name;
  const HANDLE h =
      CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
  if (h == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(h);
  return 0;
}

// Waits until the presence table lists the computer; prints its address.
bool WaitResolved(const std::string& computer) {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < deadline) {
    for (const auto& entry : hw::platform::PresenceComputers()) {
      if (hw::platform::EqualsNoCase(entry.name, computer)) {
        std::cout << "resolved " << inet_ntoa(entry.address) << std::endl;
        return true;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::cerr << computer << " did not show up in the presence table" << std::endl;
  return false;
}

int Burst(const std::string& to, long count, bool resolve) {
  try {
    hw::TMessageLoop loop;
    hw::TMailslotTerminal terminal(loop);
    // The terminal listens under a name of its own so that it never competes with a
    // messenger on this computer; its client writes to the messengers' mailslot.
    terminal.SetMailslotName("hwBurst");
    terminal.Client().SetMailslotName("hwSlot");
    terminal.SetReceiver(hw::TReceiverType::rcDomainOrComputer);
    terminal.SetReceiverName(to);
    if (resolve && !WaitResolved(to)) return 1;
    for (long i = 1; i <= count; ++i) {
      const std::string text = "burst " + std::to_string(i);
      terminal.Send(text.c_str(), static_cast<std::uint16_t>(text.size() + 1));
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return 1;
  }
  std::cout << "sent " << count << std::endl;
  return 0;
}

volatile sig_atomic_t g_stop = 0;

int Hold(const std::string& name, double timeout_s) {
  signal(SIGTERM, [](int) { g_stop = 1; });
  const std::string path = "\\\\.\\mailslot\\" + name;
  const HANDLE h = CreateMailslotA(path.c_str(), 0, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    std::cerr << hw::SystemErrorText(GetLastError()) << std::endl;
    return 2;
  }
  std::cout << "ready" << std::endl;
  const auto deadline = Clock::now() + std::chrono::milliseconds(static_cast<long>(timeout_s * 1000));
  while (!g_stop && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  CloseHandle(h);
  return 0;
}

std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

int Count(long count, double timeout_s, long linger_ms) {
  const HANDLE h = CreateMailslotA("\\\\.\\mailslot\\hwSlot", 0, 50, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    std::cerr << hw::SystemErrorText(GetLastError()) << std::endl;
    return 2;
  }
  std::cout << "ready" << std::endl;

  struct TSenderLog {
    std::uint32_t highest = 0;
    std::set<std::uint32_t> seen;
  };
  std::map<std::uint32_t, TSenderLog> senders;
  long frames = 0, duplicates = 0, reordered = 0, malformed = 0;
  std::vector<std::uint8_t> buffer(70000);

  const auto read_until = [&](Clock::time_point deadline, bool stop_at_count) {
    while (Clock::now() < deadline && !(stop_at_count && frames >= count)) {
      DWORD read = 0;
      if (!ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) continue;  // time-out
      ++frames;
      if (read < 8) {
        ++malformed;
        continue;
      }
      auto& log = senders[Le32(buffer.data())];
      const std::uint32_t sequence = Le32(buffer.data() + 4);
      if (!log.seen.insert(sequence).second) {
        ++duplicates;
        continue;
      }
      if (sequence < log.highest) ++reordered;
      if (sequence > log.highest) log.highest = sequence;
    }
  };
  read_until(Clock::now() + std::chrono::milliseconds(static_cast<long>(timeout_s * 1000)), true);
  // Keep reading a little: a repeat arriving after the last expected frame counts too.
  read_until(Clock::now() + std::chrono::milliseconds(linger_ms), false);
  CloseHandle(h);

  // Every sender numbers its frames from 1: each number in 1..N not seen was lost.
  long unique = 0, in_range = 0;
  for (const auto& entry : senders) {
    unique += static_cast<long>(entry.second.seen.size());
    for (std::uint32_t sequence : entry.second.seen)
      if (sequence >= 1 && sequence <= static_cast<std::uint32_t>(count)) ++in_range;
  }
  const long missing = count - in_range;
  std::cout << "frames=" << frames << " unique=" << unique << " duplicates=" << duplicates << " reordered=" << reordered
            << " missing=" << missing << " malformed=" << malformed << " senders=" << senders.size() << std::endl;
  return 0;
}

bool ParseLong(const char* text, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end && *end == '\0' && value >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string mode = argv[1];
  if (mode == "probe" && argc == 3) return Probe(argv[2]);
  int first_option = 2;
  std::string hold_name;
  if (mode == "hold") {
    if (argc < 3) return Usage();
    hold_name = argv[2];
    first_option = 3;
  }

  std::string to;
  long count = -1, linger = 300, resolve = 0;
  double timeout = 10;
  for (int i = first_option; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return Usage();
    const char* value = argv[++i];
    if (arg == "--to") {
      to = value;
    } else if (arg == "--count") {
      if (!ParseLong(value, count)) return Usage();
    } else if (arg == "--resolve") {
      if (!ParseLong(value, resolve)) return Usage();
    } else if (arg == "--linger") {
      if (!ParseLong(value, linger)) return Usage();
    } else if (arg == "--timeout") {
      char* end = nullptr;
      timeout = std::strtod(value, &end);
      if (!end || *end || timeout < 0) return Usage();
    } else {
      return Usage();
    }
  }
  if (mode == "hold") return Hold(hold_name, timeout);
  if (count < 0) return Usage();
  if (mode == "burst" && !to.empty()) return Burst(to, count, resolve != 0);
  if (mode == "count") return Count(count, timeout, linger);
  return Usage();
}
