// The windows in the user's language (the test runs under LANG=de_DE.UTF-8): German
// on screen, while the line that peers get and the file the chat is saved to keep
// the bytes they have in English.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QToolButton>
#include <QTreeWidget>

#include "app/MainForm.h"
#include "app/Translations.h"
#include "desktop/ShownText.h"
#include "platform/net/Config.h"
#include "tests/app/FakeParts.h"
#include "tests/app/WindowTestAccess.h"
#include "tests/support/TestSupport.h"

namespace hw {
namespace {

struct TRun { QString send_caption; std::string sent, saved; };

// Starts the window, receives a line, sends one to the whole domain and saves the chat.
TRun SendAndSave(const std::string& folder) {
  test::TFakeParts fake;
  TmainForm form(fake.Make(folder + "/Hwire.ini"));
  fake.terminal->Deliver("Alpha( bob ) Grüße, 你好");
  Ui(form).recipient_tree->setCurrentItem(Ui(form).recipient_tree->topLevelItem(0));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(Ui(form).recipient_tree, &enter);
  form.SetEntryText("Mittag um 12?");
  Ui(form).send_button->click();
  const std::string path = folder + "/chat.hwm";
  fake.dialogs->save_answers = {path};
  Ui(form).save_action->trigger();
  return {Ui(form).send_button->text(), fake.terminal->sent.empty() ? "" : fake.terminal->sent[0].payload,
          test::ReadFile(path)};
}

TEST(Translations, TheUsersLanguageChangesTheWindowButNotTheWireOrTheFiles) {
  setenv("HALLWIRE_COMPUTERNAME", "OFFICE-PC2", 1);
  platform::net::ReloadConfig();
  test::TempDir german_dir, english_dir;
  ASSERT_TRUE(InstallTranslations());
  const TRun german = SendAndSave(german_dir.Path());
  // Texts from below the window are translated where they are shown, names filled in.
  EXPECT_EQ(ShownText("Cannot open file /tmp/a b.hwm"), "Die Datei /tmp/a b.hwm kann nicht geöffnet werden");
  EXPECT_EQ(ShownText("Cannot open file /x\n\n1 more error"), "Cannot open file /x\n\n1 more error");

  EXPECT_FALSE(InstallTranslations(QLocale::c()));
  const TRun english = SendAndSave(english_dir.Path());
  EXPECT_EQ(german.send_caption, "&Senden");
  EXPECT_EQ(english.send_caption, "&Send");
  ASSERT_FALSE(english.sent.empty());
  EXPECT_EQ(german.sent, english.sent);
  EXPECT_EQ(german.saved, english.saved);
}

}  // namespace
}  // namespace hw
