#include "desktop/widgets/FilenameEdit.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>
#include <QToolButton>
#include <filesystem>

namespace hw::desktop {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsExistingFile(const std::string& name) {
  std::error_code ec;
  return !name.empty() && std::filesystem::is_regular_file(name, ec);
}

bool IsExistingDir(const std::string& name) {
  std::error_code ec;
  return !name.empty() && std::filesystem::is_directory(name, ec);
}

// The folder part of a path, with its trailing separator ("" when there is none).
std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::optional<std::string> RunFileDialog(QWidget* parent, const TOpenFileRequest& request) {
  QFileDialog dialog(parent, QString::fromLocal8Bit(request.Title.c_str()),
                     QString::fromLocal8Bit(request.InitialDir.c_str()), QtNameFilters(request.Filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!request.FileName.empty()) dialog.selectFile(QString::fromLocal8Bit(request.FileName.c_str()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toLocal8Bit().toStdString();
}

}  // namespace

std::string FirstCommandLineWord(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  std::string word;
  bool quoted = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (IsBlank(c) && !quoted) {
      break;
    } else {
      word += c;
    }
  }
  return word;
}

std::string BrowsePreselection(const std::string& text) {
  std::string name = IsExistingFile(text) ? text : FirstCommandLineWord(text);
  if (name.find_first_of("<>\"[]|") != std::string::npos) return std::string();
  return name;
}

QString QtNameFilters(const std::string& filter) {
  const QStringList parts = QString::fromLocal8Bit(filter.c_str()).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    filters << parts[i] + " (" + patterns + ")";
  }
  return filters.join(";;");
}

TFilenameEdit::TFilenameEdit(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(edit_, 1);
  layout->addWidget(button_);
  button_->setText("...");
  // Tab reaches the button too; a click leaves the focus in the edit.
  button_->setFocusPolicy(Qt::TabFocus);
  setFocusProxy(edit_);
  edit_->installEventFilter(this);
  connect(button_, &QToolButton::clicked, this, [this] { Browse(); });
}

std::string TFilenameEdit::Text() const { return edit_->text().toLocal8Bit().toStdString(); }

void TFilenameEdit::SetText(const std::string& text) { edit_->setText(QString::fromLocal8Bit(text.c_str())); }

TOpenFileRequest TFilenameEdit::BrowseRequest() const {
  TOpenFileRequest request;
  request.Title = title_;
  request.Filter = filter_;
  request.InitialDir = initialDir_;
  request.FileName = BrowsePreselection(Text());
  const std::string folder = FolderOf(request.FileName);
  if (IsExistingDir(folder)) request.InitialDir = folder;
  return request;
}

void TFilenameEdit::Browse() {
  const TOpenFileRequest request = BrowseRequest();
  const std::optional<std::string> chosen = dialog_ ? dialog_(window(), request) : RunFileDialog(window(), request);
  if (!chosen || chosen->empty()) return;
  std::string text = *chosen;
  initialDir_ = FolderOf(text);
  if (text.find(' ') != std::string::npos && text.front() != '"') text = '"' + text + '"';
  SetText(text);
  edit_->setFocus();
}

bool TFilenameEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Down && (key->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier) {
      Browse();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace hw::desktop
