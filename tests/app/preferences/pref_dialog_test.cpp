// The preferences dialog: its reader and writer at work on a settings file, its
// buttons and keys in a modal run, and the start-up boxes on the registry.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "app/preferences/PrefForm.h"
#include "desktop/Autostart.h"
#include "desktop/ErrorBox.h"
#include "desktop/FormPlacement.h"
#include "platform/store/Profile.h"
#include "platform/store/Registry.h"
#include "platform/store/IniFile.h"
#include "settings/Colors.h"
#include "tests/app/preferences/PrefRig.h"
#include "tests/support/TestSupport.h"
#include "transport/Trust.h"

namespace hw::app {
namespace {

using desktop::TOpenFileRequest;
using test::Control;
using test::TPrefControls;

const char kAppName[] = "Quillo 4#Autostart";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

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

  // A new dialog (reading `ini`, when given, as its settings file) and its controls.
  TfrmPref& MakeDialog(const std::string& ini = std::string(), const std::string& path = std::string()) {
    if (!ini.empty()) test::WriteFile(ini_, ini);
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
    pref_ = std::make_unique<TfrmPref>(nullptr, options);
    ui = TPrefControls(*pref_);
    return *pref_;
  }

  // Shows the dialog modally, doing `inside` once it is up; its result.
  int Exec(const std::function<void()>& inside) {
    return test::RunModal(*pref_, inside, [this] { return pref_->exec(); });
  }
  int ExecClicking(const std::vector<QAbstractButton*>& buttons) {
    return Exec([&] { for (QAbstractButton* button : buttons) button->click(); });
  }

  std::string Read(const char* section, const char* key) const {
    return TIniFile(ini_).ReadString(section, key, "<missing>");
  }
  bool Written() const { return std::filesystem::exists(ini_); }

  // What the dialog shows: its colours, its two sounds and the names of its ticked boxes.
  std::string Shown() const {
    std::string shown;
    for (TColor colour : {pref_->EntryForeground(), pref_->EntryBackground(), pref_->ChatForeground(),
                          pref_->ChatBackground()})
      shown += ColorToString(colour) + " ";
    shown += "[" + ui.iconizedSoundEdit->Text() + "] [" + ui.incomingSoundEdit->Text() + "]";
    for (QCheckBox* box : {ui.autostartBox, ui.nextLogonBox, ui.playSoundsBox, ui.iconizedOnlyBox, ui.openWindowBox,
                           ui.useEnterBox})
      if (box->isChecked()) shown += " " + box->objectName().toStdString();
    return shown;
  }

  // Opens a new dialog's Network page and runs `inside` while the page is shown.
  void OnNetworkPage(const std::function<void(QDialog& page)>& inside) {
    auto& pref = MakeDialog();
    QTimer::singleShot(0, &pref, [&] { inside(*Control<QDialog>(pref, "frmNetwork")); });
    Control<QPushButton>(pref, "btnNetwork")->click();
  }

  test::TempDir dir_;
  std::string ini_ = dir_.File("Hwire.ini");
  std::vector<std::string> errors_;
  std::vector<TOpenFileRequest> requests_;
  std::optional<std::string> pick_;
  std::unique_ptr<TfrmPref> pref_;
  TPrefControls ui;
};

// --- reading at creation ------------------------------------------------------------

// A first run shows the design values; keys missing from a file get the reader's own
// defaults; a colour that does not convert is shown and stops the reader. With settings
// stored the start-up box follows the registry (ckLogon never does); loading the stored
// properties refreshes a registration and keeps it.
TEST_F(PrefDialogTest, ReadingAtCreation) {
  const char kProbe[] = "[EntryWindow]\nForeground=clRed\n";
  const char kRead[] = "clRed clYellow clLime clWhite [ring.wav] [ring.wav]";
  const struct { const char* ini; bool registered; std::string shown; const char* error; } rows[] = {
      {"", true, "clBlack clWhite clLime clBlack [] []", nullptr},
      {kProbe, true, kRead + std::string(" ckAutoStart ckPlaySounds ckSoundOnly"), nullptr},
      {kProbe, false, kRead + std::string(" ckPlaySounds ckSoundOnly"), nullptr},
      {"[EntryWindow]\nForeground=clNavy\nBackground=bogus\n[ChatWindow]\nForeground=clRed\n"
       "[SoundOptions]\nPlaySound=True\n",
       false, "clNavy clWhite clLime clBlack [] []", "'bogus' is not a valid integer value"}};
  for (const auto& row : rows) {
    pref_.reset();
    std::filesystem::remove(ini_);
    errors_.clear();
    SetRegistered(row.registered);
    auto& pref = MakeDialog(row.ini);
    EXPECT_EQ(Shown(), row.shown) << row.ini;
    EXPECT_EQ(errors_, row.error ? std::vector<std::string>{row.error} : std::vector<std::string>{});
    EXPECT_EQ(Registered(), row.registered);
    EXPECT_EQ(Written(), *row.ini != 0);
    EXPECT_FALSE(pref.isVisible());
    EXPECT_TRUE(*row.ini || ui.entryBackgroundCombo->currentText() == "White");
  }
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
  MakeDialog("[EntryWindow]\nForeground=clRed\n[Notify]\nOpenWindow=True\n");
  ASSERT_FALSE(errors_.empty());
  for (const std::string& error : errors_) EXPECT_EQ(error, "Invalid data type for 'Quillo 4#Autostart'");
  EXPECT_EQ(Shown(), "clRed clYellow clLime clWhite [ring.wav] [ring.wav] ckPlaySounds ckSoundOnly ckNotify");
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegDeleteValueA(key, kAppName);
  RegCloseKey(key);
}

// --- the window ---------------------------------------------------------------------

TEST_F(PrefDialogTest, CaptionsHintsAndTabOrderStartingAtOk) {
  auto& pref = MakeDialog();
  const std::pair<QString, QString> texts[] = {
      {pref.windowTitle(), "Preferences"},
      {pref.property("HelpContext").toString(), "4"},
      {Control<QLabel>(pref, "Label5")->text(), "Incoming & Iconized"},
      {Control<QLabel>(pref, "Label1")->text(), "Forground"},
      {ui.iconizedOnlyBox->text(), "Only Incoming && Iconized"},
      {ui.copyToChatButton->toolTip(), "Copy settings to Chat Window"},
      {ui.copyToEntryButton->toolTip(), "Copy settings to Entry Window"},
      {ui.defaultsButton->toolTip(), "Restore Default Settings"},
      {QString::fromStdString(ui.iconizedSoundEdit->DialogTitle()), "Select sound for all Iconized ..."},
      {QString::fromStdString(ui.incomingSoundEdit->DialogTitle()), "Select sound for all incoming..."},
      {QString::fromStdString(ui.iconizedSoundEdit->Filter() + ui.incomingSoundEdit->Filter()),
       "Wave Files|*.wavWave Files|*.wav"},
      {QString::fromStdString(pref.Placement()->IniFileName() + " " + pref.Placement()->IniSection()),
       "hwire.ini PrefForm"}};
  for (const auto& [shown, expected] : texts) EXPECT_EQ(shown.toStdString(), expected.toStdString());
  EXPECT_TRUE(ui.cancelButton->isDefault());

  std::vector<QWidget*> order;
  Exec([&] {
    QWidget* start = QApplication::focusWidget();
    ASSERT_NE(start, nullptr);
    for (QWidget* w = start; w && order.size() < 40 && (order.empty() || w != start); w = QApplication::focusWidget()) {
      order.push_back(w);
      Press(w, Qt::Key_Tab);
    }
    pref.reject();
  });
  const std::vector<QWidget*> expected = {
      ui.okButton, ui.cancelButton, ui.applyButton, ui.autostartBox, ui.nextLogonBox, ui.entryForegroundCombo,
      ui.entryBackgroundCombo, ui.chatForegroundCombo, ui.chatBackgroundCombo, ui.copyToChatButton,
      ui.copyToEntryButton, ui.defaultsButton, ui.iconizedSoundEdit->Edit(), ui.iconizedSoundEdit->Button(),
      ui.incomingSoundEdit->Edit(), ui.incomingSoundEdit->Button(), ui.playSoundsBox, ui.iconizedOnlyBox,
      ui.openWindowBox, ui.useEnterBox, Control<QPushButton>(pref, "btnNetwork")};
  EXPECT_EQ(order, expected);
}

TEST_F(PrefDialogTest, ErrorTextGetsAFullStopUnlessItEndsInPunctuation) {
  const std::pair<std::string, std::string> rows[] = {
      {"Unable to write to /x/Hwire.ini", "Unable to write to /x/Hwire.ini."}, {"Done.", "Done."},
      {"Stop!", "Stop!"}, {"(see above)", "(see above)"}, {"ends with a slash/", "ends with a slash/."},
      {"未知错误。", "未知错误。"} /* a translation's own full stop */, {"", ""}};
  for (const auto& [text, shown] : rows) EXPECT_EQ(WithFullStop(text), shown);
}

TEST_F(PrefDialogTest, APlacementSaveFailingAtDestructionIsReportedThroughTheDialog) {
  const std::string placement_file = ResolveProfilePath("hwire.ini");
  std::filesystem::remove_all(placement_file);
  std::filesystem::create_directories(placement_file);  // a folder cannot be written as a file
  MakeDialog().show();  // restores, so destruction saves once more
  QApplication::processEvents();
  pref_.reset();
  std::filesystem::remove_all(placement_file);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0].rfind("Unable to write to ", 0), 0u) << errors_[0];
}

// --- closing ------------------------------------------------------------------------

TEST_F(PrefDialogTest, CancelAndTheCloseBoxKeepChangedControlsAndWriteNothingUntilOk) {
  auto& pref = MakeDialog();
  EXPECT_EQ(Exec([&] {
              ui.entryForegroundCombo->SetColorValue(clPurple);
              ui.openWindowBox->setChecked(true);
              ui.cancelButton->click();
            }),
            QDialog::Rejected);
  EXPECT_EQ(Exec([&] { ui.useEnterBox->setChecked(true); pref.close(); }), QDialog::Rejected);
  EXPECT_FALSE(Written());
  TColor shown = 0;
  bool notify = false;
  EXPECT_EQ(Exec([&] {
              shown = pref.EntryForeground();
              notify = ui.openWindowBox->isChecked();
              ui.okButton->click();
            }),
            QDialog::Accepted);
  EXPECT_EQ(shown, clPurple);
  EXPECT_TRUE(notify);
  EXPECT_EQ(Read("EntryWindow", "Foreground"), "clPurple");
  EXPECT_EQ(Read("Notify", "OpenWindow"), "True");
}

TEST_F(PrefDialogTest, ApplyClosesLikeOkAndWritesAllTenKeys) {
  auto& pref = MakeDialog();
  EXPECT_EQ(ExecClicking({ui.applyButton}), QDialog::Accepted);
  EXPECT_FALSE(pref.isVisible());
  EXPECT_TRUE(errors_.empty());
  const char* const rows[][3] = {
      {"EntryWindow", "Foreground", "clBlack"}, {"EntryWindow", "Background", "clWhite"},
      {"ChatWindow", "Foreground", "clLime"},   {"ChatWindow", "Background", "clBlack"},
      {"SoundOptions", "Iconizedfile", ""},     {"SoundOptions", "AllIncoming", ""},
      {"SoundOptions", "PlaySound", "False"},   {"SoundOptions", "IconizedOnly", "False"},
      {"Notify", "OpenWindow", "False"},        {"Keyboard", "UseEnter", "False"}};
  for (const auto& row : rows) EXPECT_EQ(Read(row[0], row[1]), row[2]) << row[1];
}

TEST_F(PrefDialogTest, EnterPressesTheFocusedButtonElseCancelAndEscapeDoesNothing) {
  auto& pref = MakeDialog();
  bool still_open_after_escape = false;
  QWidget* first_focus = nullptr;
  EXPECT_EQ(Exec([&] {
              first_focus = QApplication::focusWidget();
              Press(ui.okButton, Qt::Key_Escape);
              still_open_after_escape = pref.isVisible();
              ui.iconizedSoundEdit->Edit()->setFocus();
              ui.iconizedSoundEdit->SetText("typed.wav");
              Press(ui.iconizedSoundEdit->Edit(), Qt::Key_Return);
            }),
            QDialog::Rejected);
  EXPECT_EQ(first_focus, ui.okButton);
  EXPECT_TRUE(still_open_after_escape);
  EXPECT_FALSE(Written());
  EXPECT_EQ(Exec([&] { ui.applyButton->setFocus(); Press(ui.applyButton, Qt::Key_Return); }), QDialog::Accepted);
  EXPECT_EQ(Read("SoundOptions", "Iconizedfile"), "typed.wav");
}

TEST_F(PrefDialogTest, AnUnwritableSettingsFolderIsReportedAndTheDialogStillClosesWithOk) {
  // A regular file where the folder should be: no user, root included, can write there.
  test::WriteFile(dir_.File("notafolder"), "");
  const std::string path = dir_.File("notafolder") + "/Hwire.ini";
  auto& pref = MakeDialog("", path);
  EXPECT_EQ(ExecClicking({ui.okButton}), QDialog::Accepted);
  EXPECT_EQ(errors_, std::vector<std::string>{"Unable to write to " + path});
  EXPECT_FALSE(pref.isVisible());
}

// --- the buttons --------------------------------------------------------------------

TEST_F(PrefDialogTest, CopyButtonsCopyBothColoursOneWay) {
  auto& pref = MakeDialog("[EntryWindow]\nForeground=clNavy\nBackground=clAqua\n"
                          "[ChatWindow]\nForeground=clYellow\nBackground=clMaroon\n");
  EXPECT_EQ(ExecClicking({ui.copyToChatButton, ui.okButton}), QDialog::Accepted);
  EXPECT_EQ(Read("ChatWindow", "Foreground"), "clNavy");
  EXPECT_EQ(Read("ChatWindow", "Background"), "clAqua");
  EXPECT_EQ(Read("EntryWindow", "Foreground"), "clNavy");
  pref.SetChatForeground(clTeal);
  pref.SetChatBackground(clSilver);
  ui.copyToEntryButton->click();
  EXPECT_EQ(pref.EntryForeground(), clTeal);
  EXPECT_EQ(pref.EntryBackground(), clSilver);
  EXPECT_EQ(pref.ChatForeground(), clTeal);
}

TEST_F(PrefDialogTest, UnlistedColoursShowEmptyAndAreWrittenBackUnchanged) {
  MakeDialog("[EntryWindow]\nForeground=clBlack\nBackground=clBtnFace\n"
             "[ChatWindow]\nForeground=$00C08040\nBackground=clWhite\n");
  EXPECT_EQ(ui.entryBackgroundCombo->currentIndex(), -1);
  EXPECT_EQ(ui.chatForegroundCombo->currentIndex(), -1);
  EXPECT_EQ(ExecClicking({ui.okButton}), QDialog::Accepted);
  EXPECT_EQ(Read("EntryWindow", "Background"), "clBtnFace");
  EXPECT_EQ(Read("ChatWindow", "Foreground"), "$00C08040");
}

TEST_F(PrefDialogTest, DefaultsRestoresTheDesignValuesButNotTheStartupBoxes) {
  SetRegistered(true);
  MakeDialog("[EntryWindow]\nForeground=clRed\n[Notify]\nOpenWindow=True\n[Keyboard]\nUseEnter=True\n");
  ASSERT_TRUE(ui.autostartBox->isChecked());
  ui.defaultsButton->click();
  EXPECT_EQ(Shown(), "clBlack clWhite clLime clBlack [] [] ckAutoStart");
  EXPECT_TRUE(Registered());
  EXPECT_EQ(Read("EntryWindow", "Foreground"), "clRed");  // nothing written until OK
}

TEST_F(PrefDialogTest, APickedPathWithABlankIsStoredQuotedAndReadBackWithout) {
  std::filesystem::create_directories(dir_.File("my sounds"));
  const std::string picked = dir_.File("my sounds") + "/bell.wav";
  MakeDialog();
  pick_ = picked;
  EXPECT_EQ(ExecClicking({ui.iconizedSoundEdit->Button(), ui.okButton}), QDialog::Accepted);
  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].Title, "Select sound for all Iconized ...");
  EXPECT_EQ(requests_[0].Filter, "Wave Files|*.wav");
  EXPECT_EQ(ui.iconizedSoundEdit->Text(), "\"" + picked + "\"");
  EXPECT_NE(test::ReadFile(ini_).find("Iconizedfile=\"" + picked + "\""), std::string::npos);
  MakeDialog();
  EXPECT_EQ(ui.iconizedSoundEdit->Text(), picked);
}

// --- the start-up boxes -------------------------------------------------------------

TEST_F(PrefDialogTest, StartupBoxesActAtOnceAndCancelDoesNotUndoThem) {
  MakeDialog();
  ASSERT_FALSE(Registered());
  EXPECT_EQ(ExecClicking({ui.autostartBox, ui.nextLogonBox, ui.cancelButton}), QDialog::Rejected);
  EXPECT_TRUE(Registered());
  EXPECT_TRUE(Registered(true));
  EXPECT_FALSE(Written());  // not part of the settings file
  // Changed by the program, the boxes act just the same.
  ui.nextLogonBox->setChecked(false);
  EXPECT_FALSE(Registered(true));
  ui.autostartBox->setChecked(false);
  EXPECT_FALSE(Registered());
  EXPECT_TRUE(errors_.empty());
}
// The Network page: OK writes the [Network] keys and nothing else, Cancel writes
// nothing, and a text that cannot be used keeps the page open with the reason.
TEST_F(PrefDialogTest, NetworkPageWritesItsKeysOnOkOnly) {
  // button: pressed on the page; stored: RemoteAnnounce afterwards
  const struct { const char *wins, *remote, *button, *stored; std::size_t errors; } rows[] = {
      {"10.77.3.1", "10.77.2.255/STAFF 10.77.2.7", "btnOK", "10.77.2.255/STAFF 10.77.2.7", 0},
      {"", "10.77.4.4", "btnCancel", "<missing>", 0},
      {"", "branch.example", "btnOK", "<missing>", 1},
      {"wins.example", "", "btnOK", "<missing>", 1},
  };
  for (const auto& row : rows) {
    std::filesystem::remove(ini_);
    errors_.clear();
    bool closed = false;
    OnNetworkPage([&](QDialog& page) {
      Control<QLineEdit>(page, "edWinsServer")->setText(row.wins);
      Control<QLineEdit>(page, "edRemoteAnnounce")->setText(row.remote);
      Control<QPushButton>(page, row.button)->click();
      closed = !page.isVisible();
      if (!closed) page.reject();
    });
    EXPECT_EQ(closed, row.errors == 0) << row.remote;
    EXPECT_EQ(errors_.size(), row.errors) << row.remote;
    EXPECT_EQ(Read("Network", "RemoteAnnounce"), row.stored);
    EXPECT_EQ(Read("EntryWindow", "Foreground"), "<missing>");  // the preferences are not written
  }
  EXPECT_EQ(Read("Network", "WinsServer"), "<missing>");
}

// Pinned keys: Forget Key drops the selected sender's key from the pin store, on OK only.
TEST_F(PrefDialogTest, NetworkPageForgetsAPinnedKeyOnOk) {
  for (const char* button : {"btnCancel", "btnOK"}) {
    const std::string pins = UserPinFile();
    std::filesystem::remove(pins);
    {
      TPinStore store(pins);
      store.Pin("Pc1( alice )", TLineSigner::Generate()->PublicKey());
      store.Pin("Pc2( bob )", TLineSigner::Generate()->PublicKey());
    }
    int listed = 0;
    OnNetworkPage([&](QDialog& page) {
      auto* list = Control<QListWidget>(page, "lbPinnedKeys");
      listed = list->count();
      list->setCurrentRow(0);
      Control<QPushButton>(page, "btnForgetKey")->click();
      Control<QPushButton>(page, button)->click();
    });
    EXPECT_EQ(listed, 2);
    const bool ok = std::string(button) == "btnOK";
    EXPECT_EQ(TPinStore(pins).Pins().size(), ok ? 1u : 2u) << button;
    EXPECT_EQ(TPinStore(pins).Pinned("Pc1( alice )").has_value(), !ok) << button;
  }
}

}  // namespace
}  // namespace hw::app
