// Arbitrary bytes through the Sorenson Spark decoder. The first byte splits the input into
// two frames decoded in turn, so that inter frames meet a picture to predict from (and one of
// another size); the picture must stay consistent with the header that made it.

#include "H263Decoder.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    const std::size_t split = input.size() * data[0] / 255;
    video::SorensonDecoder decoder;
    for (const auto part : {input.first(split), input.subspan(split)}) {
        decoder.decode(part);
        if (decoder.hasPicture()) {
            const video::YuvPicture& p = decoder.picture();
            if (p.width > video::kMaxPictureSide || p.height > video::kMaxPictureSide ||
                p.y.width < p.width || p.y.height < p.height ||
                video::toRgba(p).size() != static_cast<std::size_t>(p.width) * p.height * 4) {
                std::abort();
            }
        }
    }
    return 0;
}
