#include "FilterReader.h"

#include "BasicRecords.h"

namespace swf {

namespace {

// Shadow and glow filters keep five bits of passes; bevels give one of them to "on top".
template <typename F> std::uint8_t readShadowFlags(ByteReader& r, F& f, std::uint8_t passMask) {
    const std::uint8_t flags = r.u8();
    f.inner = (flags & 0x80) != 0;
    f.knockout = (flags & 0x40) != 0;
    f.compositeSource = (flags & 0x20) != 0;
    f.passes = flags & passMask;
    return flags;
}

template <typename F> void readBevelFlags(ByteReader& r, F& f) {
    f.onTop = (readShadowFlags(r, f, 0x0F) & 0x10) != 0;
}

GradientFilterParams readGradientFilter(ByteReader& r) {
    GradientFilterParams g;
    const std::uint8_t count = r.u8();
    // At most 255 stops; the colours come first, then the ratios.
    g.stops.resize(count);
    for (auto& stop : g.stops) {
        stop.color = readRgba(r);
    }
    for (auto& stop : g.stops) {
        stop.ratio = r.u8();
    }
    g.blurX = r.fixed16();
    g.blurY = r.fixed16();
    g.angle = r.fixed16();
    g.distance = r.fixed16();
    g.strength = r.fixed8();
    readBevelFlags(r, g);
    return g;
}

} // namespace

std::vector<Filter> readFilterList(ByteReader& r, ReadContext& ctx) {
    std::vector<Filter> filters;
    const std::uint8_t count = r.u8();
    for (unsigned i = 0; i < count && !r.failed(); ++i) {
        switch (r.u8()) {
        case 0: {
            DropShadowFilter f;
            f.color = readRgba(r);
            f.blurX = r.fixed16();
            f.blurY = r.fixed16();
            f.angle = r.fixed16();
            f.distance = r.fixed16();
            f.strength = r.fixed8();
            readShadowFlags(r, f, 0x1F);
            filters.emplace_back(f);
            break;
        }
        case 1: {
            BlurFilter f;
            f.blurX = r.fixed16();
            f.blurY = r.fixed16();
            f.passes = static_cast<std::uint8_t>(r.u8() >> 3);
            filters.emplace_back(f);
            break;
        }
        case 2: {
            GlowFilter f;
            f.color = readRgba(r);
            f.blurX = r.fixed16();
            f.blurY = r.fixed16();
            f.strength = r.fixed8();
            readShadowFlags(r, f, 0x1F);
            filters.emplace_back(f);
            break;
        }
        case 3: {
            BevelFilter f;
            // Files store the highlight colour first, whatever the documentation says.
            f.highlightColor = readRgba(r);
            f.shadowColor = readRgba(r);
            f.blurX = r.fixed16();
            f.blurY = r.fixed16();
            f.angle = r.fixed16();
            f.distance = r.fixed16();
            f.strength = r.fixed8();
            readBevelFlags(r, f);
            filters.emplace_back(f);
            break;
        }
        case 4:
            filters.emplace_back(GradientGlowFilter{readGradientFilter(r)});
            break;
        case 5: {
            ConvolutionFilter f;
            f.columns = r.u8();
            f.rows = r.u8();
            f.divisor = r.float32();
            f.bias = r.float32();
            const std::size_t n = std::size_t{f.columns} * f.rows;
            if (n * 4 > r.remaining()) {
                r.setFailed();
                break;
            }
            f.matrix.resize(n);
            for (float& v : f.matrix) {
                v = r.float32();
            }
            f.defaultColor = readRgba(r);
            const std::uint8_t flags = r.u8();
            f.clamp = (flags & 0x02) != 0;
            f.preserveAlpha = (flags & 0x01) != 0;
            filters.emplace_back(std::move(f));
            break;
        }
        case 6: {
            ColorMatrixFilter f;
            for (float& v : f.matrix) {
                v = r.float32();
            }
            filters.emplace_back(f);
            break;
        }
        case 7:
            filters.emplace_back(GradientBevelFilter{readGradientFilter(r)});
            break;
        default:
            ctx.invalid = true;
            return filters;
        }
    }
    if (r.failed() && !filters.empty()) {
        // The last filter ran out of bytes; its fields are zeros, not what the author meant.
        filters.pop_back();
    }
    return filters;
}

} // namespace swf
