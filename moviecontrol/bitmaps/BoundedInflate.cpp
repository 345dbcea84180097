#include "BoundedInflate.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <zlib.h>

namespace mc {

std::vector<std::uint8_t> inflateBounded(std::span<const std::uint8_t> input,
                                         std::size_t expected) {
    // zlib cannot expand one byte into more than about 1032, so a claim beyond that is
    // not reserved up front.
    constexpr std::size_t kMaxRatio = 1032;
    const std::size_t ceiling =
        input.size() > (SIZE_MAX - 1024) / kMaxRatio ? expected : input.size() * kMaxRatio + 1024;
    expected = std::min(expected, ceiling);
    std::vector<std::uint8_t> output(expected);
    if (expected == 0 || input.empty()) {
        output.clear();
        return output;
    }
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        output.clear();
        return output;
    }
    // zlib counts in uInt; feed and drain in chunks so huge sizes cannot wrap.
    constexpr std::size_t kChunk = UINT_MAX / 2;
    std::size_t consumed = 0;
    std::size_t produced = 0;
    int result = Z_OK;
    while (produced < expected && result == Z_OK) {
        if (stream.avail_in == 0 && consumed < input.size()) {
            const std::size_t feed = std::min(kChunk, input.size() - consumed);
            // zlib's interface is not const-correct; it never writes through next_in.
            stream.next_in = const_cast<Bytef*>(input.data() + consumed);
            stream.avail_in = static_cast<uInt>(feed);
            consumed += feed;
        }
        const std::size_t room = std::min(kChunk, expected - produced);
        stream.next_out = output.data() + produced;
        stream.avail_out = static_cast<uInt>(room);
        result = inflate(&stream, Z_NO_FLUSH);
        produced += room - stream.avail_out;
        if (result == Z_BUF_ERROR && stream.avail_in == 0 && consumed >= input.size()) {
            break; // input exhausted before the stream ended
        }
        if (result == Z_BUF_ERROR) {
            result = Z_OK; // no progress possible this round only because a buffer was empty
        }
    }
    inflateEnd(&stream);
    output.resize(produced);
    return output;
}

} // namespace mc
