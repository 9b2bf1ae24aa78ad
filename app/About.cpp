#include "app/About.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>

#include "app/Dialogs.h"
#include "app/Help.h"
#include "app/Pictures.h"
#include "desktop/FormPlacement.h"

namespace hw {

TAbout::TAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("About");
  setWindowTitle(tr("About"));
  setProperty(kHelpContextProperty, kAboutHelpContext);
  setWindowIcon(pictures::ProgramIcon());
  // The size is fixed by equal limits: the box can be neither shrunk nor grown.
  setMinimumSize(259, 241);
  setMaximumSize(259, 241);
  resize(259, 241);
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);

  ui_.picture = new QLabel(this);
  ui_.picture->setPixmap(pictures::AboutPicture(devicePixelRatioF()));
  ui_.picture->setGeometry(16, 16, 48, 48);

  ui_.product_name = new QLabel("Hallwire 1.5", this);
  QFont big = small;
  big.setPixelSize(16);
  big.setBold(true);
  ui_.product_name->setFont(big);
  ui_.product_name->setGeometry(80, 20, 170, 24);

  ui_.build = new QLabel(tr("Build %1").arg("1.5.12"), this);
  ui_.build->setGeometry(80, 46, 170, 16);

  static const char* const kContactLines[4] = {
      QT_TR_NOOP("Messages for your local network,"),
      QT_TR_NOOP("with no server in between."),
      QT_TR_NOOP("Questions and reports:"),
      QT_TR_NOOP("the Hallwire project's issue tracker"),
  };
  for (int i = 0; i < 4; ++i) {
    ui_.contact_lines[i] = new QLabel(tr(kContactLines[i]), this);
    ui_.contact_lines[i]->setGeometry(16, 84 + i * 18, 230, 16);
  }

  ui_.ok_button = new QPushButton(tr("&OK"), this);
  ui_.ok_button->setDefault(true);
  ui_.ok_button->setGeometry(92, 196, 75, 25);
  connect(ui_.ok_button, &QPushButton::clicked, this, &QDialog::accept);

  setAccessibleDescription(tr("The program's name, version and where to ask questions"));
  ui_.picture->setAccessibleName(tr("Hallwire picture"));
  ui_.picture->setAccessibleDescription(tr("The program's picture"));
  ui_.product_name->setAccessibleDescription(tr("The program's name and version"));
  ui_.build->setAccessibleDescription(tr("The program's build number"));
  for (QLabel* line : ui_.contact_lines) line->setAccessibleDescription(tr("About the program"));
  ui_.ok_button->setAccessibleDescription(tr("Closes this box"));
}

std::unique_ptr<TAbout> MakeAboutBox(QWidget* parent) {
  auto about = std::make_unique<TAbout>(parent);
  auto* placement = new TFormPlacement(about.get());
  placement->SetIniFileName("hwire.ini");
  placement->SetIniSection("AboutForm");
  TWinMinMaxInfo limits;
  limits.MaxSizeHeight = 241;
  limits.MaxSizeWidth = 259;
  limits.MinTrackHeight = 241;
  limits.MinTrackWidth = 259;
  placement->SetMinMaxInfo(limits);
  placement->SetOnError([](const std::exception& error) { ShowStandardErrorBox(error.what()); });
  return about;
}

}  // namespace hw
