#include "Vp6Decoder.h"

#include <algorithm>

#include "Vp6Header.h"

namespace video {

namespace {

struct Parts {
    std::span<const std::uint8_t> colour;
    std::span<const std::uint8_t> alpha;
};

// Codec 5 frames start with the colour stream's length in 24 bits.
bool split(std::span<const std::uint8_t> frame, bool withAlpha, Parts& out) {
    if (!withAlpha) {
        out.colour = frame;
        return true;
    }
    if (frame.size() < 3) {
        return false;
    }
    const std::size_t length = (static_cast<std::size_t>(frame[0]) << 16) |
                               (static_cast<std::size_t>(frame[1]) << 8) | frame[2];
    if (length > frame.size() - 3) {
        return false;
    }
    out.colour = frame.subspan(3, length);
    out.alpha = frame.subspan(3 + length);
    return true;
}

} // namespace

void Vp6Decoder::reset() {
    colour_.reset();
    alpha_.reset();
    picture_ = YuvPicture{};
}

bool Vp6Decoder::isKeyFrame(std::span<const std::uint8_t> frame) const {
    Parts parts;
    return split(frame, withAlpha_, parts) && vp6::isKeyFrame(parts.colour);
}

bool Vp6Decoder::decode(std::span<const std::uint8_t> frame) {
    Parts parts;
    if (!split(frame, withAlpha_, parts) || !colour_.decode(parts.colour)) {
        return false;
    }
    // A damaged alpha frame keeps the last good alpha rather than losing the colour one.
    if (withAlpha_) {
        (void)alpha_.decode(parts.alpha);
    }
    const YuvPicture& coded = colour_.picture();
    picture_.y = coded.y;
    picture_.cb = coded.cb;
    picture_.cr = coded.cr;
    // The coded picture is whole macroblocks; the stream's declared size crops it. The size
    // the frame header asks to display is not applied: Flash scales the video character to
    // its declared size anyway.
    picture_.width = width_ > 0 ? std::min(width_, coded.width) : coded.width;
    picture_.height = height_ > 0 ? std::min(height_, coded.height) : coded.height;
    picture_.alpha = Plane{};
    if (withAlpha_) {
        if (alpha_.hasPicture() && alpha_.picture().y.width == coded.y.width &&
            alpha_.picture().y.height == coded.y.height) {
            picture_.alpha = alpha_.picture().y;
        } else {
            picture_.alpha.resize(coded.y.width, coded.y.height);
            std::fill(picture_.alpha.samples.begin(), picture_.alpha.samples.end(),
                      std::uint8_t{255});
        }
    }
    return true;
}

} // namespace video
