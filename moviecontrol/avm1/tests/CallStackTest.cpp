// What a function leaves on the stack it shares with its caller, by the way it was called.

#include "FakeStage.h"

#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

namespace avm1test {
namespace {

namespace op = swf::op;
using moviemaker::Actions;
using Lines = std::vector<std::string>;

class CallStack : public ::testing::TestWithParam<int> {};

// `f` pushes "a" and "b" and runs `tail`; `g` calls f and leaves "g". The block leaves
// "keep", makes the call, drops its value and traces three values off the stack.
TEST_P(CallStack, WhatAFunctionLeavesStaysWhereACallActionCalledIt) {
    const struct {
        const char* what;
        const char* tail; // "return", "underflow" or nothing
        uint8_t call;     // the action that calls, on "f" or "g"
        const char* callee;
        Lines expected;
    } table[] = {
        {"CallFunction", "", op::CallFunction, "f", {"b", "a", "keep"}},
        {"the value returned stays above", "return", op::CallFunction, "f", {"b", "a", "keep"}},
        {"NewObject", "", op::NewObject, "f", {"b", "a", "keep"}},
        {"CallMethod", "", op::CallMethod, "f", {"b", "a", "keep"}},
        // Popping past its own values finds nothing of its caller's.
        {"underflow",
         "underflow",
         op::CallFunction,
         "f",
         {"undefined", "keep", "undefined", "undefined"}},
        // Nested calls hand leftovers on one level at a time.
        {"nested", "", op::CallFunction, "g", {"g", "b", "a"}},
    };
    for (const auto& row : table) {
        FakeStage stage(GetParam());
        Actions body;
        body.push("a").push("b");
        if (std::string_view(row.tail) == "return") {
            body.push("r").code(op::Return);
        } else if (std::string_view(row.tail) == "underflow") {
            body.code(op::Pop).code(op::Pop).code(op::Pop).code(op::Trace);
        }
        Actions outer;
        outer.push(0.0).push("f").code(op::CallFunction).code(op::Pop).push("g");
        Actions a;
        a.push("f").defineFunction("", {}, body).code(op::SetVariable);
        a.push("g").defineFunction("", {}, outer).code(op::SetVariable);
        a.push("keep").push(0.0);
        if (row.call == op::CallMethod) {
            a.push(row.callee).code(op::GetVariable).pushUndefined();
        } else {
            a.push(row.callee);
        }
        a.code(row.call).code(op::Pop).code(op::Trace).code(op::Trace).code(op::Trace);
        EXPECT_EQ(stage.run(a.bytes()), row.expected) << row.what;
    }
}

// A function a built-in calls cleans up after itself.
TEST_P(CallStack, FunctionsBuiltInsCallLeaveNothing) {
    if (GetParam() < 6) {
        GTEST_SKIP() << "call came with version 6";
    }
    FakeStage stage(GetParam());
    Actions body;
    body.push("a");
    Actions a;
    a.push("f").defineFunction("", {}, body).code(op::SetVariable);
    a.push("keep").push(0.0).push("f").code(op::GetVariable).push("call").code(op::CallMethod);
    a.code(op::Pop).code(op::Trace).code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), (Lines{"keep", "undefined"}));
}

INSTANTIATE_TEST_SUITE_P(Versions, CallStack, ::testing::Values(5, 7, 10));

} // namespace
} // namespace avm1test
