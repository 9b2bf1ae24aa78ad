// The kernel32 mailslot calls: server handles on local mailslots (LocalMailslot.h),
// client handles that write to a local owner directly or as a datagram over the carrier
// (Carrier.h) to a computer or a workgroup, named as Windows names them.
#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

#include "platform/net/Carrier.h"
#include "platform/net/Config.h"
#include "platform/net/Datagram.h"
#include "platform/net/HandleTable.h"
#include "platform/net/Kernel32Mailslots.h"
#include "platform/net/LocalMailslot.h"
#include "platform/net/NameRegistration.h"
#include "platform/net/NameService.h"
#include "platform/net/Wins.h"
#include "platform/net/Presence.h"
#include "platform/net/RemoteTargets.h"
#include "platform/system/Exception.h"

namespace hw::platform::net {

enum class TTargetKind { Local, Domain, Computer };

// A client handle's object.
struct TWriteTarget {
  TTargetKind kind = TTargetKind::Local;
  std::string server;    // computer or domain name for remote targets
  std::string mailslot;  // as given
  TLocalWriter local;    // local targets
  // Remote targets: the datagram's fixed part, encoded for this configuration and type
  // (the names and addresses in it change only with those). Writers from several
  // threads take turns on it.
  std::mutex encoder_mutex;
  TDatagramEncoder encoder;
  const TPlatformConfig* encoded_for = nullptr;
  TDatagramType encoded_type = TDatagramType::DirectUnique;
  std::string encoded_destination;
};

}  // namespace hw::platform::net

namespace hw::win32 {

using namespace hw::platform::net;

namespace {

// Splits "\\SERVER\mailslot\NAME" into SERVER and NAME; false when malformed.
bool ParseMailslotPath(const std::string& path, std::string& server, std::string& name) {
  if (path.size() < 2 || path[0] != '\\' || path[1] != '\\') return false;
  const auto slash = path.find('\\', 2);
  if (slash == std::string::npos) return false;
  server = path.substr(2, slash - 2);
  static const std::string kMailslot = "mailslot\\";
  const std::string rest = path.substr(slash + 1);
  if (rest.size() <= kMailslot.size() || !EqualsNoCase(rest.substr(0, kMailslot.size()), kMailslot)) return false;
  name = rest.substr(kMailslot.size());
  return !name.empty();
}

std::shared_ptr<TLocalMailslot> GetMailslot(HANDLE h) { return THandleTable::Instance().GetAs<TLocalMailslot>(h); }

// The computer's browser service: on Windows the system runs it, here this process does
// from its first mailslot on. It follows the process's mailslots through the carrier.
void StartServicesOnce() {
  static std::once_flag once;
  std::call_once(once, StartPresenceService);
}

}  // namespace

HANDLE CreateMailslotA(LPCSTR lpName, DWORD nMaxMessageSize, DWORD lReadTimeout, LPSECURITY_ATTRIBUTES) {
  CheckConfig();  // a workgroup that cannot be used stops the program here, with its reason
  std::string server, name;
  if (!lpName || !ParseMailslotPath(lpName, server, name) || server != ".") {
    SetLastError(ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
  }
  DWORD error = ERROR_SUCCESS;
  auto slot = OpenLocalMailslot(name, nMaxMessageSize, lReadTimeout, error);
  if (!slot) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  StartServicesOnce();
  AttachMailslot(slot);
  return THandleTable::Instance().Add(slot);
}

BOOL GetMailslotInfo(HANDLE hMailslot, LPDWORD lpMaxMessageSize, LPDWORD lpNextSize, LPDWORD lpMessageCount,
                     LPDWORD lpReadTimeout) {
  auto slot = GetMailslot(hMailslot);
  if (!slot) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // What a local writer has handed over counts at once, whether or not the I/O thread
  // has taken it in yet.
  std::unique_lock<std::mutex> lock(slot->mutex);
  if (lpMessageCount || slot->queue.empty()) {
    lock.unlock();  // pulling takes the socket's lock first, then this one
    slot->Pull();
    lock.lock();
  }
  if (lpMaxMessageSize) *lpMaxMessageSize = slot->max_size;
  if (lpNextSize)
    *lpNextSize = slot->queue.empty() ? MAILSLOT_NO_MESSAGE : static_cast<DWORD>(slot->queue.front().size());
  if (lpMessageCount) *lpMessageCount = static_cast<DWORD>(slot->queue.size());
  if (lpReadTimeout) *lpReadTimeout = slot->read_timeout;
  return TRUE;
}

BOOL SetMailslotInfo(HANDLE hMailslot, DWORD lReadTimeout) {
  auto slot = GetMailslot(hMailslot);
  if (!slot) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  slot->read_timeout = lReadTimeout;
  return TRUE;
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
              OVERLAPPED*) {
  return ReadMailslotFrom(hFile, lpBuffer, nNumberOfBytesToRead, lpNumberOfBytesRead, nullptr);
}

BOOL ReadMailslotFrom(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                      std::uint32_t* lpSource) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  bool exists = false;
  const auto slot = THandleTable::Instance().GetAs<TLocalMailslot>(hFile, &exists);
  if (!slot) {
    // A client handle is open for writing only.
    SetLastError(exists ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::unique_lock<std::mutex> lock(slot->mutex);
  if (slot->queue.empty()) {
    lock.unlock();  // pulling takes the socket's lock first, then this one
    slot->Pull();
    lock.lock();
  }
  const DWORD timeout = slot->read_timeout;
  const auto ready = [&] { return !slot->queue.empty(); };
  if (timeout == MAILSLOT_WAIT_FOREVER) {
    slot->arrived.wait(lock, ready);
  } else if (!slot->arrived.wait_for(lock, std::chrono::milliseconds(timeout), ready)) {
    SetLastError(ERROR_SEM_TIMEOUT);
    return FALSE;
  }
  auto& message = slot->queue.front();
  if (message.size() > nNumberOfBytesToRead) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);  // the message stays queued
    return FALSE;
  }
  if (!message.empty()) std::memcpy(lpBuffer, message.data(), message.size());
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = static_cast<DWORD>(message.size());
  slot->queued_bytes -= message.size();
  slot->queue.pop_front();
  if (lpSource) *lpSource = slot->sources.front();
  slot->sources.pop_front();
  lock.unlock();
  if (slot->parked) slot->Pull();
  return TRUE;
}

HANDLE CreateFileA(LPCSTR lpFileName, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
  std::string server, name;
  if (!lpFileName || !ParseMailslotPath(lpFileName, server, name)) {
    SetLastError(lpFileName && std::strncmp(lpFileName, "\\\\\\", 3) == 0 ? ERROR_BAD_NETPATH : ERROR_INVALID_NAME);
    return INVALID_HANDLE_VALUE;
  }
  auto target = std::make_shared<TWriteTarget>();
  target->mailslot = name;
  if (server == ".") {
    target->kind = TTargetKind::Local;
    if (!target->local.Open(name)) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return INVALID_HANDLE_VALUE;
    }
  } else {
    // A name with a dot is a DNS name or an address, and may be longer than a NetBIOS name.
    const std::size_t longest = server.find('.') != std::string::npos ? 253 : 15;
    if (server.empty() || server.size() > longest || server.find_first_of("\\/:*?\"<>|") != std::string::npos) {
      if (server != "*") {
        SetLastError(server.empty() ? ERROR_BAD_NETPATH : ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
      }
    }
    target->kind = server == "*" ? TTargetKind::Domain : TTargetKind::Computer;
    target->server = server;
  }
  return THandleTable::Instance().Add(target);
}

namespace {

std::optional<in_addr> ResolveWithSystem(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* list = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &list) != 0 || !list) return std::nullopt;
  const in_addr address = reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr;
  freeaddrinfo(list);
  return address;
}

// The computer a "\\NAME\" target means and where its datagram goes, or the error
// the write fails with. A name nobody resolves fails: a datagram broadcast to it
// would reach nobody, since every computer answers a query for its own name.
struct TRoute {
  TDatagramType type = TDatagramType::DirectUnique;
  std::string destination;
  std::optional<in_addr> unicast;
  DWORD error = ERROR_SUCCESS;
  std::vector<in_addr> disputed;  // with ERROR_DUP_NAME: the addresses that claim the name
};

TRoute RouteTo(const TWriteTarget& target, const TPlatformConfig& config) {
  TRoute route;
  route.destination = ToUpperAscii(target.server);
  in_addr address{};
  const bool dns_name = target.server.find('.') != std::string::npos;
  // This computer's own name comes first: it is never taken for a workgroup, and it
  // needs no look-up.
  if (target.kind == TTargetKind::Domain) {
    route.type = TDatagramType::DirectGroup;
    route.destination = config.workgroup;
  } else if (EqualsNoCase(target.server, config.computer_name)) {
    address.s_addr = htonl(INADDR_LOOPBACK);
    route.unicast = address;
  } else if (target.server.size() <= 15 && IsKnownWorkgroup(target.server)) {
    route.type = TDatagramType::DirectGroup;
  } else if (dns_name) {
    // An address, or a DNS name the system resolves; either way the computer is asked
    // for its NetBIOS name (NODE STATUS), which the datagram must carry to be kept.
    // Nothing confined to loopback asks a name server.
    std::optional<in_addr> resolved;
    if (inet_pton(AF_INET, target.server.c_str(), &address) == 1)
      resolved = address;
    else if (!config.confined_to_loopback)
      resolved = ResolveWithSystem(target.server);
    if (!resolved) {
      route.error = ERROR_BAD_NETPATH;
    } else if (config.confined_to_loopback && (ntohl(resolved->s_addr) >> 24) != 127) {
      route.error = ERROR_NETWORK_ACCESS_DENIED;
    } else if (auto name = QueryNodeName(*resolved)) {
      route.destination = *name;
      route.unicast = resolved;
    } else {
      route.error = ERROR_BAD_NETPATH;
    }
  } else {
    // The presence table, then a WINS server (when one is set), then a NetBIOS name
    // query (a quarter of a second at most), which a workgroup not heard of yet
    // answers too. A plain name never reaches DNS, which on some LANs takes seconds
    // to not answer. A name that two addresses claim is sent to neither, unless a
    // signed line vouched for one of them: picking one would let any host take a name.
    std::vector<in_addr> claimants = ResolveComputerName(target.server);
    if (claimants.size() == 1) route.unicast = claimants.front();
    if (claimants.empty()) route.unicast = QueryWinsName(target.server);
    if (!route.unicast && claimants.empty()) {
      const TNameFound found = QueryName(target.server);
      route.unicast = found.address;
      claimants = found.disputed;
      if (found.workgroup)
        route.type = TDatagramType::DirectGroup;
      else if (!found.address && claimants.empty())
        route.error = ERROR_BAD_NETPATH;
    }
    if (claimants.size() > 1) {
      const auto vouched = VouchedAddress(target.server);
      const bool settled = vouched && std::any_of(claimants.begin(), claimants.end(),
                                                  [&](in_addr a) { return a.s_addr == vouched->s_addr; });
      if (settled) {
        route.unicast = vouched;
      } else {
        route.error = ERROR_DUP_NAME;
        route.disputed = claimants;
      }
    }
  }
  return route;
}

BOOL WriteRemote(TWriteTarget& target, LPCVOID buffer, DWORD size, LPDWORD written) {
  const auto& config = Config();
  const TRoute route = RouteTo(target, config);
  if (route.error == ERROR_DUP_NAME) {
    ReportDisputedName(route.destination, route.disputed);
    hw::SetLastErrorText(route.error, DisputedNameText(route.destination, route.disputed));
    return FALSE;
  }
  if (route.error != ERROR_SUCCESS) {
    SetLastError(route.error);
    return FALSE;
  }
  const TDatagramType type = route.type;
  static const std::string kMailslotPrefix = "\\MAILSLOT\\";
  const std::size_t mailslot_size = kMailslotPrefix.size() + target.mailslot.size();
  const std::size_t total = EncodedDatagramSize(mailslot_size, size);
  const std::size_t smb = EncodedSmbSize(mailslot_size, size);
  if (total > kMaxUdpPayload || size > 0xFFFF || (config.port == 138 && smb > kMaxSmbOnPort138)) {
    SetLastError(WSAEMSGSIZE);
    return FALSE;
  }
  static std::atomic<std::uint16_t> next_id{static_cast<std::uint16_t>(getpid())};
  DWORD error;
  {
    std::lock_guard<std::mutex> lock(target.encoder_mutex);
    if (target.encoded_for != &config || target.encoded_type != type ||
        target.encoded_destination != route.destination) {
      TMailslotDatagram d;
      d.type = type;
      d.source_ip = CarrierSourceAddress();
      d.source_port = config.port;
      d.source.name = config.computer_name;
      d.destination.name = route.destination;
      d.mailslot = kMailslotPrefix + target.mailslot;
      target.encoder.SetFields(d);
      // A configuration, once replaced, stays alive: its address is never reused.
      target.encoded_for = &config;
      target.encoded_type = type;
      target.encoded_destination = route.destination;
    }
    const std::uint16_t id = next_id++;
    error = SendCarrierDatagram(target.encoder.Encode(id, static_cast<const std::uint8_t*>(buffer), size),
                                route.unicast);
    // A write to our whole workgroup also goes to the remote targets and off-subnet peers.
    if (error == ERROR_SUCCESS && type == TDatagramType::DirectGroup && !route.unicast &&
        (target.kind == TTargetKind::Domain || EqualsNoCase(target.server, config.workgroup))) {
      TMailslotDatagram d;
      d.type = type;
      d.id = id;
      d.source_ip = CarrierSourceAddress();
      d.source_port = config.port;
      d.source.name = config.computer_name;
      d.destination.name = config.workgroup;
      d.mailslot = kMailslotPrefix + target.mailslot;
      SendToRemoteTargets(d, static_cast<const std::uint8_t*>(buffer), size);
    }
  }
  if (error != ERROR_SUCCESS) {
    SetLastError(error);
    return FALSE;
  }
  if (written) *written = size;
  return TRUE;
}

}  // namespace

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
               OVERLAPPED*) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  bool exists = false;
  const auto target = THandleTable::Instance().GetAs<TWriteTarget>(hFile, &exists);
  if (!target) {
    // A server handle is open for reading only.
    SetLastError(exists ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  TWriteTarget& t = *target;
  if (t.kind != TTargetKind::Local) return WriteRemote(t, lpBuffer, nNumberOfBytesToWrite, lpNumberOfBytesWritten);
  if (nNumberOfBytesToWrite > kMaxLocalMessage) {
    SetLastError(WSAEMSGSIZE);
    return FALSE;
  }
  switch (t.local.Send(lpBuffer, nNumberOfBytesToWrite)) {
    case TLocalSend::Sent: break;
    case TLocalSend::Full: SetLastError(ERROR_NOT_ENOUGH_QUOTA); return FALSE;
    case TLocalSend::Busy: SetLastError(ERROR_SEM_TIMEOUT); return FALSE;
    case TLocalSend::TooLarge: SetLastError(WSAEMSGSIZE); return FALSE;
    case TLocalSend::Gone: SetLastError(ERROR_FILE_NOT_FOUND); return FALSE;
  }
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = nNumberOfBytesToWrite;
  return TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
  auto object = THandleTable::Instance().Take(hObject);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (auto* slot = std::get_if<std::shared_ptr<TLocalMailslot>>(&*object)) {
    DetachMailslot(*slot);
  }
  return TRUE;
}

}  // namespace hw::win32
