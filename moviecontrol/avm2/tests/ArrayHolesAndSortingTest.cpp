// Arrays with holes and their sorting. A hole is a slot nothing was stored in (or that was
// deleted): it reads as undefined, or as what the prototypes hold at that index, but `in`,
// hasOwnProperty and for-in pass it over. Sorting puts undefined after every value and
// holes after that, and answers the flags as Flash does.

#include "FakeDisplayHost.h"
#include "FakeHost.h"
#include "avm2/ArraySorting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Object;
using avm2::Value;
namespace sf = avm2::sortflags;

class ArrayHoles : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    static Name at(std::size_t i) { return Name::publicName(std::to_string(i)); }
    Value array(std::vector<Value> elements) {
        return Value::object(vm.newArray(std::move(elements)));
    }
    Value call(const Value& target, const std::string& method, Args args) {
        return vm.callProperty(target, Name::publicName(method), args);
    }
    std::string text(const Value& v) { return vm.toString(v); }
};

TEST_F(ArrayHoles, DeleteAndGrowthLeaveHoles) {
    const Value a = array({Value::integer(1), Value::integer(2), Value::integer(3)});
    EXPECT_TRUE(vm.deleteProperty(a, at(1)));
    EXPECT_FALSE(vm.hasProperty(a, at(1)));
    EXPECT_TRUE(vm.hasProperty(a, at(2)));
    EXPECT_EQ(text(call(a, "hasOwnProperty", {Value::string("1")})), "false");
    EXPECT_EQ(text(vm.getProperty(a, at(1))), "undefined");
    EXPECT_EQ(text(vm.getProperty(a, Name::publicName("length"))), "3");

    vm.setProperty(a, at(6), Value::string("x"));
    EXPECT_EQ(text(vm.getProperty(a, Name::publicName("length"))), "7");
    EXPECT_FALSE(vm.hasProperty(a, at(4)));
    // An undefined stored is a value, not a hole.
    vm.setProperty(a, at(4), Value());
    EXPECT_TRUE(vm.hasProperty(a, at(4)));

    // A longer length adds holes; `new Array(n)` is all holes.
    vm.setProperty(a, Name::publicName("length"), Value::integer(9));
    EXPECT_FALSE(vm.hasProperty(a, at(8)));
    Args three{Value::integer(3)};
    const Value made = vm.construct(Value::object(vm.arrayClass->classObject), three);
    EXPECT_FALSE(vm.hasProperty(made, at(0)));
    EXPECT_EQ(text(made), ",,");
}

TEST_F(ArrayHoles, HolesReadThroughThePrototype) {
    Object* proto = vm.arrayClass->prototype;
    proto->setProp("1", Value::string("inherited"));
    const Value a = array({Value::integer(0), Value::hole(), Value::hole()});
    EXPECT_EQ(text(vm.getProperty(a, at(1))), "inherited");
    EXPECT_TRUE(vm.hasProperty(a, at(1)));
    EXPECT_EQ(text(call(a, "hasOwnProperty", {Value::string("1")})), "false");
    // slice reads the same way; the hole the prototype lacks stays a hole.
    const Value copy = call(a, "slice", {});
    proto->deleteProp("1");
    EXPECT_EQ(text(vm.getProperty(copy, at(1))), "inherited");
    EXPECT_FALSE(vm.hasProperty(copy, at(2)));
}

std::vector<std::size_t> quickOrder(const std::vector<int>& keys) {
    std::vector<std::size_t> index(keys.size());
    for (std::size_t i = 0; i < index.size(); ++i) {
        index[i] = i;
    }
    avm2::quickSortPositions(index, index.size(), [&](std::size_t a, std::size_t b) {
        return keys[a] < keys[b] ? -1 : keys[a] > keys[b] ? 1 : 0;
    });
    return index;
}

TEST(QuickSortPositions, SortsEveryArrangement) {
    // Every arrangement of up to seven keys, with repeats, ends in key order.
    for (std::size_t n = 0; n <= 7; ++n) {
        std::vector<int> keys(n);
        for (std::size_t i = 0; i < n; ++i) {
            keys[i] = static_cast<int>(i / 2);
        }
        do {
            const auto order = quickOrder(keys);
            ASSERT_EQ(order.size(), n);
            for (std::size_t i = 1; i < n; ++i) {
                ASSERT_LE(keys[order[i - 1]], keys[order[i]]);
            }
        } while (std::next_permutation(keys.begin(), keys.end()));
    }
}

TEST(QuickSortPositions, EqualKeysEndWhereThePartitionLeavesThem) {
    // Not stable: the middle entry becomes the pivot at the front, and equal entries stay
    // on the side the scans leave them.
    EXPECT_EQ(quickOrder({1, 1, 1, 1}), (std::vector<std::size_t>{2, 1, 0, 3}));
    EXPECT_EQ(quickOrder({1, 1, 1, 1, 1}), (std::vector<std::size_t>{2, 1, 0, 3, 4}));
    // Three or fewer are sorted by swapping neighbours only when strictly out of order.
    EXPECT_EQ(quickOrder({1, 1, 0}), (std::vector<std::size_t>{2, 0, 1}));
    EXPECT_EQ(quickOrder({1, 0, 0}), (std::vector<std::size_t>{1, 2, 0}));
}

TEST(QuickSortPositions, EndsWhateverTheComparisonSays) {
    std::vector<std::size_t> index(1000);
    for (std::size_t i = 0; i < index.size(); ++i) {
        index[i] = i;
    }
    int calls = 0;
    avm2::quickSortPositions(index, index.size(), [&](std::size_t a, std::size_t b) {
        ++calls;
        return (a * 7 + b * 13 + static_cast<std::size_t>(calls)) % 3 == 0 ? -1 : 1;
    });
    std::vector<bool> seen(index.size(), false);
    for (std::size_t i : index) {
        ASSERT_LT(i, index.size());
        EXPECT_FALSE(seen[i]);
        seen[i] = true;
    }
    // Only the first `count` entries move.
    std::vector<std::size_t> part = {3, 2, 1, 0};
    avm2::quickSortPositions(part, 2, [](std::size_t a, std::size_t b) {
        return a < b ? -1 : a > b ? 1 : 0;
    });
    EXPECT_EQ(part, (std::vector<std::size_t>{2, 3, 1, 0}));
}

TEST_F(ArrayHoles, SortFlags) {
    struct Case {
        int flags;
        const char* result;
    };
    // [10, "b", 2, undefined, "B", hole, "a", NaN]
    const Case table[] = {
        {0, "10,2,B,NaN,a,b,,"},
        {sf::kCaseInsensitive, "10,2,a,b,B,NaN,,"},
        {sf::kDescending, "b,a,NaN,B,2,10,,"},
        // The letters are NaN too: equal, they end where the quicksort leaves them.
        {sf::kNumeric, "2,10,b,a,B,NaN,,"},
        {sf::kNumeric | sf::kDescending, "a,b,B,NaN,10,2,,"},
        {sf::kReturnIndexedArray, "0,2,4,7,6,1,3,5"},
        {sf::kUniqueSort | sf::kCaseInsensitive, "0"},
    };
    for (const Case& c : table) {
        const Value a = array({Value::integer(10), Value::string("b"), Value::integer(2), Value(),
                               Value::string("B"), Value::hole(), Value::string("a"),
                               Value::number(std::nan(""))});
        EXPECT_EQ(text(call(a, "sort", {Value::integer(c.flags)})), c.result) << c.flags;
        if ((c.flags & (sf::kReturnIndexedArray | sf::kUniqueSort)) == 0) {
            EXPECT_FALSE(vm.hasProperty(a, at(7))) << "the hole sorts last";
            EXPECT_TRUE(vm.hasProperty(a, at(6))) << "undefined stays a value";
        } else {
            EXPECT_EQ(text(vm.getProperty(a, at(0))), "10") << "left as it was";
        }
    }
    const Value unique = array({Value::string("b"), Value::string("a")});
    EXPECT_EQ(text(call(unique, "sort", {Value::integer(sf::kUniqueSort)})), "a,b");
}

// The comparison answers a - b; movies before SWF 13 see it cut to an integer.
TEST(ArraySortFunction, FractionalAnswersByMovieVersion) {
    struct Case {
        int version;
        const char* result;
    };
    const Case table[] = {{12, "0.5,0,-0.5"}, {13, "-0.5,0,0.5"}, {50, "-0.5,0,0.5"}};
    for (const Case& c : table) {
        avm2test::DisplayTestHost host;
        host.tree.version = c.version;
        avm2::Machine vm{host};
        vm.beginFrame();
        const Value difference =
            Value::object(vm.newNative([](avm2::Machine& m, const Value&, Args& a) {
                return Value::number(m.toNumber(a.at(0)) - m.toNumber(a.at(1)));
            }));
        const Value a = Value::object(
            vm.newArray({Value::number(0.5), Value::integer(0), Value::number(-0.5)}));
        Args args{difference};
        EXPECT_EQ(vm.toString(vm.callProperty(a, Name::publicName("sort"), args)), c.result)
            << c.version;
    }
}

TEST_F(ArrayHoles, SortOnReadsEachFieldWithItsOwnFlags) {
    auto item = [&](int n, const char* s) {
        Object* o = vm.newObject();
        o->setProp("n", Value::integer(n));
        o->setProp("s", Value::string(s));
        return Value::object(o);
    };
    const Value a = array({item(2, "x"), item(10, "y"), item(2, "a"), Value::integer(7)});
    const Value names = array({Value::string("n"), Value::string("s")});
    const Value flags = array({Value::integer(sf::kNumeric | sf::kDescending), Value::integer(0)});
    call(a, "sortOn", {names, flags});
    // Without the field the item compares as undefined does, as NaN here, which follows every
    // number: DESCENDING brings it first.
    EXPECT_EQ(text(vm.getProperty(a, at(0))), "7");
    std::string order;
    for (std::size_t i = 1; i < 4; ++i) {
        order += text(vm.getProperty(vm.getProperty(a, at(i)), Name::publicName("s")));
    }
    EXPECT_EQ(order, "yax");
    // As text it is "undefined": after "a", before "x".
    const Value indices =
        call(a, "sortOn", {Value::string("s"), Value::integer(sf::kReturnIndexedArray)});
    EXPECT_EQ(text(indices), "2,0,3,1");
}

} // namespace
