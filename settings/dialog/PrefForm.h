// The preferences dialog: colours of the main window's two text areas, sound options and
// files, notification and keyboard options, and starting with the desktop session.
//
// Created once, hidden, right after the main window, and kept until the program ends:
//   TPrefOptions options;
//   options.ShowError = [&](const std::string& text) { main.Dialogs().ShowError(text); };
//   auto pref = std::make_unique<TfrmPref>(nullptr, options);  // reads the settings file
//   main.SetPreferencesDialog(pref.get());
// Showing it (Preferences1Click):
//   if (pref->exec() == QDialog::Accepted) { /* OK or Apply: the file was written, or the
//     write error shown; end the tray animation and apply the settings again */ }
// exec() shows the controls as they were left (nothing is re-read). Cancel, the close box
// and Enter on the default button (Cancel) return QDialog::Rejected; Escape does nothing.
// The two start-up boxes act on the registry at once and Cancel does not undo them.
// F1 opens help context 4 through the window's "HelpContext" property.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "desktop/ErrorBox.h"
#include "settings/SettingsFile.h"
#include "settings/dialog/ColorComboBox.h"
#include "settings/dialog/FilenameEdit.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace hw {

class TFormPlacement;
class TSunfieldAutostart;

// Shows an error's text to the user (the standard error box).
using TErrorBox = std::function<void(const std::string& text)>;

// What the dialog works with; empty members take the program's own.
struct TPrefOptions {
  std::string SettingsPath;        // empty: SettingsFilePath()
  TErrorBox ShowError;             // empty: the standard error box
  TOpenFileDialog OpenFileDialog;  // empty: the platform's file-open dialog
};

class TfrmPref : public QDialog, public IPreferencesControls {
 public:
  // Builds the controls with their design values, loads the autostart component and
  // runs FormCreate. Errors are shown in the error box; the dialog is always created.
  explicit TfrmPref(QWidget* parent = nullptr, TPrefOptions options = {});
  ~TfrmPref() override;

  // --- handlers ---
  // The settings reader: fills the controls from the settings file (throws like it).
  void FormCreate();
  // OK and Apply: the result becomes OK, then the settings file is written (an error
  // is shown), then the dialog closes.
  void btnOKClick();
  // ">>": the chat window's colours take the entry window's; "<<" the other way.
  void btnLeftRightClick();
  void btnRightLeftClick();
  // "Defaults": the colour lists, sound files and option boxes take their design values
  // (Black, White, Lime, Black, empty, clear); the start-up boxes stay as they are.
  void btnDefaultClick();
  // Run whenever the box's checked state changes: registers or unregisters at once.
  void ckAutoStartClick();
  void ckLogonClick();

  const std::string& SettingsPath() const { return settingsPath_; }
  TSunfieldAutostart& Autostart() const { return *autostart_; }
  TFormPlacement* FormPlacement1() const { return placement_; }

  // --- IPreferencesControls ---
  TColor EntryForeground() const override { return ccEWforgrnd->ColorValue(); }
  void SetEntryForeground(TColor color) override { ccEWforgrnd->SetColorValue(color); }
  TColor EntryBackground() const override { return ccEWBckgrnd->ColorValue(); }
  void SetEntryBackground(TColor color) override { ccEWBckgrnd->SetColorValue(color); }
  TColor ChatForeground() const override { return ccCWforgrnd->ColorValue(); }
  void SetChatForeground(TColor color) override { ccCWforgrnd->SetColorValue(color); }
  TColor ChatBackground() const override { return ccCWbckgrnd->ColorValue(); }
  void SetChatBackground(TColor color) override { ccCWbckgrnd->SetColorValue(color); }
  std::string IconIncomingText() const override { return IconIncoming->Text(); }
  void SetIconIncomingText(const std::string& text) override { IconIncoming->SetText(text); }
  std::string AllincomingText() const override { return Allincoming->Text(); }
  void SetAllincomingText(const std::string& text) override { Allincoming->SetText(text); }
  bool PlaySoundsChecked() const override;
  void SetPlaySoundsChecked(bool checked) override;
  bool SoundOnlyChecked() const override;
  void SetSoundOnlyChecked(bool checked) override;
  bool NotifyChecked() const override;
  void SetNotifyChecked(bool checked) override;
  bool UseEnterChecked() const override;
  void SetUseEnterChecked(bool checked) override;
  void ReadAutoStart() override;

  // --- controls (named after the window's design) ---
  QGroupBox* grpEWsettings = nullptr;
  QLabel* Label1 = nullptr;
  TColorComboBox* ccEWforgrnd = nullptr;
  QLabel* Label2 = nullptr;
  TColorComboBox* ccEWBckgrnd = nullptr;
  QGroupBox* grpCWsettings = nullptr;
  QLabel* Label3 = nullptr;
  TColorComboBox* ccCWforgrnd = nullptr;
  QLabel* Label4 = nullptr;
  TColorComboBox* ccCWbckgrnd = nullptr;
  QPushButton* btnLeftRight = nullptr;
  QPushButton* btnRightLeft = nullptr;
  QGroupBox* grpStartup = nullptr;
  QCheckBox* ckAutoStart = nullptr;
  QCheckBox* ckLogon = nullptr;
  QGroupBox* grpSoundFiles = nullptr;
  QLabel* Label5 = nullptr;
  TFilenameEdit* IconIncoming = nullptr;
  QLabel* Label6 = nullptr;
  TFilenameEdit* Allincoming = nullptr;
  QGroupBox* grpSound = nullptr;
  QCheckBox* ckPlaySounds = nullptr;
  QCheckBox* ckSoundOnly = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QCheckBox* ckNotify = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QCheckBox* ckUseEnter = nullptr;
  QPushButton* btnDefault = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* btnApply = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void SetTabOrder();
  void LoadAutostart();
  void ShowError(const std::string& text);
  // Runs a handler; an error that leaves it goes to the error box.
  void Run(const std::function<void()>& handler);

  std::string settingsPath_;
  TErrorBox showError_;
  std::unique_ptr<TSunfieldAutostart> autostart_;
  TFormPlacement* placement_ = nullptr;  // a child of the dialog
};

}  // namespace hw
