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
        // A jump back lands on a label or where a forward jump already goes.
        {"jump to itself", {0x10, 0xFC, 0xFF, 0xFF}, 1021},
        {"loop back to a label", {0x09, 0x26, 0x11, 0xFA, 0xFF, 0xFF, 0x47}, 0},
        {"loop back to a forward jump's target",
         {0x10, 0x00, 0x00, 0x00, 0x26, 0x11, 0xFB, 0xFF, 0xFF, 0x47},
         0},
        {"loop back to plain code", {0x02, 0x26, 0x11, 0xFB, 0xFF, 0xFF, 0x47}, 1021},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(check(c), c.error) << c.what;
    }
}

TEST(PreparedCode, HandlersCountOnlyWhenReachedCodeTheyGuardCanFail) {
    // Each handler's own code overflows (the stack holds two): refused only when the handler
    // can be entered, that is when reached code it guards can fail or heads a loop.
    const std::vector<std::uint8_t> overflow{0x24, 1, 0x24, 2, 0x24, 3, 0x47};
    auto with = [&](std::vector<std::uint8_t> code) {
        code.insert(code.end(), overflow.begin(), overflow.end());
        return code;
    };
    const std::vector<Case> table = {
        {"guards a throw", with({0x24, 1, 0x03}), 1023, 2, 2, 1, {{0, 3, 3, 0, 0}}},
        {"guards an increment",
         with({0x24, 1, 0x91, 0x29, 0x47}),
         1023,
         2,
         2,
         1,
         {{0, 4, 5, 0, 0}}},
        {"guards only a push and a pop",
         with({0x24, 1, 0x29, 0x47}),
         0,
         2,
         2,
         1,
         {{0, 3, 4, 0, 0}}},
        {"guards a failing instruction just past its range",
         with({0x24, 1, 0x91, 0x29, 0x47}),
         0,
         2,
         2,
         1,
         {{0, 2, 5, 0, 0}}},
        {"guards code never reached", with({0x47, 0x24, 1, 0x03}), 0, 2, 2, 1, {{1, 4, 4, 0, 0}}},
        {"guards the head of a loop",
         with({0x09, 0x27, 0x11, 0xFA, 0xFF, 0xFF, 0x47}),
         1023,
         2,
         2,
         1,
         {{0, 6, 7, 0, 0}}},
        {"range past the end", {0x47}, 1054, 2, 2, 1, {{0, 9, 0, 0, 0}}},
    };
    for (const Case& c : table) {
        EXPECT_EQ(check(c), c.error) << c.what;
    }
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

namespace {

// Whether the first property access of the body is known to work on `this`.
bool accessOnThis(const std::vector<std::uint8_t>& code) {
    avm2::AbcFile abc;
    abc.methods.resize(1);
    abc.multinames.resize(2); // 1: a plain QName
    avm2::MethodBody body;
    body.code = code;
    body.maxStack = 3;
    body.localCount = 2;
    const avm2::PreparedCode p = avm2::prepareBody(abc, body, "Tests/test()");
    for (const avm2::Instr& in : p.code) {
        if (in.op == 0x66 || in.op == 0x61 || in.op == 0x68) {
            return in.onThis;
        }
    }
    ADD_FAILURE() << "no property access";
    return false;
}

TEST(PreparedCode, PropertyAccessKnowsWhenItsObjectIsThis) {
    struct ThisCase {
        const char* what;
        std::vector<std::uint8_t> code;
        bool onThis;
    };
    const std::vector<ThisCase> cases = {
        {"read through getlocal0", {0xD0, 0x66, 1, 0x29, 0x47}, true},
        {"read through another register", {0xD1, 0x66, 1, 0x29, 0x47}, false},
        {"register 0 replaced first", {0x20, 0xD4, 0xD0, 0x66, 1, 0x29, 0x47}, false},
        {"duplicated", {0xD0, 0x2A, 0x29, 0x66, 1, 0x29, 0x47}, true},
        {"write below the value", {0xD0, 0x24, 1, 0x61, 1, 0x47}, true},
        {"write of this as the value", {0xD1, 0xD0, 0x61, 1, 0x47}, false},
        // Both paths leave `this`, or only one of them does.
        {"this on both paths", {0xD0, 0x26, 0x12, 0, 0, 0, 0x66, 1, 0x29, 0x47}, true},
        {"this on one path", {0xD0, 0x26, 0x12, 2, 0, 0, 0x29, 0xD1, 0x66, 1, 0x29, 0x47}, false},
    };
    for (const ThisCase& c : cases) {
        EXPECT_EQ(accessOnThis(c.code), c.onThis) << c.what;
    }
}

} // namespace
