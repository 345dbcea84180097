// The area a placed object's drawing covers, as players compute it to place a cached bitmap.
#include "Drawing.h"
#include "DrawnExtent.h"
#include "SwfConversions.h"
#include "TextFieldState.h"
#include "TimelinePlayer.h"

namespace mc {

Bounds TimelinePlayer::contentBounds(const DisplayObject& object, const Transform& m,
                                     std::size_t& budget, bool startShapes) const {
    if (budget == 0) {
        return {};
    }
    --budget;
    Bounds box;
    if (object.scrollRect) {
        box.add(mapBounds(m, object.scrollRect->frame()));
        return box;
    }
    switch (object.kind) {
    case CharacterKind::None:
        break;
    case CharacterKind::Sprite:
        if (object.drawing) {
            box.add(mapBounds(m, object.drawing->bounds()));
        }
        if (object.clip) {
            for (const auto& [depth, child] : object.clip->displayList) {
                box.add(contentBounds(*child, m * child->matrix, budget, startShapes));
            }
        }
        break;
    case CharacterKind::Button:
        if (const swf::Button* button = catalogOf(object).button(object.characterId)) {
            for (const swf::ButtonRecord& r : button->records) {
                // The same records the button draws: its up state, without nested clips.
                if ((r.states & swf::button_state::Up) == 0 ||
                    catalogOf(object).kind(r.characterId) == CharacterKind::Sprite) {
                    continue;
                }
                if (const auto own = catalogOf(object).bounds(r.characterId, 0)) {
                    box.add(mapBounds(m * toTransform(r.matrix), Bounds::of(*own)));
                }
            }
        }
        break;
    default:
        if (const auto own =
                characterBounds(catalogOf(object), object, m, startShapes ? 0 : object.ratio)) {
            box.add(*own);
        }
        break;
    }
    return box;
}

} // namespace mc
