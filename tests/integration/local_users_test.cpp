// Another account on the same computer: it can neither write into this user's
// mailslot, nor take our unicasts by binding the port beside us, and when its
// program holds "hwSlot" first, our copy says whose it is.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/PollUntil.h"
#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace {

using namespace hw::test;
using namespace std::chrono_literals;

// Binds the datagram port with the options given, as an attacker's socket would.
const char kBinder[] =
    "import socket,sys\ns=socket.socket(socket.AF_INET,socket.SOCK_DGRAM)\n"
    "for o in sys.argv[2].split(','): s.setsockopt(socket.SOL_SOCKET,getattr(socket,o),1)\n"
    "try: s.bind(('0.0.0.0',int(sys.argv[1]))); print('bound')\nexcept OSError as e: print('refused',e.errno)\n";

class LocalUsers : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "making a second user needs root";
    for (const char* tool : {"useradd", "userdel", "runuser", "python3"})
      if (!Executable(tool)) GTEST_SKIP() << tool << " is not installed";
    guest_ = "hwguest" + std::to_string(getpid() % 100000);
    made_user_ = RunCommand({"useradd", "--system", "--no-create-home", guest_}, Environment(), dir_.Path()).code == 0;
    ASSERT_TRUE(made_user_);
    // The guest needs a folder of its own and a way through ours to the programs.
    mkdir(guest_home_.c_str(), 0777);
    chmod(guest_home_.c_str(), 0777);
    chmod(dir_.Path().c_str(), 0755);
  }
  void TearDown() override {
    children_.clear();
    if (made_user_) RunCommand({"userdel", guest_}, Environment(), dir_.Path());
  }

  std::vector<std::string> Env(bool guest) const {
    std::vector<std::string> env;
    for (const auto& e : Environment())
      if (e.rfind("XDG_CONFIG_HOME=", 0) && e.rfind("HALLWIRE_NAME_PORT=", 0)) env.push_back(e);
    env.push_back("XDG_CONFIG_HOME=" + (guest ? guest_home_ : dir_.File("config")));
    env.push_back("HALLWIRE_NAME_PORT=" + std::to_string(std::stoi(port_) + 1));
    return env;
  }
  std::vector<std::string> As(bool guest, std::vector<std::string> argv) const {
    if (guest) argv.insert(argv.begin(), {"runuser", "-u", guest_, "--"});
    return argv;
  }
  TChild& Listen(bool guest, const std::string& label) {
    children_.push_back(std::make_unique<TChild>(As(guest, {bin_ + "/hallwire-listen"}), Env(guest),
                                                 dir_.File(label + ".out"), dir_.File(label + ".err")));
    return *children_.back();
  }
  TRunResult Send(bool guest, const std::string& text) {
    return RunCommand(As(guest, {bin_ + "/hallwire-send", "--local", text}), Env(guest), guest_home_, 10s);
  }

  TempDir dir_;
  std::string guest_, guest_home_ = dir_.File("guest"), bin_ = std::getenv("HALLWIRE_BIN_DIR"),
                       port_ = std::getenv("HALLWIRE_DGRAM_PORT");
  bool made_user_ = false;
  std::vector<std::unique_ptr<TChild>> children_;
};

TEST_F(LocalUsers, AnotherUserCannotWriteToOurMailslotNorShareOurPort) {
  Listen(false, "owner");
  const auto heard = [&](const std::string& text) { return ReadFile(dir_.File("owner.out")).find(text) != std::string::npos; };
  ASSERT_TRUE(PollUntil([&] { return Send(false, "ready").code == 0 && heard("ready"); }, 10s));

  Send(true, "from the guest");
  ASSERT_EQ(Send(false, "from the owner").code, 0);
  ASSERT_TRUE(PollUntil([&] { return heard("from the owner"); }, 5s));
  EXPECT_FALSE(heard("from the guest"));

  // The guest cannot bind the port beside us, whatever it asks for.
  for (const char* options : {"SO_REUSEADDR", "SO_REUSEPORT", "SO_REUSEADDR,SO_REUSEPORT"}) {
    const TRunResult bind = RunCommand(As(true, {"python3", "-c", kBinder, port_, options}), Env(true), guest_home_);
    EXPECT_NE(bind.out.find("refused"), std::string::npos) << options << ": " << bind.out << bind.err;
  }
}

TEST_F(LocalUsers, AMailslotHeldByAnotherUserIsSaidWithItsName) {
  Listen(true, "guest");
  ASSERT_TRUE(PollUntil([&] { return Send(true, "ready").code == 0 && ReadFile(dir_.File("guest.out")) != ""; }, 10s));
  ASSERT_TRUE(Listen(false, "owner").Wait(10s).has_value());
  EXPECT_NE(ReadFile(dir_.File("owner.err")).find("is held by user \"" + guest_ + "\""), std::string::npos)
      << ReadFile(dir_.File("owner.err"));
}

}  // namespace
