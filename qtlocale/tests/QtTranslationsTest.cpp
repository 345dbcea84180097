#include "QtTranslations.h"
#include "DialogTitle.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

namespace qtlocale {
namespace {

int argc = 1;
char name[] = "qtlocale_tests";
char* argv[] = {name, nullptr};

// The application ends with the tests, before the leak check at exit: only then has Qt handed
// its font configuration back.
class AppEnvironment : public ::testing::Environment {
  public:
    void TearDown() override { application.reset(); }
    std::unique_ptr<QApplication> application;
};

AppEnvironment* const environment = static_cast<AppEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new AppEnvironment)); // gtest owns it

QApplication& app() {
    if (!environment->application) {
        environment->application = std::make_unique<QApplication>(argc, argv);
    }
    return *environment->application;
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

// The standard dialogs with the programs' short Chinese titles.
TEST(DialogTitleTest, AMessageBoxIsWideEnoughForItsWholeTitle) {
    app();
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8("云杉小径"), QStringLiteral("x"),
                    QMessageBox::Ok);
    box.adjustSize();
    const int needed = titleWidth(box);
    ASSERT_LT(box.width(), needed); // a short text alone gives a box that cuts the title
    widenForTitle(box);
    box.adjustSize();
    EXPECT_GE(box.width(), needed);
    EXPECT_GT(needed, QFontMetrics(QApplication::font()).horizontalAdvance(box.windowTitle()));
}

} // namespace
} // namespace qtlocale
