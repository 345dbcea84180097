// The stack, the registers and the constant pool, and the texts actions carry.

#include "avm1/Interp.h"

#include "avm1/CodePage.h"
#include "unicode/Utf16Text.h"

namespace avm1 {

Str Interp::str(std::string_view bytes) {
    if (unicode::isAscii(bytes)) {
        return m_.str(bytes);
    }
    return Str(a_.version < 6 ? fromCodePage(bytes) : unicode::decodeText(bytes));
}

Str Interp::literal(std::string_view bytes) {
    constexpr std::size_t MaxLiterals = 1 << 16;
    auto key = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const void* owner = a_.code.owner.get();
    if (owner) {
        auto it = s_.literals.find(key);
        if (it != s_.literals.end() && it->second.owner == owner && !it->second.alive.expired()) {
            return it->second.text;
        }
    }
    Str text = str(bytes);
    if (owner) {
        if (s_.literals.size() >= MaxLiterals) {
            s_.literals.clear();
        }
        s_.literals[key] = Machine::State::Literal{owner, a_.code.owner, text};
    }
    return text;
}

void Interp::actionPush(Payload p) {
    // Values of the types the format numbers 0 to 9, one after another.
    while (!p.atEnd()) {
        std::uint8_t type = p.u8();
        switch (type) {
        case 0:
            push(Value(literal(p.cstring())));
            break;
        case 1:
            push(Value(static_cast<double>(p.f32())));
            break;
        case 2:
            push(Value::null());
            break;
        case 3:
            push(Value());
            break;
        case 4: {
            Value* r = reg(p.u8());
            push(r ? *r : Value());
            break;
        }
        case 5:
            push(Value(p.u8() != 0));
            break;
        case 6:
            push(Value(p.f64()));
            break;
        case 7:
            push(Value(static_cast<double>(static_cast<std::int32_t>(p.u32()))));
            break;
        case 8: {
            std::size_t i = p.u8();
            push(a_.constants && i < a_.constants->size() ? Value((*a_.constants)[i]) : Value());
            break;
        }
        case 9: {
            std::size_t i = p.u16();
            push(a_.constants && i < a_.constants->size() ? Value((*a_.constants)[i]) : Value());
            break;
        }
        default:
            return; // unknown type: the rest cannot be decoded
        }
        if (p.overrun()) {
            s_.stack.pop_back();
            return;
        }
    }
}

void Interp::actionPop() {
    pop();
}

void Interp::actionPushDuplicate() {
    Value v = top();
    push(v);
}

void Interp::actionStackSwap() {
    Value a = pop();
    Value b = pop();
    push(a);
    push(b);
}

void Interp::actionStoreRegister(Payload p) {
    // The value stays on the stack.
    if (Value* r = reg(p.u8())) {
        *r = top();
    }
}

void Interp::actionConstantPool(Payload p) {
    std::uint16_t count = p.u16();
    auto pool = std::make_shared<std::vector<Str>>();
    pool->reserve(count);
    for (std::uint16_t i = 0; i < count && !p.atEnd(); ++i) {
        pool->push_back(str(p.cstring()));
    }
    a_.constants = pool;
    // A block's pool stays for the blocks after it; a function's is its own.
    if (!a_.isFunction) {
        s_.constants = pool;
    }
}

} // namespace avm1
