// The preferences dialog: its reader and writer at work on a settings file, its
// buttons and keys in a modal run, and the start-up boxes on the registry.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "desktop/Autostart.h"
#include "desktop/FormPlacement.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/IniFile.h"
#include "settings/dialog/PrefForm.h"
#include "tests/support/TestSupport.h"

namespace hw {
namespace {

const char kAppName[] = "Quillo 4#Autostart";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Runs the dialog modally, doing `inside` once it is up; a dialog still open after
// ten seconds is closed with -1 so a missing close fails instead of hanging.
int ExecWith(QDialog& dialog, const std::function<void()>& inside) {
  QTimer::singleShot(0, &dialog, [&] {
    dialog.activateWindow();
    for (int i = 0; i < 100 && QApplication::activeWindow() != &dialog; ++i)
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    inside();
  });
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, &dialog, [&] {
    if (dialog.isVisible()) dialog.done(-1);
  });
  watchdog.start(10000);
  return dialog.exec();
}

void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers);
  QApplication::sendEvent(widget, &release);
}

bool Registered(bool runOnce = false) {
  // Nothing is registered under the constructed name, so taking the dialog's name
  // moves nothing; reading writes nothing.
  TSunfieldAutostart probe("Hallwire");
  probe.SetappName(kAppName);
  return runOnce ? probe.StartNextLogon() : probe.autostart();
}

void SetRegistered(bool run, bool runOnce = false) {
  TSunfieldAutostart autostart("Hallwire");
  autostart.SetappName(kAppName);
  TSunfieldAutostart::SetFirstWritePending(false);
  autostart.Setautostart(run);
  autostart.SetStartNextLogon(runOnce);
  // The dialog acts as part of a freshly started program.
  TSunfieldAutostart::SetFirstWritePending(true);
}

class PrefDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { SetRegistered(false); }
  void TearDown() override { SetRegistered(false); }

  std::unique_ptr<TfrmPref> MakeDialog(const std::string& path = std::string()) {
    TPrefOptions options;
    options.SettingsPath = path.empty() ? ini_ : path;
    // Big enough to live on the heap, so a call after the dialog let it go is caught
    // by the address sanitizer.
    options.ShowError = [this, origin = std::string(40, 'd')](const std::string& text) {
      errors_.push_back(text);
    };
    options.OpenFileDialog = [this](QWidget*, const TOpenFileRequest& request) -> std::optional<std::string> {
      requests_.push_back(request);
      return pick_;
    };
    return std::make_unique<TfrmPref>(nullptr, options);
  }

  std::string Read(const char* section, const char* key) const {
    return TIniFile(ini_).ReadString(section, key, "<missing>");
  }

  test::TempDir dir_;
  std::string ini_ = dir_.File("Hwire.ini");
  std::vector<std::string> errors_;
  std::vector<TOpenFileRequest> requests_;
  std::optional<std::string> pick_;
};

// --- reading at creation ------------------------------------------------------------

TEST_F(PrefDialogTest, FirstRunShowsTheDesignValuesEvenWhenRegistered) {
  SetRegistered(true);
  auto pref = MakeDialog();
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(pref->ccEWforgrnd->ColorValue(), clBlack);
  EXPECT_EQ(pref->ccEWBckgrnd->ColorValue(), clWhite);
  EXPECT_EQ(pref->ccCWforgrnd->ColorValue(), clLime);
  EXPECT_EQ(pref->ccCWbckgrnd->ColorValue(), clBlack);
  EXPECT_EQ(pref->ccEWBckgrnd->currentText().toStdString(), "White");
  for (QCheckBox* box : {pref->ckAutoStart, pref->ckLogon, pref->ckPlaySounds, pref->ckSoundOnly, pref->ckNotify,
                         pref->ckUseEnter})
    EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
  EXPECT_EQ(pref->IconIncoming->Text(), "");
  EXPECT_EQ(pref->Allincoming->Text(), "");
  EXPECT_FALSE(std::filesystem::exists(ini_));
  // Loading the stored properties refreshed the registration and kept it.
  EXPECT_TRUE(Registered());
  EXPECT_FALSE(pref->isVisible());
}

TEST_F(PrefDialogTest, AFileWithOnlyTheProbeKeyGivesTheReadersDefaults) {
  test::WriteFile(ini_, "[EntryWindow]\nForeground=clRed\n");
  SetRegistered(true);
  auto pref = MakeDialog();
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(pref->EntryForeground(), clRed);
  EXPECT_EQ(pref->EntryBackground(), clYellow);
  EXPECT_EQ(pref->ChatForeground(), clLime);
  EXPECT_EQ(pref->ChatBackground(), clWhite);
  EXPECT_EQ(pref->IconIncoming->Text(), "ring.wav");
  EXPECT_EQ(pref->Allincoming->Text(), "ring.wav");
  EXPECT_TRUE(pref->ckPlaySounds->isChecked());
  EXPECT_TRUE(pref->ckSoundOnly->isChecked());
  EXPECT_FALSE(pref->ckNotify->isChecked());
  EXPECT_FALSE(pref->ckUseEnter->isChecked());
  // With settings stored the start-up box follows the registry; ckLogon never does.
  EXPECT_TRUE(pref->ckAutoStart->isChecked());
  EXPECT_FALSE(pref->ckLogon->isChecked());
  EXPECT_TRUE(Registered());
}

TEST_F(PrefDialogTest, StoredSettingsWithoutARegistrationLeaveTheBoxClearAndUnregistered) {
  test::WriteFile(ini_, "[EntryWindow]\nForeground=clRed\n");
  auto pref = MakeDialog();
  EXPECT_FALSE(pref->ckAutoStart->isChecked());
  EXPECT_FALSE(Registered());
}

TEST_F(PrefDialogTest, AColourThatDoesNotConvertIsShownAndStopsTheReader) {
  test::WriteFile(ini_,
                  "[EntryWindow]\nForeground=clNavy\nBackground=bogus\n[ChatWindow]\nForeground=clRed\n"
                  "[SoundOptions]\nPlaySound=True\n");
  auto pref = MakeDialog();
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "'bogus' is not a valid integer value");
  EXPECT_EQ(pref->EntryForeground(), clNavy);
  EXPECT_EQ(pref->EntryBackground(), clWhite);
  EXPECT_EQ(pref->ChatForeground(), clLime);
  EXPECT_FALSE(pref->ckPlaySounds->isChecked());
}

TEST_F(PrefDialogTest, AForeignRegistryValueIsReportedAndTheDialogStillReadsItsSettings) {
  using namespace win32;
  HKEY key = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const DWORD number = 1;
  ASSERT_EQ(RegSetValueExA(key, kAppName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number),
            ERROR_SUCCESS);
  RegCloseKey(key);
  test::WriteFile(ini_, "[EntryWindow]\nForeground=clRed\n[Notify]\nOpenWindow=True\n");

  auto pref = MakeDialog();
  ASSERT_FALSE(errors_.empty());
  for (const std::string& error : errors_) EXPECT_EQ(error, "Invalid data type for 'Quillo 4#Autostart'");
  EXPECT_FALSE(pref->ckAutoStart->isChecked());
  EXPECT_EQ(pref->IconIncoming->Text(), "ring.wav");
  EXPECT_TRUE(pref->ckNotify->isChecked());

  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegDeleteValueA(key, kAppName);
  RegCloseKey(key);
}

// --- the window ---------------------------------------------------------------------

TEST_F(PrefDialogTest, WindowCaptionsHintsAndTabOrder) {
  auto pref = MakeDialog();
  EXPECT_EQ(pref->windowTitle().toStdString(), "Preferences");
  EXPECT_EQ(pref->property("HelpContext").toInt(), 4);
  EXPECT_EQ(pref->Label5->text().toStdString(), "Incoming & Iconized");
  EXPECT_EQ(pref->Label1->text().toStdString(), "Forground");
  EXPECT_EQ(pref->ckSoundOnly->text().toStdString(), "Only Incoming && Iconized");
  EXPECT_EQ(pref->btnLeftRight->toolTip().toStdString(), "Copy settings to Chat Window");
  EXPECT_EQ(pref->btnRightLeft->toolTip().toStdString(), "Copy settings to Entry Window");
  EXPECT_EQ(pref->btnDefault->toolTip().toStdString(), "Restore Default Settings");
  EXPECT_EQ(pref->IconIncoming->DialogTitle(), "Select sound for all Iconized ...");
  EXPECT_EQ(pref->Allincoming->DialogTitle(), "Select sound for all incoming...");
  EXPECT_EQ(pref->IconIncoming->Filter(), "Wave Files|*.wav");
  EXPECT_EQ(pref->Allincoming->Filter(), "Wave Files|*.wav");
  EXPECT_EQ(pref->btnApply->geometry(), QRect(316, 312, 67, 25));
  EXPECT_EQ(pref->IconIncoming->geometry(), QRect(12, 28, 193, 21));
  EXPECT_TRUE(pref->btnCancel->isDefault());
  EXPECT_EQ(pref->FormPlacement1()->IniFileName(), "hwire.ini");
  EXPECT_EQ(pref->FormPlacement1()->IniSection(), "PrefForm");

  // Tab walks the controls in the designed order, starting at OK.
  std::vector<QWidget*> order;
  ExecWith(*pref, [&] {
    QWidget* start = QApplication::focusWidget();
    QWidget* w = start;
    ASSERT_NE(start, nullptr);
    do {
      order.push_back(w);
      Press(w, Qt::Key_Tab);
      w = QApplication::focusWidget();
    } while (w && w != start && order.size() < 40);
    pref->reject();
  });
  const std::vector<QWidget*> expected = {
      pref->btnOK,        pref->btnCancel,     pref->btnApply,     pref->ckAutoStart,  pref->ckLogon,
      pref->ccEWforgrnd,  pref->ccEWBckgrnd,   pref->ccCWforgrnd,  pref->ccCWbckgrnd,  pref->btnLeftRight,
      pref->btnRightLeft, pref->btnDefault,    pref->IconIncoming->Edit(), pref->Allincoming->Edit(),
      pref->ckPlaySounds, pref->ckSoundOnly,   pref->ckNotify,     pref->ckUseEnter};
  EXPECT_EQ(order, expected);
}

TEST_F(PrefDialogTest, ErrorTextGetsAFullStopUnlessItEndsInPunctuation) {
  EXPECT_EQ(WithFullStop("Unable to write to /x/Hwire.ini"), "Unable to write to /x/Hwire.ini.");
  EXPECT_EQ(WithFullStop("Done."), "Done.");
  EXPECT_EQ(WithFullStop("Stop!"), "Stop!");
  EXPECT_EQ(WithFullStop("(see above)"), "(see above)");
  EXPECT_EQ(WithFullStop("ends with a slash/"), "ends with a slash/.");
  EXPECT_EQ(WithFullStop(""), "");
}

TEST_F(PrefDialogTest, APlacementSaveFailingAtDestructionIsReportedThroughTheDialog) {
  const std::string placement_file = ResolveProfilePath("hwire.ini");
  std::filesystem::remove_all(placement_file);
  std::filesystem::create_directories(placement_file);  // a folder cannot be written as a file
  {
    auto pref = MakeDialog();
    pref->show();  // restores, so destruction saves once more
    QApplication::processEvents();
  }
  std::filesystem::remove_all(placement_file);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0].rfind("Unable to write to ", 0), 0u) << errors_[0];
}

// --- closing ------------------------------------------------------------------------

TEST_F(PrefDialogTest, CancelKeepsChangedControlsAndWritesNothingUntilOk) {
  auto pref = MakeDialog();
  EXPECT_EQ(ExecWith(*pref, [&] {
              pref->ccEWforgrnd->SetColorValue(clPurple);
              pref->ckNotify->setChecked(true);
              pref->btnCancel->click();
            }),
            QDialog::Rejected);
  EXPECT_FALSE(std::filesystem::exists(ini_));

  TColor shown = 0;
  bool notify = false;
  EXPECT_EQ(ExecWith(*pref,
                     [&] {
                       shown = pref->EntryForeground();
                       notify = pref->ckNotify->isChecked();
                       pref->btnOK->click();
                     }),
            QDialog::Accepted);
  EXPECT_EQ(shown, clPurple);
  EXPECT_TRUE(notify);
  EXPECT_EQ(Read("EntryWindow", "Foreground"), "clPurple");
  EXPECT_EQ(Read("Notify", "OpenWindow"), "True");
}

TEST_F(PrefDialogTest, ApplyClosesLikeOkAndWritesAllTenKeys) {
  auto pref = MakeDialog();
  EXPECT_EQ(ExecWith(*pref, [&] { pref->btnApply->click(); }), QDialog::Accepted);
  EXPECT_FALSE(pref->isVisible());
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(Read("EntryWindow", "Foreground"), "clBlack");
  EXPECT_EQ(Read("EntryWindow", "Background"), "clWhite");
  EXPECT_EQ(Read("ChatWindow", "Foreground"), "clLime");
  EXPECT_EQ(Read("ChatWindow", "Background"), "clBlack");
  EXPECT_EQ(Read("SoundOptions", "Iconizedfile"), "");
  EXPECT_EQ(Read("SoundOptions", "AllIncoming"), "");
  EXPECT_EQ(Read("SoundOptions", "PlaySound"), "False");
  EXPECT_EQ(Read("SoundOptions", "IconizedOnly"), "False");
  EXPECT_EQ(Read("Notify", "OpenWindow"), "False");
  EXPECT_EQ(Read("Keyboard", "UseEnter"), "False");
}

TEST_F(PrefDialogTest, EnterPressesTheFocusedButtonElseCancelAndEscapeDoesNothing) {
  auto pref = MakeDialog();
  bool still_open_after_escape = false;
  QWidget* first_focus = nullptr;
  EXPECT_EQ(ExecWith(*pref,
                     [&] {
                       first_focus = QApplication::focusWidget();
                       Press(pref->btnOK, Qt::Key_Escape);
                       still_open_after_escape = pref->isVisible();
                       pref->IconIncoming->Edit()->setFocus();
                       pref->IconIncoming->SetText("typed.wav");
                       Press(pref->IconIncoming->Edit(), Qt::Key_Return);
                     }),
            QDialog::Rejected);
  EXPECT_EQ(first_focus, pref->btnOK);
  EXPECT_TRUE(still_open_after_escape);
  EXPECT_FALSE(std::filesystem::exists(ini_));

  EXPECT_EQ(ExecWith(*pref,
                     [&] {
                       pref->btnApply->setFocus();
                       Press(pref->btnApply, Qt::Key_Return);
                     }),
            QDialog::Accepted);
  EXPECT_EQ(Read("SoundOptions", "Iconizedfile"), "typed.wav");
}

TEST_F(PrefDialogTest, TheCloseBoxCountsAsCancel) {
  auto pref = MakeDialog();
  EXPECT_EQ(ExecWith(*pref,
                     [&] {
                       pref->ckUseEnter->setChecked(true);
                       pref->close();
                     }),
            QDialog::Rejected);
  EXPECT_FALSE(std::filesystem::exists(ini_));
}

TEST_F(PrefDialogTest, AnUnwritableSettingsFolderIsReportedAndTheDialogStillClosesWithOk) {
  // A regular file where the folder should be: no user, root included, can write there.
  test::WriteFile(dir_.File("notafolder"), "");
  const std::string path = dir_.File("notafolder") + "/Hwire.ini";
  auto pref = MakeDialog(path);
  EXPECT_EQ(ExecWith(*pref, [&] { pref->btnOK->click(); }), QDialog::Accepted);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "Unable to write to " + path);
  EXPECT_FALSE(pref->isVisible());
}

// --- the buttons --------------------------------------------------------------------

TEST_F(PrefDialogTest, CopyButtonsCopyBothColoursOneWay) {
  test::WriteFile(ini_,
                  "[EntryWindow]\nForeground=clNavy\nBackground=clAqua\n"
                  "[ChatWindow]\nForeground=clYellow\nBackground=clMaroon\n");
  auto pref = MakeDialog();
  EXPECT_EQ(ExecWith(*pref,
                     [&] {
                       pref->btnLeftRight->click();
                       pref->btnOK->click();
                     }),
            QDialog::Accepted);
  EXPECT_EQ(Read("ChatWindow", "Foreground"), "clNavy");
  EXPECT_EQ(Read("ChatWindow", "Background"), "clAqua");
  EXPECT_EQ(Read("EntryWindow", "Foreground"), "clNavy");

  pref->SetChatForeground(clTeal);
  pref->SetChatBackground(clSilver);
  pref->btnRightLeft->click();
  EXPECT_EQ(pref->EntryForeground(), clTeal);
  EXPECT_EQ(pref->EntryBackground(), clSilver);
  EXPECT_EQ(pref->ChatForeground(), clTeal);
}

TEST_F(PrefDialogTest, UnlistedColoursShowEmptyAndAreWrittenBackUnchanged) {
  test::WriteFile(ini_,
                  "[EntryWindow]\nForeground=clBlack\nBackground=clBtnFace\n"
                  "[ChatWindow]\nForeground=$00C08040\nBackground=clWhite\n");
  auto pref = MakeDialog();
  EXPECT_EQ(pref->ccEWBckgrnd->currentIndex(), -1);
  EXPECT_EQ(pref->ccCWforgrnd->currentIndex(), -1);
  EXPECT_EQ(ExecWith(*pref, [&] { pref->btnOK->click(); }), QDialog::Accepted);
  EXPECT_EQ(Read("EntryWindow", "Background"), "clBtnFace");
  EXPECT_EQ(Read("ChatWindow", "Foreground"), "$00C08040");
}

TEST_F(PrefDialogTest, DefaultsRestoresTheDesignValuesButNotTheStartupBoxes) {
  test::WriteFile(ini_,
                  "[EntryWindow]\nForeground=clRed\n[Notify]\nOpenWindow=True\n[Keyboard]\nUseEnter=True\n");
  SetRegistered(true);
  auto pref = MakeDialog();
  ASSERT_TRUE(pref->ckAutoStart->isChecked());
  pref->btnDefault->click();
  EXPECT_EQ(pref->EntryForeground(), clBlack);
  EXPECT_EQ(pref->EntryBackground(), clWhite);
  EXPECT_EQ(pref->ChatForeground(), clLime);
  EXPECT_EQ(pref->ChatBackground(), clBlack);
  EXPECT_EQ(pref->IconIncoming->Text(), "");
  EXPECT_EQ(pref->Allincoming->Text(), "");
  for (QCheckBox* box : {pref->ckPlaySounds, pref->ckSoundOnly, pref->ckNotify, pref->ckUseEnter})
    EXPECT_FALSE(box->isChecked());
  EXPECT_TRUE(pref->ckAutoStart->isChecked());
  EXPECT_TRUE(Registered());
  EXPECT_EQ(Read("EntryWindow", "Foreground"), "clRed");  // nothing written until OK
}

TEST_F(PrefDialogTest, APickedPathWithABlankIsStoredQuotedAndReadBackWithout) {
  std::filesystem::create_directories(dir_.File("my sounds"));
  const std::string picked = dir_.File("my sounds") + "/bell.wav";
  auto pref = MakeDialog();
  pick_ = picked;
  EXPECT_EQ(ExecWith(*pref,
                     [&] {
                       pref->IconIncoming->Button()->click();
                       pref->btnOK->click();
                     }),
            QDialog::Accepted);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].Title, "Select sound for all Iconized ...");
  EXPECT_EQ(pref->IconIncoming->Text(), "\"" + picked + "\"");
  EXPECT_NE(test::ReadFile(ini_).find("Iconizedfile=\"" + picked + "\""), std::string::npos);

  auto again = MakeDialog();
  EXPECT_EQ(again->IconIncoming->Text(), picked);
}

// --- the start-up boxes -------------------------------------------------------------

TEST_F(PrefDialogTest, StartupBoxesActAtOnceAndCancelDoesNotUndoThem) {
  auto pref = MakeDialog();
  ASSERT_FALSE(Registered());
  EXPECT_EQ(ExecWith(*pref,
                     [&] {
                       pref->ckAutoStart->click();
                       pref->ckLogon->click();
                       pref->btnCancel->click();
                     }),
            QDialog::Rejected);
  EXPECT_TRUE(Registered());
  EXPECT_TRUE(Registered(true));
  EXPECT_FALSE(std::filesystem::exists(ini_));  // not part of the settings file

  // Changed by the program, the boxes act just the same.
  pref->ckLogon->setChecked(false);
  EXPECT_FALSE(Registered(true));
  pref->ckAutoStart->setChecked(false);
  EXPECT_FALSE(Registered());
  EXPECT_TRUE(errors_.empty());
}

}  // namespace
}  // namespace hw
