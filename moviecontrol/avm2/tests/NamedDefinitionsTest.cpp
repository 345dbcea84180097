// Built-in definitions scripts reach by name or build themselves: vector classes written out
// in full, the globalization parse results, and how JSON shows a class object.

#include "PlayerClassTest.h"

#include <cmath>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Namespace;
using avm2::Value;

class NamedDefinitions : public avm2test::PlayerClassTest {
  protected:
    // getDefinitionByName's answer as text, or the error it throws.
    std::string lookup(const std::string& written) {
        Args args{Value::string(written)};
        const Value fn = vm.getProperty(
            Value::object(vm.globalObject()),
            Name::qualified(Namespace::publicNs("flash.utils"), "getDefinitionByName"));
        try {
            return text(vm.call(fn, Value::null(), args));
        } catch (const avm2::ScriptThrow& t) {
            return text(t.value);
        }
    }
};

TEST_F(NamedDefinitions, VectorClassesByTheirWrittenNames) {
    const std::vector<std::pair<const char*, const char*>> table = {
        {"__AS3__.vec::Vector.<int>", "[class Vector.<int>]"},
        {"Vector.<Number>", "[class Vector.<Number>]"},
        {"Vector.<*>", "[class Vector.<*>]"},
        // The element type may be written with a dot or with colons.
        {"Vector.<flash.geom.Point>", "[class Vector.<flash.geom::Point>]"},
        {"__AS3__.vec::Vector.<flash.geom::Point>", "[class Vector.<flash.geom::Point>]"},
        {"Vector.<Vector.<int>>", "[class Vector.<__AS3__.vec::Vector.<int>>]"},
        {"__AS3__.vec::Vector.<__AS3__.vec::Vector.<uint>>",
         "[class Vector.<__AS3__.vec::Vector.<uint>>]"},
        // Only the generic class has no public name of its own.
        {"Vector", "ReferenceError: Error #1065: Variable Vector is not defined."},
        {"Vector.<>", "ReferenceError: Error #1065: Variable Vector.<> is not defined."},
        {"Vector.<Nothing>", "ReferenceError: Error #1065: Variable Nothing is not defined."},
        {"Vector.<escape>",
         "ReferenceError: Error #1065: Variable Vector.<escape> is not defined."},
    };
    for (const auto& [written, expected] : table) {
        EXPECT_EQ(lookup(written), expected) << written;
    }
    // The same class every time, whichever way it was written.
    EXPECT_EQ(lookup("Vector.<int>"), lookup("__AS3__.vec::Vector.<int>"));
    std::string deep = "int";
    for (int i = 0; i < 40; ++i) {
        deep = "Vector.<" + deep + ">";
    }
    EXPECT_NE(lookup(deep).find("Error #1065"), std::string::npos);
}

TEST_F(NamedDefinitions, NameArgumentMustBeGivenOnceAndNonNull) {
    const Value fn =
        vm.getProperty(Value::object(vm.globalObject()),
                       Name::qualified(Namespace::publicNs("flash.utils"), "getDefinitionByName"));
    const std::vector<std::pair<Args, const char*>> table = {
        {{Value::null()}, "ArgumentError: Error #1507: Argument name cannot be null."},
        {{Value()}, "ArgumentError: Error #1507: Argument name cannot be null."},
        {{},
         "ArgumentError: Error #1063: Argument count mismatch on "
         "global/flash.utils::getDefinitionByName(). Expected 1, got 0."},
        {{Value::string("int"), Value::null()},
         "ArgumentError: Error #1063: Argument count mismatch on "
         "global/flash.utils::getDefinitionByName(). Expected 1, got 2."},
        {{Value::string("")}, "ReferenceError: Error #1065: Variable  is not defined."},
        {{Value::integer(5)}, "ReferenceError: Error #1065: Variable 5 is not defined."},
    };
    for (auto [args, expected] : table) {
        std::string got;
        try {
            got = text(vm.call(fn, Value::null(), args));
        } catch (const avm2::ScriptThrow& t) {
            got = text(t.value);
        }
        EXPECT_EQ(got, expected) << args.size();
    }
}

TEST_F(NamedDefinitions, VectorLengthIsAUint) {
    const Value cls = vm.applyType(Value::object(vm.vectorClass->classObject),
                                   {Value::object(vm.intClass->classObject)});
    const std::vector<std::pair<Value, const char*>> table = {
        {Value::object(vm.newArray({Value::integer(1), Value::integer(2)})), "0"},
        {Value::number(std::nan("")), "0"},
        {Value::number(2.9), "2"},
        {Value::string("3"), "3"},
    };
    for (const auto& [length, expected] : table) {
        Args args{length};
        EXPECT_EQ(get(vm.construct(cls, args), "length"), expected) << text(length);
    }
    EXPECT_EQ(thrown([&] {
                  Args args{Value::number(-1)};
                  vm.construct(cls, args);
              }),
              "RangeError #1005");
}

TEST_F(NamedDefinitions, ParseResultsKeepWhatTheyWereGiven) {
    struct Row {
        const char* cls;
        Args made;
        std::vector<std::pair<const char*, const char*>> reads;
    };
    const std::vector<Row> table = {
        {"flash.globalization::CurrencyParseResult",
         {},
         {{"value", "NaN"}, {"currencyString", ""}}},
        {"flash.globalization::CurrencyParseResult",
         {Value::number(200.1), Value::string("\xC2\xA3")},
         {{"value", "200.1"}, {"currencyString", "\xC2\xA3"}}},
        {"flash.globalization::NumberParseResult",
         {},
         {{"value", "NaN"}, {"startIndex", "2147483647"}, {"endIndex", "2147483647"}}},
        {"flash.globalization::NumberParseResult",
         {Value::string("-12.5"), Value::number(1), Value::number(6.7)},
         {{"value", "-12.5"}, {"startIndex", "1"}, {"endIndex", "6"}}},
    };
    for (const Row& r : table) {
        const Value result = make(r.cls, r.made);
        for (const auto& [property, expected] : r.reads) {
            EXPECT_EQ(get(result, property), expected) << r.cls << "." << property;
        }
    }
    // Read-only: a script cannot change a result.
    const Value fixed =
        make("flash.globalization::CurrencyParseResult", {Value::number(1), Value::string("$")});
    EXPECT_NE(thrown([&] { set(fixed, "value", Value::number(2)); }), "");
    EXPECT_EQ(get(fixed, "value"), "1");
}

TEST_F(NamedDefinitions, JsonShowsAClassByItsStaticsAndPrototype) {
    const Value json = classNamed("JSON");
    auto stringify = [&](const Value& v) { return text(call(json, "stringify", {v})); };
    EXPECT_EQ(stringify(classNamed("Object")), R"({"length":1,"prototype":{}})");
    avm2::Object* holder = vm.newObject();
    holder->setProp("a", classNamed("Object"));
    holder->setProp("f", Value::object(vm.newNative(
                             [](avm2::Machine&, const Value&, Args&) { return Value(); })));
    EXPECT_EQ(stringify(Value::object(holder)), R"({"a":{"length":1,"prototype":{}}})");
    // A class with no public statics still shows its prototype.
    EXPECT_EQ(stringify(classNamed("flash.geom::Point")), R"({"prototype":{}})");
}

} // namespace
