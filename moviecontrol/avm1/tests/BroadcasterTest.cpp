// AsBroadcaster as the class library wrote it: addListener goes through the object's own
// removeListener and the list's push, removeListener through == and splice.

#include "FakeStage.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace avm1test {
namespace {

using avm1::Object;
using avm1::Str;
using avm1::Value;

class Broadcaster : public ::testing::Test {
  protected:
    Broadcaster() : stage(8), vm(stage.vm) {
        source = vm.newObject();
        Value arg(source);
        vm.callMethod(vm.get(vm.global(), "AsBroadcaster").asObject(), "initialize", {&arg, 1});
    }
    Value call(std::string_view method, std::vector<Value> args) {
        return vm.callMethod(source, method, args);
    }
    Object* list() { return vm.get(source, "_listeners").asObject(); }
    double count() { return vm.toNumber(vm.get(list(), "length")); }
    // A listener that appends `name` to the shared log when it hears onTest.
    Object* listener(const std::string& name) {
        Object* l = vm.newObject();
        vm.set(l, "onTest",
               Value(static_cast<Object*>(vm.newFunction([this, name](avm1::CallArgs&) {
                   log += name;
                   return Value();
               }))));
        return l;
    }

    FakeStage stage;
    avm1::Machine& vm;
    Object* source = nullptr;
    std::string log;
};

TEST_F(Broadcaster, AddingAgainMovesToTheEnd) {
    Object* a = listener("a");
    Object* b = listener("b");
    EXPECT_TRUE(call("addListener", {Value(a)}).asBool());
    call("addListener", {Value(b)});
    call("addListener", {Value(a)});
    EXPECT_EQ(count(), 2);
    EXPECT_TRUE(call("broadcastMessage", {Value(Str("onTest"))}).asBool());
    EXPECT_EQ(log, "ba");
    // Nobody listening: broadcastMessage gives undefined.
    call("removeListener", {Value(a)});
    call("removeListener", {Value(b)});
    EXPECT_TRUE(call("broadcastMessage", {Value(Str("onTest"))}).isUndefined());
    // Undefined and null entries are nobody; a list that is no object is no list.
    call("addListener", {Value()});
    call("addListener", {Value::null()});
    EXPECT_TRUE(call("broadcastMessage", {Value(Str("onTest"))}).isUndefined());
    call("addListener", {Value(5.0)});
    EXPECT_TRUE(call("broadcastMessage", {Value(Str("onTest"))}).asBool());
    vm.set(source, "_listeners", Value(Str("ab")));
    EXPECT_TRUE(call("broadcastMessage", {Value(Str("onTest"))}).isUndefined());
    EXPECT_EQ(log, "ba");
}

// A handler changing the list: the first listener removes `removes` (and adds "d" if
// asked) when it first hears onTest; the log shows who heard the first and second broadcast.
TEST_F(Broadcaster, AHandlerChangesTheListAsTheBroadcastGoesOn) {
    const struct {
        const char* removes;
        bool adds;
        const char* firstThenSecond;
    } table[] = {
        {"a", false, "ac|bc"}, // the next moves into its place and misses the broadcast
        {"b", false, "ac|ac"},
        {"", true, "abc|abcd"}, // one added waits for the next broadcast
    };
    for (const auto& row : table) {
        log.clear();
        std::map<std::string, Object*> byName;
        for (const char* name : {"a", "b", "c", "d"}) {
            byName[name] = listener(name);
        }
        bool done = false;
        vm.set(byName["a"], "onTest",
               Value(static_cast<Object*>(vm.newFunction([&](avm1::CallArgs&) {
                   log += "a";
                   if (!std::exchange(done, true)) {
                       if (*row.removes) {
                           call("removeListener", {Value(byName[row.removes])});
                       }
                       if (row.adds) {
                           call("addListener", {Value(byName["d"])});
                       }
                   }
                   return Value();
               }))));
        vm.set(source, "_listeners", Value(vm.newArray({})));
        for (const char* name : {"a", "b", "c"}) {
            call("addListener", {Value(byName[name])});
        }
        call("broadcastMessage", {Value(Str("onTest"))});
        log += "|";
        call("broadcastMessage", {Value(Str("onTest"))});
        EXPECT_EQ(log, row.firstThenSecond) << row.removes;
    }
}

TEST_F(Broadcaster, RemovalComparesWithEqualsAndUsesSplice) {
    Object* o = vm.newObject();
    vm.set(o, "valueOf", Value(static_cast<Object*>(vm.newFunction([](avm1::CallArgs&) {
               return Value(Str("yes I am"));
           }))));
    call("addListener", {Value(o)});
    EXPECT_FALSE(call("removeListener", {Value(Str("no"))}).asBool());
    EXPECT_TRUE(call("removeListener", {Value(Str("yes I am"))}).asBool());
    EXPECT_EQ(count(), 0);
    // A replaced splice and push are what the methods call.
    int splices = 0, pushes = 0;
    vm.set(list(), "splice", Value(static_cast<Object*>(vm.newFunction([&](avm1::CallArgs&) {
               ++splices;
               return Value();
           }))));
    vm.set(list(), "push", Value(static_cast<Object*>(vm.newFunction([&](avm1::CallArgs&) {
               ++pushes;
               return Value();
           }))));
    vm.set(list(), "0", Value(o));
    call("addListener", {Value(o)});
    EXPECT_EQ(splices, 1);
    EXPECT_EQ(pushes, 1);
}

} // namespace
} // namespace avm1test
