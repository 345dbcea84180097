// Arbitrary bytes through the VP6 decoders. The first byte picks plain VP6 or VP6 with alpha
// and the declared size, the second splits the rest into two frames decoded in turn, so that
// inter frames meet pictures to predict from (and ones of another size).

#include "VideoDecoder.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const bool alpha = (data[0] & 1) != 0;
    const int width = (data[0] >> 1) * 8; // 0 shows the coded size
    const int height = width / 2;
    const std::span<const std::uint8_t> input(data + 2, size - 2);
    const std::size_t split = input.size() * data[1] / 255;
    video::VideoDecoder decoder(alpha ? video::VideoDecoder::kVp6Alpha : video::VideoDecoder::kVp6,
                                width, height);
    for (const auto part : {input.first(split), input.subspan(split), input.first(split)}) {
        (void)decoder.isKeyFrame(part);
        decoder.decode(part);
        if (decoder.hasPicture()) {
            const video::YuvPicture& p = decoder.picture();
            const bool alphaOk =
                !alpha || (p.alpha.width == p.y.width && p.alpha.height == p.y.height);
            if (p.width > 4096 || p.height > 4096 || p.y.width < p.width || p.y.height < p.height ||
                p.cb.width * 2 != p.y.width || !alphaOk ||
                video::toRgba(p).size() != static_cast<std::size_t>(p.width) * p.height * 4) {
                std::abort();
            }
        }
    }
    return 0;
}
