// The messenger's main window: recipient tree, entry box, chat box, toolbar, menus
// and status bar. It owns every working part of the program and runs all handlers
// on the GUI thread.
#pragma once

#include <QTextBlockFormat>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

#include "app/MainFormParts.h"
#include "app/StatusBar.h"
#include "desktop/ErrorBox.h"
#include "settings/SettingsFile.h"

class QAction;
class QDialog;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QSplitter;
class QToolButton;
class QTreeWidget;

namespace hw {

class TChatText;
class TNetworkNotices;

// Window-menu commands, masked with 0xFFF0.
constexpr unsigned SC_MINIMIZE = 0xF020;
constexpr unsigned SC_MAXIMIZE = 0xF030;
constexpr unsigned SC_CLOSE = 0xF060;

// The strip at the top of the window that paints the caption as a gradient; a
// right-click on it opens the window's menu.
class TGradientCaption : public QWidget {
  Q_OBJECT
 public:
  explicit TGradientCaption(QWidget* parent = nullptr);
  void SetPopupMenu(QMenu* menu) { menu_ = menu; }
  QMenu* PopupMenu() const { return menu_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QMenu* menu_ = nullptr;
};

class TmainForm : public QWidget, public ISettingsWindow {
  Q_OBJECT
 public:
  // Builds the window from its parts and starts it up; a failing step of the start-up
  // is shown in the error box and the window is still created.
  explicit TmainForm(TMainFormParts parts, QWidget* parent = nullptr);
  ~TmainForm() override;

  // The dialogs shown from the menus; created after the main window.
  void SetPreferencesDialog(QDialog* dialog) { preferences_ = dialog; }
  void SetAboutBox(QDialog* dialog) { about_ = dialog; }

  // --- window state ---
  const std::string& LocalComputerName() const { return local_computer_name_; }
  const std::string& LocalUserName() const { return local_user_name_; }
  const std::string& SelectedRecipient() const { return selected_recipient_; }
  bool PlaySound() const { return play_sound_; }
  bool UseEnter() const { return use_enter_; }
  bool OpenWindow() const { return open_window_; }
  const std::string& IconizedFile() const { return iconized_file_; }
  const std::string& AllIncoming() const { return all_incoming_; }
  bool IconizedOnly() const { return iconized_only_; }
  // Whether a message arriving while the window is hidden shows a desktop notification
  // (the [Desktop] Notifications setting, read at start and after Preferences).
  bool DesktopNotifications() const { return desktop_notifications_; }

  // --- ISettingsWindow (applying the settings) ---
  void SetMemoFontColor(TColor color) override;
  void SetMemoColor(TColor color) override;
  void SetChatWindowFontColor(TColor color) override;
  void SetChatWindowColor(TColor color) override;
  void SetPlaySound(bool on) override { play_sound_ = on; }
  void SetIconizedOnly(bool on) override { iconized_only_ = on; }
  void SetUseEnter(bool on) override { use_enter_ = on; }
  void SetIconizedFile(const std::string& file_name) override { iconized_file_ = file_name; }
  void SetAllIncoming(const std::string& file_name) override { all_incoming_ = file_name; }
  void SetOpenWindow(bool on) override { open_window_ = on; }

  // --- the chat box's and entry box's text as bytes with CR LF line ends: what the
  // user typed as UTF-8, received and loaded lines as they came ---
  std::string ChatText() const;
  void SetChatText(const std::string& text);
  // Appends text as a new line at the end of the chat box (trimming the oldest
  // lines when the box would exceed its capacity).
  void AppendChatLine(const std::string& text);
  // The block format that marks a received line with its trust: a tint and a tooltip
  // with the key's fingerprint; none for an unsigned line.
  QTextBlockFormat TrustMark(const TLineCheck& check) const;
  std::string EntryText() const;
  void SetEntryText(const std::string& text);
  std::size_t ChatCapacity() const { return chat_capacity_; }
  void SetChatCapacity(std::size_t capacity) { chat_capacity_ = capacity; }

  // --- commands of the menus, the toolbar and the tray entry ---
  void SendClick();
  void ClearClick();
  void RefreshClick();
  void SoundClick();
  void PreferencesClick();
  void SaveMessagesClick();
  void LoadMessagesClick();
  void AboutClick();
  void HelpContentsClick();
  void ViewMessageClick();
  void ExitClick();
  void TrayDoubleClick();
  // The window-menu command handler (minimise, maximise, close).
  void SystemCommand(unsigned command);

  // Shows the window (and brings it to the front) or hides it.
  void ShowWindow();
  void HideWindow();
  // At start: shows the window when the desktop has no tray entry to reach it from.
  void ShowWithoutTray();
  // Refreshes the enabled states of the clipboard actions.
  void UpdateActions();
  // The current picture index of the Sound button (3 on, 5 off).
  int SoundButtonImage() const { return sound_image_; }
  // File -> Preferences, for opening the dialog at start.
  QAction* PreferencesAction() const { return ui_.preferences_action; }

  ITerminalPort& Terminal() { return *parts_.Terminal; }
  ISoundPlayer& Sound() { return *parts_.Sound; }
  ITrayIcon& TrayIcon() { return *parts_.Tray; }
  IUserDialogs& Dialogs() { return *parts_.Dialogs; }
  IKeyState& Keys() { return *parts_.Keys; }

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  friend struct TWindowTestAccess;  // tests reach the controls through it

  struct TControls {
    TGradientCaption* caption = nullptr;
    QMenuBar* menu_bar = nullptr;
    QWidget* toolbar = nullptr;
    QToolButton* send_button = nullptr;
    QToolButton* preferences_button = nullptr;
    QToolButton* clear_button = nullptr;
    QToolButton* sound_button = nullptr;
    QToolButton* refresh_button = nullptr;
    QSplitter* chat_splitter = nullptr;  // the band above, the chat box below
    QSplitter* band_splitter = nullptr;  // the recipient tree left, the entry box right
    QTreeWidget* recipient_tree = nullptr;
    QPlainTextEdit* entry_box = nullptr;  // object name "Memo"
    QPlainTextEdit* chat_box = nullptr;   // object name "ChatWindow"
    TStatusBar* status_bar = nullptr;
    QMenu* tray_menu = nullptr;  // also the caption strip's window menu
    QAction* view_action = nullptr;
    QAction* tray_exit_action = nullptr;
    QAction* preferences_action = nullptr;
    QAction* load_action = nullptr;
    QAction* save_action = nullptr;
    QAction* exit_action = nullptr;
    QAction* cut_action = nullptr;
    QAction* copy_action = nullptr;
    QAction* paste_action = nullptr;
    QAction* help_contents_action = nullptr;
    QAction* help_search_action = nullptr;
    QAction* help_usage_action = nullptr;
    QAction* about_action = nullptr;
  };

  // Reads the computer and user names and the settings, plays the start-up sound and
  // fills the recipient tree; a failing step ends the start-up there.
  void StartUp();
  void WindowActivated();
  // Returns true when the key was consumed (never: the key always goes on to the box).
  bool EntryKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void MessageArrived(std::uint32_t sender_id, std::uint16_t msg_size);
  // Tells the user of a message that came while the window is hidden: a notification
  // (when switched on) and, without a tray entry to blink, the window's urgency hint.
  void AnnounceHiddenArrival(const std::string& line);
  void RecipientTreeClick();
  // A key in the tree: Space and Enter choose the current node, the arrow
  // keys the node they moved to; the choice is recorded as a click records it.
  void RecipientTreeKey(int key);
  void DrawKeyPanel(QPainter& canvas, int index, const QString& text, const QRect& rect);
  // A key panel's state in words ("Caps Lock on"), for screen readers.
  QString KeyPanelName(int index) const;
  // Names and descriptions for screen readers.
  void DescribeControls();
  // Rebuilds the tree from the network.
  bool FillRecipientTree();
  void BuildControls();
  void BuildMenus();
  void BuildToolbar();
  void CentreOnScreen();
  void PlaySoundFile(const std::string& file_name);
  void SetSoundButtonImage(int image);
  QPlainTextEdit* FocusedTextBox() const;
  void Run(void (TmainForm::*handler)());

  TControls ui_;
  TMainFormParts parts_;
  std::unique_ptr<TChatText> chat_;
  std::unique_ptr<TErrorBoxGate> receive_errors_;
  std::unique_ptr<TNetworkNotices> network_notices_;
  std::unique_ptr<QObject> placement_;
  QDialog* preferences_ = nullptr;
  QDialog* about_ = nullptr;
  std::unique_ptr<QObject> help_filter_;

  std::string local_computer_name_;
  std::string local_user_name_;
  std::string selected_recipient_;
  bool play_sound_ = false;
  bool use_enter_ = false;
  bool open_window_ = false;
  std::string iconized_file_;
  std::string all_incoming_;
  bool iconized_only_ = false;
  bool desktop_notifications_ = true;
  int waiting_ = 0;  // messages that came since the window was last shown

  std::size_t chat_capacity_;
  int sound_image_ = 3;
  std::string save_name_;  // last name chosen in the save dialog
  std::string open_name_;  // last name chosen in the open dialog
  Qt::WindowStates last_state_ = Qt::WindowNoState;
};

}  // namespace hw
