// Action blocks run on a fake stage: operators, scope and closures, paths and targets,
// exceptions, prototypes, enumeration and the built-ins that scripts lean on.

#include "FakeStage.h"

#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace avm1test {
namespace {

namespace op = swf::op;
using moviemaker::Actions;
using Lines = std::vector<std::string>;

// Small builders for the common shapes of compiled code.
Actions& getVar(Actions& a, std::string_view name) {
    return a.push(name).code(op::GetVariable);
}
Actions& setVar(Actions& a, std::string_view name, double v) {
    return a.push(name).push(v).code(op::SetVariable);
}
Actions& traceVar(Actions& a, std::string_view name) {
    return getVar(a, name).code(op::Trace);
}
Actions& traceText(Actions& a, std::string_view text) {
    return a.push(text).code(op::Trace);
}
// name(args...) with the arguments already pushed in reverse.
Actions& callFn(Actions& a, std::string_view name, int count) {
    return a.push(static_cast<double>(count)).push(name).code(op::CallFunction);
}
// for (r0 in <names on the stack>) { body }: pops names until the undefined marker.
Actions forInLoop(const Actions& body) {
    Actions head;
    head.storeRegister(0).pushNull().code(op::Equals2);
    constexpr int JumpSize = 5;
    Actions loop = head;
    loop.ifTrue(static_cast<int16_t>(body.size() + JumpSize));
    loop.raw(body.body());
    loop.jump(
        static_cast<int16_t>(-static_cast<int>(head.size() + JumpSize + body.size() + JumpSize)));
    return loop;
}

TEST(Script, ArithmeticAndStringConcatenation) {
    FakeStage stage(7);
    Actions a;
    a.push(2.0).push(3.0).code(op::Add2).code(op::Trace);
    a.push("2").push(3.0).code(op::Add2).code(op::Trace);
    a.push(7.0).push(2.0).code(op::Modulo).code(op::Trace);
    a.push(1.0).push(0.0).code(op::Divide).code(op::Trace);
    a.push(-1.0).push(28.0).code(op::BitURShift).code(op::Trace);
    a.push("10").push(9.0).code(op::Less2).code(op::Trace); // number comparison
    a.push("10").push("9").code(op::Less2).code(op::Trace); // string comparison
    a.pushUndefined().pushNull().code(op::Equals2).code(op::Trace);
    a.pushUndefined().pushNull().code(op::StrictEquals).code(op::Trace);
    a.push("1").push(1.0).code(op::Equals2).code(op::Trace);
    a.push(std::nan("")).push(1.0).code(op::Less2).code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"5", "23", "1", "Infinity", "15", "false", "true",
                                           "true", "false", "true", "undefined"}));
}

TEST(Script, Version4DividesByZeroAsErrorOutsideFunctions) {
    FakeStage stage(4);
    Actions body;
    body.push(1.0).push(0.0).code(op::Divide).code(op::Trace);
    Actions a;
    a.push(1.0).push(0.0).code(op::Divide).code(op::Trace);
    // Functions came with version 5 and run by its rules.
    a.defineFunction("f", {}, body);
    callFn(a, "f", 0).code(op::Pop);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"#ERROR#", "Infinity"}));
}

TEST(Script, Version4ComparisonsPushBooleansPrintedAsDigits) {
    FakeStage stage(4);
    Actions a;
    a.push(1.0).push(2.0).code(op::Less).code(op::Trace);
    a.push(1.0).push(2.0).code(op::Less).code(op::TypeOf).code(op::Trace);
    a.push(1.0).push(1.0).code(op::Equals).pushBool(true).code(op::StrictEquals).code(op::Trace);
    // The global names came with version 5: NaN is an unset variable, 0 in arithmetic.
    getVar(a, "NaN").push(0.0).code(op::Equals).code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"1", "boolean", "1", "1"}));
}

TEST(Script, ObjectOperandsOfAdditionAndComparison) {
    FakeStage stage(7);
    // o = {toString: function () { return "X"; }}; its valueOf gives the object itself.
    Actions toString;
    toString.push("X").code(op::Return);
    Actions valueOf;
    traceText(valueOf, "valueOf");
    valueOf.push(1.0).code(op::Return);
    Actions a;
    a.push("o").push("toString").defineFunction("", {}, toString).push(1.0);
    a.code(op::InitObject).code(op::SetVariable);
    a.push("v").push("valueOf").defineFunction("", {}, valueOf).push(1.0);
    a.code(op::InitObject).code(op::SetVariable);
    getVar(a, "o").push("s").code(op::Add2).code(op::Trace);
    getVar(a, "o");
    getVar(a, "o").code(op::Add2).code(op::Trace);
    // An object left an object by valueOf compares false without converting the other side.
    getVar(a, "o");
    getVar(a, "v").code(op::Less2).code(op::Trace);
    getVar(a, "v");
    getVar(a, "o").code(op::Less2).code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"Xs", "NaN", "false", "valueOf", "false"}));
}

TEST(Script, RegistersPastAFunctionsOwnAreTheSharedOnes) {
    FakeStage stage(7);
    // function f() with two registers of its own: r1 is its, r3 the shared one.
    Actions body;
    body.push(7.0).storeRegister(1).storeRegister(3).code(op::Pop);
    body.pushRegister(3).code(op::Trace);
    Actions a;
    a.push(3.0).storeRegister(3).storeRegister(1).code(op::Pop);
    a.defineFunction2("f", 2, 0, {}, body);
    callFn(a, "f", 0).code(op::Pop);
    a.pushRegister(1).code(op::Trace);
    a.pushRegister(3).code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"7", "3", "7"}));
}

TEST(Script, StringActionsCountUtf16Units) {
    FakeStage stage(7);
    Actions a;
    a.push("h\xC3\xA9llo").code(op::MBStringLength).code(op::Trace);
    a.push("h\xC3\xA9llo").push(2.0).push(3.0).code(op::MBStringExtract).code(op::Trace);
    a.push(233.0).code(op::MBAsciiToChar).code(op::Trace);
    a.push("\xC3\xA9").code(op::MBCharToAscii).code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"5", "\xC3\xA9ll", "\xC3\xA9", "233"}));
}

TEST(Script, TraceSplitsLinesAndPrintsUndefined) {
    FakeStage stage(6);
    Actions a;
    a.push("a\rb").code(op::Trace);
    a.pushUndefined().code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"a", "b", "undefined"}));
}

TEST(Script, ClosuresFromVersion6) {
    // function make() { var n = 10; return function () { return n++; }; }
    // f = make(); f(); trace(f());
    auto script = [](int version) {
        FakeStage stage(version);
        Actions inner;
        getVar(inner, "n").code(op::PushDuplicate).code(op::Increment);
        inner.push("n").code(op::StackSwap).code(op::SetVariable).code(op::Return);
        Actions make;
        make.push("n").push(10.0).code(op::DefineLocal);
        make.defineFunction("", {}, inner).code(op::Return);
        Actions a;
        a.defineFunction("make", {}, make);
        callFn(a, "make", 0).push("f").code(op::StackSwap).code(op::SetVariable);
        callFn(a, "f", 0).code(op::Pop);
        callFn(a, "f", 0).code(op::Trace);
        traceVar(a, "n");
        return stage.run(a.bytes());
    };
    EXPECT_EQ(script(6), (Lines{"11", "undefined"}));
    // Version 5 functions see the timeline, not the defining call: n is unknown, and the
    // assignment lands on the timeline.
    EXPECT_EQ(script(5), (Lines{"1", "2"}));
}

TEST(Script, UndeclaredAssignmentInAFunctionLandsOnTheTimeline) {
    FakeStage stage(7);
    Actions body;
    body.push("local").push(1.0).code(op::DefineLocal);
    setVar(body, "global", 2.0);
    Actions a;
    a.defineFunction("f", {}, body);
    callFn(a, "f", 0).code(op::Pop);
    traceVar(a, "local");
    traceVar(a, "global");
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"undefined", "2"}));
}

TEST(Script, DefineFunction2PreloadsRegisters) {
    FakeStage stage(7);
    // function f(a /*r3*/, b /*by name*/) with this in r1 and arguments in r2.
    Actions body;
    body.pushRegister(1).code(op::Trace);
    body.pushRegister(2).code(op::Trace);
    body.pushRegister(3).code(op::Trace);
    traceVar(body, "b");
    getVar(body, "this").code(op::Trace); // preloaded: not available by name
    Actions a;
    a.defineFunction2("f", 4, 0x1 | 0x4, {{3, "a"}, {0, "b"}}, body);
    a.push("B").push("A").push(2.0).push("f").code(op::CallFunction).code(op::Pop);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"_level0", "A,B", "A", "B", "_level0"}));
}

TEST(Script, PathNamedLocalsStayLocalInFunctions) {
    FakeStage stage(6);
    // function f() { var "_root.v" = 1; trace(_root.v) }: the local takes the whole text
    // as its name and the root gets no v.
    Actions body;
    body.push("_root.v").push(1.0).code(op::DefineLocal);
    body.push("_root.v").code(op::GetVariable).code(op::Trace);
    Actions a;
    a.defineFunction("f", {}, body);
    callFn(a, "f", 0).code(op::Pop);
    traceVar(a, "v");
    // On a timeline the path is followed.
    a.push("/:w").push(2.0).code(op::DefineLocal);
    traceVar(a, "w");
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"undefined", "undefined", "2"}));
}

// An assignment without a path stops at the timeline: scopes past it, _global among them,
// are read but never written, so a global of the same name (of any case up to version 6)
// is shadowed, not replaced; a function body assigns the timeline it was defined on.
TEST(Script, AssignmentsStopAtTheTimelineAndShadowGlobals) {
    for (int version : {6, 7}) {
        SCOPED_TRACE(version);
        FakeStage stage(version);
        Actions setter;
        setter.push(version == 6 ? "g" : "G").push("from function").code(op::SetVariable);
        Actions a;
        getVar(a, "_global").push("G").push("global").code(op::SetMember);
        a.push(version == 6 ? "g" : "G").push("timeline").code(op::SetVariable);
        a.traceValue("_global.G");
        traceVar(a, "G");
        a.push("G").code(op::Delete2).code(op::Pop);
        traceVar(a, "G");
        a.defineFunction("f", {}, setter);
        callFn(a, "f", 0).code(op::Pop);
        a.traceValue("_global.G");
        a.traceValue("_root.G");
        EXPECT_EQ(stage.run(a.bytes()),
                  (Lines{"global", "timeline", "global", "global", "from function"}));
    }
}

TEST(Script, UnknownTargetsStopNoTimeline) {
    FakeStage stage(6);
    FakeClip* clip = stage.addClip(stage.rootClip, "clip");
    Actions a;
    a.setTarget("nowhere").stop().setTarget("");
    a.setTarget("/clip").play().setTarget("");
    clip->playing = false;
    stage.rootClip->playing = true;
    stage.run(a.bytes(), clip);
    EXPECT_TRUE(stage.rootClip->playing);
    EXPECT_TRUE(clip->playing);
}

TEST(Script, SuperCalledByNameRunsTheParentConstructor) {
    FakeStage stage(7);
    // function Base() { trace("base " + this.tag) }  function Sub() { super(); }
    // Sub extends Base; new Sub() with tag set on Sub's prototype.
    Actions base;
    base.push("base ");
    getVar(base, "this").push("tag").code(op::GetMember).code(op::Add2).code(op::Trace);
    Actions sub;
    callFn(sub, "super", 0).code(op::Pop);
    Actions a;
    a.defineFunction("Base", {}, base).defineFunction("Sub", {}, sub);
    getVar(a, "Sub");
    getVar(a, "Base").code(op::Extends);
    getVar(a, "Sub").push("prototype").code(op::GetMember).push("tag").push("sub");
    a.code(op::SetMember);
    a.push(0.0).push("Sub").code(op::NewObject).code(op::Pop);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"base sub"}));
}

TEST(Script, TryCatchFinallyAndThrowAcrossCalls) {
    FakeStage stage(7);
    Actions thrower;
    thrower.push("boom").code(op::Throw);
    Actions tryBody;
    callFn(tryBody, "thrower", 0);
    traceText(tryBody, "not reached");
    Actions catchBody;
    traceVar(catchBody, "e");
    Actions finallyBody;
    traceText(finallyBody, "finally");
    Actions a;
    a.defineFunction("thrower", {}, thrower);
    a.tryCatch(tryBody, "e", catchBody, finallyBody);
    traceText(a, "after");
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"boom", "finally", "after"}));
}

TEST(Script, FinallyRunsOnReturnAndUncaughtThrowEndsTheBlockOnly) {
    FakeStage stage(7);
    Actions tryBody;
    tryBody.push("from try").code(op::Return);
    Actions finallyBody;
    traceText(finallyBody, "finally");
    Actions fn;
    fn.tryCatch(tryBody, "", Actions(), finallyBody);
    Actions a;
    a.defineFunction("f", {}, fn);
    callFn(a, "f", 0).code(op::Trace);
    a.push("uncaught").code(op::Throw);
    traceText(a, "not reached");
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"finally", "from try"}));
    Actions next;
    traceText(next, "next block runs");
    EXPECT_EQ(stage.run(next.bytes()), (Lines{"next block runs"}));
}

TEST(Script, EnumerationGivesTheMostRecentFirstAndInheritedBeforeOwn) {
    FakeStage stage(7);
    // o = {a:1, b:2}; c = {__proto__: o}; c.x = 3; for (k in c) trace(k);
    Actions a;
    a.push("o").push("a").push(1.0).push("b").push(2.0).push(2.0).code(op::InitObject);
    a.code(op::SetVariable);
    a.push("c").push("__proto__");
    getVar(a, "o").push(1.0).code(op::InitObject).code(op::SetVariable);
    getVar(a, "c").push("x").push(3.0).code(op::SetMember);
    getVar(a, "c").code(op::Enumerate2);
    Actions body;
    body.pushRegister(0).code(op::Trace);
    a.raw(forInLoop(body).body());
    // a and b are stored b first (the order InitObject pops them); Flash lists the chain
    // own names first in insertion order and hands them out from the end.
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"a", "b", "x"}));
}

// Compilers end the try and catch parts with a branch to the finally part: that is the
// block's end, and finally runs once, thrown or not.
TEST(Script, BranchesToFinallyRunItOnce) {
    for (bool throws : {false, true}) {
        FakeStage stage(7);
        Actions catchBody;
        traceVar(catchBody, "e");
        catchBody.jump(0);
        Actions tryBody;
        if (throws) {
            tryBody.push("thrown").code(op::Throw);
        }
        traceText(tryBody, "try");
        tryBody.jump(static_cast<int16_t>(catchBody.size()));
        Actions finallyBody;
        traceText(finallyBody, "finally");
        Actions a;
        a.tryCatch(tryBody, "e", catchBody, finallyBody);
        traceText(a, "after");
        const Lines expected =
            throws ? Lines{"thrown", "finally", "after"} : Lines{"try", "finally", "after"};
        EXPECT_EQ(stage.run(a.bytes()), expected) << throws;
    }
}

// Reading a member of a string wraps it with whatever _global.String is at the time.
TEST(Script, StringWrapperComesFromTheCurrentStringClass) {
    FakeStage stage(7);
    Actions ctor;
    ctor.push("this").code(op::GetVariable).push("id").push("mine").code(op::SetMember);
    Actions a;
    a.push("text").push("abc").code(op::SetVariable);
    a.push("text").code(op::GetVariable).push("id").code(op::GetMember).code(op::Trace);
    a.defineFunction("Mine", {}, ctor);
    a.push("_global").code(op::GetVariable).push("String").push("Mine").code(op::GetVariable);
    a.code(op::SetMember);
    a.push("text").code(op::GetVariable).push("id").code(op::GetMember).code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"undefined", "mine"}));

    // A wrapper class that reads a member of a string itself recurses until the call depth
    // runs out; the block ends and the next one runs.
    FakeStage deep(7);
    Actions reads;
    reads.push("this").code(op::GetVariable).push("n");
    reads.push("abc").push("length").code(op::GetMember).code(op::SetMember);
    Actions b;
    b.defineFunction("Reads", {}, reads);
    b.push("_global").code(op::GetVariable).push("String").push("Reads").code(op::GetVariable);
    b.code(op::SetMember);
    b.push("abc").push("n").code(op::GetMember).code(op::Trace);
    deep.run(b.bytes());
    Actions after;
    traceText(after, "after");
    EXPECT_EQ(deep.run(after.bytes()), (Lines{"after"}));
}

// A function names Function as its own constructor; Extends leaves the new prototype's
// `constructor` inherited and records __constructor__ from version 6; a frame has no super.
TEST(Script, FunctionsAndExtendsRecordTheirConstructors) {
    for (int version : {5, 6, 7}) {
        FakeStage stage(version);
        Actions a;
        a.defineFunction("Base", {}, Actions());
        a.defineFunction("Derived", {}, Actions());
        a.push("Derived").code(op::GetVariable).push("Base").code(op::GetVariable);
        a.code(op::Extends);
        auto own = [&](std::string_view object, bool proto, std::string_view name) {
            a.push(name).push(1.0).push(object).code(op::GetVariable);
            if (proto) {
                a.push("prototype").code(op::GetMember);
            }
            a.push("hasOwnProperty").code(op::CallMethod).code(op::Trace);
        };
        own("Derived", false, "constructor");
        own("Derived", true, "constructor");
        own("Derived", true, "__constructor__");
        a.push("super").code(op::GetVariable).code(op::TypeOf).code(op::Trace);
        // Version 5 has no hasOwnProperty: its calls give undefined.
        const Lines expected = version < 6
                                   ? Lines{"undefined", "undefined", "undefined", "undefined"}
                                   : Lines{"true", "false", "true", "undefined"};
        EXPECT_EQ(stage.run(a.bytes()), expected) << version;
    }
}

// Adding Dates: by their text from version 6, by their time in version 5.
TEST(Script, DatesAddAsTextFromVersionSix) {
    for (int version : {5, 6, 8}) {
        FakeStage stage(version);
        Actions a;
        a.push(1.0).push(1.0).push("Date").code(op::NewObject);
        a.push(2.0).push(1.0).push("Date").code(op::NewObject);
        a.code(op::Add2).code(op::TypeOf).code(op::Trace);
        const Lines expected = version >= 6 ? Lines{"string"} : Lines{"number"};
        EXPECT_EQ(stage.run(a.bytes()), expected) << version;
    }
}

// _global came with version 6: version 5 reads it as an unset name, by itself, on the
// timeline and in a path.
TEST(Script, GlobalIsANameFromVersionSix) {
    for (int version : {5, 6}) {
        FakeStage stage(version);
        Actions a;
        a.push("_global").code(op::GetVariable).code(op::TypeOf).code(op::Trace);
        a.push("_root").code(op::GetVariable).push("_global").code(op::GetMember);
        a.code(op::TypeOf).code(op::Trace);
        a.push("_global.Math").code(op::GetVariable).code(op::TypeOf).code(op::Trace);
        const Lines expected = version >= 6 ? Lines{"object", "object", "object"}
                                            : Lines{"undefined", "undefined", "undefined"};
        EXPECT_EQ(stage.run(a.bytes()), expected) << version;
    }
}

} // namespace
} // namespace avm1test

namespace avm1test {
namespace {

// `new C` for a class whose prototype is a String object or an array: the String
// constructor run by super(text) makes the new object that String, and the new object of
// an array class is an array whose length follows its indexes.
TEST(Script, ClassesOfStringAndArrayPrototypesMakeTheirKind) {
    for (int version : {6, 7, 8}) {
        FakeStage stage(version);
        Actions superCall;
        superCall.push("s").code(op::GetVariable).push(1.0).push("super").code(op::GetVariable);
        superCall.pushUndefined().code(op::CallMethod).code(op::Pop);
        Actions a;
        a.defineFunction("MyString", {"s"}, superCall);
        a.push("MyString").code(op::GetVariable).push("prototype");
        a.push("proto").push(1.0).push("String").code(op::NewObject).code(op::SetMember);
        a.push("ms").push("abc").push(1.0).push("MyString").code(op::NewObject);
        a.code(op::SetVariable);
        a.defineFunction("MyArray", {}, Actions());
        a.push("MyArray").code(op::GetVariable).push("prototype");
        a.push(0.0).push("Array").code(op::NewObject).code(op::SetMember);
        a.push("ma").push(0.0).push("MyArray").code(op::NewObject).code(op::SetVariable);
        a.push("ma").code(op::GetVariable).push("5").push(1.0).code(op::SetMember);
        // Without super() a String class's object has no text of its own.
        a.defineFunction("Quiet", {}, Actions());
        a.push("Quiet").code(op::GetVariable).push("prototype");
        a.push("proto").push(1.0).push("String").code(op::NewObject).code(op::SetMember);
        a.push("qs").push(0.0).push("Quiet").code(op::NewObject).code(op::SetVariable);
        stage.run(a.bytes());
        avm1::Machine& vm = stage.vm;
        avm1::Object* ms = vm.get(stage.rootClip, "ms").asObject();
        ASSERT_NE(ms, nullptr) << version;
        EXPECT_EQ(vm.toNumber(vm.get(ms, "length")), 3) << version;
        EXPECT_EQ(vm.toString(vm.callMethod(ms, "toUpperCase", {})).str(), "ABC") << version;
        avm1::Object* ma = vm.get(stage.rootClip, "ma").asObject();
        ASSERT_NE(ma, nullptr) << version;
        EXPECT_EQ(vm.toNumber(vm.get(ma, "length")), 6) << version;
        avm1::Object* qs = vm.get(stage.rootClip, "qs").asObject();
        ASSERT_NE(qs, nullptr) << version;
        avm1::Value held;
        EXPECT_FALSE(qs->primitiveValue(held)) << version;
    }
}

// A constructor's prototype that is no object is still the new object's __proto__ value.
// A lookup that walks past 256 prototype links ends the script that made it; the next
// block runs. Lookups that end sooner, found or not, answer as usual.
TEST(Script, APrototypeChainPast256LinksEndsTheScript) {
    const struct {
        const char* what;
        int links; // objects chained below the one read; 0 makes a cycle of two
        const char* name;
        Lines expected;
    } table[] = {
        {"a cycle, name missing", 0, "missing", {"before"}},
        {"a cycle, name found on the object itself", 0, "own", {"before", "1", "after"}},
        {"255 links", 255, "missing", {"before", "undefined", "after"}},
        {"256 links", 256, "missing", {"before"}},
        {"a long chain, name found near its start", 400, "own", {"before", "1", "after"}},
    };
    for (const auto& row : table) {
        FakeStage stage(7);
        avm1::Object* top = stage.vm.newObject();
        stage.vm.set(top, "own", avm1::Value(1));
        if (row.links == 0) {
            avm1::Object* other = stage.vm.newObject();
            top->setProto(other);
            other->setProto(top);
        } else {
            avm1::Object* last = top;
            for (int i = 0; i < row.links; ++i) {
                avm1::Object* next = stage.vm.newObject();
                last->setProto(next);
                last = next;
            }
            last->setProto(nullptr);
        }
        stage.vm.set(stage.vm.global(), "top", avm1::Value(top));
        Actions a;
        traceText(a, "before");
        getVar(a, "top").push(row.name).code(op::GetMember).code(op::Trace);
        traceText(a, "after");
        EXPECT_EQ(stage.run(a.bytes()), row.expected) << row.what;
        // Outside any script the lookup just finds nothing.
        EXPECT_TRUE(stage.vm.get(top, avm1::Str("missing")).isUndefined()) << row.what;
        Actions next;
        traceText(next, "next");
        EXPECT_EQ(stage.run(next.bytes()), Lines{"next"}) << row.what;
    }
}

TEST(Script, PrimitivePrototypeBecomesTheProtoValue) {
    FakeStage stage(7);
    Actions a;
    a.defineFunction("F", {}, Actions());
    a.push("F").code(op::GetVariable).push("prototype").push(5.0).code(op::SetMember);
    a.push("x").push(0.0).push("F").code(op::NewObject).code(op::SetVariable);
    a.push("x").code(op::GetVariable).push("__proto__").code(op::GetMember).code(op::Trace);
    a.push("x").code(op::GetVariable).push("toString").code(op::GetMember).code(op::TypeOf);
    a.code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"5", "undefined"}));
}

} // namespace
} // namespace avm1test
