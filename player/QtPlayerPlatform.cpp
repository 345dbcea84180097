#include "QtPlayerPlatform.h"

#include "DialogTitle.h"
#include "PlayedHeader.h"
#include "QtTranslations.h"

#include "cardformat/Platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

namespace player {
namespace {

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::string joinedArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            line += ' ';
        }
        line += argv[i];
    }
    return line;
}

std::string QtPlayerPlatform::ownExecutablePath() {
    if (!ownPath_.empty()) {
        return ownPath_;
    }
    try {
        return cardformat::ownExecutablePath();
    } catch (const std::exception&) {
        return {}; // then no card: the program plays what its command line names
    }
}

cardformat::PlayedHeader QtPlayerPlatform::playedHeader(const std::string& path) {
    return mc::playedHeader(path);
}

TwipSize QtPlayerPlatform::screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    const QSize size = screen->geometry().size();
    return {size.width() * TwipsPerPixel, size.height() * TwipsPerPixel};
}

TwipPlace QtPlayerPlatform::availableArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    // Qt's pixels are the desktop's logical ones: at a scale factor of 2 a window of the
    // movie's size takes twice as many of the screen's dots, and the area is half as wide.
    const QRect area = screen->availableGeometry();
    return {static_cast<double>(area.x()) * TwipsPerPixel,
            static_cast<double>(area.y()) * TwipsPerPixel,
            static_cast<double>(area.width()) * TwipsPerPixel,
            static_cast<double>(area.height()) * TwipsPerPixel};
}

void QtPlayerPlatform::loadQtTexts() {
    if (qtTextsLoaded_) {
        return;
    }
    qtTextsLoaded_ = true;
    if (auto* app = QCoreApplication::instance()) {
        qtlocale::loadQtTranslations(*app);
    }
}

void QtPlayerPlatform::messageBox(std::string_view text, MessageIcon icon, std::string_view title) {
    loadQtTexts();
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    qtext(title), qtext(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    qtlocale::widenForTitle(box);
    box.exec();
}

std::string QtPlayerPlatform::passwordBox(std::string_view prompt, std::string_view title,
                                          std::string_view defaultText) {
    loadQtTexts();
    QInputDialog box;
    box.setWindowTitle(qtext(title));
    box.setLabelText(qtext(prompt));
    box.setTextEchoMode(QLineEdit::Password);
    box.setTextValue(qtext(defaultText));
    box.setMinimumWidth(qtlocale::titleWidth(box));
    return box.exec() == QDialog::Accepted ? box.textValue().toStdString() : std::string();
}

void QtPlayerPlatform::openAddress(std::string_view address) {
    QDesktopServices::openUrl(QUrl(qtext(address)));
}

void QtPlayerPlatform::endProgram() {
    // At once: no window, timer or movie event of the player runs any more.
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace player
