// Control flow: branches, the blocks of With and Try, Return and Throw, and the
// WaitForFrame actions that skip the actions after them.

#include "avm1/Interp.h"

#include "swf/ActionCodes.h"

#include <cmath>

namespace avm1 {

std::optional<Outcome> Interp::actionBranch(std::uint8_t code, Payload p, std::size_t pc,
                                            std::size_t& next, std::size_t start, std::size_t end) {
    // Offsets count from the end of the action.
    std::int16_t offset = p.i16();
    if (code == swf::op::If && !condition(pop())) {
        return std::nullopt;
    }
    auto target = static_cast<std::int64_t>(next) + offset;
    if (target < 0 || target > static_cast<std::int64_t>(a_.code.bytes.size())) {
        return Outcome{Outcome::Stop, pc, {}};
    }
    auto t = static_cast<std::size_t>(target);
    // A branch out of a nested block (With, Try, a function's body) ends that block's run;
    // the run around it goes on from there.
    if (t < start || t >= end) {
        return Outcome{Outcome::JumpOut, t, {}};
    }
    next = t;
    return std::nullopt;
}

std::optional<Outcome> Interp::actionBlock(std::uint8_t code, Payload p, std::size_t& next,
                                           std::size_t start, std::size_t end) {
    Outcome out = code == swf::op::With ? actionWith(p, next, end) : actionTry(p, next, end);
    if (out.kind != Outcome::JumpOut) {
        return out;
    }
    if (out.pc < start || out.pc >= end) {
        return out.pc == end ? Outcome{} : out;
    }
    next = out.pc;
    return std::nullopt;
}

Outcome Interp::actionWith(Payload p, std::size_t next, std::size_t end) {
    std::size_t size = p.u16();
    std::size_t bodyEnd = std::min(next + size, end);
    Value v = pop();
    Object* o = m_.toObject(v);
    // The player keeps a short stack of `with` objects per action list or function: 7
    // deep for version 5 code, 15 later. A block past that is passed over whole.
    const int limit = a_.version < 6 ? 7 : 15;
    if (!o || a_.withDepth >= limit) {
        Outcome out;
        out.kind = Outcome::JumpOut;
        out.pc = bodyEnd;
        return out;
    }
    Scope* saved = a_.scope;
    a_.scope = m_.make<Scope>(saved, o);
    ++a_.withDepth;
    struct Leave {
        Activation& a;
        Scope* scope;
        ~Leave() {
            a.scope = scope;
            --a.withDepth;
        }
    } leave{a_, saved};
    Outcome out = subRange(next, bodyEnd);
    if (out.kind == Outcome::Done) {
        out.kind = Outcome::JumpOut;
        out.pc = bodyEnd;
    }
    return out;
}

Outcome Interp::actionTry(Payload p, std::size_t next, std::size_t end) {
    std::uint8_t flags = p.u8();
    std::size_t trySize = p.u16(), catchSize = p.u16(), finallySize = p.u16();
    bool hasCatch = flags & 1, hasFinally = flags & 2, inRegister = flags & 4;
    std::uint8_t catchRegister = 0;
    Str catchName;
    if (inRegister) {
        catchRegister = p.u8();
    } else {
        catchName = str(p.cstring());
    }
    std::size_t tryEnd = std::min(next + trySize, end);
    std::size_t catchEnd = std::min(tryEnd + catchSize, end);
    std::size_t finallyEnd = std::min(catchEnd + finallySize, end);
    if (!hasFinally) {
        finallyEnd = catchEnd;
    }
    std::size_t stackDepth = s_.stack.size();

    Outcome out;
    bool pending = false; // a throw still travelling after finally
    ScriptThrow thrown;
    try {
        out = subRange(next, tryEnd);
    } catch (ScriptThrow& t) {
        s_.stack.resize(std::max(std::min(s_.stack.size(), stackDepth), a_.stackBase));
        if (hasCatch) {
            if (inRegister) {
                if (Value* r = reg(catchRegister)) {
                    *r = t.value;
                }
            } else {
                defineLocal(catchName, t.value);
            }
            try {
                out = subRange(tryEnd, catchEnd);
            } catch (ScriptThrow& inner) {
                pending = true;
                thrown = inner;
            }
        } else {
            pending = true;
            thrown = t;
        }
    }
    if (hasFinally && finallyEnd > catchEnd) {
        Outcome fin = subRange(catchEnd, finallyEnd);
        if (fin.kind != Outcome::Done) {
            return fin; // a return or jump in finally wins
        }
    }
    if (pending) {
        throw thrown;
    }
    // Compilers end the try and catch parts with a branch to the finally part (or just
    // past it); that is the block's normal end, not a second way into finally.
    const bool toOwnEnd = out.kind == Outcome::JumpOut && out.pc >= tryEnd && out.pc <= finallyEnd;
    if (out.kind == Outcome::Done || toOwnEnd) {
        out.kind = Outcome::JumpOut;
        out.pc = finallyEnd;
    }
    return out;
}

Outcome Interp::actionReturn() {
    Outcome out;
    out.kind = Outcome::Returned;
    out.value = pop();
    return out;
}

void Interp::actionThrow() {
    throw ScriptThrow{pop()};
}

void Interp::actionWaitForFrame(std::uint8_t code, Payload p, std::size_t& next, std::size_t end) {
    // WaitForFrame names its frame in the action (from 0), WaitForFrame2 on the stack (a
    // number from 1 or a label).
    const bool fromStack = code == swf::op::WaitForFrame2;
    Value frame = fromStack ? Value() : Value(static_cast<double>(p.u16()) + 1);
    std::uint8_t skip = p.u8();
    if (fromStack) {
        frame = pop();
    }
    Object* t = targetOrRoot();
    bool loaded = true;
    if (t) {
        double f = m_.toNumber(frame);
        if (frame.isString()) {
            auto label = s_.host.frameOfLabel(t, frame.asString().view());
            f = label ? *label + 1.0 : f;
        }
        // Once every frame is there, any frame counts as loaded, even one past the
        // end: preloaders wait for a frame number larger than the movie has.
        const std::uint32_t have = s_.host.framesLoaded(t);
        loaded = std::isnan(f) || f <= have || have >= s_.host.totalFrames(t);
    }
    if (loaded) {
        return;
    }
    const auto bytes = a_.code.bytes;
    for (int i = 0; i < skip && next < end; ++i) {
        // Actions from 0x80 carry a length.
        std::uint8_t c = bytes[next];
        if (c >= 0x80 && next + 3 <= bytes.size()) {
            next += 3 + (bytes[next + 1] | (bytes[next + 2] << 8));
        } else {
            next += 1;
        }
    }
}

} // namespace avm1
