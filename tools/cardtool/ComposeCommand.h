#pragma once

#include <string>
#include <vector>

namespace cardtool {

// cardtool compose: a movie (or straight a card) from photos, music and words; --styles lists
// the styles. Returns 0 when made, 1 when the input is refused, throws UsageError.
int composeCommand(const std::vector<std::string>& words);

} // namespace cardtool
