// Percent coding of text: escape/unescape by code unit, the URI functions by UTF-8 byte,
// with the marks each one leaves alone and the sequences each one refuses.

#include "avm2/UriCoding.h"
#include "FakeHost.h"

#include <gtest/gtest.h>

namespace {

using avm2::UriSet;

TEST(UriCoding, EscapeKeepsItsMarksAndCodesByUnit) {
    EXPECT_EQ(avm2::escapeText(u"aZ09@*_+-./"), "aZ09@*_+-./");
    EXPECT_EQ(avm2::escapeText(u"! ~\x05\xA3"), "%21%20%7E%05%A3");
    EXPECT_EQ(avm2::escapeText(u"\U0001F62D"), "%uD83D%uDE2D");
    EXPECT_EQ(avm2::escapeText(u"\x4F60"), "%u4F60");
}

TEST(UriCoding, UnescapeLeavesBrokenSequences) {
    struct Case {
        std::u16string in;
        std::u16string out;
    };
    const Case table[] = {
        {u"%32%33", u"23"},     {u"aa %32%33", u"aa 23"},
        {u"%32%3", u"2%3"},     {u"%%3", u"%%3"},
        {u"%G3", u"%G3"},       {u"%u", u"%u"},
        {u"%u33", u"%u33"},     {u"%U3333", u"%U3333"},
        {u"%u333G", u"%u333G"}, {u"%uD83D%uDE2D", u"\U0001F62D"},
        {u"%u4f60", u"\x4F60"},
    };
    for (const Case& c : table) {
        EXPECT_EQ(avm2::unescapeText(c.in), c.out);
    }
}

TEST(UriCoding, EncodeKeepsReservedMarksOnlyForWholeUris) {
    std::string out;
    ASSERT_TRUE(avm2::encodeUri(u"a;/?:@&=+$,# -_.!~*'()", UriSet::Whole, out));
    EXPECT_EQ(out, "a;/?:@&=+$,#%20-_.!~*'()");
    ASSERT_TRUE(avm2::encodeUri(u"a;/?:@&=+$,# -_.!~*'()", UriSet::Component, out));
    EXPECT_EQ(out, "a%3B%2F%3F%3A%40%26%3D%2B%24%2C%23%20-_.!~*'()");
    ASSERT_TRUE(avm2::encodeUri(u"\xA3\x4F60\U0001F62D", UriSet::Component, out));
    EXPECT_EQ(out, "%C2%A3%E4%BD%A0%F0%9F%98%AD");
    // A surrogate without its partner has no UTF-8 form.
    EXPECT_FALSE(avm2::encodeUri(u"\xD83D"
                                 u"a",
                                 UriSet::Whole, out));
    EXPECT_FALSE(avm2::encodeUri(u"\xDE2D", UriSet::Component, out));
}

TEST(UriCoding, DecodeChecksEveryByte) {
    std::u16string out;
    ASSERT_TRUE(avm2::decodeUri(u"%C2%A3%F0%9F%98%AD%41", UriSet::Component, out));
    EXPECT_EQ(out, u"\xA3\U0001F62D"
                   u"A");
    // A whole URI keeps the escapes of its reserved marks.
    ASSERT_TRUE(avm2::decodeUri(u"%2F%20%3F", UriSet::Whole, out));
    EXPECT_EQ(out, u"%2F %3F");
    ASSERT_TRUE(avm2::decodeUri(u"%2F%20%3F", UriSet::Component, out));
    EXPECT_EQ(out, u"/ ?");
    for (const std::u16string bad : {u"%", u"%4", u"%G1", u"%C2", u"%C2%41", u"%C0%80",
                                     u"%ED%A0%80", u"%F4%90%80%80", u"%FF"}) {
        EXPECT_FALSE(avm2::decodeUri(bad, UriSet::Component, out));
    }
}

TEST(Reflection, DefinitionsByEitherWrittenForm) {
    avm2test::FakeHost host;
    avm2::Machine vm(host);
    vm.beginFrame();
    auto lookup = [&](const std::string& written) {
        avm2::Args args{avm2::Value::string(written)};
        const avm2::Value fn = vm.getProperty(
            avm2::Value::object(vm.globalObject()),
            avm2::Name::qualified(avm2::Namespace::publicNs("flash.utils"), "getDefinitionByName"));
        try {
            return vm.toString(vm.call(fn, avm2::Value::null(), args));
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
    };
    EXPECT_EQ(lookup("Array"), "[class Array]");
    EXPECT_EQ(lookup("flash.errors.IOError"), "[class IOError]");
    EXPECT_EQ(lookup("flash.errors::IOError"), "[class IOError]");
    EXPECT_EQ(lookup("flash.errors.Nothing"),
              "ReferenceError: Error #1065: Variable flash.errors.Nothing is not defined.");
    EXPECT_EQ(lookup(""), "ReferenceError: Error #1065: Variable  is not defined.");
}

} // namespace
