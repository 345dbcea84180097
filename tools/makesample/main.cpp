// makesample OUTPUT.swf [--font FILE]
// Writes the project's sample greeting movie. Needs a CJK font with the greeting's
// characters; without --font the installed Noto CJK faces are used.

#include "GreetingMovie.h"
#include "GreetingText.h"

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    // Glyph outlines need Qt's font database, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    QString fontFile;
    const qsizetype fontAt = args.indexOf("--font");
    if (fontAt >= 0 && fontAt + 1 < args.size()) {
        fontFile = args.at(fontAt + 1);
        args.remove(fontAt, 2);
    }
    if (args.size() != 1 || args.first().startsWith("-")) {
        std::fputs("usage: makesample OUTPUT.swf [--font FILE]\n", stderr);
        return 2;
    }

    const QString characters = QString::fromUtf8(makesample::greetingCharacters());
    const auto font = makesample::findGreetingFont(characters, fontFile);
    if (!font) {
        std::fputs("makesample: no installed font has the greeting's Chinese characters "
                   "(install fonts-noto-cjk or pass --font)\n",
                   stderr);
        return 1;
    }
    const std::vector<uint8_t> movie = makesample::buildGreetingMovie(*font);

    QFile out(args.first());
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(reinterpret_cast<const char*>(movie.data()), static_cast<qint64>(movie.size())) !=
            static_cast<qint64>(movie.size()) ||
        !out.flush()) {
        std::fprintf(stderr, "makesample: cannot write %s\n", qPrintable(args.first()));
        return 1;
    }
    std::printf("%s: %zu bytes, %u frames, font %s\n", qPrintable(args.first()), movie.size(),
                static_cast<unsigned>(makesample::kFrameCount), qPrintable(font->familyName()));
    return 0;
}
