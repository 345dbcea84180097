// DisplayObjectContainer.getObjectsUnderPoint on the display tree: every object inside a
// container whose own content lies under a stage point, in the order they are painted.
#include "As3DisplayTree.h"
#include "Drawing.h"
#include "HitTest.h"

#include <cmath>

namespace mc {

namespace {

// Containers nested deeper than this are not searched.
constexpr int kMaxNesting = 256;

struct UnderPoint {
    const TimelinePlayer& player;
    const HitTester& hit;
    double x;
    double y;
    std::vector<avm2::NodeId>& out;

    // A container counts by what it draws itself, its children each by their own.
    void walk(const DisplayObject& parent, int nesting) {
        if (!parent.clip || nesting > kMaxNesting) {
            return;
        }
        for (const auto& entry : parent.clip->displayList) {
            const DisplayObject& child = *entry.second;
            if (!child.visible || child.isMask) {
                continue;
            }
            if (!child.clip) {
                if (hit.hits(child, x, y)) {
                    out.push_back(child.serial);
                }
                continue;
            }
            if (child.drawing && hit.hits(child, x, y)) {
                const Transform toLocal = inverse(player.geometry().globalMatrix(child));
                if (hit.drawingHits(*child.drawing, toLocal.mapX(x, y), toLocal.mapY(x, y))) {
                    out.push_back(child.serial);
                }
            }
            walk(child, nesting + 1);
        }
    }
};

} // namespace

std::vector<avm2::NodeId> As3DisplayTree::objectsUnderPoint(avm2::NodeId node, double x, double y) {
    std::vector<avm2::NodeId> out;
    const DisplayObject* o = node == kStageNode ? find(rootNode()) : find(node);
    if (o == nullptr || hit_ == nullptr || !std::isfinite(x) || !std::isfinite(y)) {
        return out;
    }
    UnderPoint under{player_, *hit_, x * 20.0, y * 20.0, out};
    if (node == kStageNode && o->drawing && hit_->hits(*o, x * 20.0, y * 20.0)) {
        out.push_back(o->serial);
    }
    under.walk(*o, 0);
    return out;
}

} // namespace mc
