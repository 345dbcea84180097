#pragma once

// Picture movies for text as drawn from embedded fonts: static text of both tag versions
// over every font version, at small and large sizes and under placement; text fields with
// borders, backgrounds, alignment, margins, indents, leading and html runs in several fonts.

#include "moviemaker/SwfWriter.h"

#include <cstdint>
#include <functional>
#include <string>

namespace picturerules {

using MovieMaker = std::function<moviemaker::SwfWriter(std::uint8_t version)>;
using MovieCaseWriter = std::function<void(const std::string& name, moviemaker::SwfWriter&)>;

// Defines a font and two lines of static text in it, one opaque and one translucent, at the
// stage's top left; answers the text's id.
uint16_t defineSampleText(moviemaker::SwfWriter& m);

void textTables(const MovieMaker& newMovie, const MovieCaseWriter& add);

} // namespace picturerules
