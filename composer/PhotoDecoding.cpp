#include "composer/PhotoDecoding.h"

#include "composer/ComposeError.h"
#include "composer/HeifDecoding.h"

#include <QImageIOHandler>
#include <QImageReader>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>

namespace composer {

namespace {

std::string nameOf(const std::filesystem::path& file) {
    return reinterpret_cast<const char*>(file.u8string().c_str());
}

QString qtPath(const std::filesystem::path& file) {
    return QString::fromStdString(nameOf(file));
}

void refuseHuge(const std::filesystem::path& file, QSize stored) {
    const double megapixels = static_cast<double>(stored.width()) * stored.height() / 1e6;
    if (megapixels > kMaxPhotoMegapixels) {
        throw ComposeError("照片 " + nameOf(file) + " 太大（" +
                           std::to_string(std::lround(megapixels)) + " 百万像素，最多 " +
                           std::to_string(std::lround(kMaxPhotoMegapixels)) +
                           " 百万像素）。请先缩小这张照片再添加。");
    }
    if (stored.isEmpty()) {
        throw ComposeError("照片 " + nameOf(file) +
                           " 已损坏或不是图片（读不出大小）。请换一张照片，或重新导出这张。");
    }
}

} // namespace

QSize decodeSizeFor(QSize stored, QSize shown, PhotoFit fit, double margin) {
    if (stored.isEmpty() || shown.isEmpty()) {
        return {};
    }
    const double sx = static_cast<double>(shown.width()) / stored.width();
    const double sy = static_cast<double>(shown.height()) / stored.height();
    double scale = fit == PhotoFit::Fill ? std::max(sx, sy) : std::min(sx, sy);
    scale = std::min(1.0, scale * std::max(1.0, margin));
    return {std::max(1, static_cast<int>(std::lround(stored.width() * scale))),
            std::max(1, static_cast<int>(std::lround(stored.height() * scale)))};
}

bool looksLikeHeif(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::array<char, 12> head{};
    if (!in.read(head.data(), head.size())) {
        return false;
    }
    const std::string_view box(head.data() + 4, 4);
    const std::string_view brand(head.data() + 8, 4);
    if (box != "ftyp") {
        return false;
    }
    for (const char* b : {"heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1", "avif"}) {
        if (brand == b) {
            return true;
        }
    }
    return false;
}

QImage decodePhoto(const std::filesystem::path& file, QSize shown, PhotoFit fit, double margin) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        throw ComposeError("找不到照片 " + nameOf(file) + "。请检查文件名和位置。");
    }
    if (looksLikeHeif(file)) {
        return decodeHeif(file, [&](QSize stored) {
            refuseHuge(file, stored);
            return decodeSizeFor(stored, shown, fit, margin);
        });
    }
    QImageReader reader(qtPath(file));
    reader.setAutoTransform(true);
    // Formats Qt cannot decode smaller (PNG, WebP) are read whole before scaling; a photo
    // within the megapixel bound must not be refused for that.
    reader.setAllocationLimit(static_cast<int>(kMaxPhotoMegapixels * 4 + 64));
    QSize stored = reader.size();
    if (!reader.canRead() || !stored.isValid()) {
        throw ComposeError(
            "照片 " + nameOf(file) + " 无法读取（" + reader.errorString().toStdString() +
            "）。支持 JPEG、PNG、WebP、GIF、BMP 和 HEIC；请换一张照片或重新导出这张。");
    }
    refuseHuge(file, stored);
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = turned ? stored.transposed() : stored;
    QSize wanted = decodeSizeFor(upright, shown, fit, margin);
    // The reader scales before it turns the picture: it wants the stored orientation.
    reader.setScaledSize(turned ? wanted.transposed() : wanted);
    QImage image = reader.read();
    if (image.isNull()) {
        throw ComposeError("照片 " + nameOf(file) + " 已损坏，无法解码（" +
                           reader.errorString().toStdString() +
                           "）。请换一张照片，或重新导出这张。");
    }
    const bool alpha = image.hasAlphaChannel();
    return image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

PhotoEdit normalizedEdit(const PhotoEdit& edit) {
    PhotoEdit e;
    e.quarterTurns = ((edit.quarterTurns % 4) + 4) % 4;
    const auto share = [](double v, double fallback) { return std::isfinite(v) ? v : fallback; };
    e.cropWidth = std::clamp(share(edit.cropWidth, 1.0), kMinCropShare, 1.0);
    e.cropHeight = std::clamp(share(edit.cropHeight, 1.0), kMinCropShare, 1.0);
    e.cropLeft = std::clamp(share(edit.cropLeft, 0.0), 0.0, 1.0 - e.cropWidth);
    e.cropTop = std::clamp(share(edit.cropTop, 0.0), 0.0, 1.0 - e.cropHeight);
    return e;
}

QImage decodePhoto(const std::filesystem::path& file, const PhotoEdit& edit, QSize shown,
                   PhotoFit fit, double margin) {
    const PhotoEdit e = normalizedEdit(edit);
    if (e == PhotoEdit{}) {
        return decodePhoto(file, shown, fit, margin);
    }
    // The whole photo is read large enough that the part kept covers (or fits) the stage.
    QSize whole(static_cast<int>(std::ceil(shown.width() / e.cropWidth)),
                static_cast<int>(std::ceil(shown.height() / e.cropHeight)));
    const bool sideways = e.quarterTurns % 2 == 1;
    QImage image = decodePhoto(file, sideways ? whole.transposed() : whole, fit, margin);
    if (e.quarterTurns != 0) {
        image = image.transformed(QTransform().rotate(90.0 * e.quarterTurns));
    }
    const QRect kept(static_cast<int>(std::lround(e.cropLeft * image.width())),
                     static_cast<int>(std::lround(e.cropTop * image.height())),
                     std::max(1, static_cast<int>(std::lround(e.cropWidth * image.width()))),
                     std::max(1, static_cast<int>(std::lround(e.cropHeight * image.height()))));
    return image.copy(kept.intersected(image.rect()));
}

} // namespace composer
