// The text boxes' text as bytes: UTF-8 for what the user types, and for the chat box
// the bytes of every line as they arrived or were loaded, kept beside what it shows,
// so a save writes them back unchanged whatever their encoding.
#pragma once

#include <QString>
#include <QTextBlockFormat>

#include <cstddef>
#include <deque>
#include <memory>
#include <string>

#include "app/MessageFile.h"

class QPlainTextEdit;
class QTimer;

namespace hw {

// Block format properties of a received line: its TLineTrust (int) and the tooltip text.
constexpr int kLineTrustProperty = QTextFormat::UserProperty + 1;
constexpr int kLineNoteProperty = QTextFormat::UserProperty + 2;

// A box's text as UTF-8 with CR LF between its lines (a soft line break counts as one).
std::string BoxText(const QPlainTextEdit& box);
// Bytes with any line ends as a box shows them: UTF-8 when valid, else Windows-1252.
QString BoxString(const std::string& bytes);

// Owns the text of a read-only box: every change goes through here. The bytes change
// at once; the box shows the first line appended in an event-loop turn at once and the
// rest together when the turn ends, so a burst of lines costs one edit of the box.
class TChatText {
 public:
  explicit TChatText(QPlainTextEdit& box);
  ~TChatText();

  // The bytes a save writes: each line as it came, CR LF between lines.
  std::string Text() const;
  // Replaces the text with bytes that may have any line ends.
  void SetText(const std::string& bytes);
  // Adds bytes as a line of their own, first dropping the oldest lines when the text
  // would grow beyond capacity bytes or max_lines lines. Its blocks take format (a
  // line's trust mark); the text and what Text() gives are the same whatever the format.
  void AppendLine(const std::string& bytes, std::size_t capacity, const QTextBlockFormat& format = {},
                  std::size_t max_lines = kChatMaxLines);
  // Empties the box and gives the memory of a large text back to the system.
  void Clear();
  // Scrolls the box to its newest line, once it shows it.
  void ShowNewest();
  // Shows the lines still waiting for the end of the turn now.
  void Flush();
  // Text().size(), without building it.
  std::size_t Size() const { return line_bytes_ + 2 * (lines_.size() - 1); }

 private:
  bool InStep() const;
  void Forget();
  void Drop(std::size_t count);

  QPlainTextEdit& box_;
  std::deque<std::string> lines_;  // without line ends; the box's blocks once flushed
  std::size_t line_bytes_ = 0;
  // The box lags behind lines_ until the flush: its first `drop_` blocks are gone from
  // lines_, the next `in_box_` are lines_'s first, the rest of lines_ waits with whether
  // its message was UTF-8 and its block format in `pending_`, and `spare_end_` says the
  // box ends with an empty block lines_ no longer has.
  struct TPending {
    bool utf8;
    QTextBlockFormat format;  // default (no data) for an unmarked line
  };
  std::size_t drop_ = 0;
  std::size_t in_box_ = 0;
  std::deque<TPending> pending_;
  bool spare_end_ = false;
  bool scroll_ = false;
  std::unique_ptr<QTimer> turn_end_;
};

}  // namespace hw
