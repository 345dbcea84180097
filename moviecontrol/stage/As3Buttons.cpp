// A SimpleButton's states as ActionScript 3 makes them: each record of the button's symbol
// becomes a display object of its own, placed in the button while it is constructed; what
// the timeline drew for the button gives way to the states the scripts hold.
#include "As3DisplayTree.h"
#include "SwfConversions.h"

#include <algorithm>

namespace mc {

const swf::Button* As3DisplayTree::buttonDefinition(avm2::NodeId button) {
    DisplayObject* o = find(button);
    if (o == nullptr) {
        return nullptr;
    }
    return o->kind == CharacterKind::Button ? player_.catalogOf(*o).button(o->characterId)
                                            : nullptr;
}

std::vector<std::uint8_t> As3DisplayTree::buttonRecords(avm2::NodeId button) {
    std::vector<std::uint8_t> states;
    if (const swf::Button* definition = buttonDefinition(button)) {
        for (const swf::ButtonRecord& r : definition->records) {
            states.push_back(r.states);
        }
    }
    return states;
}

avm2::NodeId As3DisplayTree::makeButtonPart(avm2::NodeId button, std::size_t index) {
    const swf::Button* definition = buttonDefinition(button);
    DisplayObject* o = find(button);
    if (definition == nullptr || o == nullptr || !o->clip || index >= definition->records.size()) {
        return 0;
    }
    const swf::ButtonRecord& r = definition->records[index];
    auto part = player_.edits().placeCharacter(*o, r.characterId, depthOfTag(r.depth));
    if (!part) {
        return 0;
    }
    part->timelineMove(toTransform(r.matrix));
    part->colorTransform = toColorTransform(r.colorTransform);
    part->filters = r.filters;
    part->blendMode = r.blendMode;
    return part->serial;
}

void As3DisplayTree::clearButton(avm2::NodeId button) {
    if (DisplayObject* o = find(button); o != nullptr && o->kind == CharacterKind::Button) {
        player_.edits().unloadClip(*o);
    }
}

} // namespace mc
