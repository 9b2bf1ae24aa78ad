#include "app/ChatText.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <vector>

#include "app/MessageFile.h"
#include "transport/ChatLine.h"

namespace hw {
namespace {

std::vector<std::string> SplitLines(const std::string& bytes) {
  const std::string text = NormaliseLineEnds(bytes);
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 2;
  }
}

// A paragraph separator would start a block of its own and part the box's blocks
// from the kept lines: it is shown as a line break inside its line.
QString Shown(const std::string& line, bool utf8) {
  QString text = QString::fromUtf8(utf8 ? line : Windows1252ToUtf8(line));
  text.replace(QChar::ParagraphSeparator, QChar::LineSeparator);
  return text;
}

// Lines as the box's text, whole messages judged as UTF-8 or not.
QString Joined(const std::vector<std::string>& lines, bool utf8) {
  QString text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += Shown(lines[i], utf8);
  }
  return text;
}

}  // namespace

std::string BoxText(const QPlainTextEdit& box) {
  std::string text;
  for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
    if (block != box.document()->begin()) text += "\r\n";
    QString line = block.text();
    line.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    text += line.toUtf8().toStdString();
  }
  return text;
}

QString BoxString(const std::string& bytes) { return Joined(SplitLines(bytes), IsValidUtf8(bytes)); }

TChatText::TChatText(QPlainTextEdit& box) : box_(box) {
  const std::string text = BoxText(box);
  for (std::string& line : SplitLines(text)) {
    line_bytes_ += line.size();
    lines_.push_back(std::move(line));
  }
}

bool TChatText::InStep() const { return box_.document()->blockCount() == static_cast<int>(lines_.size()); }

std::string TChatText::Text() const {
  // Should anything else have changed the box, what it shows is what counts.
  if (!InStep()) return BoxText(box_);
  std::string text;
  text.reserve(Size());
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines_[i];
  }
  return text;
}

void TChatText::SetText(const std::string& bytes) {
  std::vector<std::string> lines = SplitLines(bytes);
  box_.setPlainText(Joined(lines, IsValidUtf8(bytes)));
  lines_.assign(lines.begin(), lines.end());
  line_bytes_ = 0;
  for (const std::string& line : lines_) line_bytes_ += line.size();
}

void TChatText::Clear() {
  box_.clear();
  lines_.assign(1, std::string());
  line_bytes_ = 0;
}

void TChatText::AppendLine(const std::string& bytes, std::size_t capacity) {
  if (!InStep()) SetText(BoxText(box_));
  const std::vector<std::string> lines = SplitLines(bytes);
  std::size_t added = 0;
  for (const std::string& line : lines) added += line.size() + 2;

  QTextDocument& document = *box_.document();
  std::size_t size = Size(), removed = 0, dropped = 0;
  while (dropped < lines_.size() && size - removed + added > capacity) removed += lines_[dropped++].size() + 2;
  if (dropped > 0) {
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::Start);
    if (dropped < lines_.size()) {
      cursor.setPosition(document.findBlockByNumber(static_cast<int>(dropped)).position(), QTextCursor::KeepAnchor);
      for (std::size_t i = 0; i < dropped; ++i) {
        line_bytes_ -= lines_.front().size();
        lines_.pop_front();
      }
    } else {
      cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
      lines_.assign(1, std::string());
      line_bytes_ = 0;
    }
    cursor.removeSelectedText();
  }

  // A box whose last line is empty takes the text there and a line end after it;
  // otherwise the text starts a line of its own.
  const QString shown = Joined(lines, IsValidUtf8(bytes));
  const bool last_empty = lines_.back().empty();
  QTextCursor cursor(&document);
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(last_empty ? shown + '\n' : '\n' + shown);
  if (last_empty) lines_.pop_back();
  for (const std::string& line : lines) {
    line_bytes_ += line.size();
    lines_.push_back(line);
  }
  if (last_empty) lines_.emplace_back();
}

}  // namespace hw
