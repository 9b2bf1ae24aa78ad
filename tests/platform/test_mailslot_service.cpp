// The Linux mailslot service: names, queues, errors, and writes over the carrier.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "platform/net/Carrier.h"
#include "platform/net/Config.h"
#include "platform/net/Datagram.h"
#include "platform/net/Kernel32Mailslots.h"
#include "platform/system/Exception.h"

using namespace hw::win32;

namespace {

std::string Local(const std::string& name) { return "\\\\.\\mailslot\\" + name; }

HANDLE Create(const std::string& name, DWORD max_size = 0, DWORD timeout = 0) {
  return CreateMailslotA(Local(name).c_str(), max_size, timeout, nullptr);
}

HANDLE Open(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
}

bool Write(HANDLE h, const std::string& data) {
  DWORD written = 0;
  return WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) && written == data.size();
}

DWORD Count(HANDLE h) {
  DWORD next = 0, count = 0;
  GetMailslotInfo(h, nullptr, &next, &count, nullptr);
  return count;
}

// Waits until the mailslot holds n messages (delivery goes through the I/O thread).
bool WaitCount(HANDLE h, DWORD n, int ms = 2000) {
  for (int i = 0; i < ms / 5; ++i) {
    if (Count(h) >= n) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return Count(h) >= n;
}

std::string Read(HANDLE h) {
  std::string buffer(70000, '\0');
  DWORD read = 0;
  if (!ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return "<error>";
  buffer.resize(read);
  return buffer;
}

}  // namespace

TEST(SystemText, ExactTextsWithoutTrailingStop) {
  EXPECT_EQ(hw::SystemErrorText(2), "The system cannot find the file specified");
  EXPECT_EQ(hw::SystemErrorText(183), "Cannot create a file when that file already exists");
  EXPECT_EQ(hw::SystemErrorText(121), "The semaphore timeout period has expired");
  char buffer[300];
  ASSERT_GT(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 53, 0, buffer, sizeof buffer, nullptr), 0u);
  EXPECT_STREQ(buffer, "The network path was not found.\r\n");
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 53, 0, buffer, 5, nullptr), 0u);
  EXPECT_FALSE(hw::SystemErrorText(99999).empty());
}

TEST(LastError, IsPerThread) {
  SetLastError(5);
  std::thread([] {
    EXPECT_EQ(GetLastError(), 0u);
    SetLastError(2);
  }).join();
  EXPECT_EQ(GetLastError(), 5u);
}

TEST(Identity, NamesAndHandles) {
  char name[16];
  DWORD size = sizeof name;
  ASSERT_TRUE(GetComputerNameA(name, &size));
  EXPECT_EQ(size, std::strlen(name));
  EXPECT_LE(size, 15u);
  char small[2];
  size = sizeof small;
  if (std::strlen(name) > 1) {
    EXPECT_FALSE(GetComputerNameA(small, &size));
  }
  char user[64];
  size = sizeof user;
  ASSERT_TRUE(GetUserNameA(user, &size));
  EXPECT_EQ(size, std::strlen(user) + 1);
  EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));
}

TEST(MailslotNames, OwnedOncePerComputerWithoutRegardToCase) {
  HANDLE a = Create("OwnerTest");
  ASSERT_NE(a, INVALID_HANDLE_VALUE);
  EXPECT_NE(a, 0u);
  EXPECT_EQ(Create("ownertest"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_TRUE(CloseHandle(a));
  HANDLE b = Create("OWNERTEST");
  EXPECT_NE(b, INVALID_HANDLE_VALUE);
  CloseHandle(b);
  EXPECT_FALSE(CloseHandle(b));
}

TEST(MailslotNames, BadPathsFailWithSyntaxError) {
  for (const char* path : {"hwSlot", "\\\\.\\pipe\\x", "\\\\.\\mailslot\\", "\\\\*\\mailslot\\x", "\\\\PC\\mailslot\\x"}) {
    EXPECT_EQ(CreateMailslotA(path, 0, 0, nullptr), INVALID_HANDLE_VALUE) << path;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME) << path;
  }
}

TEST(MailslotNames, FreedWhenTheOwnerIsKilled) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    HANDLE h = Create("KillTest");
    char c = h != INVALID_HANDLE_VALUE ? '1' : '0';
    if (write(ready[1], &c, 1) < 0) _exit(1);
    pause();
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, '1');
  EXPECT_EQ(Create("KillTest"), INVALID_HANDLE_VALUE);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  HANDLE h = Create("KillTest");
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  close(ready[0]);
  close(ready[1]);
}

TEST(MailslotQueue, WholeMessagesInOrderWithSizeAndCount) {
  HANDLE slot = Create("QueueTest");
  HANDLE w = Open(Local("queuetest"));
  ASSERT_NE(w, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(Write(w, "first"));
  ASSERT_TRUE(Write(w, ""));
  ASSERT_TRUE(Write(w, std::string(65543, 'z')));
  ASSERT_TRUE(WaitCount(slot, 3));
  DWORD max = 1, next = 0, count = 0, timeout = 1;
  ASSERT_TRUE(GetMailslotInfo(slot, &max, &next, &count, &timeout));
  EXPECT_EQ(max, 0u);
  EXPECT_EQ(next, 5u);
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(timeout, 0u);
  // A buffer too small fails and leaves the message queued.
  char small[4];
  DWORD read = 99;
  EXPECT_FALSE(ReadFile(slot, small, sizeof small, &read, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(Count(slot), 3u);
  EXPECT_EQ(Read(slot), "first");
  EXPECT_EQ(Read(slot), "");
  EXPECT_EQ(Read(slot).size(), 65543u);
  ASSERT_TRUE(GetMailslotInfo(slot, nullptr, &next, &count, nullptr));
  EXPECT_EQ(next, MAILSLOT_NO_MESSAGE);
  EXPECT_EQ(count, 0u);
  CloseHandle(w);
  CloseHandle(slot);
}

TEST(MailslotQueue, ReadTimeOutsAndSetMailslotInfo) {
  HANDLE slot = Create("TimeoutTest", 0, 0);
  char buffer[16];
  DWORD read = 0;
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_FALSE(ReadFile(slot, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_SEM_TIMEOUT);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(50));

  ASSERT_TRUE(SetMailslotInfo(slot, 150));
  t0 = std::chrono::steady_clock::now();
  EXPECT_FALSE(ReadFile(slot, buffer, sizeof buffer, &read, nullptr));
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(140));

  // Waiting forever ends when a message arrives.
  ASSERT_TRUE(SetMailslotInfo(slot, MAILSLOT_WAIT_FOREVER));
  std::thread writer([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    HANDLE w = Open(Local("TimeoutTest"));
    Write(w, "late");
    CloseHandle(w);
  });
  EXPECT_TRUE(ReadFile(slot, buffer, sizeof buffer, &read, nullptr));
  EXPECT_EQ(std::string(buffer, read), "late");
  writer.join();
  CloseHandle(slot);
}

TEST(MailslotQueue, MaxMessageSizeRefusesLargerMessages) {
  HANDLE slot = Create("MaxTest", 10);
  HANDLE w = Open(Local("MaxTest"));
  Write(w, std::string(11, 'x'));
  Write(w, std::string(10, 'y'));
  ASSERT_TRUE(WaitCount(slot, 1));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(Count(slot), 1u);
  EXPECT_EQ(Read(slot), std::string(10, 'y'));
  CloseHandle(w);
  CloseHandle(slot);
}

TEST(MailslotClient, OpenRules) {
  EXPECT_EQ(Open(Local("NobodyOwnsThis")), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  // Remote forms open without asking anybody.
  for (const char* path : {"\\\\*\\mailslot\\NobodyOwnsThis", "\\\\NOSUCHPC\\mailslot\\x"}) {
    HANDLE h = Open(path);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
    CloseHandle(h);
  }
  EXPECT_EQ(Open("\\\\\\mailslot\\hwSlot"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_BAD_NETPATH);
  EXPECT_EQ(Open("plainfile.txt"), INVALID_HANDLE_VALUE);
}

TEST(MailslotClient, WritesAfterTheOwnerLeftFail) {
  HANDLE slot = Create("GoneTest");
  HANDLE w = Open(Local("GoneTest"));
  CloseHandle(slot);
  EXPECT_FALSE(Write(w, "x"));
  CloseHandle(w);
}

TEST(Carrier, DomainBroadcastAndUnicastToThisComputerArrive) {
  HANDLE slot = Create("NetTest");
  char computer[16];
  DWORD size = sizeof computer;
  GetComputerNameA(computer, &size);
  HANDLE all = Open("\\\\*\\mailslot\\nettest");
  HANDLE me = Open(std::string("\\\\") + computer + "\\mailslot\\NetTest");
  HANDLE other = Open("\\\\SOMEONEELSE\\mailslot\\NetTest");
  ASSERT_TRUE(Write(all, "to all"));
  ASSERT_TRUE(WaitCount(slot, 1));
  ASSERT_TRUE(Write(me, "to me"));
  ASSERT_TRUE(WaitCount(slot, 2));
  // Nobody answers for that name: the write fails instead of going nowhere.
  EXPECT_FALSE(Write(other, "not for me"));
  EXPECT_EQ(GetLastError(), ERROR_BAD_NETPATH);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(Count(slot), 2u);
  EXPECT_EQ(Read(slot), "to all");
  EXPECT_EQ(Read(slot), "to me");
  for (HANDLE h : {all, me, other, slot}) CloseHandle(h);
}

TEST(Carrier, OversizedNetworkWriteFailsAndSendsNothing) {
  HANDLE slot = Create("BigTest");
  HANDLE all = Open("\\\\*\\mailslot\\BigTest");
  EXPECT_FALSE(Write(all, std::string(65500, 'x')));
  EXPECT_EQ(GetLastError(), WSAEMSGSIZE);
  EXPECT_FALSE(hw::SystemErrorText(WSAEMSGSIZE).empty());
  // The largest payload that fits goes through whole.
  const std::string fits(65507 - 14 - 68 - 70 - 18, 'y');
  EXPECT_TRUE(Write(all, fits));
  ASSERT_TRUE(WaitCount(slot, 1));
  EXPECT_EQ(Read(slot), fits);
  CloseHandle(all);
  CloseHandle(slot);
}

TEST(Carrier, UnicastForAnotherProcessIsForwardedToTheOwner) {
  // The child owns the target name and binds the port first; this process binds
  // after it, so the kernel hands unicasts to this process, which must forward.
  int ready[2], done[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(done), 0);
  const pid_t child = fork();
  if (child == 0) {
    HANDLE h = CreateMailslotA("\\\\.\\mailslot\\ForwardTarget", 0, 3000, nullptr);
    char c = '1';
    if (write(ready[1], &c, 1) < 0) _exit(2);
    char buffer[64];
    DWORD n = 0;
    const bool ok = ReadFile(h, buffer, sizeof buffer, &n, nullptr) && std::string(buffer, n) == "forwarded";
    c = ok ? 'y' : 'n';
    if (write(done[1], &c, 1) < 0) _exit(2);
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  HANDLE mine = Create("ForwarderOwnSlot");
  char computer[16];
  DWORD size = sizeof computer;
  GetComputerNameA(computer, &size);
  HANDLE w = Open(std::string("\\\\") + computer + "\\mailslot\\ForwardTarget");
  ASSERT_TRUE(Write(w, "forwarded"));
  ASSERT_EQ(read(done[0], &c, 1), 1);
  EXPECT_EQ(c, 'y');
  waitpid(child, nullptr, 0);
  // A unicast is kept once: this process does not own the name and queued nothing.
  EXPECT_EQ(Count(mine), 0u);
  CloseHandle(w);
  CloseHandle(mine);
  for (int fd : {ready[0], ready[1], done[0], done[1]}) close(fd);
}

TEST(MailslotQueue, AWriteThatReturnedIsCountedAtOnceFromAnyProcess) {
  HANDLE slot = Create("AtOnceTest");
  HANDLE w = Open(Local("AtOnceTest"));
  for (int round = 0; round < 50; ++round) {
    ASSERT_TRUE(Write(w, "mine"));
    ASSERT_EQ(Count(slot), 1u) << round;  // no waiting for the I/O thread
    ASSERT_EQ(Read(slot), "mine");
  }
  const pid_t child = fork();
  if (child == 0) {
    HANDLE cw = Open(Local("AtOnceTest"));
    for (int i = 0; i < 20; ++i)
      if (!Write(cw, "theirs")) _exit(1);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(Count(slot), 20u);
  CloseHandle(w);
  CloseHandle(slot);
}

TEST(MailslotQueue, QuotaRefusesLocalWritesDropsDatagramsAndLosesNothingQueued) {
  HANDLE slot = Create("QuotaTest");
  HANDLE w = Open(Local("QuotaTest"));
  HANDLE net = Open("\\\\*\\mailslot\\QuotaTest");
  const std::string big(60000, 'q');
  DWORD accepted = 0;
  const auto t0 = std::chrono::steady_clock::now();
  while (Write(w, big) && accepted < 1000) ++accepted;
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_QUOTA);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));  // refused, not timed out
  EXPECT_GT(accepted, 200u);
  EXPECT_LT(accepted, 400u);
  const auto dropped = hw::platform::net::CarrierCounters().dropped_full;
  ASSERT_TRUE(Write(net, "from the network"));
  for (int i = 0; i < 200 && hw::platform::net::CarrierCounters().dropped_full == dropped; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_GT(hw::platform::net::CarrierCounters().dropped_full, dropped);
  EXPECT_EQ(Count(slot), accepted);
  // Reads make room again; everything accepted is still there, whole.
  DWORD read = 0;
  while (!Write(w, "after") && read < 40) {
    ASSERT_EQ(Read(slot).size(), big.size());
    ++read;
  }
  EXPECT_LT(read, 40u);
  EXPECT_EQ(Count(slot), accepted - read + 1);
  for (; read < accepted; ++read) ASSERT_EQ(Read(slot).size(), big.size());
  EXPECT_EQ(Read(slot), "after");
  for (HANDLE h : {w, net, slot}) CloseHandle(h);
}

TEST(MailslotQueue, AWriteInterruptedBySignalsWaitsForABusyOwner) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    Create("BusyOwnerTest", 0, MAILSLOT_WAIT_FOREVER);
    char c = '1';
    if (write(ready[1], &c, 1) < 0) _exit(2);
    for (;;) pause();
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  HANDLE w = Open(Local("BusyOwnerTest"));
  ASSERT_NE(w, INVALID_HANDLE_VALUE);
  kill(child, SIGSTOP);  // its socket fills after a few datagrams
  struct sigaction sa {};
  sa.sa_handler = [](int) {};
  sigaction(SIGALRM, &sa, nullptr);  // no SA_RESTART: every wait is interrupted
  itimerval every{{0, 5000}, {0, 5000}};
  setitimer(ITIMER_REAL, &every, nullptr);
  std::thread resume([child] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(child, SIGCONT);
  });
  bool all = true;
  for (int i = 0; i < 40 && all; ++i) all = Write(w, "tick");
  const DWORD error = GetLastError();
  itimerval off{};
  setitimer(ITIMER_REAL, &off, nullptr);
  resume.join();
  EXPECT_TRUE(all) << error;
  CloseHandle(w);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
}

TEST(MailslotHandles, LongNamesAndWrongDirections) {
  // Names that share all but their last character stay apart at full length.
  const std::string stem(186, 'n');
  HANDLE a = Create(stem + "a");
  HANDLE b = Create(stem + "b");
  ASSERT_NE(a, INVALID_HANDLE_VALUE);
  ASSERT_NE(b, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Create(stem + "A"), INVALID_HANDLE_VALUE);  // the same name in another case
  HANDLE wb = Open(Local(stem + "b"));
  ASSERT_TRUE(Write(wb, "to b"));
  EXPECT_EQ(Count(a), 0u);
  EXPECT_EQ(Count(b), 1u);
  // A server handle cannot be written, a client handle cannot be read.
  DWORD n = 0;
  char buffer[8];
  EXPECT_FALSE(WriteFile(a, "x", 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(ReadFile(wb, buffer, sizeof buffer, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(WriteFile(0x7777770, "x", 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  for (HANDLE h : {a, b, wb}) CloseHandle(h);
}

TEST(Carrier, DatagramsThatDisagreeWithTheirSizeAreCountedAndDeliverNothing) {
  HANDLE slot = Create("LeakTest");
  hw::platform::net::TMailslotDatagram d;
  d.source = {"ELSEWHERE", 0x00};
  d.destination = {hw::platform::net::Config().workgroup, 0x00};
  d.mailslot = "\\MAILSLOT\\LeakTest";
  d.data.assign(20, 'x');
  auto bytes = hw::platform::net::EncodeDatagram(d);
  bytes[10] = bytes[11] = 0;  // NetBIOS length 0
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(hw::platform::net::Config().port);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const auto before = hw::platform::net::CarrierCounters().malformed;
  ASSERT_EQ(sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to),
            static_cast<ssize_t>(bytes.size()));
  for (int i = 0; i < 400 && hw::platform::net::CarrierCounters().malformed == before; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(hw::platform::net::CarrierCounters().malformed, before + 1);
  EXPECT_EQ(Count(slot), 0u);
  close(fd);
  CloseHandle(slot);
}
