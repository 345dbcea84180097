#pragma once
// The SWF version of the movie being played, which some built-ins answer by: the reference
// player keeps old movies' behaviour where fixing a fault would change what they see.

#include "avm2/DisplayHost.h"
#include "avm2/Machine.h"

namespace avm2 {

// With no movie (a machine on its own), the newest behaviour.
inline constexpr int kNewestMovieVersion = 50;

inline int movieVersionOf(Machine& m) {
    DisplayHost* display = m.host().display();
    return display != nullptr ? display->movieVersion() : kNewestMovieVersion;
}

// Array.sort with a function: from this version the answer's sign is read as a Number,
// before it the answer is first cut to an integer.
inline constexpr int kExactSortAnswerVersion = 13;

// A value that is not XML given to appendChild and the other child-adding methods: from this
// version it is the text it converts to; before it, it is read as markup, as new XML would.
inline constexpr int kXmlChildAsTextVersion = 10;

} // namespace avm2
