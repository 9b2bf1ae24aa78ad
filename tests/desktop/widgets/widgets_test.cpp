// The reusable widgets: the colour list and the file name edit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <filesystem>

#include "desktop/widgets/ColorComboBox.h"
#include "desktop/widgets/FilenameEdit.h"
#include "tests/support/TestSupport.h"

namespace hw::desktop {
namespace {

const char* const kEntryNames[16] = {"Black", "Maroon", "Green", "Olive",  "Navy", "Purple",  "Teal", "Gray",
                                     "Silver", "Red",   "Lime",  "Yellow", "Blue", "Fuchsia", "Aqua", "White"};

TEST(ColorComboBox, ListsTheSixteenNamedColoursInTableOrder) {
  TColorComboBox box;
  ASSERT_EQ(box.count(), 16);
  EXPECT_FALSE(box.isEditable());
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(box.itemText(i).toStdString(), kEntryNames[i]);
    box.SetColorValue(ColorNames[i].Value);
    EXPECT_EQ(box.currentIndex(), i) << kEntryNames[i];
    EXPECT_EQ(box.ColorValue(), ColorNames[i].Value);
  }
}

TEST(ColorComboBox, KeepsAColourOutsideTheListAndShowsNoEntry) {
  TColorComboBox box;
  box.SetColorValue(clLime);
  for (TColor unlisted : {clBtnFace, TColor{0x00C08040}, clNone}) {
    box.SetColorValue(unlisted);
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_TRUE(box.currentText().isEmpty());
    EXPECT_EQ(box.ColorValue(), unlisted);
    EXPECT_EQ(ColorToString(box.ColorValue()), ColorToString(unlisted));
  }
  // Picking an entry afterwards takes that entry's colour and reports the change.
  int changes = 0;
  box.SetOnChange([&] { ++changes; });
  box.setCurrentIndex(9);
  emit box.activated(9);
  EXPECT_EQ(box.ColorValue(), clRed);
  EXPECT_EQ(changes, 1);
  // A value set by the program is no user choice.
  box.SetColorValue(clNavy);
  EXPECT_EQ(changes, 1);
}

TEST(ColorComboBox, EntryHeightFollowsTheFontWithAMinimum) {
  TColorComboBox box;
  QFont font = box.font();
  font.setPixelSize(20);
  box.setFont(font);
  EXPECT_EQ(box.ItemHeight(), QFontMetrics(font).height() + 1);
  font.setPixelSize(3);
  box.setFont(font);
  EXPECT_EQ(box.ItemHeight(), std::max(QFontMetrics(font).height() + 1, 9));
  EXPECT_GE(box.ItemHeight(), 9);

  QStyleOptionViewItem option;
  option.fontMetrics = QFontMetrics(font);
  TColorItemDelegate delegate;
  EXPECT_EQ(delegate.sizeHint(option, box.model()->index(0, 0)).height(), box.ItemHeight());
}

TEST(ColorComboBox, DrawsAFramedSwatchBeforeTheName) {
  QImage image(120, 20, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPalette palette;
  palette.setColor(QPalette::Text, Qt::black);
  {
    QPainter painter(&image);
    TColorComboBox::PaintEntry(painter, QRect(0, 0, 120, 20), clRed, "Red", palette, false);
  }
  EXPECT_EQ(image.pixelColor(1, 10), QColor(Qt::white));  // left of the swatch
  EXPECT_EQ(image.pixelColor(2, 10), QColor(Qt::black));  // its frame
  EXPECT_EQ(image.pixelColor(13, 10), QColor(255, 0, 0));  // its fill
  EXPECT_EQ(image.pixelColor(23, 10), QColor(Qt::black));  // right frame edge
  EXPECT_EQ(image.pixelColor(24, 10), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(13, 1), QColor(Qt::white));   // two pixels in from the top
  EXPECT_EQ(image.pixelColor(13, 18), QColor(Qt::white));  // and from the bottom
  // The name starts at 28: nothing is drawn between the swatch and there.
  for (int x = 24; x < 28; ++x)
    for (int y = 0; y < 20; ++y) ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
  bool text_drawn = false;
  for (int x = 28; x < 120 && !text_drawn; ++x)
    for (int y = 0; y < 20; ++y)
      if (image.pixelColor(x, y) != QColor(Qt::white)) text_drawn = true;
  EXPECT_TRUE(text_drawn);
}

TEST(FilenameEdit, FirstCommandLineWordGroupsQuotedBlanks) {
  EXPECT_EQ(FirstCommandLineWord("ring.wav"), "ring.wav");
  EXPECT_EQ(FirstCommandLineWord("  ring.wav other words"), "ring.wav");
  EXPECT_EQ(FirstCommandLineWord("\"/my sounds/a b.wav\" -x"), "/my sounds/a b.wav");
  EXPECT_EQ(FirstCommandLineWord("a\"b c\"d e"), "ab cd");
  EXPECT_EQ(FirstCommandLineWord("\t\"unterminated quote"), "unterminated quote");
  EXPECT_EQ(FirstCommandLineWord(""), "");
  EXPECT_EQ(FirstCommandLineWord("   "), "");
}

TEST(FilenameEdit, PreselectsExistingFilesWholeAndOtherwiseTheFirstWord) {
  test::TempDir dir;
  const std::string spaced = dir.File("with blank.wav");
  test::WriteFile(spaced, "RIFF");
  EXPECT_EQ(BrowsePreselection(spaced), spaced);
  EXPECT_EQ(BrowsePreselection("\"" + spaced + "\""), spaced);
  EXPECT_EQ(BrowsePreselection(dir.File("missing file.wav")), dir.File("missing"));
  // A folder is no file: reduced to its first word like any other text.
  EXPECT_EQ(BrowsePreselection(dir.Path()), dir.Path());
  for (const char* bad : {"a<b.wav", "a>b", "x[1].wav", "a]b", "pipe|name", "   "})
    EXPECT_EQ(BrowsePreselection(bad), "") << bad;
  // An existing file is taken whole, so a quote in its name survives and rules it out.
  const std::string quoted_name = dir.File("say \"hi\".wav");
  test::WriteFile(quoted_name, "RIFF");
  EXPECT_EQ(BrowsePreselection(quoted_name), "");
  // The first word is tested, not the rest of the text.
  EXPECT_EQ(BrowsePreselection("ring.wav <loud>"), "ring.wav");
}

TEST(FilenameEdit, ConvertsTheFilterToTheDialogNotation) {
  EXPECT_EQ(QtNameFilters("Wave Files|*.wav").toStdString(), "Wave Files (*.wav)");
  EXPECT_EQ(QtNameFilters("Sounds|*.wav;*.au|All|*").toStdString(), "Sounds (*.wav *.au);;All (*)");
  EXPECT_EQ(QtNameFilters("").toStdString(), "");
}

// A stand-in for the file-open dialog that records what it was asked and answers as told.
struct FakeOpenDialog {
  std::vector<TOpenFileRequest> requests;
  std::optional<std::string> answer;
  TOpenFileDialog Function() {
    return [this](QWidget*, const TOpenFileRequest& request) {
      requests.push_back(request);
      return answer;
    };
  }
};

TEST(FilenameEdit, BrowseQuotesAPickedPathWithABlankAndKeepsTextOnCancel) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.File("my sounds"));
  FakeOpenDialog fake;
  TFilenameEdit edit;
  edit.SetFilter("Wave Files|*.wav");
  edit.SetDialogTitle("Select sound for all incoming...");
  edit.SetOpenFileDialog(fake.Function());
  edit.SetText("typed text");

  fake.answer = std::nullopt;
  edit.Browse();
  EXPECT_EQ(edit.Text(), "typed text");
  ASSERT_EQ(fake.requests.size(), 1u);
  EXPECT_EQ(fake.requests[0].Title, "Select sound for all incoming...");
  EXPECT_EQ(fake.requests[0].Filter, "Wave Files|*.wav");
  EXPECT_EQ(fake.requests[0].FileName, "typed");
  EXPECT_EQ(fake.requests[0].InitialDir, "");

  const std::string picked = dir.File("my sounds") + "/bell.wav";
  fake.answer = picked;
  edit.Browse();
  EXPECT_EQ(edit.Text(), "\"" + picked + "\"");

  // Already quoted by the dialog: left alone. Without a blank: never quoted.
  fake.answer = "\"" + picked + "\"";
  edit.Browse();
  EXPECT_EQ(edit.Text(), "\"" + picked + "\"");
  fake.answer = dir.File("plain.wav");
  edit.Browse();
  EXPECT_EQ(edit.Text(), dir.File("plain.wav"));

  // An empty answer counts as no choice.
  fake.answer = std::string();
  edit.Browse();
  EXPECT_EQ(edit.Text(), dir.File("plain.wav"));
}

TEST(FilenameEdit, BrowseStartsInTheTextsFolderElseWhereTheLastPickWas) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.File("my sounds"));
  std::filesystem::create_directories(dir.File("other"));
  FakeOpenDialog fake;
  TFilenameEdit edit;
  edit.SetOpenFileDialog(fake.Function());

  // A quoted path with blanks: preselected without its quotes, started in its folder.
  edit.SetText("\"" + dir.File("my sounds") + "/x.wav\"");
  fake.answer = dir.File("other") + "/y.wav";
  edit.Browse();
  EXPECT_EQ(fake.requests.back().FileName, dir.File("my sounds") + "/x.wav");
  EXPECT_EQ(fake.requests.back().InitialDir, dir.File("my sounds") + "/");

  // A text without an existing folder: the folder of the last pick.
  edit.SetText("ring.wav");
  fake.answer = std::nullopt;
  edit.Browse();
  EXPECT_EQ(fake.requests.back().FileName, "ring.wav");
  EXPECT_EQ(fake.requests.back().InitialDir, dir.File("other") + "/");
  edit.SetText(dir.File("gone") + "/z.wav");
  edit.Browse();
  EXPECT_EQ(fake.requests.back().InitialDir, dir.File("other") + "/");

  // A text with a forbidden character preselects nothing.
  edit.SetText(dir.File("other") + "/a|b.wav");
  edit.Browse();
  EXPECT_EQ(fake.requests.back().FileName, "");
  EXPECT_EQ(fake.requests.back().InitialDir, dir.File("other") + "/");
}

TEST(FilenameEdit, AltDownAndTheButtonBrowseButPlainDownDoesNot) {
  FakeOpenDialog fake;
  TFilenameEdit edit;
  edit.SetOpenFileDialog(fake.Function());
  QKeyEvent plain(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QApplication::sendEvent(edit.Edit(), &plain);
  EXPECT_EQ(fake.requests.size(), 0u);
  QKeyEvent alt(QEvent::KeyPress, Qt::Key_Down, Qt::AltModifier);
  QApplication::sendEvent(edit.Edit(), &alt);
  EXPECT_EQ(fake.requests.size(), 1u);
  edit.Button()->click();
  EXPECT_EQ(fake.requests.size(), 2u);
  EXPECT_EQ(edit.Button()->focusPolicy(), Qt::TabFocus);
}

}  // namespace
}  // namespace hw::desktop
