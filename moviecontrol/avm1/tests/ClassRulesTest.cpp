// The actions the ActionScript 2 compiler emits for classes, by movie version: Extends with
// any superclass, and interfaces (ImplementsOp) as InstanceOf and CastOp see them.

#include "FakeStage.h"

#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace avm1test {
namespace {

namespace op = swf::op;
using avm1::Object;
using avm1::Str;
using avm1::Value;
using moviemaker::Actions;

class ClassRules : public ::testing::TestWithParam<int> {
  protected:
    ClassRules() : stage(GetParam()), vm(stage.vm) {}
    int version() const { return GetParam(); }

    // name = function() {}
    static void defineClass(Actions& a, std::string_view name) {
        a.push(name).function(Actions()).code(op::SetVariable);
    }
    // cls implements ifaces...
    static void implement(Actions& a, std::string_view cls,
                          const std::vector<std::string>& ifaces) {
        for (const std::string& i : ifaces) {
            a.push(i).code(op::GetVariable);
        }
        a.pushInt(static_cast<int32_t>(ifaces.size())).push(cls).code(op::GetVariable);
        a.code(op::ImplementsOp);
    }
    Value root(std::string_view name) { return vm.get(stage.rootClip, name); }

    FakeStage stage;
    avm1::Machine& vm;
};

TEST_P(ClassRules, ExtendsGivesAnySuperclassAFreshPrototype) {
    // Each superclass as the script pushes it, and whether the new prototype inherits the
    // superclass's own `prototype` object (none for primitives, null and undefined).
    const struct {
        const char* what;
        std::function<void(Actions&)> push;
        bool inheritsItsPrototype;
    } supers[] = {
        {"undefined", [](Actions& a) { a.pushUndefined(); }, false},
        {"null", [](Actions& a) { a.pushNull(); }, false},
        {"number", [](Actions& a) { a.push(5.0); }, false},
        {"string", [](Actions& a) { a.push("text"); }, false},
        {"plain object", [](Actions& a) { a.pushInt(0).code(op::InitObject); }, false},
        {"object with a prototype",
         [](Actions& a) {
             a.push("prototype").pushInt(0).code(op::InitObject).pushInt(1).code(op::InitObject);
         },
         true},
        {"function", [](Actions& a) { a.function(Actions()); }, true},
    };
    for (const auto& row : supers) {
        Actions a;
        a.push("Base");
        row.push(a);
        a.code(op::SetVariable);
        defineClass(a, "Derived");
        a.push("Derived").code(op::GetVariable).push("Base").code(op::GetVariable);
        a.code(op::Extends);
        stage.run(a.bytes());

        Object* sub = root("Derived").asObject();
        ASSERT_NE(sub, nullptr) << row.what;
        Object* proto = vm.get(sub, "prototype").asObject();
        ASSERT_NE(proto, nullptr) << row.what;
        Object* superObject = root("Base").asObject();
        Object* expected = row.inheritsItsPrototype && superObject
                               ? vm.get(superObject, "prototype").asObject()
                               : nullptr;
        ASSERT_EQ(row.inheritsItsPrototype, expected != nullptr) << row.what;
        EXPECT_EQ(proto->proto(), expected) << row.what;
        // The superclass is recorded as an object, hidden; `constructor` stays inherited.
        const Value recorded = vm.get(proto, "__constructor__");
        EXPECT_TRUE(recorded.isObject()) << row.what;
        if (superObject != nullptr) {
            EXPECT_EQ(recorded.asObject(), superObject) << row.what;
        }
        EXPECT_TRUE(vm.enumerate(proto).empty()) << row.what;
        EXPECT_EQ(proto->properties().find(Str("constructor"), true), nullptr) << row.what;
    }
}

TEST_P(ClassRules, ExtendsOnAPrimitiveSubclassChangesNothing) {
    Actions a;
    defineClass(a, "Base");
    a.push(5.0).push("Base").code(op::GetVariable).code(op::Extends);
    a.push("done").code(op::Trace);
    EXPECT_EQ(stage.run(a.bytes()), std::vector<std::string>{"done"});
}

TEST_P(ClassRules, InterfacesCountForInstanceOfAndCastInEveryVersion) {
    // I2 extends I1; K implements I2; L extends K; J implements nothing.
    Actions a;
    for (const char* name : {"I1", "I2", "I3", "K", "L", "J"}) {
        defineClass(a, name);
    }
    implement(a, "I2", {"I1"});
    implement(a, "K", {"I2", "I3"});
    a.push("L").code(op::GetVariable).push("K").code(op::GetVariable).code(op::Extends);
    stage.run(a.bytes());

    const struct {
        const char* objectOf; // the class of the object, or a literal
        const char* cls;
        bool expected;
    } rows[] = {
        {"L", "L", true},    {"L", "K", true},   {"L", "I2", true},     {"L", "I1", true},
        {"L", "I3", true},   {"K", "I1", true},  {"L", "Object", true}, {"J", "I1", false},
        {"I1", "I2", false}, {"5", "I1", false}, {"null", "I1", false}, {"undefined", "K", false},
    };
    for (const auto& row : rows) {
        const std::string obj = row.objectOf;
        Actions check;
        const auto pushObject = [&] {
            if (obj == "5") {
                check.push(5.0);
            } else if (obj == "null") {
                check.pushNull();
            } else if (obj == "undefined") {
                check.pushUndefined();
            } else {
                check.pushInt(0).push(obj).code(op::NewObject);
            }
        };
        pushObject();
        check.push(row.cls).code(op::GetVariable).code(op::InstanceOf).code(op::Trace);
        // CastOp gives the object itself or null.
        check.push(row.cls).code(op::GetVariable);
        pushObject();
        check.code(op::CastOp).code(op::TypeOf).code(op::Trace);
        const std::string castType = row.expected ? "object" : "null";
        EXPECT_EQ(stage.run(check.bytes()),
                  (std::vector<std::string>{row.expected ? "true" : "false", castType}))
            << row.objectOf << " as " << row.cls;
    }
}

TEST_P(ClassRules, SuperIsAFunctionsLocalAndAPlainNameToFrameCode) {
    // super = "plain"; trace(super); and, from 6 where names ignore case, trace(SUPER).
    Actions a;
    a.push("super").push("plain").code(op::SetVariable);
    a.push("super").code(op::GetVariable).code(op::Trace);
    a.push("SUPER").code(op::GetVariable).code(op::Trace);
    // o = {}; o.f = function() { trace(typeof super); }; o.f();
    Actions body;
    body.push("super").code(op::GetVariable).code(op::TypeOf).code(op::Trace);
    a.push("o").pushInt(0).code(op::InitObject).code(op::SetVariable);
    a.push("o").code(op::GetVariable).push("f").defineFunction("", {}, body).code(op::SetMember);
    a.pushInt(0).push("o").code(op::GetVariable).push("f").code(op::CallMethod).code(op::Pop);
    const std::string caseFolded = version() < 7 ? "plain" : "undefined";
    EXPECT_EQ(stage.run(a.bytes()), (std::vector<std::string>{"plain", caseFolded, "object"}));
}

INSTANTIATE_TEST_SUITE_P(Versions, ClassRules, ::testing::Values(6, 7, 8, 9, 10));

} // namespace
} // namespace avm1test
