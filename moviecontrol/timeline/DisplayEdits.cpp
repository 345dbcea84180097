#include "DisplayEdits.h"

#include <utility>

#include "TimelinePlayer.h"

namespace mc {

std::shared_ptr<DisplayObject> DisplayEdits::attachMovie(DisplayObject& parent,
                                                         std::string_view symbol,
                                                         std::string_view name,
                                                         std::int32_t depth) {
    return player_.attachMovie(parent, symbol, name, depth);
}

std::shared_ptr<DisplayObject>
DisplayEdits::duplicateClip(DisplayObject& original, std::string_view name, std::int32_t depth) {
    return player_.duplicateClip(original, name, depth);
}

std::shared_ptr<DisplayObject>
DisplayEdits::placeCharacter(DisplayObject& parent, std::uint16_t characterId, std::int32_t depth) {
    return player_.placeCharacter(parent, characterId, depth);
}

std::shared_ptr<DisplayObject>
DisplayEdits::createEmptyClip(DisplayObject& parent, std::string_view name, std::int32_t depth) {
    return player_.createEmptyClip(parent, name, depth);
}

std::shared_ptr<DisplayObject> DisplayEdits::attachPixels(DisplayObject& parent, std::int32_t depth,
                                                          std::shared_ptr<const PixelSource> pixels,
                                                          bool smoothing) {
    return player_.attachPixels(parent, depth, std::move(pixels), smoothing);
}

std::shared_ptr<DisplayObject> DisplayEdits::createTextField(DisplayObject& parent,
                                                             std::string_view name,
                                                             std::int32_t depth,
                                                             const Bounds& twips) {
    return player_.createTextField(parent, name, depth, twips);
}

bool DisplayEdits::removeByScript(DisplayObject& object) {
    return player_.removeByScript(object);
}

bool DisplayEdits::removableByScript(const DisplayObject& object) const {
    return player_.removableByScript(object);
}

void DisplayEdits::unloadClip(DisplayObject& clip) {
    player_.unloadClip(clip);
}

void DisplayEdits::unloadMovie(DisplayObject& clip) {
    player_.unloadMovie(clip);
}

bool DisplayEdits::swapDepths(DisplayObject& object, std::int32_t depth) {
    return player_.swapDepths(object, depth);
}

std::int32_t DisplayEdits::nextHighestDepth(const DisplayObject& parent) const {
    return player_.nextHighestDepth(parent);
}

void DisplayEdits::setMask(DisplayObject& object, DisplayObject* mask) {
    player_.setMask(object, mask);
}

} // namespace mc
