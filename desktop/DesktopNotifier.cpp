#include "desktop/DesktopNotifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace hw {

namespace {

const char kService[] = "org.freedesktop.Notifications";
const char kPath[] = "/org/freedesktop/Notifications";
const char kInterface[] = "org.freedesktop.Notifications";
const char kOpenAction[] = "open";
const char kDefaultAction[] = "default";  // the server's click on the notification

QDBusMessage Call(const char* method) {
  return QDBusMessage::createMethodCall(kService, kPath, kInterface, QString::fromLatin1(method));
}

}  // namespace

TDesktopNotifier::TDesktopNotifier(QObject* parent) : QObject(parent) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  bus.connect(kService, kPath, kInterface, "ActionInvoked", this, SLOT(ActionInvoked(uint, QString)));
  bus.connect(kService, kPath, kInterface, "NotificationClosed", this, SLOT(NotificationClosed(uint, uint)));
}

TDesktopNotifier::~TDesktopNotifier() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  bus.disconnect(kService, kPath, kInterface, "ActionInvoked", this, SLOT(ActionInvoked(uint, QString)));
  bus.disconnect(kService, kPath, kInterface, "NotificationClosed", this, SLOT(NotificationClosed(uint, uint)));
}

void TDesktopNotifier::Show(const QString& summary, const QString& body) {
  pending_ = TPending{summary, body};
  close_pending_ = false;
  SendNext();
}

void TDesktopNotifier::Close() {
  pending_.reset();
  close_pending_ = true;
  SendNext();
}

void TDesktopNotifier::SendNext() {
  if (busy_) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  bool capabilities = false;
  QDBusMessage message;
  if (close_pending_) {
    close_pending_ = false;
    if (id_ == 0) return;
    message = Call("CloseNotification");
    message << id_;
    id_ = 0;
  } else if (!pending_) {
    return;
  } else if (!body_markup_) {
    // Servers that read markup would take "<" and "&" in a chat line as tags.
    capabilities = true;
    message = Call("GetCapabilities");
  } else {
    const QString body = *body_markup_ ? pending_->body.toHtmlEscaped() : pending_->body;
    const QStringList actions{kDefaultAction, QCoreApplication::translate("TDesktopNotifier", "Open"), kOpenAction,
                              QCoreApplication::translate("TDesktopNotifier", "Open")};
    const QVariantMap hints{{"category", QStringLiteral("im.received")},
                            {"desktop-entry", QStringLiteral("hallwire")}};
    message = Call("Notify");
    message << QCoreApplication::applicationName() << id_ << QStringLiteral("hallwire") << pending_->summary << body
            << actions << hints << -1;
    pending_.reset();
  }
  busy_ = true;
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, capabilities](QDBusPendingCallWatcher* call) { Replied(call, capabilities); });
}

void TDesktopNotifier::Replied(QDBusPendingCallWatcher* call, bool capabilities) {
  call->deleteLater();
  busy_ = false;
  if (call->isError()) {
    // No server (or one that failed): what waits is dropped, as a notification that
    // cannot be shown is no loss; the next Show tries again.
    pending_.reset();
    body_markup_.reset();
    return;
  }
  const QDBusMessage reply = call->reply();
  if (capabilities) {
    const QDBusPendingReply<QStringList> list(*call);
    body_markup_ = list.value().contains(QStringLiteral("body-markup"));
  } else if (!reply.arguments().isEmpty() && reply.signature() == QLatin1String("u")) {
    id_ = reply.arguments().constFirst().toUInt();
  }
  SendNext();
}

void TDesktopNotifier::ActionInvoked(uint id, const QString& action) {
  if (id == 0 || id != id_) return;
  if (action != QLatin1String(kOpenAction) && action != QLatin1String(kDefaultAction)) return;
  if (on_open_) on_open_();
}

void TDesktopNotifier::NotificationClosed(uint id, uint) {
  if (id != 0 && id == id_) id_ = 0;
}

}  // namespace hw
