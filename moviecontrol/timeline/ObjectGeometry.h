#pragma once

#include <cstddef>

#include "Bounds.h"
#include "DisplayObject.h"
#include "Transform.h"

namespace mc {

class MovieLibrary;

// Where display objects stand and what their content covers, from the matrices in the tree
// and the bounds the dictionaries state. Holds no state of its own beyond the dictionaries
// it reads, so any room may ask without a timeline's other powers.
class ObjectGeometry {
  public:
    // `maxVisits` bounds the objects one question walks, whatever the tree holds.
    ObjectGeometry(const MovieLibrary& library, std::size_t maxVisits)
        : library_(library), maxVisits_(maxVisits) {}

    // Where an object is: its matrix to the stage, and the bounds of its content in the
    // space `toSpace` maps into (identity: its own space). The global matrix maps the
    // object's content, moved by its scroll window; the frame matrix the object itself,
    // where its window and bounds stand.
    Transform globalMatrix(const DisplayObject& object) const;
    Transform frameMatrix(const DisplayObject& object) const;
    Bounds boundsOf(const DisplayObject& object, const Transform& toSpace) const;
    // The bounds scripts read (getBounds, hitTest between clips): a morph shape counts with
    // its start shape whatever its ratio, as players report it.
    Bounds scriptBoundsOf(const DisplayObject& object, const Transform& toSpace) const;
    // The same without strokes (getRect): the edges alone, as shapes state them apart from
    // the lines' widths.
    Bounds scriptEdgesOf(const DisplayObject& object, const Transform& toSpace) const;

    // What the characters of `object` and everything inside it cover under `m`, from the
    // bounds their definitions state; each object visited uses up one of `budget`.
    // `strokes`: lines count with their widths.
    Bounds contentBounds(const DisplayObject& object, const Transform& m, std::size_t& budget,
                         bool startShapes = false, bool strokes = true) const;
    // `windowed`: a scroll window stands for the content behind it.
    Bounds ownBounds(const DisplayObject& object, const Transform& toSpace, bool startShapes,
                     bool windowed = true, bool strokes = true) const;

  private:
    const MovieLibrary& library_;
    std::size_t maxVisits_;
};

} // namespace mc
