#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace hw {
namespace {

std::unique_ptr<QTranslator>& Installed(int which) {
  static std::unique_ptr<QTranslator> translators[2];
  return translators[which];
}

bool Install(int which, const QLocale& locale, const QString& name, const QStringList& folders) {
  std::unique_ptr<QTranslator>& slot = Installed(which);
  if (slot) QCoreApplication::removeTranslator(slot.get());
  slot.reset();
  auto translator = std::make_unique<QTranslator>();
  for (const QString& folder : folders) {
    if (!translator->load(locale, name, "_", folder)) continue;
    QCoreApplication::installTranslator(translator.get());
    slot = std::move(translator);
    return true;
  }
  return false;
}

}  // namespace

bool InstallTranslations(const QLocale& locale) {
  // Installed files (../share/hallwire/translations beside bin/) come before the
  // built-in ones, so that a package can ship corrected translations.
  const QString installed = QCoreApplication::applicationDirPath() + "/../share/hallwire/translations";
  Install(0, locale, "qtbase", {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
  return Install(1, locale, "hallwire", {installed, ":/hallwire/translations"});
}

}  // namespace hw
