#pragma once
// What flash.display.Loader asks of the player: the file it loads made into content under
// the loader's node. A machine's host that can place loaded files offers this too; one that
// does not finishes every Loader load as a file of an unknown type.

#include "avm2/DisplayHost.h"
#include "pixels/BitmapPixels.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace avm2 {

// What a loaded file became.
struct LoadedContent {
    enum class Kind : std::uint8_t { Movie, OlderMovie, Picture };
    Kind kind = Kind::Movie;
    // A movie's root clip, placed under the loader (its script object not made yet).
    NodeId node = 0;
    // A picture's pixels, which become a Bitmap's data.
    std::optional<pixels::BitmapPixels> picture;
    double width = 0;
    double height = 0;
    double frameRate = 0;
    int swfVersion = 0;
    // What the file is, as LoaderInfo.contentType names it ("image/png"...).
    std::string contentType;
};

class LoaderHost {
  public:
    virtual ~LoaderHost() = default;
    // Makes `bytes` (a movie or a JPEG, PNG or GIF picture) the content of the Loader whose
    // node is `loader`; nullopt when the bytes are of no type a Loader shows, or the bounds
    // on loaded movies (their count, size, nesting) refuse them.
    virtual std::optional<LoadedContent>
    placeContent(NodeId loader, std::vector<std::uint8_t> bytes, const std::string& url) = 0;
    // The Loader let go of the content placed as `content` (unload, another load): what the
    // player ran for it stops.
    virtual void releaseContent(NodeId content) { (void)content; }
};

} // namespace avm2
