#pragma once
// The static text of a clip as TextSnapshot reads it: every character with the place, size,
// font and colour it is drawn with.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "DisplayObject.h"
#include "Transform.h"
#include "swf/Movie.h"

namespace mc {

struct SnapshotCharacter {
    char16_t code = u'?';
    // Which line of the snapshot it is on: each text starts one, and within a text a record
    // moved up or down does.
    std::size_t line = 0;
    // From the text's own space into the clip's: where the text is placed, then the text's
    // matrix.
    Transform matrix;
    // The pen position on the baseline, the advance and the text height, in text twips.
    double x = 0;
    double y = 0;
    double advance = 0;
    double height = 0;
    // How far the font reaches above and below the baseline, in text twips; none when the
    // font carries no metrics.
    std::optional<double> ascent;
    std::optional<double> descent;
    // The font, owned by the movie; none when the text names no font it has.
    const swf::Font* font = nullptr;
    // Alpha in the top byte, then red, green and blue.
    std::uint32_t argb = 0xFF000000u;
};

// The characters of the static texts `clip` holds directly, in depth order, at most `limit`.
std::vector<SnapshotCharacter> snapshotCharacters(const swf::Movie& movie,
                                                  const DisplayObject& clip, std::size_t limit);

// The character at (x, y), a point in the clip's twips: one whose box holds the point, else
// the one whose centre is nearest within `reach` twips (the first of equals). Characters of
// fonts without metrics have no box and are never found.
std::optional<std::size_t> characterNear(const std::vector<SnapshotCharacter>& characters, double x,
                                         double y, double reach);

} // namespace mc
