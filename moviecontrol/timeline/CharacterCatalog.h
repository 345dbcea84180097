#pragma once

#include <cstdint>

#include "DrawCommand.h"
#include "swf/Characters.h"
#include "swf/ControlTags.h"

namespace mc {

// What the timeline asks of the movie's dictionary. The movie adapter answers from the
// reader's dictionary; tests answer from a few hand-made definitions.
class CharacterCatalog {
  public:
    virtual ~CharacterCatalog() = default;
    virtual CharacterKind kind(std::uint16_t id) const = 0;
    // Null unless kind(id) is Sprite.
    virtual const swf::Timeline* spriteTimeline(std::uint16_t id) const = 0;
    // Null unless kind(id) is Button.
    virtual const swf::Button* button(std::uint16_t id) const = 0;
};

} // namespace mc
