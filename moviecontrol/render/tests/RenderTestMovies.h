#pragma once

#include "moviemaker/SwfWriter.h"

namespace mc {

// An empty movie of w x h pixels on a white stage.
inline moviemaker::SwfWriter whiteStage(int w, int h) {
    moviemaker::MovieHeader header;
    header.frameSize = moviemaker::Rect::pixels(w, h);
    moviemaker::SwfWriter movie(header);
    movie.setBackgroundColor({255, 255, 255});
    return movie;
}

} // namespace mc
