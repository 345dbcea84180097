#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "DisplayObject.h"
#include "TimelinePlayer.h"
#include "swf/Geometry.h"
#include "swf/Movie.h"

namespace mc {

class Drawing;

// Whether a point of the stage falls on what a display object shows: the fills of its
// shapes (strokes do not count), the boxes of its texts, a button's hit-state records,
// everything inside a clip; masks and invisible objects taken into account. Points are
// stage twips.
class HitTester {
  public:
    HitTester(const swf::Movie& movie, const TimelinePlayer& player);

    // The object's content covers the point (its own visibility and masks included).
    bool hits(const DisplayObject& object, double x, double y) const;
    // The same, with `area`'s content standing for the object's own (a script's hit area):
    // the area counts by its shape where it stands, shown or not, while the object's own
    // visibility, the windows around it and its masks still decide.
    bool hitsThrough(const DisplayObject& object, const DisplayObject& area, double x,
                     double y) const;

    // The topmost object, searching every clip from the top depth down, for which `wanted`
    // holds and whose content covers the point. A wanted object stops the search there: what
    // it holds is not searched on its own. Null when none.
    using Wanted = std::function<bool(const DisplayObject&)>;
    DisplayObject* topmost(const Wanted& wanted, double x, double y) const;
    // The clip a wanted clip is hit through instead of its own content (a script's
    // hitArea), null for its own; unset, every clip is hit by its own content.
    std::function<const DisplayObject*(const DisplayObject&)> hitAreaOf;
    // Hidden objects count as shown (a script's hitTest asks about shapes, seen or not).
    bool includeHidden = false;

    // The deepest clip under the point that holds visible content there, or a text field
    // there, ignoring `skip` and everything inside it (the clip being dragged); null for
    // none.
    const DisplayObject* clipUnder(double x, double y, const DisplayObject* skip) const;

    // A shape's (or morph's at `ratio`) fills contain the point given in its own twips;
    // `library` names the dictionary of the id (0: the first movie's).
    bool shapeContains(std::uint16_t id, std::uint16_t ratio, double x, double y,
                       std::uint16_t library = 0) const;

    // A script's drawing covers the point of its clip's twips: its fills, or its lines within
    // their widths.
    bool drawingHits(const Drawing& drawing, double x, double y) const;

  private:
    static constexpr std::size_t kMaxCachedDrawings = 64;
    bool contentHits(const DisplayObject& object, const Transform& m, double x, double y,
                     int nesting) const;
    bool buttonHits(std::uint16_t id, const Transform& m, double x, double y, int nesting,
                    std::uint16_t library) const;
    bool characterHits(std::uint16_t id, std::uint16_t ratio, const Transform& m, double x,
                       double y, int nesting, std::uint16_t library) const;
    bool childHits(const DisplayObject& parent, const DisplayObject& child, const Transform& m,
                   double x, double y, int nesting) const;
    // Not hidden by a timeline mask below it or a mask a script set.
    bool unmasked(const DisplayObject& parent, const DisplayObject& child, const Transform& m,
                  double x, double y, int nesting) const;
    const DisplayObject* hitArea(const DisplayObject& object) const;
    DisplayObject* topmostIn(const DisplayObject& clip, const Transform& m, const Wanted& wanted,
                             double x, double y, int nesting) const;
    const DisplayObject* clipUnderIn(const DisplayObject& clip, const Transform& m, double x,
                                     double y, const DisplayObject* skip, int nesting) const;

    const swf::Movie& movie_;
    const TimelinePlayer& player_;
    // By library << 16 | id.
    mutable std::map<std::uint32_t, std::shared_ptr<const swf::ShapeDrawing>> shapes_;
    mutable std::map<const Drawing*,
                     std::pair<std::uint64_t, std::shared_ptr<const swf::ShapeDrawing>>>
        drawings_;
};

// Whether a filled drawing contains a point of its own space.
bool drawingContains(const swf::ShapeDrawing& drawing, double x, double y);

} // namespace mc
