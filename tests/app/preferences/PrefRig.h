// Shared rig of the preferences dialog's tests: its controls, found by their object
// names, and a modal run that cannot hang.
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <stdexcept>
#include <string>

#include "desktop/widgets/ColorComboBox.h"
#include "desktop/widgets/FilenameEdit.h"

namespace hw::test {

// The child of `parent` with that object name and type; throws (failing the test) when
// there is none.
template <typename T>
T* Control(const QObject& parent, const char* name) {
  T* control = dynamic_cast<T*>(parent.findChild<QObject*>(name));
  if (!control) throw std::runtime_error(std::string("no control named ") + name);
  return control;
}

// The dialog's controls; all null for a default-made one.
struct TPrefControls {
  TPrefControls() = default;
  explicit TPrefControls(const QDialog& dialog) : dialog_(&dialog) {}

 private:
  const QDialog* dialog_ = nullptr;
  template <typename T>
  T* Find(const char* name) const { return dialog_ ? Control<T>(*dialog_, name) : nullptr; }

 public:
  desktop::TColorComboBox* entryForegroundCombo = Find<desktop::TColorComboBox>("ccEWforgrnd");
  desktop::TColorComboBox* entryBackgroundCombo = Find<desktop::TColorComboBox>("ccEWBckgrnd");
  desktop::TColorComboBox* chatForegroundCombo = Find<desktop::TColorComboBox>("ccCWforgrnd");
  desktop::TColorComboBox* chatBackgroundCombo = Find<desktop::TColorComboBox>("ccCWbckgrnd");
  QPushButton* copyToChatButton = Find<QPushButton>("btnLeftRight");
  QPushButton* copyToEntryButton = Find<QPushButton>("btnRightLeft");
  QCheckBox* autostartBox = Find<QCheckBox>("ckAutoStart");
  QCheckBox* nextLogonBox = Find<QCheckBox>("ckLogon");
  desktop::TFilenameEdit* iconizedSoundEdit = Find<desktop::TFilenameEdit>("IconIncoming");
  desktop::TFilenameEdit* incomingSoundEdit = Find<desktop::TFilenameEdit>("Allincoming");
  QCheckBox* playSoundsBox = Find<QCheckBox>("ckPlaySounds");
  QCheckBox* iconizedOnlyBox = Find<QCheckBox>("ckSoundOnly");
  QCheckBox* openWindowBox = Find<QCheckBox>("ckNotify");
  QCheckBox* useEnterBox = Find<QCheckBox>("ckUseEnter");
  QPushButton* defaultsButton = Find<QPushButton>("btnDefault");
  QPushButton* okButton = Find<QPushButton>("btnOK");
  QPushButton* cancelButton = Find<QPushButton>("btnCancel");
  QPushButton* applyButton = Find<QPushButton>("btnApply");
};

// Runs `open` (which shows `dialog` modally and returns its result), doing `inside` once
// the dialog is up; a dialog still open after ten seconds is closed with -1 so a missing
// close fails instead of hanging.
inline int RunModal(QDialog& dialog, const std::function<void()>& inside, const std::function<int()>& open) {
  QTimer::singleShot(0, &dialog, [&dialog, inside] {
    dialog.activateWindow();
    for (int i = 0; i < 100 && QApplication::activeWindow() != &dialog; ++i)
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    inside();
  });
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, &dialog, [&dialog] {
    if (dialog.isVisible()) dialog.done(-1);
  });
  watchdog.start(10000);
  return open();
}

}  // namespace hw::test
