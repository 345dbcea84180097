#include "MovieBody.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <lzma.h>
#include <zlib.h>

namespace cardformat {
namespace {

constexpr std::size_t FileHeaderLength = 8; // signature, version, declared length
// An LZMA movie's eight bytes are followed by the compressed length (which encoders get
// wrong, so the rest of the file is taken) and five bytes of LZMA properties.
constexpr std::size_t LzmaPropertiesAt = 12;
constexpr std::size_t LzmaPropertiesLength = 5;
constexpr std::size_t LzmaDataAt = LzmaPropertiesAt + LzmaPropertiesLength;
// Room behind the declared length for a note: five entries of the longest text.
constexpr std::uint64_t NoteRoom = 5 * (32767 + 5) + 4;
constexpr std::size_t Chunk = std::size_t{1} << 16;

std::uint32_t uint32At(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} | (std::uint32_t{bytes[at + 1]} << 8) |
           (std::uint32_t{bytes[at + 2]} << 16) | (std::uint32_t{bytes[at + 3]} << 24);
}

std::uint32_t declaredLengthOf(std::span<const std::uint8_t> file) {
    return uint32At(file, 4);
}

// Inflates the zlib body into `out` until `target` bytes, the end of the stream or damage.
void inflateZlib(std::span<const std::uint8_t> body, std::size_t target, Bytes& out) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) {
        return;
    }
    zs.next_in = const_cast<Bytef*>(body.data());
    zs.avail_in = static_cast<uInt>(std::min<std::size_t>(body.size(), UINT32_MAX));
    while (out.size() < target) {
        const std::size_t produced = out.size();
        // The buffer grows as data arrives: the declared length is a claim, not a fact.
        out.resize(std::min(target, produced + std::max(Chunk, produced / 2)));
        zs.next_out = out.data() + produced;
        zs.avail_out = static_cast<uInt>(out.size() - produced);
        const int status = inflate(&zs, Z_NO_FLUSH);
        out.resize(out.size() - zs.avail_out);
        if (status != Z_OK) {
            break; // the end of the stream, a truncated stream or damage
        }
    }
    inflateEnd(&zs);
}

// Decodes the LZMA body, handed to the decoder as the classic .lzma format with the body's
// length as its size, so that it stops there. The dictionary never needs to exceed the
// output, so a hostile dictionary size cannot make the decoder allocate more.
void decodeLzma(std::span<const std::uint8_t> file, std::size_t target, Bytes& out) {
    if (file.size() < LzmaDataAt || target <= out.size()) {
        return;
    }
    const std::uint64_t bodyLength = target - out.size();
    std::array<std::uint8_t, 13> header{};
    std::copy_n(file.begin() + LzmaPropertiesAt, LzmaPropertiesLength, header.begin());
    std::uint32_t dictionary = std::uint32_t{header[1]} | (std::uint32_t{header[2]} << 8) |
                               (std::uint32_t{header[3]} << 16) | (std::uint32_t{header[4]} << 24);
    std::uint32_t enough = 1u << 12;
    while (enough < bodyLength && enough < (1u << 31)) {
        enough <<= 1;
    }
    dictionary = std::min(dictionary, enough);
    for (std::size_t i = 0; i < 4; ++i) {
        header[1 + i] = static_cast<std::uint8_t>(dictionary >> (8 * i));
    }
    for (std::size_t i = 0; i < 8; ++i) {
        header[5 + i] = static_cast<std::uint8_t>(bodyLength >> (8 * i));
    }
    lzma_stream zs = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&zs, std::uint64_t{enough} + (std::uint64_t{32} << 20)) != LZMA_OK) {
        return;
    }
    const auto data = file.subspan(LzmaDataAt);
    bool headerGiven = false;
    zs.next_in = header.data();
    zs.avail_in = header.size();
    while (out.size() < target) {
        if (zs.avail_in == 0 && !headerGiven) {
            headerGiven = true;
            zs.next_in = data.data();
            zs.avail_in = data.size();
        }
        const std::size_t produced = out.size();
        out.resize(std::min(target, produced + std::max(Chunk, produced / 2)));
        zs.next_out = out.data() + produced;
        zs.avail_out = out.size() - produced;
        const lzma_ret status = lzma_code(&zs, headerGiven ? LZMA_FINISH : LZMA_RUN);
        out.resize(out.size() - zs.avail_out);
        if (status != LZMA_OK) {
            break;
        }
    }
    lzma_end(&zs);
}

// Inflates a compressed movie into its uncompressed bytes, at most `target` of them.
Bytes inflateUpTo(std::span<const std::uint8_t> file, MovieStorage storage, std::size_t target) {
    Bytes out(file.begin(), file.begin() + FileHeaderLength);
    out[0] = 'F';
    if (storage == MovieStorage::Zlib) {
        inflateZlib(file.subspan(FileHeaderLength), target, out);
    } else {
        decodeLzma(file, target, out);
    }
    return out;
}

constexpr std::uint16_t TagEnd = 0;
constexpr std::uint16_t TagShowFrame = 1;
constexpr std::uint16_t TagSetBackgroundColor = 9;
constexpr std::uint32_t White = 0xFFFFFF;

} // namespace

MovieStorage storageOf(std::span<const std::uint8_t> file) {
    if (file.size() < FileHeaderLength || file[1] != 'W' || file[2] != 'S') {
        return MovieStorage::NotAMovie;
    }
    switch (file[0]) {
    case 'F':
        return MovieStorage::Uncompressed;
    case 'C':
        return MovieStorage::Zlib;
    case 'Z':
        return MovieStorage::Lzma;
    default:
        return MovieStorage::NotAMovie;
    }
}

std::optional<Bytes> inflatedMovie(std::span<const std::uint8_t> file, std::uint64_t limit) {
    const MovieStorage storage = storageOf(file);
    if (storage != MovieStorage::Zlib && storage != MovieStorage::Lzma) {
        return std::nullopt;
    }
    const std::uint64_t declared = declaredLengthOf(file);
    if (declared < FileHeaderLength || declared > limit) {
        return std::nullopt;
    }
    // An LZMA body stops at its declared length; a zlib stream may carry a note behind it.
    const std::uint64_t target =
        storage == MovieStorage::Zlib ? std::min(declared + NoteRoom, limit) : declared;
    Bytes movie = inflateUpTo(file, storage, static_cast<std::size_t>(target));
    if (movie.size() < declared) {
        return std::nullopt;
    }
    return movie;
}

Bytes moviePrefix(std::span<const std::uint8_t> file, std::uint64_t count) {
    const MovieStorage storage = storageOf(file);
    if (storage == MovieStorage::NotAMovie) {
        return {};
    }
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(count, SIZE_MAX));
    if (storage == MovieStorage::Uncompressed) {
        return Bytes(file.begin(),
                     file.begin() + static_cast<std::ptrdiff_t>(std::min(wanted, file.size())));
    }
    const std::uint64_t declared = declaredLengthOf(file);
    return inflateUpTo(file, storage,
                       static_cast<std::size_t>(std::min<std::uint64_t>(wanted, declared)));
}

std::uint32_t firstFrameBackground(std::span<const std::uint8_t> movie) {
    if (movie.size() <= FileHeaderLength) {
        return White;
    }
    // The frame rectangle: five bits of field width, then four fields of that width.
    const std::size_t nbits = movie[FileHeaderLength] >> 3;
    std::size_t at = FileHeaderLength + (5 + 4 * nbits + 7) / 8 + 4; // rate and count
    while (at + 2 <= movie.size()) {
        const std::uint16_t codeAndLength =
            static_cast<std::uint16_t>(movie[at] | (movie[at + 1] << 8));
        const std::uint16_t code = codeAndLength >> 6;
        std::uint64_t length = codeAndLength & 0x3F;
        at += 2;
        if (length == 0x3F) {
            if (at + 4 > movie.size()) {
                break;
            }
            length = uint32At(movie, at);
            at += 4;
        }
        if (code == TagEnd || code == TagShowFrame) {
            break;
        }
        if (code == TagSetBackgroundColor) {
            if (length < 3 || at + 3 > movie.size()) {
                break;
            }
            return (std::uint32_t{movie[at]} << 16) | (std::uint32_t{movie[at + 1]} << 8) |
                   movie[at + 2];
        }
        if (length > movie.size() - at) {
            break;
        }
        at += static_cast<std::size_t>(length);
    }
    return White;
}

} // namespace cardformat
