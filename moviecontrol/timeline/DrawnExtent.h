#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "Bounds.h"
#include "Transform.h"

namespace mc {

class CharacterCatalog;
class TimelinePlayer;
struct DisplayObject;

// What a character that is not a container covers under `m`: a script's bitmap or a field by
// their state, others by what the dictionary states (none where it states nothing).
// Without `strokes`, a shape counts by its edges alone.
std::optional<Bounds> characterBounds(const CharacterCatalog& catalog, const DisplayObject& object,
                                      const Transform& m, std::uint16_t ratio, bool strokes = true);

// Where the drawing of `object` can land under `m`, following what the frame's commands draw,
// so that the picture a group is composed in need be no larger; none when some part's reach
// is not known before painting. Each object visited uses up one of `budget`.
std::optional<Bounds> drawnExtent(const TimelinePlayer& player, const DisplayObject& object,
                                  const Transform& m, std::size_t& budget);

} // namespace mc
