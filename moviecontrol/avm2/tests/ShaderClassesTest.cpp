// flash.display.Shader and its family by table: the errors of bytecode Flash refuses, the
// kernel's parameters and inputs as ShaderData properties, and kernels run by ShaderJob into
// each kind of target and by a ShaderFilter in BitmapData.applyFilter.

#include "PlayerClassTest.h"
#include "avm2/ByteArrayData.h"
#include "shader/tests/PbjBytes.h"

namespace {

using avm2::Args;
using avm2::Value;
using shader::PbjType;
using shader::testing::PbjBytes;
using shader::testing::src;
namespace op = shader::op;

class ShaderClasses : public avm2test::PlayerClassTest {
  protected:
    Value bytes(const std::vector<std::uint8_t>& data) {
        Value b = make("flash.utils::ByteArray");
        avm2::byteArrayData(b)->data = data;
        return b;
    }
    Value bitmap(double w, double h, double fill) {
        return make("flash.display::BitmapData", {Value::number(w), Value::number(h),
                                                  Value::boolean(true), Value::number(fill)});
    }
    std::string pixel(const Value& b, int x, int y) {
        char out[16];
        std::snprintf(out, sizeof out, "%08X",
                      static_cast<unsigned>(
                          vm.toNumber(call(b, "getPixel32", numbers({double(x), double(y)})))));
        return out;
    }
    Value data(const Value& shaderObject) {
        return vm.getProperty(shaderObject, avm2::Name::publicName("data"));
    }
    Value member(const Value& target, const std::string& name) {
        return vm.getProperty(target, avm2::Name::publicName(name));
    }
};

// dst = the input's pixel at the coordinate, times `tint` (float4, default all 1); the
// kernel names itself "Tint" and has one kernel metadata entry.
std::vector<std::uint8_t> tintKernel() {
    PbjBytes b;
    b.version(1).name("Tint").metaString("vendor", "Us");
    b.param(false, PbjType::Float2, 0, 0xC, "_OutCoord");
    b.texture(0, 4, "src");
    b.param(false, PbjType::Float4, 1, 0xF, "tint");
    b.u8(op::ParameterMeta).u8(static_cast<unsigned>(PbjType::Float4)).text("defaultValue");
    b.beFloat(1).beFloat(1).beFloat(1).beFloat(1);
    b.metaFloat("minValue", 0);
    b.param(true, PbjType::Float4, 2, 0xF, "dst");
    b.sample(op::SampleNearest, 2, 0xF, src(0, {0, 1}), 0);
    b.op(op::Mul, 2, 0xF, src(1), 4);
    return b.bytes;
}

TEST_F(ShaderClasses, RefusedBytecodeThrowsFlashsErrors) {
    struct Case {
        std::vector<std::uint8_t> data;
        const char* error;
    };
    const std::vector<Case> table = {
        {{}, "ArgumentError #2004"},
        {{0x00}, "EOFError #2030"},
        {{op::Name}, "EOFError #2030"},
        {{op::Name, 4, 0, 'a'}, "EOFError #2030"},
        {{0x90, 0, 0, 0, 0, 0, 0, 0}, "ArgumentError #2004"},
        {{op::Name, 1, 0, 'a'}, ""},
    };
    for (const Case& c : table) {
        EXPECT_EQ(thrown([&] { make("flash.display::ShaderData", {bytes(c.data)}); }), c.error)
            << c.data.size();
    }
    EXPECT_EQ(thrown([&] { make("flash.display::ShaderData", {Value::null()}); }),
              "ArgumentError #2004");
}

TEST_F(ShaderClasses, DataShowsMetadataParametersAndInputs) {
    const Value s = make("flash.display::Shader", {bytes(tintKernel())});
    const Value d = data(s);
    EXPECT_EQ(get(d, "name"), "Tint");
    EXPECT_EQ(get(d, "vendor"), "Us");
    EXPECT_EQ(text(member(d, "_OutCoord")), "undefined"); // the coordinate is the player's
    EXPECT_EQ(text(member(d, "dst")), "undefined");       // and so is the output
    const Value tint = member(d, "tint");
    EXPECT_EQ(get(tint, "type"), "float4");
    EXPECT_EQ(get(tint, "index"), "0");
    EXPECT_EQ(get(tint, "value"), "1,1,1,1"); // starts at its default
    EXPECT_EQ(get(tint, "minValue"), "0");
    EXPECT_EQ(get(tint, "name"), "tint");
    const Value input = member(d, "src");
    EXPECT_EQ(get(input, "channels"), "4");
    EXPECT_EQ(get(input, "index"), "0");
    EXPECT_EQ(get(input, "input"), "null");
    EXPECT_EQ(get(s, "precisionHint"), "full");
    EXPECT_EQ(thrown([&] { set(s, "precisionHint", Value::string("slow")); }),
              "ArgumentError #2008");
}

TEST_F(ShaderClasses, JobRunsTheKernelIntoEachTarget) {
    const Value s = make("flash.display::Shader", {bytes(tintKernel())});
    const Value d = data(s);
    const Value image = bitmap(2, 1, 0xFFFF8000);
    call(image, "setPixel32", numbers({1, 0, 0xFF0000FF}));
    set(member(d, "src"), "input", image);
    set(member(d, "tint"), "value",
        Value::object(vm.newArray(
            {Value::number(0.5), Value::number(1), Value::number(1), Value::number(1)})));
    const auto start = [&](const Value& target, double w, double h) {
        return thrown([&] {
            call(make("flash.display::ShaderJob", {s, target, Value::number(w), Value::number(h)}),
                 "start", {Value::boolean(true)});
        });
    };
    // Into a bitmap: its size unless the job gives a smaller one.
    const Value out = bitmap(3, 1, 0);
    EXPECT_EQ(start(out, 0, 0), "");
    EXPECT_EQ(pixel(out, 0, 0), "FF808000");
    EXPECT_EQ(pixel(out, 1, 0), "FF0000FF");
    EXPECT_EQ(pixel(out, 2, 0), "00000000"); // past the input: transparent
    // Into a vector: four numbers a pixel.
    const Value vectorClass =
        vm.applyType(classNamed("__AS3__.vec::Vector"), {classNamed("Number")});
    Args none;
    const Value vector = vm.construct(vectorClass, none);
    EXPECT_EQ(start(vector, 1, 1), "");
    EXPECT_EQ(text(vector), "0.5,0.501960813999176,0,1");
    // Into a byte array: floats in its byte order.
    const Value byteArray = make("flash.utils::ByteArray");
    EXPECT_EQ(start(byteArray, 2, 1), "");
    EXPECT_EQ(get(byteArray, "length"), "32");
    EXPECT_EQ(text(call(byteArray, "readFloat")), "0.5");
    // Without a target the job has nothing to write to.
    EXPECT_EQ(start(Value::null(), 1, 1), "ArgumentError #2004");
    // A value holding anything but numbers is refused when the job starts.
    for (const Value& item : {Value::string("1"), Value::boolean(true), Value::null()}) {
        set(member(d, "tint"), "value", Value::object(vm.newArray({item})));
        EXPECT_EQ(start(bitmap(1, 1, 0), 0, 0), "ArgumentError #2004") << text(item);
    }
}

TEST_F(ShaderClasses, FilterRunsOverTheSourceGrownByItsExtensions) {
    const Value s = make("flash.display::Shader", {bytes(tintKernel())});
    const Value filter = make("flash.filters::ShaderFilter", {s});
    set(filter, "leftExtension", Value::number(1));
    const Value source = bitmap(2, 2, 0xFF00FF00);
    const Value target = bitmap(4, 2, 0xFFFFFFFF);
    call(target, "applyFilter",
         {source, make("flash.geom::Rectangle", numbers({1, 0, 1, 2})),
          make("flash.geom::Point", numbers({2, 0})), filter});
    // The extension's column sees nothing of the source; the source's column lands at x 2.
    EXPECT_EQ(pixel(target, 0, 0), "FFFFFFFF");
    EXPECT_EQ(pixel(target, 1, 0), "00000000");
    EXPECT_EQ(pixel(target, 2, 1), "FF00FF00");
    EXPECT_EQ(pixel(target, 3, 0), "FFFFFFFF");
    EXPECT_EQ(text(call(target, "generateFilterRect",
                        {make("flash.geom::Rectangle", numbers({0, 0, 2, 2})), filter})),
              "(x=-1, y=0, w=3, h=2)");
}

} // namespace
