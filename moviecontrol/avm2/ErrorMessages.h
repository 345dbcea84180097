#pragma once
// The texts of the player's run-time errors by number, as Error.getErrorMessage gives them:
// "Error #NNNN: text" with the %1, %2... places left for the caller, or only "Error #NNNN"
// for a number the player has no text for.

#include <cstdint>
#include <string>
#include <string_view>

namespace avm2 {

// The player's own errors start here; the language core's lie below.
inline constexpr std::int32_t kFirstPlayerError = 2000;

// The template of error `id`, or an empty view when there is none.
std::string_view errorTemplate(std::int32_t id);
std::string errorMessage(std::int32_t id);
// The template of one of the player's own errors (kFirstPlayerError and up).
std::string_view playerErrorTemplate(std::int32_t id);

} // namespace avm2
