#pragma once
// Writes AGAL bytecode for the tests: the header and 24-byte tokens as Adobe documents them.

#include "stage3d/Agal.h"

#include <cstdint>
#include <vector>

namespace stage3d::testing {

struct AgalOperand {
    RegisterType type = RegisterType::Attribute;
    std::uint16_t index = 0;
    std::uint8_t swizzle = 0xE4;
    std::uint8_t mask = 0xF;
};

class AgalWriter {
  public:
    explicit AgalWriter(ProgramKind kind, std::uint32_t version = 1) {
        bytes_.push_back(0xa0);
        word(version);
        bytes_.push_back(0xa1);
        bytes_.push_back(static_cast<std::uint8_t>(kind));
    }
    using Operand = AgalOperand;
    AgalWriter& op(std::uint32_t opcode, Operand dest, Operand a, Operand b = AgalOperand{}) {
        word(opcode);
        word(static_cast<std::uint32_t>(dest.index) | static_cast<std::uint32_t>(dest.mask) << 16 |
             static_cast<std::uint32_t>(dest.type) << 24);
        source(a);
        source(b);
        return *this;
    }
    // tex dest, coordinates, fs<index> with the sampler bits given (filter, wrap, mipmap...).
    AgalWriter& tex(Operand dest, Operand coordinates, std::uint16_t sampler, std::uint32_t bits) {
        word(OpTex);
        word(static_cast<std::uint32_t>(dest.index) | static_cast<std::uint32_t>(dest.mask) << 16 |
             static_cast<std::uint32_t>(dest.type) << 24);
        source(coordinates);
        word(sampler);
        word(5u | bits);
        return *this;
    }
    AgalWriter& raw(std::uint32_t w) {
        word(w);
        return *this;
    }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    void word(std::uint32_t w) {
        for (int i = 0; i < 4; ++i) {
            bytes_.push_back(static_cast<std::uint8_t>(w >> (8 * i)));
        }
    }
    void source(const Operand& s) {
        word(static_cast<std::uint32_t>(s.index) | static_cast<std::uint32_t>(s.swizzle) << 24);
        word(static_cast<std::uint32_t>(s.type));
    }
    std::vector<std::uint8_t> bytes_;
};

constexpr AgalWriter::Operand va(std::uint16_t i) {
    return {RegisterType::Attribute, i};
}
constexpr AgalWriter::Operand vc(std::uint16_t i) {
    return {RegisterType::Constant, i};
}
constexpr AgalWriter::Operand vt(std::uint16_t i, std::uint8_t mask = 0xF) {
    return {RegisterType::Temporary, i, 0xE4, mask};
}
constexpr AgalWriter::Operand out(std::uint16_t i = 0) {
    return {RegisterType::Output, i};
}
constexpr AgalWriter::Operand vary(std::uint16_t i) {
    return {RegisterType::Varying, i};
}

} // namespace stage3d::testing
