// JSON.parse by the grammar (what it accepts, what it refuses, the reviver) and
// JSON.stringify (values without a JSON form, toJSON, replacers, gaps, cycles).

#include "FakeHost.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

class Json : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value json() { return Value::object(vm.findClass("JSON")->classObject); }
    // What the call returns as text, or the error it throws.
    std::string run(const std::string& method, Args args) {
        try {
            return vm.toString(vm.callProperty(json(), Name::publicName(method), args));
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
    }
    std::string roundTrip(const std::string& text) {
        Args parse{Value::string(text)};
        try {
            Args again{vm.callProperty(json(), Name::publicName("parse"), parse)};
            return run("stringify", again);
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
    }
};

TEST_F(Json, ParseFollowsTheGrammar) {
    const std::string refused = "SyntaxError: Error #1132: Invalid JSON parse input.";
    struct Case {
        std::string text;
        std::string result;
    };
    const Case table[] = {
        {R"( {"a" : [1, -2.5e1, true, null, "x\"\u00e9\n"], "b": {}} )",
         R"({"a":[1,-25,true,null,"x\"é\n"],"b":{}})"},
        {"[]", "[]"},
        {"\"\\ud83d\\ude00\"", "\"\xF0\x9F\x98\x80\""},
        {"0", "0"},
        {"[1,]", refused},
        {"{a:1}", refused},
        {"01", refused},
        {"1.", refused},
        {"'x'", refused},
        {"\"tab\there\"", refused},
        {"[1] 2", refused},
        {"", refused},
        {"nul", refused},
        {std::string(600, '[') + std::string(600, ']'), refused}, // nesting is bounded
    };
    for (const Case& c : table) {
        EXPECT_EQ(roundTrip(c.text), c.result) << c.text;
    }
}

TEST_F(Json, ReviverReplacesAndRemoves) {
    const Value reviver = Value::object(vm.newNative([](avm2::Machine& m, const Value&, Args& a) {
        if (m.toString(a[0]) == "drop") {
            return Value();
        }
        return a[1].isNumeric() ? Value::number(a[1].asNumber() * 10) : a[1];
    }));
    Args args{Value::string(R"({"a":1,"drop":2,"c":[3]})"), reviver};
    Args out{vm.callProperty(json(), Name::publicName("parse"), args)};
    EXPECT_EQ(run("stringify", out), R"({"a":10,"c":[30]})");
}

TEST_F(Json, StringifyForms) {
    avm2::Object* o = vm.newObject();
    o->setProp("n", Value::integer(1));
    o->setProp("f", Value::object(
                        vm.newNative([](avm2::Machine&, const Value&, Args&) { return Value(); })));
    o->setProp("u", Value());
    o->setProp("inf", Value::number(1.0 / 0.0));
    o->setProp("list", Value::object(vm.newArray({Value::string("a"), Value(), Value::hole()})));
    const Value obj = Value::object(o);
    EXPECT_EQ(run("stringify", {obj}), R"({"n":1,"inf":null,"list":["a",null,null]})");
    EXPECT_EQ(run("stringify",
                  {obj, Value::object(vm.newArray({Value::string("n"), Value::string("zz")}))}),
              R"({"n":1})");
    EXPECT_EQ(run("stringify", {Value::object(vm.newArray({Value::integer(1), Value::integer(2)})),
                                Value::null(), Value::integer(2)}),
              "[\n  1,\n  2\n]");
    // undefined arrives as null (the value is declared an Object) and is written "null"; a
    // value with no JSON form gives null itself, stringify's String answer for nothing.
    Args undefinedValue{Value()};
    const Value written = vm.callProperty(json(), Name::publicName("stringify"), undefinedValue);
    EXPECT_TRUE(written.isString());
    EXPECT_EQ(vm.toString(written), "null");
    Args function{
        Value::object(vm.newNative([](avm2::Machine&, const Value&, Args&) { return Value(); }))};
    EXPECT_TRUE(vm.callProperty(json(), Name::publicName("stringify"), function).isNull());
    EXPECT_EQ(run("stringify", {Value::string("\x01\"")}), "\"\\u0001\\\"\"");

    avm2::Object* withToJson = vm.newObject();
    withToJson->setProp(
        "toJSON", Value::object(vm.newNative([](avm2::Machine&, const Value&, Args& a) {
            return Value::string("key:" + std::string(a[0].isString() ? a[0].asString() : "?"));
        })));
    avm2::Object* holder = vm.newObject();
    holder->setProp("k", Value::object(withToJson));
    EXPECT_EQ(run("stringify", {Value::object(holder)}), R"({"k":"key:k"})");

    // A replacer is a function, a list of names or nothing; anything else is refused.
    const std::string refused = "TypeError: Error #1131: Replacer argument to JSON stringifier "
                                "must be an array or a two parameter function.";
    const Value two = Value::object(vm.newArray({Value::integer(2)}));
    const std::vector<std::pair<Value, std::string>> replacers = {
        {Value(), "[2]"},
        {Value::null(), "[2]"},
        {Value::integer(3), refused},
        {Value::string("n"), refused},
        {Value::object(vm.newObject()), refused},
    };
    for (const auto& [replacer, expected] : replacers) {
        EXPECT_EQ(run("stringify", {two, replacer}), expected) << vm.toString(replacer);
    }
    // A list of names keeps the order it gives, each name once; numbers name keys too.
    avm2::Object* three = vm.newObject();
    three->setProp("a", Value::integer(1));
    three->setProp("b", Value::integer(2));
    three->setProp("1", Value::integer(3));
    const Value names = Value::object(vm.newArray(
        {Value::string("b"), Value::string("b"), Value::integer(1), Value::string("a")}));
    EXPECT_EQ(run("stringify", {Value::object(three), names}), R"({"b":2,"1":3,"a":1})");

    avm2::Object* cycle = vm.newObject();
    cycle->setProp("self", Value::object(cycle));
    EXPECT_EQ(run("stringify", {Value::object(cycle)}),
              "TypeError: Error #1129: Cyclic structure cannot be converted to JSON string.");
}

} // namespace
