#pragma once
// The built-in display classes. A subclass copies its base's traits when it is made, so an
// accessor added to DisplayObject after them goes to each; classes scripts define later copy
// it from their base.
#include <array>

namespace avm2 {

inline constexpr std::array<const char*, 13> kDisplayClassNames = {
    "flash.display::DisplayObject",
    "flash.display::InteractiveObject",
    "flash.display::DisplayObjectContainer",
    "flash.display::Sprite",
    "flash.display::MovieClip",
    "flash.display::Shape",
    "flash.display::SimpleButton",
    "flash.display::Bitmap",
    "flash.display::MorphShape",
    "flash.text::StaticText",
    "flash.text::TextField",
    "flash.display::Stage",
    "flash.display::Loader"};

} // namespace avm2
