#include "FlashInput.h"

#include "Utf8Text.h"

namespace player {
bool matchesClassPattern(std::string_view className, std::string_view pattern) {
    std::size_t at = 0;
    for (const char p : pattern) {
        if (at >= className.size()) {
            return false;
        }
        if (p == '?') {
            at = endOfCharacter(className, at);
        } else if (className[at] == p) {
            ++at;
        } else {
            return false;
        }
    }
    return at == className.size();
}

bool isFlashWindowClass(std::string_view className) {
    for (const std::string_view pattern : FlashWindowClasses) {
        if (matchesClassPattern(className, pattern)) {
            return true;
        }
    }
    return false;
}

FlashReaction reactionTo(const FlashInput& input, const PlayerState& state, bool movieLoaded) {
    switch (input.message) {
    case FlashMessage::RightButtonDown:
        return FlashReaction::ShowMenu;
    case FlashMessage::ContextMenuRequest:
        return input.requestFromMouse ? FlashReaction::Swallow : FlashReaction::ShowMenu;
    case FlashMessage::LeftButtonDown:
        return state.FullScreenOn == FlagFalse ? FlashReaction::MoveWindowToo
                                               : FlashReaction::PassOn;
    case FlashMessage::VerticalWheel:
        if (!movieLoaded) {
            return FlashReaction::Swallow;
        }
        return input.wheelDelta < 0 ? FlashReaction::ZoomTowardsUser
                                    : FlashReaction::ZoomAwayFromUser;
    case FlashMessage::Other:
        break;
    }
    return FlashReaction::PassOn;
}

} // namespace player
