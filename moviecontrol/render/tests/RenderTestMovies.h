#pragma once

#include "testsupport/SwfWriter.h"

namespace mc {

// An empty movie of w x h pixels on a white stage.
inline swftest::SwfWriter whiteStage(int w, int h) {
    swftest::MovieHeader header;
    header.frameSize = swftest::Rect::pixels(w, h);
    swftest::SwfWriter movie(header);
    movie.setBackgroundColor({255, 255, 255});
    return movie;
}

} // namespace mc
