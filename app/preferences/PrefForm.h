// The preferences dialog: colours of the main window's two text areas, sound options and
// files, notification and keyboard options, and starting with the desktop session.
//
// Created once, hidden, right after the main window, and kept until the program ends:
//   TPrefOptions options;
//   options.ShowError = [&](const std::string& text) { main.Dialogs().ShowError(text); };
//   auto pref = std::make_unique<TfrmPref>(nullptr, options);  // reads the settings file
//   main.SetPreferencesDialog(pref.get());
// Showing it (the main window's Preferences command):
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

#include "desktop/widgets/FilenameEdit.h"
#include "settings/SettingsFile.h"

class QCheckBox;
class QPushButton;

namespace hw {
class TFormPlacement;
class TSunfieldAutostart;
namespace desktop {
class TColorComboBox;
}
}  // namespace hw

namespace hw::app {

// Shows an error's text to the user (the standard error box).
using TErrorBox = std::function<void(const std::string& text)>;

// What the dialog works with; empty members take the program's own.
struct TPrefOptions {
  std::string SettingsPath;                 // empty: SettingsFilePath()
  TErrorBox ShowError;                      // empty: the standard error box
  desktop::TOpenFileDialog OpenFileDialog;  // empty: the platform's file-open dialog
};

// Tests reach the controls by their object names (the names the window's placement
// is stored under), not through members.
class TfrmPref : public QDialog, public IPreferencesControls {
  Q_OBJECT

 public:
  // Builds the controls with their design values, loads the autostart component and
  // reads the settings file. Errors are shown in the error box; the dialog is always
  // created.
  explicit TfrmPref(QWidget* parent = nullptr, TPrefOptions options = {});
  ~TfrmPref() override;

  const std::string& SettingsPath() const { return settingsPath_; }
  TSunfieldAutostart& Autostart() const { return *autostart_; }
  TFormPlacement* Placement() const { return placement_; }

  // --- IPreferencesControls ---
  TColor EntryForeground() const override;
  void SetEntryForeground(TColor color) override;
  TColor EntryBackground() const override;
  void SetEntryBackground(TColor color) override;
  TColor ChatForeground() const override;
  void SetChatForeground(TColor color) override;
  TColor ChatBackground() const override;
  void SetChatBackground(TColor color) override;
  std::string IconIncomingText() const override { return iconizedSoundEdit_->Text(); }
  void SetIconIncomingText(const std::string& text) override { iconizedSoundEdit_->SetText(text); }
  std::string AllincomingText() const override { return incomingSoundEdit_->Text(); }
  void SetAllincomingText(const std::string& text) override { incomingSoundEdit_->SetText(text); }
  bool PlaySoundsChecked() const override;
  void SetPlaySoundsChecked(bool checked) override;
  bool SoundOnlyChecked() const override;
  void SetSoundOnlyChecked(bool checked) override;
  bool NotifyChecked() const override;
  void SetNotifyChecked(bool checked) override;
  bool UseEnterChecked() const override;
  void SetUseEnterChecked(bool checked) override;
  void ReadAutoStart() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  void SetTabOrder();
  // Names and descriptions for screen readers.
  void DescribeControls();
  void LoadAutostart();
  // Fills the controls from the settings file (throws like the reader).
  void ReadSettings();
  // OK and Apply: the result becomes OK, then the settings file is written (an error
  // is shown), then the dialog closes.
  void OkClick();
  // ">>": the chat window's colours take the entry window's; "<<" the other way.
  void CopyToChatClick();
  void CopyToEntryClick();
  // "Defaults": the colour lists, sound files and option boxes take their design values
  // (Black, White, Lime, Black, empty, clear); the start-up boxes stay as they are.
  void DefaultsClick();
  // Run whenever the box's checked state changes: registers or unregisters at once.
  void AutostartClick();
  void NextLogonClick();
  // "Network...": the page of the user's own network settings.
  void NetworkClick();
  void ShowError(const std::string& text);
  // Runs a handler; an error that leaves it goes to the error box.
  void Run(const std::function<void()>& handler);

  std::string settingsPath_;
  TErrorBox showError_;
  std::unique_ptr<TSunfieldAutostart> autostart_;
  TFormPlacement* placement_ = nullptr;  // a child of the dialog

  desktop::TColorComboBox* entryForegroundCombo_ = nullptr;
  desktop::TColorComboBox* entryBackgroundCombo_ = nullptr;
  desktop::TColorComboBox* chatForegroundCombo_ = nullptr;
  desktop::TColorComboBox* chatBackgroundCombo_ = nullptr;
  QPushButton* copyToChatButton_ = nullptr;
  QPushButton* copyToEntryButton_ = nullptr;
  QCheckBox* autostartBox_ = nullptr;
  QCheckBox* nextLogonBox_ = nullptr;
  desktop::TFilenameEdit* iconizedSoundEdit_ = nullptr;
  desktop::TFilenameEdit* incomingSoundEdit_ = nullptr;
  QCheckBox* playSoundsBox_ = nullptr;
  QCheckBox* iconizedOnlyBox_ = nullptr;
  QCheckBox* openWindowBox_ = nullptr;
  QCheckBox* useEnterBox_ = nullptr;
  QPushButton* defaultsButton_ = nullptr;
  QPushButton* networkButton_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QPushButton* applyButton_ = nullptr;
};

}  // namespace hw::app
