// The boxes the program shows the user: the standard error box, plain notices,
// confirmation questions and the file dialogs. Windows talk to them through
// IUserDialogs so tests can answer in the user's place.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "desktop/ErrorBox.h"

class QWidget;

namespace hw {

// A standard file dialog's set-up.
struct TFileDialogOptions {
  std::string title;
  std::string filter;             // "Description|*.ext|Description|*.ext"
  std::string default_extension;  // without the dot
  std::string initial_name;       // the name last chosen in this dialog
  bool must_exist = false;
};

// Adds the default extension to a chosen name that has none.
std::string WithDefaultExtension(const std::string& name, const std::string& extension);

class IUserDialogs {
 public:
  virtual ~IUserDialogs() = default;
  // Modal error box: caption "Hallwire", error icon, OK; the text gets the full-stop rule.
  virtual void ShowError(const std::string& text) = 0;
  // Plain modal notice captioned "Hallwire" with an OK button.
  virtual void ShowNotice(const std::string& text) = 0;
  // Question captioned "Confirm" with Yes and No; true for Yes.
  virtual bool Confirm(const std::string& text) = 0;
  // Standard save/open dialogs; nullopt when cancelled.
  virtual std::optional<std::string> SaveFileName(const TFileDialogOptions& options) = 0;
  virtual std::optional<std::string> OpenFileName(const TFileDialogOptions& options) = 0;
};

// The real boxes, modal to `parent` (may be null).
class TQtUserDialogs : public IUserDialogs {
 public:
  explicit TQtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void ShowError(const std::string& text) override;
  void ShowNotice(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  std::optional<std::string> SaveFileName(const TFileDialogOptions& options) override;
  std::optional<std::string> OpenFileName(const TFileDialogOptions& options) override;

 private:
  QWidget* parent_;
};

// Shows the standard error box without a window of its own (program start).
void ShowStandardErrorBox(const std::string& text);

// Runs a handler; an error that leaves it is shown in the standard error box and
// the program goes on. Returns false when the handler failed.
bool RunHandler(IUserDialogs& dialogs, const std::function<void()>& handler);

}  // namespace hw
