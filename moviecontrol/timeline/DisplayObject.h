#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ColorTransform.h"
#include "DrawCommand.h"
#include "Transform.h"
#include "swf/ControlTags.h"

namespace mc {

struct Clip;

// One entry of a display list: a placed character and the properties the place tags gave it.
struct DisplayObject {
    std::uint16_t depth = 0;
    std::uint16_t characterId = 0;
    CharacterKind kind = CharacterKind::None;
    Transform matrix;
    ColorTransform colorTransform;
    std::uint16_t ratio = 0;
    std::uint16_t clipDepth = 0; // non-zero: this object masks depths above it up to here
    std::string name;
    swf::BlendMode blendMode = swf::BlendMode::Normal;
    std::vector<swf::Filter> filters;
    bool cacheAsBitmap = false;
    bool visible = true;
    // Frame whose place tag created the object: a rebuild of the display list keeps an
    // object that the same tag would create again, as players do.
    std::uint32_t placedFrame = 0;
    // Set for sprites: their own timeline state.
    std::shared_ptr<Clip> clip;
};

// A timeline being played: the root movie or one placed sprite.
struct Clip {
    const swf::Timeline* timeline = nullptr;
    std::uint32_t frame = 0; // 0-based index of the frame shown
    bool playing = true;
    int nesting = 0; // 0 for the root
    std::uint64_t createdTick = 0;
    std::map<std::uint16_t, DisplayObject> displayList;

    std::uint32_t frameCount() const {
        return timeline == nullptr ? 0u : static_cast<std::uint32_t>(timeline->frames.size());
    }
};

} // namespace mc
