// The preferences' "Network..." page: the user's own network settings (the [Network]
// section of the settings file), taken before the environment and smb.conf, and
// whether hidden arrivals show a desktop notification.
//
//   TNetworkPage page(parent, settingsPath, showError);  // reads the file
//   page.exec();  // OK checks and writes the keys and hands them to the platform;
//                 // Cancel writes nothing
//
// Each setting is one row (AddRow); a later setting adds a row, a read and a write.
// Below them, the keys pinned per sender: a forgotten key (a colleague's reinstall) is
// dropped from the pin store on OK, and the next key that sender signs with is pinned.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QFormLayout;
class QListWidget;
class QLineEdit;
class QPushButton;

namespace hw::app {

class TNetworkPage : public QDialog {
  Q_OBJECT

 public:
  // pinFile: the pin store; empty for the user's own.
  TNetworkPage(QWidget* parent, std::string settingsPath, std::function<void(const std::string&)> showError,
               std::string pinFile = {});

 private:
  QLineEdit* AddRow(const char* objectName, const char* caption, const char* hint);
  void Read();
  // The texts that cannot be used, named for the user; empty when all can.
  std::string Check() const;
  void OkClick();

  void ForgetClick();

  std::string settingsPath_;
  std::string pinFile_;
  std::vector<std::string> forgotten_;
  QListWidget* pinList_ = nullptr;
  QPushButton* forgetButton_ = nullptr;
  std::function<void(const std::string&)> showError_;
  QFormLayout* rows_ = nullptr;
  QLineEdit* winsServerEdit_ = nullptr;
  QLineEdit* remoteAnnounceEdit_ = nullptr;
  QCheckBox* notificationsCheck_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace hw::app
