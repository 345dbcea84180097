#include "Decompress.h"

#include <algorithm>
#include <zlib.h>

namespace swf {

namespace {

constexpr std::size_t FileHeaderSize = 8;

/// Inflates `input` into `out` until `limit` bytes, the end of the stream or an error. The
/// buffer grows as data arrives instead of trusting the declared length up front.
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
        if (bytes.size() == produced) {
            const std::size_t grow = std::clamp<std::size_t>(produced, 1u << 16, 16u << 20);
            bytes.resize(std::min(target, produced + grow));
        }
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

    if (file[0] == 'Z') {
        out.compression = Compression::Lzma;
        out.error = LoadError::Unsupported;
        return out;
    }
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
    out.compression = Compression::Zlib;
    inflateInto(body, bodyLimit, out);
    out.shorterThanDeclared = out.bytes.size() - FileHeaderSize < declaredBody && !out.capped;
    if (out.bytes.size() == FileHeaderSize && declaredBody > 0) {
        out.error = LoadError::NoBody;
    }
    return out;
}

} // namespace swf
