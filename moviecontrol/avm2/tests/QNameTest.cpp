// QName and Namespace made every way a script makes them: from strings, from each other,
// with null (any namespace) and undefined (the default namespace).

#include "FakeHost.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

class QNames : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value make(avm2::Class* cls, Args args) {
        return vm.construct(Value::object(cls->classObject), args);
    }
    // "localName|uri|toString"
    std::string describe(const Value& q) {
        return vm.toString(vm.getProperty(q, Name::publicName("localName"))) + "|" +
               vm.toString(vm.getProperty(q, Name::publicName("uri"))) + "|" + vm.toString(q);
    }
};

TEST_F(QNames, EveryWayOfMakingOne) {
    const Value s = Value::string("name");
    const Value uri = Value::string("http://u");
    const Value scoped = make(vm.qnameClass, {uri, s});
    EXPECT_EQ(describe(make(vm.qnameClass, {s})), "name||name");
    EXPECT_EQ(describe(scoped), "name|http://u|http://u::name");
    EXPECT_EQ(describe(make(vm.qnameClass, {scoped})), "name|http://u|http://u::name");
    EXPECT_EQ(describe(make(vm.qnameClass, {Value::string("http://v"), scoped})),
              "name|http://v|http://v::name");
    EXPECT_EQ(describe(make(vm.qnameClass, {Value::null(), s})), "name|null|*::name");
    EXPECT_EQ(describe(make(vm.qnameClass, {Value(), s})), "name||name");
    EXPECT_EQ(describe(make(vm.qnameClass, {Value::string("*")})), "*|null|*::*");
    const Value ns = make(vm.namespaceClass, {Value::string("p"), uri});
    EXPECT_EQ(describe(make(vm.qnameClass, {ns, s})), "name|http://u|http://u::name");
    // Called as a function, a QName is given back as it is.
    Args same{scoped};
    EXPECT_EQ(vm.qnameClass->call(vm, Value(), same).asObject(), scoped.asObject());
}

TEST_F(QNames, NamespacePrefixes) {
    auto prefixAndUri = [&](Args args) {
        const Value ns = make(vm.namespaceClass, std::move(args));
        return vm.toString(vm.getProperty(ns, Name::publicName("prefix"))) + "|" + vm.toString(ns);
    };
    EXPECT_EQ(prefixAndUri({Value::string("ns"), Value::string("http://u")}), "ns|http://u");
    EXPECT_EQ(prefixAndUri({Value::string("http://u")}), "undefined|http://u");
    EXPECT_EQ(prefixAndUri({}), "|");
    try {
        make(vm.namespaceClass, {Value::string("p"), Value::string("")});
        ADD_FAILURE() << "a prefix for no namespace is refused";
    } catch (const avm2::ScriptThrow& t) {
        EXPECT_EQ(vm.toString(t.value),
                  "TypeError: Error #1098: Illegal prefix p for no namespace.");
    }
}

} // namespace
