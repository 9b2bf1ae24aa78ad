#include "settings/dialog/PrefForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "desktop/Autostart.h"
#include "desktop/FormPlacement.h"

namespace hw {

namespace {

constexpr int kHelpContext = 4;
const char kWaveFilter[] = "Wave Files|*.wav";

// Labels here have no buddy, so Qt would show their access-key marks literally:
// "&&" becomes "&" and a lone "&" is dropped.
QString LabelText(const char* caption) {
  QString text;
  for (const char* p = caption; *p; ++p) {
    if (*p == '&') {
      if (p[1] != '&') continue;
      ++p;
    }
    text += QLatin1Char(*p);
  }
  return text;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, int left, int top) {
  auto* label = new QLabel(LabelText(caption), parent);
  label->setObjectName(name);
  label->move(left, top);
  label->adjustSize();
  return label;
}

template <typename T>
T* Place(T* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(name);
  widget->setGeometry(left, top, width, height);
  return widget;
}

}  // namespace

TfrmPref::TfrmPref(QWidget* parent, TPrefOptions options)
    : QDialog(parent),
      settingsPath_(options.SettingsPath.empty() ? SettingsFilePath() : options.SettingsPath),
      showError_(std::move(options.ShowError)) {
  setObjectName("frmPref");
  setWindowTitle("Preferences");
  setProperty("HelpContext", kHelpContext);
  setSizeGripEnabled(false);
  // Where the classic face is missing, a face of Arial's metrics keeps the captions
  // inside their designed widths.
  QFont font;
  font.setFamilies({"MS Sans Serif", "Arial", "Liberation Sans", "Nimbus Sans", "Helvetica"});
  font.setPixelSize(11);
  setFont(font);
  // 393 by 366 outside a classic sizeable frame (4-pixel borders, 19-pixel caption).
  move(192, 107);
  resize(385, 339);

  BuildControls();
  SetTabOrder();
  IconIncoming->SetOpenFileDialog(options.OpenFileDialog);
  Allincoming->SetOpenFileDialog(options.OpenFileDialog);

  placement_ = new TFormPlacement(this);
  placement_->SetIniFileName("hwire.ini");
  placement_->SetIniSection("PrefForm");
  placement_->SetOnError([this](const std::exception& error) { ShowError(error.what()); });

  LoadAutostart();
  Run([this] { FormCreate(); });
}

TfrmPref::~TfrmPref() {
  // The placement store saves as it goes and reports through this dialog, so it must
  // go while the dialog is still whole rather than with the other children.
  delete placement_;
  placement_ = nullptr;
}

void TfrmPref::BuildControls() {
  grpEWsettings = Place(new QGroupBox("Entry Window Settings", this), "grpEWsettings", 8, 0, 169, 121);
  Label1 = MakeLabel(grpEWsettings, "Label1", "Forground", 8, 16);
  ccEWforgrnd = Place(new TColorComboBox(grpEWsettings), "ccEWforgrnd", 8, 32, 145, 22);
  Label2 = MakeLabel(grpEWsettings, "Label2", "Background", 8, 72);
  ccEWBckgrnd = Place(new TColorComboBox(grpEWsettings), "ccEWBckgrnd", 8, 88, 145, 22);

  grpCWsettings = Place(new QGroupBox("Chat Window Settings", this), "grpCWsettings", 216, 0, 161, 121);
  Label3 = MakeLabel(grpCWsettings, "Label3", "Foreground", 8, 16);
  ccCWforgrnd = Place(new TColorComboBox(grpCWsettings), "ccCWforgrnd", 8, 32, 145, 22);
  Label4 = MakeLabel(grpCWsettings, "Label4", "Background", 8, 72);
  ccCWbckgrnd = Place(new TColorComboBox(grpCWsettings), "ccCWbckgrnd", 8, 88, 145, 22);

  btnLeftRight = Place(new QPushButton(">>", this), "btnLeftRight", 184, 32, 25, 25);
  btnLeftRight->setToolTip("Copy settings to Chat Window");
  btnRightLeft = Place(new QPushButton("<<", this), "btnRightLeft", 184, 72, 25, 25);
  btnRightLeft->setToolTip("Copy settings to Entry Window");

  grpStartup = Place(new QGroupBox("Startup Options", this), "grpStartup", 8, 128, 153, 65);
  ckAutoStart = Place(new QCheckBox("Startup with Windows", grpStartup), "ckAutoStart", 8, 16, 129, 17);
  ckLogon = Place(new QCheckBox("Start on next logon", grpStartup), "ckLogon", 8, 40, 129, 17);

  grpSoundFiles = Place(new QGroupBox("Sound Files", this), "grpSoundFiles", 164, 128, 213, 97);
  Label5 = MakeLabel(grpSoundFiles, "Label5", "Incoming && Iconized", 8, 12);
  IconIncoming = Place(new TFilenameEdit(grpSoundFiles), "IconIncoming", 12, 28, 193, 21);
  IconIncoming->SetFilter(kWaveFilter);
  IconIncoming->SetDialogTitle("Select sound for all Iconized ...");
  Label6 = MakeLabel(grpSoundFiles, "Label6", "All Incoming", 8, 52);
  Allincoming = Place(new TFilenameEdit(grpSoundFiles), "Allincoming", 8, 68, 193, 21);
  Allincoming->SetFilter(kWaveFilter);
  Allincoming->SetDialogTitle("Select sound for all incoming...");

  grpSound = Place(new QGroupBox("Sound Options", this), "grpSound", 8, 200, 153, 69);
  ckPlaySounds = Place(new QCheckBox("Play Sounds", grpSound), "ckPlaySounds", 8, 20, 97, 17);
  ckSoundOnly = Place(new QCheckBox("Only Incoming && Iconized", grpSound), "ckSoundOnly", 8, 44, 141, 17);

  GroupBox1 = Place(new QGroupBox("Message Notification", this), "GroupBox1", 164, 228, 213, 41);
  ckNotify = Place(new QCheckBox("Open Message Window", GroupBox1), "ckNotify", 8, 16, 141, 17);

  GroupBox2 = Place(new QGroupBox("Keyboard Options", this), "GroupBox2", 8, 272, 369, 33);
  ckUseEnter = Place(new QCheckBox("Use EnterKey instead of Alt-S or Clicking button to send Message", GroupBox2),
                     "ckUseEnter", 20, 12, 333, 17);

  btnDefault = Place(new QPushButton("D&efaults", this), "btnDefault", 8, 312, 75, 25);
  btnDefault->setToolTip("Restore Default Settings");
  btnOK = Place(new QPushButton("&OK", this), "btnOK", 168, 312, 67, 25);
  btnCancel = Place(new QPushButton("&Cancel", this), "btnCancel", 240, 312, 67, 25);
  btnApply = Place(new QPushButton("&Apply", this), "btnApply", 316, 312, 67, 25);

  // Design values.
  ccEWforgrnd->SetColorValue(clBlack);
  ccEWBckgrnd->SetColorValue(clWhite);
  ccCWforgrnd->SetColorValue(clLime);
  ccCWbckgrnd->SetColorValue(clBlack);

  // Enter presses the focused push button, else Cancel.
  for (QPushButton* button : {btnLeftRight, btnRightLeft, btnDefault, btnOK, btnCancel, btnApply})
    button->setAutoDefault(true);
  btnCancel->setDefault(true);

  connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
  connect(btnApply, &QPushButton::clicked, this, [this] { btnOKClick(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });
  connect(btnLeftRight, &QPushButton::clicked, this, [this] { Run([this] { btnLeftRightClick(); }); });
  connect(btnRightLeft, &QPushButton::clicked, this, [this] { Run([this] { btnRightLeftClick(); }); });
  connect(btnDefault, &QPushButton::clicked, this, [this] { Run([this] { btnDefaultClick(); }); });
  // toggled fires for changes made by the program too, as the registry must follow both.
  connect(ckAutoStart, &QCheckBox::toggled, this, [this] { Run([this] { ckAutoStartClick(); }); });
  connect(ckLogon, &QCheckBox::toggled, this, [this] { Run([this] { ckLogonClick(); }); });
}

void TfrmPref::SetTabOrder() {
  // Top level: OK, Cancel, Apply, start-up group, entry group, chat group, the copy
  // buttons, Defaults, sound files, sound options, notification, keyboard.
  QWidget* const chain[] = {btnOK,        btnCancel,    btnApply,    ckAutoStart,  ckLogon,     ccEWforgrnd,
                            ccEWBckgrnd,  ccCWforgrnd,  ccCWbckgrnd, btnLeftRight, btnRightLeft, btnDefault,
                            IconIncoming, Allincoming, ckPlaySounds, ckSoundOnly, ckNotify,     ckUseEnter};
  for (size_t i = 0; i + 1 < std::size(chain); ++i) setTabOrder(chain[i], chain[i + 1]);
  btnOK->setFocus();
}

void TfrmPref::LoadAutostart() {
  autostart_ = std::make_unique<TSunfieldAutostart>("Hallwire");
  // Every stored property is applied even when an earlier one fails, so a broken
  // registration never keeps the dialog from being created.
  Run([this] { autostart_->LoadStored("Quillo 4#Autostart", true, false, false); });
}

void TfrmPref::FormCreate() { ReadPreferences(*this, settingsPath_); }

void TfrmPref::ReadAutoStart() {
  // A registration that cannot be read is reported and left clear; the rest of the
  // settings are still read.
  Run([this] { ckAutoStart->setChecked(autostart_->autostart()); });
}

void TfrmPref::btnOKClick() {
  // The result comes first: a failed write is shown and the dialog still closes with OK.
  setResult(QDialog::Accepted);
  Run([this] { WritePreferences(*this, settingsPath_); });
  done(QDialog::Accepted);
}

void TfrmPref::btnLeftRightClick() {
  ccCWforgrnd->SetColorValue(ccEWforgrnd->ColorValue());
  ccCWbckgrnd->SetColorValue(ccEWBckgrnd->ColorValue());
}

void TfrmPref::btnRightLeftClick() {
  ccEWforgrnd->SetColorValue(ccCWforgrnd->ColorValue());
  ccEWBckgrnd->SetColorValue(ccCWbckgrnd->ColorValue());
}

void TfrmPref::btnDefaultClick() {
  ccEWforgrnd->SetColorValue(clBlack);
  ccEWBckgrnd->SetColorValue(clWhite);
  ccCWforgrnd->SetColorValue(clLime);
  ccCWbckgrnd->SetColorValue(clBlack);
  IconIncoming->SetText("");
  Allincoming->SetText("");
  ckPlaySounds->setChecked(false);
  ckSoundOnly->setChecked(false);
  ckNotify->setChecked(false);
  ckUseEnter->setChecked(false);
}

void TfrmPref::ckAutoStartClick() { autostart_->Setautostart(ckAutoStart->isChecked()); }

void TfrmPref::ckLogonClick() { autostart_->SetStartNextLogon(ckLogon->isChecked()); }

bool TfrmPref::PlaySoundsChecked() const { return ckPlaySounds->isChecked(); }
void TfrmPref::SetPlaySoundsChecked(bool checked) { ckPlaySounds->setChecked(checked); }
bool TfrmPref::SoundOnlyChecked() const { return ckSoundOnly->isChecked(); }
void TfrmPref::SetSoundOnlyChecked(bool checked) { ckSoundOnly->setChecked(checked); }
bool TfrmPref::NotifyChecked() const { return ckNotify->isChecked(); }
void TfrmPref::SetNotifyChecked(bool checked) { ckNotify->setChecked(checked); }
bool TfrmPref::UseEnterChecked() const { return ckUseEnter->isChecked(); }
void TfrmPref::SetUseEnterChecked(bool checked) { ckUseEnter->setChecked(checked); }

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

}  // namespace hw
