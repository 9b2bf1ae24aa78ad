// The messenger's side of the platform's network notices (no usable interface, the
// network back, and the like): each shows in the status bar's first panel for a
// while and in an information box, never more than one box at a time.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

#include "app/StatusBar.h"

namespace hw {

class TNetworkNotices : public QObject {
 public:
  // Takes the platform's notice hook until destroyed; show_box opens the box and
  // returns when the user has closed it.
  TNetworkNotices(TStatusBar& bar, std::function<void(const std::string&)> show_box);
  ~TNetworkNotices() override;
  TNetworkNotices(const TNetworkNotices&) = delete;
  TNetworkNotices& operator=(const TNetworkNotices&) = delete;

  // On the GUI thread.
  void Show(const std::string& text);

 private:
  TStatusBar& bar_;
  std::function<void(const std::string&)> show_box_;
  QString saved_;  // the panel's own text while a notice covers it
  bool covering_ = false;
  bool box_open_ = false;
  std::uint64_t serial_ = 0;
};

}  // namespace hw
