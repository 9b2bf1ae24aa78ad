// The program's texts and Qt's own (standard buttons, file dialogs) in the user's
// language.
#pragma once

#include <QLocale>

namespace hw {

// Installs the translations for `locale`'s languages into the application, replacing
// any installed before. A language without a translation leaves English. Returns
// whether the program's own texts were found for it.
bool InstallTranslations(const QLocale& locale = QLocale::system());

}  // namespace hw
