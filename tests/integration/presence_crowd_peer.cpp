// presence_crowd_peer BROADCAST FIRST_ADDRESS COMPUTERS SECONDS [--quiet]
// COMPUTERS names ("CROWD1", ...), four to each source address counted up from
// FIRST_ADDRESS, announce themselves at BROADCAST (unless --quiet) and answer every
// AnnouncementRequest, each after its own random delay within AnswerDelayBound. Ends
// after SECONDS or once every computer has answered, printing "answers=N
// peak_per_second=P" (the most answers sent in any one second).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/net/Config.h"
#include "platform/net/Datagram.h"
#include "platform/net/Presence.h"

using namespace hw::platform::net;
using Clock = std::chrono::steady_clock;

namespace {

struct TComputer {
  std::string name;
  in_addr address{};
};

// Sends from any address of this namespace through one socket (IP_PKTINFO).
void SendFrom(int fd, const TComputer& c, const sockaddr_in& to) {
  THostAnnouncement a;
  a.server_name = c.name;
  a.server_type = kServerTypeWorkstation | kServerTypeServer;
  a.periodicity_ms = 600000;
  a.comment = "crowd";
  TMailslotDatagram d;
  d.type = TDatagramType::DirectGroup;
  d.source_ip = c.address;
  d.source_port = Config().port;
  d.source = {c.name, 0};
  d.destination = {Config().workgroup, 0x1D};
  d.mailslot = "\\MAILSLOT\\BROWSE";
  d.data = EncodeBrowseMessage(a);
  const auto bytes = EncodeDatagram(d);
  iovec iov{const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
  char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
  msghdr msg{const_cast<sockaddr_in*>(&to), sizeof to, &iov, 1, control, sizeof control, 0};
  cmsghdr* cmsg = CMSG_FIRSTHDR(&msg);
  *cmsg = cmsghdr{CMSG_LEN(sizeof(in_pktinfo)), IPPROTO_IP, IP_PKTINFO};
  const in_pktinfo info{0, c.address, {}};  // ipi_spec_dst: the source address
  std::memcpy(CMSG_DATA(cmsg), &info, sizeof info);
  // A full send queue only slows the crowd down.
  while (sendmsg(fd, &msg, 0) < 0 && (errno == EAGAIN || errno == ENOBUFS || errno == EINTR))
    std::this_thread::sleep_for(std::chrono::microseconds(200));
}

bool IsAnnouncementRequest(const std::uint8_t* bytes, std::size_t size) {
  const auto d = ParseDatagram(bytes, size);
  if (!d || d->data_size < 1) return false;
  const auto m = DecodeBrowseMessage(d->data, d->data_size);
  return m && m->opcode == 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(Config().port);
  if (inet_pton(AF_INET, argv[1], &to.sin_addr) != 1) return 2;
  in_addr first{};
  if (inet_pton(AF_INET, argv[2], &first) != 1) return 2;
  const std::size_t count = std::strtoul(argv[3], nullptr, 10);
  const auto until = Clock::now() + std::chrono::duration<double>(std::atof(argv[4]));
  const bool quiet = argc > 5 && std::string(argv[5]) == "--quiet";

  std::vector<TComputer> crowd;
  for (std::size_t i = 0; i < count; ++i)
    crowd.push_back({"CROWD" + std::to_string(i + 1), in_addr{htonl(ntohl(first.s_addr) + static_cast<std::uint32_t>(
                                                                          i / kMaxNamesPerSource))}});

  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &one, sizeof one);
  setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
  sockaddr_in any{};
  any.sin_family = AF_INET;
  any.sin_port = to.sin_port;
  if (bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0) {
    std::perror("bind");
    return 1;
  }

  // About 5,000 a second, as a LAN that size announces after a power cut.
  if (!quiet) {
    for (std::size_t i = 0; i < crowd.size(); ++i) {
      SendFrom(fd, crowd[i], to);
      if (i % 50 == 49) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  std::cout << "announced" << std::endl;

  std::mt19937 rng(std::random_device{}());
  std::vector<std::pair<Clock::time_point, std::size_t>> due;  // one pending answer per computer at most
  std::vector<bool> pending(crowd.size(), false);
  std::deque<Clock::time_point> sent;
  std::size_t answers = 0, peak = 0;
  std::vector<std::uint8_t> buffer(65536);
  while (Clock::now() < until) {
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, 2);
    for (ssize_t n; (n = recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT)) > 0;) {
      if (!IsAnnouncementRequest(buffer.data(), static_cast<std::size_t>(n))) continue;
      std::uniform_int_distribution<std::int64_t> delay(0, static_cast<std::int64_t>(AnswerDelayBound(crowd.size()).count()));
      for (std::size_t i = 0; i < crowd.size(); ++i)
        if (!pending[i]) pending[i] = true, due.emplace_back(Clock::now() + std::chrono::milliseconds(delay(rng)), i);
    }
    const auto now = Clock::now();
    const auto ready = std::partition(due.begin(), due.end(), [&](const auto& d) { return d.first > now; });
    for (auto it = ready; it != due.end(); ++it) {
      SendFrom(fd, crowd[it->second], to);
      pending[it->second] = false;
      ++answers;
      sent.push_back(now);
      while (now - sent.front() >= std::chrono::seconds(1)) sent.pop_front();
      peak = std::max(peak, sent.size());
    }
    due.erase(ready, due.end());
    if (answers >= crowd.size() && due.empty()) break;
  }
  std::cout << "answers=" << answers << " peak_per_second=" << peak << std::endl;
  return 0;
}
