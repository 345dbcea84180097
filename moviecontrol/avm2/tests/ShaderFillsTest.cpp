// Shaders on display objects: a shader fill paints as the kernel's output over the stage's
// size in the fill's space, under the fill's matrix; blendShader sets the shader blend mode
// and refuses a shader without a kernel.

#include "FakeDisplayHost.h"
#include "avm2/ByteArrayData.h"
#include "shader/tests/PbjBytes.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using avm2::Args;
using avm2::GraphicsOp;
using avm2::Name;
using avm2::Value;
using shader::PbjType;
using shader::testing::PbjBytes;
using shader::testing::src;
namespace op = shader::op;

class ShaderFills : public ::testing::Test {
  protected:
    avm2test::DisplayTestHost host;
    avm2test::FakeDisplayHost& tree = host.tree;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value make(const char* cls, Args args = {}) {
        return vm.construct(Value::object(vm.findClass(cls)->classObject), args);
    }
    Value call(const Value& target, const std::string& method, Args args = {}) {
        return vm.callProperty(target, Name::publicName(method), args);
    }
    Value get(const Value& target, const std::string& property) {
        return vm.getProperty(target, Name::publicName(property));
    }
    std::string thrown(const std::function<void()>& work) {
        try {
            work();
        } catch (const avm2::ScriptThrow& t) {
            return vm.className(t.value) + " #" + vm.toString(get(t.value, "errorID"));
        }
        return "";
    }
    // A kernel painting red by its x coordinate (x / 256) and opaque.
    Value rampShader() {
        PbjBytes b;
        b.param(false, PbjType::Float2, 0, 0xC, "_OutCoord");
        b.param(true, PbjType::Float4, 1, 0xF, "dst");
        b.loadFloat(1, 0xF, 1);
        b.loadFloat(2, 0x8, 256);
        b.op(op::Mov, 1, 0x8, src(0, {0}), 1);
        b.op(op::Div, 1, 0x8, src(2, {0}), 1);
        b.loadFloat(1, 0x6, 0);
        Value bytes = make("flash.utils::ByteArray");
        avm2::byteArrayData(bytes)->data = b.bytes;
        return make("flash.display::Shader", {bytes});
    }
};

TEST_F(ShaderFills, FillPaintsTheKernelUnderTheMatrix) {
    const Value graphics = get(make("flash.display::Shape"), "graphics");
    Args args{rampShader(),
              make("flash.geom::Matrix", {Value::number(2), Value::number(0), Value::number(0),
                                          Value::number(1), Value::number(5), Value::number(0)})};
    call(graphics, "beginShaderFill", args);
    ASSERT_FALSE(tree.graphicsOps.empty());
    const GraphicsOp& fill = tree.graphicsOps.back();
    ASSERT_EQ(fill.kind, GraphicsOp::Kind::BitmapFill);
    ASSERT_NE(fill.bitmap, nullptr);
    EXPECT_EQ(fill.bitmap->width(), 550); // the stage's width
    EXPECT_EQ(fill.bitmap->at(0, 0), 0xFF000000u);
    EXPECT_EQ(fill.bitmap->at(127, 3), 0xFF7F0000u); // (127.5 / 256) of 255
    EXPECT_EQ(fill.bitmap->at(300, 0), 0xFFFF0000u); // past 1: held at full red
    EXPECT_EQ(fill.bitmapMatrix[0], 2);
    EXPECT_EQ(fill.bitmapMatrix[4], 5);
    EXPECT_FALSE(fill.repeat);
    EXPECT_EQ(thrown([&] { call(graphics, "beginShaderFill", {Value::null()}); }),
              "TypeError #2007");
    call(graphics, "lineShaderStyle", {rampShader()});
    EXPECT_EQ(tree.graphicsOps.back().kind, GraphicsOp::Kind::LineBitmap);
}

TEST_F(ShaderFills, BlendShaderSetsTheShaderBlendMode) {
    const Value shape = make("flash.display::Shape");
    const Value s = rampShader();
    vm.setProperty(shape, Name::publicName("blendShader"), s);
    EXPECT_EQ(vm.toString(get(shape, "blendMode")), "shader");
    EXPECT_TRUE(vm.strictEquals(get(shape, "blendShader"), s));
    // A Shader with no kernel cannot blend.
    EXPECT_EQ(thrown([&] {
                  vm.setProperty(shape, Name::publicName("blendShader"),
                                 make("flash.display::Shader"));
              }),
              "ArgumentError #2004");
}

} // namespace
