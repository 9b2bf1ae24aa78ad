// hallwire-send (--all | --to NAME | --local) [TEXT...]
// Sends one chat line, framed as the messenger frames it, to the "hwSlot" mailslot
// of every computer of the workgroup, of one computer or domain, or of this computer.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "platform/Kernel32.h"
#include "transport/ChatLine.h"
#include "transport/Mailslot.h"

namespace {

int Usage() {
  std::cerr << "usage: hallwire-send (--all | --to NAME | --local) [TEXT...]\n"
               "  Sends TEXT (or standard input) as one chat line to the hwSlot mailslot.\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using hw::TReceiverType;
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
