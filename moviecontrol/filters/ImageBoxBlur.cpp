#include "ImageBoxBlur.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace mc {
namespace {

// Weights in 32-bit fixed point: out = (sum * full + ends * end) >> 32, truncated as Flash's
// passes are. Sums stay below 2^21 (255 * 4097), so the products fit 64 bits. Weights are
// rounded up, so that a whole result (an opaque area) stays whole; the excess is below
// 2^21 / 2^32 of a level.
constexpr int kShift = 32;
constexpr std::uint64_t kOne = std::uint64_t{1} << kShift;

struct FixedBox {
    int radius = 0;
    std::uint64_t full = kOne;
    std::uint64_t end = 0;
};

FixedBox fixedBox(double width) {
    // One axis may be unblurred while the other is: that box is the identity, and its
    // weights would not fit their fixed point.
    if (!(width > 1.0)) {
        return FixedBox{};
    }
    const double half = (width - 1.0) / 2.0;
    FixedBox box;
    box.radius = static_cast<int>(std::floor(half));
    const double endWeight = half - box.radius;
    box.full = static_cast<std::uint64_t>(std::ceil(static_cast<double>(kOne) / width));
    box.end = static_cast<std::uint64_t>(std::ceil(endWeight * static_cast<double>(kOne) / width));
    return box;
}

struct Sums {
    std::uint32_t c[4] = {0, 0, 0, 0};

    void add(QRgb p) {
        c[0] += p & 0xFF;
        c[1] += (p >> 8) & 0xFF;
        c[2] += (p >> 16) & 0xFF;
        c[3] += p >> 24;
    }
    void remove(QRgb p) {
        c[0] -= p & 0xFF;
        c[1] -= (p >> 8) & 0xFF;
        c[2] -= (p >> 16) & 0xFF;
        c[3] -= p >> 24;
    }
};

inline std::uint32_t weigh(std::uint32_t sum, std::uint32_t ends, const FixedBox& box) {
    return static_cast<std::uint32_t>((sum * box.full + ends * box.end) >> kShift);
}

inline QRgb pack(const std::uint32_t (&v)[4]) {
    return std::min<std::uint32_t>(v[0], 255) | (std::min<std::uint32_t>(v[1], 255) << 8) |
           (std::min<std::uint32_t>(v[2], 255) << 16) | (std::min<std::uint32_t>(v[3], 255) << 24);
}

inline std::uint32_t channel(QRgb p, int shift) {
    return (p >> shift) & 0xFF;
}

// One pass along a row, read from a copy padded with transparency one box wide each side.
void blurRow(QRgb* row, int width, const FixedBox& box, std::vector<QRgb>& padded) {
    const auto pad = static_cast<std::size_t>(box.radius) + 1;
    padded.assign(static_cast<std::size_t>(width) + 2 * pad, 0u);
    std::copy(row, row + width, padded.begin() + static_cast<std::ptrdiff_t>(pad));
    const QRgb* centre = padded.data() + pad;
    Sums sums;
    for (int i = -box.radius; i <= box.radius; ++i) {
        sums.add(centre[i]);
    }
    for (int i = 0; i < width; ++i) {
        const QRgb before = centre[i - box.radius - 1];
        const QRgb after = centre[i + box.radius + 1];
        std::uint32_t out[4];
        for (int c = 0; c < 4; ++c) {
            const int shift = c * 8;
            out[c] = weigh(sums.c[c], channel(before, shift) + channel(after, shift), box);
        }
        row[i] = pack(out);
        sums.add(after);
        sums.remove(centre[i - box.radius]);
    }
}

// One pass down the columns, a whole row at a time so memory is read in order; one running
// sum per column and channel.
void blurColumns(QImage& image, const FixedBox& box, std::vector<QRgb>& source,
                 std::vector<std::uint32_t>& sums) {
    const int width = image.width();
    const int height = image.height();
    const auto w = static_cast<std::size_t>(width);
    source.resize(w * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::copy(line, line + width, source.begin() + static_cast<std::ptrdiff_t>(y * w));
    }
    sums.assign(w * 4, 0u);
    const auto row = [&](int y) -> const QRgb* {
        return y >= 0 && y < height ? source.data() + static_cast<std::size_t>(y) * w : nullptr;
    };
    const auto addRow = [&](const QRgb* values, bool subtract) {
        if (values == nullptr) {
            return;
        }
        for (std::size_t x = 0; x < w; ++x) {
            const QRgb p = values[x];
            std::uint32_t* s = sums.data() + x * 4;
            for (int c = 0; c < 4; ++c) {
                const std::uint32_t v = channel(p, c * 8);
                s[c] = subtract ? s[c] - v : s[c] + v;
            }
        }
    };
    for (int y = -box.radius; y <= box.radius; ++y) {
        addRow(row(y), false);
    }
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        const QRgb* before = row(y - box.radius - 1);
        const QRgb* after = row(y + box.radius + 1);
        for (std::size_t x = 0; x < w; ++x) {
            const QRgb b = before != nullptr ? before[x] : 0u;
            const QRgb a = after != nullptr ? after[x] : 0u;
            const std::uint32_t* s = sums.data() + x * 4;
            std::uint32_t v[4];
            for (int c = 0; c < 4; ++c) {
                const int shift = c * 8;
                v[c] = weigh(s[c], channel(b, shift) + channel(a, shift), box);
            }
            out[x] = pack(v);
        }
        addRow(after, false);
        addRow(row(y - box.radius), true);
    }
}

} // namespace

void boxBlurImage(QImage& image, const BlurSize& size) {
    if (size.none() || image.isNull() || image.format() != QImage::Format_ARGB32_Premultiplied) {
        return;
    }
    const FixedBox horizontal = fixedBox(size.x);
    const FixedBox vertical = fixedBox(size.y);
    std::vector<QRgb> padded;
    std::vector<QRgb> source;
    std::vector<std::uint32_t> sums;
    for (int pass = 0; pass < size.passes; ++pass) {
        if (size.x > 1.0) {
            for (int y = 0; y < image.height(); ++y) {
                blurRow(reinterpret_cast<QRgb*>(image.scanLine(y)), image.width(), horizontal,
                        padded);
            }
        }
        if (size.y > 1.0) {
            blurColumns(image, vertical, source, sums);
        }
    }
}

} // namespace mc
