// The preferences dialog shown from the main window's Preferences command: what OK,
// Apply and Cancel do to the running window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <filesystem>

#include "app/MainForm.h"
#include "app/preferences/PrefForm.h"
#include "platform/store/IniFile.h"
#include "tests/app/FakeParts.h"
#include "tests/app/WindowTestAccess.h"
#include "tests/app/preferences/PrefRig.h"
#include "tests/support/TestSupport.h"

namespace hw::app {
namespace {

using desktop::TOpenFileRequest;

QColor Rgb(TColor color) { return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

class PrefMainWindowTest : public ::testing::Test {
 protected:
  void Create() {
    form = std::make_unique<TmainForm>(fake.Make(ini));
    TPrefOptions options;
    options.SettingsPath = ini;
    options.ShowError = [this](const std::string& text) { form->Dialogs().ShowError(text); };
    options.OpenFileDialog = [this](QWidget*, const TOpenFileRequest&) { return pick; };
    pref = std::make_unique<TfrmPref>(form.get(), options);
    form->SetPreferencesDialog(pref.get());
    ui = test::TPrefControls(*pref);
  }

  // Runs the Preferences command, doing `inside` while the dialog is up.
  void Preferences(const std::function<void()>& inside) {
    test::RunModal(*pref, inside, [this] {
      form->PreferencesClick();
      return pref->result();
    });
  }

  size_t JournalCount(const std::string& entry) const {
    return static_cast<size_t>(std::count(fake.journal.begin(), fake.journal.end(), entry));
  }

  test::TempDir dir;
  std::string ini = dir.File("Hwire.ini");
  test::TFakeParts fake;
  std::optional<std::string> pick;
  std::unique_ptr<TmainForm> form;
  std::unique_ptr<TfrmPref> pref;
  test::TPrefControls ui;
};

TEST_F(PrefMainWindowTest, CopyThenOkShowsTheEntryColoursInTheChatBoxAtOnce) {
  test::WriteFile(ini,
                  "[EntryWindow]\nForeground=clNavy\nBackground=clYellow\n"
                  "[ChatWindow]\nForeground=clLime\nBackground=clBlack\n");
  Create();
  ASSERT_EQ(Ui(*form).chat_box->palette().color(QPalette::Text), Rgb(clLime));
  fake.tray->SetAnimated(true);
  fake.journal.clear();

  Preferences([&] {
    ui.copyToChatButton->click();
    ui.okButton->click();
  });
  EXPECT_EQ(TIniFile(ini).ReadString("ChatWindow", "Foreground", ""), "clNavy");
  EXPECT_EQ(TIniFile(ini).ReadString("ChatWindow", "Background", ""), "clYellow");
  EXPECT_EQ(Ui(*form).chat_box->palette().color(QPalette::Text), Rgb(clNavy));
  EXPECT_EQ(Ui(*form).chat_box->palette().color(QPalette::Base), Rgb(clYellow));
  // The blinking tray icon stops, and no start-up sound plays on the re-read.
  EXPECT_FALSE(fake.tray->Animated());
  EXPECT_TRUE(fake.sound->played.empty());
  EXPECT_TRUE(fake.dialogs->errors.empty());
}

TEST_F(PrefMainWindowTest, ClearingEveryBoxThenOkSwitchesAllFourOptionsOff) {
  test::WriteFile(ini,
                  "[EntryWindow]\nForeground=clBlack\n[SoundOptions]\nPlaySound=True\nIconizedOnly=True\n"
                  "AllIncoming=shown.wav\n[Notify]\nOpenWindow=True\n[Keyboard]\nUseEnter=True\n");
  Create();
  ASSERT_TRUE(form->PlaySound() && form->UseEnter() && form->OpenWindow() && form->IconizedOnly());
  const size_t sounds = fake.sound->played.size();  // the start-up sound
  Preferences([&] {
    for (QCheckBox* box : {ui.playSoundsBox, ui.iconizedOnlyBox, ui.openWindowBox, ui.useEnterBox}) {
      EXPECT_TRUE(box->isChecked());
      box->click();
    }
    ui.applyButton->click();
  });
  EXPECT_FALSE(form->PlaySound());
  EXPECT_FALSE(form->UseEnter());
  EXPECT_FALSE(form->OpenWindow());
  EXPECT_FALSE(form->IconizedOnly());
  EXPECT_EQ(fake.sound->played.size(), sounds);

  // And back on again, without a restart.
  Preferences([&] {
    ui.playSoundsBox->click();
    ui.useEnterBox->click();
    ui.okButton->click();
  });
  EXPECT_TRUE(form->PlaySound());
  EXPECT_TRUE(form->UseEnter());
  EXPECT_FALSE(form->OpenWindow());
  EXPECT_EQ(fake.sound->played.size(), sounds);
}

TEST_F(PrefMainWindowTest, CancelChangesNeitherTheWindowNorTheTray) {
  Create();
  fake.tray->SetAnimated(true);
  const QColor chat_text = Ui(*form).chat_box->palette().color(QPalette::Text);
  Preferences([&] {
    ui.chatForegroundCombo->SetColorValue(clRed);
    ui.useEnterBox->click();
    ui.cancelButton->click();
  });
  EXPECT_TRUE(fake.tray->Animated());
  EXPECT_FALSE(form->UseEnter());
  EXPECT_EQ(Ui(*form).chat_box->palette().color(QPalette::Text), chat_text);
  EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST_F(PrefMainWindowTest, AQuotedSoundPathReachesTheWindowWithoutQuotes) {
  std::filesystem::create_directories(dir.File("my sounds"));
  const std::string picked = dir.File("my sounds") + "/bell.wav";
  pick = picked;
  Create();
  Preferences([&] {
    ui.incomingSoundEdit->Button()->click();
    ui.okButton->click();
  });
  EXPECT_EQ(ui.incomingSoundEdit->Text(), "\"" + picked + "\"");
  EXPECT_EQ(form->AllIncoming(), picked);
}

TEST_F(PrefMainWindowTest, AWriteFailureIsShownAndTheWindowRereadsTheFileAsItStands) {
  test::WriteFile(dir.File("blocked"), "");
  ini = dir.File("blocked") + "/Hwire.ini";
  Create();
  fake.tray->SetAnimated(true);
  Preferences([&] {
    ui.useEnterBox->click();
    ui.okButton->click();
  });
  ASSERT_EQ(fake.dialogs->errors.size(), 1u);
  EXPECT_EQ(fake.dialogs->errors[0], "Unable to write to " + ini);
  // Closed with OK all the same: the animation ends, the (missing) file applies nothing.
  EXPECT_FALSE(fake.tray->Animated());
  EXPECT_FALSE(form->UseEnter());
}

TEST_F(PrefMainWindowTest, F1InTheDialogOpensThePreferencesTopic) {
  Create();
  Preferences([&] {
    ui.openWindowBox->setFocus();
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(ui.openWindowBox, &f1);
    ui.cancelButton->click();
  });
  ASSERT_FALSE(fake.help.empty());
  EXPECT_EQ(fake.help.back(), 4);
}

}  // namespace
}  // namespace hw::app
