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
#include <QTextBlock>
#include <QTextCursor>
#include <QToolTip>
#include <QHelpEvent>
#include <QColor>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstring>

#include "app/ChatText.h"
#include "app/Help.h"
#include "app/MessageFile.h"
#include "app/NetworkNotices.h"
#include "app/Pictures.h"
#include "desktop/Attention.h"
#include "desktop/FormPlacement.h"
#include "platform/net/Kernel32Mailslots.h"
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
constexpr int kEntryWidth = 237;

const char* const kNoRecipient = "None";
// The keys the status bar's owner-drawn panels show, by panel.
const int kPanelKeys[] = {0, VK_INSERT, VK_CAPITAL, VK_NUMLOCK};

// Keys with which the recipient tree's user chooses a node: the choosing keys take
// the current node, the moving keys have already selected it.
bool IsTreeChoosingKey(int key) {
  return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Select;
}
bool IsTreeMovingKey(int key) {
  switch (key) {
    case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Left: case Qt::Key_Right:
    case Qt::Key_Home: case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown:
      return true;
    default:
      return false;
  }
}

// A notification shows the start of a long chat line only.
constexpr int kNotificationChars = 200;

std::string Bytes(const QString& text) { return text.toUtf8().toStdString(); }

// The message files' filter; the patterns stay as they are in every language.
std::string MessageFilter() {
  return Bytes(QCoreApplication::translate("hw::TmainForm", "Hallwire Files") + "|*.hwm|" +
               QCoreApplication::translate("hw::TmainForm", "Text Files") + "|*.txt");
}

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

std::string SystemName(win32::BOOL (*call)(win32::LPSTR, win32::LPDWORD)) {
  char buffer[256] = {};
  win32::DWORD size = sizeof buffer;
  call(buffer, &size);  // a failed call leaves the buffer empty: an empty name
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

}  // namespace

// --- caption strip -------------------------------------------------------------

TGradientCaption::TGradientCaption(QWidget* parent) : QWidget(parent) {
  QFont bold = font();
  bold.setBold(true);
  setFixedHeight(qMax(kCaptionHeight, QFontMetrics(bold).height() + 2));
}

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
  // Under Wayland the compositor may make any window maximised or full screen and
  // requires it to take the size it gives: there the window grows, and says so.
  if (WindowSystemPlacesWindows()) setWindowFlag(Qt::WindowMaximizeButtonHint);
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
      MessageArrived(sender_id, msg_size);
    } catch (const std::exception& error) {
      receive_errors_->Report(error.what());
    }
  });
  parts_.Terminal->SetOnError([this](const std::exception& error) { receive_errors_->Report(error.what()); });
  network_notices_ = std::make_unique<TNetworkNotices>(*ui_.status_bar,
                                                        [this](const std::string& text) { Dialogs().ShowNotice(text); });
  parts_.Tray->SetPopupMenu(ui_.tray_menu);
  parts_.Tray->SetOnDblClick([this] { Run(&TmainForm::TrayDoubleClick); });
  parts_.Tray->SetOnNotificationOpen([this] { Run(&TmainForm::TrayDoubleClick); });

  CentreOnScreen();
  if (parts_.MakePlacement) placement_ = parts_.MakePlacement(*this);
  auto filter = std::make_unique<THelpKeyFilter>([this](int context) { parts_.OpenHelp(context); });
  qApp->installEventFilter(filter.get());
  help_filter_ = std::move(filter);

  Run(&TmainForm::StartUp);
}

TmainForm::~TmainForm() {
  // The terminal goes first: no message may arrive at a half-destroyed window.
  parts_.Terminal.reset();
  network_notices_.reset();
  receive_errors_.reset();
  placement_.reset();
  help_filter_.reset();
  // The controls go while the window is still whole: their last events pass through
  // this window's filters and slots.
  ui_.entry_box->removeEventFilter(this);
  ui_.recipient_tree->removeEventFilter(this);
  ui_.recipient_tree->viewport()->removeEventFilter(this);
  ui_.chat_box->viewport()->removeEventFilter(this);
  disconnect(qApp, nullptr, this, nullptr);
  if (QClipboard* clipboard = QGuiApplication::clipboard()) disconnect(clipboard, nullptr, this, nullptr);
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

void TmainForm::BuildMenus() {
  ui_.menu_bar = new QMenuBar(this);
  QMenu* file = ui_.menu_bar->addMenu(tr("&File"));
  ui_.preferences_action = file->addAction(tr("&Preferences"));
  ui_.load_action = file->addAction(tr("&Load Messages"));
  ui_.save_action = file->addAction(tr("&Save Messages"));
  file->addSeparator();
  ui_.exit_action = file->addAction(tr("E&xit"));
  QMenu* edit = ui_.menu_bar->addMenu(tr("&Edit"));
  ui_.cut_action = edit->addAction(tr("Cu&t"));
  ui_.cut_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
  ui_.cut_action->setToolTip(tr("Cut"));
  ui_.copy_action = edit->addAction(tr("&Copy"));
  ui_.copy_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  ui_.copy_action->setToolTip(tr("Copy"));
  ui_.paste_action = edit->addAction(tr("&Paste"));
  ui_.paste_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
  ui_.paste_action->setToolTip(tr("Paste"));
  QMenu* help = ui_.menu_bar->addMenu(tr("&Help"));
  ui_.help_contents_action = help->addAction(tr("&Contents"));
  ui_.help_search_action = help->addAction(tr("&Search for Help On..."));
  ui_.help_usage_action = help->addAction(tr("&How to Use Help"));
  help->addSeparator();
  ui_.about_action = help->addAction(tr("&About..."));
  connect(edit, &QMenu::aboutToShow, this, &TmainForm::UpdateActions);

  connect(ui_.preferences_action, &QAction::triggered, this, [this] { Run(&TmainForm::PreferencesClick); });
  connect(ui_.load_action, &QAction::triggered, this, [this] { Run(&TmainForm::LoadMessagesClick); });
  connect(ui_.save_action, &QAction::triggered, this, [this] { Run(&TmainForm::SaveMessagesClick); });
  connect(ui_.exit_action, &QAction::triggered, this, [this] { Run(&TmainForm::ExitClick); });
  connect(ui_.help_contents_action, &QAction::triggered, this, [this] { Run(&TmainForm::HelpContentsClick); });
  connect(ui_.about_action, &QAction::triggered, this, [this] { Run(&TmainForm::AboutClick); });
  connect(ui_.cut_action, &QAction::triggered, this, [this] {
    if (QPlainTextEdit* box = FocusedTextBox()) box->cut();
  });
  connect(ui_.copy_action, &QAction::triggered, this, [this] {
    if (QPlainTextEdit* box = FocusedTextBox()) box->copy();
  });
  connect(ui_.paste_action, &QAction::triggered, this, [this] {
    if (QPlainTextEdit* box = FocusedTextBox()) box->paste();
  });

  ui_.tray_menu = new QMenu(this);
  ui_.view_action = ui_.tray_menu->addAction(tr("&View Message"));
  ui_.tray_exit_action = ui_.tray_menu->addAction(tr("E&xit"));
  connect(ui_.view_action, &QAction::triggered, this, [this] { Run(&TmainForm::ViewMessageClick); });
  connect(ui_.tray_exit_action, &QAction::triggered, this, [this] { Run(&TmainForm::ExitClick); });
}

void TmainForm::BuildToolbar() {
  ui_.toolbar = new QWidget(this);
  ui_.toolbar->setFixedHeight(kToolbarHeight);
  struct TButtonDesign {
    QToolButton** button;
    const char* caption;
    const char* hint;
    int image;
    void (TmainForm::*handler)();
  };
  const TButtonDesign buttons[] = {
      {&ui_.send_button, QT_TR_NOOP("&Send"), QT_TR_NOOP("Send Message"), 0, &TmainForm::SendClick},
      {&ui_.preferences_button, QT_TR_NOOP("&Prefs"), QT_TR_NOOP("Preferences"), 1, &TmainForm::PreferencesClick},
      {&ui_.clear_button, QT_TR_NOOP("&Clear"), QT_TR_NOOP("Clear ChatWindow"), 2, &TmainForm::ClearClick},
      {&ui_.sound_button, QT_TR_NOOP("S&ound"), QT_TR_NOOP("Sound"), 3, &TmainForm::SoundClick},
      {&ui_.refresh_button, QT_TR_NOOP("&Refresh"), QT_TR_NOOP("Refresh Network List"), 4, &TmainForm::RefreshClick},
  };
  int left = 3;
  for (const TButtonDesign& design : buttons) {
    auto* button = new QToolButton(ui_.toolbar);
    button->setText(tr(design.caption));
    button->setToolTip(tr(design.hint));
    button->setStatusTip(QString());
    button->setIcon(pictures::ToolbarPicture(design.image));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    // Tab reaches the buttons; a click leaves the focus where it was.
    button->setFocusPolicy(Qt::TabFocus);
    // The design's 47 by 40, or as much more as the caption needs in the user's font.
    const QFontMetrics metrics = button->fontMetrics();
    const QSize size(qMax(47, metrics.horizontalAdvance(QString(design.caption).remove('&')) + 4),
                     qMax(40, button->iconSize().height() + metrics.height() + 10));
    button->setGeometry(left, 3, size.width(), size.height());
    const auto handler = design.handler;
    connect(button, &QToolButton::clicked, this, [this, handler] { Run(handler); });
    *design.button = button;
    left += size.width() + 1;
    ui_.toolbar->setFixedHeight(qMax(ui_.toolbar->height(), size.height() + 6));
  }
}

void TmainForm::BuildControls() {
  ui_.caption = new TGradientCaption(this);
  ui_.caption->SetPopupMenu(ui_.tray_menu);

  ui_.recipient_tree = new QTreeWidget;
  ConfigureRecipientTree(*ui_.recipient_tree);
  ui_.recipient_tree->viewport()->installEventFilter(this);
  ui_.recipient_tree->installEventFilter(this);

  ui_.entry_box = new QPlainTextEdit;
  ui_.entry_box->setObjectName("Memo");
  ui_.entry_box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ui_.entry_box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  ui_.entry_box->setPlainText("\n");
  ui_.entry_box->moveCursor(QTextCursor::Start);
  ui_.entry_box->installEventFilter(this);
  // Tab and Shift+Tab leave both boxes; Ctrl+Tab types a tab into the entry box.
  ui_.entry_box->setTabChangesFocus(true);

  ui_.chat_box = new QPlainTextEdit;
  ui_.chat_box->setObjectName("ChatWindow");
  ui_.chat_box->setReadOnly(true);
  ui_.chat_box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ui_.chat_box->setPlainText("\n");
  ui_.chat_box->setTabChangesFocus(true);
  ui_.chat_box->viewport()->installEventFilter(this);  // the trust tooltips
  chat_ = std::make_unique<TChatText>(*ui_.chat_box);
  SetBoxColor(*ui_.chat_box, QPalette::Base, clBlack);
  SetBoxColor(*ui_.chat_box, QPalette::Text, clWhite);

  ui_.band_splitter = new QSplitter(Qt::Horizontal);
  ui_.band_splitter->setHandleWidth(kSplitterWidth);
  ui_.band_splitter->setChildrenCollapsible(false);
  ui_.band_splitter->addWidget(ui_.recipient_tree);
  ui_.band_splitter->addWidget(ui_.entry_box);
  ui_.band_splitter->setSizes({kTreeWidth, kEntryWidth});
  // A window that grows (under Wayland) gives most of the new width to the entry box.
  ui_.band_splitter->setStretchFactor(0, 1);
  ui_.band_splitter->setStretchFactor(1, 2);

  ui_.chat_splitter = new QSplitter(Qt::Vertical);
  ui_.chat_splitter->setHandleWidth(kSplitterWidth);
  ui_.chat_splitter->setChildrenCollapsible(false);
  ui_.chat_splitter->addWidget(ui_.band_splitter);
  ui_.chat_splitter->addWidget(ui_.chat_box);
  ui_.chat_splitter->setSizes({kBandHeight, kChatHeight});

  ui_.status_bar = new TStatusBar;
  ui_.status_bar->setFixedHeight(kStatusHeight);
  ui_.status_bar->SetPanels({{200, QString(), false, {}},
                            {30, tr("INS"), true, {}},
                            {35, tr("CAPS"), true, {}},
                            {30, tr("NUM"), true, {}},
                            {50, QString(), false, {}}});
  ui_.status_bar->SetOnDrawPanel([this](QPainter& canvas, int index, const QString& text, const QRect& rect) {
    DrawKeyPanel(canvas, index, text, rect);
  });
  ui_.status_bar->SetOnNamePanel([this](int index) { return KeyPanelName(index); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ui_.caption);
  layout->addWidget(ui_.menu_bar);
  layout->addWidget(ui_.toolbar);
  layout->addWidget(ui_.chat_splitter, 1);
  layout->addWidget(ui_.status_bar);

  // Reading order: the toolbar, the tree, the entry box, the chat box.
  QWidget* const chain[] = {ui_.send_button,    ui_.preferences_button, ui_.clear_button, ui_.sound_button,
                            ui_.refresh_button, ui_.recipient_tree,     ui_.entry_box,    ui_.chat_box};
  for (std::size_t i = 0; i + 1 < std::size(chain); ++i) setTabOrder(chain[i], chain[i + 1]);
  DescribeControls();
  ui_.entry_box->setFocus();

  const int height = ui_.caption->height() + ui_.menu_bar->sizeHint().height() + ui_.toolbar->height() + kBandHeight +
                     kSplitterWidth + kChatHeight + kStatusHeight;
  if (WindowSystemPlacesWindows()) {
    // The splitters take what the window grows by: more room for the tree and the texts.
    setMinimumSize(kClientWidth, height);
    resize(kClientWidth, height);
  } else {
    setFixedSize(kClientWidth, height);
  }

  connect(ui_.entry_box, &QPlainTextEdit::copyAvailable, this, &TmainForm::UpdateActions);
  connect(ui_.chat_box, &QPlainTextEdit::copyAvailable, this, &TmainForm::UpdateActions);
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

void TmainForm::StartUp() {
  local_computer_name_ = CapitalizeWords(SystemName(win32::GetComputerNameA));
  selected_recipient_ = kNoRecipient;
  TrayIcon().SetAnimated(false);
  ApplySettings(*this, parts_.SettingsPath);
  desktop_notifications_ = ReadNetworkSettings(parts_.SettingsPath).desktopNotifications;
  if (play_sound_) PlaySoundFile(all_incoming_);
  const std::string user = SystemName(win32::GetUserNameA);
  ui_.status_bar->SetPanelText(0, tr("%1 / User (%2)").arg(BoxString(local_computer_name_), BoxString(user)));
  local_user_name_ = user;
  FillRecipientTree();
  ui_.recipient_tree->expandAll();
}

void TmainForm::WindowActivated() {
  ui_.status_bar->update();
  WithdrawAttention(this);
  // The user sees the window (also when it came back from the taskbar): nothing waits.
  if (waiting_ > 0) {
    waiting_ = 0;
    TrayIcon().CloseNotification();
  }
}

// --- settings ------------------------------------------------------------------

void TmainForm::SetMemoFontColor(TColor color) { SetBoxColor(*ui_.entry_box, QPalette::Text, color); }
void TmainForm::SetMemoColor(TColor color) { SetBoxColor(*ui_.entry_box, QPalette::Base, color); }
void TmainForm::SetChatWindowFontColor(TColor color) { SetBoxColor(*ui_.chat_box, QPalette::Text, color); }
void TmainForm::SetChatWindowColor(TColor color) { SetBoxColor(*ui_.chat_box, QPalette::Base, color); }

// --- text boxes ----------------------------------------------------------------

std::string TmainForm::ChatText() const { return chat_->Text(); }
void TmainForm::SetChatText(const std::string& text) { chat_->SetText(text); }
void TmainForm::AppendChatLine(const std::string& text) { chat_->AppendLine(text, chat_capacity_); }
std::string TmainForm::EntryText() const { return BoxText(*ui_.entry_box); }
void TmainForm::SetEntryText(const std::string& text) { ui_.entry_box->setPlainText(BoxString(text)); }

// --- showing, hiding, ending ---------------------------------------------------

void TmainForm::ShowWindow() {
  // A desktop without a tray minimises the window instead of hiding it.
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
  if (waiting_ > 0) {
    waiting_ = 0;
    TrayIcon().CloseNotification();
  }
}

void TmainForm::HideWindow() { hide(); }

void TmainForm::ShowWithoutTray() {
  if (!TrayIcon().Registered()) ShowWindow();
}

void TmainForm::TrayDoubleClick() {
  ShowWindow();
  TrayIcon().SetAnimated(false);
}

void TmainForm::ViewMessageClick() { ShowWindow(); }
void TmainForm::ExitClick() { parts_.Terminate(); }

void TmainForm::AboutClick() {
  if (about_) about_->exec();
}

void TmainForm::HelpContentsClick() { parts_.OpenHelp(0); }

void TmainForm::PreferencesClick() {
  if (!preferences_) return;
  const int result = preferences_->exec();
  // The Network page writes its keys on its own OK, whatever the dialog ends with.
  desktop_notifications_ = ReadNetworkSettings(parts_.SettingsPath).desktopNotifications;
  if (result != QDialog::Accepted) return;
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
      if (Dialogs().Confirm(Bytes(tr("Are you sure you want to close Hallwire?")))) parts_.Terminate();
      break;
    default:
      break;
  }
}

void TmainForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) {
    const Qt::WindowStates state = windowState();
    // Minimising hides the window, maximising a window that cannot grow does nothing;
    // only a window without a tray entry to come back from really minimises.
    const bool hide = (state & Qt::WindowMinimized) && TrayIcon().Registered();
    const bool fixed = minimumSize() == maximumSize();
    if (hide || (fixed && (state & (Qt::WindowMaximized | Qt::WindowFullScreen)))) {
      const Qt::WindowStates kept = hide ? Qt::WindowNoState : state & Qt::WindowMinimized;
      QTimer::singleShot(0, this, [this, hide, kept] {
        setWindowState(kept);
        if (hide) RunHandler(Dialogs(), [this] { SystemCommand(SC_MINIMIZE); });
      });
    }
  } else if (event->type() == QEvent::ActivationChange) {
    ui_.caption->update();
  }
  QWidget::changeEvent(event);
}

void TmainForm::closeEvent(QCloseEvent* event) {
  event->ignore();
  RunHandler(Dialogs(), [this] { SystemCommand(SC_CLOSE); });
}

bool TmainForm::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) Run(&TmainForm::WindowActivated);
  return QWidget::event(event);
}

bool TmainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_.chat_box->viewport() && event->type() == QEvent::ToolTip) {
    // A received line's trust, from its block format (see TrustMark).
    auto* help = static_cast<QHelpEvent*>(event);
    const QString note =
        ui_.chat_box->cursorForPosition(help->pos()).block().blockFormat().property(kLineNoteProperty).toString();
    if (note.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), note, ui_.chat_box->viewport());
    return true;
  }
  if (watched == ui_.entry_box && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    RunHandler(Dialogs(), [this, key] { EntryKeyDown(key->key(), key->modifiers()); });
    if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
      ui_.entry_box->insertPlainText(QStringLiteral("\t"));
      return true;
    }
    return false;
  }
  QTreeWidget* tree = ui_.recipient_tree;
  if (tree && watched == tree && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool press = event->type() == QEvent::KeyPress;
    // A choosing key acts on its press; the tree would take Space as the start of a
    // search for a node's name and move on. A moving key acts on its release, when
    // the tree has moved its selection for the press.
    if (press ? IsTreeChoosingKey(key) : IsTreeMovingKey(key))
      RunHandler(Dialogs(), [this, key] { RecipientTreeKey(key); });
    return press && (key == Qt::Key_Space || key == Qt::Key_Select);
  }
  if (tree && watched == tree->viewport() && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    // The press has already moved the selection; the click reads it.
    Run(&TmainForm::RecipientTreeClick);
    return false;
  }
  return QWidget::eventFilter(watched, event);
}

// --- sending -------------------------------------------------------------------

void TmainForm::SendClick() {
  QTreeWidgetItem* node = SelectedNode(*ui_.recipient_tree);
  if (selected_recipient_ == kNoRecipient || !node) {
    Dialogs().ShowNotice(Bytes(tr("You must first select a recipient")));
    return;
  }
  const bool root = node == ui_.recipient_tree->topLevelItem(0);
  Terminal().SetReceiver(root ? TReceiverType::rcPrimaryDomain : TReceiverType::rcDomainOrComputer);
  Terminal().SetReceiverName(Bytes(node->text(0)));
  const std::string line = BuildChatLine(local_computer_name_, local_user_name_, EntryText());
  // Refused before the line is shown, so nothing the user typed is lost.
  const std::size_t limit = Terminal().MaxPayload();
  if (line.size() + 1 > limit)
    throw Exception("The message is too long to send: it takes " + std::to_string(line.size()) +
                    " bytes with the sender's name, at most " + std::to_string(limit > 0 ? limit - 1 : 0) +
                    " can be sent (a letter outside English takes two bytes or more)");
  AppendChatLine(line);
  Terminal().Send(line.c_str(), static_cast<std::uint16_t>(line.size() + 1));
  ui_.entry_box->clear();
  // The Up key goes to the entry box only, whatever has the focus.
  QCoreApplication::postEvent(ui_.entry_box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier));
}

bool TmainForm::EntryKeyDown(int key, Qt::KeyboardModifiers) {
  if (key == Qt::Key_Insert) Keys().FlipInsert();
  if (use_enter_ && (key == Qt::Key_Return || key == Qt::Key_Enter)) ui_.send_button->click();
  ui_.status_bar->repaint();
  return false;
}

// --- receiving -----------------------------------------------------------------

QTextBlockFormat TmainForm::TrustMark(const TLineCheck& check) const {
  QTextBlockFormat format;
  if (check.Trust == TLineTrust::Unsigned) return format;  // shown as lines always were
  const QString fingerprint = QString::fromStdString(check.Fingerprint);
  format.setProperty(kLineTrustProperty, static_cast<int>(check.Trust));
  if (check.Trust == TLineTrust::Verified) {
    format.setBackground(QColor(0, 170, 0, 70));
    format.setProperty(kLineNoteProperty, tr("Verified: signed with the key pinned for this sender\n"
                                             "Key fingerprint: %1").arg(fingerprint));
    return format;
  }
  QString why = tr("the signature does not match the line");
  if (check.Reason == "other key")
    why = tr("signed with another key than the one pinned for this sender");
  else if (check.Reason == "replay")
    why = tr("a copy of a line received before (a replay)");
  else if (check.Reason == "malformed trailer")
    why = tr("the signature is cut off or malformed");
  else if (check.Reason == "no sender named")
    why = tr("the line names no sender");
  else if (check.Reason.rfind("not checked", 0) == 0)
    why = tr("not checked: too many signed lines arrived at once");
  format.setBackground(QColor(220, 0, 0, 170));
  format.setProperty(kLineNoteProperty,
                     tr("FORGED: this line may not come from the sender it names (%1)").arg(why) +
                         (fingerprint.isEmpty() ? QString() : tr("\nKey fingerprint: %1").arg(fingerprint)));
  return format;
}

void TmainForm::MessageArrived(std::uint32_t, std::uint16_t msg_size) {
  std::string text(msg_size, '\0');
  Terminal().MessageStream().Read(text.data(), msg_size);
  text.resize(strnlen(text.data(), text.size()));
  chat_->AppendLine(text, chat_capacity_, TrustMark(Terminal().LastCheck()));
  chat_->ShowNewest();

  const bool hidden_on_arrival = !isVisible() || isMinimized();
  if (hidden_on_arrival) {
    TrayIcon().SetAnimated(true);
    if (open_window_) {
      ShowWindow();
      TrayIcon().SetAnimated(false);
    } else {
      AnnounceHiddenArrival(text);
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

void TmainForm::AnnounceHiddenArrival(const std::string& line) {
  ++waiting_;
  if (!TrayIcon().Registered()) RequestAttention(this);
  if (!desktop_notifications_) return;
  QString body = BoxString(line);
  if (body.size() > kNotificationChars) {
    int cut = kNotificationChars;
    if (body.at(cut - 1).isHighSurrogate()) --cut;
    body = body.left(cut) + QChar(0x2026);
  }
  const QString summary = waiting_ == 1 ? tr("New message") : tr("%n messages waiting", nullptr, waiting_);
  TrayIcon().Notify(summary, body);
}

void TmainForm::SoundClick() {
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
  ui_.sound_button->setIcon(pictures::ToolbarPicture(image));
}

// --- message files -------------------------------------------------------------

void TmainForm::SaveMessagesClick() {
  const auto name = Dialogs().SaveFileName({Bytes(tr("Save Message")), MessageFilter(), "hwm", save_name_, false});
  if (!name) return;
  save_name_ = *name;
  SaveMessageFile(*name, ChatText());
}

void TmainForm::LoadMessagesClick() {
  const auto name = Dialogs().OpenFileName({Bytes(tr("Open Message")), MessageFilter(), "hwm", open_name_, false});
  if (!name) return;
  open_name_ = *name;
  // The whole file is read before the box is touched: a failed load keeps the box.
  SetChatText(LoadMessageFile(*name, chat_capacity_));
}

void TmainForm::ClearClick() { chat_->Clear(); }

// --- recipient tree ------------------------------------------------------------

bool TmainForm::FillRecipientTree() { return GetDomainList(*ui_.recipient_tree, parts_.NetEnum); }

void TmainForm::RefreshClick() {
  FillRecipientTree();
  ui_.recipient_tree->expandAll();
}

void TmainForm::RecipientTreeClick() {
  if (QTreeWidgetItem* node = SelectedNode(*ui_.recipient_tree)) selected_recipient_ = Bytes(node->text(0));
}

void TmainForm::RecipientTreeKey(int key) {
  QTreeWidget& tree = *ui_.recipient_tree;
  // Enter does not select in a tree: the current node is selected here, as a click would.
  if (IsTreeChoosingKey(key) && tree.currentItem() && !tree.currentItem()->isSelected())
    tree.setCurrentItem(tree.currentItem(), 0, QItemSelectionModel::ClearAndSelect);
  RecipientTreeClick();
}

// --- status bar ----------------------------------------------------------------

void TmainForm::DrawKeyPanel(QPainter& canvas, int index, const QString& text, const QRect& rect) {
  if (index < 1 || index > 3) return;
  const int flags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine;
  if (!Keys().Toggled(kPanelKeys[index])) {
    // Off: dimmed halfway to the face, which keeps it readable on light and dark palettes.
    const QPalette& palette = ui_.status_bar->palette();
    const QColor ink = palette.color(QPalette::ButtonText), face = palette.color(QPalette::Button);
    canvas.setPen(QColor((ink.red() + face.red()) / 2, (ink.green() + face.green()) / 2, (ink.blue() + face.blue()) / 2));
  }
  canvas.drawText(rect, flags, text);
}

QString TmainForm::KeyPanelName(int index) const {
  if (index < 1 || index > 3) return QString();
  const QString key = index == 1 ? tr("Insert") : index == 2 ? tr("Caps Lock") : tr("Num Lock");
  return (parts_.Keys->Toggled(kPanelKeys[index]) ? tr("%1 on") : tr("%1 off")).arg(key);
}

// --- screen readers ------------------------------------------------------------

void TmainForm::DescribeControls() {
  const struct {
    QWidget* control;
    QString name;
    QString description;
  } controls[] = {
      {this, tr("Hallwire"), tr("Sends messages to computers and workgroups on the local network")},
      {ui_.caption, tr("Title"), tr("The window's title; a right click opens the window menu")},
      {ui_.menu_bar, tr("Menu bar"), tr("The File, Edit and Help menus")},
      {ui_.toolbar, tr("Toolbar"), tr("Buttons for sending, preferences, clearing, sound and refreshing")},
      {ui_.send_button, tr("Send"), tr("Sends the message in the entry box to the chosen recipient (Alt+S)")},
      {ui_.preferences_button, tr("Preferences"), tr("Opens the preferences: colours, sounds and options (Alt+P)")},
      {ui_.clear_button, tr("Clear"), tr("Clears the chat box (Alt+C)")},
      {ui_.sound_button, tr("Sound"), tr("Switches the sounds for arriving messages on or off (Alt+O)")},
      {ui_.refresh_button, tr("Refresh"), tr("Reads the computers and workgroups of the network again (Alt+R)")},
      {ui_.chat_splitter, tr("Chat divider"), tr("Divides the recipients and the entry box from the chat box")},
      {ui_.band_splitter, tr("Recipient divider"), tr("Divides the recipient tree from the entry box")},
      {ui_.recipient_tree, tr("Recipients"),
       tr("The workgroup and the computers on the network; choose the recipient with the arrow keys, Space or "
          "Enter, or a click")},
      {ui_.entry_box, tr("Message"),
       tr("The message to send; Tab leaves the box, Ctrl+Tab types a tab")},
      {ui_.chat_box, tr("Chat"), tr("The messages sent and received, oldest first")},
      {ui_.status_bar, tr("Status bar"),
       tr("This computer and user, network notices, and the Insert, Caps Lock and Num Lock keys")},
  };
  for (const auto& entry : controls) {
    entry.control->setAccessibleName(entry.name);
    entry.control->setAccessibleDescription(entry.description);
  }
  const QString panels[] = {tr("This computer and user, or a network notice"), tr("The Insert key's mode"),
                            tr("The Caps Lock key's lock"), tr("The Num Lock key's lock"), tr("Unused")};
  for (int i = 0; i < ui_.status_bar->PanelCount(); ++i) ui_.status_bar->SetPanelDescription(i, panels[i]);
}

// --- clipboard actions ---------------------------------------------------------

QPlainTextEdit* TmainForm::FocusedTextBox() const {
  QWidget* focus = QApplication::focusWidget();
  if (focus == ui_.entry_box) return ui_.entry_box;
  if (focus == ui_.chat_box) return ui_.chat_box;
  return nullptr;
}

void TmainForm::UpdateActions() {
  QPlainTextEdit* box = FocusedTextBox();
  const bool selection = box && box->textCursor().hasSelection();
  ui_.cut_action->setEnabled(selection);
  ui_.copy_action->setEnabled(selection);
  const QMimeData* data = QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
  ui_.paste_action->setEnabled(box && data && data->hasText());
}

}  // namespace hw
