// The about box: product name, version, build, contact text and a picture.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace hw {

class TAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TAbout(QWidget* parent = nullptr);

  QLabel* ProductName = nullptr;  // "Hallwire 1.5"
  QLabel* Build = nullptr;        // "Build 1.5.12"
  QLabel* Contact[4] = {};
  QLabel* ProgramIcon = nullptr;
  QPushButton* OKButton = nullptr;  // "&OK"
};

}  // namespace hw
