// A script's mask lets its object show by the mask's alpha when both are cached as bitmaps (a
// filter caches an object too); otherwise by the mask's outline alone.
#include <gtest/gtest.h>

#include <QColor>
#include <string>
#include <vector>

#include "ScriptedRender.h"
#include "moviemaker/ActionWriter.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

// A 100 px square filled with `color`, in a clip of its own named `name` at `depth`.
void placeSquare(moviemaker::SwfWriter& movie, moviemaker::Rgba color, std::string_view name,
                 std::uint16_t depth) {
    moviemaker::Shape square;
    square.fill1(square.addFill(moviemaker::FillStyle::solid(color))).rectangle(0, 0, 2000, 2000);
    moviemaker::Sprite sprite;
    sprite.place(movie.defineShape(square), 1);
    sprite.showFrame();
    moviemaker::PlaceObject p;
    p.depth = depth;
    p.characterId = movie.defineSprite(sprite);
    p.name = std::string(name);
    movie.placeObject(p);
}

// clip.cacheAsBitmap = true
void cache(moviemaker::Actions& a, std::string_view clip) {
    a.push(clip).code(0x1C).push("cacheAsBitmap").pushBool(true).code(0x4F);
}

// clip.filters = [new flash.filters.BlurFilter(0, 0, 1)]: a filter that changes no pixel
void filter(moviemaker::Actions& a, std::string_view clip) {
    a.push(clip).code(0x1C).push("filters");
    a.push(1.0).push(0.0).push(0.0).pushInt(3).push("flash.filters").code(0x1C);
    a.push("BlurFilter").code(0x53).pushInt(1).code(0x42).code(0x4F);
}

// A red square "a" under a half transparent black one "m": by its alpha the red shows half,
// by its outline whole.
moviemaker::SwfWriter squaresMovie() {
    moviemaker::MovieHeader header;
    header.version = 8;
    header.frameSize = moviemaker::Rect::pixels(100, 100);
    moviemaker::SwfWriter movie(header);
    movie.setBackgroundColor({255, 255, 255});
    placeSquare(movie, {255, 0, 0, 255}, "a", 1);
    placeSquare(movie, {0, 0, 0, 128}, "m", 2);
    return movie;
}

// a.setMask(m)
void maskAByM(moviemaker::Actions& a) {
    a.push("m").code(0x1C).pushInt(1).push("a").code(0x1C).push("setMask");
    a.code(0x52).code(0x17);
}

struct Case {
    const char* name;
    const char* maskee; // "", "cache" or "filter"
    const char* mask;
    bool byAlpha;
};

TEST(AlphaMaskTest, BothCachedMaskByAlphaOtherwiseByOutline) {
    const std::vector<Case> cases = {
        {"both cached", "cache", "cache", true},
        {"maskee filtered, mask cached", "filter", "cache", true},
        {"only the maskee cached", "cache", "", false},
        {"only the mask cached", "", "cache", false},
        {"neither", "", "", false},
    };
    for (const Case& c : cases) {
        moviemaker::SwfWriter movie = squaresMovie();
        moviemaker::Actions script;
        for (const auto& [clip, how] : {std::pair{"a", c.maskee}, std::pair{"m", c.mask}}) {
            if (std::string_view(how) == "cache") {
                cache(script, clip);
            } else if (std::string_view(how) == "filter") {
                filter(script, clip);
            }
        }
        maskAByM(script);
        const PlayedScript played = playScript(movie, script, QSize(100, 100));
        ASSERT_FALSE(played.image.isNull()) << c.name;
        const QColor centre = played.image.pixelColor(50, 50);
        EXPECT_EQ(centre.red(), 255) << c.name;
        if (c.byAlpha) {
            EXPECT_NEAR(centre.green(), 127, 3) << c.name;
        } else {
            EXPECT_EQ(centre.green(), 0) << c.name;
        }
    }
}

TEST(AlphaMaskTest, AMaskCachedLargerThanItsPlayersBitmapsLetsNothingThrough) {
    // Version 8 caches up to 2880 pixels a side: the mask is widened to 3000.
    for (const char* maskee : {"cache", ""}) {
        moviemaker::SwfWriter movie = squaresMovie();
        moviemaker::Actions script;
        if (std::string_view(maskee) == "cache") {
            cache(script, "a");
        }
        cache(script, "m");
        script.push("m").code(0x1C).push("_width").pushInt(3000).code(0x4F);
        maskAByM(script);
        const PlayedScript played = playScript(movie, script, QSize(100, 100));
        ASSERT_FALSE(played.image.isNull()) << maskee;
        const QColor centre = played.image.pixelColor(50, 50);
        EXPECT_EQ(centre.green(), 255) << maskee;
        EXPECT_EQ(centre.blue(), 255) << maskee;
    }
}

} // namespace
} // namespace mc
