// Pixel operations of script-made bitmaps.

#include "pixels/BitmapPixels.h"

#include <algorithm>

namespace pixels {

BitmapPixels::BitmapPixels(int width, int height, bool transparent, std::uint32_t fill)
    : width_(width), height_(height), transparent_(transparent),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
              premultiply(transparent ? fill : (fill | 0xFF000000u))) {}

BitmapPixels BitmapPixels::fromPremultiplied(int width, int height, bool transparent,
                                             std::vector<std::uint32_t> pixels) {
    BitmapPixels out(width, height, transparent, 0);
    pixels.resize(out.pixels_.size(), 0);
    out.pixels_ = std::move(pixels);
    if (!transparent) {
        for (std::uint32_t& p : out.pixels_) {
            p |= 0xFF000000u;
        }
    }
    return out;
}

std::uint32_t BitmapPixels::premultiply(std::uint32_t argb) {
    std::uint32_t a = argb >> 24;
    if (a == 255) {
        return argb;
    }
    std::uint32_t out = a << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        std::uint32_t c = (argb >> shift) & 0xFF;
        out |= ((c * a + 127) / 255) << shift;
    }
    return out;
}

std::uint32_t BitmapPixels::unmultiply(std::uint32_t premultiplied) {
    std::uint32_t a = premultiplied >> 24;
    if (a == 255 || a == 0) {
        return a == 0 ? 0 : premultiplied;
    }
    // The player divides by the alpha through a reciprocal kept to 8 fraction bits, so a
    // colour read back may differ by one from the exact quotient.
    const std::uint32_t reciprocal = (255u << 8) / a;
    std::uint32_t out = a << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        std::uint32_t c = (premultiplied >> shift) & 0xFF;
        out |= std::min<std::uint32_t>((c * reciprocal + 128) >> 8, 255) << shift;
    }
    return out;
}

std::uint32_t BitmapPixels::premultipliedAt(int x, int y) const {
    return contains(x, y) ? pixels_[index(x, y)] : 0;
}

std::uint32_t BitmapPixels::at(int x, int y) const {
    return unmultiply(premultipliedAt(x, y));
}

void BitmapPixels::setPremultiplied(int x, int y, std::uint32_t value) {
    if (contains(x, y)) {
        pixels_[index(x, y)] = transparent_ ? value : (value | 0xFF000000u);
    }
}

void BitmapPixels::set(int x, int y, std::uint32_t argb) {
    setPremultiplied(x, y, premultiply(transparent_ ? argb : (argb | 0xFF000000u)));
}

PixelRect BitmapPixels::clip(PixelRect r) const {
    long left = std::max<long>(r.x, 0), top = std::max<long>(r.y, 0);
    long right = std::min<long>(static_cast<long>(r.x) + r.width, width_);
    long bottom = std::min<long>(static_cast<long>(r.y) + r.height, height_);
    if (right <= left || bottom <= top) {
        return {};
    }
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
            static_cast<int>(bottom - top)};
}

void BitmapPixels::fill(PixelRect r, std::uint32_t argb) {
    r = clip(r);
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            set(x, y, argb);
        }
    }
}

void BitmapPixels::copy(const BitmapPixels& source, PixelRect from, int toX, int toY) {
    // Keep only the part that lies inside both bitmaps.
    PixelRect src = source.clip(from);
    toX += src.x - from.x;
    toY += src.y - from.y;
    PixelRect dst = clip({toX, toY, src.width, src.height});
    if (dst.width == 0) {
        return;
    }
    int sx = src.x + (dst.x - toX), sy = src.y + (dst.y - toY);
    // Rows go top-down or bottom-up, and each row through a copy, so that a copy within one
    // bitmap reads nothing it has already overwritten. Pixels move as stored; an opaque
    // bitmap takes a transparent one's colours unpremultiplied, with full alpha.
    bool upward = &source == this && dst.y > sy;
    bool unmultiplied = transparent_ != source.transparent_;
    std::vector<std::uint32_t> row(static_cast<std::size_t>(dst.width));
    for (int i = 0; i < dst.height; ++i) {
        int y = upward ? dst.height - 1 - i : i;
        for (int x = 0; x < dst.width; ++x) {
            row[static_cast<std::size_t>(x)] =
                unmultiplied ? source.at(sx + x, sy + y) : source.premultipliedAt(sx + x, sy + y);
        }
        for (int x = 0; x < dst.width; ++x) {
            std::uint32_t v = row[static_cast<std::size_t>(x)];
            if (unmultiplied) {
                set(dst.x + x, dst.y + y, v);
            } else {
                setPremultiplied(dst.x + x, dst.y + y, v);
            }
        }
    }
}

void BitmapPixels::floodFill(int x, int y, std::uint32_t argb) {
    if (!contains(x, y)) {
        return;
    }
    // Compared as stored: two colours that read back alike may still differ there, and a
    // fill that left its own colour unchanged would never end.
    std::uint32_t old = premultipliedAt(x, y);
    std::uint32_t replacement = premultiply(transparent_ ? argb : (argb | 0xFF000000u));
    if (old == replacement) {
        return;
    }
    // Span by span: one seed per run of the old colour above and below each filled span,
    // so that the work list stays far below the pixel count.
    std::vector<std::pair<int, int>> seeds{{x, y}};
    while (!seeds.empty()) {
        auto [sx, sy] = seeds.back();
        seeds.pop_back();
        if (premultipliedAt(sx, sy) != old || !contains(sx, sy)) {
            continue;
        }
        int left = sx, right = sx;
        while (left > 0 && premultipliedAt(left - 1, sy) == old) {
            --left;
        }
        while (right + 1 < width_ && premultipliedAt(right + 1, sy) == old) {
            ++right;
        }
        for (int px = left; px <= right; ++px) {
            setPremultiplied(px, sy, replacement);
        }
        for (int row : {sy - 1, sy + 1}) {
            if (row < 0 || row >= height_) {
                continue;
            }
            bool inRun = false;
            for (int px = left; px <= right; ++px) {
                bool fillable = premultipliedAt(px, row) == old;
                if (fillable && !inRun) {
                    seeds.emplace_back(px, row);
                }
                inRun = fillable;
            }
        }
    }
}

void BitmapPixels::scroll(int dx, int dy) {
    copy(*this, {0, 0, width_, height_}, dx, dy);
}

std::uint32_t BitmapPixels::difference(std::uint32_t a, std::uint32_t b) {
    if (a == b || ((a >> 24) == 0 && (b >> 24) == 0)) {
        return 0;
    }
    if ((a & 0xFFFFFF) != (b & 0xFFFFFF)) {
        std::uint32_t out = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            std::uint32_t d = (((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)) & 0xFF;
            out |= d << shift;
        }
        return out;
    }
    return ((((a >> 24) - (b >> 24)) & 0xFF) << 24) | 0xFFFFFF;
}

PixelRect BitmapPixels::colorBounds(std::uint32_t mask, std::uint32_t color, bool find) const {
    int left = width_, top = height_, right = -1, bottom = -1;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            bool match = (at(x, y) & mask) == (color & mask);
            if (match == find) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    // Flash tells "found" from the far edges, so that a lone pixel at the origin reads as
    // none; movies that probe a bitmap this way expect the empty answer.
    if (right <= 0 && bottom <= 0) {
        return {};
    }
    return {left, top, right - left + 1, bottom - top + 1};
}

} // namespace pixels
