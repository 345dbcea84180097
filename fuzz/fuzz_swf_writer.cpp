// Drives the movie writer with builder calls chosen by the input: any values, any
// order. The writer may refuse a value with an exception; it must never crash, and what it
// finishes must be a well-framed movie (declared length, tags that end exactly at End,
// one show-frame per counted frame).
#include "moviemaker/SwfWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

class Input {
  public:
    Input(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t u8() { return at_ < size_ ? data_[at_++] : 0; }
    uint16_t u16() { return static_cast<uint16_t>(u8() | u8() << 8); }
    int32_t i32() {
        // Mostly small coordinates, sometimes huge ones to exercise splitting and limits.
        const uint8_t kind = u8();
        const auto raw = static_cast<int32_t>(static_cast<uint32_t>(u16()) << 16 | u16());
        return kind < 200 ? raw % 4000 : raw;
    }
    std::string text() {
        std::string s;
        for (uint8_t n = u8() % 8; n > 0; --n) {
            s.push_back(static_cast<char>(u8() | 1));
        }
        return s;
    }

  private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

moviemaker::Rgba colour(Input& in) {
    return {in.u8(), in.u8(), in.u8(), in.u8()};
}

moviemaker::Matrix matrix(Input& in) {
    moviemaker::Matrix m;
    m.scaleX = in.i32();
    m.scaleY = in.i32();
    m.rotateSkew0 = in.u8() < 128 ? 0 : in.i32();
    m.rotateSkew1 = in.i32();
    m.translateX = in.i32();
    m.translateY = in.i32();
    return m;
}

moviemaker::FillStyle fill(Input& in) {
    moviemaker::Gradient g;
    g.spread = static_cast<moviemaker::SpreadMode>(in.u8() % 4);
    for (uint8_t n = in.u8() % 17; n > 0; --n) {
        g.stops.push_back({in.u8(), colour(in)});
    }
    switch (in.u8() % 5) {
    case 0:
        return moviemaker::FillStyle::solid(colour(in));
    case 1:
        return moviemaker::FillStyle::linear(matrix(in), g);
    case 2:
        return moviemaker::FillStyle::radial(matrix(in), g);
    case 3:
        return moviemaker::FillStyle::focal(matrix(in), g, (static_cast<int8_t>(in.u8())) / 64.0);
    default:
        return moviemaker::FillStyle::bitmap(in.u16(), matrix(in), in.u8() & 1, in.u8() & 1);
    }
}

void draw(Input& in, moviemaker::Shape& s, bool styles) {
    for (uint8_t n = in.u8() % 24; n > 0 && !in.empty(); --n) {
        switch (in.u8() % 8) {
        case 0:
            s.moveTo(in.i32(), in.i32());
            break;
        case 1:
        case 2:
            s.lineTo(in.i32(), in.i32());
            break;
        case 3:
            s.curveTo(in.i32(), in.i32(), in.i32(), in.i32());
            break;
        case 4:
            if (styles) {
                s.fill1(s.addFill(fill(in)));
            }
            break;
        case 5:
            if (styles) {
                moviemaker::LineStyle l;
                l.width = in.u16();
                l.join = static_cast<moviemaker::JoinStyle>(in.u8() % 3);
                l.noHScale = in.u8() & 1;
                s.line(s.addLine(l));
            }
            break;
        case 6:
            if (styles) {
                s.newStyles();
            }
            break;
        default:
            s.fill0(in.u8()).close();
            break;
        }
    }
}

void place(Input& in, moviemaker::Timeline& t) {
    moviemaker::PlaceObject p;
    p.depth = in.u16();
    if (in.u8() & 1) {
        p.characterId = in.u16();
    }
    p.move = in.u8() & 1;
    if (in.u8() & 1) {
        p.matrix = matrix(in);
    }
    if (in.u8() & 1) {
        moviemaker::ColorTransform cx;
        cx.redMult = static_cast<int16_t>(in.u16());
        cx.alphaAdd = static_cast<int16_t>(in.u16() % 512);
        p.colorTransform = cx;
    }
    if (in.u8() & 1) {
        p.name = in.text();
    }
    if (in.u8() & 1) {
        p.blendMode = static_cast<moviemaker::BlendMode>(in.u8() % 15);
        p.filters =
            moviemaker::blurFilterList(in.u8() / 8.0, 2, static_cast<uint8_t>(in.u8() % 17));
    }
    t.placeObject(p, 1 + in.u8() % 3);
}

void step(Input& in, moviemaker::SwfWriter& movie) {
    switch (in.u8() % 12) {
    case 0: {
        moviemaker::Shape s;
        draw(in, s, true);
        movie.defineShape(s, 1 + in.u8() % 4);
        break;
    }
    case 1: {
        moviemaker::MorphShape m;
        m.addFill(moviemaker::MorphFillStyle::solid(colour(in), colour(in)));
        m.start().fill1(1);
        draw(in, m.start(), false);
        draw(in, m.end(), false);
        movie.defineMorphShape(m, 1 + in.u8() % 2);
        break;
    }
    case 2: {
        moviemaker::Sprite sprite;
        for (uint8_t n = in.u8() % 4; n > 0; --n) {
            place(in, sprite);
            sprite.showFrame();
        }
        movie.defineSprite(sprite);
        break;
    }
    case 3:
        place(in, movie);
        break;
    case 4:
        movie.removeObject(in.u16());
        break;
    case 5:
        movie.showFrame();
        break;
    case 6:
        movie.frameLabel(in.text(), in.u8() & 1);
        break;
    case 7:
        movie.doAction(moviemaker::Actions().gotoFrame(in.u16()).gotoLabel(in.text()).stop());
        break;
    case 8: {
        moviemaker::RawImage image;
        image.width = in.u8() % 17;
        image.height = in.u8() % 17;
        for (int i = 0; i < image.width * image.height; ++i) {
            image.pixels.push_back({in.u8(), in.u8(), 0, in.u8()});
        }
        movie.defineBitsLossless(image, 1 + in.u8() % 2,
                                 static_cast<moviemaker::LosslessFormat>(3 + in.u8() % 3));
        break;
    }
    case 9: {
        moviemaker::Font font;
        font.name = in.text();
        for (uint8_t n = in.u8() % 4; n > 0; --n) {
            moviemaker::Glyph g;
            draw(in, g.outline, false);
            g.code = in.u16();
            font.glyphs.push_back(std::move(g));
        }
        movie.defineFont(font, 1 + in.u8() % 3);
        break;
    }
    case 10: {
        moviemaker::Text text;
        text.matrix = matrix(in);
        moviemaker::TextRecord r;
        r.fontId = in.u16();
        for (uint8_t n = in.u8() % 6; n > 0; --n) {
            r.glyphs.push_back({in.u16(), in.i32()});
        }
        text.records.push_back(r);
        movie.defineText(text, 1 + in.u8() % 2);
        break;
    }
    default:
        movie.setBackgroundColor({in.u8(), in.u8(), in.u8()});
        break;
    }
}

uint32_t le32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void checkFraming(const std::vector<uint8_t>& swf, uint16_t frames) {
    if (swf.size() < 9 || le32(swf, 4) != swf.size()) {
        std::abort();
    }
    const unsigned bits = swf[8] >> 3;
    std::size_t at = 8 + (5 + 4 * bits + 7) / 8;
    if (at + 4 > swf.size()) {
        std::abort();
    }
    if (swf[at + 2] != (frames & 0xFF) || swf[at + 3] != frames >> 8) {
        std::abort();
    }
    at += 4;
    unsigned shown = 0;
    while (true) {
        if (at + 2 > swf.size()) {
            std::abort();
        }
        const unsigned head = swf[at] | swf[at + 1] << 8;
        at += 2;
        std::size_t length = head & 0x3F;
        if (length == 0x3F) {
            length = le32(swf, at);
            at += 4;
        }
        if (length > swf.size() - at) {
            std::abort();
        }
        at += length;
        shown += (head >> 6) == 1 ? 1 : 0;
        if ((head >> 6) == 0) {
            break;
        }
    }
    if (at != swf.size() || shown != frames) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    Input in(data, size);
    moviemaker::MovieHeader header;
    header.frameSize = {in.i32(), in.i32(), in.i32(), in.i32()};
    header.frameRate = in.u16() / 256.0;
    moviemaker::SwfWriter movie(header);
    for (int steps = 0; steps < 64 && !in.empty(); ++steps) {
        try {
            step(in, movie);
        } catch (const moviemaker::WriteError&) {
            // Refused values leave the movie as it was; the next step goes on from there.
        }
    }
    try {
        checkFraming(movie.finish(), movie.frameCount());
    } catch (const moviemaker::WriteError&) {
        // A frame rectangle wider than the field allows is refused at the end.
    }
    return 0;
}
