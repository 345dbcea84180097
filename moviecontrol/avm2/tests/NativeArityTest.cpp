// Flash's own prototype functions of String, Number, int, uint and Boolean declare their
// parameters, every one with a default: called with more arguments than they declare they
// throw ArgumentError #1063 naming the count they require, and their length is the count
// they declare. A rest list (concat, fromCharCode) takes any number.

#include "FakeHost.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

class NativeArity : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    // What a call answers, or the error it throws.
    std::string outcome(const Value& target, const std::string& method, std::size_t count) {
        Args args(count, Value::integer(2));
        try {
            return "ok " + vm.toString(vm.callProperty(target, Name::publicName(method), args));
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
    }
    double length(const Value& target, const std::string& method) {
        const Value f = vm.getProperty(target, Name::publicName(method));
        return vm.toNumber(vm.getProperty(f, Name::publicName("length")));
    }
    // Up to its declared count a method runs; one more throws, and its length is that count.
    void expectDeclared(const Value& target, const char* method, std::size_t params) {
        SCOPED_TRACE(method);
        for (std::size_t count = 0; count <= params; ++count) {
            // toPrecision's default is out of its range: any answer but a count mismatch.
            EXPECT_EQ(outcome(target, method, count).rfind("ArgumentError", 0), std::string::npos)
                << count;
        }
        EXPECT_EQ(outcome(target, method, params + 1),
                  "ArgumentError: Error #1063: Argument count mismatch on "
                  "Function/<anonymous>(). Expected 0, got " +
                      std::to_string(params + 1) + ".");
        EXPECT_EQ(length(target, method), static_cast<double>(params));
    }
};

struct Declared {
    const char* method;
    std::size_t params;
};

TEST_F(NativeArity, StringMethodsTakeAtMostTheirDeclaredArguments) {
    const Value s = Value::string("hello");
    for (const Declared& d : std::initializer_list<Declared>{{"charAt", 1},
                                                             {"charCodeAt", 1},
                                                             {"indexOf", 2},
                                                             {"lastIndexOf", 2},
                                                             {"substring", 2},
                                                             {"substr", 2},
                                                             {"slice", 2},
                                                             {"split", 2},
                                                             {"localeCompare", 1},
                                                             {"match", 1},
                                                             {"search", 1},
                                                             {"replace", 2},
                                                             {"toUpperCase", 0},
                                                             {"toLowerCase", 0},
                                                             {"toLocaleUpperCase", 0},
                                                             {"toLocaleLowerCase", 0},
                                                             {"toString", 0},
                                                             {"valueOf", 0}}) {
        expectDeclared(s, d.method, d.params);
    }
    // A rest list takes any count.
    EXPECT_EQ(outcome(s, "concat", 5), "ok hello22222");
    EXPECT_EQ(outcome(Value::object(vm.stringClass->classObject), "fromCharCode", 3),
              "ok \x02\x02\x02");
}

TEST_F(NativeArity, NumberIntUintAndBooleanMethodsTakeAtMostTheirDeclaredArguments) {
    for (const Value& n : {Value::number(2.5), Value::integer(-3), Value::unsignedInt(7)}) {
        for (const Declared& d : std::initializer_list<Declared>{{"toString", 1},
                                                                 {"toLocaleString", 1},
                                                                 {"toFixed", 1},
                                                                 {"toExponential", 1},
                                                                 {"toPrecision", 1},
                                                                 {"valueOf", 0}}) {
            expectDeclared(n, d.method, d.params);
        }
    }
    for (const Declared& d : std::initializer_list<Declared>{{"toString", 0}, {"valueOf", 0}}) {
        expectDeclared(Value::boolean(true), d.method, d.params);
    }
}

// Array's prototype functions declare their parameters too; some require a first one (the
// callback, the element searched for, the names sorted on), and sortOn takes a rest list
// after its two. A call outside the range throws naming the required count.
TEST_F(NativeArity, ArrayMethodsTakeTheArgumentsTheyDeclare) {
    struct ArrayDeclared {
        const char* method;
        std::size_t required;
        std::size_t params;
        bool rest;
    };
    const auto callback = Value::object(vm.newNative(
        [](avm2::Machine&, const Value&, Args&) { return Value::boolean(true); }, "cb"));
    for (const ArrayDeclared& d : std::initializer_list<ArrayDeclared>{{"join", 0, 1, false},
                                                                       {"pop", 0, 0, false},
                                                                       {"toString", 0, 0, false},
                                                                       {"reverse", 0, 0, false},
                                                                       {"shift", 0, 0, false},
                                                                       {"slice", 0, 2, false},
                                                                       {"indexOf", 1, 2, false},
                                                                       {"lastIndexOf", 1, 2, false},
                                                                       {"every", 1, 2, false},
                                                                       {"filter", 1, 2, false},
                                                                       {"forEach", 1, 2, false},
                                                                       {"map", 1, 2, false},
                                                                       {"some", 1, 2, false},
                                                                       {"sortOn", 1, 2, true}}) {
        SCOPED_TRACE(d.method);
        for (std::size_t count = 0; count <= d.params + 1; ++count) {
            Args args(count, Value::integer(0));
            if (count > 0) {
                args[0] = callback;
            }
            Args none;
            const Value target = vm.construct(Value::object(vm.arrayClass->classObject), none);
            std::string result = "ok";
            try {
                vm.callProperty(target, Name::publicName(d.method), args);
            } catch (const avm2::ScriptThrow& t) {
                result = vm.toString(t.value);
            }
            const bool fits = count >= d.required && (count <= d.params || d.rest);
            EXPECT_EQ(result, fits ? std::string("ok")
                                   : "ArgumentError: Error #1063: Argument count mismatch on "
                                     "Function/<anonymous>(). Expected " +
                                         std::to_string(d.required) + ", got " +
                                         std::to_string(count) + ".")
                << count;
        }
        Args none;
        const Value array = vm.construct(Value::object(vm.arrayClass->classObject), none);
        EXPECT_EQ(length(array, d.method), static_cast<double>(d.params));
    }
    // A rest list alone declares nothing and takes any count.
    for (const char* method : {"push", "concat", "splice", "sort", "unshift"}) {
        Args none;
        const Value array = vm.construct(Value::object(vm.arrayClass->classObject), none);
        EXPECT_EQ(length(array, method), 0.0) << method;
        EXPECT_EQ(outcome(array, method, 4).rfind("ok", 0), 0u) << method;
    }
}

TEST_F(NativeArity, ObjectPrototypeFunctionsTakeTheArgumentsTheyDeclare) {
    Args none;
    const Value o = vm.construct(Value::object(vm.objectClass->classObject), none);
    for (const Declared& d : std::initializer_list<Declared>{
             {"hasOwnProperty", 1}, {"propertyIsEnumerable", 1}, {"isPrototypeOf", 1}}) {
        expectDeclared(o, d.method, d.params);
    }
    // setPropertyIsEnumerable requires both of its parameters.
    EXPECT_EQ(length(o, "setPropertyIsEnumerable"), 2.0);
    EXPECT_EQ(outcome(o, "setPropertyIsEnumerable", 1),
              "ArgumentError: Error #1063: Argument count mismatch on Function/<anonymous>(). "
              "Expected 2, got 1.");
    EXPECT_EQ(outcome(o, "setPropertyIsEnumerable", 2).rfind("ok", 0), 0u);
}

// Math's, Date's and the global functions report the length their declarations give
// (defaults counted, a rest list not), and still take more arguments than that.
TEST_F(NativeArity, LibraryFunctionsReportTheirDeclaredLength) {
    struct Reported {
        const char* owner; // a class, or "" for a global function
        bool onPrototype;
        const char* name;
        double length;
    };
    Args none;
    for (const Reported& r : std::initializer_list<Reported>{{"Math", false, "max", 2},
                                                             {"Math", false, "pow", 2},
                                                             {"Math", false, "abs", 1},
                                                             {"Math", false, "atan2", 2},
                                                             {"Math", false, "random", 0},
                                                             {"Date", false, "UTC", 7},
                                                             {"Date", false, "parse", 1},
                                                             {"JSON", false, "parse", 2},
                                                             {"JSON", false, "stringify", 3},
                                                             {"Date", true, "setHours", 4},
                                                             {"Date", true, "setUTCMonth", 2},
                                                             {"Date", true, "getTime", 0},
                                                             {"RegExp", true, "exec", 1},
                                                             {"Function", true, "apply", 2},
                                                             {"XML", true, "insertChildAfter", 2},
                                                             {"", false, "parseInt", 2},
                                                             {"", false, "isNaN", 1},
                                                             {"", false, "escape", 1}}) {
        SCOPED_TRACE(r.name);
        Value holder;
        if (*r.owner == '\0') {
            holder = vm.findDefinition(Name::publicName(r.name));
            const Value f = vm.getProperty(holder, Name::publicName(r.name));
            EXPECT_EQ(vm.toNumber(vm.getProperty(f, Name::publicName("length"))), r.length);
            // More arguments than declared are taken as before.
            Args extra(4, Value::string("12"));
            EXPECT_NO_THROW(vm.call(f, Value(), extra));
            continue;
        }
        const avm2::Class* c = vm.findClass(r.owner);
        ASSERT_NE(c, nullptr);
        holder = r.onPrototype ? Value::object(c->prototype) : Value::object(c->classObject);
        EXPECT_EQ(length(holder, r.name), r.length);
    }
    // Function.prototype is itself a function of no parameters; a function's own call and
    // apply declare (thisArg, ...args) and (thisArg, argArray).
    const Value fnProto = Value::object(vm.findClass("Function")->prototype);
    EXPECT_EQ(vm.toNumber(vm.getProperty(fnProto, Name::publicName("length"))), 0);
    const Value someFunction =
        vm.getProperty(Value::object(vm.findClass("Math")->classObject), Name::publicName("max"));
    EXPECT_EQ(length(someFunction, "call"), 1);
    EXPECT_EQ(length(someFunction, "apply"), 2);
    const Value math = Value::object(vm.findClass("Math")->classObject);
    EXPECT_EQ(outcome(math, "max", 5), "ok 2");
    // Math's methods with fixed parameters keep refusing a count they do not declare.
    EXPECT_EQ(outcome(math, "abs", 3),
              "ArgumentError: Error #1063: Argument count mismatch on Math$/abs(). Expected 1, "
              "got 3.");
}

// The geometry classes' constructors give every parameter a default as well; one argument
// too many throws, naming the class.
TEST_F(NativeArity, GeometryConstructorsTakeAtMostTheirDeclaredArguments) {
    for (const Declared& d : std::initializer_list<Declared>{
             {"Point", 2}, {"Rectangle", 4}, {"Matrix", 6}, {"ColorTransform", 8}}) {
        SCOPED_TRACE(d.method);
        const std::string name = std::string("flash.geom::") + d.method;
        avm2::Class* c = vm.findClass(name);
        ASSERT_NE(c, nullptr);
        const Value constructor = Value::object(c->classObject);
        for (std::size_t count = 0; count <= d.params + 1; ++count) {
            Args args(count, Value::integer(2));
            std::string result = "made";
            try {
                vm.construct(constructor, args);
            } catch (const avm2::ScriptThrow& t) {
                result = vm.toString(t.value);
            }
            EXPECT_EQ(result, count <= d.params
                                  ? std::string("made")
                                  : "ArgumentError: Error #1063: Argument count mismatch on " +
                                        name + "(). Expected 0, got " + std::to_string(count) +
                                        ".");
        }
    }
}

} // namespace
