#include "platform/net/Config.h"

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

#include "platform/net/NetworkNotice.h"
#include "platform/system/Exception.h"

namespace hw::platform::net {

namespace {

std::mutex g_mutex;
std::unique_ptr<TPlatformConfig> g_config;
// The current configuration, read without the lock: the carrier asks for it once per
// datagram on two threads, and a contended lock there cost more than the lookup.
std::atomic<const TPlatformConfig*> g_current{nullptr};
// Replaced snapshots stay alive: callers may still hold references to them, and
// changes are rare (an address or a link), so the few kept cost nothing.
std::vector<std::unique_ptr<TPlatformConfig>> g_retired;
// HALLWIRE_INTERFACES as last read: the interface monitor's thread never reads the
// environment, which tests change.
std::vector<std::string> g_wanted;
// The user's settings, set before the configuration is read (guarded by g_mutex).
TNetworkOverrides g_overrides;

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

// `key = value` in the [global] section of smb.conf; Samba ignores case and blanks in keys.
std::string SambaGlobal(const std::string& key) {
  const auto bare = [](const std::string& text) {
    std::string out;
    for (char c : ToLowerAscii(text))
      if (c != ' ' && c != '\t') out.push_back(c);
    return out;
  };
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
    if (global && eq != std::string::npos && bare(line.substr(0, eq)) == bare(key))
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
    item.index = if_nametoindex(ifa->ifa_name);
    item.loopback = loopback;
    item.address = reinterpret_cast<sockaddr_in*>(ifa->ifa_addr)->sin_addr;
    if (ifa->ifa_netmask) item.netmask = reinterpret_cast<sockaddr_in*>(ifa->ifa_netmask)->sin_addr;
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

void SetInterfaces(TPlatformConfig& config, std::vector<TCarrierInterface> interfaces) {
  config.interfaces = std::move(interfaces);
  config.confined_to_loopback = true;
  for (const auto& itf : config.interfaces)
    if (!itf.loopback) config.confined_to_loopback = false;
}

// The remote targets: the user's, else the environment's, else smb.conf's. A list that
// the user or the environment gave and that cannot be read wholly is an error; smb.conf
// is Samba's, whose other forms (names) are left out quietly.
void ReadRemoteTargets(TPlatformConfig& config, const TNetworkOverrides& overrides) {
  if (!Trim(overrides.remote_announce).empty()) {
    // Reported, not an error: the program must still start so that the user can mend it.
    if (!ParseRemoteTargets(overrides.remote_announce, config.remote_targets))
      PostNetworkNotice("Some remote announce targets in the settings cannot be used: \"" +
                        overrides.remote_announce + "\". Give IPv4 addresses, each with an optional /WORKGROUP.");
    return;
  }
  const std::string env = Env("HALLWIRE_REMOTE_ANNOUNCE");
  if (env.empty()) {
    ParseRemoteTargets(SambaGlobal("remote announce"), config.remote_targets);
  } else if (!ParseRemoteTargets(env, config.remote_targets) && config.error.empty()) {
    config.error = "The remote announce list \"" + env +
                   "\" cannot be used: give IPv4 addresses, each with an optional /WORKGROUP, separated by commas";
  }
}

std::unique_ptr<TPlatformConfig> ReadConfig(const TNetworkOverrides& overrides) {
  auto config = std::make_unique<TPlatformConfig>();
  if (const auto port = PortFromEnv("HALLWIRE_DGRAM_PORT")) config->port = port;
  // Port 1 has no port below it: the name service then goes one above.
  config->name_port = static_cast<std::uint16_t>(config->port > 1 ? config->port - 1 : 2);
  if (const auto port = PortFromEnv("HALLWIRE_NAME_PORT"); port && config->port != 138) config->name_port = port;
  std::string computer = Env("HALLWIRE_COMPUTERNAME");
  if (computer.empty()) computer = DefaultComputerName();
  config->computer_name = ToUpperAscii(computer).substr(0, 15);
  std::string workgroup = Env("HALLWIRE_WORKGROUP");
  if (workgroup.empty()) workgroup = SambaGlobal("workgroup");
  if (workgroup.empty()) workgroup = "WORKGROUP";
  // A workgroup cut or emptied here would silently put this computer in another one.
  if (ValidNetbiosName(workgroup))
    config->workgroup = ToUpperAscii(workgroup);
  else
    config->error = "The workgroup name \"" + workgroup +
                    "\" cannot be used: a workgroup name has 1 to 15 characters and none of \\ / : * ? \" < > |";

  // Samba takes host names here too; only its addresses are used.
  const std::string wins = Env("HALLWIRE_WINS");
  if (!Trim(overrides.wins_servers).empty()) {
    if (!ParseAddressList(overrides.wins_servers, config->wins_servers))
      PostNetworkNotice("Some WINS servers in the settings cannot be used: \"" + overrides.wins_servers +
                        "\". Give IPv4 addresses separated by commas.");
  } else if (wins.empty()) {
    ParseAddressList(SambaGlobal("wins server"), config->wins_servers);
  } else if (!ParseAddressList(wins, config->wins_servers) && config->error.empty()) {
    config->error = "The WINS server list \"" + wins + "\" cannot be used: give IPv4 addresses separated by commas";
  }
  ReadRemoteTargets(*config, overrides);

  SetInterfaces(*config, ListInterfaces(SplitList(Env("HALLWIRE_INTERFACES"))));
  return config;
}

void Publish(std::unique_ptr<TPlatformConfig> fresh) {  // g_mutex held
  if (g_config) g_retired.push_back(std::move(g_config));
  g_config = std::move(fresh);
  g_current.store(g_config.get(), std::memory_order_release);
}

}  // namespace

const TPlatformConfig& Config() {
  if (const TPlatformConfig* current = g_current.load(std::memory_order_acquire)) return *current;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_config) {
    g_wanted = SplitList(Env("HALLWIRE_INTERFACES"));
    g_config = ReadConfig(g_overrides);
    g_current.store(g_config.get(), std::memory_order_release);
  }
  return *g_config;
}

void ReloadConfig() {
  auto wanted = SplitList(Env("HALLWIRE_INTERFACES"));
  TNetworkOverrides overrides;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    overrides = g_overrides;
  }
  auto fresh = ReadConfig(overrides);
  std::lock_guard<std::mutex> lock(g_mutex);
  g_wanted = std::move(wanted);
  Publish(std::move(fresh));
}

void SetNetworkOverrides(const TNetworkOverrides& overrides) {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_overrides = overrides;
  }
  ReloadConfig();
}

bool ParseRemoteTargets(const std::string& text, std::vector<TRemoteTarget>& out) {
  bool all = true;
  std::string list = text;
  for (char& c : list)
    if (c == ',' || c == '\t') c = ' ';
  std::stringstream ss(list);
  std::string item;
  while (ss >> item) {
    const auto slash = item.find('/');
    TRemoteTarget target;
    const std::string address = item.substr(0, slash);
    const std::string workgroup = slash == std::string::npos ? std::string() : item.substr(slash + 1);
    if (inet_pton(AF_INET, address.c_str(), &target.address) != 1 || target.address.s_addr == htonl(INADDR_ANY) ||
        (slash != std::string::npos && !ValidNetbiosName(workgroup))) {
      all = false;
      continue;
    }
    target.workgroup = ToUpperAscii(workgroup);
    out.push_back(target);
  }
  return all;
}

bool RefreshInterfaces() {
  Config();
  std::lock_guard<std::mutex> lock(g_mutex);
  auto interfaces = ListInterfaces(g_wanted);
  if (interfaces == g_config->interfaces) return false;
  auto fresh = std::make_unique<TPlatformConfig>(*g_config);
  SetInterfaces(*fresh, std::move(interfaces));
  Publish(std::move(fresh));
  return true;
}

bool operator==(const TCarrierInterface& a, const TCarrierInterface& b) {
  return a.name == b.name && a.index == b.index && a.address.s_addr == b.address.s_addr &&
         a.netmask.s_addr == b.netmask.s_addr && a.broadcast.s_addr == b.broadcast.s_addr && a.loopback == b.loopback;
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

bool ParseAddressList(const std::string& text, std::vector<in_addr>& out) {
  bool all = true;
  std::string item;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : ',';
    if (c != ',' && c != ' ' && c != '\t') {
      item.push_back(c);
      continue;
    }
    if (item.empty()) continue;
    in_addr a{};
    const std::string address = item.substr(item.find(':') == std::string::npos ? 0 : item.find(':') + 1);
    if (inet_pton(AF_INET, address.c_str(), &a) == 1)
      out.push_back(a);
    else
      all = false;
    item.clear();
  }
  return all;
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

}  // namespace hw::platform::net
