// ByteArray: numbers in both byte orders, text in its codings (a NUL ends what is read),
// reads past the end, and compression whose expansion stops at the memory budget.

#include "FakeHost.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

class ByteArrays : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value make() {
        Args none;
        return vm.construct(Value::object(vm.findClass("flash.utils::ByteArray")->classObject),
                            none);
    }
    std::string call(const Value& b, const std::string& method, Args args = {}) {
        try {
            return vm.toString(vm.callProperty(b, Name::publicName(method), args));
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
    }
    std::string get(const Value& b, const std::string& property) {
        return vm.toString(vm.getProperty(b, Name::publicName(property)));
    }
    void set(const Value& b, const std::string& property, const Value& v) {
        vm.setProperty(b, Name::publicName(property), v);
    }
};

TEST_F(ByteArrays, NumbersInBothByteOrders) {
    const Value b = make();
    call(b, "writeShort", {Value::integer(0x1234)});
    set(b, "endian", Value::string("littleEndian"));
    call(b, "writeShort", {Value::integer(0x1234)});
    call(b, "writeInt", {Value::integer(-2)});
    call(b, "writeDouble", {Value::number(1.5)});
    call(b, "writeFloat", {Value::number(0.25)});
    call(b, "writeBoolean", {Value::integer(7)});
    EXPECT_EQ(get(b, "length"), "21");
    set(b, "position", Value::integer(0));
    set(b, "endian", Value::string("bigEndian"));
    EXPECT_EQ(call(b, "readUnsignedByte"), "18"); // 0x12 first: big-endian
    EXPECT_EQ(call(b, "readByte"), "52");
    EXPECT_EQ(call(b, "readByte"), "52"); // 0x34 first: little-endian
    set(b, "endian", Value::string("littleEndian"));
    set(b, "position", Value::integer(2));
    EXPECT_EQ(call(b, "readShort"), "4660");
    EXPECT_EQ(call(b, "readInt"), "-2");
    set(b, "position", Value::integer(4));
    EXPECT_EQ(call(b, "readUnsignedInt"), "4294967294");
    EXPECT_EQ(call(b, "readDouble"), "1.5");
    EXPECT_EQ(call(b, "readFloat"), "0.25");
    EXPECT_EQ(call(b, "readBoolean"), "true");
    EXPECT_EQ(get(b, "bytesAvailable"), "0");
    EXPECT_EQ(call(b, "readByte"), "Error: Error #2030: End of file was encountered.");
    set(b, "position", Value::integer(100));
    EXPECT_EQ(call(b, "readByte"), "Error: Error #2030: End of file was encountered.");
    EXPECT_EQ(get(b, "bytesAvailable"), "0");
    try {
        set(b, "endian", Value::string("middle"));
        ADD_FAILURE() << "an unknown byte order is refused";
    } catch (const avm2::ScriptThrow&) {
    }
}

TEST_F(ByteArrays, TextCodings) {
    const Value b = make();
    call(b, "writeUTFBytes", {Value::string("")}); // nothing, into an array with no storage
    call(b, "writeMultiByte", {Value::string(""), Value::string("utf-16le")});
    EXPECT_EQ(get(b, "length"), "0");
    call(b, "writeUTF", {Value::string("h\xC3\xA9")}); // two bytes of length, then UTF-8
    EXPECT_EQ(get(b, "length"), "5");
    call(b, "writeUTFBytes", {Value::string("AB")});
    call(b, "writeByte", {Value::integer(0)});
    call(b, "writeByte", {Value::integer(67)});
    // The whole as text keeps its NUL.
    EXPECT_EQ(call(b, "toString").substr(5, 4), std::string("AB\0C", 4));
    call(b, "writeMultiByte", {Value::string("\xC3\xA9"), Value::string("utf-16le")});
    call(b, "writeMultiByte", {Value::string("\xC3\xA9"), Value::string("iso-8859-1")});
    set(b, "position", Value::integer(0));
    EXPECT_EQ(call(b, "readUTF"), "h\xC3\xA9");
    EXPECT_EQ(call(b, "readUTFBytes", {Value::integer(4)}), "AB"); // the NUL ends the text
    EXPECT_EQ(call(b, "readMultiByte", {Value::integer(2), Value::string("utf-16le")}), "\xC3\xA9");
    EXPECT_EQ(call(b, "readMultiByte", {Value::integer(1), Value::string("iso-8859-1")}),
              "\xC3\xA9");
}

TEST_F(ByteArrays, ToStringFollowsAByteOrderMark) {
    const std::vector<std::pair<std::vector<int>, std::string>> table = {
        {{0xFE, 0xFF, 0x00, 0x41, 0x00, 0xE9}, "A\xC3\xA9"}, // UTF-16, big end first
        {{0xFF, 0xFE, 0x41, 0x00, 0xE9, 0x00}, "A\xC3\xA9"}, // UTF-16, little end first
        {{0xEF, 0xBB, 0xBF, 0x41}, "A"},                     // UTF-8, mark dropped
        {{0x41, 0xC3, 0xA9}, "A\xC3\xA9"},                   // UTF-8 without a mark
        {{0xFE, 0xFF}, ""},
    };
    for (const auto& [bytes, expected] : table) {
        const Value b = make();
        for (int byte : bytes) {
            call(b, "writeByte", {Value::integer(byte)});
        }
        EXPECT_EQ(call(b, "toString"), expected) << bytes.size();
    }
}

TEST_F(ByteArrays, CopiesNeedAByteArray) {
    const Value b = make();
    call(b, "writeUTFBytes", {Value::string("abc")});
    const std::vector<std::pair<Value, std::string>> table = {
        {Value::null(), "TypeError: Error #2007: Parameter bytes must be non-null."},
        {Value(), "TypeError: Error #2007: Parameter bytes must be non-null."},
        {Value::string("x"),
         "TypeError: Error #1034: Type Coercion failed: cannot convert \"x\" to "
         "flash.utils.ByteArray."},
    };
    for (const auto& [target, expected] : table) {
        EXPECT_EQ(call(b, "readBytes", {target}), expected);
        EXPECT_EQ(call(b, "writeBytes", {target}), expected);
    }
    const Value to = make();
    set(b, "position", Value::integer(1));
    EXPECT_EQ(call(b, "readBytes", {to}), "undefined");
    EXPECT_EQ(call(to, "toString"), "bc");
}

TEST_F(ByteArrays, CompressionRoundTripsAndIsBounded) {
    const Value b = make();
    call(b, "writeUTFBytes", {Value::string(std::string(10000, 'z'))});
    call(b, "compress");
    EXPECT_LT(std::stoi(get(b, "length")), 200);
    call(b, "uncompress");
    EXPECT_EQ(get(b, "length"), "10000");
    EXPECT_EQ(get(b, "position"), "0");

    const Value junk = make();
    call(junk, "writeUTFBytes", {Value::string("not zlib at all")});
    EXPECT_EQ(call(junk, "uncompress"),
              "Error: Error #2058: There was an error decompressing the data.");

    // A small stream that expands past the memory budget abandons the script.
    avm2::Limits limits;
    limits.budget.memoryBytes = 4u << 20;
    avm2test::FakeHost smallHost;
    avm2::Machine small(smallHost, limits);
    small.beginFrame();
    Args none;
    const Value bomb = small.construct(
        Value::object(small.findClass("flash.utils::ByteArray")->classObject), none);
    Args zeros{Value::integer(64 << 20)};
    // The bytes are made in the large machine's budget, then moved over compressed.
    const Value big = make();
    vm.setProperty(big, Name::publicName("length"), zeros[0]);
    call(big, "compress");
    Args copy{big};
    small.callProperty(bomb, Name::publicName("writeBytes"), copy);
    EXPECT_THROW(small.callProperty(bomb, Name::publicName("uncompress"), none), avm2::ScriptAbort);
}

} // namespace
