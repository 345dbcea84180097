// flash.display.BitmapData by table: the sizes Flash refuses, how rectangles round to
// whole pixels, the byte array and vector transfers with their errors, and hit tests
// against each kind of second object.

#include "PlayerClassTest.h"

#include <cmath>

namespace {

using avm2::Args;
using avm2::Value;

const double kNaN = std::nan("");

class BitmapData : public avm2test::PlayerClassTest {
  protected:
    Value bitmap(double w, double h, bool transparent = true, double fill = 0) {
        return make(
            "flash.display::BitmapData",
            {Value::number(w), Value::number(h), Value::boolean(transparent), Value::number(fill)});
    }
    Value rect(double x, double y, double w, double h) {
        return make("flash.geom::Rectangle", numbers({x, y, w, h}));
    }
    Value point(double x, double y) { return make("flash.geom::Point", numbers({x, y})); }
    std::string pixel(const Value& b, int x, int y) {
        return text(call(b, "getPixel32", numbers({double(x), double(y)})));
    }
    // The bitmap's alpha values, one row a line, '.' for 0 and '#' otherwise.
    std::string picture(const Value& b) {
        std::string out;
        const int w = std::stoi(get(b, "width")), h = std::stoi(get(b, "height"));
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                out += pixel(b, x, y) == "0" ? '.' : '#';
            }
            out += '\n';
        }
        return out;
    }
};

TEST_F(BitmapData, SizesFlashRefusesThrowInvalidBitmapData) {
    struct Size {
        double w, h;
        const char* error;
    };
    const std::vector<Size> table = {
        {1, 1, ""},
        {10.9, 2, ""},
        {0, 1, "ArgumentError #2015"},
        {1, -5, "ArgumentError #2015"},
        {kNaN, 1, "ArgumentError #2015"},
        {8191, 2048, ""},
        {8192, 1, "ArgumentError #2015"},
        {4096, 4096, "ArgumentError #2015"}, // 2^24 pixels: one too many
    };
    for (const Size& s : table) {
        EXPECT_EQ(thrown([&] { bitmap(s.w, s.h); }), s.error) << s.w << "x" << s.h;
    }
    EXPECT_EQ(get(bitmap(10.9, 2), "width"), "10");
}

TEST_F(BitmapData, PixelsKeepAlphaAsTheBitmapAllows) {
    Value opaque = bitmap(2, 2, false, 0xFF000000);
    call(opaque, "setPixel32", numbers({0, 0, 0x80112233}));
    EXPECT_EQ(pixel(opaque, 0, 0), std::to_string(0xFF112233u));
    Value clear = bitmap(2, 2, true, 0x80FFFFFF);
    call(clear, "setPixel", numbers({1, 1, 0x123456}));
    EXPECT_EQ(text(call(clear, "getPixel", numbers({1, 1}))), std::to_string(0x123456));
    EXPECT_EQ(pixel(clear, 5, 5), "0"); // outside reads 0
    EXPECT_EQ(get(clear, "rect"), "(x=0, y=0, w=2, h=2)");
}

TEST_F(BitmapData, RectanglesRoundTheirEdgesHalfToEven) {
    struct Fill {
        std::vector<double> r;
        const char* picture;
    };
    const std::vector<Fill> table = {
        {{1.6, 1.6, 1.8, 2}, "....\n....\n..#.\n..#.\n"},
        {{0.1, 0, 1.8, 2.5}, "##..\n##..\n....\n....\n"},
        {{1.5, 0, 1, 1}, "....\n....\n....\n....\n"}, // 2 to 2: nothing
        {{-10, -10, 11, 11}, "#...\n....\n....\n....\n"},
        {{kNaN, 0, 1, 1}, "....\n....\n....\n....\n"},
    };
    for (const Fill& f : table) {
        Value b = bitmap(4, 4);
        call(b, "fillRect", {rect(f.r[0], f.r[1], f.r[2], f.r[3]), Value::number(0xFFFFFFFF)});
        EXPECT_EQ(picture(b), f.picture) << f.r[0] << "," << f.r[1];
    }
}

TEST_F(BitmapData, BytesAndVectorsCoverTheClippedRectangle) {
    Value b = bitmap(3, 3, true, 0xFF010203);
    Value bytes = call(b, "getPixels", {rect(-1, -1, 3, 3)});
    EXPECT_EQ(get(bytes, "length"), "16"); // 2 by 2 inside
    EXPECT_EQ(get(bytes, "position"), "16");
    EXPECT_EQ(get(call(b, "getVector", {rect(1, 1, 10, 10)}), "length"), "4");

    // Running out of bytes sets what was read, then throws.
    Value few = make("flash.utils::ByteArray");
    call(few, "writeUnsignedInt", numbers({0xFFFF0000}));
    set(few, "position", Value::number(0));
    EXPECT_EQ(thrown([&] { call(b, "setPixels", {rect(0, 0, 2, 1), few}); }), "EOFError #2030");
    EXPECT_EQ(pixel(b, 0, 0), std::to_string(0xFFFF0000u));

    Value shortVector = call(b, "getVector", {rect(0, 0, 1, 1)});
    EXPECT_EQ(thrown([&] {
                  call(b, "setVector", {rect(0, 0, 2, 2), shortVector});
              }),
              "RangeError #1125");
}

TEST_F(BitmapData, DisposedBitmapsRefuseEveryUse) {
    Value b = bitmap(2, 2);
    call(b, "dispose");
    for (const char* property : {"width", "height", "rect", "transparent"}) {
        EXPECT_EQ(thrown([&] { get(b, property); }), "ArgumentError #2015") << property;
    }
    EXPECT_EQ(thrown([&] { call(b, "getPixel", numbers({0, 0})); }), "ArgumentError #2015");
    EXPECT_EQ(thrown([&] {
                  call(bitmap(2, 2), "copyPixels", {b, rect(0, 0, 1, 1), point(0, 0)});
              }),
              "ArgumentError #2015");
}

TEST_F(BitmapData, HitTestsEachKindOfSecondObject) {
    // Alpha 0xA0 around one opaque pixel at 2, 2.
    Value b = bitmap(5, 5);
    call(b, "fillRect", {rect(1, 1, 3, 3), Value::number(0xA0FFFFFF)});
    call(b, "setPixel32", numbers({2, 2, 0xFFFFFFFF}));
    struct Hit {
        Value firstPoint;
        double threshold;
        Args second;
        const char* result;
    };
    const std::vector<Hit> table = {
        {point(0, 0), 0xFF, {point(2, 2)}, "true"},
        {point(0, 0), 0xFF, {point(1, 2)}, "false"},
        {point(2, 2), 0xA0, {point(3, 3)}, "true"},
        {point(0, 0), 0xFF, {rect(0, 0, 2, 2)}, "false"},
        {point(0, 0), 0xFF, {rect(0, 0, 3, 3)}, "true"},
        {point(1, 1), 0xFF, {rect(3, 3, 1, 1)}, "true"},
        {point(0, 0), 0xFF, {b, point(0, 0), Value::number(0xFF)}, "true"},
        {point(1, 1), 0xFF, {b, point(3, 3), Value::number(0xA0)}, "false"},
        {point(2, 1), 0xA0, {b, point(1, 3), Value::number(0xA0)}, "true"},
        // A transparent pixel is no hit against a point, even at threshold 0; against a
        // bitmap it is.
        {point(0, 0), 0, {point(0, 0)}, "false"},
        {point(0, 0), 0, {bitmap(1, 1), point(0, 0), Value::number(0)}, "true"},
    };
    for (std::size_t i = 0; i < table.size(); ++i) {
        Args args{table[i].firstPoint, Value::number(table[i].threshold)};
        args.insert(args.end(), table[i].second.begin(), table[i].second.end());
        EXPECT_EQ(text(call(b, "hitTest", args)), table[i].result) << "row " << i;
    }
    EXPECT_EQ(thrown([&] {
                  call(b, "hitTest", {point(0, 0), Value::number(0), b, Value::null()});
              }),
              "TypeError #2007");
    EXPECT_EQ(thrown([&] {
                  call(b, "hitTest", {point(0, 0), Value::number(0), Value::null()});
              }),
              "ArgumentError #2005");
    EXPECT_EQ(thrown([&] {
                  call(b, "hitTest", {point(0, 0), Value::number(0), make("Object")});
              }),
              "ArgumentError #2005");
}

TEST_F(BitmapData, TransfersRefuseMissingArguments) {
    Value b = bitmap(4, 4);
    const std::vector<std::pair<Args, const char*>> table = {
        {{b, rect(0, 0, 1, 1), point(0, 0), Value::number(0), Value::number(1)}, ""},
        {{Value::null(), rect(0, 0, 1, 1), point(0, 0)}, "TypeError #2007"},
        {{make("flash.geom::Point"), rect(0, 0, 1, 1), point(0, 0)}, "TypeError #2007"},
        {{b, Value::null(), point(0, 0)}, "TypeError #2007"},
        {{b, rect(0, 0, 1, 1), Value()}, "TypeError #2007"},
        {{b, rect(0, 0, 1, 1), point(0, 0), Value::number(0), Value::number(-1)},
         "RangeError #2027"},
    };
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(thrown([&] { call(b, "pixelDissolve", table[i].first); }), table[i].second)
            << "row " << i;
    }
    EXPECT_EQ(thrown([&] {
                  call(b, "copyPixels", {Value::null(), rect(0, 0, 1, 1), point(0, 0)});
              }),
              "TypeError #2007");
}

TEST_F(BitmapData, MissingObjectsAreNamedAndBadKindsNumberedZero) {
    Value b = bitmap(4, 4);
    const Value none = Value::null();
    struct Case {
        const char* method;
        Args args;
        const char* error;
    };
    const std::vector<Case> table = {
        {"fillRect", {none, Value::number(0)}, "Parameter rect must be non-null."},
        {"getPixels", {none}, "Parameter rect must be non-null."},
        {"getVector", {Value()}, "Parameter rect must be non-null."},
        {"colorTransform",
         {none, make("flash.geom::ColorTransform")},
         "Parameter rect must be non-null."},
        {"colorTransform", {rect(0, 0, 1, 1), none}, "Parameter colorTransform must be non-null."},
        {"compare", {none}, "Parameter otherBitmapData must be non-null."},
        {"copyChannel", {b, none, point(0, 0)}, "Parameter sourceRect must be non-null."},
        {"merge", {b, rect(0, 0, 1, 1), none}, "Parameter destPoint must be non-null."},
        {"hitTest",
         {none, Value::number(0), point(0, 0)},
         "Parameter firstPoint must be non-null."},
        {"threshold",
         {b, rect(0, 0, 1, 1), point(0, 0), Value::string("~")},
         "Parameter 0 is of the incorrect type. Should be type Operation."},
        {"hitTest",
         {point(0, 0), Value::number(0), make("Object")},
         "Parameter 0 is of the incorrect type. Should be type BitmapData."},
    };
    for (const Case& c : table) {
        const std::string error = thrownText([&] { call(b, c.method, c.args); });
        EXPECT_NE(error.find(c.error), std::string::npos) << c.method << ": " << error;
    }
}

TEST_F(BitmapData, HistogramCountsEachChannelOfTheRectangle) {
    Value b = bitmap(3, 2, true, 0xFF102030);
    call(b, "setPixel32", numbers({0, 0, 0x00000000}));
    call(b, "setPixel32", numbers({2, 1, 0x80FF0000}));
    const auto count = [&](const Value& h, int channel, int value) {
        Value v = vm.getProperty(h, avm2::Name::publicName(std::to_string(channel)));
        return get(v, std::to_string(value));
    };
    Value all = call(b, "histogram");
    EXPECT_EQ(get(all, "length"), "4");
    EXPECT_NE(vm.className(all).find("Vector.<__AS3__.vec::Vector.<Number>>"), std::string::npos);
    EXPECT_EQ(count(all, 0, 0x10), "4"); // red
    EXPECT_EQ(count(all, 0, 0), "1");
    EXPECT_EQ(count(all, 0, 0xFF), "1");
    EXPECT_EQ(count(all, 1, 0x20), "4"); // green
    EXPECT_EQ(count(all, 2, 0x30), "4"); // blue
    EXPECT_EQ(count(all, 3, 0xFF), "4"); // alpha
    EXPECT_EQ(count(all, 3, 0x80), "1");
    EXPECT_EQ(get(vm.getProperty(all, avm2::Name::publicName("3")), "length"), "256");
    // Only the part of the rectangle inside the bitmap counts.
    Value part = call(b, "histogram", {rect(1, 1, 5, 5)});
    EXPECT_EQ(count(part, 3, 0xFF), "1");
    EXPECT_EQ(count(part, 3, 0x80), "1");
    EXPECT_EQ(count(part, 3, 0), "0");
}

TEST_F(BitmapData, CompareAnswersBySizeThenByPixels) {
    Value a = bitmap(2, 2, true, 0xFF000000);
    EXPECT_EQ(text(call(a, "compare", {bitmap(3, 2)})), "-3");
    EXPECT_EQ(text(call(a, "compare", {bitmap(2, 3)})), "-4");
    EXPECT_EQ(text(call(a, "compare", {bitmap(2, 2, true, 0xFF000000)})), "0");
    Value diff = call(a, "compare", {bitmap(2, 2, true, 0xFF000010)});
    EXPECT_EQ(pixel(diff, 1, 1), std::to_string(0xFF0000F0u)); // 0x00 - 0x10, wrapped
}

} // namespace

namespace {

class BitmapObject : public avm2test::PlayerClassTest {};

TEST_F(BitmapObject, KeepsTheSizeItsBitmapDataHadWhenGiven) {
    Value data = make("flash.display::BitmapData", numbers({5, 6}));
    Value before = make("flash.display::Bitmap", {data});
    EXPECT_EQ(get(before, "width") + "x" + get(before, "height"), "5x6");
    EXPECT_EQ(get(before, "pixelSnapping"), "auto");
    call(data, "dispose");
    EXPECT_EQ(get(before, "width"), "5");
    Value after = make("flash.display::Bitmap", {data});
    EXPECT_EQ(get(after, "width") + "x" + get(after, "height"), "0x0");
    set(before, "bitmapData", data);
    EXPECT_EQ(get(before, "height"), "0");
    set(before, "bitmapData", Value::null());
    EXPECT_EQ(get(before, "bitmapData"), "null");
    EXPECT_EQ(thrown([&] { set(before, "bitmapData", make("flash.geom::Point")); }),
              "TypeError #1034");
    EXPECT_EQ(thrown([&] { set(before, "pixelSnapping", Value::string("sometimes")); }),
              "ArgumentError #2008");
}

} // namespace
