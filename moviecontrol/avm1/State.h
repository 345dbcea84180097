#pragma once
// The machine's private state, shared by the interpreter, the heap and the built-ins.

#include "avm1/ClassList.h"
#include "avm1/Machine.h"
#include "scriptbudget/EndRequest.h"
#include "scriptbudget/ScriptMemory.h"

#include <array>
#include <chrono>
#include <random>
#include <unordered_map>

namespace avm1 {

// Stops the running script: a limit was hit or the bytecode cannot go on.
struct ScriptAbort {
    LimitKind kind;
};

// A value thrown by `throw`, travelling up to the nearest try.
struct ScriptThrow {
    Value value;
};

struct Activation;

struct Timer {
    int id = 0;
    double due = 0;
    double interval = 0;
    bool repeat = true;
    Value function;           // callable, or
    Object* object = nullptr; // object whose method `method` is called
    Str method;
    std::vector<Value> args;
};

class ArrayObject;

struct Machine::State {
    State(Host& h, int v, Limits l)
        : host(h), limits(l), rootVersion(v), version(v), nativeStack(l.maxStackBytes),
          budget(scriptbudget::BudgetLimits{
              std::chrono::milliseconds(static_cast<std::int64_t>(l.msPerFrame)), l.memoryBytes}) {}

    Host& host;
    Limits limits;
    int rootVersion;
    int version;
    scriptbudget::NativeStack nativeStack;

    // Heap.
    std::vector<std::unique_ptr<Object>> heap;
    std::size_t liveAfterCollection = 0;
    std::size_t propertyCount = 0;
    std::unordered_map<Object*, int> roots;

    // Built-ins.
    Object* global = nullptr;
    Object* objectProto = nullptr;
    Object* functionProto = nullptr;
    Object* arrayProto = nullptr;
    Object* stringProto = nullptr;
    Object* numberProto = nullptr;
    Object* booleanProto = nullptr;
    Object* dateProto = nullptr;
    Object* errorProto = nullptr;
    std::unordered_map<std::string, Object*> registeredClasses; // folded symbol names
    // Natives a class outside this layer numbers for ASnative: table * 65536 + index.
    std::unordered_map<std::int64_t, NativeFn> numberedNatives;

    // Running code.
    std::shared_ptr<const std::vector<Str>> constants;
    std::vector<Value> stack;
    // Set by a call action for the one function it calls: what that function pushes and
    // does not pop stays on the stack they share (see callFunction).
    bool leftoversToCaller = false;
    // The global Function as installed, which every function names as its constructor.
    Object* functionCtor = nullptr;
    // The four registers of blocks and plain functions (a DefineFunction2 has its own).
    std::array<Value, 4> globalRegisters;
    std::vector<Activation*> activations;
    // Accessors running now, by their property's serial.
    std::vector<std::uint64_t> activeAccessors;
    int callDepth = 0;
    std::uint64_t actionsThisFrame = 0;
    scriptbudget::FrameBudget budget;
    // Work a built-in did since the budget was last checked (see pace).
    std::uint64_t workSinceCheck = 0;
    // Bytes of script memory after the last collection: the next one runs when they double.
    std::size_t bytesAfterCollection = 0;
    unsigned reported = 0; // bit per LimitKind already reported
    // A limit stopped the frame's scripts; further blocks of this frame do not run.
    bool frameAborted = false;
    // Script recursion past the call limit disables the movie's scripts for good: Flash
    // reports "256 levels of recursion were exceeded" and runs no further actions.
    bool halted = false;

    // Timers.
    std::vector<Timer> timers;
    int nextTimerId = 1;
    double timerNow = 0;

    std::mt19937 random{0x5eed1234u};

    // Names used everywhere.
    Str sProto{"__proto__"}, sPrototype{"prototype"}, sConstructor{"constructor"},
        sConstructor2{"__constructor__"}, sLength{"length"}, sToString{"toString"},
        sValueOf{"valueOf"}, sThis{"this"}, sArguments{"arguments"}, sSuper{"super"},
        sGlobal{"_global"}, sRoot{"_root"}, sParent{"_parent"}, sCallee{"callee"},
        sCaller{"caller"}, sMessage{"message"}, sName{"name"}, sEmpty{""}, sUndefined{"undefined"},
        sNull{"null"}, sTrue{"true"}, sFalse{"false"}, sNaN{"NaN"}, sResolve{"__resolve"},
        sString{"String"};
    std::vector<Str> smallInts; // "0".."1023"
    // Texts that Push actions carry, by where they stand in the code: a loop pushes the
    // same names again and again. An entry counts only while its code block lives.
    struct Literal {
        const void* owner = nullptr;
        std::weak_ptr<const void> alive;
        Str text;
    };
    std::unordered_map<const std::uint8_t*, Literal> literals;
    // Short names pushed by scripts, shared instead of made anew at each push.
    std::unordered_map<std::string_view, Str> interned;

    bool caseSensitive() const { return version >= 7; }
    void report(LimitKind kind, std::string_view message);
    [[noreturn]] void abort(LimitKind kind, std::string_view message);
    // Counts one action against the frame's budget.
    void tick() {
        if (++actionsThisFrame % 4096 == 0 || madeSinceCheck() > MadeBetweenChecks) {
            checkBudget();
        }
    }
    // Megabytes of strings and bitmaps made that check the budget early: copying them
    // takes a few milliseconds.
    static constexpr std::size_t MadeBetweenChecks = std::size_t{8} << 20;
    std::size_t madeAtCheck = 0;
    std::size_t madeSinceCheck() const { return scriptbudget::ScriptMemory::made() - madeAtCheck; }
    void checkBudget();
    // Counts `work` steps of a built-in (an element visited, a comparison, a row of
    // pixels); the budget is checked once per 4,096 of them, so that no built-in outlives
    // the frame's time, the memory budget or the end of the player.
    void pace(std::uint64_t work = 1) {
        workSinceCheck += work;
        if (workSinceCheck >= 4096 || madeSinceCheck() > MadeBetweenChecks) {
            workSinceCheck = 0;
            checkBudget();
        }
    }
    // Stops the script when holding `bytes` more would pass the memory budget: a built-in
    // asks before it makes a large result.
    void reserve(std::size_t bytes);
    // What the machine's own objects and properties take, by a fixed cost each.
    std::size_t heapBytes() const;
};

// Runs `f`, a call into script code. From outside any script a throw or a limit ends
// there and gives undefined; inside one they travel on to its try blocks.
template <class F> Value guarded(Machine::State& s, F&& f) {
    if (!s.activations.empty() || s.callDepth > 0) {
        { return f(); }
    }
    if (s.frameAborted || s.halted || scriptbudget::endRequested()) {
        return {};
    }
    int savedVersion = s.version;
    std::size_t savedStack = s.stack.size();
    Value result;
    try {
        result = f();
    } catch (const ScriptThrow&) {
    } catch (const ScriptAbort&) {
    }
    s.version = savedVersion;
    s.callDepth = 0;
    s.stack.resize(std::min(s.stack.size(), savedStack));
    return result;
}

// Property lookup along the prototype chain; `holder` receives the object that has it and
// `found` whether any had it.
Value lookupProperty(Machine& m, Object* object, const Str& name, Object** holder, bool* found);

// Calls a getter or setter of `holder`'s property `name`, within the nesting limit.
Value callAccessor(Machine& m, Object* holder, const Str& name, Object* function, const Value& self,
                   std::span<const Value> args);

// The prototype object of a constructor.
Object* constructorPrototype(Machine& m, Object* ctor);

// The built-ins install themselves on the global object, one function per entry of
// ClassList.h.
#define AVM1_DECLARE_INSTALL(Name) void install##Name(Machine& m);
AVM1_CLASS_LIST(AVM1_DECLARE_INSTALL)
#undef AVM1_DECLARE_INSTALL

// Arrays keep their elements as ordinary properties named by their index, with `length`
// computed; holes stay missing, as for..in and hasOwnProperty see them. A length a script
// assigns reads back as it was given (NaN, negative, fractional or a string); the methods
// count with its 32-bit integer value.
class ArrayObject : public Object {
  public:
    explicit ArrayObject(Object* proto) : Object(proto) {}
    std::string_view className() const override { return "Array"; }
    bool getVirtual(Machine& m, const Str& name, Value& out) override;
    bool setVirtual(Machine& m, const Str& name, const Value& value) override;
    bool hasVirtual(Machine& m, const Str& name) override;
    void trace(Tracer& t) override { t.mark(shown_); }
    // The element count the methods use; negative after a script stored a negative length.
    double length() const { return length_; }
    void setLength(Machine& m, double length);
    // A script's `length = value`: elements past its integer value go.
    void assignLength(Machine& m, const Value& value);
    void noteIndex(double index) {
        if (index + 1 > length_) {
            length_ = index + 1;
            shown_ = Value(length_);
        }
    }

  private:
    double length_ = 0;
    Value shown_{0.0};
};

// Boolean, Number and String objects wrapping a primitive.
class BoxObject : public Object {
  public:
    BoxObject(Object* proto, Value v, std::string_view cls)
        : Object(proto), value_(std::move(v)), class_(cls) {}
    // The object `new` makes for a built-in function that is no class of its own (one
    // ASconstructor made): a plain object until the built-in gives it a value.
    static BoxObject* unset(Machine& m, Object* proto);
    std::string_view className() const override { return class_; }
    bool primitiveValue(Value& out) const override {
        out = value_;
        return set_;
    }
    void setValue(Value v) { value_ = std::move(v); }
    // Gives an unset box its value and class; a box that has a value keeps it.
    void adopt(Value v, std::string_view cls) {
        if (!set_) {
            value_ = std::move(v);
            class_ = cls;
            set_ = true;
        }
    }

  private:
    Value value_;
    std::string_view class_;
    bool set_ = true;
};

inline BoxObject* BoxObject::unset(Machine& m, Object* proto) {
    BoxObject* box = m.make<BoxObject>(proto, Value(), "Object");
    box->set_ = false;
    return box;
}

// A String object; its `length` is an own property, as scripts can see and replace it.
BoxObject* makeStringObject(Machine& m, Object* proto, const Str& text);

// Parses an array index ("0", "17"); false for anything else ("01", "-1", "1.5").
bool parseArrayIndex(std::string_view name, double& index);
// Element name for an index, shared for small ones.
Str indexName(Machine& m, double index);

} // namespace avm1
