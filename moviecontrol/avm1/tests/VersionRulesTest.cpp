// Rules of the language that differ by the movie's version: String.split, what functions
// inherit, call and apply; and String.prototype as a String object of its own.

#include "FakeStage.h"

#include "avm1/Function.h"
#include "moviemaker/ActionWriter.h"
#include "swf/ActionCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace avm1test {
namespace {

using avm1::Object;
using avm1::Str;
using avm1::Value;

class VersionRules : public ::testing::TestWithParam<int> {
  protected:
    VersionRules() : stage(GetParam()), vm(stage.vm) {}
    int version() const { return GetParam(); }
    // "a|b|" style: every part followed by a bar, so that empty parts show.
    std::string split(std::string_view text, std::vector<Value> args) {
        Value parts = vm.callMethod(vm.toObject(Value(Str(text))), "split", args);
        Object* array = parts.asObject();
        if (!array) {
            return "(none)";
        }
        std::string out;
        auto n = static_cast<int>(vm.toNumber(vm.get(array, "length")));
        for (int i = 0; i < n; ++i) {
            out += vm.toString(vm.get(array, std::to_string(i))).str() + "|";
        }
        return out;
    }
    static Value str(std::string_view s) { return Value(Str(s)); }

    FakeStage stage;
    avm1::Machine& vm;
};

TEST_P(VersionRules, SplitCutsByTheRulesOfTheVersion) {
    const bool v5 = version() < 6;
    const struct {
        const char* text;
        std::vector<Value> args;
        const char* from6;
        const char* in5;
    } table[] = {
        // No separator: the whole text (version 5 cuts at commas).
        {"a,b", {}, "a,b|", "a|b|"},
        {"a,b", {Value()}, "a,b|", "a|b|"},
        // An empty separator: every character (version 5: the whole text).
        {"abc", {str("")}, "a|b|c|", "abc|"},
        {"", {str("")}, "", "|"},
        // An empty text is one empty part whatever the limit.
        {"", {str("x")}, "|", "|"},
        {"", {str("x"), Value(0)}, "|", ""},
        {"", {str("x"), Value(-1)}, "|", ""},
        // Separators at either end leave empty parts.
        {"h", {str("h")}, "||", "||"},
        {"aa", {str("a"), Value()}, "|||", "|||"},
        // Longer separators: version 5 took one character at most.
        {"aXYb", {str("XY")}, "a|b|", "aXYb|"},
        {"aa", {str("aa"), Value()}, "||", "aa|"},
        // Limits: an integer from the number, undefined for none, below 1 for no parts.
        {"a,b,c", {str(","), Value(2.7)}, "a|b|", "a|b|"},
        {"a,b,c", {str(","), Value(0)}, "", ""},
        {"a,b,c", {str(","), Value(-1)}, "", ""},
        {"a,b,c", {str(","), Value()}, "a|b|c|", "a|b|c|"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(split(row.text, row.args), v5 ? row.in5 : row.from6)
            << '"' << row.text << "\" with " << row.args.size() << " arguments";
    }
}

TEST_P(VersionRules, FunctionsSeeObjectPrototypesConversionsFromVersion6) {
    Object* string = vm.get(vm.global(), "String").asObject();
    Object* functionProto = vm.functionPrototype();
    ASSERT_NE(functionProto, nullptr);
    // Function.prototype holds call and apply but is no function itself.
    EXPECT_EQ(vm.typeOf(Value(functionProto)), "object");
    Object* objectProto = vm.get(vm.get(vm.global(), "Object").asObject(), "prototype").asObject();
    ASSERT_NE(objectProto, nullptr);
    vm.set(objectProto, "added", Value(1));
    const bool v5 = version() < 6;
    const struct {
        Object* from;
        const char* name;
        const char* in5;
        const char* from6;
    } table[] = {
        // The conversions stop at Function.prototype in version 5, whatever the case.
        {string, "valueOf", "undefined", "function"},
        {string, "toString", "undefined", "function"},
        {functionProto, "valueOf", "undefined", "function"},
        // The rest of Object.prototype is inherited in every version.
        {string, "added", "number", "number"},
        {functionProto, "added", "number", "number"},
        // call, apply and the global Function came with version 6.
        {string, "call", "undefined", "function"},
        {string, "apply", "undefined", "function"},
        {vm.global(), "Function", "undefined", "function"},
        // Objects other than functions find the conversions in every version.
        {vm.newObject(), "valueOf", "function", "function"},
        {vm.newObject(), "toString", "function", "function"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(vm.typeOf(vm.get(row.from, Str(row.name))), v5 ? row.in5 : row.from6) << row.name;
    }
    // Names fold in versions 5 and 6 only: version 5 stops the folded name too.
    EXPECT_EQ(vm.typeOf(vm.get(string, Str("TOSTRING"))),
              version() == 6 ? "function" : "undefined");
    // A function's own conversion is its own in every version.
    vm.set(string, "valueOf", vm.get(objectProto, "valueOf"));
    EXPECT_EQ(vm.typeOf(vm.get(string, "valueOf")), "function");
}

// Every function holds Function as its own, hidden constructor: classes, methods, global
// functions and functions made later alike.
TEST_P(VersionRules, EveryFunctionNamesFunctionItsConstructor) {
    Object* function = vm.get(vm.functionPrototype(), "constructor").asObject();
    ASSERT_NE(function, nullptr);
    Object* math = vm.get(vm.global(), "Math").asObject();
    ASSERT_NE(math, nullptr);
    const std::pair<const char*, Value> table[] = {
        {"Object", vm.get(vm.global(), "Object")},
        {"String", vm.get(vm.global(), "String")},
        {"Math.max", vm.get(math, "max")},
        {"ASSetPropFlags", vm.get(vm.global(), "ASSetPropFlags")},
        {"made later",
         Value(static_cast<Object*>(vm.newFunction([](avm1::CallArgs&) { return Value(); })))},
    };
    for (const auto& [what, value] : table) {
        Object* f = value.asObject();
        ASSERT_NE(f, nullptr) << what;
        const avm1::Property* p = f->properties().find(Str("constructor"), true);
        ASSERT_NE(p, nullptr) << what;
        EXPECT_EQ(p->value.asObject(), function) << what;
        EXPECT_TRUE(p->attributes & avm1::attr::DontEnum) << what;
    }
}

TEST_P(VersionRules, FlashPackageCameWithVersion8) {
    moviemaker::Actions a;
    a.push("flash").code(swf::op::GetVariable).code(swf::op::TypeOf).code(swf::op::Trace);
    a.push("_global").code(swf::op::GetVariable).push("flash").code(swf::op::GetMember);
    a.push("geom").code(swf::op::GetMember).push("Point").code(swf::op::GetMember);
    a.code(swf::op::TypeOf).code(swf::op::Trace);
    const bool seen = version() >= 8;
    EXPECT_EQ(stage.run(a.bytes()), (std::vector<std::string>{seen ? "object" : "undefined",
                                                              seen ? "function" : "undefined"}));
}

TEST_P(VersionRules, StringPrototypeIsAnEmptyString) {
    Object* proto = vm.get(vm.get(vm.global(), "String").asObject(), "prototype").asObject();
    ASSERT_NE(proto, nullptr);
    EXPECT_EQ(vm.typeOf(Value(proto)), "object");
    EXPECT_EQ(vm.toString(vm.callMethod(proto, "toString", {})).str(), "");
    EXPECT_TRUE(vm.callMethod(proto, "valueOf", {}).isString());
    // An object borrowing the methods gives its own text.
    Object* borrower = vm.newObject();
    vm.set(borrower, "v", vm.get(proto, "valueOf"));
    EXPECT_EQ(vm.toString(vm.callMethod(borrower, "v", {})).str(), "[object Object]");
    // toString answers only for texts: borrowed or inherited, it gives undefined, and an
    // object whose prototype is String.prototype converts without asking it again.
    vm.set(borrower, "t", vm.get(proto, "toString"));
    EXPECT_TRUE(vm.callMethod(borrower, "t", {}).isUndefined());
    Object* heir = vm.newObject();
    heir->setProto(proto);
    EXPECT_TRUE(vm.callMethod(heir, "toString", {}).isUndefined());
    EXPECT_EQ(vm.toString(vm.callMethod(heir, "valueOf", {})).str(), "[type Object]");
}

TEST_P(VersionRules, IntWrapsAsA32BitInteger) {
    moviemaker::Actions a;
    for (double n : {2147483648.0, -2147483649.0, 4294967296.0, 1e45, -7.8}) {
        a.push(n).code(swf::op::ToInteger).code(swf::op::Trace);
    }
    a.push("Infinity").code(swf::op::GetVariable).code(swf::op::ToInteger).code(swf::op::Trace);
    EXPECT_EQ(stage.run(a.bytes()),
              (std::vector<std::string>{"-2147483648", "2147483647", "0", "0", "-7", "0"}));
}

// parseInt reads a String object by its own text, whatever its toString now says; other
// objects still answer through toString.
TEST_P(VersionRules, ParseIntReadsAStringObjectsOwnText) {
    Object* proto = vm.get(vm.get(vm.global(), "String").asObject(), "prototype").asObject();
    ASSERT_NE(proto, nullptr);
    Object* ten = vm.toObject(str("10"));
    Object* other = vm.newObject();
    const Value replaced = vm.get(vm.global(), "parseFloat"); // any function will do
    vm.set(proto, "toString", replaced);
    vm.set(proto, "valueOf", replaced);
    const Value parseInt = vm.get(vm.global(), "parseInt");
    const auto parse = [&](std::vector<Value> args) {
        return vm.toNumber(vm.call(parseInt, Value(), args));
    };
    EXPECT_EQ(parse({Value(ten)}), 10);
    EXPECT_EQ(parse({Value(ten), Value(2)}), 2);
    vm.set(other, "toString", vm.get(proto, "toString"));
    EXPECT_TRUE(std::isnan(parse({Value(other)})));
}

// == between two objects: version 5 compares their values (a String and a Number object
// of the same digits are equal, two functions without valueOf both read as undefined);
// from version 6 only the same object is equal.
TEST_P(VersionRules, EqualsComparesTwoObjectsByValueInVersionFive) {
    moviemaker::Actions a;
    const auto compare = [&](std::string_view left, std::string_view right) {
        a.push(left).code(swf::op::GetVariable).push(right).code(swf::op::GetVariable);
        a.code(swf::op::Equals2).code(swf::op::Trace);
    };
    vm.set(vm.global(), "digits", Value(vm.toObject(str("1234"))));
    vm.set(vm.global(), "number", Value(vm.toObject(Value(1234))));
    vm.set(vm.global(), "other", Value(vm.toObject(Value(99))));
    vm.set(vm.global(), "plain", Value(vm.newObject()));
    vm.set(vm.global(), "plain2", Value(vm.newObject()));
    compare("digits", "number");
    compare("number", "other");
    compare("plain", "plain2");
    compare("plain", "plain");
    const std::string v5 = version() == 5 ? "true" : "false";
    EXPECT_EQ(stage.run(a.bytes()), (std::vector<std::string>{v5, "false", "false", "true"}));
}

// A member this version does not see gives way when a script sets it: the script's value
// is then visible (version 5 setting Object.prototype.hasOwnProperty).
TEST_P(VersionRules, SettingAHiddenMemberMakesItVisible) {
    Object* proto = vm.get(vm.get(vm.global(), "Object").asObject(), "prototype").asObject();
    ASSERT_NE(proto, nullptr);
    EXPECT_EQ(vm.typeOf(vm.get(proto, "hasOwnProperty")),
              version() >= 6 ? "function" : "undefined");
    vm.set(proto, "hasOwnProperty", str("mine"));
    EXPECT_EQ(vm.toString(vm.get(proto, "hasOwnProperty")).str(), "mine");
    vm.set(proto, "hasOwnProperty", str("again"));
    EXPECT_EQ(vm.toString(vm.get(proto, "hasOwnProperty")).str(), "again");

    if (version() < 6) {
        return; // addProperty came with version 6
    }
    // While hidden, the inherited accessor answers; the assignment still goes to the own
    // member, and no inherited setter runs.
    int setterCalls = 0;
    Object* parent = vm.newObject();
    Object* child = vm.newObject();
    child->setProto(parent);
    Value getter(static_cast<Object*>(
        vm.newFunction([](avm1::CallArgs& c) { return Value(c.machine.str("inherited")); })));
    Value setter(static_cast<Object*>(vm.newFunction([&setterCalls](avm1::CallArgs&) {
        ++setterCalls;
        return Value();
    })));
    vm.callMethod(parent, "addProperty", std::vector<Value>{str("m"), getter, setter});
    vm.define(child, "m", str("own"), avm1::attr::Only10);
    EXPECT_EQ(vm.toString(vm.get(child, "m")).str(), "inherited");
    vm.set(child, "m", str("set"));
    EXPECT_EQ(vm.toString(vm.get(child, "m")).str(), "set");
    EXPECT_EQ(setterCalls, 0);
    // Hidden again, it can still be deleted; then the inherited setter takes assignments.
    vm.define(child, "m", str("own"), avm1::attr::Only10);
    EXPECT_TRUE(vm.deleteProperty(child, Str("m")));
    vm.set(child, "m", str("through"));
    EXPECT_EQ(setterCalls, 1);
}

// An own accessor the version does not see loses its getter and setter when a script sets
// it: it becomes a plain member with the value, shown from then on, except that version 6
// keeps a member meant for version 7 hidden from reads.
TEST_P(VersionRules, SettingAHiddenAccessorMakesItAPlainMember) {
    const std::uint32_t bits[] = {avm1::attr::Only6, avm1::attr::Hide6, avm1::attr::Only7,
                                  avm1::attr::Only8, avm1::attr::Only10};
    for (std::uint32_t bit : bits) {
        const bool seen = avm1::attr::visibleTo(bit, version());
        int calls = 0;
        Object* o = vm.newObject();
        Value getter(static_cast<Object*>(vm.newFunction([&calls](avm1::CallArgs& c) {
            ++calls;
            return Value(c.machine.str("got"));
        })));
        Value setter(static_cast<Object*>(vm.newFunction([&calls](avm1::CallArgs&) {
            ++calls;
            return Value();
        })));
        o->properties().add(
            avm1::Property{Str("p"), Value(), bit, getter.asObject(), setter.asObject()}, true);
        vm.set(o, "p", Value(8));
        const Value read = vm.get(o, "p");
        if (seen) {
            // Visible: the setter and then the getter answer.
            EXPECT_EQ(calls, 2) << bit;
            EXPECT_EQ(vm.toString(read).str(), "got") << bit;
            continue;
        }
        EXPECT_EQ(calls, 0) << bit;
        const bool keptHidden = version() == 6 && bit == avm1::attr::Only7;
        EXPECT_EQ(read.isUndefined(), keptHidden) << bit;
        EXPECT_EQ(vm.toNumber(o->properties().find(Str("p"), true)->value), 8) << bit;
        if (!keptHidden) {
            EXPECT_EQ(vm.toString(read).str(), "8") << bit;
        }
        EXPECT_TRUE(vm.hasOwnProperty(o, Str("p"))) << bit;
    }
}

// `super` came with version 6: in a version 5 method it is an ordinary, unset name, so a
// call through it does nothing (from 6, super() runs the parent constructor, Object's).
TEST_P(VersionRules, SuperExistsFromVersionSix) {
    namespace op = swf::op;
    moviemaker::Actions body;
    body.push("super").code(op::GetVariable).code(op::TypeOf).code(op::Trace);
    body.push(0.0).push("super").code(op::CallFunction).code(op::TypeOf).code(op::Trace);
    moviemaker::Actions a;
    a.defineFunction("f", {}, body);
    a.push("o").push(0.0).push("Object").code(op::NewObject).code(op::SetVariable);
    a.push("o").code(op::GetVariable).push("f").push("f").code(op::GetVariable);
    a.code(op::SetMember);
    a.push(0.0).push("o").code(op::GetVariable).push("f").code(op::CallMethod).code(op::Pop);
    // The method sits on `o` itself. Version 7 looks for super() one level above where the
    // method was found (o.__constructor__, Object); version 6 one level above `o`'s
    // prototype, where there is no constructor.
    std::vector<std::string> expected{"object", "object"};
    if (version() == 6) {
        expected = {"object", "undefined"};
    } else if (version() < 6) {
        expected = {"undefined", "undefined"};
    }
    EXPECT_EQ(stage.run(a.bytes()), expected);
}

// obj -> P1 -> P2 -> P3 -> P4, each Pn with the constructor Kn; `m` sits on P1 and P4 and
// runs super() and then super.m(). Version 6 climbs one level a call; version 7 runs a
// method as the one of the prototype it was found in, except that a call through super
// climbs at most one level past where its lookup started (P4's m runs as P3's first).
TEST_P(VersionRules, SuperCallsClimbTheChainByVersion) {
    namespace op = swf::op;
    moviemaker::Actions method;
    method.push(0.0).push("super").code(op::CallFunction).code(op::Pop);
    method.push(0.0).push("super").code(op::GetVariable).push("m").code(op::CallMethod);
    method.code(op::Pop);
    moviemaker::Actions a;
    a.push("_global").code(op::GetVariable).push("m").function(method).code(op::SetMember);
    for (const char* k : {"K1", "K2", "K3", "K4"}) {
        moviemaker::Actions ctor;
        ctor.push(k).code(op::Trace);
        a.push("_global").code(op::GetVariable).push(k).function(ctor).code(op::SetMember);
    }
    stage.run(a.bytes());
    Object* up = vm.objectPrototype();
    for (const char* level : {"4", "3", "2", "1"}) {
        Object* p = vm.make<Object>(up);
        vm.set(p, "__constructor__", vm.get(vm.global(), std::string("K") + level));
        if (*level == '1' || *level == '4') {
            vm.set(p, "m", vm.get(vm.global(), "m"));
        }
        up = p;
    }
    vm.set(vm.global(), "obj", Value(vm.make<Object>(up)));
    moviemaker::Actions call;
    call.push(0.0).push("obj").code(op::GetVariable).push("m").code(op::CallMethod);
    call.code(op::Pop);
    std::vector<std::string> expected{"K1", "K3", "K4"};
    if (version() == 6) {
        expected = {"K1", "K2", "K3", "K4"};
    } else if (version() < 6) {
        expected = {};
    }
    EXPECT_EQ(stage.run(call.bytes()), expected);
}

TEST_P(VersionRules, UnescapeDropsAnEscapeCutShort) {
    auto unescape = [&](std::string_view text) {
        const Value arg = str(text);
        return vm.toString(vm.callMethod(vm.global(), "unescape", {&arg, 1})).str();
    };
    EXPECT_EQ(unescape("%3a%2f%3f%3d%26%"), ":/?=&");
    EXPECT_EQ(unescape("a%4"), "a");
    EXPECT_EQ(unescape("%zz%41"), "zA"); // the character that breaks an escape goes with it
}

TEST_P(VersionRules, BuiltInsMadeBySubclassesStayPlainObjects) {
    // An object that only inherits from a Date has no time to read.
    Object* dateProto = vm.get(vm.get(vm.global(), "Date").asObject(), "prototype").asObject();
    Object* heir = vm.make<Object>(dateProto);
    EXPECT_TRUE(vm.callMethod(heir, "getYear", {}).isUndefined());
    EXPECT_TRUE(vm.callMethod(heir, "getUTCMonth", {}).isUndefined());
    if (version() >= 6) {
        // new Function() makes an object, not a function.
        Object* made = vm.construct(vm.get(vm.global(), "Function"), {});
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(vm.typeOf(Value(made)), "object");
        EXPECT_EQ(made->proto(), vm.functionPrototype());
    }
}

TEST_P(VersionRules, DeleteSparesAFunctionsLocals) {
    namespace op = swf::op;
    moviemaker::Actions body;
    body.push("e").push("hello").code(op::DefineLocal);
    body.push("e").code(op::Delete2).code(op::Trace);
    body.push("e").code(op::GetVariable).code(op::Trace);
    moviemaker::Actions a;
    a.push("e").push("hi").code(op::SetVariable);
    a.push("f").function(body).code(op::SetVariable);
    a.push(0.0).push("f").code(op::CallFunction).code(op::Pop);
    a.push("e").code(op::GetVariable).code(op::Trace);
    a.push("e").code(op::Delete2).code(op::Trace);
    // Delete with a name alone deletes the variable it names before version 7; from 7 on
    // it deletes nothing.
    a.push("o").push(5.0).code(op::SetVariable);
    a.push("o").code(op::Delete).code(op::Trace);
    a.push("o").code(op::GetVariable).code(op::Trace);
    const bool deletes = version() < 7;
    EXPECT_EQ(stage.run(a.bytes()),
              (std::vector<std::string>{"false", "hello", "hi", "true", deletes ? "true" : "false",
                                        deletes ? "undefined" : "5"}));
}

TEST_P(VersionRules, ErrorGivesItsMessageAsItWasGiven) {
    Value error = vm.get(vm.global(), "Error");
    Object* message = vm.newObject();
    EXPECT_TRUE(vm.call(error, Value(), std::vector<Value>{str("x")}).isUndefined());
    Object* made = vm.construct(error, std::vector<Value>{Value(message)});
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(vm.callMethod(made, "toString", {}).asObject(), message);
    Object* plain = vm.construct(error, std::vector<Value>{});
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(vm.toString(vm.callMethod(plain, "toString", {})).str(), "Error");
}

TEST_P(VersionRules, BroadcasterMembersCameWithVersionSix) {
    Object* broadcaster = vm.get(vm.global(), "AsBroadcaster").asObject();
    ASSERT_NE(broadcaster, nullptr);
    for (std::string_view name : {"prototype", "initialize", "addListener", "broadcastMessage"}) {
        EXPECT_EQ(vm.get(broadcaster, name).isObject(), version() >= 6) << name;
    }
}

TEST_P(VersionRules, BuiltInWhosePrototypeTheVersionHidesMakesOrphans) {
    // A built-in class whose prototype only version 6 sees, as TextField's is.
    avm1::FunctionObject* ctor = vm.newClass([](avm1::CallArgs&) { return Value(); });
    Object* proto = vm.get(ctor, "prototype").asObject();
    ASSERT_NE(proto, nullptr);
    vm.define(ctor, "prototype", Value(proto), avm1::attr::Hidden | avm1::attr::Only6);
    Object* made = vm.construct(Value(static_cast<Object*>(ctor)), std::vector<Value>{});
    ASSERT_NE(made, nullptr);
    if (version() >= 6) {
        EXPECT_EQ(made->proto(), proto);
        return;
    }
    // An empty prototype of its own, inheriting nothing: no toString, no valueOf.
    ASSERT_NE(made->proto(), nullptr);
    EXPECT_NE(made->proto(), proto);
    EXPECT_EQ(made->proto()->proto(), nullptr);
    EXPECT_TRUE(vm.get(made, "toString").isUndefined());
    EXPECT_TRUE(vm.get(made, "valueOf").isUndefined());
}

TEST_P(VersionRules, FunctionsEnumerateTheirChainOnceTheVersionSeesTheirProto) {
    Object* objectProto = vm.get(vm.get(vm.global(), "Object").asObject(), "prototype").asObject();
    ASSERT_NE(objectProto, nullptr);
    vm.set(objectProto, "added", Value(1));
    Value string = vm.get(vm.global(), "String");
    vm.set(string.asObject(), "own", Value(2));
    const auto names = [&] {
        std::vector<std::string> sorted;
        for (const Str& n : vm.enumerate(string.asObject())) {
            sorted.push_back(n.str());
        }
        std::sort(sorted.begin(), sorted.end());
        std::string out;
        for (const std::string& n : sorted) {
            out += n + ",";
        }
        return out;
    };
    const char* listed = version() < 6 ? "own," : "added,own,";
    EXPECT_EQ(names(), listed);
    const Value setFlags = vm.get(vm.global(), "ASSetPropFlags");
    // The version flag (128) cleared from __proto__ opens the chain to version 5 too...
    vm.call(setFlags, Value(), std::vector<Value>{string, str("__proto__"), Value(0), Value(128)});
    EXPECT_EQ(names(), "added,own,");
    // ...and set again closes it; plain objects are never cut.
    vm.call(setFlags, Value(), std::vector<Value>{string, str("__proto__"), Value(128)});
    EXPECT_EQ(names(), listed);
    Object* plain = vm.newObject();
    EXPECT_EQ(vm.enumerate(plain).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionRules, ::testing::Values(5, 6, 7, 8));

} // namespace
} // namespace avm1test
