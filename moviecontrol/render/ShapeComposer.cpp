#include "ShapeComposer.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "MaskCoverage.h"
#include "ScanlineCoverage.h"
#include "ScanlineFill.h"

namespace mc {

namespace {

// What the fills above have made of one pixel so far, the topmost fill taken first: the
// light they give, the share of the pixel none covers yet, and how much of what lies behind
// still shows through the share they do cover.
struct Pixel {
    float colour[4]; // premultiplied, 0..255, in the pixel's byte order from the lowest
    float open;      // 0..1
    float through;   // 0..1, at most 1 - open
};

constexpr Pixel kUntouched{{0.0f, 0.0f, 0.0f, 0.0f}, 1.0f, 0.0f};
// How far a pixel of the band is: most are either untouched or wholly covered by one opaque
// fill, and only the rest need the arithmetic (and the memory) of a Pixel.
enum State : std::uint8_t {
    kUntouchedState = 0,
    kPartial = 1, // its Pixel holds what the fills so far made of it
    kDone = 2,    // written already: an opaque fill covers it whole with none above
};

struct Paint {
    float colour[4];
    float alpha; // 0..1
};

// The painter's opacity scales each fill, as it does when they are drawn one by one.
Paint paintOf(std::uint32_t premultiplied, float opacity) {
    Paint p{};
    for (int c = 0; c < 4; ++c) {
        p.colour[c] = opacity * static_cast<float>((premultiplied >> (8 * c)) & 0xffu);
    }
    p.alpha = p.colour[3] / 255.0f;
    return p;
}

// A fill covering `share` of the pixel lies beneath the fills taken before it. Coverage alone
// does not tell where in the pixel it lies: it is taken to fill the open share first, as fills
// meeting along an edge do, and to lie under the covered share for the rest, as a fill
// running on under a smaller one above it does.
inline void addBeneath(Pixel& px, const Paint& paint, float share) {
    const float open = std::min(share, px.open);
    const float under = share - open;
    const float covered = 1.0f - px.open;
    float weight = open;
    if (under > 0.0f && covered > 0.0f && px.through > 0.0f) {
        // Spread evenly under the covered share, it shows as much as that share lets through.
        const float shown = under * px.through / covered;
        weight += shown;
        px.through -= shown * paint.alpha;
    }
    for (int c = 0; c < 4; ++c) {
        px.colour[c] += weight * paint.colour[c];
    }
    px.through += open * (1.0f - paint.alpha);
    px.open -= open;
}

inline std::uint32_t channel(float v) {
    return static_cast<std::uint32_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
}

// The finished pixel over what the image holds, `shown` of it let through by a mask.
inline std::uint32_t over(const Pixel& px, std::uint32_t dst, float shown) {
    const float behind = 1.0f - shown * (1.0f - px.open - px.through);
    std::uint32_t out = 0;
    std::uint32_t alpha = 0;
    for (int c = 3; c >= 0; --c) {
        const auto d = static_cast<float>((dst >> (8 * c)) & 0xffu);
        std::uint32_t v = channel(shown * px.colour[c] + behind * d);
        // A premultiplied colour never exceeds its alpha.
        v = c == 3 ? v : std::min(v, alpha);
        alpha = c == 3 ? v : alpha;
        out |= v << (8 * c);
    }
    return out;
}

} // namespace

bool composeSolidFills(QPainter& painter, std::span<const SolidFill> fills,
                       const MaskCoverage* mask) {
    const std::optional<ScanlineTarget> target = scanlineTarget(painter, mask);
    if (!target) {
        return false;
    }
    if (!target->toDevice.isInvertible() || target->opacity == 0) {
        return true; // nothing to see
    }
    QRect area;
    for (const SolidFill& fill : fills) {
        if (fill.colour.alpha() != 0) {
            area |= target->areaOf(*fill.path);
        }
    }
    if (area.isEmpty()) {
        return true;
    }
    // Topmost first: each fill then lies beneath all those already taken.
    struct Layer {
        ScanlineCoverage coverage;
        Qt::FillRule rule;
        Paint paint;
        std::uint32_t premultiplied;
    };
    const float opacity = static_cast<float>(target->opacity) / 255.0f;
    std::vector<Layer> layers;
    layers.reserve(fills.size());
    for (auto it = fills.rbegin(); it != fills.rend(); ++it) {
        if (it->colour.alpha() == 0 || target->areaOf(*it->path).isEmpty()) {
            continue;
        }
        const std::uint32_t colour = premultipliedColour(it->colour);
        Layer layer{ScanlineCoverage(area), it->path->fillRule(), paintOf(colour, opacity), colour};
        if (layer.coverage.addPath(*it->path, target->toDevice)) {
            layers.push_back(std::move(layer));
        }
    }
    if (layers.empty()) {
        return true;
    }
    ScanlineCoverage::Scratch scratch;
    for (Layer& layer : layers) {
        layer.coverage.beginSweep(scratch);
    }
    const int width = area.width();
    const int bandRows = std::min(ScanlineCoverage::kBandRows, area.height());
    std::vector<Pixel> pixels(static_cast<std::size_t>(width) * bandRows);
    std::vector<std::uint8_t> states(static_cast<std::size_t>(width) * bandRows, kUntouchedState);
    // The columns each row of the band has pixels touched in, [first, end).
    std::vector<int> first(static_cast<std::size_t>(bandRows));
    std::vector<int> end(static_cast<std::size_t>(bandRows));
    for (int bandTop = 0; bandTop < area.height(); bandTop += bandRows) {
        const int top = area.top() + bandTop;
        std::fill(first.begin(), first.end(), width);
        std::fill(end.begin(), end.end(), 0);
        for (Layer& layer : layers) {
            const Paint& paint = layer.paint;
            const bool opaque = paint.alpha == 1.0f;
            layer.coverage.sweepBand(
                bandTop, layer.rule, scratch,
                [&](int y, int x, int count, const std::uint8_t* coverage, std::uint8_t level) {
                    const auto row = static_cast<std::size_t>(y - top);
                    const int from = x - area.left();
                    first[row] = std::min(first[row], from);
                    end[row] = std::max(end[row], from + count);
                    Pixel* px = pixels.data() + row * width + from;
                    std::uint8_t* st = states.data() + row * width + from;
                    std::uint32_t* dst = target->row(y) + x;
                    const std::uint8_t* shown =
                        mask != nullptr ? mask->row(y) + (x - mask->area().left()) : nullptr;
                    for (int i = 0; i < count; ++i) {
                        const std::uint8_t c = coverage != nullptr ? coverage[i] : level;
                        if (c == 0 || st[i] == kDone) {
                            continue;
                        }
                        if (st[i] == kUntouchedState) {
                            if (c == 255 && opaque && (shown == nullptr || shown[i] == 255)) {
                                // Nothing above it and nothing behind shows: the pixel is done.
                                dst[i] = layer.premultiplied;
                                st[i] = kDone;
                                continue;
                            }
                            px[i] = kUntouched;
                            st[i] = kPartial;
                        }
                        if (px[i].open > 0.0f || px[i].through > 0.0f) {
                            addBeneath(px[i], paint, static_cast<float>(c) / 255.0f);
                        }
                    }
                });
        }
        const int rows = std::min(bandRows, area.height() - bandTop);
        for (int row = 0; row < rows; ++row) {
            const auto r = static_cast<std::size_t>(row);
            if (first[r] >= end[r]) {
                continue;
            }
            std::uint32_t* dst = target->row(top + row) + area.left();
            const Pixel* px = pixels.data() + r * width;
            std::uint8_t* st = states.data() + r * width;
            const std::uint8_t* shown =
                mask != nullptr ? mask->row(top + row) + (area.left() - mask->area().left())
                                : nullptr;
            for (int x = first[r]; x < end[r]; ++x) {
                const float share = shown != nullptr ? static_cast<float>(shown[x]) / 255.0f : 1.0f;
                if (st[x] == kPartial && px[x].open < 1.0f && share > 0.0f) {
                    dst[x] = over(px[x], dst[x], share);
                }
            }
            std::fill(st + first[r], st + end[r], kUntouchedState);
        }
    }
    return true;
}

} // namespace mc
