#include "app/Help.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>

// Resources of a static library are registered explicitly.
static void InitHelpResource() { Q_INIT_RESOURCE(hallwire); }

namespace hw {

std::string HelpDocumentPath() {
  InitHelpResource();
  QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  if (folder.isEmpty()) folder = QDir::homePath() + "/.cache";
  folder += "/hallwire";
  if (!QDir().mkpath(folder)) return std::string();
  const QString path = folder + "/hallwire-help.html";
  QFile source(":/hallwire/help/hallwire.html");
  if (!source.open(QIODevice::ReadOnly)) return std::string();
  const QByteArray content = source.readAll();
  QFile current(path);
  // Rewritten only when it differs, so an open browser tab keeps its file.
  if (!current.open(QIODevice::ReadOnly) || current.readAll() != content) {
    current.close();
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(content) != content.size())
      return std::string();
  }
  return path.toStdString();
}

std::string HelpTopicUrl(int context) {
  const std::string path = HelpDocumentPath();
  if (path.empty()) return std::string();
  QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
  if (context > 0) url.setFragment(QString("context-%1").arg(context));
  return url.toString().toStdString();
}

bool OpenHelpTopic(int context) {
  const std::string url = HelpTopicUrl(context);
  return !url.empty() && QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

int HelpContextOf(const QObject* object) {
  for (; object; object = object->parent()) {
    const QVariant value = object->property(kHelpContextProperty);
    if (value.isValid() && value.toInt() > 0) return value.toInt();
  }
  return 0;
}

bool THelpKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
      watched->isWidgetType()) {
    const QWidget* focus = QApplication::focusWidget();
    const int context = HelpContextOf(focus ? static_cast<const QObject*>(focus) : watched);
    if (context > 0) {
      open_(context);
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace hw
