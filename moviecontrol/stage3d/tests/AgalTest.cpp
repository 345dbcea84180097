// The AGAL reader's checks (header, opcodes, register rules, samplers) with the errors Flash
// throws, and the interpreter's opcode, swizzle and write-mask rules.
#include <gtest/gtest.h>

#include "AgalProgramBuilder.h"
#include "stage3d/AgalRun.h"

#include <cmath>

namespace stage3d {
namespace {

using testing::AgalWriter;
using testing::out;
using testing::va;
using testing::vary;
using testing::vc;
using testing::vt;

TEST(AgalReader, HeaderErrorsComeInFlashsOrder) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        bool argumentError;
        int code;
    };
    const std::vector<Case> cases = {
        {{}, true, 3615},           // nothing at all
        {{0xa0, 0x01}, true, 3612}, // shorter than a header
        {{0xff, 1, 0, 0, 0, 0xa1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0,
          0,    0, 0, 0, 0, 0,    0, 0, 0, 0, 0, 0, 0, 0, 0},
         true,
         3612},                                      // wrong magic byte
        {{0xa0, 99, 0, 0, 0, 0xa1, 1}, false, 3615}, // a header without tokens
    };
    for (const Case& c : cases) {
        const AgalResult r = readAgal(c.bytes, ProgramKind::Fragment);
        ASSERT_FALSE(r.program);
        EXPECT_EQ(r.error.argumentError, c.argumentError);
        EXPECT_EQ(r.error.code, c.code);
    }
    const AgalResult empty = readAgal({}, ProgramKind::Fragment);
    EXPECT_EQ(empty.error.message,
              "AGAL validation failed: Program size below minimum length for  program.");
}

TEST(AgalReader, RegisterRulesNameTheOperandAndToken) {
    struct Case {
        ProgramKind kind;
        AgalWriter::Operand dest;
        AgalWriter::Operand source;
        int code;
        const char* operand;
    };
    const std::vector<Case> cases = {
        {ProgramKind::Fragment, vt(0), out(), 3646, "source operand 1"},
        {ProgramKind::Fragment, vt(0), {RegisterType::Sampler, 0}, 3638, "source operand 1"},
        {ProgramKind::Fragment, vc(0), vc(0), 3652, "destination operand"},
        {ProgramKind::Vertex, va(0), vc(0), 3651, "destination operand"},
        {ProgramKind::Fragment, {RegisterType::Sampler, 0}, vc(0), 3649, "destination operand"},
        {ProgramKind::Fragment, {RegisterType::Depth, 0}, vc(0), 3749, "destination operand"},
        {ProgramKind::Vertex, out(), vc(128), 3659, "source operand 1"},
        {ProgramKind::Vertex, vt(8), vc(0), 3661, "destination operand"},
    };
    for (const Case& c : cases) {
        AgalWriter w(c.kind);
        w.op(OpMov, c.dest, c.source);
        const AgalResult r = readAgal(w.bytes(), c.kind);
        ASSERT_FALSE(r.program) << c.code;
        EXPECT_EQ(r.error.code, c.code);
        EXPECT_NE(r.error.message.find(std::string("for ") + c.operand + " at token 1 of"),
                  std::string::npos)
            << r.error.message;
    }
}

TEST(AgalReader, OpcodesAndSamplers) {
    AgalWriter bad(ProgramKind::Fragment);
    bad.raw(0xFF).raw(0).raw(0).raw(0).raw(0).raw(0);
    const AgalResult r = readAgal(bad.bytes(), ProgramKind::Fragment);
    EXPECT_EQ(r.error.message, "AGAL validation failed: Invalid opcode, value out of range: 255 "
                               "at token 1 of fragment program.");
    // Version 1 has no derivatives; the same program is accepted as version 2.
    AgalWriter v1(ProgramKind::Fragment, 1);
    v1.op(OpDdx, out(), vary(0));
    EXPECT_EQ(readAgal(v1.bytes(), ProgramKind::Fragment).error.code, 3621);
    AgalWriter v2(ProgramKind::Fragment, 2);
    v2.op(OpDdx, out(), vary(0));
    EXPECT_TRUE(readAgal(v2.bytes(), ProgramKind::Fragment).program);
    // A sampler used twice must be used with the same settings.
    AgalWriter twice(ProgramKind::Fragment);
    twice.tex(vt(0), vary(0), 0, 1u << 28).tex(vt(1), vary(0), 0, 1u << 28 | 1u << 24);
    const AgalResult t = readAgal(twice.bytes(), ProgramKind::Fragment);
    EXPECT_EQ(t.error.code, 3696);
    EXPECT_NE(t.error.message.find("At token 2 of fragment program."), std::string::npos);
    // The role a program is uploaded for must match its header.
    AgalWriter vertex(ProgramKind::Vertex);
    vertex.op(OpMov, out(), va(0));
    EXPECT_FALSE(readAgal(vertex.bytes(), ProgramKind::Fragment).program);
    EXPECT_TRUE(readAgal(vertex.bytes(), ProgramKind::Vertex).program);
}

TEST(AgalRun, OpcodeTable) {
    const Vec4 a{1, 4, -2, 0.5f};
    const Vec4 b{2, 2, 2, 2};
    struct Case {
        std::uint8_t op;
        Vec4 expected;
    };
    const std::vector<Case> cases = {
        {OpAdd, {3, 6, 0, 2.5f}},      {OpSub, {-1, 2, -4, -1.5f}}, {OpMul, {2, 8, -4, 1}},
        {OpDiv, {0.5f, 2, -1, 0.25f}}, {OpMin, {1, 2, -2, 0.5f}},   {OpMax, {2, 4, 2, 2}},
        {OpRcp, {1, 0.25f, -0.5f, 2}}, {OpFrc, {0, 0, 0, 0.5f}},    {OpAbs, {1, 4, 2, 0.5f}},
        {OpNeg, {-1, -4, 2, -0.5f}},   {OpSat, {1, 1, 0, 0.5f}},    {OpDp3, {6, 6, 6, 6}},
        {OpDp4, {7, 7, 7, 7}},         {OpSge, {0, 1, 0, 0}},       {OpSlt, {1, 0, 1, 1}},
        {OpSeq, {0, 0, 0, 0}},         {OpSne, {1, 1, 1, 1}},       {OpSgn, {1, 1, -1, 1}},
        {OpPow, {1, 16, 4, 0.25f}},    {OpCrs, {12, -6, -6, 0}},
    };
    for (const Case& c : cases) {
        const Vec4 got = applyOpcode(c.op, a, b);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_NEAR(got[i], c.expected[i], 1e-5)
                << "opcode " << int(c.op) << " component " << i;
        }
    }
    const Vec4 n = applyOpcode(OpNrm, {3, 0, 4, 9}, {});
    EXPECT_NEAR(n[0], 0.6f, 1e-6);
    EXPECT_NEAR(n[2], 0.8f, 1e-6);
}

TEST(AgalRun, SwizzleMaskAndMatrices) {
    // mov vt0.yw, vc0.wzyx; m44 op, vt0, vc1; mov v0, vt0
    AgalWriter w(ProgramKind::Vertex);
    w.op(OpMov, vt(0, 0b1010), {RegisterType::Constant, 0, 0x1B});
    w.op(OpM44, out(), vt(0), vc(1));
    w.op(OpMov, vary(0), vt(0));
    const AgalResult r = readAgal(w.bytes(), ProgramKind::Vertex);
    ASSERT_TRUE(r.program) << r.error.message;
    std::vector<Vec4> constants = {
        {1, 2, 3, 4}, {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 1, 1, 1}};
    ShaderInputs in;
    in.constants = constants;
    ShaderOutputs o;
    runAgal(*r.program, in, o);
    // vc0.wzyx = (4, 3, 2, 1); only y and w are written: (0, 3, 0, 1).
    EXPECT_EQ(o.varyings[0], (Vec4{0, 3, 0, 1}));
    EXPECT_EQ(o.out[0], (Vec4{0, 3, 0, 4}));
}

TEST(AgalRun, KilDiscardsAndReadsOutsideGiveZero) {
    AgalWriter w(ProgramKind::Fragment);
    w.op(OpMov, out(), vc(27));
    w.op(OpKil, {RegisterType::Attribute}, {RegisterType::Constant, 0, 0x00});
    const AgalResult r = readAgal(w.bytes(), ProgramKind::Fragment);
    ASSERT_TRUE(r.program) << r.error.message;
    std::vector<Vec4> constants = {{-1, 0, 0, 0}};
    ShaderInputs in;
    in.constants = constants;
    ShaderOutputs o;
    runAgal(*r.program, in, o);
    EXPECT_TRUE(o.killed);
    EXPECT_EQ(o.out[0], (Vec4{0, 0, 0, 0}));
}

} // namespace
} // namespace stage3d

namespace stage3d {
namespace {

// Damaged programs: whatever the bytes, reading ends in a program or an error, and a program
// that is accepted runs without reaching outside its registers.
TEST(AgalReader, DamagedBytesNeverEscape) {
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(seed >> 16);
    };
    std::vector<Vec4> constants(4, Vec4{1e30f, -1e30f, 0.5f, -0.5f});
    std::vector<Vec4> attributes(8, Vec4{3e9f, 2, 1, 0});
    int accepted = 0;
    for (int round = 0; round < 2000; ++round) {
        const ProgramKind kind = round % 2 == 0 ? ProgramKind::Vertex : ProgramKind::Fragment;
        std::vector<std::uint8_t> bytes = {0xa0, static_cast<std::uint8_t>(1 + round % 2), 0, 0, 0,
                                           0xa1, static_cast<std::uint8_t>(kind)};
        const auto word = [&bytes](std::uint32_t w) {
            for (int i = 0; i < 4; ++i) {
                bytes.push_back(static_cast<std::uint8_t>(w >> (8 * i)));
            }
        };
        // Tokens of small, mostly meaningful fields, so that some pass the checks.
        for (int token = 0; token < 1 + round % 5; ++token) {
            word(next() % 0x30u);
            word((next() % 4u) | (next() % 16u) << 16 | (next() % 5u) << 24);
            for (int source = 0; source < 2; ++source) {
                word((next() % 4u) | static_cast<std::uint32_t>(next()) << 24);
                word((next() % 6u) | (next() % 3u) << 8 | (next() % 4u) << 16 |
                     (next() % 16 == 0 ? 1u << 31 : 0u));
            }
        }
        const AgalResult r = readAgal(bytes, kind);
        if (!r.program) {
            EXPECT_FALSE(r.error.message.empty());
            continue;
        }
        ++accepted;
        ShaderInputs in;
        in.constants = constants;
        in.attributes = attributes;
        in.varyings = constants;
        ShaderOutputs out;
        runAgal(*r.program, in, out);
    }
    EXPECT_GT(accepted, 0);
}

} // namespace
} // namespace stage3d
