#include "moviemaker/LosslessBitmap.h"

#include "moviemaker/BitWriter.h"
#include "moviemaker/WriteError.h"

#include <zlib.h>

#include <map>
#include <tuple>

namespace moviemaker {

namespace {

Rgba premultiplied(Rgba c) {
    const auto scale = [&](uint8_t v) { return static_cast<uint8_t>((v * c.a + 127) / 255); };
    return {scale(c.r), scale(c.g), scale(c.b), c.a};
}

auto key(Rgba c) {
    return std::make_tuple(c.r, c.g, c.b, c.a);
}

void writePaletteImage(BitWriter& out, const RawImage& image, bool withAlpha) {
    std::map<std::tuple<uint8_t, uint8_t, uint8_t, uint8_t>, uint8_t> indexOf;
    std::vector<Rgba> palette;
    for (const Rgba& c : image.pixels) {
        if (indexOf.emplace(key(c), static_cast<uint8_t>(palette.size())).second) {
            if (palette.size() == 256) {
                throw WriteError("a palette image holds at most 256 colours");
            }
            palette.push_back(c);
        }
    }
    for (const Rgba& c : palette) {
        if (withAlpha) {
            writeRgba(out, premultiplied(c));
        } else {
            writeRgb(out, {c.r, c.g, c.b});
        }
    }
    const std::size_t padded = (image.width + 3u) & ~3u;
    for (std::size_t y = 0; y < image.height; ++y) {
        for (std::size_t x = 0; x < padded; ++x) {
            if (x < image.width) {
                out.u8(indexOf.at(key(image.pixels[y * image.width + x])));
            } else {
                out.u8(0);
            }
        }
    }
}

void writeRgb15Image(BitWriter& out, const RawImage& image) {
    const std::size_t padded = (image.width + 1u) & ~1u;
    for (std::size_t y = 0; y < image.height; ++y) {
        for (std::size_t x = 0; x < padded; ++x) {
            const Rgba c = x < image.width ? image.pixels[y * image.width + x] : Rgba{};
            out.ub(0, 1);
            out.ub(c.r >> 3, 5);
            out.ub(c.g >> 3, 5);
            out.ub(c.b >> 3, 5);
        }
    }
}

void writeArgbImage(BitWriter& out, const RawImage& image, bool withAlpha) {
    for (const Rgba& pixel : image.pixels) {
        const Rgba c = withAlpha ? premultiplied(pixel) : pixel;
        out.u8(c.a);
        out.u8(c.r);
        out.u8(c.g);
        out.u8(c.b);
    }
}

} // namespace

std::vector<uint8_t> zlibCompress(std::span<const uint8_t> data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> packed(size);
    if (compress2(packed.data(), &size, data.data(), static_cast<uLong>(data.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        throw WriteError("zlib compression failed");
    }
    packed.resize(size);
    return packed;
}

std::vector<uint8_t> encodeDefineBitsLossless(uint16_t id, const RawImage& image, int version,
                                              LosslessFormat format) {
    if (version != 1 && version != 2) {
        throw WriteError("lossless bitmap versions are 1 and 2");
    }
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
        throw WriteError("pixel count does not match the image size");
    }
    if (format == LosslessFormat::Rgb15 && version != 1) {
        throw WriteError("15-bit colour exists in the first version only");
    }
    const bool withAlpha = version == 2;
    if (!withAlpha) {
        for (const Rgba& pixel : image.pixels) {
            if (pixel.a != 255) {
                throw WriteError("translucent pixels need the second lossless version");
            }
        }
    }
    BitWriter pixels;
    std::size_t paletteSize = 0;
    switch (format) {
    case LosslessFormat::Palette8: {
        BitWriter data;
        writePaletteImage(data, image, withAlpha);
        // The palette length is what comes before the first row.
        const std::size_t rowBytes =
            ((image.width + 3u) & ~3u) * static_cast<std::size_t>(image.height);
        paletteSize = (data.size() - rowBytes) / (withAlpha ? 4 : 3);
        if (paletteSize == 0) {
            throw WriteError("a palette image needs at least one pixel");
        }
        pixels = std::move(data);
        break;
    }
    case LosslessFormat::Rgb15:
        writeRgb15Image(pixels, image);
        break;
    case LosslessFormat::Argb32:
        writeArgbImage(pixels, image, withAlpha);
        break;
    }

    BitWriter body;
    body.u16(id);
    body.u8(static_cast<uint8_t>(format));
    body.u16(image.width);
    body.u16(image.height);
    if (format == LosslessFormat::Palette8) {
        body.u8(static_cast<uint8_t>(paletteSize - 1)); // stored as count - 1
    }
    body.bytes(zlibCompress(pixels.data()));
    return body.take();
}

} // namespace moviemaker
