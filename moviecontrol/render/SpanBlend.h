#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Source-over blending of premultiplied ARGB32 pixels at a coverage, four at a time where the
// processor allows: the filler's time goes here once its coverage is known.

namespace mc::spanblend {

// A colour as a premultiplied pixel.
inline std::uint32_t premultiplied(std::uint32_t a, std::uint32_t r, std::uint32_t g,
                                   std::uint32_t b) {
    auto mul = [a](std::uint32_t v) { return (v * a + 127) / 255; };
    return (a << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

// Each of the four channels times `a` / 255, rounded, two channels at a time.
inline std::uint32_t byteMul(std::uint32_t x, std::uint32_t a) {
    std::uint32_t t = (x & 0xff00ffu) * a;
    t = (t + ((t >> 8) & 0xff00ffu) + 0x800080u) >> 8;
    t &= 0xff00ffu;
    x = ((x >> 8) & 0xff00ffu) * a;
    x = x + ((x >> 8) & 0xff00ffu) + 0x800080u;
    x &= 0xff00ff00u;
    return x | t;
}

inline void blend(std::uint32_t& dst, std::uint32_t src, std::uint32_t coverage) {
    if (coverage == 255 && (src >> 24) == 255) {
        dst = src;
        return;
    }
    const std::uint32_t s = coverage == 255 ? src : byteMul(src, coverage);
    dst = s + byteMul(dst, 255 - (s >> 24));
}

#if defined(__SSE2__)
inline __m128i mul255(__m128i x, __m128i a) {
    const __m128i t = _mm_mullo_epi16(x, a);
    return _mm_srli_epi16(
        _mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), _mm_set1_epi16(128)), 8);
}

// Four pixels of `s` over `d`, pixel i at the coverage in the 16-bit lanes of its half.
inline __m128i blend4(__m128i s, __m128i d, __m128i coverageLo, __m128i coverageHi) {
    const __m128i z = _mm_setzero_si128();
    const __m128i k255 = _mm_set1_epi16(255);
    const __m128i sLo = mul255(_mm_unpacklo_epi8(s, z), coverageLo);
    const __m128i sHi = mul255(_mm_unpackhi_epi8(s, z), coverageHi);
    const __m128i aLo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sLo, 0xff), 0xff);
    const __m128i aHi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sHi, 0xff), 0xff);
    const __m128i dLo = mul255(_mm_unpacklo_epi8(d, z), _mm_sub_epi16(k255, aLo));
    const __m128i dHi = mul255(_mm_unpackhi_epi8(d, z), _mm_sub_epi16(k255, aHi));
    return _mm_packus_epi16(_mm_add_epi16(sLo, dLo), _mm_add_epi16(sHi, dHi));
}

// Four pixels of `s` over `d`, wholly covered.
inline __m128i over4(__m128i s, __m128i d) {
    const __m128i z = _mm_setzero_si128();
    const __m128i k255 = _mm_set1_epi16(255);
    const __m128i sLo = _mm_unpacklo_epi8(s, z);
    const __m128i sHi = _mm_unpackhi_epi8(s, z);
    const __m128i aLo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sLo, 0xff), 0xff);
    const __m128i aHi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sHi, 0xff), 0xff);
    const __m128i dLo = mul255(_mm_unpacklo_epi8(d, z), _mm_sub_epi16(k255, aLo));
    const __m128i dHi = mul255(_mm_unpackhi_epi8(d, z), _mm_sub_epi16(k255, aHi));
    return _mm_packus_epi16(_mm_add_epi16(sLo, dLo), _mm_add_epi16(sHi, dHi));
}

// Four pixels of `s` over `d`, pixel i at byte i of `coverage`.
inline __m128i blend4(__m128i s, __m128i d, std::uint32_t coverage) {
    __m128i c =
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(coverage)), _mm_setzero_si128());
    c = _mm_unpacklo_epi16(c, c);
    return blend4(s, d, _mm_unpacklo_epi32(c, c), _mm_unpackhi_epi32(c, c));
}
#endif

// Blends `colour` onto `count` pixels from `d`, pixel i at `coverage[i]`, or all at `level`
// when `coverage` is null.
inline void blendSolid(std::uint32_t* d, std::uint32_t colour, int count,
                       const std::uint8_t* coverage, std::uint32_t level) {
    int i = 0;
    const bool opaque = (colour >> 24) == 255;
    if (coverage == nullptr) {
        if (level == 255 && opaque) {
            std::fill(d, d + count, colour);
            return;
        }
#if defined(__SSE2__)
        const __m128i c = _mm_set1_epi16(static_cast<short>(level));
        const __m128i s = _mm_set1_epi32(static_cast<int>(colour));
        for (; i + 4 <= count; i += 4) {
            auto* p = reinterpret_cast<__m128i*>(d + i);
            _mm_storeu_si128(p, blend4(s, _mm_loadu_si128(p), c, c));
        }
#endif
        for (; i < count; ++i) {
            blend(d[i], colour, level);
        }
        return;
    }
#if defined(__SSE2__)
    const __m128i s = _mm_set1_epi32(static_cast<int>(colour));
    for (; i + 4 <= count; i += 4) {
        std::uint32_t four = 0;
        std::memcpy(&four, coverage + i, 4);
        if (four == 0) {
            continue;
        }
        auto* p = reinterpret_cast<__m128i*>(d + i);
        if (four == 0xffffffffu && opaque) {
            _mm_storeu_si128(p, s);
            continue;
        }
        _mm_storeu_si128(p, blend4(s, _mm_loadu_si128(p), four));
    }
#endif
    for (; i < count; ++i) {
        if (coverage[i] != 0) {
            blend(d[i], colour, coverage[i]);
        }
    }
}

// Blends `count` premultiplied pixels of `source` onto those from `d`, pixel i at
// `coverage[i]`, or all at `level` when `coverage` is null.
inline void blendSpan(std::uint32_t* d, const std::uint32_t* source, int count,
                      const std::uint8_t* coverage, std::uint32_t level) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i opaqueAlpha = _mm_set1_epi32(static_cast<int>(0xff000000u));
    const std::uint32_t levels = level * 0x01010101u;
    for (; i + 4 <= count; i += 4) {
        std::uint32_t four = levels;
        if (coverage != nullptr) {
            std::memcpy(&four, coverage + i, 4);
        }
        if (four == 0) {
            continue;
        }
        auto* p = reinterpret_cast<__m128i*>(d + i);
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
        if (four == 0xffffffffu) {
            const bool opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, opaqueAlpha),
                                                                  opaqueAlpha)) == 0xffff;
            _mm_storeu_si128(p, opaque ? s : over4(s, _mm_loadu_si128(p)));
            continue;
        }
        _mm_storeu_si128(p, blend4(s, _mm_loadu_si128(p), four));
    }
#endif
    for (; i < count; ++i) {
        const std::uint32_t c = coverage != nullptr ? coverage[i] : level;
        if (c != 0) {
            blend(d[i], source[i], c);
        }
    }
}

} // namespace mc::spanblend
