// Signed lines: the trailer, the verdicts against pinned keys, the repeat filter's bound.
#include <arpa/inet.h>
#include <sys/stat.h>

#include <gmock/gmock.h>

#include "tests/support/TestSupport.h"
#include "tests/transport/TransportTest.h"
#include "transport/Trust.h"

using namespace hw;
using namespace std::chrono_literals;

namespace {

std::vector<std::uint8_t> Signed(const TLineSigner& signer, const std::string& line, std::uint32_t id,
                                 std::uint32_t sequence) {
  std::vector<std::uint8_t> payload(line.begin(), line.end());
  payload.push_back(0);
  signer.AppendTrailer(payload, id, sequence);
  return payload;
}

}  // namespace

TEST(Trust, VerdictsAgainstPinnedKeysAcrossARestart) {
  const auto alice = TLineSigner::Generate();
  const auto mallory = TLineSigner::Generate();
  const test::TempDir dir;
  const std::string pins = dir.File("pins");
  enum TChange { kNone, kFlipLine, kFlipSignature, kCut, kNoTrailer, kLaterVersion, kRestart /* the receiver first */ };
  const auto kVerified = TLineTrust::Verified, kForged = TLineTrust::Forged, kUnsigned = TLineTrust::Unsigned;
  const struct {
    const TLineSigner* signer; std::string line; std::uint32_t sequence; TChange change;
    TLineTrust trust; bool repeat; std::string reason;
  } rows[] = {
      {alice.get(), "Pc1( alice ) hi", 1, kNone, kVerified, false, ""},  // the first key pins
      {alice.get(), "Pc1( alice ) more", 2, kNone, kVerified, false, ""},
      {alice.get(), "Pc1( alice ) more", 2, kNone, kVerified, true, ""},  // a copy over another interface
      {alice.get(), "Pc1( alice ) more", 3, kFlipLine, kForged, false, "bad signature"},
      {alice.get(), "Pc1( alice ) x", 4, kFlipSignature, kForged, false, "bad signature"},
      {alice.get(), "Pc1( alice ) x", 5, kCut, kForged, false, "malformed trailer"},
      {mallory.get(), "Pc1( alice ) wire money", 1, kNone, kForged, false, "other key"},
      {nullptr, "Pc1( alice ) old peer", 9, kNoTrailer, kUnsigned, false, ""},
      {alice.get(), "Pc1( alice ) v2", 6, kLaterVersion, kUnsigned, false, ""},
      {alice.get(), "Pc1( alice ) more", 2, kRestart, kForged, false, "replay"},
      {alice.get(), "Pc1( alice ) on", 7, kNone, kVerified, false, ""},  // the session goes on
      {mallory.get(), "Pc9( mallory ) hi", 1, kNone, kVerified, false, ""},  // its own key elsewhere
  };
  auto verifier = std::make_unique<TLineVerifier>(std::make_unique<TPinStore>(pins));
  for (const auto& row : rows) {
    if (row.change == kRestart) verifier = std::make_unique<TLineVerifier>(std::make_unique<TPinStore>(pins));
    std::vector<std::uint8_t> payload(row.line.c_str(), row.line.c_str() + row.line.size() + 1);
    if (row.signer) payload = Signed(*row.signer, row.line, 77, row.sequence);
    switch (row.change) {
      case kFlipLine: payload[0] ^= 1; break;
      case kFlipSignature: payload.back() ^= 1; break;
      case kCut: payload.pop_back(); break;
      case kLaterVersion: payload[row.line.size() + 1] = kTrailerVersion + 1; break;
      default: break;
    }
    const TLineCheck check = verifier->Check(0x0100000A, 77, row.sequence, payload.data(), payload.size());
    SCOPED_TRACE(row.line + " #" + std::to_string(row.sequence));
    EXPECT_EQ(check.Trust, row.trust);
    EXPECT_EQ(check.Repeat, row.repeat);
    EXPECT_EQ(check.Reason, row.reason);
  }
  EXPECT_EQ(verifier->Store().Pinned("Pc1( alice )"), alice->PublicKey());
  // A forgotten key (a reinstall) gives way to the next one seen.
  verifier->Store().Forget("Pc1( alice )");
  const auto again = Signed(*mallory, "Pc1( alice ) reinstalled", 78, 1);
  EXPECT_EQ(verifier->Check(0x0100000A, 78, 1, again.data(), again.size()).Trust, TLineTrust::Verified);
}

TEST(Trust, AFloodOfBadTrailersIsCheckedOnlyUpToTheBound) {
  TLineVerifier verifier(std::make_unique<TPinStore>());
  auto payload = Signed(*TLineSigner::Generate(), "Pc( x ) flood", 1, 1);
  payload.back() ^= 1;
  const auto start = std::chrono::steady_clock::now();
  for (std::uint32_t i = 0; i < 20000; ++i) verifier.Check(0x0200000A + (i % 50 << 24), 1, i, payload.data(), payload.size());
  EXPECT_GE(verifier.Unchecked(), 20000 - 2 * TLineVerifier::kChecksInAll);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

TEST(Trust, KeyFileIsPrivateAndKeepsItsKey) {
  test::TempDir dir;
  const auto made = TLineSigner::FromKeyFile(dir.File("key"));
  struct stat st {};
  ASSERT_EQ(stat(dir.File("key").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  const auto read = TLineSigner::FromKeyFile(dir.File("key"));
  EXPECT_EQ(read->PublicKey(), made->PublicKey());
  EXPECT_NE(read->Session(), made->Session());  // a session per terminal
}

TEST(SenderTable, OneForgedFrameMutesNobody) {
  const std::uint32_t a = 1, c = 3;  // source addresses of the real sender and of a forger
  const struct { std::uint32_t sequence, source; bool delivered; } rows[] = {
      {5, a, true},
      {0xFFFFFFF0, c, true},  {6, a, true},                   // the mute frame from elsewhere: a sender of its own
      {0xFFFFFFF0, a, true},  {7, a, true},  {8, a, true},    // even from the sender's own address
      {7 + 64, a, true},      {7 + 64, a, false},             // the bound: one window ahead moves it...
      {40, a, true},          {40, a, false},                 // ...and what it skipped still arrives once
      {71 + 65, a, true},     {72, a, true},                  // beyond the window: shown, not believed
      {200, a, true},         {201, a, true},  {200, a, false},  // believed once the next frame follows on
  };
  TSenderTable table;
  for (std::size_t i = 0; i < std::size(rows); ++i)
    EXPECT_EQ(table.Accept(9, rows[i].sequence, rows[i].source), rows[i].delivered) << "row " << i;
  EXPECT_EQ(table.Find(9, a)->LastSequence, 201u);
}

TEST(Trust, SignedLinesReachPlainAndCheckingReceivers) {
  TMessageLoop loop;
  const std::string plain_name = test::UniqueName("plain"), checking_name = test::UniqueName("check");
  const auto open = [&loop](const std::string& name) {
    auto t = std::make_unique<TMailslotTerminal>(loop);
    t->SetMailslotName(name);
    return t;
  };
  const auto plain_terminal = open(plain_name), checking_terminal = open(checking_name);
  const auto sender_terminal = open(test::UniqueName("signer"));
  TMailslotTerminal &plain = *plain_terminal, &checking = *checking_terminal, &sender = *sender_terminal;
  checking.SetVerifier(std::make_unique<TLineVerifier>(std::make_unique<TPinStore>()));
  std::vector<std::pair<std::string, TLineTrust>> got;
  for (auto* t : {&plain, &checking}) {
    t->SetInterval(20);
    t->SetOnNewMessage([&got](TMailslotTerminal& t, std::uint32_t, std::uint16_t size) {
      const auto* body = reinterpret_cast<const char*>(t.MessageStream().Memory() + t.MessageStream().Position());
      got.emplace_back(std::string(body, strnlen(body, size)), t.LastCheck().Trust);
    });
  }
  std::vector<std::pair<std::string, std::uint32_t>> vouched;
  checking.SetOnVerifiedSender([&](const std::string& c, std::uint32_t source) { vouched.emplace_back(c, source); });
  sender.SetSigner(TLineSigner::Generate());
  sender.SetReceiver(TReceiverType::rcLocalComputer);
  const std::string line = "Pc1( alice ) signed";
  for (const auto& name : {plain_name, checking_name}) {
    sender.Client().SetMailslotName(name);
    EXPECT_EQ(sender.Send(line.c_str(), static_cast<std::uint16_t>(line.size() + 1)),
              8 + line.size() + 1 + kTrailerSize);
  }
  test::WriteRaw(checking_name, test::Frame(5, 1, "Pc2( bob ) old-style"));
  ASSERT_TRUE(loop.ProcessUntil([&] { return got.size() >= 3; }, 3s));
  EXPECT_THAT(got, ::testing::UnorderedElementsAre(std::pair{line, TLineTrust::Unsigned},  // a receiver checking nothing
                                                   std::pair{line, TLineTrust::Verified},
                                                   std::pair{std::string("Pc2( bob ) old-style"), TLineTrust::Unsigned}));
  EXPECT_EQ(vouched, (decltype(vouched){{"Pc1", htonl(INADDR_LOOPBACK)}}));
  // The trailer counts toward the frame: a line that fits only unsigned is refused
  // before a sequence number is used.
  const std::string longest(kMaxPayload - kTrailerSize, 'x');
  const std::uint32_t before = sender.OwnHeader().Sequence;
  EXPECT_THROW(sender.Send(longest.c_str(), static_cast<std::uint16_t>(longest.size())), EMailslotClientError);
  EXPECT_EQ(sender.OwnHeader().Sequence, before);
}
