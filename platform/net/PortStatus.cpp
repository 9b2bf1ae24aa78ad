#include "platform/net/PortStatus.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>

#include "platform/net/NetworkNotice.h"

namespace hw::platform::net {

namespace {

// The socket inodes bound to port, from the kernel's table of UDP sockets.
std::set<unsigned long> SocketInodes(std::uint16_t port) {
  std::set<unsigned long> out;
  std::ifstream table("/proc/net/udp");
  std::string line;
  std::getline(table, line);  // the heading
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout;
    unsigned long inode = 0;
    if (!(fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode))
      continue;
    const auto colon = local.find(':');
    if (colon == std::string::npos) continue;
    if (std::stoul(local.substr(colon + 1), nullptr, 16) == port && inode != 0) out.insert(inode);
  }
  return out;
}

// The socket inodes among a process's open files (fd_dir: /proc/<pid>/fd).
std::set<unsigned long> OpenSockets(const std::string& fd_dir, const std::set<unsigned long>& wanted) {
  std::set<unsigned long> found;
  DIR* dir = opendir(fd_dir.c_str());
  if (!dir) return found;
  while (dirent* entry = readdir(dir)) {
    char target[64];
    const std::string path = fd_dir + "/" + entry->d_name;
    const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0) continue;
    target[n] = '\0';
    unsigned long inode = 0;
    if (std::sscanf(target, "socket:[%lu]", &inode) == 1 && wanted.count(inode)) found.insert(inode);
  }
  closedir(dir);
  return found;
}

std::string ProcessName(const std::string& pid) {
  std::ifstream comm("/proc/" + pid + "/comm");
  std::string name;
  std::getline(comm, name);
  return name.empty() ? "a program" : name;
}

}  // namespace

std::string PortProblemText(TPortRole role, std::uint16_t port, int error) {
  const bool datagram = role == TPortRole::Datagram;
  std::string text = std::string(datagram ? "The datagram port " : "The name port ") + std::to_string(port) +
                     " (UDP) cannot be used: ";
  if (error == EACCES || error == EPERM)
    text += "ports below 1024 need privilege (root, or the CAP_NET_BIND_SERVICE capability).";
  else if (error == EADDRINUSE)
    text += "another program holds it and does not share it.";
  else
    text += std::string(std::strerror(error)) + ".";
  text += datagram ? " Messages from other computers cannot arrive." :
                     " Other computers cannot find this computer by its name.";
  return text;
}

std::string ReportPortProblem(TPortRole role, std::uint16_t port, int error) {
  static std::mutex mutex;
  static std::set<std::pair<int, std::uint16_t>> told;
  const std::string text = PortProblemText(role, port, error);
  bool first;
  {
    std::lock_guard<std::mutex> lock(mutex);
    first = told.insert({static_cast<int>(role), port}).second;
  }
  if (first) PostNetworkNotice(text);
  return text;
}

TPortState InspectUdpPort(TPortRole role, std::uint16_t port) {
  TPortState state;
  state.port = port;
  auto inodes = SocketInodes(port);
  if (!inodes.empty()) {
    for (unsigned long inode : OpenSockets("/proc/self/fd", inodes)) {
      state.held_here = true;
      inodes.erase(inode);
    }
  }
  if (!inodes.empty()) {
    const std::string self = std::to_string(getpid());
    if (DIR* proc = opendir("/proc")) {
      while (dirent* entry = readdir(proc)) {
        const std::string pid = entry->d_name;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos || pid == self) continue;
        const auto mine = OpenSockets("/proc/" + pid + "/fd", inodes);
        if (mine.empty()) continue;
        state.others.push_back(ProcessName(pid) + " (pid " + pid + ")");
        for (unsigned long inode : mine) inodes.erase(inode);
      }
      closedir(proc);
    }
    // Sockets of processes /proc does not show us (another user's, without privilege).
    if (!inodes.empty()) state.others.push_back("another program");
  }
  if (!state.held_here) {
    // The bind the carrier and the name responder make.
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
      state.problem = PortProblemText(role, port, errno);
    if (fd >= 0) close(fd);
  }
  return state;
}

}  // namespace hw::platform::net
