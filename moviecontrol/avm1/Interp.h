#pragma once
// The running of one activation's actions, shared by the interpreter's files: the run loop
// and dispatch in Interpreter.cpp, the handlers of each family of actions in
// InterpreterArithmetic, -Strings, -Stack, -Variables, -Objects, -Calls, -Control and
// -Timeline.cpp. Internal to the machine.

#include "avm1/Interpreter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace avm1 {

// Bounds-checked reads from an action's payload; reading past the end gives zeros.
class Payload {
  public:
    explicit Payload(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool atEnd() const { return pos_ >= bytes_.size(); }
    std::uint8_t u8() { return pos_ < bytes_.size() ? bytes_[pos_++] : (pos_++, 0); }
    std::uint16_t u16() {
        std::uint16_t lo = u8();
        return static_cast<std::uint16_t>(lo | (u8() << 8));
    }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::uint32_t u32() {
        std::uint32_t lo = u16();
        return lo | (static_cast<std::uint32_t>(u16()) << 16);
    }
    float f32() {
        std::uint32_t bits = u32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    double f64() {
        // Stored as two little-endian 32-bit halves, high half first.
        std::uint64_t hi = u32();
        std::uint64_t lo = u32();
        std::uint64_t bits = (hi << 32) | lo;
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    std::string_view cstring() {
        std::size_t start = std::min(pos_, bytes_.size());
        std::size_t end = start;
        while (end < bytes_.size() && bytes_[end] != 0) {
            ++end;
        }
        pos_ = end + 1;
        return {reinterpret_cast<const char*>(bytes_.data()) + start, end - start};
    }
    bool overrun() const { return pos_ > bytes_.size(); }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

// How a run of actions ended: at its end, by Return, by a branch out of it (to `pc`), or at
// an End action or bytes that cannot be decoded.
struct Outcome {
    enum Kind { Done, Returned, JumpOut, Stop } kind = Done;
    std::size_t pc = 0;
    Value value;
};

inline bool isCallable(const Value& v) {
    return v.isObject() && v.asObject()->asFunction();
}

class Interp {
  public:
    Interp(Machine& m, Activation& a) : m_(m), s_(m.state()), a_(a) {}

    Outcome run(std::size_t start, std::size_t end);

  private:
    // Stack.
    Value pop() {
        if (s_.stack.size() <= a_.stackBase) {
            return {};
        }
        Value v = std::move(s_.stack.back());
        s_.stack.pop_back();
        return v;
    }
    void push(Value v) { s_.stack.push_back(std::move(v)); }
    Value& top() {
        if (s_.stack.size() <= a_.stackBase) {
            s_.stack.emplace_back();
        }
        return s_.stack.back();
    }
    std::vector<Value> popArgs() {
        double n = m_.toNumber(pop());
        std::size_t count = 0;
        if (n > 0) {
            count = static_cast<std::size_t>(std::min(n, 65536.0));
        }
        std::vector<Value> args;
        args.reserve(std::min<std::size_t>(count, s_.stack.size() - a_.stackBase + 1));
        for (std::size_t i = 0; i < count; ++i) {
            if (s_.stack.size() <= a_.stackBase) {
                break; // a count past the stack takes what is there
            }
            args.push_back(pop());
        }
        return args;
    }
    // Version 4 actions push real booleans too; only their text differs ("1" and "0").
    static Value boolValue(bool b) { return Value(b); }
    // What Not, And, Or and If test. Version 4 had numbers only: these actions take the
    // operand's number, so a clip or any object (whose number there is 0) is false.
    bool condition(const Value& v) {
        if (m_.version() < 5) {
            const double n = m_.toNumber(v);
            return n != 0 && !std::isnan(n);
        }
        return m_.toBoolean(v);
    }
    // A register: the function's own while it has that many, otherwise one of the four
    // registers every block and plain function shares. Null past those.
    Value* reg(std::size_t r) {
        if (r < a_.registers.size()) {
            return &a_.registers[r];
        }
        return r < s_.globalRegisters.size() ? &s_.globalRegisters[r] : nullptr;
    }
    Str str(std::string_view bytes);
    // A text of a Push action, decoded once per place in a living code block.
    Str literal(std::string_view bytes);
    Outcome subRange(std::size_t start, std::size_t end);

    // Variables and paths (InterpreterVariables.cpp).
    Object* currentTarget() { return a_.target; }
    Object* targetOrRoot();
    // The script's base clip left the stage during this script (after a call removed it).
    bool baseClipLeft() {
        return !a_.startedRemoved && a_.baseClip != nullptr && a_.baseClip->isDisplayObject() &&
               s_.host.removed(a_.baseClip);
    }
    // The clip Play, Stop and the Goto actions drive: none while SetTarget named no clip.
    Object* timelineTarget() { return a_.targetLost ? nullptr : targetOrRoot(); }
    // Where `var` puts a variable: a function's locals; outside functions the timeline the
    // scope reads, the target or the root while the target names no clip.
    Object* declarationScope();
    bool lookup(const Str& name, Value& out, Object** holder);
    Value getVariable(const Str& name, Object** holder = nullptr);
    void setVariable(const Str& name, const Value& value);
    void defineLocal(const Str& name, const Value& value);
    Value specialName(const Str& name, bool& found);
    // For "path:var" and "path.var": the object the path names and the variable name.
    bool splitPath(const Str& name, Object*& object, Str& var);
    Object* targetFromValue(const Value& v);
    // One of the names GetProperty and SetProperty reach by index (_x, _alpha...).
    static bool isPropertyName(std::string_view name);
    void setTarget(Object* clip);
    void setTargetOrRoot(Object* clip);
    void actionGetVariable();
    void actionSetVariable();
    void actionDefineLocal();
    void actionDefineLocal2();
    void actionDelete2();
    // Deletes a variable or a path's property as Delete2 does; whether it went.
    bool deleteVariable(const Str& name);

    // Stack, registers and constants (InterpreterStack.cpp).
    void actionPush(Payload p);
    void actionPop();
    void actionPushDuplicate();
    void actionStackSwap();
    void actionStoreRegister(Payload p);
    void actionConstantPool(Payload p);

    // Numbers, logic and comparison (InterpreterArithmetic.cpp).
    void actionAdd();
    void actionSubtract();
    void actionMultiply();
    void actionDivide();
    void actionModulo();
    void actionIncrement();
    void actionDecrement();
    void actionAdd2();
    void actionEquals();
    void actionLess();
    void actionAnd();
    void actionOr();
    void actionNot();
    void actionLess2();
    void actionGreater();
    void actionEquals2();
    void actionStrictEquals();
    // BitAnd, BitOr, BitXor, BitLShift, BitRShift and BitURShift.
    void actionBitwise(std::uint8_t code);
    void actionToInteger();
    void actionToNumber();
    void actionToString();
    void actionTypeOf();
    void actionRandomNumber();
    void actionGetTime();
    Value add2(const Value& a, const Value& b);
    Value less2(const Value& a, const Value& b);
    bool equals2(const Value& a, const Value& b);
    // Equals2 once any version-5 conversion is done.
    bool looseEquals(const Value& a, const Value& b);

    // Strings (InterpreterStrings.cpp). The multibyte actions count characters as the
    // others do: both read text as UTF-16.
    void actionStringAdd();
    void actionStringEquals();
    // StringLess and StringGreater.
    void actionStringCompare(std::uint8_t code);
    void actionStringLength();
    void actionStringExtract();
    void actionCharToAscii();
    // AsciiToChar and MBAsciiToChar.
    void actionAsciiToChar(std::uint8_t code);

    // Members, objects and classes (InterpreterObjects.cpp).
    void actionGetMember();
    void actionSetMember();
    void actionDelete();
    void actionInitArray();
    void actionInitObject();
    void actionEnumerate();
    void actionEnumerate2();
    void actionTargetPath();
    void actionInstanceOf();
    void actionCastOp();
    void actionImplementsOp();
    void actionExtends();
    void pushEnumeration(const Value& object);
    bool instanceOf(const Value& object, const Value& constructor);

    // Functions and calls (InterpreterCalls.cpp).
    // DefineFunction and DefineFunction2; moves `next` past the body.
    void actionDefineFunction(Payload p, std::size_t bodyStart, std::size_t& next, bool v2);
    void actionCallFunction();
    void actionCallMethod();
    // NewObject, or NewMethod when `method`.
    void actionNew(bool method);
    // super(...): the constructor of the class the running method's class extends.
    Value callSuperConstructor(SuperObject* sup, std::span<const Value> args);
    // Runs the call of a call action: the function called keeps what it leaves on the
    // stack there, whether or not the call reached a function.
    template <class F> Value fromCallAction(F&& call) {
        s_.leftoversToCaller = true;
        struct Reset {
            bool& flag;
            ~Reset() { flag = false; }
        } reset{s_.leftoversToCaller};
        return call();
    }

    // Control flow (InterpreterControl.cpp). Each gives the outcome that ends the run, or
    // nothing to go on at `next`.
    // Jump and If.
    std::optional<Outcome> actionBranch(std::uint8_t code, Payload p, std::size_t pc,
                                        std::size_t& next, std::size_t start, std::size_t end);
    // With and Try: their blocks run nested.
    std::optional<Outcome> actionBlock(std::uint8_t code, Payload p, std::size_t& next,
                                       std::size_t start, std::size_t end);
    Outcome actionWith(Payload p, std::size_t next, std::size_t end);
    Outcome actionTry(Payload p, std::size_t next, std::size_t end);
    Outcome actionReturn();
    [[noreturn]] void actionThrow();
    // WaitForFrame and WaitForFrame2: skip actions while the frame is not loaded.
    void actionWaitForFrame(std::uint8_t code, Payload p, std::size_t& next, std::size_t end);

    // Clips and the player (InterpreterTimeline.cpp). With a target that names no clip,
    // the timeline actions move the root.
    void actionNextFrame();
    void actionPreviousFrame();
    void actionPlay();
    void actionStop();
    void actionToggleQuality();
    void actionStopSounds();
    void actionGotoFrame(Payload p);
    void actionGotoLabel(Payload p);
    void actionGotoFrame2(Payload p);
    void actionSetTarget(Payload p);
    void actionSetTarget2();
    void actionGetProperty();
    void actionSetProperty();
    void actionCloneSprite();
    void actionRemoveSprite();
    void actionStartDrag();
    void actionEndDrag();
    void actionCall();
    void actionGetUrl(Payload p);
    void actionGetUrl2(Payload p);
    void actionTrace();
    void gotoFrameValue(const Value& frame, bool play, std::uint32_t bias);
    // A frame given as "path:frame" names its clip before the last colon; without one it is
    // the current target's. Leaves the frame part in `frame`; null when the path leads nowhere.
    Object* frameOwner(std::string_view& frame);
    // The text a frame value names its frame or label by.
    Str frameText(const Value& frame);

    Machine& m_;
    Machine::State& s_;
    Activation& a_;
};

} // namespace avm1
