#include "platform/Config.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

#include "platform/Exception.h"

namespace hw::platform {

namespace {

std::mutex g_mutex;
std::unique_ptr<TPlatformConfig> g_config;
// The current configuration, read without the lock: the carrier asks for it once per
// datagram on two threads, and a contended lock there cost more than the lookup.
std::atomic<const TPlatformConfig*> g_current{nullptr};

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? Trim(v) : std::string();
}

std::string DefaultComputerName() {
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  std::string name(host);
  name = name.substr(0, name.find('.'));
  return name;
}

// `workgroup = NAME` in the [global] section of smb.conf.
std::string SambaWorkgroup() {
  std::ifstream in("/etc/samba/smb.conf");
  std::string line;
  bool global = false;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line[0] == '[') {
      global = EqualsNoCase(line, "[global]");
      continue;
    }
    const auto eq = line.find('=');
    if (global && eq != std::string::npos && EqualsNoCase(Trim(line.substr(0, eq)), "workgroup"))
      return Trim(line.substr(eq + 1));
  }
  return {};
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream ss(text);
  std::string item;
  while (std::getline(ss, item, ','))
    if (!Trim(item).empty()) out.push_back(Trim(item));
  return out;
}

std::vector<TCarrierInterface> ListInterfaces(const std::vector<std::string>& wanted) {
  std::vector<TCarrierInterface> out;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return out;
  for (ifaddrs* ifa = list; ifa; ifa = ifa->ifa_next) {
    if (!ifa->ifa_addr || ifa->ifa_addr->sa_family != AF_INET || !(ifa->ifa_flags & IFF_UP)) continue;
    const bool loopback = ifa->ifa_flags & IFF_LOOPBACK;
    const std::string name = ifa->ifa_name;
    if (!wanted.empty()) {
      bool listed = false;
      for (const auto& w : wanted) listed = listed || w == name;
      if (!listed) continue;
    } else if (loopback || !(ifa->ifa_flags & IFF_BROADCAST) || !ifa->ifa_broadaddr) {
      continue;
    }
    TCarrierInterface item;
    item.name = name;
    item.loopback = loopback;
    item.address = reinterpret_cast<sockaddr_in*>(ifa->ifa_addr)->sin_addr;
    if (loopback) {
      inet_pton(AF_INET, "127.255.255.255", &item.broadcast);
    } else if ((ifa->ifa_flags & IFF_BROADCAST) && ifa->ifa_broadaddr) {
      item.broadcast = reinterpret_cast<sockaddr_in*>(ifa->ifa_broadaddr)->sin_addr;
    } else {
      continue;
    }
    out.push_back(item);
  }
  freeifaddrs(list);
  return out;
}

// A port number from the environment, or 0 when unset or not a port.
std::uint16_t PortFromEnv(const char* name) {
  const std::string text = Env(name);
  if (text.empty()) return 0;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (end && *end == '\0' && value > 0 && value < 65536) return static_cast<std::uint16_t>(value);
  return 0;
}

std::unique_ptr<TPlatformConfig> ReadConfig() {
  auto config = std::make_unique<TPlatformConfig>();
  if (const auto port = PortFromEnv("HALLWIRE_DGRAM_PORT")) config->port = port;
  // Port 1 has no port below it: the name service then goes one above.
  config->name_port = static_cast<std::uint16_t>(config->port > 1 ? config->port - 1 : 2);
  if (const auto port = PortFromEnv("HALLWIRE_NAME_PORT"); port && config->port != 138) config->name_port = port;
  std::string computer = Env("HALLWIRE_COMPUTERNAME");
  if (computer.empty()) computer = DefaultComputerName();
  config->computer_name = ToUpperAscii(computer).substr(0, 15);
  std::string workgroup = Env("HALLWIRE_WORKGROUP");
  if (workgroup.empty()) workgroup = SambaWorkgroup();
  if (workgroup.empty()) workgroup = "WORKGROUP";
  // A workgroup cut or emptied here would silently put this computer in another one.
  if (ValidNetbiosName(workgroup))
    config->workgroup = ToUpperAscii(workgroup);
  else
    config->error = "The workgroup name \"" + workgroup +
                    "\" cannot be used: a workgroup name has 1 to 15 characters and none of \\ / : * ? \" < > |";

  config->interfaces = ListInterfaces(SplitList(Env("HALLWIRE_INTERFACES")));
  config->confined_to_loopback = true;
  for (const auto& itf : config->interfaces)
    if (!itf.loopback) config->confined_to_loopback = false;
  return config;
}

}  // namespace

const TPlatformConfig& Config() {
  if (const TPlatformConfig* current = g_current.load(std::memory_order_acquire)) return *current;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_config) {
    g_config = ReadConfig();
    g_current.store(g_config.get(), std::memory_order_release);
  }
  return *g_config;
}

void ReloadConfig() {
  auto fresh = ReadConfig();
  std::lock_guard<std::mutex> lock(g_mutex);
  // The old object is kept alive: callers may still hold references to it.
  static std::vector<std::unique_ptr<TPlatformConfig>> retired;
  if (g_config) retired.push_back(std::move(g_config));
  g_config = std::move(fresh);
  g_current.store(g_config.get(), std::memory_order_release);
}

void CheckConfig() {
  const auto& config = Config();
  if (!config.error.empty()) throw hw::Exception(config.error);
}

bool ValidNetbiosName(const std::string& text) {
  if (text.empty() || text.size() > 15) return false;
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7F || std::strchr("\\/:*?\"<>|", c)) return false;
  return true;
}

std::string ToUpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string ToLowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

}  // namespace hw::platform
