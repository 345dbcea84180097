// The filter classes' fields read back as the player's filter records keep them: alphas as a
// byte, strengths in fixed 8.8, angles within a turn through radians, divisors and scales as
// single floats, gradients as many stops as their shortest list; blurs are clamped and keep
// NaN. Every row holds in every version that has the filters.

#include "FakeStage.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace avm1test {
namespace {

using avm1::Object;
using avm1::Str;
using avm1::Value;

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

class FilterRules : public ::testing::TestWithParam<int> {
  protected:
    FilterRules() : stage(GetParam()), vm(stage.vm) {}
    Value make(std::string_view name, const std::vector<Value>& args) {
        Object* filters = vm.get(vm.get(vm.global(), "flash").asObject(), "filters").asObject();
        return Value(vm.construct(vm.get(filters, name), args));
    }
    std::string field(const Value& filter, std::string_view name) {
        return vm.toString(vm.get(filter.asObject(), name)).str();
    }
    Value list(const std::vector<Value>& values) { return Value(vm.newArray(values)); }

    FakeStage stage;
    avm1::Machine& vm;
};

TEST_P(FilterRules, ConstructedFieldsReadBackAsKept) {
    const Value u;
    const struct {
        const char* filter;
        std::vector<Value> args;
        const char* field;
        const char* expected;
    } rows[] = {
        // Alphas: a truncated byte.
        {"GlowFilter", {Value(0), Value(0.5)}, "alpha", "0.498039215686275"},
        {"GlowFilter", {Value(0), Value(0.2)}, "alpha", "0.2"},
        {"GlowFilter", {Value(0), Value(0.999)}, "alpha", "0.996078431372549"},
        {"GlowFilter", {Value(0), Value(1.5)}, "alpha", "1"},
        {"GlowFilter", {Value(0), Value(-1)}, "alpha", "0"},
        {"GlowFilter", {Value(0), Value(NaN)}, "alpha", "0"},
        {"GlowFilter", {Value(0), Value(Str("0.7"))}, "alpha", "0.698039215686275"},
        {"BevelFilter",
         {Value(4), Value(45), Value(0), Value(0.5)},
         "highlightAlpha",
         "0.498039215686275"},
        {"ConvolutionFilter",
         {Value(1), Value(1), u, Value(1), Value(0), Value(true), Value(true), Value(0),
          Value(0.5)},
         "alpha",
         "0.498039215686275"},
        // Strength: fixed 8.8 from 0 to 255.
        {"GlowFilter",
         {Value(0), Value(1), Value(4), Value(4), Value(0.2)},
         "strength",
         "0.19921875"},
        {"GlowFilter", {Value(0), Value(1), Value(4), Value(4), Value(300)}, "strength", "255"},
        {"GlowFilter", {Value(0), Value(1), Value(4), Value(4), Value(NaN)}, "strength", "0"},
        {"GlowFilter", {Value(0), Value(1), Value(4), Value(4), Value(-1)}, "strength", "0"},
        // Blurs: clamped, NaN stays.
        {"BlurFilter", {Value(NaN)}, "blurX", "NaN"},
        {"BlurFilter", {u}, "blurX", "NaN"},
        {"BlurFilter", {Value(-1)}, "blurX", "0"},
        {"BlurFilter", {Value(Inf)}, "blurX", "255"},
        {"BlurFilter", {Value(0.2)}, "blurX", "0.2"},
        // Angles: the default is 45 degrees as radians to nine places; a turn is taken off.
        {"DropShadowFilter", {}, "angle", "44.9999999772279"},
        {"BevelFilter", {}, "angle", "44.9999999772279"},
        {"GradientGlowFilter", {}, "angle", "44.9999999772279"},
        {"DropShadowFilter", {Value(4), Value(1000)}, "angle", "280"},
        {"DropShadowFilter", {Value(4), Value(-400)}, "angle", "-40"},
        {"DropShadowFilter", {Value(4), Value(1e21)}, "angle", "280"},
        {"DropShadowFilter", {Value(4), Value(Inf)}, "angle", "NaN"},
        {"DropShadowFilter", {Value(4), Value(0.5)}, "angle", "0.5"},
        {"DropShadowFilter", {Value(NaN)}, "distance", "NaN"},
        // Single floats.
        {"ConvolutionFilter", {Value(3), Value(1), u, Value(0.2)}, "divisor", "0.200000002980232"},
        {"ConvolutionFilter",
         {Value(3), Value(1), u, Value(1), Value(0.7)},
         "bias",
         "0.699999988079071"},
        {"ConvolutionFilter", {Value(3), Value(1), u, Value(1e300)}, "divisor", "Infinity"},
        {"DisplacementMapFilter",
         {u, u, Value(1), Value(1), Value(0.2)},
         "scaleX",
         "0.200000002980232"},
        // Convolution matrices: as given, with a zero for every missing cell.
        {"ConvolutionFilter", {}, "matrixX", "0"},
        {"ConvolutionFilter", {}, "matrix", ""},
        {"ConvolutionFilter", {Value(2), Value(2)}, "matrix", "0,0,0,0"},
        {"ConvolutionFilter", {Value(true), Value(1)}, "matrix", "0"},
        {"ConvolutionFilter", {Value(20), Value(2)}, "matrixX", "15"},
        // Displacement maps: a point at the origin, no bitmap, channels unclamped.
        {"DisplacementMapFilter", {}, "mapPoint", "(x=0, y=0)"},
        {"DisplacementMapFilter", {}, "mapBitmap", "undefined"},
        {"DisplacementMapFilter", {u, u, Value(-1), Value(9)}, "componentX", "-1"},
        {"DisplacementMapFilter", {u, u, Value(-1), Value(9)}, "componentY", "9"},
        // Bevel types: what is no known type is "full".
        {"BevelFilter",
         {Value(4), Value(45), Value(0), Value(1), Value(0), Value(1), Value(4), Value(4), Value(1),
          Value(1), Value(Str("bad"))},
         "type",
         "full"},
        {"BevelFilter",
         {Value(4), Value(45), Value(0), Value(1), Value(0), Value(1), Value(4), Value(4), Value(1),
          Value(1), Value(Str("outer"))},
         "type",
         "outer"},
        // Colour matrices: nothing keeps the identity; else twenty entries, NaN where missing.
        {"ColorMatrixFilter", {u}, "matrix", "1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0"},
        {"ColorMatrixFilter", {Value()}, "matrix", "1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0"},
        {"ColorMatrixFilter",
         {Value(true)},
         "matrix",
         "NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN"},
    };
    for (const auto& row : rows) {
        Value filter = make(row.filter, row.args);
        EXPECT_EQ(field(filter, row.field), row.expected)
            << row.filter << "." << row.field << " after " << row.args.size() << " arguments";
    }
}

TEST_P(FilterRules, GradientsKeepAsManyStopsAsTheirShortestList) {
    Value g = make("GradientGlowFilter", {Value(4), Value(45), list({Value(0), Value(1), Value(2)}),
                                          list({Value(1)}), list({Value(0)})});
    EXPECT_EQ(field(g, "colors"), "0");
    EXPECT_EQ(field(g, "alphas"), "1");
    EXPECT_EQ(field(g, "ratios"), "0");

    // Alphas round to their byte (NaN is opaque), ratios truncate into 0..255, colours lose
    // what lies above 24 bits.
    Value stops = make("GradientBevelFilter",
                       {Value(4), Value(45), list({Value(-1), Value(1.5), Value(0x1FFFFFF)}),
                        list({Value(0.5), Value(NaN), Value(0.999)}),
                        list({Value(1.5), Value(300), Value(-1)})});
    EXPECT_EQ(field(stops, "colors"), "16777215,1,16777215");
    EXPECT_EQ(field(stops, "alphas"), "0.501960784313725,1,1");
    EXPECT_EQ(field(stops, "ratios"), "1,255,0");
}

TEST_P(FilterRules, SettersKeepTheSameRules) {
    Value g = make("GlowFilter", {});
    const struct {
        const char* field;
        Value value;
        const char* expected;
    } rows[] = {
        {"blurX", Value(NaN), "NaN"},     {"blurX", Value(), "NaN"},
        {"alpha", Value(), "0"},          {"strength", Value(NaN), "0"},
        {"strength", Value(300), "255"},  {"strength", Value(-1), "0"},
        {"quality", Value(NaN), "0"},     {"quality", Value(20), "15"},
        {"color", Value(-1), "16777215"},
    };
    for (const auto& row : rows) {
        vm.set(g.asObject(), row.field, row.value);
        EXPECT_EQ(field(g, row.field), row.expected) << row.field;
    }

    Value d = make("DropShadowFilter", {});
    vm.set(d.asObject(), "angle", Value(400));
    EXPECT_EQ(field(d, "angle"), "40");
    vm.set(d.asObject(), "angle", Value());
    EXPECT_EQ(field(d, "angle"), "NaN");

    Value cm = make("ColorMatrixFilter", {});
    vm.set(cm.asObject(), "matrix", list({Value(5)}));
    EXPECT_EQ(field(cm, "matrix"),
              "5,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN,NaN");
    vm.set(cm.asObject(), "matrix", Value(Str("abc")));
    EXPECT_EQ(field(cm, "matrix").substr(0, 8), "NaN,NaN,");

    // A convolution grows its matrix when it gains rows, never shrinks it.
    Value conv = make("ConvolutionFilter", {Value(1), Value(1), list({Value(7), Value(8)})});
    EXPECT_EQ(field(conv, "matrix"), "7,8");
    vm.set(conv.asObject(), "matrixY", Value(3));
    EXPECT_EQ(field(conv, "matrix"), "7,8,0");

    // A copy keeps the kept values, not the given ones.
    Value copy = vm.callMethod(g.asObject(), "clone", {});
    EXPECT_EQ(field(copy, "blurX"), "NaN");
    EXPECT_EQ(field(copy, "strength"), "0");
}

INSTANTIATE_TEST_SUITE_P(Versions, FilterRules, ::testing::Values(8, 9, 10));

} // namespace
} // namespace avm1test
