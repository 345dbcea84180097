// A card's movie plays from the temporary folder: its scripts must find nothing there and
// learn only the card's name.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "MovieWidget.h"
#include "WidgetTestApp.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

void writeFile(const QString& path, const std::vector<std::uint8_t>& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

// Loads the variables beside it, then tells its owner _url and what arrived, through the
// one command that reaches the owner.
std::string writeTellingMovie(const QTemporaryDir& dir) {
    moviemaker::MovieHeader header;
    header.version = 8;
    header.frameRate = 10.0;
    moviemaker::SwfWriter movie(header);
    movie.doAction(moviemaker::Actions().callMethod("this", "loadVariables", {"vars.txt"}));
    movie.showFrame();
    movie.doAction(moviemaker::Actions()
                       .push("FSCommand:quit")
                       .push("_url")
                       .code(0x1C)
                       .push("|")
                       .code(0x47)
                       .push("name")
                       .code(0x1C)
                       .code(0x47)
                       .getUrl2(0)
                       .stop());
    movie.showFrame();
    const std::string text = "name=beside";
    writeFile(dir.filePath("vars.txt"), std::vector<std::uint8_t>(text.begin(), text.end()));
    const QString path = dir.filePath(QStringLiteral("vmcard-4242-x1"));
    writeFile(path, movie.finish());
    return path.toStdString();
}

QString toldByMovie(MovieWidget& w, const std::string& path) {
    QSignalSpy told(&w, &MovieWidget::scriptCommand);
    w.setMovie(path);
    w.tickAt(500);
    QCoreApplication::processEvents();
    return told.isEmpty() ? QString() : told.takeFirst().at(1).toString();
}

TEST(CardMovieTest, ACardsMovieReadsNothingBesideItAndKnowsOnlyTheCardsName) {
    testing::widgetTestApp();
    QTemporaryDir dir;
    const std::string path = writeTellingMovie(dir);
    MovieWidget plain;
    EXPECT_EQ(toldByMovie(plain, path), QStringLiteral("file:///vmcard-4242-x1|beside"));

    MovieWidget card;
    card.setCardFileName("新年 贺卡.exe");
    EXPECT_EQ(toldByMovie(card, path),
              QStringLiteral("file:///%E6%96%B0%E5%B9%B4%20%E8%B4%BA%E5%8D%A1.exe|undefined"));
}

} // namespace
} // namespace mc
