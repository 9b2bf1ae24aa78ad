#include "app/ChatText.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

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

// Text from which on a change of the box is worth giving free memory back for.
constexpr std::size_t kLargeText = 256 * 1024;

// Freed memory stays on glibc's free lists, most of it for good: hand it back.
void ReturnFreeMemory() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
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

TChatText::TChatText(QPlainTextEdit& box) : box_(box), turn_end_(std::make_unique<QTimer>()) {
  // Undo would keep every line that ever arrived, removed or not, for as long as the
  // box lives; nobody undoes in a read-only box.
  box_.setUndoRedoEnabled(false);
  turn_end_->setSingleShot(true);
  turn_end_->setInterval(0);
  QObject::connect(turn_end_.get(), &QTimer::timeout, [this] { Flush(); });
  const std::string text = BoxText(box);
  for (std::string& line : SplitLines(text)) {
    line_bytes_ += line.size();
    lines_.push_back(std::move(line));
  }
  in_box_ = lines_.size();
}

TChatText::~TChatText() = default;

bool TChatText::InStep() const {
  return box_.document()->blockCount() == static_cast<int>(drop_ + in_box_ + (spare_end_ ? 1 : 0));
}

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

void TChatText::Forget() {
  turn_end_->stop();
  drop_ = 0;
  pending_.clear();
  spare_end_ = false;
  scroll_ = false;
}

void TChatText::SetText(const std::string& bytes) {
  Forget();
  std::vector<std::string> lines = SplitLines(bytes);
  box_.setPlainText(Joined(lines, IsValidUtf8(bytes)));
  lines_.assign(lines.begin(), lines.end());
  in_box_ = lines_.size();
  line_bytes_ = 0;
  for (const std::string& line : lines_) line_bytes_ += line.size();
}

void TChatText::Clear() {
  const bool large = Size() > kLargeText;
  Forget();
  box_.clear();
  std::deque<std::string>(1).swap(lines_);
  in_box_ = 1;
  line_bytes_ = 0;
  // The document's and the lines' memory goes back to the free lists.
  if (large) ReturnFreeMemory();
}

void TChatText::Drop(std::size_t count) {
  if (count >= lines_.size()) {
    drop_ += in_box_;
    in_box_ = 0;
    lines_.assign(1, std::string());
    line_bytes_ = 0;
    pending_.assign(1, TPending{true, {}});
    return;
  }
  for (std::size_t i = 0; i < count; ++i) {
    line_bytes_ -= lines_.front().size();
    lines_.pop_front();
    if (in_box_ > 0) {
      --in_box_;
      ++drop_;
    } else {
      pending_.pop_front();
    }
  }
}

void TChatText::AppendLine(const std::string& bytes, std::size_t capacity, const QTextBlockFormat& format,
                           std::size_t max_lines) {
  if (!InStep()) SetText(BoxText(box_));
  const std::vector<std::string> lines = SplitLines(bytes);
  std::size_t added = 0;
  for (const std::string& line : lines) added += line.size() + 2;
  std::size_t size = Size(), removed = 0, dropped = 0;
  // The new lines take an empty last line's place and add one after them, or follow
  // the last line: either way the box ends up with lines.size() more.
  while (dropped < lines_.size() &&
         (size - removed + added > capacity || lines_.size() - dropped + lines.size() > max_lines))
    removed += lines_[dropped++].size() + 2;
  if (dropped > 0) Drop(dropped);

  // Text after an empty last line takes that line's place (and the box's block, once
  // shown); otherwise the text starts a line of its own.
  const bool last_empty = lines_.back().empty();
  if (last_empty) {
    lines_.pop_back();
    if (in_box_ > lines_.size()) {
      --in_box_;
      spare_end_ = true;
    } else {
      pending_.pop_back();
    }
  }
  const bool utf8 = IsValidUtf8(bytes);
  for (const std::string& line : lines) {
    line_bytes_ += line.size();
    lines_.push_back(line);
    pending_.push_back({utf8, format});
  }
  if (last_empty) {
    lines_.emplace_back();
    pending_.push_back({true, {}});
  }
  if (turn_end_->isActive()) return;
  Flush();
  turn_end_->start();
}

void TChatText::Flush() {
  // The box changed behind our back: as on the next append, what it shows wins.
  if (!InStep()) {
    SetText(BoxText(box_));
    return;
  }
  QTextDocument& document = *box_.document();
  if (drop_ > 0) {
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::Start);
    if (drop_ < static_cast<std::size_t>(document.blockCount())) {
      cursor.setPosition(document.findBlockByNumber(static_cast<int>(drop_)).position(), QTextCursor::KeepAnchor);
    } else {
      cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
      spare_end_ = true;  // a box without text still has its one empty block
    }
    cursor.removeSelectedText();
    drop_ = 0;
  }
  bool large = false;
  if (!pending_.empty()) {
    const std::size_t first = lines_.size() - pending_.size();
    std::size_t length = pending_.size();
    for (std::size_t i = first; i < lines_.size(); ++i) length += lines_[i].size();
    QString text;
    text.reserve(static_cast<qsizetype>(length));
    for (std::size_t i = 0; i < pending_.size(); ++i) {
      if (i > 0) text += '\n';
      text += Shown(lines_[first + i], pending_[i].utf8);
    }
    // A new block takes the format of the block it splits from: the burst starts plain
    // in one insert, and only its marked lines are formatted after.
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    if (spare_end_)
      cursor.setBlockFormat(QTextBlockFormat());
    else
      cursor.insertBlock(QTextBlockFormat());
    const int first_block = cursor.blockNumber();
    cursor.insertText(text);
    for (std::size_t i = 0; i < pending_.size(); ++i) {
      if (!pending_[i].format.propertyCount()) continue;
      cursor.setPosition(document.findBlockByNumber(first_block + static_cast<int>(i)).position());
      cursor.setBlockFormat(pending_[i].format);
    }
    std::deque<TPending>().swap(pending_);
    large = length > kLargeText;
  }
  spare_end_ = false;
  in_box_ = lines_.size();
  if (scroll_) {
    scroll_ = false;
    ShowNewest();
  }
  // What a burst left behind (the mailslot's queue, the text just shown) would otherwise
  // stay with the process.
  if (large) ReturnFreeMemory();
}

void TChatText::ShowNewest() {
  if (drop_ > 0 || !pending_.empty()) {
    scroll_ = true;
    return;
  }
  QScrollBar* bar = box_.verticalScrollBar();
  bar->setValue(bar->maximum());
}

}  // namespace hw
