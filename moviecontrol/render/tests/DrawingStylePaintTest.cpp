// The styles a script gives the drawing methods, as painted: a line's caps and joins, a line
// painted with a gradient, and a gradient box that is turned.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdint>
#include <numbers>
#include <string>
#include <variant>
#include <vector>

#include "RenderTestMovies.h"
#include "ScriptedRender.h"
#include "moviemaker/ActionWriter.h"
#include "moviemaker/SwfWriter.h"

namespace mc {
namespace {

using moviemaker::Actions;

// An argument of a script call: a number, a string, a boolean, an array of numbers or an
// object of named numbers and strings.
struct Field;
using Arg = std::variant<double, std::string, bool, std::vector<double>, std::vector<Field>>;
struct Field {
    std::string name;
    std::variant<double, std::string> value;
};

void pushArg(Actions& a, const Arg& arg) {
    if (const auto* n = std::get_if<double>(&arg)) {
        a.push(*n);
    } else if (const auto* s = std::get_if<std::string>(&arg)) {
        a.push(*s);
    } else if (const auto* b = std::get_if<bool>(&arg)) {
        a.pushBool(*b);
    } else if (const auto* list = std::get_if<std::vector<double>>(&arg)) {
        for (auto it = list->rbegin(); it != list->rend(); ++it) {
            a.push(*it);
        }
        a.pushInt(static_cast<std::int32_t>(list->size())).code(0x42); // InitArray
    } else {
        const auto& fields = std::get<std::vector<Field>>(arg);
        for (const Field& f : fields) {
            a.push(f.name);
            std::visit([&a](const auto& v) { a.push(v); }, f.value);
        }
        a.pushInt(static_cast<std::int32_t>(fields.size())).code(0x43); // InitObject
    }
}

// _root.method(args...), its result dropped.
Actions& call(Actions& a, std::string_view method, const std::vector<Arg>& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        pushArg(a, *it);
    }
    return a.pushInt(static_cast<std::int32_t>(args.size()))
        .push("_root")
        .code(0x1C)
        .push(method)
        .code(0x52)
        .code(0x17);
}

// The stage after the script has drawn on the root, 100 x 100 px on white.
QImage drawn(const Actions& script, std::uint8_t version = 8) {
    moviemaker::SwfWriter movie = whiteStage(100, 100, version);
    return playScript(movie, script, QSize(100, 100)).image;
}

bool dark(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).lightness() < 64;
}

bool white(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).lightness() > 240;
}

// A 20 px line across the middle, 20 to 80, with the given caps.
QImage capped(const std::vector<Arg>& lineStyle) {
    Actions a;
    call(a, "lineStyle", lineStyle);
    call(a, "moveTo", {20.0, 50.0});
    call(a, "lineTo", {80.0, 50.0});
    return drawn(a);
}

TEST(DrawingStylePaintTest, CapsFollowTheStyleNamedRoundWhenNotGiven) {
    const QImage round = capped({20.0, 0.0, 100.0});
    ASSERT_FALSE(round.isNull());
    EXPECT_TRUE(dark(round, 12, 50));
    EXPECT_TRUE(white(round, 12, 42)); // outside the half circle

    const QImage none =
        capped({20.0, 0.0, 100.0, false, std::string("normal"), std::string("none")});
    EXPECT_TRUE(white(none, 15, 50));
    EXPECT_TRUE(dark(none, 22, 50));

    const QImage square =
        capped({20.0, 0.0, 100.0, false, std::string("normal"), std::string("square")});
    EXPECT_TRUE(dark(square, 12, 50));
    EXPECT_TRUE(dark(square, 12, 42)); // the square's corner
}

// A 20 px right-angled corner, (20, 20) to (80, 20) to (80, 80), with the given join.
QImage cornered(const std::vector<Arg>& lineStyle) {
    Actions a;
    call(a, "lineStyle", lineStyle);
    call(a, "moveTo", {20.0, 20.0});
    call(a, "lineTo", {80.0, 20.0});
    call(a, "lineTo", {80.0, 80.0});
    return drawn(a);
}

TEST(DrawingStylePaintTest, JoinsFollowTheStyleNamed) {
    const std::string normal = "normal";
    const std::string none = "none";
    // The outer corner of the join at (88, 12): only a miter reaches it.
    const QImage round = cornered({20.0, 0.0, 100.0});
    ASSERT_FALSE(round.isNull());
    EXPECT_TRUE(white(round, 88, 12));
    const QImage miter = cornered({20.0, 0.0, 100.0, false, normal, none, std::string("miter")});
    EXPECT_TRUE(dark(miter, 88, 12));
    const QImage bevel = cornered({20.0, 0.0, 100.0, false, normal, none, std::string("bevel")});
    EXPECT_TRUE(white(bevel, 88, 12));
    EXPECT_TRUE(dark(bevel, 83, 17)); // inside the bevel's cut
}

TEST(DrawingStylePaintTest, LineGradientPaintsTheLineInForceOnly) {
    const std::vector<Arg> gradient = {std::string("linear"),
                                       std::vector<double>{0xFF0000, 0x0000FF},
                                       std::vector<double>{100, 100}, std::vector<double>{0, 255},
                                       std::vector<Field>{{"matrixType", std::string("box")},
                                                          {"x", 0.0},
                                                          {"y", 0.0},
                                                          {"w", 100.0},
                                                          {"h", 100.0},
                                                          {"r", 0.0}}};
    Actions a;
    call(a, "lineStyle", {10.0, double{0x00FF00}, 100.0});
    call(a, "lineGradientStyle", gradient);
    call(a, "moveTo", {0.0, 30.0});
    call(a, "lineTo", {100.0, 30.0});
    // A new line style ends the gradient.
    call(a, "lineStyle", {10.0, double{0x00FF00}, 100.0});
    call(a, "moveTo", {0.0, 70.0});
    call(a, "lineTo", {100.0, 70.0});
    const QImage image = drawn(a);
    ASSERT_FALSE(image.isNull());
    const QColor left = image.pixelColor(5, 30);
    const QColor right = image.pixelColor(95, 30);
    EXPECT_GT(left.red(), 200);
    EXPECT_LT(left.blue(), 60);
    EXPECT_GT(right.blue(), 200);
    EXPECT_LT(right.red(), 60);
    EXPECT_LT(left.green(), 30);
    EXPECT_EQ(image.pixelColor(50, 70), QColor(0, 255, 0));

    // Without a line in force it changes nothing.
    Actions alone;
    call(alone, "lineGradientStyle", gradient);
    call(alone, "moveTo", {0.0, 30.0});
    call(alone, "lineTo", {100.0, 30.0});
    EXPECT_TRUE(white(drawn(alone), 50, 30));
}

TEST(DrawingStylePaintTest, TurnedGradientBoxScalesEachRowByItsOwnSide) {
    // A box 100 wide and 50 high turned a quarter: the gradient runs down the first 50 px,
    // the box's height, as Matrix.createGradientBox lays it out.
    Actions a;
    call(a, "beginGradientFill",
         {std::string("linear"), std::vector<double>{0xFF0000, 0x0000FF},
          std::vector<double>{100, 100}, std::vector<double>{0, 255},
          std::vector<Field>{{"matrixType", std::string("box")},
                             {"x", 0.0},
                             {"y", 0.0},
                             {"w", 100.0},
                             {"h", 50.0},
                             {"r", std::numbers::pi / 2}}});
    call(a, "moveTo", {0.0, 0.0});
    call(a, "lineTo", {100.0, 0.0});
    call(a, "lineTo", {100.0, 100.0});
    call(a, "lineTo", {0.0, 100.0});
    call(a, "endFill", {});
    const QImage image = drawn(a);
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.pixelColor(50, 5).red(), 215);
    EXPECT_LT(image.pixelColor(50, 55).red(), 10);
    // Turned, it changes down the picture, not across it.
    EXPECT_EQ(image.pixelColor(10, 20), image.pixelColor(90, 20));
}

// A 100 x 100 square filled with the gradient the arguments describe, after a red fill.
QImage gradientSquare(const std::vector<Arg>& args, std::uint8_t version = 8) {
    Actions a;
    call(a, "beginFill", {double{0xFF0000}});
    call(a, "beginGradientFill", args);
    call(a, "moveTo", {0.0, 0.0});
    call(a, "lineTo", {100.0, 0.0});
    call(a, "lineTo", {100.0, 100.0});
    call(a, "lineTo", {0.0, 100.0});
    call(a, "endFill", {});
    return drawn(a, version);
}

TEST(DrawingStylePaintTest, GradientArgumentsThatDoNotAgreeMakeNoGradientAndNoTypeEndsTheFill) {
    const Arg box = std::vector<Field>{{"matrixType", std::string("box")},
                                       {"x", 0.0},
                                       {"y", 0.0},
                                       {"w", 100.0},
                                       {"h", 100.0},
                                       {"r", 0.0}};
    const Arg colors = std::vector<double>{0x0000FF, 0x00FF00};
    const Arg alphas = std::vector<double>{100, 100};
    const std::string linear = "linear";
    const auto blueLeft = [](const QImage& image) {
        return image.pixelColor(2, 50).blue() > 200 && image.pixelColor(97, 50).green() > 200;
    };
    const auto red = [](const QImage& image) { return image.pixelColor(50, 50) == Qt::red; };

    // A ratio's fraction is dropped: just above -1 is 0.
    EXPECT_TRUE(
        blueLeft(gradientSquare({linear, colors, alphas, std::vector<double>{-0.5, 255}, box})));
    // Arrays of other lengths, or a ratio out of range, make no gradient.
    EXPECT_TRUE(red(gradientSquare(
        {linear, colors, std::vector<double>{100}, std::vector<double>{0, 255}, box})));
    EXPECT_TRUE(red(gradientSquare({linear, colors, alphas, std::vector<double>{0, 256}, box})));
    EXPECT_TRUE(red(gradientSquare({linear, colors, alphas, std::vector<double>{-1, 255}, box})));
    // Before version 8 the call takes five arguments; a sixth makes it do nothing.
    const Arg ratios = std::vector<double>{0, 255};
    EXPECT_TRUE(blueLeft(gradientSquare({linear, colors, alphas, ratios, box}, 7)));
    EXPECT_TRUE(red(gradientSquare({linear, colors, alphas, ratios, box, std::string("pad")}, 7)));
    EXPECT_TRUE(
        blueLeft(gradientSquare({linear, colors, alphas, ratios, box, std::string("pad")})));
    // No type at all ends the fill.
    EXPECT_TRUE(white(gradientSquare({}), 50, 50));
}

} // namespace
} // namespace mc

namespace mc {
namespace {

// The older 3x3 matrix {a..i} and flash.geom.Matrix's fields, each laying the same red to blue
// gradient exactly over the square: the 3x3 form in pixels, a pixels wide, centred on (g, h);
// Matrix's in the 1638.4 px gradient square's units, centred on (tx, ty).
TEST(DrawingStylePaintTest, GradientMatrixFormsPlaceTheGradientSquare) {
    const Arg colors = std::vector<double>{0xFF0000, 0x0000FF};
    const Arg alphas = std::vector<double>{100, 100};
    const Arg ratios = std::vector<double>{0, 255};
    const std::string linear = "linear";
    const auto nine = [](double a, double b, double d, double e) {
        return std::vector<Field>{{"a", a},   {"b", b},    {"c", 0.0},  {"d", d},  {"e", e},
                                  {"f", 0.0}, {"g", 50.0}, {"h", 50.0}, {"i", 1.0}};
    };
    const double unit = 100.0 / 1638.4;
    struct Row {
        const char* what;
        std::vector<Field> matrix;
        bool acrossNotDown;
    };
    const Row rows[] = {
        {"3x3 across", nine(100, 0, 0, 100), true},
        {"3x3 turned down", nine(0, 100, -100, 0), false},
        {"Matrix across",
         {{"a", unit}, {"b", 0.0}, {"c", 0.0}, {"d", unit}, {"tx", 50.0}, {"ty", 50.0}},
         true},
        {"Matrix turned down",
         {{"a", 0.0}, {"b", unit}, {"c", -unit}, {"d", 0.0}, {"tx", 50.0}, {"ty", 50.0}},
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const QImage image = gradientSquare({linear, colors, alphas, ratios, row.matrix});
        ASSERT_FALSE(image.isNull());
        const QColor start = row.acrossNotDown ? image.pixelColor(1, 50) : image.pixelColor(50, 1);
        const QColor end = row.acrossNotDown ? image.pixelColor(98, 50) : image.pixelColor(50, 98);
        const QColor middle = image.pixelColor(50, 50);
        EXPECT_GT(start.red(), 240);
        EXPECT_GT(end.blue(), 240);
        EXPECT_NEAR(middle.red(), 128, 8);
        EXPECT_NEAR(middle.blue(), 128, 8);
        const QColor aside = row.acrossNotDown ? image.pixelColor(50, 5) : image.pixelColor(5, 50);
        EXPECT_EQ(aside, middle);
    }
}

TEST(DrawingStylePaintTest, AThreeByThreeMatrixLackingAnyEntryMakesNoGradient) {
    const Arg colors = std::vector<double>{0x0000FF, 0x00FF00};
    const Arg alphas = std::vector<double>{100, 100};
    const Arg ratios = std::vector<double>{0, 255};
    const std::vector<Field> full{{"a", 100.0}, {"b", 0.0},  {"c", 0.0},  {"d", 0.0}, {"e", 100.0},
                                  {"f", 0.0},   {"g", 50.0}, {"h", 50.0}, {"i", 1.0}};
    const auto isRed = [](const QImage& image) { return image.pixelColor(50, 50) == Qt::red; };
    EXPECT_FALSE(isRed(gradientSquare({std::string("linear"), colors, alphas, ratios, full})));
    for (std::size_t missing = 0; missing < full.size(); ++missing) {
        SCOPED_TRACE(full[missing].name);
        std::vector<Field> lacking = full;
        lacking.erase(lacking.begin() + static_cast<std::ptrdiff_t>(missing));
        // The fill begun before stays.
        EXPECT_TRUE(
            isRed(gradientSquare({std::string("radial"), colors, alphas, ratios, lacking})));
    }
}

} // namespace
} // namespace mc
