// An edit field for a file name with a browse button that opens the file-open dialog.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

class QLineEdit;
class QToolButton;

namespace hw::desktop {

// What the file-open dialog is asked to show.
struct TOpenFileRequest {
  std::string Title;
  std::string Filter;      // "Description|*.ext|Description|*.ext"
  std::string InitialDir;  // empty: the dialog's own choice
  std::string FileName;    // preselected name; empty: none
};

// Runs a file-open dialog; the chosen full path, or nullopt when cancelled.
using TOpenFileDialog = std::function<std::optional<std::string>(QWidget* parent, const TOpenFileRequest&)>;

// Free text plus a browse button; Alt+Down in the edit browses as well. A picked
// path with a blank is put in double quotes unless it already begins with one;
// a cancelled browse keeps the text. The next browse starts in the folder picked last.
class TFilenameEdit : public QWidget {
 public:
  explicit TFilenameEdit(QWidget* parent = nullptr);

  std::string Text() const;
  void SetText(const std::string& text);
  const std::string& Filter() const { return filter_; }
  void SetFilter(const std::string& filter) { filter_ = filter; }
  const std::string& DialogTitle() const { return title_; }
  void SetDialogTitle(const std::string& title) { title_ = title; }
  // The folder the next browse starts in when the text names none.
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& dir) { initialDir_ = dir; }

  QLineEdit* Edit() const { return edit_; }
  QToolButton* Button() const { return button_; }

  // Opens the file-open dialog and takes the picked file (the button's action).
  void Browse();
  // What Browse() asks the dialog for, given the current text.
  TOpenFileRequest BrowseRequest() const;
  // Replaces the platform's file-open dialog (an empty function restores it).
  void SetOpenFileDialog(TOpenFileDialog dialog) { dialog_ = std::move(dialog); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* edit_;
  QToolButton* button_;
  std::string filter_;
  std::string title_;
  std::string initialDir_;
  TOpenFileDialog dialog_;
};

// The first word of a command line: blanks end it except inside double quotes,
// which are removed.
std::string FirstCommandLineWord(const std::string& text);
// The name a browse preselects for an edit text: the text when it names an existing
// file, else its first word; empty when that is empty or holds one of < > " [ ] |.
std::string BrowsePreselection(const std::string& text);
// "Wave Files|*.wav" in the file dialog's notation: "Wave Files (*.wav)".
QString QtNameFilters(const std::string& filter);

}  // namespace hw::desktop
