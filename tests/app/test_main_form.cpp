// The main window's handlers, run offscreen with recording stand-ins for the
// terminal, the wave player, the tray icon and the user's boxes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QTimer>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextBlock>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

#include "app/ChatText.h"
#include "app/MainForm.h"
#include "app/MessageFile.h"
#include "desktop/QtWindowThread.h"
#include "platform/net/Config.h"
#include "platform/net/Kernel32Mailslots.h"
#include "platform/net/NetworkNotice.h"
#include "platform/system/Kernel32.h"
#include "tests/app/FakeParts.h"
#include "tests/app/WindowTestAccess.h"
#include "tests/support/TestSupport.h"

namespace hw {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string UserName() {
  char buffer[256] = {};
  win32::DWORD size = sizeof buffer;
  win32::GetUserNameA(buffer, &size);
  return buffer;
}

std::size_t IndexOf(const test::TJournal& journal, const std::string& entry) {
  return static_cast<std::size_t>(std::find(journal.begin(), journal.end(), entry) - journal.begin());
}

void ProcessEvents() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void Key(QWidget* target, int key, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, mods, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, mods, text);
  QApplication::sendEvent(target, &release);
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("HALLWIRE_COMPUTERNAME", "OFFICE-PC2", 1);
    platform::net::ReloadConfig();
    fake.net.computers = {"\\\\ALPHA", "\\\\OFFICE-PC2", "\\\\NONE"};
  }

  // Writes the settings file with the given key lines under their sections.
  void Settings(const std::string& extra_sound_options = "", const std::string& entry_foreground = "clBlack") {
    WriteFile(settings, "[EntryWindow]\nForeground=" + entry_foreground +
                            "\nBackground=clWhite\n[ChatWindow]\nForeground=clLime\nBackground=clBlack\n"
                            "[SoundOptions]\nIconizedfile=hidden.wav\nAllIncoming=shown.wav\n" +
                            extra_sound_options + "\n");
  }

  TmainForm& Create() {
    form = std::make_unique<TmainForm>(fake.Make(settings));
    return *form;
  }

  // A real click on a node: press and release on its row.
  void ClickNode(QTreeWidgetItem* item) {
    QTreeWidget* tree = Ui(*form).recipient_tree;
    const QPoint at = tree->visualItemRect(item).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(tree->viewport(), &release);
  }

  QTreeWidgetItem* Root() { return Ui(*form).recipient_tree->topLevelItem(0); }
  QTreeWidgetItem* Child(int i) { return Root()->child(i); }

  std::string Line(const std::string& text) { return "Office-pc2( " + UserName() + " ) " + text; }
  // Types `text` into the entry box and presses Send.
  void Send(const std::string& text) {
    form->SetEntryText(text);
    Ui(*form).send_button->click();
  }

  TempDir dir;
  std::string settings = dir.File("Hwire.ini");
  test::TFakeParts fake;
  std::unique_ptr<TmainForm> form;
};

// --- start-up ------------------------------------------------------------------

TEST_F(MainFormTest, StartsWithDesignStateWhenNoSettingsAreStored) {
  TmainForm& f = Create();
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(f.windowTitle(), "Hallwire");
  EXPECT_EQ(f.LocalComputerName(), "Office-pc2");
  EXPECT_EQ(f.LocalUserName(), UserName());
  EXPECT_EQ(f.SelectedRecipient(), "None");
  EXPECT_EQ(Ui(f).status_bar->Panel(0).text.toStdString(), "Office-pc2 / User (" + UserName() + ")");
  EXPECT_FALSE(f.PlaySound());
  EXPECT_FALSE(f.UseEnter());
  EXPECT_FALSE(f.OpenWindow());
  EXPECT_FALSE(f.IconizedOnly());
  EXPECT_EQ(f.IconizedFile(), "");
  EXPECT_EQ(f.AllIncoming(), "");
  EXPECT_TRUE(fake.sound->played.empty());
  EXPECT_TRUE(fake.dialogs->errors.empty());
  // Chat box white on black; both boxes hold one empty line.
  EXPECT_EQ(Ui(f).chat_box->palette().color(QPalette::Base), QColor(Qt::black));
  EXPECT_EQ(Ui(f).chat_box->palette().color(QPalette::Text), QColor(Qt::white));
  EXPECT_EQ(f.ChatText(), "\r\n");
  EXPECT_EQ(f.EntryText(), "\r\n");
  // The tree is filled and open.
  EXPECT_EQ(Root()->text(0), "Hallwire Network");
  EXPECT_TRUE(Root()->isExpanded());
  EXPECT_EQ(Root()->childCount(), 3);
  EXPECT_FALSE(fake.tray->Animated());
}

TEST_F(MainFormTest, CreationRunsItsStepsInOrder) {
  Settings("PlaySound=True");
  fake.net.computers = {"\\\\ALPHA"};
  // What the status bar shows when the tree is being filled.
  QString status_when_filled = "<not filled>";
  TMainFormParts parts = fake.Make(settings);
  auto open = parts.NetEnum.OpenEnum;
  parts.NetEnum.OpenEnum = [&](auto... args) {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* window = qobject_cast<TmainForm*>(widget)) status_when_filled = Ui(*window).status_bar->Panel(0).text;
    return open(args...);
  };
  form = std::make_unique<TmainForm>(std::move(parts));
  const auto& j = fake.journal;
  ASSERT_LT(IndexOf(j, "tray:off"), j.size());
  ASSERT_LT(IndexOf(j, "sound:shown.wav"), j.size());
  ASSERT_LT(IndexOf(j, "net:open"), j.size());
  EXPECT_LT(IndexOf(j, "tray:off"), IndexOf(j, "sound:shown.wav"));
  EXPECT_LT(IndexOf(j, "sound:shown.wav"), IndexOf(j, "net:open"));
  EXPECT_EQ(status_when_filled.toStdString(), "Office-pc2 / User (" + UserName() + ")");
  EXPECT_TRUE(form->PlaySound());
  EXPECT_EQ(Ui(*form).chat_box->palette().color(QPalette::Text), QColor(0, 255, 0));
  EXPECT_EQ(Ui(*form).entry_box->palette().color(QPalette::Base), QColor(255, 255, 255));
}

TEST_F(MainFormTest, AFailingSettingsReadShowsTheErrorAndSkipsTheLaterSteps) {
  Settings("PlaySound=True", "bogus");
  TmainForm& f = Create();
  ASSERT_EQ(fake.dialogs->errors.size(), 1u);
  EXPECT_EQ(fake.dialogs->errors[0], "'bogus' is not a valid integer value");
  EXPECT_EQ(f.LocalComputerName(), "Office-pc2");
  EXPECT_EQ(f.SelectedRecipient(), "None");
  EXPECT_EQ(f.LocalUserName(), "");
  EXPECT_EQ(Ui(f).status_bar->Panel(0).text, "");
  EXPECT_TRUE(fake.sound->played.empty());
  EXPECT_EQ(IndexOf(fake.journal, "net:open"), fake.journal.size());
  EXPECT_EQ(Root()->text(0), "Network Neighborhood");
}

TEST_F(MainFormTest, AStartUpSoundThatCannotBeOpenedStopsCreationThere) {
  Settings("PlaySound=True");
  TMainFormParts parts = fake.Make(settings);
  fake.sound->missing.insert("shown.wav");
  form = std::make_unique<TmainForm>(std::move(parts));
  ASSERT_EQ(fake.dialogs->errors.size(), 1u);
  EXPECT_EQ(form->LocalUserName(), "");
  EXPECT_EQ(Root()->text(0), "Network Neighborhood");
}

TEST_F(MainFormTest, ComputerNamesAreCapitalisedWordByWord) {
  const std::pair<const char*, const char*> examples[] = {
      {"OFFICE-PC2", "Office-pc2"}, {"2NDFLOOR", "2ndfloor"}, {"sales DESK 4", "Sales Desk 4"}};
  for (const auto& [system, shown] : examples) {
    setenv("HALLWIRE_COMPUTERNAME", system, 1);
    platform::net::ReloadConfig();
    test::TFakeParts parts;
    TmainForm window(parts.Make(settings));
    EXPECT_EQ(window.LocalComputerName(), shown) << system;
  }
}

TEST_F(MainFormTest, NetworkNoticesFromAnyThreadReachTheStatusBarAndABox) {
  Create();
  const QString identity = Ui(*form).status_bar->Panel(0).text;
  std::thread([] {
    platform::net::PostNetworkNotice("No network interface is up.");
    platform::net::PostNetworkNotice("The network is back (eth0 10.0.0.3).");
  }).join();
  ProcessEvents();
  EXPECT_EQ(fake.dialogs->notices,
            (std::vector<std::string>{"No network interface is up.", "The network is back (eth0 10.0.0.3)."}));
  EXPECT_EQ(Ui(*form).status_bar->Panel(0).text, "The network is back (eth0 10.0.0.3).");
  EXPECT_NE(identity, Ui(*form).status_bar->Panel(0).text);
}

TEST_F(MainFormTest, LayoutFollowsTheDesign) {
  TmainForm& f = Create();
  if (const char* shot = std::getenv("HALLWIRE_SHOT")) f.grab().save(shot);
  EXPECT_EQ(f.width(), 383);
  EXPECT_EQ(f.minimumSize(), f.maximumSize());
  EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
  const auto& ui = Ui(f);
  const QToolButton* buttons[] = {ui.send_button, ui.preferences_button, ui.clear_button, ui.sound_button,
                                  ui.refresh_button};
  const char* captions[] = {"&Send", "&Prefs", "&Clear", "S&ound", "&Refresh"};
  const char* hints[] = {"Send Message", "Preferences", "Clear ChatWindow", "Sound", "Refresh Network List"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(buttons[i]->text(), captions[i]);
    EXPECT_EQ(buttons[i]->toolTip(), hints[i]);
    EXPECT_EQ(buttons[i]->geometry(), QRect(3 + 48 * i, 3, 47, 40));
  }
  EXPECT_EQ(f.SoundButtonImage(), 3);
  EXPECT_TRUE(Ui(f).chat_box->isReadOnly());
  ASSERT_EQ(Ui(f).status_bar->PanelCount(), 5);
  const int widths[] = {200, 30, 35, 30, 50};
  const char* texts[] = {"", "INS", "CAPS", "NUM", ""};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Ui(f).status_bar->Panel(i).width, widths[i]);
    if (i > 0) {
      EXPECT_EQ(Ui(f).status_bar->Panel(i).text, texts[i]);
    }
  }
  EXPECT_EQ(Ui(f).cut_action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
  EXPECT_EQ(Ui(f).copy_action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
  EXPECT_EQ(Ui(f).paste_action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
  EXPECT_EQ(fake.tray->Menu(), Ui(f).tray_menu);
  EXPECT_EQ(Ui(f).caption->PopupMenu(), Ui(f).tray_menu);
  EXPECT_EQ(Ui(f).view_action->text(), "&View Message");
  EXPECT_EQ(Ui(f).tray_exit_action->text(), "E&xit");
}

// --- showing, hiding, ending -------------------------------------------------------

TEST_F(MainFormTest, CloseAsksAndEndsOnlyOnYes) {
  TmainForm& f = Create();
  f.ShowWindow();
  fake.dialogs->answers = {false};
  f.close();
  EXPECT_EQ(fake.dialogs->questions, std::vector<std::string>{"Are you sure you want to close Hallwire?"});
  EXPECT_EQ(fake.terminated, 0);
  EXPECT_TRUE(f.isVisible());
  fake.dialogs->answers = {true};
  f.close();
  EXPECT_EQ(fake.terminated, 1);
  // Exit in either menu ends at once, without a question.
  Ui(f).tray_exit_action->trigger();
  Ui(f).exit_action->trigger();
  EXPECT_EQ(fake.terminated, 3);
  EXPECT_EQ(fake.dialogs->questions.size(), 2u);
}

TEST_F(MainFormTest, MinimiseHidesAndMaximiseDoesNothing) {
  TmainForm& f = Create();
  f.ShowWindow();
  f.SetEntryText("draft");
  f.setWindowState(Qt::WindowMinimized);
  ProcessEvents();
  EXPECT_FALSE(f.isVisible());
  EXPECT_FALSE(f.windowState() & Qt::WindowMinimized);
  fake.tray->DoubleClick();
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(f.EntryText(), "draft");

  const QSize size = f.size();
  f.SystemCommand(SC_MAXIMIZE);
  f.setWindowState(Qt::WindowMaximized);
  ProcessEvents();
  EXPECT_TRUE(f.isVisible());
  EXPECT_FALSE(f.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(f.size(), size);
  f.SystemCommand(SC_MINIMIZE | 0x0002);  // the low bits are masked off
  EXPECT_FALSE(f.isVisible());
}

// Without a tray entry the window shows at start and really minimises; with OpenWindow
// an arrival restores it.
TEST_F(MainFormTest, WithoutATrayEntryTheWindowShowsAtStartAndReallyMinimises) {
  TmainForm& f = Create();
  f.ShowWithoutTray();
  EXPECT_FALSE(f.isVisible());  // the tray entry is there: start hidden
  fake.tray->registered = false;
  f.ShowWithoutTray();
  EXPECT_TRUE(f.isVisible());
  f.SystemCommand(SC_MINIMIZE);
  ProcessEvents();
  EXPECT_TRUE(f.isVisible());
  ASSERT_TRUE(f.windowState() & Qt::WindowMinimized);
  f.SetOpenWindow(true);
  fake.terminal->Deliver("wake up");
  ProcessEvents();
  EXPECT_FALSE(f.isMinimized());
  EXPECT_TRUE(f.isVisible());
  EXPECT_FALSE(fake.tray->Animated());
}

TEST_F(MainFormTest, ViewShowsWithoutStoppingTheBlinkAndDoubleClickStopsIt) {
  TmainForm& f = Create();
  fake.terminal->Deliver("hello");
  EXPECT_TRUE(fake.tray->Animated());
  Ui(f).view_action->trigger();
  EXPECT_TRUE(f.isVisible());
  EXPECT_TRUE(fake.tray->Animated());
  f.HideWindow();
  fake.tray->DoubleClick();
  EXPECT_TRUE(f.isVisible());
  EXPECT_FALSE(fake.tray->Animated());
}

// A dialog that closes itself with a given result as soon as it is shown.
class TAnsweringDialog : public QDialog {
 public:
  explicit TAnsweringDialog(int result) : result_(result) {}
  int shown = 0;

 protected:
  void showEvent(QShowEvent* event) override {
    QDialog::showEvent(event);
    ++shown;
    QTimer::singleShot(0, this, [this] { done(result_); });
  }

 private:
  int result_;
};

TEST_F(MainFormTest, PreferencesOKStopsTheBlinkAndAppliesTheSettingsAgain) {
  Settings("PlaySound=False");
  TmainForm& f = Create();
  TAnsweringDialog cancel(QDialog::Rejected), ok(QDialog::Accepted);
  fake.terminal->Deliver("blink");
  ASSERT_TRUE(fake.tray->Animated());
  Settings("PlaySound=True\n[Keyboard]\nUseEnter=True");

  f.SetPreferencesDialog(&cancel);
  Ui(f).preferences_button->click();
  EXPECT_EQ(cancel.shown, 1);
  EXPECT_TRUE(fake.tray->Animated());
  EXPECT_FALSE(f.UseEnter());

  f.SetPreferencesDialog(&ok);
  fake.journal.clear();
  Ui(f).preferences_action->trigger();
  EXPECT_EQ(ok.shown, 1);
  EXPECT_FALSE(fake.tray->Animated());
  EXPECT_TRUE(f.UseEnter());
  EXPECT_TRUE(f.PlaySound());
  // No start-up sound this time; and a switch turned off in the file turns off here.
  EXPECT_TRUE(fake.sound->played.empty());
  Settings("PlaySound=False");
  Ui(f).preferences_action->trigger();
  EXPECT_FALSE(f.UseEnter());
  EXPECT_FALSE(f.PlaySound());
}

TEST_F(MainFormTest, AboutShowsTheBoxModallyAndTheCaptionStripOpensTheWindowMenu) {
  TmainForm& f = Create();
  TAnsweringDialog about(QDialog::Accepted);
  f.SetAboutBox(&about);
  Ui(f).about_action->trigger();
  EXPECT_EQ(about.shown, 1);

  f.ShowWindow();
  QMouseEvent right(QEvent::MouseButtonPress, QPointF(50, 5), Ui(f).caption->mapToGlobal(QPointF(50, 5)),
                    Qt::RightButton, Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(Ui(f).caption, &right);
  EXPECT_TRUE(Ui(f).tray_menu->isVisible());
  Ui(f).tray_menu->hide();
}

TEST_F(MainFormTest, HelpOpensContentsAndTheFocusedContext) {
  TmainForm& f = Create();
  Ui(f).help_contents_action->trigger();
  Ui(f).help_search_action->trigger();
  Ui(f).help_usage_action->trigger();
  Key(Ui(f).entry_box, Qt::Key_F1);
  EXPECT_EQ(fake.help, (std::vector<int>{0, 3}));
}

// --- sending -------------------------------------------------------------------

// Before a recipient is chosen, after a refresh, and with a computer shown as None,
// Send is refused and both boxes stay as they were.
TEST_F(MainFormTest, SendingWithoutAChosenRecipientIsRefused) {
  const struct { int clicked; bool refresh; const char* selected; } rows[] = {
      {-1, false, "None"}, {0, true, "Alpha"}, {2, false, "None"}};
  for (const auto& row : rows) {
    TmainForm& f = Create();
    if (row.clicked >= 0) ClickNode(Child(row.clicked));
    if (row.refresh) {
      Ui(f).refresh_button->click();
      EXPECT_EQ(SelectedNode(*Ui(f).recipient_tree), nullptr);
      EXPECT_TRUE(Root()->isExpanded());
    }
    EXPECT_EQ(f.SelectedRecipient(), row.selected);
    Send("Lunch at 12?");
    EXPECT_EQ(fake.dialogs->notices, std::vector<std::string>{"You must first select a recipient"}) << row.clicked;
    EXPECT_TRUE(fake.terminal->sent.empty());
    EXPECT_EQ(f.ChatText(), "\r\n");
    EXPECT_EQ(f.EntryText(), "Lunch at 12?");
  }
}

// A click on the root addresses the whole domain, one on a computer that computer by its
// node text. The line stands in the own chat box (after its empty first line), shown
// before it was transmitted; the entry box is emptied.
TEST_F(MainFormTest, SendingAddressesTheClickedNode) {
  const struct { int child; const char *text, *line; TReceiverType receiver; const char* name; } rows[] = {
      {-1, "Lunch at 12?", "Lunch at 12?", TReceiverType::rcPrimaryDomain, "Hallwire Network"},
      {0, "one\ntwo\n", "one\r\ntwo\r\n", TReceiverType::rcDomainOrComputer, "Alpha"}};
  for (const auto& row : rows) {
    TmainForm& f = Create();
    ClickNode(row.child < 0 ? Root() : Child(row.child));
    EXPECT_EQ(f.SelectedRecipient(), row.name);
    Send(row.text);
    ASSERT_EQ(fake.terminal->sent.size(), 1u);
    const test::TSentMessage& sent = fake.terminal->sent[0];
    EXPECT_EQ(sent.receiver, row.receiver);
    EXPECT_EQ(sent.receiver_name, row.name);
    EXPECT_EQ(sent.payload, Line(row.line) + std::string(1, '\0'));
    EXPECT_EQ(f.ChatText(), "\r\n" + Line(row.line) + "\r\n");
    EXPECT_EQ(f.EntryText(), "");
    EXPECT_TRUE(fake.dialogs->notices.empty());
  }
}

// Space and Enter choose the current node, an arrow key the node it moves to; each is
// recorded as a click is, so that Send goes to it. Ctrl+Tab types a tab, Tab leaves.
TEST_F(MainFormTest, TheKeyboardChoosesTheRecipientAndTabLeavesTheEntryBox) {
  // current, chosen: child indexes, -1 the root
  const struct { int key, current, chosen; } cases[] = {
      {Qt::Key_Space, 0, 0}, {Qt::Key_Return, 1, 1}, {Qt::Key_Enter, -1, -1}, {Qt::Key_Down, -1, 0}};
  for (const auto& c : cases) {
    TmainForm& f = Create();
    Ui(f).recipient_tree->setCurrentItem(c.current < 0 ? Root() : Child(c.current), 0, QItemSelectionModel::NoUpdate);
    Key(Ui(f).recipient_tree, c.key, c.key == Qt::Key_Space ? " " : "");
    const std::string chosen = (c.chosen < 0 ? Root() : Child(c.chosen))->text(0).toStdString();
    Send("Lunch at 12?");
    EXPECT_EQ(f.SelectedRecipient(), chosen) << c.key;
    ASSERT_EQ(fake.terminal->sent.size(), 1u) << c.key;
    EXPECT_EQ(fake.terminal->sent[0].receiver_name, chosen) << c.key;
  }
  TmainForm& f = Create();
  f.ShowWindow();
  ProcessEvents();
  Ui(f).entry_box->setFocus();
  Key(Ui(f).entry_box, Qt::Key_Tab, "\t", Qt::ControlModifier);
  Key(Ui(f).entry_box, Qt::Key_Tab, "\t");
  EXPECT_EQ(f.EntryText(), "\t\r\n");
  EXPECT_EQ(QApplication::focusWidget(), Ui(f).chat_box);
}

TEST_F(MainFormTest, KeyboardMovesAndClicksOnNothingKeepTheRecipient) {
  TmainForm& f = Create();
  ClickNode(Child(0));
  Ui(f).recipient_tree->setCurrentItem(Child(1));  // as the arrow keys do
  EXPECT_EQ(f.SelectedRecipient(), "Alpha");
  // An edited label is the next send's address.
  ClickNode(Child(1));
  Child(1)->setText(0, "Renamed");
  Send("x");
  ASSERT_EQ(fake.terminal->sent.size(), 1u);
  EXPECT_EQ(fake.terminal->sent[0].receiver_name, "Renamed");
}

TEST_F(MainFormTest, EnterSendsOnlyWhenUseEnterIsOn) {
  Settings("\n[Keyboard]\nUseEnter=True");
  TmainForm& f = Create();
  f.ShowWindow();
  ClickNode(Root());
  f.SetEntryText("");
  Key(Ui(f).entry_box, Qt::Key_H, "h");
  Key(Ui(f).entry_box, Qt::Key_I, "i");
  Key(Ui(f).entry_box, Qt::Key_Return, "\r", Qt::ShiftModifier);
  ProcessEvents();
  ASSERT_EQ(fake.terminal->sent.size(), 1u);
  EXPECT_EQ(fake.terminal->sent[0].payload, Line("hi") + std::string(1, '\0'));
  // The Enter key still reaches the emptied box; the Up key puts the caret back on line 1.
  EXPECT_EQ(f.EntryText(), "\r\n");
  EXPECT_EQ(Ui(f).entry_box->textCursor().blockNumber(), 0);

  f.SetUseEnter(false);
  Key(Ui(f).entry_box, Qt::Key_Return, "\r");
  EXPECT_EQ(fake.terminal->sent.size(), 1u);
  EXPECT_EQ(f.EntryText(), "\r\n\r\n");
}

TEST_F(MainFormTest, TheUpKeyAfterASendStaysInTheEntryBox) {
  TmainForm& f = Create();
  f.ShowWindow();
  ClickNode(Child(1));
  Ui(f).recipient_tree->setFocus();
  Send("x");
  ProcessEvents();
  // The tree's selection did not move up.
  EXPECT_EQ(SelectedNode(*Ui(f).recipient_tree), Child(1));
}

TEST_F(MainFormTest, ATransportErrorKeepsTheLineAndTheEntryText) {
  TmainForm& f = Create();
  ClickNode(Child(0));
  fake.terminal->fail_with = "The network path was not found";
  Send("hello");
  EXPECT_EQ(fake.dialogs->errors, std::vector<std::string>{"The network path was not found"});
  EXPECT_EQ(f.ChatText(), "\r\n" + Line("hello") + "\r\n");
  EXPECT_EQ(f.EntryText(), "hello");
  // The user may send again.
  fake.terminal->fail_with.clear();
  Ui(f).send_button->click();
  EXPECT_EQ(fake.terminal->sent.size(), 1u);
}

TEST_F(MainFormTest, ALineTooLongForTheCarrierIsRefusedBeforeAnythingIsLost) {
  TmainForm& f = Create();
  ClickNode(Root());
  const std::string head = Line("");
  fake.terminal->max_payload = head.size() + 10 + 1;
  Send(std::string(11, 'a'));
  ASSERT_EQ(fake.dialogs->errors.size(), 1u);
  EXPECT_NE(fake.dialogs->errors[0].find("too long"), std::string::npos);
  EXPECT_TRUE(fake.terminal->sent.empty());
  EXPECT_EQ(f.ChatText(), "\r\n");
  EXPECT_EQ(f.EntryText(), std::string(11, 'a'));
  // Exactly at the limit it goes.
  Send(std::string(10, 'a'));
  EXPECT_EQ(fake.terminal->sent.size(), 1u);
  // The limit is in bytes: four euro signs take twelve.
  Send("\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
  EXPECT_EQ(fake.terminal->sent.size(), 1u);
  EXPECT_NE(fake.dialogs->errors.back().find("takes " + std::to_string(head.size() + 12) + " bytes"), std::string::npos);
}

TEST(CarrierLimit, LeavesRoomForTheDatagramHeaders) {
  const std::size_t limit = MaxCarrierPayload("hwSlot");
  EXPECT_LT(limit, 65507u - 8u);
  EXPECT_GT(limit, 65000u);
}

// --- receiving -----------------------------------------------------------------

// An arrival that finds the window hidden blinks the tray entry and plays the iconized
// sound; with OpenWindow it shows the window and plays the shown sound, as it does for a
// window already shown, where the tray is left alone.
TEST_F(MainFormTest, AnArrivalBlinksOrShowsAndSoundsAsItFindsTheWindow) {
  const struct { const char* settings; bool shown_before, shown_after; test::TJournal journal; } rows[] = {
      {"PlaySound=True", false, false, {"tray:on", "sound:hidden.wav"}},
      {"PlaySound=True\n[Notify]\nOpenWindow=True", false, true, {"tray:on", "tray:off", "sound:shown.wav"}},
      {"PlaySound=True", true, true, {"sound:shown.wav"}}};
  for (const auto& row : rows) {
    Settings(row.settings);
    TmainForm& f = Create();
    if (row.shown_before) f.ShowWindow();
    fake.journal.clear();
    fake.terminal->Deliver(Line("ping") + std::string(1, '\0'));
    EXPECT_EQ(f.ChatText(), "\r\n" + Line("ping") + "\r\n");
    EXPECT_EQ(f.isVisible(), row.shown_after);
    EXPECT_EQ(fake.tray->Animated(), !row.shown_after);
    EXPECT_EQ(fake.journal, row.journal) << row.settings;
  }
}

TEST_F(MainFormTest, NoSoundWhilePlaySoundIsOff) {
  Settings("PlaySound=False\n[Notify]\nOpenWindow=True");
  TmainForm& f = Create();
  fake.terminal->Deliver("a");
  f.HideWindow();
  fake.terminal->Deliver("b");
  EXPECT_TRUE(fake.sound->played.empty());
}

TEST_F(MainFormTest, IconizedOnlyKeepsSoundsForMessagesThatFindTheWindowHidden) {
  Settings("PlaySound=True\nIconizedOnly=True");
  TmainForm& f = Create();
  fake.sound->played.clear();
  f.ShowWindow();
  fake.terminal->Deliver("shown");
  EXPECT_TRUE(fake.sound->played.empty());
  f.HideWindow();
  fake.terminal->Deliver("hidden");
  EXPECT_EQ(fake.sound->played, std::vector<std::string>{"hidden.wav"});
  // Opening the window on arrival does not turn the message into a shown one.
  f.SetOpenWindow(true);
  f.HideWindow();
  fake.terminal->Deliver("hidden again");
  EXPECT_EQ(fake.sound->played, (std::vector<std::string>{"hidden.wav", "hidden.wav"}));
}

TEST_F(MainFormTest, ABodyEndsAtItsFirstZeroByte) {
  TmainForm& f = Create();
  f.ClearClick();
  fake.terminal->Deliver("no terminator");
  fake.terminal->Deliver(std::string("cut\0here", 8));
  fake.terminal->Deliver("two\nlines");
  EXPECT_EQ(f.ChatText(), "no terminator\r\ncut\r\ntwo\r\nlines\r\n");
}

TEST_F(MainFormTest, EachLineShowsItsTrustAndKeepsItsBytes) {
  TmainForm& f = Create();
  f.ClearClick();
  const auto signer = TLineSigner::Generate();
  const struct { std::string line; TLineTrust trust; const char* reason; } rows[] = {
      {"Pc1( a ) verified", TLineTrust::Verified, ""}, {"Pc1( a ) forged", TLineTrust::Forged, "other key"},
      {"Pc2( b ) old peer", TLineTrust::Unsigned, ""}};
  std::string expected;
  for (const auto& row : rows) {
    std::vector<std::uint8_t> payload(row.line.begin(), row.line.end());
    payload.push_back(0);
    signer->AppendTrailer(payload, 1, 1);
    fake.terminal->check = {row.trust, false, "3f2a 9c01 77de 10b4", row.reason};
    fake.terminal->Deliver(std::string(payload.begin(), payload.end()));
    expected += row.line + "\r\n";
  }
  EXPECT_EQ(f.ChatText(), expected);  // what File > Save Messages writes
  ProcessEvents();  // the lines after the turn's first show when it ends
  for (int i = 0; i <= 3; ++i) {  // the 4th block: the empty one after the last line
    const QTextBlockFormat format = Ui(f).chat_box->document()->findBlockByNumber(i).blockFormat();
    const TLineTrust trust = i < 3 ? rows[i].trust : TLineTrust::Unsigned;
    const QString note = format.property(kLineNoteProperty).toString();
    EXPECT_EQ(format.hasProperty(kLineTrustProperty), trust != TLineTrust::Unsigned) << i;
    EXPECT_EQ(note.contains("3f2a 9c01"), trust != TLineTrust::Unsigned) << i;
    EXPECT_EQ(note.startsWith("FORGED"), trust == TLineTrust::Forged) << i;
  }
}

TEST_F(MainFormTest, AnArrivalSoundErrorIsShownAndReceptionGoesOn) {
  Settings("PlaySound=True");
  TmainForm& f = Create();
  fake.sound->missing.insert("hidden.wav");
  fake.terminal->Deliver("first");
  EXPECT_TRUE(fake.tray->Animated());
  ProcessEvents();
  EXPECT_EQ(fake.dialogs->errors, std::vector<std::string>{"The specified file cannot be found"});
  fake.terminal->Deliver("second");
  EXPECT_EQ(f.ChatText(), "\r\nfirst\r\nsecond\r\n");
}

TEST_F(MainFormTest, AStormOfReceivingErrorsOpensOneBoxAtATime) {
  Settings("PlaySound=True");
  TmainForm& f = Create();
  fake.sound->missing.insert("hidden.wav");
  int depth = 0, deepest = 0;
  fake.dialogs->while_error_open = [&] {
    deepest = std::max(deepest, ++depth);
    if (fake.dialogs->errors.size() == 1) {
      for (int i = 0; i < 10000; ++i) fake.terminal->Deliver("m");
      fake.terminal->Fail("Stream read error");
      ProcessEvents();
    }
    --depth;
  };
  fake.terminal->Deliver("first");
  EXPECT_TRUE(fake.dialogs->errors.empty()) << "a box opened inside the delivery";
  ProcessEvents();
  EXPECT_EQ(deepest, 1);
  ASSERT_EQ(fake.dialogs->errors.size(), 2u);
  EXPECT_EQ(fake.dialogs->errors[0], "The specified file cannot be found");
  EXPECT_EQ(fake.dialogs->errors[1],
            "Stream read error.\n\n10001 more errors came while the last box was open; this is the latest");
  fake.terminal->Deliver("later");
  ProcessEvents();
  EXPECT_EQ(fake.dialogs->errors.size(), 3u);
  EXPECT_EQ(f.ChatText().substr(f.ChatText().size() - 7), "later\r\n");
}

TEST_F(MainFormTest, ReceivedTextShowsInItsEncodingAndSavesAndLoadsAsItCame) {
  struct Row {
    std::string bytes;
    QString shown;
  } rows[] = {
      {"\xD0\x9F\xD1\x80\xD0\xB8 \xE2\x82\xAC \xE4\xB8\xAD \xCE\xB1", QString::fromUtf8("При € 中 α")},
      {"\x93quoted\x94 \x80 5 \x96 ok", QString::fromUtf8("“quoted” € 5 – ok")},
      {"caf\xE9\r\nna\xEFve", QString::fromUtf8("café\nnaïve")},
  };
  TmainForm& f = Create();
  const std::string path = dir.File("round.hwm");
  for (const Row& row : rows) {
    f.ClearClick();
    fake.terminal->Deliver(row.bytes);
    EXPECT_EQ(Ui(f).chat_box->toPlainText(), row.shown + "\n");
    const std::string kept = NormaliseLineEnds(row.bytes) + "\r\n";
    EXPECT_EQ(f.ChatText(), kept);
    fake.dialogs->save_answers = {path};
    f.SaveMessagesClick();
    EXPECT_EQ(ReadFile(path), kept);
    f.ClearClick();
    fake.dialogs->open_answers = {path};
    f.LoadMessagesClick();
    EXPECT_EQ(Ui(f).chat_box->toPlainText(), row.shown + "\n");
    EXPECT_EQ(f.ChatText(), kept);
  }
  // A paragraph separator in a line stays inside that line.
  f.ClearClick();
  fake.terminal->Deliver("para\xE2\x80\xA9sep");
  fake.terminal->Deliver("next");
  EXPECT_EQ(f.ChatText(), "para\xE2\x80\xA9sep\r\nnext\r\n");
  ProcessEvents();  // the second line of a turn shows at its end
  EXPECT_EQ(Ui(f).chat_box->document()->blockCount(), 3);
  // The capacity counts the bytes a save writes, not the characters shown.
  f.ClearClick();
  f.SetChatCapacity(30);
  fake.terminal->Deliver("\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");  // 14 bytes with its line end
  fake.terminal->Deliver("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");          // 26
  fake.terminal->Deliver("abc");                                               // 31: the first goes
  EXPECT_EQ(f.ChatText(), "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\r\nabc\r\n");
  EXPECT_TRUE(fake.dialogs->errors.empty());
}

// Hidden arrivals: one notification replaced with the count, the line cut short; its
// Open shows the window, stops the blinking and withdraws it. Switched off: none.
TEST_F(MainFormTest, HiddenArrivalsNotifyWithTheCountUntilTheNotificationOpensTheWindow) {
  for (const bool on : {true, false}) {
    Settings(on ? "PlaySound=False" : "PlaySound=False\n[Desktop]\nNotifications=False");
    TmainForm& f = Create();
    auto& tray = *fake.tray;
    fake.terminal->Deliver("first");
    fake.terminal->Deliver(std::string(300, 'x'));
    EXPECT_TRUE(tray.Animated());
    EXPECT_EQ(tray.notes.empty(), !on);
    if (!on) continue;
    EXPECT_EQ(tray.notes, (std::vector<std::string>{"New message|first",
                                                    "2 messages waiting|" + std::string(200, 'x') + "\u2026"}));
    tray.OpenNotification();
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(tray.Animated());
    EXPECT_EQ(tray.notes_closed, 1);
    f.HideWindow();
    fake.terminal->Deliver("again");
    EXPECT_EQ(tray.notes.back(), "New message|again");
  }
}

TEST_F(MainFormTest, TheChatBoxScrollsToItsNewestLineAndWhenFullDropsItsOldest) {
  TmainForm& f = Create();
  f.ShowWindow();
  for (int i = 0; i < 60; ++i) fake.terminal->Deliver("line " + std::to_string(i));
  ProcessEvents();
  QScrollBar* bar = Ui(f).chat_box->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  f.ClearClick();
  f.SetChatCapacity(30);
  fake.terminal->Deliver("0123456789");  // 12 bytes with its line end
  fake.terminal->Deliver("abcdefghij");  // 24
  fake.terminal->Deliver("ABCDEFGHIJ");  // 36: the first line goes
  EXPECT_EQ(f.ChatText(), "abcdefghij\r\nABCDEFGHIJ\r\n");
  EXPECT_LE(f.ChatText().size(), 30u);
}

TEST_F(MainFormTest, TheSoundButtonSwitchesSoundsAndPlaysATrimmedSample) {
  TmainForm& f = Create();
  f.SetIconizedFile(" hidden.wav \t");
  Ui(f).sound_button->click();
  EXPECT_TRUE(f.PlaySound());
  EXPECT_EQ(f.SoundButtonImage(), 3);
  EXPECT_EQ(fake.sound->played, std::vector<std::string>{"hidden.wav"});
  Ui(f).sound_button->click();
  EXPECT_FALSE(f.PlaySound());
  EXPECT_EQ(f.SoundButtonImage(), 5);
  EXPECT_EQ(fake.sound->played.size(), 1u);
  // A sample that cannot be opened: the error is shown, sounds stay on.
  fake.sound->missing.insert("hidden.wav");
  Ui(f).sound_button->click();
  EXPECT_EQ(fake.dialogs->errors, std::vector<std::string>{"The specified file cannot be found"});
  EXPECT_TRUE(f.PlaySound());
  EXPECT_EQ(f.SoundButtonImage(), 3);
}

// --- message files -------------------------------------------------------------

TEST_F(MainFormTest, SaveClearLoadGivesBackTheSameLines) {
  TmainForm& f = Create();
  fake.terminal->Deliver("Alpha( bob ) hi \xE9\xA0!");
  fake.terminal->Deliver("second");
  const std::string before = f.ChatText();
  const std::string path = dir.File("chat.hwm");
  fake.dialogs->save_answers = {path};
  Ui(f).save_action->trigger();
  EXPECT_EQ(ReadFile(path), before);
  Ui(f).clear_button->click();
  EXPECT_EQ(f.ChatText(), "");
  fake.dialogs->open_answers = {path};
  Ui(f).load_action->trigger();
  EXPECT_EQ(f.ChatText(), before);
  // Both dialogs as designed, each starting with the name last chosen in it.
  const TFileDialogOptions& save = fake.dialogs->save_options.at(0);
  EXPECT_EQ(save.title, "Save Message");
  EXPECT_EQ(save.filter, "Hallwire Files|*.hwm|Text Files|*.txt");
  EXPECT_EQ(save.default_extension, "hwm");
  EXPECT_EQ(fake.dialogs->open_options.at(0).title, "Open Message");
  Ui(f).save_action->trigger();
  EXPECT_EQ(fake.dialogs->save_options.at(1).initial_name, path);
}

TEST_F(MainFormTest, UnixLineEndsLoadAsLinesAndSaveAsCarriageReturnLineFeed) {
  TmainForm& f = Create();
  const std::string path = dir.File("unix.txt");
  WriteFile(path, "one\ntwo\nthree");
  fake.dialogs->open_answers = {path};
  f.LoadMessagesClick();
  EXPECT_EQ(Ui(f).chat_box->document()->blockCount(), 3);
  // A line that arrives afterwards gets a line of its own.
  fake.terminal->Deliver("four");
  fake.dialogs->save_answers = {path};
  f.SaveMessagesClick();
  EXPECT_EQ(ReadFile(path), "one\r\ntwo\r\nthree\r\nfour");
}

// Cancelled dialogs, a file that cannot be read or is too big, a folder that is not
// there: the chat box stays as it was; each failure is reported once. An empty chat box
// saves as an empty file.
TEST_F(MainFormTest, CancelledOrFailedFileDialogsKeepTheChatBoxAndAnEmptyOneSavesEmpty) {
  TmainForm& f = Create();
  fake.terminal->Deliver("precious");
  const std::string before = f.ChatText();
  f.SaveMessagesClick();
  f.LoadMessagesClick();
  EXPECT_EQ(f.ChatText(), before);
  EXPECT_TRUE(fake.dialogs->errors.empty());

  const std::string missing = dir.File("missing.hwm"), big = dir.File("big.txt");
  const std::string unwritable = dir.File("missing-folder/chat.hwm");
  WriteFile(big, std::string(200, 'x'));
  f.SetChatCapacity(100);
  fake.dialogs->open_answers = {missing, big};
  Ui(f).load_action->trigger();
  Ui(f).load_action->trigger();
  fake.dialogs->save_answers = {unwritable};
  Ui(f).save_action->trigger();
  EXPECT_EQ(fake.dialogs->errors, (std::vector<std::string>{"Cannot open file " + missing, "Text exceeds memo capacity",
                                                            "Cannot create file " + unwritable}));
  EXPECT_EQ(f.ChatText(), before);
  f.ClearClick();
  fake.dialogs->save_answers = {dir.File("empty.hwm")};
  f.SaveMessagesClick();
  EXPECT_EQ(ReadFile(dir.File("empty.hwm")), "");
}

// --- status bar ----------------------------------------------------------------

int CountColour(const QImage& image, const QRect& area, QRgb colour) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
  return n;
}

TEST_F(MainFormTest, KeyPanelsAreDimmedWhileTheirToggleIsOffAndDrawnOnce) {
  TmainForm& f = Create();
  Ui(f).status_bar->resize(383, 21);
  fake.keys->on = {VK_CAPITAL};
  fake.keys->queries.clear();
  QImage image(Ui(f).status_bar->size(), QImage::Format_RGB32);
  Ui(f).status_bar->render(&image);
  // Each owner-drawn panel asked for its own key once; panels 0 and 4 asked nothing.
  EXPECT_EQ(fake.keys->queries, (std::vector<int>{VK_INSERT, VK_CAPITAL, VK_NUMLOCK}));
  // Off: one copy, halfway between the text and the face (no white copy below it).
  // On: the text colour alone.
  const QPalette& palette = Ui(f).status_bar->palette();
  const QColor ink = palette.color(QPalette::ButtonText), face = palette.color(QPalette::Button);
  const QRgb dim = qRgb((ink.red() + face.red()) / 2, (ink.green() + face.green()) / 2, (ink.blue() + face.blue()) / 2);
  const QRgb white = qRgb(255, 255, 255), text = ink.rgb();
  for (int panel : {1, 3}) {
    const QRect area = Ui(f).status_bar->PanelRect(panel);
    EXPECT_GT(CountColour(image, area, dim), 3) << panel;
    EXPECT_EQ(CountColour(image, area, white), 0) << panel;
    EXPECT_EQ(CountColour(image, area, text), 0) << panel;
  }
  const QRect caps = Ui(f).status_bar->PanelRect(2);
  EXPECT_GT(CountColour(image, caps, text), 3);
  EXPECT_EQ(CountColour(image, caps, dim), 0);
  EXPECT_TRUE(Ui(f).status_bar->rect().contains(Ui(f).status_bar->PanelRect(4))) << "a panel runs past the bar";
}

// Keys in the entry box repaint the panels and Insert toggles; keys elsewhere do not
// repaint, except a lock key, whose panel follows the lock once the key is released.
TEST_F(MainFormTest, KeysRepaintTheirPanelsAndLockPanelsFollowTheLockOnRelease) {
  TmainForm& f = Create();
  f.ShowWindow();
  ProcessEvents();
  fake.keys->queries.clear();
  Key(Ui(f).entry_box, Qt::Key_Insert);
  EXPECT_EQ(fake.keys->on.count(VK_INSERT), 1u);
  EXPECT_FALSE(fake.keys->queries.empty());
  fake.keys->queries.clear();
  Key(Ui(f).recipient_tree, Qt::Key_Down);
  EXPECT_TRUE(fake.keys->queries.empty());

  fake.keys->on = {VK_CAPITAL, VK_NUMLOCK};
  for (QWidget* target : {static_cast<QWidget*>(Ui(f).entry_box), static_cast<QWidget*>(Ui(f).recipient_tree)}) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_CapsLock, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    ProcessEvents();
    fake.keys->on.clear();
    fake.keys->queries.clear();
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_CapsLock, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
    ProcessEvents();
    EXPECT_NE(std::find(fake.keys->queries.begin(), fake.keys->queries.end(), VK_CAPITAL), fake.keys->queries.end())
        << "not repainted after the release in " << target->objectName().toStdString();
  }
}

TEST(KeyState, InsertIsKeptHereAndLocksReadOffWithoutADisplay) {
  TKeyState keys;
  EXPECT_FALSE(keys.Toggled(VK_INSERT));
  keys.FlipInsert();
  EXPECT_TRUE(keys.Toggled(VK_INSERT));
  keys.FlipInsert();
  EXPECT_FALSE(keys.Toggled(VK_INSERT));
  // Offscreen has no X display: no crash, the locks read off.
  EXPECT_FALSE(keys.Toggled(VK_CAPITAL));
  EXPECT_FALSE(keys.Toggled(VK_NUMLOCK));
}

// --- clipboard actions -----------------------------------------------------------

TEST_F(MainFormTest, ClipboardActionsFollowTheFocusedBox) {
  TmainForm& f = Create();
  f.ShowWindow();
  QApplication::setActiveWindow(&f);
  Ui(f).entry_box->setFocus();
  ProcessEvents();
  if (QApplication::focusWidget() != Ui(f).entry_box) GTEST_SKIP() << "no keyboard focus on this platform";
  f.SetEntryText("abc");
  f.UpdateActions();
  EXPECT_FALSE(Ui(f).cut_action->isEnabled());
  EXPECT_FALSE(Ui(f).copy_action->isEnabled());
  Ui(f).entry_box->selectAll();
  f.UpdateActions();
  EXPECT_TRUE(Ui(f).cut_action->isEnabled());
  EXPECT_TRUE(Ui(f).copy_action->isEnabled());
  Ui(f).copy_action->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "abc");
  f.UpdateActions();
  EXPECT_TRUE(Ui(f).paste_action->isEnabled());
  Ui(f).recipient_tree->setFocus();
  ProcessEvents();
  f.UpdateActions();
  EXPECT_FALSE(Ui(f).copy_action->isEnabled());
  EXPECT_FALSE(Ui(f).paste_action->isEnabled());
}

// --- on the real transport (loopback, this test's own port) ------------------------

TEST(RealTerminal, ASecondCopyCannotOwnTheMailslot) {
  TQtWindowThread thread;
  auto first = MakeMailslotTerminalPort(thread);
  try {
    MakeMailslotTerminalPort(thread);
    ADD_FAILURE() << "the second terminal opened the mailslot";
  } catch (const Exception& error) {
    EXPECT_EQ(WithFullStop(error.what()),
              "Error reading msTerminal.MailslotName: Cannot create a file when that file already exists.");
  }
}

TEST_F(MainFormTest, ALineSentToTheWholeDomainComesBackToTheOwnChatBox) {
  TQtWindowThread thread;
  TMainFormParts parts = fake.Make(settings);
  parts.Terminal = MakeMailslotTerminalPort(thread);
  form = std::make_unique<TmainForm>(std::move(parts));
  ClickNode(Root());
  Send("round trip \xC3\xA9 \xE2\x82\xAC");
  EXPECT_TRUE(fake.dialogs->errors.empty());
  const std::string line = Line("round trip \xC3\xA9 \xE2\x82\xAC");
  const std::string twice = "\r\n" + line + "\r\n" + line + "\r\n";
  for (int i = 0; i < 400 && form->ChatText() != twice; ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    usleep(5000);
  }
  EXPECT_EQ(form->ChatText(), twice);
  EXPECT_TRUE(fake.tray->Animated());  // it arrived while the window was hidden
}

// A burst of lines shown at the turn's end leaves the box as lines shown one by one
// would, trimming included (also of lines not yet shown).
TEST(ChatText, ABurstShowsAtTheTurnsEndAsLinesShownOneByOne) {
  const struct { QString before; std::size_t capacity, max_lines; std::vector<std::string> messages; } rows[] = {
      {"old\nlines\n", 1000, 100, {"a", "b", "c\r\nd", "", "e\n", "f"}},
      {"old\nlines", 12, 100, {"0123", "4567", "89ab", "cdef", "x"}},             // drops shown lines
      {"old\n", 12, 100, {"0123456789", "abcdefghij", "ABCDEFGHIJ", "klm"}},      // drops lines of the burst
      {"old", 8, 100, {"short", "much too long for the box", "z", "caf\xE9"}},  // one line over capacity
      {"old\nlines\n", 1000, 4, {"a", "b\r\nc", "d", "e\r\nf\r\ng"}},  // too many lines
  };
  for (const auto& row : rows) {
    QPlainTextEdit burst_box(row.before), single_box(row.before);
    TChatText burst(burst_box), single(single_box);
    for (const std::string& message : row.messages) {
      burst.AppendLine(message, row.capacity, {}, row.max_lines);
      single.AppendLine(message, row.capacity, {}, row.max_lines);
      single.Flush();
    }
    EXPECT_EQ(burst.Text(), single.Text());
    ProcessEvents();
    EXPECT_EQ(burst_box.toPlainText(), single_box.toPlainText()) << row.messages[1];
    EXPECT_LE(burst_box.document()->blockCount(), static_cast<int>(row.max_lines));
    EXPECT_EQ(burst.Text(), single.Text());
  }
}

// --- the error box ---------------------------------------------------------------

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersThatFollowIt) {
  EXPECT_EQ(WithFullStop("Cannot open file a.hwm"), "Cannot open file a.hwm.");
  EXPECT_EQ(WithFullStop("Text exceeds memo capacity"), "Text exceeds memo capacity.");
  EXPECT_EQ(WithFullStop("Done!"), "Done!");
  EXPECT_EQ(WithFullStop("(see above)"), "(see above)");
  EXPECT_EQ(WithFullStop("Stop."), "Stop.");
  EXPECT_EQ(WithFullStop("trailing blank "), "trailing blank ");
  EXPECT_EQ(WithFullStop("slash/"), "slash/.");
  EXPECT_EQ(WithFullStop("digit 7"), "digit 7.");
  EXPECT_EQ(WithFullStop("caf\xE9"), "caf\xE9.");
  EXPECT_EQ(WithFullStop(""), "");
}

TEST(FileDialogs, ANameWithoutExtensionGetsTheDefaultOne) {
  EXPECT_EQ(WithDefaultExtension("/tmp/log", "hwm"), "/tmp/log.hwm");
  EXPECT_EQ(WithDefaultExtension("/tmp/log.txt", "hwm"), "/tmp/log.txt");
  EXPECT_EQ(WithDefaultExtension("/tmp/dir.d/log", "hwm"), "/tmp/dir.d/log.hwm");
  EXPECT_EQ(WithDefaultExtension("log", ""), "log");
}

}  // namespace
}  // namespace hw
