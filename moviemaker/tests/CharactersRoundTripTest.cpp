// Bitmaps, fonts, text, sounds and video written and read back with the player's readers
// and decoders: what the player would show or play is what was given.

#include "LosslessBitmaps.h"
#include "ReadBack.h"
#include "SoundTags.h"
#include "moviemaker/SwfWriter.h"
#include "moviemaker/Video.h"
#include "swf/Movie.h"

#include <gtest/gtest.h>

#include <QColor>

#include <algorithm>
#include <cstdlib>

namespace moviemaker {
namespace {

using namespace roundtrip;

// Opaque, translucent and fully transparent pixels, three wide so rows need padding.
RawImage sampleImage() {
    return {3,
            2,
            {{255, 0, 0, 255},
             {0, 128, 255, 255},
             {10, 20, 30, 128},
             {200, 100, 50, 0},
             {255, 255, 255, 255},
             {90, 60, 30, 64}}};
}

mc::DecodedBitmap decoded(const swf::Movie& read, uint16_t id) {
    const auto* bitmap = read.findAs<swf::LosslessBitmap>(id);
    if (bitmap == nullptr) {
        ADD_FAILURE() << "no bitmap " << id;
        return {};
    }
    const mc::LosslessHeader header{bitmap->format, bitmap->width, bitmap->height,
                                    bitmap->colorTableSize};
    return mc::decodeLosslessPixels(header, bitmap->zlibData,
                                    bitmap->version == 2 ? mc::LosslessVersion::WithAlpha
                                                         : mc::LosslessVersion::Opaque);
}

// Straight colours back from the premultiplied picture: exact where opaque, within the
// rounding of premultiplication where translucent, and `step` where the format keeps fewer
// bits. A transparent pixel has no colour to compare.
void expectPixels(const mc::DecodedBitmap& bitmap, const RawImage& image, int step = 0) {
    ASSERT_TRUE(bitmap.usable());
    EXPECT_EQ(bitmap.status, mc::BitmapStatus::Complete);
    ASSERT_EQ(bitmap.image.width(), image.width);
    ASSERT_EQ(bitmap.image.height(), image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            SCOPED_TRACE("pixel " + std::to_string(x) + "," + std::to_string(y));
            const Rgba want = image.pixels[static_cast<std::size_t>(y * image.width + x)];
            const QColor got = bitmap.image.pixelColor(x, y);
            const int alpha = want.a;
            EXPECT_EQ(got.alpha(), alpha);
            if (alpha == 0) {
                continue;
            }
            const int tolerance = std::max(step, alpha == 255 ? 0 : 255 / alpha + 1);
            EXPECT_LE(std::abs(got.red() - want.r), tolerance);
            EXPECT_LE(std::abs(got.green() - want.g), tolerance);
            EXPECT_LE(std::abs(got.blue() - want.b), tolerance);
        }
    }
}

TEST(BitmapRoundTrip, EveryLosslessFormatShowsTheImage) {
    struct Case {
        const char* what = nullptr;
        int version = 0;
        LosslessFormat format{};
        int step = 0; // colour precision the format keeps
        uint16_t id = 0;
    };
    Case cases[] = {{"32-bit with alpha", 2, LosslessFormat::Argb32, 0},
                    {"32-bit opaque", 1, LosslessFormat::Argb32, 0},
                    {"palette with alpha", 2, LosslessFormat::Palette8, 0},
                    {"palette opaque", 1, LosslessFormat::Palette8, 0},
                    {"15-bit", 1, LosslessFormat::Rgb15, 8}};
    const RawImage translucent = sampleImage();
    RawImage opaque = translucent; // the first version has no alpha
    for (Rgba& pixel : opaque.pixels) {
        pixel.a = 255;
    }
    SwfWriter movie;
    for (Case& c : cases) {
        c.id = movie.defineBitsLossless(c.version == 2 ? translucent : opaque, c.version, c.format);
    }
    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectPixels(decoded(*read, c.id), c.version == 2 ? translucent : opaque, c.step);
    }
    const auto* palette = read->findAs<swf::LosslessBitmap>(cases[2].id);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->colorTableSize, 5); // six colours, stored as count - 1
}

Shape glyphOutline(int32_t size, bool withCurve) {
    Shape s;
    s.moveTo(0, 0).lineTo(size, 0).lineTo(size, -size);
    if (withCurve) {
        s.curveTo(size / 2, -2 * size, 0, -size);
    }
    return s.close();
}

Font sampleFont(int32_t em) {
    Font font;
    font.name = "Sample 字体";
    font.bold = true;
    font.languageCode = 2;
    font.ascent = static_cast<uint16_t>(em * 8 / 10);
    font.descent = static_cast<uint16_t>(em / 5);
    font.leading = -7;
    font.glyphs.push_back({glyphOutline(em / 2, false), u'A', static_cast<int16_t>(em / 2)});
    font.glyphs.push_back({glyphOutline(em / 3, true), u'福', static_cast<int16_t>(em)});
    font.glyphs.push_back({Shape{}, u' ', static_cast<int16_t>(em / 4)}); // a space: no outline
    return font;
}

// A glyph is drawn with one implicit fill, which its first record selects on the left.
void expectGlyphOutline(const swf::Glyph& glyph, const Shape& outline) {
    std::vector<ShapeRecord> records = outline.records();
    if (records.empty() || !std::holds_alternative<StyleChange>(records.front())) {
        records.insert(records.begin(), StyleChange{});
    }
    std::get<StyleChange>(records.front()).fill0 = 1;
    expectRecords(records, glyph.records, 1);
}

// The second version goes without layout: its record then ends after the code table.
TEST(FontRoundTrip, EachVersionKeepsOutlinesCodesAndLayout) {
    for (int version = 1; version <= 3; ++version) {
        SCOPED_TRACE("font version " + std::to_string(version));
        Font font = sampleFont(version == 3 ? 20480 : 1024);
        font.hasLayout = version != 2;
        SwfWriter movie;
        const uint16_t id = movie.defineFont(font, version);
        movie.showFrame();
        const auto read = readBack(movie.finish());
        ASSERT_TRUE(read);
        const auto* got = read->findAs<swf::Font>(id);
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(got->version, version);
        ASSERT_EQ(got->glyphs.size(), font.glyphs.size());
        for (std::size_t g = 0; g < font.glyphs.size(); ++g) {
            SCOPED_TRACE("glyph " + std::to_string(g));
            expectGlyphOutline(got->glyphs[g], font.glyphs[g].outline);
        }
        if (version == 1) {
            continue; // outlines only: names, codes and layout come from other tags
        }
        EXPECT_EQ(got->name, font.name);
        EXPECT_TRUE(got->bold);
        EXPECT_FALSE(got->italic);
        EXPECT_EQ(got->language, 2);
        EXPECT_TRUE(got->wideCodes);
        EXPECT_FALSE(got->wideOffsets);
        EXPECT_EQ(got->hasLayout, font.hasLayout);
        for (std::size_t g = 0; g < font.glyphs.size(); ++g) {
            EXPECT_EQ(got->glyphs[g].code, font.glyphs[g].code);
        }
        if (!font.hasLayout) {
            continue;
        }
        EXPECT_EQ(got->ascent, font.ascent);
        EXPECT_EQ(got->descent, font.descent);
        EXPECT_EQ(got->leading, font.leading);
        for (std::size_t g = 0; g < font.glyphs.size(); ++g) {
            EXPECT_EQ(got->glyphs[g].advance, font.glyphs[g].advance);
            EXPECT_EQ(got->glyphs[g].bounds, expected(font.glyphs[g].outline.edgeBounds()));
        }
    }
}

TEST(FontRoundTrip, WideOffsetsOnceOutlinesPassSixtyFourKilobytes) {
    Font font;
    font.name = "Big";
    for (uint16_t g = 0; g < 40; ++g) {
        Glyph glyph;
        glyph.code = static_cast<uint16_t>(0x4E00 + g);
        glyph.outline.moveTo(0, 0);
        for (int i = 0; i < 400; ++i) {
            glyph.outline.lineTo(i * 50, (i % 2) * 20000 - 10000);
        }
        font.glyphs.push_back(std::move(glyph));
    }
    SwfWriter movie;
    const uint16_t id = movie.defineFont(font, 3);
    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    const auto* got = read->findAs<swf::Font>(id);
    ASSERT_NE(got, nullptr);
    EXPECT_TRUE(got->wideOffsets);
    ASSERT_EQ(got->glyphs.size(), 40u);
    EXPECT_EQ(got->glyphs.back().code, 0x4E00 + 39);
    expectGlyphOutline(got->glyphs.back(), font.glyphs.back().outline);
}

TEST(TextRoundTrip, RecordsKeepFontColourOffsetsAndGlyphs) {
    Text text;
    text.bounds = {-20, 4000, -300, 500};
    text.matrix = Matrix::translate(100, 200);
    TextRecord first;
    first.fontId = 1;
    first.height = 480;
    first.color = Rgba{200, 10, 20, 100};
    first.xOffset = -40;
    first.yOffset = 360;
    first.glyphs = {{0, 240}, {1, -15}, {2, 100000}};
    TextRecord second;
    second.yOffset = 900;
    second.glyphs = {{1, 0}};
    TextRecord third;
    third.color = Rgba{1, 2, 3, 255};
    text.records = {first, second, third};

    for (int version = 1; version <= 2; ++version) {
        SCOPED_TRACE("text version " + std::to_string(version));
        text.records[0].color->a = version == 2 ? 100 : 255; // the first version has no alpha
        SwfWriter movie;
        const uint16_t font = movie.defineFont(sampleFont(1024), 2);
        ASSERT_EQ(font, 1);
        const uint16_t id = movie.defineText(text, version);
        movie.place(id, 1);
        movie.showFrame();
        const auto read = readBack(movie.finish());
        ASSERT_TRUE(read);
        const auto* got = read->findAs<swf::StaticText>(id);
        ASSERT_NE(got, nullptr);
        EXPECT_EQ(got->version, version);
        EXPECT_EQ(got->bounds, expected(text.bounds));
        EXPECT_EQ(got->matrix, expected(text.matrix));
        ASSERT_EQ(got->records.size(), 3u);
        const swf::TextRecord& a = got->records[0];
        EXPECT_EQ(a.fontId, 1);
        EXPECT_EQ(a.height, 480);
        EXPECT_EQ(a.color, expected(*text.records[0].color));
        EXPECT_EQ(a.xOffset, -40);
        EXPECT_EQ(a.yOffset, 360);
        ASSERT_EQ(a.glyphs.size(), 3u);
        EXPECT_EQ(a.glyphs[1].index, 1u);
        EXPECT_EQ(a.glyphs[1].advance, -15);
        EXPECT_EQ(a.glyphs[2].index, 2u);
        EXPECT_EQ(a.glyphs[2].advance, 100000);
        const swf::TextRecord& b = got->records[1];
        EXPECT_FALSE(b.fontId);
        EXPECT_FALSE(b.height);
        EXPECT_FALSE(b.color);
        EXPECT_FALSE(b.xOffset);
        EXPECT_EQ(b.yOffset, 900);
        ASSERT_EQ(b.glyphs.size(), 1u);
        EXPECT_EQ(got->records[2].color, (swf::Rgba{1, 2, 3, 255}));
        EXPECT_TRUE(got->records[2].glyphs.empty());
    }
}

const swf::RawControlTag& soundTag(const swf::Movie& movie, std::size_t frame, std::size_t index) {
    return tagAs<swf::RawControlTag>(frameTags(movie, frame).at(index));
}

TEST(SoundRoundTrip, EventSoundAndHowItStarts) {
    const std::vector<uint8_t> samples = pcm16Bytes(sineTone(440, 22050, 100));
    SoundFormat format;
    format.codec = 3;
    format.rateCode = 2;
    format.stereo = true;
    SwfWriter movie;
    const uint16_t id = movie.defineSound(format, 50, samples);
    movie.exportAssets(id, "beep");
    SoundInfo info;
    info.noMultiple = true;
    info.inPoint = 100;
    info.outPoint = 70000;
    info.loops = 3;
    info.envelope = {{0, 0, 32768}, {44100, 32768, 0}};
    movie.startSound(id, info);
    SoundInfo stop;
    stop.syncStop = true;
    movie.startSound2("beep", stop);
    movie.showFrame();

    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    ASSERT_FALSE(read->soundDefinitions.empty());
    const auto sound = audio::readDefineSound(read->soundDefinitions.front().body);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->id, id);
    EXPECT_EQ(sound->format.kind(), audio::Codec::PcmLittle);
    EXPECT_EQ(sound->format.rate, 22050u);
    EXPECT_TRUE(sound->format.sixteenBit);
    EXPECT_TRUE(sound->format.stereo);
    EXPECT_EQ(sound->sampleCount, 50u);
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), sound->data.begin(), sound->data.end()));

    ASSERT_EQ(frameTags(*read, 0).size(), 2u);
    const auto start = audio::readStartSound(soundTag(*read, 0, 0).body);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->soundId, id);
    EXPECT_FALSE(start->info.syncStop);
    EXPECT_TRUE(start->info.noMultiple);
    EXPECT_EQ(start->info.inPoint, 100u);
    EXPECT_EQ(start->info.outPoint, 70000u);
    EXPECT_EQ(start->info.loops, 3);
    ASSERT_EQ(start->info.envelope.size(), 2u);
    EXPECT_EQ(start->info.envelope[1].pos44, 44100u);
    EXPECT_EQ(start->info.envelope[1].left, 32768);
    EXPECT_EQ(start->info.envelope[1].right, 0);
    const auto byName = audio::readStartSound2(soundTag(*read, 0, 1).body);
    ASSERT_TRUE(byName);
    EXPECT_EQ(byName->className, "beep");
    EXPECT_TRUE(byName->info.syncStop);
    EXPECT_FALSE(byName->info.inPoint);
}

TEST(SoundRoundTrip, Mp3StreamHeadAndBlocks) {
    SoundFormat mp3;
    mp3.codec = 2;
    mp3.rateCode = 3;
    mp3.stereo = true;
    const std::vector<uint8_t> block{0x40, 0x07, 0xF0, 0xFF, 0xFF, 0xFB, 0x90, 0x00};
    SwfWriter movie;
    movie.soundStreamHead(mp3, 1837, 2, -576);
    movie.soundStreamBlock(block);
    movie.showFrame();
    SoundFormat pcm;
    pcm.rateCode = 1;
    pcm.sixteenBit = false;
    movie.soundStreamHead(pcm, 441);
    movie.showFrame();

    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    const auto& head = soundTag(*read, 0, 0);
    EXPECT_EQ(head.code, 45); // SoundStreamHead2
    const auto h = audio::readStreamHead(head.body);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->stream.kind(), audio::Codec::Mp3);
    EXPECT_EQ(h->stream.rate, 44100u);
    EXPECT_TRUE(h->stream.stereo);
    EXPECT_EQ(h->playback.rate, 44100u);
    EXPECT_TRUE(h->playback.stereo);
    EXPECT_EQ(h->samplesPerBlock, 1837);
    EXPECT_EQ(h->latencySeek, -576);
    const auto b = audio::readMp3StreamBlock(soundTag(*read, 0, 1).body);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->sampleCount, 0x0740);
    EXPECT_EQ(b->seekSamples, -16);
    EXPECT_EQ(b->frames.size(), 4u);

    const auto& pcmHead = soundTag(*read, 1, 0);
    EXPECT_EQ(pcmHead.code, 18); // SoundStreamHead
    const auto p = audio::readStreamHead(pcmHead.body);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->stream.kind(), audio::Codec::PcmLittle);
    EXPECT_EQ(p->stream.rate, 11025u);
    EXPECT_FALSE(p->stream.sixteenBit);
    EXPECT_EQ(p->samplesPerBlock, 441);
    EXPECT_EQ(p->latencySeek, 0);
}

// The frames' content is the video decoder's tests' business; here the tags carry it.
TEST(VideoRoundTrip, StreamAndFramesByNumber) {
    constexpr uint16_t kStream = 1;
    const std::vector<uint8_t> intra =
        H263Frame(H263Frame::Intra, 32, 16, 4).intraFlat({100, 100, 100, 100, 128, 128}).take();
    const std::vector<uint8_t> inter = H263Frame(H263Frame::Inter, 32, 16, 4).skipped().take();
    SwfWriter movie;
    movie.rawTag(60, encodeDefineVideoStream(kStream, 2, 32, 16, 0x03, 2));
    movie.rawTag(61, encodeVideoFrame(kStream, 0, intra));
    movie.place(kStream, 1);
    movie.showFrame();
    movie.rawTag(61, encodeVideoFrame(kStream, 1, inter));
    movie.showFrame();

    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    const auto* stream = read->findAs<swf::VideoStream>(kStream);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->frameCount, 2);
    EXPECT_EQ(stream->width, 32);
    EXPECT_EQ(stream->height, 16);
    EXPECT_EQ(stream->deblocking, 1);
    EXPECT_TRUE(stream->smoothing);
    EXPECT_EQ(stream->codec, 2);
    ASSERT_EQ(stream->frames.size(), 2u);
    EXPECT_TRUE(std::ranges::equal(stream->frames.at(0), intra));
    EXPECT_TRUE(std::ranges::equal(stream->frames.at(1), inter));
}

} // namespace
} // namespace moviemaker
