#include "PlayerKeys.h"

namespace player {

KeyCommand keyCommandOf(const PlayerKey& key, bool fullScreen) {
    if (key.otherModifiers) {
        return KeyCommand::None;
    }
    if (!key.control) {
        switch (key.name) {
        case PlayerKeyName::Escape:
            return fullScreen ? KeyCommand::LeaveFullScreen : KeyCommand::None;
        case PlayerKeyName::F11:
            return KeyCommand::ToggleFullScreen;
        default:
            return KeyCommand::None;
        }
    }
    switch (key.name) {
    case PlayerKeyName::P:
        return KeyCommand::TogglePlay;
    case PlayerKeyName::M:
        return KeyCommand::ToggleMute;
    case PlayerKeyName::Left:
        return KeyCommand::PreviousFrame;
    case PlayerKeyName::Right:
        return KeyCommand::NextFrame;
    case PlayerKeyName::Q:
    case PlayerKeyName::W:
        return KeyCommand::End;
    default:
        return KeyCommand::None;
    }
}

} // namespace player
