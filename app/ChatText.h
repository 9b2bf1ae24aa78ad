// The text boxes' text as bytes: UTF-8 for what the user types, and for the chat box
// the bytes of every line as they arrived or were loaded, kept beside what it shows,
// so a save writes them back unchanged whatever their encoding.
#pragma once

#include <QString>

#include <cstddef>
#include <deque>
#include <string>

class QPlainTextEdit;

namespace hw {

// A box's text as UTF-8 with CR LF between its lines (a soft line break counts as one).
std::string BoxText(const QPlainTextEdit& box);
// Bytes with any line ends as a box shows them: UTF-8 when valid, else Windows-1252.
QString BoxString(const std::string& bytes);

// Owns the text of a read-only box: every change goes through here.
class TChatText {
 public:
  explicit TChatText(QPlainTextEdit& box);

  // The bytes a save writes: each line as it came, CR LF between lines.
  std::string Text() const;
  // Replaces the text with bytes that may have any line ends.
  void SetText(const std::string& bytes);
  // Adds bytes as a line of their own, first dropping the oldest lines when the text
  // would grow beyond capacity bytes.
  void AppendLine(const std::string& bytes, std::size_t capacity);
  void Clear();
  // Text().size(), without building it.
  std::size_t Size() const { return line_bytes_ + 2 * (lines_.size() - 1); }

 private:
  bool InStep() const;

  QPlainTextEdit& box_;
  std::deque<std::string> lines_;  // one per block of the box, without line ends
  std::size_t line_bytes_ = 0;
};

}  // namespace hw
