// One action at a time over the movie versions whose rules differ: each case pushes its
// operands, runs the action and traces the result. The expected texts follow the SWF action
// rules (the first version's operators read numbers, the typed ones of version 5 follow
// ECMA-262) and Flash's version differences (undefined and null as text and number before 7,
// strings as booleans before 7, one-byte characters before 6).

#include "FakeStage.h"

#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <optional>
#include <variant>

namespace avm1test {
namespace {

namespace op = swf::op;
using moviemaker::Actions;

struct Undefined {};
struct Null {};
using Operand = std::variant<double, std::string, bool, Undefined, Null>;

struct Case {
    int version;
    std::uint8_t action;
    std::vector<Operand> operands; // pushed first to last
    std::string expected;          // what trace prints of the result
};

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

void pushOperand(Actions& a, const Operand& operand) {
    if (const auto* n = std::get_if<double>(&operand)) {
        a.push(*n);
    } else if (const auto* s = std::get_if<std::string>(&operand)) {
        a.push(*s);
    } else if (const auto* b = std::get_if<bool>(&operand)) {
        a.pushBool(*b);
    } else if (std::holds_alternative<Undefined>(operand)) {
        a.pushUndefined();
    } else {
        a.pushNull();
    }
}

// Runs every case on a fresh stage of its version, one block per case.
void expectCases(const std::vector<Case>& cases) {
    std::map<int, std::unique_ptr<FakeStage>> stages;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        auto& stage = stages[c.version];
        if (!stage) {
            stage = std::make_unique<FakeStage>(c.version);
        }
        Actions a;
        for (const Operand& operand : c.operands) {
            pushOperand(a, operand);
        }
        a.code(c.action).code(op::Trace);
        SCOPED_TRACE("case " + std::to_string(i) + ", version " + std::to_string(c.version));
        EXPECT_EQ(stage->run(a.bytes()), std::vector<std::string>{c.expected});
    }
}

TEST(ActionTable, FirstVersionOperatorsReadNumbers) {
    using S = std::string;
    expectCases({
        // Add reads both sides as numbers; Add2 joins text.
        {5, op::Add, {S("2"), S("3")}, "5"},
        {7, op::Add, {S("2"), S("3")}, "5"},
        {7, op::Add2, {S("2"), S("3")}, "23"},
        {7, op::Add2, {true, 1.0}, "2"},
        {5, op::Subtract, {S("5"), S("2")}, "3"},
        {7, op::Multiply, {S("a"), 2.0}, "NaN"},
        {7, op::Modulo, {-7.0, 3.0}, "-1"},
        {7, op::Modulo, {5.5, 2.0}, "1.5"},
        {7, op::Increment, {S("5")}, "6"},
        {7, op::Decrement, {S("5")}, "4"},
        // Equals and Less compare numbers, whatever the operands are.
        {5, op::Equals, {S("10"), 10.0}, "true"},
        // Text that is no number reads as NaN, but as 0 in version 4.
        {5, op::Equals, {S("abc"), 0.0}, "false"},
        {4, op::Equals, {S("abc"), 0.0}, "1"},
        {5, op::Less, {S("10"), S("9")}, "false"},
        {4, op::Less, {S("10"), S("9")}, "0"},
        // Before version 7 undefined is 0 in arithmetic, from 7 on NaN.
        {6, op::Add, {Undefined{}, 1.0}, "1"},
        {7, op::Add, {Undefined{}, 1.0}, "NaN"},
    });
}

TEST(ActionTable, TypedComparisonsFollowEcmaScript) {
    using S = std::string;
    expectCases({
        {7, op::Less2, {S("10"), S("9")}, "true"},
        {7, op::Less2, {S("10"), 9.0}, "false"},
        {7, op::Less2, {S("B"), S("a")}, "true"}, // UTF-16 unit order
        {7, op::Less2, {1.0, 1.0}, "false"},
        // Greater is Less2 with the operands swapped, undefined where either is NaN.
        {7, op::Greater, {2.0, 1.0}, "true"},
        {7, op::Greater, {1.0, 2.0}, "false"},
        {7, op::Greater, {S("b"), S("a")}, "true"},
        {7, op::Greater, {NaN, 1.0}, "undefined"},
        {7, op::Equals2, {Undefined{}, Null{}}, "true"},
        {7, op::Equals2, {Null{}, 0.0}, "false"},
        {7, op::Equals2, {true, 1.0}, "true"},
        {7, op::Equals2, {S("true"), true}, "false"},
        {7, op::Equals2, {S("1"), 1.0}, "true"},
        {7, op::Equals2, {NaN, 1.0}, "false"},
        // Unlike ECMA-262, Flash finds NaN equal to NaN.
        {7, op::Equals2, {NaN, NaN}, "true"},
        {7, op::StrictEquals, {S("1"), 1.0}, "false"},
        {7, op::StrictEquals, {Null{}, Null{}}, "true"},
    });
}

TEST(ActionTable, StringActionsCompareText) {
    using S = std::string;
    expectCases({
        // StringEquals compares the operands' texts: 1 is "1", but not "1.0".
        {7, op::StringEquals, {1.0, S("1")}, "true"},
        {7, op::StringEquals, {S("1"), S("1.0")}, "false"},
        // Undefined is "" as text before version 7 and "undefined" from 7 on.
        {6, op::StringEquals, {Undefined{}, S("")}, "true"},
        {7, op::StringEquals, {Undefined{}, S("")}, "false"},
        {7, op::StringEquals, {Undefined{}, S("undefined")}, "true"},
        {7, op::StringLess, {S("a"), S("b")}, "true"},
        {7, op::StringLess, {S("B"), S("a")}, "true"},
        {7, op::StringLess, {S("a"), S("a")}, "false"},
        {7, op::StringGreater, {S("b"), S("a")}, "true"},
        {7, op::StringGreater, {S("a"), S("a")}, "false"},
        {7, op::StringLess, {10.0, 9.0}, "true"}, // "10" before "9"
        {7, op::StringAdd, {1.0, 2.0}, "12"},
    });
}

TEST(ActionTable, SubstringsAndCharactersByVersion) {
    using S = std::string;
    expectCases({
        // substring(text, index, count) counts from 1; an index below 1 starts at the first
        // character, a negative count takes the rest, an index past the end gives "".
        {7, op::StringExtract, {S("hello"), 2.0, 3.0}, "ell"},
        {7, op::StringExtract, {S("hello"), 0.0, 2.0}, "he"},
        {7, op::StringExtract, {S("hello"), 2.0, -1.0}, "ello"},
        {7, op::StringExtract, {S("hello"), 9.0, 2.0}, ""},
        // A count that is no number gives nothing (the format's rule for counts that are no
        // integers); the index wraps as a 32-bit integer, so 2^31 is below the first.
        {7, op::StringExtract, {S("hello"), 2.0, S("x")}, ""},
        {7, op::StringExtract, {S("hello"), 2.0, Undefined{}}, ""},
        {6, op::StringExtract, {S("hello"), 2.0, Undefined{}}, ""}, // undefined is 0 there
        {7, op::StringExtract, {S("hello"), 2147483648.0, 2.0}, "he"},
        {7, op::MBStringExtract, {S("hello"), 2.0, S("x")}, ""},
        {7, op::StringLength, {S("hello")}, "5"},
        {7, op::StringLength, {123.0}, "3"},
        {7, op::CharToAscii, {S("A")}, "65"},
        {7, op::CharToAscii, {S("")}, "0"},
        // chr() made one byte's character before version 6; mbchr() a character always
        // (9786 is U+263A).
        {5, op::AsciiToChar, {65.0 + 0x100}, "A"},
        {6, op::AsciiToChar, {9786.0}, "\xE2\x98\xBA"},
        {5, op::MBAsciiToChar, {9786.0}, "\xE2\x98\xBA"},
        {7, op::AsciiToChar, {0.0}, ""},
    });
}

TEST(ActionTable, ConversionsByVersion) {
    using S = std::string;
    expectCases({
        // int() truncates toward zero; what is not a number becomes 0.
        {7, op::ToInteger, {3.7}, "3"},
        {7, op::ToInteger, {-3.7}, "-3"},
        {7, op::ToInteger, {S("abc")}, "0"},
        {7, op::ToInteger, {S("12.9")}, "12"},
        {6, op::ToNumber, {Undefined{}}, "0"},
        {7, op::ToNumber, {Undefined{}}, "NaN"},
        {6, op::ToNumber, {Null{}}, "0"},
        {7, op::ToNumber, {Null{}}, "NaN"},
        {7, op::ToNumber, {S("0x1A")}, "26"},
        {7, op::ToNumber, {true}, "1"},
        {6, op::ToString, {Undefined{}}, ""},
        {7, op::ToString, {Undefined{}}, "undefined"},
        {7, op::ToString, {Null{}}, "null"},
        {7, op::TypeOf, {Null{}}, "null"},
        {7, op::TypeOf, {Undefined{}}, "undefined"},
        {7, op::TypeOf, {S("1")}, "string"},
        {7, op::TypeOf, {1.0}, "number"},
        {7, op::TypeOf, {false}, "boolean"},
    });
}

TEST(ActionTable, LogicReadsStringsByVersion) {
    using S = std::string;
    expectCases({
        // Before version 7 a string is true when it reads as a non-zero number; from 7 on
        // when it is not empty.
        {6, op::Not, {S("a")}, "true"},
        {7, op::Not, {S("a")}, "false"},
        {6, op::Not, {S("0")}, "true"},
        {7, op::Not, {S("0")}, "false"},
        {7, op::Not, {S("")}, "true"},
        {6, op::And, {S("1"), S("2")}, "true"},
        {6, op::And, {S("a"), 1.0}, "false"},
        {7, op::And, {S("a"), 1.0}, "true"},
        {7, op::Or, {0.0, Undefined{}}, "false"},
        {7, op::Or, {0.0, S("x")}, "true"},
        {4, op::Not, {1.0}, "0"},
    });
}

// Version 4 had no objects: its Not, And, Or and If read a number, and a clip's is 0.
// From version 5 they read a boolean, and every object is true.
TEST(ActionTable, ConditionsOnAClipByVersion) {
    struct ClipCase {
        int version;
        std::uint8_t action; // Not, And, Or or If
        std::string expected;
    };
    const std::vector<ClipCase> cases = {
        {4, op::Not, "1"},    {5, op::Not, "false"}, {6, op::Not, "false"}, {4, op::And, "0"},
        {5, op::And, "true"}, {4, op::Or, "0"},      {5, op::Or, "true"},   {4, op::If, "no"},
        {5, op::If, "yes"},   {7, op::If, "yes"},
    };
    for (const ClipCase& c : cases) {
        FakeStage stage(c.version);
        Actions a;
        a.push("_root").code(op::GetVariable);
        if (c.action == op::If) {
            Actions yes, otherwise;
            yes.trace("yes");
            otherwise.trace("no").jump(static_cast<std::int16_t>(yes.size()));
            std::vector<std::uint8_t> skipped = otherwise.bytes();
            skipped.pop_back(); // its End
            a.ifTrue(static_cast<std::int16_t>(skipped.size())).raw(skipped).trace("yes");
        } else {
            if (c.action != op::Not) {
                a.push("_root").code(op::GetVariable);
            }
            a.code(c.action).code(op::Trace);
        }
        SCOPED_TRACE("version " + std::to_string(c.version) + ", action " +
                     std::to_string(c.action));
        EXPECT_EQ(stage.run(a.bytes()), std::vector<std::string>{c.expected});
    }
}

TEST(ActionTable, BitwiseOperatorsWorkOn32BitIntegers) {
    expectCases({
        {7, op::BitAnd, {4294967296.0 + 5, 7.0}, "5"},
        {7, op::BitOr, {-1.0, 0.0}, "-1"},
        {7, op::BitXor, {5.0, 3.0}, "6"},
        {7, op::BitLShift, {1.0, 31.0}, "-2147483648"},
        {7, op::BitLShift, {1.0, 33.0}, "2"}, // counts are taken modulo 32
        {7, op::BitRShift, {-8.0, 1.0}, "-4"},
        {7, op::BitURShift, {-1.0, 0.0}, "4294967295"},
        {7, op::BitAnd, {NaN, -1.0}, "0"},
        {7, op::BitOr, {2.9, -2.9}, "-2"},
    });
}

TEST(ActionTable, WaitForFrameSkipsWhileTheFrameIsMissing) {
    struct WaitCase {
        std::optional<std::uint32_t> loaded; // of the root's 10 frames
        std::vector<std::uint8_t> wait;      // the WaitForFrame action, skipping 2 or 9
        std::vector<std::string> expected;
    };
    // WaitForFrame names a frame from 0; WaitForFrame2 takes a frame from 1 or a label
    // (here "intro", frame 7) from the stack.
    const std::vector<std::uint8_t> waitFrame5{op::WaitForFrame, 3, 0, 4, 0, 2};
    const std::vector<std::uint8_t> waitFrame20{op::WaitForFrame, 3, 0, 19, 0, 2};
    const std::vector<std::uint8_t> waitOnStack{op::WaitForFrame2, 1, 0, 2};
    const std::vector<std::uint8_t> waitPastTheEnd{op::WaitForFrame, 3, 0, 4, 0, 9};
    const std::vector<WaitCase> cases{
        {3, waitFrame5, {"b"}},
        {5, waitFrame5, {"a", "b"}},
        // Once every frame is there, a frame past the end counts as loaded too.
        {std::nullopt, waitFrame20, {"a", "b"}},
        {9, waitFrame20, {"b"}},
        {3, waitOnStack, {"b"}},
        {7, waitOnStack, {"a", "b"}},
        // A skip count past the block's end ends the block.
        {0, waitPastTheEnd, {}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        FakeStage stage(7);
        stage.rootClip->labels["intro"] = 6;
        stage.rootClip->loadedFrames = cases[i].loaded;
        Actions a;
        if (cases[i].wait[0] == op::WaitForFrame2) {
            a.push("intro");
        }
        a.raw(cases[i].wait).trace("a").trace("b");
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(stage.run(a.bytes()), cases[i].expected);
    }
}

} // namespace
} // namespace avm1test
