#include <gtest/gtest.h>

#include <map>
#include <string>

#include "PointerOrder.h"

namespace mc {
namespace {

// One object of a tree: its name, its holder's name ("" for a level root, whose depth is
// its level) and its depth there; shapes hold no clip, and removed objects stay listed.
struct Node {
    const char* name;
    const char* parent;
    std::int32_t depth;
    bool clip = true;
    bool removed = false;
};

std::string orderOf(const std::vector<Node>& nodes) {
    std::map<std::string, std::shared_ptr<DisplayObject>> made;
    std::map<std::int32_t, std::shared_ptr<DisplayObject>> levels;
    for (const Node& n : nodes) {
        auto o = std::make_shared<DisplayObject>();
        o->name = n.name;
        o->removed = n.removed;
        if (n.clip) {
            o->clip = std::make_shared<Clip>();
        }
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
    std::string out;
    for (const auto& o : clipsTopFirst(roots)) {
        out += (out.empty() ? "" : " ") + o->name;
    }
    return out;
}

TEST(PointerOrderTest, TopDepthFirstChildrenBeforeTheirClip) {
    struct Case {
        const char* what;
        std::vector<Node> tree;
        const char* order;
    } cases[] = {
        {"root alone", {{"root", "", 0}}, "root"},
        {"siblings by depth, whatever order they came in",
         {{"root", "", 0}, {"z", "root", 30}, {"a", "root", 10}, {"m", "root", 20}},
         "z m a root"},
        {"children before their clip, the clip before lower siblings",
         {{"root", "", 0},
          {"z", "root", 30},
          {"a", "root", 10},
          {"a1", "a", 5},
          {"a0", "a", 1},
          {"a1x", "a1", 2}},
         "z a1x a1 a0 a root"},
        {"negative depths after the others",
         {{"root", "", 0}, {"u", "root", -16380}, {"p", "root", 1}},
         "p u root"},
        {"shapes and removed clips left out, a removed clip's children too",
         {{"root", "", 0},
          {"s", "root", 5, false},
          {"gone", "root", 4, true, true},
          {"inside", "gone", 1},
          {"k", "root", 3}},
         "k root"},
        {"the highest level first",
         {{"root", "", 0}, {"r1", "root", 1}, {"l2", "", 2}, {"l2c", "l2", 1}, {"l1", "", 1}},
         "l2c l2 l1 r1 root"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(orderOf(c.tree), c.order) << c.what;
    }
}

} // namespace
} // namespace mc
