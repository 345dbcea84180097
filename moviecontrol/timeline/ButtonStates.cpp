// A button's up, over and down states as display lists of their own.
#include "SwfConversions.h"
#include "TimelinePlayer.h"

namespace mc {

void TimelinePlayer::setButtonState(DisplayObject& button, std::uint8_t state) {
    button.buttonState = state;
    const swf::Button* definition = catalogOf(button).button(button.characterId);
    if (definition == nullptr || !button.clip || button.removed) {
        return;
    }
    DisplayList& list = button.clip->displayList;
    // The record each depth shows in the new state; the first one wins where records share
    // a depth.
    std::map<std::int32_t, const swf::ButtonRecord*> wanted;
    for (const swf::ButtonRecord& r : definition->records) {
        if ((r.states & state) != 0) {
            wanted.try_emplace(depthOfTag(r.depth), &r);
        }
    }
    // A child the new state shows at the same depth stays as it is (a clip keeps playing);
    // the rest leave.
    std::vector<std::int32_t> leaving;
    for (const auto& [depth, child] : list) {
        const auto w = wanted.find(depth);
        if (w == wanted.end() || w->second->characterId != child->characterId) {
            leaving.push_back(depth);
        }
    }
    for (const std::int32_t depth : leaving) {
        removeAt(button, depth);
    }
    for (const auto& [depth, record] : wanted) {
        std::shared_ptr<DisplayObject> o;
        if (const auto kept = atDepth(list, depth); kept != list.end()) {
            o = kept->second;
        } else {
            o = makeObject();
            o->depth = depth;
            o->parent = &button;
            o->library = button.library;
            list.emplace(depth, o);
            if (!instantiate(button, o, record->characterId, false)) {
                unlist(list, *o);
                o->removed = true;
                o->parent = nullptr;
                continue;
            }
        }
        o->timelineMove(toTransform(record->matrix));
        o->colorTransform = toColorTransform(record->colorTransform);
        o->filters = record->filters;
        o->blendMode = record->blendMode;
    }
}

} // namespace mc
