// Running kernels: arithmetic with swizzles and masks, comparisons into the first int
// register, if/else and select, matrices, and sampling images nearest and linear.
#include "shader/PbjMachine.h"
#include "shader/tests/PbjBytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace shader {
namespace {

using testing::PbjBytes;
using testing::src;

constexpr std::uint16_t I0 = 0x8000;

// A kernel with _OutCoord in f0.rg and its output in f1; `body` writes f1.
PbjProgram kernel(const std::function<void(PbjBytes&)>& body) {
    PbjBytes b;
    b.param(false, PbjType::Float2, 0, 0xC, "_OutCoord");
    b.param(true, PbjType::Float4, 1, 0xF, "dst");
    body(b);
    PbjParse r = parsePbj(b.bytes);
    EXPECT_EQ(r.error, PbjError::None);
    return std::move(r.program);
}

TEST(PbjMachine, ArithmeticFollowsSwizzlesAndMasks) {
    struct Case {
        std::uint8_t code;
        float a, b, expected;
    };
    const Case cases[] = {
        {op::Add, 2, 3, 5},          {op::Sub, 2, 3, -1},          {op::Mul, 2, 3, 6},
        {op::Div, 3, 2, 1.5},        {op::Pow, 2, 3, 8},           {op::Mod, -1, 3, 2},
        {op::Min, 2, 3, 2},          {op::Max, 2, 3, 3},           {op::Step, 2, 3, 0},
        {op::Step, 3, 2, 1},         {op::Atan2, 1, 1, 0.785398F}, {op::Rcp, 0, 4, 0.25},
        {op::Sqrt, 0, 9, 3},         {op::RSqrt, 0, 4, 0.5},       {op::Abs, 0, -2, 2},
        {op::Sign, 0, -2, -1},       {op::Floor, 0, 1.5, 1},       {op::Ceil, 0, 1.5, 2},
        {op::Fract, 0, -0.25, 0.75}, {op::Exp2, 0, 3, 8},          {op::Log2, 0, 8, 3},
        {op::Mov, 0, 7, 7},
    };
    for (const Case& c : cases) {
        // f2.r = a, f2.g = b, then f2.r (op)= f2.g, and the result to f1.
        const PbjProgram p = kernel([&](PbjBytes& b) {
            b.loadFloat(2, 0x8, c.a).loadFloat(2, 0x4, c.b);
            b.op(c.code, 2, 0x8, src(2, {1}), 1);
            b.op(op::Mov, 1, 0xF, src(2, {0, 0, 0, 0}), 4);
        });
        PbjMachine m(p);
        EXPECT_NEAR(m.run(0.5F, 0.5F)[0], c.expected, 1e-5) << int(c.code);
    }
    // A swizzle reads channels in any order; the mask writes only its channels.
    const PbjProgram p = kernel([](PbjBytes& b) {
        b.loadFloat(2, 0x8, 1).loadFloat(2, 0x4, 2).loadFloat(2, 0x2, 3).loadFloat(2, 0x1, 4);
        b.loadFloat(1, 0xF, 9);
        b.op(op::Mov, 1, 0xA, src(2, {3, 0}), 2); // r = a, b = r
    });
    PbjMachine m(p);
    const auto out = m.run(0.5F, 0.5F);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(out[1], 9);
    EXPECT_EQ(out[2], 1);
    EXPECT_EQ(out[3], 9);
}

TEST(PbjMachine, ComparisonsDriveIfElseAndSelect) {
    // dst.r = (_OutCoord.x < 2) ? 1 : 0.5 by if/else; dst.g the same by select.
    const PbjProgram p = kernel([](PbjBytes& b) {
        b.loadFloat(2, 0x8, 2);
        b.op(op::Mov, 3, 0x8, src(0, {0}), 1);
        b.op(op::LessThan, 3, 0x8, src(2, {0}), 1);
        b.ifOp(src(I0, {0})).loadFloat(1, 0x8, 1).elseOp().loadFloat(1, 0x8, 0.5F).endIf();
        b.loadFloat(4, 0x8, 1).loadFloat(4, 0x4, 0.5F);
        b.select(1, 0x4, src(I0, {0}), src(4, {0}), src(4, {1}));
    });
    PbjMachine m(p);
    EXPECT_EQ(m.run(0.5F, 0.5F)[0], 1);
    EXPECT_EQ(m.run(0.5F, 0.5F)[1], 1);
    EXPECT_EQ(m.run(2.5F, 0.5F)[0], 0.5F);
    EXPECT_EQ(m.run(2.5F, 0.5F)[1], 0.5F);
}

TEST(PbjMachine, IntRegistersDivideAsInts) {
    const PbjProgram p = kernel([](PbjBytes& b) {
        b.loadInt(0x8001, 0x8, 7).loadInt(0x8001, 0x4, 2).loadInt(0x8001, 0x2, 0);
        b.op(op::Div, 0x8001, 0x8, src(0x8001, {1}), 1);
        b.op(op::Div, 0x8001, 0x4, src(0x8001, {2}), 1); // by zero: 0, no trap
        b.op(op::IntToFloat, 1, 0xC, src(0x8001, {0, 1}), 2);
    });
    PbjMachine m(p);
    const auto out = m.run(0.5F, 0.5F);
    EXPECT_EQ(out[0], 3);
    EXPECT_EQ(out[1], 0);
}

TEST(PbjMachine, ParametersAndMatricesLoadColumnByColumn) {
    PbjBytes b;
    b.param(true, PbjType::Float4, 1, 0xF, "dst");
    b.param(false, PbjType::Float2x2, 2, 2, "m");
    b.param(false, PbjType::Float2, 3, 0xC, "v");
    b.op(op::Mov, 1, 0xC, src(3, {0, 1}), 2);
    b.matrixOp(op::MatVecMul, 1, 0xC, 2, 2);
    const PbjParse r = parsePbj(b.bytes);
    ASSERT_EQ(r.error, PbjError::None);
    PbjMachine m(r.program);
    m.setParameter(r.program.params[1], {1, 3, 2, 4}); // columns (1,3) and (2,4)
    m.setParameter(r.program.params[2], {1, 1});
    const auto out = m.run(0.5F, 0.5F);
    EXPECT_EQ(out[0], 3); // row 0: 1 + 2
    EXPECT_EQ(out[1], 7); // row 1: 3 + 4
}

TEST(PbjMachine, SamplesNearestAndLinearWithTransparentOutside) {
    PbjBytes b;
    b.param(false, PbjType::Float2, 0, 0xC, "_OutCoord");
    b.texture(0, 1, "src");
    b.param(true, PbjType::Float4, 1, 0xF, "dst");
    b.sample(op::SampleNearest, 1, 0x8, src(0, {0, 1}), 0);
    b.sample(op::SampleLinear, 1, 0x4, src(0, {0, 1}), 0);
    const PbjParse r = parsePbj(b.bytes);
    ASSERT_EQ(r.error, PbjError::None);
    PbjMachine m(r.program);
    const PbjImage img{2, 1, 1, {0.0F, 1.0F}};
    m.setImage(0, &img);
    EXPECT_EQ(m.run(0.5F, 0.5F)[0], 0);
    EXPECT_EQ(m.run(1.5F, 0.5F)[0], 1);
    EXPECT_NEAR(m.run(1.0F, 0.5F)[1], 0.5, 1e-6); // halfway between the two centres
    EXPECT_EQ(m.run(0.25F, 0.5F)[1], 0);          // the edge pixel repeats inside the image
    EXPECT_EQ(m.run(-3.0F, 0.5F)[0], 0);          // outside: transparent
    EXPECT_EQ(m.run(5.0F, 0.5F)[1], 0);
    EXPECT_EQ(m.run(NAN, 0.5F)[0], 0);
}

} // namespace
// A matrix named in an int register, or running past the last register, reads as zeros and
// takes no writes: the float register file is never left.
TEST(PbjMachine, MatricesOutsideTheFloatRegistersAreInert) {
    PbjBytes b;
    b.param(true, PbjType::Float4, 1, 0xF, "dst");
    b.param(false, PbjType::Float4x4, 0x8004, 4, "inInts");
    b.param(false, PbjType::Float3x3, 0, 3, "m");
    const PbjParse r = parsePbj(b.bytes);
    ASSERT_EQ(r.error, PbjError::None);
    PbjMachine m(r.program);
    m.setParameter(r.program.params[1], std::vector<double>(16, 9.0));
    m.setParameter(r.program.params[2], std::vector<double>(9, 2.0));
    const auto out = m.run(0.5F, 0.5F);
    EXPECT_EQ(out[0], 2); // the 3x3 filled registers 0-2 and the output shares register 1
}

} // namespace shader
