#include <gtest/gtest.h>

#include <QImage>
#include <memory>

#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/SwfWriter.h"
#include "moviemaker/Video.h"

namespace mc {
namespace {

using moviemaker::H263Frame;

std::unique_ptr<MovieView> load(const std::vector<std::uint8_t>& bytes) {
    renderTestApp();
    return MovieView::fromBytes(bytes);
}

// Luma 50 and 150 (grey 40 and 156 in RGB) side by side, then an inter frame that copies
// the left half over the right one. The stream is placed at (10, 10) px, twice its size.
std::vector<std::uint8_t> videoMovie(std::uint8_t codec) {
    moviemaker::SwfWriter movie = whiteStage(100, 60);
    movie.rawTag(60, moviemaker::encodeDefineVideoStream(1, 2, 32, 16, 0, codec));
    H263Frame key(H263Frame::Intra, 32, 16, 4);
    key.intraFlat({50, 50, 50, 50, 128, 128}).intraFlat({150, 150, 150, 150, 128, 128});
    movie.rawTag(61, moviemaker::encodeVideoFrame(1, 0, key.take()), true);
    moviemaker::PlaceObject place;
    place.characterId = 1;
    place.matrix = moviemaker::Matrix::scale(2.0, 2.0, 200, 200);
    place.ratio = 0;
    movie.placeObject(place);
    movie.showFrame();
    movie.rawTag(61,
                 moviemaker::encodeVideoFrame(
                     1, 1, H263Frame(H263Frame::Inter, 32, 16, 4).skipped().moved(-32, 0).take()));
    moviemaker::PlaceObject move;
    move.move = true;
    move.ratio = 1;
    movie.placeObject(move);
    movie.showFrame();
    return movie.finish();
}

int grey(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).green();
}

TEST(VideoPaint, TheFrameOfTheRatioFillsThePlacedBox) {
    auto movie = load(videoMovie(2));
    ASSERT_TRUE(movie);
    QImage image = movie->renderFrame(QSize(100, 60), RenderQuality::Low);
    EXPECT_EQ(grey(image, 9, 20), 255) << "left of the box";
    EXPECT_NEAR(grey(image, 12, 12), 40, 1);
    EXPECT_NEAR(grey(image, 41, 41), 40, 1);
    EXPECT_NEAR(grey(image, 43, 12), 156, 1);
    EXPECT_NEAR(grey(image, 73, 41), 156, 1);
    EXPECT_EQ(grey(image, 75, 20), 255) << "right of the box: 10 + 2 * 32 px";
    EXPECT_EQ(grey(image, 40, 43), 255) << "below the box";

    movie->player().advance();
    image = movie->renderFrame(QSize(100, 60), RenderQuality::Low);
    EXPECT_NEAR(grey(image, 60, 20), 40, 1) << "the inter frame moved the left half over";

    movie->player().gotoFrame(0, false);
    image = movie->renderFrame(QSize(100, 60), RenderQuality::Low);
    EXPECT_NEAR(grey(image, 60, 20), 156, 1) << "back again: decoded afresh from the key frame";
}

TEST(VideoPaint, StreamsInOtherCodecsDrawNothing) {
    auto movie = load(videoMovie(4));
    ASSERT_TRUE(movie);
    const QImage image = movie->renderFrame(QSize(100, 60), RenderQuality::Low);
    EXPECT_EQ(grey(image, 20, 20), 255);
}

} // namespace
} // namespace mc
