#pragma once
// The texts of the player's run-time errors by number, as Error.getErrorMessage gives them:
// "Error #NNNN: text" with the %1, %2... places left for the caller, or only "Error #NNNN"
// for a number the player has no text for.

#include <cstdint>
#include <string>
#include <string_view>

namespace avm2 {

// The template of error `id`, or an empty view when there is none.
std::string_view errorTemplate(std::int32_t id);
std::string errorMessage(std::int32_t id);

} // namespace avm2
