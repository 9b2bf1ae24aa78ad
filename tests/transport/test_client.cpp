// Client paths and handle reuse; chat line helpers.
#include "tests/transport/TransportTest.h"
#include "transport/ChatLine.h"

using namespace hw;

TEST(ClientPath, ThreeAddressingModes) {
  TMailslotClient c;
  c.SetMailslotName("hwSlot");
  EXPECT_EQ(c.TargetPath(), "\\\\*\\mailslot\\hwSlot");
  c.SetReceiver(TReceiverType::rcLocalComputer);
  EXPECT_EQ(c.TargetPath(), "\\\\.\\mailslot\\hwSlot");
  c.SetReceiver(TReceiverType::rcDomainOrComputer);
  c.SetReceiverName("PC7");
  EXPECT_EQ(c.TargetPath(), "\\\\PC7\\mailslot\\hwSlot");
  c.SetReceiverName("");
  EXPECT_EQ(c.TargetPath(), "\\\\\\mailslot\\hwSlot");
  c.SetReceiverName(std::string(300, 'n'));
  EXPECT_EQ(c.TargetPath().size(), 200u);
}

TEST(ClientPath, EmptyReceiverNameIsLeftToTheSystem) {
  TMailslotClient c;
  c.SetReceiver(TReceiverType::rcDomainOrComputer);
  c.SetMailslotName("hwSlot");
  try {
    c.OpenMailslot();
    FAIL() << "opened a path without a computer";
  } catch (const EMailslotClientError& e) {
    EXPECT_STREQ(e.what(), "The network path was not found");
  }
  EXPECT_EQ(c.Handle(), 0u);
}

TEST(ClientHandle, ReusedUntilAPropertyWrite) {
  const std::string name = test::UniqueName("reuse");
  win32::HANDLE slot = win32::CreateMailslotA(("\\\\.\\mailslot\\" + name).c_str(), 0, 0, nullptr);
  TMailslotClient c;
  c.SetReceiver(TReceiverType::rcLocalComputer);
  c.SetMailslotName(name);
  EXPECT_EQ(c.WriteMessage("a", 1), 1u);
  const auto first = c.Handle();
  EXPECT_NE(first, 0u);
  c.WriteMessage("b", 1);
  EXPECT_EQ(c.Handle(), first);
  c.SetReceiver(TReceiverType::rcLocalComputer);  // same value still closes
  EXPECT_EQ(c.Handle(), 0u);
  c.WriteMessage("c", 1);
  EXPECT_NE(c.Handle(), 0u);
  win32::CloseHandle(slot);
}

TEST(ClientHandle, MissingLocalMailslotRaisesTheSystemText) {
  TMailslotClient c;
  c.SetReceiver(TReceiverType::rcLocalComputer);
  c.SetMailslotName(test::UniqueName("nobody"));
  EXPECT_THROW(
      {
        try {
          c.WriteMessage("x", 1);
        } catch (const EMailslotClientError& e) {
          EXPECT_STREQ(e.what(), "The system cannot find the file specified");
          throw;
        }
      },
      EMailslotClientError);
}

TEST(ChatLine, CapitalisesWordByWord) {
  EXPECT_EQ(CapitalizeWords("OFFICE-PC2"), "Office-pc2");
  EXPECT_EQ(CapitalizeWords("sales DESK 4"), "Sales Desk 4");
  EXPECT_EQ(CapitalizeWords("a\tbC  dE"), "A\tBc  De");
  EXPECT_EQ(CapitalizeWords("\xE9T\xC9"), "\xE9t\xC9");  // bytes above 127 stay
  EXPECT_EQ(CapitalizeWords(""), "");
  EXPECT_EQ(BuildChatLine("Office-pc2", "anna", "Lunch at 12?"), "Office-pc2( anna ) Lunch at 12?");
  EXPECT_EQ(BuildChatLine("Pc", "bo", ""), "Pc( bo ) ");
}

TEST(ChatLine, ReceivedBytesShowAsUtf8OrAsWindows1252) {
  struct Row {
    std::string bytes;
    bool valid;
    std::string shown;
  } rows[] = {
      {"plain ASCII", true, "plain ASCII"},
      {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x82\xAC \xE4\xB8\xAD \xF0\x9F\x98\x80", true,
       "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xE2\x82\xAC \xE4\xB8\xAD \xF0\x9F\x98\x80"},
      {"\x80 \x93quoted\x94 \x96 caf\xE9", false, "\xE2\x82\xAC \xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x80\x93 caf\xC3\xA9"},
      {"\x81\x8D\x8F\x90\x9D\xFF", false, "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D\xC3\xBF"},
      {"\xC0\xAF", false, "\xC3\x80\xC2\xAF"},          // overlong "/"
      {"\xED\xA0\x80", false, "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // a surrogate
      {"\xF4\x90\x80\x80", false, "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},  // above U+10FFFF
      {"cut \xE2\x82", false, "cut \xC3\xA2\xE2\x80\x9A"},  // a sequence cut short
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IsValidUtf8(row.bytes), row.valid) << row.bytes;
    EXPECT_EQ(ShownAsUtf8(row.bytes), row.shown) << row.bytes;
  }
}
