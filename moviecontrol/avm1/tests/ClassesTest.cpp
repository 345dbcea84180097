// The later built-in classes: BitmapData's bounds, geometry, and the
// classes that answer without a network or dialogs (FileReference, NetConnection,
// ExternalInterface), and the right-click menu a movie describes (ContextMenu).

#include "FakeStage.h"

#include "avm1/FormEncoding.h"

#include <gtest/gtest.h>

#include <cmath>

namespace avm1test {
namespace {

using avm1::Object;
using avm1::Str;
using avm1::Value;

class Classes : public ::testing::Test {
  protected:
    explicit Classes(int version = 8, avm1::Limits limits = {})
        : stage(version, limits), vm(stage.vm) {}
    Value make(std::string_view path, std::vector<Value> args) {
        Object* at = vm.global();
        std::size_t start = 0;
        for (;;) {
            std::size_t dot = path.find('.', start);
            at = vm.get(at, path.substr(start, dot - start)).asObject();
            if (!at || dot == std::string_view::npos) {
                break;
            }
            start = dot + 1;
        }
        Object* made = vm.construct(Value(at), args);
        return made ? Value(made) : Value();
    }
    Value call(const Value& o, std::string_view method, std::vector<Value> args = {}) {
        return vm.callMethod(o.asObject(), method, args);
    }
    Value bitmap(double w, double h, bool transparent = true, double fill = 0) {
        return make("flash.display.BitmapData",
                    {Value(w), Value(h), Value(transparent), Value(fill)});
    }
    Value point(double x, double y) { return make("flash.geom.Point", {Value(x), Value(y)}); }
    Value rect(double x, double y, double w, double h) {
        return make("flash.geom.Rectangle", {Value(x), Value(y), Value(w), Value(h)});
    }
    std::string text(const Value& v) { return vm.toString(v).str(); }
    double number(const Value& v) { return vm.toNumber(v); }

    FakeStage stage;
    avm1::Machine& vm;
};

class Classes10 : public Classes {
  protected:
    Classes10() : Classes(10) {}
};

// Filling a quarter of a gigabyte of pixels can take seconds on a loaded machine; the
// pixel budget is what is tested, so the frame's clock must not be the one that runs out.
avm1::Limits withoutFrameClock() {
    avm1::Limits limits;
    limits.msPerFrame = 1e9;
    return limits;
}

class Classes10Untimed : public Classes {
  protected:
    Classes10Untimed() : Classes(10, withoutFrameClock()) {}
};

TEST_F(Classes, BitmapSizesFollowTheMovieVersion) {
    EXPECT_TRUE(bitmap(2880, 2880).isObject());
    EXPECT_TRUE(bitmap(2881, 1).isUndefined());
    EXPECT_TRUE(bitmap(0, 5).isUndefined());
    EXPECT_TRUE(bitmap(-3, 5).isUndefined());
    EXPECT_TRUE(bitmap(std::nan(""), 5).isUndefined());
}

TEST_F(Classes10, BitmapSizesFollowTheMovieVersion) {
    EXPECT_TRUE(bitmap(8191, 1).isObject());
    EXPECT_TRUE(bitmap(8192, 1).isUndefined());
    EXPECT_TRUE(bitmap(4095, 4096).isObject());
    EXPECT_TRUE(bitmap(4096, 4096).isUndefined()); // 2^24 pixels is one too many
}

TEST_F(Classes10Untimed, LiveBitmapsShareOneBudgetThatDisposeGivesBack) {
    std::vector<Value> kept;
    for (int i = 0; i < 64; ++i) {
        Value b = bitmap(4095, 4096, true, 0);
        if (b.isUndefined()) {
            break;
        }
        kept.push_back(b);
    }
    ASSERT_LT(kept.size(), 64u); // the budget ran out before 64 of them (4 GB)
    EXPECT_TRUE(bitmap(4095, 4096).isUndefined());
    EXPECT_TRUE(call(kept.front(), "clone").isUndefined()); // copies count too
    call(kept.back(), "dispose");
    EXPECT_EQ(number(vm.get(kept.back().asObject(), "width")), -1);
    EXPECT_TRUE(bitmap(4095, 4096).isObject());
}

TEST_F(Classes, PixelsReadBackAsSignedArgbAndRgb) {
    Value b = bitmap(2, 2, true, 0);
    call(b, "setPixel32", {Value(1), Value(1), Value(4289379276.0)}); // 0xFFAABBCC
    EXPECT_EQ(number(call(b, "getPixel32", {Value(1), Value(1)})), -5588020);
    EXPECT_EQ(number(call(b, "getPixel", {Value(1), Value(1)})), 0xAABBCC);
    call(b, "setPixel", {Value(1), Value(1), Value(0x123456)}); // keeps alpha
    EXPECT_EQ(number(call(b, "getPixel32", {Value(1), Value(1)})),
              static_cast<double>(static_cast<std::int32_t>(0xFF123456u)));
    EXPECT_EQ(number(call(b, "getPixel32", {Value(9), Value(9)})), 0);
    Value copy = call(b, "clone");
    call(b, "fillRect", {rect(0, 0, 2, 2), Value(0.0)});
    EXPECT_EQ(number(call(copy, "getPixel", {Value(1), Value(1)})), 0x123456);
}

TEST_F(Classes, CompareAndHitTestReportBadArgumentsByCode) {
    Value a = bitmap(2, 2), b = bitmap(2, 2), wide = bitmap(3, 2);
    EXPECT_EQ(number(call(a, "compare", {b})), 0);
    EXPECT_EQ(number(call(a, "compare", {wide})), -3);
    EXPECT_EQ(number(call(a, "compare", {Value(Str("x"))})), -2);
    call(b, "setPixel32", {Value(0), Value(0), Value(4278190335.0)}); // 0xFF0000FF
    Value diff = call(a, "compare", {b});
    ASSERT_TRUE(diff.isObject());
    EXPECT_EQ(number(call(diff, "getPixel32", {Value(0), Value(1)})), 0);

    Value hits = bitmap(3, 3, true, 0);
    call(hits, "setPixel32", {Value(1), Value(1), Value(4278190080.0)}); // opaque black
    EXPECT_TRUE(vm.toBoolean(call(hits, "hitTest", {point(0, 0), Value(0), point(1, 1)})));
    EXPECT_FALSE(vm.toBoolean(call(hits, "hitTest", {point(0, 0), Value(0), point(0, 0)})));
    EXPECT_TRUE(vm.toBoolean(call(hits, "hitTest", {point(5, 5), Value(255), rect(6, 6, 1, 1)})));
    EXPECT_EQ(number(call(hits, "hitTest", {Value::null(), Value(0), point(0, 0)})), -2);
    EXPECT_EQ(number(call(hits, "hitTest", {point(0, 0), Value(0), Value(vm.newObject())})), -3);
    call(hits, "dispose");
    EXPECT_EQ(number(call(hits, "hitTest", {point(0, 0), Value(0), point(1, 1)})), -1);
}

TEST_F(Classes, HitTestAgainstABitmapTakesOneAsTheSecondThresholdWhenNoneIsGiven) {
    Value first = bitmap(3, 3, true, 0), second = bitmap(3, 3, true, 0);
    call(first, "setPixel32", {Value(1), Value(1), Value(4278190080.0)});  // 0xFF000000
    call(second, "setPixel32", {Value(1), Value(1), Value(16777216.0)});   // 0x01000000
    call(second, "setPixel32", {Value(2), Value(2), Value(2147483648.0)}); // 0x80000000
    struct Case {
        int secondX, secondY;
        std::vector<Value> threshold; // empty: not given
        bool hit;
    };
    const Case cases[] = {
        {0, 0, {}, true},          // alpha 1 meets the default
        {0, 0, {Value(2)}, false}, // and not a threshold above it
        {0, 0, {Value(1)}, true},
        {-1, -1, {}, true}, // placed with the half-transparent pixel over it
        {-1, -1, {Value(129)}, false},
        {1, 1, {}, false}, // nothing opaque overlaps
        {0, 0, {Value(0)}, true},
    };
    for (const Case& k : cases) {
        std::vector<Value> args{point(0, 0), Value(255), second, point(k.secondX, k.secondY)};
        args.insert(args.end(), k.threshold.begin(), k.threshold.end());
        EXPECT_EQ(vm.toBoolean(call(first, "hitTest", args)), k.hit)
            << k.secondX << "," << k.secondY << " thresholds given " << k.threshold.size();
    }
}

TEST_F(Classes, MergeMultipliersOutsideTheirRangeTakeItsNearerEnd) {
    // White merged onto opaque black: each channel is the share of the source its
    // multiplier takes, 255 * k / 256.
    struct Case {
        Value multiplier;
        double channel;
    };
    const Case cases[] = {
        {Value(128), 127},        {Value(0), 0},
        {Value(256), 255},        {Value(-5), 0},
        {Value(300), 255},        {Value(1000), 255},
        {Value(64.9), 63},        {Value(-0.5), 0},
        {Value(std::nan("")), 0}, {Value(4294967296.0 + 64), 63},
        {Value(Str("200")), 199}, {Value(), 0},
    };
    for (const Case& k : cases) {
        Value source = bitmap(1, 1, false, 16777215.0);
        Value dest = bitmap(1, 1, false, 0);
        call(dest, "merge",
             {source, rect(0, 0, 1, 1), point(0, 0), k.multiplier, Value(256), k.multiplier,
              Value(256)});
        const double rgb = number(call(dest, "getPixel", {Value(0), Value(0)}));
        EXPECT_EQ(rgb, k.channel * 65536 + 0xFF00 + k.channel) << text(k.multiplier);
    }
}

TEST_F(Classes, RectangleEdgesMoveOneSideAndKeepTheOther) {
    Value r = rect(1, 3, 5, 7);
    vm.set(r.asObject(), "top", Value(0));
    EXPECT_EQ(text(r), "(x=1, y=0, w=5, h=10)");
    vm.set(r.asObject(), "right", Value(10));
    EXPECT_EQ(number(vm.get(r.asObject(), "width")), 9);
    vm.set(r.asObject(), "topLeft", point(4, 5));
    EXPECT_EQ(text(r), "(x=4, y=5, w=6, h=5)");
    EXPECT_EQ(text(vm.get(r.asObject(), "bottomRight")), "(x=10, y=10)");
    // a missing height leaves the bottom unknown rather than zero
    Value partial = make("flash.geom.Rectangle", {Value(1), Value(2), Value(3)});
    EXPECT_TRUE(std::isnan(number(vm.get(partial.asObject(), "bottom"))));
    EXPECT_TRUE(vm.get(partial.asObject(), "height").isUndefined());
}

TEST_F(Classes, RectangleTestsGiveUndefinedForUnknownCoordinates) {
    Value r = rect(1, 3, 5, 7);
    EXPECT_TRUE(call(r, "contains", {Value(1), Value(3)}).asBool());
    EXPECT_FALSE(call(r, "contains", {Value(6), Value(10)}).asBool());
    EXPECT_TRUE(call(r, "contains", {Value(4), Value(std::nan(""))}).isUndefined());
    EXPECT_FALSE(call(r, "contains", {Value(1), Value(2)}).asBool());
    EXPECT_EQ(text(call(r, "intersection", {rect(3, 5, 7, 9)})), "(x=3, y=5, w=3, h=5)");
    EXPECT_EQ(text(call(r, "intersection", {rect(30, 50, 1, 1)})), "(x=0, y=0, w=0, h=0)");
    EXPECT_FALSE(call(r, "intersects", {Value(vm.newObject())}).asBool());
    EXPECT_EQ(text(call(r, "union", {rect(-1, -3, 5, 7)})), "(x=-1, y=-3, w=7, h=13)");
    EXPECT_TRUE(call(rect(1, 2, std::nan(""), 4), "isEmpty").asBool());
    EXPECT_FALSE(call(r, "equals", {Value(vm.newObject())}).asBool());
    EXPECT_TRUE(call(r, "equals", {call(r, "clone")}).asBool());
}

TEST_F(Classes, PointArithmetic) {
    Value p = point(3, 4);
    EXPECT_EQ(number(vm.get(p.asObject(), "length")), 5);
    EXPECT_EQ(text(call(p, "add", {point(1, 1)})), "(x=4, y=5)");
    Object* ctor =
        vm.get(vm.get(vm.get(vm.global(), "flash").asObject(), "geom").asObject(), "Point")
            .asObject();
    EXPECT_EQ(number(vm.callMethod(ctor, "distance", std::vector<Value>{p, point(0, 0)})), 5);
    EXPECT_EQ(text(vm.callMethod(ctor, "interpolate",
                                 std::vector<Value>{point(10, 10), point(0, 0), Value(0.25)})),
              "(x=2.5, y=2.5)");
    call(p, "normalize", {Value(10)});
    EXPECT_EQ(text(p), "(x=6, y=8)");
    EXPECT_EQ(text(make("flash.geom.Point", {})), "(x=0, y=0)");
}

TEST_F(Classes, MatrixOperationsComposeInOrder) {
    Value mx = make("flash.geom.Matrix", {});
    EXPECT_EQ(text(mx), "(a=1, b=0, c=0, d=1, tx=0, ty=0)");
    call(mx, "scale", {Value(2), Value(3)});
    call(mx, "translate", {Value(10), Value(20)});
    EXPECT_EQ(text(call(mx, "transformPoint", {point(1, 1)})), "(x=12, y=23)");
    EXPECT_EQ(text(call(mx, "deltaTransformPoint", {point(1, 1)})), "(x=2, y=3)");
    Value inverse = call(mx, "clone");
    call(inverse, "invert");
    EXPECT_EQ(text(call(inverse, "transformPoint", {point(12, 23)})), "(x=1, y=1)");
    call(mx, "concat", {inverse});
    EXPECT_EQ(text(mx), "(a=1, b=0, c=0, d=1, tx=0, ty=0)");
    call(mx, "createGradientBox", {Value(1638.4), Value(819.2), Value(0), Value(5), Value(6)});
    EXPECT_EQ(text(mx), "(a=1, b=0, c=0, d=0.5, tx=824.2, ty=415.6)");
}

TEST_F(Classes, ColorTransformRgbAndConcat) {
    Value ct = make("flash.geom.ColorTransform", {Value(0.5), Value(1), Value(1), Value(1),
                                                  Value(10), Value(0), Value(0), Value(0)});
    Value second = make("flash.geom.ColorTransform", {});
    vm.set(second.asObject(), "redOffset", Value(100));
    call(ct, "concat", {second});
    EXPECT_EQ(number(vm.get(ct.asObject(), "redOffset")), 60); // 10 + 0.5 * 100
    vm.set(ct.asObject(), "rgb", Value(0x123456));
    EXPECT_EQ(number(vm.get(ct.asObject(), "rgb")), 0x123456);
    EXPECT_EQ(number(vm.get(ct.asObject(), "redMultiplier")), 0);
    EXPECT_EQ(text(make("flash.geom.ColorTransform", {})),
              "(redMultiplier=1, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, "
              "redOffset=0, greenOffset=0, blueOffset=0, alphaOffset=0)");
}

TEST_F(Classes, FiltersKeepTheirFieldsInRangeAndCloneApart) {
    Value glow = make("flash.filters.GlowFilter", {});
    EXPECT_EQ(number(vm.get(glow.asObject(), "color")), 0xFF0000);
    EXPECT_EQ(number(vm.get(glow.asObject(), "blurX")), 6);
    vm.set(glow.asObject(), "blurX", Value(1000));
    vm.set(glow.asObject(), "alpha", Value(-2));
    vm.set(glow.asObject(), "quality", Value(3.7));
    vm.set(glow.asObject(), "color", Value(-1));
    EXPECT_EQ(number(vm.get(glow.asObject(), "blurX")), 255);
    EXPECT_EQ(number(vm.get(glow.asObject(), "alpha")), 0);
    EXPECT_EQ(number(vm.get(glow.asObject(), "quality")), 3);
    EXPECT_EQ(number(vm.get(glow.asObject(), "color")), 0xFFFFFF);

    Value copy = call(glow, "clone");
    vm.set(copy.asObject(), "blurX", Value(2));
    EXPECT_EQ(number(vm.get(glow.asObject(), "blurX")), 255);
    EXPECT_EQ(number(vm.get(copy.asObject(), "blurX")), 2);
    EXPECT_EQ(number(vm.get(copy.asObject(), "quality")), 3);

    Value bevel = make("flash.filters.BevelFilter", {});
    vm.set(bevel.asObject(), "type", Value(Str("sideways")));
    EXPECT_EQ(text(vm.get(bevel.asObject(), "type")), "full"); // unknown types draw both sides
    vm.set(bevel.asObject(), "type", Value(Str("inner")));
    EXPECT_EQ(text(vm.get(bevel.asObject(), "type")), "inner");
    vm.set(bevel.asObject(), "type", Value(Str("full")));
    EXPECT_EQ(text(vm.get(bevel.asObject(), "type")), "full");

    // arrays read back as fresh copies
    Value matrix = make("flash.filters.ColorMatrixFilter", {});
    Value m1 = vm.get(matrix.asObject(), "matrix");
    EXPECT_NE(m1.asObject(), vm.get(matrix.asObject(), "matrix").asObject());
    EXPECT_EQ(number(vm.get(m1.asObject(), "length")), 20);
    EXPECT_EQ(number(vm.get(m1.asObject(), "18")), 1);
}

TEST_F(Classes, AFilterConstructorBindsItsFieldsOnce) {
    Object* plain = vm.newObject();
    Object* blur =
        vm.get(vm.get(vm.get(vm.global(), "flash").asObject(), "filters").asObject(), "BlurFilter")
            .asObject();
    plain->setProto(vm.get(blur, "prototype").asObject());
    EXPECT_TRUE(vm.get(plain, "blurX").isUndefined()); // not a filter yet
    std::vector<Value> first = {Value(10), Value(20), Value(4)};
    vm.call(Value(blur), Value(plain), first);
    EXPECT_EQ(number(vm.get(plain, "blurY")), 20);
    std::vector<Value> second = {Value(1), Value(1), Value(1)};
    vm.call(Value(blur), Value(plain), second);
    EXPECT_EQ(number(vm.get(plain, "blurY")), 20);
    // a glow's accessors do not read a blur's fields
    Object* glow =
        vm.get(vm.get(vm.get(vm.global(), "flash").asObject(), "filters").asObject(), "GlowFilter")
            .asObject();
    Value strength = vm.get(vm.get(glow, "prototype").asObject(), "strength");
    EXPECT_TRUE(strength.isUndefined());
}

TEST_F(Classes, BitmapMethodsAnswerMinusOneWhenDisposedOrShortOfArguments) {
    Value b = bitmap(2, 2, true, 0xFFFFFFFF);
    EXPECT_EQ(number(call(b, "getPixel", {Value(0)})), -1);
    call(b, "setPixel32", {Value(0), Value(0)});
    EXPECT_EQ(number(call(b, "getPixel32", {Value(0), Value(0)})), -1); // unchanged white
    Value plain = make("Object", {});
    call(b, "colorTransform", {call(b, "clone"), plain});
    EXPECT_EQ(number(call(b, "getPixel32", {Value(0), Value(0)})), -1);
    Value ct = make("flash.geom.ColorTransform", {Value(0), Value(0), Value(0), Value(1),
                                                  Value(255), Value(0), Value(0), Value(0)});
    call(b, "colorTransform", {vm.get(b.asObject(), "rectangle"), ct});
    EXPECT_EQ(number(call(b, "getPixel", {Value(1), Value(1)})), 0xFF0000);
    call(b, "dispose");
    EXPECT_EQ(number(call(b, "getPixel", {Value(0), Value(0)})), -1);
    EXPECT_EQ(number(call(b, "dispose")), -1);
    EXPECT_EQ(number(call(b, "clone")), -1);
}

TEST_F(Classes, FileDialogsAreCancelledAfterTheScript) {
    Value file = make("flash.net.FileReference", {});
    Object* listener = vm.newObject();
    vm.set(listener, "onCancel", Value(vm.newFunction([](avm1::CallArgs& c) {
               c.machine.host().trace("cancelled");
               return Value();
           })));
    call(file, "addListener", {Value(listener)});
    Object* badFilter = vm.newObject();
    vm.set(badFilter, "description", Value(Str("")));
    vm.set(badFilter, "extension", Value(Str("*.txt")));
    Value filters(vm.newArray(std::vector<Value>{Value(badFilter)}));
    EXPECT_FALSE(call(file, "browse", {filters}).asBool());
    EXPECT_FALSE(call(file, "browse", {Value()}).asBool());
    EXPECT_FALSE(call(file, "download", {Value(Str("baddomain"))}).asBool());
    EXPECT_TRUE(call(file, "download", {Value(Str("http://example.com/a.txt"))}).asBool());
    EXPECT_TRUE(stage.lines.empty()); // not while the script runs
    vm.tickTimers(stage.clock);
    EXPECT_EQ(stage.lines, std::vector<std::string>{"cancelled"});
}

TEST_F(Classes, NetConnectionReportsLocalConnectionsOnly) {
    Value connection = make("NetConnection", {});
    Object* self = connection.asObject();
    vm.set(self, "onStatus", Value(vm.newFunction([](avm1::CallArgs& c) {
               Object* e = c.arg(0).asObject();
               c.machine.host().trace(e ? c.machine.toString(c.machine.get(e, "code")).str()
                                        : "none");
               return Value();
           })));
    call(connection, "close"); // nothing open
    call(connection, "connect", {Value::null()});
    call(connection, "connect", {Value(Str("rtmp://example.org"))});
    call(connection, "close");
    EXPECT_EQ(stage.lines, (std::vector<std::string>{"NetConnection.Connect.Success",
                                                     "NetConnection.Connect.Closed",
                                                     "NetConnection.Connect.Closed", "none"}));
}

TEST_F(Classes, ContextMenuItemsTakeFlashsDefaultsAndCopyThemselves) {
    Value item = make("ContextMenuItem", {Value(Str("Replay"))});
    ASSERT_TRUE(item.isObject());
    Object* o = item.asObject();
    EXPECT_EQ(text(vm.get(o, "caption")), "Replay");
    EXPECT_FALSE(vm.toBoolean(vm.get(o, "separatorBefore")));
    EXPECT_TRUE(vm.toBoolean(vm.get(o, "enabled")));
    EXPECT_TRUE(vm.toBoolean(vm.get(o, "visible")));
    Value hidden = make("ContextMenuItem",
                        {Value(Str("Hidden")), Value(), Value(true), Value(false), Value(0.0)});
    EXPECT_TRUE(vm.toBoolean(vm.get(hidden.asObject(), "separatorBefore")));
    EXPECT_FALSE(vm.toBoolean(vm.get(hidden.asObject(), "enabled")));
    EXPECT_FALSE(vm.toBoolean(vm.get(hidden.asObject(), "visible")));
    vm.set(o, "enabled", Value(false));
    Object* copy = call(item, "copy").asObject();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, o);
    EXPECT_EQ(text(vm.get(copy, "caption")), "Replay");
    EXPECT_FALSE(vm.toBoolean(vm.get(copy, "enabled"))); // the copy is of the item as it is now
    EXPECT_EQ(copy->proto(), o->proto());
}

std::string enumerated(avm1::Machine& vm, Object* o) {
    std::string out;
    for (const Str& name : vm.enumerate(o)) {
        out += name.str() + ",";
    }
    return out;
}

TEST_F(Classes, ContextMenuItemFlagsAreKeptAsGivenAndNullTakesTheDefault) {
    Object* bare = vm.make<Object>(nullptr); // equals null
    const struct {
        Value given;
        const char* separatorBefore = nullptr; // as text, with its type
        const char* enabled = nullptr;
    } table[] = {
        {Value(), "boolean false", "boolean true"},
        {Value::null(), "boolean false", "boolean true"},
        {Value(bare), "boolean false", "boolean true"},
        {Value(0.0), "number 0", "number 0"},
        {Value(1), "number 1", "number 1"},
        {Value(Str("")), "string ", "string "},
        {Value(Str("x")), "string x", "string x"},
        {Value(false), "boolean false", "boolean false"},
    };
    auto typed = [this](const Value& v) {
        return std::string(v.isBool()     ? "boolean "
                           : v.isNumber() ? "number "
                                          : "string ") +
               text(v);
    };
    for (const auto& row : table) {
        Value item = make("ContextMenuItem", {Value(1), Value(2), row.given, row.given, row.given});
        ASSERT_TRUE(item.isObject());
        Object* o = item.asObject();
        EXPECT_EQ(typed(vm.get(o, "separatorBefore")), row.separatorBefore);
        EXPECT_EQ(typed(vm.get(o, "enabled")), row.enabled);
        EXPECT_EQ(typed(vm.get(o, "visible")), row.enabled);
        // The caption and the callback are not converted either.
        EXPECT_TRUE(vm.get(o, "caption").isNumber());
        EXPECT_TRUE(vm.get(o, "onSelect").isNumber());
        // The copy takes the members as they are.
        Object* copy = call(item, "copy").asObject();
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(typed(vm.get(copy, "enabled")), row.enabled);
    }
}

TEST_F(Classes, ContextMenuMembersEnumerateInFlashOrderAndCopiesAreMadeByTheGlobalClass) {
    Value item = make("ContextMenuItem", {Value(Str("a"))});
    EXPECT_EQ(enumerated(vm, item.asObject()), "visible,enabled,separatorBefore,onSelect,caption,");
    Value menu = make("ContextMenu", {});
    EXPECT_EQ(enumerated(vm, menu.asObject()), "customItems,builtInItems,onSelect,");
    // Lent to a plain object, copy still makes a ContextMenuItem.
    Object* proto =
        vm.get(vm.get(vm.global(), "ContextMenuItem").asObject(), "prototype").asObject();
    Object* lender = vm.newObject();
    vm.set(lender, "copy", vm.get(proto, "copy"));
    vm.set(lender, "caption", Value(Str("lent")));
    Object* copy = call(Value(lender), "copy").asObject();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->proto(), proto);
    EXPECT_EQ(text(vm.get(copy, "caption")), "lent");
    EXPECT_TRUE(vm.get(copy, "enabled").isUndefined());
}

TEST_F(Classes, ContextMenuHidesThePlayersEntriesAndCopiesItsItems) {
    Object* callback = vm.newFunction([](avm1::CallArgs&) { return Value(); });
    Value menu = make("ContextMenu", {Value(callback)});
    ASSERT_TRUE(menu.isObject());
    Object* m = menu.asObject();
    EXPECT_EQ(vm.get(m, "onSelect").asObject(), callback);
    Object* builtIn = vm.get(m, "builtInItems").asObject();
    ASSERT_NE(builtIn, nullptr);
    const char* entries[] = {"forward_back", "loop",   "play", "print",
                             "quality",      "rewind", "save", "zoom"};
    for (const char* entry : entries) {
        EXPECT_TRUE(vm.toBoolean(vm.get(builtIn, entry))) << entry;
    }
    Object* items = vm.get(m, "customItems").asObject();
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(number(vm.get(items, "length")), 0);
    Value item = make("ContextMenuItem", {Value(Str("About this card"))});
    call(Value(items), "push", {item});

    call(menu, "hideBuiltInItems"); // a new flags object
    builtIn = vm.get(m, "builtInItems").asObject();
    ASSERT_NE(builtIn, nullptr);
    for (const char* entry : entries) {
        EXPECT_FALSE(vm.toBoolean(vm.get(builtIn, entry))) << entry;
    }
    vm.set(builtIn, "extra", Value(Str("kept")));
    Object* copy = call(menu, "copy").asObject();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(vm.get(copy, "onSelect").asObject(), callback);
    // The flags object is shared: what changes later shows in both menus.
    EXPECT_EQ(vm.get(copy, "builtInItems").asObject(), builtIn);
    Object* copiedItems = vm.get(copy, "customItems").asObject();
    ASSERT_NE(copiedItems, items);
    ASSERT_EQ(number(vm.get(copiedItems, "length")), 1);
    Object* copiedItem = vm.get(copiedItems, "0").asObject();
    ASSERT_NE(copiedItem, nullptr);
    EXPECT_NE(copiedItem, item.asObject()); // each item is copied, not shared
    EXPECT_EQ(text(vm.get(copiedItem, "caption")), "About this card");

    // Lent to a plain object, the methods give it flags and copy it into a real menu;
    // flags that are no object are copied as they are.
    Object* proto = vm.get(vm.get(vm.global(), "ContextMenu").asObject(), "prototype").asObject();
    Object* lender = vm.newObject();
    vm.set(lender, "hide", vm.get(proto, "hideBuiltInItems"));
    vm.set(lender, "copy", vm.get(proto, "copy"));
    call(Value(lender), "hide");
    Object* lentFlags = vm.get(lender, "builtInItems").asObject();
    ASSERT_NE(lentFlags, nullptr);
    EXPECT_FALSE(vm.toBoolean(vm.get(lentFlags, "save")));
    vm.set(lender, "builtInItems", Value(6));
    Object* real = call(Value(lender), "copy").asObject();
    ASSERT_NE(real, nullptr);
    EXPECT_EQ(real->proto(), proto);
    EXPECT_EQ(number(vm.get(real, "builtInItems")), 6);
    // An item that cannot copy itself leaves a hole in the copy's list.
    const Value plainItems[] = {Value(Str("no item"))};
    vm.set(lender, "customItems", Value(vm.newArray(plainItems)));
    Object* holed = vm.get(call(Value(lender), "copy").asObject(), "customItems").asObject();
    ASSERT_NE(holed, nullptr);
    EXPECT_EQ(number(vm.get(holed, "length")), 1);
    EXPECT_TRUE(vm.get(holed, "0").isUndefined());
}

TEST_F(Classes, ExternalInterfaceIsUnavailableAndQuotesForScripts) {
    Object* ei = make("flash.external.ExternalInterface", {}).asObject();
    ASSERT_NE(ei, nullptr);
    Object* ctor = vm.get(vm.get(vm.get(vm.global(), "flash").asObject(), "external").asObject(),
                          "ExternalInterface")
                       .asObject();
    EXPECT_FALSE(vm.toBoolean(vm.get(ctor, "available")));
    auto quote = [&](std::vector<Value> args) {
        return vm.callMethod(ctor, "_jsQuoteString", args);
    };
    EXPECT_TRUE(quote({}).isNull());
    EXPECT_TRUE(quote({Value(Str(""))}).isNull());
    EXPECT_EQ(text(quote({Value(Str("a\\\"b"))})), "a\\\\\"b");
}

} // namespace
} // namespace avm1test

namespace avm1test {
namespace {

TEST(FormEncoding, DecodesPairsAndSkipsNamelessPieces) {
    auto pairs = avm1::decodeForm("a=1&&=x&b=two+words%21&c&d=%E7%89%87&e=%zz%4");
    ASSERT_EQ(pairs.size(), 5u);
    EXPECT_EQ(pairs[0], (avm1::FormPair{"a", "1"}));
    EXPECT_EQ(pairs[1], (avm1::FormPair{"b", "two words!"}));
    EXPECT_EQ(pairs[2], (avm1::FormPair{"c", ""}));
    EXPECT_EQ(pairs[3].second, "\xE7\x89\x87");                 // UTF-8 stays UTF-8
    EXPECT_EQ(pairs[4].second, "%zz%4");                        // broken escapes stay as written
    EXPECT_EQ(avm1::decodeForm("n=%E9")[0].second, "\xC3\xA9"); // not UTF-8: Latin-1
}

TEST(FormEncoding, EncodesEverythingButLettersAndDigits) {
    EXPECT_EQ(avm1::encodeForm({{"a b", "x&y=z"}, {"n", ""}}), "a%20b=x%26y%3Dz&n=");
    auto round = avm1::decodeForm(avm1::encodeForm({{"k", "\xE7\x89\x87 +%"}}));
    EXPECT_EQ(round[0].second, "\xE7\x89\x87 +%");
}

TEST_F(Classes, GeneratorsReadScriptArgumentsAndRefuseBadOnes) {
    Value b = bitmap(2, 2, false, 0);
    EXPECT_EQ(number(call(b, "noise")), -1); // the seed is required
    EXPECT_EQ(number(call(b, "getPixel32", {Value(0), Value(0)})),
              static_cast<double>(static_cast<std::int32_t>(0xFF000000u)));
    call(b, "noise", {Value(1)});
    EXPECT_EQ(number(call(b, "getPixel", {Value(1), Value(0)})), 0x2A82C8);
    call(b, "noise", {Value(1), Value(0), Value(255), Value(1), Value(true)});
    EXPECT_EQ(number(call(b, "getPixel", {Value(1), Value(0)})), 0xF1F1F1);

    Value d = bitmap(10, 10, false, 0);
    EXPECT_EQ(number(call(d, "pixelDissolve", {Value(), rect(0, 0, 10, 10), point(0, 0)})), -1);
    EXPECT_EQ(number(call(d, "pixelDissolve", {d, Value(), point(0, 0)})), -4);
    Value next = call(d, "pixelDissolve",
                      {d, rect(0, 0, 10, 10), point(0, 0), Value(0), Value(5), Value(255)});
    EXPECT_GE(number(next), 0);
    EXPECT_LT(number(next), 100);
    Value gone = bitmap(2, 2);
    call(gone, "dispose");
    for (const char* method :
         {"noise", "perlinNoise", "pixelDissolve", "draw", "applyFilter", "generateFilterRect"}) {
        EXPECT_EQ(number(call(gone, method, {Value(1)})), -1) << method;
    }
}

TEST_F(Classes10, PerlinNoiseBoundsHostileArguments) {
    // Octaves without end and sizes that are not numbers finish, painting a flat picture.
    Value b = bitmap(100, 100, true, 0);
    call(b, "perlinNoise",
         {Value(std::nan("")), Value(1e308), Value(1e12), Value(-5), Value(false), Value(true),
          Value(15), Value(false), Value()});
    const double corner = number(call(b, "getPixel32", {Value(0), Value(0)}));
    EXPECT_EQ(number(call(b, "getPixel32", {Value(99), Value(99)})), corner);
    Value filter = make("flash.filters.BlurFilter", {Value(4), Value(4), Value(1)});
    // Without a renderer behind it the rectangle comes back as it was asked.
    Value r = call(b, "generateFilterRect", {rect(1, 2, 3, 4), filter});
    EXPECT_EQ(text(r), "(x=1, y=2, w=3, h=4)");
}

} // namespace
} // namespace avm1test
