// Where display objects stand, and the area a placed object's drawing covers as players
// compute it to place a cached bitmap.
#include "ObjectGeometry.h"
#include "Drawing.h"
#include "DrawnExtent.h"
#include "MovieLibrary.h"
#include "SwfConversions.h"
#include "TextFieldState.h"

namespace mc {

Bounds ObjectGeometry::contentBounds(const DisplayObject& object, const Transform& m,
                                     std::size_t& budget, bool startShapes, bool strokes) const {
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
            box.add(mapBounds(m, strokes ? object.drawing->bounds() : object.drawing->edges()));
        }
        if (object.clip) {
            for (const auto& [depth, child] : object.clip->displayList) {
                box.add(contentBounds(*child, m * child->matrix, budget, startShapes, strokes));
            }
        }
        break;
    case CharacterKind::Button:
        if (const swf::Button* button =
                library_.catalog(object.library).button(object.characterId)) {
            for (const swf::ButtonRecord& r : button->records) {
                // The same records the button draws: its up state, without nested clips.
                if ((r.states & swf::button_state::Up) == 0 ||
                    library_.catalog(object.library).kind(r.characterId) == CharacterKind::Sprite) {
                    continue;
                }
                if (const auto own = library_.catalog(object.library).bounds(r.characterId, 0)) {
                    box.add(mapBounds(m * toTransform(r.matrix), Bounds::of(*own)));
                }
            }
        }
        break;
    default:
        if (const auto own = characterBounds(library_.catalog(object.library), object, m,
                                             startShapes ? 0 : object.ratio, strokes)) {
            box.add(*own);
        }
        break;
    }
    return box;
}

Transform ObjectGeometry::frameMatrix(const DisplayObject& object) const {
    Transform m = object.matrix;
    int guard = 0;
    for (const DisplayObject* p = object.parent; p != nullptr && guard < 4096;
         p = p->parent, ++guard) {
        m = p->scrollRect ? p->matrix * p->scrollRect->shift() * m : p->matrix * m;
    }
    return m;
}

Transform ObjectGeometry::globalMatrix(const DisplayObject& object) const {
    const Transform m = frameMatrix(object);
    return object.scrollRect ? m * object.scrollRect->shift() : m;
}

Bounds ObjectGeometry::boundsOf(const DisplayObject& object, const Transform& toSpace) const {
    return ownBounds(object, toSpace, false);
}

Bounds ObjectGeometry::scriptBoundsOf(const DisplayObject& object, const Transform& toSpace) const {
    return ownBounds(object, toSpace, true);
}

Bounds ObjectGeometry::scriptEdgesOf(const DisplayObject& object, const Transform& toSpace) const {
    return ownBounds(object, toSpace, true, true, false);
}

Bounds ObjectGeometry::ownBounds(const DisplayObject& object, const Transform& toSpace,
                                 bool startShapes, bool windowed, bool strokes) const {
    if (windowed && object.scrollRect) {
        return mapBounds(toSpace, object.scrollRect->frame());
    }
    std::size_t budget = maxVisits_;
    // The object's own content: a clip's children and drawing, without its own matrix.
    Bounds box;
    if (object.clip) {
        if (object.drawing) {
            box.add(
                mapBounds(toSpace, strokes ? object.drawing->bounds() : object.drawing->edges()));
        }
        for (const auto& [depth, child] : object.clip->displayList) {
            box.add(contentBounds(*child, toSpace * child->matrix, budget, startShapes, strokes));
        }
        return box;
    }
    return contentBounds(object, toSpace, budget, startShapes, strokes);
}

} // namespace mc
