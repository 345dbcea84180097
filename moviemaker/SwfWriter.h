#pragma once

#include "moviemaker/Button.h"
#include "moviemaker/Font.h"
#include "moviemaker/LosslessBitmap.h"
#include "moviemaker/MorphShape.h"
#include "moviemaker/Records.h"
#include "moviemaker/Shape.h"
#include "moviemaker/StaticText.h"
#include "moviemaker/Timeline.h"
#include "moviemaker/WriteError.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace moviemaker {

struct MovieHeader {
    uint8_t version = 10;
    Rect frameSize = Rect::pixels(550, 400);
    double frameRate = 24.0;
    bool compressed = false; // "CWS": zlib after the first eight bytes
    // Written instead of the counted frames, for movies that claim what they lack.
    std::optional<uint16_t> frameCountOverride;
};

struct ShapeOptions {
    std::optional<Rect> bounds;   // instead of the computed ones
    bool fillWindingRule = false; // fourth version only
};

// A whole movie: definitions and the main timeline in call order. Character ids count up
// from 1. finish() adds the end tag and patches the frame count and file length.
// A call given a value its record cannot hold throws WriteError and leaves the movie as it
// was; the caller decides at its edge whether to report it or give up on the movie.
//
//   SwfWriter movie;
//   Shape box;
//   box.fill1(box.addFill(FillStyle::solid({255, 0, 0}))).rectangle(0, 0, 2000, 1000);
//   movie.place(movie.defineShape(box), 1);
//   movie.showFrame();
//   std::vector<uint8_t> swf = movie.finish();
class SwfWriter : public Timeline {
  public:
    explicit SwfWriter(MovieHeader header = {});

    void setBackgroundColor(Rgb colour);
    uint16_t defineShape(const Shape& shape, int version = 3, const ShapeOptions& options = {});
    uint16_t defineMorphShape(const MorphShape& morph, int version = 1);
    uint16_t defineSprite(const Sprite& sprite);
    uint16_t defineButton2(const Button& button);
    uint16_t defineBitsLossless(const RawImage& image, int version = 2,
                                LosslessFormat format = LosslessFormat::Argb32);
    // A JPEG stream as it is; with `alpha` (one byte a pixel) the third JPEG version.
    uint16_t defineBitsJpeg(std::span<const uint8_t> jpeg, std::span<const uint8_t> alpha = {});
    uint16_t defineFont(const Font& font, int version = 3);
    uint16_t defineText(const Text& text, int version = 2);
    // `data` as the tag stores it (for MP3: the seek-samples word first).
    uint16_t defineSound(const SoundFormat& format, uint32_t sampleCount,
                         std::span<const uint8_t> data);
    void exportAssets(uint16_t id, std::string_view name);
    // The nine-slice grid of the sprite or button `id`, in its twips.
    void defineScalingGrid(uint16_t id, const Rect& grid);
    // ImportAssets (ImportAssets2 when `second`): `names` from the movie at `url`, under ids
    // taken in order; answers the first id.
    uint16_t importAssets(std::string_view url, std::span<const std::string_view> names,
                          bool second = false);
    // Init actions for the sprite `spriteId`.
    void doInitAction(uint16_t spriteId, const Actions& actions);

    // The id the next definition gets; for tests that refer to it in advance.
    uint16_t nextId() const { return nextId_; }

    std::vector<uint8_t> finish();

  private:
    uint16_t reserveId() const;
    uint16_t takeId();

    MovieHeader header_;
    uint16_t nextId_ = 1;
};

// The DefineShape body for versions 1 to 4.
std::vector<uint8_t> encodeDefineShape(uint16_t id, const Shape& shape, int version,
                                       const ShapeOptions& options = {});

} // namespace moviemaker
