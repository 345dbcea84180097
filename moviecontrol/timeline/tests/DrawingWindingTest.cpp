// The fill rule of what a script draws: even-odd, until a path asks for the non-zero rule;
// then the whole drawing takes it, until it is cleared.
#include "Drawing.h"
#include "swf/Geometry.h"

#include <gtest/gtest.h>

namespace mc {
namespace {

TEST(DrawingWinding, TheNonZeroRuleHoldsForTheWholeDrawingUntilItIsCleared) {
    struct Case {
        const char* name;
        bool askNonZero;
        bool clearAfter;
        swf::FillRule expected;
    };
    const Case cases[] = {
        {"plain", false, false, swf::FillRule::EvenOdd},
        {"asked", true, false, swf::FillRule::NonZero},
        {"asked then cleared", true, true, swf::FillRule::EvenOdd},
    };
    for (const Case& c : cases) {
        Drawing d;
        swf::FillStyle red;
        red.color = swf::Rgba{255, 0, 0, 255};
        d.beginFill(red);
        d.moveTo(0, 0);
        d.lineTo(10, 0);
        const std::uint64_t before = d.generation();
        if (c.askNonZero) {
            d.useNonZeroWinding();
            EXPECT_NE(d.generation(), before) << c.name; // the painter must build it anew
        }
        d.lineTo(10, 10);
        if (c.clearAfter) {
            d.clear();
            d.beginFill(red);
            d.lineTo(5, 5);
        }
        // As the painter sees it: the open fill closed, the rule carried.
        EXPECT_EQ(swf::buildDrawing(d.shownShape()).fillRule, c.expected) << c.name;
    }
}

} // namespace
} // namespace mc
