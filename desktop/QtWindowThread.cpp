#include "desktop/QtWindowThread.h"

#include <QCoreApplication>
#include <QThread>

namespace hw {

TQtWindowThread::TQtWindowThread() {
  if (QCoreApplication::instance()) context_.moveToThread(QCoreApplication::instance()->thread());
}

void TQtWindowThread::Post(std::function<void()> work) {
  QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
}

bool TQtWindowThread::IsCurrentThread() const { return QThread::currentThread() == context_.thread(); }

}  // namespace hw
