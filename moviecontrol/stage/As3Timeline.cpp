// The timeline facts ActionScript 3 reads beside the playhead: the frame count the header
// claims, the scenes DefineSceneAndFrameLabelData names and the frame labels of both the
// FrameLabel tags and that tag.
#include "As3DisplayTree.h"

#include <algorithm>

namespace mc {

namespace {

const swf::Timeline* timelineOf(const DisplayObject* o) {
    return o != nullptr && o->clip && o->kind != CharacterKind::Button ? o->clip->timeline
                                                                       : nullptr;
}

std::uint32_t declaredCount(const swf::Timeline& timeline) {
    // A header that claims no frames still shows the ones present.
    return timeline.declaredFrameCount > 0
               ? timeline.declaredFrameCount
               : std::max<std::uint32_t>(static_cast<std::uint32_t>(timeline.frames.size()), 1);
}

} // namespace

std::uint32_t As3DisplayTree::declaredFrameCount(avm2::NodeId node) {
    const swf::Timeline* timeline = timelineOf(find(node));
    return timeline != nullptr ? declaredCount(*timeline) : frameCount(node);
}

std::vector<avm2::SceneRange> As3DisplayTree::scenes(avm2::NodeId node) {
    const swf::Timeline* timeline = timelineOf(find(node));
    if (timeline == nullptr || timeline->scenes.empty()) {
        return {};
    }
    std::vector<avm2::SceneRange> out;
    out.reserve(timeline->scenes.size());
    for (const swf::Scene& scene : timeline->scenes) {
        out.push_back({scene.name, scene.firstFrame, 0});
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // Each scene runs to the next one's start, the last to the end of the clip.
    const std::uint32_t total = declaredCount(*timeline);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint32_t end = i + 1 < out.size() ? out[i + 1].first : total;
        out[i].length = end > out[i].first ? end - out[i].first : 0;
    }
    return out;
}

std::vector<avm2::FrameLabelAt> As3DisplayTree::frameLabels(avm2::NodeId node) {
    const swf::Timeline* timeline = timelineOf(find(node));
    if (timeline == nullptr) {
        return {};
    }
    std::vector<avm2::FrameLabelAt> out;
    const auto& frames = timeline->frames;
    for (std::uint32_t f = 0; f < frames.size(); ++f) {
        for (const swf::ControlTag& tag : frames[f].tags) {
            if (const auto* label = std::get_if<swf::FrameLabel>(&tag)) {
                out.push_back({f, label->label});
            }
        }
    }
    // The scene tag repeats what FrameLabel tags say in movies made by the authoring tool.
    for (const swf::SceneFrameLabel& label : timeline->sceneLabels) {
        const bool known = std::any_of(out.begin(), out.end(), [&](const avm2::FrameLabelAt& l) {
            return l.frame == label.frame && l.name == label.label;
        });
        if (!known) {
            out.push_back({label.frame, label.label});
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const auto& a, const auto& b) { return a.frame < b.frame; });
    return out;
}

// Labels compare with case, as ActionScript 3 compares them; the first in frame order wins.
std::int64_t As3DisplayTree::frameOfLabel(avm2::NodeId node, const std::string& label) {
    for (const avm2::FrameLabelAt& l : frameLabels(node)) {
        if (l.name == label) {
            return l.frame;
        }
    }
    return -1;
}

std::string As3DisplayTree::currentLabel(avm2::NodeId node) {
    const std::uint32_t frame = currentFrame(node);
    std::string best;
    for (const avm2::FrameLabelAt& l : frameLabels(node)) {
        if (l.frame > frame) {
            break;
        }
        best = l.name;
    }
    return best;
}

} // namespace mc
