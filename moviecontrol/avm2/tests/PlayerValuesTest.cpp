// The player's value classes: filters with their defaults and copies, the system classes'
// constants and refusals, and the net values' checks and query strings.

#include "PlayerClassTest.h"

namespace {

using avm2::Args;
using avm2::Value;

class PlayerValues : public avm2test::PlayerClassTest {};

TEST_F(PlayerValues, FiltersTakeTheirDefaultsInConstructorOrder) {
    struct Default {
        const char* cls;
        Args args;
        const char* property;
        const char* expected;
    };
    const std::vector<Default> table = {
        {"BlurFilter", {}, "blurX", "4"},
        {"BlurFilter", numbers({10, 12, 3}), "quality", "3"},
        {"GlowFilter", {}, "color", "16711680"},
        {"GlowFilter", {}, "strength", "2"},
        {"DropShadowFilter", {}, "angle", "45"},
        {"DropShadowFilter", numbers({7}), "distance", "7"},
        {"BevelFilter", {}, "type", "inner"},
        {"ColorMatrixFilter", {}, "matrix", "1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0"},
        {"ColorMatrixFilter",
         {Value::object(vm.newArray())},
         "matrix",
         "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0"},
        {"ConvolutionFilter", {}, "preserveAlpha", "true"},
        {"DisplacementMapFilter", {}, "mode", "wrap"},
        {"GradientGlowFilter", {}, "colors", "null"},
    };
    for (const Default& d : table) {
        Value f = make(std::string("flash.filters::") + d.cls, d.args);
        EXPECT_EQ(get(f, d.property), d.expected) << d.cls << "." << d.property;
        // A clone is another object with the same values.
        Value copy = call(f, "clone");
        EXPECT_FALSE(vm.strictEquals(copy, f));
        EXPECT_EQ(get(copy, d.property), d.expected) << d.cls << " clone";
    }
}

TEST_F(PlayerValues, FilterArraysAreCopiedInAndOut) {
    Value source = Value::object(vm.newArray({Value::integer(2)}));
    Value f =
        make("flash.filters::ConvolutionFilter", {Value::number(1), Value::number(1), source});
    source.asObject()->elements[0] = Value::integer(9);
    Value read = vm.getProperty(f, avm2::Name::publicName("matrix"));
    read.asObject()->elements[0] = Value::integer(5);
    EXPECT_EQ(get(f, "matrix"), "2");
}

TEST_F(PlayerValues, FilterFieldsCoerceToTheirDeclaredClasses) {
    Value arrayLike = make("Object");
    set(arrayLike, "length", Value::integer(1));
    const std::vector<Value> notArrays = {Value::integer(3), Value::string("1,2"), arrayLike};
    for (const Value& v : notArrays) {
        for (const char* field : {"colors", "alphas", "ratios"}) {
            Value f = make("flash.filters::GradientBevelFilter");
            EXPECT_EQ(thrown([&] { set(f, field, v); }), "TypeError #1034") << field;
        }
        EXPECT_EQ(thrown([&] { set(make("flash.filters::ColorMatrixFilter"), "matrix", v); }),
                  "TypeError #1034");
        EXPECT_EQ(thrown([&] { set(make("flash.display::Sprite"), "filters", v); }),
                  "TypeError #1034");
    }
    Value map = make("flash.filters::DisplacementMapFilter");
    EXPECT_EQ(thrown([&] { set(map, "mapPoint", Value::integer(1)); }), "TypeError #1034");
    EXPECT_EQ(thrown([&] { set(map, "mapBitmap", make("flash.geom::Point")); }), "TypeError #1034");
    set(map, "mapBitmap", Value());
    EXPECT_EQ(get(map, "mapBitmap"), "null"); // undefined stored as a class type is null
    set(map, "mapPoint", make("flash.geom::Point", numbers({3, 4})));
    EXPECT_EQ(get(map, "mapPoint"), "(x=3, y=4)");
}

TEST_F(PlayerValues, TypedPropertiesCoerceWhatTheyAreGiven) {
    struct Case {
        const char* cls;
        const char* property;
        Value given;
        const char* error; // "" when the store succeeds
        const char* readBack;
    };
    const Value arrayOfOne = Value::object(vm.newArray({Value::integer(4)}));
    const std::vector<Case> table = {
        {"flash.display::Sprite", "hitArea", make("flash.display::Shape"), "TypeError #1034", ""},
        {"flash.display::Sprite", "hitArea", Value(), "", "null"},
        {"flash.display::Sprite", "hitArea", make("flash.display::MovieClip"), "",
         "[object MovieClip]"},
        {"flash.display::Shape", "accessibilityProperties", Value::integer(1), "TypeError #1034",
         ""},
        {"flash.display::Shape", "accessibilityProperties",
         make("flash.accessibility::AccessibilityProperties"), "",
         "[object AccessibilityProperties]"},
        {"flash.display::Shape", "transform", Value::null(), "TypeError #2007", ""},
        {"flash.text::TextFormat", "tabStops", Value::string("4"), "TypeError #1034", ""},
        {"flash.text::TextFormat", "tabStops", arrayOfOne, "", "4"},
        {"flash.net::URLRequest", "requestHeaders", Value::integer(2), "TypeError #1034", ""},
        {"flash.net::URLRequest", "requestHeaders", Value::null(), "", "null"},
    };
    for (const Case& c : table) {
        Value o = make(c.cls);
        EXPECT_EQ(thrown([&] { set(o, c.property, c.given); }), c.error) << c.property;
        if (*c.error == '\0') {
            EXPECT_EQ(get(o, c.property), c.readBack) << c.property;
        }
    }
    EXPECT_EQ(get(make("flash.net::URLRequest"), "requestHeaders"), ""); // an empty list at first
}

TEST_F(PlayerValues, NamedSettingsRefuseNoNameAndTreatUnknownNamesByTheirRule) {
    struct Case {
        const char* cls;
        const char* property;
        Value given;
        const char* error;
        const char* readBack;
    };
    const std::vector<Case> table = {
        // A field's settings live with its text on the stage: only the refusal shows here.
        {"flash.text::TextField", "antiAliasType", Value::null(), "TypeError #2007", nullptr},
        {"flash.text::TextField", "antiAliasType", Value::string("bogus"), "", nullptr},
        {"flash.text::TextField", "gridFitType", Value(), "TypeError #2007", nullptr},
        {"flash.text::TextField", "gridFitType", Value::string("bogus"), "", nullptr},
        {"flash.utils::ByteArray", "endian", Value::null(), "TypeError #2007", "bigEndian"},
        {"flash.utils::ByteArray", "endian", Value::string("BigEndian"), "ArgumentError #2008",
         "bigEndian"},
        {"flash.utils::ByteArray", "endian", Value::string("littleEndian"), "", "littleEndian"},
    };
    for (const Case& c : table) {
        Value o = make(c.cls);
        EXPECT_EQ(thrown([&] { set(o, c.property, c.given); }), c.error) << c.property;
        if (c.readBack != nullptr) {
            EXPECT_EQ(get(o, c.property), c.readBack) << c.property;
        }
    }
}

TEST_F(PlayerValues, DisplayObjectsTakeOnlyFilters) {
    Value sprite = make("flash.display::Sprite");
    Value blur = make("flash.filters::BlurFilter");
    set(sprite, "filters", Value::object(vm.newArray({blur})));
    EXPECT_EQ(get(sprite, "filters"), "[object BlurFilter]");
    EXPECT_FALSE(vm.strictEquals(vm.getProperty(sprite, avm2::Name::publicName("filters")),
                                 vm.getProperty(sprite, avm2::Name::publicName("filters"))));
    EXPECT_EQ(thrown([&] {
                  set(sprite, "filters", Value::object(vm.newArray({blur, Value::integer(1)})));
              }),
              "ArgumentError #2005");
    set(sprite, "filters", Value::null());
    EXPECT_EQ(get(sprite, "filters"), ""); // null empties them
}

TEST_F(PlayerValues, SystemClassesAnswerAndRefuse) {
    EXPECT_EQ(get(classNamed("flash.ui::Keyboard"), "LEFT"), "37");
    EXPECT_EQ(get(classNamed("flash.ui::Keyboard"), "F1"), "112");
    EXPECT_EQ(get(classNamed("flash.ui::Keyboard"), "NUMPAD_0"), "96");
    EXPECT_EQ(get(classNamed("flash.ui::Keyboard"), "Q"), "81");
    EXPECT_EQ(get(classNamed("flash.external::ExternalInterface"), "available"), "false");
    EXPECT_EQ(thrown([&] { call(classNamed("flash.external::ExternalInterface"), "call"); }),
              "Error #2067");
    EXPECT_EQ(thrown([&] { make("flash.system::System"); }), "ArgumentError #2012");
    Value mouse = classNamed("flash.ui::Mouse");
    set(mouse, "cursor", Value::string("hand"));
    EXPECT_EQ(get(mouse, "cursor"), "hand");
    EXPECT_EQ(thrown([&] { set(mouse, "cursor", Value::string("pointer")); }),
              "ArgumentError #2008");
    Value domain = vm.getProperty(classNamed("flash.system::ApplicationDomain"),
                                  avm2::Name::publicName("currentDomain"));
    EXPECT_EQ(text(call(domain, "hasDefinition", {Value::string("flash.geom.Point")})), "true");
    EXPECT_EQ(text(call(domain, "hasDefinition", {Value::string("no.such.Thing")})), "false");
    EXPECT_TRUE(vm.strictEquals(call(domain, "getDefinition", {Value::string("flash.geom::Point")}),
                                classNamed("flash.geom::Point")));
}

TEST_F(PlayerValues, RequestMethodsAndQueryStrings) {
    Value request = make("flash.net::URLRequest", {Value::string("a.txt")});
    EXPECT_EQ(get(request, "url"), "a.txt");
    EXPECT_EQ(get(request, "method"), "GET");
    for (const char* method : {"GET", "get", "POST", "post"}) {
        EXPECT_EQ(thrown([&] { set(request, "method", Value::string(method)); }), "") << method;
    }
    for (const char* method : {"Get", "PUT", "delete", ""}) {
        EXPECT_EQ(thrown([&] { set(request, "method", Value::string(method)); }),
                  "ArgumentError #2008")
            << method;
    }

    struct Query {
        const char* source;
        const char* property;
        const char* value;
        const char* printed;
    };
    const std::vector<Query> table = {
        {"a=1&b=two", "b", "two", "a=1&b=two"},
        {"name=J%C3%BCrgen%20K", "name", "J\xC3\xBCrgen K", "name=J%C3%BCrgen%20K"},
        {"x=1&x=2&x=3", "x", "1,2,3", "x=1&x=2&x=3"},
        {"empty=", "empty", "", "empty="},
        {"bad=%FC%", "bad", "\xC3\xBC%", "bad=%C3%BC%25"},
    };
    for (const Query& q : table) {
        Value vars = make("flash.net::URLVariables", {Value::string(q.source)});
        EXPECT_EQ(get(vars, q.property), q.value) << q.source;
        EXPECT_EQ(text(vars), q.printed) << q.source;
    }
    EXPECT_EQ(thrown([&] { make("flash.net::URLVariables", {Value::string("novalue")}); }),
              "Error #2101");
}

TEST_F(PlayerValues, SharedObjectsAreOnePerNameAndPath) {
    Value cls = classNamed("flash.net::SharedObject");
    Value a = call(cls, "getLocal", {Value::string("game")});
    set(vm.getProperty(a, avm2::Name::publicName("data")), "score", Value::integer(7));
    EXPECT_TRUE(vm.strictEquals(call(cls, "getLocal", {Value::string("game")}), a));
    EXPECT_FALSE(
        vm.strictEquals(call(cls, "getLocal", {Value::string("game"), Value::string("/")}), a));
    EXPECT_EQ(get(vm.getProperty(a, avm2::Name::publicName("data")), "score"), "7");
    EXPECT_EQ(text(call(a, "flush")), "flushed");
    call(a, "clear");
    EXPECT_EQ(get(vm.getProperty(a, avm2::Name::publicName("data")), "score"), "undefined");
    for (const char* bad : {"", "a b", "x~y", "50%"}) {
        EXPECT_EQ(thrown([&] { call(cls, "getLocal", {Value::string(bad)}); }), "Error #2134")
            << bad;
    }
}

} // namespace

namespace {

class PlayerArity : public avm2test::PlayerClassTest {};

TEST_F(PlayerArity, GraphicsMethodsTakeTheirDeclaredArgumentCounts) {
    avm2::Value shape = make("flash.display::Shape");
    avm2::Value g = vm.getProperty(shape, avm2::Name::publicName("graphics"));
    struct Case {
        const char* method;
        std::size_t given;
        bool refused;
    };
    const std::vector<Case> table = {
        {"drawRect", 3, true},      {"drawRect", 4, false},      {"drawRect", 5, true},
        {"drawRoundRect", 4, true}, {"drawRoundRect", 6, false}, {"lineStyle", 0, false},
        {"lineStyle", 9, true},     {"beginFill", 0, true},      {"endFill", 1, true},
    };
    for (const Case& c : table) {
        avm2::Args args(c.given, avm2::Value::integer(1));
        // Called on the object, and through the method read from it.
        EXPECT_EQ(thrown([&] { call(g, c.method, args); }), c.refused ? "ArgumentError #1063" : "")
            << c.method << " with " << c.given;
        avm2::Value bound = vm.getProperty(g, avm2::Name::publicName(c.method));
        EXPECT_EQ(thrown([&] { vm.call(bound, avm2::Value::null(), args); }),
                  c.refused ? "ArgumentError #1063" : "")
            << c.method << " read, with " << c.given;
    }
    // The gradient lists are declared Arrays.
    const avm2::Value list = avm2::Value::object(vm.newArray({avm2::Value::integer(0)}));
    EXPECT_EQ(thrown([&] {
                  call(g, "beginGradientFill",
                       {avm2::Value::string("linear"), avm2::Value::integer(5), list, list});
              }),
              "TypeError #1034");
    const std::string error = thrownText([&] { call(g, "drawCircle", numbers({0, 0})); });
    EXPECT_NE(error.find("Argument count mismatch on flash.display::Graphics/drawCircle(). "
                         "Expected 3, got 2."),
              std::string::npos)
        << error;
}

} // namespace
