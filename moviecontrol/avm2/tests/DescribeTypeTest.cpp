// describeType by table: null and undefined as Flash names them, and what a class's
// description holds for its instances and for the class object itself.

#include "FakeHost.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Namespace;
using avm2::Value;

class DescribeType : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    // The XML text describeType gives (flash.utils' or avmplus'), or the error it throws.
    std::string describe(const char* package, const Value& v) {
        const Name name = Name::qualified(Namespace::publicNs(package), "describeType");
        try {
            const Value fn = vm.getProperty(vm.findDefinition(name), name);
            Args args{v, Value::unsignedInt(0x05FF)};
            const Value xml = vm.call(fn, Value::null(), args);
            Args none;
            return vm.toString(vm.callProperty(xml, Name::publicName("toXMLString"), none));
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
    }
    Value point() {
        Args none;
        return vm.construct(Value::object(vm.findClass("flash.geom::Point")->classObject), none);
    }
};

struct Case {
    const char* what;
    const char* package;
    Value value;
    std::vector<std::string> holds; // pieces of the text, in order
};

TEST_F(DescribeType, DescriptionsNameTheTypeThenItsBasesThenItsMembers) {
    const Value pointClass = Value::object(vm.findClass("flash.geom::Point")->classObject);
    const std::vector<Case> table = {
        {"null",
         "flash.utils",
         Value::null(),
         {R"(<type name="null" isDynamic="false" isFinal="true" isStatic="false"/>)"}},
        {"undefined through avmplus",
         "avmplus",
         Value(),
         {R"(<type name="void" isDynamic="false" isFinal="true" isStatic="false"/>)"}},
        {"undefined through flash.utils",
         "flash.utils",
         Value(),
         {"TypeError: Error #1010: A term is undefined and has no properties."}},
        {"an instance",
         "flash.utils",
         point(),
         {R"(<type name="flash.geom::Point" base="Object" isDynamic="false")",
          R"(<extendsClass type="Object"/>)", R"(<variable name="x" type="Number"/>)",
          R"(<variable name="y" type="Number"/>)"}},
        {"a class",
         "flash.utils",
         pointClass,
         {R"(<type name="flash.geom::Point" base="Class" isDynamic="true" isFinal="true")",
          R"(<extendsClass type="Class"/>)", R"(<extendsClass type="Object"/>)",
          R"(<accessor name="prototype" access="readonly" type="*" declaredBy="Class"/>)",
          R"(<factory type="flash.geom::Point">)", R"(<variable name="x" type="Number"/>)"}},
        {"a plain object",
         "flash.utils",
         Value::object(vm.newObject()),
         {R"(<type name="Object" isDynamic="true" isFinal="false" isStatic="false">)",
          R"(<method name="hasOwnProperty" declaredBy="Object" returnType="Boolean")",
          R"(<parameter index="1" type="*" optional="true"/>)"}},
    };
    for (const Case& c : table) {
        const std::string text = describe(c.package, c.value);
        std::size_t at = 0;
        for (const std::string& piece : c.holds) {
            const std::size_t found = text.find(piece, at);
            EXPECT_NE(found, std::string::npos) << c.what << ": " << piece << "\n" << text;
            at = found == std::string::npos ? at : found + piece.size();
        }
    }
}

} // namespace
