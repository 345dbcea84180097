#include "MovieCatalog.h"

#include <type_traits>

namespace mc {

CharacterKind MovieCatalog::kind(std::uint16_t id) const {
    const swf::Definition* d = movie_.find(id);
    if (d == nullptr) {
        return CharacterKind::None;
    }
    return std::visit(
        [](const auto& def) {
            using T = std::decay_t<decltype(def)>;
            if constexpr (std::is_same_v<T, swf::Shape>) {
                return CharacterKind::Shape;
            } else if constexpr (std::is_same_v<T, swf::MorphShape>) {
                return CharacterKind::MorphShape;
            } else if constexpr (std::is_same_v<T, swf::Sprite>) {
                return CharacterKind::Sprite;
            } else if constexpr (std::is_same_v<T, swf::JpegBitmap> ||
                                 std::is_same_v<T, swf::LosslessBitmap>) {
                return CharacterKind::Bitmap;
            } else if constexpr (std::is_same_v<T, swf::StaticText>) {
                return CharacterKind::StaticText;
            } else if constexpr (std::is_same_v<T, swf::EditText>) {
                return CharacterKind::EditText;
            } else if constexpr (std::is_same_v<T, swf::Button>) {
                return CharacterKind::Button;
            } else {
                return CharacterKind::None; // fonts are not placed
            }
        },
        *d);
}

const swf::Timeline* MovieCatalog::spriteTimeline(std::uint16_t id) const {
    const swf::Sprite* s = movie_.findAs<swf::Sprite>(id);
    return s == nullptr ? nullptr : &s->timeline;
}

const swf::Button* MovieCatalog::button(std::uint16_t id) const {
    return movie_.findAs<swf::Button>(id);
}

} // namespace mc
