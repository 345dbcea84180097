#include "HitTest.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Drawing.h"
#include "SwfConversions.h"
#include "TextFieldState.h"

namespace mc {

namespace {

// Nested clips and buttons followed at most this deep; a movie that nests deeper is cut.
constexpr int kMaxNesting = 64;
// Segments a curve is cut into for the crossing count.
constexpr int kCurveSteps = 8;

// Adds the signed crossing of segment a-b with the ray from (x, y) towards +x.
void cross(const swf::Point& a, const swf::Point& b, double x, double y, int& winding) {
    if ((a.y <= y) == (b.y <= y)) {
        return;
    }
    const double t = (y - a.y) / (b.y - a.y);
    if (a.x + t * (b.x - a.x) > x) {
        winding += b.y > a.y ? 1 : -1;
    }
}

// Calls `visit(a, b)` for each straight piece of `path`, curves cut into kCurveSteps pieces.
// With `closeContours`, each contour is also closed from its last point back to its start, as
// a fill closes it whether the path marks it or not.
template <typename Visit>
void forEachSegment(const swf::Path& path, bool closeContours, Visit visit) {
    swf::Point start;
    swf::Point pen;
    for (const swf::PathElement& e : path.elements) {
        switch (e.verb) {
        case swf::PathVerb::MoveTo:
            if (closeContours) {
                visit(pen, start);
            }
            start = pen = e.to;
            break;
        case swf::PathVerb::LineTo:
            visit(pen, e.to);
            pen = e.to;
            break;
        case swf::PathVerb::QuadTo: {
            swf::Point previous = pen;
            for (int i = 1; i <= kCurveSteps; ++i) {
                const double t = static_cast<double>(i) / kCurveSteps;
                const double u = 1.0 - t;
                const swf::Point p{u * u * pen.x + 2 * u * t * e.control.x + t * t * e.to.x,
                                   u * u * pen.y + 2 * u * t * e.control.y + t * t * e.to.y};
                visit(previous, p);
                previous = p;
            }
            pen = e.to;
            break;
        }
        case swf::PathVerb::Close:
            visit(pen, start);
            pen = start;
            break;
        }
    }
    if (closeContours) {
        visit(pen, start);
    }
}

int windingOf(const swf::Path& path, double x, double y) {
    int winding = 0;
    forEachSegment(path, true,
                   [&](const swf::Point& a, const swf::Point& b) { cross(a, b, x, y, winding); });
    return winding;
}

double distanceToSegment(const swf::Point& a, const swf::Point& b, double x, double y) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = dx * dx + dy * dy;
    double t = length > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / length : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(a.x + t * dx - x, a.y + t * dy - y);
}

// The nearest any part of `path` comes to the point.
double distanceToPath(const swf::Path& path, double x, double y) {
    double nearest = std::numeric_limits<double>::infinity();
    forEachSegment(path, false, [&](const swf::Point& a, const swf::Point& b) {
        nearest = std::min(nearest, distanceToSegment(a, b, x, y));
    });
    return nearest;
}

// A drawn line is hit within half its width of its path, a hairline within half a pixel.
bool strokesContain(const swf::ShapeDrawing& drawing, double x, double y) {
    for (const swf::Layer& layer : drawing.layers) {
        for (const swf::StrokePath& stroke : layer.strokes) {
            if (stroke.style >= layer.styles.lines.size()) {
                continue;
            }
            const double half = std::max(layer.styles.lines[stroke.style].width / 2.0, 10.0);
            if (distanceToPath(stroke.path, x, y) <= half) {
                return true;
            }
        }
    }
    return false;
}

bool boxContains(const swf::Rect& r, double x, double y) {
    return x >= r.xMin && x <= r.xMax && y >= r.yMin && y <= r.yMax;
}

// An object with a scroll window is hit only inside the window; what it holds is hit where
// the window shows it. Moves `m` from the object to its content; false when the point falls
// outside the window.
bool throughWindow(const DisplayObject& object, Transform& m, double x, double y) {
    if (!object.scrollRect) {
        return true;
    }
    const Transform back = inverse(m);
    if (!object.scrollRect->frameContains(back.mapX(x, y), back.mapY(x, y))) {
        return false;
    }
    m = m * object.scrollRect->shift();
    return true;
}

} // namespace

bool drawingContains(const swf::ShapeDrawing& drawing, double x, double y) {
    for (const swf::Layer& layer : drawing.layers) {
        for (const swf::FillPath& fill : layer.fills) {
            const int w = windingOf(fill.path, x, y);
            if (drawing.fillRule == swf::FillRule::NonZero ? w != 0 : (w & 1) != 0) {
                return true;
            }
        }
    }
    return false;
}

HitTester::HitTester(const swf::Movie& movie, const TimelinePlayer& player)
    : movie_(movie), player_(player) {}

bool HitTester::drawingHits(const Drawing& drawing, double x, double y) const {
    const Bounds b = drawing.bounds();
    if (b.empty() || x < b.xMin || x > b.xMax || y < b.yMin || y > b.yMax) {
        return false;
    }
    // Drawings are rebuilt only when they change; a new drawing has a new generation, so a
    // stale entry never answers for it.
    auto found = drawings_.find(&drawing);
    if (found == drawings_.end() || found->second.first != drawing.generation()) {
        if (drawings_.size() >= kMaxCachedDrawings) {
            drawings_.clear();
        }
        const swf::Shape shown = drawing.shownShape();
        auto built = std::make_shared<const swf::ShapeDrawing>(
            swf::buildDrawing(shown.styles, shown.records));
        found = drawings_.insert_or_assign(&drawing, std::pair(drawing.generation(), built)).first;
    }
    const swf::ShapeDrawing& shape = *found->second.second;
    return drawingContains(shape, x, y) || strokesContain(shape, x, y);
}

bool HitTester::shapeContains(std::uint16_t id, std::uint16_t ratio, double x, double y,
                              std::uint16_t library) const {
    const swf::Movie* movie = library == 0 ? &movie_ : player_.library().movie(library);
    if (movie == nullptr) {
        return false;
    }
    if (const auto* shape = movie->findAs<swf::Shape>(id)) {
        if (!boxContains(shape->bounds, x, y)) {
            return false;
        }
        auto& cached = shapes_[std::uint32_t{library} << 16 | id];
        if (!cached) {
            cached = std::make_shared<const swf::ShapeDrawing>(swf::buildDrawing(*shape));
        }
        return drawingContains(*cached, x, y);
    }
    if (const auto* morph = movie->findAs<swf::MorphShape>(id)) {
        return drawingContains(swf::buildMorphDrawing(*morph, ratio), x, y);
    }
    return false;
}

bool HitTester::characterHits(std::uint16_t id, std::uint16_t ratio, const Transform& m, double x,
                              double y, int nesting, std::uint16_t library) const {
    const CharacterCatalog& catalog = player_.library().catalog(library);
    const Transform back = inverse(m);
    const double lx = back.mapX(x, y);
    const double ly = back.mapY(x, y);
    switch (catalog.kind(id)) {
    case CharacterKind::Shape:
    case CharacterKind::MorphShape:
        return shapeContains(id, ratio, lx, ly, library);
    case CharacterKind::Button:
        return buttonHits(id, m, x, y, nesting + 1, library);
    case CharacterKind::Sprite:
    case CharacterKind::None:
        return false;
    default:
        break;
    }
    const auto box = catalog.bounds(id, ratio);
    return box && boxContains(*box, lx, ly);
}

bool HitTester::buttonHits(std::uint16_t id, const Transform& m, double x, double y, int nesting,
                           std::uint16_t library) const {
    const CharacterCatalog& catalog = player_.library().catalog(library);
    const swf::Button* button = catalog.button(id);
    if (button == nullptr || nesting > kMaxNesting) {
        return false;
    }
    for (const swf::ButtonRecord& r : button->records) {
        if ((r.states & swf::button_state::HitTest) == 0 || r.characterId == button->id) {
            continue;
        }
        const Transform rm = m * toTransform(r.matrix);
        if (catalog.kind(r.characterId) == CharacterKind::Sprite) {
            // A clip in the hit state counts by what its first frame shows.
            if (const swf::Timeline* t = catalog.spriteTimeline(r.characterId);
                t != nullptr && !t->frames.empty()) {
                for (const swf::ControlTag& tag : t->frames.front().tags) {
                    const auto* place = std::get_if<swf::PlaceObject>(&tag);
                    if (place != nullptr && place->characterId &&
                        characterHits(*place->characterId, place->ratio.value_or(0),
                                      rm * toTransform(place->matrix.value_or(swf::Matrix{})), x, y,
                                      nesting + 1, library)) {
                        return true;
                    }
                }
            }
            continue;
        }
        if (characterHits(r.characterId, 0, rm, x, y, nesting + 1, library)) {
            return true;
        }
    }
    return false;
}

bool HitTester::unmasked(const DisplayObject& parent, const DisplayObject& child,
                         const Transform& m, double x, double y, int nesting) const {
    if (parent.clip) {
        for (const auto& [depth, other] : parent.clip->displayList) {
            if (depth >= child.depth) {
                break;
            }
            if (other->isMask && other->clipDepth >= child.depth &&
                !contentHits(*other, m * other->matrix, x, y, nesting + 1)) {
                return false;
            }
        }
    }
    if (const auto mask = child.scriptMask.lock(); mask && !mask->removed) {
        return hits(*mask, x, y);
    }
    return true;
}

bool HitTester::childHits(const DisplayObject& parent, const DisplayObject& child,
                          const Transform& m, double x, double y, int nesting) const {
    if ((!child.visible && !includeHidden) || child.isMask || child.maskedCount > 0) {
        return false;
    }
    return contentHits(child, m * child.matrix, x, y, nesting + 1) &&
           unmasked(parent, child, m, x, y, nesting);
}

bool HitTester::contentHits(const DisplayObject& object, const Transform& frame, double x, double y,
                            int nesting) const {
    Transform m = frame;
    if (nesting > kMaxNesting || !throughWindow(object, m, x, y)) {
        return false;
    }
    if (object.kind == CharacterKind::Button) {
        return buttonHits(object.characterId, m, x, y, nesting, object.library);
    }
    if (object.clip) {
        if (object.drawing) {
            const Transform back = inverse(m);
            if (drawingHits(*object.drawing, back.mapX(x, y), back.mapY(x, y))) {
                return true;
            }
        }
        for (auto it = object.clip->displayList.rbegin(); it != object.clip->displayList.rend();
             ++it) {
            if (childHits(object, *it->second, m, x, y, nesting)) {
                return true;
            }
        }
        return false;
    }
    if (object.text) {
        // A field's box, as scripts may have sized it.
        const Transform back = inverse(m);
        const Bounds& b = object.text->bounds;
        const double lx = back.mapX(x, y);
        const double ly = back.mapY(x, y);
        return !b.empty() && lx >= b.xMin && lx <= b.xMax && ly >= b.yMin && ly <= b.yMax;
    }
    return characterHits(object.characterId, object.ratio, m, x, y, nesting, object.library);
}

bool HitTester::hits(const DisplayObject& object, double x, double y) const {
    return hitsThrough(object, object, x, y);
}

bool HitTester::hitsThrough(const DisplayObject& object, const DisplayObject& area, double x,
                            double y) const {
    for (const DisplayObject* o = &object; o != nullptr && !includeHidden; o = o->parent) {
        if (!o->visible) {
            return false;
        }
    }
    // The windows of the clips around it hide what lies outside them.
    for (const DisplayObject* p = object.parent; p != nullptr; p = p->parent) {
        Transform m = player_.geometry().frameMatrix(*p);
        if (!throughWindow(*p, m, x, y)) {
            return false;
        }
    }
    if (!contentHits(area, player_.geometry().frameMatrix(area), x, y, 0)) {
        return false;
    }
    if (object.parent != nullptr) {
        return unmasked(*object.parent, object, player_.geometry().globalMatrix(*object.parent), x,
                        y, 0);
    }
    return true;
}

DisplayObject* HitTester::topmostIn(const DisplayObject& clip, const Transform& frame,
                                    const Wanted& wanted, double x, double y, int nesting) const {
    Transform m = frame;
    if (!clip.clip || nesting > kMaxNesting || !throughWindow(clip, m, x, y)) {
        return nullptr;
    }
    for (auto it = clip.clip->displayList.rbegin(); it != clip.clip->displayList.rend(); ++it) {
        DisplayObject& child = *it->second;
        if (!child.visible || child.isMask || child.maskedCount > 0) {
            continue;
        }
        const Transform cm = m * child.matrix;
        if (wanted(child)) {
            // What a button shows may hold buttons of its own: they come first.
            if (child.kind == CharacterKind::Button && child.clip &&
                unmasked(clip, child, m, x, y, nesting)) {
                if (DisplayObject* inner = topmostIn(child, cm, wanted, x, y, nesting + 1)) {
                    return inner;
                }
            }
            if (const DisplayObject* area = hitArea(child)) {
                // Hit through its hit area, which counts by its shape wherever it stands,
                // shown or not.
                if (contentHits(*area, player_.geometry().frameMatrix(*area), x, y, nesting + 1) &&
                    unmasked(clip, child, m, x, y, nesting)) {
                    return &child;
                }
            } else if (childHits(clip, child, m, x, y, nesting)) {
                return &child;
            }
            continue;
        }
        if (child.clip && unmasked(clip, child, m, x, y, nesting)) {
            if (DisplayObject* found = topmostIn(child, cm, wanted, x, y, nesting + 1)) {
                return found;
            }
        }
    }
    return nullptr;
}

const DisplayObject* HitTester::hitArea(const DisplayObject& object) const {
    if (!hitAreaOf || object.kind == CharacterKind::Button || !object.clip) {
        return nullptr;
    }
    const DisplayObject* area = hitAreaOf(object);
    return area != nullptr && !area->removed && area != &object ? area : nullptr;
}

DisplayObject* HitTester::topmost(const Wanted& wanted, double x, double y) const {
    // The levels above the first cover it, the highest on top.
    const auto levels = player_.levels().upperLevels();
    for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
        if ((*it)->visible) {
            if (DisplayObject* found = topmostIn(**it, (*it)->matrix, wanted, x, y, 0)) {
                return found;
            }
        }
    }
    const DisplayObject& root = player_.rootObject();
    return topmostIn(root, root.matrix, wanted, x, y, 0);
}

const DisplayObject* HitTester::clipUnderIn(const DisplayObject& clip, const Transform& frame,
                                            double x, double y, const DisplayObject* skip,
                                            int nesting) const {
    Transform m = frame;
    if (!clip.clip || nesting > kMaxNesting || !throughWindow(clip, m, x, y)) {
        return nullptr;
    }
    for (auto it = clip.clip->displayList.rbegin(); it != clip.clip->displayList.rend(); ++it) {
        const DisplayObject& child = *it->second;
        if (&child == skip || !child.visible || child.isMask || child.maskedCount > 0 ||
            !unmasked(clip, child, m, x, y, nesting)) {
            continue;
        }
        const Transform cm = m * child.matrix;
        if (child.clip) {
            if (const DisplayObject* inner = clipUnderIn(child, cm, x, y, skip, nesting + 1)) {
                return inner;
            }
            if (child.drawing && contentHits(child, cm, x, y, nesting + 1)) {
                return &child;
            }
        } else if (contentHits(child, cm, x, y, nesting + 1)) {
            // A shape stands for the clip that holds it; a text field is an object with a
            // name of its own, and is itself what lies there.
            return child.text ? &child : &clip;
        }
    }
    return nullptr;
}

const DisplayObject* HitTester::clipUnder(double x, double y, const DisplayObject* skip) const {
    const DisplayObject& root = player_.rootObject();
    return clipUnderIn(root, root.matrix, x, y, skip, 0);
}

} // namespace mc
