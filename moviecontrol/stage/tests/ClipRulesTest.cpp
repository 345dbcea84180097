// What scripts read and set on clips, by the versions Flash varies them in.
#include <gtest/gtest.h>

#include <limits>

#include "ScriptedMovie.h"
#include "StageObject.h"

namespace mc {
namespace {

using avm1::Value;

struct Clips : StoppedMovie {
    using StoppedMovie::StoppedMovie;
    avm1::Object* root() { return scripts->objectOf(player->rootObject()); }
    // The property as a script would trace it, with its type.
    std::string read(avm1::Object* o, std::string_view name) {
        const Value v = m().get(o, name);
        return std::string(m().typeOf(v)) + " " + m().toString(v).str();
    }
    std::string call(avm1::Object* o, std::string_view method, std::vector<Value> args = {}) {
        const Value v = m().callMethod(o, method, args);
        return std::string(m().typeOf(v)) + " " + m().toString(v).str();
    }
};

TEST(ClipRulesTest, DepthFindersArriveWithVersionSeven) {
    Clips five(5);
    EXPECT_EQ(five.read(five.root(), "getNextHighestDepth"), "undefined ")
        << "version 5 prints undefined as nothing";
    EXPECT_EQ(five.read(five.root(), "getInstanceAtDepth"), "undefined ")
        << "version 5 prints undefined as nothing";
    Clips seven(7);
    EXPECT_EQ(seven.call(seven.root(), "getNextHighestDepth"), "number 0");
}

// Each method shows from the version of the player that brought it, and is there all along
// for hasOwnProperty (itself reached by its native number, as version 5 does not see it).
TEST(ClipRulesTest, MethodsShowFromTheVersionThatBroughtThem) {
    const struct {
        std::string_view name;
        int since;
    } methods[] = {{"attachMovie", 5},   {"createTextField", 5},
                   {"getSWFVersion", 5}, {"createEmptyMovieClip", 6},
                   {"getDepth", 6},      {"setMask", 6},
                   {"beginFill", 6},     {"lineStyle", 6},
                   {"clear", 6},         {"getTextSnapshot", 6},
                   {"getRect", 8},       {"attachBitmap", 8}};
    for (int version : {5, 6, 7, 8}) {
        Clips c(version);
        avm1::Machine& m = c.m();
        avm1::Object* proto = m.prototypeOf("MovieClip");
        m.set(proto, "ownProperty",
              m.callMethod(m.global(), "ASnative", std::vector<Value>{Value(101), Value(5)}));
        EXPECT_EQ(c.read(proto, "hasOwnProperty").substr(0, 8),
                  version >= 6 ? "function" : "undefine");
        for (const auto& method : methods) {
            const std::string expected = version >= method.since ? "function" : "undefined";
            EXPECT_EQ(c.read(c.root(), method.name).substr(0, expected.size()), expected)
                << method.name << ", version " << version;
            EXPECT_EQ(c.call(proto, "ownProperty", {Value(m.str(method.name))}), "boolean true")
                << method.name << ", version " << version;
        }
    }
}

// A Color keeps its target as given, in a fixed property of its own, and finds the clip
// again at every call: a target whose text is a path is asked for that text each time.
// Its factors and offsets wrap around in 16 bits.
TEST(ClipRulesTest, ColorFindsItsTargetAtEveryCallAndWrapsItsFactors) {
    Clips c(6);
    avm1::Machine& m = c.m();
    avm1::Object* root = c.root();
    const Value colorClass = m.get(m.global(), "Color");
    const auto make = [&](Value target) {
        return m.construct(colorClass, std::vector<Value>{std::move(target)});
    };
    avm1::Object* ofNumber = make(Value(4));
    ASSERT_NE(ofNumber, nullptr);
    EXPECT_EQ(c.call(ofNumber, "hasOwnProperty", {Value(m.str("target"))}), "boolean true");
    m.set(ofNumber, "target", Value(5));
    EXPECT_EQ(c.read(ofNumber, "target"), "number 4");
    EXPECT_EQ(c.call(ofNumber, "getRGB"), "undefined ");

    // The path's text, asked for at every call and never before.
    int asked = 0;
    avm1::Object* path = m.newObject();
    m.defineMethod(path, "toString", [&asked](avm1::CallArgs& a) {
        ++asked;
        return Value(a.machine.str("_level0"));
    });
    avm1::Object* byPath = make(Value(path));
    EXPECT_EQ(asked, 0);
    c.call(byPath, "setRGB", {Value(0x102030)});
    EXPECT_EQ(c.call(byPath, "getRGB"), "number 1056816");
    EXPECT_EQ(asked, 2);

    avm1::Object* ofRoot = make(Value(root));
    avm1::Object* transform = m.newObject();
    m.set(transform, "aa", Value(12800));
    m.set(transform, "rb", Value(65536 + 7));
    c.call(ofRoot, "setTransform", {Value(transform)});
    EXPECT_EQ(c.read(root, "_alpha"), "number -12800");
    avm1::Object* back = m.callMethod(ofRoot, "getTransform", std::vector<Value>{}).asObject();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(c.read(back, "rb"), "number 7");
    EXPECT_EQ(c.read(back, "aa"), "number -12800");

    // getRGB ors the offsets shifted over 32-bit integers: a negative one is not masked.
    m.set(transform, "rb", Value(10));
    m.set(transform, "gb", Value(-10));
    m.set(transform, "bb", Value(255));
    c.call(ofRoot, "setTransform", {Value(transform)});
    EXPECT_EQ(c.call(ofRoot, "getRGB"), "number -2305");
    // setRGB reads its number once, as a 32-bit integer.
    int valued = 0;
    avm1::Object* number = m.newObject();
    m.defineMethod(number, "valueOf", [&valued](avm1::CallArgs&) {
        ++valued;
        return Value(1e21);
    });
    c.call(ofRoot, "setRGB", {Value(number)});
    EXPECT_EQ(valued, 1);
    EXPECT_EQ(c.call(ofRoot, "getRGB"), "number 10485760"); // 1e21 wraps to 0xDEA00000
}

// A level sits at its number's depth, counted from the timeline's first depth.
TEST(ClipRulesTest, LevelsSitAtTheirNumbersDepth) {
    Clips c(7);
    for (int n : {5, 99}) {
        DisplayObject* level = c.player->levels().makeLevel(n);
        ASSERT_NE(level, nullptr);
        EXPECT_EQ(c.call(c.scripts->objectOf(*level), "getDepth"),
                  "number " + std::to_string(-16384 + n));
    }
    EXPECT_EQ(c.call(c.root(), "getDepth"), "number -16384");
}

// swapDepths on a level moves it to the level of that depth (depth + 16384); a level there
// takes its number. The root and depths at or below its own stay put, and a clip swaps with
// its siblings alone.
TEST(ClipRulesTest, LevelsSwapWithLevelsByDepth) {
    Clips c(7);
    avm1::Machine& m = c.m();
    DisplayObject* five = c.player->levels().makeLevel(5);
    DisplayObject* nine = c.player->levels().makeLevel(9);
    ASSERT_NE(five, nullptr);
    ASSERT_NE(nine, nullptr);
    avm1::Object* fiveObject = c.scripts->objectOf(*five);
    avm1::Object* nineObject = c.scripts->objectOf(*nine);
    const struct {
        const char* what;
        avm1::Object* level;
        Value to;
        int fiveAt; // the level that first was _level5 is then this one
        int nineAt;
    } steps[] = {
        {"to a free level", fiveObject, Value(10), 16394, 9},
        {"onto a level, which takes the old number", nineObject, Value(10), 9, 16394},
        {"by the other level itself", fiveObject, Value(nineObject), 16394, 9},
        {"to the root's depth: refused", fiveObject, Value(-16384), 16394, 9},
        {"below the root: refused", fiveObject, Value(-20000), 16394, 9},
        {"to a clip of another parent: refused", fiveObject, Value(c.root()), 16394, 9},
        {"to the same depth: nothing", nineObject, Value(-16375), 16394, 9},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        c.call(s.level, "swapDepths", {s.to});
        EXPECT_EQ(five->level, s.fiveAt);
        EXPECT_EQ(nine->level, s.nineAt);
        EXPECT_EQ(c.player->levels().level(s.fiveAt), five);
        EXPECT_EQ(c.player->levels().level(s.nineAt), nine);
        EXPECT_EQ(c.call(fiveObject, "getDepth"), "number " + std::to_string(s.fiveAt - 16384));
    }
    EXPECT_EQ(c.player->levels().level(5), nullptr);
    // Its string keeps the name it was loaded under; _target follows where it went. In slash
    // syntax a level above the first is its name alone.
    EXPECT_EQ(m.toString(Value(fiveObject)).str(), "_level5");
    EXPECT_EQ(c.read(fiveObject, "_target"), "string _level16394");
    c.call(c.root(), "swapDepths", {Value(20)});
    EXPECT_EQ(c.player->levels().level(0), &c.player->rootObject());
}

// swapDepths by number: the number wraps to a 32-bit integer; depths from the lowest script
// depth up to one below the topmost take the clip, the topmost and all else are refused.
TEST(ClipRulesTest, SwapDepthsTakesScriptDepthsBelowTheTopmost) {
    for (int version : {6, 7, 8}) {
        SCOPED_TRACE(version);
        Clips c(version);
        avm1::Machine& m = c.m();
        avm1::Object* clip = m.callMethod(c.root(), "createEmptyMovieClip",
                                          std::vector<Value>{Value(m.str("t")), Value(1)})
                                 .asObject();
        ASSERT_NE(clip, nullptr);
        const struct {
            Value to;
            const char* depth; // afterwards
        } steps[] = {
            {Value(3.7), "number 3"},
            {Value(-3.7), "number -3"},
            {Value(-16384), "number -16384"},
            {Value(-16385), "number -16384"},
            {Value(1048576), "number 1048576"},
            {Value(2130690044), "number 2130690044"},
            {Value(2130690045), "number 2130690044"},
            {Value(2147483647.0), "number 2130690044"},
            {Value(4294967296.0 + 9), "number 9"},
            {Value(std::numeric_limits<double>::quiet_NaN()), "number 0"},
        };
        for (const auto& s : steps) {
            c.call(clip, "swapDepths", {s.to});
            EXPECT_EQ(c.call(clip, "getDepth"), s.depth) << m.toString(s.to).str();
        }
    }
}

// A child is found through its parent's name, yet it is no property of the parent's own.
TEST(ClipRulesTest, ChildrenAreNoOwnPropertiesOfTheirParent) {
    Clips c(7);
    avm1::Machine& m = c.m();
    avm1::Object* root = c.root();
    c.call(root, "createEmptyMovieClip", {Value(m.str("kid")), Value(3)});
    EXPECT_EQ(c.read(root, "kid").substr(0, 9), "movieclip");
    EXPECT_EQ(c.call(root, "hasOwnProperty", {Value(m.str("kid"))}), "boolean false");
    m.set(root, "kid", Value(4)); // a variable of that name is the root's own
    EXPECT_EQ(c.call(root, "hasOwnProperty", {Value(m.str("kid"))}), "boolean true");
}

// _root and _parent are path words: any case finds them before version 7; from 7 only the
// written case does, and another case is an ordinary variable.
TEST(ClipRulesTest, PathWordsFollowTheVersionsCaseRule) {
    for (int version : {6, 7, 8}) {
        Clips c(version);
        avm1::Machine& m = c.m();
        avm1::Object* root = c.root();
        c.call(root, "createEmptyMovieClip", {Value(m.str("kid")), Value(3)});
        avm1::Object* kid = m.get(root, "kid").asObject();
        ASSERT_NE(kid, nullptr);
        const auto type = [&](std::string_view name) {
            const std::string read = c.read(kid, name);
            return read.substr(0, read.find(' '));
        };
        const std::string clipOrNothing = version < 7 ? "movieclip" : "undefined";
        EXPECT_EQ(type("_root"), "movieclip") << version;
        EXPECT_EQ(type("_PARENT"), clipOrNothing) << version;
        EXPECT_EQ(type("_Root"), clipOrNothing) << version;
        m.set(kid, "_ROOT", Value(4));
        EXPECT_EQ(type("_ROOT"), version < 7 ? "movieclip" : "number") << version;
        EXPECT_EQ(type("_root"), "movieclip") << version;
    }
}

TEST(ClipRulesTest, BorrowedMethodsAnswerForObjectsThatAreNoClips) {
    Clips c(6);
    avm1::Machine& m = c.m();
    avm1::Object* proto = m.prototypeOf("MovieClip");
    avm1::Object* plain = m.newObject();
    m.set(plain, "getSWFVersion", m.get(proto, "getSWFVersion"));
    m.set(plain, "meth", m.get(proto, "meth"));
    EXPECT_EQ(c.call(plain, "getSWFVersion"), "number -1");
    EXPECT_EQ(c.call(c.root(), "getSWFVersion"), "number 6");
    EXPECT_EQ(c.call(plain, "meth"), "number 0");
    EXPECT_EQ(c.call(plain, "meth", {Value(m.str("pOsT"))}), "number 2");
    EXPECT_EQ(c.call(plain, "meth", {Value(m.str("get"))}), "number 1");
    EXPECT_EQ(c.call(plain, "meth", {Value(m.str("put"))}), "number 0");
}

// The player has one focus rectangle setting: every clip reads and sets it before version 6
// (as a number), a level's root from then on (as a boolean), while other clips keep their
// own, null until set.
TEST(ClipRulesTest, FocusRectOfRootsAndClipsByVersion) {
    struct Step {
        const char* on;  // "root" or "child"
        const char* set; // "" to read only; else a value given as script text
        const char* root;
        const char* child;
    };
    const struct {
        int version;
        std::vector<Step> steps;
    } cases[] = {
        {5,
         {{"root", "", "number 1", "number 1"},
          {"child", "false", "number 0", "number 0"},
          {"root", "null", "number 0", "number 0"},
          {"child", "'x'", "number 1", "number 1"},
          {"root", "''", "number 0", "number 0"}}},
        {6,
         {{"root", "", "boolean true", "null null"},
          {"child", "false", "boolean true", "boolean false"},
          {"root", "0", "boolean false", "boolean false"},
          {"root", "undefined", "boolean false", "boolean false"},
          {"root", "{}", "boolean false", "boolean false"},
          {"root", "'x'", "boolean true", "boolean false"},
          {"child", "null", "boolean true", "null null"}}},
    };
    for (const auto& c : cases) {
        Clips clips(c.version);
        avm1::Machine& m = clips.m();
        avm1::Object* root = clips.root();
        const auto kid =
            clips.player->edits().createEmptyClip(clips.player->rootObject(), "kid", 1);
        ASSERT_NE(kid, nullptr);
        avm1::Object* child = clips.scripts->objectOf(*kid);
        for (const Step& s : c.steps) {
            avm1::Object* target = std::string_view(s.on) == "root" ? root : child;
            const std::string_view given = s.set;
            if (!given.empty()) {
                const Value v = given == "false"       ? Value(false)
                                : given == "true"      ? Value(true)
                                : given == "null"      ? Value::null()
                                : given == "undefined" ? Value()
                                : given == "{}"        ? Value(m.newObject())
                                : given.front() == '\''
                                    ? Value(m.str(given.substr(1, given.size() - 2)))
                                    : Value(std::stod(std::string(given)));
                m.set(target, "_focusrect", v);
            }
            EXPECT_EQ(clips.read(root, "_focusrect"), s.root)
                << "v" << c.version << " " << s.on << " = " << s.set;
            EXPECT_EQ(clips.read(child, "_focusrect"), s.child)
                << "v" << c.version << " " << s.on << " = " << s.set;
        }
    }
}

TEST(ClipRulesTest, PlayerWideSettingsReadTheSameThroughEveryClip) {
    Clips c(5);
    avm1::Machine& m = c.m();
    avm1::Object* root = c.root();
    const struct {
        Value given;
        std::string kept;
    } buffers[] = {{Value(1.5), "number 1"},
                   {Value(m.newObject()), "number 1"},
                   {Value(m.str("string")), "number 1"},
                   {Value(-20), "number -20"}};
    for (const auto& b : buffers) {
        m.set(root, "_soundbuftime", b.given);
        EXPECT_EQ(c.read(root, "_soundbuftime"), b.kept);
    }
    // Version 5's focus rectangle: one number, set by truth, untouched by null.
    EXPECT_EQ(c.read(root, "_focusrect"), "number 1");
    m.set(root, "_focusrect", Value(false));
    EXPECT_EQ(c.read(root, "_focusrect"), "number 0");
    m.set(root, "_focusrect", Value(8));
    m.set(root, "_focusrect", Value::null());
    EXPECT_EQ(c.read(root, "_focusrect"), "number 1");

    // toggleQuality: high goes low, anything else high.
    const struct {
        const char* from;
        const char* to;
    } toggles[] = {{"HIGH", "LOW"}, {"LOW", "HIGH"}, {"MEDIUM", "HIGH"}, {"BEST", "HIGH"}};
    for (const auto& t : toggles) {
        m.set(root, "_quality", Value(m.str(t.from)));
        c.scripts->host().toggleQuality();
        EXPECT_EQ(c.read(root, "_quality"), std::string("string ") + t.to) << t.from;
    }
}

TEST(ClipRulesTest, PositionsDropWhatFallsShortOfAWholeTwip) {
    Clips c(7);
    avm1::Machine& m = c.m();
    avm1::Object* root = c.root();
    const struct {
        double given, kept;
    } positions[] = {{0.04, 0}, {0.09, 0.05}, {20.09, 20.05}, {-0.09, -0.05}, {12.5, 12.5}};
    for (const auto& p : positions) {
        m.set(root, "_y", Value(p.given));
        EXPECT_DOUBLE_EQ(m.toNumber(m.get(root, "_y")), p.kept) << p.given;
    }
    // Small steps never add up.
    m.set(root, "_x", Value(0));
    for (int i = 0; i < 3; ++i) {
        m.set(root, "_x", Value(m.toNumber(m.get(root, "_x")) + 0.04));
    }
    EXPECT_EQ(m.toNumber(m.get(root, "_x")), 0);
}

// Geometry takes only a number: undefined, null and text that is no number (even in version
// 4, which reads such text as 0 elsewhere) leave it as it was; so do infinities, but for a
// position, which takes them as out of its range.
TEST(ClipRulesTest, GeometryIgnoresWhatIsNoNumberInEveryVersion) {
    for (int version : {4, 5, 6, 7, 8}) {
        Clips c(version);
        avm1::Machine& m = c.m();
        avm1::Object* root = c.root();
        for (std::string_view name : {"_x", "_y", "_xscale", "_yscale", "_rotation", "_alpha"}) {
            m.set(root, name, Value(25));
            for (const Value& given :
                 {Value(), Value::null(), Value(m.str("not a number")), Value(m.str("")),
                  Value(m.newObject()), Value(std::numeric_limits<double>::infinity())}) {
                if (given.isNumber() && (name == "_x" || name == "_y")) {
                    continue;
                }
                m.set(root, name, given);
                EXPECT_EQ(c.read(root, name), "number 25")
                    << name << " set to " << m.toString(given).str() << ", version " << version;
            }
            m.set(root, name, Value(m.str("50")));
            EXPECT_EQ(c.read(root, name), "number 50") << name << ", version " << version;
        }
        m.set(root, "_visible", Value());
        m.set(root, "_visible", Value(m.str("x")));
        EXPECT_TRUE(m.toBoolean(m.get(root, "_visible"))) << "version " << version;
        m.set(root, "_visible", Value(m.str("0")));
        EXPECT_FALSE(m.toBoolean(m.get(root, "_visible"))) << "version " << version;
    }
}

} // namespace
} // namespace mc
