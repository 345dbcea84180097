#include "Decompress.h"

#include <algorithm>
#include <array>
#include <lzma.h>
#include <zlib.h>

namespace swf {

namespace {

constexpr std::size_t FileHeaderSize = 8;
// An LZMA movie's eight bytes are followed by the compressed length (four bytes, which
// encoders get wrong, so the rest of the file is used) and the five bytes of LZMA properties.
constexpr std::size_t LzmaLengthSize = 4;
constexpr std::size_t LzmaPropertiesSize = 5;
constexpr std::size_t LzmaHeaderSize = FileHeaderSize + LzmaLengthSize + LzmaPropertiesSize;

// Room for the next piece of output: the buffer grows as data arrives instead of trusting
// the declared length up front.
void growOutput(std::vector<std::uint8_t>& bytes, std::size_t produced, std::size_t target) {
    if (bytes.size() == produced) {
        const std::size_t grow = std::clamp<std::size_t>(produced, 1u << 16, 16u << 20);
        bytes.resize(std::min(target, produced + grow));
    }
}

// Inflates `input` into `out` until `limit` bytes, the end of the stream or an error.
void inflateInto(std::span<const std::uint8_t> input, std::size_t limit, DecompressedFile& out) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) {
        out.corrupt = true;
        return;
    }
    zs.next_in = const_cast<Bytef*>(input.data());
    zs.avail_in = static_cast<uInt>(std::min<std::size_t>(input.size(), UINT32_MAX));
    std::vector<std::uint8_t>& bytes = out.bytes;
    const std::size_t target = FileHeaderSize + limit;
    std::size_t produced = bytes.size();
    int status = Z_OK;
    while (produced < target) {
        growOutput(bytes, produced, target);
        zs.next_out = bytes.data() + produced;
        zs.avail_out =
            static_cast<uInt>(std::min<std::size_t>(bytes.size() - produced, UINT32_MAX));
        const uInt before = zs.avail_out;
        status = inflate(&zs, Z_NO_FLUSH);
        produced += before - zs.avail_out;
        if (status == Z_STREAM_END) {
            break;
        }
        if (status != Z_OK) {
            // Z_BUF_ERROR with input left cannot happen here (output space was given), so it
            // means the input ran out: a truncated stream, not a damaged one.
            if (status != Z_BUF_ERROR) {
                out.corrupt = true;
            }
            break;
        }
    }
    inflateEnd(&zs);
    bytes.resize(produced);
}

// Decodes the LZMA body of `file` into `out` until `limit` bytes, the end of the stream or an
// error. The body is handed to the decoder as the classic .lzma format: the properties, then
// the expected size, which makes the decoder stop there. The dictionary never needs to be
// larger than the output, so a hostile dictionary size cannot make the decoder allocate more.
void decodeLzmaInto(std::span<const std::uint8_t> file, std::size_t limit, DecompressedFile& out) {
    if (file.size() < LzmaHeaderSize) {
        return;
    }
    const std::size_t props = FileHeaderSize + LzmaLengthSize;
    std::array<std::uint8_t, 13> header{};
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(props), LzmaPropertiesSize,
                header.begin());
    std::uint32_t dictionary = std::uint32_t{header[1]} | (std::uint32_t{header[2]} << 8) |
                               (std::uint32_t{header[3]} << 16) | (std::uint32_t{header[4]} << 24);
    std::uint32_t enough = 1u << 12;
    while (enough < limit && enough < (1u << 31)) {
        enough <<= 1;
    }
    dictionary = std::min(dictionary, enough);
    for (int i = 0; i < 4; ++i) {
        header[1 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(dictionary >> (8 * i));
    }
    for (int i = 0; i < 8; ++i) {
        header[5 + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(static_cast<std::uint64_t>(limit) >> (8 * i));
    }

    lzma_stream zs = LZMA_STREAM_INIT;
    // The decoder needs the dictionary and its probability tables (a few MiB at the most).
    if (lzma_alone_decoder(&zs, std::uint64_t{enough} + (32u << 20)) != LZMA_OK) {
        out.corrupt = true;
        return;
    }
    std::vector<std::uint8_t>& bytes = out.bytes;
    const std::size_t target = FileHeaderSize + limit;
    std::size_t produced = bytes.size();
    const auto body = file.subspan(LzmaHeaderSize);
    bool headerGiven = false;
    zs.next_in = header.data();
    zs.avail_in = header.size();
    while (produced < target) {
        if (zs.avail_in == 0 && !headerGiven) {
            headerGiven = true;
            zs.next_in = body.data();
            zs.avail_in = body.size();
        }
        growOutput(bytes, produced, target);
        zs.next_out = bytes.data() + produced;
        zs.avail_out = bytes.size() - produced;
        const std::size_t before = zs.avail_out;
        const lzma_ret status = lzma_code(&zs, headerGiven ? LZMA_FINISH : LZMA_RUN);
        produced += before - zs.avail_out;
        if (status == LZMA_STREAM_END) {
            break;
        }
        if (status != LZMA_OK) {
            // Running out of input is a truncated stream, not a damaged one.
            if (status != LZMA_BUF_ERROR) {
                out.corrupt = true;
            }
            break;
        }
    }
    lzma_end(&zs);
    bytes.resize(produced);
}

} // namespace

DecompressedFile decompressFile(std::span<const std::uint8_t> file, std::size_t maxBytes) {
    DecompressedFile out;
    if (file.size() < FileHeaderSize || file[1] != 'W' || file[2] != 'S' ||
        (file[0] != 'F' && file[0] != 'C' && file[0] != 'Z')) {
        out.error = LoadError::NotSwf;
        return out;
    }
    out.version = file[3];
    out.declaredLength = static_cast<std::uint32_t>(file[4]) | (std::uint32_t{file[5]} << 8) |
                         (std::uint32_t{file[6]} << 16) | (std::uint32_t{file[7]} << 24);
    const std::size_t declaredBody =
        out.declaredLength > FileHeaderSize ? out.declaredLength - FileHeaderSize : 0;
    const std::size_t bodyLimit = std::min(declaredBody, maxBytes);
    out.capped = declaredBody > maxBytes;

    out.bytes.assign(file.begin(), file.begin() + FileHeaderSize);
    const auto body = file.subspan(FileHeaderSize);
    if (file[0] == 'F') {
        out.compression = Compression::None;
        // An uncompressed body is taken as present: the tags end where the file does, which
        // is how players treat a wrong declared length.
        const std::size_t take = std::min(body.size(), maxBytes);
        out.capped = body.size() > maxBytes;
        out.bytes.insert(out.bytes.end(), body.begin(),
                         body.begin() + static_cast<std::ptrdiff_t>(take));
        out.shorterThanDeclared = body.size() < declaredBody;
        return out;
    }
    if (file[0] == 'Z') {
        out.compression = Compression::Lzma;
        decodeLzmaInto(file, bodyLimit, out);
    } else {
        out.compression = Compression::Zlib;
        inflateInto(body, bodyLimit, out);
    }
    out.shorterThanDeclared = out.bytes.size() - FileHeaderSize < declaredBody && !out.capped;
    if (out.bytes.size() == FileHeaderSize && declaredBody > 0) {
        out.error = LoadError::NoBody;
    }
    return out;
}

} // namespace swf
