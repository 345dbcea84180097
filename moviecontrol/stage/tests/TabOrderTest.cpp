#include <gtest/gtest.h>

#include <cmath>

#include "TabOrder.h"
#include "TextEditing.h"

namespace mc {
namespace {

using Order = std::vector<std::uint64_t>;

TabStop at(std::uint64_t serial, std::int64_t x, std::int64_t y,
           std::optional<std::int32_t> index = std::nullopt) {
    return TabStop{serial, x, y, index};
}

TEST(TabOrderTest, CornersAreSweptByASlantedLineNotRowByRow) {
    // Rows of a grid come top to bottom, left to right...
    EXPECT_EQ(tabOrder({at(1, 2000, 0), at(2, 0, 0), at(3, 0, 2000), at(4, 2000, 2000)}),
              (Order{2, 1, 3, 4}));
    // ...but a stop far to the right on a row a little lower comes before its left neighbour
    // on that row once 6y + x says so: 6 * 100 + 5000 > 6 * 900 + 0.
    EXPECT_EQ(tabOrder({at(1, 5000, 100), at(2, 0, 900)}), (Order{2, 1}));
    EXPECT_EQ(tabOrder({at(1, 5000, 0), at(2, 0, 900)}), (Order{1, 2}));
}

TEST(TabOrderTest, StopsOnTheSameLineKeepOnlyTheFirstInTreeOrder) {
    // 6 * 10 + 0 == 6 * 0 + 60: the later one is never visited.
    EXPECT_EQ(tabOrder({at(7, 60, 0), at(8, 0, 10), at(9, 0, 500)}), (Order{7, 9}));
    EXPECT_EQ(tabOrder({at(8, 0, 10), at(7, 60, 0)}), (Order{8}));
}

TEST(TabOrderTest, AnyTabIndexLeavesOnlyIndexedStopsInIndexOrder) {
    EXPECT_EQ(tabOrder({at(1, 0, 0), at(2, 0, 100, 3), at(3, 0, 200, -5), at(4, 0, 300, 0)}),
              (Order{3, 4, 2}));
    // Equal indexes keep the tree order, whatever the positions.
    EXPECT_EQ(tabOrder({at(1, 900, 900, 2), at(2, 0, 0, 2), at(3, 500, 0, 1)}), (Order{3, 1, 2}));
}

TEST(TabOrderTest, NextStopWrapsRoundBothWays) {
    const Order order{5, 6, 7};
    EXPECT_EQ(nextTabStop(order, 0, false), 5u);
    EXPECT_EQ(nextTabStop(order, 0, true), 7u);
    EXPECT_EQ(nextTabStop(order, 5, false), 6u);
    EXPECT_EQ(nextTabStop(order, 7, false), 5u);
    EXPECT_EQ(nextTabStop(order, 5, true), 7u);
    EXPECT_EQ(nextTabStop(order, 99, false), 5u); // the focus is on something Tab skips
    EXPECT_EQ(nextTabStop({}, 5, false), 0u);
}

TEST(TextEditingTest, TypingReplacesTheSelectionAndMovesTheCaret) {
    std::string text = "héllo";
    InputState::Selection s = selectionWithin(text, 1, 3); // "él"
    EXPECT_EQ(s.caret, 3u);
    ASSERT_TRUE(typeAtCaret(text, s, "EY", 100));
    EXPECT_EQ(text, "hEYlo");
    EXPECT_EQ(s.begin, 3u);
    EXPECT_EQ(s.end, 3u);
    EXPECT_EQ(s.caret, 3u);
    ASSERT_TRUE(typeAtCaret(text, s, "中", 100));
    EXPECT_EQ(text, "hEY中lo");
    EXPECT_EQ(s.caret, 4u);
    // Past the limit nothing changes.
    EXPECT_FALSE(typeAtCaret(text, s, "0123456789", text.size() + 9));
    EXPECT_EQ(text, "hEY中lo");
}

TEST(TextEditingTest, BackspaceTakesTheCharacterBeforeTheCaretOrTheSelection) {
    std::string text = "a中b";
    InputState::Selection s = selectionWithin(text, 2, 2);
    ASSERT_TRUE(eraseBeforeCaret(text, s));
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(s.caret, 1u);
    s = selectionWithin(text, 0, 0);
    EXPECT_FALSE(eraseBeforeCaret(text, s));
    s = selectionWithin(text, 0, 2);
    ASSERT_TRUE(eraseBeforeCaret(text, s));
    EXPECT_EQ(text, "");
}

TEST(TextEditingTest, DeleteTakesTheCharacterAfterTheCaretOrTheSelection) {
    std::string text = "a中b";
    InputState::Selection s = selectionWithin(text, 1, 1);
    ASSERT_TRUE(eraseAfterCaret(text, s));
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(s.caret, 1u);
    s = selectionWithin(text, 2, 2);
    EXPECT_FALSE(eraseAfterCaret(text, s));
    s = selectionWithin(text, 2, 0);
    ASSERT_TRUE(eraseAfterCaret(text, s));
    EXPECT_EQ(text, "");
}

TEST(TextEditingTest, KeysMoveTheCaretAndShiftStretchesTheSelection) {
    // Two lines: "ab中" and "cd"; selections as (begin, end, caret) after each key.
    const std::string text = "ab中\rcd";
    struct Step {
        CaretMove move;
        bool shift;
        std::size_t begin, end, caret;
    };
    const std::vector<Step> steps = {
        {CaretMove::On, false, 2, 2, 2},        // from the caret at 1
        {CaretMove::On, true, 2, 3, 3},         // Shift stretches from where it started
        {CaretMove::On, true, 2, 4, 4},         // over the line end
        {CaretMove::Back, true, 2, 3, 3},       // and back
        {CaretMove::Back, false, 2, 2, 2},      // alone, an arrow stops at the selection's edge
        {CaretMove::LineEnd, false, 3, 3, 3},   // the end of the first line
        {CaretMove::On, false, 4, 4, 4},        // the start of the second
        {CaretMove::LineEnd, true, 4, 6, 6},    // the end of the text
        {CaretMove::LineStart, false, 4, 4, 4}, // the start of its own line
        {CaretMove::Back, true, 3, 4, 3},       // Shift backwards from there
        {CaretMove::LineStart, true, 0, 4, 0},  // to the start of the first line
        {CaretMove::On, false, 4, 4, 4},        // alone: the selection's far edge
        {CaretMove::On, false, 5, 5, 5},
    };
    InputState::Selection s = selectionWithin(text, 1, 1);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        moveCaret(text, s, step.move, step.shift);
        EXPECT_EQ(s.begin, step.begin) << "step " << i;
        EXPECT_EQ(s.end, step.end) << "step " << i;
        EXPECT_EQ(s.caret, step.caret) << "step " << i;
    }
    moveCaret(text, s, CaretMove::LineEnd, false);
    moveCaret(text, s, CaretMove::On, false);
    EXPECT_EQ(s.caret, 6u) << "the caret stops at the end";
    s = selectionWithin(text, 0, 0);
    moveCaret(text, s, CaretMove::Back, false);
    EXPECT_EQ(s.caret, 0u) << "and at the start";
}

TEST(TextEditingTest, SelectionsAreClampedOrderedAndWhole) {
    const std::string text = "四个字符";
    const InputState::Selection s = selectionWithin(text, 9, -3);
    EXPECT_EQ(s.begin, 0u);
    EXPECT_EQ(s.end, 4u);
    EXPECT_EQ(s.caret, 0u) << "the caret stays at the end the selection was drawn to";
    const InputState::Selection t = selectionWithin(text, 1.7, std::nan(""));
    EXPECT_EQ(t.begin, 0u);
    EXPECT_EQ(t.end, 1u);
    // A selection left over from a longer text is brought inside before use.
    std::string shorter = "ab";
    InputState::Selection old = selectionWithin(text, 3, 4);
    ASSERT_TRUE(typeAtCaret(shorter, old, "c", 100));
    EXPECT_EQ(shorter, "abc");
}

// Four boxes of 1000 twips in a grid with 1000-twip gaps, and one far off to the lower
// right that is in two directions at once from the first.
const std::vector<FocusBox> kGrid = {
    {1, 0, 0, 1000, 1000},       {2, 2000, 0, 3000, 1000},    {3, 0, 2000, 1000, 3000},
    {4, 2000, 2000, 3000, 3000}, {5, 8000, 8000, 9000, 9000},
};

TEST(TabOrderTest, ArrowsMoveToTheNearestBoxWhollyOnThatSide) {
    struct Case {
        std::uint64_t from;
        Arrow arrow;
        std::uint64_t to;
        const char* why;
    };
    const Case cases[] = {
        {1, Arrow::Right, 2, "straight across beats the diagonal"},
        {1, Arrow::Down, 3, "straight down beats the diagonal"},
        {2, Arrow::Left, 1, "back the other way"},
        {2, Arrow::Down, 4, "below"},
        {4, Arrow::Up, 2, "above"},
        {3, Arrow::Right, 4, "the nearer of two to the right"},
        {2, Arrow::Up, 0, "nothing above the top row"},
        {3, Arrow::Left, 0, "nothing left of the left column"},
        {4, Arrow::Right, 5, "far, but wholly to the right"},
        {5, Arrow::Right, 0, "nothing past the last"},
        {9, Arrow::Down, 0, "a focus that is not among the boxes goes nowhere"},
        {0, Arrow::Down, 0, "nor does no focus"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(arrowNeighbour(kGrid, c.from, c.arrow), c.to) << c.why;
    }
}

TEST(TabOrderTest, ABoxOverlappingTheFocusOnTheArrowsAxisIsNotOnThatSide) {
    // The second box starts inside the first's width: not wholly to its right.
    const std::vector<FocusBox> boxes = {{1, 0, 0, 1000, 1000}, {2, 900, 0, 1900, 1000}};
    EXPECT_EQ(arrowNeighbour(boxes, 1, Arrow::Right), 0u);
    EXPECT_EQ(arrowNeighbour(boxes, 2, Arrow::Left), 0u);
    // Touching edges count.
    const std::vector<FocusBox> touching = {{1, 0, 0, 1000, 1000}, {2, 1000, 0, 2000, 1000}};
    EXPECT_EQ(arrowNeighbour(touching, 1, Arrow::Right), 2u);
    // Of two equally near, the first given.
    const std::vector<FocusBox> twins = {
        {1, 1000, 0, 2000, 1000}, {2, 0, 2000, 1000, 3000}, {3, 2000, 2000, 3000, 3000}};
    EXPECT_EQ(arrowNeighbour(twins, 1, Arrow::Down), 2u);
}

} // namespace
} // namespace mc
