// Photos read upright, at the size they are shown, within the bounds, or refused by name.

#include "composer/PhotoDecoding.h"
#include "ComposerTestSupport.h"
#include "composer/ComposeError.h"

#include <gtest/gtest.h>

#include <limits>

namespace composer {
namespace {

using namespace composer::testing;

TEST(PhotoDecodeSize, CoversOrFitsTheStageAndNeverEnlarges) {
    const QSize stage(800, 600);
    EXPECT_EQ(decodeSizeFor({4000, 3000}, stage, PhotoFit::Fill, 1.0), QSize(800, 600));
    EXPECT_EQ(decodeSizeFor({3000, 4000}, stage, PhotoFit::Fill, 1.0), QSize(800, 1067));
    EXPECT_EQ(decodeSizeFor({3000, 4000}, stage, PhotoFit::Fit, 1.0), QSize(450, 600));
    EXPECT_EQ(decodeSizeFor({4000, 3000}, stage, PhotoFit::Fill, 1.12), QSize(896, 672));
    EXPECT_EQ(decodeSizeFor({400, 300}, stage, PhotoFit::Fill, 1.12), QSize(400, 300));
    EXPECT_TRUE(decodeSizeFor({0, 300}, stage, PhotoFit::Fill, 1.0).isEmpty());
}

TEST(PhotoDecoding, DecodesAtTheShownSizeAndTurnsAsTheCameraSaid) {
    testApp();
    ScratchFolder folder;
    // Named as people name files: Chinese characters and spaces.
    const auto upright = folder.file("全家 福.jpg");
    writeBytes(upright, jpegBytes(twoHalves(1600, 1200)));
    const QImage small = decodePhoto(upright, {400, 300}, PhotoFit::Fill, 1.0);
    EXPECT_EQ(small.size(), QSize(400, 300));
    EXPECT_GT(qRed(small.pixel(50, 150)), 180);
    EXPECT_GT(qBlue(small.pixel(350, 150)), 180);

    // Stored on its side; orientation 6 turns it clockwise: the red half ends on top.
    const auto turned = folder.file("turned.jpg");
    writeBytes(turned, jpegWithOrientation(twoHalves(1600, 1200), 6));
    const QImage upright2 = decodePhoto(turned, {300, 400}, PhotoFit::Fill, 1.0);
    EXPECT_EQ(upright2.size(), QSize(300, 400));
    EXPECT_GT(qRed(upright2.pixel(150, 50)), 180);
    EXPECT_GT(qBlue(upright2.pixel(150, 350)), 180);
}

TEST(PhotoDecoding, TransparentPngKeepsItsAlpha) {
    testApp();
    ScratchFolder folder;
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(qRgba(0, 200, 0, 0));
    for (int y = 16; y < 48; ++y) {
        for (int x = 16; x < 48; ++x) {
            image.setPixel(x, y, qRgba(0, 200, 0, 255));
        }
    }
    const auto file = folder.file("sticker.png");
    ASSERT_TRUE(image.save(QString::fromStdString(file.string()), "PNG"));
    const QImage read = decodePhoto(file, {64, 64}, PhotoFit::Fit, 1.0);
    ASSERT_TRUE(read.hasAlphaChannel());
    EXPECT_EQ(qAlpha(read.pixel(2, 2)), 0);
    EXPECT_EQ(qAlpha(read.pixel(32, 32)), 255);
}

std::string messageOf(const std::filesystem::path& file, QSize shown = {800, 600}) {
    try {
        decodePhoto(file, shown, PhotoFit::Fill, 1.0);
    } catch (const ComposeError& e) {
        return e.what();
    }
    return "";
}

TEST(PhotoDecoding, BadPhotosAreRefusedByName) {
    testApp();
    ScratchFolder folder;
    const auto missing = folder.file("不在.jpg");
    EXPECT_NE(messageOf(missing).find("不在.jpg"), std::string::npos);

    const auto damaged = folder.file("坏 的.jpg");
    std::vector<uint8_t> bytes = jpegBytes(twoHalves(64, 64));
    bytes.resize(40); // cut short inside its headers
    writeBytes(damaged, bytes);
    const std::string damagedMessage = messageOf(damaged);
    EXPECT_NE(damagedMessage.find("坏 的.jpg"), std::string::npos) << damagedMessage;

    const auto text = folder.file("notes.jpg");
    writeBytes(text, {'h', 'e', 'l', 'l', 'o'});
    EXPECT_NE(messageOf(text).find("notes.jpg"), std::string::npos);
}

// A BMP header claiming `width` by `height` pixels, with no pixels behind it.
std::vector<uint8_t> bmpHeader(int32_t width, int32_t height) {
    std::vector<uint8_t> out(54, 0);
    out[0] = 'B';
    out[1] = 'M';
    out[10] = 54;
    out[14] = 40;
    for (int k = 0; k < 4; ++k) {
        out[static_cast<std::size_t>(18 + k)] = static_cast<uint8_t>(width >> (8 * k));
        out[static_cast<std::size_t>(22 + k)] = static_cast<uint8_t>(height >> (8 * k));
    }
    out[26] = 1;
    out[28] = 24;
    return out;
}

TEST(PhotoDecoding, AboveTwoHundredMegapixelsIsRefusedBeforeDecoding) {
    testApp();
    ScratchFolder folder;
    const auto huge = folder.file("huge.bmp");
    writeBytes(huge, bmpHeader(16000, 14000)); // 224 megapixels
    const std::string message = messageOf(huge);
    EXPECT_NE(message.find("huge.bmp"), std::string::npos) << message;
    EXPECT_NE(message.find("224"), std::string::npos) << message;
    EXPECT_NE(message.find("200"), std::string::npos) << message;
}

TEST(PhotoDecoding, HeifBrandsAreRecognised) {
    ScratchFolder folder;
    const auto heic = folder.file("IMG_0001.HEIC");
    writeBytes(heic, {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c', 0, 0, 0, 0});
    EXPECT_TRUE(looksLikeHeif(heic));
    const auto mp4 = folder.file("clip.mp4");
    writeBytes(mp4, {0, 0, 0, 24, 'f', 't', 'y', 'p', 'i', 's', 'o', 'm', 0, 0, 0, 0});
    EXPECT_FALSE(looksLikeHeif(mp4));
    // A truncated HEIC goes to libheif and comes back as a message naming it.
    const std::string message = messageOf(heic);
    EXPECT_NE(message.find("IMG_0001.HEIC"), std::string::npos) << message;
}

TEST(PhotoEdits, TurnsAndCropsKeepTheChosenPartAtTheShownSize) {
    testApp();
    ScratchFolder folder;
    const auto file = folder.file("合 影.jpg");
    writeBytes(file, jpegBytes(twoHalves(1600, 1200))); // red left, blue right

    // A quarter turn clockwise puts the red half on top.
    PhotoEdit turn;
    turn.quarterTurns = 1;
    const QImage turned = decodePhoto(file, turn, {300, 400}, PhotoFit::Fill, 1.0);
    EXPECT_EQ(turned.size(), QSize(300, 400));
    EXPECT_GT(qRed(turned.pixel(150, 50)), 180);
    EXPECT_GT(qBlue(turned.pixel(150, 350)), 180);

    // Three turns are one turn the other way: the blue half on top.
    turn.quarterTurns = -1;
    const QImage back = decodePhoto(file, turn, {300, 400}, PhotoFit::Fill, 1.0);
    EXPECT_GT(qBlue(back.pixel(150, 50)), 180);

    // The right quarter only: all blue, and read large enough to cover the stage rather
    // than a stage-sized photo cut down to a quarter of it.
    PhotoEdit crop;
    crop.cropLeft = 0.75;
    crop.cropWidth = 0.25;
    const QImage part = decodePhoto(file, crop, {200, 600}, PhotoFit::Fill, 1.0);
    EXPECT_GE(part.width(), 200);
    EXPECT_GE(part.height(), 600);
    EXPECT_GT(qBlue(part.pixel(2, part.height() / 2)), 180);
    EXPECT_LT(qRed(part.pixel(2, part.height() / 2)), 80);
}

TEST(PhotoEdits, NonsenseEditsAreMadeSafe) {
    PhotoEdit wild;
    wild.quarterTurns = 7;
    wild.cropLeft = 0.9;
    wild.cropWidth = 0.5;
    wild.cropTop = std::numeric_limits<double>::quiet_NaN();
    wild.cropHeight = 0.0;
    const PhotoEdit safe = normalizedEdit(wild);
    EXPECT_EQ(safe.quarterTurns, 3);
    EXPECT_DOUBLE_EQ(safe.cropWidth, 0.5);
    EXPECT_DOUBLE_EQ(safe.cropLeft, 0.5) << "the crop is pushed back inside the photo";
    EXPECT_DOUBLE_EQ(safe.cropTop, 0.0);
    EXPECT_DOUBLE_EQ(safe.cropHeight, kMinCropShare);
}

} // namespace
} // namespace composer
