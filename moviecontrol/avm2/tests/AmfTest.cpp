// AMF through ByteArray.writeObject/readObject: the exact bytes of each value kind in AMF3
// and AMF0, the reference tables, class aliases, and damaged input (cut, bad references,
// unknown markers, nesting too deep), which must throw rather than crash or allocate.

#include "FakeHost.h"

#include "avm2/ByteArrayData.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;
using Bytes = std::vector<std::uint8_t>;

class Amf : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value stream(int encoding, const Bytes& data = {}) {
        Value b = Value::object(avm2::newByteArray(vm));
        avm2::byteArrayData(b)->objectEncoding = static_cast<std::uint32_t>(encoding);
        avm2::byteArrayData(b)->data = data;
        return b;
    }
    Bytes written(int encoding, const Value& v) {
        Value b = stream(encoding);
        Args args{v};
        vm.callProperty(b, Name::publicName("writeObject"), args);
        return avm2::byteArrayData(b)->data;
    }
    // What reading `data` gives, as a string, or the error it throws.
    std::string read(int encoding, const Bytes& data) {
        Value b = stream(encoding, data);
        try {
            Args none;
            return vm.toString(vm.callProperty(b, Name::publicName("readObject"), none));
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
    }
    Value object(std::initializer_list<std::pair<const char*, Value>> members) {
        Value o = Value::object(vm.newObject());
        for (const auto& [k, v] : members) {
            vm.setProperty(o, Name::publicName(k), v);
        }
        return o;
    }
};

struct ValueBytes {
    const char* what;
    Value value;
    Bytes amf3;
    Bytes amf0;
};

TEST_F(Amf, PrimitivesInBothEncodings) {
    const std::vector<ValueBytes> table = {
        {"undefined", Value(), {0x00}, {0x06}},
        {"null", Value::null(), {0x01}, {0x05}},
        {"false", Value::boolean(false), {0x02}, {0x01, 0x00}},
        {"true", Value::boolean(true), {0x03}, {0x01, 0x01}},
        {"small int", Value::integer(5), {0x04, 0x05}, {0x00, 0x40, 0x14, 0, 0, 0, 0, 0, 0}},
        {"two-byte int", Value::integer(200), {0x04, 0x81, 0x48}, {}},
        {"four-byte int", Value::integer(0x0FFFFFFF), {0x04, 0xBF, 0xFF, 0xFF, 0xFF}, {}},
        {"negative int", Value::integer(-1), {0x04, 0xFF, 0xFF, 0xFF, 0xFF}, {}},
        {"int past 29 bits", Value::integer(0x10000000), {0x05, 0x41, 0xB0, 0, 0, 0, 0, 0, 0}, {}},
        {"integral Number", Value::number(3), {0x04, 0x03}, {}},
        {"fraction", Value::number(0.5), {0x05, 0x3F, 0xE0, 0, 0, 0, 0, 0, 0}, {}},
        {"negative zero", Value::number(-0.0), {0x05, 0x80, 0, 0, 0, 0, 0, 0, 0}, {}},
        {"string", Value::string("hi"), {0x06, 0x05, 'h', 'i'}, {0x02, 0x00, 0x02, 'h', 'i'}},
        {"empty string", Value::string(""), {0x06, 0x01}, {0x02, 0x00, 0x00}},
    };
    for (const ValueBytes& c : table) {
        EXPECT_EQ(written(3, c.value), c.amf3) << c.what;
        if (!c.amf0.empty()) {
            EXPECT_EQ(written(0, c.value), c.amf0) << c.what;
        }
        EXPECT_EQ(read(3, c.amf3), vm.toString(c.value)) << c.what;
    }
}

TEST_F(Amf, ObjectsArraysAndTheirReferences) {
    const Value inner = object({{"a", Value::integer(1)}});
    const Value outer = object({{"x", inner}, {"y", inner}});
    // The second mention of `inner` is object reference 1, and its name "a" and anonymous
    // traits are not repeated.
    const Bytes expected = {0x0A, 0x0B, 0x01, 0x03, 'x', 0x0A, 0x01, 0x03, 'a',
                            0x04, 0x01, 0x01, 0x03, 'y', 0x0A, 0x02, 0x01};
    EXPECT_EQ(written(3, outer), expected);

    const Value array = Value::object(vm.newArray({Value::string("s"), Value::string("s")}));
    EXPECT_EQ(written(3, array), (Bytes{0x09, 0x05, 0x01, 0x06, 0x03, 's', 0x06, 0x00}));

    // Reading gives the same object twice, and a cycle closes on itself.
    Value b = stream(3, expected);
    Args none;
    const Value back = vm.callProperty(b, Name::publicName("readObject"), none);
    EXPECT_TRUE(vm.strictEquals(vm.getProperty(back, Name::publicName("x")),
                                vm.getProperty(back, Name::publicName("y"))));
    const Value self = object({});
    vm.setProperty(self, Name::publicName("me"), self);
    EXPECT_EQ(written(3, self), (Bytes{0x0A, 0x0B, 0x01, 0x05, 'm', 'e', 0x0A, 0x00, 0x01}));
}

TEST_F(Amf, ByteArraysAndVectorsKeepTheirKind) {
    Value bytes = stream(3, {1, 2, 3});
    EXPECT_EQ(written(3, bytes), (Bytes{0x0C, 0x07, 1, 2, 3}));
    EXPECT_EQ(read(3, {0x0D, 0x05, 0x00, 0, 0, 0, 7, 0xFF, 0xFF, 0xFF, 0xFF}), "7,-1");
    EXPECT_EQ(read(3, {0x0E, 0x03, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}), "4294967295");
    EXPECT_EQ(read(3, {0x09, 0x03, 0x03, 'k', 0x04, 0x02, 0x01, 0x04, 0x09}), "9");
}

TEST_F(Amf, DamagedInputThrowsInsteadOfReadingOn) {
    const std::vector<std::pair<Bytes, std::string>> table = {
        {{}, "Error: Error #2030: End of file was encountered."},
        {{0x05, 0x3F}, "Error: Error #2030: End of file was encountered."},
        {{0x06, 0x09, 'a'}, "Error: Error #2030: End of file was encountered."},
        {{0x06, 0x02}, "RangeError: Error #2006: The supplied index is out of bounds."},
        {{0x0A, 0x02}, "RangeError: Error #2006: The supplied index is out of bounds."},
        {{0x0A, 0x04}, "RangeError: Error #2006: The supplied index is out of bounds."},
        {{0x99}, "RangeError: Error #2006: The supplied index is out of bounds."},
        // A count of elements far beyond the bytes there are allocates nothing.
        {{0x09, 0xBF, 0xFF, 0xFF, 0xFF, 0x01}, "Error: Error #2030: End of file was encountered."},
        {{0x0D, 0xBF, 0xFF, 0xFF, 0xFF, 0x00}, "Error: Error #2030: End of file was encountered."},
    };
    for (const auto& [data, error] : table) {
        EXPECT_EQ(read(3, data), error) << data.size();
    }
    EXPECT_EQ(read(0, {0x07, 0x00, 0x05}),
              "RangeError: Error #2006: The supplied index is out of bounds.");
    EXPECT_EQ(read(0, {0x02, 0xFF, 0xFF}), "Error: Error #2030: End of file was encountered.");

    // Arrays nested deeper than the bound stop with an error, not the C++ stack.
    Bytes deep(5000, 0x0A);
    for (std::size_t i = 1; i < deep.size(); i += 2) {
        deep[i] = 0x0B;
    }
    EXPECT_NE(read(3, deep).find("Error #"), std::string::npos);
}

TEST_F(Amf, AliasesNameTheClassBothWays) {
    Args noAlias{Value::string("nothing")};
    const Value getter =
        vm.getProperty(Value::object(vm.globalObject()),
                       Name::qualified(avm2::Namespace::publicNs("flash.net"), "getClassByAlias"));
    try {
        vm.call(getter, Value(), noAlias);
        FAIL();
    } catch (const avm2::ScriptThrow& t) {
        EXPECT_EQ(vm.toString(t.value),
                  "ReferenceError: Error #1014: Class nothing could not be found.");
    }
    const Value registerFn = vm.getProperty(
        Value::object(vm.globalObject()),
        Name::qualified(avm2::Namespace::publicNs("flash.net"), "registerClassAlias"));
    Args reg{Value::string("pt"), Value::object(vm.findClass("Date")->classObject)};
    vm.call(registerFn, Value(), reg);
    Args alias{Value::string("pt")};
    EXPECT_EQ(vm.toString(vm.call(getter, Value(), alias)), "[class Date]");
}

TEST_F(Amf, ArbitraryBytesNeverCrashTheReader) {
    // A fixed pseudo-random stream of inputs, weighted towards the markers and short
    // lengths, read in both encodings: each read ends in a value or a script error.
    std::uint32_t state = 12345;
    const auto next = [&] {
        state = state * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(state >> 16);
    };
    for (int n = 0; n < 3000; ++n) {
        Bytes data(next() % 48);
        for (std::uint8_t& b : data) {
            const std::uint8_t r = next();
            b = r < 128 ? static_cast<std::uint8_t>(r % 0x12) : next();
        }
        for (int encoding : {3, 0}) {
            const std::string result = read(encoding, data);
            EXPECT_FALSE(result.empty() && data.empty());
        }
    }
}

TEST_F(Amf, WhatIsWrittenReadsBackTheSame) {
    const Value nested =
        object({{"list", Value::object(vm.newArray(
                             {Value::integer(1), Value::number(2.5), Value::string("three")}))},
                {"flag", Value::boolean(true)},
                {"none", Value::null()}});
    for (int encoding : {3, 0}) {
        Value b = stream(encoding);
        Args args{nested};
        vm.callProperty(b, Name::publicName("writeObject"), args);
        avm2::byteArrayData(b)->position = 0;
        Args none;
        const Value back = vm.callProperty(b, Name::publicName("readObject"), none);
        EXPECT_EQ(vm.toString(vm.getProperty(back, Name::publicName("list"))), "1,2.5,three")
            << encoding;
        EXPECT_EQ(vm.toString(vm.getProperty(back, Name::publicName("flag"))), "true") << encoding;
        EXPECT_TRUE(vm.getProperty(back, Name::publicName("none")).isNull()) << encoding;
        EXPECT_EQ(avm2::byteArrayData(b)->position, avm2::byteArrayData(b)->data.size())
            << encoding;
    }
}

} // namespace
