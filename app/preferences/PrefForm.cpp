#include "app/preferences/PrefForm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "desktop/Autostart.h"
#include "desktop/ErrorBox.h"
#include "desktop/FormPlacement.h"
#include "app/preferences/NetworkPage.h"
#include "desktop/widgets/ColorComboBox.h"

namespace hw::app {

using desktop::TColorComboBox;
using desktop::TFilenameEdit;

namespace {

constexpr int kHelpContext = 4;

// Labels here have no buddy, so Qt would show their access-key marks literally:
// "&&" becomes "&" and a lone "&" is dropped.
QString LabelText(const QString& caption) {
  QString text;
  for (int i = 0; i < caption.size(); ++i) {
    if (caption[i] == QLatin1Char('&')) {
      if (i + 1 >= caption.size() || caption[i + 1] != QLatin1Char('&')) continue;
      ++i;
    }
    text += caption[i];
  }
  return text;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption) {
  auto* label = new QLabel(LabelText(QCoreApplication::translate("hw::app::TfrmPref", caption)), parent);
  label->setObjectName(name);
  return label;
}

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

// A group box whose controls stack from top to bottom.
QVBoxLayout* Stack(QGroupBox* group) {
  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(8, 2, 8, 6);
  layout->setSpacing(2);
  return layout;
}

}  // namespace

TfrmPref::TfrmPref(QWidget* parent, TPrefOptions options)
    : QDialog(parent),
      settingsPath_(options.SettingsPath.empty() ? SettingsFilePath() : options.SettingsPath),
      showError_(std::move(options.ShowError)) {
  setObjectName("frmPref");
  setWindowTitle(tr("Preferences"));
  setProperty("HelpContext", kHelpContext);
  setSizeGripEnabled(false);
  // Where the classic face is missing, a face of Arial's metrics keeps the dialog near
  // its designed size.
  QFont font;
  font.setFamilies({"MS Sans Serif", "Arial", "Liberation Sans", "Nimbus Sans", "Helvetica"});
  font.setPixelSize(11);
  setFont(font);
  move(192, 107);

  BuildControls();
  // The design's 385 by 339, or more where the captions in the user's font need it.
  resize(minimumSizeHint().expandedTo(QSize(385, 339)));
  SetTabOrder();
  DescribeControls();
  iconizedSoundEdit_->SetOpenFileDialog(options.OpenFileDialog);
  incomingSoundEdit_->SetOpenFileDialog(options.OpenFileDialog);

  placement_ = new TFormPlacement(this);
  placement_->SetIniFileName("hwire.ini");
  placement_->SetIniSection("PrefForm");
  placement_->SetOnError([this](const std::exception& error) { ShowError(error.what()); });

  LoadAutostart();
  Run([this] { ReadSettings(); });
}

TfrmPref::~TfrmPref() {
  // The placement store saves as it goes and reports through this dialog, so it must
  // go while the dialog is still whole rather than with the other children.
  delete placement_;
  placement_ = nullptr;
}

void TfrmPref::BuildControls() {
  // Layouts rather than the design's fixed places: every caption gets the room its
  // font needs, at any scale, and no control overlaps a group's frame.
  auto* entryGroup = Named(new QGroupBox(tr("Entry Window Settings"), this), "grpEWsettings");
  QVBoxLayout* entry = Stack(entryGroup);
  entry->addWidget(MakeLabel(entryGroup, "Label1", QT_TR_NOOP("Forground")));
  entry->addWidget(entryForegroundCombo_ = Named(new TColorComboBox(entryGroup), "ccEWforgrnd"));
  entry->addSpacing(4);
  entry->addWidget(MakeLabel(entryGroup, "Label2", QT_TR_NOOP("Background")));
  entry->addWidget(entryBackgroundCombo_ = Named(new TColorComboBox(entryGroup), "ccEWBckgrnd"));

  auto* chatGroup = Named(new QGroupBox(tr("Chat Window Settings"), this), "grpCWsettings");
  QVBoxLayout* chat = Stack(chatGroup);
  chat->addWidget(MakeLabel(chatGroup, "Label3", QT_TR_NOOP("Foreground")));
  chat->addWidget(chatForegroundCombo_ = Named(new TColorComboBox(chatGroup), "ccCWforgrnd"));
  chat->addSpacing(4);
  chat->addWidget(MakeLabel(chatGroup, "Label4", QT_TR_NOOP("Background")));
  chat->addWidget(chatBackgroundCombo_ = Named(new TColorComboBox(chatGroup), "ccCWbckgrnd"));

  copyToChatButton_ = Named(new QPushButton(">>", this), "btnLeftRight");
  copyToChatButton_->setToolTip(tr("Copy settings to Chat Window"));
  copyToEntryButton_ = Named(new QPushButton("<<", this), "btnRightLeft");
  copyToEntryButton_->setToolTip(tr("Copy settings to Entry Window"));
  auto* copyButtons = new QVBoxLayout;
  copyButtons->addStretch();
  for (QPushButton* button : {copyToChatButton_, copyToEntryButton_}) {
    // Square, as wide as its arrows need.
    const int side = qMax(25, button->sizeHint().height());
    button->setFixedSize(qMax(side, button->fontMetrics().horizontalAdvance(button->text()) + 10), side);
    copyButtons->addWidget(button);
  }
  copyButtons->addStretch();

  auto* startupGroup = Named(new QGroupBox(tr("Startup Options"), this), "grpStartup");
  QVBoxLayout* startup = Stack(startupGroup);
  startup->addWidget(autostartBox_ = Named(new QCheckBox(tr("Startup with Windows"), startupGroup), "ckAutoStart"));
  startup->addWidget(nextLogonBox_ = Named(new QCheckBox(tr("Start on next logon"), startupGroup), "ckLogon"));

  auto* soundFilesGroup = Named(new QGroupBox(tr("Sound Files"), this), "grpSoundFiles");
  QVBoxLayout* soundFiles = Stack(soundFilesGroup);
  soundFiles->addWidget(MakeLabel(soundFilesGroup, "Label5", QT_TR_NOOP("Incoming && Iconized")));
  soundFiles->addWidget(iconizedSoundEdit_ = Named(new TFilenameEdit(soundFilesGroup), "IconIncoming"));
  iconizedSoundEdit_->SetFilter(tr("Wave Files").toStdString() + "|*.wav");
  iconizedSoundEdit_->SetDialogTitle(tr("Select sound for all Iconized ...").toStdString());
  soundFiles->addWidget(MakeLabel(soundFilesGroup, "Label6", QT_TR_NOOP("All Incoming")));
  soundFiles->addWidget(incomingSoundEdit_ = Named(new TFilenameEdit(soundFilesGroup), "Allincoming"));
  incomingSoundEdit_->SetFilter(tr("Wave Files").toStdString() + "|*.wav");
  incomingSoundEdit_->SetDialogTitle(tr("Select sound for all incoming...").toStdString());

  auto* soundGroup = Named(new QGroupBox(tr("Sound Options"), this), "grpSound");
  QVBoxLayout* sound = Stack(soundGroup);
  sound->addWidget(playSoundsBox_ = Named(new QCheckBox(tr("Play Sounds"), soundGroup), "ckPlaySounds"));
  sound->addWidget(iconizedOnlyBox_ = Named(new QCheckBox(tr("Only Incoming && Iconized"), soundGroup), "ckSoundOnly"));

  auto* notifyGroup = Named(new QGroupBox(tr("Message Notification"), this), "GroupBox1");
  QVBoxLayout* notify = Stack(notifyGroup);
  notify->addWidget(openWindowBox_ = Named(new QCheckBox(tr("Open Message Window"), notifyGroup), "ckNotify"));

  auto* keyboardGroup = Named(new QGroupBox(tr("Keyboard Options"), this), "GroupBox2");
  QVBoxLayout* keyboard = Stack(keyboardGroup);
  useEnterBox_ = Named(new QCheckBox(tr("Use EnterKey instead of Alt-S or Clicking button to send Message"), keyboardGroup),
                       "ckUseEnter");
  keyboard->addWidget(useEnterBox_);

  defaultsButton_ = Named(new QPushButton(tr("D&efaults"), this), "btnDefault");
  defaultsButton_->setToolTip(tr("Restore Default Settings"));
  networkButton_ = Named(new QPushButton(tr("&Network..."), this), "btnNetwork");
  networkButton_->setToolTip(tr("WINS servers and remote subnets"));
  okButton_ = Named(new QPushButton(tr("&OK"), this), "btnOK");
  cancelButton_ = Named(new QPushButton(tr("&Cancel"), this), "btnCancel");
  applyButton_ = Named(new QPushButton(tr("&Apply"), this), "btnApply");

  auto* colours = new QHBoxLayout;
  colours->addWidget(entryGroup, 1);
  colours->addLayout(copyButtons);
  colours->addWidget(chatGroup, 1);
  auto* left = new QVBoxLayout;
  left->addWidget(startupGroup);
  left->addWidget(soundGroup);
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(soundFilesGroup);
  right->addWidget(notifyGroup);
  right->addStretch();
  auto* options = new QHBoxLayout;
  options->addLayout(left);
  options->addLayout(right, 1);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {defaultsButton_, networkButton_}) buttons->addWidget(button);
  buttons->addStretch();
  for (QPushButton* button : {okButton_, cancelButton_, applyButton_}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 6, 8, 6);
  layout->setSpacing(4);
  layout->addLayout(colours);
  layout->addLayout(options);
  layout->addWidget(keyboardGroup);
  layout->addStretch();
  layout->addLayout(buttons);

  // Design values.
  entryForegroundCombo_->SetColorValue(clBlack);
  entryBackgroundCombo_->SetColorValue(clWhite);
  chatForegroundCombo_->SetColorValue(clLime);
  chatBackgroundCombo_->SetColorValue(clBlack);

  // Enter presses the focused push button, else Cancel.
  for (QPushButton* button :
       {copyToChatButton_, copyToEntryButton_, defaultsButton_, networkButton_, okButton_, cancelButton_, applyButton_})
    button->setAutoDefault(true);
  cancelButton_->setDefault(true);

  connect(okButton_, &QPushButton::clicked, this, [this] { OkClick(); });
  connect(applyButton_, &QPushButton::clicked, this, [this] { OkClick(); });
  connect(cancelButton_, &QPushButton::clicked, this, [this] { reject(); });
  connect(copyToChatButton_, &QPushButton::clicked, this, [this] { Run([this] { CopyToChatClick(); }); });
  connect(copyToEntryButton_, &QPushButton::clicked, this, [this] { Run([this] { CopyToEntryClick(); }); });
  connect(defaultsButton_, &QPushButton::clicked, this, [this] { Run([this] { DefaultsClick(); }); });
  connect(networkButton_, &QPushButton::clicked, this, [this] { Run([this] { NetworkClick(); }); });
  // toggled fires for changes made by the program too, as the registry must follow both.
  connect(autostartBox_, &QCheckBox::toggled, this, [this] { Run([this] { AutostartClick(); }); });
  connect(nextLogonBox_, &QCheckBox::toggled, this, [this] { Run([this] { NextLogonClick(); }); });
}

void TfrmPref::SetTabOrder() {
  // Top level: OK, Cancel, Apply, start-up group, entry group, chat group, the copy
  // buttons, Defaults, sound files (each with its browse button), sound options,
  // notification, keyboard, Network.
  QWidget* const chain[] = {okButton_,
                            cancelButton_,
                            applyButton_,
                            autostartBox_,
                            nextLogonBox_,
                            entryForegroundCombo_,
                            entryBackgroundCombo_,
                            chatForegroundCombo_,
                            chatBackgroundCombo_,
                            copyToChatButton_,
                            copyToEntryButton_,
                            defaultsButton_,
                            iconizedSoundEdit_->Edit(),
                            iconizedSoundEdit_->Button(),
                            incomingSoundEdit_->Edit(),
                            incomingSoundEdit_->Button(),
                            playSoundsBox_,
                            iconizedOnlyBox_,
                            openWindowBox_,
                            useEnterBox_,
                            networkButton_};
  for (size_t i = 0; i + 1 < std::size(chain); ++i) setTabOrder(chain[i], chain[i + 1]);
  okButton_->setFocus();
}

void TfrmPref::DescribeControls() {
  // Controls with a caption are named by it; the others get a name here. The colour
  // lists would otherwise be read by their value alone.
  const struct {
    QWidget* control;
    QString name;  // empty: the caption
    QString description;
  } controls[] = {
      {this, QString(), tr("Colours of the message boxes, sounds, notification and keyboard options")},
      {entryForegroundCombo_, tr("Entry window text colour"), tr("The colour of the text in the entry box")},
      {entryBackgroundCombo_, tr("Entry window background colour"), tr("The colour behind the text in the entry box")},
      {chatForegroundCombo_, tr("Chat window text colour"), tr("The colour of the text in the chat box")},
      {chatBackgroundCombo_, tr("Chat window background colour"), tr("The colour behind the text in the chat box")},
      {copyToChatButton_, tr("Copy to chat window"), tr("Gives the chat box the entry box's colours")},
      {copyToEntryButton_, tr("Copy to entry window"), tr("Gives the entry box the chat box's colours")},
      {autostartBox_, QString(), tr("Starts Hallwire whenever you log in")},
      {nextLogonBox_, QString(), tr("Starts Hallwire once, at your next login")},
      {iconizedSoundEdit_->Edit(), tr("Incoming and iconized sound file"),
       tr("The wave file played when a message arrives while the window is hidden")},
      {iconizedSoundEdit_->Button(), tr("Browse for the incoming and iconized sound"),
       tr("Opens a file dialog to choose the wave file (Alt+Down in the field does the same)")},
      {incomingSoundEdit_->Edit(), tr("All incoming sound file"),
       tr("The wave file played when a message arrives while the window is shown, and at start")},
      {incomingSoundEdit_->Button(), tr("Browse for the all incoming sound"),
       tr("Opens a file dialog to choose the wave file (Alt+Down in the field does the same)")},
      {playSoundsBox_, QString(), tr("Plays a sound when a message arrives")},
      {iconizedOnlyBox_, QString(), tr("Plays the sound only for messages that arrive while the window is hidden")},
      {openWindowBox_, QString(), tr("Opens the window when a message arrives while it is hidden")},
      {useEnterBox_, QString(), tr("Enter sends the message; without it Enter starts a new line")},
      {defaultsButton_, QString(), tr("Puts the colours, sound files and options back to their first values")},
      {networkButton_, QString(), tr("Opens the page of WINS servers and remote subnets")},
      {okButton_, QString(), tr("Saves the settings and closes the dialog")},
      {cancelButton_, QString(), tr("Closes the dialog without saving")},
      {applyButton_, QString(), tr("Saves the settings and closes the dialog")},
  };
  for (const auto& entry : controls) {
    if (!entry.name.isEmpty()) entry.control->setAccessibleName(entry.name);
    entry.control->setAccessibleDescription(entry.description);
  }
}

void TfrmPref::LoadAutostart() {
  autostart_ = std::make_unique<TSunfieldAutostart>("Hallwire");
  // Every stored property is applied even when an earlier one fails, so a broken
  // registration never keeps the dialog from being created.
  Run([this] { autostart_->LoadStored("Quillo 4#Autostart", true, false, false); });
}

void TfrmPref::ReadSettings() { ReadPreferences(*this, settingsPath_); }

void TfrmPref::ReadAutoStart() {
  // A registration that cannot be read is reported and left clear; the rest of the
  // settings are still read.
  Run([this] { autostartBox_->setChecked(autostart_->autostart()); });
}

void TfrmPref::OkClick() {
  // The result comes first: a failed write is shown and the dialog still closes with OK.
  setResult(QDialog::Accepted);
  Run([this] { WritePreferences(*this, settingsPath_); });
  done(QDialog::Accepted);
}

void TfrmPref::CopyToChatClick() {
  chatForegroundCombo_->SetColorValue(entryForegroundCombo_->ColorValue());
  chatBackgroundCombo_->SetColorValue(entryBackgroundCombo_->ColorValue());
}

void TfrmPref::CopyToEntryClick() {
  entryForegroundCombo_->SetColorValue(chatForegroundCombo_->ColorValue());
  entryBackgroundCombo_->SetColorValue(chatBackgroundCombo_->ColorValue());
}

void TfrmPref::DefaultsClick() {
  entryForegroundCombo_->SetColorValue(clBlack);
  entryBackgroundCombo_->SetColorValue(clWhite);
  chatForegroundCombo_->SetColorValue(clLime);
  chatBackgroundCombo_->SetColorValue(clBlack);
  iconizedSoundEdit_->SetText("");
  incomingSoundEdit_->SetText("");
  playSoundsBox_->setChecked(false);
  iconizedOnlyBox_->setChecked(false);
  openWindowBox_->setChecked(false);
  useEnterBox_->setChecked(false);
}

void TfrmPref::AutostartClick() { autostart_->Setautostart(autostartBox_->isChecked()); }

void TfrmPref::NetworkClick() {
  TNetworkPage page(this, settingsPath_, [this](const std::string& text) { ShowError(text); });
  page.exec();
}

void TfrmPref::NextLogonClick() { autostart_->SetStartNextLogon(nextLogonBox_->isChecked()); }

TColor TfrmPref::EntryForeground() const { return entryForegroundCombo_->ColorValue(); }
void TfrmPref::SetEntryForeground(TColor color) { entryForegroundCombo_->SetColorValue(color); }
TColor TfrmPref::EntryBackground() const { return entryBackgroundCombo_->ColorValue(); }
void TfrmPref::SetEntryBackground(TColor color) { entryBackgroundCombo_->SetColorValue(color); }
TColor TfrmPref::ChatForeground() const { return chatForegroundCombo_->ColorValue(); }
void TfrmPref::SetChatForeground(TColor color) { chatForegroundCombo_->SetColorValue(color); }
TColor TfrmPref::ChatBackground() const { return chatBackgroundCombo_->ColorValue(); }
void TfrmPref::SetChatBackground(TColor color) { chatBackgroundCombo_->SetColorValue(color); }
bool TfrmPref::PlaySoundsChecked() const { return playSoundsBox_->isChecked(); }
void TfrmPref::SetPlaySoundsChecked(bool checked) { playSoundsBox_->setChecked(checked); }
bool TfrmPref::SoundOnlyChecked() const { return iconizedOnlyBox_->isChecked(); }
void TfrmPref::SetSoundOnlyChecked(bool checked) { iconizedOnlyBox_->setChecked(checked); }
bool TfrmPref::NotifyChecked() const { return openWindowBox_->isChecked(); }
void TfrmPref::SetNotifyChecked(bool checked) { openWindowBox_->setChecked(checked); }
bool TfrmPref::UseEnterChecked() const { return useEnterBox_->isChecked(); }
void TfrmPref::SetUseEnterChecked(bool checked) { useEnterBox_->setChecked(checked); }

void TfrmPref::keyPressEvent(QKeyEvent* event) {
  // No button answers Escape: the key does nothing here.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TfrmPref::ShowError(const std::string& text) {
  if (showError_)
    showError_(text);
  else
    ShowStandardError(this, text);
}

void TfrmPref::Run(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowError(error.what());
  }
}

}  // namespace hw::app
