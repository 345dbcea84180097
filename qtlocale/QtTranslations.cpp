#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qtlocale {

bool loadQtTranslations(QCoreApplication& app, const QLocale& locale) {
    // Owned by the application, which keeps using it until it ends.
    auto* translator = new QTranslator(&app);
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        translator->deleteLater();
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

bool loadQtTranslations(QCoreApplication& app) {
    return loadQtTranslations(app, QLocale::system());
}

} // namespace qtlocale
