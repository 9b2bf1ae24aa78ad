// The mailslot server: property writes, polling, the reader thread's life.
#include <future>

#include "tests/transport/TransportTest.h"

using namespace hw;
using namespace std::chrono_literals;

namespace {

class ServerTest : public ::testing::Test {
 protected:
  TMessageLoop loop;
  std::string name = test::UniqueName("srv");
  std::unique_ptr<TMailslotServer> MakeServer(std::uint32_t interval = 20) {
    auto s = std::make_unique<TMailslotServer>(loop);
    s->SetMailslotName(name);
    s->SetInterval(interval);
    return s;
  }
};

}  // namespace

TEST_F(ServerTest, DefaultsAndSameValueWritesChangeNothing) {
  TMailslotServer s(loop);
  EXPECT_EQ(s.MailslotName(), "mailbox");
  EXPECT_EQ(s.Interval(), 1000u);
  EXPECT_EQ(s.ReadTimeOut(), -1);
  EXPECT_TRUE(s.MessagePolling());
  EXPECT_NE(s.Handle(), 0u);
  EXPECT_FALSE(s.Thread().Paused());  // created running, before any handler
  const auto h = s.Handle();
  s.SetMailslotName("mailbox");
  s.SetMaxMessageSize(0);
  s.SetInheritHandle(false);
  s.SetInterval(1000);
  s.SetMessagePolling(true);
  s.SetThreadPriority(TThreadPriority::tpNormal);
  EXPECT_EQ(s.Handle(), h);
  EXPECT_FALSE(s.Thread().Paused());
  // A handler write always re-evaluates: no handler yet, so the thread pauses.
  s.SetOnNewMessage(nullptr);
  EXPECT_TRUE(s.Thread().Paused());
  s.SetMailslotName("other" + name);
  EXPECT_NE(s.Handle(), 0u);
}

TEST_F(ServerTest, PollingRunsOnlyWhileAllConditionsHold) {
  auto s = MakeServer();
  s->SetOnNewMessage([](TMailslotServer&) {});
  EXPECT_FALSE(s->Thread().Paused());
  s->SetInterval(0);
  EXPECT_TRUE(s->Thread().Paused());
  s->SetInterval(30);
  EXPECT_FALSE(s->Thread().Paused());
  s->SetMessagePolling(false);
  EXPECT_TRUE(s->Thread().Paused());
  s->SetMessagePolling(true);
  EXPECT_FALSE(s->Thread().Paused());
  s->SetOnNewMessage(nullptr);
  EXPECT_TRUE(s->Thread().Paused());
}

TEST_F(ServerTest, PausedServerRaisesNothing) {
  auto s = MakeServer();
  int events = 0;
  s->SetOnNewMessage([&](TMailslotServer&) { ++events; });
  s->SetMessagePolling(false);
  test::WriteRaw(name, "x");
  ASSERT_TRUE(test::WaitCount(*s, 1));
  loop.ProcessFor(150ms);
  EXPECT_EQ(events, 0);
  s->SetMessagePolling(true);
  EXPECT_TRUE(loop.ProcessUntil([&] { return events == 1; }, 2s));
}

TEST_F(ServerTest, TwoMessagesBetweenChecksRaiseOneEvent) {
  auto s = MakeServer(100);
  std::vector<std::uint32_t> counts;
  s->SetOnNewMessage([&](TMailslotServer& srv) {
    counts.push_back(srv.MessageCount());
    char buf[16];
    while (srv.MessageCount() > 0) srv.ReadMessage(buf, sizeof buf);
  });
  s->SetMessagePolling(false);
  test::WriteRaw(name, "1");
  test::WriteRaw(name, "2");
  ASSERT_TRUE(test::WaitCount(*s, 2));
  s->SetMessagePolling(true);
  ASSERT_TRUE(loop.ProcessUntil([&] { return !counts.empty(); }, 2s));
  loop.ProcessFor(250ms);
  ASSERT_EQ(counts.size(), 1u);
  EXPECT_EQ(counts[0], 2u);
  EXPECT_EQ(s->Thread().LastCount(), 0);
}

TEST_F(ServerTest, HandlerThatLeavesMessagesIsCalledAgainOnlyWhenTheCountMoves) {
  auto s = MakeServer();
  int events = 0;
  s->SetOnNewMessage([&](TMailslotServer& srv) {
    ++events;
    char buf[16];
    srv.ReadMessage(buf, sizeof buf);  // reads one only
  });
  s->SetMessagePolling(false);
  for (int i = 0; i < 3; ++i) test::WriteRaw(name, "m");
  ASSERT_TRUE(test::WaitCount(*s, 3));
  s->SetMessagePolling(true);
  ASSERT_TRUE(loop.ProcessUntil([&] { return events == 1; }, 2s));
  loop.ProcessFor(150ms);
  EXPECT_EQ(events, 1);
  EXPECT_EQ(s->Thread().LastCount(), 2);
  test::WriteRaw(name, "fourth");
  EXPECT_TRUE(loop.ProcessUntil([&] { return events == 2; }, 2s));
}

TEST_F(ServerTest, ReadOutsideACheckLowersTheCountSoNoEventFollows) {
  auto s = MakeServer();
  int events = 0;
  s->SetOnNewMessage([&](TMailslotServer&) { ++events; });
  s->SetMessagePolling(false);
  test::WriteRaw(name, "a");
  ASSERT_TRUE(test::WaitCount(*s, 1));
  s->Thread().SetLastCount(1);  // as if a check had seen it
  char buf[8];
  EXPECT_EQ(s->ReadMessage(buf, sizeof buf), 1u);
  EXPECT_EQ(s->Thread().LastCount(), 0);
  s->SetMessagePolling(true);
  loop.ProcessFor(150ms);
  EXPECT_EQ(events, 0);
}

TEST_F(ServerTest, OpenFailuresAndClosedMailslot) {
  auto s = MakeServer();
  TMailslotServer other(loop);
  try {
    other.SetMailslotName(name);
    FAIL();
  } catch (const EMailslotServerError& e) {
    EXPECT_STREQ(e.what(), "Cannot create a file when that file already exists");
  }
  EXPECT_EQ(other.Handle(), 0u);
  EXPECT_EQ(other.MailslotName(), name);  // the new name stays stored
  EXPECT_EQ(other.MessageCount(), 0u);
  EXPECT_EQ(other.NextMessageSize(), 0u);
  char buf[4];
  EXPECT_EQ(other.ReadMessage(buf, sizeof buf), 0u);
}

TEST_F(ServerTest, LongNamesAreCutToTheFirst187Characters) {
  TMailslotServer s(loop);
  const std::string long_name = test::UniqueName("L") + std::string(200, 'q');
  s.SetMailslotName(long_name);
  ASSERT_NE(s.Handle(), 0u);
  TMailslotClient c;
  c.SetReceiver(TReceiverType::rcLocalComputer);
  c.SetMailslotName(long_name.substr(0, 187));
  EXPECT_NO_THROW(c.OpenMailslot());
}

TEST_F(ServerTest, FailedReadRaisesAndKeepsTheCount) {
  auto s = MakeServer();
  test::WriteRaw(name, "twelve bytes");
  ASSERT_TRUE(test::WaitCount(*s, 1));
  s->Thread().SetLastCount(1);
  char buf[4];
  try {
    s->ReadMessage(buf, sizeof buf);
    FAIL();
  } catch (const EMailslotServerError& e) {
    EXPECT_STREQ(e.what(), "The data area passed to a system call is too small");
  }
  EXPECT_EQ(s->Thread().LastCount(), 1);
  EXPECT_EQ(s->MessageCount(), 1u);
}

TEST_F(ServerTest, ErrorsEscapingACheckAreReportedAndPollingGoesOn) {
  auto s = MakeServer();
  int events = 0;
  std::vector<std::string> errors;
  s->SetOnError([&](const std::exception& e) { errors.push_back(e.what()); });
  s->SetOnNewMessage([&](TMailslotServer& srv) {
    ++events;
    char buf[64];
    srv.ReadMessage(buf, sizeof buf);
    if (events == 1) throw Exception("Handler failed");
  });
  test::WriteRaw(name, "one");
  ASSERT_TRUE(loop.ProcessUntil([&] { return errors.size() == 1; }, 2s));
  EXPECT_EQ(errors[0], "Handler failed");
  test::WriteRaw(name, "two");
  EXPECT_TRUE(loop.ProcessUntil([&] { return events >= 2; }, 2s));
}

TEST_F(ServerTest, DestroyedWhileACheckIsPendingEndsWithoutDeadlock) {
  // The window thread never runs the posted check, then destroys the server: the
  // waiting reader thread must be released and joined, leaving nothing behind.
  auto done = std::async(std::launch::async, [] {
    TMessageLoop own_loop;
    auto s = std::make_unique<TMailslotServer>(own_loop);
    s->SetMailslotName(test::UniqueName("pending"));
    s->SetInterval(1);
    s->SetOnNewMessage([](TMailslotServer&) {});
    std::this_thread::sleep_for(50ms);  // checks are queued, none runs
    s.reset();
    own_loop.ProcessPending();  // stale checks must not touch the freed server
    return true;
  });
  ASSERT_EQ(done.wait_for(5s), std::future_status::ready);
  EXPECT_TRUE(done.get());
}

TEST_F(ServerTest, DestroyedWhilePausedLeavesNoThread) {
  auto t0 = std::chrono::steady_clock::now();
  {
    auto s = MakeServer(100000);
    s->SetOnNewMessage(nullptr);
    ASSERT_TRUE(s->Thread().Paused());
  }
  {
    auto s = MakeServer(100000);  // sleeping a long interval
    s->SetOnNewMessage([](TMailslotServer&) {});
  }
  EXPECT_LT(std::chrono::steady_clock::now() - t0, 1s);
}

TEST_F(ServerTest, AMessageArrivingAfterTheHandlersLastLookRaisesTheNextCheck) {
  auto s = MakeServer();
  int events = 0;
  s->SetOnNewMessage([&](TMailslotServer& srv) {
    ++events;
    char buf[16];
    while (srv.MessageCount() > 0) srv.ReadMessage(buf, sizeof buf);
    // Lands after the handler's last look and before the check ends.
    if (events == 1) test::WriteRaw(name, "late");
  });
  test::WriteRaw(name, "first");
  ASSERT_TRUE(loop.ProcessUntil([&] { return events == 1; }, 2s));
  EXPECT_EQ(s->Thread().LastCount(), 0);
  EXPECT_TRUE(loop.ProcessUntil([&] { return events == 2; }, 2s));
  EXPECT_EQ(s->MessageCount(), 0u);
}
