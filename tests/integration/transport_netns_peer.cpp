// A peer program for the multi-host transport tests, run inside one simulated host.
//
//   transport_netns_peer probe NAME
//       exit 0 when the local mailslot NAME has an owner on this computer, else 1.
//   transport_netns_peer burst --to NAME --count N [--resolve 1] [--every MS]
//       sends N frames ("burst 1" ... "burst N") through a terminal to the hwSlot
//       mailslot of computer or domain NAME; prints "sent N". With --resolve 1 it
//       first waits until the presence table knows computer NAME (so the frames go
//       as unicasts) and prints "resolved ADDRESS". With --every, one frame every
//       MS milliseconds, as a messenger's user would send.
//   transport_netns_peer names NAME --timeout SECONDS
//       asks the name service for NAME every 100 ms (fresh queries, no cache) and
//       prints one line per query: when it was asked (steady clock, milliseconds,
//       comparable between processes), then every address that answered.
//   transport_netns_peer hold NAME --timeout SECONDS
//       owns the local mailslot NAME (and so the carrier's port) until the time-out
//       or SIGTERM; prints "ready".
//   transport_netns_peer count --count N --timeout SECONDS [--linger MS]
//       owns hwSlot itself and reads every message as it sits in the mailslot,
//       without the terminal's repeat filter, so duplicates made on the way show.
//       Prints "ready", then after N frames (or the time-out) and the linger time
//       one summary line:
//       frames=F unique=U duplicates=D reordered=R missing=M malformed=X senders=S
//   transport_netns_peer remote NAME --timeout SECONDS
//       takes the user's [Network] settings as the messenger does, owns hwSlot, prints
//       "ready", then "listed MS" once the presence table lists computer NAME (MS since
//       ready), writes "to all from <this computer>" to the whole workgroup, and prints
//       "got TEXT" for each message read until the time-out.
//   transport_netns_peer talk FILE
//       one terminal signing with the user's key sends each line appended to FILE to
//       the whole workgroup; prints "ready", then "sent TEXT".
//   transport_netns_peer capture FILE
//       owns hwSlot and writes the first frame read to FILE; prints "ready", "captured".
//   transport_netns_peer forge FILE (identity | mute | replay)
//       to the whole workgroup: the captured line's sender with another key's signature;
//       its id with sequence 0xFFFFFFF0, unsigned and with its trailer broken; or the
//       captured frame again.
#include <arpa/inet.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/net/Config.h"
#include "platform/net/Kernel32Mailslots.h"
#include "platform/net/NameService.h"
#include "platform/net/Presence.h"
#include "platform/system/Exception.h"
#include "platform/system/Kernel32.h"
#include "platform/system/WindowThread.h"
#include "settings/SettingsFile.h"
#include "transport/ChatLine.h"
#include "transport/Mailslot.h"
#include "transport/Trust.h"

namespace {

using namespace hw::win32;
using Clock = std::chrono::steady_clock;

int Usage() {
  std::cerr << "usage: transport_netns_peer (probe NAME | burst --to NAME --count N [--resolve 1] [--every MS] |\n"
               "                             hold NAME --timeout SECONDS | names NAME --timeout SECONDS |\n"
               "                             count --count N --timeout SECONDS [--linger MS] |\n"
               "                             remote NAME --timeout SECONDS | talk FILE | capture FILE |\n"
               "                             forge FILE (identity | mute | replay))\n";
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

// Waits until the presence table lists the computer, looking every `pause`; its address.
std::optional<in_addr> Listed(const std::string& computer, Clock::time_point deadline, Clock::duration pause) {
  for (; Clock::now() < deadline; std::this_thread::sleep_for(pause))
    for (const auto& entry : hw::platform::net::PresenceComputers())
      if (hw::platform::net::EqualsNoCase(entry.name, computer)) return entry.address;
  return std::nullopt;
}

// Waits up to 10 s for the computer to be listed and prints its address.
bool WaitResolved(const std::string& computer) {
  const auto address = Listed(computer, Clock::now() + std::chrono::seconds(10), std::chrono::milliseconds(50));
  if (address) std::cout << "resolved " << inet_ntoa(*address) << std::endl;
  else std::cerr << computer << " did not show up in the presence table" << std::endl;
  return address.has_value();
}

int Burst(const std::string& to, long count, bool resolve, long every_ms) {
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
      if (every_ms > 0) loop.ProcessFor(std::chrono::milliseconds(every_ms));
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return 1;
  }
  std::cout << "sent " << count << std::endl;
  return 0;
}

int Names(const std::string& name, double timeout_s) {
  const auto start = Clock::now();
  const auto deadline = start + std::chrono::milliseconds(static_cast<long>(timeout_s * 1000));
  while (Clock::now() < deadline) {
    const auto asked = Clock::now();
    const auto answers = hw::platform::net::QueryComputerNameAnswers(name);
    std::cout << std::chrono::duration_cast<std::chrono::milliseconds>(asked.time_since_epoch()).count();
    for (const auto& a : answers) std::cout << " " << inet_ntoa(a);
    std::cout << std::endl;
    std::this_thread::sleep_until(asked + std::chrono::milliseconds(100));
  }
  return 0;
}

// Creates the mailslot with the read time-out given; says on stderr why it could not.
HANDLE OwnSlot(const std::string& name, DWORD read_timeout_ms) {
  const HANDLE h = CreateMailslotA(("\\\\.\\mailslot\\" + name).c_str(), 0, read_timeout_ms, nullptr);
  if (h == INVALID_HANDLE_VALUE) std::cerr << hw::SystemErrorText(GetLastError()) << std::endl;
  return h;
}

volatile sig_atomic_t g_stop = 0;

int Hold(const std::string& name, double timeout_s) {
  signal(SIGTERM, [](int) { g_stop = 1; });
  const HANDLE h = OwnSlot(name, 0);
  if (h == INVALID_HANDLE_VALUE) return 2;
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
  const HANDLE h = OwnSlot("hwSlot", 50);
  if (h == INVALID_HANDLE_VALUE) return 2;
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

// Writes bytes to hwSlot on every computer of the workgroup; false (told on stderr) when it could not.
bool WriteToAll(const void* bytes, std::size_t size) {
  const HANDLE all = CreateFileA("\\\\*\\mailslot\\hwSlot", GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
  DWORD written = 0;
  const bool sent = all != INVALID_HANDLE_VALUE && WriteFile(all, bytes, static_cast<DWORD>(size), &written, nullptr);
  if (!sent) std::cerr << hw::SystemErrorText(GetLastError()) << std::endl;
  if (all != INVALID_HANDLE_VALUE) CloseHandle(all);
  return sent;
}

int Remote(const std::string& other, double timeout_s) {
  hw::ApplyNetworkSettings();
  const HANDLE h = OwnSlot("hwSlot", 50);
  if (h == INVALID_HANDLE_VALUE) return 2;
  const auto start = Clock::now();
  const auto deadline = start + std::chrono::milliseconds(static_cast<long>(timeout_s * 1000));
  std::cout << "ready" << std::endl;
  if (!Listed(other, deadline, std::chrono::milliseconds(10))) return 1;
  std::cout << "listed "
            << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count() << std::endl;
  const std::string text = "to all from " + hw::platform::net::Config().computer_name;
  if (!WriteToAll(text.c_str(), text.size() + 1)) return 1;
  std::cout << "sent" << std::endl;
  std::vector<char> buffer(70000);
  while (Clock::now() < deadline) {
    DWORD read = 0;
    if (ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0)
      std::cout << "got " << std::string(buffer.data(), strnlen(buffer.data(), read)) << std::endl;
  }
  CloseHandle(h);
  return 0;
}

int Talk(const std::string& file) {
  hw::TMessageLoop loop;
  hw::TMailslotTerminal terminal(loop);
  terminal.SetMailslotName("hwTalk");
  terminal.SetSigner(hw::TLineSigner::FromKeyFile(hw::UserKeyFile()));
  terminal.SetReceiver(hw::TReceiverType::rcPrimaryDomain);
  terminal.Client().SetMailslotName("hwSlot");
  std::cout << "ready" << std::endl;
  for (std::size_t done = 0;; loop.ProcessFor(std::chrono::milliseconds(50))) {
    std::ifstream in(file);
    std::string text;
    for (std::size_t i = 0; std::getline(in, text); ++i) {
      if (i < done) continue;
      const std::string line = hw::BuildChatLine(hw::LocalComputerName(), hw::LocalUserName(), text);
      terminal.Send(line.c_str(), static_cast<std::uint16_t>(line.size() + 1));
      std::cout << "sent " << text << std::endl;
      ++done;
    }
  }
}

int Capture(const std::string& file) {
  const HANDLE h = OwnSlot("hwSlot", 30000);
  if (h == INVALID_HANDLE_VALUE) return 2;
  std::cout << "ready" << std::endl;
  std::vector<char> frame(70000);
  DWORD read = 0;
  if (!ReadFile(h, frame.data(), static_cast<DWORD>(frame.size()), &read, nullptr)) return 1;
  std::ofstream(file, std::ios::binary).write(frame.data(), read);
  std::cout << "captured" << std::endl;
  return 0;
}

// Sends the payload to the whole workgroup in a frame with this sender id and sequence number.
int Broadcast(const std::vector<std::uint8_t>& payload, std::uint32_t id, std::uint32_t sequence) {
  std::vector<std::uint8_t> frame(8);
  std::memcpy(&frame[0], &id, 4);  // a little-endian host
  std::memcpy(&frame[4], &sequence, 4);
  frame.insert(frame.end(), payload.begin(), payload.end());
  return WriteToAll(frame.data(), frame.size()) ? 0 : 1;
}

int Forge(const std::string& file, const std::string& what) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<std::uint8_t> captured{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (captured.size() < 9) return 1;
  const std::uint32_t id = Le32(captured.data());
  std::vector<std::uint8_t> payload(captured.begin() + 8, captured.end());
  if (what == "replay") return Broadcast(payload, id, Le32(captured.data() + 4));
  // A line that names the captured line's sender.
  const auto line = [&](const std::string& words) {
    const std::string text = hw::LineIdentity(reinterpret_cast<const char*>(&captured[8])) + words;
    return std::vector<std::uint8_t>(text.c_str(), text.c_str() + text.size() + 1);
  };
  if (what == "identity") {  // signed correctly, but by the forger's own key
    auto forged = line(" please wire the money");
    hw::TLineSigner::Generate()->AppendTrailer(forged, 0x5EED, 1);
    return Broadcast(forged, 0x5EED, 1);
  }
  payload.back() ^= 1;  // its trailer broken
  return what == "mute" ? Broadcast(line(" mute"), id, 0xFFFFFFF0) | Broadcast(payload, id, 0xFFFFFFF0) : 2;
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
  try {
    if (mode == "probe" && argc == 3) return Probe(argv[2]);
    if (mode == "talk" || mode == "capture" || mode == "forge") hw::ApplyNetworkSettings();
    if (mode == "talk" && argc == 3) return Talk(argv[2]);
    if (mode == "capture" && argc == 3) return Capture(argv[2]);
    if (mode == "forge" && argc == 4) return Forge(argv[2], argv[3]);
  } catch (const std::exception& e) {
    std::cerr << e.what() << std::endl;
    return 1;
  }
  int first_option = 2;
  std::string hold_name;
  if (mode == "hold" || mode == "names" || mode == "remote") {
    if (argc < 3) return Usage();
    hold_name = argv[2];
    first_option = 3;
  }

  std::string to;
  long count = -1, linger = 300, resolve = 0, every = 0;
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
    } else if (arg == "--every") {
      if (!ParseLong(value, every)) return Usage();
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
  if (mode == "names") return Names(hold_name, timeout);
  if (mode == "remote") return Remote(hold_name, timeout);
  if (count < 0) return Usage();
  if (mode == "burst" && !to.empty()) return Burst(to, count, resolve != 0, every);
  if (mode == "count") return Count(count, timeout, linger);
  return Usage();
}
