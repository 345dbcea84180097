// Reading kernels: the header and metadata, parameters and inputs with their own metadata,
// and the refusals of bytes that end early, name unknown instructions or do not nest.
#include "shader/PbjProgram.h"
#include "shader/tests/PbjBytes.h"

#include <gtest/gtest.h>

namespace shader {
namespace {

using testing::PbjBytes;
using testing::src;

PbjBytes kernelHeader() {
    PbjBytes b;
    b.version(1).name("Tint").metaString("vendor", "Us").metaInt("version", 3, true);
    b.param(false, PbjType::Float2, 0, 0xC, "_OutCoord");
    b.texture(0, 4, "src");
    b.param(false, PbjType::Float3, 1, 0xE, "color")
        .metaFloat("minValue", 0)
        .metaFloat("maxValue", 1);
    b.param(true, PbjType::Float4, 2, 0xF, "dst");
    return b;
}

TEST(PbjProgram, ReadsHeaderParametersAndTheirMetadata) {
    PbjBytes b = kernelHeader();
    b.op(op::Mov, 2, 0xF, src(1), 4);
    const PbjParse r = parsePbj(b.bytes);
    ASSERT_EQ(r.error, PbjError::None);
    const PbjProgram& p = r.program;
    EXPECT_EQ(p.name, "Tint");
    EXPECT_EQ(p.version, 1);
    ASSERT_EQ(p.meta.size(), 2u);
    EXPECT_EQ(p.meta[0].key, "vendor");
    EXPECT_EQ(p.meta[0].value.text, "Us");
    EXPECT_EQ(p.meta[1].value.numbers, std::vector<double>{3});
    ASSERT_EQ(p.params.size(), 3u);
    EXPECT_EQ(p.params[1].name, "color");
    ASSERT_EQ(p.params[1].meta.size(), 2u); // metadata after a parameter is that parameter's
    EXPECT_EQ(p.params[1].meta[1].key, "maxValue");
    EXPECT_TRUE(p.params[0].meta.empty());
    ASSERT_EQ(p.textures.size(), 1u);
    EXPECT_EQ(p.textures[0].channels, 4);
    ASSERT_NE(p.output(), nullptr);
    EXPECT_EQ(p.output()->name, "dst");
    EXPECT_EQ(p.ops.size(), 1u);
    EXPECT_EQ(p.floatRegisters, 3);
    EXPECT_STREQ(typeName(p.params[1].type), "float3");
    EXPECT_STREQ(typeName(PbjType::Float4x4), "matrix4x4");
}

TEST(PbjProgram, RefusesEmptyTruncatedAndUnknownBytecode) {
    EXPECT_EQ(parsePbj({}).error, PbjError::Empty);
    const std::vector<std::uint8_t> nop{0};
    EXPECT_EQ(parsePbj(nop).error, PbjError::EndOfData);
    const std::vector<std::uint8_t> name{op::Name};
    EXPECT_EQ(parsePbj(name).error, PbjError::EndOfData);
    const std::vector<std::uint8_t> longName{op::Name, 10, 0, 'a'};
    EXPECT_EQ(parsePbj(longName).error, PbjError::EndOfData);
    const std::vector<std::uint8_t> unknown{0x77, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(parsePbj(unknown).error, PbjError::Invalid);
    const std::vector<std::uint8_t> badType{op::KernelMeta, 0x40, 'k', 0};
    EXPECT_EQ(parsePbj(badType).error, PbjError::Invalid);
    // Every prefix of a good kernel ends early somewhere or is a shorter kernel; none crash.
    PbjBytes whole = kernelHeader();
    whole.op(op::Add, 2, 0xF, src(1), 4);
    for (std::size_t n = 1; n < whole.bytes.size(); ++n) {
        const PbjParse r = parsePbj(std::span(whole.bytes.data(), n));
        EXPECT_NE(r.error, PbjError::Invalid) << n;
    }
}

TEST(PbjProgram, BlocksMustNest) {
    PbjBytes open;
    open.ifOp(src(0x8000, {0}));
    EXPECT_EQ(parsePbj(open.bytes).error, PbjError::Invalid);
    PbjBytes stray;
    stray.endIf();
    EXPECT_EQ(parsePbj(stray.bytes).error, PbjError::Invalid);
    PbjBytes twoElses;
    twoElses.ifOp(src(0x8000, {0})).elseOp().elseOp().endIf();
    EXPECT_EQ(parsePbj(twoElses.bytes).error, PbjError::Invalid);
    PbjBytes good;
    good.ifOp(src(0x8000, {0})).elseOp().endIf();
    const PbjParse r = parsePbj(good.bytes);
    ASSERT_EQ(r.error, PbjError::None);
    EXPECT_EQ(r.program.ops[0].jump, 2u); // a false if resumes after the else
    EXPECT_EQ(r.program.ops[1].jump, 2u); // the else skips to the end
}

TEST(PbjProgram, CountsTheRegistersMatricesSpan) {
    PbjBytes b;
    b.param(false, PbjType::Float4x4, 5, 4, "m");
    b.matrixOp(op::Mov, 20, 0, 5, 3);
    const PbjParse r = parsePbj(b.bytes);
    ASSERT_EQ(r.error, PbjError::None);
    EXPECT_EQ(r.program.floatRegisters, 23); // a 3x3 at 20 takes 20..22
}

} // namespace
} // namespace shader
