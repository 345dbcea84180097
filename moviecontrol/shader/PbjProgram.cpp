#include "shader/PbjProgram.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

namespace shader {

const char* typeName(PbjType t) {
    static constexpr const char* names[] = {
        "float", "float2", "float3", "float4", "matrix2x2", "matrix3x3", "matrix4x4", "int",
        "int2",  "int3",   "int4",   "string", "bool",      "bool2",     "bool3",     "bool4"};
    const auto i = static_cast<std::size_t>(t) - 1;
    return i < std::size(names) ? names[i] : "float";
}

int componentCount(PbjType t) {
    switch (t) {
    case PbjType::Float:
    case PbjType::Int:
    case PbjType::Bool:
        return 1;
    case PbjType::Float2:
    case PbjType::Int2:
    case PbjType::Bool2:
        return 2;
    case PbjType::Float3:
    case PbjType::Int3:
    case PbjType::Bool3:
        return 3;
    case PbjType::Float4:
    case PbjType::Int4:
    case PbjType::Bool4:
    case PbjType::Float2x2:
        return 4;
    case PbjType::Float3x3:
        return 9;
    case PbjType::Float4x4:
        return 16;
    case PbjType::String:
        return 0;
    }
    return 0;
}

bool isFloatType(PbjType t) {
    return t <= PbjType::Float4x4;
}
bool isBoolType(PbjType t) {
    return t >= PbjType::Bool;
}
bool isMatrixType(PbjType t) {
    return t >= PbjType::Float2x2 && t <= PbjType::Float4x4;
}

const PbjParam* PbjProgram::output() const {
    for (const PbjParam& p : params) {
        if (p.output) {
            return &p;
        }
    }
    return nullptr;
}

namespace {

struct Failed {
    PbjError error = PbjError::Invalid;
};

// Reads the bytecode front to back; every read past the end throws EndOfData.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool atEnd() const { return pos_ >= bytes_.size(); }

    std::uint8_t u8() {
        if (pos_ >= bytes_.size()) {
            throw Failed{PbjError::EndOfData};
        }
        return bytes_[pos_++];
    }
    std::uint16_t u16() { // little-endian, as the instructions are
        const std::uint16_t lo = u8();
        return static_cast<std::uint16_t>(lo | (u8() << 8));
    }
    std::uint32_t u24() {
        const std::uint32_t lo = u16();
        return lo | (static_cast<std::uint32_t>(u8()) << 16);
    }
    std::uint32_t u32() {
        const std::uint32_t lo = u16();
        return lo | (static_cast<std::uint32_t>(u16()) << 16);
    }
    float bigEndianFloat() { // constants and float metadata are big-endian
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v = (v << 8) | u8();
        }
        return std::bit_cast<float>(v);
    }
    std::string cString() {
        std::string s;
        for (std::uint8_t c = u8(); c != 0; c = u8()) {
            s.push_back(static_cast<char>(c));
        }
        return s;
    }
    std::string text(std::size_t length) {
        if (length > bytes_.size() - pos_) {
            throw Failed{PbjError::EndOfData};
        }
        std::string s(reinterpret_cast<const char*>(bytes_.data() + pos_), length);
        pos_ += length;
        return s;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

PbjType readType(std::uint8_t v) {
    if (v < 1 || v > static_cast<std::uint8_t>(PbjType::Bool4)) {
        throw Failed{PbjError::Invalid};
    }
    return static_cast<PbjType>(v);
}

PbjValue readValue(Reader& r, PbjType type) {
    PbjValue v;
    v.type = type;
    if (type == PbjType::String) {
        v.text = r.cString();
        return v;
    }
    const int n = componentCount(type);
    for (int i = 0; i < n; ++i) {
        v.numbers.push_back(isFloatType(type)
                                ? static_cast<double>(r.bigEndianFloat())
                                : static_cast<double>(static_cast<std::int16_t>(r.u16())));
    }
    return v;
}

class Parser {
  public:
    explicit Parser(std::span<const std::uint8_t> bytes) : r_(bytes) {}

    PbjProgram run() {
        while (!r_.atEnd()) {
            instruction(r_.u8());
        }
        attachMeta();
        if (!blocks_.empty()) {
            throw Failed{PbjError::Invalid};
        }
        return std::move(p_);
    }

  private:
    void useRegister(std::uint32_t reg, int span = 1) {
        const int index = static_cast<int>(reg & 0x7FFF) + span;
        int& count = (reg & 0x8000) != 0 ? p_.intRegisters : p_.floatRegisters;
        count = std::max(count, index);
    }

    // Metadata read since the last parameter belongs to that parameter; before the first
    // parameter it describes the kernel.
    void attachMeta() {
        if (pendingMeta_.empty()) {
            return;
        }
        if (lastWasTexture_) {
            pendingMeta_.clear();
            return;
        }
        auto& into = p_.params.empty() ? p_.meta : p_.params.back().meta;
        into.insert(into.end(), std::make_move_iterator(pendingMeta_.begin()),
                    std::make_move_iterator(pendingMeta_.end()));
        pendingMeta_.clear();
    }

    static int matrixSpan(PbjType t) {
        return t == PbjType::Float3x3 ? 3 : t == PbjType::Float4x4 ? 4 : 1;
    }

    void instruction(std::uint8_t code) {
        PbjOp o;
        o.code = code;
        switch (code) {
        case op::KernelMeta:
        case op::ParameterMeta: {
            const PbjType type = readType(r_.u8());
            PbjMeta m;
            m.key = r_.cString();
            m.value = readValue(r_, type);
            pendingMeta_.push_back(std::move(m));
            return;
        }
        case op::Parameter: {
            attachMeta();
            PbjParam p;
            p.output = r_.u8() == 2;
            p.type = readType(r_.u8());
            p.reg = r_.u16();
            p.mask = r_.u8();
            p.name = r_.cString();
            if (p.type == PbjType::String) {
                throw Failed{PbjError::Invalid};
            }
            useRegister(p.reg, matrixSpan(p.type));
            p_.params.push_back(std::move(p));
            lastWasTexture_ = false;
            return;
        }
        case op::Texture: {
            attachMeta();
            PbjTexture t;
            t.index = r_.u8();
            t.channels = r_.u8();
            t.name = r_.cString();
            if (t.channels < 1 || t.channels > 4) {
                throw Failed{PbjError::Invalid};
            }
            p_.textures.push_back(std::move(t));
            lastWasTexture_ = true;
            return;
        }
        case op::Name:
            p_.name = r_.text(r_.u16());
            return;
        case op::Version:
            p_.version = static_cast<std::int32_t>(r_.u32());
            return;
        case op::Nop:
            r_.u32();
            r_.u16();
            p_.ops.push_back(o);
            return;
        case op::If:
            r_.u24();
            o.src = r_.u24();
            r_.u8();
            useRegister(o.src & 0xFFFF);
            blocks_.push_back(p_.ops.size());
            p_.ops.push_back(o);
            return;
        case op::Else:
        case op::EndIf:
            r_.u32();
            r_.u24();
            closeBlock(code);
            p_.ops.push_back(o);
            return;
        case op::LoadConstant:
            o.dst = r_.u16();
            o.dstMask = static_cast<std::uint8_t>(r_.u8() >> 4);
            useRegister(o.dst);
            if ((o.dst & 0x8000) != 0) {
                o.intValue = static_cast<std::int32_t>(r_.u32());
            } else {
                o.floatValue = r_.bigEndianFloat();
            }
            p_.ops.push_back(o);
            return;
        case op::SampleNearest:
        case op::SampleLinear:
            o.dst = r_.u16();
            o.dstMask = static_cast<std::uint8_t>(r_.u8() >> 4);
            o.src = r_.u24();
            o.texture = r_.u8();
            o.size = 2;
            useRegister(o.dst);
            useRegister(o.src & 0xFFFF);
            p_.ops.push_back(o);
            return;
        case op::Select:
            o.dst = r_.u16();
            o.dstMask = static_cast<std::uint8_t>(r_.u8() >> 4);
            o.src = r_.u24();
            r_.u8();
            o.src2 = r_.u24();
            r_.u8();
            o.src3 = r_.u24();
            r_.u8();
            o.size = 1;
            for (const std::uint32_t reg : {std::uint32_t{o.dst}, o.src, o.src2, o.src3}) {
                useRegister(reg & 0xFFFF);
            }
            p_.ops.push_back(o);
            return;
        default:
            break;
        }
        if (code > op::All) {
            throw Failed{PbjError::Invalid};
        }
        o.dst = r_.u16();
        const std::uint8_t mask = r_.u8();
        o.src = r_.u24();
        r_.u8();
        o.size = static_cast<std::uint8_t>((mask & 3) + 1);
        o.matrix = static_cast<std::uint8_t>((mask >> 2) & 3);
        o.dstMask = static_cast<std::uint8_t>(mask >> 4);
        const int span = o.matrix == 0 ? 1 : o.matrix + 1;
        useRegister(o.dst, o.dstMask == 0 ? span : 1);
        useRegister(o.src & 0xFFFF, span);
        if (o.code == op::Equal || o.code == op::NotEqual || o.code == op::LessThan ||
            o.code == op::LessThanEqual || o.code == op::VectorEqual ||
            o.code == op::VectorNotEqual || o.code == op::Any || o.code == op::All) {
            useRegister(0x8000); // comparisons answer in the first int register
        }
        p_.ops.push_back(o);
    }

    void closeBlock(std::uint8_t code) {
        if (blocks_.empty()) {
            throw Failed{PbjError::Invalid};
        }
        // A false `if` resumes after its `else`; an `else` reached in order skips to the end.
        PbjOp& opened = p_.ops[blocks_.back()];
        opened.jump = static_cast<std::uint32_t>(p_.ops.size() + (code == op::Else ? 1 : 0));
        blocks_.pop_back();
        if (code == op::Else) {
            if (opened.code != op::If) {
                throw Failed{PbjError::Invalid}; // a second else
            }
            blocks_.push_back(p_.ops.size());
        }
    }

    Reader r_;
    PbjProgram p_;
    std::vector<PbjMeta> pendingMeta_;
    std::vector<std::size_t> blocks_;
    bool lastWasTexture_ = false;
};

} // namespace

PbjParse parsePbj(std::span<const std::uint8_t> bytes) {
    PbjParse result;
    if (bytes.empty()) {
        result.error = PbjError::Empty;
        return result;
    }
    try {
        result.program = Parser(bytes).run();
    } catch (const Failed& f) {
        result.error = f.error;
    }
    return result;
}

} // namespace shader
