#include "tests/support/NetnsLan.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "tests/support/PollUntil.h"

namespace hw::test {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  if (!text.empty() && text.back() != '\n') lines.pop_back();  // still being written
  return lines;
}

TLan::TLan(const std::string& dir, const std::string& prefix, const std::vector<int>& hosts_per_subnet, int bridges)
    : dir_(dir),
      prefix_ns_(prefix),
      lan_(prefix + std::to_string(getpid()) + "l"),
      router_(prefix + std::to_string(getpid()) + "r"),
      prefix_("10." + std::to_string(20 + getpid() % 200) + "."),
      subnets_(std::max(bridges, static_cast<int>(hosts_per_subnet.size()))),
      routed_(hosts_per_subnet.size() > 1) {
  for (std::size_t s = 0; s < hosts_per_subnet.size(); ++s)
    for (int i = 0; i < hosts_per_subnet[s]; ++i) {
      const std::string n = std::to_string(hosts_.size() + 1);
      hosts_.push_back({prefix + std::to_string(getpid()) + "h" + n, "host" + n, "OFFICE", static_cast<int>(s),
                        static_cast<int>(hosts_.size()) + 1});
    }
}

TLan::~TLan() {
  for (auto it = made_.rbegin(); it != made_.rend(); ++it)
    RunCommand({"ip", "netns", "del", *it}, Environment(), dir_, 5s);
  for (const auto& folder : etc_) std::filesystem::remove_all(folder);
}

std::optional<std::string> TLan::Up() {
  RemoveStaleNamespaces(prefix_ns_, dir_);
  unsupported_ = true;
  if (auto error = Ip({"netns", "add", lan_})) return error;
  made_.push_back(lan_);
  for (int s = 0; s < subnets_; ++s)
    if (auto error = Ip({"-n", lan_, "link", "add", "br" + std::to_string(s), "type", "bridge"})) return error;
  for (std::size_t i = 0; i < hosts_.size(); ++i) {
    const std::string& ns = hosts_[i].ns;
    if (auto error = Ip({"netns", "add", ns})) return error;
    made_.push_back(ns);
    const std::string port = "vh" + std::to_string(i + 1);
    if (auto error = Ip({"link", "add", "eth0", "netns", ns, "type", "veth", "peer", "name", port, "netns", lan_}))
      return error;
  }
  unsupported_ = false;
  for (int s = 0; s < subnets_; ++s)
    if (auto error = Ip({"-n", lan_, "link", "set", "br" + std::to_string(s), "up"})) return error;
  for (std::size_t i = 0; i < hosts_.size(); ++i) {
    const std::string& ns = hosts_[i].ns;
    const std::string port = "vh" + std::to_string(i + 1);
    const int subnet = hosts_[i].subnet;
    std::vector<std::vector<std::string>> steps = {
        {"-n", lan_, "link", "set", port, "master", "br" + std::to_string(subnet)},
        {"-n", lan_, "link", "set", port, "up"},
        {"-n", ns, "addr", "add", Address(static_cast<int>(i + 1)) + "/24", "broadcast", Broadcast(subnet), "dev",
         "eth0"},
        {"-n", ns, "link", "set", "lo", "up"},
        {"-n", ns, "link", "set", "eth0", "up"}};
    if (routed_) steps.push_back({"-n", ns, "route", "add", "default", "via", Subnet(subnet) + "254"});
    for (const auto& step : steps)
      if (auto error = Ip(step)) return error;
  }
  if (!routed_) return std::nullopt;
  if (auto error = Ip({"netns", "add", router_})) return error;
  made_.push_back(router_);
  for (int s = 0; s < subnets_; ++s) {
    const std::string leg = "e" + std::to_string(s), port = "vr" + std::to_string(s);
    for (const std::vector<std::string>& step : std::vector<std::vector<std::string>>{
             {"link", "add", leg, "netns", router_, "type", "veth", "peer", "name", port, "netns", lan_},
             {"-n", lan_, "link", "set", port, "master", "br" + std::to_string(s)},
             {"-n", lan_, "link", "set", port, "up"},
             {"-n", router_, "addr", "add", Subnet(s) + "254/24", "broadcast", Broadcast(s), "dev", leg},
             {"-n", router_, "link", "set", leg, "up"}})
      if (auto error = Ip(step)) return error;
  }
  return Ip({"netns", "exec", router_, "sysctl", "-qw", "net.ipv4.ip_forward=1"});
}

std::optional<std::string> TLan::EtcFile(int n, const std::string& path, const std::string& content) {
  const std::string folder = "/etc/netns/" + Host(n).ns;
  const std::string file = folder + "/" + path;
  std::error_code error;
  if (!std::filesystem::create_directories(file.substr(0, file.rfind('/')), error) && error)
    return "cannot make the folder of " + file;
  etc_.push_back(folder);
  WriteFile(file, content);
  return std::nullopt;
}

std::optional<std::string> TLan::SilentNameServer() {
  for (std::size_t i = 0; i < hosts_.size(); ++i) {
    const THost& host = hosts_[i];
    const std::string server = Subnet(host.subnet) + "250";
    if (auto error = EtcFile(static_cast<int>(i + 1), "resolv.conf", "nameserver " + server + "\n")) return error;
    if (!routed_)
      if (auto error = Ip({"-n", host.ns, "route", "add", "default", "dev", "eth0"})) return error;
    if (auto error = Ip({"-n", host.ns, "neigh", "replace", server, "lladdr", "02:00:00:00:00:fa", "dev", "eth0",
                         "nud", "permanent"}))
      return error;
  }
  return std::nullopt;
}

std::optional<std::string> TLan::SetLink(int n, bool up) {
  return Ip({"-n", Host(n).ns, "link", "set", "eth0", up ? "up" : "down"});
}

std::optional<std::string> TLan::ChangeAddress(int n, int octet) { return SetAddress(n, Host(n).subnet, octet); }

std::optional<std::string> TLan::MoveToSubnet(int n, int subnet, int octet) {
  if (auto error = Ip({"-n", lan_, "link", "set", "vh" + std::to_string(n), "master", "br" + std::to_string(subnet)}))
    return error;
  return SetAddress(n, subnet, octet);
}

// The old address goes and the new one comes, as a DHCP client does it.
std::optional<std::string> TLan::SetAddress(int n, int subnet, int octet) {
  THost& host = hosts_.at(static_cast<std::size_t>(n - 1));
  if (auto error = Ip({"-n", host.ns, "addr", "del", Address(n) + "/24", "dev", "eth0"})) return error;
  host.subnet = subnet;
  host.octet = octet;
  return Ip({"-n", host.ns, "addr", "add", Address(n) + "/24", "broadcast", Broadcast(subnet), "dev", "eth0"});
}

void TLan::SetWorkgroups(const std::vector<std::string>& workgroups) {
  for (std::size_t i = 0; i < workgroups.size() && i < hosts_.size(); ++i) hosts_[i].workgroup = workgroups[i];
}

std::vector<std::string> TLan::HostEnvironment(int n) const {
  std::vector<std::string> env = Environment();
  const auto set = [&env](const std::string& assignment, bool keep = true) {
    const std::string name = assignment.substr(0, assignment.find('=') + 1);
    env.erase(std::remove_if(env.begin(), env.end(), [&](const std::string& e) { return e.rfind(name, 0) == 0; }),
              env.end());
    if (keep) env.push_back(assignment);
  };
  set("HALLWIRE_COMPUTERNAME=", false);  // the host name's
  set("HALLWIRE_INTERFACES=eth0");
  set("HALLWIRE_WORKGROUP=" + Host(n).workgroup);
  for (const auto& [host, assignment] : extra_env_)
    if (host == 0 || host == n) set(assignment);
  return env;
}

std::vector<std::string> TLan::OnHost(int n, const std::vector<std::string>& argv) const {
  std::vector<std::string> full = {
      "ip", "netns", "exec", Host(n).ns, "unshare", "-u", "sh", "-c", "hostname \"$0\" && exec \"$@\"",
      Host(n).hostname};
  full.insert(full.end(), argv.begin(), argv.end());
  return full;
}

std::optional<std::string> TLan::Ip(std::vector<std::string> args) {
  args.insert(args.begin(), "ip");
  const auto result = RunCommand(args, Environment(), dir_, 10s);
  if (result.code == 0) return std::nullopt;
  std::string command;
  for (const auto& a : args) command += a + " ";
  return command + "failed: " + result.err;
}

void TLanTest::SetUp() {
  if (geteuid() != 0) GTEST_SKIP() << "network namespaces need root";
  for (const char* tool : {"ip", "unshare", "hostname"})
    if (!Executable(tool)) GTEST_SKIP() << tool << " is not installed";
  dir_ = std::make_unique<TempDir>();
  const char* bin = std::getenv("HALLWIRE_BIN_DIR");
  ASSERT_TRUE(bin) << "HALLWIRE_BIN_DIR is not set";
  bin_ = bin;
  for (const char* tool : {"hallwire-send", "hallwire-listen"})
    ASSERT_EQ(access((bin_ + "/" + tool).c_str(), X_OK), 0) << bin_ << "/" << tool << " is missing";
  lan_ = std::make_unique<TLan>(dir_->Path(), prefix_, layout_, bridges_);
  if (auto why = lan_->Up()) {
    if (lan_->Unsupported()) GTEST_SKIP() << "this machine cannot host a LAN of namespaces: " << *why;
    FAIL() << "building the LAN failed: " << *why;
  }
}

void TLanTest::TearDown() {
  children_.clear();  // stop the programs before their namespaces go
  lan_.reset();
  dir_.reset();
}

TChild& TLanTest::Start(int host, const std::vector<std::string>& argv, const std::string& label) {
  const std::string base = dir_->File(label);
  children_.push_back(
      std::make_unique<TChild>(lan_->OnHost(host, argv), lan_->HostEnvironment(host), base + ".out", base + ".err"));
  outputs_[children_.back().get()] = base;
  return *children_.back();
}

TRunResult TLanTest::RunOn(int host, const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
  return RunCommand(lan_->OnHost(host, argv), lan_->HostEnvironment(host), dir_->Path(), timeout);
}

std::string TLanTest::Out(TChild& child) { return ReadFile(outputs_[&child] + ".out"); }
std::string TLanTest::Err(TChild& child) { return ReadFile(outputs_[&child] + ".err"); }

bool TLanTest::WaitOwned(int host, const std::string& name) {
  if (!PollUntil([&] { return RunOn(host, {peer_, "probe", name}, 5s).code == 0; }, 10s, Clock::now(), 20ms))
    return false;
  std::this_thread::sleep_for(50ms);  // the datagram socket is bound right after the name
  return true;
}

TChild& TLanTest::Listen(int host, int seconds) {
  TChild& child = Start(host, {bin_ + "/hallwire-listen", "--timeout", std::to_string(seconds)},
                        "listen" + std::to_string(host) + "_" + std::to_string(++serial_));
  EXPECT_TRUE(WaitOwned(host)) << "hallwire-listen on host" << host << " did not start: " << Err(child);
  return child;
}

TRunResult TLanTest::Send(int host, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {bin_ + "/hallwire-send"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunOn(host, argv);
}

bool TLanTest::WaitLines(TChild& child, std::size_t n, std::chrono::milliseconds timeout) {
  return PollUntil([&] { return Lines(Out(child)).size() >= n; }, timeout, Clock::now(), 20ms).has_value();
}

TChild* TLanTest::StartCapture(const std::string& label, const std::string& filter,
                               const std::vector<std::string>& bridges) {
  if (!Executable("tshark")) return nullptr;
  const std::string base = dir_->File(label);
  std::vector<std::string> argv = {"ip", "netns", "exec", lan_->Bridge(), "tshark"};
  for (const auto& bridge : bridges) argv.insert(argv.end(), {"-i", bridge});
  argv.insert(argv.end(), {"-f", filter, "-w", base + ".pcap"});
  children_.push_back(std::make_unique<TChild>(argv, Environment(), base + ".out", base + ".err"));
  for (int i = 0; i < 250 && ReadFile(base + ".err").find("Capturing on") == std::string::npos; ++i)
    std::this_thread::sleep_for(20ms);
  std::this_thread::sleep_for(300ms);
  return children_.back().get();
}

std::string TLanTest::ReadCapture(TChild& capture, const std::string& label, std::vector<std::string> args) {
  capture.Stop();
  args.insert(args.begin(), {"tshark", "-r", dir_->File(label) + ".pcap"});
  return RunCommand(args, Environment(), dir_->Path(), 30s).out;
}

std::string TLanTest::Line(int host, const std::string& text) {
  const passwd* pw = getpwuid(getuid());
  return "Host" + std::to_string(host) + "( " + (pw ? pw->pw_name : "") + " ) " + text;
}

void TLanTest::Settle() { std::this_thread::sleep_for(700ms); }

std::optional<std::string> TLan::AddAddresses(int n, std::size_t count) {
  std::string batch;  // counted up from CrowdAddresses(), x.x.100.0
  for (std::size_t i = 0; i < count; ++i)
    batch += "addr add " + Subnet(100 + static_cast<int>(i / 256)) + std::to_string(i % 256) + "/32 dev eth0\n";
  const std::string file = dir_ + "/addresses.batch";
  WriteFile(file, batch);
  return Ip({"-n", Host(n).ns, "-batch", file});
}

}  // namespace hw::test
