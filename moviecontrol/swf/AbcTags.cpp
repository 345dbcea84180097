#include "swf/AbcTags.h"

#include "swf/ByteReader.h"
#include "swf/Movie.h"
#include "swf/TagCodes.h"

namespace swf {

namespace {
constexpr std::uint16_t kDoAbcPlain = 72; // DoABC without flags and name
constexpr std::uint16_t kDoAbc = 82;
constexpr std::uint16_t kShowFrame = 1;
constexpr std::size_t kMaxTags = 1u << 20;
constexpr std::uint16_t kDefineBinaryData = 87;

// Calls `visit(code, body)` for each tag of the root timeline, in file order, until the
// end tag or a damaged header.
template <typename Visit> void walkRootTags(const Movie& movie, Visit visit) {
    const auto file = movie.bytes();
    if (file.size() < 9) {
        return;
    }
    // Signature, version and length (8 bytes), the frame rectangle, rate and count.
    const unsigned bits = file[8] >> 3;
    const std::size_t rectBytes = (5 + 4 * bits + 7) / 8;
    const std::size_t start = 8 + rectBytes + 4;
    if (start > file.size()) {
        return;
    }
    ByteReader r(file.subspan(start));
    for (std::size_t n = 0; n < kMaxTags && r.remaining() >= 2; ++n) {
        const std::uint16_t header = r.u16();
        const std::uint16_t code = header >> 6;
        std::uint32_t length = header & 0x3F;
        if (length == 0x3F) {
            length = r.u32();
        }
        if (r.failed() || length > r.remaining() || code == 0) {
            break;
        }
        visit(code, r.bytes(length));
    }
}

} // namespace

std::vector<AbcTag> findAbcTags(const Movie& movie) {
    std::vector<AbcTag> out;
    std::uint16_t frame = 0;
    walkRootTags(movie, [&](std::uint16_t code, std::span<const std::uint8_t> tagBody) {
        ByteReader body(tagBody);
        if (code == kShowFrame) {
            ++frame;
        } else if (code == kDoAbc || code == kDoAbcPlain) {
            AbcTag t;
            t.frame = frame;
            if (code == kDoAbc) {
                t.lazy = (body.u32() & 1) != 0;
                (void)body.string();
            }
            t.abc = body.rest();
            if (!body.failed()) {
                out.push_back(t);
            }
        } else if (code == tag::SymbolClass) {
            AbcTag t;
            t.kind = AbcTag::Kind::SymbolClass;
            t.frame = frame;
            const std::uint16_t count = body.u16();
            for (std::uint16_t i = 0; i < count && body.remaining() >= 3; ++i) {
                const std::uint16_t id = body.u16();
                std::string name = body.string();
                if (!body.failed()) {
                    t.symbols.emplace_back(id, std::move(name));
                }
            }
            out.push_back(std::move(t));
        }
    });
    return out;
}

std::span<const std::uint8_t> findBinaryData(const Movie& movie, std::uint16_t id) {
    std::span<const std::uint8_t> found;
    walkRootTags(movie, [&](std::uint16_t code, std::span<const std::uint8_t> body) {
        // The character id, then a reserved 32-bit field; the first tag for an id counts.
        if (code == kDefineBinaryData && found.empty() && body.size() >= 6 &&
            (body[0] | (body[1] << 8)) == id) {
            found = body.subspan(6);
        }
    });
    return found;
}

} // namespace swf
