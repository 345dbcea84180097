// The instruction loop: one compiled method's frame (registers, operand stack, scope stack)
// run over its checked, decoded body.
#include "avm2/AbcReader.h"
#include "avm2/DictionaryStore.h"
#include "avm2/Enumeration.h"
#include "avm2/Machine.h"
#include "avm2/Opcodes.h"
#include "avm2/ProxyClass.h"
#include "avm2/XmlOperators.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace avm2 {

std::shared_ptr<PreparedCode> Machine::prepared(AbcUnit& unit, std::uint32_t method) {
    auto it = unit.prepared.find(method);
    if (it != unit.prepared.end()) {
        return it->second;
    }
    const MethodInfo& info = unit.abc.methods[method];
    if (info.body < 0) {
        return nullptr;
    }
    std::shared_ptr<PreparedCode> code;
    try {
        code = std::make_shared<PreparedCode>(
            prepareBody(unit.abc, unit.abc.bodies[static_cast<std::size_t>(info.body)],
                        methodName(unit, method)));
    } catch (const AbcError& e) {
        throwError("VerifyError", e.code(), e.what());
    }
    for (const ScriptInfo& script : unit.abc.scripts) {
        code->runsOnce = code->runsOnce || script.init == method;
    }
    for (const ClassInfo& cls : unit.abc.classes) {
        code->runsOnce = code->runsOnce || cls.init == method;
    }
    unit.prepared.emplace(method, code);
    return code;
}

namespace {

// Whether `n` names an element of array `obj` by its integer index.
bool isArrayIndexRead(const Value& obj, const Name& n) {
    if (!obj.isObject() || obj.asObject()->kind != Object::Kind::Array || n.keyObject != nullptr ||
        n.local.empty() || n.local.size() > 10 || (n.local.size() > 1 && n.local[0] == '0')) {
        return false;
    }
    return std::all_of(n.local.begin(), n.local.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The class a scope coerced to type `multiname` is known by, when its traits say all it
// binds: a compiled class whose bases up to Object are compiled too (a player class keeps
// its methods out of its traits). Otherwise the scope is searched as it is.
const Class* verifiedScopeType(Machine& m, AbcUnit& unit, std::uint32_t multiname) {
    const Class* cls = m.resolveType(unit, multiname);
    for (const Class* c = cls; c != nullptr; c = c->super) {
        if (c->unit == nullptr && c->super != nullptr) {
            return nullptr;
        }
    }
    return cls;
}

struct DepthGuard {
    std::size_t& depth;
    explicit DepthGuard(std::size_t& d) : depth(d) { ++depth; }
    ~DepthGuard() { --depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

double num(Machine& m, const Value& v) {
    return v.isNumeric() ? v.asNumber() : m.toNumber(v);
}

Value numberResult(double d) {
    if (d == std::trunc(d) && d >= -2147483648.0 && d <= 2147483647.0 &&
        !(d == 0 && std::signbit(d))) {
        return Value::integer(static_cast<std::int32_t>(d));
    }
    return Value::number(d);
}

// The slot a method's class declares for `name`, when the method reaches it through `this`
// and `this` is of a subclass: a subclass may declare a slot of the same name, and the
// class's own methods still see theirs (Flash binds them to it when it verifies them).
const Binding* classSlot(const Class* owner, const Value& self, const Name& name) {
    if (owner == nullptr || !self.isObject()) {
        return nullptr;
    }
    const Object* o = self.asObject();
    if (o->cls == nullptr || o->cls == owner || o->traits != &o->cls->instance) {
        return nullptr;
    }
    const Class* c = o->cls->super;
    while (c != nullptr && c != owner) {
        c = c->super;
    }
    if (c == nullptr) {
        return nullptr;
    }
    const Binding* b = owner->instance.find(name);
    if (b == nullptr || (b->kind != Binding::Kind::Slot && b->kind != Binding::Kind::Const) ||
        b->slot >= o->slots.size()) {
        return nullptr;
    }
    return b;
}

} // namespace

Value Machine::runMethod(AbcUnit& unit, std::uint32_t method, const Value& self, Args& args,
                         const ScopePtr& outer, Class* owner, Object* callee) {
    checkCallDepth();
    DepthGuard guard(depth_);
    callStack_.emplace_back(&unit, method);
    struct PopCall {
        std::vector<std::pair<AbcUnit*, std::uint32_t>>& calls;
        ~PopCall() { calls.pop_back(); }
    } popCall{callStack_};
    const MethodInfo& info = unit.abc.methods[method];
    std::shared_ptr<PreparedCode> code = prepared(unit, method);
    if (!code) {
        throwError("VerifyError", 1001,
                   "The method " + methodName(unit, method) + " is not implemented.");
    }
    const MethodBody& body = unit.abc.bodies[static_cast<std::size_t>(info.body)];
    const AbcFile& abc = unit.abc;

    // Registers: this, the declared parameters (coerced, defaults filled), then rest or
    // arguments, then the locals.
    std::vector<Value> reg(std::max<std::size_t>(body.localCount, 1));
    reg[0] = self;
    const std::size_t params = info.paramTypes.size();
    const std::size_t required = params - info.optional.size();
    // A function closure, like one of ActionScript 1, takes what it is given: missing
    // parameters are undefined. A class's methods insist on their count.
    if (args.size() < required && owner != nullptr) {
        throwError("ArgumentError", 1063,
                   "Argument count mismatch on " + methodName(unit, method) + ". Expected " +
                       std::to_string(required) + ", got " + std::to_string(args.size()) + ".");
    }
    const bool rest = (info.flags & method_flag::NeedRest) != 0;
    const bool needArguments = (info.flags & method_flag::NeedArguments) != 0;
    // Either way Flash names the count the method requires.
    if (args.size() > params && !rest && !needArguments && owner != nullptr) {
        throwError("ArgumentError", 1063,
                   "Argument count mismatch on " + methodName(unit, method) + ". Expected " +
                       std::to_string(required) + ", got " + std::to_string(args.size()) + ".");
    }
    for (std::size_t i = 0; i < params && i + 1 < reg.size(); ++i) {
        Value v = i < args.size() ? args[i]
                  : i < required  ? Value()
                                  : defaultValue(unit, info.optional[i - required].kind,
                                                 info.optional[i - required].index);
        reg[i + 1] = coerce(v, resolveType(unit, info.paramTypes[i]));
    }
    if (params + 1 < reg.size() && (rest || needArguments)) {
        std::vector<Value> extra;
        const std::size_t from = rest ? params : 0;
        for (std::size_t i = from; i < args.size(); ++i) {
            extra.push_back(args[i]);
        }
        Object* arr = newArray(std::move(extra));
        if (needArguments && callee != nullptr) {
            arr->setProp("callee", Value::object(callee));
            arr->dontEnum.back() = true;
        }
        reg[params + 1] = Value::object(arr);
    }

    // A default xml namespace this method sets lasts until it returns.
    struct DxnsScope {
        Machine& machine;
        bool active = false;
        std::string previous;
        explicit DxnsScope(Machine& m) : machine(m) {}
        DxnsScope(const DxnsScope&) = delete;
        DxnsScope& operator=(const DxnsScope&) = delete;
        ~DxnsScope() {
            if (active) {
                xmlRestoreDefaultNamespace(machine, std::move(previous));
            }
        }
    } dxns{*this};
    std::vector<Value> stack;
    stack.reserve(body.maxStack + 1);
    std::vector<ScopeChain> scopes;
    scopes.reserve(body.maxScopeDepth + 1);
    auto pop = [&]() {
        Value v = std::move(stack.back());
        stack.pop_back();
        return v;
    };
    auto popArgs = [&](std::uint32_t n) {
        Args a(n);
        for (std::uint32_t i = n; i > 0; --i) {
            a[i - 1] = pop();
        }
        return a;
    };
    // A name whose run-time parts (name, then namespace) come off the stack.
    auto runtimeName = [&](std::uint32_t index) {
        const MultinameInfo& mi = abc.multinames[index];
        Name n = nameOf(unit, index);
        if (mi.runtimeName()) {
            Value v = pop();
            if (v.isObject() && v.asObject()->kind == Object::Kind::QName) {
                n.local = v.asObject()->text;
                n.namespaces = {v.asObject()->ns};
                n.anyNamespace = v.asObject()->flag; // QName(null, ...): any namespace
            } else {
                n.local = toString(v);
                if (v.isObject()) {
                    n.keyObject = v.asObject();
                }
            }
        }
        if (mi.runtimeNamespace()) {
            Value ns = pop();
            if (ns.isObject() && ns.asObject()->kind == Object::Kind::Namespace) {
                n.namespaces = {ns.asObject()->ns};
            } else {
                n.namespaces = {Namespace::publicNs()};
            }
        }
        return n;
    };
    auto currentOuter = [&]() {
        ScopePtr chain = outer;
        for (const ScopeChain& s : scopes) {
            auto link = std::make_shared<ScopeChain>();
            link->parent = chain;
            link->object = s.object;
            link->with = s.with;
            link->declared = s.declared;
            chain = link;
        }
        return chain;
    };

    std::size_t pc = 0;
    const std::vector<Instr>& ins = code->code;
    for (;;) {
        try {
            while (true) {
                if ((++instructions_ & 0xFFF) == 0) {
                    checkBudget();
                }
                const Instr& in = ins[pc++];
                switch (in.op) {
                case op::Nop:
                case op::Label:
                case op::Bkpt:
                case op::Debug:
                case op::DebugLine:
                case op::DebugFile:
                case op::BkptLine:
                case op::Timestamp:
                    break;
                case op::Throw:
                    throw ScriptThrow{pop()};
                case op::GetSuper: {
                    Name n = runtimeName(in.a);
                    Value obj = pop();
                    stack.push_back(getSuper(obj, owner, n));
                    break;
                }
                case op::SetSuper: {
                    Value v = pop();
                    Name n = runtimeName(in.a);
                    Value obj = pop();
                    setSuper(obj, owner, n, v);
                    break;
                }
                case op::Dxns:
                case op::DxnsLate: {
                    const Value ns = in.op == op::DxnsLate ? pop()
                                                           : Value::string(in.a < abc.strings.size()
                                                                               ? abc.strings[in.a]
                                                                               : std::string());
                    std::string previous = xmlSetDefaultNamespace(*this, ns);
                    if (!dxns.active) {
                        dxns.previous = std::move(previous);
                        dxns.active = true;
                    }
                    break;
                }
                case op::Kill:
                    reg[in.a] = Value();
                    break;
                case op::IfNlt:
                case op::IfNle:
                case op::IfNgt:
                case op::IfNge:
                case op::IfLt:
                case op::IfLe:
                case op::IfGt:
                case op::IfGe: {
                    Value b = pop();
                    Value a = pop();
                    int r = 0;
                    switch (in.op) {
                    case op::IfLt:
                    case op::IfNlt:
                        r = lessThan(a, b);
                        break;
                    case op::IfGt:
                    case op::IfNgt:
                        r = lessThan(b, a);
                        break;
                    case op::IfLe:
                    case op::IfNle:
                        r = lessThan(b, a);
                        r = r < 0 ? -1 : 1 - r;
                        break;
                    default:
                        r = lessThan(a, b);
                        r = r < 0 ? -1 : 1 - r;
                        break;
                    }
                    const bool positive = in.op >= op::IfLt;
                    const bool truth = r == 1;
                    if (positive ? truth : !truth) {
                        pc = in.target;
                    }
                    break;
                }
                case op::Jump:
                    pc = in.target;
                    break;
                case op::IfTrue:
                    if (toBoolean(pop())) {
                        pc = in.target;
                    }
                    break;
                case op::IfFalse:
                    if (!toBoolean(pop())) {
                        pc = in.target;
                    }
                    break;
                case op::IfEq:
                case op::IfNe: {
                    Value b = pop();
                    Value a = pop();
                    if (looseEquals(a, b) == (in.op == op::IfEq)) {
                        pc = in.target;
                    }
                    break;
                }
                case op::IfStrictEq:
                case op::IfStrictNe: {
                    Value b = pop();
                    Value a = pop();
                    if (strictEquals(a, b) == (in.op == op::IfStrictEq)) {
                        pc = in.target;
                    }
                    break;
                }
                case op::LookupSwitch: {
                    const auto& table = code->switches[in.target];
                    const double i = num(*this, pop());
                    const std::size_t cases = table.size() - 1;
                    if (i >= 0 && i < static_cast<double>(cases) && i == std::trunc(i)) {
                        pc = table[1 + static_cast<std::size_t>(i)];
                    } else {
                        pc = table[0];
                    }
                    break;
                }
                case op::PushWith:
                case op::PushScope: {
                    Value v = pop();
                    if (v.isNullish()) {
                        throwError(
                            "TypeError", 1009,
                            "Cannot access a property or method of a null object reference.");
                    }
                    scopes.push_back(ScopeChain{nullptr, v, in.op == op::PushWith});
                    if (in.op == op::PushScope && in.b != 0) {
                        scopes.back().declared = verifiedScopeType(*this, unit, in.b);
                    }
                    break;
                }
                case op::PopScope:
                    scopes.pop_back();
                    break;
                case op::NextName:
                case op::NextValue: {
                    const Value index = pop();
                    const Value obj = pop();
                    std::int64_t i = enumerationIndex(num(*this, index)) - 1;
                    Value out;
                    if (isProxy(obj)) {
                        out = in.op == op::NextName ? proxyNextName(*this, obj, i + 1)
                                                    : proxyNextValue(*this, obj, i + 1);
                    } else if (obj.isObject() && obj.asObject()->kind == Object::Kind::Xml) {
                        // One XML node enumerates as a list of itself.
                        if (i == 0) {
                            out = in.op == op::NextName ? Value::string("0") : obj;
                        }
                    } else if (obj.isObject() && obj.asObject()->kind == Object::Kind::QName) {
                        // A QName enumerates uri and localName; Flash hands out their values
                        // the other way round.
                        Object* q = obj.asObject();
                        const Value uri = q->flag ? Value::null() : Value::string(q->ns.uri);
                        if (i == 0) {
                            out = in.op == op::NextName ? Value::string("uri")
                                                        : Value::string(q->text);
                        } else if (i == 1) {
                            out = in.op == op::NextName ? Value::string("localName") : uri;
                        }
                    } else if (obj.isObject() && i >= 0) {
                        Object* o = obj.asObject();
                        const auto ne = static_cast<std::int64_t>(o->elements.size());
                        if (i < ne) {
                            const Value& e = o->elements[static_cast<std::size_t>(i)];
                            if (in.op == op::NextName) {
                                out = Value::integer(static_cast<std::int32_t>(i));
                            } else if (!e.isHole()) {
                                out = e;
                            }
                        } else if (o->kind == Object::Kind::Dictionary) {
                            const auto k = static_cast<std::size_t>(i - ne);
                            if (k < o->entries.size()) {
                                const Value& key = o->entries[k].first;
                                // A deleted entry's gap gives undefined, never its marker.
                                out = key.isHole()             ? Value()
                                      : in.op == op::NextValue ? o->entries[k].second
                                      : key.isString()         ? enumeratedName(key.asString())
                                                               : key;
                            }
                        } else {
                            const auto k = static_cast<std::size_t>(i - ne);
                            if (k < o->props.size() && !o->props[k].second.isHole()) {
                                out = in.op == op::NextName ? enumeratedName(o->props[k].first)
                                                            : o->props[k].second;
                            } else if (in.op == op::NextName) {
                                // Past the last property there is no name: null, as
                                // Flash's property tables answer for an empty place.
                                out = Value::null();
                            }
                        }
                    }
                    stack.push_back(out);
                    break;
                }
                case op::HasNext:
                case op::HasNext2: {
                    Value obj = in.op == op::HasNext2 ? reg[in.a] : Value();
                    std::int64_t i = 0;
                    if (in.op == op::HasNext2) {
                        i = enumerationIndex(num(*this, reg[in.b]));
                    } else {
                        i = enumerationIndex(num(*this, pop()));
                        obj = pop();
                    }
                    // The next enumerable index after i (1-based), or 0 at the end. hasnext2
                    // goes on along the prototypes, moving its object register with it.
                    std::int64_t next = 0;
                    for (int up = 0; obj.isObject() && up < 4096; ++up) {
                        const Object::Kind kind = obj.asObject()->kind;
                        // A proxy, one XML node and a QName enumerate only what they are.
                        const bool ownOnly = isProxy(obj) || kind == Object::Kind::Xml ||
                                             kind == Object::Kind::QName;
                        if (isProxy(obj)) {
                            next = proxyNextIndex(*this, obj, i);
                        } else if (kind == Object::Kind::Xml) {
                            next = i == 0 ? 1 : 0;
                        } else if (kind == Object::Kind::QName) {
                            next = i >= 0 && i < 2 ? i + 1 : 0;
                        } else {
                            next = nextEnumerableIndex(obj.asObject(), i);
                        }
                        if (ownOnly) {
                            break;
                        }
                        Object* proto = obj.asObject()->proto;
                        if (next != 0 || in.op != op::HasNext2 || proto == nullptr) {
                            break;
                        }
                        obj = Value::object(proto);
                        i = 0;
                    }
                    if (in.op == op::HasNext2) {
                        reg[in.b] = Value::integer(static_cast<std::int32_t>(next));
                        reg[in.a] = next == 0 ? Value::null() : obj;
                        stack.push_back(Value::boolean(next != 0));
                    } else {
                        stack.push_back(Value::integer(static_cast<std::int32_t>(next)));
                    }
                    break;
                }
                case op::PushNull:
                    stack.push_back(Value::null());
                    break;
                case op::PushUndefined:
                    stack.push_back(Value());
                    break;
                case op::PushByte:
                    stack.push_back(Value::integer(static_cast<std::int8_t>(in.a)));
                    break;
                case op::PushShort:
                    stack.push_back(Value::integer(static_cast<std::int16_t>(in.a)));
                    break;
                case op::PushTrue:
                    stack.push_back(Value::boolean(true));
                    break;
                case op::PushFalse:
                    stack.push_back(Value::boolean(false));
                    break;
                case op::PushNaN:
                    stack.push_back(Value::number(std::numeric_limits<double>::quiet_NaN()));
                    break;
                case op::Pop:
                    stack.pop_back();
                    break;
                case op::Dup:
                    stack.push_back(stack.back());
                    break;
                case op::Swap:
                    std::swap(stack[stack.size() - 1], stack[stack.size() - 2]);
                    break;
                case op::PushString:
                    stack.push_back(Value::string(abc.strings[in.a]));
                    break;
                case op::PushInt:
                    stack.push_back(Value::integer(abc.ints[in.a]));
                    break;
                case op::PushUint:
                    stack.push_back(Value::unsignedInt(abc.uints[in.a]));
                    break;
                case op::PushDouble:
                    stack.push_back(Value::number(abc.doubles[in.a]));
                    break;
                case op::PushNamespace:
                    stack.push_back(defaultValue(unit, 0x08, in.a));
                    break;
                case op::NewFunction: {
                    Object* f = newFunction(MethodRef{&unit, in.a, nullptr}, currentOuter());
                    Object* proto = newObject();
                    f->setProp("prototype", Value::object(proto));
                    f->dontEnum.back() = true;
                    stack.push_back(Value::object(f));
                    break;
                }
                case op::Call: {
                    Args a = popArgs(in.a);
                    Value thisv = pop();
                    Value f = pop();
                    stack.push_back(call(f, thisv, a));
                    break;
                }
                case op::Construct: {
                    Args a = popArgs(in.a);
                    Value ctor = pop();
                    stack.push_back(construct(ctor, a));
                    break;
                }
                case op::CallMethod:
                case op::CallStatic: {
                    Args a = popArgs(in.b);
                    Value recv = pop();
                    if (in.op == op::CallStatic) {
                        stack.push_back(runMethod(unit, in.a, recv, a, outer, owner, nullptr));
                    } else {
                        stack.push_back(Value());
                    }
                    break;
                }
                case op::CallSuper:
                case op::CallSuperVoid: {
                    Args a = popArgs(in.b);
                    Name n = runtimeName(in.a);
                    Value recv = pop();
                    Value r = callSuper(recv, owner, n, a);
                    if (in.op == op::CallSuper) {
                        stack.push_back(r);
                    }
                    break;
                }
                case op::CallProperty:
                case op::CallPropLex:
                case op::CallPropVoid: {
                    Args a = popArgs(in.b);
                    Name n = runtimeName(in.a);
                    Value recv = pop();
                    Value r;
                    if (in.op == op::CallPropLex) {
                        Value f = getProperty(recv, n);
                        if (!f.isObject()) {
                            throwError("TypeError", 1006, n.local + " is not a function.");
                        }
                        r = call(f, Value::null(), a);
                    } else {
                        if (recv.isNullish()) {
                            getProperty(recv, n);
                        }
                        r = callProperty(recv, n, a);
                    }
                    if (in.op != op::CallPropVoid) {
                        stack.push_back(r);
                    }
                    break;
                }
                case op::ReturnVoid:
                    // A typed function that returns nothing returns its type's default.
                    return coerce(Value(), resolveType(unit, info.returnType));
                case op::ReturnValue: {
                    Value r = pop();
                    return coerce(r, resolveType(unit, info.returnType));
                }
                case op::ConstructSuper: {
                    Args a = popArgs(in.a);
                    Value recv = pop();
                    constructSuper(owner != nullptr ? owner->super : nullptr, recv, a);
                    break;
                }
                case op::ConstructProp: {
                    Args a = popArgs(in.b);
                    Name n = runtimeName(in.a);
                    Value recv = pop();
                    Value ctor = getProperty(recv, n);
                    if (!ctor.isObject()) {
                        throwError("TypeError", 1007,
                                   "Instantiation attempted on a non-constructor.");
                    }
                    stack.push_back(construct(ctor, a));
                    break;
                }
                case op::ApplyType: {
                    Args a = popArgs(in.a);
                    Value base = pop();
                    stack.push_back(applyType(base, a));
                    break;
                }
                case op::Sxi1:
                    stack.back() = Value::integer(-(toInt32(num(*this, stack.back())) & 1));
                    break;
                case op::Sxi8:
                    stack.back() =
                        Value::integer(static_cast<std::int8_t>(toInt32(num(*this, stack.back()))));
                    break;
                case op::Sxi16:
                    stack.back() = Value::integer(
                        static_cast<std::int16_t>(toInt32(num(*this, stack.back()))));
                    break;
                case op::NewObject: {
                    Object* o = newObject();
                    Args kv = popArgs(in.a * 2);
                    // The player stores the pairs as it pops them, the last written first:
                    // enumeration (for-in, JSON) sees them in that order, and of two pairs
                    // with one name the first written stays.
                    for (std::size_t i = kv.size() / 2; i-- > 0;) {
                        o->setProp(toString(kv[2 * i]), kv[2 * i + 1]);
                    }
                    stack.push_back(Value::object(o));
                    break;
                }
                case op::NewArray:
                    stack.push_back(Value::object(newArray(popArgs(in.a))));
                    break;
                case op::NewActivation: {
                    Object* act = allocate();
                    act->kind = Object::Kind::Activation;
                    act->ownTraits = std::make_unique<Traits>();
                    act->traits = act->ownTraits.get();
                    std::vector<Value> values;
                    Class fake;
                    // The body's traits become the activation's slots.
                    for (const TraitInfo& t : body.traits) {
                        const MultinameInfo& mn = abc.multinames[t.name];
                        Binding b;
                        b.ns = unit.namespaces[mn.ns];
                        b.kind =
                            t.kind == TraitKind::Const ? Binding::Kind::Const : Binding::Kind::Slot;
                        std::uint32_t slot =
                            t.slotId != 0 ? t.slotId - 1
                                          : static_cast<std::uint32_t>(act->traits->slots.size());
                        if (slot > body.traits.size() + 1024) {
                            slot = static_cast<std::uint32_t>(act->traits->slots.size());
                        }
                        if (slot >= act->traits->slots.size()) {
                            act->traits->slots.resize(slot + 1);
                            act->slots.resize(slot + 1);
                        }
                        b.slot = slot;
                        SlotInit si;
                        si.type = resolveType(unit, t.typeName);
                        si.value = t.valueIndex != 0 ? defaultValue(unit, t.valueKind, t.valueIndex)
                                   : si.type == intClass || si.type == uintClass ? Value::integer(0)
                                   : si.type == numberClass
                                       ? Value::number(std::numeric_limits<double>::quiet_NaN())
                                   : si.type == booleanClass ? Value::boolean(false)
                                   : t.typeName != 0         ? Value::null()
                                                             : Value();
                        act->slots[slot] = si.value;
                        act->traits->slots[slot] = si;
                        act->traits->add(abc.strings[mn.name], b);
                    }
                    stack.push_back(Value::object(act));
                    break;
                }
                case op::NewClass: {
                    Value base = pop();
                    Class* super = base.isObject() && base.asObject()->kind == Object::Kind::Class
                                       ? base.asObject()->builds
                                       : nullptr;
                    Class* c = newClassFromAbc(unit, in.a, super, currentOuter());
                    stack.push_back(Value::object(c->classObject));
                    break;
                }
                case op::GetDescendants: {
                    Name n = runtimeName(in.a);
                    stack.back() = isProxy(stack.back())
                                       ? proxyNamed(*this, stack.back(), "getDescendants", n)
                                       : xmlDescendants(*this, stack.back(), n);
                    break;
                }
                case op::NewCatch: {
                    Object* scope = allocate();
                    scope->kind = Object::Kind::Activation;
                    scope->ownTraits = std::make_unique<Traits>();
                    scope->traits = scope->ownTraits.get();
                    const Handler& h = code->handlers[in.a];
                    if (h.varName != 0) {
                        Binding b;
                        Name n = nameOf(unit, h.varName);
                        b.ns = n.namespaces.empty() ? Namespace::publicNs() : n.namespaces[0];
                        b.kind = Binding::Kind::Slot;
                        b.slot = 0;
                        scope->traits->slots.resize(1);
                        scope->slots.resize(1);
                        scope->traits->add(n.local, b);
                    }
                    stack.push_back(Value::object(scope));
                    break;
                }
                case op::FindPropStrict:
                case op::FindProperty: {
                    Name n = runtimeName(in.a);
                    stack.push_back(findProperty(scopes, outer, n, in.op == op::FindPropStrict));
                    break;
                }
                case op::FindDef: {
                    Name n = nameOf(unit, in.a);
                    Value d = findDefinition(n);
                    if (d.isUndefined()) {
                        throwError("ReferenceError", 1065,
                                   "Variable " + n.local + " is not defined.");
                    }
                    stack.push_back(d);
                    break;
                }
                case op::GetLex: {
                    Name n = nameOf(unit, in.a);
                    Value holder = findProperty(scopes, outer, n, true);
                    stack.push_back(getProperty(holder, n));
                    break;
                }
                case op::SetProperty:
                case op::InitProperty: {
                    Value v = pop();
                    Name n = runtimeName(in.a);
                    Value obj = pop();
                    const Binding* own = in.onThis ? classSlot(owner, obj, n) : nullptr;
                    if (own != nullptr &&
                        (own->kind == Binding::Kind::Slot || in.op == op::InitProperty)) {
                        SlotInit& si = owner->instance.slots[own->slot];
                        if (si.type == nullptr && si.typeName != 0 && owner->unit != nullptr) {
                            si.type = resolveType(*owner->unit, si.typeName);
                        }
                        obj.asObject()->slots[own->slot] =
                            si.type != nullptr ? coerce(v, si.type) : std::move(v);
                        break;
                    }
                    setProperty(obj, n, v, in.op == op::InitProperty);
                    break;
                }
                case op::GetLocal:
                    stack.push_back(reg[in.a]);
                    break;
                case op::SetLocal:
                    reg[in.a] = pop();
                    break;
                case op::GetGlobalScope: {
                    Value g = !scopes.empty() ? scopes.front().object : Value();
                    for (const ScopeChain* s = outer.get(); s != nullptr; s = s->parent.get()) {
                        g = s->object;
                    }
                    stack.push_back(g);
                    break;
                }
                case op::GetScopeObject:
                    stack.push_back(scopes[in.a].object);
                    break;
                case op::GetOuterScope: {
                    std::vector<Value> chain;
                    for (const ScopeChain* s = outer.get(); s != nullptr; s = s->parent.get()) {
                        chain.push_back(s->object);
                    }
                    stack.push_back(in.a < chain.size() ? chain[chain.size() - 1 - in.a] : Value());
                    break;
                }
                case op::GetProperty: {
                    Name n = runtimeName(in.a);
                    Value obj = pop();
                    if (code->runsOnce && !n.reachesDynamic() && isArrayIndexRead(obj, n)) {
                        n = Name::publicName(n.local);
                    }
                    if (const Binding* own = in.onThis ? classSlot(owner, obj, n) : nullptr) {
                        stack.push_back(obj.asObject()->slots[own->slot]);
                        break;
                    }
                    stack.push_back(getProperty(obj, n));
                    break;
                }
                case op::DeleteProperty: {
                    Name n = runtimeName(in.a);
                    Value obj = pop();
                    stack.push_back(Value::boolean(deleteProperty(obj, n)));
                    break;
                }
                case op::GetSlot:
                case op::SetSlot: {
                    Value v = in.op == op::SetSlot ? pop() : Value();
                    Value obj = pop();
                    if (!obj.isObject()) {
                        throwError(
                            "TypeError", 1009,
                            "Cannot access a property or method of a null object reference.");
                    }
                    Object* o = obj.asObject();
                    if (in.a == 0 || in.a > o->slots.size()) {
                        throwError("VerifyError", 1026,
                                   "Slot " + std::to_string(in.a) +
                                       " exceeds slotCount=" + std::to_string(o->slots.size()) +
                                       " of " + className(obj) + ".");
                    }
                    if (in.op == op::GetSlot) {
                        stack.push_back(o->slots[in.a - 1]);
                    } else {
                        const SlotInit& si = o->traits->slots[in.a - 1];
                        o->slots[in.a - 1] = si.type != nullptr ? coerce(v, si.type) : v;
                    }
                    break;
                }
                case op::GetGlobalSlot:
                case op::SetGlobalSlot: {
                    Value v = in.op == op::SetGlobalSlot ? pop() : Value();
                    Value g = !scopes.empty() ? scopes.front().object : Value();
                    for (const ScopeChain* s = outer.get(); s != nullptr; s = s->parent.get()) {
                        g = s->object;
                    }
                    Object* o = g.isObject() ? g.asObject() : nullptr;
                    if (o == nullptr || in.a == 0 || in.a > o->slots.size()) {
                        throwError("VerifyError", 1026,
                                   "Slot " + std::to_string(in.a) + " exceeds slotCount.");
                    }
                    if (in.op == op::GetGlobalSlot) {
                        stack.push_back(o->slots[in.a - 1]);
                    } else {
                        o->slots[in.a - 1] = v;
                    }
                    break;
                }
                case op::ConvertS:
                    stack.back() = Value::string(toString(stack.back()));
                    break;
                case op::CoerceS:
                    stack.back() = stack.back().isNullish() ? Value::null()
                                                            : Value::string(toString(stack.back()));
                    break;
                case op::EscXElem:
                    stack.back() = xmlEscapeElement(*this, stack.back());
                    break;
                case op::EscXAttr:
                    stack.back() = xmlEscapeAttribute(*this, stack.back());
                    break;
                case op::ConvertI:
                case op::CoerceI:
                    stack.back() = stack.back().isInt()
                                       ? stack.back()
                                       : Value::integer(toInt32(num(*this, stack.back())));
                    break;
                case op::ConvertU:
                case op::CoerceU:
                    stack.back() = Value::unsignedInt(toUint32(num(*this, stack.back())));
                    break;
                case op::ConvertD:
                case op::CoerceD:
                    stack.back() = Value::number(num(*this, stack.back()));
                    break;
                case op::ConvertB:
                case op::CoerceB:
                    stack.back() = Value::boolean(toBoolean(stack.back()));
                    break;
                case op::ConvertO:
                    if (stack.back().isNullish()) {
                        getProperty(stack.back(), Name::publicName("toString"));
                    }
                    break;
                case op::CheckFilter:
                    xmlCheckFilter(*this, stack.back());
                    break;
                case op::CoerceA:
                    break;
                case op::CoerceO:
                    if (stack.back().isUndefined()) {
                        stack.back() = Value::null();
                    }
                    break;
                case op::Coerce:
                    stack.back() = coerce(stack.back(), resolveType(unit, in.a));
                    break;
                case op::AsType: {
                    Class* c = resolveType(unit, in.a);
                    if (!isType(stack.back(), c)) {
                        stack.back() = Value::null();
                    }
                    break;
                }
                case op::AsTypeLate:
                case op::IsTypeLate: {
                    Value t = pop();
                    Value v = pop();
                    if (!t.isObject() || t.asObject()->kind != Object::Kind::Class) {
                        throwError("TypeError", 1041,
                                   "The right-hand side of operator must be a class.");
                    }
                    const bool is = isType(v, t.asObject()->builds);
                    stack.push_back(in.op == op::IsTypeLate ? Value::boolean(is)
                                                            : (is ? v : Value::null()));
                    break;
                }
                case op::IsType:
                    stack.back() = Value::boolean(isType(stack.back(), resolveType(unit, in.a)));
                    break;
                case op::InstanceOf: {
                    Value t = pop();
                    Value v = pop();
                    bool r = false;
                    if (!t.isObject()) {
                        throwError(
                            "TypeError", 1040,
                            "The right-hand side of instanceof must be a class or function.");
                    }
                    Value proto = getProperty(t, Name::publicName("prototype"));
                    if (v.isObject() && proto.isObject()) {
                        for (Object* p = v.asObject()->proto; p != nullptr; p = p->proto) {
                            if (p == proto.asObject()) {
                                r = true;
                                break;
                            }
                        }
                    } else if (!v.isNullish() && proto.isObject()) {
                        Class* c = classOf(v);
                        for (Object* p = c != nullptr ? c->prototype : nullptr; p != nullptr;
                             p = p->proto) {
                            if (p == proto.asObject()) {
                                r = true;
                                break;
                            }
                        }
                    }
                    stack.push_back(Value::boolean(r));
                    break;
                }
                case op::In: {
                    Value obj = pop();
                    Value key = pop();
                    if (obj.isNullish()) {
                        getProperty(obj, Name::publicName("x"));
                    }
                    Name n = dictionaryName(toString(key), key);
                    n.proxyForm = Name::ProxyForm::Text;
                    stack.push_back(Value::boolean(hasProperty(obj, n)));
                    break;
                }
                case op::Negate:
                    stack.back() = numberResult(-num(*this, stack.back()));
                    break;
                case op::Increment:
                    stack.back() = numberResult(num(*this, stack.back()) + 1);
                    break;
                case op::Decrement:
                    stack.back() = numberResult(num(*this, stack.back()) - 1);
                    break;
                case op::IncLocal:
                    reg[in.a] = numberResult(num(*this, reg[in.a]) + 1);
                    break;
                case op::DecLocal:
                    reg[in.a] = numberResult(num(*this, reg[in.a]) - 1);
                    break;
                case op::IncrementI:
                    stack.back() = Value::integer(static_cast<std::int32_t>(
                        static_cast<std::uint32_t>(toInt32(num(*this, stack.back()))) + 1u));
                    break;
                case op::DecrementI:
                    stack.back() = Value::integer(static_cast<std::int32_t>(
                        static_cast<std::uint32_t>(toInt32(num(*this, stack.back()))) - 1u));
                    break;
                case op::IncLocalI:
                    reg[in.a] = Value::integer(static_cast<std::int32_t>(
                        static_cast<std::uint32_t>(toInt32(num(*this, reg[in.a]))) + 1u));
                    break;
                case op::DecLocalI:
                    reg[in.a] = Value::integer(static_cast<std::int32_t>(
                        static_cast<std::uint32_t>(toInt32(num(*this, reg[in.a]))) - 1u));
                    break;
                case op::NegateI:
                    stack.back() = Value::integer(static_cast<std::int32_t>(
                        0u - static_cast<std::uint32_t>(toInt32(num(*this, stack.back())))));
                    break;
                case op::TypeOf:
                    stack.back() = Value::string(typeOf(stack.back()));
                    break;
                case op::Not:
                    stack.back() = Value::boolean(!toBoolean(stack.back()));
                    break;
                case op::BitNot:
                    stack.back() = Value::integer(~toInt32(num(*this, stack.back())));
                    break;
                case op::Add: {
                    Value b = pop();
                    stack.back() = add(stack.back(), b);
                    break;
                }
                case op::AddI:
                case op::SubtractI:
                case op::MultiplyI: {
                    const auto b = static_cast<std::uint32_t>(toInt32(num(*this, pop())));
                    const auto a = static_cast<std::uint32_t>(toInt32(num(*this, stack.back())));
                    const std::uint32_t r = in.op == op::AddI        ? a + b
                                            : in.op == op::SubtractI ? a - b
                                                                     : a * b;
                    stack.back() = Value::integer(static_cast<std::int32_t>(r));
                    break;
                }
                case op::Subtract:
                case op::Multiply:
                case op::Divide:
                case op::Modulo: {
                    const double b = num(*this, pop());
                    const double a = num(*this, stack.back());
                    double r = 0;
                    switch (in.op) {
                    case op::Subtract:
                        r = a - b;
                        break;
                    case op::Multiply:
                        r = a * b;
                        break;
                    case op::Divide:
                        r = a / b;
                        break;
                    default:
                        r = std::fmod(a, b);
                        break;
                    }
                    stack.back() = numberResult(r);
                    if (in.op == op::Divide || in.op == op::Modulo) {
                        stack.back() = Value::number(r);
                    }
                    break;
                }
                case op::LShift:
                case op::RShift:
                case op::URShift:
                case op::BitAnd:
                case op::BitOr:
                case op::BitXor: {
                    const double bd = num(*this, pop());
                    const double ad = num(*this, stack.back());
                    const std::int32_t a = toInt32(ad);
                    const std::uint32_t s = toUint32(bd) & 31u;
                    switch (in.op) {
                    case op::LShift:
                        stack.back() = Value::integer(
                            static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << s));
                        break;
                    case op::RShift:
                        stack.back() = Value::integer(a >> s);
                        break;
                    case op::URShift:
                        stack.back() = Value::unsignedInt(toUint32(ad) >> s);
                        break;
                    case op::BitAnd:
                        stack.back() = Value::integer(a & toInt32(bd));
                        break;
                    case op::BitOr:
                        stack.back() = Value::integer(a | toInt32(bd));
                        break;
                    default:
                        stack.back() = Value::integer(a ^ toInt32(bd));
                        break;
                    }
                    break;
                }
                case op::Equals: {
                    Value b = pop();
                    stack.back() = Value::boolean(looseEquals(stack.back(), b));
                    break;
                }
                case op::StrictEquals: {
                    Value b = pop();
                    stack.back() = Value::boolean(strictEquals(stack.back(), b));
                    break;
                }
                case op::LessThan: {
                    Value b = pop();
                    stack.back() = Value::boolean(lessThan(stack.back(), b) == 1);
                    break;
                }
                case op::GreaterThan: {
                    Value b = pop();
                    stack.back() = Value::boolean(lessThan(b, stack.back()) == 1);
                    break;
                }
                case op::LessEquals: {
                    Value b = pop();
                    stack.back() = Value::boolean(lessThan(b, stack.back()) == 0);
                    break;
                }
                case op::GreaterEquals: {
                    Value b = pop();
                    stack.back() = Value::boolean(lessThan(stack.back(), b) == 0);
                    break;
                }
                default:
                    if (in.op >= op::GetLocal0 && in.op <= op::GetLocal3) {
                        stack.push_back(reg[in.op - op::GetLocal0]);
                    } else if (in.op >= op::SetLocal0 && in.op <= op::SetLocal3) {
                        reg[in.op - op::SetLocal0] = pop();
                    } else if (in.op >= op::Li8 && in.op <= op::Sf64) {
                        memoryInstruction(unit, in.op, stack);
                    }
                    break;
                }
            }
        } catch (ScriptThrow& thrown) {
            // The innermost handler guarding this instruction whose type matches catches.
            const std::uint32_t at = static_cast<std::uint32_t>(pc - 1);
            const Handler* found = nullptr;
            for (const Handler& h : code->handlers) {
                if (at < h.from || at >= h.to) {
                    continue;
                }
                Class* type = h.type != 0 ? resolveType(unit, h.type) : nullptr;
                if (h.type == 0 || type == nullptr || isType(thrown.value, type)) {
                    found = &h;
                    break;
                }
            }
            if (found == nullptr) {
                // The last frame it leaves names the movie whose code let it escape.
                escapedLoader_ = unit.loader;
                throw;
            }
            escapedLoader_ = 0;
            stack.clear();
            scopes.clear();
            stack.push_back(thrown.value);
            pc = found->target;
        }
    }
}

} // namespace avm2
