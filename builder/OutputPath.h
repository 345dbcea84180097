#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace builder {

// The card path proposed for a movie: everything before the last lower-case "swf", then
// "exe" ("D:\swf\a.spl" gives "D:\exe", as users of the old builder know it). Nothing when
// the path holds no lower-case "swf"; the caller then leaves the output path alone.
std::optional<std::string> deriveOutputPath(std::string_view sourcePath);

} // namespace builder
