#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "CharacterCatalog.h"
#include "RecordingBackend.h"
#include "TimelinePlayer.h"

namespace mc::testing {

// A dictionary made of kinds and sprite timelines, for timeline tests without a movie file.
class FakeCatalog : public CharacterCatalog {
  public:
    std::map<std::uint16_t, CharacterKind> kinds;
    std::map<std::uint16_t, swf::Timeline> sprites;
    std::map<std::uint16_t, swf::Rect> rects;

    CharacterKind kind(std::uint16_t id) const override {
        auto it = kinds.find(id);
        return it == kinds.end() ? CharacterKind::None : it->second;
    }
    const swf::Timeline* spriteTimeline(std::uint16_t id) const override {
        auto it = sprites.find(id);
        return it == sprites.end() ? nullptr : &it->second;
    }
    const swf::Button* button(std::uint16_t) const override { return nullptr; }
    std::optional<swf::Rect> bounds(std::uint16_t id, std::uint16_t) const override {
        auto it = rects.find(id);
        return it == rects.end() ? std::nullopt : std::optional<swf::Rect>(it->second);
    }
};

inline swf::PlaceObject place(std::uint16_t depth, std::uint16_t id, double tx = 0) {
    swf::PlaceObject p;
    p.version = 2;
    p.depth = depth;
    p.characterId = id;
    p.matrix = swf::Matrix{1, 0, 0, 1, tx, 0};
    return p;
}

inline swf::PlaceObject moveTo(std::uint16_t depth, double tx) {
    swf::PlaceObject p;
    p.version = 2;
    p.move = true;
    p.depth = depth;
    p.matrix = swf::Matrix{1, 0, 0, 1, tx, 0};
    return p;
}

inline swf::RemoveObject remove(std::uint16_t depth) {
    swf::RemoveObject r;
    r.depth = depth;
    return r;
}

inline swf::FrameLabel label(const std::string& text) {
    swf::FrameLabel l;
    l.label = text;
    return l;
}

inline swf::Action action(std::uint8_t code) {
    swf::Action a;
    a.code = code;
    return a;
}

inline swf::DoAction actions(std::vector<swf::Action> list) {
    swf::DoAction d;
    d.actions.actions = std::move(list);
    return d;
}

// A timeline of `frames` frames; tags are added with at().
struct TimelineBuilder {
    swf::Timeline timeline;
    explicit TimelineBuilder(std::size_t frames) {
        timeline.frames.resize(frames);
        timeline.declaredFrameCount = static_cast<std::uint16_t>(frames);
    }
    // Built in place from the tag itself: moving a whole ControlTag made GCC 12 warn of
    // members it took for unset.
    template <typename Tag> TimelineBuilder& at(std::size_t frame, Tag&& tag) {
        timeline.frames.at(frame).tags.emplace_back(std::forward<Tag>(tag));
        return *this;
    }
};

// The x translation of each drawn command, in drawing order.
inline std::vector<double> drawnX(const TimelinePlayer& player) {
    RecordingBackend rec;
    player.render(rec);
    std::vector<double> xs;
    for (const auto& e : rec.entries()) {
        if (e.op == RecordingBackend::Op::Draw) {
            xs.push_back(e.draw.matrix.tx);
        }
    }
    return xs;
}

inline std::vector<std::uint16_t> drawnIds(const TimelinePlayer& player) {
    RecordingBackend rec;
    player.render(rec);
    return rec.drawnIds();
}

// The style of the first group a root timeline draws on its first frame.
inline GroupStyle firstGroup(const CharacterCatalog& catalog, const swf::Timeline& root) {
    TimelinePlayer player(catalog, root, {});
    RecordingBackend rec;
    player.render(rec);
    for (const auto& e : rec.entries()) {
        if (e.op == RecordingBackend::Op::BeginGroup) {
            return e.group;
        }
    }
    ADD_FAILURE() << "no group drawn";
    return {};
}

inline void expectBox(const Bounds& box, double xMin, double yMin, double xMax, double yMax) {
    ASSERT_FALSE(box.empty());
    EXPECT_DOUBLE_EQ(box.xMin, xMin);
    EXPECT_DOUBLE_EQ(box.yMin, yMin);
    EXPECT_DOUBLE_EQ(box.xMax, xMax);
    EXPECT_DOUBLE_EQ(box.yMax, yMax);
}

} // namespace mc::testing
