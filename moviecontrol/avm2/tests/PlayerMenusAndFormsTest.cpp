// Rule tables for flash.ui's context menus, flash.net's forms, pages and shared objects,
// flash.media's sound transform gains, and the flash.errors family.

#include "PlayerClassTest.h"

#include <cmath>
#include <limits>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Namespace;
using avm2::Value;

class PlayerMenusAndForms : public avm2test::PlayerClassTest {
  protected:
    Value global(const char* package, const char* name) {
        const Name n = Name::qualified(Namespace::publicNs(package), name);
        return vm.getProperty(vm.findDefinition(n), n);
    }
    Value callGlobal(const char* package, const char* name, Args args) {
        return vm.call(global(package, name), Value(), args);
    }
};

// Pan lives in the four gains: setting it spreads the power, reading it back comes from the
// left gain, and any cross-over gain makes it 0.
TEST_F(PlayerMenusAndForms, PanIsDerivedFromTheChannelGains) {
    struct Row {
        double pan;
        const char* gains; // leftToLeft,leftToRight,rightToLeft,rightToRight
        const char* readBack;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<Row> table = {
        {0, "1,0,0,1", "0"},
        {-1, "1.4142135623730951,0,0,0", "-1.0000000000000004"},
        {1, "0,0,0,1.4142135623730951", "1"},
        {0.5, "0.7071067811865476,0,0,1.224744871391589", "0.4999999999999999"},
        {2, "NaN,0,0,1.7320508075688772", "NaN"},
        {nan, "NaN,0,0,NaN", "NaN"},
    };
    for (const Row& r : table) {
        for (bool viaConstructor : {true, false}) {
            Value t = viaConstructor ? make("flash.media::SoundTransform", numbers({1, r.pan}))
                                     : make("flash.media::SoundTransform");
            if (!viaConstructor) {
                set(t, "pan", Value::number(r.pan));
            }
            const std::string gains = get(t, "leftToLeft") + "," + get(t, "leftToRight") + "," +
                                      get(t, "rightToLeft") + "," + get(t, "rightToRight");
            EXPECT_EQ(gains, r.gains) << r.pan;
            EXPECT_EQ(get(t, "pan"), r.readBack) << r.pan;
            EXPECT_EQ(get(t, "volume"), "1");
        }
    }
    Value crossed = make("flash.media::SoundTransform", numbers({1, 0.5}));
    set(crossed, "leftToRight", Value::number(0.25));
    EXPECT_EQ(get(crossed, "pan"), "0");
}

TEST_F(PlayerMenusAndForms, FormsDecodePlusAsSpaceAndRefuseNullSources) {
    struct Row {
        const char* source;
        const char* property;
        const char* value;
    };
    const std::vector<Row> table = {
        {"a+b=c+d", "a b", "c d"},
        {"q=%2B1", "q", "+1"},
        {"x=1+%20+2", "x", "1   2"},
    };
    for (const Row& r : table) {
        Value vars = make("flash.net::URLVariables", {Value::string(r.source)});
        EXPECT_EQ(get(vars, r.property), r.value) << r.source;
        Value decoded = make("flash.net::URLVariables");
        call(decoded, "decode", {Value::string(r.source)});
        EXPECT_EQ(get(decoded, r.property), r.value) << r.source;
    }
    // The constructor decodes any string it is given, the empty one too.
    EXPECT_EQ(thrown([&] { make("flash.net::URLVariables", {Value::string("")}); }), "Error #2101");
    EXPECT_EQ(thrown([&] { make("flash.net::URLVariables", {Value::null()}); }), "");
    Value vars = make("flash.net::URLVariables");
    for (const Value& v : {Value::null(), Value()}) {
        EXPECT_EQ(thrown([&] { call(vars, "decode", {v}); }), "TypeError #1009");
    }
    Value request = make("flash.net::URLRequest");
    set(request, "data", Value());
    EXPECT_EQ(vm.typeOf(vm.getProperty(request, Name::publicName("data"))), "object");
}

TEST_F(PlayerMenusAndForms, PageRequestsAreCheckedBeforeAnythingElse) {
    Value noUrl = make("flash.net::URLRequest");
    Value page = make("flash.net::URLRequest", {Value::string("http://example.com/")});
    for (const char* fn : {"navigateToURL", "sendToURL"}) {
        EXPECT_EQ(thrown([&] { callGlobal("flash.net", fn, {Value::null()}); }), "TypeError #2007")
            << fn;
        EXPECT_EQ(thrown([&] { callGlobal("flash.net", fn, {Value::string("x")}); }),
                  "TypeError #1034")
            << fn;
        EXPECT_EQ(thrown([&] { callGlobal("flash.net", fn, {noUrl}); }), "TypeError #2007") << fn;
        EXPECT_EQ(thrown([&] {
                      callGlobal("flash.net", fn, {page, Value::string("_blank")});
                  }),
                  "")
            << fn;
    }
}

TEST_F(PlayerMenusAndForms, SharedObjectsCountTheirDataAndNameTheirClient) {
    Value cls = classNamed("flash.net::SharedObject");
    for (const Value& name : {Value::null(), Value()}) {
        EXPECT_EQ(thrown([&] { call(cls, "getLocal", {name}); }), "TypeError #2007");
    }
    Value so = call(cls, "getLocal", {Value::string("sizes")});
    EXPECT_EQ(get(so, "size"), "0");
    EXPECT_TRUE(vm.strictEquals(vm.getProperty(so, Name::publicName("client")), so));
    Value data = vm.getProperty(so, Name::publicName("data"));
    set(data, "a", Value::integer(1));
    const std::string one = get(so, "size");
    set(data, "b", Value::string("a longer string"));
    EXPECT_GT(std::stoi(get(so, "size")), std::stoi(one));
    EXPECT_GT(std::stoi(one), 0);
    call(so, "clear");
    EXPECT_EQ(get(so, "size"), "0");
    EXPECT_EQ(thrown([&] { set(so, "client", Value::null()); }), "TypeError #2004");
    Value client = Value::object(vm.newObject());
    set(so, "client", client);
    EXPECT_TRUE(vm.strictEquals(vm.getProperty(so, Name::publicName("client")), client));
}

TEST_F(PlayerMenusAndForms, ContextMenusKeepTheirSwitchesAndCloneDeeply) {
    Value menu = make("flash.ui::ContextMenu");
    Value builtIn = vm.getProperty(menu, Name::publicName("builtInItems"));
    const char* names[] = {"print", "zoom",   "quality",        "play",
                           "loop",  "rewind", "forwardAndBack", "save"};
    for (const char* n : names) {
        EXPECT_EQ(get(builtIn, n), "true") << n;
    }
    EXPECT_EQ(get(vm.getProperty(menu, Name::publicName("customItems")), "length"), "0");
    Value clipboard = vm.getProperty(menu, Name::publicName("clipboardItems"));
    EXPECT_EQ(get(clipboard, "copy") + get(clipboard, "selectAll"), "falsetrue");

    Value item = make("flash.ui::ContextMenuItem",
                      {Value::string("About"), Value::integer(1), Value::integer(0)});
    EXPECT_EQ(get(item, "caption") + get(item, "separatorBefore") + get(item, "enabled") +
                  get(item, "visible"),
              "Abouttruefalsetrue");
    EXPECT_EQ(thrown([&] { make("flash.ui::ContextMenuItem"); }), "ArgumentError #1063");
    EXPECT_EQ(get(make("flash.ui::ContextMenuItem", {Value::null()}), "caption"), "null");

    call(vm.getProperty(menu, Name::publicName("customItems")), "push", {item});
    set(builtIn, "zoom", Value::boolean(false));
    Value copy = call(menu, "clone");
    Value copyItems = vm.getProperty(copy, Name::publicName("customItems"));
    EXPECT_EQ(get(copyItems, "length"), "1");
    Value copyItem = vm.getProperty(copyItems, Name::publicName("0"));
    EXPECT_FALSE(vm.strictEquals(copyItem, item));
    EXPECT_EQ(get(copyItem, "caption") + get(copyItem, "enabled"), "Aboutfalse");
    Value copyBuiltIn = vm.getProperty(copy, Name::publicName("builtInItems"));
    EXPECT_FALSE(vm.strictEquals(copyBuiltIn, builtIn));
    EXPECT_EQ(get(copyBuiltIn, "zoom") + get(copyBuiltIn, "print"), "falsetrue");

    call(menu, "hideBuiltInItems");
    for (const char* n : names) {
        EXPECT_EQ(get(builtIn, n), "false") << n;
    }
    EXPECT_EQ(get(copyBuiltIn, "print"), "true");

    Value sprite = make("flash.display::Sprite");
    EXPECT_EQ(get(sprite, "contextMenu"), "null");
    set(sprite, "contextMenu", menu);
    EXPECT_TRUE(vm.strictEquals(vm.getProperty(sprite, Name::publicName("contextMenu")), menu));
    EXPECT_EQ(thrown([&] { set(sprite, "contextMenu", Value::object(vm.newObject())); }),
              "TypeError #1034");
    set(sprite, "contextMenu", Value::null());
    EXPECT_EQ(get(sprite, "contextMenu"), "null");
}

TEST_F(PlayerMenusAndForms, EndOfFileIsAnInputError) {
    Value eof = make("flash.errors::EOFError", {Value::string("m")});
    EXPECT_TRUE(vm.isType(eof, vm.findClass("flash.errors::IOError")));
    EXPECT_TRUE(vm.isType(eof, vm.errorClass));
    EXPECT_FALSE(vm.isType(make("flash.errors::IllegalOperationError"),
                           vm.findClass("flash.errors::IOError")));
}

// The closures of setTimeout and setInterval are typed Function: null is taken (and only
// fails when it comes due), what is no function is refused.
TEST_F(PlayerMenusAndForms, TimedCallsTakeNullClosuresAndRefuseOthers) {
    for (const char* fn : {"setTimeout", "setInterval"}) {
        Value id;
        EXPECT_EQ(thrown([&] {
                      id = callGlobal("flash.utils", fn, {Value::null(), Value::integer(10)});
                  }),
                  "")
            << fn;
        EXPECT_EQ(vm.typeOf(id), "number") << fn;
        callGlobal("flash.utils", "clearInterval", {id});
        for (const Value& bad :
             {Value::string("f"), Value::integer(5), Value::object(vm.newObject())}) {
            EXPECT_EQ(thrown([&] {
                          callGlobal("flash.utils", fn, {bad, Value::integer(10)});
                      }),
                      "TypeError #1034")
                << fn;
        }
    }
}

TEST_F(PlayerMenusAndForms, MixerKeepsItsBufferAndRefusesANullTransform) {
    Value mixer = classNamed("flash.media::SoundMixer");
    EXPECT_EQ(get(mixer, "bufferTime"), "5");
    set(mixer, "bufferTime", Value::number(2.7));
    EXPECT_EQ(get(mixer, "bufferTime"), "2");
    EXPECT_EQ(text(call(mixer, "areSoundsInaccessible")), "false");
    EXPECT_EQ(thrown([&] { set(mixer, "soundTransform", Value::null()); }), "TypeError #2007");
    Value sound = make("flash.media::Sound");
    EXPECT_EQ(get(sound, "id3"), "null");
    Value system = classNamed("flash.system::System");
    EXPECT_EQ(thrown([&] { call(system, "setClipboard", {Value::null()}); }), "TypeError #2007");
    EXPECT_EQ(thrown([&] { call(system, "setClipboard", {Value::string("x")}); }), "");
    EXPECT_EQ(text(call(sound, "extract", {Value::object(vm.newObject()), Value::integer(10)})),
              "0");
}

} // namespace
