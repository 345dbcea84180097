#include <gtest/gtest.h>

#include <map>
#include <string>

#include "PointerOrder.h"

namespace mc {
namespace {

// name, holder ("" for a level root, whose depth is its level), depth; shapes hold no clip.
struct Node {
    const char* name;
    const char* parent;
    std::int32_t depth;
    bool clip = true;
    bool removed = false;
};

TEST(PointerOrderTest, HighestLevelAndTopDepthFirstChildrenBeforeTheirClip) {
    const std::vector<Node> tree = {{"root", "", 0},
                                    {"z", "root", 30},
                                    {"a", "root", 10},
                                    {"a1", "a", 5},
                                    {"a0", "a", 1},
                                    {"a1x", "a1", 2},
                                    {"u", "root", -16380},
                                    {"s", "root", 20, false},
                                    {"gone", "root", 4, true, true},
                                    {"inside", "gone", 1},
                                    {"l2", "", 2},
                                    {"l2c", "l2", 1}};
    std::map<std::string, std::shared_ptr<DisplayObject>> made;
    std::map<std::int32_t, std::shared_ptr<DisplayObject>> levels;
    for (const Node& n : tree) {
        auto o = std::make_shared<DisplayObject>();
        o->name = n.name;
        o->removed = n.removed;
        o->clip = n.clip ? std::make_shared<Clip>() : nullptr;
        made[n.name] = o;
        if (std::string(n.parent).empty()) {
            levels[n.depth] = o;
        } else {
            made.at(n.parent)->clip->displayList.emplace(n.depth, o);
        }
    }
    std::vector<std::shared_ptr<DisplayObject>> roots;
    for (const auto& level : levels) {
        roots.push_back(level.second);
    }
    std::string order;
    for (const auto& o : clipsTopFirst(roots)) {
        order += (order.empty() ? "" : " ") + o->name;
    }
    EXPECT_EQ(order, "l2c l2 z a1x a1 a0 a u root");
}

} // namespace
} // namespace mc
