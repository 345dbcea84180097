#pragma once

#include "TableMovie.h"

#include <cstdint>
#include <string_view>

namespace scriptrules {

// A clip table: a movie of several frames, written as the timeline's tags, one a line, to
// compare how clips live over time (events, frame scripts, depths, removal) with another
// player. It begins with `timeline`:
//
//   timeline
//   versions 6 7 8
//   shape B 20 10                a red box of 20 by 10 pixels
//   sprite S export S            a library clip, its own timeline up to `end`
//     script trace("S " + _currentframe);
//     show                       ends a frame (`show 3`: three frames)
//   end
//   init S trace("once");        the clip's #initclip actions, on the root
//   script var n = 1;            a frame script where it stands among the tags
//   place 1 S name a x 10 y 5    PlaceObject2 at depth 1 (`place3` for the third version)
//     on load trace("load");     an onClipEvent of the placement above (events by comma)
//   move 1 x 20                  moves what is at depth 1; `replace 1 B` swaps its character
//   remove 1                     RemoveObject2
//   label here                   a frame label
//   show
//   sound Beep 500               a quiet sound of 500 ms exported as Beep
//   file data.txt a=1&b=2        a file beside the movie, its text as written (\n: a new line)
//   movie child%V.swf            a movie beside this one, of the same version, written as a
//     script trace("child");     clip table of its own up to `endmovie` (no movie in it)
//   endmovie
//
// `%V` anywhere stands for the version, so that each version's movie loads its own files.
// Script lines that the version cannot hold are left out and listed. The root and every
// sprite end their last frame even without `show`. Throws ScriptError on a malformed table.
bool isClipTable(std::string_view text);
TableMovie buildClipMovie(std::string_view text, uint8_t version);

// The versions a clip table is made for.
std::vector<uint8_t> clipTableVersions(std::string_view text);

} // namespace scriptrules
