// The program's help: a small HTML document with one topic per help context,
// opened with the desktop's default handler.
#pragma once

#include <QObject>

#include <functional>
#include <string>

namespace hw {

// Help contexts of the windows.
constexpr int kMainWindowHelpContext = 3;
constexpr int kPreferencesHelpContext = 4;
constexpr int kAboutHelpContext = 6;
// A window (or control) carries its context in this dynamic property.
inline constexpr const char* kHelpContextProperty = "HelpContext";

// Writes the help document to the per-user cache folder (if it is not there in
// this version) and returns its path; empty when it cannot be written.
std::string HelpDocumentPath();
// The URL of a topic: the document with the anchor "context-N"; 0 for its contents.
std::string HelpTopicUrl(int context);
// Opens the document at a topic (0: contents) with the desktop's handler; false on failure.
bool OpenHelpTopic(int context);

// The context of a widget: its own HelpContext property, else its nearest parent's; 0 if none.
int HelpContextOf(const QObject* object);

// Installed on the application: F1 opens the topic of the focused control's context.
class THelpKeyFilter : public QObject {
 public:
  explicit THelpKeyFilter(std::function<void(int context)> open, QObject* parent = nullptr)
      : QObject(parent), open_(std::move(open)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(int)> open_;
};

}  // namespace hw
