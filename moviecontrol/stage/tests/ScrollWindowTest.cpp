#include <gtest/gtest.h>

#include <array>

#include "InteractiveMovie.h"
#include "ScriptedMovie.h"
#include "ScrollWindowRules.h"
#include "StageObject.h"
#include "avm1/Machine.h"

namespace mc {
namespace {

// A 100 px square clip "outer" at the stage's corner holding, at (60, 60), a 20 px clip
// "inner" that traces when released.
// Clicks are in stage twips, script values in pixels.
struct WindowedMovie {
    WindowedMovie() : m(build()) {}

    static std::vector<std::uint8_t> build() {
        moviemaker::SwfWriter movie(version8());
        moviemaker::Sprite inner;
        inner.place(rectangleShape(movie, {0, 0, 255, 255}, 0, 0, 400, 400), 1);
        inner.showFrame();
        const uint16_t innerId = movie.defineSprite(inner);
        moviemaker::Sprite outer;
        outer.place(rectangleShape(movie, {0, 128, 0, 255}, 0, 0, 2000, 2000), 1);
        moviemaker::PlaceObject p;
        p.depth = 2;
        p.characterId = innerId;
        p.matrix = moviemaker::Matrix::translate(1200, 1200);
        p.name = "inner";
        outer.placeObject(p);
        outer.showFrame();
        placeNamedSprite(movie, outer, "outer");
        movie.doAction(moviemaker::Actions()
                           .push("outer")
                           .code(0x1C)
                           .push("inner")
                           .code(0x4E)
                           .push("onRelease")
                           .function(moviemaker::Actions().trace("released"))
                           .code(0x4F));
        movie.showFrame();
        return movie.finish();
    }

    DisplayObject& outer() { return m.child("outer"); }
    avm1::Object* object(std::string_view path) {
        DisplayObject* o = &outer();
        if (path == "inner") {
            o = m.player->childByName(*o, "inner", false).get();
        }
        return m.scripts->objectOf(*o);
    }
    avm1::Value call(std::string_view path, std::string_view method,
                     std::vector<avm1::Value> args = {}) {
        return m.scripts->machine().callMethod(object(path), method, args);
    }
    double member(const avm1::Value& v, std::string_view name) {
        avm1::Machine& machine = m.scripts->machine();
        return machine.toNumber(machine.get(v.asObject(), name));
    }
    double property(std::string_view path, std::string_view name) {
        avm1::Machine& machine = m.scripts->machine();
        return machine.toNumber(machine.get(object(path), name));
    }
    avm1::Value root() {
        return avm1::Value(static_cast<avm1::Object*>(m.scripts->objectOf(m.player->rootObject())));
    }

    InteractiveMovie m;
};

TEST(ScrollWindowTest, TheWindowIsTheClipsBoundsAndMovesWhatItHolds) {
    WindowedMovie w;
    w.outer().scrollRect = ScrollWindow{50, 50, 40, 30};
    const avm1::Value own = w.call("outer", "getBounds");
    EXPECT_EQ(w.member(own, "xMin"), 0);
    EXPECT_EQ(w.member(own, "yMin"), 0);
    EXPECT_EQ(w.member(own, "xMax"), 40);
    EXPECT_EQ(w.member(own, "yMax"), 30);
    EXPECT_EQ(w.property("outer", "_width"), 40);
    EXPECT_EQ(w.property("outer", "_height"), 30);
    // Children stand where the window shows them: 60 - 50.
    const avm1::Value inner = w.call("inner", "getBounds", {w.root()});
    EXPECT_EQ(w.member(inner, "xMin"), 10);
    EXPECT_EQ(w.member(inner, "yMax"), 30);
    // The window's bounds, not the content's, answer a point test without the shape flag.
    EXPECT_TRUE(w.call("outer", "hitTest", {avm1::Value(35.0), avm1::Value(25.0)}).asBool());
    EXPECT_FALSE(w.call("outer", "hitTest", {avm1::Value(60.0), avm1::Value(60.0)}).asBool());
    // With it, what the window hides is not hit either.
    EXPECT_TRUE(
        w.call("inner", "hitTest", {avm1::Value(15.0), avm1::Value(15.0), avm1::Value(true)})
            .asBool());
    EXPECT_FALSE(
        w.call("inner", "hitTest", {avm1::Value(65.0), avm1::Value(65.0), avm1::Value(true)})
            .asBool());
}

TEST(ScrollWindowTest, ThePointerHitsWhatTheWindowShowsAndNothingBeyondIt) {
    WindowedMovie w;
    w.m.click(1300, 1300);
    EXPECT_EQ(w.m.take(), Lines{"released"});
    w.outer().scrollRect = ScrollWindow{50, 50, 40, 30};
    // Where the clip stood before the scroll nothing is left.
    w.m.click(1300, 1300);
    EXPECT_TRUE(w.m.take().empty());
    w.m.click(300, 300);
    EXPECT_EQ(w.m.take(), Lines{"released"});
    // The pointer in the clip's own space counts from its content.
    EXPECT_EQ(w.property("inner", "_xmouse"), 5);
    // A window that does not reach the clip hides it from the pointer.
    w.outer().scrollRect = ScrollWindow{0, 0, 50, 50};
    w.m.click(1300, 1300);
    EXPECT_TRUE(w.m.take().empty());
}

TEST(ScrollWindowTest, ScriptsGiveTheWindowInWholePixelsByTheirLanguagesRule) {
    // x, y, width, height as given; as ActionScript 1/2 keeps them (each cut toward zero);
    // as ActionScript 3 does (edges rounded, halves to even; a negative size shows nothing).
    const std::array<double, 4> cases[][3] = {
        {{20.4, 10.6, 90.3, 60.7}, {20, 10, 90, 60}, {20, 11, 91, 60}},
        {{-15.7, -8.2, 30.9, 20.5}, {-15, -8, 30, 20}, {-16, -8, 31, 20}},
        {{0.5, 1.5, 2.5, 2.0}, {0, 1, 2, 2}, {0, 2, 3, 2}},
        {{10, 10, -5.5, -0.2}, {10, 10, 0, 0}, {10, 10, 0, 0}},
    };
    for (const auto& [in, as2, as3] : cases) {
        const ScrollWindow two = scriptWindowAs2(in[0], in[1], in[2], in[3]);
        const ScrollWindow three = scriptWindowAs3(in[0], in[1], in[2], in[3]);
        EXPECT_EQ((std::array{two.x, two.y, two.width, two.height}), as2) << in[0];
        EXPECT_EQ((std::array{three.x, three.y, three.width, three.height}), as3) << in[0];
    }
}

} // namespace
} // namespace mc
