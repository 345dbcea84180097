// The actions the table compiler emits for each version, read back with the player's own
// action reader: operator choice by version, literal pushes, and branches that land on
// action boundaries.

#include "Compiler.h"
#include "Parser.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace scriptrules {
namespace {

namespace op = swf::op;

std::vector<uint8_t> codes(std::string_view source, uint8_t version) {
    const auto bytes = compileScript(source, version).bytes();
    const auto block = swf::readActionBlock(bytes);
    EXPECT_FALSE(block.truncated);
    std::vector<uint8_t> out;
    out.reserve(block.actions.size());
    for (const auto& a : block.actions) {
        out.push_back(a.code);
    }
    return out;
}

// Every If and Jump lands on an action or the block's end.
void expectBranchesLand(std::string_view source, uint8_t version) {
    const auto bytes = compileScript(source, version).bytes();
    const auto block = swf::readActionBlock(bytes);
    std::vector<long> starts;
    for (const auto& a : block.actions) {
        starts.push_back(a.offset);
    }
    starts.push_back(static_cast<long>(bytes.size() - 1)); // the closing End
    for (const auto& a : block.actions) {
        if (a.code != op::If && a.code != op::Jump) {
            continue;
        }
        ASSERT_EQ(a.payload.size(), 2U);
        const auto offset = static_cast<int16_t>(a.payload[0] | (a.payload[1] << 8));
        const long target = static_cast<long>(a.offset) + 5 + offset;
        EXPECT_NE(std::find(starts.begin(), starts.end(), target), starts.end())
            << source << " branch at " << a.offset << " to " << target;
    }
}

using Codes = std::vector<uint8_t>;

TEST(ScriptCompiler, OperatorsFollowTheVersion) {
    EXPECT_EQ(codes("a + b;", 4),
              (Codes{op::Push, op::GetVariable, op::Push, op::GetVariable, op::Add, op::Pop}));
    EXPECT_EQ(codes("a + b;", 5),
              (Codes{op::Push, op::GetVariable, op::Push, op::GetVariable, op::Add2, op::Pop}));
    EXPECT_EQ(codes("1 == 2;", 4), (Codes{op::Push, op::Push, op::Equals, op::Pop}));
    EXPECT_EQ(codes("1 == 2;", 6), (Codes{op::Push, op::Push, op::Equals2, op::Pop}));
    EXPECT_EQ(codes("1 > 2;", 5), (Codes{op::Push, op::Push, op::StackSwap, op::Less2, op::Pop}));
    EXPECT_EQ(codes("1 > 2;", 6), (Codes{op::Push, op::Push, op::Greater, op::Pop}));
    EXPECT_EQ(codes("1 <= 2;", 6), (Codes{op::Push, op::Push, op::Greater, op::Not, op::Pop}));
    EXPECT_EQ(codes("1 >= 2;", 4), (Codes{op::Push, op::Push, op::Less, op::Not, op::Pop}));
    EXPECT_EQ(codes("1 !== 2;", 6),
              (Codes{op::Push, op::Push, op::StrictEquals, op::Not, op::Pop}));
    EXPECT_EQ(codes("1 >>> 2;", 5), (Codes{op::Push, op::Push, op::BitURShift, op::Pop}));
    EXPECT_EQ(codes("~1;", 5), (Codes{op::Push, op::Push, op::BitXor, op::Pop}));
    EXPECT_EQ(codes("typeof x;", 5), (Codes{op::Push, op::GetVariable, op::TypeOf, op::Pop}));
}

TEST(ScriptCompiler, FlashFourStringOperatorsAndFunctions) {
    EXPECT_EQ(codes("a add b;", 4), (Codes{op::Push, op::GetVariable, op::Push, op::GetVariable,
                                           op::StringAdd, op::Pop}));
    EXPECT_EQ(codes("1 ne 2;", 6), (Codes{op::Push, op::Push, op::StringEquals, op::Not, op::Pop}));
    EXPECT_EQ(codes("1 gt 2;", 6), (Codes{op::Push, op::Push, op::StringGreater, op::Pop}));
    EXPECT_EQ(codes("1 gt 2;", 5),
              (Codes{op::Push, op::Push, op::StackSwap, op::StringLess, op::Pop}));
    EXPECT_EQ(codes("1 le 2;", 4), (Codes{op::Push, op::Push, op::StringLess, op::Not, op::Pop}));
    EXPECT_EQ(codes("trace(substring(\"abc\", 1, 2));", 4),
              (Codes{op::Push, op::Push, op::Push, op::StringExtract, op::Trace}));
    EXPECT_EQ(codes("trace(int(x));", 4),
              (Codes{op::Push, op::GetVariable, op::ToInteger, op::Trace}));
    EXPECT_EQ(codes("trace(mbord(\"a\"));", 6), (Codes{op::Push, op::MBCharToAscii, op::Trace}));
    // Other argument counts are ordinary calls.
    EXPECT_EQ(codes("trace(int());", 6), (Codes{op::Push, op::Push, op::CallFunction, op::Trace}));
}

// The global loading functions are GetURL2 with the flags the authoring tool writes: 0x40
// into a target, 0x80 for variables, the method in the low bits; levels by name.
TEST(ScriptCompiler, LoadingFunctionsAreGetUrl2) {
    const struct {
        const char* source;
        uint8_t flags;
    } cases[] = {
        {"loadMovie(\"a.swf\", \"t\");", 0x40},
        {"loadMovie(\"a.swf\", t, \"post\");", 0x42},
        {"loadVariables(\"a.txt\", \"t\", \"GET\");", 0xC1},
        {"loadMovieNum(\"a.swf\", 2);", 0x00},
        {"loadVariablesNum(\"a.txt\", n, \"other\");", 0x80},
        {"unloadMovieNum(1);", 0x00},
    };
    for (const auto& c : cases) {
        const auto bytes = compileScript(c.source, 6).bytes();
        const auto block = swf::readActionBlock(bytes);
        ASSERT_FALSE(block.actions.empty()) << c.source;
        const auto& last = block.actions.back();
        EXPECT_EQ(last.code, op::GetUrl2) << c.source;
        ASSERT_EQ(last.payload.size(), 1U) << c.source;
        EXPECT_EQ(last.payload[0], c.flags) << c.source;
    }
    // A level built at run time is "_level" joined to it.
    EXPECT_EQ(codes("loadMovieNum(\"a.swf\", n);", 6),
              (Codes{op::Push, op::Push, op::Push, op::GetVariable, op::StringAdd, op::GetUrl2}));
}

TEST(ScriptCompiler, WhatAVersionLacksIsRefused) {
    EXPECT_THROW(compileScript("1 === 2;", 5), ScriptError);
    EXPECT_THROW(compileScript("a instanceof b;", 5), ScriptError);
    EXPECT_THROW(compileScript("o = {a: 1};", 4), ScriptError);
    EXPECT_THROW(compileScript("f();", 4), ScriptError);
    EXPECT_THROW(compileScript("1 % 2;", 4), ScriptError);
    EXPECT_THROW(compileScript("1 +;", 6), ScriptError);
    EXPECT_THROW(compileScript("\"open", 6), ScriptError);
    EXPECT_THROW(compileScript("3 = 4;", 6), ScriptError);
    EXPECT_THROW(compileScript(std::string(1000, '(') + "1" + std::string(1000, ')'), 6),
                 ScriptError);
}

TEST(ScriptCompiler, LiteralsPushTheirTypes) {
    const auto bytes =
        compileScript("trace(7); trace(-0); trace(0.5); trace(-3); trace(null);", 6).bytes();
    const auto block = swf::readActionBlock(bytes);
    std::vector<uint8_t> types;
    for (const auto& a : block.actions) {
        if (a.code == op::Push) {
            types.push_back(a.payload[0]);
        }
    }
    // int, double (negative zero is no integer), double, int, null
    EXPECT_EQ(types, (std::vector<uint8_t>{7, 6, 6, 7, 2}));
    // Flash 4 pushes numbers as their text.
    const auto v4 = compileScript("trace(12);", 4).bytes();
    const auto b4 = swf::readActionBlock(v4);
    ASSERT_FALSE(b4.actions.empty());
    EXPECT_EQ(b4.actions[0].payload[0], 0);
    EXPECT_EQ(std::string(b4.actions[0].payload.begin() + 1, b4.actions[0].payload.end() - 1),
              "12");
}

TEST(ScriptCompiler, CallsAndConstruction) {
    EXPECT_EQ(codes("f(1, 2);", 5),
              (Codes{op::Push, op::Push, op::Push, op::Push, op::CallFunction, op::Pop}));
    EXPECT_EQ(codes("o.m();", 5),
              (Codes{op::Push, op::Push, op::GetVariable, op::Push, op::CallMethod, op::Pop}));
    EXPECT_EQ(codes("new Array(3);", 5),
              (Codes{op::Push, op::Push, op::Push, op::NewObject, op::Pop}));
    EXPECT_EQ(codes("trace(1);", 5), (Codes{op::Push, op::Trace}));
    // The body follows the definition in the block.
    EXPECT_EQ(codes("function f(a) { return a; }", 6),
              (Codes{op::DefineFunction, op::Push, op::GetVariable, op::Return}));
    EXPECT_EQ(codes("function f(a) { return a; }", 7),
              (Codes{op::DefineFunction2, op::Push, op::Return}));
    EXPECT_EQ(codes("x = [1, 2];", 5),
              (Codes{op::Push, op::Push, op::Push, op::Push, op::InitArray, op::SetVariable}));
    EXPECT_EQ(codes("delete o.a;", 5),
              (Codes{op::Push, op::GetVariable, op::Push, op::Delete, op::Pop}));
}

TEST(ScriptCompiler, AssignmentsStoreAndKeepTheirValue) {
    EXPECT_EQ(codes("a = 1;", 5), (Codes{op::Push, op::Push, op::SetVariable}));
    EXPECT_EQ(codes("o.a = 1;", 5),
              (Codes{op::Push, op::GetVariable, op::Push, op::Push, op::SetMember}));
    EXPECT_EQ(codes("a += 2;", 5),
              (Codes{op::Push, op::Push, op::GetVariable, op::Push, op::Add2, op::SetVariable}));
    EXPECT_EQ(codes("trace(a = 1);", 5),
              (Codes{op::Push, op::Push, op::StoreRegister, op::SetVariable, op::Push, op::Trace}));
    EXPECT_EQ(codes("i++;", 5),
              (Codes{op::Push, op::Push, op::GetVariable, op::Increment, op::SetVariable}));
    EXPECT_EQ(codes("i++;", 4),
              (Codes{op::Push, op::Push, op::GetVariable, op::Push, op::Add, op::SetVariable}));
    EXPECT_EQ(codes("var v = 1;", 6), (Codes{op::Push, op::Push, op::DefineLocal}));
}

// The flags and registers of the first DefineFunction2 of a script: Flash's compiler
// preloads what the body names (this, arguments, super, _root, _parent, _global, in
// registers from 1 in that order) and suppresses this, arguments and super otherwise.
struct Function2 {
    uint8_t registers = 0;
    uint16_t flags = 0;
    std::vector<uint8_t> paramRegisters;
};

Function2 function2(std::string_view source) {
    const auto bytes = compileScript(source, 7).bytes();
    const auto block = swf::readActionBlock(bytes);
    Function2 f;
    for (const auto& a : block.actions) {
        if (a.code != op::DefineFunction2) {
            continue;
        }
        const auto p = a.payload;
        std::size_t at = 0;
        while (at < p.size() && p[at] != 0) {
            ++at;
        }
        ++at;
        const std::size_t params = p[at] | (p[at + 1] << 8);
        f.registers = p[at + 2];
        f.flags = static_cast<uint16_t>(p[at + 3] | (p[at + 4] << 8));
        at += 5;
        for (std::size_t i = 0; i < params; ++i) {
            f.paramRegisters.push_back(p[at]);
            at += 1;
            while (at < p.size() && p[at] != 0) {
                ++at;
            }
            ++at;
        }
        return f;
    }
    ADD_FAILURE() << "no DefineFunction2 in " << source;
    return f;
}

TEST(ScriptCompiler, FunctionTwoPreloadsWhatTheBodyNames) {
    // Nothing named: this, arguments and super suppressed; the parameter in register 1.
    Function2 plain = function2("f = function(a) { return a; };");
    EXPECT_EQ(plain.flags, 0x02 | 0x08 | 0x20);
    EXPECT_EQ(plain.paramRegisters, (std::vector<uint8_t>{1}));
    // this and _root preloaded in registers 1 and 2, the parameters after them.
    Function2 named = function2("f = function(a, b) { return this.x + _root.y + a + b; };");
    EXPECT_EQ(named.flags, 0x01 | 0x08 | 0x20 | 0x40);
    EXPECT_EQ(named.paramRegisters, (std::vector<uint8_t>{3, 4}));
    EXPECT_GT(named.registers, 4);
    Function2 all =
        function2("f = function() { return [this, arguments, super, _root, _parent, _global]; };");
    EXPECT_EQ(all.flags, 0x01 | 0x04 | 0x10 | 0x40 | 0x80 | 0x100);
    // A nested function, with or eval may look for the parameters by name.
    EXPECT_EQ(function2("f = function(a) { return function() { return a; }; };").paramRegisters,
              (std::vector<uint8_t>{0}));
    EXPECT_EQ(function2("f = function(a) { with (o) { return a; } };").paramRegisters,
              (std::vector<uint8_t>{0}));
    EXPECT_EQ(function2("f = function(a) { return eval(\"a\"); };").paramRegisters,
              (std::vector<uint8_t>{0}));
}

TEST(ScriptCompiler, ExceptionsAndWith) {
    // The try block jumps over the catch block to the finally block.
    EXPECT_EQ(codes("try { throw 1; } catch (e) { trace(e); } finally { trace(2); }", 7),
              (Codes{op::Try, op::Push, op::Throw, op::Jump, op::Push, op::GetVariable, op::Trace,
                     op::Push, op::Trace}));
    expectBranchesLand("try { a = 1; } catch (e) { a = 2; }", 7);
    EXPECT_EQ(codes("with (o) { x = 1; }", 5),
              (Codes{op::Push, op::GetVariable, op::With, op::Push, op::Push, op::SetVariable}));
    EXPECT_THROW(codes("throw 1;", 6), ScriptError);
    EXPECT_THROW(codes("try { }", 7), ScriptError);
}

TEST(ScriptCompiler, BranchesLandOnActions) {
    for (uint8_t v : {4, 5, 6, 7}) {
        expectBranchesLand("if (a) { b = 1; } else { b = 2; }", v);
        expectBranchesLand("for (i = 0; i < 3; i++) { trace(i); }", v);
        expectBranchesLand("while (i < 3) i++;", v);
        expectBranchesLand("trace(a ? b : c);", v);
        expectBranchesLand("trace(a && (b || c));", v);
    }
    for (uint8_t v : {5, 6, 7}) {
        expectBranchesLand("for (k in o) { trace(k); }", v);
        expectBranchesLand("for (var k in o) trace(k);", v);
    }
    EXPECT_EQ(codes("for (k in o) trace(k);", 6),
              (Codes{op::Push, op::GetVariable, op::Enumerate2, op::StoreRegister, op::Push,
                     op::Equals2, op::If, op::Push, op::Push, op::SetVariable, op::Push,
                     op::GetVariable, op::Trace, op::Jump}));
    EXPECT_EQ(codes("for (var k in o) {}", 5),
              (Codes{op::Push, op::Enumerate, op::StoreRegister, op::Push, op::Equals2, op::If,
                     op::Push, op::Push, op::DefineLocal, op::Jump}));
    EXPECT_THROW(codes("for (k in o.p) {}", 5), ScriptError);
    // A counting loop still reads as one.
    EXPECT_EQ(codes("for (i = 0; i < 1; i++) {}", 6).front(), op::Push);
    EXPECT_EQ(codes("trace(a && b);", 5),
              (Codes{op::Push, op::GetVariable, op::PushDuplicate, op::Not, op::If, op::Pop,
                     op::Push, op::GetVariable, op::Trace}));
    EXPECT_EQ(codes("trace(a || b);", 4),
              (Codes{op::Push, op::GetVariable, op::Push, op::GetVariable, op::Or, op::Trace}));
}

// The timeline functions compile to their own actions, as Flash's compiler writes them: a
// literal frame to GotoFrame (counted from 0) or GotoLabel, anything else to GotoFrame2;
// duplicateMovieClip moves its depth up by 16384. As statements they leave nothing.
TEST(ScriptCompiler, TimelineFunctionsAreActions) {
    EXPECT_EQ(codes("stop(); play(); nextFrame(); prevFrame();", 4),
              (Codes{op::Stop, op::Play, op::NextFrame, op::PreviousFrame}));
    EXPECT_EQ(codes("gotoAndPlay(3);", 5), (Codes{op::GotoFrame, op::Play}));
    EXPECT_EQ(codes("gotoAndStop(\"here\");", 5), (Codes{op::GotoLabel}));
    EXPECT_EQ(codes("gotoAndStop(n);", 6), (Codes{op::Push, op::GetVariable, op::GotoFrame2}));
    EXPECT_EQ(codes("gotoAndStop(0);", 6), (Codes{op::Push, op::GotoFrame2}));
    EXPECT_EQ(codes("trace(stop());", 6), (Codes{op::Stop, op::Push, op::Trace}));
    EXPECT_EQ(codes("duplicateMovieClip(a, \"b\", 1);", 6),
              (Codes{op::Push, op::GetVariable, op::Push, op::Push, op::Push, op::Add2,
                     op::CloneSprite}));
    EXPECT_EQ(codes("removeMovieClip(a);", 6),
              (Codes{op::Push, op::GetVariable, op::RemoveSprite}));
    EXPECT_EQ(codes("trace(getProperty(a, _x));", 6),
              (Codes{op::Push, op::GetVariable, op::Push, op::GetProperty, op::Trace}));
    EXPECT_EQ(codes("getTimer();", 6), (Codes{op::GetTime, op::Pop}));
    EXPECT_THROW(compileScript("getProperty(a, _nothing);", 6), ScriptError);
    // A method of the same name stays a method call.
    EXPECT_EQ(codes("mc.stop();", 6),
              (Codes{op::Push, op::Push, op::GetVariable, op::Push, op::CallMethod, op::Pop}));
}

// tellTarget sets the target and sets it back; ifFrameLoaded skips a count of actions.
TEST(ScriptCompiler, TargetsAndFrameWaits) {
    EXPECT_EQ(codes("tellTarget(\"/a\") { stop(); }", 4),
              (Codes{op::SetTarget, op::Stop, op::SetTarget}));
    EXPECT_EQ(codes("tellTarget(a) { stop(); }", 6),
              (Codes{op::Push, op::GetVariable, op::SetTarget2, op::Stop, op::SetTarget}));
    // The blocks point into the bytes they were read from: those stay while they are read.
    const auto waitBytes = compileScript("ifFrameLoaded(3) { a = 1; stop(); }", 6).bytes();
    const auto wait = swf::readActionBlock(waitBytes);
    ASSERT_EQ(wait.actions.size(), 5U); // WaitForFrame, Push, Push, SetVariable, Stop
    EXPECT_EQ(wait.actions[0].code, op::WaitForFrame);
    const auto payload = [](const auto& action) {
        return std::vector<uint8_t>(action.payload.begin(), action.payload.end());
    };
    EXPECT_EQ(payload(wait.actions[0]), (std::vector<uint8_t>{2, 0, 4}));
    const auto wait2Bytes = compileScript("ifFrameLoaded(n) { stop(); }", 6).bytes();
    const auto wait2 = swf::readActionBlock(wait2Bytes);
    ASSERT_GE(wait2.actions.size(), 3U);
    EXPECT_EQ(wait2.actions[2].code, op::WaitForFrame2);
    EXPECT_EQ(payload(wait2.actions[2]), (std::vector<uint8_t>{1}));
    EXPECT_EQ(codes("with (o) { x = 1; }", 6),
              (Codes{op::Push, op::GetVariable, op::With, op::Push, op::Push, op::SetVariable}));
}

} // namespace
} // namespace scriptrules
