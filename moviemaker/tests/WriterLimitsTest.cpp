// Values the format cannot hold are refused with a WriteError, and a refused call leaves the
// movie as it was: what finish() gives afterwards is the movie without that call.

#include "ReadBack.h"
#include "moviemaker/SwfWriter.h"
#include "moviemaker/Video.h"
#include "moviemaker/WriteError.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

namespace moviemaker {
namespace {

using namespace roundtrip;

struct Refusal {
    const char* what;
    std::function<void(SwfWriter&)> call;
};

Shape square() {
    Shape s;
    s.fill1(s.addFill(FillStyle::solid({1, 2, 3}))).rectangle(0, 0, 100, 100);
    return s;
}

Font oneGlyphFont() {
    Font font;
    font.glyphs.push_back({square(), u'a', 100});
    return font;
}

std::vector<Refusal> refusals() {
    constexpr int32_t kHuge = std::numeric_limits<int32_t>::min();
    return {
        {"a shape version that does not exist", [](SwfWriter& m) { m.defineShape(square(), 5); }},
        {"a rectangle coordinate beyond 31 bits",
         [](SwfWriter& m) {
             m.defineShape(square(), 3, {Rect{kHuge, 0, 0, 0}});
         }},
        {"a move beyond 31 bits",
         [](SwfWriter& m) {
             Shape s;
             s.moveTo(kHuge, 0);
             m.defineShape(s, 3, {Rect{}});
         }},
        {"a matrix translation beyond 31 bits",
         [](SwfWriter& m) { m.place(1, 1, Matrix::translate(kHuge, 0)); }},
        {"sixteen gradient stops",
         [](SwfWriter& m) {
             Shape s;
             s.addFill(FillStyle::linear({}, Gradient{SpreadMode::Pad, InterpolationMode::Normal,
                                                      std::vector<GradientStop>(16)}));
             m.defineShape(s);
         }},
        {"an unknown fill type",
         [](SwfWriter& m) {
             Shape s;
             FillStyle odd;
             odd.type = static_cast<FillType>(0x20);
             s.addFill(odd);
             m.defineShape(s);
         }},
        {"a filled line before the fourth shape version",
         [](SwfWriter& m) {
             Shape s;
             LineStyle line;
             line.fill = FillStyle::solid({});
             s.addLine(line);
             m.defineShape(s, 3);
         }},
        {"255 styles in the first shape version",
         [](SwfWriter& m) {
             Shape s;
             for (int i = 0; i < 255; ++i) {
                 s.addFill(FillStyle::solid({}));
             }
             m.defineShape(s, 1);
         }},
        {"a colour transform term of 16 bits",
         [](SwfWriter& m) {
             ColorTransform cx;
             cx.redAdd = std::numeric_limits<int16_t>::max();
             m.moveObject(1, {}, cx);
         }},
        {"a translucent colour in the second shape version",
         [](SwfWriter& m) {
             Shape s;
             s.addFill(FillStyle::solid({1, 2, 3, 254}));
             m.defineShape(s, 2);
         }},
        {"a cap in the third shape version",
         [](SwfWriter& m) {
             Shape s;
             LineStyle line;
             line.endCap = CapStyle::Square;
             s.addLine(line);
             m.defineShape(s, 3);
         }},
        {"alpha terms in the first placement version",
         [](SwfWriter& m) {
             PlaceObject p;
             p.characterId = 1;
             p.colorTransform = ColorTransform::alpha(0.5);
             m.placeObject(p, 1);
         }},
        {"a blend mode in the second placement version",
         [](SwfWriter& m) {
             PlaceObject p;
             p.blendMode = BlendMode::Add;
             m.placeObject(p, 2);
         }},
        {"a text height without its font",
         [](SwfWriter& m) {
             Text text;
             text.records.push_back({{}, 240, {}, {}, {}, {}});
             m.defineText(text);
         }},
        {"a first-version placement without a character",
         [](SwfWriter& m) { m.placeObject(PlaceObject{}, 1); }},
        {"a name with a zero byte",
         [](SwfWriter& m) {
             PlaceObject p;
             p.name = std::string("a\0b", 3);
             m.placeObject(p);
         }},
        {"a label with a zero byte",
         [](SwfWriter& m) { m.frameLabel(std::string_view("x\0", 2)); }},
        {"a negative blur",
         [](SwfWriter& m) {
             blurFilterList(-1, 0, 1);
             (void)m;
         }},
        {"morph paths of different lengths",
         [](SwfWriter& m) {
             MorphShape morph;
             morph.start().lineTo(10, 0);
             m.defineMorphShape(morph);
         }},
        {"a reflected gradient in the first morph version",
         [](SwfWriter& m) {
             MorphShape morph;
             MorphFillStyle fill = MorphFillStyle::gradient(FillType::Linear, {}, {}, {});
             fill.spread = SpreadMode::Reflect;
             morph.addFill(fill);
             m.defineMorphShape(morph, 1);
         }},
        {"a filled morph line in the first morph version",
         [](SwfWriter& m) {
             MorphShape morph;
             MorphLineStyle line;
             line.fill = MorphFillStyle::solid({}, {});
             morph.addLine(line);
             m.defineMorphShape(morph, 1);
         }},
        {"a pixel count that does not match the size",
         [](SwfWriter& m) {
             m.defineBitsLossless({2, 2, std::vector<Rgba>(3)});
         }},
        {"translucent pixels in the first lossless version",
         [](SwfWriter& m) {
             m.defineBitsLossless({1, 1, {Rgba{1, 2, 3, 4}}}, 1);
         }},
        {"15-bit colour with alpha",
         [](SwfWriter& m) {
             m.defineBitsLossless({1, 1, {Rgba{}}}, 2, LosslessFormat::Rgb15);
         }},
        {"a palette of 257 colours",
         [](SwfWriter& m) {
             RawImage image{257, 1, {}};
             for (int i = 0; i < 257; ++i) {
                 image.pixels.push_back({uint8_t(i), uint8_t(i >> 8), 0, 255});
             }
             m.defineBitsLossless(image, 2, LosslessFormat::Palette8);
         }},
        {"a font name of 256 bytes",
         [](SwfWriter& m) {
             Font font = oneGlyphFont();
             font.name.assign(256, 'n');
             m.defineFont(font, 3);
         }},
        {"256 glyphs in one text record",
         [](SwfWriter& m) {
             Text text;
             TextRecord record;
             record.glyphs.resize(256);
             text.records.push_back(record);
             m.defineText(text);
         }},
        {"a button record in no state",
         [](SwfWriter& m) {
             Button button;
             button.records.push_back({0, 1, 1, {}, {}});
             m.defineButton2(button);
         }},
        {"a sound codec of five bits",
         [](SwfWriter& m) {
             SoundFormat format;
             format.codec = 16;
             m.defineSound(format, 0, {});
         }},
        {"256 envelope points",
         [](SwfWriter& m) {
             SoundInfo info;
             info.envelope.resize(256);
             m.startSound(1, info);
         }},
        {"an action payload of 64 KiB",
         [](SwfWriter& m) { m.doAction(Actions().push(std::string(70000, 'x'))); }},
        {"a function body of 64 KiB",
         [](SwfWriter& m) {
             Actions body;
             for (int i = 0; i < 70000; ++i) {
                 body.stop();
             }
             m.doAction(Actions().defineFunction2("f", 0, 0, {}, body));
         }},
        {"a constant with a zero byte",
         [](SwfWriter& m) { m.doAction(Actions().constantPool({std::string("a\0", 2)})); }},
        {"a motion vector the table lacks",
         [](SwfWriter& m) {
             H263Frame(H263Frame::Inter, 16, 16, 1).moved(3, 0);
             (void)m;
         }},
    };
}

TEST(WriterLimits, RefusedCallsLeaveTheMovieAsItWas) {
    const auto build = [](const std::function<void(SwfWriter&)>& middle) {
        SwfWriter movie;
        movie.place(movie.defineShape(square()), 1);
        movie.showFrame();
        if (middle) {
            EXPECT_THROW(middle(movie), WriteError);
        }
        movie.defineShape(square());
        movie.showFrame();
        return movie.finish();
    };
    const auto reference = build({});
    ASSERT_TRUE(readBack(reference));
    for (const Refusal& refusal : refusals()) {
        SCOPED_TRACE(refusal.what);
        EXPECT_EQ(build(refusal.call), reference);
    }
}

TEST(WriterLimits, AMovieHoldsAtMost65535Frames) {
    Sprite sprite;
    for (int i = 0; i < 65535; ++i) {
        sprite.showFrame();
    }
    EXPECT_THROW(sprite.showFrame(), WriteError);
    EXPECT_EQ(sprite.frameCount(), 65535);
    SwfWriter movie;
    const uint16_t id = movie.defineSprite(sprite);
    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    const auto* readSprite = read->findAs<swf::Sprite>(id);
    ASSERT_NE(readSprite, nullptr);
    EXPECT_EQ(readSprite->timeline.declaredFrameCount, 65535);
}

TEST(WriterLimits, CharacterIdsRunOutBeforeTheReservedLastOne) {
    SwfWriter movie;
    const Sprite empty;
    uint16_t last = 0;
    for (int i = 0; i < 65534; ++i) {
        last = movie.defineSprite(empty);
    }
    EXPECT_EQ(last, 65534);
    EXPECT_THROW(movie.defineSprite(empty), WriteError);
    EXPECT_THROW(movie.defineSound(SoundFormat{}, 0, {}), WriteError);
    EXPECT_EQ(movie.nextId(), 65535);
}

TEST(WriterLimits, FrameRatesOutsideEightDotEight) {
    for (double rate : {-1.0, 256.0, std::numeric_limits<double>::quiet_NaN()}) {
        MovieHeader header;
        header.frameRate = rate;
        SwfWriter movie(header);
        EXPECT_THROW(movie.finish(), WriteError) << rate;
    }
    MovieHeader fastest;
    fastest.frameRate = 255.99;
    SwfWriter movie(fastest);
    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->header.frameRateRaw, 0xFFFD);
}

} // namespace
} // namespace moviemaker
