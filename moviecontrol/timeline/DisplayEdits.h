#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "Bounds.h"
#include "DisplayObject.h"

namespace mc {

class PixelSource;
class TimelinePlayer;

// The display tree as scripts change it: children made and removed at run time, depths and
// masks. Each maker returns the new object or null (unknown symbol, depth out of range,
// object limit reached); an object already at the depth is removed first.
class DisplayEdits {
  public:
    std::shared_ptr<DisplayObject> attachMovie(DisplayObject& parent, std::string_view symbol,
                                               std::string_view name, std::int32_t depth);
    std::shared_ptr<DisplayObject> duplicateClip(DisplayObject& original, std::string_view name,
                                                 std::int32_t depth);
    // A character of the parent's movie by its id, named as the player names unnamed objects.
    std::shared_ptr<DisplayObject> placeCharacter(DisplayObject& parent, std::uint16_t characterId,
                                                  std::int32_t depth);
    std::shared_ptr<DisplayObject> createEmptyClip(DisplayObject& parent, std::string_view name,
                                                   std::int32_t depth);
    // attachBitmap: a bitmap drawn from a script's pixels, named after its depth.
    std::shared_ptr<DisplayObject> attachPixels(DisplayObject& parent, std::int32_t depth,
                                                std::shared_ptr<const PixelSource> pixels,
                                                bool smoothing);
    std::shared_ptr<DisplayObject> createTextField(DisplayObject& parent, std::string_view name,
                                                   std::int32_t depth, const Bounds& twips);
    // removeMovieClip: only objects at the depths scripts own can go. True when removed.
    bool removeByScript(DisplayObject& object);
    bool removableByScript(const DisplayObject& object) const;
    // unloadMovie: the clip's children go and its timeline is emptied.
    void unloadClip(DisplayObject& clip);
    // A script's unloadMovie: as unloadClip, and the clip's own unload event runs.
    void unloadMovie(DisplayObject& clip);
    // swapDepths with a depth (whatever is there moves to the object's old depth).
    bool swapDepths(DisplayObject& object, std::int32_t depth);
    // The depth above every child, never below 0.
    std::int32_t nextHighestDepth(const DisplayObject& parent) const;
    // setMask: `mask` null clears it.
    void setMask(DisplayObject& object, DisplayObject* mask);

  private:
    friend class TimelinePlayer;
    explicit DisplayEdits(TimelinePlayer& player) : player_(player) {}
    TimelinePlayer& player_;
};

} // namespace mc
