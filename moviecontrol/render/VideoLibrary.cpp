#include "VideoLibrary.h"

#include <cstring>

#include "YuvPicture.h"

namespace mc {

namespace {

QImage toImage(const video::YuvPicture& picture) {
    const std::vector<std::uint8_t> rgba = video::toRgba(picture);
    // Video with alpha carries premultiplied colour.
    QImage image(picture.width, picture.height,
                 picture.alpha.samples.empty() ? QImage::Format_RGBA8888
                                               : QImage::Format_RGBA8888_Premultiplied);
    if (image.isNull()) {
        return image;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 4;
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(image.scanLine(y), rgba.data() + rowBytes * y, rowBytes);
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

const QImage& VideoLibrary::frame(std::uint16_t id, std::uint16_t frameNumber) {
    const auto* def = movie_.findAs<swf::VideoStream>(id);
    if (def == nullptr || !video::VideoDecoder::supports(def->codec)) {
        return none_;
    }
    Stream& s = streams_.try_emplace(id, *def).first->second;
    if (s.decodedUpTo != frameNumber) {
        advance(*def, s, frameNumber);
    }
    return s.image;
}

void VideoLibrary::advance(const swf::VideoStream& def, Stream& s, std::uint16_t frameNumber) {
    const auto end = def.frames.upper_bound(frameNumber);
    // Going forward, the frames already decoded need no key frame; otherwise the last key
    // frame at or before the target is where decoding must start.
    const bool forward = frameNumber > s.decodedUpTo && s.decodedUpTo >= 0;
    int keyFrame = -1;
    for (auto it = end; it != def.frames.begin();) {
        --it;
        if (forward && it->first <= s.decodedUpTo) {
            break;
        }
        if (s.decoder.isKeyFrame(it->second)) {
            keyFrame = it->first;
            break;
        }
    }
    int start = s.decodedUpTo + 1;
    if (!forward || keyFrame >= 0) {
        s.decoder.reset();
        start = keyFrame >= 0 ? keyFrame : 0;
    }
    bool changed = false;
    for (auto it = def.frames.lower_bound(static_cast<std::uint16_t>(start)); it != end; ++it) {
        changed = s.decoder.decode(it->second) || changed;
    }
    s.decodedUpTo = frameNumber;
    if (changed || !s.decoder.hasPicture()) {
        s.image = s.decoder.hasPicture() ? toImage(s.decoder.picture()) : QImage();
    }
}

} // namespace mc
