#pragma once

#include <string>
#include <string_view>

namespace mc {

// getURL opens only web and mail addresses; javascript:, file: and every other scheme are
// refused, so a movie cannot run code or reach local files through the browser.
bool isOpenableUrl(std::string_view url);

// loadMovie and loadVariables read only files beside the movie: a relative path without a
// scheme, without ".." and not rooted. Returns the path to read, or empty when refused. A
// query ("?a=b") is dropped.
std::string besideMoviePath(std::string_view url);

} // namespace mc
