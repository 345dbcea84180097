// The bars around the stage are painted fresh each frame while the stage's own pixels are
// left to its background: a picture reused from the last frame must show nothing old.
#include <gtest/gtest.h>

#include <QImage>
#include <memory>

#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

const QColor kOld(255, 0, 255);
const QColor kBars(0, 0, 255);

std::unique_ptr<MovieView> emptyStage() {
    renderTestApp();
    moviemaker::SwfWriter movie = whiteStage(100, 100);
    movie.showFrame();
    return MovieView::fromBytes(movie.finish());
}

// Whether the pixel is the bars' colour, the stage's, or a mix of the two at the stage's
// fractional border.
bool barOrStage(QColor c) {
    return c.red() == c.green() && c.blue() == 255;
}

TEST(LetterboxTest, NothingOfThePicturesLastFrameShows) {
    auto movie = emptyStage();
    ASSERT_TRUE(movie);
    // 100 x 100 stage in 301 x 153: scaled by 1.53, left at 74.0 px, right at 227.0.
    for (const QSize size : {QSize(301, 153), QSize(153, 301), QSize(301, 301), QSize(251, 150)}) {
        for (RenderQuality q : {RenderQuality::Low, RenderQuality::High}) {
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(kOld);
            movie->paint(image, q, kBars);
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    ASSERT_TRUE(barOrStage(image.pixelColor(x, y)))
                        << size.width() << "x" << size.height() << " at " << x << "," << y;
                }
            }
            EXPECT_EQ(image.pixelColor(size.width() / 2, size.height() / 2), QColor(Qt::white));
        }
    }
}

TEST(LetterboxTest, ATranslucentBackgroundShowsTheBarsColourBeneath) {
    auto movie = emptyStage();
    ASSERT_TRUE(movie);
    QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(kOld);
    movie->paint(image, RenderQuality::High, kBars, QColor(255, 0, 0, 128));
    const QColor middle = image.pixelColor(100, 50);
    EXPECT_EQ(middle.green(), 0);
    EXPECT_NEAR(middle.red(), 128, 2);
    EXPECT_NEAR(middle.blue(), 127, 2);
    EXPECT_EQ(image.pixelColor(10, 50), kBars);
}

} // namespace
} // namespace mc
