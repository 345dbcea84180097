// What scripts see of display objects beyond their display properties: tab indexes, clips
// removed by a script, placed videos and the bounds of morph shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "InteractiveMovie.h"
#include "StageObject.h"
#include "TabIndex.h"

namespace mc {
namespace {

using avm1::Value;

TEST(TabIndexTest, ClipsCutLikeTheProcessorAndFieldsWrapWithoutSign) {
    constexpr std::int32_t kLowest = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(clipTabIndex(4.9), 4);
    EXPECT_EQ(clipTabIndex(-4.9), -4);
    EXPECT_EQ(clipTabIndex(2147483647.0), 2147483647);
    EXPECT_EQ(clipTabIndex(2147483648.0), kLowest);
    EXPECT_EQ(clipTabIndex(-2147483649.0), kLowest);
    EXPECT_EQ(clipTabIndex(std::nan("")), kLowest);
    EXPECT_EQ(clipTabIndex(-INFINITY), kLowest);

    EXPECT_EQ(fieldTabIndex(-4), 4294967292.0);
    EXPECT_EQ(fieldTabIndex(1.1), 1.0);
    EXPECT_EQ(fieldTabIndex(-2147483648.0), 2147483648.0);
    EXPECT_EQ(fieldTabIndex(4294967297.0), 1.0);
    EXPECT_EQ(fieldTabIndex(std::nan("")), 0.0);
    EXPECT_EQ(fieldTabIndex(INFINITY), 0.0);
}

// Undefined, null and whatever comes to -1 in 32 bits leave no tab index at all.
TEST(TabIndexTest, NullishAndMinusOneLeaveNone) {
    const struct {
        bool nullish;
        double value;
        std::optional<std::int32_t> clip;
        std::optional<double> field;
    } cases[] = {
        {true, std::nan(""), std::nullopt, std::nullopt},
        {true, 0.0, std::nullopt, std::nullopt},
        {false, -1.0, std::nullopt, std::nullopt},
        {false, -1.5, std::nullopt, std::nullopt},
        {false, 4294967295.0, std::numeric_limits<std::int32_t>::min(), std::nullopt},
        {false, -2.0, -2, 4294967294.0},
        {false, 0.0, 0, 0.0},
        {false, std::nan(""), std::numeric_limits<std::int32_t>::min(), 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tabIndexOfClip(c.nullish, c.value), c.clip) << c.value;
        EXPECT_EQ(tabIndexOfField(c.nullish, c.value), c.field) << c.value;
    }
}

struct ScriptObjects : InteractiveMovie {
    explicit ScriptObjects(std::vector<uint8_t> bytes) : InteractiveMovie(std::move(bytes)) {
        player->advance();
    }
    avm1::Machine& machine() { return scripts->machine(); }
    avm1::Object* root() { return scripts->objectOf(player->rootObject()); }
    avm1::Object* made(std::string_view method, std::string_view name, int depth) {
        avm1::Machine& m = machine();
        const Value args[] = {Value(m.str(name)), Value(depth), Value(0),
                              Value(0),           Value(100),   Value(20)};
        m.callMethod(root(), method, args);
        const Value v = m.get(root(), name);
        EXPECT_TRUE(v.isObject());
        return v.asObject();
    }
    bool listed(avm1::Object* o, std::string_view name) {
        const auto keys = machine().enumerate(o);
        return std::any_of(keys.begin(), keys.end(), [&](const avm1::Str& k) { return k == name; });
    }
    std::string text(const Value& v) { return machine().toString(v).str(); }
};

std::vector<uint8_t> stoppedMovie() {
    moviemaker::SwfWriter movie(version8());
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    return movie.finish();
}

TEST(ScriptObjectsTest, TabIndexReadsBackAsEachKindKeepsIt) {
    ScriptObjects s(buttonMovie(false));
    avm1::Machine& m = s.machine();
    avm1::Object* clip = s.made("createEmptyMovieClip", "clip", 5);
    avm1::Object* field = s.made("createTextField", "field", 6);
    avm1::Object* button = m.get(s.root(), "btn").asObject();
    ASSERT_NE(button, nullptr);

    for (avm1::Object* o : {clip, field, button}) {
        EXPECT_TRUE(m.get(o, "tabIndex").isUndefined());
        m.set(o, "tabIndex", Value(-4.0));
    }
    EXPECT_EQ(m.get(clip, "tabIndex").asNumber(), -4);
    EXPECT_EQ(m.get(button, "tabIndex").asNumber(), -4);
    EXPECT_EQ(m.get(field, "tabIndex").asNumber(), 4294967292.0);

    for (avm1::Object* o : {clip, field, button}) {
        m.set(o, "tabIndex", Value(m.str("x")));
    }
    EXPECT_EQ(m.get(clip, "tabIndex").asNumber(), -2147483648.0);
    EXPECT_EQ(m.get(button, "tabIndex").asNumber(), -2147483648.0);
    EXPECT_EQ(m.get(field, "tabIndex").asNumber(), 0);

    // A clip never lists its index; a button always does; the flags are plain properties.
    EXPECT_FALSE(s.listed(clip, "tabIndex"));
    EXPECT_TRUE(s.listed(button, "tabIndex"));
    EXPECT_FALSE(s.listed(clip, "tabEnabled"));
    m.set(clip, "tabEnabled", Value(m.str("yes")));
    EXPECT_TRUE(s.listed(clip, "tabEnabled"));
    EXPECT_EQ(s.text(m.get(clip, "tabEnabled")), "yes");

    m.set(clip, "tabIndex", Value());
    EXPECT_TRUE(m.get(clip, "tabIndex").isUndefined());
}

TEST(ScriptObjectsTest, ARemovedClipIsGoneAtOnceUnlessAnUnloadHandlerWaits) {
    ScriptObjects s(stoppedMovie());
    avm1::Machine& m = s.machine();
    avm1::Object* gone = s.made("createEmptyMovieClip", "gone", 1);
    avm1::Object* waiting = s.made("createEmptyMovieClip", "waiting", 2);
    m.set(waiting, "onUnload", Value(m.newFunction([](avm1::CallArgs&) { return Value(); })));
    EXPECT_EQ(s.text(Value(gone)), "_level0.gone");

    m.callMethod(gone, "removeMovieClip", {});
    m.callMethod(waiting, "removeMovieClip", {});
    EXPECT_EQ(s.text(Value(gone)), "");
    EXPECT_TRUE(m.get(gone, "_x").isUndefined());
    EXPECT_EQ(s.text(m.get(waiting, "_name")), "waiting");
    // It waits below every depth a script can give, and keeps that depth.
    EXPECT_EQ(s.text(m.callMethod(waiting, "getDepth", {})), "-32771");
    m.callMethod(waiting, "swapDepths", std::vector<Value>{Value(5)});
    EXPECT_EQ(s.text(m.callMethod(waiting, "getDepth", {})), "-32771");

    s.player->advance();
    EXPECT_TRUE(m.get(waiting, "_name").isUndefined());
}

std::vector<uint8_t> videoMovie() {
    moviemaker::SwfWriter movie(version8());
    // DefineVideoStream: id, frame count, width, height, flags, codec.
    const uint16_t id = movie.nextId();
    const std::vector<uint8_t> video = {static_cast<uint8_t>(id), 0, 0, 0, 160, 0, 120, 0, 0, 2};
    movie.rawTag(60, video);
    moviemaker::PlaceObject place;
    place.characterId = id;
    place.name = "screen";
    movie.placeObject(place);
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    return movie.finish();
}

TEST(ScriptObjectsTest, APlacedVideoIsAVideoObjectOfItsOwn) {
    ScriptObjects s(videoMovie());
    avm1::Machine& m = s.machine();
    const Value video = m.get(s.root(), "screen");
    ASSERT_TRUE(video.isObject());
    EXPECT_NE(video.asObject(), s.root());
    EXPECT_EQ(s.text(video), "_level0.screen");
    EXPECT_EQ(s.text(m.get(video.asObject(), "_name")), "screen");
    EXPECT_EQ(m.get(video.asObject(), "_width").asNumber(), 160);
    EXPECT_TRUE(m.get(video.asObject(), "attachVideo").isObject());
    EXPECT_TRUE(s.listed(s.root(), "screen"));
}

// A clip whose timeline grows a morph from a 20-pixel square (ratio 0) to one 100 pixels
// wide (ratio 65535), a frame per step.
std::vector<uint8_t> morphMovie() {
    moviemaker::SwfWriter movie(version8());
    moviemaker::MorphShape morph;
    morph.start().fill1(
        morph.addFill(moviemaker::MorphFillStyle::solid({0, 0, 0, 255}, {0, 0, 0, 255})));
    morph.start().rectangle(0, 0, 400, 400);
    morph.end().rectangle(0, 0, 2000, 400);
    const uint16_t shape = movie.defineMorphShape(morph);
    moviemaker::Sprite grower;
    moviemaker::PlaceObject first;
    first.characterId = shape;
    first.ratio = 0;
    grower.placeObject(first);
    grower.showFrame();
    moviemaker::PlaceObject grown;
    grown.move = true;
    grown.ratio = 65535;
    grower.placeObject(grown);
    grower.showFrame();
    moviemaker::PlaceObject placed;
    placed.characterId = movie.defineSprite(grower);
    placed.name = "grower";
    movie.placeObject(placed);
    // A clip with a box where only the grown morph reaches.
    moviemaker::Sprite probe;
    moviemaker::PlaceObject box;
    box.characterId = rectangleShape(movie, {0, 0, 0, 255}, 1500, 0, 200, 200);
    probe.placeObject(box);
    probe.showFrame();
    moviemaker::PlaceObject far;
    far.depth = 2;
    far.characterId = movie.defineSprite(probe);
    far.name = "probe";
    movie.placeObject(far);
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    return movie.finish();
}

TEST(ScriptObjectsTest, ScriptsMeasureAMorphByItsStartShapeWhateverItsRatio) {
    ScriptObjects s(morphMovie());
    avm1::Machine& m = s.machine();
    avm1::Object* grower = m.get(s.root(), "grower").asObject();
    ASSERT_NE(grower, nullptr);
    const Value two[] = {Value(2)};
    m.callMethod(grower, "gotoAndStop", two);

    const Value bounds = m.callMethod(grower, "getBounds", {});
    ASSERT_TRUE(bounds.isObject());
    EXPECT_EQ(m.get(bounds.asObject(), "xMax").asNumber(), 20);
    DisplayObject& o = *s.scripts->displayOf(Value(grower));
    EXPECT_EQ(s.player->geometry().scriptBoundsOf(o, Transform{}).xMax, 400);
    const Value probe[] = {m.get(s.root(), "probe")};
    EXPECT_FALSE(m.toBoolean(m.callMethod(grower, "hitTest", probe)));
    // What is drawn and hit by a point follows the ratio.
    EXPECT_EQ(s.player->geometry().boundsOf(o, Transform{}).xMax, 2000);
}

} // namespace
} // namespace mc
