// The rules of the display classes scripts of versions 6 to 8 rely on: positions in twips,
// the boxes clips report, hit tests, colour transforms and the stage's settings.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "InteractiveMovie.h"
#include "ScriptedMovie.h"
#include "StageObject.h"

namespace mc {
namespace {

using avm1::Value;

struct Display : StoppedMovie {
    using StoppedMovie::StoppedMovie;
    avm1::Object* root() { return scripts->objectOf(player->rootObject()); }
    Value call(avm1::Object* o, std::string_view method, std::vector<Value> args = {}) {
        return m().callMethod(o, method, args);
    }
    std::string text(const Value& v) { return m().toString(v).str(); }
    std::string read(avm1::Object* o, std::string_view name) { return text(m().get(o, name)); }
    avm1::Object* clip(std::string_view name, int depth) {
        return call(root(), "createEmptyMovieClip", {Value(m().str(name)), Value(depth)})
            .asObject();
    }
    // A box as "xMin yMin xMax yMax".
    std::string box(const Value& v) {
        avm1::Object* b = v.asObject();
        if (b == nullptr) {
            return "none";
        }
        return read(b, "xMin") + " " + read(b, "yMin") + " " + read(b, "xMax") + " " +
               read(b, "yMax");
    }
    Value str(std::string_view s) { return Value(m().str(s)); }
};

// Positions are kept as a 32-bit count of whole twips: fractions of a twip are dropped, and
// what lies beyond the count (infinities too) becomes its most negative value. NaN and
// undefined leave the position as it was.
TEST(DisplayRulesTest, PositionsAreWholeTwipsOfThirtyTwoBits) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        Value given;
        const char* read = nullptr;
    } cases[] = {
        {Value(10.123), "10.1"},       {Value(-3.07), "-3.05"},
        {Value(0.06), "0.05"},         {Value(100000000), "100000000"},
        {Value(1e10), "-107374182.4"}, {Value(-1e10), "-107374182.4"},
        {Value(inf), "-107374182.4"},  {Value(-inf), "-107374182.4"},
        {Value(std::nan("")), "7"},    {Value(), "7"},
    };
    for (int version : {6, 8}) {
        Display d(version);
        avm1::Object* c = d.clip("c", 1);
        ASSERT_NE(c, nullptr);
        for (const auto& row : cases) {
            d.m().set(c, "_x", Value(7));
            d.m().set(c, "_y", Value(7));
            d.m().set(c, "_x", row.given);
            d.m().set(c, "_y", row.given);
            EXPECT_EQ(d.read(c, "_x"), row.read) << d.text(row.given) << ", version " << version;
            EXPECT_EQ(d.read(c, "_y"), row.read) << d.text(row.given) << ", version " << version;
        }
        d.m().set(c, "_x", d.str("20"));
        EXPECT_EQ(d.read(c, "_x"), "20");
    }
}

// getBounds widens a drawing by its lines' whole width on every side, getRect counts only
// where the edges run; an empty clip stands
// at the largest twip coordinate, which mapped into another space reads rounded from
// version 8 on.
TEST(DisplayRulesTest, BoundsWithAndWithoutStrokes) {
    for (int version : {7, 8}) {
        Display d(version);
        avm1::Object* line = d.clip("line", 1);
        d.call(line, "lineStyle", {Value(10), Value(0), Value(100)});
        d.call(line, "moveTo", {Value(10), Value(10)});
        d.call(line, "lineTo", {Value(100), Value(10)});
        d.call(line, "lineTo", {Value(100), Value(50)});
        EXPECT_EQ(d.box(d.call(line, "getBounds")), "0 0 110 60");
        EXPECT_EQ(d.read(line, "_width"), "110");
        if (version >= 8) {
            EXPECT_EQ(d.box(d.call(line, "getRect")), "10 10 100 50");
        }
        d.m().set(line, "_x", Value(100));
        EXPECT_EQ(d.box(d.call(line, "getBounds", {Value(d.root())})), "100 0 210 60");

        avm1::Object* empty = d.clip("empty", 2);
        EXPECT_EQ(d.box(d.call(empty, "getBounds")), "6710886.35 6710886.35 6710886.35 6710886.35");
        const std::string far = version >= 8 ? "6710886.4" : "6710886.35";
        EXPECT_EQ(d.box(d.call(empty, "getBounds", {Value(d.root())})),
                  (far + " ").append(far).append(" ").append(far).append(" ").append(far))
            << "version " << version;
        d.call(line, "clear");
        EXPECT_EQ(d.box(d.call(line, "getBounds")), "6710886.35 6710886.35 6710886.35 6710886.35");
    }
}

// getBounds and getRect take their space as a clip or as the target path of one; anything
// else gives no box.
TEST(DisplayRulesTest, BoundsSpacesByClipOrPath) {
    Display d(8);
    avm1::Object* box = d.clip("box", 1);
    d.call(box, "beginFill", {Value(0)});
    d.call(box, "moveTo", {Value(0), Value(0)});
    d.call(box, "lineTo", {Value(10), Value(0)});
    d.call(box, "lineTo", {Value(10), Value(10)});
    d.m().set(box, "_x", Value(5));
    const struct {
        Value space;
        const char* box;
    } cases[] = {
        {Value(d.root()), "5 0 15 10"},  {d.str("_root"), "5 0 15 10"},
        {d.str("_level0"), "5 0 15 10"}, {d.str("box"), "0 0 10 10"},
        {d.str("nowhere"), "none"},      {Value(5), "none"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(d.box(d.call(box, "getBounds", {row.space})), row.box) << d.text(row.space);
        EXPECT_EQ(d.box(d.call(box, "getRect", {row.space})), row.box) << d.text(row.space);
    }
}

// blendMode takes a mode's name, or any other value as the number PlaceObject3 writes (0 and
// 1 both normal, up to 14): undefined and null count as 0. Other names and numbers leave the
// mode as it was.
TEST(DisplayRulesTest, BlendModesByNameOrNumber) {
    Display d(8);
    avm1::Object* c = d.clip("c", 1);
    const struct {
        Value given;
        const char* read;
    } cases[] = {
        {d.str("multiply"), "multiply"},
        {Value(0), "normal"},
        {Value(1), "normal"},
        {Value(2), "layer"},
        {Value(14), "hardlight"},
        {Value(14.9), "hardlight"},
        {Value(15), "screen"},
        {Value(-1), "screen"},
        {d.str("3"), "screen"},
        {d.str("bogus"), "screen"},
        {Value(), "normal"},
        {Value::null(), "normal"},
        {Value(true), "normal"},
        {d.str("HARDLIGHT"), "screen"},
    };
    for (const auto& row : cases) {
        d.m().set(c, "blendMode", d.str("screen"));
        d.m().set(c, "blendMode", row.given);
        EXPECT_EQ(d.read(c, "blendMode"), row.read) << d.text(row.given);
    }
}

// setMask answers whether it took its argument: a clip, a path to one or null; nothing at
// all without an argument.
TEST(DisplayRulesTest, SetMaskAnswers) {
    for (int version : {6, 8}) {
        Display d(version);
        avm1::Object* c = d.clip("c", 1);
        avm1::Object* mask = d.clip("mask", 2);
        EXPECT_EQ(d.text(d.call(c, "setMask", {Value(mask)})), "true");
        EXPECT_EQ(d.text(d.call(c, "setMask", {Value::null()})), "true");
        EXPECT_EQ(d.text(d.call(c, "setMask", {d.str("mask")})), "true");
        EXPECT_EQ(d.text(d.call(c, "setMask", {Value(5)})), "false");
        EXPECT_TRUE(d.call(c, "setMask").isUndefined()) << version;
    }
}

// With the shape flag a point must fall on what the clip draws (its fills, or its lines
// within their width); without it, inside its box is enough.
TEST(DisplayRulesTest, HitTestWithTheShapeFlagFollowsTheDrawing) {
    Display d(8);
    avm1::Object* tri = d.clip("tri", 1);
    d.call(tri, "beginFill", {Value(0xff0000)});
    d.call(tri, "moveTo", {Value(0), Value(0)});
    d.call(tri, "lineTo", {Value(20), Value(0)});
    d.call(tri, "lineTo", {Value(0), Value(20)});
    d.call(tri, "endFill");
    d.call(tri, "lineStyle", {Value(4)});
    d.call(tri, "moveTo", {Value(40), Value(0)});
    d.call(tri, "lineTo", {Value(40), Value(20)});
    d.m().set(tri, "_x", Value(100));
    d.m().set(tri, "_y", Value(100));
    const struct {
        double x, y;
        bool box, shape;
    } points[] = {{105, 105, true, true},
                  {118, 118, true, false},
                  {141, 110, true, true},
                  {130, 110, true, false},
                  {300, 300, false, false}};
    for (const auto& p : points) {
        EXPECT_EQ(d.call(tri, "hitTest", {Value(p.x), Value(p.y)}).asBool(), p.box)
            << p.x << "," << p.y;
        EXPECT_EQ(d.call(tri, "hitTest", {Value(p.x), Value(p.y), Value(false)}).asBool(), p.box)
            << p.x << "," << p.y;
        EXPECT_EQ(d.call(tri, "hitTest", {Value(p.x), Value(p.y), Value(true)}).asBool(), p.shape)
            << p.x << "," << p.y;
    }
}

// A copy of a clip without a timeline of its own still takes the init object.
TEST(DisplayRulesTest, DuplicatesOfEmptyClipsTakeTheirInitObject) {
    Display d(7);
    avm1::Object* original = d.clip("original", 1);
    avm1::Object* init = d.m().newObject();
    d.m().set(init, "tag", d.str("copied"));
    d.m().set(init, "_x", Value(12));
    avm1::Object* copy =
        d.call(original, "duplicateMovieClip", {d.str("copy"), Value(2), Value(init)}).asObject();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(d.read(copy, "tag"), "copied");
    EXPECT_EQ(d.read(copy, "_x"), "12");
    EXPECT_EQ(d.read(original, "tag"), "undefined");
}

// A ColorTransform holds eight numbers: all eight given (each read as a number), or one
// transform to copy; anything else is the identity. The prototype's properties read and
// set them; rgb reads the offsets and sets them with the colour multipliers at 0.
TEST(DisplayRulesTest, ColorTransformsHoldEightNumbers) {
    Display d(8);
    avm1::Machine& m = d.m();
    avm1::Object* geom = m.get(m.get(m.global(), "flash").asObject(), "geom").asObject();
    ASSERT_NE(geom, nullptr);
    const Value cls = m.get(geom, "ColorTransform");
    const auto make = [&](std::vector<Value> args) { return m.construct(cls, args); };
    const std::string identity = "(redMultiplier=1, greenMultiplier=1, blueMultiplier=1, "
                                 "alphaMultiplier=1, redOffset=0, greenOffset=0, blueOffset=0, "
                                 "alphaOffset=0)";
    EXPECT_EQ(d.text(Value(make({}))), identity);
    EXPECT_EQ(d.text(Value(make({Value(2), Value(3)}))), identity);
    EXPECT_EQ(d.text(Value(make(std::vector<Value>(7, Value(5))))), identity);
    avm1::Object* odd = make({d.str("a"), Value(), Value::null(), Value(true), Value(4), Value(5),
                              d.str("6"), Value(7), Value(99)});
    EXPECT_EQ(d.text(Value(odd)), "(redMultiplier=NaN, greenMultiplier=NaN, blueMultiplier=NaN, "
                                  "alphaMultiplier=1, redOffset=4, greenOffset=5, blueOffset=6, "
                                  "alphaOffset=7)");
    EXPECT_EQ(d.text(Value(make({Value(odd)}))), d.text(Value(odd)));

    avm1::Object* proto = m.get(cls.asObject(), "prototype").asObject();
    EXPECT_TRUE(d.call(proto, "hasOwnProperty", {d.str("redMultiplier")}).asBool());
    EXPECT_FALSE(d.call(odd, "hasOwnProperty", {d.str("redMultiplier")}).asBool());
    m.set(odd, "redMultiplier", d.str("0.5"));
    EXPECT_EQ(d.text(m.get(odd, "redMultiplier")), "0.5");
    EXPECT_EQ(std::string(m.typeOf(m.get(odd, "redMultiplier"))), "number");

    avm1::Object* colour = make({});
    m.set(colour, "rgb", Value(0x336699));
    EXPECT_EQ(d.read(colour, "rgb"), std::to_string(0x336699));
    EXPECT_EQ(d.text(Value(colour)),
              "(redMultiplier=0, greenMultiplier=0, blueMultiplier=0, alphaMultiplier=1, "
              "redOffset=51, greenOffset=102, blueOffset=153, alphaOffset=0)");

    // The argument applies first, then the transform concat is called on.
    avm1::Object* first =
        make({Value(2), Value(1), Value(1), Value(0.5), Value(10), Value(0), Value(0), Value(0)});
    avm1::Object* second =
        make({Value(0.5), Value(1), Value(1), Value(1), Value(4), Value(0), Value(0), Value(20)});
    d.call(first, "concat", {Value(second)});
    EXPECT_EQ(d.read(first, "redMultiplier") + " " + d.read(first, "redOffset") + " " +
                  d.read(first, "alphaMultiplier") + " " + d.read(first, "alphaOffset"),
              "1 18 0.5 10");
    d.call(first, "concat", {Value(m.newObject())}); // no transform: nothing changes
    EXPECT_EQ(d.read(first, "redOffset"), "18");
}

// Stage.scaleMode takes a mode's name in any case, and anything else as the default; align
// takes the letters L, T, R and B wherever they stand and reads them back in that order.
TEST(DisplayRulesTest, StageSettingsFollowTheirNames) {
    Display d(8);
    avm1::Machine& m = d.m();
    avm1::Object* stage = m.get(m.global(), "Stage").asObject();
    ASSERT_NE(stage, nullptr);
    const std::pair<const char*, const char*> modes[] = {{"noScale", "noScale"},
                                                         {"EXACTFIT", "exactFit"},
                                                         {"bogus", "showAll"},
                                                         {"noBorder", "noBorder"},
                                                         {"", "showAll"}};
    for (const auto& [given, read] : modes) {
        m.set(stage, "scaleMode", d.str(given));
        EXPECT_EQ(d.read(stage, "scaleMode"), read) << given;
    }
    const std::pair<const char*, const char*> aligns[] = {
        {"TL", "LT"}, {"br", "RB"}, {"xyz", ""}, {"bottom", "TB"}, {"RLBT", "LTRB"}};
    for (const auto& [given, read] : aligns) {
        m.set(stage, "align", d.str(given));
        EXPECT_EQ(d.read(stage, "align"), read) << given;
    }
    EXPECT_EQ(d.read(stage, "showMenu"), "true");
    m.set(stage, "showMenu", Value(0));
    EXPECT_EQ(d.read(stage, "showMenu"), "false");
    EXPECT_EQ(d.read(stage, "displayState"), "normal");
    for (const auto& [given, read] :
         {std::pair{"FULLSCREEN", "fullScreen"}, {"large", "fullScreen"}, {"Normal", "normal"}}) {
        m.set(stage, "displayState", d.str(given));
        EXPECT_EQ(d.read(stage, "displayState"), read) << given;
    }
}

// The Stage's six settings are its own properties; its listener methods are too, and
// nothing else is.
TEST(DisplayRulesTest, StageSettingsAreItsOwnProperties) {
    Display d(8);
    avm1::Machine& m = d.m();
    avm1::Object* stage = m.get(m.global(), "Stage").asObject();
    ASSERT_NE(stage, nullptr);
    const std::pair<const char*, bool> names[] = {
        {"width", true},       {"height", true},
        {"scaleMode", true},   {"align", true},
        {"showMenu", true},    {"displayState", true},
        {"addListener", true}, {"broadcastMessage", true},
        {"WIDTH", false},      {"toString", false},
        {"size", false},       {"fullScreenSourceRect", false}};
    for (const auto& [name, own] : names) {
        EXPECT_EQ(m.hasOwnProperty(stage, avm1::Str(name)), own) << name;
    }
    // Names are case-blind before version 7.
    Display d6(6);
    avm1::Object* stage6 = d6.m().get(d6.m().global(), "Stage").asObject();
    ASSERT_NE(stage6, nullptr);
    EXPECT_TRUE(d6.m().hasOwnProperty(stage6, avm1::Str("WIDTH")));
}

// meth asks its argument's own toLowerCase, and the loading methods ask the clip's meth
// (which a script may replace) whether or not a method is given.
TEST(DisplayRulesTest, MethodNamesComeFromToLowerCaseAndLoadersAskMeth) {
    Display d(7);
    avm1::Machine& m = d.m();
    avm1::Object* root = d.root();
    const struct {
        Value given;
        double method = 0;
    } names[] = {{d.str("POSt"), 2}, {d.str("geT"), 1}, {d.str("pOStIcipate"), 0},
                 {d.str("G"), 0},    {Value(5), 0},     {Value(), 0}};
    for (const auto& row : names) {
        EXPECT_EQ(d.call(root, "meth", {row.given}).asNumber(), row.method) << d.text(row.given);
    }
    EXPECT_EQ(d.call(root, "meth").asNumber(), 0);
    avm1::Object* named = m.newObject();
    m.defineMethod(named, "toLowerCase",
                   [](avm1::CallArgs& a) { return Value(a.machine.str("get")); });
    EXPECT_EQ(d.call(root, "meth", {Value(named)}).asNumber(), 1);

    int asked = 0;
    avm1::Object* clip = d.clip("loader", 1);
    m.defineMethod(clip, "meth", [&asked](avm1::CallArgs&) {
        ++asked;
        return Value(0);
    });
    d.call(clip, "loadVariables", {d.str("vars.txt")});
    d.call(clip, "loadVariables", {d.str("vars.txt"), d.str("GET")});
    d.call(clip, "getURL", {d.str("page.html")});
    d.call(clip, "loadMovie", {d.str("other.swf"), d.str("POST")});
    EXPECT_EQ(asked, 4);
}

// The members later players brought are the prototype's own for movies of every version,
// though only movies of the version that brought them see them; the clip's own properties
// stay off the prototype.
TEST(DisplayRulesTest, LaterMembersSitOnThePrototype) {
    for (int version : {6, 8}) {
        Display d(version);
        avm1::Machine& m = d.m();
        avm1::Object* proto = m.prototypeOf("MovieClip");
        m.set(proto, "ownProperty",
              m.callMethod(m.global(), "ASnative", std::vector<Value>{Value(101), Value(5)}));
        for (std::string_view name :
             {"attachAudio", "attachVideo", "blendMode", "cacheAsBitmap", "filters",
              "forceSmoothing", "opaqueBackground", "scale9Grid", "scrollRect", "tabIndex",
              "transform", "_lockroot", "beginBitmapFill", "beginMeshFill"}) {
            EXPECT_TRUE(d.call(proto, "ownProperty", {d.str(name)}).asBool())
                << name << ", version " << version;
        }
        for (std::string_view name : {"_x", "_alpha", "_name", "_visible"}) {
            EXPECT_FALSE(d.call(proto, "ownProperty", {d.str(name)}).asBool()) << name;
        }
        EXPECT_TRUE(m.get(proto, "_lockroot").isUndefined());
        avm1::Object* clip = d.clip("c", 1);
        m.set(clip, "_lockroot", Value(true));
        EXPECT_EQ(d.read(clip, "_lockroot"), "true");
        EXPECT_EQ(m.get(clip, "filters").isUndefined(), version < 8) << version;
    }
}

// hitTest takes one clip (or its path) or a point with or without the shape flag; called
// any other way it tests nothing.
TEST(DisplayRulesTest, HitTestArgumentCounts) {
    Display d(7);
    avm1::Object* a = d.clip("a", 1);
    avm1::Object* b = d.clip("b", 2);
    for (avm1::Object* c : {a, b}) {
        d.call(c, "beginFill", {Value(0)});
        d.call(c, "moveTo", {Value(0), Value(0)});
        d.call(c, "lineTo", {Value(10), Value(0)});
        d.call(c, "lineTo", {Value(10), Value(10)});
        d.call(c, "endFill");
    }
    EXPECT_TRUE(d.call(a, "hitTest", {Value(b)}).asBool());
    EXPECT_TRUE(d.call(a, "hitTest", {d.str("_root.b")}).asBool());
    EXPECT_TRUE(d.call(a, "hitTest", {Value(5), Value(2)}).asBool());
    EXPECT_TRUE(d.call(a, "hitTest").isUndefined());
    EXPECT_TRUE(d.call(a, "hitTest", {Value(5), Value(2), Value(true), Value(1)}).isUndefined());
}

// createEmptyMovieClip takes any number as a depth, as a 32-bit integer.
TEST(DisplayRulesTest, EmptyClipsTakeAnyDepth) {
    Display d(7);
    const struct {
        Value depth;
        const char* read = nullptr;
    } depths[] = {{Value(-20000), "-20000"},
                  {Value(2147483000.0), "2147483000"},
                  {Value(4294967297.0), "1"},
                  {Value(std::nan("")), "0"},
                  {Value(12.9), "12"}};
    int n = 0;
    for (const auto& row : depths) {
        const std::string name = "made" + std::to_string(n++);
        avm1::Object* made =
            d.call(d.root(), "createEmptyMovieClip", {d.str(name), row.depth}).asObject();
        ASSERT_NE(made, nullptr) << d.text(row.depth);
        EXPECT_EQ(d.text(d.call(made, "getDepth")), row.read);
    }
}

// The first movie's timeline holds the player's version as an ordinary variable.
TEST(DisplayRulesTest, RootHoldsThePlayersVersion) {
    Display d(6);
    avm1::Machine& m = d.m();
    EXPECT_EQ(std::string(m.typeOf(m.get(d.root(), "$version"))), "string");
    EXPECT_TRUE(m.deleteProperty(d.root(), m.str("$version")));
    EXPECT_TRUE(m.get(d.root(), "$version").isUndefined());
}

// MovieClip's duplicateMovieClip, borrowed by a button, copies the button; the copy takes no
// init object.
TEST(DisplayRulesTest, ButtonsDuplicateWithoutTheirInitObject) {
    moviemaker::SwfWriter movie(version(6));
    const uint16_t looks = rectangleShape(movie, {255, 0, 0, 255}, 0, 0, 200, 100);
    moviemaker::Button b;
    b.records = {{0x0F, looks, 1, {}, {}}};
    moviemaker::PlaceObject place;
    place.depth = 1;
    place.characterId = movie.defineButton2(b);
    place.name = "button";
    movie.placeObject(place);
    movie.doAction(moviemaker::Actions().stop());
    movie.showFrame();
    ScriptedMovie s(movie.finish());
    s.frames(1);
    avm1::Machine& m = s.scripts->machine();
    avm1::Object* root = s.scripts->objectOf(s.player->rootObject());
    avm1::Object* button = m.get(root, "button").asObject();
    ASSERT_NE(button, nullptr);
    m.set(button, "dupl", m.get(m.prototypeOf("MovieClip"), "duplicateMovieClip"));
    avm1::Object* init = m.newObject();
    m.set(init, "x", Value(4));
    const Value copy = m.callMethod(
        button, "dupl", std::vector<Value>{Value(m.str("copy")), Value(3), Value(init)});
    ASSERT_TRUE(copy.isObject());
    EXPECT_EQ(std::string(m.typeOf(copy)), "object");
    EXPECT_EQ(m.toString(copy).str(), "_level0.copy");
    EXPECT_TRUE(m.get(copy.asObject(), "x").isUndefined());
}

} // namespace
} // namespace mc
