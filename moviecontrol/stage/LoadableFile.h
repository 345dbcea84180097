#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "swf/Movie.h"
#include "swf/PictureSize.h"

namespace mc {

// A file a script loaded into a clip, as a movie the timeline can play: a movie file as it
// is, or a JPEG, PNG or GIF picture as a one-frame movie that shows it at its top-left corner.
struct LoadableFile {
    std::unique_ptr<swf::Movie> movie;
    // The picture's bytes, which the movie's bitmap points into (empty for a movie file).
    std::vector<std::uint8_t> ownedBytes;
};

// Nullopt for anything else (text, a damaged header). `version` is given to a picture's
// movie, as it plays with the scripts of the movie that loaded it.
std::optional<LoadableFile> readLoadableFile(std::vector<std::uint8_t> bytes, std::uint8_t version);

// What a file that is neither movie nor picture loads as: an empty one-frame movie, as Flash
// finishes such a load with the clip emptied rather than reporting an error.
LoadableFile emptyLoadableFile(std::size_t bytes, std::uint8_t version);

// A picture's size in pixels from its header (JPEG, PNG or GIF).
using swf::PictureSize;
using swf::pictureSize;

} // namespace mc
