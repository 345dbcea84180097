#pragma once
// The pixels of a script-made bitmap, row by row. They are stored premultiplied, as Flash
// stores them, so that a colour with partial alpha reads back with Flash's rounding; the
// accessors speak unpremultiplied ARGB. Plain operations that scripts ask of BitmapData,
// each clipped to the bitmap.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pixels {

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

class BitmapPixels {
  public:
    BitmapPixels(int width, int height, bool transparent, std::uint32_t fill);
    // A bitmap of premultiplied pixels, row by row; missing pixels are transparent.
    static BitmapPixels fromPremultiplied(int width, int height, bool transparent,
                                          std::vector<std::uint32_t> pixels);

    int width() const { return width_; }
    int height() const { return height_; }
    bool transparent() const { return transparent_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // ARGB; 0 outside.
    std::uint32_t at(int x, int y) const;
    // Stores ARGB; an opaque bitmap keeps full alpha. Outside does nothing.
    void set(int x, int y, std::uint32_t argb);
    // The stored pixels, premultiplied, row by row.
    const std::uint32_t* data() const { return pixels_.data(); }
    // The stored, premultiplied pixel; 0 outside.
    std::uint32_t premultipliedAt(int x, int y) const;
    // Stores a premultiplied pixel as it is; an opaque bitmap keeps full alpha. Outside does
    // nothing.
    void setPremultiplied(int x, int y, std::uint32_t value);
    // Premultiplied ARGB, each colour channel rounded to 8 bits.
    static std::uint32_t premultiply(std::uint32_t argb);
    static std::uint32_t unmultiply(std::uint32_t premultiplied);
    // The part of `r` inside the bitmap.
    PixelRect clip(PixelRect r) const;
    void fill(PixelRect r, std::uint32_t argb);
    // Copies `from` (a part of `source`) to the top-left corner `toX`, `toY`; overlapping
    // copies within one bitmap work.
    void copy(const BitmapPixels& source, PixelRect from, int toX, int toY);
    // Fills the 4-connected area of the colour at x, y with `argb`.
    void floodFill(int x, int y, std::uint32_t argb);
    // Shifts the picture by dx, dy; uncovered pixels keep what they had.
    void scroll(int dx, int dy);
    // BitmapData.compare's per-pixel difference: 0 when equal, RGB differences with full
    // alpha, or an alpha difference over white.
    static std::uint32_t difference(std::uint32_t a, std::uint32_t b);
    // The smallest rectangle holding every pixel whose (pixel & mask) is (or, without
    // `find`, is not) `color`; empty when there is none.
    PixelRect colorBounds(std::uint32_t mask, std::uint32_t color, bool find) const;

  private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    int width_, height_;
    bool transparent_;
    std::vector<std::uint32_t> pixels_;
};

} // namespace pixels
