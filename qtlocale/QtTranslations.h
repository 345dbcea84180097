#pragma once

#include <QLocale>

class QCoreApplication;

namespace qtlocale {

// Qt's own texts (the buttons of message boxes, the labels of file and colour dialogs) in the
// language of `locale`, from the translations Qt ships (Debian: qt6-translations-l10n), so
// that the standard dialogs of a Chinese program speak Chinese on a Chinese system. False,
// and nothing changed, when Qt has no translation for it.
bool loadQtTranslations(QCoreApplication& app, const QLocale& locale);
// The same for the system's language.
bool loadQtTranslations(QCoreApplication& app);

} // namespace qtlocale
