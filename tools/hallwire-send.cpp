// hallwire-send (--all | --to NAME | --local) [TEXT...]
// Sends one chat line, framed as the messenger frames it, to the "hwSlot" mailslot
// of every computer of the workgroup, of one computer or domain, or of this computer.
#include <cstdio>
#include <cstring>
#include <vector>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "platform/Config.h"
#include "platform/Kernel32.h"
#include "platform/Mpr.h"
#include "transport/ChatLine.h"
#include "transport/Mailslot.h"

namespace {

int Usage() {
  std::cerr << "usage: hallwire-send (--all | --to NAME | --local) [TEXT...]\n"
               "       hallwire-send --list\n"
               "  Sends TEXT (or standard input) as one chat line to the hwSlot mailslot,\n"
               "  or lists the network as the messenger's recipient tree shows it.\n";
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

}  // namespace

int main(int argc, char** argv) {
  using hw::TReceiverType;
  try {
    hw::platform::CheckConfig();
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  std::optional<TReceiverType> receiver;
  std::string receiver_name;
  std::string text;
  bool have_text = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--all") {
      receiver = TReceiverType::rcPrimaryDomain;
    } else if (arg == "--local") {
      receiver = TReceiverType::rcLocalComputer;
    } else if (arg == "--to" && i + 1 < argc) {
      receiver = TReceiverType::rcDomainOrComputer;
      receiver_name = argv[++i];
    } else if (arg == "--list") {
      return List();
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
  if (line.size() + 1 > hw::kMaxPayload) {
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
    hw::FrameMessage(frame, header, line.c_str(), static_cast<std::uint16_t>(line.size() + 1));
    client.WriteMessage(frame.Memory(), static_cast<std::uint32_t>(frame.Size()));
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
