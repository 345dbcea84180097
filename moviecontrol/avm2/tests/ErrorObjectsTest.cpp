// Errors as scripts see them: what the error prototypes hold and lend down their chains,
// what an error made by each constructor holds, the class names error messages print, and
// what a function's prototype may be set to.

#include "FakeHost.h"
#include "avm2/ErrorMessages.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

class ErrorObjects : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value classObject(const std::string& name) {
        avm2::Class* c = vm.findClass(name);
        EXPECT_NE(c, nullptr) << name;
        return c != nullptr ? Value::object(c->classObject) : Value();
    }
    Value get(const Value& target, const std::string& name) {
        return vm.getProperty(target, Name::publicName(name));
    }
    // What a call prints, or the error it throws.
    std::string outcome(const std::function<Value()>& f) {
        try {
            return vm.toString(f());
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
    }
};

struct PrototypeCase {
    const char* cls;
    const char* property;
    const char* shown; // as trace prints it
};

TEST_F(ErrorObjects, PrototypesHoldTheirNamesButLendOnlyTheirProperties) {
    // Error.prototype is itself an error: its name and message are its own variables, so
    // prototypes below it do not see them; toString is a property and is lent.
    const std::vector<PrototypeCase> table = {
        {"Error", "name", "Error"},
        {"Error", "message", "Error"},
        {"TypeError", "name", "TypeError"},
        {"TypeError", "message", "undefined"},
        {"RangeError", "name", "RangeError"},
        {"flash.errors::IOError", "name", "undefined"},
        {"flash.errors::DRMManagerError", "name", "undefined"},
        {"flash.errors::DRMManagerError", "message", "undefined"},
    };
    for (const PrototypeCase& c : table) {
        const Value proto = get(classObject(c.cls), "prototype");
        EXPECT_EQ(vm.toString(get(proto, c.property)), c.shown) << c.cls << "." << c.property;
    }
    const Value errorProto = get(classObject("Error"), "prototype");
    const Value drmProto = get(classObject("flash.errors::DRMManagerError"), "prototype");
    EXPECT_TRUE(vm.strictEquals(get(errorProto, "toString"), get(drmProto, "toString")));
    Args none;
    EXPECT_EQ(vm.toString(vm.callProperty(errorProto, Name::publicName("toString"), none)),
              "Error: Error");
    EXPECT_EQ(vm.toString(vm.callProperty(drmProto, Name::publicName("toString"), none)),
              "undefined: undefined");
    EXPECT_EQ(vm.className(errorProto), "Error");
    EXPECT_EQ(vm.className(drmProto), "Object");
}

struct ErrorCase {
    const char* cls;
    std::vector<Value> args;
    const char* text; // toString
    const char* name;
    int id;
};

TEST_F(ErrorObjects, ConstructorsFillTheirOwnNameMessageAndNumber) {
    const std::vector<ErrorCase> table = {
        {"Error", {}, "Error", "Error", 0},
        {"Error", {Value::string("boom")}, "Error: boom", "Error", 0},
        {"TypeError",
         {Value::string("bad"), Value::integer(1034)},
         "TypeError: bad",
         "TypeError",
         1034},
        {"ReferenceError", {Value()}, "ReferenceError", "ReferenceError", 0},
        // The player's error classes keep Error's name.
        {"flash.errors::IOError", {Value::string("io")}, "Error: io", "Error", 0},
        {"flash.errors::DRMManagerError",
         {Value::string("drm"), Value::integer(3300)},
         "Error: drm",
         "Error",
         3300},
    };
    for (const ErrorCase& c : table) {
        Args args = c.args;
        const Value e = vm.construct(classObject(c.cls), args);
        EXPECT_EQ(vm.toString(e), c.text) << c.cls;
        EXPECT_EQ(vm.toString(get(e, "name")), c.name) << c.cls;
        EXPECT_EQ(vm.toNumber(get(e, "errorID")), c.id) << c.cls;
    }
    // Name and message are variables a script may change; toString reads them anew.
    Args args{Value::string("x")};
    const Value e = vm.construct(classObject("Error"), args);
    vm.setProperty(e, Name::publicName("name"), Value::string("Custom"));
    EXPECT_EQ(vm.toString(e), "Custom: x");
    vm.setProperty(e, Name::publicName("message"), Value::string(""));
    EXPECT_EQ(vm.toString(e), "Custom");
}

TEST_F(ErrorObjects, MessagesNameClassesWithDots) {
    Args none;
    const Value point = vm.construct(classObject("flash.geom::Point"), none);
    const std::vector<std::pair<std::string, std::string>> table = {
        {outcome([&] { return get(point, "nothing"); }),
         "ReferenceError: Error #1069: Property nothing not found on flash.geom.Point and there "
         "is no default value."},
        {outcome([&] {
             vm.setProperty(point, Name::publicName("nothing"), Value::integer(1));
             return Value();
         }),
         "ReferenceError: Error #1056: Cannot create property nothing on flash.geom.Point."},
        {outcome([&] { return vm.coerce(Value::integer(1), vm.findClass("flash.geom::Point")); }),
         "TypeError: Error #1034: Type Coercion failed: cannot convert 1 to flash.geom.Point."},
    };
    for (const auto& [got, expected] : table) {
        EXPECT_EQ(got, expected);
    }
}

TEST_F(ErrorObjects, AFunctionsPrototypeIsAnObjectOrNothing) {
    const Value fn =
        Value::object(vm.newNative([](avm2::Machine&, const Value&, Args&) { return Value(); }));
    const Value proto = Value::object(vm.newObject());
    struct Case {
        Value set;
        const char* read; // "" when it throws
    };
    const std::vector<Case> table = {
        {proto, "[object Object]"}, {Value::null(), "undefined"}, {proto, "[object Object]"},
        {Value(), "undefined"},     {Value::integer(5), ""},      {Value::string("text"), ""},
    };
    for (const Case& c : table) {
        const std::string thrown = outcome([&] {
            vm.setProperty(fn, Name::publicName("prototype"), c.set);
            return Value::string("");
        });
        if (*c.read == '\0') {
            EXPECT_EQ(thrown, "TypeError: Error #1049: Prototype objects must be vanilla Objects.");
        } else {
            EXPECT_EQ(thrown, "");
            EXPECT_EQ(vm.toString(get(fn, "prototype")), c.read);
        }
    }
}

} // namespace

namespace {

TEST_F(ErrorObjects, GetErrorMessageGivesTheTemplateWithItsPlacesOpen) {
    const Value error = classObject("Error");
    const auto message = [&](Value id) {
        return outcome([&] {
            Args args{std::move(id)};
            return vm.callProperty(error, Name::publicName("getErrorMessage"), args);
        });
    };
    const std::vector<std::pair<Value, std::string>> table = {
        {Value::integer(1009),
         "Error #1009: Cannot access a property or method of a null object reference."},
        {Value::string("1006"), "Error #1006: %1 is not a function."},
        {Value::number(1125.9), "Error #1125: The index %1 is out of range %2."},
        {Value::integer(1036), "Error #1036"}, // a number the player never used
        {Value::integer(1507), "Error #1507: Argument %1 cannot be null."},
        {Value::integer(1509), "Error #1509"},
        {Value::integer(1513), "Error #1513: Worker has terminated.\""},
        {Value::integer(2030), "Error #2030: End of file was encountered."},
        {Value::integer(2037), "Error #2037: Functions called in incorrect sequence, or earlier "
                               "call was unsuccessful."},
        {Value::integer(10000), "Error #10000"},
        {Value::integer(-1), "Error #-1"},
        {Value::integer(0), "Error #0"},
        {Value::number(std::nan("")), "Error #0"},
        {Value(), "Error #0"},
    };
    for (const auto& [id, expected] : table) {
        EXPECT_EQ(message(id), expected) << vm.toString(id);
    }
}

// The errors the machine throws word themselves as the table does, places filled.
TEST_F(ErrorObjects, ThrownErrorsAgreeWithTheirTemplates) {
    const auto fill = [](std::string text, const std::vector<std::string>& places) {
        for (std::size_t i = 0; i < places.size(); ++i) {
            const std::string mark = "%" + std::to_string(i + 1);
            text.replace(text.find(mark), mark.size(), places[i]);
        }
        return text;
    };
    const auto thrownBy = [&](const Value& target, const char* method, Args args) {
        return outcome([&] { return vm.callProperty(target, Name::publicName(method), args); });
    };
    EXPECT_EQ(thrownBy(Value::number(1.5), "toFixed", {Value::integer(25)}),
              "RangeError: " + avm2::errorMessage(1002));
    EXPECT_EQ(thrownBy(Value::number(10), "toString", {Value::integer(40)}),
              "RangeError: " + fill(avm2::errorMessage(1003), {"40"}));
    const Value cyclic = Value::object(vm.newArray());
    Args self{cyclic};
    vm.callProperty(cyclic, Name::publicName("push"), self);
    EXPECT_EQ(thrownBy(classObject("JSON"), "stringify", {cyclic}),
              "TypeError: " + avm2::errorMessage(1129));
    EXPECT_EQ(thrownBy(classObject("JSON"), "parse", {Value::string("{")}),
              "SyntaxError: " + avm2::errorMessage(1132));
    // A Proxy whose hooks are not overridden refuses each operation with its hook's number.
    Args none;
    const Value proxy = vm.construct(classObject("flash.utils::Proxy"), none);
    EXPECT_EQ(outcome([&] { return vm.getProperty(proxy, Name::publicName("p")); }),
              "Error: " + avm2::errorMessage(2088));
    EXPECT_EQ(outcome([&] {
                  vm.setProperty(proxy, Name::publicName("p"), Value::integer(1));
                  return Value();
              }),
              "Error: " + avm2::errorMessage(2089));
    EXPECT_EQ(thrownBy(proxy, "m", {}), "Error: " + avm2::errorMessage(2090));
}

} // namespace

namespace {

TEST_F(ErrorObjects, ThrowErrorFillsThePlacesFromItsArguments) {
    struct Case {
        const char* type;
        Args rest;
        double id;
        const char* expected;
    };
    const Case cases[] = {
        {"RangeError",
         {Value::integer(99)},
         1003,
         "RangeError: Error #1003: The radix argument must be between 2 and 36; got 99."},
        // A place with nothing for it is left empty; arguments beyond are ignored.
        {"TypeError",
         {},
         1034,
         "TypeError: Error #1034: Type Coercion failed: cannot convert  to ."},
        {"TypeError",
         {Value::string("a"), Value::string("B"), Value::string("extra")},
         1034,
         "TypeError: Error #1034: Type Coercion failed: cannot convert a to B."},
        {"Error",
         {},
         1009,
         "Error: Error #1009: Cannot access a property or method of a null "
         "object reference."},
        {"ArgumentError",
         {Value::string("name")},
         2085,
         "ArgumentError: Error #2085: Parameter name must be non-empty string."},
        {"ReferenceError",
         {Value::string("Pt")},
         2173,
         "ReferenceError: Error #2173: Unable to read object in stream.  The class Pt does "
         "not implement flash.utils.IExternalizable but is aliased to an externalizable "
         "class."},
        // A number with no text keeps its number alone.
        {"ArgumentError", {Value::integer(1)}, 99999, "ArgumentError: Error #99999"},
    };
    const Value error = classObject("Error");
    for (const Case& c : cases) {
        Args args{classObject(c.type), Value::number(c.id)};
        args.insert(args.end(), c.rest.begin(), c.rest.end());
        Value thrown;
        try {
            vm.callProperty(error, Name::publicName("throwError"), args);
        } catch (const avm2::ScriptThrow& t) {
            thrown = t.value;
        }
        EXPECT_EQ(vm.toString(thrown), c.expected);
        EXPECT_EQ(vm.toNumber(get(thrown, "errorID")), c.id) << c.expected;
    }
}

} // namespace
