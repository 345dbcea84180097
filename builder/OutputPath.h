#pragma once

#include <string>
#include <string_view>

namespace builder {

// The card path proposed for a movie: everything before the last lower-case "swf", then
// "exe" ("D:\swf\a.spl" gives "D:\exe", as users of the old builder know it). A path without
// a lower-case "swf" ("MOVIE.SWF") gets its file name's extension replaced by ".exe", or
// ".exe" added when the name has none.
std::string deriveOutputPath(std::string_view sourcePath);

} // namespace builder
