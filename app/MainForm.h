// The messenger's main window: recipient tree, entry box, chat box, toolbar, menus
// and status bar. It owns every working part of the program and runs all handlers
// on the GUI thread.
#pragma once

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
  // Builds the window from its parts and runs FormCreate; a failing step of
  // FormCreate is shown in the error box and the window is still created.
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
  std::string MemoText() const;
  void SetMemoText(const std::string& text);
  std::size_t ChatCapacity() const { return chat_capacity_; }
  void SetChatCapacity(std::size_t capacity) { chat_capacity_ = capacity; }

  // --- handlers ---
  void FormCreate();
  void FormActivate();
  void TrayIconDblClick();
  void View1Click();
  void Exit1Click();
  void Exit2Click();
  void About1Click();
  void Contents1Click();
  void Preferences1Click();
  void ToolButton2Click();
  // Returns true when the key was consumed (never: the key always goes on to the box).
  bool MemoKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void msTerminalNewMessage(std::uint32_t sender_id, std::uint16_t msg_size);
  void spSoundClick();
  void SMsgClick();
  void LoadMessage1Click();
  void ToolButton5Click();
  void SpeedItem1Click0();
  void cbNameListClick();
  void StatusBarDrawPanel(QPainter& canvas, int index, const QString& text, const QRect& rect);
  // The window-menu command handler (minimise, maximise, close).
  void SystemCommand(unsigned command);

  // Shows the window (and brings it to the front) or hides it.
  void ShowWindow();
  void HideWindow();
  // At start: shows the window when the desktop has no tray entry to reach it from.
  void ShowWithoutTray();
  // Rebuilds the tree from the network.
  bool GetDomainList(QTreeWidget* view);
  // Refreshes the enabled states of the clipboard actions.
  void UpdateActions();
  // The current picture index of the Sound button (3 on, 5 off).
  int SoundButtonImage() const { return sound_image_; }

  // --- controls and members (named after the window's design) ---
  TGradientCaption* GradientCaption = nullptr;
  QMenuBar* MainMenu1 = nullptr;
  QWidget* SpeedBar1 = nullptr;
  QToolButton* ToolButton2 = nullptr;  // "&Send"
  QToolButton* tbsButton = nullptr;    // "&Prefs"
  QToolButton* tbsButton2 = nullptr;   // "&Clear"
  QToolButton* spSound = nullptr;      // "S&ound"
  QToolButton* SpeedItem1 = nullptr;   // "&Refresh"
  QSplitter* Splitter2 = nullptr;      // band above, chat box below
  QSplitter* Splitter1 = nullptr;      // tree left, entry box right
  QTreeWidget* cbNameList = nullptr;
  QPlainTextEdit* Memo = nullptr;
  QPlainTextEdit* ChatWindow = nullptr;
  TStatusBar* StatusBar = nullptr;
  QMenu* TrayPopupMenu = nullptr;
  QAction* View1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* Preferences1 = nullptr;
  QAction* LoadMessage1 = nullptr;
  QAction* SMsg = nullptr;
  QAction* Exit2 = nullptr;
  QAction* CutAction = nullptr;
  QAction* CopyAction = nullptr;
  QAction* PasteAction = nullptr;
  QAction* Contents1 = nullptr;
  QAction* SearchforHelpOn1 = nullptr;
  QAction* HowtoUseHelp1 = nullptr;
  QAction* About1 = nullptr;

  ITerminalPort& msTerminal() { return *parts_.Terminal; }
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
  void BuildControls();
  void BuildMenus();
  void BuildToolbar();
  void CentreOnScreen();
  void PlaySoundFile(const std::string& file_name);
  void SetSoundButtonImage(int image);
  QPlainTextEdit* FocusedTextBox() const;
  void Run(void (TmainForm::*handler)());

  TMainFormParts parts_;
  std::unique_ptr<TChatText> chat_;
  std::unique_ptr<TErrorBoxGate> receive_errors_;
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

  std::size_t chat_capacity_;
  int sound_image_ = 3;
  std::string save_name_;  // last name chosen in the save dialog
  std::string open_name_;  // last name chosen in the open dialog
  Qt::WindowStates last_state_ = Qt::WindowNoState;
};

}  // namespace hw
