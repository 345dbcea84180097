#pragma once
// Inputs for the composer's tests, made on the spot: photos, songs and a scratch folder.

#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace composer::testing {

// The application fonts need, made once for the test program.
QGuiApplication& testApp();

// A folder removed with everything in it when the object goes.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& utf8Name) const;

  private:
    std::filesystem::path path_;
};

// Left half red, right half blue, `width` by `height`.
QImage twoHalves(int width, int height);
void writeBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> jpegBytes(const QImage& image);
// A JPEG whose EXIF says the camera was turned (6: turn clockwise to show it upright).
std::vector<uint8_t> jpegWithOrientation(const QImage& image, uint16_t orientation);
// A 16-bit PCM WAV of a sine tone.
std::vector<uint8_t> wavTone(double seconds, uint32_t rate, int channels, double frequency);

} // namespace composer::testing
