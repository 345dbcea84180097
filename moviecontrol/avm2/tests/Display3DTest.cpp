// Stage3D through the script classes: a context requested from a Stage3D, buffers and
// programs uploaded, triangles drawn with depth, stencil, blending and scissor, and the back
// buffer read back with drawToBitmapData; the errors Flash throws for bad arguments; and the
// Matrix3D arithmetic the constants are usually made from.
#include "PlayerClassTest.h"

#include "avm2/ByteArrayData.h"
#include "avm2/EventState.h"
#include "stage3d/Agal.h"

namespace avm2test {
namespace {

using avm2::Value;

// AGAL tokens: mov op, va0 (vertex) and mov oc, fc0 (fragment), or m44 op, va0, vc0.
void word(std::vector<std::uint8_t>& b, std::uint32_t w) {
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<std::uint8_t>(w >> (8 * i)));
    }
}

std::vector<std::uint8_t> program(bool vertex, bool matrix = false) {
    std::vector<std::uint8_t> b = {
        0xa0, 1, 0, 0, 0, 0xa1, static_cast<std::uint8_t>(vertex ? 0 : 1)};
    word(b, matrix ? stage3d::OpM44 : stage3d::OpMov);
    word(b, 0xF << 16 | 3 << 24);      // op / oc, all components
    word(b, 0xE4u << 24);              // register 0, xyzw
    word(b, vertex ? 0 : 1);           // va0 / fc0
    word(b, matrix ? 0xE4u << 24 : 0); // vc0 for m44
    word(b, matrix ? 1 : 0);
    return b;
}

class Display3DTest : public PlayerClassTest {
  protected:
    Value context;

    void SetUp() override {
        PlayerClassTest::SetUp();
        const Value stage3D = make("flash.display::Stage3D");
        call(stage3D, "requestContext3D");
        EXPECT_EQ(get(stage3D, "context3D"), "[object Context3D]");
        avm2::sendQueuedEvents(vm);
        context = vm.getProperty(stage3D, avm2::Name::publicName("context3D"));
        call(context, "configureBackBuffer", numbers({32, 32, 0}));
    }

    Value bytes(const std::vector<std::uint8_t>& data) {
        avm2::Object* b = avm2::newByteArray(vm);
        avm2::byteArrayData(Value::object(b))->data = data;
        return Value::object(b);
    }
    Value vectorOf(avm2::Class* element, std::initializer_list<double> values) {
        avm2::Args type{Value::object(element->classObject)};
        const Value cls = vm.applyType(Value::object(vm.vectorClass->classObject), type);
        avm2::Args none;
        Value v = vm.construct(cls, none);
        for (double d : values) {
            v.asObject()->elements.push_back(Value::number(d));
        }
        return v;
    }
    void useProgram(bool matrix = false) {
        const Value p = call(context, "createProgram");
        call(p, "upload", {bytes(program(true, matrix)), bytes(program(false))});
        call(context, "setProgram", {p});
    }
    // A triangle through (x, y, z) clip-space corners, in colour rgba.
    void triangle(std::initializer_list<double> corners, std::initializer_list<double> rgba) {
        const Value vb = call(context, "createVertexBuffer", numbers({3, 3}));
        call(vb, "uploadFromVector",
             {vectorOf(vm.numberClass, corners), Value::number(0), Value::number(3)});
        call(context, "setVertexBufferAt",
             {Value::number(0), vb, Value::number(0), Value::string("float3")});
        const Value ib = call(context, "createIndexBuffer", numbers({3}));
        call(ib, "uploadFromVector",
             {vectorOf(vm.uintClass, {0, 1, 2}), Value::number(0), Value::number(3)});
        call(context, "setProgramConstantsFromVector",
             {Value::string("fragment"), Value::number(0), vectorOf(vm.numberClass, rgba)});
        call(context, "drawTriangles", {ib});
    }
    void full(double z, std::initializer_list<double> rgba) {
        triangle({-1, 1, z, 3, 1, z, -1, -3, z}, rgba);
    }
    std::string pixel(int x, int y) {
        const Value bitmap = make("flash.display::BitmapData", numbers({32, 32, 1, 0}));
        call(context, "drawToBitmapData", {bitmap});
        const double argb =
            vm.toNumber(call(bitmap, "getPixel32", numbers({double(x), double(y)})));
        char out[16];
        std::snprintf(out, sizeof out, "%08X", static_cast<unsigned>(argb));
        return out;
    }
    Value rectangle(double x, double y, double w, double h) {
        return make("flash.geom::Rectangle", numbers({x, y, w, h}));
    }
};

TEST_F(Display3DTest, DrawsATriangleAndCullsByFacing) {
    useProgram();
    call(context, "clear", numbers({0, 0, 1, 1}));
    // The left half of the buffer.
    triangle({-1, 1, 0.5, 0, 1, 0.5, 0, -1, 0.5}, {1, 0, 0, 1});
    triangle({-1, 1, 0.5, 0, -1, 0.5, -1, -1, 0.5}, {1, 0, 0, 1});
    EXPECT_EQ(pixel(5, 20), "FFFF0000");
    EXPECT_EQ(pixel(20, 20), "FF0000FF");
    // Counter-clockwise on the screen is back facing.
    call(context, "setCulling", {Value::string("back")});
    call(context, "setDepthTest", {Value::boolean(false), Value::string("always")});
    triangle({-1, 1, 0.1, -1, -3, 0.1, 3, 1, 0.1}, {0, 1, 0, 1});
    EXPECT_EQ(pixel(20, 20), "FF0000FF");
    call(context, "setCulling", {Value::string("none")});
    triangle({-1, 1, 0.1, -1, -3, 0.1, 3, 1, 0.1}, {0, 1, 0, 1});
    EXPECT_EQ(pixel(20, 20), "FF00FF00");
}

TEST_F(Display3DTest, DepthStencilBlendAndScissor) {
    useProgram();
    call(context, "clear", numbers({0, 0, 0, 1}));
    full(0.5, {0, 0, 1, 1});
    full(0.75, {1, 0, 0, 1}); // farther: fails the default "less" test
    EXPECT_EQ(pixel(3, 3), "FF0000FF");
    // Mark a scissored corner in the stencil only, then draw where it was marked.
    call(context, "setDepthTest", {Value::boolean(false), Value::string("always")});
    call(context, "setColorMask",
         {Value::boolean(false), Value::boolean(false), Value::boolean(false),
          Value::boolean(false)});
    call(context, "setStencilReferenceValue", numbers({7}));
    call(context, "setStencilActions",
         {Value::string("frontAndBack"), Value::string("always"), Value::string("set")});
    call(context, "setScissorRectangle", {rectangle(0, 0, 8, 8)});
    full(0.5, {1, 1, 1, 1});
    call(context, "setScissorRectangle", {Value::null()});
    call(context, "setColorMask",
         {Value::boolean(true), Value::boolean(true), Value::boolean(true), Value::boolean(true)});
    call(context, "setStencilActions",
         {Value::string("frontAndBack"), Value::string("equal"), Value::string("keep")});
    call(context, "setBlendFactors", {Value::string("one"), Value::string("one")});
    full(0.5, {1, 0, 0, 1});
    EXPECT_EQ(pixel(3, 3), "FFFF00FF");
    EXPECT_EQ(pixel(12, 12), "FF0000FF");
}

TEST_F(Display3DTest, ConstantsFromAMatrix3D) {
    useProgram(true);
    call(context, "clear", numbers({0, 0, 0, 1}));
    // Moved right by a whole buffer width, the left half lands on the right half.
    const Value matrix = make("flash.geom::Matrix3D");
    call(matrix, "appendTranslation", numbers({1, 0, 0}));
    EXPECT_EQ(get(matrix, "rawData"), "1,0,0,0,0,1,0,0,0,0,1,0,1,0,0,1");
    call(context, "setProgramConstantsFromMatrix",
         {Value::string("vertex"), Value::number(0), matrix, Value::boolean(true)});
    triangle({-1, 1, 0.5, 0, 1, 0.5, 0, -1, 0.5}, {0, 1, 0, 1});
    triangle({-1, 1, 0.5, 0, -1, 0.5, -1, -1, 0.5}, {0, 1, 0, 1});
    EXPECT_EQ(pixel(5, 20), "FF000000");
    EXPECT_EQ(pixel(20, 20), "FF00FF00");
    // Rotations turn x towards y; invert undoes them.
    const Value turned = make("flash.geom::Matrix3D");
    call(turned, "appendRotation",
         {Value::number(90),
          vm.getProperty(classNamed("flash.geom::Vector3D"), avm2::Name::publicName("Z_AXIS"))});
    const Value v =
        call(turned, "transformVector", {make("flash.geom::Vector3D", numbers({1, 0, 0}))});
    EXPECT_NEAR(vm.toNumber(vm.getProperty(v, avm2::Name::publicName("y"))), 1.0, 1e-12);
    EXPECT_EQ(text(call(turned, "invert")), "true");
    EXPECT_NEAR(vm.toNumber(vm.getProperty(turned, avm2::Name::publicName("determinant"))), 1.0,
                1e-12);
}

TEST_F(Display3DTest, ArgumentErrors) {
    const Value stage3D = make("flash.display::Stage3D");
    EXPECT_EQ(thrown([&] { call(stage3D, "requestContext3D", {Value::string("Auto")}); }),
              "ArgumentError #2008");
    EXPECT_EQ(thrown([&] {
                  call(stage3D, "requestContext3D", {Value::string("auto"), Value::string("x")});
              }),
              "ArgumentError #2008");
    EXPECT_EQ(thrown([&] {
                  call(context, "configureBackBuffer", numbers({31, 64, 0}));
              }),
              "Error #3780");
    EXPECT_EQ(thrown([&] {
                  call(context, "configureBackBuffer", numbers({64, 16385, 0}));
              }),
              "Error #3781");
    EXPECT_EQ(thrown([&] { call(context, "setCulling", {Value::string("Front")}); }),
              "ArgumentError #2008");
    EXPECT_EQ(thrown([&] {
                  call(context, "setBlendFactors", {Value::string("one"), Value::string("ONE")});
              }),
              "ArgumentError #2008");
    EXPECT_EQ(thrown([&] {
                  call(context, "createVertexBuffer", numbers({65536, 1}));
              }),
              "Error #3670");
    EXPECT_EQ(thrown([&] {
                  call(context, "createVertexBuffer", numbers({1, 65}));
              }),
              "Error #3670");
    EXPECT_EQ(thrown([&] { call(context, "createIndexBuffer", numbers({524288})); }),
              "Error #3670");
    EXPECT_EQ(thrown([&] {
                  call(context, "createTexture",
                       {Value::number(4096), Value::number(8192), Value::string("bgra"),
                        Value::boolean(false)});
              }),
              "Error #3683");
    const Value vb = call(context, "createVertexBuffer", numbers({2, 2}));
    EXPECT_EQ(thrown([&] {
                  call(
                      vb, "uploadFromVector",
                      {vectorOf(vm.numberClass, {1, 2, 3, 4}), Value::number(1), Value::number(2)});
              }),
              "RangeError #3669");
    EXPECT_EQ(thrown([&] {
                  call(vb, "uploadFromVector",
                       {vectorOf(vm.numberClass, {1, 2, 3}), Value::number(0), Value::number(2)});
              }),
              "RangeError #3669");
    // A null buffer unsets the stream whatever the format says.
    EXPECT_EQ(thrown([&] {
                  call(context, "setVertexBufferAt",
                       {Value::number(0), Value::null(), Value::number(0), Value::string("x")});
              }),
              "");
    const Value ib = call(context, "createIndexBuffer", numbers({3}));
    EXPECT_EQ(thrown([&] { call(context, "drawTriangles", {ib}); }), "Error #3600");
    const Value p = call(context, "createProgram");
    EXPECT_EQ(thrown([&] {
                  call(p, "upload", {bytes(program(true)), bytes({})});
              }),
              "ArgumentError #3615");
    EXPECT_EQ(thrown([&] {
                  call(p, "upload", {bytes(program(false)), bytes(program(false))});
              }),
              "Error #3672");
}

} // namespace
} // namespace avm2test
