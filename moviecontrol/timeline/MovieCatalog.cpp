#include "MovieCatalog.h"

#include "EmbeddedFonts.h"
#include "swf/PictureSize.h"

#include <algorithm>
#include <cmath>
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
            } else if constexpr (std::is_same_v<T, swf::VideoStream>) {
                return CharacterKind::Video;
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

std::optional<std::uint16_t> MovieCatalog::exported(std::string_view name) const {
    const auto it = movie_.exports.find(std::string(name));
    if (it != movie_.exports.end()) {
        return it->second;
    }
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    for (const auto& [symbol, id] : movie_.exports) {
        if (std::equal(symbol.begin(), symbol.end(), name.begin(), name.end(),
                       [&](char a, char b) { return lower(a) == lower(b); })) {
            return id;
        }
    }
    return std::nullopt;
}

const swf::EditText* MovieCatalog::editText(std::uint16_t id) const {
    return movie_.findAs<swf::EditText>(id);
}

const swf::Font* MovieCatalog::font(std::uint16_t id) const {
    return movie_.findAs<swf::Font>(id);
}

const swf::Font* MovieCatalog::fontNamed(std::string_view name, bool bold, bool italic) const {
    return embeddedFontNamed(movie_, name, bold, italic, StyleMatch::Preferred).font;
}

const swf::Button* MovieCatalog::button(std::uint16_t id) const {
    return movie_.findAs<swf::Button>(id);
}

std::optional<swf::Rect> MovieCatalog::scalingGrid(std::uint16_t id) const {
    const auto it = movie_.scalingGrids.find(id);
    return it != movie_.scalingGrids.end() ? std::optional(it->second) : std::nullopt;
}

std::optional<swf::Rect> MovieCatalog::bounds(std::uint16_t id, std::uint16_t ratio) const {
    const swf::Definition* d = movie_.find(id);
    if (d == nullptr) {
        return std::nullopt;
    }
    return std::visit(
        [ratio](const auto& def) -> std::optional<swf::Rect> {
            using T = std::decay_t<decltype(def)>;
            if constexpr (std::is_same_v<T, swf::Shape> || std::is_same_v<T, swf::StaticText> ||
                          std::is_same_v<T, swf::EditText>) {
                return def.bounds;
            } else if constexpr (std::is_same_v<T, swf::MorphShape>) {
                const double t = ratio / 65535.0;
                const auto mix = [t](std::int32_t from, std::int32_t to) {
                    const double at = from + (static_cast<double>(to) - from) * t;
                    return static_cast<std::int32_t>(std::lround(at));
                };
                const swf::Rect& s = def.startBounds;
                const swf::Rect& e = def.endBounds;
                return swf::Rect{mix(s.xMin, e.xMin), mix(s.xMax, e.xMax), mix(s.yMin, e.yMin),
                                 mix(s.yMax, e.yMax)};
            } else if constexpr (std::is_same_v<T, swf::LosslessBitmap> ||
                                 std::is_same_v<T, swf::VideoStream>) {
                return swf::Rect{0, def.width * 20, 0, def.height * 20};
            } else if constexpr (std::is_same_v<T, swf::JpegBitmap>) {
                // Read from the picture's own header: scripts measure a loaded picture
                // before anything decodes it.
                const auto size = swf::pictureSize(def.imageData);
                if (!size) {
                    return std::nullopt;
                }
                return swf::Rect{0, static_cast<std::int32_t>(size->width * 20), 0,
                                 static_cast<std::int32_t>(size->height * 20)};
            } else {
                return std::nullopt;
            }
        },
        *d);
}

std::optional<swf::Rect> MovieCatalog::edgeBounds(std::uint16_t id, std::uint16_t ratio) const {
    if (const auto* shape = movie_.findAs<swf::Shape>(id)) {
        return shape->edgeBounds;
    }
    if (const auto* morph = movie_.findAs<swf::MorphShape>(id)) {
        const double t = ratio / 65535.0;
        const auto mix = [t](std::int32_t from, std::int32_t to) {
            return static_cast<std::int32_t>(
                std::lround(from + (static_cast<double>(to) - from) * t));
        };
        const swf::Rect& s = morph->startEdgeBounds;
        const swf::Rect& e = morph->endEdgeBounds;
        return swf::Rect{mix(s.xMin, e.xMin), mix(s.xMax, e.xMax), mix(s.yMin, e.yMin),
                         mix(s.yMax, e.yMax)};
    }
    return bounds(id, ratio);
}

} // namespace mc
