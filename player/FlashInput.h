#pragma once

#include "PlayerState.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace player {

// Class names of the window that carries the movie: the Flash control's two, and the
// project's own playback surface, which stands in for it.
inline constexpr std::array<std::string_view, 3> FlashWindowClasses = {
    "MacromediaFlashPlayerActiveX", "ATL:????????", "mc::MovieWidget"};

// Case-sensitive match of a whole class name; "?" in the pattern stands for exactly one
// character of any kind.
bool matchesClassPattern(std::string_view className, std::string_view pattern);
bool isFlashWindowClass(std::string_view className);

// The input over the movie that the player takes over; everything else is Other.
enum class FlashMessage {
    RightButtonDown,
    ContextMenuRequest,
    LeftButtonDown,
    VerticalWheel,
    Other,
};

enum class FlashReaction {
    ShowMenu,         // the player's popup menu; the control never sees the message
    MoveWindowToo,    // the window follows the mouse; the press also reaches the control
    ZoomTowardsUser,  // grow the window; the control never sees the message
    ZoomAwayFromUser, // shrink it
    Swallow,          // neither the player nor the control does anything
    PassOn,           // to the control unchanged
};

struct FlashInput {
    FlashMessage message = FlashMessage::Other;
    // Wheel: the vertical delta; negative when the wheel turned towards the user.
    std::int32_t wheelDelta = 0;
    // Context menu request: raised by the mouse's right button, which has already opened
    // the menu on its press; only a keyboard request opens it again.
    bool requestFromMouse = false;
};

FlashReaction reactionTo(const FlashInput& input, const PlayerState& state, bool movieLoaded);

} // namespace player
