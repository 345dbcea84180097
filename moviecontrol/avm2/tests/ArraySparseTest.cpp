// Array indices run to 2^32-2 and the length to 2^32-1 whatever the memory budget: an
// element far past the dense slots is kept apart, reads and deletes like any other, and
// moves into the dense slots when they grow over it.

#include "avm2/ArraySparse.h"
#include "FakeHost.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

class ArraySparse : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    static Name at(double i) { return Name::publicName(avm2::numberToString(i)); }
    std::string length(const Value& a) {
        return vm.toString(vm.getProperty(a, Name::publicName("length")));
    }
    bool owns(const Value& a, double i) {
        Args key{Value::number(i)};
        return avm2::Machine::toBoolean(
            vm.callProperty(a, Name::publicName("hasOwnProperty"), key));
    }
    Value call(const Value& a, const char* method, Args args) {
        return vm.callProperty(a, Name::publicName(method), args);
    }
};

TEST_F(ArraySparse, IndicesRunToTwoToTheThirtyTwoLessTwo) {
    struct IndexCase {
        double index;
        const char* length; // after storing at the index
    };
    const std::vector<IndexCase> table = {
        {0, "1"},
        {1, "2"},
        {65535, "65536"},
        {70000, "70001"},
        {4294967293.0, "4294967294"},
        {4294967294.0, "4294967295"},
        {4294967295.0, "0"}, // not an index: a plain property
        {4294967296.0, "0"},
    };
    for (const IndexCase& c : table) {
        const Value a = Value::object(vm.newArray());
        vm.setProperty(a, at(c.index), Value::string("v"));
        EXPECT_EQ(length(a), c.length) << c.index;
        EXPECT_TRUE(owns(a, c.index)) << c.index;
        EXPECT_EQ(vm.toString(vm.getProperty(a, at(c.index))), "v") << c.index;
        EXPECT_FALSE(owns(a, c.index - 1)) << c.index;
        EXPECT_TRUE(vm.deleteProperty(a, at(c.index)));
        EXPECT_FALSE(owns(a, c.index)) << c.index;
        EXPECT_EQ(length(a), c.length) << "a delete keeps the length " << c.index;
    }
    EXPECT_TRUE(host.limits.empty());
}

TEST_F(ArraySparse, SettingTheLengthCutsOrExtendsWithoutStoring) {
    const Value a =
        Value::object(vm.newArray({Value::integer(1), Value::integer(2), Value::integer(3)}));
    vm.setProperty(a, Name::publicName("length"), Value::integer(-1));
    EXPECT_EQ(length(a), "4294967295");
    EXPECT_EQ(vm.toString(vm.getProperty(a, at(2))), "3");
    vm.setProperty(a, at(4000000000.0), Value::string("far"));
    EXPECT_EQ(length(a), "4294967295") << "a store below the length keeps it";
    vm.setProperty(a, Name::publicName("length"), Value::number(3000000000.0));
    EXPECT_FALSE(owns(a, 4000000000.0));
    EXPECT_EQ(length(a), "3000000000");
    vm.setProperty(a, Name::publicName("length"), Value::integer(2));
    EXPECT_EQ(vm.toString(a), "1,2");
    EXPECT_TRUE(host.limits.empty());
}

TEST_F(ArraySparse, DenseGrowthTakesInTheFarElements) {
    avm2::Limits limits;
    limits.budget.memoryBytes = std::size_t{256} << 20;
    avm2test::FakeHost roomy;
    avm2::Machine big(roomy, limits);
    big.beginFrame();
    const auto text = [&](const Value& v) { return big.toString(v); };
    const auto has = [&](const Value& a, double i) {
        Args key{Value::number(i)};
        return avm2::Machine::toBoolean(
            big.callProperty(a, Name::publicName("hasOwnProperty"), key));
    };
    const double far = avm2::kMaxDenseGap + 5000.0;
    const Value a = Value::object(big.newArray());
    big.setProperty(a, at(far), Value::string("far"));
    big.setProperty(a, at(5000), Value::string("near"));
    big.setProperty(a, at(avm2::kMaxDenseGap), Value::string("nearer"));
    EXPECT_EQ(text(big.getProperty(a, Name::publicName("length"))), avm2::numberToString(far + 1));
    big.setProperty(a, at(far + 1), Value::string("next")); // the dense slots reach past it
    EXPECT_EQ(text(big.getProperty(a, at(far))), "far");
    // Kept once: deleting it leaves a hole, not an older copy.
    EXPECT_TRUE(big.deleteProperty(a, at(far)));
    EXPECT_FALSE(has(a, far));
    EXPECT_TRUE(big.getProperty(a, at(far)).isUndefined());
    // Cutting the length over a far element and growing it again leaves it gone.
    const Value b = Value::object(big.newArray());
    big.setProperty(b, at(far), Value::string("far"));
    big.setProperty(b, Name::publicName("length"), Value::integer(10));
    big.setProperty(b, Name::publicName("length"), Value::number(far + 10));
    EXPECT_FALSE(has(b, far));
    EXPECT_TRUE(roomy.limits.empty());
}

TEST_F(ArraySparse, PushAndPopWorkAtTheLength) {
    const Value a = Value::object(vm.newArray());
    vm.setProperty(a, at(4294967290.0), Value::integer(1));
    EXPECT_EQ(vm.toString(call(a, "push", {Value::integer(2)})), "4294967292");
    EXPECT_EQ(vm.toString(vm.getProperty(a, at(4294967291.0))), "2");
    EXPECT_EQ(vm.toString(call(a, "pop", {})), "2");
    EXPECT_EQ(length(a), "4294967291");
    EXPECT_EQ(vm.toString(call(a, "pop", {})), "1");
    EXPECT_EQ(length(a), "4294967290");
    EXPECT_TRUE(call(a, "pop", {}).isUndefined()) << "a hole pops as undefined";
    EXPECT_EQ(length(a), "4294967289");
}

TEST_F(ArraySparse, ABudgetTooSmallForTheGapKeepsTheElementApart) {
    avm2::Limits limits;
    limits.budget.memoryBytes = 1u << 20;
    avm2test::FakeHost small;
    avm2::Machine tight(small, limits);
    tight.beginFrame();
    const Value a = Value::object(tight.newArray());
    tight.setProperty(a, at(1000), Value::integer(1));
    tight.setProperty(a, at(60000), Value::integer(2));
    tight.setProperty(a, at(4000000000.0), Value::integer(3));
    EXPECT_EQ(tight.toString(tight.getProperty(a, Name::publicName("length"))), "4000000001");
    EXPECT_EQ(tight.toString(tight.getProperty(a, at(60000))), "2");
    EXPECT_TRUE(small.limits.empty());
}

} // namespace
