// hallwire-send (--all | --to NAME | --local) [--sign] [TEXT...]
// Sends one chat line, framed as the messenger frames it (signed with the user's key
// with --sign), to the "hwSlot" mailslot
// of every computer of the workgroup, of one computer or domain, or of this computer.
// --list prints the network as the recipient tree shows it; --check the state of this
// computer's network parts.
#include <arpa/inet.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "platform/net/Config.h"
#include "platform/net/Carrier.h"
#include "platform/net/Mpr.h"
#include "platform/net/NameService.h"
#include "platform/net/PortStatus.h"
#include "platform/net/Presence.h"
#include "platform/net/NetworkNotice.h"
#include "platform/system/Kernel32.h"
#include "settings/SettingsFile.h"
#include "transport/ChatLine.h"
#include "transport/Mailslot.h"

namespace {

int Usage() {
  std::cerr << "usage: hallwire-send (--all | --to NAME | --local) [--sign] [TEXT...]\n"
               "       hallwire-send --list\n"
               "       hallwire-send --check\n"
               "  Sends TEXT (or standard input) as one chat line to the hwSlot mailslot,\n"
               "  lists the network as the messenger's recipient tree shows it, or checks\n"
               "  this computer's interfaces, ports and name service.\n";
  return 2;
}

// Prints the two enumeration stages as the recipient tree shows them: the root's
// text (the provider), then each computer's display name.
int List() {
  using namespace hw::win32;
  std::vector<char> buffer(32768);
  NETRESOURCEA request{RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEDISPLAYTYPE_DOMAIN, RESOURCEUSAGE_CONTAINER,
                       nullptr, nullptr, nullptr, nullptr};
  HANDLE h = 0;
  if (WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER, &request, &h) != NO_ERROR) return 1;
  DWORD count = 1, size = static_cast<DWORD>(buffer.size());
  DWORD result = WNetEnumResourceA(h, &count, buffer.data(), &size);
  WNetCloseEnum(h);
  if (result != NO_ERROR || count < 1) return 1;
  NETRESOURCEA container;
  std::memcpy(&container, buffer.data(), sizeof container);
  std::string workgroup = container.lpRemoteName ? container.lpRemoteName : "";
  container.lpRemoteName = workgroup.data();
  // The root's text comes from the first stage, so an empty network still shows it.
  std::vector<std::string> lines = {container.lpProvider ? container.lpProvider : ""};
  if (WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER, &container, &h) != NO_ERROR)
    return 1;
  for (;;) {
    count = 1024;
    size = static_cast<DWORD>(buffer.size());
    result = WNetEnumResourceA(h, &count, buffer.data(), &size);
    if (result != NO_ERROR) break;
    for (DWORD i = 0; i < count; ++i) {
      NETRESOURCEA r;
      std::memcpy(&r, buffer.data() + i * sizeof r, sizeof r);
      lines.push_back(hw::ComputerDisplayName(r.lpRemoteName ? r.lpRemoteName : ""));
    }
  }
  WNetCloseEnum(h);
  if (result != ERROR_NO_MORE_ITEMS) return 1;
  for (const auto& line : lines) std::cout << line << "\n";
  return 0;
}

std::string Dotted(in_addr a) {
  char text[INET_ADDRSTRLEN] = "";
  inet_ntop(AF_INET, &a, text, sizeof text);
  return text;
}

std::string Holders(const hw::platform::net::TPortState& state) {
  std::string text;
  if (state.held_here) text = "held by this process";
  for (const auto& other : state.others) text += (text.empty() ? "held by " : ", ") + other;
  return text.empty() ? "free" : text;
}

// What this computer's network parts can do, for users and support. The ports are
// looked at before this process binds anything; then the network is asked who is
// there, as --list does. Exit 1 when messages could not travel.
int Check() {
  using namespace hw::platform::net;
  std::vector<std::string> notices;
  std::mutex notices_mutex;
  SetOnNetworkNotice([&](const std::string& text) {
    std::lock_guard<std::mutex> lock(notices_mutex);
    notices.push_back(text);
  });
  const auto& config = Config();
  std::vector<std::string> problems;
  std::cout << "Computer " << config.computer_name << ", workgroup " << config.workgroup << "\n";
  std::cout << "Interfaces" << (config.confined_to_loopback ? " (this computer only):" : ":") << "\n";
  for (const auto& itf : config.interfaces)
    std::cout << "  " << itf.name << " " << Dotted(itf.address) << " netmask " << Dotted(itf.netmask)
              << " broadcast " << Dotted(itf.broadcast) << "\n";
  if (config.interfaces.empty()) {
    std::cout << "  none\n";
    problems.push_back("no usable interface: messages cannot leave this computer");
  }
  const auto datagram = InspectUdpPort(TPortRole::Datagram, config.port);
  const auto name = InspectUdpPort(TPortRole::Name, config.name_port);
  std::cout << "Datagram port " << config.port << "/udp: " << Holders(datagram) << "\n";
  if (!datagram.problem.empty()) std::cout << "  " << datagram.problem << "\n";
  std::cout << "Name port " << config.name_port << "/udp: " << Holders(name) << "\n";
  if (!name.problem.empty()) std::cout << "  " << name.problem << "\n";
  const TNameAnswerer answerer = NameServiceAnswerer();
  std::cout << "Name service for " << config.computer_name << ": "
            << (answerer == TNameAnswerer::ThisProcess    ? "answered by this process"
                : answerer == TNameAnswerer::OtherProcess ? "answered by another Hallwire program"
                                                          : "nobody answers (no Hallwire program is running)")
            << "\n";
  if (!datagram.problem.empty()) problems.push_back("the datagram port cannot be used");
  if (!name.problem.empty() && answerer == TNameAnswerer::Nobody) problems.push_back("the name port cannot be used");

  const auto start = std::chrono::steady_clock::now();
  std::size_t heard = 0;
  for (const auto& computer : PresenceComputers())
    if (!computer.local) ++heard;
  const auto counters = CarrierCounters();
  std::cout << "Computers heard in " << config.workgroup << ": " << heard;
  if (counters.last_arrival) {
    const double ago = std::chrono::duration<double>(std::chrono::steady_clock::now() - *counters.last_arrival).count();
    const double asked = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    char text[64];
    std::snprintf(text, sizeof text, "%.1f s ago (asked %.1f s ago)", ago, asked);
    std::cout << ", last datagram from another computer " << text << "\n";
  } else {
    std::cout << ", no datagram from another computer\n";
  }
  {
    std::lock_guard<std::mutex> lock(notices_mutex);
    for (const auto& text : notices) std::cout << "Notice: " << text << "\n";
  }
  SetOnNetworkNotice(nullptr);
  if (problems.empty()) {
    std::cout << "Result: messages can travel\n";
    return 0;
  }
  std::cout << "Result: messages cannot travel: ";
  for (std::size_t i = 0; i < problems.size(); ++i) std::cout << (i ? "; " : "") << problems[i];
  std::cout << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using hw::TReceiverType;
  hw::platform::net::SetOnNetworkNotice([](const std::string& text) { std::cerr << text << std::endl; });
  hw::ApplyNetworkSettings();
  try {
    hw::platform::net::CheckConfig();
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  std::optional<TReceiverType> receiver;
  std::string receiver_name;
  std::string text;
  bool have_text = false;
  bool sign = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--all") {
      receiver = TReceiverType::rcPrimaryDomain;
    } else if (arg == "--sign") {
      sign = true;
    } else if (arg == "--local") {
      receiver = TReceiverType::rcLocalComputer;
    } else if (arg == "--to" && i + 1 < argc) {
      receiver = TReceiverType::rcDomainOrComputer;
      receiver_name = argv[++i];
    } else if (arg == "--list") {
      return List();
    } else if (arg == "--check") {
      return Check();
    } else if (arg == "--help" || arg == "-h") {
      Usage();
      return 0;
    } else if (arg == "--") {
      for (++i; i < argc; ++i) text += (have_text ? " " : "") + std::string(argv[i]), have_text = true;
    } else if (arg.rfind("--", 0) == 0) {
      return Usage();
    } else {
      text += (have_text ? " " : "") + arg;
      have_text = true;
    }
  }
  if (!receiver) return Usage();
  if (!have_text) {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  }

  const std::string line = hw::BuildChatLine(hw::LocalComputerName(), hw::LocalUserName(), text);
  if (line.size() + 1 + (sign ? hw::kTrailerSize : 0) > hw::kMaxPayload) {
    std::cerr << hw::SystemErrorText(hw::win32::WSAEMSGSIZE) << "\n";
    return 1;
  }
  try {
    hw::TMailslotClient client;
    client.SetMailslotName("hwSlot");
    client.SetReceiver(*receiver);
    client.SetReceiverName(receiver_name);
    hw::TMessageHeader header{hw::MakeSenderId(), 0};
    hw::TMemoryStream frame;
    std::vector<std::uint8_t> payload(line.begin(), line.end());
    payload.push_back(0);
    if (sign) hw::TLineSigner::FromKeyFile(hw::UserKeyFile())->AppendTrailer(payload, header.SenderId, 1);
    hw::FrameMessage(frame, header, payload.data(), static_cast<std::uint16_t>(payload.size()));
    client.WriteMessage(frame.Memory(), static_cast<std::uint32_t>(frame.Size()));
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
