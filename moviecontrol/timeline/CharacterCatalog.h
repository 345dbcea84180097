#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

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
    // The character's own bounds in its twips (a morph's at `ratio`), when its definition
    // states them; sprites and buttons have none of their own.
    // The character a script attaches by symbol name (case-insensitive as a fallback).
    virtual std::optional<std::uint16_t> exported(std::string_view name) const {
        (void)name;
        return std::nullopt;
    }
    // Null unless kind(id) is EditText.
    virtual const swf::EditText* editText(std::uint16_t id) const {
        (void)id;
        return nullptr;
    }
    // Null unless the id names a font.
    virtual const swf::Font* font(std::uint16_t id) const {
        (void)id;
        return nullptr;
    }
    // The embedded font of that name and style, or null.
    virtual const swf::Font* fontNamed(std::string_view name, bool bold, bool italic) const {
        (void)name;
        (void)bold;
        (void)italic;
        return nullptr;
    }
    virtual std::optional<swf::Rect> bounds(std::uint16_t id, std::uint16_t ratio) const {
        (void)id;
        (void)ratio;
        return std::nullopt;
    }
    // A sprite's or button's nine-slice grid (DefineScalingGrid), in its own twips.
    virtual std::optional<swf::Rect> scalingGrid(std::uint16_t id) const {
        (void)id;
        return std::nullopt;
    }
    // The same without the widths of a shape's lines, where its definition states them apart.
    virtual std::optional<swf::Rect> edgeBounds(std::uint16_t id, std::uint16_t ratio) const {
        return bounds(id, ratio);
    }
};

} // namespace mc
