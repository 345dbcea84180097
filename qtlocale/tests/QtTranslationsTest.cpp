#include "QtTranslations.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPushButton>
#include <memory>

namespace qtlocale {
namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "qtlocale_tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}

bool qtHasTranslation(const QString& language) {
    return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_" +
                             language + ".qm");
}

QString okButtonText() {
    QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Ok)->text() + "|" +
           box.button(QDialogButtonBox::Cancel)->text();
}

TEST(QtTranslationsTest, StandardButtonsSpeakTheSystemsChinese) {
    QApplication& application = app();
    if (!qtHasTranslation(QStringLiteral("zh_CN"))) {
        GTEST_SKIP() << "Qt's translations are not installed (qt6-translations-l10n)";
    }
    EXPECT_EQ(okButtonText(), QStringLiteral("&OK|&Cancel").remove('&'));
    ASSERT_TRUE(loadQtTranslations(application, QLocale(QLocale::Chinese, QLocale::China)));
    EXPECT_EQ(okButtonText(), QString::fromUtf8("确定|取消"));
}

TEST(QtTranslationsTest, ALanguageQtDoesNotKnowChangesNothing) {
    QApplication& application = app();
    EXPECT_FALSE(loadQtTranslations(application, QLocale(QLocale::Zulu, QLocale::SouthAfrica)));
}

} // namespace
} // namespace qtlocale
