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
