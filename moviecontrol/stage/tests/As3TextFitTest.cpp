// An ActionScript 3 field's autoSize box is fitted lazily: the field keeps the box it had
// until a script reads its geometry or the frame draws it, and a fit starts from the box
// the field keeps, so settings changed in between (wordWrap) decide the box it gets.

#include <gtest/gtest.h>

#include "As3DisplayTree.h"
#include "ScriptedMovie.h"

namespace mc {
namespace {

using P = avm2::NodeProperty;

class As3TextFit : public ::testing::Test {
  protected:
    StoppedMovie movie{9};
    As3DisplayTree tree{*movie.player, {}};

    avm2::NodeId field() {
        const avm2::NodeId node = tree.createNode(avm2::NodeKind::Text);
        tree.setNumber(node, P::Width, 100);
        tree.setNumber(node, P::Height, 20);
        tree.setText(node, "x", false);
        return node;
    }
};

TEST_F(As3TextFit, TheBoxFollowsTheSettingsInForceWhenItIsRead) {
    struct Case {
        const char* what;
        bool readBetween; // the width read between autoSize and wordWrap
        bool wide;        // the box keeps its 100 pixels
    };
    const Case cases[] = {
        {"wordWrap set before any read keeps the width", false, true},
        {"a read in between fits the box first", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const avm2::NodeId node = field();
        tree.setTextSetting(node, "autoSize", "center");
        if (c.readBetween) {
            EXPECT_LT(tree.number(node, P::Width), 100);
        }
        tree.setTextSetting(node, "wordWrap", "true");
        const double width = tree.number(node, P::Width);
        EXPECT_EQ(width == 100, c.wide) << width;
        // The height follows the text either way.
        EXPECT_LT(tree.number(node, P::Height), 20);
        // A centred box that shrank moved right by half of what it lost.
        EXPECT_DOUBLE_EQ(tree.number(node, P::X), (100 - width) / 2);
    }
}

TEST_F(As3TextFit, OnlyTheFieldsDrawnTakeTheirBoxWithTheFrame) {
    struct Case {
        const char* what;
        bool onStage;
        bool visible;
        bool fitted;
    };
    const Case cases[] = {
        {"off the stage", false, true, false},
        {"on the stage", true, true, true},
        {"hidden on the stage", true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const avm2::NodeId node = field();
        if (c.onStage) {
            tree.insertChild(tree.rootNode(), node, tree.childCount(tree.rootNode()));
        }
        tree.setNumber(node, P::Visible, c.visible ? 1 : 0);
        tree.setTextSetting(node, "autoSize", "left");
        tree.settleShownFits();
        // wordWrap keeps whatever width the field has by now.
        tree.setTextSetting(node, "wordWrap", "true");
        EXPECT_EQ(tree.number(node, P::Width) < 100, c.fitted);
        if (c.onStage) {
            tree.detach(node);
        }
    }
}

} // namespace
} // namespace mc
