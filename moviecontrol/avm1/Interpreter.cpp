// The action interpreter: decodes each action where it stands and runs it. The loop and
// the dispatch by action are here, with the entries that run a block or call a function; the
// handlers of each family of actions are in the Interpreter*.cpp files beside this one.

#include "avm1/Interp.h"

#include "swf/ActionCodes.h"

#include <utility>

namespace avm1 {

namespace {

namespace op = swf::op;

constexpr int MaxRangeDepth = 64;

} // namespace

Outcome Interp::run(std::size_t start, std::size_t end) {
    const auto bytes = a_.code.bytes;
    std::size_t pc = start;
    while (pc < end) {
        s_.tick();
        std::uint8_t code = bytes[pc];
        std::size_t next = pc + 1;
        Payload p({});
        if (code == op::End) {
            return {Outcome::Stop, pc, {}};
        }
        if (code >= op::FirstWithLength) {
            if (pc + 3 > bytes.size()) {
                return {Outcome::Stop, pc, {}};
            }
            std::size_t len = bytes[pc + 1] | (bytes[pc + 2] << 8);
            if (pc + 3 + len > bytes.size()) {
                return {Outcome::Stop, pc, {}};
            }
            p = Payload(bytes.subspan(pc + 3, len));
            next = pc + 3 + len;
        }
        switch (code) {
        // --- Timeline and clips (InterpreterTimeline.cpp) -------------------------------
        case op::NextFrame:
            actionNextFrame();
            break;
        case op::PreviousFrame:
            actionPreviousFrame();
            break;
        case op::Play:
            actionPlay();
            break;
        case op::Stop:
            actionStop();
            break;
        case op::ToggleQuality:
            actionToggleQuality();
            break;
        case op::StopSounds:
            actionStopSounds();
            break;
        case op::GotoFrame:
            actionGotoFrame(p);
            break;
        case op::GotoLabel:
            actionGotoLabel(p);
            break;
        case op::GotoFrame2:
            actionGotoFrame2(p);
            break;
        case op::SetTarget:
            actionSetTarget(p);
            break;
        case op::SetTarget2:
            actionSetTarget2();
            break;
        case op::GetProperty:
            actionGetProperty();
            break;
        case op::SetProperty:
            actionSetProperty();
            break;
        case op::CloneSprite:
            actionCloneSprite();
            break;
        case op::RemoveSprite:
            actionRemoveSprite();
            break;
        case op::StartDrag:
            actionStartDrag();
            break;
        case op::EndDrag:
            actionEndDrag();
            break;
        case op::Call:
            actionCall();
            if (baseClipLeft()) {
                return {Outcome::Returned, pc, {}};
            }
            break;
        case op::GetUrl:
            actionGetUrl(p);
            break;
        case op::GetUrl2:
            actionGetUrl2(p);
            break;
        case op::Trace:
            actionTrace();
            break;

        // --- Stack, registers and constants (InterpreterStack.cpp) ----------------------
        case op::Push:
            actionPush(p);
            break;
        case op::Pop:
            actionPop();
            break;
        case op::PushDuplicate:
            actionPushDuplicate();
            break;
        case op::StackSwap:
            actionStackSwap();
            break;
        case op::StoreRegister:
            actionStoreRegister(p);
            break;
        case op::ConstantPool:
            actionConstantPool(p);
            break;

        // --- Numbers, logic and comparison (InterpreterArithmetic.cpp) ------------------
        case op::Add:
            actionAdd();
            break;
        case op::Subtract:
            actionSubtract();
            break;
        case op::Multiply:
            actionMultiply();
            break;
        case op::Divide:
            actionDivide();
            break;
        case op::Modulo:
            actionModulo();
            break;
        case op::Increment:
            actionIncrement();
            break;
        case op::Decrement:
            actionDecrement();
            break;
        case op::Add2:
            actionAdd2();
            break;
        case op::Equals:
            actionEquals();
            break;
        case op::Less:
            actionLess();
            break;
        case op::And:
            actionAnd();
            break;
        case op::Or:
            actionOr();
            break;
        case op::Not:
            actionNot();
            break;
        case op::Less2:
            actionLess2();
            break;
        case op::Greater:
            actionGreater();
            break;
        case op::Equals2:
            actionEquals2();
            break;
        case op::StrictEquals:
            actionStrictEquals();
            break;
        case op::BitAnd:
        case op::BitOr:
        case op::BitXor:
        case op::BitLShift:
        case op::BitRShift:
        case op::BitURShift:
            actionBitwise(code);
            break;
        case op::ToInteger:
            actionToInteger();
            break;
        case op::ToNumber:
            actionToNumber();
            break;
        case op::ToString:
            actionToString();
            break;
        case op::TypeOf:
            actionTypeOf();
            break;
        case op::RandomNumber:
            actionRandomNumber();
            break;
        case op::GetTime:
            actionGetTime();
            break;

        // --- Strings (InterpreterStrings.cpp) -------------------------------------------
        case op::StringAdd:
            actionStringAdd();
            break;
        case op::StringEquals:
            actionStringEquals();
            break;
        case op::StringLess:
        case op::StringGreater:
            actionStringCompare(code);
            break;
        case op::StringLength:
        case op::MBStringLength:
            actionStringLength();
            break;
        case op::StringExtract:
        case op::MBStringExtract:
            actionStringExtract();
            break;
        case op::CharToAscii:
        case op::MBCharToAscii:
            actionCharToAscii();
            break;
        case op::AsciiToChar:
        case op::MBAsciiToChar:
            actionAsciiToChar(code);
            break;

        // --- Variables (InterpreterVariables.cpp) ---------------------------------------
        case op::GetVariable:
            actionGetVariable();
            break;
        case op::SetVariable:
            actionSetVariable();
            break;
        case op::DefineLocal:
            actionDefineLocal();
            break;
        case op::DefineLocal2:
            actionDefineLocal2();
            break;
        case op::Delete2:
            actionDelete2();
            break;

        // --- Members, objects and classes (InterpreterObjects.cpp) ----------------------
        case op::GetMember:
            actionGetMember();
            break;
        case op::SetMember:
            actionSetMember();
            break;
        case op::Delete:
            actionDelete();
            break;
        case op::InitArray:
            actionInitArray();
            break;
        case op::InitObject:
            actionInitObject();
            break;
        case op::Enumerate:
            actionEnumerate();
            break;
        case op::Enumerate2:
            actionEnumerate2();
            break;
        case op::TargetPath:
            actionTargetPath();
            break;
        case op::InstanceOf:
            actionInstanceOf();
            break;
        case op::CastOp:
            actionCastOp();
            break;
        case op::ImplementsOp:
            actionImplementsOp();
            break;
        case op::Extends:
            actionExtends();
            break;

        // --- Functions and calls (InterpreterCalls.cpp) ---------------------------------
        case op::DefineFunction:
        case op::DefineFunction2:
            actionDefineFunction(p, next, next, code == op::DefineFunction2);
            break;
        case op::CallFunction:
            actionCallFunction();
            if (baseClipLeft()) {
                return {Outcome::Returned, pc, {}};
            }
            break;
        case op::CallMethod:
            actionCallMethod();
            if (baseClipLeft()) {
                return {Outcome::Returned, pc, {}};
            }
            break;
        case op::NewObject:
            actionNew(false);
            break;
        case op::NewMethod:
            actionNew(true);
            break;

        // --- Control flow (InterpreterControl.cpp) --------------------------------------
        case op::Jump:
        case op::If:
            if (auto out = actionBranch(code, p, pc, next, start, end)) {
                return *out;
            }
            break;
        case op::With:
        case op::Try:
            if (auto out = actionBlock(code, p, next, start, end)) {
                return *out;
            }
            break;
        case op::Return:
            return actionReturn();
        case op::Throw:
            actionThrow();
        case op::WaitForFrame:
        case op::WaitForFrame2:
            actionWaitForFrame(code, p, next, end);
            break;
        default:
            break; // unknown actions are skipped, as Flash does
        }
        pc = next;
    }
    return {};
}

Outcome Interp::subRange(std::size_t start, std::size_t end) {
    if (++a_.rangeDepth > MaxRangeDepth) {
        --a_.rangeDepth;
        s_.abort(LimitKind::MalformedScript, "a script nests blocks too deeply");
    }
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{a_.rangeDepth};
    return run(start, end);
}

Value constructNow(Machine& m, const Value& constructor, std::span<const Value> args);

// --- Calls -----------------------------------------------------------------------------

// Flash counts the action list that started the calls as a level too: the call that would
// make the 256th level fails, so a frame script nests at most 254 calls. The outermost call
// marks where the scripts' native stack starts, which is bounded too.
namespace {
bool tooDeep(Machine::State& s) {
    if (s.callDepth == 0) {
        s.nativeStack.markStart();
    }
    return s.callDepth + 2 >= s.limits.maxCallDepth || s.nativeStack.exhausted();
}
} // namespace

Value callFunction(Machine& m, FunctionObject* f, const Value& thisValue,
                   std::span<const Value> args, Object* home, bool constructing) {
    auto& s = m.state();
    if (tooDeep(s)) {
        // Script functions nested that deep stop the movie's scripts for good; built-ins
        // nesting themselves (a cyclic structure converted) only end the running block.
        s.halted = s.halted || !f->isNative();
        s.abort(LimitKind::RecursionDepth, "a script recursed deeper than 256 calls");
    }
    // Only the function a call action named keeps its leftovers there; whatever it calls
    // in turn, and every function a built-in calls, cleans up after itself.
    const bool keepLeftovers = std::exchange(s.leftoversToCaller, false);
    ++s.callDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{s.callDepth};

    if (f->isNative()) {
        CallArgs ca{m, thisValue, args, f, constructing};
        return f->native()(ca);
    }
    const ScriptFunctionInfo& info = *f->script();
    Activation act;
    act.code = info.body;
    act.version = info.swfVersion;
    act.constants = info.constants;
    act.callee = f;
    act.home = home;
    act.isFunction = true;
    act.constructing = constructing;
    act.thisValue = thisValue;
    if (!thisValue.isObject() && !thisValue.isNullish()) {
        act.thisValue = Value(m.toObject(thisValue));
    }
    Activation* caller = s.activations.empty() ? nullptr : s.activations.back();
    act.baseClip = f->definingTarget();
    // Without closures a function runs on the clip it is called on, else on the caller's.
    if (info.swfVersion < 6) {
        if (Object* self = act.thisValue.asObject(); self && self->isDisplayObject()) {
            act.baseClip = self;
        } else if (caller && caller->target) {
            act.baseClip = caller->target;
        }
    }
    act.target = act.baseClip;
    act.locals = m.make<Object>(nullptr);
    Scope* globalScope = nullptr;
    Scope* parent = f->scope();
    if (!parent || info.swfVersion < 6) {
        globalScope = m.make<Scope>(nullptr, s.global);
        parent = act.baseClip ? m.make<Scope>(globalScope, act.baseClip, true) : globalScope;
    }
    act.scope = m.make<Scope>(parent, act.locals);
    if (info.isFunction2) {
        act.registers.resize(info.registerCount);
    }

    std::uint16_t flags = info.isFunction2 ? info.flags : 0;
    auto preload = [&](std::uint16_t bit) { return (flags & bit) != 0; };
    auto suppressed = [&](std::uint16_t bit) { return info.isFunction2 && (flags & bit) != 0; };
    // A DefineFunction2 value that is preloaded into a register or suppressed is not
    // available by name; a suppressed one's register stays undefined.
    act.suppressThis = preload(0x1) || suppressed(0x2);
    act.suppressSuper = preload(0x10) || suppressed(0x20);
    bool argumentsByName = !preload(0x4) && !suppressed(0x8);

    Object* arguments = nullptr;
    if (preload(0x4) || argumentsByName) {
        arguments = m.newArray(args);
        m.define(arguments, "callee", Value(static_cast<Object*>(f)), attr::DontEnum);
        m.define(arguments, "caller",
                 caller && caller->callee ? Value(static_cast<Object*>(caller->callee))
                                          : Value::null(),
                 attr::DontEnum);
    }
    std::size_t reg = 1;
    auto put = [&](const Value& v) {
        if (reg < act.registers.size()) {
            act.registers[reg] = v;
        }
        ++reg;
    };
    if (info.isFunction2) {
        if (preload(0x1)) {
            put(suppressed(0x2) ? Value() : act.thisValue);
        }
        if (preload(0x4)) {
            put(Value(arguments));
        }
        if (preload(0x10)) {
            Object* self = act.thisValue.asObject();
            Object* h = home ? home : (self ? self->proto() : nullptr);
            put(self && !suppressed(0x20)
                    ? Value(static_cast<Object*>(m.make<SuperObject>(self, h)))
                    : Value());
        }
        if (preload(0x40)) {
            put(Value(act.baseClip ? s.host.root(act.baseClip) : s.host.level(0)));
        }
        if (preload(0x80)) {
            // A clip without a parent (a level) has an undefined _parent, not a null one.
            Object* parentClip = act.baseClip ? s.host.parent(act.baseClip) : nullptr;
            put(parentClip ? Value(parentClip) : Value());
        }
        if (preload(0x100)) {
            put(Value(s.global));
        }
    }
    if (argumentsByName) {
        m.define(act.locals, "arguments", Value(arguments), 0);
    }
    for (std::size_t i = 0; i < info.params.size(); ++i) {
        Value v = i < args.size() ? args[i] : Value();
        std::uint8_t r = i < info.paramRegisters.size() ? info.paramRegisters[i] : 0;
        if (r != 0) {
            if (r < act.registers.size()) {
                act.registers[r] = v;
            }
        } else {
            m.define(act.locals, info.params[i].view(), v, 0);
        }
    }

    int savedVersion = s.version;
    s.version = act.version;
    act.stackBase = s.stack.size();
    s.activations.push_back(&act);
    // Flash runs every function on the one stack of the script that called it: what the
    // function leaves there stays beneath the value the call pushes.
    struct Restore {
        Machine::State& s;
        int version;
        std::size_t base;
        bool keep;
        ~Restore() {
            s.activations.pop_back();
            s.version = version;
            if (!keep && s.stack.size() > base) {
                s.stack.resize(base);
            }
        }
    } restore{s, savedVersion, act.stackBase, keepLeftovers};
    return execute(m, act);
}

Value callValue(Machine& m, const Value& function, const Value& thisValue,
                std::span<const Value> args, Object* home) {
    Object* o = function.asObject();
    FunctionObject* f = o ? o->asFunction() : nullptr;
    if (!f) {
        return {};
    }
    return guarded(m.state(), [&] { return callFunction(m, f, thisValue, args, home); });
}

Value constructValue(Machine& m, const Value& constructor, std::span<const Value> args) {
    return guarded(m.state(), [&] { return constructNow(m, constructor, args); });
}

namespace {
// `new` records the constructor on the instance as __constructor__; before version 7 also
// as its own `constructor`, which later versions leave to the prototype.
void recordConstructor(Machine& m, Object* instance, const Value& constructor) {
    m.define(instance, "__constructor__", constructor, attr::DontEnum);
    if (m.state().version < 7) {
        m.define(instance, "constructor", constructor, attr::DontEnum);
    }
}
} // namespace

Value constructNow(Machine& m, const Value& constructor, std::span<const Value> args) {
    auto& s = m.state();
    // Leftovers are kept for the script constructor itself, not what runs on the way to it.
    const bool keepLeftovers = std::exchange(s.leftoversToCaller, false);
    Object* c = constructor.asObject();
    FunctionObject* f = c ? c->asFunction() : nullptr;
    if (!f) {
        return {};
    }
    if (f->constructor) {
        if (tooDeep(s)) {
            s.abort(LimitKind::RecursionDepth, "a script recursed deeper than 256 calls");
        }
        ++s.callDepth;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{s.callDepth};
        CallArgs ca{m, Value(), args, f, true};
        Value made = f->constructor(ca);
        // A built-in's new instance records its constructor as a script's does.
        Object* instance = made.asObject();
        if (instance && !instance->isDisplayObject() &&
            instance->proto() == m.get(f, s.sPrototype).asObject() &&
            !instance->properties().find(m.str("__constructor__"), true)) {
            recordConstructor(m, instance, constructor);
        }
        return made;
    }
    Object* proto = m.get(f, s.sPrototype).asObject();
    // A built-in run by `new` this way may make the new object one of its kind; so may the
    // String constructor called by super() for a class whose prototype is a String.
    Value protoValue;
    const bool stringClass = dynamic_cast<BoxObject*>(proto) != nullptr &&
                             proto->primitiveValue(protoValue) && protoValue.isString();
    // A class whose prototype is an array makes arrays: their length follows their indexes.
    Object* object = nullptr;
    if (f->isNative() && proto == nullptr) {
        // A built-in's prototype is read as an object: one its version hides (TextField's
        // before version 6) gives an empty one of its own that inherits nothing, so the
        // instance has not even Object.prototype's toString and valueOf.
        proto = m.make<Object>(nullptr);
        object = BoxObject::unset(m, proto);
    } else if (f->isNative() || stringClass) {
        object = BoxObject::unset(m, proto);
    } else if (dynamic_cast<ArrayObject*>(proto) != nullptr) {
        object = m.make<ArrayObject>(proto);
    } else {
        object = m.make<Object>(proto);
    }
    recordConstructor(m, object, constructor);
    // A prototype that is no object still becomes the new object's __proto__ value (it
    // links no chain), as an assignment to __proto__ would.
    if (!proto) {
        if (Value given = m.get(f, s.sPrototype); !given.isUndefined()) {
            m.set(object, s.sProto, given);
        }
    }
    s.leftoversToCaller = keepLeftovers;
    Value result = callFunction(m, f, Value(object), args, proto, true);
    if (f->isNative() && result.isObject()) {
        return result;
    }
    return Value(object);
}

Value execute(Machine& m, Activation& act) {
    auto& s = m.state();
    bool pushed = s.activations.empty() || s.activations.back() != &act;
    // A block run by the timeline shares the stack with the frame's other blocks: it may
    // pop what an earlier one left, and leaves what it does not pop.
    bool sharesStack = pushed && s.activations.empty() && !act.isFunction;
    if (pushed) {
        act.stackBase = sharesStack ? 0 : s.stack.size();
        s.activations.push_back(&act);
        s.version = act.version;
    }
    struct Pop {
        Machine::State& s;
        bool pushed;
        bool shares;
        std::size_t base;
        ~Pop() {
            if (pushed) {
                s.activations.pop_back();
                if (!shares && s.stack.size() > base) {
                    s.stack.resize(base);
                }
            }
        }
    } popGuard{s, pushed, sharesStack, act.stackBase};
    act.startedRemoved = act.baseClip != nullptr && s.host.removed(act.baseClip);
    Interp interp(m, act);
    Outcome out = interp.run(0, act.code.bytes.size());
    if (out.kind == Outcome::Returned) {
        return out.value;
    }
    return {};
}

} // namespace avm1
