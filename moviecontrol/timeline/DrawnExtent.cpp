#include "DrawnExtent.h"

#include "Drawing.h"
#include "PixelSource.h"
#include "TextFieldState.h"
#include "TimelinePlayer.h"

namespace mc {

std::optional<Bounds> characterBounds(const CharacterCatalog& catalog, const DisplayObject& object,
                                      const Transform& m, std::uint16_t ratio, bool strokes) {
    if (object.kind == CharacterKind::Bitmap && object.pixels) {
        return mapBounds(
            m, Bounds{0, 0, object.pixels->width() * 20.0, object.pixels->height() * 20.0, true});
    }
    if ((object.kind == CharacterKind::Bitmap || object.kind == CharacterKind::EditText) &&
        object.text) {
        return mapBounds(m, object.text->bounds);
    }
    const auto own = strokes ? catalog.bounds(object.characterId, ratio)
                             : catalog.edgeBounds(object.characterId, ratio);
    if (!own) {
        return std::nullopt;
    }
    return mapBounds(m, Bounds::of(*own));
}

// Unlike contentBounds, which places cached bitmaps as players do, this follows what the
// emitter draws (a button's current state, no hidden children) and says so when it cannot
// tell: a JPEG placed on its own is sized only once decoded, and filters inside reach past
// their content by device pixels the timeline does not know. Too small a box loses drawing,
// too large one only costs time.
std::optional<Bounds> drawnExtent(const TimelinePlayer& player, const DisplayObject& object,
                                  const Transform& m, std::size_t& budget) {
    if (budget == 0) {
        return std::nullopt;
    }
    --budget;
    if (object.scrollRect) {
        // The window's mask keeps everything inside it.
        return mapBounds(m, object.scrollRect->frame());
    }
    Bounds box;
    switch (object.kind) {
    case CharacterKind::None:
        break;
    case CharacterKind::Sprite:
    case CharacterKind::Button:
        if (object.drawing) {
            box.add(mapBounds(m, object.drawing->bounds()));
        }
        if (!object.clip) {
            break;
        }
        for (const auto& [depth, child] : object.clip->displayList) {
            // Masks and hidden objects draw nothing of their own.
            if (child->isMask || !child->visible || child->maskedCount > 0) {
                continue;
            }
            if (!child->filters.empty()) {
                return std::nullopt;
            }
            const std::optional<Bounds> inner =
                drawnExtent(player, *child, m * child->matrix, budget);
            if (!inner) {
                return std::nullopt;
            }
            box.add(*inner);
        }
        break;
    default: {
        const std::optional<Bounds> own =
            characterBounds(player.catalogOf(object), object, m, object.ratio);
        if (!own) {
            return std::nullopt;
        }
        box.add(*own);
        break;
    }
    }
    return box;
}

} // namespace mc
