// Exceptions that leave the method that threw them (a finally handler that runs and
// rethrows, typed handlers that do not match, errors thrown by built-ins), and instance
// traits of a class and its subclass: overrides, super calls and slots.

#include "AbcBuilder.h"
#include "FakeHost.h"

#include <gtest/gtest.h>

namespace {

using avm2test::AbcBuilder;
using avm2test::BodySpec;
using avm2test::Bytes;
using avm2test::TraceScript;

std::uint8_t u8(std::uint32_t index) {
    return static_cast<std::uint8_t>(index);
}

// findpropstrict trace; pushstring text; callpropvoid trace 1
Bytes traceText(const TraceScript& s, std::uint32_t text) {
    return {0x5D, u8(s.traceName), 0x2C, u8(text), 0x4F, u8(s.traceName), 1};
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// The script calls `callee` (callstatic) inside a try whose handler traces what it caught.
std::string runCaller(TraceScript& s, AbcBuilder abc, std::uint32_t callee) {
    const std::uint32_t init = abc.method();
    abc.scripts.push_back({init, {}});
    BodySpec b;
    b.method = init;
    // 0: getlocal0 pushscope  2: getlocal0 callstatic callee 0  6: pop  7: jump +9 (to 20)
    // 11: setlocal1, getlocal0 pushscope (a handler starts with no scopes), trace(local1)
    // 20: returnvoid
    b.code = {0xD0,
              0x30,
              0xD0,
              0x44,
              u8(callee),
              0,
              0x29,
              0x10,
              9,
              0,
              0,
              0xD5,
              0xD0,
              0x30,
              0x5D,
              u8(s.traceName),
              0xD1,
              0x4F,
              u8(s.traceName),
              1,
              0x47};
    b.exceptions = {{2, 7, 11, 0, 0}};
    abc.bodies.push_back(b);
    return avm2test::runAbc(abc.build());
}

TEST(Exceptions, AFinallyRunsAndRethrowsToTheCallersHandler) {
    TraceScript s;
    AbcBuilder abc = s.abc;
    const std::uint32_t finallyText = abc.string("finally");
    const std::uint32_t wrongText = abc.string("caught as a TypeError");
    const std::uint32_t typeError = abc.qname(s.publicNs, abc.string("TypeError"));
    const std::uint32_t callee = abc.method();
    BodySpec b;
    b.method = callee;
    // 0: pushbyte 7  2: throw
    // 3: (any) setlocal1, trace "finally", getlocal1, throw
    // 13: (TypeError) trace "caught as a TypeError", returnvoid
    b.code = concat({{0x24, 7, 0x03, 0xD5},
                     traceText(s, finallyText),
                     {0xD1, 0x03},
                     traceText(s, wrongText),
                     {0x47}});
    b.exceptions = {{0, 3, 13, typeError, 0}, {0, 3, 3, 0, 0}};
    abc.bodies.push_back(b);
    EXPECT_EQ(runCaller(s, abc, callee), "finally\n7\n");
}

TEST(Exceptions, ABuiltInsErrorIsCaughtByItsClassInTheCaller) {
    TraceScript s;
    AbcBuilder abc = s.abc;
    const std::uint32_t arrayName = abc.qname(s.publicNs, abc.string("Array"));
    const std::uint32_t rangeError = abc.qname(s.publicNs, abc.string("RangeError"));
    const std::uint32_t typeError = abc.qname(s.publicNs, abc.string("TypeError"));
    const std::uint32_t rangeText = abc.string("range");
    const std::uint32_t typeText = abc.string("type");
    const std::uint32_t callee = abc.method();
    BodySpec b;
    b.method = callee;
    // 0: findpropstrict Array  2: pushbyte -1  4: constructprop Array 1  7: returnvalue
    // 8: (TypeError) trace "type", returnvoid   16: (RangeError) trace "range", returnvoid
    b.code = concat({{0x5D, u8(arrayName), 0x24, 0xFF, 0x4A, u8(arrayName), 1, 0x48},
                     traceText(s, typeText),
                     {0x47},
                     traceText(s, rangeText),
                     {0x47}});
    b.exceptions = {{0, 7, 8, typeError, 0}, {0, 7, 16, rangeError, 0}};
    abc.bodies.push_back(b);
    EXPECT_EQ(runCaller(s, abc, callee), "range\n");

    // Without a matching handler the RangeError reaches the caller's catch-all.
    abc.bodies.back().exceptions = {{0, 7, 8, typeError, 0}};
    EXPECT_EQ(runCaller(s, abc, callee), "RangeError: Error #1005: Array index is not a positive "
                                         "integer (-1).\n");
}

// Class A { var n = slot; function f() { return "A" } function g() { return "gA" } }
// Class B extends A { override function f() { return "B+" + super.f() } }
TEST(Traits, AnOverrideReplacesTheMethodAndSuperReachesTheBase) {
    TraceScript s;
    AbcBuilder abc = s.abc;
    const std::uint32_t object = abc.qname(s.publicNs, abc.string("Object"));
    const std::uint32_t nameA = abc.qname(s.publicNs, abc.string("A"));
    const std::uint32_t nameB = abc.qname(s.publicNs, abc.string("B"));
    const std::uint32_t f = abc.qname(s.publicNs, abc.string("f"));
    const std::uint32_t g = abc.qname(s.publicNs, abc.string("g"));
    const std::uint32_t n = abc.qname(s.publicNs, abc.string("n"));
    const std::uint32_t textA = abc.string("A");
    const std::uint32_t textB = abc.string("B+");
    const std::uint32_t textG = abc.string("gA");
    const std::uint32_t init = abc.method();
    const std::uint32_t aInit = abc.method();
    const std::uint32_t aStatic = abc.method();
    const std::uint32_t aF = abc.method();
    const std::uint32_t aG = abc.method();
    const std::uint32_t bInit = abc.method();
    const std::uint32_t bStatic = abc.method();
    const std::uint32_t bF = abc.method();
    abc.classes.push_back(
        {nameA, object, aInit, aStatic, {{n, 0, 1, 0}, {f, 1, 0, aF}, {g, 1, 0, aG}}, {}});
    // 0x21: a method trait marked override.
    abc.classes.push_back({nameB, nameA, bInit, bStatic, {{f, 0x21, 0, bF}}, {}});
    abc.scripts.push_back({init, {{nameA, 4, 1, 0}, {nameB, 4, 2, 1}}});
    const Bytes ctor{0xD0, 0x30, 0xD0, 0x49, 0x00, 0x47}; // constructsuper, returnvoid
    const Bytes empty{0x47};
    // The script defines A and B, then traces b.f(), b.g() and b.n (n set to 5 first).
    const Bytes script = {0xD0,
                          0x30, // getlocal0 pushscope
                          0x65,
                          0x00,
                          0x60,
                          u8(object),
                          0x30, // getscopeobject 0, getlex Object, pushscope
                          0x60,
                          u8(object),
                          0x58,
                          0x00,
                          0x1D,
                          0x68,
                          u8(nameA), // newclass A, popscope, initprop
                          0x65,
                          0x00,
                          0x60,
                          u8(object),
                          0x30,
                          0x60,
                          u8(nameA),
                          0x30, // scopes Object, A
                          0x60,
                          u8(nameA),
                          0x58,
                          0x01,
                          0x1D,
                          0x1D,
                          0x68,
                          u8(nameB), // newclass B
                          0x5D,
                          u8(nameB),
                          0x4A,
                          u8(nameB),
                          0x00,
                          0xD5, // local1 = new B()
                          0xD1,
                          0x24,
                          5,
                          0x61,
                          u8(n), // local1.n = 5
                          0x5D,
                          u8(s.traceName),
                          0xD1,
                          0x46,
                          u8(f),
                          0,
                          0x4F,
                          u8(s.traceName),
                          1,
                          0x5D,
                          u8(s.traceName),
                          0xD1,
                          0x46,
                          u8(g),
                          0,
                          0x4F,
                          u8(s.traceName),
                          1,
                          0x5D,
                          u8(s.traceName),
                          0xD1,
                          0x66,
                          u8(n),
                          0x4F,
                          u8(s.traceName),
                          1,
                          0x47};
    const Bytes aFCode{0x2C, u8(textA), 0x48};
    const Bytes aGCode{0x2C, u8(textG), 0x48};
    // pushstring "B+", getlocal0, callsuper f 0, add, returnvalue
    const Bytes bFCode{0x2C, u8(textB), 0xD0, 0x45, u8(f), 0, 0xA0, 0x48};
    for (auto [m, code] : {std::pair{init, script},
                           {aInit, ctor},
                           {aStatic, empty},
                           {aF, aFCode},
                           {aG, aGCode},
                           {bInit, ctor},
                           {bStatic, empty},
                           {bF, bFCode}}) {
        BodySpec b;
        b.method = m;
        b.code = code;
        abc.bodies.push_back(b);
    }
    EXPECT_EQ(avm2test::runAbc(abc.build()), "B+A\ngA\n5\n");
}

// class C { static var s: C } then C.s = undefined: the slot's type is the class being made
// when its traits were, and a store still coerces to it (undefined becomes null).
TEST(Traits, ASlotTypedWithItsOwnClassCoercesStores) {
    TraceScript s;
    AbcBuilder abc = s.abc;
    const std::uint32_t object = abc.qname(s.publicNs, abc.string("Object"));
    const std::uint32_t nameC = abc.qname(s.publicNs, abc.string("C"));
    const std::uint32_t slot = abc.qname(s.publicNs, abc.string("s"));
    const std::uint32_t init = abc.method();
    const std::uint32_t cInit = abc.method();
    const std::uint32_t cStatic = abc.method();
    avm2test::TraitSpec typed{slot, 0, 1, 0};
    typed.typeName = nameC;
    abc.classes.push_back({nameC, object, cInit, cStatic, {}, {typed}});
    abc.scripts.push_back({init, {{nameC, 4, 1, 0}}});
    const Bytes script = {0xD0,       0x30,
                          0x65,       0x00,
                          0x60,       u8(object),
                          0x30,       0x60,
                          u8(object), 0x58,
                          0x00,       0x1D,
                          0x68,       u8(nameC), // newclass C, initprop
                          0x60,       u8(nameC),
                          0x21,       0x61,
                          u8(slot), // C.s = undefined
                          0x5D,       u8(s.traceName),
                          0x60,       u8(nameC),
                          0x66,       u8(slot),
                          0x4F,       u8(s.traceName),
                          1, // trace(C.s)
                          0x5D,       u8(s.traceName),
                          0x60,       u8(nameC),
                          0x66,       u8(slot),
                          0x21,       0xAB,
                          0x4F,       u8(s.traceName),
                          1, // trace(C.s == undefined)
                          0x47};
    const Bytes ctor{0xD0, 0x30, 0xD0, 0x49, 0x00, 0x47};
    for (auto [m, code] : {std::pair{init, script}, {cInit, ctor}, {cStatic, Bytes{0x47}}}) {
        BodySpec b;
        b.method = m;
        b.code = code;
        abc.bodies.push_back(b);
    }
    EXPECT_EQ(avm2test::runAbc(abc.build()), "null\ntrue\n");
}

// class C { static function s(a) {} function i(a) {} }, each called with no argument: the
// class object's own methods go by the class's name with a $, its instances' without.
TEST(Traits, StaticMethodsAreNamedAfterTheClassObject) {
    TraceScript s;
    AbcBuilder abc = s.abc;
    const std::uint32_t object = abc.qname(s.publicNs, abc.string("Object"));
    const std::uint32_t nameC = abc.qname(s.publicNs, abc.string("C"));
    const std::uint32_t nameS = abc.qname(s.publicNs, abc.string("s"));
    const std::uint32_t nameI = abc.qname(s.publicNs, abc.string("i"));
    const std::uint32_t init = abc.method();
    const std::uint32_t cInit = abc.method();
    const std::uint32_t cStatic = abc.method();
    const std::uint32_t staticMethod = abc.method(1);
    const std::uint32_t instanceMethod = abc.method(1);
    abc.classes.push_back({nameC,
                           object,
                           cInit,
                           cStatic,
                           {{nameI, 1, 0, instanceMethod}},
                           {{nameS, 1, 0, staticMethod}}});
    abc.scripts.push_back({init, {{nameC, 4, 1, 0}}});
    const Bytes makeClass{0xD0, 0x30,       0x65, 0x00, 0x60, u8(object), 0x30,
                          0x60, u8(object), 0x58, 0x00, 0x1D, 0x68,       u8(nameC)};
    struct Case {
        Bytes call;
        const char* expected;
    };
    const Case cases[] = {
        {{0x60, u8(nameC), 0x46, u8(nameS), 0, 0x29},
         "ArgumentError: Error #1063: Argument count mismatch on C$/s(). Expected 1, got 0.\n"},
        {{0x5D, u8(nameC), 0x4A, u8(nameC), 0, 0x46, u8(nameI), 0, 0x29},
         "ArgumentError: Error #1063: Argument count mismatch on C/i(). Expected 1, got 0.\n"},
    };
    for (const Case& c : cases) {
        AbcBuilder built = abc;
        Bytes script = makeClass;
        script.insert(script.end(), c.call.begin(), c.call.end());
        script.push_back(0x47);
        const Bytes ctor{0xD0, 0x30, 0xD0, 0x49, 0x00, 0x47};
        for (auto [m, code] : {std::pair{init, script},
                               {cInit, ctor},
                               {cStatic, Bytes{0x47}},
                               {staticMethod, Bytes{0x47}},
                               {instanceMethod, Bytes{0x47}}}) {
            BodySpec b;
            b.method = m;
            b.code = code;
            built.bodies.push_back(b);
        }
        // The error's first line; the stack under it follows.
        const std::string out = avm2test::runAbc(built.build());
        EXPECT_EQ(out.substr(0, out.find('\n') + 1), c.expected);
    }
}

} // namespace

namespace {

// class Base {} class Sub extends Base { var v:int } and a script variable v = "global". A
// name is looked up through a pushed scope by the type the verifier knows it by: coerced to
// Base, the Sub pushed has no v, and the script's is found; pushed as it comes, its own is.
TEST(Traits, AScopeCoercedToABaseAnswersByTheBasesTraits) {
    TraceScript s;
    AbcBuilder abc = s.abc;
    const std::uint32_t object = abc.qname(s.publicNs, abc.string("Object"));
    const std::uint32_t intName = abc.qname(s.publicNs, abc.string("int"));
    const std::uint32_t base = abc.qname(s.publicNs, abc.string("Base"));
    const std::uint32_t sub = abc.qname(s.publicNs, abc.string("Sub"));
    const std::uint32_t v = abc.qname(s.publicNs, abc.string("v"));
    const std::uint32_t global = abc.string("global");
    const std::uint32_t init = abc.method();
    std::uint32_t methods[4];
    for (std::uint32_t& m : methods) {
        m = abc.method();
    }
    avm2test::TraitSpec field{v, 0, 1, 0};
    field.typeName = intName;
    abc.classes.push_back({base, object, methods[0], methods[1], {}, {}});
    abc.classes.push_back({sub, base, methods[2], methods[3], {field}, {}});
    abc.scripts.push_back({init, {{base, 4, 1, 0}, {sub, 4, 2, 1}, {v, 0, 3, 0}}});
    // new Sub(), pushed as a scope (coerced to `as` first when given), then trace(v).
    const auto traceThrough = [&](std::uint32_t as) {
        Bytes out{0x5D, u8(sub), 0x4A, u8(sub), 0};
        if (as != 0) {
            out.insert(out.end(), {0x80, u8(as)});
        }
        out.insert(out.end(),
                   {0x30, 0x5D, u8(s.traceName), 0x60, u8(v), 0x4F, u8(s.traceName), 1, 0x1D});
        return out;
    };
    Bytes script = {0xD0, 0x30, 0x65,     0,    0x60,     u8(object), 0x30,       0x60, u8(object),
                    0x58, 0,    0x1D,     0x68, u8(base), 0x65,       0,          0x60, u8(object),
                    0x30, 0x60, u8(base), 0x30, 0x60,     u8(base),   0x58,       1,    0x1D,
                    0x1D, 0x68, u8(sub),  0x5E, u8(v),    0x2C,       u8(global), 0x61, u8(v)};
    for (std::uint32_t as : {base, 0u, sub}) {
        const Bytes part = traceThrough(as);
        script.insert(script.end(), part.begin(), part.end());
    }
    script.push_back(0x47);
    const Bytes ctor{0xD0, 0x30, 0xD0, 0x49, 0x00, 0x47};
    for (auto [m, code] : {std::pair{init, script},
                           {methods[0], ctor},
                           {methods[1], Bytes{0x47}},
                           {methods[2], ctor},
                           {methods[3], Bytes{0x47}}}) {
        BodySpec b;
        b.method = m;
        b.code = code;
        abc.bodies.push_back(b);
    }
    EXPECT_EQ(avm2test::runAbc(abc.build()), "global\n0\n0\n");
}

} // namespace
