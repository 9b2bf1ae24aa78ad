#include "tests/support/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "tests/support/TestSupport.h"

extern char** environ;

namespace hw::test {

namespace {
int Decode(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw); }
}  // namespace

TChild::TChild(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& out,
               const std::string& err) {
  // Everything the child needs is built before fork: only async-signal-safe calls after it.
  std::vector<char*> args, vars;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const auto& v : env) vars.push_back(const_cast<char*>(v.c_str()));
  vars.push_back(nullptr);
  const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int null_fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
  pid_ = fork();
  if (pid_ == 0) {
    dup2(null_fd, 0);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    execvpe(args[0], args.data(), vars.data());
    _exit(127);
  }
  close(out_fd);
  close(err_fd);
  close(null_fd);
  if (pid_ < 0) reaped_ = true;
}

std::optional<int> TChild::Wait(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (Reap()) return status_;
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

int TChild::Stop(std::chrono::milliseconds grace) {
  if (Reap()) return status_;
  kill(pid_, SIGTERM);
  if (auto code = Wait(grace)) return *code;
  Kill();
  return status_;
}

void TChild::Kill() {
  if (Reap()) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, &raw_, 0);
  reaped_ = true;
  status_ = Decode(raw_);
}

bool TChild::Reap() {
  if (reaped_) return true;
  if (waitpid(pid_, &raw_, WNOHANG) != pid_) return false;
  reaped_ = true;
  status_ = Decode(raw_);
  return true;
}

TRunResult RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                      const std::string& dir, std::chrono::milliseconds timeout) {
  static int serial = 0;
  const std::string base = dir + "/run" + std::to_string(++serial);
  TRunResult result;
  {
    TChild child(argv, env, base + ".out", base + ".err");
    if (auto code = child.Wait(timeout)) result.code = *code;
  }
  result.out = ReadFile(base + ".out");
  result.err = ReadFile(base + ".err");
  return result;
}

std::vector<std::string> Environment() {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  return env;
}

bool Executable(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "/usr/sbin:/usr/bin:/sbin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':'))
    if (access((dir + "/" + program).c_str(), X_OK) == 0) return true;
  return false;
}

void RemoveStaleNamespaces(const std::string& prefix, const std::string& dir) {
  std::istringstream in(RunCommand({"ip", "netns", "list"}, Environment(), dir, std::chrono::seconds(5)).out);
  std::string line;
  while (std::getline(in, line)) {
    const std::string name = line.substr(0, line.find(' '));
    if (name.rfind(prefix, 0) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    const auto digits = rest.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string::npos) continue;
    const pid_t owner = static_cast<pid_t>(std::stol(rest.substr(0, digits)));
    if (owner == getpid() || kill(owner, 0) == 0 || errno != ESRCH) continue;
    RunCommand({"ip", "netns", "del", name}, Environment(), dir, std::chrono::seconds(5));
  }
}

}  // namespace hw::test
