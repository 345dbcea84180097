// Sprite.startDrag and stopDrag: where the dragged sprite goes as the pointer moves, with
// and without lockCenter and bounds, and that one drag at a time moves one sprite.

#include "avm2/SpriteDrag.h"
#include "FakeDisplayHost.h"
#include "avm2/DisplayClasses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::NodeId;
using avm2::NodeProperty;
using avm2::Value;
using avm2test::FakeDisplayHost;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

class SpriteDrag : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    FakeDisplayHost& tree = host.tree;
    avm2::Machine vm{host};
    NodeId node = 0;
    NodeId other = 0;

    void SetUp() override {
        vm.beginFrame();
        node = tree.place(FakeDisplayHost::kRoot, "dragged", avm2::NodeKind::Sprite);
        other = tree.place(FakeDisplayHost::kRoot, "other", avm2::NodeKind::Sprite);
        tree.setNumber(node, NodeProperty::X, 10);
        tree.setNumber(node, NodeProperty::Y, 20);
        pointer(15, 25);
    }
    Value object(NodeId n) { return Value::object(avm2::scriptObjectOf(vm, n)); }
    // The pointer moves to (x, y) in the root's space (the dragged sprite's parent).
    void pointer(double x, double y) {
        tree.setNumber(FakeDisplayHost::kRoot, NodeProperty::MouseX, x);
        tree.setNumber(FakeDisplayHost::kRoot, NodeProperty::MouseY, y);
        avm2::followDrag(vm);
    }
    Value rectangle(double x, double y, double w, double h) {
        Args a{Value::number(x), Value::number(y), Value::number(w), Value::number(h)};
        return vm.construct(Value::object(vm.findClass("flash.geom::Rectangle")->classObject), a);
    }
    void call(NodeId n, const char* method, Args a = {}) {
        vm.callProperty(object(n), Name::publicName(method), a);
    }
    std::pair<double, double> at(NodeId n) {
        return {tree.number(n, NodeProperty::X), tree.number(n, NodeProperty::Y)};
    }
};

struct DragCase {
    const char* what;
    Args startArgs;
    double pointerX, pointerY; // where the pointer then goes
    double x, y;               // where the sprite ends
};

TEST_F(SpriteDrag, TheSpriteFollowsThePointerWithinItsBounds) {
    const std::vector<DragCase> table = {
        {"keeps its offset", {}, 100, 100, 95, 95},
        {"lockCenter puts it on the pointer", {Value::boolean(true)}, 40, 50, 40, 50},
        {"bounds hold it", {Value::boolean(true), rectangle(0, 0, 30, 30)}, 100, -5, 30, 0},
        {"a negative size turns the bounds around",
         {Value::boolean(true), rectangle(30, 30, -30, -30)},
         -50,
         12,
         0,
         12},
        {"no bounds given as null", {Value::boolean(false), Value::null()}, 5, 5, 0, 0},
        {"a pointer at NaN leaves it at 0", {Value::boolean(true)}, kNaN, 7, 0, 7},
    };
    for (const DragCase& c : table) {
        tree.setNumber(node, NodeProperty::X, 10);
        tree.setNumber(node, NodeProperty::Y, 20);
        pointer(15, 25);
        call(node, "startDrag", c.startArgs);
        pointer(c.pointerX, c.pointerY);
        EXPECT_EQ(at(node), std::make_pair(c.x, c.y)) << c.what;
        call(node, "stopDrag");
    }
}

TEST_F(SpriteDrag, LockCenterMovesAtOnceAndStopDragEndsAnyDrag) {
    call(node, "startDrag", {Value::boolean(true)});
    EXPECT_EQ(at(node), std::make_pair(15.0, 25.0));
    // Another sprite's stopDrag ends the drag all the same.
    call(other, "stopDrag");
    pointer(60, 70);
    EXPECT_EQ(at(node), std::make_pair(15.0, 25.0));
    // A new drag takes over from the one before.
    call(node, "startDrag", {Value::boolean(true)});
    call(other, "startDrag", {Value::boolean(true)});
    pointer(80, 90);
    EXPECT_EQ(at(node), std::make_pair(60.0, 70.0));
    EXPECT_EQ(at(other), std::make_pair(80.0, 90.0));
}

TEST_F(SpriteDrag, DropTargetIsTheDeepestObjectUnderThePointerButTheDraggedOne) {
    const NodeId holder = tree.place(FakeDisplayHost::kRoot, "holder", avm2::NodeKind::Sprite);
    const NodeId shape = tree.place(holder, "shape", avm2::NodeKind::Shape);
    const NodeId top = tree.place(FakeDisplayHost::kRoot, "top", avm2::NodeKind::Shape);
    // The name of what dropTarget holds, or "null".
    auto dropTarget = [&]() -> std::string {
        const Value target = vm.getProperty(object(node), Name::publicName("dropTarget"));
        return target.isNull() ? "null"
                               : vm.toString(vm.getProperty(target, Name::publicName("name")));
    };
    EXPECT_EQ(dropTarget(), "null");
    struct Step {
        const char* what;
        std::vector<NodeId> drawn;
        bool stop; // stopDrag after the move
        NodeId expected;
    };
    const std::vector<Step> steps = {
        {"nothing drawn under the pointer", {}, false, 0},
        {"a shape inside a sprite", {holder, shape}, false, shape},
        {"the topmost of two", {holder, shape, top}, false, top},
        {"the dragged sprite is left out", {node}, false, 0},
        {"dropped on the shape", {holder, shape}, true, shape},
        {"kept after the drop", {}, false, shape},
    };
    call(node, "startDrag");
    for (const Step& step : steps) {
        tree.drawn = std::set<NodeId>(step.drawn.begin(), step.drawn.end());
        pointer(30, 30);
        if (step.stop) {
            call(node, "stopDrag");
        }
        EXPECT_EQ(dropTarget(), step.expected == 0 ? "null" : tree.nodes[step.expected].name)
            << step.what;
    }
}

} // namespace
