// The interpreter through a fake host: opcodes by table (what each leaves for trace()),
// exceptions, class initialisation order, and the bounds on recursion and time.

#include "AbcBuilder.h"
#include "FakeHost.h"

#include <gtest/gtest.h>

namespace {

using avm2test::Bytes;
using avm2test::TraceScript;

struct OpCase {
    const char* what;
    Bytes code;
    const char* traced;
};

TEST(Interpreter, OpcodesByTable) {
    TraceScript s;
    const std::uint32_t a = s.abc.string("a");
    const std::vector<OpCase> cases = {
        {"add ints", {0x24, 2, 0x24, 3, 0xA0}, "5"},
        {"add a string", {0x2C, static_cast<std::uint8_t>(a), 0x24, 1, 0xA0}, "a1"},
        {"undefined plus one", {0x21, 0x24, 1, 0xA0}, "NaN"},
        {"true plus true", {0x26, 0x26, 0xA0}, "2"},
        {"null plus true", {0x20, 0x26, 0xA0}, "1"},
        {"subtract", {0x24, 2, 0x24, 5, 0xA1}, "-3"},
        {"multiply", {0x24, 6, 0x24, 7, 0xA2}, "42"},
        {"divide by zero", {0x24, 1, 0x24, 0, 0xA3}, "Infinity"},
        {"divide to a fraction", {0x24, 1, 0x24, 4, 0xA3}, "0.25"},
        {"modulo", {0x24, 7, 0x24, 2, 0xA4}, "1"},
        {"negative modulo", {0x24, 0xF9, 0x24, 2, 0xA4}, "-1"},
        {"convert_u of -1", {0x24, 0xFF, 0x74}, "4294967295"},
        {"lshift", {0x24, 5, 0x24, 1, 0xA5}, "10"},
        {"rshift keeps the sign", {0x24, 0xF8, 0x24, 1, 0xA6}, "-4"},
        {"urshift", {0x24, 0xF8, 0x24, 1, 0xA7}, "2147483644"},
        {"bitand", {0x24, 12, 0x24, 10, 0xA8}, "8"},
        {"bitor", {0x24, 12, 0x24, 10, 0xA9}, "14"},
        {"bitxor", {0x24, 12, 0x24, 10, 0xAA}, "6"},
        {"bitnot", {0x24, 0, 0x97}, "-1"},
        {"negate_i", {0x24, 5, 0xC4}, "-5"},
        {"not", {0x26, 0x96}, "false"},
        {"typeof null", {0x20, 0x95}, "object"},
        {"typeof undefined", {0x21, 0x95}, "undefined"},
        {"strict equals", {0x24, 3, 0x24, 3, 0xAC}, "true"},
        {"NaN is not NaN", {0x28, 0x28, 0xAB}, "false"},
        {"null equals undefined", {0x20, 0x21, 0xAB}, "true"},
        {"null is not strictly undefined", {0x20, 0x21, 0xAC}, "false"},
        {"less than", {0x24, 1, 0x24, 2, 0xAD}, "true"},
        {"NaN is neither less nor greater-equal", {0x28, 0x24, 1, 0xB0}, "false"},
        {"sign extension of a byte", {0x25, 0xFF, 0x01, 0x51}, "-1"},
        {"swap", {0x24, 1, 0x24, 2, 0x2B, 0x29}, "2"},
        {"array literal", {0x24, 1, 0x24, 2, 0x56, 2}, "1,2"},
        {"branch taken",
         {0x26, 0x11, 0x06, 0x00, 0x00, 0x24, 9, 0x10, 0x02, 0x00, 0x00, 0x24, 4},
         "4"},
    };
    for (const OpCase& c : cases) {
        EXPECT_EQ(avm2test::runAbc(s.build(c.code)), std::string(c.traced) + "\n") << c.what;
    }
}

TEST(Interpreter, ThrownValuesReachTheHandlerGuardingThem) {
    TraceScript s;
    avm2test::AbcBuilder abc = s.abc;
    const std::uint32_t init = abc.method();
    abc.scripts.push_back({init, {}});
    avm2test::BodySpec b;
    b.method = init;
    // 0: pushbyte 7  2: throw  3: setlocal1, then trace(local1)
    b.code = {0x24, 7,    0x03,
              0xD5, 0x5D, static_cast<std::uint8_t>(s.traceName),
              0xD1, 0x4F, static_cast<std::uint8_t>(s.traceName),
              1,    0x47};
    b.exceptions = {{0, 3, 3, 0, 0}};
    abc.bodies.push_back(b);
    EXPECT_EQ(avm2test::runAbc(abc.build()), "7\n");

    // Without a handler the error goes up and is printed as uncaught.
    abc.bodies[0].exceptions.clear();
    abc.bodies[0].code = {0x24, 7, 0x03};
    EXPECT_EQ(avm2test::runAbc(abc.build()), "Error: Error #1000: Uncaught exception: 7\n");
}

TEST(Interpreter, StaticInitialiserRunsWhenTheClassIsMadeAndTheConstructorOnNew) {
    TraceScript s;
    avm2test::AbcBuilder abc = s.abc;
    const std::uint32_t object = abc.qname(s.publicNs, abc.string("Object"));
    const std::uint32_t cls = abc.qname(s.publicNs, abc.string("C"));
    const auto say = [&](const char* text) {
        const std::uint32_t str = abc.string(text);
        return Bytes{
            0x5D, static_cast<std::uint8_t>(s.traceName), 0x2C, static_cast<std::uint8_t>(str),
            0x4F, static_cast<std::uint8_t>(s.traceName), 1};
    };
    const std::uint32_t init = abc.method();
    const std::uint32_t cinit = abc.method();
    const std::uint32_t iinit = abc.method();
    abc.classes.push_back({cls, object, iinit, cinit, {}, {}});
    abc.scripts.push_back({init, {{cls, 4, 1, 0}}});
    // Script: getlocal0 pushscope; getscopeobject 0; getlex Object; pushscope; getlex Object;
    // newclass 0; popscope; initproperty C; trace("script"); new C(); returnvoid.
    Bytes script{0xD0,
                 0x30,
                 0x65,
                 0x00,
                 0x60,
                 static_cast<std::uint8_t>(object),
                 0x30,
                 0x60,
                 static_cast<std::uint8_t>(object),
                 0x58,
                 0x00,
                 0x1D,
                 0x68,
                 static_cast<std::uint8_t>(cls)};
    const Bytes sayScript = say("script");
    script.insert(script.end(), sayScript.begin(), sayScript.end());
    script.insert(script.end(), {0x5D, static_cast<std::uint8_t>(cls), 0x4A,
                                 static_cast<std::uint8_t>(cls), 0x00, 0x29, 0x47});
    Bytes staticInit{0xD0, 0x30};
    const Bytes sayStatic = say("static");
    staticInit.insert(staticInit.end(), sayStatic.begin(), sayStatic.end());
    staticInit.push_back(0x47);
    Bytes ctor{0xD0, 0x30, 0xD0, 0x49, 0x00};
    const Bytes sayCtor = say("instance");
    ctor.insert(ctor.end(), sayCtor.begin(), sayCtor.end());
    ctor.push_back(0x47);
    for (auto [m, code] : {std::pair{init, script}, {cinit, staticInit}, {iinit, ctor}}) {
        avm2test::BodySpec b;
        b.method = m;
        b.code = code;
        abc.bodies.push_back(b);
    }
    EXPECT_EQ(avm2test::runAbc(abc.build()), "static\nscript\ninstance\n");
}

TEST(Interpreter, RecursionEndsInAStackOverflowError) {
    TraceScript s;
    avm2test::AbcBuilder abc = s.abc;
    const std::uint32_t init = abc.method();
    abc.scripts.push_back({init, {}});
    avm2test::BodySpec b;
    b.method = init;
    b.code = {0xD0, 0x44, 0x00, 0x00, 0x29, 0x47}; // callstatic itself, forever
    abc.bodies.push_back(b);
    const std::vector<std::uint8_t> bytes = abc.build();
    EXPECT_NE(avm2test::runAbc(bytes).find("Error #1023: Stack overflow occurred."),
              std::string::npos);
    // Whatever the call bound, the stack bound ends it before the thread's stack does.
    avm2::Limits stackOnly;
    stackOnly.maxDepth = 1u << 30;
    stackOnly.maxStackBytes = 256u << 10;
    EXPECT_NE(avm2test::runAbc(bytes, stackOnly).find("Error #1023: Stack overflow occurred."),
              std::string::npos);
}

TEST(Interpreter, AnEndlessLoopIsStoppedByTheFrameBudget) {
    TraceScript s;
    avm2test::AbcBuilder abc = s.abc;
    const std::uint32_t init = abc.method();
    abc.scripts.push_back({init, {}});
    avm2test::BodySpec b;
    b.method = init;
    b.code = {0x09, 0x10, 0xFB, 0xFF, 0xFF}; // label; jump back to the label
    abc.bodies.push_back(b);
    avm2test::FakeHost host;
    avm2::Limits limits;
    limits.budget.perFrame = std::chrono::milliseconds(50);
    avm2::Machine vm(host, limits);
    vm.beginFrame();
    const Bytes bytes = abc.build();
    EXPECT_THROW(vm.loadAbc(bytes, false), avm2::ScriptAbort);
    ASSERT_EQ(host.limits.size(), 1u);
    EXPECT_EQ(host.limits[0], "time");
}

} // namespace

namespace {

// is, as and instanceof against a class named at run time (istypelate, astypelate,
// instanceof): primitives by value, objects by class, null for a failed `as`.
TEST(Interpreter, TypeOperatorsByTable) {
    TraceScript s;
    const auto lex = [&](const char* name) {
        return static_cast<std::uint8_t>(s.abc.qname(s.publicNs, s.abc.string(name)));
    };
    const std::uint8_t array = lex("Array");
    const std::uint8_t object = lex("Object");
    const std::uint8_t integer = lex("int");
    const std::uint8_t uinteger = lex("uint");
    const std::uint8_t string = lex("String");
    const std::uint8_t error = lex("Error");
    const std::uint8_t rangeError = lex("RangeError");
    const std::uint8_t text = static_cast<std::uint8_t>(s.abc.string("5"));
    const std::vector<OpCase> cases = {
        {"[] is Array", {0x56, 0, 0x60, array, 0xB3}, "true"},
        {"[] is Object", {0x56, 0, 0x60, object, 0xB3}, "true"},
        {"{} is Array", {0x55, 0, 0x60, array, 0xB3}, "false"},
        {"5 is int", {0x24, 5, 0x60, integer, 0xB3}, "true"},
        {"-5 is uint", {0x24, 0xFB, 0x60, uinteger, 0xB3}, "false"},
        {"'5' is int", {0x2C, text, 0x60, integer, 0xB3}, "false"},
        {"null is Object", {0x20, 0x60, object, 0xB3}, "false"},
        {"'5' as String", {0x2C, text, 0x60, string, 0x87}, "5"},
        {"5 as Array", {0x24, 5, 0x60, array, 0x87}, "null"},
        {"5 as String", {0x24, 5, 0x60, string, 0x87}, "null"},
        {"RangeError is Error", {0x5D, rangeError, 0x4A, rangeError, 0, 0x60, error, 0xB3}, "true"},
        {"Error is RangeError", {0x5D, error, 0x4A, error, 0, 0x60, rangeError, 0xB3}, "false"},
        {"RangeError instanceof Error",
         {0x5D, rangeError, 0x4A, rangeError, 0, 0x60, error, 0xB1},
         "true"},
        {"{} instanceof Array", {0x55, 0, 0x60, array, 0xB1}, "false"},
    };
    for (const OpCase& c : cases) {
        EXPECT_EQ(avm2test::runAbc(s.build(c.code)), std::string(c.traced) + "\n") << c.what;
    }
}

} // namespace

namespace {

// A function closure called with fewer arguments than it declares runs with the missing
// ones undefined, as Flash runs package-level functions; it does not throw 1063.
TEST(Interpreter, ClosuresTakeFewerArgumentsThanDeclared) {
    for (const auto& [argument, traced] :
         std::vector<std::pair<Bytes, const char*>>{{{0x24, 7}, "7,"}, {{}, ","}}) {
        TraceScript s;
        const std::uint32_t closure = s.abc.method(2);
        avm2test::BodySpec body;
        body.method = closure;
        body.maxStack = 2;
        body.localCount = 3;
        body.code = {0xD1, 0xD2, 0x56, 2,
                     0x48}; // [arg1, arg2]: undefined joins as "": undefined joins as ""
        s.abc.bodies.push_back(body);
        Bytes code{0x40, static_cast<std::uint8_t>(closure), 0x20};
        code.insert(code.end(), argument.begin(), argument.end());
        code.insert(code.end(), {0x41, static_cast<std::uint8_t>(argument.empty() ? 0 : 1)});
        EXPECT_EQ(avm2test::runAbc(s.build(code)), std::string(traced) + "\n");
    }
}

} // namespace

namespace {

// newobject stores its pairs as it pops them, the last written first: enumeration meets them
// in that order, and of two pairs with one name the first written stays.
TEST(Interpreter, ObjectLiteralsStoreTheirPairsLastFirst) {
    TraceScript s;
    const std::uint32_t json = s.abc.qname(s.publicNs, s.abc.string("JSON"));
    const std::uint32_t stringify = s.abc.qname(s.publicNs, s.abc.string("stringify"));
    const std::uint32_t a = s.abc.string("a");
    const std::uint32_t b = s.abc.string("b");
    const auto literal = [&](const std::vector<std::pair<std::uint32_t, std::uint8_t>>& pairs) {
        Bytes code;
        avm2test::name(code, 0x60, json); // getlex JSON
        for (const auto& [key, value] : pairs) {
            avm2test::name(code, 0x2C, key);        // pushstring
            code.insert(code.end(), {0x24, value}); // pushbyte
        }
        avm2test::name(code, 0x55, static_cast<std::uint32_t>(pairs.size())); // newobject
        avm2test::call(code, 0x46, stringify, 1);                             // callproperty
        return avm2test::runAbc(s.build(code));
    };
    EXPECT_EQ(literal({{a, 1}, {b, 2}}), "{\"b\":2,\"a\":1}\n");
    EXPECT_EQ(literal({{a, 1}, {b, 2}, {a, 3}}), "{\"a\":1,\"b\":2}\n");
    EXPECT_EQ(literal({}), "{}\n");
}

} // namespace
