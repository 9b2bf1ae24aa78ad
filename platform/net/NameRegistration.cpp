#include "platform/net/NameRegistration.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "platform/net/Config.h"
#include "platform/net/NameWire.h"
#include "platform/net/NetworkNotice.h"
#include "platform/net/StoppableThread.h"
#include "platform/net/Wins.h"

namespace hw::platform::net {

namespace {

using Clock = std::chrono::steady_clock;

using namespace wire;

constexpr std::uint16_t kFlagRecursionAvailable = 0x0080;
constexpr std::uint16_t kTypeNull = 0x000A;
constexpr std::uint16_t kNamePointer = 0xC00C;  // the question's name, at offset 12
// A B node claims its name three times, 250 ms apart, and takes silence as consent.
constexpr int kBroadcastTries = 3;
constexpr auto kBroadcastInterval = std::chrono::milliseconds(250);

// NB_FLAGS and NB_ADDRESS.
void PutNbData(std::vector<std::uint8_t>& out, const TNameClaim& claim) {
  PutBe16(out, 6);
  PutBe16(out, claim.nb_flags);
  const auto* a = reinterpret_cast<const std::uint8_t*>(&claim.address);
  out.insert(out.end(), a, a + 4);
}

std::uint16_t Flags(std::uint8_t opcode, std::uint16_t rest) { return static_cast<std::uint16_t>(opcode << 11 | rest); }

// Question, then the claim as the additional record whose name points back at it.
std::vector<std::uint8_t> EncodeClaimRequest(std::uint16_t id, std::uint8_t opcode, const TNameClaim& claim,
                                             bool broadcast) {
  std::vector<std::uint8_t> out;
  out.reserve(kHeaderSize + kEncodedNameSize + 4 + 18);
  PutHeader(out, id, Flags(opcode, kFlagRecursionDesired | (broadcast ? kFlagBroadcast : 0)), 1, 0, 1);
  PutName(out, claim.name);
  PutBe16(out, kNameTypeNb);
  PutBe16(out, kNameClassIn);
  PutBe16(out, kNamePointer);
  PutBe16(out, kNameTypeNb);
  PutBe16(out, kNameClassIn);
  PutBe32(out, claim.ttl);
  PutNbData(out, claim);
  return out;
}

// Reads NB records' RDATA (flags and address, six bytes each) into packet.
bool ReadNbData(const std::uint8_t* p, std::size_t length, TNamePacket& packet) {
  if (length % 6 != 0) return false;
  for (std::size_t at = 0; at < length; at += 6) {
    if (at == 0) packet.nb_flags = Be16(p);
    in_addr a;
    std::memcpy(&a, p + at + 2, 4);
    packet.addresses.push_back(a);
  }
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeNameRegistration(std::uint16_t id, const TNameClaim& claim, bool broadcast) {
  return EncodeClaimRequest(id, kOpcodeRegistration, claim, broadcast);
}

std::vector<std::uint8_t> EncodeNameRefresh(std::uint16_t id, const TNameClaim& claim) {
  return EncodeClaimRequest(id, kOpcodeRefresh, claim, false);
}

std::vector<std::uint8_t> EncodeNameRelease(std::uint16_t id, const TNameClaim& claim, bool broadcast) {
  return EncodeClaimRequest(id, kOpcodeRelease, claim, broadcast);
}

std::vector<std::uint8_t> EncodeNameRegistrationResponse(std::uint16_t id, const TNameClaim& claim,
                                                         std::uint8_t rcode) {
  std::vector<std::uint8_t> out;
  PutHeader(out, id,
            Flags(kOpcodeRegistration, kFlagResponse | kFlagAuthoritative | kFlagRecursionDesired |
                                           kFlagRecursionAvailable | (rcode & 0x0F)),
            0, 1, 0);
  PutName(out, claim.name);
  PutBe16(out, kNameTypeNb);
  PutBe16(out, kNameClassIn);
  PutBe32(out, rcode ? 0 : claim.ttl);
  PutNbData(out, claim);
  return out;
}

std::vector<std::uint8_t> EncodeWack(std::uint16_t id, const TNetbiosName& name, std::uint32_t ttl,
                                     std::uint16_t request_flags) {
  std::vector<std::uint8_t> out;
  PutHeader(out, id, Flags(kOpcodeWack, kFlagResponse | kFlagAuthoritative), 0, 1, 0);
  PutName(out, name);
  PutBe16(out, kNameTypeNb);
  PutBe16(out, kNameClassIn);
  PutBe32(out, ttl);
  PutBe16(out, 2);
  PutBe16(out, request_flags);
  return out;
}

std::vector<std::uint8_t> EncodeUnicastNameQuery(std::uint16_t id, const TNetbiosName& name) {
  auto out = EncodeNameQuery(id, name);
  out[3] &= static_cast<std::uint8_t>(~kFlagBroadcast);
  return out;
}

std::optional<TNamePacket> ParseNameOwnershipPacket(const std::uint8_t* p, std::size_t size) {
  if (size < kHeaderSize) return std::nullopt;
  TNamePacket packet;
  const auto [questions, answers, authority, additional] = ReadHeader(p, packet);
  if (authority != 0) return std::nullopt;
  if (!packet.response) {
    // A claim: the question, then one NB record whose name is a pointer to it or
    // the name written again.
    const bool claim = packet.opcode == kOpcodeRegistration || packet.opcode == kOpcodeRelease ||
                       packet.opcode == kOpcodeRefresh || packet.opcode == kOpcodeRefreshAlt;
    if (!claim || questions != 1 || answers != 0 || additional != 1) return std::nullopt;
    constexpr std::size_t question_end = kHeaderSize + kEncodedNameSize + 4;
    if (size < question_end + 2 || !DecodeName(p + kHeaderSize, packet.name)) return std::nullopt;
    if (Be16(p + question_end - 4) != kNameTypeNb || Be16(p + question_end - 2) != kNameClassIn)
      return std::nullopt;
    std::size_t at = question_end;
    if (Be16(p + at) == kNamePointer) {
      at += 2;
    } else {
      TNetbiosName repeated;
      if (size < at + kEncodedNameSize || !DecodeName(p + at, repeated)) return std::nullopt;
      if (std::memcmp(p + at, p + kHeaderSize, kEncodedNameSize) != 0) return std::nullopt;
      at += kEncodedNameSize;
    }
    if (size != at + 16 || Be16(p + at) != kNameTypeNb || Be16(p + at + 2) != kNameClassIn ||
        Be16(p + at + 8) != 6)
      return std::nullopt;
    packet.ttl = Be32(p + at + 4);
    ReadNbData(p + at + 10, 6, packet);
    return packet;
  }
  // A response: at most one record, NB (data a multiple of six, or the two flag bytes
  // of a WACK) or NULL (a negative query answer).
  if (questions != 0 || additional != 0 || answers > 1) return std::nullopt;
  if (answers == 0) {
    if (packet.rcode == 0 || size != kHeaderSize) return std::nullopt;
    return packet;
  }
  constexpr std::size_t fixed = kHeaderSize + kEncodedNameSize + 10;
  if (size < fixed || !DecodeName(p + kHeaderSize, packet.name)) return std::nullopt;
  const std::uint8_t* r = p + kHeaderSize + kEncodedNameSize;
  const std::uint16_t type = Be16(r);
  if ((type != kNameTypeNb && type != kTypeNull) || Be16(r + 2) != kNameClassIn) return std::nullopt;
  packet.ttl = Be32(r + 4);
  const std::size_t length = Be16(r + 8);
  if (length != size - fixed) return std::nullopt;
  if (type == kTypeNull) return length == 0 && packet.rcode != 0 ? std::optional(packet) : std::nullopt;
  if (packet.opcode == kOpcodeWack) {
    if (length != 2) return std::nullopt;
    packet.nb_flags = Be16(r + 10);  // the flags of the request being waited on
    return packet;
  }
  if (!ReadNbData(r + 10, length, packet)) return std::nullopt;
  return packet;
}

// --- conflicts -------------------------------------------------------------------

namespace {

std::atomic<bool> g_conflict_told{false};

std::string AddressText(in_addr a) {
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &a, text, sizeof text);
  return text;
}

bool IsThisComputersAddress(in_addr a) {
  if ((ntohl(a.s_addr) >> 24) == 127) return true;
  for (const auto& itf : Config().interfaces)
    if (itf.address.s_addr == a.s_addr) return true;
  return false;
}

bool IsComputerName(const TNetbiosName& name) {
  return (name.suffix == 0x00 || name.suffix == 0x03) && EqualsNoCase(name.name, Config().computer_name);
}

}  // namespace

void ReportNameConflict(const std::string& name, in_addr other, const std::string& through) {
  if (g_conflict_told.exchange(true)) return;
  std::string text = "A duplicate name exists on the network: ";
  if (other.s_addr != 0)
    text += "the computer at " + AddressText(other) + " also uses the name " + name;
  else
    text += "another computer uses the name " + name;
  if (!through.empty()) text += " (" + through + ")";
  text += ". Messages for " + name + " may reach either computer; give one of them another name.";
  PostNetworkNotice(text);
}

namespace {

std::string AddressList(const std::vector<in_addr>& addresses) {
  std::string out;
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    if (i > 0) out += i + 1 == addresses.size() ? " and " : ", ";
    out += AddressText(addresses[i]);
  }
  return out;
}

}  // namespace

std::string DisputedNameText(const std::string& name, const std::vector<in_addr>& addresses) {
  return "The name " + name + " is claimed by the computers at " + AddressList(addresses) +
         "; the message was not sent";
}

void ReportDisputedName(const std::string& name, const std::vector<in_addr>& addresses) {
  // Once per name; a flood of disputes is told in full for the first names only.
  static std::mutex mutex;
  static std::set<std::string> told;
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (told.size() >= 64 || !told.insert(name).second) return;
  }
  PostNetworkNotice("Two computers claim the name " + name + ": the computers at " + AddressList(addresses) +
                    ". Messages for " + name + " are not sent until only one of them uses it.");
}

void AnswerNameClaim(const TNamePacket& packet, const std::function<void(const std::vector<std::uint8_t>&)>& send) {
  // Only a registration takes a name; a unique name of ours is refused to anyone else,
  // whether they claim it as unique or as a group.
  if (packet.opcode != kOpcodeRegistration || packet.addresses.empty() || !IsComputerName(packet.name)) return;
  const in_addr claimant = packet.addresses.front();
  if (IsThisComputersAddress(claimant)) return;  // our own broadcast, heard back
  TNameClaim claim{packet.name, packet.nb_flags, claimant, 0};
  const auto answer = EncodeNameRegistrationResponse(packet.id, claim, kRcodeActive);
  send(answer);
  ReportNameConflict(Config().computer_name, claimant, "it asked to register it and was refused");
}

// --- the claim at start ----------------------------------------------------------

namespace {

// Broadcasts this computer's claims on every carrier interface and listens for
// refusals; runs once each time this process starts answering for the computer.
class TBroadcastClaim {
 public:
  void Start() { worker_.Start([this](int stop) { Run(stop); }); }
  void Stop() { worker_.Stop(); }

 private:
  void Run(int stop) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return;
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    const auto& config = Config();
    const std::uint16_t ont = config.wins_servers.empty() ? 0 : kNbOntH;
    static std::mt19937 rng{std::random_device{}()};
    const auto base = static_cast<std::uint16_t>(rng());
    struct TSent {
      std::vector<std::uint8_t> bytes;
      in_addr to;
    };
    std::vector<TSent> requests;
    // Each interface claims with its own address; retries reuse the transaction id.
    std::uint16_t next = base;
    for (const auto& itf : config.interfaces)
      for (const auto& claim : ComputerClaims(itf.address, ont))
        requests.push_back({EncodeNameRegistration(next++, claim, true), itf.broadcast});
    const std::uint16_t end = next;
    bool stopped = false;
    for (int attempt = 0; attempt < kBroadcastTries && !stopped; ++attempt) {
      for (const auto& r : requests) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(config.name_port);
        to.sin_addr = r.to;
        sendto(fd, r.bytes.data(), r.bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
      }
      stopped = Listen(fd, stop, base, end, Clock::now() + kBroadcastInterval);
    }
    close(fd);
  }

  // Reads refusals until the deadline; true when told to stop.
  static bool Listen(int fd, int stop, std::uint16_t first_id, std::uint16_t end_id, Clock::time_point until) {
    for (;;) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
      if (left <= 0) return false;
      pollfd fds[2] = {{fd, POLLIN, 0}, {stop, POLLIN, 0}};
      if (poll(fds, 2, static_cast<int>(left)) <= 0) continue;
      if (fds[1].revents) return true;
      std::uint8_t buffer[576];
      sockaddr_in from{};
      socklen_t from_size = sizeof from;
      const ssize_t got = recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &from_size);
      if (got <= 0) continue;
      const auto answer = DecodeNamePacket(buffer, static_cast<std::size_t>(got));
      if (!answer || !answer->response || answer->opcode != kOpcodeRegistration || answer->rcode == 0) continue;
      if (static_cast<std::uint16_t>(answer->id - first_id) >= static_cast<std::uint16_t>(end_id - first_id))
        continue;
      ReportNameConflict(Config().computer_name, from.sin_addr, "it refused this computer's claim");
    }
  }

  TStoppableThread worker_;
};

TBroadcastClaim& BroadcastClaim() {
  static auto* claim = new TBroadcastClaim();  // its thread may outlive static destruction
  return *claim;
}

}  // namespace

void NameOwnershipStarted() {
  BroadcastClaim().Start();
  StartWinsRegistration();
}

void NameOwnershipStopped() {
  BroadcastClaim().Stop();
  StopWinsRegistration();
}

}  // namespace hw::platform::net
