#include "GreetingMovie.h"

#include "Decorations.h"
#include "GreetingText.h"
#include "moviemaker/SwfWriter.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace makesample {

namespace {

using moviemaker::ColorTransform;
using moviemaker::Matrix;
using moviemaker::Sprite;
using moviemaker::SwfWriter;
using moviemaker::twips;

constexpr double kTau = 2 * std::numbers::pi;
constexpr const char* kGreeting = "新年快乐";
constexpr const char* kWish = "恭贺新禧";
constexpr const char* kLucky = "福";

double radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}

// Placement at (x, y) pixels, scaled by s and turned by `degrees`.
Matrix at(double x, double y, double s = 1, double degrees = 0) {
    return Matrix::scaleRotate(s, radians(degrees), twips(x), twips(y));
}

double easeOutBack(double t) {
    constexpr double overshoot = 1.70158;
    const double u = t - 1;
    return 1 + (overshoot + 1) * u * u * u + overshoot * u * u;
}

double progress(int frame, int first, int last) {
    return std::clamp(static_cast<double>(frame - first) / (last - first), 0.0, 1.0);
}

// Swings about its hanging point, one period in 48 frames.
Sprite swingingLantern(uint16_t lantern, uint16_t lucky, double phase) {
    Sprite sprite;
    constexpr int kFrames = 48;
    for (int f = 0; f < kFrames; ++f) {
        const double angle = 7 * std::sin(kTau * f / kFrames + phase);
        const double c = std::cos(radians(angle));
        const double s = std::sin(radians(angle));
        const Matrix body = at(0, 0, 1, angle);
        // The character sits on the body's centre, which swings with the lantern.
        const Matrix mark = Matrix::scaleRotate(1, radians(angle), twips(-s * kLanternBodyCentre),
                                                twips(c * kLanternBodyCentre));
        if (f == 0) {
            sprite.place(lantern, 1, body);
            sprite.place(lucky, 2, mark);
        } else {
            sprite.moveObject(1, body);
            sprite.moveObject(2, mark);
        }
        sprite.showFrame();
    }
    return sprite;
}

// Pulses, turns slowly and brightens and dims, one cycle in 36 frames.
Sprite twinklingStar(uint16_t star) {
    Sprite sprite;
    constexpr int kFrames = 36;
    for (int f = 0; f < kFrames; ++f) {
        const double wave = 0.5 + 0.5 * std::sin(kTau * f / kFrames);
        const Matrix m = at(0, 0, 0.55 + 0.55 * wave, f * 10.0);
        const ColorTransform cx = ColorTransform::alpha(0.35 + 0.65 * wave);
        if (f == 0) {
            moviemaker::PlaceObject p;
            p.depth = 1;
            p.characterId = star;
            p.matrix = m;
            p.colorTransform = cx;
            sprite.placeObject(p);
        } else {
            sprite.moveObject(1, m, cx);
        }
        sprite.showFrame();
    }
    return sprite;
}

// Rises 170 pixels in 72 frames, growing, fading in and out, swaying a little.
Sprite risingHeart(uint16_t heart) {
    Sprite sprite;
    constexpr int kFrames = 72;
    for (int f = 0; f < kFrames; ++f) {
        const double t = static_cast<double>(f) / (kFrames - 1);
        const double opacity = std::min({1.0, t * 6, (1 - t) * 3});
        const Matrix m =
            at(12 * std::sin(kTau * t * 1.5), -170 * t, 0.6 + 0.5 * t, 8 * std::sin(kTau * t));
        ColorTransform cx = ColorTransform::alpha(opacity);
        if (f == 0) {
            moviemaker::PlaceObject p;
            p.depth = 1;
            p.characterId = heart;
            p.matrix = m;
            p.colorTransform = cx;
            sprite.placeObject(p);
        } else {
            sprite.moveObject(1, m, cx);
        }
        sprite.showFrame();
    }
    return sprite;
}

// Falls the height of the stage in 96 frames, turning and drifting, then starts again.
Sprite fallingPetal(uint16_t petal) {
    Sprite sprite;
    constexpr int kFrames = 96;
    for (int f = 0; f < kFrames; ++f) {
        const double t = static_cast<double>(f) / kFrames;
        const Matrix m = at(28 * std::sin(kTau * t * 2), -30 + 470 * t, 1, 360 * t);
        if (f == 0) {
            sprite.place(petal, 1, m);
        } else {
            sprite.moveObject(1, m);
        }
        sprite.showFrame();
    }
    return sprite;
}

// Breathes slowly behind the greeting.
Sprite pulsingGlow(uint16_t glow) {
    Sprite sprite;
    constexpr int kFrames = 48;
    for (int f = 0; f < kFrames; ++f) {
        const double wave = 0.5 + 0.5 * std::sin(kTau * f / kFrames);
        const Matrix m = at(0, 0, 0.92 + 0.12 * wave);
        const ColorTransform cx = ColorTransform::alpha(0.7 + 0.3 * wave);
        if (f == 0) {
            moviemaker::PlaceObject p;
            p.depth = 1;
            p.characterId = glow;
            p.matrix = m;
            p.colorTransform = cx;
            sprite.placeObject(p);
        } else {
            sprite.moveObject(1, m, cx);
        }
        sprite.showFrame();
    }
    return sprite;
}

struct Entrance {
    uint16_t character = 0;
    uint16_t depth = 0;
    int frame = 0; // 0-based frame of the main timeline
    Matrix matrix;
};

// Text with its shadow: the shadow is the same outline, darkened and offset.
struct TitleLayer {
    uint16_t outline = 0;
    uint16_t depth = 0; // shadow at depth, text at depth + 1
    double x = 0;
    double y = 0;
};

void showTitle(SwfWriter& movie, const TitleLayer& layer, bool first, double scale, double dy,
               double opacity) {
    const ColorTransform shadow = ColorTransform::tint({70, 0, 10}, 0.55 * opacity);
    const ColorTransform face = ColorTransform::alpha(opacity);
    const Matrix shadowAt = at(layer.x + 3 * scale, layer.y + dy + 4 * scale, scale);
    const Matrix faceAt = at(layer.x, layer.y + dy, scale);
    moviemaker::PlaceObject p;
    p.move = !first;
    if (first) {
        p.characterId = layer.outline;
    }
    p.depth = layer.depth;
    p.matrix = shadowAt;
    p.colorTransform = shadow;
    movie.placeObject(p);
    p.depth = static_cast<uint16_t>(layer.depth + 1);
    p.matrix = faceAt;
    p.colorTransform = face;
    movie.placeObject(p);
}

} // namespace

const char* greetingCharacters() {
    return "新年快乐恭贺新禧福";
}

std::vector<uint8_t> buildGreetingMovie(const QRawFont& font) {
    moviemaker::MovieHeader header;
    header.version = 8;
    header.frameSize = moviemaker::Rect::pixels(kStageWidth, kStageHeight);
    header.frameRate = kFrameRate;
    SwfWriter movie(header);
    movie.setBackgroundColor({122, 8, 20});

    const uint16_t background = movie.defineShape(backgroundShape(kStageWidth, kStageHeight));
    const uint16_t glow = movie.defineShape(glowShape(230, 120));
    const uint16_t star = movie.defineShape(starShape(12));
    const uint16_t heart = movie.defineShape(heartShape(26));
    const uint16_t petal = movie.defineShape(petalShape(18));
    const uint16_t lantern = movie.defineShape(lanternShape());
    const uint16_t lucky =
        movie.defineShape(goldOutline(greetingPath(font, QString::fromUtf8(kLucky), 34, 0)));
    const uint16_t greeting =
        movie.defineShape(goldOutline(greetingPath(font, QString::fromUtf8(kGreeting), 78, 10)));
    const uint16_t wish =
        movie.defineShape(goldOutline(greetingPath(font, QString::fromUtf8(kWish), 40, 14)));
    const uint16_t ornament = movie.defineShape(ornamentShape(150));

    const uint16_t glowSprite = movie.defineSprite(pulsingGlow(glow));
    const uint16_t leftLantern = movie.defineSprite(swingingLantern(lantern, lucky, 0));
    const uint16_t rightLantern = movie.defineSprite(swingingLantern(lantern, lucky, 2.0));
    const uint16_t starSprite = movie.defineSprite(twinklingStar(star));
    const uint16_t heartSprite = movie.defineSprite(risingHeart(heart));
    const uint16_t petalSprite = movie.defineSprite(fallingPetal(petal));

    // Decorations enter at staggered frames so that their loops run out of step.
    std::vector<Entrance> entrances{
        {background, 1, 0, {}},
        {glowSprite, 2, 0, at(275, 190)},
        {leftLantern, 3, 0, at(62, -4)},
        {rightLantern, 4, 0, at(488, -4, 0.9)},
    };
    const struct {
        double x, y, scale;
        int frame;
    } stars[] = {{140, 40, 1.0, 0},   {420, 60, 0.8, 9},   {250, 28, 0.7, 17}, {40, 230, 0.9, 5},
                 {515, 250, 1.1, 13}, {180, 330, 0.6, 21}, {370, 340, 0.8, 27}};
    uint16_t depth = 10;
    for (const auto& s : stars) {
        entrances.push_back({starSprite, depth++, s.frame, at(s.x, s.y, s.scale)});
    }
    const struct {
        double x, scale;
        int frame;
    } petals[] = {{60, 1.0, 0},   {150, 0.8, 14}, {230, 1.2, 30}, {330, 0.9, 6},
                  {420, 1.1, 40}, {500, 0.7, 22}, {110, 1.0, 55}, {470, 0.9, 70}};
    depth = 20;
    for (const auto& p : petals) {
        entrances.push_back({petalSprite, depth++, p.frame, at(p.x, 0, p.scale)});
    }
    entrances.push_back({heartSprite, 30, 4, at(70, 390)});
    entrances.push_back({heartSprite, 31, 28, at(480, 395, 0.8)});
    entrances.push_back({heartSprite, 32, 52, at(300, 400, 0.7)});

    const TitleLayer title{greeting, 40, 275, 172};
    const TitleLayer subtitle{wish, 42, 275, 262};
    constexpr int kTitleIn = 10;
    constexpr int kTitleDone = 46;
    constexpr int kWishIn = 48;
    constexpr int kWishDone = 78;
    constexpr int kOrnamentIn = 66;
    constexpr int kOrnamentDone = 90;

    for (int frame = 0; frame < kFrameCount; ++frame) {
        for (const Entrance& e : entrances) {
            if (e.frame == frame) {
                movie.place(e.character, e.depth, e.matrix);
            }
        }
        if (frame >= kTitleIn && frame <= kTitleDone) {
            const double t = progress(frame, kTitleIn, kTitleDone);
            showTitle(movie, title, frame == kTitleIn, 0.25 + 0.75 * easeOutBack(t), 0,
                      std::min(1.0, t * 1.6));
        }
        if (frame >= kWishIn && frame <= kWishDone) {
            const double t = progress(frame, kWishIn, kWishDone);
            const double eased = 1 - (1 - t) * (1 - t);
            showTitle(movie, subtitle, frame == kWishIn, 1, 18 * (1 - eased), eased);
        }
        if (frame >= kOrnamentIn && frame <= kOrnamentDone) {
            const double t = progress(frame, kOrnamentIn, kOrnamentDone);
            const double eased = 1 - (1 - t) * (1 - t) * (1 - t);
            const Matrix m = Matrix::affine(std::max(0.02, eased), 0, 0, 1, twips(275), twips(222));
            if (frame == kOrnamentIn) {
                movie.place(ornament, 44, m);
            } else {
                movie.moveObject(44, m);
            }
        }
        if (frame == kFrameCount - 1) {
            movie.frameLabel("greeting");
            movie.doAction(moviemaker::Actions().stop());
        }
        movie.showFrame();
    }
    return movie.finish();
}

} // namespace makesample
