// The Qt GUI thread as the transport's window thread.
#pragma once

#include <QObject>

#include "platform/system/WindowThread.h"

namespace hw {

class TQtWindowThread : public IWindowThread {
 public:
  // Binds to the thread of the application object (the GUI thread).
  TQtWindowThread();
  void Post(std::function<void()> work) override;
  bool IsCurrentThread() const override;

 private:
  QObject context_;
};

}  // namespace hw
