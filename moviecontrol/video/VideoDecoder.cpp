#include "VideoDecoder.h"

#include "H263Header.h"

namespace video {

bool VideoDecoder::decode(std::span<const std::uint8_t> frame) {
    if (codec_ == kSorenson) {
        return sorenson_.decode(frame);
    }
    return supports(codec_) && vp6_.decode(frame);
}

const YuvPicture& VideoDecoder::picture() const {
    return codec_ == kSorenson ? sorenson_.picture() : vp6_.picture();
}

bool VideoDecoder::hasPicture() const {
    return codec_ == kSorenson ? sorenson_.hasPicture() : vp6_.hasPicture();
}

void VideoDecoder::reset() {
    sorenson_.reset();
    vp6_.reset();
}

bool VideoDecoder::isKeyFrame(std::span<const std::uint8_t> frame) const {
    if (codec_ == kSorenson) {
        PictureType type{};
        return peekPictureType(frame, type) && type == PictureType::Intra;
    }
    return vp6_.isKeyFrame(frame);
}

} // namespace video
