#pragma once

namespace swf {
class Movie;
}

namespace mc {

// Whether the movie carries ActionScript 1/2 anywhere: frames, sprites' frames, clip events,
// buttons. A movie marked as ActionScript 3 carries none: its players ignore such blocks.
bool carriesActionScript1(const swf::Movie& movie);

} // namespace mc
