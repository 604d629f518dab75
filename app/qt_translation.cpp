#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace app {

QTranslator* installQtJapanese(QObject* owner, QString* problem) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* translator = new QTranslator(owner);
  if (!translator->load(QStringLiteral("qtbase_ja"), folder) || !QCoreApplication::installTranslator(translator)) {
    if (problem)
      *problem = QStringLiteral("cannot load Qt's Japanese texts %1/qtbase_ja.qm (Debian package "
                                "qt6-translations-l10n); Qt's buttons and file dialogs stay in English")
                     .arg(folder);
    delete translator;
    return nullptr;
  }
  return translator;
}

}  // namespace app
