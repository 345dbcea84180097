#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/ActionWriter.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::Actions;
using moviemaker::FillStyle;
using moviemaker::Shape;
using moviemaker::SwfWriter;

// A 100x100 px movie: a 20 px square of `colour` at the top-left as character 1, `script`
// in its one frame.
std::vector<std::uint8_t> squareMovie(moviemaker::Rgb colour, const Actions& script) {
    SwfWriter movie = whiteStage(100, 100, 8);
    Shape box;
    box.fill1(box.addFill(FillStyle::solid({colour.r, colour.g, colour.b, 255})))
        .rectangle(0, 0, 400, 400);
    movie.place(movie.defineShape(box), 1);
    movie.doAction(script);
    movie.showFrame();
    return movie.finish();
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray bytesOf(const std::vector<std::uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

TEST(LoadedMovieTest, AChildMovieAndAPictureBesideTheMovieAreDrawnInTheirClips) {
    renderTestApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Actions root = Actions()
                             .callMethod("this", "createEmptyMovieClip", {"holder", "5"})
                             .setVariable("holder._x", 50)
                             .push("child.swf")
                             .push("holder")
                             .getUrl2(0x40)
                             .callMethod("this", "createEmptyMovieClip", {"picture", "6"})
                             .setVariable("picture._y", 60)
                             .push("pic.png")
                             .push("picture")
                             .getUrl2(0x40);
    write(dir.filePath("root.swf"), bytesOf(squareMovie({255, 0, 0}, root)));
    // The child's square has the same id as the root's, in another colour.
    write(dir.filePath("child.swf"), bytesOf(squareMovie({0, 0, 255}, Actions())));
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(QColor(0, 200, 0));
    ASSERT_TRUE(picture.save(dir.filePath("pic.png"), "PNG"));

    auto movie = MovieView::fromFile(dir.filePath("root.swf").toStdString());
    ASSERT_TRUE(movie);
    QImage before = movie->renderFrame(QSize(100, 100), RenderQuality::Low);
    EXPECT_EQ(before.pixelColor(55, 5), QColor(255, 255, 255));
    movie->player().advance();
    const QImage after = movie->renderFrame(QSize(100, 100), RenderQuality::Low);
    EXPECT_EQ(after.pixelColor(5, 5), QColor(255, 0, 0));
    EXPECT_EQ(after.pixelColor(55, 5), QColor(0, 0, 255));
    EXPECT_EQ(after.pixelColor(71, 5), QColor(255, 255, 255));
    EXPECT_EQ(after.pixelColor(5, 65), QColor(0, 200, 0));
    EXPECT_EQ(after.pixelColor(5, 71), QColor(255, 255, 255));
}

TEST(LoadedMovieTest, AnEnlargedPictureKeepsHardPixelEdgesAtHighQuality) {
    renderTestApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Actions root = Actions()
                             .callMethod("this", "createEmptyMovieClip", {"picture", "6"})
                             .setVariable("picture._y", 50)
                             .setVariable("picture._xscale", 1000)
                             .setVariable("picture._yscale", 1000)
                             .push("pic.png")
                             .push("picture")
                             .getUrl2(0x40);
    write(dir.filePath("root.swf"), bytesOf(squareMovie({255, 0, 0}, root)));
    // A red and a blue pixel side by side, ten times enlarged: 0-9 red, 10-19 blue.
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 0, 255));
    ASSERT_TRUE(picture.save(dir.filePath("pic.png"), "PNG"));

    auto movie = MovieView::fromFile(dir.filePath("root.swf").toStdString());
    ASSERT_TRUE(movie);
    movie->player().advance();
    const QImage after = movie->renderFrame(QSize(100, 100), RenderQuality::High);
    for (int x : {1, 5, 9}) {
        EXPECT_EQ(after.pixelColor(x, 55), QColor(255, 0, 0)) << x;
    }
    for (int x : {10, 14, 18}) {
        EXPECT_EQ(after.pixelColor(x, 55), QColor(0, 0, 255)) << x;
    }
}

} // namespace
} // namespace mc
