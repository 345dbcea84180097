#pragma once
// Builds movie bytes by hand for the tests: little-endian fields, MSB-first bit fields, tags
// and whole files.

#include "swf/Movie.h"

#include <cstdint>
#include <lzma.h>
#include <memory>
#include <string>
#include <vector>
#include <zlib.h>

namespace swf::test {

class Bytes {
  public:
    Bytes& u8(std::uint32_t v) {
        align();
        data_.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    Bytes& u16(std::uint32_t v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& str(const std::string& s) {
        for (char c : s) {
            u8(static_cast<std::uint8_t>(c));
        }
        return u8(0);
    }
    Bytes& append(const std::vector<std::uint8_t>& more) {
        align();
        data_.insert(data_.end(), more.begin(), more.end());
        return *this;
    }
    Bytes& rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) { return u8(r).u8(g).u8(b); }
    Bytes& rgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
        return rgb(r, g, b).u8(a);
    }

    // Unsigned bit field, most significant bit first.
    Bytes& ub(unsigned bits, std::uint32_t v) {
        for (unsigned i = bits; i-- > 0;) {
            if (bitPos_ == 0) {
                data_.push_back(0);
            }
            if ((v >> i) & 1u) {
                data_.back() |= static_cast<std::uint8_t>(0x80u >> bitPos_);
            }
            bitPos_ = (bitPos_ + 1) % 8;
        }
        return *this;
    }
    Bytes& sb(unsigned bits, std::int32_t v) { return ub(bits, static_cast<std::uint32_t>(v)); }
    Bytes& align() {
        bitPos_ = 0;
        return *this;
    }

    // RECT with 16-bit fields.
    Bytes& rect(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax) {
        return ub(5, 16).sb(16, xMin).sb(16, xMax).sb(16, yMin).sb(16, yMax).align();
    }
    // MATRIX with translation only.
    Bytes& translate(std::int32_t tx, std::int32_t ty) {
        return ub(1, 0).ub(1, 0).ub(5, 20).sb(20, tx).sb(20, ty).align();
    }
    Bytes& identity() { return ub(1, 0).ub(1, 0).ub(5, 0).align(); }

    // Shape record helpers (bit level, no alignment).
    Bytes& lineTo(std::int32_t dx, std::int32_t dy) {
        return ub(1, 1).ub(1, 1).ub(4, 14).ub(1, 1).sb(16, dx).sb(16, dy);
    }
    Bytes& curveTo(std::int32_t cdx, std::int32_t cdy, std::int32_t adx, std::int32_t ady) {
        return ub(1, 1).ub(1, 0).ub(4, 14).sb(16, cdx).sb(16, cdy).sb(16, adx).sb(16, ady);
    }
    // Style change with a move and the given 1-based styles (4-bit indexes).
    Bytes& moveStyle(std::int32_t x, std::int32_t y, std::uint32_t fill0, std::uint32_t fill1,
                     std::uint32_t line) {
        return ub(1, 0)
            .ub(1, 0)
            .ub(1, 1)
            .ub(1, 1)
            .ub(1, 1)
            .ub(1, 1)
            .ub(5, 16)
            .sb(16, x)
            .sb(16, y)
            .ub(4, fill0)
            .ub(4, fill1)
            .ub(4, line);
    }
    Bytes& endShape() { return ub(6, 0).align(); }

    const std::vector<std::uint8_t>& data() const { return data_; }
    std::size_t size() const { return data_.size(); }

  private:
    std::vector<std::uint8_t> data_;
    unsigned bitPos_ = 0;
};

inline std::vector<std::uint8_t> operator+(std::vector<std::uint8_t> a,
                                           const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline std::vector<std::uint8_t> tag(std::uint16_t code, const std::vector<std::uint8_t>& body,
                                     bool longHeader = false) {
    Bytes b;
    if (body.size() < 0x3F && !longHeader) {
        b.u16(static_cast<std::uint32_t>(code << 6 | body.size()));
    } else {
        b.u16(static_cast<std::uint32_t>(code << 6 | 0x3F))
            .u32(static_cast<std::uint32_t>(body.size()));
    }
    return b.append(body).data();
}

// A whole uncompressed movie: 550x400 px stage, 12 fps, `frames` frames, then `tags` and
// (unless `end` is false) the End tag.
inline std::vector<std::uint8_t> movie(const std::vector<std::uint8_t>& tags,
                                       std::uint8_t version = 8, std::uint16_t frames = 1,
                                       bool end = true) {
    Bytes body;
    body.rect(0, 11000, 0, 8000).u16(12 << 8).u16(frames).append(tags);
    if (end) {
        body.u16(0);
    }
    Bytes file;
    file.u8('F').u8('W').u8('S').u8(version).u32(static_cast<std::uint32_t>(8 + body.size()));
    return file.append(body.data()).data();
}

// The same movie zlib-compressed ("CWS").
inline std::vector<std::uint8_t> compressed(const std::vector<std::uint8_t>& fws) {
    std::vector<std::uint8_t> out(fws.begin(), fws.begin() + 8);
    out[0] = 'C';
    uLongf length = compressBound(static_cast<uLong>(fws.size()));
    std::vector<std::uint8_t> z(length);
    compress2(z.data(), &length, fws.data() + 8, static_cast<uLong>(fws.size() - 8), 9);
    out.insert(out.end(), z.begin(), z.begin() + static_cast<std::ptrdiff_t>(length));
    return out;
}

// The same movie LZMA-compressed ("ZWS"): the eight bytes, the compressed length, the five
// bytes of properties and the LZMA data, which ends with an end marker.
inline std::vector<std::uint8_t> lzmaCompressed(const std::vector<std::uint8_t>& fws) {
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_stream zs = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&zs, &options) != LZMA_OK) {
        return {};
    }
    std::vector<std::uint8_t> alone(fws.size() + 1024);
    zs.next_in = fws.data() + 8;
    zs.avail_in = fws.size() - 8;
    zs.next_out = alone.data();
    zs.avail_out = alone.size();
    while (lzma_code(&zs, LZMA_FINISH) == LZMA_OK) {
    }
    alone.resize(zs.total_out);
    lzma_end(&zs);
    // The .lzma header is the properties and an eight-byte size; the movie has no size there.
    const auto data = static_cast<std::uint32_t>(alone.size() - 13);
    std::vector<std::uint8_t> out(fws.begin(), fws.begin() + 8);
    out[0] = 'Z';
    out.insert(out.end(),
               {static_cast<std::uint8_t>(data), static_cast<std::uint8_t>(data >> 8),
                static_cast<std::uint8_t>(data >> 16), static_cast<std::uint8_t>(data >> 24)});
    out.insert(out.end(), alone.begin(), alone.begin() + 5);
    out.insert(out.end(), alone.begin() + 13, alone.end());
    return out;
}

// Loads hand-built tags as a version-`version` movie; the test fails on a load error.
inline std::unique_ptr<Movie> load(const std::vector<std::uint8_t>& tags,
                                   std::uint8_t version = 8) {
    LoadResult result = loadMovie(movie(tags, version));
    return std::move(result.movie);
}

} // namespace swf::test
