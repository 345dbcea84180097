// How scripts start: a frame's blocks run their entry points only once the frame's classes
// are bound, and `new` on a class whose nearest built-in ancestor only the player makes
// fails before any of the script's constructors runs.

#include "AbcBuilder.h"
#include "FakeHost.h"

#include <gtest/gtest.h>

namespace {

using avm2test::AbcBuilder;
using avm2test::BodySpec;
using avm2test::Bytes;
using avm2test::TraceScript;

Bytes traceString(const TraceScript& s, std::uint32_t text) {
    return {0x5D, static_cast<std::uint8_t>(s.traceName), 0x2C, static_cast<std::uint8_t>(text),
            0x4F, static_cast<std::uint8_t>(s.traceName), 1};
}

void addBody(AbcBuilder& abc, std::uint32_t method, Bytes code) {
    BodySpec b;
    b.method = method;
    b.code = std::move(code);
    abc.bodies.push_back(std::move(b));
}

// One class C extending `base`; its constructor traces "constructor" before calling the
// base's. The script defines C, then makes one inside a handler that traces what it caught.
Bytes classExtending(const char* package, const char* base) {
    TraceScript s;
    AbcBuilder abc = s.abc;
    const std::uint32_t baseName = abc.qname(abc.package(abc.string(package)), abc.string(base));
    const std::uint32_t cls = abc.qname(s.publicNs, abc.string("C"));
    const std::uint32_t made = abc.string("made");
    const std::uint32_t said = abc.string("constructor");
    const std::uint32_t init = abc.method();
    const std::uint32_t cinit = abc.method();
    const std::uint32_t iinit = abc.method();
    abc.classes.push_back({cls, baseName, iinit, cinit, {}, {}});
    abc.scripts.push_back({init, {{cls, 4, 1, 0}}});
    // getlocal0 pushscope; getscopeobject 0; getlex base; newclass 0; initproperty C;
    // [try] findpropstrict C; constructprop C 0; pop; trace("made") [end]; returnvoid;
    // [catch] getlocal0 pushscope; setlocal1; trace(local1); returnvoid.
    Bytes script{0xD0, 0x30,
                 0x65, 0x00,
                 0x60, static_cast<std::uint8_t>(baseName),
                 0x58, 0x00,
                 0x68, static_cast<std::uint8_t>(cls)};
    const std::uint32_t tryFrom = static_cast<std::uint32_t>(script.size());
    script.insert(script.end(), {0x5D, static_cast<std::uint8_t>(cls), 0x4A,
                                 static_cast<std::uint8_t>(cls), 0x00, 0x29});
    const Bytes sayMade = traceString(s, made);
    script.insert(script.end(), sayMade.begin(), sayMade.end());
    const std::uint32_t tryTo = static_cast<std::uint32_t>(script.size());
    script.push_back(0x47);
    const std::uint32_t handler = static_cast<std::uint32_t>(script.size());
    script.insert(script.end(), {0xD0, 0x30, 0xD5, 0x5D, static_cast<std::uint8_t>(s.traceName),
                                 0xD1, 0x4F, static_cast<std::uint8_t>(s.traceName), 1, 0x47});
    BodySpec body;
    body.method = init;
    body.code = script;
    body.exceptions = {{tryFrom, tryTo, handler, 0, 0}};
    abc.bodies.push_back(body);
    addBody(abc, cinit, {0xD0, 0x30, 0x47});
    Bytes ctor{0xD0, 0x30};
    const Bytes sayCtor = traceString(s, said);
    ctor.insert(ctor.end(), sayCtor.begin(), sayCtor.end());
    ctor.insert(ctor.end(), {0xD0, 0x49, 0x00, 0x47});
    addBody(abc, iinit, ctor);
    return abc.build();
}

TEST(ScriptStart, NewRefusesClassesOnlyThePlayerMakesBeforeAnyConstructorRuns) {
    struct Case {
        const char* package;
        const char* base;
        const char* traced;
    };
    const std::string refused = "ArgumentError: Error #2012: C$ class cannot be instantiated.\n";
    const Case cases[] = {
        {"flash.display", "DisplayObject", refused.c_str()},
        {"flash.display", "InteractiveObject", refused.c_str()},
        {"flash.display", "DisplayObjectContainer", refused.c_str()},
        {"flash.display", "MorphShape", refused.c_str()},
        {"flash.text", "StaticText", refused.c_str()},
        // What a script may make runs its constructors.
        {"flash.display", "Sprite", "constructor\nmade\n"},
        {"flash.display", "Shape", "constructor\nmade\n"},
        {"flash.events", "EventDispatcher", "constructor\nmade\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        EXPECT_EQ(avm2test::runAbc(classExtending(c.package, c.base)), c.traced);
    }
}

// Two scripts tracing their names as they start; the second is the block's entry point.
Bytes twoScripts(const char* first, const char* entry) {
    TraceScript s;
    AbcBuilder abc = s.abc;
    for (const char* name : {first, entry}) {
        const std::uint32_t init = abc.method();
        abc.scripts.push_back({init, {}});
        Bytes code{0xD0, 0x30};
        const Bytes say = traceString(s, abc.string(name));
        code.insert(code.end(), say.begin(), say.end());
        code.push_back(0x47);
        addBody(abc, init, code);
    }
    return abc.build();
}

TEST(ScriptStart, FrameBlocksStartTheirEntryPointsWhenTheFrameIsBound) {
    avm2test::FakeHost host;
    avm2::Machine vm(host);
    vm.beginFrame();
    const Bytes eager = twoScripts("a", "entry one");
    const Bytes lazy = twoScripts("b", "entry two");
    const Bytes later = twoScripts("c", "entry three");
    vm.loadFrameAbc(eager, false);
    vm.loadFrameAbc(lazy, true);
    vm.loadFrameAbc(later, false);
    EXPECT_TRUE(host.lines.empty());
    vm.runEntryPoints();
    // In the order the blocks came; a lazy block waits for a look-up of what it defines.
    EXPECT_EQ(host.text(), "entry one\nentry three\n");
    vm.runEntryPoints();
    EXPECT_EQ(host.text(), "entry one\nentry three\n");
    // A block loaded at once starts at once.
    vm.loadAbc(twoScripts("d", "entry four"), false);
    EXPECT_EQ(host.text(), "entry one\nentry three\nentry four\n");
}

} // namespace
