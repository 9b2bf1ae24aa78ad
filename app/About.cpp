#include "app/About.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>

#include "app/Help.h"
#include "app/Pictures.h"

namespace hw {

TAbout::TAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("About");
  setWindowTitle("About");
  setProperty(kHelpContextProperty, kAboutHelpContext);
  setWindowIcon(pictures::ProgramIcon());
  // The size is fixed by equal limits: the box can be neither shrunk nor grown.
  setMinimumSize(259, 241);
  setMaximumSize(259, 241);
  resize(259, 241);
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);

  ProgramIcon = new QLabel(this);
  ProgramIcon->setPixmap(pictures::AboutPicture());
  ProgramIcon->setGeometry(16, 16, 48, 48);

  ProductName = new QLabel("Hallwire 1.5", this);
  QFont big = small;
  big.setPixelSize(16);
  big.setBold(true);
  ProductName->setFont(big);
  ProductName->setGeometry(80, 20, 170, 24);

  Build = new QLabel("Build 1.5.12", this);
  Build->setGeometry(80, 46, 170, 16);

  static const char* const kContact[4] = {
      "Messages for your local network,",
      "with no server in between.",
      "Questions and reports:",
      "the Hallwire project's issue tracker",
  };
  for (int i = 0; i < 4; ++i) {
    Contact[i] = new QLabel(kContact[i], this);
    Contact[i]->setGeometry(16, 84 + i * 18, 230, 16);
  }

  OKButton = new QPushButton("&OK", this);
  OKButton->setDefault(true);
  OKButton->setGeometry(92, 196, 75, 25);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace hw
