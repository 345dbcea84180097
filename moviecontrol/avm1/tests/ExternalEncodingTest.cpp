// ExternalInterface's value encodings: XML both ways and JavaScript, as the class
// library's helpers give them to scripts.

#include "FakeStage.h"

#include "avm1/ExternalEncoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace avm1test {
namespace {

using avm1::Object;
using avm1::Str;
using avm1::Value;

class ExternalEncoding : public ::testing::Test {
  protected:
    ExternalEncoding() : stage(8), vm(stage.vm) {}
    static Value str(std::string_view s) { return Value(Str(s)); }
    // A parsed element as the XML class leaves it: nodeName, firstChild, childNodes.
    Object* element(std::string_view name, const Value& first = {}) {
        Object* node = vm.newObject();
        vm.set(node, "nodeName", str(name));
        vm.set(node, "firstChild", first);
        vm.set(node, "childNodes", Value(vm.newArray()));
        return node;
    }
    void addProperty(Object* node, std::string_view id, Object* value) {
        Object* property = element("property", Value(value));
        Object* attributes = vm.newObject();
        vm.set(attributes, "id", str(id));
        vm.set(property, "attributes", Value(attributes));
        Object* children = vm.get(node, "childNodes").asObject();
        vm.callMethod(children, "push", std::vector<Value>{Value(property)});
    }

    FakeStage stage;
    avm1::Machine& vm;
};

TEST_F(ExternalEncoding, ValuesToXml) {
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    const struct {
        Value value;
        const char* xml = nullptr;
    } table[] = {
        {Value(), "<undefined/>"},
        {Value::null(), "<null/>"},
        {Value(true), "<true/>"},
        {Value(false), "<false/>"},
        {Value(123.456), "<number>123.456</number>"},
        {Value(NaN), "<number>NaN</number>"},
        {str("a<b & 'c'"), "<string>a&lt;b &amp; &apos;c&apos;</string>"},
        {Value(static_cast<Object*>(vm.newFunction([](avm1::CallArgs&) { return Value(); }))),
         "<null/>"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(avm1::valueToXml(vm, row.value), row.xml) << row.xml;
    }
    Object* array = vm.newArray(std::vector<Value>{Value(12), str("tr")});
    vm.set(array, "length", Value(3));
    EXPECT_EQ(avm1::arrayToXml(vm, Value(array)),
              "<array><property id=\"0\"><number>12</number></property><property id=\"1\">"
              "<string>tr</string></property><property id=\"2\"><undefined/></property></array>");
    // Arguments leave out element 0, the name of the function called.
    EXPECT_EQ(avm1::argumentsToXml(vm, Value(array)),
              "<arguments><string>tr</string><undefined/></arguments>");
    EXPECT_EQ(avm1::argumentsToXml(vm, str("one")),
              "<arguments><undefined/><undefined/></arguments>");
    EXPECT_EQ(avm1::objectToXml(vm, Value()), "<object></object>");
    Object* o = vm.newObject();
    vm.set(o, "a", Value(1));
    EXPECT_EQ(avm1::objectToXml(vm, Value(o)),
              "<object><property id=\"a\"><number>1</number></property></object>");
}

TEST_F(ExternalEncoding, CyclesEndAsNull) {
    Object* o = vm.newObject();
    vm.set(o, "self", Value(o));
    std::string xml = avm1::objectToXml(vm, Value(o));
    EXPECT_NE(xml.find("<null/>"), std::string::npos);
    EXPECT_LT(xml.size(), 4096u);
    EXPECT_NE(avm1::valueToJs(vm, Value(o)).find("null"), std::string::npos);
}

TEST_F(ExternalEncoding, EntitiesBothWays) {
    EXPECT_EQ(avm1::escapeXml("& \xC3\x9F <<>'\""), "&amp; \xC3\x9F &lt;&lt;&gt;&apos;&quot;");
    // Only the five are read back; others stay as they are.
    EXPECT_EQ(avm1::unescapeXml("&amp; &nbsp; &lt;&gt;&apos;&quot;&amp"), "& &nbsp; <>'\"&amp");
}

TEST_F(ExternalEncoding, XmlToValues) {
    EXPECT_EQ(avm1::xmlToValue(vm, Value(element("true"))).asBool(), true);
    EXPECT_EQ(avm1::xmlToValue(vm, Value(element("false"))).asBool(), false);
    EXPECT_TRUE(avm1::xmlToValue(vm, Value(element("null"))).isNull());
    EXPECT_TRUE(std::isnan(vm.toNumber(avm1::xmlToValue(vm, Value(element("number"))))));
    EXPECT_EQ(vm.toNumber(avm1::xmlToValue(vm, Value(element("number", str("45"))))), 45);
    EXPECT_EQ(vm.toString(avm1::xmlToValue(vm, Value(element("string", str("&lt;b&gt;"))))).str(),
              "<b>");
    EXPECT_EQ(avm1::xmlToValue(vm, Value(element("class", str("Date")))).asObject(),
              vm.get(vm.global(), "Date").asObject());
    EXPECT_TRUE(avm1::xmlToValue(vm, Value(element("nothing"))).isUndefined());

    Object* object = element("object");
    addProperty(object, "n", element("number", str("7")));
    addProperty(object, "s", element("string", str("x")));
    Value made = avm1::xmlToValue(vm, Value(object));
    ASSERT_TRUE(made.isObject());
    EXPECT_EQ(vm.toNumber(vm.get(made.asObject(), "n")), 7);
    EXPECT_EQ(vm.toString(vm.get(made.asObject(), "s")).str(), "x");
    // A text where an element belongs makes an empty object.
    EXPECT_TRUE(avm1::xmlToObject(vm, str("<object/>")).isObject());
}

TEST_F(ExternalEncoding, ValuesToJavaScript) {
    Object* array = vm.newArray(std::vector<Value>{Value(1), str("say \"hi\""), Value()});
    EXPECT_EQ(avm1::valueToJs(vm, Value(array)), "[1,\"say \\\"hi\\\"\",undefined]");
    Object* o = vm.newObject();
    vm.set(o, "t", Value(true));
    EXPECT_EQ(avm1::valueToJs(vm, Value(o)), "({t:true})");
    EXPECT_EQ(avm1::valueToJs(vm, Value::null()), "null");
}

// The class library tests `value == null` first: any object that equals null (its
// primitive value is undefined or null) encodes as null in both encodings.
TEST_F(ExternalEncoding, ObjectsEqualToNullEncodeAsNull) {
    Object* bare = vm.make<Object>(nullptr);
    vm.set(bare, "a", Value(1));
    Object* nullish = vm.newObject();
    vm.set(nullish, "valueOf",
           Value(static_cast<Object*>(vm.newFunction([](avm1::CallArgs&) { return Value(); }))));
    Object* five = vm.newObject();
    vm.set(five, "valueOf",
           Value(static_cast<Object*>(vm.newFunction([](avm1::CallArgs&) { return Value(5); }))));
    const struct {
        Object* object;
        const char* xml;
        const char* js;
    } table[] = {
        {bare, "<null/>", "null"},
        {nullish, "<null/>", "null"},
        {five, "<object><property id=\"valueOf\"><null/></property></object>", "({valueOf:null})"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(avm1::valueToXml(vm, Value(row.object)), row.xml) << row.xml;
        EXPECT_EQ(avm1::valueToJs(vm, Value(row.object)), row.js) << row.js;
    }
    // Inside an object, as a property's value, too.
    Object* holder = vm.newObject();
    vm.set(holder, "b", Value(bare));
    EXPECT_EQ(avm1::objectToXml(vm, Value(holder)),
              "<object><property id=\"b\"><null/></property></object>");
}

} // namespace
} // namespace avm1test
