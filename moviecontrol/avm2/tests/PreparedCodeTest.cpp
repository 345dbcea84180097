// The checks a method body passes before it first runs, by table: each body and the
// VerifyError number Flash gives it (0: accepted).

#include "avm2/PreparedCode.h"
#include "avm2/AbcReader.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Case {
    const char* what;
    std::vector<std::uint8_t> code;
    int error;
    std::uint32_t maxStack = 2;
    std::uint32_t localCount = 2;
    std::uint32_t maxScope = 1;
    std::vector<avm2::ExceptionInfo> handlers = {};
};

int check(const Case& c, avm2::PreparedCode* out = nullptr) {
    avm2::AbcFile abc;
    abc.methods.resize(1);
    avm2::MethodBody body;
    body.code = c.code;
    body.maxStack = c.maxStack;
    body.localCount = c.localCount;
    body.maxScopeDepth = c.maxScope;
    body.exceptions = c.handlers;
    try {
        avm2::PreparedCode p = avm2::prepareBody(abc, body, "Tests/test()");
        if (out != nullptr) {
            *out = std::move(p);
        }
    } catch (const avm2::AbcError& e) {
        return e.code();
    }
    return 0;
}

TEST(PreparedCode, BodiesFlashRefusesAreRefusedWithItsNumbers) {
    const std::vector<Case> cases = {
        {"return only", {0x47}, 0},
        {"stack within its maximum", {0x24, 1, 0x24, 2, 0x29, 0x29, 0x47}, 0},
        {"stack past its maximum", {0x24, 1, 0x24, 2, 0x24, 3, 0x47}, 1023},
        {"pop from an empty stack", {0x29, 0x47}, 1024},
        {"falls off the end", {0x24, 1, 0x29}, 1020},
        {"empty body", {}, 1020},
        {"illegal opcode", {0xFF, 0x47}, 1011},
        {"jump into an instruction", {0x10, 0x01, 0x00, 0x00, 0x24, 0x01, 0x47}, 1021},
        {"jump outside the body", {0x10, 0x40, 0x00, 0x00, 0x47}, 1021},
        {"register past the local count", {0x62, 0x05, 0x29, 0x47}, 1025},
        {"setlocal3 with two locals", {0x24, 1, 0xD7, 0x47}, 1025},
        {"scope past its maximum", {0xD0, 0x30, 0xD0, 0x30, 0x47}, 1017},
        {"popscope with no scope", {0x1D, 0x47}, 1018},
        {"unbalanced merge", {0x26, 0x11, 0x02, 0x00, 0x00, 0x24, 0x01, 0x47}, 1030},
        // Overflow after a return is never reached, so never checked.
        {"overflow in unreachable code", {0x47, 0x24, 1, 0x24, 2, 0x24, 3, 0x47}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(check(c), c.error) << c.what;
    }
}

TEST(PreparedCode, HandlersCountOnlyWhenTheyGuardReachableCode) {
    // A handler whose code overflows: refused when it guards the throw, accepted when the
    // code it guards is never reached.
    const std::vector<std::uint8_t> code{0x24, 1, 0x03, 0x24, 1, 0x24, 2, 0x47};
    Case reachable{"reachable handler", code, 1023, 2};
    reachable.handlers = {{0, 3, 3, 0, 0}};
    EXPECT_EQ(check(reachable), 1023);
    Case unreachable{"unreachable handler", {0x47, 0x24, 1, 0x03, 0x24, 1, 0x24, 2, 0x47}, 0, 2};
    unreachable.handlers = {{1, 4, 4, 0, 0}};
    EXPECT_EQ(check(unreachable), 0);
    Case outside{"handler range past the end", {0x47}, 1054};
    outside.handlers = {{0, 9, 0, 0, 0}};
    EXPECT_EQ(check(outside), 1054);
}

TEST(PreparedCode, JumpsBecomeInstructionIndices) {
    // 0: pushtrue  1: iftrue -> 4  2: pushbyte 9  3: jump -> 5 (as a byte offset 11)
    // 4: pushbyte 4  5: pop  6: returnvoid
    Case c{"branches",
           {0x26, 0x11, 0x06, 0x00, 0x00, 0x24, 9, 0x10, 0x02, 0x00, 0x00, 0x24, 4, 0x29, 0x47},
           0};
    avm2::PreparedCode p;
    ASSERT_EQ(check(c, &p), 0);
    ASSERT_EQ(p.code.size(), 7u);
    EXPECT_EQ(p.code[1].target, 4u);
    EXPECT_EQ(p.code[3].target, 5u);
}

} // namespace
