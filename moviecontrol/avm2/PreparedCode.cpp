#include "avm2/PreparedCode.h"

#include "avm2/AbcReader.h"
#include "avm2/Opcodes.h"

#include <map>
#include <set>
#include <utility>

namespace avm2 {

namespace {

struct Decoded {
    Instr instr;
    std::uint32_t length = 0;
    std::vector<std::uint32_t> switchOffsets; // byte offsets, default first
};

[[noreturn]] void fail(int code, const std::string& message) {
    throw AbcError(code, message);
}

class Preparer {
  public:
    Preparer(const AbcFile& abc, const MethodBody& body, const std::string& name)
        : abc_(abc), body_(body), name_(name), code_(body.code) {}

    PreparedCode run() {
        for (const ExceptionInfo& e : body_.exceptions) {
            if (e.from > e.to || e.to > code_.size() || e.target >= code_.size()) {
                fail(1054, "Illegal range or target offsets in exception handlers.");
            }
        }
        if (code_.empty()) {
            fail(1020, "Code cannot fall off the end of a method.");
        }
        scanLinear();
        visit(0, State{0, 0, 0, true});
        // Handlers become reachable once code they guard that can fail is; each reached
        // handler may reach more code, and so more handlers.
        std::vector<bool> handlerDone(body_.exceptions.size(), false);
        for (bool more = true; more;) {
            more = false;
            for (std::size_t h = 0; h < body_.exceptions.size(); ++h) {
                const ExceptionInfo& e = body_.exceptions[h];
                if (handlerDone[h] || !guardsReachedCode(e)) {
                    continue;
                }
                handlerDone[h] = true;
                more = true;
                // Register 0 may have been replaced anywhere in the guarded range.
                visit(e.target, State{1, 0, 0, false});
            }
        }
        checkBackwardJumps(handlerDone);
        return build(handlerDone);
    }

  private:
    struct State {
        std::uint32_t stack = 0;
        std::uint32_t scope = 0;
        // Which of the lowest operand stack entries hold `this`, and whether register 0
        // still does. Where paths meet only what holds on each of them stays.
        std::uint64_t thisEntries = 0;
        bool registerIsThis = false;
        // The type the top entry was just coerced to (a multiname index; 0 when unknown):
        // the type the verifier gives a scope pushed from it.
        std::uint32_t topType = 0;
    };

    // A handler is entered only from an instruction that can fail, or from the head of a
    // loop (where the player may interrupt a script running too long).
    bool guardsReachedCode(const ExceptionInfo& e) const {
        for (auto it = decoded_.lower_bound(e.from); it != decoded_.end() && it->first < e.to;
             ++it) {
            if (op::canThrow(it->second.instr.op) || loopHeads_.count(it->first) != 0) {
                return true;
            }
        }
        return false;
    }

    // A jump back (or to itself) must land on a `label` or on a place already known as
    // the start of a block: where a forward jump or a handler goes.
    void checkBackwardJumps(const std::vector<bool>& handlerDone) const {
        std::set<std::uint32_t> blockStarts;
        for (const auto& [from, to] : edges_) {
            if (to > from) {
                blockStarts.insert(to);
            }
        }
        for (std::size_t h = 0; h < body_.exceptions.size(); ++h) {
            if (handlerDone[h]) {
                blockStarts.insert(body_.exceptions[h].target);
            }
        }
        for (const auto& [from, to] : edges_) {
            if (to <= from && code_[to] != op::Label && blockStarts.count(to) == 0) {
                fail(1021, "At least one branch target was not on a valid instruction in the "
                           "method.");
            }
        }
    }

    void visit(std::uint32_t start, State first) {
        std::vector<std::pair<std::uint32_t, State>> work{{start, first}};
        while (!work.empty()) {
            auto [pc, state] = work.back();
            work.pop_back();
            auto seen = states_.find(pc);
            if (seen != states_.end()) {
                State& known = seen->second;
                if (known.stack != state.stack) {
                    fail(1030, "Stack depth is unbalanced. " + std::to_string(known.stack) +
                                   " != " + std::to_string(state.stack) + ".");
                }
                if (known.scope != state.scope) {
                    fail(1031, "Scope depth is unbalanced. " + std::to_string(known.scope) +
                                   " != " + std::to_string(state.scope) + ".");
                }
                // What this path knows of `this` narrows what was known here; the code
                // after is gone through again with less (a bounded number of times: each
                // pass clears a bit).
                const std::uint64_t entries = known.thisEntries & state.thisEntries;
                const bool reg = known.registerIsThis && state.registerIsThis;
                const std::uint32_t type = known.topType == state.topType ? known.topType : 0;
                if (entries == known.thisEntries && reg == known.registerIsThis &&
                    type == known.topType) {
                    continue;
                }
                known.thisEntries = entries;
                known.registerIsThis = reg;
                known.topType = type;
                state = known;
            } else {
                states_[pc] = state;
            }
            const Decoded& d = decodeAt(pc);
            State after = apply(d.instr, state);
            const std::uint32_t next = pc + d.length;
            const std::uint8_t o = d.instr.op;
            const op::Operands kind = op::operandsOf(o);
            if (kind == op::Operands::S24) {
                noteEdge(pc, d.instr.target);
                work.emplace_back(branchTarget(d.instr.target), after);
            }
            if (kind == op::Operands::Switch) {
                for (std::uint32_t t : d.switchOffsets) {
                    noteEdge(pc, t);
                    work.emplace_back(branchTarget(t), after);
                }
                continue;
            }
            if (o == op::Jump || o == op::Throw || o == op::ReturnVoid || o == op::ReturnValue) {
                continue;
            }
            if (next >= code_.size()) {
                fail(1020, "Code cannot fall off the end of a method.");
            }
            work.emplace_back(next, after);
        }
    }

    void noteEdge(std::uint32_t from, std::uint32_t to) {
        if (edges_.emplace(from, to).second && to <= from) {
            loopHeads_.insert(to);
        }
    }

    // Jumps must land where a front-to-back reading of the body starts an instruction, as
    // far as that reading gets (an illegal opcode ends it; it is refused only if reached).
    std::uint32_t branchTarget(std::uint32_t offset) const {
        if (offset < linearEnd_ && !linearStarts_[offset]) {
            fail(1021, "At least one branch target was not on a valid instruction in the method.");
        }
        return offset;
    }

    void scanLinear() {
        linearStarts_.assign(code_.size(), false);
        std::size_t p = 0;
        auto skipU30 = [&]() {
            for (int i = 0; i < 5 && p < code_.size(); ++i) {
                if ((code_[p++] & 0x80) == 0) {
                    return;
                }
            }
        };
        while (p < code_.size()) {
            linearStarts_[p] = true;
            const std::uint8_t o = code_[p++];
            switch (op::operandsOf(o)) {
            case op::Operands::Illegal:
                linearEnd_ = static_cast<std::uint32_t>(p - 1);
                return;
            case op::Operands::None:
                break;
            case op::Operands::U8:
                ++p;
                break;
            case op::Operands::U30:
                skipU30();
                break;
            case op::Operands::U30U30:
                skipU30();
                skipU30();
                break;
            case op::Operands::S24:
                p += 3;
                break;
            case op::Operands::Switch: {
                p += 3;
                std::uint32_t n = 0;
                for (int i = 0; i < 5 && p < code_.size(); ++i) {
                    const std::uint8_t b = code_[p++];
                    n |= static_cast<std::uint32_t>(b & 0x7F) << (7 * i);
                    if ((b & 0x80) == 0) {
                        break;
                    }
                }
                if (n >= code_.size()) {
                    linearEnd_ = static_cast<std::uint32_t>(p);
                    return;
                }
                p += 3 * (static_cast<std::size_t>(n) + 1);
                break;
            }
            case op::Operands::DebugInfo:
                ++p;
                skipU30();
                ++p;
                skipU30();
                break;
            }
        }
        linearEnd_ = static_cast<std::uint32_t>(code_.size());
    }

    const Decoded& decodeAt(std::uint32_t pc) {
        auto it = decoded_.find(pc);
        if (it != decoded_.end()) {
            return it->second;
        }
        Decoded d;
        std::size_t p = pc;
        auto u8 = [&]() -> std::uint32_t {
            if (p >= code_.size()) {
                fail(1020, "Code cannot fall off the end of a method.");
            }
            return code_[p++];
        };
        auto u30 = [&]() -> std::uint32_t {
            std::uint32_t r = 0;
            for (int i = 0; i < 5; ++i) {
                const std::uint32_t b = u8();
                r |= (b & 0x7F) << (7 * i);
                if ((b & 0x80) == 0) {
                    break;
                }
            }
            return r;
        };
        auto s24 = [&]() -> std::int32_t {
            std::uint32_t v = u8();
            v |= u8() << 8;
            v |= u8() << 16;
            if ((v & 0x800000) != 0) {
                v |= 0xFF000000u;
            }
            return static_cast<std::int32_t>(v);
        };
        auto offsetFrom = [&](std::int64_t base, std::int32_t delta) -> std::uint32_t {
            const std::int64_t t = base + delta;
            if (t < 0 || t >= static_cast<std::int64_t>(code_.size())) {
                fail(1021, "At least one branch target was not on a valid instruction in the "
                           "method.");
            }
            return static_cast<std::uint32_t>(t);
        };
        d.instr.op = static_cast<std::uint8_t>(u8());
        switch (op::operandsOf(d.instr.op)) {
        case op::Operands::Illegal:
            fail(1011, "Method " + name_ + " contained illegal opcode " +
                           std::to_string(d.instr.op) + " at offset " + std::to_string(pc) + ".");
        case op::Operands::None:
            break;
        case op::Operands::U8:
            d.instr.a = u8();
            break;
        case op::Operands::U30:
            d.instr.a = u30();
            break;
        case op::Operands::U30U30:
            d.instr.a = u30();
            d.instr.b = u30();
            break;
        case op::Operands::S24: {
            const std::int32_t delta = s24();
            d.instr.target = offsetFrom(static_cast<std::int64_t>(p), delta);
            break;
        }
        case op::Operands::Switch: {
            const std::int32_t def = s24();
            d.switchOffsets.push_back(offsetFrom(pc, def));
            const std::uint32_t n = u30();
            if (n >= code_.size()) {
                fail(1021, "At least one branch target was not on a valid instruction in the "
                           "method.");
            }
            for (std::uint32_t i = 0; i <= n; ++i) {
                d.switchOffsets.push_back(offsetFrom(pc, s24()));
            }
            break;
        }
        case op::Operands::DebugInfo:
            (void)u8();
            (void)u30();
            (void)u8();
            (void)u30();
            break;
        }
        d.length = static_cast<std::uint32_t>(p - pc);
        checkOperands(d.instr);
        return decoded_.emplace(pc, std::move(d)).first->second;
    }

    void checkIndex(std::uint32_t index, std::size_t size) const {
        if (index >= size) {
            fail(1032, "Cpool index " + std::to_string(index) + " is out of range " +
                           std::to_string(size) + ".");
        }
    }
    void checkRegister(std::uint32_t r) const {
        if (r >= body_.localCount) {
            fail(1025, "An invalid register " + std::to_string(r) + " was accessed.");
        }
    }

    void checkOperands(const Instr& in) const {
        using namespace op;
        const std::uint8_t o = in.op;
        switch (o) {
        case PushString:
        case DebugFile:
        case Dxns:
            checkIndex(in.a, abc_.strings.size());
            break;
        case PushInt:
            checkIndex(in.a, abc_.ints.size());
            break;
        case PushUint:
            checkIndex(in.a, abc_.uints.size());
            break;
        case PushDouble:
            checkIndex(in.a, abc_.doubles.size());
            break;
        case PushNamespace:
            checkIndex(in.a, abc_.namespaces.size());
            break;
        case NewFunction:
        case CallStatic:
            if (in.a >= abc_.methods.size()) {
                fail(1027, "Method_info " + std::to_string(in.a) + " exceeds method_count=" +
                               std::to_string(abc_.methods.size()) + ".");
            }
            break;
        case NewClass:
            if (in.a >= abc_.classes.size()) {
                fail(1060, "ClassInfo " + std::to_string(in.a) +
                               " exceeds class_count=" + std::to_string(abc_.classes.size()) + ".");
            }
            break;
        case GetLocal:
        case SetLocal:
        case Kill:
        case IncLocal:
        case DecLocal:
        case IncLocalI:
        case DecLocalI:
            checkRegister(in.a);
            break;
        case HasNext2:
            checkRegister(in.a);
            checkRegister(in.b);
            break;
        case GetSuper:
        case SetSuper:
        case CallSuper:
        case CallProperty:
        case ConstructProp:
        case CallPropLex:
        case CallSuperVoid:
        case CallPropVoid:
        case GetDescendants:
        case FindPropStrict:
        case FindProperty:
        case FindDef:
        case GetLex:
        case SetProperty:
        case GetProperty:
        case InitProperty:
        case DeleteProperty:
        case Coerce:
        case AsType:
        case IsType:
        case NewCatch:
            if (o == NewCatch) {
                checkIndex(in.a, body_.exceptions.size());
                break;
            }
            checkIndex(in.a, abc_.multinames.size());
            if (in.a == 0) {
                checkIndex(0, 0);
            }
            break;
        default:
            if (o >= GetLocal0 && o <= GetLocal3) {
                checkRegister(o - GetLocal0);
            } else if (o >= SetLocal0 && o <= SetLocal3) {
                checkRegister(o - SetLocal0);
            }
            break;
        }
    }

    // Operand stack entries a multiname takes from the stack at run time.
    std::uint32_t runtimeParts(std::uint32_t mn) const {
        const MultinameInfo& m = abc_.multinames[mn];
        return (m.runtimeName() ? 1u : 0u) + (m.runtimeNamespace() ? 1u : 0u);
    }

    State apply(const Instr& in, State s) const {
        using namespace op;
        std::uint32_t pops = 0;
        std::uint32_t pushes = 0;
        int scope = 0;
        const std::uint8_t o = in.op;
        switch (o) {
        case GetSuper:
        case GetProperty:
        case DeleteProperty:
        case GetDescendants:
            pops = 1 + runtimeParts(in.a);
            pushes = 1;
            break;
        case SetSuper:
        case SetProperty:
        case InitProperty:
            pops = 2 + runtimeParts(in.a);
            break;
        case DxnsLate:
        case IfTrue:
        case IfFalse:
        case LookupSwitch:
        case Pop:
        case SetLocal:
        case SetGlobalSlot:
        case ReturnValue:
        case Throw:
            pops = 1;
            break;
        case SetLocal0:
        case SetLocal0 + 1:
        case SetLocal0 + 2:
        case SetLocal3:
            pops = 1;
            break;
        case IfNlt:
        case IfNle:
        case IfNgt:
        case IfNge:
        case IfEq:
        case IfNe:
        case IfLt:
        case IfLe:
        case IfGt:
        case IfGe:
        case IfStrictEq:
        case IfStrictNe:
        case SetSlot:
            pops = 2;
            break;
        case PushWith:
        case PushScope:
            pops = 1;
            scope = 1;
            break;
        case PopScope:
            scope = -1;
            break;
        case NextName:
        case HasNext:
        case NextValue:
        case Add:
        case Subtract:
        case Multiply:
        case Divide:
        case Modulo:
        case LShift:
        case RShift:
        case URShift:
        case BitAnd:
        case BitOr:
        case BitXor:
        case Equals:
        case StrictEquals:
        case LessThan:
        case LessEquals:
        case GreaterThan:
        case GreaterEquals:
        case InstanceOf:
        case IsTypeLate:
        case In:
        case AddI:
        case SubtractI:
        case MultiplyI:
        case AsTypeLate:
            pops = 2;
            pushes = 1;
            break;
        case PushNull:
        case PushUndefined:
        case PushByte:
        case PushShort:
        case PushTrue:
        case PushFalse:
        case PushNaN:
        case PushString:
        case PushInt:
        case PushUint:
        case PushDouble:
        case PushNamespace:
        case HasNext2:
        case NewFunction:
        case NewActivation:
        case NewCatch:
        case FindDef:
        case GetLex:
        case GetLocal:
        case GetGlobalScope:
        case GetScopeObject:
        case GetOuterScope:
        case GetGlobalSlot:
        case GetLocal0:
        case GetLocal0 + 1:
        case GetLocal0 + 2:
        case GetLocal3:
            pushes = 1;
            break;
        case Dup:
            pops = 1;
            pushes = 2;
            break;
        case Swap:
            pops = 2;
            pushes = 2;
            break;
        case Call:
            pops = in.a + 2;
            pushes = 1;
            break;
        case Construct:
        case ApplyType:
            pops = in.a + 1;
            pushes = 1;
            break;
        case ConstructSuper:
            pops = in.a + 1;
            break;
        case CallMethod:
        case CallStatic:
            pops = in.b + 1;
            pushes = 1;
            break;
        case CallSuper:
        case CallProperty:
        case CallPropLex:
        case ConstructProp:
            pops = in.b + 1 + runtimeParts(in.a);
            pushes = 1;
            break;
        case CallSuperVoid:
        case CallPropVoid:
            pops = in.b + 1 + runtimeParts(in.a);
            break;
        case NewObject:
            pops = in.a * 2;
            pushes = 1;
            break;
        case NewArray:
            pops = in.a;
            pushes = 1;
            break;
        case FindPropStrict:
        case FindProperty:
            pops = runtimeParts(in.a);
            pushes = 1;
            break;
        case Sxi1:
        case Sxi8:
        case Sxi16:
        case NewClass:
        case GetSlot:
        case ConvertS:
        case EscXElem:
        case EscXAttr:
        case ConvertI:
        case ConvertU:
        case ConvertD:
        case ConvertB:
        case ConvertO:
        case CheckFilter:
        case Coerce:
        case CoerceB:
        case CoerceA:
        case CoerceI:
        case CoerceD:
        case CoerceS:
        case AsType:
        case CoerceU:
        case CoerceO:
        case Negate:
        case Increment:
        case Decrement:
        case TypeOf:
        case Not:
        case BitNot:
        case IsType:
        case IncrementI:
        case DecrementI:
        case NegateI:
            pops = 1;
            pushes = 1;
            break;
        default:
            if (o >= Li8 && o <= Li8 + 4) {
                pops = 1;
                pushes = 1;
            } else if (o > Li8 + 4 && o <= Sf64) {
                pops = 2;
            }
            break;
        }
        if (s.stack < pops) {
            fail(1024, "Stack underflow occurred.");
        }
        s.thisEntries = trackThis(in, s, pops, pushes);
        if (o == Coerce) {
            s.topType = in.a;
        } else if (pops != 0 || pushes != 0) {
            s.topType = 0;
        }
        s.stack = s.stack - pops + pushes;
        if (s.stack > body_.maxStack) {
            fail(1023, "Stack overflow occurred.");
        }
        if (o == GetScopeObject && in.a >= s.scope) {
            fail(1019, "Getscopeobject " + std::to_string(in.a) + " is out of bounds.");
        }
        if (scope < 0 && s.scope == 0) {
            fail(1018, "Scope stack underflow occurred.");
        }
        s.scope = static_cast<std::uint32_t>(static_cast<int>(s.scope) + scope);
        const std::uint32_t scopeRoom = body_.maxScopeDepth > body_.initScopeDepth
                                            ? body_.maxScopeDepth - body_.initScopeDepth
                                            : 0;
        if (s.scope > scopeRoom) {
            fail(1017, "Scope stack overflow occurred.");
        }
        return s;
    }

    static std::uint64_t bit(std::uint32_t entry) {
        return entry < 64 ? std::uint64_t{1} << entry : 0;
    }

    // The stack entries holding `this` after `in`, which takes `pops` entries and leaves
    // `pushes`; also notes a write to register 0.
    static std::uint64_t trackThis(const Instr& in, State& s, std::uint32_t pops,
                                   std::uint32_t pushes) {
        using namespace op;
        const std::uint8_t o = in.op;
        const bool writesRegister0 = o == SetLocal0 ||
                                     ((o == SetLocal || o == Kill || o == IncLocal ||
                                       o == DecLocal || o == IncLocalI || o == DecLocalI) &&
                                      in.a == 0) ||
                                     (o == HasNext2 && (in.a == 0 || in.b == 0));
        if (writesRegister0) {
            s.registerIsThis = false;
        }
        const std::uint32_t base = s.stack - pops;
        std::uint64_t kept = base >= 64 ? s.thisEntries : s.thisEntries & (bit(base) - 1);
        if (o == Dup && (s.thisEntries & bit(s.stack - 1)) != 0) {
            kept |= bit(base) | bit(base + 1);
        } else if (o == Swap) {
            if ((s.thisEntries & bit(s.stack - 1)) != 0) {
                kept |= bit(base);
            }
            if ((s.thisEntries & bit(s.stack - 2)) != 0) {
                kept |= bit(base + 1);
            }
        } else if (pushes == 1 && (o == GetLocal0 || (o == GetLocal && in.a == 0)) &&
                   s.registerIsThis) {
            kept |= bit(base);
        }
        return kept;
    }

    // Whether the object `in` works on is `this`, from the state before it.
    bool objectIsThis(const Instr& in, const State& s) const {
        using namespace op;
        std::uint32_t above = 0; // entries above the object: the value, the name's parts
        switch (in.op) {
        case GetProperty:
            break;
        case SetProperty:
        case InitProperty:
            above = 1;
            break;
        default:
            return false;
        }
        above += runtimeParts(in.a);
        return s.stack > above && (s.thisEntries & bit(s.stack - 1 - above)) != 0;
    }

    PreparedCode build(const std::vector<bool>& handlerDone) {
        PreparedCode out;
        std::map<std::uint32_t, std::uint32_t> indexOf;
        for (const auto& [offset, d] : decoded_) {
            indexOf[offset] = static_cast<std::uint32_t>(indexOf.size());
        }
        auto index = [&](std::uint32_t offset) {
            auto it = indexOf.find(offset);
            if (it == indexOf.end()) {
                fail(1021, "At least one branch target was not on a valid instruction in the "
                           "method.");
            }
            return it->second;
        };
        // Instructions that overlap another's bytes mean a jump into the middle of one.
        std::uint32_t end = 0;
        for (const auto& [offset, d] : decoded_) {
            if (offset < end) {
                fail(1021, "At least one branch target was not on a valid instruction in the "
                           "method.");
            }
            end = offset + d.length;
        }
        out.code.reserve(decoded_.size());
        for (const auto& [offset, d] : decoded_) {
            Instr in = d.instr;
            if (auto st = states_.find(offset); st != states_.end()) {
                in.onThis = objectIsThis(in, st->second);
                if (in.op == op::PushScope) {
                    in.b = st->second.topType;
                }
            }
            if (op::operandsOf(in.op) == op::Operands::S24) {
                in.target = index(in.target);
            } else if (in.op == op::LookupSwitch) {
                std::vector<std::uint32_t> table;
                for (std::uint32_t t : d.switchOffsets) {
                    table.push_back(index(t));
                }
                in.target = static_cast<std::uint32_t>(out.switches.size());
                out.switches.push_back(std::move(table));
            }
            out.code.push_back(in);
        }
        // An index past the guarded range's last instruction, by offset.
        auto firstAtOrAfter = [&](std::uint32_t offset) {
            auto it = indexOf.lower_bound(offset);
            return it == indexOf.end() ? static_cast<std::uint32_t>(out.code.size()) : it->second;
        };
        for (std::size_t h = 0; h < body_.exceptions.size(); ++h) {
            const ExceptionInfo& e = body_.exceptions[h];
            Handler handler;
            handler.from = firstAtOrAfter(e.from);
            handler.to = firstAtOrAfter(e.to);
            handler.target = handlerDone[h] ? index(e.target) : 0;
            handler.type = e.type;
            handler.varName = e.varName;
            if (!handlerDone[h]) {
                handler.from = handler.to = 0; // guards nothing that runs
            }
            out.handlers.push_back(handler);
        }
        return out;
    }

    const AbcFile& abc_;
    const MethodBody& body_;
    const std::string& name_;
    const std::vector<std::uint8_t>& code_;
    std::map<std::uint32_t, Decoded> decoded_;
    std::map<std::uint32_t, State> states_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> edges_; // jumps taken: from, to
    std::set<std::uint32_t> loopHeads_;                       // targets of jumps back
    std::vector<bool> linearStarts_;
    std::uint32_t linearEnd_ = 0;
};

} // namespace

PreparedCode prepareBody(const AbcFile& abc, const MethodBody& body,
                         const std::string& methodName) {
    return Preparer(abc, body, methodName).run();
}

} // namespace avm2
