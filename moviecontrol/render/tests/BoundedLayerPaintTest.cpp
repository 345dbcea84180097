// Groups get layers only as large as what they cover on screen. The picture must be the one
// a layer over the whole view gives, wherever the group lies: in a corner, half off the
// edge, inside a mask, under a scaled or turned view.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <numbers>

#include "CommandRecord.h"
#include "MovieView.h"
#include "PainterBackend.h"
#include "RenderTestApp.h"
#include "RenderTestMovies.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::BlendMode;
using moviemaker::FillStyle;
using moviemaker::Matrix;
using moviemaker::PlaceObject;
using moviemaker::Shape;
using moviemaker::SwfWriter;

struct View {
    QSize size;
    Transform stageToDevice;
    // Like the player's letterbox: drawing outside it never shows.
    QRectF clip;
};

// The movie's first frame painted on grey through a backend of its own.
QImage paint(MovieView& movie, const View& view, bool wholeView, bool cached) {
    QImage image(view.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(128, 128, 128));
    RenderResources resources(movie.movie());
    resources.groups.setEnabled(cached);
    CommandRecord frame;
    movie.player().render(frame);
    QPainter painter(&image);
    painter.setClipRect(view.clip);
    PainterBackend backend(resources, painter, view.stageToDevice, RenderQuality::High);
    backend.setLayersCoverView(wholeView);
    frame.replay(backend);
    return image;
}

std::uint16_t disc(SwfWriter& movie, int x, int y, int radius, moviemaker::Rgba colour) {
    Shape shape;
    moviemaker::LineStyle edge;
    edge.width = 60;
    edge.color = {0, 0, 0, 255};
    shape.fill1(shape.addFill(FillStyle::solid(colour)))
        .line(shape.addLine(edge))
        .ellipse(x * 20, y * 20, radius * 20, radius * 20);
    return movie.defineShape(shape);
}

// A drop shadow `distance` px down and right, blurred by `blur` px, drawn with its object.
std::vector<std::uint8_t> dropShadowList(double distance, double blur) {
    std::vector<std::uint8_t> out{1, 0, 0, 0, 64, 200}; // one shadow, dark blue, part clear
    const auto put32 = [&out](double value) {
        const auto fixed = static_cast<std::uint32_t>(static_cast<std::int32_t>(value * 65536));
        for (int shift = 0; shift < 32; shift += 8) {
            out.push_back(static_cast<std::uint8_t>(fixed >> shift));
        }
    };
    put32(blur);
    put32(blur);
    put32(std::numbers::pi / 4);
    put32(distance);
    out.push_back(0); // strength 1.0, in 8.8
    out.push_back(1);
    out.push_back(0x20 | 1); // composite the object, one pass
    return out;
}

// Groups of each kind on a 200 x 150 stage: a blended disc half off the top-left corner, a
// blurred one past the right edge, a shadowed one past the bottom, a Layer sprite with an
// erased hole in the middle, and an inverted one inside a mask.
std::unique_ptr<MovieView> groupsAtTheEdges() {
    renderTestApp();
    SwfWriter movie = whiteStage(200, 150);
    const std::uint16_t backdrop = disc(movie, 100, 75, 90, {40, 160, 90, 255});
    movie.place(backdrop, 1);

    const auto placed = [&movie](std::uint16_t id, std::uint16_t depth, PlaceObject p) {
        p.characterId = id;
        p.depth = depth;
        movie.placeObject(p, 3);
    };
    PlaceObject multiply;
    multiply.blendMode = BlendMode::Multiply;
    placed(disc(movie, 5, 3, 20, {250, 120, 0, 255}), 2, multiply);

    PlaceObject blurred;
    blurred.filters = moviemaker::blurFilterList(12, 6, 2);
    placed(disc(movie, 196, 60, 15, {200, 0, 200, 255}), 3, blurred);

    PlaceObject shadowed;
    shadowed.filters = dropShadowList(9, 6);
    shadowed.blendMode = BlendMode::HardLight;
    placed(disc(movie, 60, 152, 14, {255, 230, 0, 200}), 4, shadowed);

    moviemaker::Sprite layered;
    layered.place(disc(movie, 100, 75, 25, {0, 60, 255, 255}), 1);
    PlaceObject erase;
    erase.characterId = disc(movie, 108, 70, 10, {0, 0, 0, 255});
    erase.depth = 2;
    erase.blendMode = BlendMode::Erase;
    layered.placeObject(erase, 3);
    layered.showFrame();
    PlaceObject layer;
    layer.blendMode = BlendMode::Layer;
    layer.colorTransform = moviemaker::ColorTransform::tint({255, 0, 0}, 0.3);
    placed(movie.defineSprite(layered), 5, layer);

    PlaceObject mask;
    mask.clipDepth = 7;
    placed(disc(movie, 160, 130, 22, {0, 0, 0, 255}), 6, mask);
    PlaceObject invert;
    invert.blendMode = BlendMode::Invert;
    placed(disc(movie, 150, 120, 25, {0, 0, 0, 255}), 7, invert);
    movie.showFrame();
    return MovieView::fromBytes(movie.finish());
}

void expectSamePicture(MovieView& movie, const View& view, const char* name) {
    for (const bool cached : {false, true}) {
        const QImage whole = paint(movie, view, true, cached);
        const QImage bounded = paint(movie, view, false, cached);
        ASSERT_EQ(whole.size(), bounded.size());
        int differing = 0;
        for (int y = 0; y < whole.height(); ++y) {
            const auto* p = reinterpret_cast<const QRgb*>(whole.constScanLine(y));
            const auto* q = reinterpret_cast<const QRgb*>(bounded.constScanLine(y));
            for (int x = 0; x < whole.width(); ++x) {
                differing += p[x] != q[x] ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0) << name << (cached ? " with kept pictures" : "");
    }
}

TEST(BoundedLayerPaintTest, GroupsAtTheEdgesLookAsOnWholeViewLayers) {
    auto movie = groupsAtTheEdges();
    ASSERT_TRUE(movie);
    const double toPixel = 1.0 / 20.0;
    expectSamePicture(
        *movie, View{{200, 150}, Transform::scaling(toPixel, toPixel), QRectF(0, 0, 200, 150)},
        "plain");
    // Letterboxed at 2.5 times, moved by a fraction of a pixel.
    const double big = 2.5 / 20.0;
    expectSamePicture(*movie,
                      View{{560, 400},
                           Transform::translation(30.25, 12.5) * Transform::scaling(big, big),
                           QRectF(30.25, 12.5, 500, 375)},
                      "scaled");
    // Turned by 30 degrees about the centre, shrunk, and clipped to a window in the middle.
    const double turn = std::numbers::pi / 6;
    const double s = 0.8 / 20.0;
    const Transform turned =
        Transform::translation(100, 75) *
        Transform{
            s * std::cos(turn), s * std::sin(turn), -s * std::sin(turn), s * std::cos(turn), 0, 0} *
        Transform::translation(-2000, -1500);
    expectSamePicture(*movie, View{{200, 150}, turned, QRectF(20, 10, 150, 120)}, "turned");
}

TEST(BoundedLayerPaintTest, GroupsOfNothingDrawNothing) {
    renderTestApp();
    SwfWriter movie = whiteStage(50, 50);
    moviemaker::Sprite empty;
    empty.showFrame();
    const std::uint16_t id = movie.defineSprite(empty);
    for (std::uint16_t depth = 1; depth <= 2; ++depth) {
        PlaceObject p;
        p.characterId = id;
        p.depth = depth;
        if (depth == 1) {
            p.blendMode = BlendMode::Difference;
        } else {
            p.filters = moviemaker::blurFilterList(8, 8, 1);
        }
        movie.placeObject(p, 3);
    }
    movie.showFrame();
    auto renderer = MovieView::fromBytes(movie.finish());
    ASSERT_TRUE(renderer);
    const QImage image = renderer->renderFrame(QSize(50, 50), RenderQuality::High);
    for (int y = 0; y < 50; y += 7) {
        for (int x = 0; x < 50; x += 7) {
            ASSERT_EQ(image.pixelColor(x, y), QColor(255, 255, 255)) << x << "," << y;
        }
    }
}

} // namespace
} // namespace mc
