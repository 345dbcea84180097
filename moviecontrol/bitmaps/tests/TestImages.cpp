#include "TestImages.h"

#include <QBuffer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <zlib.h>

namespace mc::test {
namespace {

// Owns the output buffer libjpeg allocates with malloc.
struct JpegMemory {
    unsigned char* data = nullptr;
    unsigned long size = 0;
    JpegMemory() = default;
    JpegMemory(const JpegMemory&) = delete;
    JpegMemory& operator=(const JpegMemory&) = delete;
    ~JpegMemory() { std::free(data); }
    Bytes bytes() const { return Bytes(data, data + size); }
};

struct Compressor {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    Compressor() {
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
    ~Compressor() { jpeg_destroy_compress(&info); }
};

std::vector<JSAMPLE> rgbSamples(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<JSAMPLE> samples;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* line = rgb.constScanLine(y);
        samples.insert(samples.end(), line, line + rgb.width() * 3);
    }
    return samples;
}

void writeRows(jpeg_compress_struct& info, std::vector<JSAMPLE>& samples, int rowBytes) {
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = samples.data() + std::size_t{info.next_scanline} * rowBytes;
        jpeg_write_scanlines(&info, &row, 1);
    }
}

void setup(Compressor& c, int width, int height, int components, J_COLOR_SPACE space, int quality) {
    c.info.image_width = static_cast<JDIMENSION>(width);
    c.info.image_height = static_cast<JDIMENSION>(height);
    c.info.input_components = components;
    c.info.in_color_space = space;
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, quality, TRUE);
}

} // namespace

QImage rampImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y,
                           qRgb(40 + 160 * x / std::max(1, width - 1),
                                40 + 160 * y / std::max(1, height - 1), 120));
        }
    }
    return image;
}

Bytes encodeJpeg(const QImage& image, int quality) {
    Compressor c;
    JpegMemory memory;
    jpeg_mem_dest(&c.info, &memory.data, &memory.size);
    setup(c, image.width(), image.height(), 3, JCS_RGB, quality);
    jpeg_start_compress(&c.info, TRUE);
    std::vector<JSAMPLE> samples = rgbSamples(image);
    writeRows(c.info, samples, image.width() * 3);
    jpeg_finish_compress(&c.info);
    return memory.bytes();
}

Bytes encodeGreyJpeg(const QImage& image) {
    Compressor c;
    JpegMemory memory;
    jpeg_mem_dest(&c.info, &memory.data, &memory.size);
    setup(c, image.width(), image.height(), 1, JCS_GRAYSCALE, 95);
    jpeg_start_compress(&c.info, TRUE);
    std::vector<JSAMPLE> samples;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            samples.push_back(static_cast<JSAMPLE>(qGray(image.pixel(x, y))));
        }
    }
    writeRows(c.info, samples, image.width());
    jpeg_finish_compress(&c.info);
    return memory.bytes();
}

Bytes encodeCmykJpeg(int width, int height, std::uint8_t cyan, std::uint8_t magenta,
                     std::uint8_t yellow, std::uint8_t black) {
    Compressor c;
    JpegMemory memory;
    jpeg_mem_dest(&c.info, &memory.data, &memory.size);
    setup(c, width, height, 4, JCS_CMYK, 100);
    jpeg_start_compress(&c.info, TRUE);
    std::vector<JSAMPLE> samples;
    for (int i = 0; i < width * height; ++i) {
        samples.insert(samples.end(), {cyan, magenta, yellow, black});
    }
    writeRows(c.info, samples, width * 4);
    jpeg_finish_compress(&c.info);
    return memory.bytes();
}

SplitJpeg encodeSplitJpeg(const QImage& image) {
    Compressor c;
    setup(c, image.width(), image.height(), 3, JCS_RGB, 95);
    SplitJpeg split;
    {
        JpegMemory memory;
        jpeg_mem_dest(&c.info, &memory.data, &memory.size);
        jpeg_write_tables(&c.info);
        split.tables = memory.bytes();
    }
    JpegMemory memory;
    jpeg_mem_dest(&c.info, &memory.data, &memory.size);
    jpeg_start_compress(&c.info, FALSE); // tables were written above: abbreviated image
    std::vector<JSAMPLE> samples = rgbSamples(image);
    writeRows(c.info, samples, image.width() * 3);
    jpeg_finish_compress(&c.info);
    split.image = memory.bytes();
    return split;
}

Bytes zlibCompress(std::span<const std::uint8_t> data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    compress(out.data(), &size, data.data(), static_cast<uLong>(data.size()));
    out.resize(size);
    return out;
}

Bytes encodeWithQt(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return Bytes(bytes.begin(), bytes.end());
}

std::ptrdiff_t findMarker(std::span<const std::uint8_t> jpeg, std::uint8_t code) {
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) {
            return static_cast<std::ptrdiff_t>(i);
        }
    }
    return -1;
}

Bytes concat(std::initializer_list<std::span<const std::uint8_t>> parts) {
    Bytes out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

void appendU16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendU32(Bytes& out, std::uint32_t value) {
    appendU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    appendU16(out, static_cast<std::uint16_t>(value >> 16));
}

int maxChannelDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return 255;
    }
    const QImage pa = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage pb = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int worst = 0;
    for (int y = 0; y < pa.height(); ++y) {
        for (int x = 0; x < pa.width(); ++x) {
            const QRgb p = pa.pixel(x, y);
            const QRgb q = pb.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return worst;
}

bool validPremultiplied(const QImage& image) {
    if (image.format() != QImage::Format_ARGB32_Premultiplied) {
        return false;
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            if (qRed(p) > a || qGreen(p) > a || qBlue(p) > a) {
                return false;
            }
        }
    }
    return true;
}

} // namespace mc::test
