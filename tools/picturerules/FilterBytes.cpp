#include "FilterBytes.h"

#include <bit>
#include <cmath>

namespace picturerules {
namespace {

void u8(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
}

void u32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        u8(out, (v >> (8 * i)) & 0xFFu);
    }
}

void rgba(std::vector<uint8_t>& out, const moviemaker::Rgba& c) {
    u8(out, c.r);
    u8(out, c.g);
    u8(out, c.b);
    u8(out, c.a);
}

void fixed(std::vector<uint8_t>& out, double v) {
    u32(out, static_cast<uint32_t>(static_cast<int32_t>(std::lround(v * 65536.0))));
}

void fixed8(std::vector<uint8_t>& out, double v) {
    const auto f = static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 256.0)));
    u8(out, f & 0xFFu);
    u8(out, f >> 8);
}

void real(std::vector<uint8_t>& out, float v) {
    u32(out, std::bit_cast<uint32_t>(v));
}

uint8_t flags3(const ShadowLike& f) {
    return static_cast<uint8_t>((f.inner ? 0x80 : 0) | (f.knockout ? 0x40 : 0) |
                                (f.compositeSource ? 0x20 : 0) | (f.passes & 0x1F));
}

uint8_t flags4(const ShadowLike& f) {
    return static_cast<uint8_t>((f.inner ? 0x80 : 0) | (f.knockout ? 0x40 : 0) |
                                (f.compositeSource ? 0x20 : 0) | (f.onTop ? 0x10 : 0) |
                                (f.passes & 0x0F));
}

} // namespace

void dropShadow(std::vector<uint8_t>& list, const ShadowLike& f) {
    u8(list, 0);
    rgba(list, f.color);
    fixed(list, f.blurX);
    fixed(list, f.blurY);
    fixed(list, f.angle);
    fixed(list, f.distance);
    fixed8(list, f.strength);
    u8(list, flags3(f));
}

void blur(std::vector<uint8_t>& list, double blurX, double blurY, uint8_t passes) {
    u8(list, 1);
    fixed(list, blurX);
    fixed(list, blurY);
    u8(list, static_cast<uint32_t>(passes) << 3);
}

void glow(std::vector<uint8_t>& list, const ShadowLike& f) {
    u8(list, 2);
    rgba(list, f.color);
    fixed(list, f.blurX);
    fixed(list, f.blurY);
    fixed8(list, f.strength);
    u8(list, flags3(f));
}

void bevel(std::vector<uint8_t>& list, const ShadowLike& f) {
    u8(list, 3);
    rgba(list, f.color);
    rgba(list, f.highlight);
    fixed(list, f.blurX);
    fixed(list, f.blurY);
    fixed(list, f.angle);
    fixed(list, f.distance);
    fixed8(list, f.strength);
    u8(list, flags4(f));
}

void gradientGlow(std::vector<uint8_t>& list, const GradientFilter& f, bool isBevel) {
    u8(list, isBevel ? 7 : 4);
    u8(list, static_cast<uint32_t>(f.colors.size()));
    for (const auto& c : f.colors) {
        rgba(list, c);
    }
    for (uint8_t r : f.ratios) {
        u8(list, r);
    }
    fixed(list, f.common.blurX);
    fixed(list, f.common.blurY);
    fixed(list, f.common.angle);
    fixed(list, f.common.distance);
    fixed8(list, f.common.strength);
    u8(list, flags4(f.common));
}

void convolution(std::vector<uint8_t>& list, uint8_t columns, uint8_t rows,
                 const std::vector<float>& matrix, float divisor, float bias, bool clamp,
                 bool preserveAlpha, moviemaker::Rgba fallback) {
    u8(list, 5);
    u8(list, columns);
    u8(list, rows);
    real(list, divisor);
    real(list, bias);
    for (float v : matrix) {
        real(list, v);
    }
    rgba(list, fallback);
    u8(list, (clamp ? 2u : 0u) | (preserveAlpha ? 1u : 0u));
}

void colorMatrix(std::vector<uint8_t>& list, const std::vector<float>& matrix) {
    u8(list, 6);
    for (float v : matrix) {
        real(list, v);
    }
}

std::vector<uint8_t> filterList(int count, const std::vector<uint8_t>& records) {
    std::vector<uint8_t> out(records);
    out.insert(out.begin(), static_cast<uint8_t>(count));
    return out;
}

} // namespace picturerules
