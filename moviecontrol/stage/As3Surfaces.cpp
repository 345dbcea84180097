// What ActionScript 3 display objects show through: a mask another object gives them, a
// scroll window over their content, an opaque background behind it; and the nine-slice grid
// their drawing scales by. The timeline draws them as it draws those ActionScript 1/2 sets.
#include "As3DisplayTree.h"
#include "ScrollWindowRules.h"

#include <algorithm>
#include <cmath>

namespace mc {

void As3DisplayTree::setMask(avm2::NodeId node, avm2::NodeId mask) {
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return;
    }
    DisplayObject* m = mask != 0 ? find(mask) : nullptr;
    if (mask != 0 && (m == nullptr || m == o)) {
        return;
    }
    player_.edits().setMask(*o, m);
}

std::optional<std::array<double, 4>> As3DisplayTree::scrollRectOf(avm2::NodeId node) {
    DisplayObject* o = find(node);
    if (o == nullptr || !o->scrollRect) {
        return std::nullopt;
    }
    const ScrollWindow& w = *o->scrollRect;
    return std::array<double, 4>{w.x, w.y, w.width, w.height};
}

void As3DisplayTree::setScrollRect(avm2::NodeId node,
                                   const std::optional<std::array<double, 4>>& window) {
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return;
    }
    if (!window ||
        !std::all_of(window->begin(), window->end(), [](double v) { return std::isfinite(v); })) {
        o->scrollRect.reset();
        return;
    }
    o->scrollRect = scriptWindowAs3((*window)[0], (*window)[1], (*window)[2], (*window)[3]);
}

std::optional<std::array<double, 4>> As3DisplayTree::scalingGridOf(avm2::NodeId node) {
    DisplayObject* o = find(node);
    if (o == nullptr || !o->scalingGrid) {
        return std::nullopt;
    }
    const Bounds& g = *o->scalingGrid;
    return std::array<double, 4>{g.xMin / 20.0, g.yMin / 20.0, (g.xMax - g.xMin) / 20.0,
                                 (g.yMax - g.yMin) / 20.0};
}

void As3DisplayTree::setScalingGrid(avm2::NodeId node,
                                    const std::optional<std::array<double, 4>>& grid) {
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return;
    }
    if (!grid ||
        !std::all_of(grid->begin(), grid->end(), [](double v) { return std::isfinite(v); })) {
        o->scalingGrid.reset();
        return;
    }
    const auto [x, y, width, height] = *grid;
    o->scalingGrid = Bounds{x * 20.0, y * 20.0, (x + width) * 20.0, (y + height) * 20.0, true};
}

std::optional<std::uint32_t> As3DisplayTree::opaqueBackgroundOf(avm2::NodeId node) {
    DisplayObject* o = find(node);
    if (o == nullptr || !o->opaqueBackground) {
        return std::nullopt;
    }
    const Rgba& c = *o->opaqueBackground;
    return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

void As3DisplayTree::setOpaqueBackground(avm2::NodeId node, std::optional<std::uint32_t> color) {
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return;
    }
    if (!color) {
        o->opaqueBackground.reset();
        return;
    }
    o->opaqueBackground =
        Rgba{static_cast<std::uint8_t>(*color >> 16), static_cast<std::uint8_t>(*color >> 8),
             static_cast<std::uint8_t>(*color), 255};
}

} // namespace mc
