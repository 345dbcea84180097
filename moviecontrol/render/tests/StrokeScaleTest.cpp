// How a stroke's thickness follows its shape's scale. A line style's flags that ask it to keep
// its thickness as the shape is scaled do not change the picture: Flash draws such a stroke
// scaled with its shape all the same, as a plain one.
#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <vector>

#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::Matrix;
using moviemaker::Shape;
using moviemaker::SwfWriter;

// Rows of dark pixels in column 50 of a 100 x 100 stage, where a 4 px (80 twip) line runs
// across, drawn 10 px long and scaled `scale` times about the stage's middle.
int thickness(bool keepsH, bool keepsV, double sx, double sy) {
    SwfWriter movie = whiteStage(100, 100, 8);
    moviemaker::LineStyle style;
    style.width = 80;
    style.color = {0, 0, 0, 255};
    style.startCap = moviemaker::CapStyle::None;
    style.endCap = moviemaker::CapStyle::None;
    style.noHScale = keepsH;
    style.noVScale = keepsV;
    Shape line;
    line.line(line.addLine(style)).moveTo(-100, 0).lineTo(100, 0);
    movie.place(movie.defineShape(line, 4), 1, Matrix::scale(sx, sy, 1000, 1000));
    const QImage image = firstFrame(movie, QSize(100, 100), RenderQuality::High);
    if (image.isNull()) {
        return -1;
    }
    int dark = 0;
    for (int y = 0; y < 100; ++y) {
        dark += image.pixelColor(50, y).lightness() < 128 ? 1 : 0;
    }
    return dark;
}

TEST(StrokeScaleTest, StrokesScaleWithTheirShapeWhateverTheirScaleFlags) {
    struct Row {
        double sx;
        double sy;
        int normal;
    };
    // A line across grows and shrinks with the vertical scale alone.
    const Row rows[] = {{4, 4, 16}, {1, 3, 12}, {6, 0.5, 2}, {3, 1, 4}, {0.5, 1.5, 6}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.sx << " x " << row.sy);
        EXPECT_EQ(thickness(false, false, row.sx, row.sy), row.normal);
        EXPECT_EQ(thickness(true, true, row.sx, row.sy), row.normal);
        EXPECT_EQ(thickness(true, false, row.sx, row.sy), row.normal);
        EXPECT_EQ(thickness(false, true, row.sx, row.sy), row.normal);
    }
}

} // namespace
} // namespace mc
