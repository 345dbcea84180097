// Photos and music as the composer writes them: JPEG bitmaps with and without an alpha
// plane, and MP3 streams split into one block per movie frame, read back with the player's
// own reader and decoders.

#include "ReadBack.h"
#include "moviemaker/Mp3Stream.h"
#include "moviemaker/SwfWriter.h"
#include "moviemaker/WriteError.h"

#include "JpegBitmaps.h"
#include "SoundTags.h"
#include "swf/Movie.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace moviemaker {
namespace {

using namespace roundtrip;

std::vector<uint8_t> jpegOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return {bytes.begin(), bytes.end()};
}

QImage halves() {
    QImage image(32, 16, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, x < 16 ? qRgb(220, 30, 30) : qRgb(30, 30, 220));
        }
    }
    return image;
}

TEST(JpegRoundTrip, OpaqueAndTranslucentPhotosDecodeAsWritten) {
    const std::vector<uint8_t> jpeg = jpegOf(halves());
    std::vector<uint8_t> alpha(32 * 16, 255);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 8; ++x) {
            alpha[static_cast<std::size_t>(y * 32 + x)] = 0;
        }
    }
    SwfWriter movie;
    const uint16_t opaque = movie.defineBitsJpeg(jpeg);
    const uint16_t masked = movie.defineBitsJpeg(jpeg, alpha);
    movie.showFrame();
    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);

    const auto* first = read->findAs<swf::JpegBitmap>(opaque);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->version, 2);
    const mc::DecodedBitmap plain = mc::decodeJpegImage(first->imageData, first->alphaData);
    ASSERT_EQ(plain.status, mc::BitmapStatus::Complete);
    EXPECT_NEAR(qRed(plain.image.pixel(4, 8)), 220, 8);
    EXPECT_NEAR(qBlue(plain.image.pixel(28, 8)), 220, 8);

    const auto* second = read->findAs<swf::JpegBitmap>(masked);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->version, 3);
    const mc::DecodedBitmap withAlpha = mc::decodeJpegImage(second->imageData, second->alphaData);
    ASSERT_TRUE(withAlpha.usable());
    EXPECT_EQ(qAlpha(withAlpha.image.pixel(2, 8)), 0);
    EXPECT_EQ(qAlpha(withAlpha.image.pixel(12, 8)), 255);
    EXPECT_NEAR(qRed(withAlpha.image.pixel(12, 8)), 220, 8);
}

TEST(JpegRoundTrip, RefusesWhatIsNotAJpegStream) {
    SwfWriter movie;
    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0, 0};
    EXPECT_THROW(movie.defineBitsJpeg(png), WriteError);
    EXPECT_THROW(movie.defineBitsJpeg({}), WriteError);
    EXPECT_EQ(movie.nextId(), 1);
}

// An MPEG-1 layer III frame at 44.1 kHz, 128 kbit/s: 417 bytes, 418 with padding.
std::vector<uint8_t> mpeg1Frame(bool padded, bool mono = false) {
    std::vector<uint8_t> frame(padded ? 418 : 417, 0);
    frame[0] = 0xFF;
    frame[1] = 0xFB;
    frame[2] = padded ? 0x92 : 0x90;
    frame[3] = mono ? 0xC4 : 0x44;
    return frame;
}

void append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

TEST(Mp3Frames, SkipsTagsAndJunkAndKeepsOneFormat) {
    std::vector<uint8_t> data = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 6, 0xFF, 0xFB, 0x90, 0x44, 0, 0};
    data.push_back(0x00); // junk before the first frame
    data.push_back(0xFF); // a lone sync byte
    append(data, mpeg1Frame(false));
    append(data, mpeg1Frame(true));
    append(data, mpeg1Frame(false, true)); // another channel count: not this stream
    append(data, mpeg1Frame(false));
    std::vector<uint8_t> id3v1(128, 0);
    id3v1[0] = 'T';
    id3v1[1] = 'A';
    id3v1[2] = 'G';
    append(data, id3v1); // the last frame still counts before a closing tag

    const std::vector<Mp3Frame> frames = findMp3Frames(data);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].offset, 18u);
    EXPECT_EQ(frames[0].length, 417u);
    EXPECT_EQ(frames[1].length, 418u);
    EXPECT_EQ(frames[1].offset, 18u + 417);
    EXPECT_EQ(frames[2].offset, 18u + 417 + 418 + 417);
    for (const Mp3Frame& f : frames) {
        EXPECT_EQ(f.sampleRate, 44100u);
        EXPECT_EQ(f.bitRate, 128000u);
        EXPECT_EQ(f.samples, 1152);
        EXPECT_TRUE(f.stereo);
    }
}

TEST(Mp3Frames, MpegTwoAndTwoPointFiveRates) {
    // MPEG-2 at 22,050 Hz, 64 kbit/s: 72 * 64000 / 22050 = 208 bytes.
    std::vector<uint8_t> two(208, 0);
    two[0] = 0xFF;
    two[1] = 0xF3;
    two[2] = 0x80;
    two[3] = 0xC4;
    // MPEG-2.5 at 11,025 Hz, 32 kbit/s: 72 * 32000 / 11025 = 208 bytes.
    std::vector<uint8_t> twoFive(208, 0);
    twoFive[0] = 0xFF;
    twoFive[1] = 0xE3;
    twoFive[2] = 0x40;
    twoFive[3] = 0xC4;
    const auto a = findMp3Frames(two);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].sampleRate, 22050u);
    EXPECT_EQ(a[0].samples, 576);
    EXPECT_FALSE(a[0].stereo);
    const auto b = findMp3Frames(twoFive);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0].sampleRate, 11025u);
    EXPECT_EQ(b[0].bitRate, 32000u);
}

TEST(Mp3Stream, EveryMovieFrameIsCoveredAndSeeksPointAtItsStart) {
    std::vector<uint8_t> data;
    for (int i = 0; i < 60; ++i) {
        append(data, mpeg1Frame(i % 3 == 0));
    }
    const auto frames = findMp3Frames(data);
    ASSERT_EQ(frames.size(), 60u);
    const double fps = 24;
    const Mp3StreamBlocks split = splitMp3Stream(data, frames, fps, 30);
    EXPECT_EQ(split.samplesPerFrame, 1838); // 1837.5 rounded
    ASSERT_EQ(split.blocks.size(), 30u);

    SwfWriter movie;
    movie.soundStreamHead({2, 3, true, true}, split.samplesPerFrame, 2);
    for (const auto& block : split.blocks) {
        movie.soundStreamBlock(block);
        movie.showFrame();
    }
    const auto read = readBack(movie.finish());
    ASSERT_TRUE(read);
    ASSERT_EQ(read->root.frames.size(), 30u);
    uint64_t written = 0;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < 30; ++i) {
        const auto& tags = frameTags(*read, i);
        const auto& raw = tagAs<swf::RawControlTag>(tags.back());
        ASSERT_EQ(raw.code, 19);
        const auto block = audio::readMp3StreamBlock(raw.body);
        ASSERT_TRUE(block);
        const auto start = static_cast<int64_t>(std::floor(static_cast<double>(i) * 44100 / fps));
        EXPECT_EQ(block->seekSamples, start - static_cast<int64_t>(written)) << "frame " << i;
        EXPECT_EQ(block->sampleCount % 1152, 0);
        written += block->sampleCount;
        bytes += block->frames.size();
        const auto end =
            static_cast<uint64_t>(std::floor(static_cast<double>(i + 1) * 44100 / fps));
        EXPECT_GE(written, end) << "frame " << i << " ends before its sound";
        EXPECT_LT(written, end + 1152) << "frame " << i << " carries more than it needs";
    }
    // Thirty frames at 24 per second are 55,125 samples: 48 MP3 frames, in order and whole.
    EXPECT_EQ(written, 48u * 1152);
    EXPECT_EQ(bytes, frames[47].offset + frames[47].length);
}

TEST(Mp3Stream, ShortSongEndsTheBlocksEarlyAndBadRatesAreRefused) {
    std::vector<uint8_t> data;
    for (int i = 0; i < 3; ++i) {
        append(data, mpeg1Frame(false));
    }
    const auto frames = findMp3Frames(data);
    const auto split = splitMp3Stream(data, frames, 12, 100);
    EXPECT_EQ(split.blocks.size(), 1u); // 3,675 samples per movie frame take all three
    // The encoder's delay is skipped: the first block starts that far in.
    const auto delayed = splitMp3Stream(data, frames, 12, 1, 1105);
    ASSERT_EQ(delayed.blocks.size(), 1u);
    EXPECT_EQ(delayed.blocks[0][2] | delayed.blocks[0][3] << 8, 1105);
    EXPECT_THROW(splitMp3Stream(data, frames, 0, 10), WriteError);
    EXPECT_THROW(splitMp3Stream(data, {}, 24, 10), WriteError);
}

} // namespace
} // namespace moviemaker
