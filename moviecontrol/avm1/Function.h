#pragma once
// Function objects: native functions written in C++ and functions defined by scripts.

#include "avm1/Object.h"

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace avm1 {

class Machine;
class Scope;

// What a native function receives. Arguments past the end read as undefined.
struct CallArgs {
    Machine& machine;
    // `this` of the call (undefined for a plain function call at the top level).
    Value thisValue;
    std::span<const Value> args;
    FunctionObject* callee = nullptr;
    // True when called by `new`; `thisValue` is then the fresh object, whose __proto__ is
    // the constructor's prototype. A constructor that returns an object replaces it.
    bool constructing = false;

    std::size_t count() const { return args.size(); }
    const Value& arg(std::size_t i) const;
    Object* thisObject() const { return thisValue.asObject(); }
};

using NativeFn = std::function<Value(CallArgs&)>;

// Bytes of an action block kept alive for as long as functions defined in it exist.
struct Code {
    std::shared_ptr<const void> owner;
    std::span<const std::uint8_t> bytes;
};

// A register of DefineFunction2 preloaded with one of these, in this order.
struct ScriptFunctionInfo {
    Str name;
    std::vector<Str> params;
    // DefineFunction2 only: register of each parameter (0 = passed by name).
    std::vector<std::uint8_t> paramRegisters;
    std::uint8_t registerCount = 0;
    std::uint16_t flags = 0; // DefineFunction2 flags (preload/suppress bits)
    bool isFunction2 = false;
    Code body;
    int swfVersion = 0;
    // The constant pool in effect where the function was defined.
    std::shared_ptr<const std::vector<Str>> constants;
};

class FunctionObject : public Object {
  public:
    // A native function.
    FunctionObject(Object* proto, NativeFn fn) : Object(proto), native_(std::move(fn)) {}
    // A script function closing over `scope` (null for version 5's non-closures).
    FunctionObject(Object* proto, std::shared_ptr<const ScriptFunctionInfo> info, Scope* scope,
                   Object* definingTarget)
        : Object(proto), script_(std::move(info)), scope_(scope), target_(definingTarget) {}

    std::string_view className() const override { return "Function"; }
    FunctionObject* asFunction() override { return this; }
    void trace(Tracer& t) override;

    bool isNative() const { return static_cast<bool>(native_); }
    const NativeFn& native() const { return native_; }
    const ScriptFunctionInfo* script() const { return script_.get(); }
    Scope* scope() const { return scope_; }
    // The clip whose timeline defined the function (its `this` default and its target).
    Object* definingTarget() const { return target_; }

    // Native constructors that build a special object (Array, Date...) set this; when set,
    // `new F(...)` calls it instead of making a plain object first.
    NativeFn constructor;

  private:
    NativeFn native_;
    std::shared_ptr<const ScriptFunctionInfo> script_;
    Scope* scope_ = nullptr;
    Object* target_ = nullptr;
};

// A link of a scope chain: the global object at the end, then the timeline, `with`
// objects and function activations.
class Scope : public Object {
  public:
    // `timeline` marks the link of the clip whose timeline the code runs on: assignments
    // to undeclared names land there, and SetTarget replaces it.
    Scope(Scope* parent, Object* object, bool timeline = false)
        : Object(nullptr), parent_(parent), object_(object), timeline_(timeline) {}
    std::string_view className() const override { return "Scope"; }
    void trace(Tracer& t) override {
        t.mark(parent_);
        t.mark(object_);
    }
    Scope* parent() const { return parent_; }
    Object* object() const { return object_; }
    bool isTimeline() const { return timeline_; }

  private:
    Scope* parent_;
    Object* object_;
    bool timeline_;
};

} // namespace avm1
