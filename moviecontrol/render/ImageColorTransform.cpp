#include "ImageColorTransform.h"

#include <algorithm>
#include <array>

namespace mc {

namespace {

// Per channel lookup from an unpremultiplied value to the transformed one.
using ChannelTable = std::array<std::uint8_t, 256>;

std::array<ChannelTable, 4> channelTables(const ColorTransform& cx) {
    std::array<ChannelTable, 4> tables{};
    for (std::size_t v = 0; v < 256; ++v) {
        const auto u = static_cast<std::uint8_t>(v);
        const Rgba t = cx.apply(Rgba{u, u, u, u});
        tables[0][v] = t.r;
        tables[1][v] = t.g;
        tables[2][v] = t.b;
        tables[3][v] = t.a;
    }
    return tables;
}

void scaleAlphaOnly(QImage& image, const ChannelTable& alpha) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            if (a == 0) {
                continue;
            }
            const int na = alpha[static_cast<std::size_t>(a)];
            const auto scale = [a, na](int c) { return (c * na + a / 2) / a; };
            line[x] = qRgba(scale(qRed(p)), scale(qGreen(p)), scale(qBlue(p)), na);
        }
    }
}

} // namespace

QImage colorTransformed(const QImage& image, const ColorTransform& cx) {
    if (image.isNull()) {
        return image;
    }
    const auto tables = channelTables(cx);
    if (cx.onlyScalesAlpha()) {
        QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        scaleAlphaOnly(out, tables[3]);
        return out;
    }
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = line[x];
            line[x] = qRgba(tables[0][static_cast<std::size_t>(qRed(c))],
                            tables[1][static_cast<std::size_t>(qGreen(c))],
                            tables[2][static_cast<std::size_t>(qBlue(c))],
                            tables[3][static_cast<std::size_t>(qAlpha(c))]);
        }
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace mc
