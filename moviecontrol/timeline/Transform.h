#pragma once

namespace mc {

// An affine transform in the movie's convention: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
// a/d are the scales, b/c the rotate-skew terms; units are whatever the caller uses (twips
// inside the movie, device pixels once the stage transform is applied).
struct Transform {
    double a = 1.0;
    double b = 0.0;
    double c = 0.0;
    double d = 1.0;
    double tx = 0.0;
    double ty = 0.0;

    static Transform translation(double x, double y) { return {1.0, 0.0, 0.0, 1.0, x, y}; }
    static Transform scaling(double sx, double sy) { return {sx, 0.0, 0.0, sy, 0.0, 0.0}; }

    double mapX(double x, double y) const { return a * x + c * y + tx; }
    double mapY(double x, double y) const { return b * x + d * y + ty; }

    // Average length of the two axis vectors: how much a stroke width grows under this
    // transform.
    double averageScale() const;

    friend bool operator==(const Transform&, const Transform&) = default;
};

// parent * child: the child is applied first, then the parent (a child's matrix is given in
// its parent's coordinate space).
Transform operator*(const Transform& parent, const Transform& child);

// The transform that undoes `m`; a transform that cannot be undone (zero scale) gives one
// that maps everything to the origin of its translation.
Transform inverse(const Transform& m);

} // namespace mc
