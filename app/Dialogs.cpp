#include "app/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include <exception>

#include "desktop/MessageBox.h"
#include "desktop/ShownText.h"

namespace hw {
namespace {

QString Text(const std::string& text) { return QString::fromLocal8Bit(text.data(), static_cast<int>(text.size())); }

// "Hallwire Files|*.hwm|Text Files|*.txt" -> "Hallwire Files (*.hwm);;Text Files (*.txt)"
QStringList QtFilters(const std::string& filter) {
  const QStringList parts = Text(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i] + " (" + parts[i + 1] + ")";
  return filters;
}

void CentreOnScreen(QWidget& box) {
  box.adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
  }
}

int RunBox(QMessageBox& box) {
  CentreOnScreen(box);
  return box.exec();
}

std::optional<std::string> RunFileDialog(QWidget* parent, const TFileDialogOptions& options, bool save) {
  QFileDialog dialog(parent, Text(options.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // Opening accepts names of files that do not exist; the load reports them.
  dialog.setFileMode(save || !options.must_exist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  const QStringList filters = QtFilters(options.filter);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
  dialog.setDefaultSuffix(Text(options.default_extension));
  if (!options.initial_name.empty()) dialog.selectFile(Text(options.initial_name));
  dialog.setSizeGripEnabled(true);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  const QByteArray name = chosen.first().toLocal8Bit();
  return WithDefaultExtension(std::string(name.constData(), static_cast<std::size_t>(name.size())),
                              options.default_extension);
}

}  // namespace

std::string WithDefaultExtension(const std::string& name, const std::string& extension) {
  if (extension.empty() || name.empty()) return name;
  const std::size_t slash = name.find_last_of('/');
  const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  if (base.empty() || base.find('.') != std::string::npos) return name;
  return name + "." + extension;
}

void TQtUserDialogs::ShowError(const std::string& text) { ShowStandardError(parent_, text); }

void TQtUserDialogs::ShowNotice(const std::string& text) {
  TMessageBox box(QMessageBox::NoIcon, kApplicationTitle, ShownText(text), QMessageBox::Ok, parent_);
  RunBox(box);
}

bool TQtUserDialogs::Confirm(const std::string& text) {
  TMessageBox box(QMessageBox::Question, QCoreApplication::translate("hw::TQtUserDialogs", "Confirm"), ShownText(text),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setEscapeButton(QMessageBox::No);
  return RunBox(box) == QMessageBox::Yes;
}

std::optional<std::string> TQtUserDialogs::SaveFileName(const TFileDialogOptions& options) {
  return RunFileDialog(parent_, options, true);
}

std::optional<std::string> TQtUserDialogs::OpenFileName(const TFileDialogOptions& options) {
  return RunFileDialog(parent_, options, false);
}

void ShowStandardErrorBox(const std::string& text) { TQtUserDialogs(nullptr).ShowError(text); }

bool RunHandler(IUserDialogs& dialogs, const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const std::exception& error) {
    dialogs.ShowError(error.what());
  } catch (...) {
    dialogs.ShowError("Unknown error");
  }
  return false;
}

}  // namespace hw
