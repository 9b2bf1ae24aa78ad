#include "app/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstring>

#include "app/ChatText.h"
#include "app/Help.h"
#include "app/MessageFile.h"
#include "app/Pictures.h"
#include "platform/Kernel32.h"
#include "transport/ChatLine.h"

namespace hw {
namespace {

constexpr int kCaptionHeight = 18;
constexpr int kClientWidth = 383;
constexpr int kToolbarHeight = 46;
constexpr int kBandHeight = 123;
constexpr int kChatHeight = 113;
constexpr int kSplitterWidth = 3;
constexpr int kStatusHeight = 21;
constexpr int kTreeWidth = 143;
constexpr int kMemoWidth = 237;

const char* const kMessageFilter = "Hallwire Files|*.hwm|Text Files|*.txt";
const char* const kNoRecipient = "None";

std::string Bytes(const QString& text) { return text.toUtf8().toStdString(); }

QColor ToQColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

void SetBoxColor(QPlainTextEdit& box, QPalette::ColorRole role, TColor color) {
  QPalette palette = box.palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    palette.setColor(group, role, ToQColor(color));
  box.setPalette(palette);
}

// Blanks and control characters removed at both ends.
std::string Trim(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

// The flat toolbar's look: the picture grey until the pointer is on the button.
QIcon ToolbarIcon(int index) {
  const QPixmap colour = pictures::ToolbarImage(index);
  QImage grey = colour.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < grey.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
    for (int x = 0; x < grey.width(); ++x) {
      const int g = qGray(line[x]);
      line[x] = qRgba(g, g, g, qAlpha(line[x]));
    }
  }
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(grey), QIcon::Normal);
  icon.addPixmap(colour, QIcon::Active);
  return icon;
}

std::string SystemName(win32::BOOL (*call)(win32::LPSTR, win32::LPDWORD)) {
  char buffer[256] = {};
  win32::DWORD size = sizeof buffer;
  call(buffer, &size);  // a failed call leaves the buffer empty: an empty name
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

}  // namespace

// --- caption strip -------------------------------------------------------------

TGradientCaption::TGradientCaption(QWidget* parent) : QWidget(parent) { setFixedHeight(kCaptionHeight); }

void TGradientCaption::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient gradient(0, 0, width(), 0);
  const bool active = window()->isActiveWindow();
  gradient.setColorAt(0, active ? QColor(0, 0, 128) : QColor(128, 128, 128));
  gradient.setColorAt(1, active ? QColor(16, 132, 208) : QColor(192, 192, 192));
  painter.fillRect(rect(), gradient);
  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(Qt::white);
  painter.drawText(rect().adjusted(6, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, window()->windowTitle());
}

void TGradientCaption::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && menu_) {
    menu_->popup(event->globalPosition().toPoint());
    return;
  }
  QWidget::mousePressEvent(event);
}

// --- construction --------------------------------------------------------------

TmainForm::TmainForm(TMainFormParts parts, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      parts_(std::move(parts)),
      chat_capacity_(kChatCapacity) {
  if (!parts_.Dialogs) parts_.Dialogs = std::make_unique<TQtUserDialogs>(this);
  if (!parts_.Keys) parts_.Keys = std::make_unique<TKeyState>();
  if (!parts_.Terminate) parts_.Terminate = [] { QCoreApplication::exit(0); };
  if (!parts_.OpenHelp) parts_.OpenHelp = [](int context) { OpenHelpTopic(context); };
  if (parts_.SettingsPath.empty()) parts_.SettingsPath = SettingsFilePath();

  setObjectName("mainForm");
  setWindowTitle(kApplicationTitle);
  setWindowIcon(pictures::ProgramIcon());
  setProperty(kHelpContextProperty, kMainWindowHelpContext);
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);

  BuildMenus();
  BuildToolbar();
  BuildControls();

  // Errors while receiving come as often as messages do: one box at a time, so that
  // reception goes on while it is open and a storm of them never piles boxes up.
  receive_errors_ = std::make_unique<TErrorBoxGate>([this](const std::string& text) { Dialogs().ShowError(text); });
  parts_.Terminal->SetOnNewMessage([this](std::uint32_t sender_id, std::uint16_t msg_size) {
    try {
      msTerminalNewMessage(sender_id, msg_size);
    } catch (const std::exception& error) {
      receive_errors_->Report(error.what());
    }
  });
  parts_.Terminal->SetOnError([this](const std::exception& error) { receive_errors_->Report(error.what()); });
  parts_.Tray->SetPopupMenu(TrayPopupMenu);
  parts_.Tray->SetOnDblClick([this] { Run(&TmainForm::TrayIconDblClick); });

  CentreOnScreen();
  if (parts_.MakePlacement) placement_ = parts_.MakePlacement(*this);
  auto filter = std::make_unique<THelpKeyFilter>([this](int context) { parts_.OpenHelp(context); });
  qApp->installEventFilter(filter.get());
  help_filter_ = std::move(filter);

  Run(&TmainForm::FormCreate);
}

TmainForm::~TmainForm() {
  // The terminal goes first: no message may arrive at a half-destroyed window.
  parts_.Terminal.reset();
  receive_errors_.reset();
  placement_.reset();
  help_filter_.reset();
  // The controls go while the window is still whole: their last events pass through
  // this window's filters and slots.
  Memo->removeEventFilter(this);
  cbNameList->viewport()->removeEventFilter(this);
  disconnect(qApp, nullptr, this, nullptr);
  if (QClipboard* clipboard = QGuiApplication::clipboard()) disconnect(clipboard, nullptr, this, nullptr);
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

void TmainForm::BuildMenus() {
  MainMenu1 = new QMenuBar(this);
  QMenu* file = MainMenu1->addMenu("&File");
  Preferences1 = file->addAction("&Preferences");
  LoadMessage1 = file->addAction("&Load Messages");
  SMsg = file->addAction("&Save Messages");
  file->addSeparator();
  Exit2 = file->addAction("E&xit");
  QMenu* edit = MainMenu1->addMenu("&Edit");
  CutAction = edit->addAction("Cu&t");
  CutAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
  CutAction->setToolTip("Cut");
  CopyAction = edit->addAction("&Copy");
  CopyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  CopyAction->setToolTip("Copy");
  PasteAction = edit->addAction("&Paste");
  PasteAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
  PasteAction->setToolTip("Paste");
  QMenu* help = MainMenu1->addMenu("&Help");
  Contents1 = help->addAction("&Contents");
  SearchforHelpOn1 = help->addAction("&Search for Help On...");
  HowtoUseHelp1 = help->addAction("&How to Use Help");
  help->addSeparator();
  About1 = help->addAction("&About...");
  connect(edit, &QMenu::aboutToShow, this, &TmainForm::UpdateActions);

  connect(Preferences1, &QAction::triggered, this, [this] { Run(&TmainForm::Preferences1Click); });
  connect(LoadMessage1, &QAction::triggered, this, [this] { Run(&TmainForm::LoadMessage1Click); });
  connect(SMsg, &QAction::triggered, this, [this] { Run(&TmainForm::SMsgClick); });
  connect(Exit2, &QAction::triggered, this, [this] { Run(&TmainForm::Exit2Click); });
  connect(Contents1, &QAction::triggered, this, [this] { Run(&TmainForm::Contents1Click); });
  connect(About1, &QAction::triggered, this, [this] { Run(&TmainForm::About1Click); });
  connect(CutAction, &QAction::triggered, this, [this] {
    if (QPlainTextEdit* box = FocusedTextBox()) box->cut();
  });
  connect(CopyAction, &QAction::triggered, this, [this] {
    if (QPlainTextEdit* box = FocusedTextBox()) box->copy();
  });
  connect(PasteAction, &QAction::triggered, this, [this] {
    if (QPlainTextEdit* box = FocusedTextBox()) box->paste();
  });

  TrayPopupMenu = new QMenu(this);
  View1 = TrayPopupMenu->addAction("&View Message");
  Exit1 = TrayPopupMenu->addAction("E&xit");
  connect(View1, &QAction::triggered, this, [this] { Run(&TmainForm::View1Click); });
  connect(Exit1, &QAction::triggered, this, [this] { Run(&TmainForm::Exit1Click); });
}

void TmainForm::BuildToolbar() {
  SpeedBar1 = new QWidget(this);
  SpeedBar1->setFixedHeight(kToolbarHeight);
  struct TButtonDesign {
    QToolButton** button;
    const char* caption;
    const char* hint;
    int image;
    void (TmainForm::*handler)();
  };
  const TButtonDesign buttons[] = {
      {&ToolButton2, "&Send", "Send Message", 0, &TmainForm::ToolButton2Click},
      {&tbsButton, "&Prefs", "Preferences", 1, &TmainForm::Preferences1Click},
      {&tbsButton2, "&Clear", "Clear ChatWindow", 2, &TmainForm::ToolButton5Click},
      {&spSound, "S&ound", "Sound", 3, &TmainForm::spSoundClick},
      {&SpeedItem1, "&Refresh", "Refresh Network List", 4, &TmainForm::SpeedItem1Click0},
  };
  int left = 3;
  for (const TButtonDesign& design : buttons) {
    auto* button = new QToolButton(SpeedBar1);
    button->setText(design.caption);
    button->setToolTip(design.hint);
    button->setStatusTip(QString());
    button->setIcon(ToolbarIcon(design.image));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(left, 3, 47, 40);
    const auto handler = design.handler;
    connect(button, &QToolButton::clicked, this, [this, handler] { Run(handler); });
    *design.button = button;
    left += 48;
  }
}

void TmainForm::BuildControls() {
  GradientCaption = new TGradientCaption(this);
  GradientCaption->SetPopupMenu(TrayPopupMenu);

  cbNameList = new QTreeWidget;
  ConfigureRecipientTree(*cbNameList);
  cbNameList->viewport()->installEventFilter(this);

  Memo = new QPlainTextEdit;
  Memo->setObjectName("Memo");
  Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo->setPlainText("\n");
  Memo->moveCursor(QTextCursor::Start);
  Memo->installEventFilter(this);

  ChatWindow = new QPlainTextEdit;
  ChatWindow->setObjectName("ChatWindow");
  ChatWindow->setReadOnly(true);
  ChatWindow->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ChatWindow->setPlainText("\n");
  chat_ = std::make_unique<TChatText>(*ChatWindow);
  SetBoxColor(*ChatWindow, QPalette::Base, clBlack);
  SetBoxColor(*ChatWindow, QPalette::Text, clWhite);

  Splitter1 = new QSplitter(Qt::Horizontal);
  Splitter1->setHandleWidth(kSplitterWidth);
  Splitter1->setChildrenCollapsible(false);
  Splitter1->addWidget(cbNameList);
  Splitter1->addWidget(Memo);
  Splitter1->setSizes({kTreeWidth, kMemoWidth});
  Splitter1->setStretchFactor(0, 1);

  Splitter2 = new QSplitter(Qt::Vertical);
  Splitter2->setHandleWidth(kSplitterWidth);
  Splitter2->setChildrenCollapsible(false);
  Splitter2->addWidget(Splitter1);
  Splitter2->addWidget(ChatWindow);
  Splitter2->setSizes({kBandHeight, kChatHeight});

  StatusBar = new TStatusBar;
  StatusBar->setFixedHeight(kStatusHeight);
  StatusBar->SetPanels({{200, QString(), false},
                        {30, "INS", true},
                        {35, "CAPS", true},
                        {30, "NUM", true},
                        {50, QString(), false}});
  StatusBar->SetOnDrawPanel([this](QPainter& canvas, int index, const QString& text, const QRect& rect) {
    StatusBarDrawPanel(canvas, index, text, rect);
  });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(GradientCaption);
  layout->addWidget(MainMenu1);
  layout->addWidget(SpeedBar1);
  layout->addWidget(Splitter2, 1);
  layout->addWidget(StatusBar);

  setTabOrder(Memo, ChatWindow);
  setTabOrder(ChatWindow, cbNameList);
  Memo->setFocus();

  const int height = kCaptionHeight + MainMenu1->sizeHint().height() + kToolbarHeight + kBandHeight +
                     kSplitterWidth + kChatHeight + kStatusHeight;
  setFixedSize(kClientWidth, height);

  connect(Memo, &QPlainTextEdit::copyAvailable, this, &TmainForm::UpdateActions);
  connect(ChatWindow, &QPlainTextEdit::copyAvailable, this, &TmainForm::UpdateActions);
  connect(qApp, &QApplication::focusChanged, this, &TmainForm::UpdateActions);
  if (QClipboard* clipboard = QGuiApplication::clipboard())
    connect(clipboard, &QClipboard::dataChanged, this, &TmainForm::UpdateActions);
  UpdateActions();
}

void TmainForm::CentreOnScreen() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
}

void TmainForm::Run(void (TmainForm::*handler)()) {
  RunHandler(Dialogs(), [this, handler] { (this->*handler)(); });
}

// --- creation ------------------------------------------------------------------

void TmainForm::FormCreate() {
  local_computer_name_ = CapitalizeWords(SystemName(win32::GetComputerNameA));
  selected_recipient_ = kNoRecipient;
  TrayIcon().SetAnimated(false);
  ApplySettings(*this, parts_.SettingsPath);
  if (play_sound_) PlaySoundFile(all_incoming_);
  const std::string user = SystemName(win32::GetUserNameA);
  StatusBar->SetPanelText(0, BoxString(local_computer_name_ + " / User (" + user + ")"));
  local_user_name_ = user;
  GetDomainList(cbNameList);
  cbNameList->expandAll();
}

void TmainForm::FormActivate() { StatusBar->update(); }

// --- settings ------------------------------------------------------------------

void TmainForm::SetMemoFontColor(TColor color) { SetBoxColor(*Memo, QPalette::Text, color); }
void TmainForm::SetMemoColor(TColor color) { SetBoxColor(*Memo, QPalette::Base, color); }
void TmainForm::SetChatWindowFontColor(TColor color) { SetBoxColor(*ChatWindow, QPalette::Text, color); }
void TmainForm::SetChatWindowColor(TColor color) { SetBoxColor(*ChatWindow, QPalette::Base, color); }

// --- text boxes ----------------------------------------------------------------

std::string TmainForm::ChatText() const { return chat_->Text(); }
void TmainForm::SetChatText(const std::string& text) { chat_->SetText(text); }
void TmainForm::AppendChatLine(const std::string& text) { chat_->AppendLine(text, chat_capacity_); }
std::string TmainForm::MemoText() const { return BoxText(*Memo); }
void TmainForm::SetMemoText(const std::string& text) { Memo->setPlainText(BoxString(text)); }

// --- showing, hiding, ending ---------------------------------------------------

void TmainForm::ShowWindow() {
  // A desktop without a tray minimises the window instead of hiding it.
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
}

void TmainForm::HideWindow() { hide(); }

void TmainForm::ShowWithoutTray() {
  if (!TrayIcon().Registered()) ShowWindow();
}

void TmainForm::TrayIconDblClick() {
  ShowWindow();
  TrayIcon().SetAnimated(false);
}

void TmainForm::View1Click() { ShowWindow(); }
void TmainForm::Exit1Click() { parts_.Terminate(); }
void TmainForm::Exit2Click() { parts_.Terminate(); }

void TmainForm::About1Click() {
  if (about_) about_->exec();
}

void TmainForm::Contents1Click() { parts_.OpenHelp(0); }

void TmainForm::Preferences1Click() {
  if (!preferences_) return;
  if (preferences_->exec() != QDialog::Accepted) return;
  TrayIcon().SetAnimated(false);
  ApplySettings(*this, parts_.SettingsPath);
}

void TmainForm::SystemCommand(unsigned command) {
  switch (command & 0xFFF0u) {
    case SC_MINIMIZE:
      // Without a tray entry a hidden window could not be brought back: minimise it.
      if (TrayIcon().Registered())
        HideWindow();
      else
        showMinimized();
      break;
    case SC_MAXIMIZE:
      break;
    case SC_CLOSE:
      if (Dialogs().Confirm("Are you sure you want to close Hallwire?")) parts_.Terminate();
      break;
    default:
      break;
  }
}

void TmainForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    const Qt::WindowStates state = windowState();
    // Minimising hides the window, maximising does nothing; only a window without a
    // tray entry to come back from really minimises.
    const bool hide = (state & Qt::WindowMinimized) && TrayIcon().Registered();
    if (hide || (state & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
      const Qt::WindowStates kept = hide ? Qt::WindowNoState : state & Qt::WindowMinimized;
      QTimer::singleShot(0, this, [this, hide, kept] {
        setWindowState(kept);
        if (hide) RunHandler(Dialogs(), [this] { SystemCommand(SC_MINIMIZE); });
      });
    }
  } else if (event->type() == QEvent::ActivationChange) {
    GradientCaption->update();
  }
  QWidget::changeEvent(event);
}

void TmainForm::closeEvent(QCloseEvent* event) {
  event->ignore();
  RunHandler(Dialogs(), [this] { SystemCommand(SC_CLOSE); });
}

bool TmainForm::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) Run(&TmainForm::FormActivate);
  return QWidget::event(event);
}

bool TmainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Memo && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    RunHandler(Dialogs(), [this, key] { MemoKeyDown(key->key(), key->modifiers()); });
    return false;
  }
  if (cbNameList && watched == cbNameList->viewport() && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    // The press has already moved the selection; the click reads it.
    Run(&TmainForm::cbNameListClick);
    return false;
  }
  return QWidget::eventFilter(watched, event);
}

// --- sending -------------------------------------------------------------------

void TmainForm::ToolButton2Click() {
  QTreeWidgetItem* node = SelectedNode(*cbNameList);
  if (selected_recipient_ == kNoRecipient || !node) {
    Dialogs().ShowNotice("You must first select a recipient");
    return;
  }
  const bool root = node == cbNameList->topLevelItem(0);
  msTerminal().SetReceiver(root ? TReceiverType::rcPrimaryDomain : TReceiverType::rcDomainOrComputer);
  msTerminal().SetReceiverName(Bytes(node->text(0)));
  const std::string line = BuildChatLine(local_computer_name_, local_user_name_, MemoText());
  // Refused before the line is shown, so nothing the user typed is lost.
  const std::size_t limit = msTerminal().MaxPayload();
  if (line.size() + 1 > limit)
    throw Exception("The message is too long to send: it takes " + std::to_string(line.size()) +
                    " bytes with the sender's name, at most " + std::to_string(limit > 0 ? limit - 1 : 0) +
                    " can be sent (a letter outside English takes two bytes or more)");
  AppendChatLine(line);
  msTerminal().Send(line.c_str(), static_cast<std::uint16_t>(line.size() + 1));
  Memo->clear();
  // The Up key goes to the entry box only, whatever has the focus.
  QCoreApplication::postEvent(Memo, new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier));
}

bool TmainForm::MemoKeyDown(int key, Qt::KeyboardModifiers) {
  if (key == Qt::Key_Insert) Keys().FlipInsert();
  if (use_enter_ && (key == Qt::Key_Return || key == Qt::Key_Enter)) ToolButton2->click();
  StatusBar->repaint();
  return false;
}

// --- receiving -----------------------------------------------------------------

void TmainForm::msTerminalNewMessage(std::uint32_t, std::uint16_t msg_size) {
  std::string text(msg_size, '\0');
  msTerminal().MessageStream().Read(text.data(), msg_size);
  text.resize(strnlen(text.data(), text.size()));
  AppendChatLine(text);
  QScrollBar* bar = ChatWindow->verticalScrollBar();
  bar->setValue(bar->maximum());

  const bool hidden_on_arrival = !isVisible() || isMinimized();
  if (hidden_on_arrival) {
    TrayIcon().SetAnimated(true);
    if (open_window_) {
      ShowWindow();
      TrayIcon().SetAnimated(false);
    }
  }
  if (!play_sound_) return;
  if (iconized_only_) {
    // Only messages that arrive while the window is hidden make a sound.
    if (hidden_on_arrival) PlaySoundFile(iconized_file_);
    return;
  }
  PlaySoundFile(isVisible() && !isMinimized() ? all_incoming_ : iconized_file_);
}

void TmainForm::spSoundClick() {
  if (play_sound_) {
    play_sound_ = false;
    SetSoundButtonImage(5);
    return;
  }
  play_sound_ = true;
  SetSoundButtonImage(3);
  PlaySoundFile(Trim(iconized_file_));
}

void TmainForm::PlaySoundFile(const std::string& file_name) { Sound().PlayFile(file_name); }

void TmainForm::SetSoundButtonImage(int image) {
  sound_image_ = image;
  spSound->setIcon(ToolbarIcon(image));
}

// --- message files -------------------------------------------------------------

void TmainForm::SMsgClick() {
  const auto name = Dialogs().SaveFileName({"Save Message", kMessageFilter, "hwm", save_name_, false});
  if (!name) return;
  save_name_ = *name;
  SaveMessageFile(*name, ChatText());
}

void TmainForm::LoadMessage1Click() {
  const auto name = Dialogs().OpenFileName({"Open Message", kMessageFilter, "hwm", open_name_, false});
  if (!name) return;
  open_name_ = *name;
  // The whole file is read before the box is touched: a failed load keeps the box.
  SetChatText(LoadMessageFile(*name, chat_capacity_));
}

void TmainForm::ToolButton5Click() { chat_->Clear(); }

// --- recipient tree ------------------------------------------------------------

bool TmainForm::GetDomainList(QTreeWidget* view) { return hw::GetDomainList(*view, parts_.NetEnum); }

void TmainForm::SpeedItem1Click0() {
  GetDomainList(cbNameList);
  cbNameList->expandAll();
}

void TmainForm::cbNameListClick() {
  if (QTreeWidgetItem* node = SelectedNode(*cbNameList)) selected_recipient_ = Bytes(node->text(0));
}

// --- status bar ----------------------------------------------------------------

void TmainForm::StatusBarDrawPanel(QPainter& canvas, int index, const QString& text, const QRect& rect) {
  static const int kPanelKeys[] = {0, VK_INSERT, VK_CAPITAL, VK_NUMLOCK};
  if (index < 1 || index > 3) return;
  const QRect area = rect;
  const int flags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine;
  if (!Keys().Toggled(kPanelKeys[index])) {
    // Engraved: a white copy one pixel right and two down under a grey one.
    canvas.setBackgroundMode(Qt::TransparentMode);
    canvas.setPen(QColor(255, 255, 255));
    canvas.drawText(area.translated(1, 2), flags, text);
    canvas.setPen(QColor(128, 128, 128));
  }
  canvas.drawText(area, flags, text);
}

// --- clipboard actions ---------------------------------------------------------

QPlainTextEdit* TmainForm::FocusedTextBox() const {
  QWidget* focus = QApplication::focusWidget();
  if (focus == Memo) return Memo;
  if (focus == ChatWindow) return ChatWindow;
  return nullptr;
}

void TmainForm::UpdateActions() {
  QPlainTextEdit* box = FocusedTextBox();
  const bool selection = box && box->textCursor().hasSelection();
  CutAction->setEnabled(selection);
  CopyAction->setEnabled(selection);
  const QMimeData* data = QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
  PasteAction->setEnabled(box && data && data->hasText());
}

}  // namespace hw
