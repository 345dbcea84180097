// Fills under a mask: the mask's own coverage cuts composed fills as one picture, so that no
// seam opens between fills that touch, nothing shows outside the mask and its edge stays
// anti-aliased, as Qt's clip would leave it; masks nest and turn with their placement.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <vector>

#include "CompositionTestShapes.h"
#include "MaskCoverage.h"
#include "MovieView.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "ScanlineFill.h"
#include "ShapeComposer.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

constexpr QRgb kBlue = 0xff0000ff;

QPainterPath rectPath(double x, double y, double w, double h) {
    QPainterPath path;
    path.addRect(QRectF(x, y, w, h));
    return path;
}

// The same area with a corner more, half-way along the top: no longer an upright rectangle
// to Qt's clip, which then anti-aliases its edges.
QPainterPath fiveCorners(double x, double y, double w, double h) {
    QPainterPath path;
    path.addPolygon(QPolygonF({QPointF(x, y), QPointF(x + w / 2, y), QPointF(x + w, y),
                               QPointF(x + w, y + h), QPointF(x, y + h)}));
    path.closeSubpath();
    return path;
}

TEST(MaskCoverageTest, CoversWhatThePathCoversWithinItsLimits) {
    const QRect device(0, 0, 40, 30);
    const MaskCoverage mask(fiveCorners(10.5, 5.0, 10.0, 10.0), device, nullptr);
    EXPECT_FALSE(mask.asPainterClips());
    EXPECT_EQ(mask.at(15, 10), 255);
    EXPECT_NEAR(mask.at(10, 10), 128, 1); // half the pixel
    EXPECT_NEAR(mask.at(20, 10), 128, 1);
    EXPECT_EQ(mask.at(5, 10), 0);
    EXPECT_EQ(mask.at(15, 20), 0);
    EXPECT_TRUE(device.contains(mask.area()));
    EXPECT_TRUE(mask.showsWhole(QRect(11, 6, 9, 8)));
    EXPECT_FALSE(mask.showsWhole(QRect(10, 6, 9, 8)));

    // Cut to the pixels the painter reaches.
    const MaskCoverage cut(fiveCorners(10.5, 5.0, 10.0, 10.0), QRect(0, 0, 15, 30), nullptr);
    EXPECT_EQ(cut.at(14, 10), 255);
    EXPECT_EQ(cut.at(16, 10), 0);

    // Inside another, a pixel shows as much as both let it: three quarters of a half.
    const MaskCoverage outer(fiveCorners(0.0, 0.0, 10.75, 30.0), device, nullptr);
    const MaskCoverage inner(fiveCorners(10.5, 5.0, 10.0, 10.0), device, &outer);
    EXPECT_NEAR(inner.at(10, 10), 96, 1);
    EXPECT_EQ(inner.at(11, 10), 0);
    EXPECT_LE(inner.area().right(), outer.area().right());

    // An upright rectangle is cut as Qt clips to one: sides on the nearest pixel edges.
    const MaskCoverage upright(rectPath(10.5, 5.25, 10.0, 10.0), device, nullptr);
    EXPECT_TRUE(upright.asPainterClips());
    EXPECT_EQ(upright.area(), QRect(QPoint(11, 5), QPoint(20, 14)));
    EXPECT_EQ(upright.at(10, 10), 0);
    EXPECT_EQ(upright.at(20, 10), 255);
    EXPECT_EQ(upright.at(20, 14), 255);
    EXPECT_TRUE(upright.showsWhole(upright.area()));
    // Within another the same, and within an anti-aliased one as that one is.
    const MaskCoverage both(rectPath(0.0, 0.0, 15.4, 30.0), device, &upright);
    EXPECT_TRUE(both.asPainterClips());
    EXPECT_EQ(both.area(), QRect(QPoint(11, 5), QPoint(14, 14)));
    const MaskCoverage withinSoft(rectPath(0.0, 0.0, 15.4, 30.0), device, &mask);
    EXPECT_FALSE(withinSoft.asPainterClips());
    EXPECT_NEAR(withinSoft.at(10, 10), 128, 1);
    EXPECT_EQ(withinSoft.at(14, 10), 255);
    EXPECT_EQ(withinSoft.at(15, 10), 0);

    // Spans of a fill are cut by the mask pixel by pixel.
    std::vector<std::uint8_t> out(3);
    mask.apply(10, 10, 3, nullptr, 128, out.data());
    EXPECT_NEAR(out[0], 64, 1);
    EXPECT_EQ(out[1], 128);
    EXPECT_EQ(out[2], 128);
    const std::uint8_t coverage[3] = {255, 255, 0};
    mask.apply(10, 10, 3, coverage, 0, out.data());
    EXPECT_NEAR(out[0], 128, 1);
    EXPECT_EQ(out[1], 255);
    EXPECT_EQ(out[2], 0);

    // A path far off the device keeps within what the painter reaches.
    QPainterPath hostile;
    hostile.moveTo(-1e300, -1e300);
    hostile.lineTo(1e300, 5);
    hostile.lineTo(5, 1e300);
    const MaskCoverage far(hostile, QRect(0, 0, 40, 30), nullptr);
    EXPECT_TRUE(far.area().isEmpty() || QRect(0, 0, 40, 30).contains(far.area()));
}

TEST(MaskCoverageTest, StackFollowsMasksPerPainter) {
    int a = 0;
    int b = 0;
    MaskStack stack;
    EXPECT_TRUE(stack.on(&a).followed);
    EXPECT_EQ(stack.on(&a).coverage, nullptr);

    stack.push(&a, rectPath(0, 0, 20, 20), QRect(0, 0, 100, 100));
    // A group's own picture is not cut until it is put down.
    EXPECT_TRUE(stack.on(&b).followed);
    EXPECT_EQ(stack.on(&b).coverage, nullptr);
    const MaskStack::Use outer = stack.on(&a);
    ASSERT_TRUE(outer.followed);
    ASSERT_NE(outer.coverage, nullptr);
    EXPECT_EQ(outer.coverage->at(30, 5), 0);

    // Inside it, one that reaches beyond shows only where both do.
    stack.push(&a, rectPath(10, 0, 50, 20), std::nullopt);
    const MaskStack::Use inner = stack.on(&a);
    ASSERT_NE(inner.coverage, nullptr);
    EXPECT_EQ(inner.coverage->at(15, 5), 255);
    EXPECT_EQ(inner.coverage->at(5, 5), 0);
    EXPECT_EQ(inner.coverage->at(30, 5), 0);
    stack.pop();
    EXPECT_EQ(stack.on(&a).coverage, outer.coverage);
    stack.pop();
    EXPECT_TRUE(stack.empty());
    EXPECT_EQ(stack.on(&a).coverage, nullptr);

    // A clip the filler cannot follow leaves the fills to the painter, and those inside too.
    stack.push(&a, rectPath(0, 0, 20, 20), std::nullopt);
    stack.push(&a, rectPath(0, 0, 10, 10), QRect(0, 0, 100, 100));
    EXPECT_FALSE(stack.on(&a).followed);
    stack.pop();
    stack.pop();

    // Masks too large to keep are left to the painter as well.
    stack.push(&a, rectPath(0, 0, 20000, 20000), QRect(0, 0, 20000, 20000));
    EXPECT_FALSE(stack.on(&a).followed);
    stack.pop();
    stack.pop(); // more ends than starts are ignored
}

// Composed fills under a mask against the same fills composed and then put down through
// Qt's clip: the mask must cut the picture the same way, anti-aliased edge and all.
TEST(MaskCoverageTest, MaskedFillsMatchQtsClipWithoutSeams) {
    const std::vector<QPainterPath> paths = cutSquare(10.3, 7.6, 50.0);
    const std::vector<QColor> colours{QColor(255, 0, 0), QColor(0, 255, 0)};
    // Straight sides: Qt draws curves of a clip as coarser chords than ours, inside them.
    QPainterPath maskPath;
    maskPath.addPolygon(QPolygonF({QPointF(14.4, 30.2), QPointF(27.3, 11.7), QPointF(50.6, 14.1),
                                   QPointF(54.4, 33.9), QPointF(40.2, 48.7), QPointF(20.1, 45.3)}));
    maskPath.closeSubpath();
    std::vector<SolidFill> fills;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        fills.push_back(SolidFill{&paths[i], colours[i]});
    }
    QImage start(80, 70, QImage::Format_ARGB32_Premultiplied);
    start.fill(kBlue);

    QImage ours = start;
    const MaskCoverage mask(maskPath, ours.rect(), nullptr);
    {
        QPainter p(&ours);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipPath(maskPath); // left to Qt's own drawing, which the composer does not use
        EXPECT_TRUE(composeSolidFills(p, fills, &mask));
    }
    QImage unmasked(80, 70, QImage::Format_ARGB32_Premultiplied);
    unmasked.fill(Qt::transparent);
    {
        QPainter p(&unmasked);
        p.setRenderHint(QPainter::Antialiasing);
        EXPECT_TRUE(composeSolidFills(p, fills));
    }
    QImage expected = start;
    {
        QPainter p(&expected);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipPath(maskPath);
        p.drawImage(0, 0, unmasked);
    }
    EXPECT_LE(largestDifference(ours, expected), 6);
    // No background in the seam inside the mask; untouched outside it; a soft edge.
    int soft = 0;
    for (int y = 0; y < 70; ++y) {
        for (int x = 0; x < 80; ++x) {
            const std::uint8_t m = mask.at(x, y);
            const QRgb c = ours.pixel(x, y);
            if (m == 255) {
                EXPECT_LE(qBlue(c), 2) << x << ", " << y;
            } else if (m == 0) {
                EXPECT_EQ(c, kBlue) << x << ", " << y;
            } else if (qBlue(c) > 30 && qBlue(c) < 225) {
                ++soft;
            }
        }
    }
    EXPECT_GT(soft, 40);

    // One fill alone is cut the same way.
    QImage single = start;
    QImage singleExpected = start;
    {
        QPainter p(&single);
        p.setRenderHint(QPainter::Antialiasing);
        EXPECT_TRUE(scanlineFillPath(p, paths[0], QBrush(colours[0]), &mask));
        QPainter q(&singleExpected);
        q.setRenderHint(QPainter::Antialiasing);
        q.setClipPath(maskPath);
        q.fillPath(paths[0], colours[0]);
    }
    EXPECT_LE(largestDifference(single, singleExpected), 6);
}

// Movies: a square cut in two along its diagonal (10.3 .. 60.3 px across, 7.6 .. 57.6 px
// down), red above the cut and green below, on a blue stage.
using moviemaker::FillStyle;
using moviemaker::Matrix;
using moviemaker::Shape;

std::uint16_t defineCutSquare(moviemaker::SwfWriter& movie) {
    return movie.defineShape(cutSquareShape());
}

// 80 x 70 pixels; the first background colour a movie names is the one shown.
moviemaker::SwfWriter blueStage() {
    moviemaker::MovieHeader header;
    header.frameSize = moviemaker::Rect::pixels(80, 70);
    moviemaker::SwfWriter movie(header);
    movie.setBackgroundColor({0, 0, 255});
    return movie;
}

std::uint16_t defineRectangle(moviemaker::SwfWriter& movie, int x, int y, int w, int h) {
    Shape s;
    s.fill1(s.addFill(FillStyle::solid({0, 0, 0}))).rectangle(x, y, w, h);
    return movie.defineShape(s);
}

void placeMask(moviemaker::SwfWriter& movie, std::uint16_t id, std::uint16_t depth,
               std::uint16_t clipDepth, std::optional<Matrix> matrix = std::nullopt) {
    moviemaker::PlaceObject mask;
    mask.depth = depth;
    mask.characterId = id;
    mask.clipDepth = clipDepth;
    mask.matrix = matrix;
    movie.placeObject(mask);
}

// The picture drawn directly, then again from the shape raster cache's kept picture.
std::vector<QImage> drawnTwice(moviemaker::SwfWriter& movie) {
    renderTestApp();
    auto renderer = MovieView::fromBytes(movie.finish());
    EXPECT_TRUE(renderer);
    if (!renderer) {
        return {};
    }
    std::vector<QImage> images;
    images.reserve(2);
    for (int i = 0; i < 2; ++i) {
        images.push_back(renderer->renderFrame(QSize(80, 70), RenderQuality::High));
    }
    return images;
}

// Checks each pixel by where its square lies against the mask: `inside` tells how far the
// pixel's centre lies within the mask's edge, in pixels (negative: outside). Returns how
// many pixels near the edge are anti-aliased.
template <typename Inside> int expectMaskedCutSquare(const QImage& image, Inside inside) {
    int soft = 0;
    for (int y = 9; y < 57; ++y) {
        for (int x = 12; x < 59; ++x) {
            const QRgb c = image.pixel(x, y);
            const double depth = inside(x + 0.5, y + 0.5);
            if (depth > 0.75) {
                EXPECT_LE(qBlue(c), 3) << x << ", " << y;
                EXPECT_NEAR(qRed(c) + qGreen(c), 255, 3) << x << ", " << y;
            } else if (depth < -0.75) {
                EXPECT_EQ(c, kBlue) << x << ", " << y;
            } else if (qBlue(c) > 30 && qBlue(c) < 225) {
                ++soft;
            }
        }
    }
    return soft;
}

TEST(MaskCoverageTest, MovieFillsUnderAMaskShowNoSeam) {
    moviemaker::SwfWriter movie = blueStage();
    // An upright rectangle, 15.4 .. 55.6 px across, 12.6 .. 50.4 px down: cut as Qt clips
    // to one, on the nearest pixel edges, drawn directly and from a kept picture alike.
    placeMask(movie, defineRectangle(movie, 308, 252, 804, 756), 1, 2);
    movie.place(defineCutSquare(movie), 2);
    movie.showFrame();
    const std::vector<QImage> images = drawnTwice(movie);
    ASSERT_EQ(images.size(), 2U);
    EXPECT_EQ(images[0], images[1]);
    const int soft = expectMaskedCutSquare(images[0], [](double x, double y) {
        return std::min({x - 15.0, 56.0 - x, y - 13.0, 50.0 - y}) + 0.5;
    });
    EXPECT_EQ(soft, 0);
    EXPECT_EQ(images[0].pixel(14, 30), kBlue);
    EXPECT_EQ(qBlue(images[0].pixel(15, 30)), 0);
    EXPECT_EQ(qBlue(images[0].pixel(55, 30)), 0);
    EXPECT_EQ(images[0].pixel(56, 30), kBlue);
}

TEST(MaskCoverageTest, TurnedAndNestedMasksCutComposedFills) {
    {
        SCOPED_TRACE("turned");
        moviemaker::SwfWriter movie = blueStage();
        // A square of 24 px turned by 45 degrees: a diamond around (35, 32) px.
        const std::uint16_t square = defineRectangle(movie, -240, -240, 480, 480);
        placeMask(movie, square, 1, 2, Matrix::scaleRotate(1.0, M_PI / 4.0, 700, 640));
        movie.place(defineCutSquare(movie), 2);
        movie.showFrame();
        const std::vector<QImage> images = drawnTwice(movie);
        ASSERT_EQ(images.size(), 2U);
        EXPECT_LE(largestDifference(images[0], images[1]), 2);
        for (const QImage& image : images) {
            const int soft = expectMaskedCutSquare(image, [](double x, double y) {
                return (12.0 * std::sqrt(2.0) - std::abs(x - 35.0) - std::abs(y - 32.0)) /
                       std::sqrt(2.0);
            });
            EXPECT_GT(soft, 40);
        }
    }
    {
        SCOPED_TRACE("nested");
        moviemaker::SwfWriter movie = blueStage();
        // 15 .. 40 px across, masking depths 2 to 4; inside it a turned square, a diamond
        // around (30, 32) px reaching 18 px each way, which goes past it on both sides.
        placeMask(movie, defineRectangle(movie, 300, 0, 500, 1400), 1, 4);
        placeMask(movie, defineRectangle(movie, -255, -255, 510, 510), 2, 3,
                  Matrix::scaleRotate(1.0, M_PI / 4.0, 600, 640));
        movie.place(defineCutSquare(movie), 3);
        movie.showFrame();
        for (const QImage& image : drawnTwice(movie)) {
            const int soft = expectMaskedCutSquare(image, [](double x, double y) {
                const double diamond =
                    (12.75 * std::sqrt(2.0) - std::abs(x - 30.0) - std::abs(y - 32.0)) /
                    std::sqrt(2.0);
                return std::min({diamond, x - 15.0 + 0.5, 40.0 - x + 0.5});
            });
            EXPECT_GT(soft, 20);
            EXPECT_EQ(image.pixel(14, 32), kBlue);
            EXPECT_EQ(image.pixel(40, 32), kBlue);
            EXPECT_EQ(qBlue(image.pixel(16, 32)), 0);
        }
    }
}

} // namespace
} // namespace mc
