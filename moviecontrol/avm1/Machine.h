#pragma once
// The ActionScript 1/2 virtual machine of one movie: its heap, its global object and
// built-ins, the interpreter of action blocks, timers and limits.
//
// Typical use by the stage:
//   avm1::Machine vm(host, movie.version);
//   vm.beginFrame();                       // once per frame: resets the time budget
//   vm.runBlock(code, clip);               // DoAction / DoInitAction / clip events
//   vm.call(handler, clip, {});            // onEnterFrame, onLoad...
//   vm.tickTimers(host.timerMs());         // setInterval / setTimeout
//   vm.collectGarbage();                   // between frames, no script running
// No call throws; a script error or limit ends that script only.

#include "avm1/Function.h"
#include "avm1/Host.h"
#include "avm1/Object.h"
#include "avm1/Value.h"
#include "scriptbudget/NativeStack.h"
#include "scriptbudget/ScriptBudget.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace avm1 {

struct Limits {
    // Actions per frame before the running script is stopped (checked with the clock).
    std::uint64_t actionsPerFrame = 50'000'000;
    // Processor time the scripts of one frame may take (why 2 s, and why not the wall
    // clock: scriptbudget::BudgetLimits).
    double msPerFrame = 2000.0;
    // Nested calls (script and native) deeper than this stop the script.
    int maxCallDepth = 256;
    // Native stack those calls may use (a call's cost depends on its path and the build).
    std::size_t maxStackBytes = scriptbudget::defaultScriptStackBytes();
    // Heap budget of the movie.
    std::size_t maxObjects = 4'000'000;
    std::size_t maxStringBytes = std::size_t{512} << 20;
    // Bytes all scripts may hold together: strings, bitmaps, objects and properties.
    std::size_t memoryBytes = scriptbudget::defaultMemoryBytes();
    // Array elements actually stored; a larger `length` is kept as a number only.
    std::size_t maxArrayElements = std::size_t{1} << 24;
};

// Keeps an object alive across collections while the handle exists.
class Root {
  public:
    Root() = default;
    Root(Machine& machine, Object* object);
    Root(const Root& other);
    Root& operator=(const Root& other);
    ~Root();
    Object* get() const { return object_; }
    Object* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

  private:
    Machine* machine_ = nullptr;
    Object* object_ = nullptr;
};

class Machine {
  public:
    // `swfVersion` is the root movie's version (a loaded movie's code runs with its own).
    Machine(Host& host, int swfVersion, Limits limits = {});
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    Host& host();
    const Limits& limits() const;
    // Version of the code running now (the root movie's between scripts).
    int version() const;
    // Names compare with case from version 7 on.
    bool caseSensitive() const;

    // --- Running code -------------------------------------------------------------------
    // Runs an action block on `clip`'s timeline: `this`, the target and the variable scope
    // are the clip. `version` is the SWF version of the movie the block comes from
    // (0 = the root movie's). Keeps `code.owner` alive while functions defined there live.
    void runBlock(Code code, Object* clip, int version = 0);
    // The same for bytes the caller does not keep: they are copied.
    void runBlock(std::span<const std::uint8_t> bytes, Object* clip, int version = 0);
    // Calls a function value; anything not callable gives undefined. A script error or
    // limit inside gives undefined too.
    Value call(const Value& function, const Value& thisValue, std::span<const Value> args);
    // Calls `object[name](args...)` if it is a function; undefined otherwise.
    Value callMethod(Object* object, std::string_view name, std::span<const Value> args);
    // `new constructor(args...)`; null when it is not a function.
    Object* construct(const Value& constructor, std::span<const Value> args);
    // True while an action block or function runs.
    bool running() const;
    // The clip the running script acts on (a native method sees its caller's), or null
    // between scripts.
    Object* currentTarget();
    // A target path ("mc.inner", "/mc", "_root.mc") from the running script's target, or
    // from level 0 between scripts; null when nothing is there.
    Object* resolveTarget(std::string_view path);

    // Starts a frame: resets the per-frame time and action budget.
    void beginFrame();
    // Runs the setInterval/setTimeout callbacks due at `nowMs` (the host's timerMs clock).
    // `afterRound` runs after the calls due at one moment (the host runs the scripts they
    // queued).
    void tickTimers(double nowMs, const std::function<void()>& afterRound = {});
    // Removes the timers whose callback object is `object` (a clip being unloaded).
    void clearTimersOf(Object* object);

    // --- Objects ------------------------------------------------------------------------
    Object* global();
    Object* objectPrototype();
    Object* functionPrototype();
    Object* arrayPrototype();
    // A built-in or registered constructor's prototype by global name ("MovieClip"...),
    // or null.
    Object* prototypeOf(std::string_view globalName);

    // Allocates a heap object of a native class; the heap owns it.
    template <class T, class... A> T* make(A&&... args) {
        auto object = std::make_unique<T>(std::forward<A>(args)...);
        T* raw = object.get();
        adopt(std::move(object));
        return raw;
    }
    Object* newObject();
    Object* newArray(std::span<const Value> elements = {});
    FunctionObject* newFunction(NativeFn fn);
    // Gives a function its own `constructor`, the global Function, unless it has one.
    void nameConstructor(FunctionObject* f);
    // A constructor function with its prototype object (prototype.constructor = it), whose
    // prototype inherits from `parentPrototype` (Object.prototype when null).
    FunctionObject* newClass(NativeFn fn, Object* parentPrototype = nullptr);
    // Defines a stored property without calling setters or watchers.
    void define(Object* object, std::string_view name, const Value& value,
                std::uint32_t attributes = attr::DontEnum);
    FunctionObject* defineMethod(Object* object, std::string_view name, NativeFn fn,
                                 std::uint32_t attributes = attr::DontEnum | attr::DontDelete);
    // A shared string.
    Str str(std::string_view text);

    // --- Property access with full semantics --------------------------------------------
    // Getters, setters, watchers, native hooks, prototype chain and version visibility.
    Value get(Object* object, const Str& name);
    Value get(Object* object, std::string_view name) { return get(object, str(name)); }
    // Member of any value: primitives use their prototype (String, Number, Boolean).
    Value getMember(const Value& base, const Str& name);
    void set(Object* object, const Str& name, const Value& value);
    void set(Object* object, std::string_view name, const Value& value) {
        set(object, str(name), value);
    }
    bool hasProperty(Object* object, const Str& name);
    bool hasOwnProperty(Object* object, const Str& name);
    bool deleteProperty(Object* object, const Str& name);
    // for..in order: own then inherited, most recently added first, each name once.
    std::vector<Str> enumerate(Object* object);

    // --- Conversions, by the version of the code running ------------------------------
    double toNumber(const Value& v);
    Str toString(const Value& v);
    bool toBoolean(const Value& v);
    Value toPrimitive(const Value& v);
    Object* toObject(const Value& v);
    std::string_view typeOf(const Value& v);
    // Numbers as Flash prints them: 15 significant digits, "1e+21", "1.5e-7", NaN, Infinity.
    static std::string numberToString(double n);
    static std::string numberToString(double n, int radix);

    // --- Classes ------------------------------------------------------------------------
    // The constructor Object.registerClass bound to a library symbol, or null.
    Object* registeredClass(std::string_view symbol);

    // --- Memory -------------------------------------------------------------------------
    // Frees unreachable objects. Roots: the global object, Root handles, the host's
    // traceRoots, timers and anything a running script holds. Does nothing while a script
    // runs.
    void collectGarbage();
    // Collects when the heap grew enough since the last collection.
    void collectIfNeeded();
    std::size_t objectCount() const;

    // --- Internals shared with the interpreter and the built-ins ------------------------
    struct State;
    State& state() { return *state_; }
    void adopt(std::unique_ptr<Object> object);

  private:
    friend class Root;
    // A stored or accessor assignment, through the object's watchers when `watched`.
    void assign(Object* object, const Str& name, const Value& value, bool watched);
    // Runs the object's watcher of `name`, if any, into `result`; false when none.
    bool runWatcher(Object* object, const Str& name, const Value& old, const Value& value,
                    Value& result);
    std::unique_ptr<State> state_;
};

} // namespace avm1
