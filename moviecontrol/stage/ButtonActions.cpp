#include "ButtonActions.h"

namespace mc {

void queueButtonActions(TimelinePlayer& player, DisplayObject& button, std::uint16_t condition) {
    const swf::Button* definition = player.catalogOf(button).button(button.characterId);
    if (definition == nullptr || condition == 0) {
        return;
    }
    // A button's actions run in the timeline it sits on.
    DisplayObject* timeline = button.parent != nullptr ? button.parent : &player.rootObject();
    for (const swf::ButtonAction& action : definition->actions) {
        const std::uint16_t when = definition->version < 2 ? 0x0008 : action.conditions;
        if ((when & condition) != 0) {
            player.events().queueActions(*timeline, action.actions);
        }
    }
}

} // namespace mc
