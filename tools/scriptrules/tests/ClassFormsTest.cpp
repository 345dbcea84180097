// The class actions the table compiler emits for super calls, Extends, ImplementsOp and
// CastOp, read back with the player's own action reader.

#include "Compiler.h"
#include "Parser.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace scriptrules {
namespace {

namespace op = swf::op;
using Codes = std::vector<uint8_t>;

Codes codes(std::string_view source, uint8_t version) {
    const auto block = swf::readActionBlock(compileScript(source, version).bytes());
    EXPECT_FALSE(block.truncated);
    Codes out;
    for (const auto& a : block.actions) {
        out.push_back(a.code);
    }
    return out;
}

TEST(ClassForms, SuperCallsAreMethodCallsOnTheSuperObject) {
    // super(a): a, 1, super, undefined, CallMethod, as the constructor call of a class.
    EXPECT_EQ(codes("super(a);", 7), (Codes{op::Push, op::GetVariable, op::Push, op::Push,
                                            op::GetVariable, op::Push, op::CallMethod, op::Pop}));
    // super.m(): the method by name on the same object.
    EXPECT_EQ(codes("super.m();", 7),
              (Codes{op::Push, op::Push, op::GetVariable, op::Push, op::CallMethod, op::Pop}));
}

TEST(ClassForms, ClassActionsTakeTheirOperandsInOrder) {
    EXPECT_EQ(codes("extends(B, A);", 6), (Codes{op::Push, op::GetVariable, op::Push,
                                                 op::GetVariable, op::Extends, op::Push, op::Pop}));
    // Interfaces last first, their count, then the class.
    EXPECT_EQ(codes("implements(C, I, J);", 7),
              (Codes{op::Push, op::GetVariable, op::Push, op::GetVariable, op::Push, op::Push,
                     op::GetVariable, op::ImplementsOp, op::Push, op::Pop}));
    EXPECT_EQ(codes("x = cast(C, o);", 7).at(5), op::CastOp);
}

TEST(ClassForms, WrongUseIsAScriptError) {
    EXPECT_THROW(codes("extends(B);", 7), ScriptError);
    EXPECT_THROW(codes("cast(C, o, p);", 7), ScriptError);
    EXPECT_THROW(codes("implements();", 7), ScriptError);
    EXPECT_THROW(codes("extends(B, A);", 5), ScriptError);
}

} // namespace
} // namespace scriptrules
