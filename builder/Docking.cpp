#include "Docking.h"

#include <cstdlib>

namespace builder {

namespace {

// Distances in 64 bits: window coordinates are small, but nothing here may overflow.
std::int64_t distance(std::int32_t a, std::int32_t b) {
    return std::llabs(static_cast<std::int64_t>(a) - b);
}

// Overlap within the snap tolerance along the other axis.
bool overlapsVertically(const DockRect& r, const DockRect& p) {
    return r.top < static_cast<std::int64_t>(p.bottom) + SnapDistance &&
           static_cast<std::int64_t>(p.top) - SnapDistance < r.bottom;
}

bool overlapsHorizontally(const DockRect& r, const DockRect& p) {
    return r.left < static_cast<std::int64_t>(p.right) + SnapDistance &&
           static_cast<std::int64_t>(p.left) - SnapDistance < r.right;
}

// The window system hands sizes and edge positions over in 16 bits.
std::int32_t as16(std::int32_t value) {
    return static_cast<std::int16_t>(value);
}

} // namespace

Docking::Docking(DockPlatform& platform) : platform_(platform) {}

void Docking::AttachDockWindow(WindowHandle window, bool isMain) {
    dockList_.reserveAhead();
    if (dockList_.contains(window)) {
        return;
    }
    if (!dockList_.append(window)) {
        return;
    }
    platform_.installDockFilter(window);
    if (isMain) {
        mainDockWindow_ = window;
    }
}

bool Docking::DockWindowProc(WindowHandle window, DockMessage message, int edge, DockRect& rect) {
    if (!dockList_.contains(window)) {
        return false;
    }
    switch (message) {
    case DockMessage::EnterSizeMove: {
        const auto current = platform_.windowRect(window);
        if (!current) {
            return false;
        }
        const DockPoint cursor = platform_.cursorPos();
        cursorOffsetX_ = cursor.x - current->left;
        cursorOffsetY_ = cursor.y - current->top;
        CollectSnapTargets(window);
        return false; // the window's own handling starts the drag
    }
    case DockMessage::Moving:
    case DockMessage::Sizing: {
        const auto before = platform_.windowRect(window);
        if (!before) {
            return false;
        }
        DockRect adjusted = rect;
        if (message == DockMessage::Moving) {
            SnapRect(window, SnapMode::Move, adjusted, edge, cursorOffsetX_, cursorOffsetY_);
        } else {
            std::int32_t scratchX = 0;
            std::int32_t scratchY = 0;
            SnapRect(window, SnapMode::Resize, adjusted, edge, scratchX, scratchY);
        }
        rect = adjusted;
        if (window == mainDockWindow_) {
            moveDockedCompanions(*before, adjusted);
        }
        return true;
    }
    }
    return false;
}

void Docking::CollectSnapTargets(WindowHandle window) {
    snapTargets_.assign(1, platform_.workArea());
    for (const LoadedWindow& loaded : platform_.loadedWindows()) {
        if (loaded.visible && loaded.window != window) {
            snapTargets_.push_back(loaded.rect);
        }
    }
}

void Docking::SnapRect(WindowHandle, SnapMode mode, DockRect& rect, int edge, std::int32_t& offsetX,
                       std::int32_t& offsetY) {
    if (mode == SnapMode::Move) {
        snapMove(rect, offsetX, offsetY);
    } else {
        snapResize(rect, edge);
    }
}

void Docking::snapMove(DockRect& rect, std::int32_t& offsetX, std::int32_t& offsetY) {
    const DockPoint cursor = platform_.cursorPos();
    DockRect p = rect;
    // A window that snapped stays where the cursor had it when it last moved freely, so the
    // snap holds until the cursor has gone the snap distance; a free window keeps the offset.
    if (snappedX_) {
        p.offset(cursor.x - offsetX - p.left, 0);
    } else {
        offsetX = cursor.x - p.left;
    }
    if (snappedY_) {
        p.offset(0, cursor.y - offsetY - p.top);
    } else {
        offsetY = cursor.y - p.top;
    }

    DockRect result = p;
    const std::int32_t w = as16(p.width());
    const std::int32_t h = as16(p.height());
    std::int64_t bestX = SnapDistance;
    std::int64_t bestY = SnapDistance;
    bool snappedX = false;
    bool snappedY = false;
    auto snapLeft = [&](std::int32_t left, std::int64_t d) {
        result.left = left;
        result.right = left + w;
        bestX = d;
        snappedX = true;
    };
    auto snapRight = [&](std::int32_t right, std::int64_t d) {
        result.right = right;
        result.left = right - w;
        bestX = d;
        snappedX = true;
    };
    auto snapTop = [&](std::int32_t top, std::int64_t d) {
        result.top = top;
        result.bottom = top + h;
        bestY = d;
        snappedY = true;
    };
    auto snapBottom = [&](std::int32_t bottom, std::int64_t d) {
        result.bottom = bottom;
        result.top = bottom - h;
        bestY = d;
        snappedY = true;
    };

    for (std::size_t i = 0; i < snapTargets_.size(); ++i) {
        const DockRect& r = snapTargets_[i];
        // The work area offers only its inside edges, so a window never snaps off screen.
        const bool window = i >= 1;
        if (overlapsVertically(r, p)) {
            if (const auto d = distance(p.left, r.left); d < bestX) {
                snapLeft(r.left, d);
            } else if (const auto d2 = distance(p.left, r.right); window && d2 < bestX) {
                snapLeft(r.right, d2);
            } else if (const auto d3 = distance(p.right, r.left); window && d3 < bestX) {
                snapRight(r.left, d3);
            } else if (const auto d4 = distance(p.right, r.right); d4 < bestX) {
                snapRight(r.right, d4);
            }
        }
        if (overlapsHorizontally(r, p)) {
            if (const auto d = distance(p.top, r.top); d < bestY) {
                snapTop(r.top, d);
            } else if (const auto d2 = distance(p.top, r.bottom); window && d2 < bestY) {
                snapTop(r.bottom, d2);
            } else if (const auto d3 = distance(p.bottom, r.top); window && d3 < bestY) {
                snapBottom(r.top, d3);
            } else if (const auto d4 = distance(p.bottom, r.bottom); d4 < bestY) {
                snapBottom(r.bottom, d4);
            }
        }
    }
    snappedX_ = snappedX;
    snappedY_ = snappedY;
    rect = result;
}

void Docking::snapResize(DockRect& rect, int edge) const {
    const DockRect p = rect;
    const bool leftEdge = edge == sizing_edge::Left || edge == sizing_edge::TopLeft ||
                          edge == sizing_edge::BottomLeft;
    const bool topEdge =
        edge == sizing_edge::Top || edge == sizing_edge::TopLeft || edge == sizing_edge::TopRight;
    const std::int32_t x0 = as16(leftEdge ? p.left : p.right);
    const std::int32_t y0 = as16(topEdge ? p.top : p.bottom);
    std::int64_t bestX = SnapDistance;
    std::int64_t bestY = SnapDistance;
    std::int32_t x = x0;
    std::int32_t y = y0;
    for (const DockRect& r : snapTargets_) {
        if (overlapsVertically(r, p)) {
            if (const auto d = distance(x0, r.left); d < bestX) {
                x = r.left;
                bestX = d;
            } else if (const auto d2 = distance(x0, r.right); d2 < bestX) {
                x = r.right;
                bestX = d2;
            }
        }
        if (overlapsHorizontally(r, p)) {
            if (const auto d = distance(y0, r.top); d < bestY) {
                y = r.top;
                bestY = d;
            } else if (const auto d2 = distance(y0, r.bottom); d2 < bestY) {
                y = r.bottom;
                bestY = d2;
            }
        }
    }
    (leftEdge ? rect.left : rect.right) = x;
    (topEdge ? rect.top : rect.bottom) = y;
}

void Docking::moveDockedCompanions(const DockRect& before, const DockRect& after) {
    for (std::int16_t i = 0; i < dockList_.count(); ++i) {
        const WindowHandle companion = dockList_[i].window;
        if (companion == mainDockWindow_) {
            continue;
        }
        const auto o = platform_.windowRect(companion);
        if (!o) {
            continue;
        }
        // Touching along one edge is enough; the other axis is not compared.
        const bool docked = o->bottom == before.top || o->top == before.bottom ||
                            o->right == before.left || o->left == before.right;
        if (!docked) {
            continue;
        }
        DockRect moved = *o;
        moved.offset(after.left - before.left, after.top - before.top);
        platform_.moveWindow(companion, moved);
    }
}

} // namespace builder
