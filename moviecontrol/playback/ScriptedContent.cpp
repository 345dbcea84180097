#include "ScriptedContent.h"

#include <variant>

#include "swf/Movie.h"

namespace mc {

namespace {

bool hasActions(const swf::Timeline& timeline) {
    for (const swf::Frame& frame : timeline.frames) {
        for (const swf::ControlTag& tag : frame.tags) {
            if (std::holds_alternative<swf::DoAction>(tag) ||
                std::holds_alternative<swf::DoInitAction>(tag)) {
                return true;
            }
            if (const auto* place = std::get_if<swf::PlaceObject>(&tag);
                place != nullptr && !place->clipActions.empty()) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

bool carriesActionScript1(const swf::Movie& movie) {
    if (movie.actionScript3) {
        return false;
    }
    // What a movie imports may bring scripts of its own.
    if (hasActions(movie.root) || movie.unreadSprites.scripts || !movie.imports.empty()) {
        return true;
    }
    for (const auto& [id, definition] : movie.dictionary) {
        if (const auto* sprite = std::get_if<swf::Sprite>(&definition);
            sprite != nullptr && hasActions(sprite->timeline)) {
            return true;
        }
        if (const auto* button = std::get_if<swf::Button>(&definition);
            button != nullptr && !button->actions.empty()) {
            return true;
        }
    }
    return false;
}

} // namespace mc
