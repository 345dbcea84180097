// MovieClip.transform and MovieClip.filters seen from scripts, and filter records turned
// into script fields and back.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <variant>

#include "FilterBinding.h"
#include "ScriptedMovie.h"

namespace mc {
namespace {

using avm1::Value;

struct RootClip {
    RootClip() : movie(emptyMovie()), vm(movie.scripts->machine()) {
        movie.frames(1);
        root = movie.scripts->host().level(0);
    }
    static std::vector<std::uint8_t> emptyMovie() {
        moviemaker::SwfWriter writer(version(8));
        writer.showFrame();
        return writer.finish();
    }
    avm1::Object* make(std::string_view cls, std::vector<Value> args) {
        avm1::Object* geom = vm.get(vm.get(vm.global(), "flash").asObject(), "geom").asObject();
        return vm.construct(vm.get(geom, cls), args);
    }
    avm1::Object* filterClass(std::string_view cls) {
        avm1::Object* pkg = vm.get(vm.get(vm.global(), "flash").asObject(), "filters").asObject();
        return vm.get(pkg, cls).asObject();
    }
    std::string text(const Value& v) { return vm.toString(v).str(); }
    DisplayObject& display() { return *movie.scripts->displayOf(root); }

    ScriptedMovie movie;
    avm1::Machine& vm;
    avm1::Object* root = nullptr;
};

TEST(TransformFilters, TransformReadsAndWritesOnlyWholeMatricesAndColourTransforms) {
    RootClip r;
    Value t = r.vm.get(r.root, "transform");
    ASSERT_TRUE(t.isObject());
    EXPECT_NE(t.asObject(), r.vm.get(r.root, "transform").asObject()); // a new view each time
    r.vm.set(
        t.asObject(), "matrix",
        Value(r.make("Matrix", {Value(2), Value(0), Value(0), Value(3), Value(10), Value(4)})));
    EXPECT_EQ(r.display().matrix.a, 2);
    EXPECT_EQ(r.display().matrix.tx, 200); // twips
    EXPECT_EQ(r.text(r.vm.get(r.root, "_x")), "10");
    // a plain object is not a matrix
    r.vm.set(t.asObject(), "matrix", Value(r.vm.newObject()));
    EXPECT_EQ(r.display().matrix.a, 2);

    r.vm.set(t.asObject(), "colorTransform",
             Value(r.make("ColorTransform", {Value(0.5), Value(1), Value(1), Value(1), Value(0),
                                             Value(40000), Value(0), Value(0)})));
    EXPECT_EQ(r.display().colorTransform.mult[0], 128);
    EXPECT_EQ(r.display().colorTransform.add[1], 40000 - 65536); // 16-bit, wrapped
    Value ct = r.vm.get(t.asObject(), "concatenatedColorTransform");
    EXPECT_EQ(r.text(r.vm.get(ct.asObject(), "redMultiplier")), "0.5");

    // without a clip there is no transform
    EXPECT_EQ(r.make("Transform", {}), nullptr);
}

TEST(TransformFilters, FiltersAreCopiesOnTheWayInAndOut) {
    RootClip r;
    avm1::Object* blur =
        r.vm.construct(Value(r.filterClass("BlurFilter")), std::vector<Value>{Value(8), Value(2)});
    avm1::Object* list = r.vm.newArray(std::vector<Value>{Value(blur), Value(r.vm.newObject())});
    r.vm.set(r.root, "filters", Value(list));
    ASSERT_EQ(r.display().filters.size(), 1u); // the plain object is skipped
    EXPECT_EQ(std::get<swf::BlurFilter>(r.display().filters[0]).blurX, 8);
    r.vm.set(blur, "blurX", Value(1)); // the clip keeps what it was given
    EXPECT_EQ(std::get<swf::BlurFilter>(r.display().filters[0]).blurX, 8);
    Value back = r.vm.get(r.root, "filters");
    Value first = r.vm.get(back.asObject(), "0");
    EXPECT_NE(first.asObject(), blur);
    EXPECT_EQ(r.text(r.vm.get(first.asObject(), "blurX")), "8");
    r.vm.set(r.root, "filters", Value());
    EXPECT_TRUE(r.display().filters.empty());
}

TEST(TransformFilters, RecordsSurviveTheTripThroughScriptFields) {
    swf::DropShadowFilter shadow;
    shadow.color = swf::Rgba{10, 20, 30, 128};
    shadow.angle = std::atan(1.0); // 45 degrees
    shadow.distance = 7;
    shadow.blurX = 3;
    shadow.compositeSource = false;
    shadow.passes = 2;
    avm1::FilterFields fields = filterFields(shadow);
    EXPECT_NEAR(fields.number("angle"), 45, 1e-9);
    EXPECT_TRUE(fields.flag("hideObject"));
    auto back = std::get<swf::DropShadowFilter>(*filterRecord(fields));
    EXPECT_EQ(back.color, shadow.color);
    EXPECT_NEAR(back.angle, shadow.angle, 1e-9);
    EXPECT_FALSE(back.compositeSource);
    EXPECT_EQ(back.passes, 2);

    swf::GradientBevelFilter bevel;
    bevel.stops = {{swf::Rgba{255, 0, 0, 255}, 0}, {swf::Rgba{0, 0, 255, 0}, 255}};
    bevel.onTop = true;
    auto bevelBack = std::get<swf::GradientBevelFilter>(*filterRecord(filterFields(bevel)));
    ASSERT_EQ(bevelBack.stops.size(), 2u);
    EXPECT_EQ(bevelBack.stops[1].color, bevel.stops[1].color);
    EXPECT_EQ(bevelBack.stops[1].ratio, 255);
    EXPECT_TRUE(bevelBack.onTop);

    // a displacement map has no record the renderer draws
    EXPECT_FALSE(filterRecord(avm1::defaultFilter(avm1::FilterKind::DisplacementMap)));
}

// Scripts may leave NaN, the infinities and huge numbers in a filter's fields; the record
// the renderer gets holds none of NaN, and its channels stay channels.
TEST(TransformFilters, RecordsOfHostileScriptFiltersHoldNoNaN) {
    RootClip r;
    const double nan = std::nan("");
    const double hostile[] = {nan,
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              1e300,
                              -1e300,
                              -1};
    auto noNaN = [](double v) { return !std::isnan(v); };
    for (double v : hostile) {
        std::vector<Value> args(12, Value(v));
        args[2] = Value(r.vm.newArray(std::vector<Value>{Value(v), Value(v)}));
        for (const char* cls :
             {"BlurFilter", "GlowFilter", "DropShadowFilter", "BevelFilter", "ConvolutionFilter",
              "ColorMatrixFilter", "GradientGlowFilter", "DisplacementMapFilter"}) {
            std::vector<Value> given = args;
            if (std::string_view(cls) == "ColorMatrixFilter") {
                given = {Value(r.vm.newArray(std::vector<Value>(20, Value(v))))};
            }
            const avm1::FilterFields* fields =
                avm1::filterFieldsOf(Value(r.vm.construct(Value(r.filterClass(cls)), given)));
            ASSERT_NE(fields, nullptr) << cls;
            const std::optional<swf::Filter> record = filterRecord(*fields);
            if (!record) {
                continue;
            }
            std::visit(
                [&](const auto& f) {
                    using F = std::decay_t<decltype(f)>;
                    if constexpr (std::is_same_v<F, swf::BlurFilter> ||
                                  std::is_same_v<F, swf::GlowFilter>) {
                        EXPECT_TRUE(noNaN(f.blurX) && noNaN(f.blurY)) << cls << " " << v;
                    } else if constexpr (std::is_same_v<F, swf::DropShadowFilter> ||
                                         std::is_same_v<F, swf::BevelFilter>) {
                        EXPECT_TRUE(noNaN(f.blurX) && noNaN(f.angle) && noNaN(f.distance) &&
                                    noNaN(f.strength))
                            << cls << " " << v;
                    } else if constexpr (std::is_same_v<F, swf::ConvolutionFilter>) {
                        EXPECT_TRUE(noNaN(f.divisor) && noNaN(f.bias)) << cls << " " << v;
                        for (float cell : f.matrix) {
                            EXPECT_FALSE(std::isnan(cell)) << cls << " " << v;
                        }
                    } else if constexpr (std::is_same_v<F, swf::ColorMatrixFilter>) {
                        for (float cell : f.matrix) {
                            EXPECT_FALSE(std::isnan(cell)) << cls << " " << v;
                        }
                    }
                },
                *record);
        }
    }
}

} // namespace
} // namespace mc
