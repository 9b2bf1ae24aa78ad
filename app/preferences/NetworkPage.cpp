#include "app/preferences/NetworkPage.h"

#include <netinet/in.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "platform/net/Config.h"
#include "settings/SettingsFile.h"
#include "transport/Trust.h"

namespace hw::app {

TNetworkPage::TNetworkPage(QWidget* parent, std::string settingsPath,
                           std::function<void(const std::string&)> showError, std::string pinFile)
    : QDialog(parent),
      settingsPath_(std::move(settingsPath)),
      pinFile_(pinFile.empty() ? UserPinFile() : std::move(pinFile)),
      showError_(std::move(showError)) {
  setObjectName("frmNetwork");
  setWindowTitle(tr("Network"));
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(tr("These settings come before the environment and the computer's Samba "
                              "configuration. Leave a box empty to use those."),
                           this);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  rows_ = new QFormLayout;
  layout->addLayout(rows_);
  winsServerEdit_ = AddRow("edWinsServer", QT_TR_NOOP("&WINS servers:"), "10.0.0.1, 10.0.0.2");
  remoteAnnounceEdit_ = AddRow("edRemoteAnnounce", QT_TR_NOOP("&Remote announce:"), "192.168.2.255/STAFF 192.168.3.7");
  notificationsCheck_ = new QCheckBox(tr("Show a desktop &notification for messages that arrive while hidden"), this);
  notificationsCheck_->setObjectName("cbDesktopNotifications");
  layout->addWidget(notificationsCheck_);
  QString own = tr("This program has no signing key: its lines go out unsigned.");
  try {
    own = tr("Your key's fingerprint: %1")
              .arg(QString::fromStdString(KeyFingerprint(TLineSigner::FromKeyFile(UserKeyFile())->PublicKey())));
  } catch (const ETrustError&) {
  }
  auto* ownKey = new QLabel(own, this);
  ownKey->setObjectName("lblOwnKey");
  ownKey->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(ownKey);
  auto* pins = new QLabel(tr("&Pinned keys (compare a fingerprint with its owner before trusting it):"), this);
  pins->setWordWrap(true);
  layout->addWidget(pins);
  pinList_ = new QListWidget(this);
  pinList_->setObjectName("lbPinnedKeys");
  pins->setBuddy(pinList_);
  layout->addWidget(pinList_);
  forgetButton_ = new QPushButton(tr("&Forget Key"), this);
  forgetButton_->setObjectName("btnForgetKey");
  forgetButton_->setToolTip(tr("Forget the selected sender's key, e.g. after a reinstall: the next key it "
                               "signs with is pinned"));
  layout->addWidget(forgetButton_, 0, Qt::AlignRight);
  connect(forgetButton_, &QPushButton::clicked, this, [this] { ForgetClick(); });
  auto* buttons = new QDialogButtonBox(this);
  okButton_ = buttons->addButton(tr("&OK"), QDialogButtonBox::AcceptRole);
  okButton_->setObjectName("btnOK");
  cancelButton_ = buttons->addButton(tr("&Cancel"), QDialogButtonBox::RejectRole);
  cancelButton_->setObjectName("btnCancel");
  layout->addWidget(buttons);
  connect(okButton_, &QPushButton::clicked, this, [this] { OkClick(); });
  connect(cancelButton_, &QPushButton::clicked, this, [this] { reject(); });
  winsServerEdit_->setAccessibleName(tr("WINS servers"));
  winsServerEdit_->setAccessibleDescription(
      tr("IPv4 addresses of the WINS servers, separated by commas; empty: the environment's or Samba's"));
  remoteAnnounceEdit_->setAccessibleName(tr("Remote announce"));
  remoteAnnounceEdit_->setAccessibleDescription(
      tr("Subnets to announce this computer to: addresses, each with an optional /WORKGROUP; empty: Samba's"));
  pinList_->setAccessibleName(tr("Pinned keys"));
  pinList_->setAccessibleDescription(tr("Other users' signing keys, each pinned at the first line it signed, with "
                                        "its fingerprint"));
  forgetButton_->setAccessibleDescription(tr("Forgets the selected key when OK is pressed"));
  notificationsCheck_->setAccessibleDescription(
      tr("Shows the text of a message that arrives while the window is hidden or minimised in a desktop notification"));
  okButton_->setAccessibleDescription(tr("Checks and saves the network settings and closes the page"));
  cancelButton_->setAccessibleDescription(tr("Closes the page without saving"));
  setAccessibleDescription(tr("This user's own network settings"));
  resize(380, sizeHint().height());
  Read();
}

QLineEdit* TNetworkPage::AddRow(const char* objectName, const char* caption, const char* hint) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(objectName);
  edit->setPlaceholderText(hint);
  rows_->addRow(tr(caption), edit);
  return edit;
}

void TNetworkPage::Read() {
  const NetworkSettings settings = ReadNetworkSettings(settingsPath_);
  winsServerEdit_->setText(QString::fromStdString(settings.winsServer));
  remoteAnnounceEdit_->setText(QString::fromStdString(settings.remoteAnnounce));
  notificationsCheck_->setChecked(settings.desktopNotifications);
  pinList_->clear();
  forgotten_.clear();
  for (const auto& pin : TPinStore(pinFile_).Pins()) {
    auto* item = new QListWidgetItem(QString::fromStdString(pin.Identity + "   " + KeyFingerprint(pin.Key)), pinList_);
    item->setData(Qt::UserRole, QString::fromStdString(pin.Identity));
  }
  forgetButton_->setEnabled(pinList_->count() > 0);
}

void TNetworkPage::ForgetClick() {
  QListWidgetItem* item = pinList_->currentItem();
  if (!item) return;
  forgotten_.push_back(item->data(Qt::UserRole).toString().toStdString());
  delete item;
  forgetButton_->setEnabled(pinList_->count() > 0);
}

std::string TNetworkPage::Check() const {
  std::vector<in_addr> servers;
  if (!platform::net::ParseAddressList(winsServerEdit_->text().toStdString(), servers))
    return tr("The WINS servers must be IPv4 addresses separated by commas").toStdString();
  std::vector<platform::net::TRemoteTarget> targets;
  if (!platform::net::ParseRemoteTargets(remoteAnnounceEdit_->text().toStdString(), targets))
    return tr("Each remote announce target must be an IPv4 address with an optional /WORKGROUP").toStdString();
  return {};
}

void TNetworkPage::OkClick() {
  // A text that cannot be used keeps the page open, so that the user can mend it.
  if (const std::string problem = Check(); !problem.empty()) {
    showError_(problem);
    return;
  }
  const NetworkSettings settings{winsServerEdit_->text().trimmed().toStdString(),
                                 remoteAnnounceEdit_->text().trimmed().toStdString(),
                                 notificationsCheck_->isChecked()};
  try {
    WriteNetworkSettings(settings, settingsPath_);
  } catch (const std::exception& error) {
    showError_(error.what());
    return;
  }
  platform::net::SetNetworkOverrides({settings.winsServer, settings.remoteAnnounce});
  if (!forgotten_.empty()) {
    TPinStore store(pinFile_);
    for (const auto& identity : forgotten_) store.Forget(identity);
    if (!store.Save(true)) {
      showError_(tr("The pinned keys could not be written to %1").arg(QString::fromStdString(pinFile_)).toStdString());
      return;
    }
    forgotten_.clear();
  }
  accept();
}

}  // namespace hw::app
