// Phone photos: HEIC made here with libheif's own encoder, turned as the phone stored it.

#include "ComposerTestSupport.h"
#include "composer/PhotoDecoding.h"

#include <libheif/heif.h>

#include <gtest/gtest.h>

namespace composer {
namespace {

using namespace composer::testing;

// Writes the two-halves picture as HEIC with the given orientation; false when this libheif
// has no HEVC encoder.
bool writeHeic(const std::filesystem::path& file, int width, int height,
               heif_orientation orientation) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    if (heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder).code !=
        heif_error_Ok) {
        heif_context_free(context);
        return false;
    }
    heif_image* image = nullptr;
    heif_image_create(width, height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, width, height, 8);
    int stride = 0;
    uint8_t* pixels = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    const QImage halves = twoHalves(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb c = halves.pixel(x, y);
            uint8_t* p = pixels + y * stride + x * 3;
            p[0] = static_cast<uint8_t>(qRed(c));
            p[1] = static_cast<uint8_t>(qGreen(c));
            p[2] = static_cast<uint8_t>(qBlue(c));
        }
    }
    heif_encoder_set_lossy_quality(encoder, 90);
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = orientation;
    const bool ok = heif_context_encode_image(context, image, encoder, options, nullptr).code ==
                        heif_error_Ok &&
                    heif_context_write_to_file(context, file.c_str()).code == heif_error_Ok;
    heif_encoding_options_free(options);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return ok;
}

TEST(HeifPhoto, DecodedUprightAtTheShownSize) {
    testApp();
    ScratchFolder folder;
    const auto file = folder.file("IMG 0001.HEIC");
    if (!writeHeic(file, 256, 192, heif_orientation_rotate_90_cw)) {
        GTEST_SKIP() << "this libheif cannot encode HEVC";
    }
    ASSERT_TRUE(looksLikeHeif(file));
    const QImage image = decodePhoto(file, {96, 128}, PhotoFit::Fill, 1.0);
    ASSERT_EQ(image.size(), QSize(96, 128));
    // Turned clockwise: the left (red) half is now on top.
    EXPECT_GT(qRed(image.pixel(48, 20)), 170);
    EXPECT_LT(qBlue(image.pixel(48, 20)), 90);
    EXPECT_GT(qBlue(image.pixel(48, 108)), 170);
    EXPECT_LT(qRed(image.pixel(48, 108)), 90);
}

} // namespace
} // namespace composer
