#pragma once

#include "moviemaker/ActionWriter.h"
#include "moviemaker/BitWriter.h"
#include "moviemaker/PlaceObject.h"
#include "moviemaker/Sound.h"
#include "moviemaker/Tags.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace moviemaker {

// The control tags of a timeline, in call order; shared by the movie and its sprites.
// Frames count the showFrame() calls.
class Timeline {
  public:
    void placeObject(const PlaceObject& place, int version = 2);
    // Shorthands for the common second-version placements.
    void place(uint16_t characterId, uint16_t depth, const Matrix& matrix = {});
    void moveObject(uint16_t depth, const Matrix& matrix);
    void moveObject(uint16_t depth, const Matrix& matrix, const ColorTransform& cx);

    void removeObject(uint16_t characterId, uint16_t depth); // first version
    void removeObject(uint16_t depth);                       // second version
    void showFrame();
    void frameLabel(std::string_view label, bool namedAnchor = false);
    void doAction(const Actions& actions);
    void startSound(uint16_t soundId, const SoundInfo& info = {});
    void startSound2(std::string_view className, const SoundInfo& info = {});
    // The stream's format; `version` 2 writes SoundStreamHead2.
    void soundStreamHead(const SoundFormat& format, uint16_t samplesPerBlock, int version = 1,
                         int16_t latencySeek = 0);
    void soundStreamBlock(std::span<const uint8_t> body);
    // Any tag as given, for bodies this writer does not build (or malformed on purpose).
    void rawTag(uint16_t code, std::span<const uint8_t> body, bool forceLong = false);

    uint16_t frameCount() const { return frames_; }
    const std::vector<uint8_t>& tagBytes() const { return tags_.data(); }

  protected:
    void tag(TagCode code, std::span<const uint8_t> body, bool forceLong = false);

  private:
    BitWriter tags_;
    uint16_t frames_ = 0;
};

// A sprite's own timeline; defined in a movie with SwfWriter::defineSprite.
class Sprite : public Timeline {};

} // namespace moviemaker
