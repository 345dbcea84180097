#pragma once
// Nine-slice scaling: a clip with a scaling grid keeps the corners of its drawing at their own
// size when it is scaled, stretches the edges along their length only and the middle in both
// directions, so that a frame or a button skin keeps its border whatever its size.

#include <optional>

#include "Bounds.h"
#include "Transform.h"

namespace mc {

// One direction of the grid: positions at or before `low` and at or after `high` move by
// `edgeScale` from where those lines land, those between by `middleScale`.
struct SliceAxis {
    double low = 0.0;
    double high = 0.0;
    double lowTo = 0.0;
    double highTo = 0.0;
    double edgeScale = 1.0;
    double middleScale = 1.0;

    double map(double v) const;
    friend bool operator==(const SliceAxis&, const SliceAxis&) = default;
};

// How one shape of a sliced clip is drawn: its own placement in the clip (`inner`), then the
// two axes, in the clip's twips scaled as the clip is; the draw command's matrix does the
// rest (the clip's position, mirroring and everything above it).
struct NineSlice {
    Transform inner;
    SliceAxis x;
    SliceAxis y;

    double mapX(double px, double py) const { return x.map(inner.mapX(px, py)); }
    double mapY(double px, double py) const { return y.map(inner.mapY(px, py)); }
    friend bool operator==(const NineSlice&, const NineSlice&) = default;
};

// The slices of a clip whose content covers `content` (its own twips), with `grid` as the
// middle rectangle, placed by `own`. None when the placement turns or skews the clip (it
// scales as any other then), or when the grid or the content is empty.
std::optional<NineSlice> sliceClip(const Bounds& grid, const Bounds& content, const Transform& own);

// What the command's matrix is for a sliced clip: the matrix that places the clip, with the
// clip's own scale taken out (the slices apply it).
Transform unscaledPlacement(const Transform& placed, const Transform& own);

} // namespace mc
