// The flash.* classes that hold settings or stand for what a card cannot reach: their
// defaults and copies, the errors Flash gives (with the player's frames in stack traces),
// and the replies of connections, which arrive as events.

#include "PlayerClassTest.h"

#include "avm2/EventState.h"

#include <cmath>
#include <limits>

namespace {

using avm2::Args;
using avm2::Machine;
using avm2::Name;
using avm2::Value;

class PlayerPackages : public avm2test::PlayerClassTest {
  protected:
    // Listens for `type` on `target`, tracing the code of each event's info, or the event.
    void listen(const Value& target, const char* type, bool info) {
        avm2::NativeFn traceCode = [](Machine& m, const Value&, Args& a) {
            Value i = m.getProperty(a[0], Name::publicName("info"));
            m.host().trace(m.toString(m.getProperty(i, Name::publicName("code"))));
            return Value();
        };
        avm2::NativeFn traceEvent = [](Machine& m, const Value&, Args& a) {
            m.host().trace(m.toString(a[0]));
            return Value();
        };
        Value fn = Value::object(vm.newNative(info ? traceCode : traceEvent));
        call(target, "addEventListener", {Value::string(type), fn});
    }
};

TEST_F(PlayerPackages, TimerDelaysOutOfRangeAreRangeErrorsNamingTheCaller) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double delay : {-1.0, std::nan(""), inf, -inf}) {
        EXPECT_EQ(thrown([&] { make("flash.utils::Timer", numbers({delay})); }), "RangeError #2066")
            << delay;
        Value timer = make("flash.utils::Timer", numbers({100}));
        EXPECT_EQ(thrown([&] { set(timer, "delay", Value::number(delay)); }), "RangeError #2066");
        EXPECT_EQ(get(timer, "delay"), "100");
    }
    EXPECT_EQ(thrown([&] { make("flash.utils::Timer", numbers({0})); }), "");
    try {
        make("flash.utils::Timer", numbers({-5}));
        FAIL() << "no error";
    } catch (const avm2::ScriptThrow& t) {
        EXPECT_EQ(text(call(t.value, "getStackTrace")),
                  "RangeError: Error #2066: The Timer delay specified is out of range.\n"
                  "\tat Error$/throwError()\n\tat flash.utils::Timer()");
    }
}

TEST_F(PlayerPackages, SettingsClassesTakeTheirArgumentsInOrderAndCopyWhole) {
    struct Expect {
        const char* cls;
        Args args;
        const char* property;
        const char* expected;
    };
    const std::vector<Expect> table = {
        {"flash.printing::PrintJobOptions", {}, "printAsBitmap", "false"},
        {"flash.printing::PrintJobOptions", {Value::boolean(true)}, "printAsBitmap", "true"},
        {"flash.system::JPEGLoaderContext", {}, "deblockingFilter", "0"},
        {"flash.system::JPEGLoaderContext", numbers({1, 1}), "checkPolicyFile", "true"},
        {"flash.system::LoaderContext", {}, "applicationDomain", "null"},
        {"flash.net::FileFilter",
         {Value::string("Images"), Value::string("*.png")},
         "extension",
         "*.png"},
        {"flash.net::FileFilter", {Value::string("a"), Value::string("b")}, "macType", "null"},
        {"flash.text.engine::FontDescription", {}, "fontName", "_serif"},
        {"flash.text.engine::ElementFormat", {Value::null(), Value::number(20)}, "fontSize", "20"},
        {"flash.text.engine::ElementFormat", {}, "alignmentBaseline", "useDominantBaseline"},
        {"flash.text.engine::SpaceJustifier", {}, "maximumSpacing", "1.5"},
        {"flash.text.engine::EastAsianJustifier", {}, "locale", "ja"},
        {"flash.text.engine::EastAsianJustifier", {}, "justificationStyle", "pushInKinsoku"},
        {"flash.accessibility::AccessibilityProperties", {}, "silent", "false"},
    };
    for (const Expect& e : table) {
        Value v = make(e.cls, e.args);
        EXPECT_EQ(get(v, e.property), e.expected) << e.cls << "." << e.property;
    }
    Value justifier = make("flash.text.engine::SpaceJustifier");
    set(justifier, "minimumSpacing", Value::number(0.25));
    Value copy = call(justifier, "clone");
    EXPECT_FALSE(vm.strictEquals(copy, justifier));
    EXPECT_EQ(get(copy, "minimumSpacing"), "0.25");
    EXPECT_EQ(vm.className(copy), "SpaceJustifier");
    // An element format made without a font description gets one of its own.
    Value format = make("flash.text.engine::ElementFormat");
    EXPECT_EQ(get(vm.getProperty(call(format, "clone"), Name::publicName("fontDescription")),
                  "fontWeight"),
              "normal");
}

TEST_F(PlayerPackages, UnreachableDevicesRefuseAsFlashDoes) {
    Value socket = make("flash.net::Socket");
    for (const char* method : {"flush", "close", "readInt", "writeUTFBytes", "readObject"}) {
        EXPECT_EQ(thrown([&] { call(socket, method, {Value::string("x")}); }), "IOError #2002")
            << method;
    }
    EXPECT_EQ(get(socket, "connected"), "false");
    Value input = classNamed("flash.ui::GameInput");
    EXPECT_EQ(get(input, "numDevices"), "0");
    EXPECT_EQ(thrown([&] { call(input, "getDeviceAt", numbers({0})); }), "RangeError #1506");
    EXPECT_EQ(thrown([&] { make("flash.ui::GameInputControl"); }), "ArgumentError #2012");
    EXPECT_EQ(thrown([&] { make("flash.system::SecurityDomain"); }), "ArgumentError #2012");
    Value security = classNamed("flash.system::SecurityDomain");
    EXPECT_TRUE(vm.strictEquals(vm.getProperty(security, Name::publicName("currentDomain")),
                                vm.getProperty(security, Name::publicName("currentDomain"))));
}

TEST_F(PlayerPackages, AccessibilityImplementationAnswersNothingButMustBeToldRoleAndState) {
    Value impl = make("flash.accessibility::AccessibilityImplementation");
    EXPECT_EQ(get(impl, "errno"), "0");
    EXPECT_EQ(text(call(impl, "get_accName", numbers({1}))), "null");
    EXPECT_EQ(text(call(impl, "get_accFocus")), "0");
    EXPECT_EQ(thrown([&] { call(impl, "get_accRole", numbers({1})); }), "Error #2143");
    EXPECT_EQ(thrown([&] { call(impl, "get_accState", numbers({1})); }), "Error #2144");
}

TEST_F(PlayerPackages, AnEmptyLoadersInfoKnowsOnlyWhereItWouldLoad) {
    Value loader = make("flash.display::Loader");
    Value info = vm.getProperty(loader, Name::publicName("contentLoaderInfo"));
    EXPECT_TRUE(
        vm.strictEquals(info, vm.getProperty(loader, Name::publicName("contentLoaderInfo"))));
    EXPECT_EQ(get(info, "url"), "null");
    EXPECT_EQ(get(info, "bytesTotal"), "0");
    EXPECT_TRUE(vm.strictEquals(vm.getProperty(info, Name::publicName("loader")), loader));
    for (const char* property : {"frameRate", "swfVersion", "width", "height",
                                 "actionScriptVersion", "sameDomain", "childAllowsParent"}) {
        EXPECT_EQ(thrown([&] { get(info, property); }), "Error #2099") << property;
    }
}

TEST_F(PlayerPackages, NetConnectionReportsEachOpeningAndClosing) {
    Value connection = make("flash.net::NetConnection");
    listen(connection, "netStatus", true);
    call(connection, "close");
    call(connection, "connect", {Value::null()});
    EXPECT_EQ(get(connection, "connected"), "true");
    call(connection, "connect", {Value::null()});
    call(connection, "close");
    call(connection, "connect", {Value::string("http://example.org/gateway")});
    EXPECT_EQ(get(connection, "connected"), "false");
    call(connection, "close");
    EXPECT_EQ(host.text(), "NetConnection.Connect.Success\n"
                           "NetConnection.Connect.Closed\n"
                           "NetConnection.Connect.Success\n"
                           "NetConnection.Connect.Closed\n"
                           "NetConnection.Connect.Closed\n"
                           "\n");
}

TEST_F(PlayerPackages, LocalConnectionSendsCheckNamesThenFailOnceTheScriptIsDone) {
    Value local = make("flash.net::LocalConnection");
    listen(local, "status", false);
    EXPECT_EQ(thrown([&] {
                  call(local, "send", {Value::null(), Value::string("f")});
              }),
              "TypeError #2007");
    EXPECT_EQ(thrown([&] {
                  call(local, "send", {Value::string("c"), Value()});
              }),
              "TypeError #2007");
    call(local, "send", {Value::string("c"), Value::string("f"), Value::integer(1)});
    EXPECT_EQ(host.text(), "");
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(host.text(), "[StatusEvent type=\"status\" bubbles=false cancelable=false "
                           "eventPhase=2 code=null level=\"error\"]\n");
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(host.lines.size(), 1u);
}

TEST_F(PlayerPackages, NetFilterEventsPrintUnderTheirFormerName) {
    Value bytes = make("flash.utils::ByteArray");
    Value event =
        make("flash.events::NetFilterEvent", {Value::string("f"), Value::boolean(false),
                                              Value::boolean(true), Value::null(), bytes});
    EXPECT_EQ(text(call(event, "toString")), "[NetTransformEvent type=\"f\" bubbles=false "
                                             "cancelable=true eventPhase=2 header=null data=]");
    EXPECT_TRUE(
        vm.strictEquals(vm.getProperty(call(event, "clone"), Name::publicName("data")), bytes));
}

} // namespace

namespace {

TEST_F(PlayerPackages, ValueHoldersKeepWhatTheyAreMadeWith) {
    struct Case {
        const char* cls;
        Args args;
        const char* field;
        const char* expected;
    };
    const Case cases[] = {
        {"flash.media::SoundLoaderContext", {}, "bufferTime", "1000"},
        {"flash.media::SoundLoaderContext", {}, "checkPolicyFile", "false"},
        {"flash.media::SoundLoaderContext", {Value::string("250")}, "bufferTime", "250"},
        {"flash.media::SoundLoaderContext",
         {Value(), Value::integer(1)},
         "checkPolicyFile",
         "true"},
        {"flash.media::ID3Info", {}, "songName", "null"},
        {"flash.media::ID3Info", {}, "year", "null"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(get(make(c.cls, c.args), c.field), c.expected) << c.cls << "." << c.field;
    }
    // ID3Info takes tags it does not declare; the others are sealed.
    const Value tags = make("flash.media::ID3Info");
    vm.setProperty(tags, Name::publicName("TPE2"), Value::string("x"));
    EXPECT_EQ(get(tags, "TPE2"), "x");
    EXPECT_EQ(thrown([&] {
                  vm.setProperty(make("flash.media::SoundLoaderContext"), Name::publicName("x"),
                                 Value());
              }),
              "ReferenceError #1056");
    // A responder's functions are Functions or null, and it needs the first.
    const Value fn =
        Value::object(vm.newNative([](Machine&, const Value&, Args&) { return Value(); }));
    EXPECT_EQ(thrown([&] { make("flash.net::Responder", {fn}); }), "");
    EXPECT_EQ(thrown([&] { make("flash.net::Responder", {fn, Value::null()}); }), "");
    EXPECT_EQ(thrown([&] { make("flash.net::Responder", {Value::integer(5)}); }),
              "TypeError #1034");
    EXPECT_EQ(thrown([&] { make("flash.net::Responder"); }), "ArgumentError #1063");
}

TEST_F(PlayerPackages, ByteStreamsAreDataInputsAndOutputs) {
    avm2::Class* input = vm.findClass("flash.utils::IDataInput");
    avm2::Class* output = vm.findClass("flash.utils::IDataOutput");
    ASSERT_NE(input, nullptr);
    ASSERT_NE(output, nullptr);
    const std::tuple<const char*, bool, bool> table[] = {
        {"flash.utils::ByteArray", true, true},
        {"flash.net::Socket", true, true},
        {"flash.net::URLStream", true, false},
        {"flash.geom::Point", false, false},
    };
    for (const auto& [cls, in, out] : table) {
        const Value v = make(cls);
        EXPECT_EQ(vm.isType(v, input), in) << cls;
        EXPECT_EQ(vm.isType(v, output), out) << cls;
    }
}

TEST_F(PlayerPackages, MultiByteEscapesAreUtf8Bytes) {
    const Value holder = vm.findDefinition(
        Name::qualified(avm2::Namespace::publicNs("flash.utils"), "escapeMultiByte"));
    const auto run = [&](const char* fn, const Value& v) {
        Args args{v};
        const Value f =
            vm.getProperty(holder, Name::qualified(avm2::Namespace::publicNs("flash.utils"), fn));
        return text(vm.call(f, Value(), args));
    };
    const std::pair<const char*, const char*> escapes[] = {
        {"a b+c/@*_-.", "a%20b+c/@*_-."},
        {"\xC3\xA9\xE2\x82\xAC", "%C3%A9%E2%82%AC"},
        {"\xF0\x9F\x98\x80", "%F0%9F%98%80"},
        {"%~", "%25%7E"},
    };
    for (const auto& [plain, escaped] : escapes) {
        EXPECT_EQ(run("escapeMultiByte", Value::string(plain)), escaped);
        EXPECT_EQ(run("unescapeMultiByte", Value::string(escaped)), plain);
    }
    // A broken escape stays as written; bytes that are no UTF-8 read as Latin-1.
    EXPECT_EQ(run("unescapeMultiByte", Value::string("%zz%4")), "%zz%4");
    EXPECT_EQ(run("unescapeMultiByte", Value::string("%E9")), "\xC3\xA9");
    EXPECT_EQ(run("escapeMultiByte", Value::null()), "null");
}

TEST_F(PlayerPackages, ValueClassesNameTheirValues) {
    const std::tuple<const char*, const char*, const char*> table[] = {
        {"flash.text.engine::FontWeight", "BOLD", "bold"},
        {"flash.text.engine::FontLookup", "EMBEDDED_CFF", "embeddedCFF"},
        {"flash.text.engine::TextBaseline", "USE_DOMINANT_BASELINE", "useDominantBaseline"},
        {"flash.text.engine::TypographicCase", "CAPS_AND_SMALL_CAPS", "capsAndSmallCaps"},
        {"flash.text.engine::LineJustification", "ALL_BUT_MANDATORY_BREAK", "allButMandatoryBreak"},
        {"flash.text.engine::TextLineCreationResult", "INSUFFICIENT_WIDTH", "insufficientWidth"},
        {"flash.ui::KeyboardType", "KEYPAD", "keypad"},
        {"flash.system::IMEConversionMode", "JAPANESE_KATAKANA_HALF", "JAPANESE_KATAKANA_HALF"},
        {"flash.system::SecurityPanel", "LOCAL_STORAGE", "localStorage"},
        {"flash.net::NetStreamPlayTransitions", "APPEND_AND_WAIT", "appendAndWait"},
        {"flash.globalization::DateTimeNameStyle", "LONG_ABBREVIATION", "longAbbreviation"},
        {"flash.ui::Keyboard", "KEYNAME_UPARROW", "Up"},
        {"flash.ui::Keyboard", "KEYNAME_F35", "F35"},
        {"flash.ui::Keyboard", "KEYNAME_PAGEDOWN", "PgDn"},
        {"flash.ui::Keyboard", "KEYNAME_MODESWITCH", "ModeSw"},
        // The characters the function keys type run on from U+F700 in the same order.
        {"flash.ui::Keyboard", "STRING_UPARROW", "\xEF\x9C\x80"},
        {"flash.ui::Keyboard", "STRING_F1", "\xEF\x9C\x84"},
        {"flash.ui::Keyboard", "STRING_INSERT", "\xEF\x9C\xA7"},
        {"flash.ui::Keyboard", "STRING_MODESWITCH", "\xEF\x9D\x87"},
    };
    for (const auto& [cls, name, value] : table) {
        EXPECT_EQ(get(classNamed(cls), name), value) << cls;
    }
}

} // namespace
