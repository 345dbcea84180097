#include "MaskedImage.h"

#include <cstring>
#include <vector>

#include "MaskCoverage.h"
#include "ScanlineFill.h"
#include "SpanBlend.h"

namespace mc {

namespace {

// Premultiplied `src` over `dst`, pixel i at `coverage[i]`, four at a time where the
// processor allows. Kept pictures are mostly transparent or opaque, and masks mostly show
// them whole: those pixels take the short ways.
void blendRow(std::uint32_t* dst, const std::uint32_t* src, const std::uint8_t* coverage,
              int count) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i z = _mm_setzero_si128();
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xff000000u));
    for (; i + 4 <= count; i += 4) {
        std::uint32_t four = 0;
        std::memcpy(&four, coverage + i, 4);
        if (four == 0) {
            continue;
        }
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(s, z)) == 0xffff) {
            continue;
        }
        auto* d = reinterpret_cast<__m128i*>(dst + i);
        if (four == 0xffffffffu) {
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, opaque), opaque)) == 0xffff) {
                _mm_storeu_si128(d, s);
            } else {
                _mm_storeu_si128(d, spanblend::over4(s, _mm_loadu_si128(d)));
            }
            continue;
        }
        __m128i c = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(four)), z);
        c = _mm_unpacklo_epi16(c, c);
        _mm_storeu_si128(d, spanblend::blend4(s, _mm_loadu_si128(d), _mm_unpacklo_epi32(c, c),
                                              _mm_unpackhi_epi32(c, c)));
    }
#endif
    for (; i < count; ++i) {
        if (coverage[i] != 0 && src[i] != 0) {
            spanblend::blend(dst[i], src[i], coverage[i]);
        }
    }
}

} // namespace

bool drawImageUnderMask(QPainter& painter, QPoint at, const QImage& image,
                        const MaskCoverage& mask) {
    const std::optional<ScanlineTarget> target = scanlineTarget(painter, &mask);
    if (!target || image.format() != QImage::Format_ARGB32_Premultiplied) {
        return false;
    }
    const QRect area = target->drawable & QRect(at, image.size());
    if (area.isEmpty() || target->opacity == 0) {
        return true;
    }
    std::vector<std::uint8_t> faded(static_cast<std::size_t>(area.width()));
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const std::uint8_t* shown = mask.row(y) + (area.left() - mask.area().left());
        if (target->opacity != 255) {
            mask.apply(y, area.left(), area.width(), nullptr,
                       static_cast<std::uint8_t>(target->opacity), faded.data());
            shown = faded.data();
        }
        const auto* src = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y - at.y())) +
                          (area.left() - at.x());
        blendRow(target->row(y) + area.left(), src, shown, area.width());
    }
    return true;
}

} // namespace mc
