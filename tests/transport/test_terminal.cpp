// The terminal: frames on the wire, the repeat filter, delivery.
#include "tests/transport/TransportTest.h"

using namespace hw;
using namespace std::chrono_literals;

namespace {

struct Delivery {
  std::uint32_t sender;
  std::uint16_t size;
  std::string payload;
};

class TerminalTest : public ::testing::Test {
 protected:
  TMessageLoop loop;
  std::string name = test::UniqueName("term");
  std::unique_ptr<TMailslotTerminal> receiver;
  std::vector<Delivery> got;

  void SetUp() override {
    receiver = std::make_unique<TMailslotTerminal>(loop);
    receiver->SetInterval(20);
    receiver->SetMailslotName(name);
    receiver->SetOnNewMessage([this](TMailslotTerminal& t, std::uint32_t sender, std::uint16_t size) {
      std::string payload(size, '\0');
      EXPECT_EQ(t.MessageStream().Position(), 8u);
      t.MessageStream().Read(payload.data(), size);
      got.push_back({sender, size, payload});
    });
  }
  bool WaitFor(std::size_t n) {
    return loop.ProcessUntil([&] { return got.size() >= n; }, 3s);
  }
  // Waits until n raw frames are queued, then lets one check drain them.
  void DeliverQueued(std::uint32_t n) {
    ASSERT_TRUE(test::WaitCount(receiver->Server(), n));
    loop.ProcessUntil([&] { return receiver->Server().MessageCount() == 0; }, 3s);
    loop.ProcessFor(60ms);
  }
};

}  // namespace

TEST_F(TerminalTest, FirstFrameOfAbcIsTwelveBytes) {
  // Read the raw frame with a plain server that owns the target name.
  const std::string raw_name = test::UniqueName("raw");
  TMailslotServer raw(loop);
  raw.SetMailslotName(raw_name);
  TMailslotTerminal sender(loop);
  sender.SetMailslotName(test::UniqueName("sender"));
  sender.Client().SetMailslotName(raw_name);
  sender.SetReceiver(TReceiverType::rcLocalComputer);
  sender.Client().SetMailslotName(raw_name);
  EXPECT_EQ(sender.Send("abc", 4), 12u);
  ASSERT_TRUE(test::WaitCount(raw, 1));
  std::uint8_t frame[32];
  ASSERT_EQ(raw.ReadMessage(frame, sizeof frame), 12u);
  const std::uint32_t id = sender.OwnHeader().SenderId;
  const std::uint8_t expected[12] = {static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8),
                                     static_cast<std::uint8_t>(id >> 16), static_cast<std::uint8_t>(id >> 24),
                                     1, 0, 0, 0, 'a', 'b', 'c', 0};
  EXPECT_EQ(0, std::memcmp(frame, expected, 12));
  for (int i = 2; i <= 10; ++i) sender.Send("x", 1);
  EXPECT_EQ(sender.OwnHeader().Sequence, 10u);
}

TEST_F(TerminalTest, SenderIdsDifferBetweenTerminals) {
  TMailslotTerminal a(loop);
  a.SetMailslotName(test::UniqueName("a"));
  TMailslotTerminal b(loop);
  b.SetMailslotName(test::UniqueName("b"));
  EXPECT_NE(a.OwnHeader().SenderId, b.OwnHeader().SenderId);
  EXPECT_EQ(a.OwnHeader().Sequence, 0u);
}

TEST_F(TerminalTest, RepeatFilter) {
  test::WriteRaw(name, test::Frame(7, 0, "new sender, sequence 0"));
  test::WriteRaw(name, test::Frame(7, 5, "five"));
  test::WriteRaw(name, test::Frame(7, 5, "five again"));
  test::WriteRaw(name, test::Frame(7, 3, "older, never seen"));  // within the window: delivered once
  test::WriteRaw(name, test::Frame(7, 3, "older again"));
  test::WriteRaw(name, test::Frame(9, 1, "other sender"));
  test::WriteRaw(name, test::Frame(7, 6, "six"));
  DeliverQueued(7);
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[0].payload, "new sender, sequence 0");
  EXPECT_EQ(got[1].payload, "five");
  EXPECT_EQ(got[2].payload, "older, never seen");
  EXPECT_EQ(got[3].payload, "other sender");
  EXPECT_EQ(got[3].sender, 9u);
  EXPECT_EQ(got[4].payload, "six");
  ASSERT_EQ(receiver->Senders().size(), 2u);
  EXPECT_EQ(receiver->Senders().front().SenderId, 9u);  // newest first
  EXPECT_EQ(receiver->Senders().back().LastSequence, 6u);
}

TEST_F(TerminalTest, FramesWithoutAWholeHeaderOrTooLongAreDropped) {
  test::WriteRaw(name, "");
  test::WriteRaw(name, "1234567");
  test::WriteRaw(name, test::Frame(3, 1, std::string(65536, 'L')));  // MsgSize would wrap
  test::WriteRaw(name, test::Frame(3, 2, ""));
  test::WriteRaw(name, test::Frame(3, 3, std::string(65535, 'M')));
  DeliverQueued(5);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].size, 0u);
  EXPECT_EQ(got[1].size, 65535u);
  EXPECT_EQ(receiver->Server().MessageCount(), 0u);
}

TEST_F(TerminalTest, ThreeFramesAtOneCheckRaiseThreeEventsInOrder) {
  receiver->Server().SetMessagePolling(false);
  for (int i = 1; i <= 3; ++i) test::WriteRaw(name, test::Frame(11, i, std::to_string(i)));
  ASSERT_TRUE(test::WaitCount(receiver->Server(), 3));
  receiver->Server().SetMessagePolling(true);
  ASSERT_TRUE(WaitFor(3));
  EXPECT_EQ(got[0].payload, "1");
  EXPECT_EQ(got[1].payload, "2");
  EXPECT_EQ(got[2].payload, "3");
}

TEST_F(TerminalTest, NoHandlerStillUpdatesSenders) {
  receiver->SetOnNewMessage(nullptr);
  test::WriteRaw(name, test::Frame(5, 4, "x"));
  DeliverQueued(1);
  ASSERT_EQ(receiver->Senders().size(), 1u);
  EXPECT_EQ(receiver->Senders().front().LastSequence, 4u);
}

TEST_F(TerminalTest, OwnBroadcastComesBackOnceAndLocalSendArrives) {
  receiver->SetReceiver(TReceiverType::rcPrimaryDomain);
  const std::string text = "to everybody";
  receiver->Send(text.c_str(), static_cast<std::uint16_t>(text.size() + 1));
  ASSERT_TRUE(WaitFor(1));
  loop.ProcessFor(150ms);  // the same frame may arrive by several ways: delivered once
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].sender, receiver->OwnHeader().SenderId);
  EXPECT_EQ(got[0].size, text.size() + 1);
  EXPECT_EQ(std::string(got[0].payload.c_str()), text);

  receiver->SetReceiver(TReceiverType::rcLocalComputer);
  receiver->Send("", 0);
  ASSERT_TRUE(WaitFor(2));
  EXPECT_EQ(got[1].size, 0u);
}

TEST_F(TerminalTest, TwoTerminalsExchangeOverTheCarrier) {
  TMailslotTerminal sender(loop);
  sender.SetMailslotName(test::UniqueName("peer"));
  sender.SetMailslotName(name + "x");
  char computer[16];
  win32::DWORD size = sizeof computer;
  win32::GetComputerNameA(computer, &size);
  sender.SetReceiver(TReceiverType::rcDomainOrComputer);
  sender.SetReceiverName(computer);
  sender.Client().SetMailslotName(name);
  for (int i = 0; i < 20; ++i) sender.Send("hi", 3);
  ASSERT_TRUE(WaitFor(20));
  loop.ProcessFor(50ms);
  EXPECT_EQ(got.size(), 20u);
  EXPECT_EQ(got[0].sender, sender.OwnHeader().SenderId);
}

TEST_F(TerminalTest, ReceiverWritesAlwaysCloseTheClientHandle) {
  receiver->SetReceiver(TReceiverType::rcLocalComputer);
  receiver->Send("a", 1);
  const auto h = receiver->Client().Handle();
  EXPECT_NE(h, 0u);
  receiver->Send("b", 1);
  EXPECT_EQ(receiver->Client().Handle(), h);
  receiver->SetReceiver(TReceiverType::rcLocalComputer);
  EXPECT_EQ(receiver->Client().Handle(), 0u);
  receiver->Send("c", 1);
  EXPECT_NE(receiver->Client().Handle(), 0u);
  receiver->SetReceiverName("");
  EXPECT_EQ(receiver->Client().Handle(), 0u);
}

TEST_F(TerminalTest, FailedSendUsesUpTheSequenceNumber) {
  TMailslotTerminal t(loop);
  t.SetMailslotName(test::UniqueName("fail"));
  t.SetReceiver(TReceiverType::rcLocalComputer);
  t.Client().SetMailslotName(test::UniqueName("nobody"));
  EXPECT_THROW(t.Send("x", 1), EMailslotClientError);
  EXPECT_EQ(t.OwnHeader().Sequence, 1u);
}

TEST_F(TerminalTest, TakenNameRaisesAndTheClientFollowsTheNewName) {
  TMailslotTerminal t(loop);
  EXPECT_EQ(t.MailslotName(), "Terminal");
  EXPECT_THROW(t.SetMailslotName(name), EMailslotServerError);
  EXPECT_EQ(t.MailslotName(), name);
  EXPECT_EQ(t.Server().Handle(), 0u);
  EXPECT_EQ(t.Client().MailslotName(), name);
}

TEST(SenderTable, HeldSendersFilterRepeatsAndTheLeastRecentlySeenMakesRoom) {
  struct TRow {
    std::uint32_t id, sequence;
    bool delivered;
  };
  TSenderTable table(3);
  const std::vector<TRow> rows = {
      {1, 5, true},  {1, 5, false}, {1, 4, true}, {1, 4, false}, {1, 6, true},  // a held sender
      {2, 0, true},  {3, 9, true},                                // the table is full
      {1, 6, false},                                              // a repeat still counts as seen
      {4, 1, true},                                               // evicts 2, seen least recently
      {2, 0, true},                                               // 2 comes back as new; evicts 3
      {1, 6, false}, {4, 1, false}, {3, 1, true},                 // evicts 2 again
  };
  for (std::size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(table.Accept(rows[i].id, rows[i].sequence), rows[i].delivered) << "row " << i;
  EXPECT_EQ(table.size(), 3u);
  EXPECT_EQ(table.front().SenderId, 3u);  // most recently added first
  ASSERT_NE(table.Find(1), nullptr);
  EXPECT_EQ(table.Find(1)->LastSequence, 6u);
  EXPECT_EQ(table.Find(2), nullptr);

  // A flood of fresh ids leaves the table at its capacity, a live sender still held.
  TSenderTable big;
  for (std::uint32_t id = 1; id <= 200000; ++id) {
    big.Accept(id + 1000, 1);
    if (id % 1000 == 0) big.Accept(7, id);
  }
  EXPECT_EQ(big.size(), TSenderTable::kDefaultCapacity);
  ASSERT_NE(big.Find(7), nullptr);
  EXPECT_FALSE(big.Accept(7, 200000));
}
