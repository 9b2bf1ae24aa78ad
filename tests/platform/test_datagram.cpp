// The wire layout of remote mailslot writes, against hand-checked bytes.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <random>

#include "platform/net/Datagram.h"

using namespace hw::platform::net;

namespace {

std::vector<std::uint8_t> Sample(const std::string& payload, TDatagramType type = TDatagramType::DirectGroup) {
  TMailslotDatagram d;
  d.type = type;
  d.id = 0x1234;
  inet_pton(AF_INET, "10.1.0.2", &d.source_ip);
  d.source_port = 138;
  d.source = {"HOST1", 0x00};
  d.destination = {"WORKGROUP", 0x00};
  d.mailslot = "\\MAILSLOT\\hwSlot";
  d.data.assign(payload.begin(), payload.end());
  return EncodeDatagram(d);
}

}  // namespace

TEST(NetbiosName, FirstLevelEncoding) {
  // The example of the NetBIOS name service documents: "FRED" with a blank suffix.
  EXPECT_EQ(EncodeNetbiosName({"FRED", 0x20}), std::string("\x20" "EGFCEFEECACACACACACACACACACACACA", 33) + '\0');
  // Lower case is raised; suffix 0x00 ends in "AA".
  const std::string enc = EncodeNetbiosName({"fred", 0x00});
  EXPECT_EQ(enc.substr(1, 8), "EGFCEFEE");
  EXPECT_EQ(enc.substr(31, 2), "AA");
  // Names longer than 15 characters are cut, never overflow.
  EXPECT_EQ(EncodeNetbiosName({"ABCDEFGHIJKLMNOPQRST", 0}).size(), kEncodedNameSize);
}

TEST(Datagram, HeaderAndSmbLayout) {
  const auto bytes = Sample("abc");
  ASSERT_EQ(bytes.size(), EncodedDatagramSize(16, 3));
  EXPECT_EQ(bytes[0], 0x11);  // DIRECT_GROUP
  EXPECT_EQ(bytes[1], 0x02);  // first fragment
  EXPECT_EQ(bytes[2], 0x12);
  EXPECT_EQ(bytes[3], 0x34);
  EXPECT_EQ(bytes[4], 10);
  EXPECT_EQ(bytes[7], 2);
  EXPECT_EQ((bytes[8] << 8) | bytes[9], 138);
  EXPECT_EQ(static_cast<std::size_t>((bytes[10] << 8) | bytes[11]), bytes.size() - 14);
  const std::size_t smb = 14 + 68;
  EXPECT_EQ(bytes[smb], 0xFF);
  EXPECT_EQ(std::string(bytes.begin() + smb + 1, bytes.begin() + smb + 4), "SMB");
  EXPECT_EQ(bytes[smb + 4], 0x25);  // SMB_COM_TRANSACTION
  EXPECT_EQ(bytes[smb + 32], 17);   // WordCount
  const std::uint8_t* words = &bytes[smb + 33];
  EXPECT_EQ(words[2], 3);        // TotalDataCount
  EXPECT_EQ(words[22], 3);       // DataCount
  const int data_offset = words[24] | (words[25] << 8);
  EXPECT_EQ(words[26], 3);       // SetupCount
  EXPECT_EQ(words[28], 1);       // opcode: write
  EXPECT_EQ(words[32], 2);       // class 2
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[smb + 33 + 34 + 2])), "\\MAILSLOT\\hwSlot");
  EXPECT_EQ(std::string(bytes.begin() + smb + data_offset, bytes.end()), "abc");
}

TEST(Datagram, RoundTripKeepsEveryField) {
  const auto bytes = Sample(std::string("x\0y", 3), TDatagramType::DirectUnique);
  const auto d = DecodeDatagram(bytes.data(), bytes.size());
  ASSERT_TRUE(d);
  EXPECT_EQ(d->type, TDatagramType::DirectUnique);
  EXPECT_EQ(d->id, 0x1234);
  EXPECT_EQ(d->source.name, "HOST1");
  EXPECT_EQ(d->destination.name, "WORKGROUP");
  EXPECT_EQ(d->destination.suffix, 0);
  EXPECT_EQ(d->mailslot, "\\MAILSLOT\\hwSlot");
  EXPECT_EQ(std::string(d->data.begin(), d->data.end()), std::string("x\0y", 3));
}

TEST(Datagram, ReusedEncoderMatchesAFreshEncodingAtEverySize) {
  // Shrinking and growing again must leave nothing of an earlier datagram behind.
  TDatagramEncoder encoder;
  bool fields_set = false;
  for (const std::size_t size : {300u, 3u, 0u, 70u, 1u, 65000u, 5u}) {
    const std::string payload(size, static_cast<char>('a' + size % 26));
    auto expected = Sample(payload, TDatagramType::DirectUnique);
    const std::uint16_t id = static_cast<std::uint16_t>(0x4000 + size);
    expected[2] = static_cast<std::uint8_t>(id >> 8);
    expected[3] = static_cast<std::uint8_t>(id);
    if (!fields_set) {
      const auto d = DecodeDatagram(expected.data(), expected.size());
      ASSERT_TRUE(d);
      encoder.SetFields(*d);
      fields_set = true;
    }
    EXPECT_EQ(encoder.Encode(id, reinterpret_cast<const std::uint8_t*>(payload.data()), size), expected)
        << "size " << size;
  }
}

// Datagrams whose fields disagree with their size, as bytes written over the
// hand-checked sample "payload" (NetBIOS header at 0, SMB at 82, its words at 115,
// ByteCount at 149, the name at 151, its zero at 167, the data at 168, the end at 175).
TEST(Datagram, FieldsThatDisagreeWithTheSizeAreRefusedWhole) {
  struct TRow {
    const char* what;
    std::size_t at;
    std::vector<std::uint8_t> bytes;
    std::size_t size;  // 0: the whole datagram
  };
  const std::size_t smb = 14 + 68, words = smb + 33;
  const std::vector<TRow> rows = {
      {"NetBIOS length 0 (wrapped the SMB size)", 10, {0x00, 0x00}, 0},
      {"NetBIOS length 67, inside the names", 10, {0x00, 0x43}, 0},
      {"NetBIOS length short of the datagram: a tail it does not claim", 10, {0x00, 0x9E}, 0},
      {"168 bytes with NetBIOS length 0", 10, {0x00, 0x00}, 168},
      {"NetBIOS length beyond the datagram", 10, {0x00, 0xA4}, 0},
      {"WordCount 255 runs past the end", smb + 32, {0xFF}, 0},
      {"SetupCount beyond the word block", words + 26, {0x09}, 0},
      {"ByteCount beyond the end", words + 34, {0xFF, 0x00}, 0},
      {"ByteCount short of the data", words + 34, {0x12, 0x00}, 0},
      {"DataCount beyond the end", words + 22, {0xFF, 0xFF}, 0},
      {"DataOffset inside the name", words + 24, {0x49, 0x00}, 0},
      {"DataOffset before the byte block", words + 24, {0x10, 0x00}, 0},
      {"TotalDataCount above DataCount: one part of several", words + 2, {0x08, 0x00}, 0},
      {"mailslot name without its zero", 167, {'x'}, 0},
      {"packet offset not 0", 12, {0x00, 0x01}, 0},
  };
  const auto good = Sample("payload");
  ASSERT_EQ(good.size(), 175u);
  ASSERT_TRUE(DecodeDatagram(good.data(), good.size()));
  for (const auto& row : rows) {
    auto bad = good;
    if (row.size > bad.size()) bad.resize(row.size, 0);
    std::copy(row.bytes.begin(), row.bytes.end(), bad.begin() + static_cast<std::ptrdiff_t>(row.at));
    const std::size_t size = row.size ? row.size : bad.size();
    // A heap copy of exactly `size` bytes, so a sanitizer sees any read past the end.
    std::vector<std::uint8_t> exact(bad.begin(), bad.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(DecodeDatagram(exact.data(), exact.size())) << row.what;
  }
}

TEST(Datagram, MalformedInputIsRejectedWithoutHarm) {
  auto good = Sample("payload");
  // Every truncation, and a length field that points past the end.
  for (std::size_t n = 0; n < good.size(); ++n) EXPECT_FALSE(DecodeDatagram(good.data(), n)) << n;
  auto bad = good;
  bad[11] = static_cast<std::uint8_t>(bad[11] + 1);
  EXPECT_FALSE(DecodeDatagram(bad.data(), bad.size()));
  // A data offset beyond the SMB part.
  bad = good;
  bad[14 + 68 + 33 + 24] = 0xFF;
  EXPECT_FALSE(DecodeDatagram(bad.data(), bad.size()));
  // Not a write (opcode 2), or not a transaction.
  bad = good;
  bad[14 + 68 + 33 + 28] = 2;
  EXPECT_FALSE(DecodeDatagram(bad.data(), bad.size()));
  bad = good;
  bad[14 + 68 + 4] = 0x24;
  EXPECT_FALSE(DecodeDatagram(bad.data(), bad.size()));
  // Random noise never crashes the parser.
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    std::vector<std::uint8_t> noise(rng() % 400);
    for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
    if (!noise.empty()) noise[0] = static_cast<std::uint8_t>(0x10 + rng() % 3);
    DecodeDatagram(noise.data(), noise.size());
  }
}
