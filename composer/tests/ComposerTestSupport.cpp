#include "ComposerTestSupport.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <fstream>
#include <memory>
#include <numbers>

namespace composer::testing {

namespace {

int argc = 1;
char name[] = "composer_tests";
char* argv[] = {name, nullptr};

class AppEnvironment : public ::testing::Environment {
  public:
    void TearDown() override { app.reset(); }
    std::unique_ptr<QGuiApplication> app;
};

AppEnvironment* const environment = static_cast<AppEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new AppEnvironment)); // gtest owns it

void le16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8 & 0xFF));
}
void le32(std::vector<uint8_t>& out, uint32_t v) {
    le16(out, v & 0xFFFF);
    le16(out, v >> 16);
}

} // namespace

QGuiApplication& testApp() {
    if (!environment->app) {
        environment->app = std::make_unique<QGuiApplication>(argc, argv);
    }
    return *environment->app;
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> count{0};
    path_ = std::filesystem::temp_directory_path() /
            ("composer-test-" + std::to_string(::getpid()) + "-" + std::to_string(count++));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchFolder::file(const std::string& utf8Name) const {
    return path_ / std::filesystem::path(std::u8string(utf8Name.begin(), utf8Name.end()));
}

QImage twoHalves(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, x < width / 2 ? qRgb(220, 30, 30) : qRgb(30, 30, 220));
        }
    }
    return image;
}

void writeBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> jpegBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return {bytes.begin(), bytes.end()};
}

std::vector<uint8_t> jpegWithOrientation(const QImage& image, uint16_t orientation) {
    std::vector<uint8_t> jpeg = jpegBytes(image);
    // APP1 "Exif", a big-endian TIFF header and one IFD entry: Orientation (0x0112), SHORT.
    const std::vector<uint8_t> exif = {0xFF,
                                       0xE1,
                                       0x00,
                                       0x22,
                                       'E',
                                       'x',
                                       'i',
                                       'f',
                                       0,
                                       0,
                                       'M',
                                       'M',
                                       0,
                                       42,
                                       0,
                                       0,
                                       0,
                                       8,
                                       0,
                                       1,
                                       0x01,
                                       0x12,
                                       0,
                                       3,
                                       0,
                                       0,
                                       0,
                                       1,
                                       static_cast<uint8_t>(orientation >> 8),
                                       static_cast<uint8_t>(orientation & 0xFF),
                                       0,
                                       0,
                                       0,
                                       0,
                                       0,
                                       0};
    jpeg.insert(jpeg.begin() + 2, exif.begin(), exif.end());
    return jpeg;
}

std::vector<uint8_t> wavTone(double seconds, uint32_t rate, int channels, double frequency) {
    const auto frames = static_cast<uint32_t>(seconds * rate);
    const uint32_t dataBytes = frames * 2 * static_cast<uint32_t>(channels);
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    le32(out, 36 + dataBytes);
    for (char c : std::string("WAVEfmt ")) {
        out.push_back(static_cast<uint8_t>(c));
    }
    le32(out, 16);
    le16(out, 1);
    le16(out, static_cast<uint32_t>(channels));
    le32(out, rate);
    le32(out, rate * 2 * static_cast<uint32_t>(channels));
    le16(out, 2 * static_cast<uint32_t>(channels));
    le16(out, 16);
    for (char c : std::string("data")) {
        out.push_back(static_cast<uint8_t>(c));
    }
    le32(out, dataBytes);
    for (uint32_t i = 0; i < frames; ++i) {
        const double v = std::sin(2 * std::numbers::pi * frequency * i / rate) * 12000;
        for (int c = 0; c < channels; ++c) {
            le16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v))));
        }
    }
    return out;
}

} // namespace composer::testing
