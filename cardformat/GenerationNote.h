#pragma once

#include "CardNote.h"

#include <string_view>

namespace cardformat {

inline constexpr std::string_view CardAuthor = "Ferlo";
inline constexpr std::string_view CardTitle = "云杉小径";
inline constexpr std::string_view CardVersion = "1.0";

// The note every generated card carries: the fixed author, title and version, the blessing
// as written, and the viewing password or, when none was given, the no-password marker.
CardNote makeGenerationNote(std::string_view password, std::string_view blessing);

} // namespace cardformat
