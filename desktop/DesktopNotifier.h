// Desktop notifications through org.freedesktop.Notifications on the session bus.
// One notification at a time: each Show takes the place of the one shown before. A
// click on it or its "Open" action calls OnOpen. Every call is asynchronous; without
// a session bus or a notification server nothing shows and nothing is reported.
//
//   TDesktopNotifier notifier;
//   notifier.SetOnOpen([&] { window.show(); });
//   notifier.Show("New message", line);  // later calls replace it
//   notifier.Close();                     // withdraws it
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QDBusPendingCallWatcher;

namespace hw {

class TDesktopNotifier : public QObject {
  Q_OBJECT
 public:
  explicit TDesktopNotifier(QObject* parent = nullptr);
  ~TDesktopNotifier() override;

  // Body is plain text; it is escaped where the server reads markup.
  void Show(const QString& summary, const QString& body);
  void Close();
  void SetOnOpen(std::function<void()> handler) { on_open_ = std::move(handler); }

 private slots:
  void ActionInvoked(uint id, const QString& action);
  void NotificationClosed(uint id, uint reason);

 private:
  struct TPending {
    QString summary;
    QString body;
  };
  // Sends what waits, one call at a time: the server's id for a notification comes in
  // the reply, and the next one needs it to replace it.
  void SendNext();
  void Replied(QDBusPendingCallWatcher* call, bool capabilities);

  std::function<void()> on_open_;
  std::optional<TPending> pending_;
  std::optional<bool> body_markup_;  // unknown until the server has been asked
  bool busy_ = false;
  bool close_pending_ = false;
  uint id_ = 0;
};

}  // namespace hw
