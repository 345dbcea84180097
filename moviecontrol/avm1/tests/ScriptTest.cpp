// Action blocks run on a fake stage: operators, scope and closures, paths and targets,
// exceptions, prototypes, enumeration and the built-ins that scripts lean on.

#include "FakeStage.h"

#include "swf/Actions.h"
#include "testsupport/Actions.h"

#include <gtest/gtest.h>

#include <cmath>

namespace avm1test {
namespace {

namespace op = swf::op;
using swftest::Actions;
using Lines = std::vector<std::string>;

// Small builders for the common shapes of compiled code.
Actions& getVar(Actions& a, std::string_view name) {
    return a.push(name).op(op::GetVariable);
}
Actions& setVar(Actions& a, std::string_view name, double v) {
    return a.push(name).push(v).op(op::SetVariable);
}
Actions& traceVar(Actions& a, std::string_view name) {
    return getVar(a, name).op(op::Trace);
}
Actions& traceText(Actions& a, std::string_view text) {
    return a.push(text).op(op::Trace);
}
// name(args...) with the arguments already pushed in reverse.
Actions& callFn(Actions& a, std::string_view name, int count) {
    return a.push(static_cast<double>(count)).push(name).op(op::CallFunction);
}
// The bytes of `b` without its End, to splice into another block.
std::vector<std::uint8_t> code(const Actions& b) {
    std::vector<std::uint8_t> bytes = b.bytes();
    bytes.pop_back();
    return bytes;
}
// for (r0 in <names on the stack>) { body }: pops names until the undefined marker.
Actions forInLoop(const Actions& body) {
    Actions head;
    head.storeRegister(0).pushNull().op(op::Equals2);
    constexpr int JumpSize = 5;
    Actions loop = head;
    loop.ifTrue(static_cast<int16_t>(body.size() + JumpSize));
    loop.raw(code(body));
    loop.jump(
        static_cast<int16_t>(-static_cast<int>(head.size() + JumpSize + body.size() + JumpSize)));
    return loop;
}

TEST(Script, ArithmeticAndStringConcatenation) {
    FakeStage stage(7);
    Actions a;
    a.push(2.0).push(3.0).op(op::Add2).op(op::Trace);
    a.push("2").push(3.0).op(op::Add2).op(op::Trace);
    a.push(7.0).push(2.0).op(op::Modulo).op(op::Trace);
    a.push(1.0).push(0.0).op(op::Divide).op(op::Trace);
    a.push(-1.0).push(28.0).op(op::BitURShift).op(op::Trace);
    a.push("10").push(9.0).op(op::Less2).op(op::Trace); // number comparison
    a.push("10").push("9").op(op::Less2).op(op::Trace); // string comparison
    a.pushUndefined().pushNull().op(op::Equals2).op(op::Trace);
    a.pushUndefined().pushNull().op(op::StrictEquals).op(op::Trace);
    a.push("1").push(1.0).op(op::Equals2).op(op::Trace);
    a.push(std::nan("")).push(1.0).op(op::Less2).op(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"5", "23", "1", "Infinity", "15", "false", "true",
                                           "true", "false", "true", "undefined"}));
}

TEST(Script, Version4DividesByZeroAsError) {
    FakeStage stage(4);
    Actions a;
    a.push(1.0).push(0.0).op(op::Divide).op(op::Trace);
    a.push(1.0).push(2.0).op(op::Less).op(op::Trace); // booleans are numbers in version 4
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"#ERROR#", "1"}));
}

TEST(Script, StringActionsCountUtf16Units) {
    FakeStage stage(7);
    Actions a;
    a.push("h\xC3\xA9llo").op(op::MBStringLength).op(op::Trace);
    a.push("h\xC3\xA9llo").push(2.0).push(3.0).op(op::MBStringExtract).op(op::Trace);
    a.push(233.0).op(op::MBAsciiToChar).op(op::Trace);
    a.push("\xC3\xA9").op(op::MBCharToAscii).op(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"5", "\xC3\xA9ll", "\xC3\xA9", "233"}));
}

TEST(Script, TraceSplitsLinesAndPrintsUndefined) {
    FakeStage stage(6);
    Actions a;
    a.push("a\rb").op(op::Trace);
    a.pushUndefined().op(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"a", "b", "undefined"}));
}

TEST(Script, ClosuresFromVersion6) {
    // function make() { var n = 10; return function () { return n++; }; }
    // f = make(); f(); trace(f());
    auto script = [](int version) {
        FakeStage stage(version);
        Actions inner;
        getVar(inner, "n").op(op::PushDuplicate).op(op::Increment);
        inner.push("n").op(op::StackSwap).op(op::SetVariable).op(op::Return);
        Actions make;
        make.push("n").push(10.0).op(op::DefineLocal);
        make.defineFunction("", {}, inner).op(op::Return);
        Actions a;
        a.defineFunction("make", {}, make);
        callFn(a, "make", 0).push("f").op(op::StackSwap).op(op::SetVariable);
        callFn(a, "f", 0).op(op::Pop);
        callFn(a, "f", 0).op(op::Trace);
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
    body.push("local").push(1.0).op(op::DefineLocal);
    setVar(body, "global", 2.0);
    Actions a;
    a.defineFunction("f", {}, body);
    callFn(a, "f", 0).op(op::Pop);
    traceVar(a, "local");
    traceVar(a, "global");
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"undefined", "2"}));
}

TEST(Script, DefineFunction2PreloadsRegisters) {
    FakeStage stage(7);
    // function f(a /*r3*/, b /*by name*/) with this in r1 and arguments in r2.
    Actions body;
    body.pushRegister(1).op(op::Trace);
    body.pushRegister(2).op(op::Trace);
    body.pushRegister(3).op(op::Trace);
    traceVar(body, "b");
    getVar(body, "this").op(op::Trace); // preloaded: not available by name
    Actions a;
    a.defineFunction2("f", 4, 0x1 | 0x4, {{3, "a"}, {0, "b"}}, body);
    a.push("B").push("A").push(2.0).push("f").op(op::CallFunction).op(op::Pop);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"_level0", "A,B", "A", "B", "_level0"}));
}

TEST(Script, TryCatchFinallyAndThrowAcrossCalls) {
    FakeStage stage(7);
    Actions thrower;
    thrower.push("boom").op(op::Throw);
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
    tryBody.push("from try").op(op::Return);
    Actions finallyBody;
    traceText(finallyBody, "finally");
    Actions fn;
    fn.tryCatch(tryBody, "", Actions(), finallyBody);
    Actions a;
    a.defineFunction("f", {}, fn);
    callFn(a, "f", 0).op(op::Trace);
    a.push("uncaught").op(op::Throw);
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
    a.push("o").push("a").push(1.0).push("b").push(2.0).push(2.0).op(op::InitObject);
    a.op(op::SetVariable);
    a.push("c").push("__proto__");
    getVar(a, "o").push(1.0).op(op::InitObject).op(op::SetVariable);
    getVar(a, "c").push("x").push(3.0).op(op::SetMember);
    getVar(a, "c").op(op::Enumerate2);
    Actions body;
    body.pushRegister(0).op(op::Trace);
    a.raw(code(forInLoop(body)));
    // a and b are stored b first (the order InitObject pops them); Flash lists the chain
    // own names first in insertion order and hands them out from the end.
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"a", "b", "x"}));
}

} // namespace
} // namespace avm1test
