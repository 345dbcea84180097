#include "Docking.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace builder {
namespace {

// A screen of windows as a table; moves are applied to it and recorded.
class FakeDockPlatform : public DockPlatform {
  public:
    std::optional<DockRect> windowRect(WindowHandle window) const override {
        const auto it = rects.find(window);
        if (it == rects.end()) {
            return std::nullopt;
        }
        return it->second;
    }
    DockPoint cursorPos() const override { return cursor; }
    DockRect workArea() const override { return work; }
    std::vector<LoadedWindow> loadedWindows() const override {
        std::vector<LoadedWindow> loaded;
        for (WindowHandle w : order) {
            if (rects.count(w)) {
                loaded.push_back({w, !hidden.count(w), rects.at(w)});
            }
        }
        return loaded;
    }
    void moveWindow(WindowHandle window, const DockRect& rect) override {
        rects[window] = rect;
        moves.push_back({window, rect});
    }
    void installDockFilter(WindowHandle window) override { filtersInstalled.push_back(window); }

    void add(WindowHandle w, DockRect r) {
        rects[w] = r;
        order.push_back(w);
    }

    DockRect work{0, 0, 1000, 700};
    DockPoint cursor;
    std::map<WindowHandle, DockRect> rects;
    std::vector<WindowHandle> order;
    std::map<WindowHandle, bool> hidden;
    std::vector<std::pair<WindowHandle, DockRect>> moves;
    std::vector<WindowHandle> filtersInstalled;
};

DockRect sized(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
    return {left, top, left + width, top + height};
}

class DockingTest : public ::testing::Test {
  protected:
    // Starts a move of `window` with the cursor at `grip` inside it.
    void startMove(WindowHandle window, DockPoint at) {
        const DockRect r = platform.rects.at(window);
        platform.cursor = {r.left + at.x, r.top + at.y};
        start = r;
        startCursor = platform.cursor;
        grip = at;
        DockRect unused;
        EXPECT_FALSE(docking.DockWindowProc(window, DockMessage::EnterSizeMove, 0, unused));
    }
    // One move step with the cursor at `cursor`; the window moves to the result.
    DockRect moveTo(WindowHandle window, DockPoint cursor) {
        platform.cursor = cursor;
        DockRect proposed = start;
        proposed.offset(cursor.x - startCursor.x, cursor.y - startCursor.y);
        EXPECT_TRUE(docking.DockWindowProc(window, DockMessage::Moving, 0, proposed));
        platform.rects[window] = proposed;
        return proposed;
    }
    // One move step that proposes the window's left and top at the given place.
    DockRect moveWindowTo(WindowHandle window, std::int32_t left, std::int32_t top) {
        return moveTo(window, {left + grip.x, top + grip.y});
    }
    DockRect snapResize(WindowHandle window, DockRect proposed, int edge) {
        EXPECT_TRUE(docking.DockWindowProc(window, DockMessage::Sizing, edge, proposed));
        return proposed;
    }

    FakeDockPlatform platform;
    Docking docking{platform};
    DockRect start;
    DockPoint startCursor;
    DockPoint grip;
};

TEST_F(DockingTest, AttachingKeepsOneEntryAndOneFilterPerWindow) {
    platform.add(1, sized(100, 100, 200, 100));
    platform.add(2, sized(300, 100, 100, 100));
    EXPECT_EQ(docking.dockList().upperBound(), -1);
    docking.AttachDockWindow(1, true);
    EXPECT_EQ(docking.dockList().upperBound(), 10);
    docking.AttachDockWindow(1, false);
    docking.AttachDockWindow(2, true); // a second main role is taken: the last one wins
    docking.AttachDockWindow(2, false);
    ASSERT_EQ(docking.dockList().count(), 2);
    EXPECT_EQ(docking.dockList()[0].window, 1u);
    EXPECT_EQ(docking.dockList()[1].window, 2u);
    EXPECT_EQ(platform.filtersInstalled, (std::vector<WindowHandle>{1, 2}));
    EXPECT_EQ(docking.mainDockWindow(), 2u);
}

TEST_F(DockingTest, AttachingTheMainWindowTwiceIgnoresTheSecondRole) {
    platform.add(1, sized(100, 100, 200, 100));
    platform.add(2, sized(300, 100, 100, 100));
    docking.AttachDockWindow(1, true);
    docking.AttachDockWindow(2, false);
    docking.AttachDockWindow(2, true);
    EXPECT_EQ(docking.mainDockWindow(), 1u);
}

TEST_F(DockingTest, DockListKeepsTenSpareEntries) {
    for (WindowHandle w = 1; w <= 25; ++w) {
        docking.AttachDockWindow(w, false);
        // Grown before the entry went in: count - 1 + 10.
        EXPECT_EQ(docking.dockList().upperBound(), docking.dockList().count() + 9);
    }
    EXPECT_EQ(docking.dockList().count(), 25);
    EXPECT_EQ(docking.dockList()[24].window, 25u);
}

TEST_F(DockingTest, UnattachedWindowsAreNotHandled) {
    platform.add(1, sized(100, 100, 200, 100));
    DockRect r = sized(105, 100, 200, 100);
    EXPECT_FALSE(docking.DockWindowProc(1, DockMessage::Moving, 0, r));
    EXPECT_EQ(r, sized(105, 100, 200, 100));
}

TEST_F(DockingTest, SnapTargetsAreTheWorkAreaThenOtherVisibleWindows) {
    platform.add(1, sized(100, 100, 200, 100));
    platform.add(2, sized(300, 100, 100, 100));
    platform.add(3, sized(500, 100, 100, 100));
    platform.add(4, sized(700, 100, 100, 100));
    platform.hidden[3] = true;
    docking.CollectSnapTargets(2);
    EXPECT_EQ(docking.snapTargets(),
              (std::vector<DockRect>{platform.work, platform.rects[1], platform.rects[4]}));
}

TEST_F(DockingTest, EnterSizeMoveRecordsTheCursorOffset) {
    platform.add(1, sized(100, 120, 200, 100));
    docking.AttachDockWindow(1, true);
    startMove(1, {30, 12});
    EXPECT_EQ(docking.cursorOffsetX(), 30);
    EXPECT_EQ(docking.cursorOffsetY(), 12);
    EXPECT_EQ(docking.snapTargets().size(), 1u);
}

// With the work area as the only target, the window's left edge proposed at `left`: nine
// pixels from the edge snap, from inside or outside, ten do not.
TEST_F(DockingTest, WorkAreaEdgeSnapsWithinNinePixels) {
    const struct {
        std::int32_t left;
        std::int32_t snappedTo;
    } cases[] = {{9, 0}, {10, 10}, {-9, 0}, {-10, -10}};
    platform.add(1, sized(300, 300, 200, 100));
    docking.AttachDockWindow(1, true);
    for (const auto& c : cases) {
        startMove(1, {50, 10});
        EXPECT_EQ(moveTo(1, {c.left + 50, 310}), sized(c.snappedTo, 300, 200, 100)) << c.left;
        EXPECT_EQ(docking.snappedX(), c.snappedTo != c.left) << c.left;
    }
}

TEST_F(DockingTest, MovedWindowNeverSnapsOutsideTheWorkArea) {
    platform.add(1, sized(300, 300, 200, 100));
    docking.AttachDockWindow(1, true);
    startMove(1, {0, 0});
    // Left edge 5 pixels from the work area's right edge: no snap to its outside.
    EXPECT_EQ(moveTo(1, {995, 300}), sized(995, 300, 200, 100));
    // Right edge 4 pixels inside: snaps flush to it.
    EXPECT_EQ(moveTo(1, {796, 300}), sized(800, 300, 200, 100));
    // Top edge 3 pixels below the bottom: no snap either.
    startMove(1, {0, 0});
    EXPECT_EQ(moveTo(1, {300, 703}), sized(300, 703, 200, 100));
}

// Window 1's right edge is at 200, window 2's left edge at 400; the moved window 3 lies
// between them, level with both, and far from the work area's edges.
class TwoTargetTest : public DockingTest {
  protected:
    void SetUp() override {
        platform.add(firstTarget, sized(100, 100, 100, 100));
        platform.add(secondTarget, sized(400, 100, 100, 100));
    }
    void addMoved(std::int32_t width) {
        platform.add(3, sized(250, 120, width, 60));
        docking.AttachDockWindow(3, false);
        startMove(3, {10, 10});
    }
    WindowHandle firstTarget = 1;
    WindowHandle secondTarget = 2;
};

// Left edge 6 from window 1 and right edge 3 from window 2: the nearer wins. At equal
// distances the target listed first wins, whichever of the two that is.
TEST_F(TwoTargetTest, NearestTargetWinsAndATieGoesToTheEarlierOne) {
    addMoved(191);
    EXPECT_EQ(moveWindowTo(3, 206, 120), sized(209, 120, 191, 60));
    platform.rects[3] = sized(250, 120, 190, 60);
    startMove(3, {10, 10});
    EXPECT_EQ(moveWindowTo(3, 205, 120), sized(200, 120, 190, 60));
    std::swap(platform.order[0], platform.order[1]);
    startMove(3, {10, 10});
    EXPECT_EQ(moveWindowTo(3, 205, 120), sized(210, 120, 190, 60));
}

TEST_F(DockingTest, WindowsTenPixelsApartVerticallyDoNotSnapSideBySide) {
    platform.add(1, sized(100, 100, 100, 100));
    platform.add(2, sized(300, 0, 100, 40));
    docking.AttachDockWindow(2, false);
    startMove(2, {10, 10});
    // Bottom edge 10 above window 1's top: its right edge is no target.
    EXPECT_EQ(moveWindowTo(2, 203, 50), sized(203, 50, 100, 40));
    EXPECT_FALSE(docking.snappedX());
    // One pixel lower they overlap within the tolerance: side by side, and bottom to top.
    EXPECT_EQ(moveWindowTo(2, 203, 51), sized(200, 60, 100, 40));
    EXPECT_TRUE(docking.snappedX());
    EXPECT_TRUE(docking.snappedY());
}

// The main window with the preview docked at its right edge, tops aligned.
class DockedGroupTest : public DockingTest {
  protected:
    void SetUp() override {
        platform.add(mainWindow, sized(100, 100, 433, 355));
        platform.add(companion, sized(533, 100, 314, 230));
        docking.AttachDockWindow(mainWindow, true);
        docking.AttachDockWindow(companion, false);
        startMove(mainWindow, {50, 10});
    }
    DockRect companionRect() { return platform.rects.at(companion); }
    WindowHandle mainWindow = 1;
    WindowHandle companion = 2;
};

TEST_F(DockedGroupTest, HoldsForTenPixelsThenJumpsWithTheCompanion) {
    EXPECT_EQ(moveTo(mainWindow, {150 + 9, 110}), sized(100, 100, 433, 355));
    EXPECT_EQ(companionRect(), sized(533, 100, 314, 230));
    EXPECT_TRUE(docking.snappedX());

    EXPECT_EQ(moveTo(mainWindow, {150 + 10, 110}), sized(110, 100, 433, 355));
    EXPECT_EQ(companionRect(), sized(543, 100, 314, 230));
    EXPECT_FALSE(docking.snappedX());

    // The same along the other axis: the companion's top was where the main window's is.
    EXPECT_EQ(moveTo(mainWindow, {160, 110 + 9}), sized(110, 100, 433, 355));
    EXPECT_EQ(moveTo(mainWindow, {160, 110 + 10}), sized(110, 110, 433, 355));
    EXPECT_EQ(companionRect(), sized(543, 110, 314, 230));
}

TEST_F(DockedGroupTest, SnappedWindowFollowsTheCursorNotTheProposal) {
    moveTo(mainWindow, {150 + 4, 110});
    ASSERT_TRUE(docking.snappedX());
    platform.cursor = {180, 110};
    DockRect proposed = sized(101, 100, 433, 355);
    docking.DockWindowProc(mainWindow, DockMessage::Moving, 0, proposed);
    EXPECT_EQ(proposed.left, 130); // the cursor offset of the last free step, 50
    EXPECT_EQ(docking.cursorOffsetX(), 50);
}

TEST_F(DockingTest, CompanionsFollowOnExactEdgeEqualityOnly) {
    platform.add(1, sized(100, 100, 200, 100)); // main: right 300, bottom 200
    platform.add(2, sized(300, 600, 50, 50));   // left = main's right, far below it
    platform.add(3, sized(301, 100, 50, 50));   // one pixel apart
    platform.add(4, sized(120, 200, 50, 50));   // top = main's bottom
    platform.add(5, sized(40, 40, 50, 60));     // bottom = main's top
    for (WindowHandle w = 1; w <= 5; ++w) {
        docking.AttachDockWindow(w, w == 1);
    }
    startMove(1, {0, 0});
    ASSERT_EQ(moveWindowTo(1, 170, 140), sized(170, 140, 200, 100));
    EXPECT_EQ(platform.rects.at(2), sized(370, 640, 50, 50));
    EXPECT_EQ(platform.rects.at(3), sized(301, 100, 50, 50));
    EXPECT_EQ(platform.rects.at(4), sized(190, 240, 50, 50));
    EXPECT_EQ(platform.rects.at(5), sized(110, 80, 50, 60));
}

TEST_F(DockingTest, ADestroyedCompanionIsSkipped) {
    platform.add(1, sized(100, 100, 200, 100));
    platform.add(2, sized(300, 100, 50, 50));
    docking.AttachDockWindow(1, true);
    docking.AttachDockWindow(2, false);
    platform.rects.erase(2);
    startMove(1, {0, 0});
    EXPECT_EQ(moveWindowTo(1, 150, 150), sized(150, 150, 200, 100));
    EXPECT_TRUE(platform.moves.empty());
}

TEST_F(DockedGroupTest, ResizingByTheLeftEdgeMovesCompanionsByItsChange) {
    DockRect proposed = sized(100, 100, 433, 355);
    proposed.left = 80;
    EXPECT_EQ(snapResize(mainWindow, proposed, sizing_edge::Left), (DockRect{80, 100, 533, 455}));
    EXPECT_EQ(companionRect(), sized(513, 100, 314, 230));
}

TEST_F(DockingTest, ResizeTestsBothEdgesOfTheDraggedCorner) {
    platform.add(1, sized(300, 300, 200, 100)); // bottom at 400
    platform.add(2, sized(505, 405, 100, 100)); // top at 405, within reach of the bottom
    docking.AttachDockWindow(1, false);
    startMove(1, {0, 0});
    DockRect proposed = sized(300, 300, 200, 100);
    proposed.left = 295;
    EXPECT_EQ(snapResize(1, proposed, sizing_edge::Left), (DockRect{295, 300, 500, 405}));
}

TEST_F(DockingTest, ResizeSnapsTheEdgesNamedByTheEdgeCode) {
    platform.add(1, sized(300, 300, 200, 100));
    docking.AttachDockWindow(1, false);
    startMove(1, {0, 0});
    EXPECT_EQ(snapResize(1, {6, 7, 500, 400}, sizing_edge::TopLeft), (DockRect{0, 0, 500, 400}));
    EXPECT_EQ(snapResize(1, {6, 7, 993, 695}, sizing_edge::BottomRight),
              (DockRect{6, 7, 1000, 700}));
    EXPECT_EQ(snapResize(1, {6, 7, 993, 695}, sizing_edge::TopRight), (DockRect{6, 0, 1000, 695}));
    EXPECT_EQ(snapResize(1, {6, 7, 993, 695}, sizing_edge::BottomLeft), (DockRect{0, 7, 993, 700}));
    EXPECT_EQ(snapResize(1, {6, 7, 993, 695}, sizing_edge::Top), (DockRect{6, 0, 1000, 695}));
    EXPECT_EQ(snapResize(1, {6, 7, 993, 690}, sizing_edge::Bottom), (DockRect{6, 7, 1000, 690}));
}

TEST_F(DockingTest, ResizeOffersTheOutsideOfTheWorkAreaAndLeavesTheStickyState) {
    platform.add(1, sized(300, 300, 200, 100));
    docking.AttachDockWindow(1, true);
    startMove(1, {0, 0});
    moveWindowTo(1, 4, 300); // snaps, so SnappedX is set
    ASSERT_TRUE(docking.snappedX());
    // Unlike a move, a resize lets a left edge meet the work area's right edge.
    EXPECT_EQ(snapResize(1, {995, 300, 1200, 400}, sizing_edge::Left),
              (DockRect{1000, 300, 1200, 400}));
    EXPECT_EQ(snapResize(1, {300, 300, 1006, 400}, sizing_edge::Right),
              (DockRect{300, 300, 1000, 400}));
    EXPECT_TRUE(docking.snappedX());
}

} // namespace
} // namespace builder
