// The about box: product name, version, build, contact text and a picture.
#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

namespace hw {

class TAbout : public QDialog {
  Q_OBJECT
 public:
  explicit TAbout(QWidget* parent = nullptr);

 private:
  friend struct TWindowTestAccess;  // tests reach the controls through it

  struct TControls {
    QLabel* product_name = nullptr;
    QLabel* build = nullptr;
    QLabel* contact_lines[4] = {};
    QLabel* picture = nullptr;
    QPushButton* ok_button = nullptr;
  };
  TControls ui_;
};

// The about box with its stored placement (section "AboutForm" of hwire.ini), whose
// limits keep its size.
std::unique_ptr<TAbout> MakeAboutBox(QWidget* parent);

}  // namespace hw
