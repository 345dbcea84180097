#pragma once
// The interpreter of action blocks; internal to the machine.

#include "avm1/State.h"

namespace avm1 {

// One running block or function call.
struct Activation {
    Scope* scope = nullptr;
    Value thisValue;
    // Target of timeline actions; SetTarget changes it, SetTarget("") restores baseClip.
    Object* target = nullptr;
    Object* baseClip = nullptr;
    // SetTarget named no clip: names still resolve on the root, but the timeline actions and
    // the properties of the current clip find nothing until the next SetTarget.
    bool targetLost = false;
    // The base clip had already left the stage when this block or call started. A script
    // whose base clip leaves while it runs stops after the call that removed it; one that
    // started on a removed clip runs to its end.
    bool startedRemoved = false;
    // Where DefineLocal and `var` put variables: a function's activation object or the clip.
    Object* locals = nullptr;
    std::vector<Value> registers;
    std::shared_ptr<const std::vector<Str>> constants;
    FunctionObject* callee = nullptr;
    // The prototype holding the running method (super resolves from its __proto__).
    Object* home = nullptr;
    Object* arguments = nullptr;
    Code code;
    int version = 0;
    bool isFunction = false;
    // Called by `new`.
    bool constructing = false;
    // DefineFunction2 suppress flags: `this` then names the clip, `super` is undefined.
    bool suppressThis = false;
    bool suppressSuper = false;
    std::size_t stackBase = 0;
    int rangeDepth = 0;
    // `with` blocks open in this action list or function body.
    int withDepth = 0;
};

// `super`: property lookups start at home.__proto__, calls keep the original `this`.
class SuperObject : public Object {
  public:
    SuperObject(Object* thisObject, Object* home)
        : Object(home ? home->proto() : nullptr), this_(thisObject), home_(home) {}
    std::string_view className() const override { return "Super"; }
    void trace(Tracer& t) override {
        t.mark(this_);
        t.mark(home_);
    }
    Object* thisObject() const { return this_; }
    Object* home() const { return home_; }

  private:
    Object* this_;
    Object* home_;
};

// Runs `act.code` from its first byte; returns the value of a Return action.
Value execute(Machine& m, Activation& act);
// Calls a function value with the given `this` (and home for super); throws ScriptThrow
// and ScriptAbort through.
Value callValue(Machine& m, const Value& function, const Value& thisValue,
                std::span<const Value> args, Object* home = nullptr);
Value callFunction(Machine& m, FunctionObject* f, const Value& thisValue,
                   std::span<const Value> args, Object* home, bool constructing = false);
// `new`: the whole construction with __constructor__, prototype and native constructors.
Value constructValue(Machine& m, const Value& constructor, std::span<const Value> args);
// trace(): one host line per line of the value's text.
void traceValue(Machine& m, const Value& v);
// Resolves a target path ("/a/b", "_root.a", "../x", "_level1") from `start`.
Object* resolveTargetPath(Machine& m, Activation* act, Object* start, std::string_view path);

} // namespace avm1
