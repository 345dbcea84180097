#pragma once

#include "DockList.h"
#include "DockPlatform.h"

#include <cstdint>
#include <vector>

namespace builder {

// The messages of a window move or resize that the docking takes part in.
enum class DockMessage : std::uint32_t {
    EnterSizeMove = 0x0231,
    Sizing = 0x0214,
    Moving = 0x0216,
};

enum class SnapMode { Move = 1, Resize = 2 };

// Which edge a resize drags, as the window system numbers them.
namespace sizing_edge {
inline constexpr int Left = 1;
inline constexpr int Right = 2;
inline constexpr int Top = 3;
inline constexpr int TopLeft = 4;
inline constexpr int TopRight = 5;
inline constexpr int Bottom = 6;
inline constexpr int BottomLeft = 7;
inline constexpr int BottomRight = 8;
} // namespace sizing_edge

// An edge closer than this to a target edge snaps to it (9 pixels snap, 10 do not); the same
// distance is the tolerance of the overlap tests.
inline constexpr std::int32_t SnapDistance = 10;

// Makes the builder's windows behave as a group: while one is dragged or resized its edges
// snap to the screen's work area and to the other visible windows, and while the main window
// moves, every companion touching it follows. One instance serves all windows of a process.
class Docking {
  public:
    explicit Docking(DockPlatform& platform);

    // Adds a window; attaching a window a second time changes nothing.
    void AttachDockWindow(WindowHandle window, bool isMain);

    // One message of a move or resize of an attached window. `rect` is the proposed rectangle
    // of a Moving or Sizing step and comes back adjusted; `edge` is the sizing edge code.
    // True when the docking handled the step (the window then moves to `rect`); false when
    // the window's own handling should go on as usual.
    bool DockWindowProc(WindowHandle window, DockMessage message, int edge, DockRect& rect);

    void CollectSnapTargets(WindowHandle window);
    // Adjusts one step's rectangle. A move uses and updates the cursor offsets; a resize
    // ignores them.
    void SnapRect(WindowHandle window, SnapMode mode, DockRect& rect, int edge,
                  std::int32_t& offsetX, std::int32_t& offsetY);

    const DockList& dockList() const { return dockList_; }
    WindowHandle mainDockWindow() const { return mainDockWindow_; }
    const std::vector<DockRect>& snapTargets() const { return snapTargets_; }
    std::int32_t cursorOffsetX() const { return cursorOffsetX_; }
    std::int32_t cursorOffsetY() const { return cursorOffsetY_; }
    bool snappedX() const { return snappedX_; }
    bool snappedY() const { return snappedY_; }

  private:
    void snapMove(DockRect& rect, std::int32_t& offsetX, std::int32_t& offsetY);
    void snapResize(DockRect& rect, int edge) const;
    void moveDockedCompanions(const DockRect& before, const DockRect& after);

    DockPlatform& platform_;
    DockList dockList_;
    WindowHandle mainDockWindow_ = 0;
    std::vector<DockRect> snapTargets_;
    std::int32_t cursorOffsetX_ = 0;
    std::int32_t cursorOffsetY_ = 0;
    bool snappedX_ = false;
    bool snappedY_ = false;
};

} // namespace builder
