// Child processes and network namespaces for the integration tests.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace hw::test {

// A child process whose output goes to files. Stopped (and reaped) by the destructor.
class TChild {
 public:
  TChild(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& out,
         const std::string& err);
  ~TChild() { Stop(); }
  TChild(const TChild&) = delete;
  TChild& operator=(const TChild&) = delete;

  // The exit code (128 + signal when killed), or nullopt if still running at the deadline.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  bool Running() { return !Reap(); }
  // Asks the child to end (SIGTERM), kills it if it has not within `grace`; returns its exit code.
  int Stop(std::chrono::milliseconds grace = std::chrono::seconds(5));
  void Kill();

 private:
  bool Reap();

  pid_t pid_ = -1;
  int raw_ = 0;
  int status_ = -1;
  bool reaped_ = false;
};

struct TRunResult {
  int code = -1;  // -1: did not end in time
  std::string out;
  std::string err;
};

// Runs a command to its end (bounded), capturing its output in files under dir.
TRunResult RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                      const std::string& dir, std::chrono::milliseconds timeout = std::chrono::seconds(20));

// This process's environment as NAME=value strings.
std::vector<std::string> Environment();
// True when program is found on PATH.
bool Executable(const std::string& program);
// Removes network namespaces named prefix + <pid> + ... whose process is gone, left
// behind by an earlier run that crashed.
void RemoveStaleNamespaces(const std::string& prefix, const std::string& dir);

}  // namespace hw::test
