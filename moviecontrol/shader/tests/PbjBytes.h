#pragma once
// Writes Pixel Bender bytecode for the tests, instruction by instruction.
#include "shader/PbjProgram.h"

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

namespace shader::testing {

// Source register: index (0x8000 for int) with a swizzle of channel numbers (x = 0...).
inline std::uint32_t src(std::uint16_t reg, std::initializer_list<int> channels = {0, 1, 2, 3}) {
    std::uint32_t swizzle = 0;
    int i = 0;
    for (const int c : channels) {
        swizzle |= static_cast<std::uint32_t>(c & 3) << (6 - 2 * i++);
    }
    return reg | (swizzle << 16);
}

class PbjBytes {
  public:
    std::vector<std::uint8_t> bytes;

    PbjBytes& u8(unsigned v) {
        bytes.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    PbjBytes& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    PbjBytes& u24(std::uint32_t v) { return u16(v & 0xFFFF).u8((v >> 16) & 0xFF); }
    PbjBytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    PbjBytes& text(const std::string& s) {
        for (const char c : s) {
            u8(static_cast<unsigned char>(c));
        }
        return u8(0);
    }
    PbjBytes& beFloat(float f) {
        const auto v = std::bit_cast<std::uint32_t>(f);
        return u8(v >> 24).u8((v >> 16) & 0xFF).u8((v >> 8) & 0xFF).u8(v & 0xFF);
    }

    PbjBytes& version(std::uint32_t v) { return u8(op::Version).u32(v); }
    PbjBytes& name(const std::string& n) {
        u8(op::Name).u16(static_cast<unsigned>(n.size()));
        for (const char c : n) {
            u8(static_cast<unsigned char>(c));
        }
        return *this;
    }
    PbjBytes& param(bool output, PbjType type, std::uint16_t reg, unsigned mask,
                    const std::string& n) {
        return u8(op::Parameter)
            .u8(output ? 2 : 1)
            .u8(static_cast<unsigned>(type))
            .u16(reg)
            .u8(mask)
            .text(n);
    }
    PbjBytes& metaFloat(const std::string& key, float v, bool kernel = false) {
        return u8(kernel ? op::KernelMeta : op::ParameterMeta)
            .u8(static_cast<unsigned>(PbjType::Float))
            .text(key)
            .beFloat(v);
    }
    PbjBytes& metaInt(const std::string& key, int v, bool kernel = false) {
        return u8(kernel ? op::KernelMeta : op::ParameterMeta)
            .u8(static_cast<unsigned>(PbjType::Int))
            .text(key)
            .u16(static_cast<unsigned>(v) & 0xFFFF);
    }
    PbjBytes& metaString(const std::string& key, const std::string& v) {
        return u8(op::KernelMeta).u8(static_cast<unsigned>(PbjType::String)).text(key).text(v);
    }
    PbjBytes& texture(unsigned index, unsigned channels, const std::string& n) {
        return u8(op::Texture).u8(index).u8(channels).text(n);
    }
    // dst = dst (op) src over `size` components, written to the masked channels.
    PbjBytes& op(std::uint8_t code, std::uint16_t dst, unsigned mask, std::uint32_t source,
                 unsigned size) {
        return u8(code).u16(dst).u8((mask << 4) | ((size - 1) & 3)).u24(source).u8(0);
    }
    PbjBytes& matrixOp(std::uint8_t code, std::uint16_t dst, unsigned mask, std::uint16_t source,
                       unsigned n) {
        return u8(code).u16(dst).u8((mask << 4) | ((n - 1) << 2)).u24(source).u8(0);
    }
    PbjBytes& loadFloat(std::uint16_t dst, unsigned mask, float v) {
        return u8(op::LoadConstant).u16(dst).u8(mask << 4).beFloat(v);
    }
    PbjBytes& loadInt(std::uint16_t dst, unsigned mask, std::int32_t v) {
        return u8(op::LoadConstant).u16(dst).u8(mask << 4).u32(static_cast<std::uint32_t>(v));
    }
    PbjBytes& sample(std::uint8_t code, std::uint16_t dst, unsigned mask, std::uint32_t coord,
                     unsigned tex) {
        return u8(code).u16(dst).u8(mask << 4).u24(coord).u8(tex);
    }
    PbjBytes& ifOp(std::uint32_t condition) { return u8(op::If).u24(0).u24(condition).u8(0); }
    PbjBytes& elseOp() { return u8(op::Else).u32(0).u24(0); }
    PbjBytes& endIf() { return u8(op::EndIf).u32(0).u24(0); }
    PbjBytes& select(std::uint16_t dst, unsigned mask, std::uint32_t cond, std::uint32_t a,
                     std::uint32_t b) {
        return u8(op::Select).u16(dst).u8(mask << 4).u24(cond).u8(0).u24(a).u8(0).u24(b).u8(0);
    }
};

} // namespace shader::testing
