#include "composer/Decorations.h"

#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <optional>

namespace composer {

using moviemaker::ColorTransform;
using moviemaker::FillStyle;
using moviemaker::Gradient;
using moviemaker::Matrix;
using moviemaker::PlaceObject;
using moviemaker::Rgba;
using moviemaker::Shape;
using moviemaker::Sprite;
using moviemaker::SwfWriter;
using moviemaker::twips;

namespace {

constexpr double kPi = std::numbers::pi;

moviemaker::LineStyle stroke(uint16_t width, Rgba colour) {
    moviemaker::LineStyle line;
    line.width = width;
    line.color = colour;
    return line;
}

uint16_t radialBall(SwfWriter& movie, Rgba inner, Rgba outer, int32_t r) {
    Shape s;
    Gradient g;
    g.stops = {{0, inner}, {255, outer}};
    s.fill1(s.addFill(FillStyle::radial(moviemaker::gradientBox(-r, -r, 2 * r, 2 * r), g)))
        .ellipse(0, 0, r, r);
    return movie.defineShape(s);
}

void place(Sprite& sprite, uint16_t id, uint16_t depth, const Matrix& m,
           std::optional<ColorTransform> cx = std::nullopt) {
    PlaceObject p;
    p.depth = depth;
    p.characterId = id;
    p.matrix = m;
    p.colorTransform = cx;
    sprite.placeObject(p);
}

void move(Sprite& sprite, uint16_t depth, const Matrix& m,
          std::optional<ColorTransform> cx = std::nullopt) {
    PlaceObject p;
    p.depth = depth;
    p.move = true;
    p.matrix = m;
    p.colorTransform = cx;
    sprite.placeObject(p);
}

// Things that cross the stage once a loop: each starts at its phase and moves by `path`
// (progress 0..1 to matrix and opacity), placed on the first frame and moved on the others.
struct Mover {
    uint16_t id = 0;
    double phase = 0;
    double speed = 1; // whole crossings a loop
    std::function<std::pair<Matrix, double>(double)> path;
};

uint16_t loopSprite(SwfWriter& movie, const std::vector<Mover>& movers, int loopFrames) {
    Sprite sprite;
    for (int f = 0; f < loopFrames; ++f) {
        for (std::size_t i = 0; i < movers.size(); ++i) {
            const Mover& m = movers[i];
            double t = m.phase + m.speed * f / loopFrames;
            t -= std::floor(t);
            const auto [matrix, opacity] = m.path(t);
            const auto depth = static_cast<uint16_t>(i + 1);
            const auto cx = opacity < 0.999 ? std::optional(ColorTransform::alpha(opacity))
                                            : std::optional(ColorTransform{});
            if (f == 0) {
                place(sprite, m.id, depth, matrix, cx);
            } else {
                move(sprite, depth, matrix, cx);
            }
        }
        sprite.showFrame();
    }
    return movie.defineSprite(sprite);
}

uint16_t lantern(SwfWriter& movie, int32_t size) {
    Shape s;
    const uint32_t string = s.addLine(stroke(30, {200, 160, 40, 255}));
    s.line(string).moveTo(0, -size * 2).lineTo(0, -size);
    Gradient body;
    body.stops = {{0, {255, 90, 60, 255}}, {255, {190, 10, 20, 255}}};
    s.line(0).fill1(s.addFill(
        FillStyle::radial(moviemaker::gradientBox(-size, -size, 2 * size, 2 * size), body)));
    s.ellipse(0, 0, size * 6 / 5, size);
    s.fill1(s.addFill(FillStyle::solid({240, 190, 60, 255})));
    s.rectangle(-size / 2, -size - size / 8, size, size / 4);
    s.rectangle(-size / 2, size - size / 8, size, size / 4);
    s.line(string).fill1(0).moveTo(0, size + size / 8).lineTo(0, size * 9 / 5);
    return movie.defineShape(s);
}

uint16_t firework(SwfWriter& movie, int32_t radius, Rgba colour) {
    Shape s;
    s.fill1(s.addFill(FillStyle::solid(colour)));
    constexpr int kSparks = 14;
    for (int k = 0; k < kSparks; ++k) {
        const double a = 2 * kPi * k / kSparks;
        const auto x = static_cast<int32_t>(std::lround(std::cos(a) * radius));
        const auto y = static_cast<int32_t>(std::lround(std::sin(a) * radius));
        s.ellipse(x, y, radius / 14, radius / 14);
    }
    return movie.defineShape(s);
}

uint16_t balloon(SwfWriter& movie, int32_t size, Rgba colour) {
    Shape s;
    s.line(s.addLine(stroke(20, {120, 120, 120, 255})));
    s.moveTo(0, size).curveTo(size / 3, size * 2, 0, size * 3);
    s.line(0);
    Gradient g;
    Rgba light = colour;
    light.r = static_cast<uint8_t>(std::min(255, colour.r + 80));
    light.g = static_cast<uint8_t>(std::min(255, colour.g + 80));
    light.b = static_cast<uint8_t>(std::min(255, colour.b + 80));
    g.stops = {{0, light}, {255, colour}};
    s.fill1(s.addFill(
        FillStyle::radial(moviemaker::gradientBox(-size, -size * 3 / 2, size * 2, size * 2), g)));
    s.ellipse(0, 0, size * 4 / 5, size);
    return movie.defineShape(s);
}

uint16_t cloud(SwfWriter& movie, int32_t size) {
    // Each puff on a layer of its own: overlapping outlines of one fill would cut holes.
    // Opaque puffs, made translucent as a whole when placed, so the overlaps do not darken.
    Shape s;
    s.fill1(s.addFill(FillStyle::solid({236, 236, 248, 255})));
    s.ellipse(0, 0, size, size / 3);
    s.newStyles();
    s.fill1(s.addFill(FillStyle::solid({236, 236, 248, 255})));
    s.ellipse(-size / 3, -size / 5, size / 2, size / 3);
    s.newStyles();
    s.fill1(s.addFill(FillStyle::solid({236, 236, 248, 255})));
    s.ellipse(size / 4, -size / 4, size / 2, size / 3);
    return movie.defineShape(s);
}

} // namespace

void heartOutline(Shape& shape, int32_t r) {
    // Two lobes and a point, drawn clockwise from the dip at the top.
    shape.moveTo(0, -r / 2)
        .curveTo(r / 2, -r * 3 / 2, r, -r / 2)
        .curveTo(r * 6 / 5, r / 5, 0, r)
        .curveTo(-r * 6 / 5, r / 5, -r, -r / 2)
        .curveTo(-r / 2, -r * 3 / 2, 0, -r / 2);
}

void starOutline(Shape& shape, int32_t r, int points) {
    for (int k = 0; k <= 2 * points; ++k) {
        const double a = -kPi / 2 + kPi * k / points;
        const double reach = k % 2 == 0 ? r : r * 0.45;
        const auto x = static_cast<int32_t>(std::lround(std::cos(a) * reach));
        const auto y = static_cast<int32_t>(std::lround(std::sin(a) * reach));
        if (k == 0) {
            shape.moveTo(x, y);
        } else {
            shape.lineTo(x, y);
        }
    }
}

std::vector<uint16_t> defineDecorations(SwfWriter& movie, Decoration decoration, int width,
                                        int height, int fps) {
    const double w = twips(width);
    const double h = twips(height);
    const double unit = std::min(w, h) / 100; // a hundredth of the shorter side
    const int loop = std::max(24, fps * 6);
    Lcg random(20240101u + static_cast<uint32_t>(decoration));
    std::vector<Mover> movers;
    const auto falling = [&](uint16_t id, int count, double sway, double spin) {
        for (int i = 0; i < count; ++i) {
            const double x0 = random.between(0, w);
            const double swayPhase = random.between(0, 2 * kPi);
            const double scale = random.between(0.6, 1.2);
            const double turn = random.between(-1, 1) * spin;
            const double speed = std::round(random.between(1, 2.4));
            movers.push_back({id, random.next(), speed, [=](double t) {
                                  const double x = x0 + std::sin(t * 2 * kPi + swayPhase) * sway;
                                  const double y = -unit * 6 + t * (h + unit * 12);
                                  return std::pair{Matrix::scaleRotate(scale, turn * t * 2 * kPi,
                                                                       static_cast<int32_t>(x),
                                                                       static_cast<int32_t>(y)),
                                                   1.0};
                              }});
        }
    };
    const auto rising = [&](uint16_t id, int count, double sway) {
        for (int i = 0; i < count; ++i) {
            const double x0 = random.between(w * 0.05, w * 0.95);
            const double swayPhase = random.between(0, 2 * kPi);
            const double scale = random.between(0.7, 1.2);
            movers.push_back({id, random.next(), 1, [=](double t) {
                                  const double x = x0 + std::sin(t * 4 * kPi + swayPhase) * sway;
                                  const double y = h + unit * 16 - t * (h + unit * 32);
                                  const double opacity = t < 0.8 ? 0.9 : 0.9 * (1 - t) / 0.2;
                                  return std::pair{Matrix::scaleRotate(scale, 0,
                                                                       static_cast<int32_t>(x),
                                                                       static_cast<int32_t>(y)),
                                                   opacity};
                              }});
        }
    };

    std::vector<uint16_t> sprites;
    switch (decoration) {
    case Decoration::None:
        return sprites;
    case Decoration::Lanterns: {
        const uint16_t lamp = lantern(movie, static_cast<int32_t>(unit * 7));
        for (int side = 0; side < 2; ++side) {
            const double x = side == 0 ? w * 0.1 : w * 0.9;
            const double phase = side * 0.25;
            movers.push_back({lamp, phase, 2, [=](double t) {
                                  const double swing = std::sin(t * 2 * kPi) * 0.14;
                                  return std::pair{
                                      Matrix::scaleRotate(1, swing, static_cast<int32_t>(x),
                                                          static_cast<int32_t>(unit * 16)),
                                      1.0};
                              }});
        }
        const std::array<Rgba, 3> colours = {
            {{255, 220, 90, 255}, {255, 120, 80, 255}, {255, 250, 200, 255}}};
        for (int k = 0; k < 3; ++k) {
            const uint16_t burst = firework(movie, static_cast<int32_t>(unit * 14),
                                            colours.at(static_cast<std::size_t>(k)));
            const double x = random.between(w * 0.25, w * 0.75);
            const double y = random.between(h * 0.12, h * 0.35);
            movers.push_back({burst, k / 3.0, 1, [=](double t) {
                                  // Bursts in the first third of its turn, dark the rest.
                                  const double p = std::min(1.0, t * 3);
                                  const double opacity = t < 1.0 / 3 ? 1 - p * p : 0.0;
                                  return std::pair{Matrix::scaleRotate(0.1 + p, p * 0.3,
                                                                       static_cast<int32_t>(x),
                                                                       static_cast<int32_t>(y)),
                                                   opacity};
                              }});
        }
        break;
    }
    case Decoration::Balloons: {
        const std::array<Rgba, 4> colours = {
            {{230, 50, 80, 255}, {60, 140, 230, 255}, {250, 190, 40, 255}, {120, 200, 90, 255}}};
        for (std::size_t k = 0; k < colours.size(); ++k) {
            rising(balloon(movie, static_cast<int32_t>(unit * 5), colours.at(k)), 2, unit * 4);
        }
        for (std::size_t k = 0; k < colours.size(); ++k) {
            Shape bit;
            bit.fill1(bit.addFill(FillStyle::solid(colours.at(k))))
                .rectangle(static_cast<int32_t>(-unit), static_cast<int32_t>(-unit / 2),
                           static_cast<int32_t>(unit * 2), static_cast<int32_t>(unit));
            falling(movie.defineShape(bit), 7, unit * 3, 2);
        }
        break;
    }
    case Decoration::Snow: {
        const uint16_t flake =
            radialBall(movie, {255, 255, 255, 240}, {255, 255, 255, 0}, static_cast<int32_t>(unit));
        falling(flake, 60, unit * 4, 0);
        break;
    }
    case Decoration::Hearts: {
        for (const Rgba colour : {Rgba{230, 40, 90, 255}, Rgba{255, 120, 160, 255}}) {
            Shape heart;
            heart.fill1(heart.addFill(FillStyle::solid(colour)));
            heartOutline(heart, static_cast<int32_t>(unit * 3));
            rising(movie.defineShape(heart), 7, unit * 5);
        }
        break;
    }
    case Decoration::MoonClouds: {
        const auto r = static_cast<int32_t>(unit * 11);
        const uint16_t glow = radialBall(movie, {255, 240, 190, 120}, {255, 240, 190, 0}, r * 2);
        const uint16_t moon = radialBall(movie, {255, 250, 225, 255}, {245, 215, 140, 255}, r);
        for (const uint16_t id : {glow, moon}) {
            movers.push_back({id, 0, 1, [=](double t) {
                                  const double breathe = 1 + std::sin(t * 2 * kPi) * 0.03;
                                  return std::pair{
                                      Matrix::scaleRotate(id == glow ? breathe : 1.0, 0,
                                                          static_cast<int32_t>(w * 0.82),
                                                          static_cast<int32_t>(h * 0.2)),
                                      1.0};
                              }});
        }
        for (int k = 0; k < 3; ++k) {
            const uint16_t c = cloud(movie, static_cast<int32_t>(unit * random.between(14, 20)));
            const double y = random.between(h * 0.1, h * 0.35);
            movers.push_back({c, k / 3.0, 1, [=](double t) {
                                  const double x = -unit * 25 + t * (w + unit * 50);
                                  return std::pair{Matrix::translate(static_cast<int32_t>(x),
                                                                     static_cast<int32_t>(y)),
                                                   0.6};
                              }});
        }
        break;
    }
    }
    sprites.push_back(loopSprite(movie, movers, loop));
    return sprites;
}

} // namespace composer
