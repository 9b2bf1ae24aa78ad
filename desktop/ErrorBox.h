// The standard error box every window shows for an error that leaves a handler:
// caption "Hallwire", error icon, OK, and the full-stop rule.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

class QObject;
class QWidget;

namespace hw {

// The application title: caption of the error box and of notices.
inline constexpr const char* kApplicationTitle = "Hallwire";

// The error box's text: a full stop is appended when the last character comes
// after '.' in the character order (so none after "!", ")", "." or a blank), and
// none after the Chinese full stop, exclamation or question mark of a translation.
std::string WithFullStop(const std::string& text);

// Shows the modal standard error box, centred on the screen.
void ShowStandardError(QWidget* parent, const std::string& text);

// Errors of one kind (those raised while receiving, say) shown one box at a time: a box
// opens from the event loop, never inside the code that reported the error, only when
// none of this gate's boxes is open or about to open, and not while another modal box
// is open. Errors reported meanwhile
// are counted; when the box closes, the last of them follows in one box that gives
// the count.
class TErrorBoxGate {
 public:
  using TShow = std::function<void(const std::string& text)>;
  // show opens the box and returns when the user has closed it.
  explicit TErrorBoxGate(TShow show);
  ~TErrorBoxGate();
  TErrorBoxGate(const TErrorBoxGate&) = delete;
  TErrorBoxGate& operator=(const TErrorBoxGate&) = delete;

  void Report(const std::string& text);

 private:
  void ShowAll(std::string text);

  TShow show_;
  std::unique_ptr<QObject> context_;  // pending boxes go with the gate
  std::shared_ptr<bool> alive_;
  bool busy_ = false;
  std::size_t waiting_ = 0;
  std::string last_;
};

}  // namespace hw
