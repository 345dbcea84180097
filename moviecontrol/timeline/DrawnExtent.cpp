// Where a group's drawing lands, so that the picture it is composed in can be no larger.
#include "Drawing.h"
#include "TextFieldState.h"
#include "TimelinePlayer.h"

namespace mc {

// Unlike contentBounds, which places cached bitmaps as players do, this follows what the
// emitter draws (a button's current state, no hidden children) and says so when it cannot
// tell: a JPEG placed on its own is sized only once decoded, and filters inside reach past
// their content by device pixels the timeline does not know. Too small a box loses drawing,
// too large one only costs time.
std::optional<Bounds> TimelinePlayer::drawnExtent(const DisplayObject& object, const Transform& m,
                                                  std::size_t& budget) const {
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
            const std::optional<Bounds> inner = drawnExtent(*child, m * child->matrix, budget);
            if (!inner) {
                return std::nullopt;
            }
            box.add(*inner);
        }
        break;
    default: {
        const std::optional<Bounds> own = characterBounds(object, m, object.ratio);
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
