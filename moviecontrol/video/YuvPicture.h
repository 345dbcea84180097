#pragma once
// A decoded picture in YUV 4:2:0. The planes cover whole macroblocks (16x16 luma, 8x8 chroma)
// so that prediction never needs a bounds case inside a block; width and height are what the
// picture shows.

#include <cstdint>
#include <vector>

namespace video {

struct Plane {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> samples;
    void resize(int w, int h) {
        width = w;
        height = h;
        samples.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 128);
    }
    std::uint8_t* row(int y) { return samples.data() + static_cast<std::size_t>(y) * width; }
    const std::uint8_t* row(int y) const {
        return samples.data() + static_cast<std::size_t>(y) * width;
    }
    // The sample at (x, y) with coordinates clamped into the plane, as unrestricted motion
    // vectors expect.
    std::uint8_t clamped(int x, int y) const {
        x = x < 0 ? 0 : (x >= width ? width - 1 : x);
        y = y < 0 ? 0 : (y >= height ? height - 1 : y);
        return samples[static_cast<std::size_t>(y) * width + x];
    }
};

struct YuvPicture {
    int width = 0;
    int height = 0;
    Plane y;
    Plane cb;
    Plane cr;
    Plane alpha; // Same size as `y`; empty when the picture is opaque.

    void allocate(int w, int h);
    bool empty() const { return width == 0 || height == 0; }
    int macroblocksWide() const { return (width + 15) / 16; }
    int macroblocksHigh() const { return (height + 15) / 16; }
};

// Studio-range BT.601 to 8-bit RGBA, width*height*4 bytes, rows top first. Opaque pictures
// get alpha 255. With an alpha plane the colour is premultiplied, as VP6 with alpha codes
// it: each colour channel is clamped to at most the alpha.
std::vector<std::uint8_t> toRgba(const YuvPicture& picture);

} // namespace video
