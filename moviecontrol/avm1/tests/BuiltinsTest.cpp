// The language's objects driven from C++: prototypes, property flags, accessors, watchers,
// Array, String, Date, timers and AsBroadcaster.

#include "FakeStage.h"
#include "avm1/State.h"

#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace avm1test {
namespace {

using avm1::Object;
using avm1::Str;
using avm1::Value;

class Builtins : public ::testing::Test {
  protected:
    Builtins() : stage(7), vm(stage.vm) {}
    Value call(Object* o, std::string_view method, std::vector<Value> args = {}) {
        return vm.callMethod(o, method, args);
    }
    std::string text(const Value& v) { return vm.toString(v).str(); }
    Object* array(std::vector<Value> values) { return vm.newArray(values); }
    Value num(double n) { return Value(n); }
    Value str(std::string_view s) { return Value(Str(s)); }

    FakeStage stage;
    avm1::Machine& vm;
};

TEST_F(Builtins, ArraySortFlagsAndComparator) {
    Object* a = array({num(10), num(9), num(100), num(-1)});
    call(a, "sort");
    EXPECT_EQ(text(Value(a)), "-1,10,100,9"); // text order by default
    call(a, "sort", {num(16 | 2)});           // NUMERIC | DESCENDING
    EXPECT_EQ(text(Value(a)), "100,10,9,-1");
    Object* words = array({str("b"), str("A"), str("a")});
    Value indexes = call(words, "sort", {num(1 | 8)}); // CASEINSENSITIVE | RETURNINDEXEDARRAY
    EXPECT_EQ(text(indexes), "2,1,0");                 // the first element, b, is the pivot
    EXPECT_EQ(text(Value(words)), "b,A,a");            // untouched
    EXPECT_EQ(vm.toNumber(call(words, "sort", {num(1 | 4)})), 0); // UNIQUESORT with a tie
    Object* byCompare = array({num(1), num(3), num(2)});
    Value compare = Value(static_cast<Object*>(vm.newFunction([](avm1::CallArgs& c) {
        return Value(c.machine.toNumber(c.arg(1)) - c.machine.toNumber(c.arg(0)));
    })));
    call(byCompare, "sort", {compare});
    EXPECT_EQ(text(Value(byCompare)), "3,2,1");
    EXPECT_TRUE(call(byCompare, "sort", {Value(true)}).isUndefined());
}

TEST_F(Builtins, ArraySortLeavesEqualElementsWhereFlashDoes) {
    // The first element is the pivot: equal names swap or stay by where they stand.
    Object* a = array({str("TeSt"), str("h\u00EBllo"), str("H\u00CBLLO"), str("test")});
    call(a, "sort", {num(1)}); // CASEINSENSITIVE
    EXPECT_EQ(text(Value(a)), "H\u00CBLLO,h\u00EBllo,TeSt,test");
    Object* b = array({str("h\u00EBllo"), str("H\u00CBLLO"), str("TeSt"), str("test")});
    call(b, "sort", {num(1)});
    EXPECT_EQ(text(Value(b)), "h\u00EBllo,H\u00CBLLO,TeSt,test");
    // Larger arrays still come out ordered, descending too.
    std::vector<Value> many;
    many.reserve(200);
    for (int i = 0; i < 200; ++i) {
        many.push_back(num((i * 37) % 101));
    }
    Object* c = array(many);
    call(c, "sort", {num(16 | 2)});
    for (int i = 1; i < 200; ++i) {
        EXPECT_GE(vm.toNumber(vm.get(c, std::to_string(i - 1))),
                  vm.toNumber(vm.get(c, std::to_string(i))));
    }
    // A comparator that answers nonsense still ends with every element kept.
    Object* d = array(many);
    Value liar = Value(static_cast<Object*>(
        vm.newFunction([n = 0](avm1::CallArgs&) mutable { return Value(++n % 3 - 1.0); })));
    call(d, "sort", {liar});
    EXPECT_EQ(vm.toNumber(vm.get(d, "length")), 200);
    double sum = 0, expected = 0;
    for (int i = 0; i < 200; ++i) {
        sum += vm.toNumber(vm.get(d, std::to_string(i)));
        expected += many[static_cast<std::size_t>(i)].asNumber();
    }
    EXPECT_EQ(sum, expected);
    // An object that is no function leaves the array as it was.
    Object* e = array({num(3), num(1), num(2)});
    EXPECT_EQ(call(e, "sort", {Value(vm.newObject())}).asObject(), e);
    EXPECT_EQ(text(Value(e)), "3,1,2");
}

TEST_F(Builtins, StringCaseUsesFlashsLetterTables) {
    Value s = str("\u00E9\u017F\u03C2\u03B1\u0436\u1F80\u00DF\u24D0\uFF41x\U0001F60B");
    // One letter to one letter: sharp s and iota-subscript letters keep their length.
    EXPECT_EQ(text(vm.callMethod(vm.toObject(s), "toUpperCase", {})),
              "\u00C9S\u03A2\u0391\u0416\u1F88\u00DF\u24B6\uFF21X\U0001F60B");
    Value caps = str("\u0130\u00C9\u0391\u03A2\u10A0\u2126\u212A\u0416Q");
    EXPECT_EQ(text(vm.callMethod(vm.toObject(caps), "toLowerCase", {})),
              "i\u00E9\u03B1\u03C2\u10D0\u03C9k\u0436q");
}

TEST_F(Builtins, ArraySortOnFields) {
    auto item = [&](const char* n, double v) {
        Object* o = vm.newObject();
        vm.set(o, "n", str(n));
        vm.set(o, "v", num(v));
        return Value(o);
    };
    Object* a = array({item("b", 2), item("a", 10), item("c", 1)});
    call(a, "sortOn", {str("v"), num(16)});
    Object* first = vm.get(a, "0").asObject();
    EXPECT_EQ(text(vm.get(first, "n")), "c");
    call(a, "sortOn", {str("n"), num(2)});
    EXPECT_EQ(text(vm.get(vm.get(a, "0").asObject(), "n")), "c");
}

TEST_F(Builtins, ArrayLengthAndEditing) {
    Object* a = array({num(1), num(2), num(3), num(4)});
    vm.set(a, "length", num(2));
    EXPECT_EQ(text(Value(a)), "1,2");
    EXPECT_TRUE(vm.get(a, "3").isUndefined());
    vm.set(a, "5", num(6));
    EXPECT_EQ(vm.toNumber(vm.get(a, "length")), 6);
    EXPECT_EQ(text(Value(a)), "1,2,undefined,undefined,undefined,6");
    Value removed = call(a, "splice", {num(1), num(4), str("x")});
    EXPECT_EQ(text(removed), "2,undefined,undefined,undefined");
    EXPECT_EQ(text(Value(a)), "1,x,6");
    EXPECT_EQ(text(call(a, "slice", {num(-2)})), "x,6");
    EXPECT_EQ(vm.toNumber(call(a, "unshift", {num(0)})), 4);
    EXPECT_EQ(text(call(a, "shift")), "0");
    EXPECT_EQ(text(call(a, "pop")), "6");
    EXPECT_EQ(text(call(a, "concat", {Value(array({num(7)})), num(8)})), "1,x,7,8");
    EXPECT_EQ(text(call(a, "join", {str("-")})), "1-x");
    call(a, "reverse");
    EXPECT_EQ(text(Value(a)), "x,1");
}

TEST_F(Builtins, HugeLengthsAllocateNothing) {
    std::size_t before = vm.objectCount();
    Value big = Value(vm.construct(vm.get(vm.global(), "Array"), std::vector<Value>{num(1e9)}));
    EXPECT_EQ(vm.toNumber(vm.get(big.asObject(), "length")), 1e9);
    Object* a = array({});
    vm.set(a, "4294967294", num(1));
    EXPECT_EQ(vm.toNumber(vm.get(a, "length")), 4294967295.0);
    EXPECT_LT(vm.objectCount(), before + 10);
}

TEST_F(Builtins, StringMethodsEdgeCases) {
    Value s = str("Hello, World");
    auto m = [&](std::string_view name, std::vector<Value> args) {
        Object* box = vm.toObject(s);
        return text(call(box, name, std::move(args)));
    };
    EXPECT_EQ(m("substr", {num(-5), num(3)}), "Wor");
    EXPECT_EQ(m("substring", {num(5), num(0)}), "Hello");
    EXPECT_EQ(m("slice", {num(-5), num(-1)}), "Worl");
    EXPECT_EQ(m("indexOf", {str("o"), num(5)}), "8");
    EXPECT_EQ(m("lastIndexOf", {str("o")}), "8");
    EXPECT_EQ(m("charAt", {num(99)}), "");
    EXPECT_EQ(m("charCodeAt", {num(99)}), "NaN");
    EXPECT_EQ(m("split", {str(", ")}), "Hello,World");
    EXPECT_EQ(m("split", {str(""), num(3)}), "H,e,l");
    EXPECT_EQ(m("toUpperCase", {}), "HELLO, WORLD");
    EXPECT_EQ(text(vm.getMember(s, vm.str("length"))), "12");
    // Integer arguments wrap at 32 bits; a call without any gives undefined.
    EXPECT_EQ(m("charAt", {num(4294967297.0)}), "e");
    EXPECT_EQ(m("slice", {num(4294967296.0), num(4294967298.0)}), "He");
    EXPECT_EQ(m("indexOf", {str(""), num(100)}), "-1");
    EXPECT_EQ(m("substr", {}), "undefined");
    Object* string = vm.get(vm.global(), "String").asObject();
    EXPECT_EQ(text(call(string, "fromCharCode", {num(72), num(105), num(0x263A)})),
              "Hi\xE2\x98\xBA");
}

TEST_F(Builtins, NumberAndMath) {
    Object* n = vm.toObject(num(255));
    EXPECT_EQ(text(call(n, "toString", {num(16)})), "ff");
    Object* math = vm.get(vm.global(), "Math").asObject();
    EXPECT_EQ(vm.toNumber(call(math, "round", {num(-2.5)})), -2);
    // Two numbers: a third is not looked at, one alone is no pair.
    EXPECT_EQ(vm.toNumber(call(math, "max", {num(1), num(7), num(30)})), 7);
    EXPECT_EQ(vm.toNumber(call(math, "min", {num(1), num(2), num(0)})), 1);
    EXPECT_TRUE(std::isnan(vm.toNumber(call(math, "max", {num(1)}))));
    EXPECT_TRUE(std::isnan(vm.toNumber(call(math, "min", {num(1)}))));
    EXPECT_TRUE(std::isnan(vm.toNumber(call(math, "min", {num(1), Value(std::nan(""))}))));
    EXPECT_EQ(vm.toNumber(call(math, "max")), -INFINITY);
    // Of two zeros the second comes back; one argument alone is still converted.
    const struct {
        const char* method;
        double a, b, sign;
    } zeros[] = {{"max", 0.0, -0.0, -1},
                 {"max", -0.0, 0.0, 1},
                 {"min", 0.0, -0.0, -1},
                 {"min", -0.0, 0.0, 1}};
    for (const auto& z : zeros) {
        double r = vm.toNumber(call(math, z.method, {num(z.a), num(z.b)}));
        EXPECT_EQ(std::signbit(r), z.sign < 0) << z.method << "(" << z.a << ", " << z.b << ")";
    }
    int converted = 0;
    Object* counted = vm.newObject();
    vm.set(counted, "valueOf", Value(static_cast<Object*>(vm.newFunction([&](avm1::CallArgs&) {
               ++converted;
               return num(3);
           }))));
    EXPECT_TRUE(std::isnan(vm.toNumber(call(math, "max", {Value(counted)}))));
    EXPECT_EQ(converted, 1);
    double r = vm.toNumber(call(math, "random"));
    EXPECT_GE(r, 0);
    EXPECT_LT(r, 1);
}

TEST_F(Builtins, DateInTheHostTimeZone) {
    stage.offsetMinutes = 60; // one hour east of UTC
    Object* date = vm.get(vm.global(), "Date").asObject();
    // 2000-01-01 00:30 local is 1999-12-31 23:30 UTC.
    Object* d =
        vm.construct(Value(date), std::vector<Value>{num(2000), num(0), num(1), num(0), num(30)});
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(vm.toNumber(call(d, "getFullYear")), 2000);
    EXPECT_EQ(vm.toNumber(call(d, "getUTCFullYear")), 1999);
    EXPECT_EQ(vm.toNumber(call(d, "getUTCHours")), 23);
    EXPECT_EQ(vm.toNumber(call(d, "getDay")), 6); // a Saturday
    EXPECT_EQ(vm.toNumber(call(d, "getTimezoneOffset")), -60);
    EXPECT_EQ(text(Value(d)), "Sat Jan 1 00:30:00 GMT+0100 2000");
    call(d, "setMonth", {num(13)}); // rolls into the next year
    EXPECT_EQ(vm.toNumber(call(d, "getFullYear")), 2001);
    EXPECT_EQ(vm.toNumber(call(d, "getMonth")), 1);
    EXPECT_EQ(vm.toNumber(call(date, "UTC", {num(1970), num(0), num(2)})), 86400000);
    Object* invalid = vm.construct(Value(date), std::vector<Value>{Value(std::nan(""))});
    EXPECT_EQ(text(Value(invalid)), "Invalid Date");
    stage.wallClock = 5000;
    Object* now = vm.construct(Value(date), std::vector<Value>{});
    EXPECT_EQ(vm.toNumber(call(now, "getTime")), 5000);
}

TEST_F(Builtins, PropertyFlagsHideProtectAndFreeze) {
    Object* o = vm.newObject();
    vm.set(o, "a", num(1));
    vm.set(o, "b", num(2));
    vm.set(o, "c", num(3));
    Object* global = vm.global();
    Value setFlags = vm.get(global, "ASSetPropFlags");
    vm.call(setFlags, Value(), std::vector<Value>{Value(o), str("a,b"), num(1)});
    EXPECT_EQ(vm.enumerate(o).size(), 1u); // only c is enumerable
    vm.call(setFlags, Value(), std::vector<Value>{Value(o), str("c"), num(4 | 2)});
    vm.set(o, "c", num(30));
    EXPECT_EQ(vm.toNumber(vm.get(o, "c")), 3);
    EXPECT_FALSE(vm.deleteProperty(o, vm.str("c")));
    vm.call(setFlags, Value(), std::vector<Value>{Value(o), Value::null(), num(0), num(7)});
    EXPECT_EQ(vm.enumerate(o).size(), 3u);
    EXPECT_TRUE(vm.deleteProperty(o, vm.str("c")));
    // Version bits: a property only for version 8 movies is invisible to this version 7 one.
    vm.call(setFlags, Value(), std::vector<Value>{Value(o), str("a"), num(1 << 12)});
    EXPECT_TRUE(vm.get(o, "a").isUndefined());
}

TEST_F(Builtins, AddPropertyAndWatch) {
    Object* o = vm.newObject();
    double stored = 0;
    Value getter(
        static_cast<Object*>(vm.newFunction([&](avm1::CallArgs&) { return Value(stored * 2); })));
    Value setter(static_cast<Object*>(vm.newFunction([&](avm1::CallArgs& c) {
        stored = c.machine.toNumber(c.arg(0));
        return Value();
    })));
    EXPECT_TRUE(vm.toBoolean(call(o, "addProperty", {str("p"), getter, setter})));
    vm.set(o, "p", num(21));
    EXPECT_EQ(vm.toNumber(vm.get(o, "p")), 42);
    // Inherited accessors run with the inheriting object as `this`.
    Object* child = vm.make<Object>(o);
    vm.set(child, "p", num(1));
    EXPECT_EQ(stored, 1);
    EXPECT_FALSE(vm.hasOwnProperty(child, vm.str("p")));

    std::vector<std::string> seen;
    Value watcher(static_cast<Object*>(vm.newFunction([&](avm1::CallArgs& c) {
        seen.push_back(c.machine.toString(c.arg(0)).str() + ":" +
                       c.machine.toString(c.arg(1)).str() + "->" +
                       c.machine.toString(c.arg(2)).str());
        return Value(c.machine.toNumber(c.arg(2)) + 100);
    })));
    call(o, "watch", {str("w"), watcher});
    vm.set(o, "w", num(1));
    vm.set(o, "w", num(2));
    EXPECT_EQ(seen, (std::vector<std::string>{"w:undefined->1", "w:101->2"}));
    EXPECT_EQ(vm.toNumber(vm.get(o, "w")), 102);
    call(o, "unwatch", {str("w")});
    vm.set(o, "w", num(3));
    EXPECT_EQ(vm.toNumber(vm.get(o, "w")), 3);
}

TEST_F(Builtins, AccessorsThatReachTheirOwnPropertyStopAfterALimit) {
    // A getter reading its own property nests 65 deep, then reads the stored value and the
    // script goes on; a property of the same name elsewhere has a count of its own.
    Object* o = vm.newObject();
    int calls = 0;
    Value getter(static_cast<Object*>(vm.newFunction([&](avm1::CallArgs& c) {
        ++calls;
        return c.machine.get(c.thisObject(), "p");
    })));
    vm.set(o, "p", str("stored"));
    call(o, "addProperty", {str("p"), getter, Value::null()});
    EXPECT_EQ(text(vm.get(o, "p")), "stored");
    EXPECT_EQ(calls, 65);
    EXPECT_TRUE(stage.limits.empty());

    // A setter assigning its own property: the value lands under the accessor afterwards.
    Object* s = vm.newObject();
    int sets = 0;
    Value setter(static_cast<Object*>(vm.newFunction([&](avm1::CallArgs& c) {
        ++sets;
        c.machine.set(c.thisObject(), "q", Value(Str("inner")));
        return Value();
    })));
    Value plainGetter(static_cast<Object*>(
        vm.newFunction([&](avm1::CallArgs& c) { return c.machine.get(c.thisObject(), "q"); })));
    call(s, "addProperty", {str("q"), plainGetter, setter});
    vm.set(s, "q", str("outer"));
    EXPECT_EQ(sets, 65);
    EXPECT_EQ(text(vm.get(s, "q")), "outer");
}

TEST_F(Builtins, WatchersSeeInheritedAccessorsAndTheirStoredValue) {
    Object* proto = vm.newObject();
    vm.set(proto, "x", num(3));
    std::vector<std::string> log;
    Value getter(static_cast<Object*>(vm.newFunction([&](avm1::CallArgs&) {
        log.push_back("get");
        return Value();
    })));
    Value setter(static_cast<Object*>(vm.newFunction([&](avm1::CallArgs& c) {
        log.push_back("set " + c.machine.toString(c.arg(0)).str());
        return Value();
    })));
    call(proto, "addProperty", {str("x"), getter, setter});
    Object* child = vm.make<Object>(proto);
    Value watcher(static_cast<Object*>(vm.newFunction([&](avm1::CallArgs& c) {
        log.push_back("old " + c.machine.toString(c.arg(1)).str());
        return c.arg(2);
    })));
    call(child, "watch", {str("x"), watcher});
    vm.set(child, "x", num(4));
    EXPECT_EQ(log, (std::vector<std::string>{"old 3", "set 4"}));
}

TEST_F(Builtins, ResolveIsTheFirstObjectOnTheChain) {
    Object* proto = vm.newObject();
    Value resolver(static_cast<Object*>(vm.newFunction([](avm1::CallArgs& c) {
        return Value(Str("resolved " + c.machine.toString(c.arg(0)).str()));
    })));
    vm.set(proto, "__resolve", resolver);
    Object* o = vm.make<Object>(proto);
    vm.set(o, "__resolve", num(42)); // a primitive is passed over
    EXPECT_EQ(text(vm.get(o, "missing")), "resolved missing");
    vm.set(o, "__resolve", Value(vm.newObject())); // an object that is no function stops it
    EXPECT_TRUE(vm.get(o, "missing").isUndefined());
}

TEST_F(Builtins, ArrayReverseStoresEveryElementAnew) {
    // [ , , 2] reversed: the holes become undefined elements, the new order shows in for..in.
    Object* a = array({});
    vm.set(a, "2", num(2));
    call(a, "reverse");
    EXPECT_EQ(text(Value(a)), "2,undefined,undefined");
    std::vector<std::string> names;
    for (const Str& n : vm.enumerate(a)) {
        names.push_back(n.str());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"2", "0"}));
}

TEST_F(Builtins, FunctionCallApplyAndBroadcaster) {
    Value self(static_cast<Object*>(vm.newFunction([](avm1::CallArgs& c) {
        return Value(Str(c.machine.toString(c.thisValue).str() + "/" + std::to_string(c.count())));
    })));
    Object* f = self.asObject();
    Object* target = vm.newObject();
    vm.defineMethod(target, "toString", [](avm1::CallArgs&) { return Value(Str("T")); });
    EXPECT_EQ(text(call(f, "call", {Value(target), num(1), num(2)})), "T/2");
    EXPECT_EQ(text(call(f, "apply", {Value(target), Value(array({num(1), num(2), num(3)}))})),
              "T/3");

    Object* broadcaster = vm.get(vm.global(), "AsBroadcaster").asObject();
    Object* source = vm.newObject();
    call(broadcaster, "initialize", {Value(source)});
    Object* listener = vm.newObject();
    std::string got;
    vm.defineMethod(listener, "onPing", [&](avm1::CallArgs& c) {
        got += c.machine.toString(c.arg(0)).str();
        return Value();
    });
    call(source, "addListener", {Value(listener)});
    call(source, "addListener", {Value(listener)}); // once only
    call(source, "broadcastMessage", {str("onPing"), str("x")});
    call(source, "removeListener", {Value(listener)});
    call(source, "broadcastMessage", {str("onPing"), str("y")});
    EXPECT_EQ(got, "x");
}

TEST_F(Builtins, TimersRunOnTheHostClock) {
    int calls = 0;
    Value tick(static_cast<Object*>(vm.newFunction([&](avm1::CallArgs&) {
        ++calls;
        return Value();
    })));
    Object* global = vm.global();
    double id =
        vm.toNumber(vm.callMethod(global, "setInterval", std::vector<Value>{tick, num(100)}));
    vm.callMethod(global, "setTimeout", std::vector<Value>{tick, num(150)});
    vm.tickTimers(50);
    EXPECT_EQ(calls, 0);
    vm.tickTimers(100);
    EXPECT_EQ(calls, 1);
    vm.tickTimers(200);
    EXPECT_EQ(calls, 3); // the interval again and the timeout
    vm.callMethod(global, "clearInterval", std::vector<Value>{num(id)});
    vm.tickTimers(1000);
    EXPECT_EQ(calls, 3);
}

TEST_F(Builtins, TimersDueTogetherRunAsOneRound) {
    // The calls due at one moment run before the host's round hook, the older timer first;
    // a timer an earlier call of the round cleared does not run.
    struct Case {
        const char* what;
        bool firstClearsSecond;
        std::string rounds;
    };
    const Case cases[] = {
        {"two intervals of one period and a slower one", false, "AB|AB|C|AB|"},
        {"the first clears the second", true, "A|A|C|A|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string got;
        double second = 0;
        const double start = vm.state().timerNow;
        Object* global = vm.global();
        const auto timer = [&](const char* name) {
            return Value(static_cast<Object*>(vm.newFunction([&, name](avm1::CallArgs&) {
                got += name;
                if (c.firstClearsSecond && std::string_view(name) == "A") {
                    vm.callMethod(global, "clearInterval", std::vector<Value>{num(second)});
                }
                return Value();
            })));
        };
        const double first = vm.toNumber(
            vm.callMethod(global, "setInterval", std::vector<Value>{timer("A"), num(10)}));
        second = vm.toNumber(
            vm.callMethod(global, "setInterval", std::vector<Value>{timer("B"), num(10)}));
        const double third = vm.toNumber(
            vm.callMethod(global, "setTimeout", std::vector<Value>{timer("C"), num(25)}));
        vm.tickTimers(start + 30, [&] { got += "|"; });
        EXPECT_EQ(got, c.rounds);
        for (const double id : {first, second, third}) {
            vm.callMethod(global, "clearInterval", std::vector<Value>{num(id)});
        }
    }
}

TEST_F(Builtins, ErrorAndRegisteredClasses) {
    Object* e = vm.construct(vm.get(vm.global(), "Error"), std::vector<Value>{str("bad")});
    EXPECT_EQ(text(Value(e)), "bad");
    EXPECT_EQ(text(vm.get(e, "name")), "Error");
    Object* ctor = vm.newFunction([](avm1::CallArgs&) { return Value(); });
    Object* object = vm.get(vm.global(), "Object").asObject();
    call(object, "registerClass", {str("Ball"), Value(ctor)});
    EXPECT_EQ(vm.registeredClass("ball"), ctor);
    call(object, "registerClass", {str("Ball"), Value::null()});
    EXPECT_EQ(vm.registeredClass("Ball"), nullptr);
    // What is no function is refused and leaves the registration as it was.
    call(object, "registerClass", {str("Ball"), Value(ctor)});
    EXPECT_FALSE(vm.toBoolean(call(object, "registerClass", {str("Ball"), Value(vm.newObject())})));
    EXPECT_EQ(vm.registeredClass("Ball"), ctor);
}

TEST_F(Builtins, CollectionFreesCyclesButKeepsRoots) {
    vm.collectGarbage();
    std::size_t base = vm.objectCount();
    {
        Object* a = vm.newObject();
        Object* b = vm.newObject();
        vm.set(a, "other", Value(b));
        vm.set(b, "other", Value(a));
    }
    Object* kept = vm.newObject();
    avm1::Root root(vm, kept);
    vm.set(stage.rootClip, "held", Value(vm.newObject()));
    vm.collectGarbage();
    EXPECT_EQ(vm.objectCount(), base + 2); // kept and the clip's property
    EXPECT_TRUE(vm.get(stage.rootClip, "held").isObject());
}

} // namespace
} // namespace avm1test
