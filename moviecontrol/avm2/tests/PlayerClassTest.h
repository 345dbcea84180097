#pragma once
// A machine with the player's classes, and the calls the class tests make: build an object
// by its class name, call a method or read a property and print the answer, or catch what
// a call throws as "ClassName #code".

#include "FakeHost.h"

#include <gtest/gtest.h>

#include <functional>

namespace avm2test {

class PlayerClassTest : public ::testing::Test {
  protected:
    FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    avm2::Value classNamed(const std::string& qualified) {
        avm2::Class* c = vm.findClass(qualified);
        EXPECT_NE(c, nullptr) << qualified;
        return c != nullptr ? avm2::Value::object(c->classObject) : avm2::Value();
    }
    avm2::Value make(const std::string& qualified, avm2::Args args = {}) {
        return vm.construct(classNamed(qualified), args);
    }
    avm2::Value call(const avm2::Value& target, const std::string& method, avm2::Args args = {}) {
        return vm.callProperty(target, avm2::Name::publicName(method), args);
    }
    std::string text(const avm2::Value& v) { return vm.toString(v); }
    std::string get(const avm2::Value& target, const std::string& property) {
        return text(vm.getProperty(target, avm2::Name::publicName(property)));
    }
    void set(const avm2::Value& target, const std::string& property, const avm2::Value& v) {
        vm.setProperty(target, avm2::Name::publicName(property), v);
    }
    // "" when `work` returns, else the thrown error's class and number.
    std::string thrown(const std::function<void()>& work) {
        try {
            work();
        } catch (const avm2::ScriptThrow& t) {
            return vm.className(t.value) + " #" +
                   text(vm.getProperty(t.value, avm2::Name::publicName("errorID")));
        }
        return "";
    }
    // "" when `work` returns, else the thrown error as a script prints it.
    std::string thrownText(const std::function<void()>& work) {
        try {
            work();
        } catch (const avm2::ScriptThrow& t) {
            return text(t.value);
        }
        return "";
    }
    static avm2::Args numbers(std::initializer_list<double> values) {
        avm2::Args out;
        for (double v : values) {
            out.push_back(avm2::Value::number(v));
        }
        return out;
    }
};

} // namespace avm2test
