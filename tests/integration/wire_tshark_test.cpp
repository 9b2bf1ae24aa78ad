// Captures the carrier's datagrams on loopback with tshark and checks that the
// analyzer's NetBIOS datagram, SMB mailslot and browser dissectors read them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/net/Config.h"
#include "platform/net/Kernel32Mailslots.h"
#include "tests/support/TestSupport.h"

using namespace hw::win32;

namespace {

std::string Capture(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

bool HaveTshark() { return std::system("command -v tshark >/dev/null 2>&1") == 0; }

}  // namespace

TEST(WireFormat, AnalyzerReadsMailslotWritesAndAnnouncements) {
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  if (geteuid() != 0) GTEST_SKIP() << "capturing on lo needs root";
  hw::test::TempDir dir;
  const std::string port = std::to_string(hw::platform::net::Config().port);
  const std::string pcap = dir.File("cap.pcap");
  const std::string log = dir.File("tshark.log");
  // Capture in the background until two seconds have passed.
  std::system(("timeout 8 tshark -i lo -f 'udp port " + port + "' -a duration:4 -w " + pcap + " >" + log +
               " 2>&1 &")
                  .c_str());
  for (int i = 0; i < 100 && hw::test::ReadFile(log).find("Capture started") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (hw::test::ReadFile(log).find("Capture started") == std::string::npos) GTEST_SKIP() << "tshark cannot capture here";
  std::this_thread::sleep_for(std::chrono::milliseconds(300));

  // Owning a mailslot announces this computer; then one write to the workgroup.
  HANDLE slot = CreateMailslotA("\\\\.\\mailslot\\hwSlot", 0, 0, nullptr);
  ASSERT_NE(slot, INVALID_HANDLE_VALUE);
  HANDLE all = CreateFileA("\\\\*\\mailslot\\hwSlot", GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, 0);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(all, "hi\0", 3, &written, nullptr));
  CloseHandle(all);
  std::this_thread::sleep_for(std::chrono::milliseconds(3500));
  CloseHandle(slot);

  const std::string writes = Capture("tshark -r " + pcap + " -d udp.port==" + port +
                                 ",nbdgm -Y 'mailslot.name == \"\\\\MAILSLOT\\\\hwSlot\"' -T fields -e nbdgm.type "
                                 "-e nbdgm.src.ip -e smb.cmd -e mailslot.name -e data.data 2>/dev/null");
  const std::string seen = Capture("tshark -r " + pcap + " 2>&1 | head -20") + hw::test::ReadFile(log);
  EXPECT_NE(writes.find("17\t127.0.0.1\t0x25\t\\MAILSLOT\\hwSlot\t686900"), std::string::npos) << writes << seen;

  const std::string browse = Capture("tshark -r " + pcap + " -d udp.port==" + port +
                                 ",nbdgm -Y browser -T fields -e browser.command -e browser.server "
                                 "-e browser.server_type 2>/dev/null");
  EXPECT_NE(browse.find("0x01\tWIREHOST\t0x00000003"), std::string::npos) << browse;
}
