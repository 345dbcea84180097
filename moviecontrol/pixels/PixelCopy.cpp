#include "pixels/PixelCopy.h"

#include <algorithm>
#include <vector>

namespace pixels {

namespace {

// Premultiplied `top` laid over premultiplied `bottom`.
std::uint32_t over(std::uint32_t top, std::uint32_t bottom) {
    const std::uint32_t keep = 255 - (top >> 24);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t t = (top >> shift) & 0xFF;
        const std::uint32_t b = (bottom >> shift) & 0xFF;
        out |= std::min<std::uint32_t>(t + (b * keep + 127) / 255, 255) << shift;
    }
    return out;
}

} // namespace

void copyPixels(BitmapPixels& dest, const BitmapPixels& source, Placement at,
                std::optional<AlphaSource> alpha, bool mergeAlpha) {
    if (alpha && (alpha->bitmap == nullptr || !alpha->bitmap->transparent())) {
        // An opaque alpha bitmap scales nothing.
        alpha.reset();
    }
    if (alpha && alpha->bitmap == &source && alpha->x == at.from.x && alpha->y == at.from.y) {
        // A source that is its own alpha bitmap, read at the same pixels, lends each pixel the
        // alpha it already has: the player copies it as if no alpha bitmap were given, rather
        // than scaling the alpha by itself.
        alpha.reset();
    }
    const bool blend = source.transparent() && (mergeAlpha || !dest.transparent());
    if (!blend && !alpha) {
        dest.copy(source, at.from, at.toX, at.toY);
        return;
    }
    const Overlap o = overlapOf(dest, source, at);
    if (o.dest.width <= 0 || o.dest.height <= 0) {
        return;
    }
    // Read first: the source, the alpha bitmap and the destination may be one bitmap.
    const auto w = static_cast<std::size_t>(o.dest.width);
    std::vector<std::uint32_t> pixels(w * static_cast<std::size_t>(o.dest.height));
    std::vector<bool> reached(pixels.size(), true);
    for (int y = 0; y < o.dest.height; ++y) {
        for (int x = 0; x < o.dest.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x);
            std::uint32_t p = source.premultipliedAt(o.sourceX + x, o.sourceY + y);
            if (alpha) {
                const int ax = alpha->x + (o.sourceX + x - at.from.x);
                const int ay = alpha->y + (o.sourceY + y - at.from.y);
                if (!alpha->bitmap->contains(ax, ay)) {
                    reached[i] = false;
                    continue;
                }
                const std::uint32_t scale = alpha->bitmap->premultipliedAt(ax, ay) >> 24;
                // An opaque alpha pixel keeps the source's alpha as it is; any other scales it
                // by the player's shift, a 256th short of a true product.
                if (scale == 255 && source.transparent()) {
                    pixels[i] = p;
                    continue;
                }
                const std::uint32_t a = source.transparent() ? (scale * (p >> 24)) >> 8 : scale;
                const std::uint32_t colour = BitmapPixels::unmultiply(p) & 0x00FFFFFFu;
                p = BitmapPixels::premultiply((a << 24) | colour);
            }
            pixels[i] = p;
        }
    }
    const bool layOver = alpha ? mergeAlpha || !dest.transparent() : blend;
    for (int y = 0; y < o.dest.height; ++y) {
        for (int x = 0; x < o.dest.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x);
            if (!reached[i]) {
                continue;
            }
            const int dx = o.dest.x + x;
            const int dy = o.dest.y + y;
            dest.setPremultiplied(
                dx, dy, layOver ? over(pixels[i], dest.premultipliedAt(dx, dy)) : pixels[i]);
        }
    }
}

} // namespace pixels
