// An object's dynamic properties while a for-in goes over them: deleting leaves the rest in
// place, so the enumeration sees every property still there exactly once; the empty places
// go when the table grows.

#include "FakeHost.h"

#include "avm2/Enumeration.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using avm2::Value;

class DynamicProperties : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    avm2::Object* withKeys(int count) {
        avm2::Object* o = vm.newObject();
        for (int i = 0; i < count; ++i) {
            o->setProp("k" + std::to_string(i), Value::integer(i));
        }
        return o;
    }
    // The names a for-in visits, calling `during` with each before moving on.
    std::vector<std::string> visit(avm2::Object* o,
                                   const std::function<void(const std::string&)>& during) {
        std::vector<std::string> seen;
        for (std::int64_t i = avm2::nextEnumerableIndex(o, 0); i != 0;
             i = avm2::nextEnumerableIndex(o, i)) {
            const auto at = static_cast<std::size_t>(i - 1);
            seen.push_back(o->props[at].first);
            during(seen.back());
        }
        return seen;
    }
};

TEST_F(DynamicProperties, DeletingDuringEnumerationSkipsNothing) {
    struct Row {
        const char* what;
        std::function<void(avm2::Object*, const std::string&)> action;
        std::size_t seen;
        std::size_t left;
    };
    const std::vector<Row> table = {
        {"delete each one seen", [](avm2::Object* o, const std::string& k) { o->deleteProp(k); },
         10, 0},
        {"delete the first when at the fifth",
         [](avm2::Object* o, const std::string& k) {
             if (k == "k4") {
                 o->deleteProp("k0");
             }
         },
         10, 9},
        {"delete one not reached yet",
         [](avm2::Object* o, const std::string& k) {
             if (k == "k2") {
                 o->deleteProp("k7");
             }
         },
         9, 9},
    };
    for (const Row& r : table) {
        avm2::Object* o = withKeys(10);
        const auto seen = visit(o, [&](const std::string& k) { r.action(o, k); });
        EXPECT_EQ(seen.size(), r.seen) << r.what;
        EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), seen.size()) << r.what;
        EXPECT_EQ(visit(o, [](const std::string&) {}).size(), r.left) << r.what;
    }
}

TEST_F(DynamicProperties, EmptyPlacesGoWhenTheTableGrows) {
    avm2::Object* o = withKeys(4);
    o->deleteProp("k1");
    o->deleteProp("k2");
    EXPECT_EQ(o->findProp("k1"), nullptr);
    EXPECT_FALSE(o->deleteProp("k1"));
    // Set again, a deleted name comes back at the end, as a new property.
    o->setProp("k1", Value::integer(10));
    EXPECT_EQ(o->props.size(), 3u);
    EXPECT_EQ(visit(o, [](const std::string&) {}), (std::vector<std::string>{"k0", "k3", "k1"}));
    ASSERT_NE(o->findProp("k3"), nullptr);
    EXPECT_EQ(o->findProp("k3")->asInt(), 3);
    // The empty string is a name like any other, not an empty place.
    o->setProp("", Value::integer(5));
    EXPECT_TRUE(o->deleteProp(""));
    EXPECT_EQ(o->findProp(""), nullptr);
}

} // namespace

namespace {

using avm2::Name;
using avm2::Namespace;

// Only a name that reaches the public namespace sees dynamic properties and array elements;
// any other fails to read (one namespace: #1069, a set: #1081) instead of giving undefined.
TEST_F(DynamicProperties, OnlyPublicNamesReachDynamicProperties) {
    vm.beginFrame();
    avm2::Object* plain = withKeys(1);
    avm2::Object* array = vm.newArray({Value::integer(7)});
    const Namespace hidden{Namespace::Group::Private, "", 1};
    const Namespace as3 = Namespace::publicNs(avm2::kAs3Uri);
    const Namespace internal{Namespace::Group::Internal, "", 0};
    const auto read = [&](avm2::Object* o, const std::string& local,
                          std::vector<Namespace> nss) -> std::string {
        Name n;
        n.local = local;
        n.namespaces = std::move(nss);
        try {
            return vm.toString(vm.getProperty(Value::object(o), n));
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(vm.getProperty(t.value, Name::publicName("errorID")));
        }
    };
    struct Row {
        const char* what;
        avm2::Object* target;
        const char* local;
        std::vector<Namespace> nss;
        const char* outcome;
    };
    const std::vector<Row> table = {
        {"public, set", plain, "k0", {Namespace::publicNs()}, "0"},
        {"public, missing", plain, "nope", {Namespace::publicNs()}, "undefined"},
        {"public among others", plain, "k0", {hidden, Namespace::publicNs()}, "0"},
        {"private only", plain, "k0", {hidden}, "1069"},
        {"a set without public", plain, "k0", {hidden, internal}, "1081"},
        {"element, public", array, "0", {Namespace::publicNs()}, "7"},
        {"element, set without public", array, "0", {as3, internal}, "1081"},
        // Methods declared in AS3 still answer to it.
        {"AS3 method", array, "join", {as3}, "function Function() {}"},
    };
    for (const Row& r : table) {
        EXPECT_EQ(read(r.target, r.local, r.nss), r.outcome) << r.what;
    }
}

} // namespace
