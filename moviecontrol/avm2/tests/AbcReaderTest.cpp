// The ABC reader on damaged blocks: every cut, bad index and inflated count is refused with
// Flash's VerifyError number, never read past or allocated for.

#include "avm2/AbcReader.h"
#include "AbcBuilder.h"

#include <gtest/gtest.h>

namespace {

using avm2::AbcError;
using avm2test::AbcBuilder;
using avm2test::Bytes;

int errorOf(const Bytes& bytes) {
    try {
        avm2::readAbc(bytes);
    } catch (const AbcError& e) {
        return e.code();
    }
    return 0;
}

AbcBuilder sample() {
    avm2test::TraceScript s;
    AbcBuilder abc = s.abc;
    const std::uint32_t init = abc.method();
    const std::uint32_t cinit = abc.method();
    const std::uint32_t iinit = abc.method();
    const std::uint32_t cls = abc.qname(s.publicNs, abc.string("C"));
    abc.classes.push_back({cls, 0, iinit, cinit, {}, {}});
    abc.scripts.push_back({init, {{cls, 4, 1, 0}}});
    for (std::uint32_t m : {init, cinit, iinit}) {
        avm2test::BodySpec b;
        b.method = m;
        b.code = {0x47};
        abc.bodies.push_back(b);
    }
    return abc;
}

TEST(AbcReader, ReadsPoolsClassesScriptsAndBodies) {
    const avm2::AbcFile f = avm2::readAbc(sample().build());
    EXPECT_EQ(f.majorVersion, 46);
    ASSERT_EQ(f.strings.size(), 4u);
    EXPECT_EQ(f.strings[2], "trace");
    ASSERT_EQ(f.classes.size(), 1u);
    EXPECT_EQ(f.instances[0].init, 2u);
    ASSERT_EQ(f.scripts.size(), 1u);
    EXPECT_EQ(f.scripts[0].traits[0].kind, avm2::TraitKind::Class);
    ASSERT_EQ(f.bodies.size(), 3u);
    EXPECT_EQ(f.methods[1].body, 1);
}

TEST(AbcReader, EveryCutBlockIsRefused) {
    const Bytes whole = sample().build();
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_NE(errorOf(cut), 0) << "cut at " << n;
    }
}

TEST(AbcReader, IndicesOutsideTheirPoolsAreRefused) {
    AbcBuilder badClass = sample();
    badClass.scripts[0].second[0].index = 40;
    EXPECT_EQ(errorOf(badClass.build()), 1060);
    try {
        avm2::readAbc(badClass.build());
    } catch (const AbcError& e) {
        EXPECT_STREQ(e.what(), "ClassInfo 40 exceeds class_count=1.");
    }

    AbcBuilder badString = sample();
    badString.qnames[0].second = 99;
    EXPECT_EQ(errorOf(badString.build()), 1032);

    AbcBuilder badMethod = sample();
    badMethod.scripts[0].first = 17;
    EXPECT_EQ(errorOf(badMethod.build()), 1027);

    AbcBuilder twoBodies = sample();
    twoBodies.bodies.push_back(twoBodies.bodies[0]);
    EXPECT_EQ(errorOf(twoBodies.build()), 1109);
}

TEST(AbcReader, CountsBeyondTheRemainingBytesAreRefusedBeforeAllocating) {
    // A string pool claiming a billion entries in a twelve-byte block.
    Bytes huge{0x10, 0x00, 0x2E, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x03};
    EXPECT_EQ(errorOf(huge), 1107);
    // A method count far past what the bytes could describe.
    Bytes methods{0x10, 0x00, 0x2E, 0x00, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x01};
    EXPECT_EQ(errorOf(methods), 1107);
}

} // namespace
