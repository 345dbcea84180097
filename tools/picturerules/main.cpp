// picturerules FOLDER: writes one small movie per rule of the picture model (shapes, styles,
// lines, morphs, placement, filters, blend modes, bitmaps), to compare the renderer with
// another player picture by picture.

#include "BlendTables.h"
#include "CurveTables.h"
#include "FilterBytes.h"
#include "LookTables.h"
#include "PixelTables.h"
#include "ScriptCalls.h"
#include "ScriptedTables.h"
#include "TextTables.h"
#include "moviemaker/JpegBitmap.h"
#include "moviemaker/SwfWriter.h"

#include <QBuffer>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

using namespace moviemaker;
namespace fs = std::filesystem;

namespace {

struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
};

std::vector<Case> gCases;

SwfWriter newMovie(uint8_t version = 10) {
    MovieHeader h;
    h.version = version;
    h.frameSize = Rect::pixels(200, 150);
    SwfWriter m(h);
    m.setBackgroundColor({255, 255, 255});
    return m;
}

void add(const std::string& name, SwfWriter& m) {
    m.showFrame();
    gCases.push_back({name, m.finish()});
}

Gradient grad(std::vector<GradientStop> stops, SpreadMode spread = SpreadMode::Pad,
              InterpolationMode mode = InterpolationMode::Normal) {
    Gradient g;
    g.spread = spread;
    g.interpolation = mode;
    g.stops = std::move(stops);
    return g;
}

const Rgba kRed{255, 0, 0, 255};
const Rgba kGreen{0, 160, 0, 255};
const Rgba kBlue{0, 0, 255, 255};
const Rgba kYellow{255, 220, 0, 255};
Rgba kBlack() {
    return Rgba{0, 0, 0, 255};
}

// A rectangle filled with one style, as the given shape version.
void fillCase(const std::string& name, const FillStyle& style, int version = 3,
              uint8_t swfVersion = 10) {
    SwfWriter m = newMovie(swfVersion);
    Shape s;
    s.fill1(s.addFill(style)).rectangle(400, 300, 3200, 2400);
    m.place(m.defineShape(s, version), 1);
    add(name, m);
}

void gradients() {
    const auto two = std::vector<GradientStop>{{0, kRed}, {255, kBlue}};
    const Matrix box = gradientBox(400, 300, 3200, 2400);
    const Matrix small = gradientBox(1600, 1200, 800, 600);
    const char* spreads[] = {"pad", "reflect", "repeat"};
    for (int sp = 0; sp < 3; ++sp) {
        const auto mode = static_cast<SpreadMode>(sp);
        for (int lin = 0; lin < 2; ++lin) {
            const auto interp = lin ? InterpolationMode::LinearRgb : InterpolationMode::Normal;
            const std::string suffix = std::string(spreads[sp]) + (lin ? "-linearrgb" : "");
            fillCase("grad-linear-" + suffix,
                     FillStyle::linear(
                         small, grad({{0, kRed}, {128, kYellow}, {255, kBlue}}, mode, interp)),
                     4);
            fillCase("grad-radial-" + suffix, FillStyle::radial(small, grad(two, mode, interp)), 4);
            fillCase("grad-focal-" + suffix, FillStyle::focal(small, grad(two, mode, interp), 0.75),
                     4);
        }
    }
    fillCase("grad-linear-full", FillStyle::linear(box, grad(two)), 3);
    fillCase("grad-linear-v1", FillStyle::linear(box, grad(two)), 1);
    fillCase("grad-rotated", FillStyle::linear(gradientBox(400, 300, 3200, 2400, 0.6), grad(two)));
    fillCase("grad-radial-full", FillStyle::radial(box, grad(two)));
    fillCase("grad-focal-neg", FillStyle::focal(box, grad(two), -0.9), 4);
    fillCase("grad-focal-one", FillStyle::focal(box, grad(two), 1.0), 4);
    fillCase("grad-one-stop", FillStyle::linear(box, grad({{100, kGreen}})));
    std::vector<GradientStop> fifteen;
    fifteen.reserve(15);
    for (int i = 0; i < 15; ++i) {
        fifteen.push_back({static_cast<uint8_t>(i * 18),
                           Rgba{static_cast<uint8_t>(i * 17), static_cast<uint8_t>(255 - i * 17),
                                static_cast<uint8_t>((i % 2) * 255), 255}});
    }
    fillCase("grad-fifteen", FillStyle::linear(box, grad(fifteen)), 4);
    // The older shape tags document at most 8 records; the count's 4 bits carry up to 15.
    for (int version : {1, 2, 3}) {
        fillCase("grad-fifteen-v" + std::to_string(version), FillStyle::linear(box, grad(fifteen)),
                 version);
    }
    fillCase("grad-unsorted",
             FillStyle::linear(box, grad({{200, kRed}, {50, kBlue}, {128, kGreen}})));
    fillCase(
        "grad-repeated-ratio",
        FillStyle::linear(box, grad({{0, kRed}, {128, kYellow}, {128, kBlue}, {255, kGreen}})));
    fillCase("grad-inner-ratios", FillStyle::linear(box, grad({{80, kRed}, {170, kBlue}})));
    fillCase("grad-translucent",
             FillStyle::linear(box, grad({{0, Rgba{255, 0, 0, 255}}, {255, Rgba{0, 0, 255, 0}}})));
    Matrix zero = box;
    zero.scaleX = 0;
    zero.scaleY = 0;
    fillCase("grad-degenerate-zero", FillStyle::linear(zero, grad(two)));
    Matrix flat = box;
    flat.scaleY = 0;
    fillCase("grad-degenerate-flat", FillStyle::radial(flat, grad(two)));
    fillCase("grad-huge",
             FillStyle::radial(Matrix::scale(500, 500, 2000, 1500), grad(two, SpreadMode::Repeat)));
    fillCase("grad-tiny", FillStyle::linear(Matrix::scale(0.001, 0.001, 2000, 1500),
                                            grad(two, SpreadMode::Repeat)));
    fillCase("grad-tiny-pad",
             FillStyle::linear(Matrix::scale(0.001, 0.001, 2000, 1500), grad(two)));
    // Repeated ratios in a radial fill, and the focal point at, past and far past the rim.
    const std::vector<GradientStop> stepped{{0, kRed},     {100, kYellow}, {100, kBlue},
                                            {100, kGreen}, {200, kRed},    {255, kBlue}};
    for (int sp = 0; sp < 3; ++sp) {
        const auto mode = static_cast<SpreadMode>(sp);
        fillCase(std::string("grad-radial-repeated-") + spreads[sp],
                 FillStyle::radial(small, grad(stepped, mode)), 4);
        for (double focal : {-1.0, 1.5, 3.0}) {
            fillCase("grad-focal-" + std::to_string(static_cast<int>(focal * 10)) + "-" +
                         spreads[sp],
                     FillStyle::focal(small, grad(two, mode), focal), 4);
        }
    }
    // Matrices that cannot be inverted: every unit square flattened onto one diagonal line.
    Matrix turned = box;
    turned.scaleY = box.scaleX;
    turned.rotateSkew0 = box.scaleX;
    turned.rotateSkew1 = box.scaleX;
    fillCase("grad-singular-turned", FillStyle::linear(turned, grad(two)));
    fillCase("grad-singular-radial", FillStyle::radial(turned, grad(two, SpreadMode::Repeat)));
    fillCase("grad-singular-focal", FillStyle::focal(zero, grad(stepped), 0.5), 4);
}

RawImage checker(uint16_t w, uint16_t h, bool alpha) {
    RawImage img;
    img.width = w;
    img.height = h;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool on = ((x + y) % 2) == 0;
            Rgba c = on ? Rgba{220, 30, 30, 255} : Rgba{30, 30, 200, 255};
            if (x == 0) {
                c = Rgba{0, 200, 0, 255};
            }
            if (alpha && y == h - 1) {
                c.a = 128;
            }
            if (alpha && y == 0) {
                c.a = 0;
            }
            img.pixels.push_back(c);
        }
    }
    return img;
}

void bitmapFills() {
    struct Variant {
        const char* name{};
        Matrix matrix;
    };
    const Variant variants[] = {
        {"scale1", Matrix::scale(20, 20, 1000, 800)},
        {"scale10", Matrix::scale(200, 200, 1000, 800)},
        {"frac", Matrix::scale(27.3, 31.7, 1013, 807)},
        {"rotated", Matrix::scaleRotate(150, 0.4, 1500, 500)},
        {"huge", Matrix::scale(4000, 4000, -9000, -9000)},
        {"shrunk", Matrix::scale(2, 2, 1000, 800)},
    };
    for (uint8_t swf : {uint8_t{7}, uint8_t{10}}) {
        for (const auto& v : variants) {
            for (int repeating = 0; repeating < 2; ++repeating) {
                for (int smoothed = 0; smoothed < 2; ++smoothed) {
                    SwfWriter m = newMovie(swf);
                    const uint16_t bmp = m.defineBitsLossless(checker(5, 4, true));
                    Shape s;
                    s.fill1(
                         s.addFill(FillStyle::bitmap(bmp, v.matrix, repeating != 0, smoothed != 0)))
                        .rectangle(400, 300, 3200, 2400);
                    m.place(m.defineShape(s, 3), 1);
                    add(std::string("bmpfill-") + v.name + (repeating ? "-repeat" : "-clip") +
                            (smoothed ? "-smooth" : "-hard") + "-v" + std::to_string(swf),
                        m);
                }
            }
        }
    }
}

// Bitmap fills across a stage five times the usual size: shrunk and enlarged fills at half-pixel
// offsets, and a fill placed shrunk, for each edge and smoothing choice.
void largeBitmapFills() {
    struct Variant {
        const char* name{};
        Matrix fill;
        Matrix place;
    };
    const Variant variants[] = {
        {"shrunk-half", Matrix::scale(12.6, 12.6, 1010, 810), {}},
        {"enlarged-half", Matrix::scale(270, 270, 1010, 810), {}},
        {"placed-shrunk", Matrix::scale(60, 60, 1000, 800), Matrix::scale(0.37, 0.41, 130, 90)},
    };
    for (const auto& v : variants) {
        for (int repeating = 0; repeating < 2; ++repeating) {
            for (int smoothed = 0; smoothed < 2; ++smoothed) {
                MovieHeader h;
                h.version = 10;
                h.frameSize = Rect::pixels(1000, 750);
                SwfWriter m(h);
                m.setBackgroundColor({255, 255, 255});
                const uint16_t bmp = m.defineBitsLossless(checker(9, 7, true));
                Shape s;
                s.fill1(s.addFill(FillStyle::bitmap(bmp, v.fill, repeating != 0, smoothed != 0)))
                    .rectangle(400, 300, 18000, 13000);
                m.place(m.defineShape(s, 3), 1, v.place);
                add(std::string("bmpfill-large-") + v.name + (repeating ? "-repeat" : "-clip") +
                        (smoothed ? "-smooth" : "-hard"),
                    m);
            }
        }
    }
}

void edgeRules() {
    {
        SwfWriter m = newMovie();
        Shape s;
        s.fill0(s.addFill(FillStyle::solid(kRed))).rectangle(400, 300, 2000, 1500);
        m.place(m.defineShape(s), 1);
        add("edge-fill0-only", m);
    }
    {
        // Two squares sharing an edge; the shared edge carries both fills.
        SwfWriter m = newMovie();
        Shape s;
        const uint32_t a = s.addFill(FillStyle::solid(kRed));
        const uint32_t b = s.addFill(FillStyle::solid(kBlue));
        s.moveTo(2000, 500).fill0(b).fill1(a).lineTo(2000, 2500);
        s.fill0(0).fill1(a).lineTo(500, 2500).lineTo(500, 500).lineTo(2000, 500);
        s.fill1(b).moveTo(2000, 2500).lineTo(3500, 2500).lineTo(3500, 500).lineTo(2000, 500);
        m.place(m.defineShape(s), 1);
        add("edge-shared", m);
    }
    for (int version : {3, 4}) {
        // A five-pointed star drawn in one path: even-odd leaves the centre open.
        SwfWriter m = newMovie();
        Shape s;
        s.fill1(s.addFill(FillStyle::solid(kGreen)));
        const double cx = 2000;
        const double cy = 1500;
        for (int i = 0; i <= 5; ++i) {
            const double ang = -M_PI / 2 + i * 4 * M_PI / 5;
            const auto x = static_cast<int32_t>(cx + 1300 * std::cos(ang));
            const auto y = static_cast<int32_t>(cy + 1300 * std::sin(ang));
            if (i == 0) {
                s.moveTo(x, y);
            } else {
                s.lineTo(x, y);
            }
        }
        ShapeOptions opt;
        opt.fillWindingRule = version == 4;
        m.place(m.defineShape(s, version, opt), 1);
        add(version == 4 ? "edge-star-nonzero" : "edge-star-evenodd", m);
    }
    {
        // Overlapping squares in one style: the overlap is a hole under even-odd.
        SwfWriter m = newMovie();
        Shape s;
        s.fill1(s.addFill(FillStyle::solid(kBlue)));
        s.rectangle(400, 300, 2000, 1600).rectangle(1400, 1100, 2000, 1600);
        m.place(m.defineShape(s), 1);
        add("edge-overlap-same-style", m);
    }
    {
        SwfWriter m = newMovie();
        Shape s;
        const uint32_t a = s.addFill(FillStyle::solid(kRed));
        const uint32_t b = s.addFill(FillStyle::solid(kBlue));
        const uint32_t l = s.addLine(LineStyle{.width = 60, .color = kGreen});
        s.fill1(a).line(l).moveTo(500, 500).lineTo(3500, 500).fill1(b).lineTo(3500, 2500);
        s.line(0).lineTo(500, 2500).fill1(a).lineTo(500, 500);
        m.place(m.defineShape(s), 1);
        add("edge-style-change-mid-path", m);
    }
    {
        SwfWriter m = newMovie();
        Shape s;
        s.fill1(s.addFill(FillStyle::solid(kRed))).rectangle(400, 300, 2400, 1800);
        s.newStyles();
        s.fill1(s.addFill(FillStyle::solid(Rgba{0, 0, 255, 160})))
            .line(s.addLine(LineStyle{.width = 40, .color = kBlack()}))
            .rectangle(1200, 1000, 2400, 1800);
        m.place(m.defineShape(s), 1);
        add("edge-new-styles", m);
    }
    {
        // An open path with a fill: the renderer closes it.
        SwfWriter m = newMovie();
        Shape s;
        s.fill1(s.addFill(FillStyle::solid(kGreen)));
        s.moveTo(500, 500).lineTo(3500, 500).lineTo(3500, 2500);
        m.place(m.defineShape(s), 1);
        add("edge-open-fill", m);
    }
    {
        // Edges at odd twips: coverage of partial pixels.
        SwfWriter m = newMovie();
        Shape s;
        const uint32_t f = s.addFill(FillStyle::solid(kBlack()));
        for (int i = 0; i < 20; ++i) {
            s.fill1(f).rectangle(200 + i * 185 + i, 300 + i * 3, 10 + i * 7, 2000);
        }
        m.place(m.defineShape(s), 1);
        add("edge-twips-rounding", m);
    }
    {
        SwfWriter m = newMovie();
        Shape s;
        const uint32_t f = s.addFill(FillStyle::solid(kBlack()));
        s.fill1(f).rectangle(500, 500, 1, 2000).rectangle(700, 500, 3, 2000);
        s.rectangle(900, 500, 10, 2000).rectangle(1100, 500, 20, 2000);
        s.rectangle(1300, 500, 3000, 2);
        m.place(m.defineShape(s), 1);
        add("edge-very-thin", m);
    }
    {
        SwfWriter m = newMovie();
        Shape s;
        s.fill1(s.addFill(FillStyle::solid(kBlue))).ellipse(2000, 1500, 400000, 1300);
        m.place(m.defineShape(s), 1);
        add("edge-very-large", m);
    }
    {
        SwfWriter m = newMovie();
        Shape s;
        s.fill1(s.addFill(FillStyle::solid(kRed)));
        s.moveTo(500, 2500).curveTo(2000, -1500, 3500, 2500).curveTo(2000, 1500, 500, 2500);
        m.place(m.defineShape(s, 1), 1);
        add("edge-curves-v1", m);
    }
}

void lineCase(const std::string& name, LineStyle style, const Matrix& place = {}, int version = 4,
              bool curve = false) {
    SwfWriter m = newMovie();
    Shape s;
    s.line(s.addLine(std::move(style)));
    if (curve) {
        s.moveTo(300, 2500).curveTo(1000, -500, 1700, 2000).curveTo(2300, 2800, 3000, 700);
    } else {
        s.moveTo(400, 2400).lineTo(1200, 600).lineTo(2000, 2400).lineTo(2400, 1400);
    }
    m.place(m.defineShape(s, version), 1, place);
    add(name, m);
}

void lines() {
    const Rgba dark{20, 20, 120, 255};
    for (uint16_t w : {0, 1, 10, 20, 30, 100, 400}) {
        lineCase("line-width-" + std::to_string(w), LineStyle{.width = w, .color = dark}, {}, 3);
    }
    lineCase("line-width-0-scaled", LineStyle{.width = 0, .color = dark}, Matrix::scale(1.5, 1.5),
             3);
    const Matrix stretch = Matrix::scale(3, 0.5, 0, 500);
    lineCase("line-scale-normal", LineStyle{.width = 100, .color = dark}, stretch);
    lineCase("line-scale-none",
             LineStyle{.width = 100, .color = dark, .noHScale = true, .noVScale = true}, stretch);
    lineCase("line-scale-horizontal", LineStyle{.width = 100, .color = dark, .noVScale = true},
             stretch);
    lineCase("line-scale-vertical", LineStyle{.width = 100, .color = dark, .noHScale = true},
             stretch);
    lineCase("line-scale-down-normal", LineStyle{.width = 100, .color = dark},
             Matrix::scale(0.2, 0.2, 1500, 1000));
    lineCase("line-scale-down-none",
             LineStyle{.width = 100, .color = dark, .noHScale = true, .noVScale = true},
             Matrix::scale(0.2, 0.2, 1500, 1000));
    lineCase("line-hinting", LineStyle{.width = 30, .color = dark, .pixelHinting = true});
    const CapStyle caps[] = {CapStyle::Round, CapStyle::None, CapStyle::Square};
    const char* capNames[] = {"round", "none", "square"};
    for (int c = 0; c < 3; ++c) {
        lineCase(std::string("line-cap-") + capNames[c],
                 LineStyle{.width = 200, .color = dark, .startCap = caps[c], .endCap = caps[c]});
    }
    lineCase("line-cap-mixed", LineStyle{.width = 200,
                                         .color = dark,
                                         .startCap = CapStyle::None,
                                         .endCap = CapStyle::Square});
    const JoinStyle joins[] = {JoinStyle::Round, JoinStyle::Bevel, JoinStyle::Miter};
    const char* joinNames[] = {"round", "bevel", "miter"};
    for (int j = 0; j < 3; ++j) {
        lineCase(std::string("line-join-") + joinNames[j],
                 LineStyle{.width = 200, .color = dark, .join = joins[j]});
    }
    for (double limit : {1.0, 2.0, 10.0}) {
        lineCase(
            "line-miter-limit-" + std::to_string(static_cast<int>(limit)),
            LineStyle{.width = 200, .color = dark, .join = JoinStyle::Miter, .miterLimit = limit});
    }
    lineCase("line-fill-gradient",
             LineStyle{.width = 300,
                       .color = dark,
                       .fill = FillStyle::linear(gradientBox(400, 600, 2000, 1800),
                                                 grad({{0, kRed}, {255, kBlue}}))});
    lineCase("line-curve", LineStyle{.width = 60, .color = dark}, {}, 3, true);
    lineCase("line-curve-hairline", LineStyle{.width = 0, .color = dark}, {}, 3, true);
    lineCase("line-translucent", LineStyle{.width = 200, .color = Rgba{255, 0, 0, 100}}, {}, 3);
    lineCase("line-v1", LineStyle{.width = 60, .color = dark}, {}, 1);
    // Joins, caps and miter limits under a stretch and a skew: the stroke is outlined in the
    // shape's own space and the outline stretched with it.
    const Matrix skew = Matrix::affine(1.1, 0.3, -0.6, 0.7, 900, 300);
    for (const auto& [placeName, placeMatrix] :
         {std::pair<const char*, Matrix>{"stretch", stretch}, {"skew", skew}}) {
        for (double limit : {1.5, 4.0}) {
            lineCase(std::string("line-miter-") + placeName + "-" +
                         std::to_string(static_cast<int>(limit * 10)),
                     LineStyle{.width = 120,
                               .color = dark,
                               .startCap = CapStyle::Square,
                               .endCap = CapStyle::None,
                               .join = JoinStyle::Miter,
                               .miterLimit = limit},
                     placeMatrix);
        }
        lineCase(std::string("line-round-") + placeName,
                 LineStyle{.width = 120, .color = dark, .join = JoinStyle::Round}, placeMatrix);
        lineCase(std::string("line-bevel-") + placeName,
                 LineStyle{.width = 120, .color = dark, .join = JoinStyle::Bevel}, placeMatrix);
    }
    // One shape placed at several scales: each placement's stroke follows its own scale, and a
    // stroke that scaling makes thinner than a pixel stays a pixel wide.
    struct Reuse {
        const char* name = nullptr;
        LineStyle style;
        int version = 0;
    };
    const Reuse reuses[] = {
        {"normal", LineStyle{.width = 40, .color = dark}, 3},
        {"thin", LineStyle{.width = 8, .color = dark}, 3},
        {"hairline", LineStyle{.width = 0, .color = dark}, 3},
        {"v1", LineStyle{.width = 40, .color = dark}, 1},
        {"none", LineStyle{.width = 40, .color = dark, .noHScale = true, .noVScale = true}, 4},
        {"square-miter",
         LineStyle{.width = 120,
                   .color = dark,
                   .startCap = CapStyle::Square,
                   .endCap = CapStyle::Square,
                   .join = JoinStyle::Miter,
                   .miterLimit = 3.0},
         4},
    };
    for (const Reuse& r : reuses) {
        SwfWriter m = newMovie();
        Shape s;
        s.line(s.addLine(r.style));
        s.moveTo(0, 600).lineTo(300, 0).lineTo(600, 600).lineTo(900, 200);
        const uint16_t id = m.defineShape(s, r.version);
        const double scales[] = {0.1, 0.3, 1.0, 2.5};
        const int xs[] = {200, 600, 1300, 1650};
        for (int i = 0; i < 4; ++i) {
            m.place(id, static_cast<uint16_t>(i + 1),
                    Matrix::scale(scales[i], scales[i] * 1.2, xs[i], 300));
        }
        add(std::string("line-reuse-") + r.name, m);
    }
    {
        // A closed rectangle: the join at the start point, and noClose.
        for (int noClose = 0; noClose < 2; ++noClose) {
            SwfWriter m = newMovie();
            Shape s;
            s.line(s.addLine(LineStyle{.width = 200,
                                       .color = dark,
                                       .startCap = CapStyle::None,
                                       .endCap = CapStyle::None,
                                       .join = JoinStyle::Miter,
                                       .noClose = noClose != 0}))
                .rectangle(600, 600, 2800, 1800);
            m.place(m.defineShape(s, 4), 1);
            add(noClose ? "line-closed-noclose" : "line-closed", m);
        }
    }
}

void morphs() {
    for (int version : {1, 2}) {
        for (uint16_t ratio : {0, 16384, 32768, 65535}) {
            SwfWriter m = newMovie();
            MorphShape mo;
            const uint32_t f = mo.addFill(MorphFillStyle::solid(kRed, Rgba{0, 0, 255, 128}));
            MorphLineStyle ls;
            ls.startWidth = 20;
            ls.endWidth = 300;
            ls.startColor = kBlack();
            ls.endColor = kGreen;
            const uint32_t l = mo.addLine(ls);
            mo.start().fill1(f).line(l).rectangle(400, 400, 1200, 1200);
            mo.end().rectangle(1600, 800, 2000, 1800);
            m.placeObject(PlaceObject{
                .depth = 1, .characterId = m.defineMorphShape(mo, version), .ratio = ratio});
            add("morph-v" + std::to_string(version) + "-solid-" + std::to_string(ratio), m);
        }
    }
    for (uint16_t ratio : {0, 32768, 65535}) {
        SwfWriter m = newMovie();
        MorphShape mo;
        auto g = MorphFillStyle::gradient(
            FillType::Radial, gradientBox(400, 300, 1600, 1200), gradientBox(400, 300, 3200, 2400),
            {{0, kRed, 100, kYellow}, {255, kBlue, 200, Rgba{0, 0, 0, 0}}});
        g.spread = SpreadMode::Reflect;
        const uint32_t f = mo.addFill(g);
        mo.start().fill1(f).rectangle(400, 300, 3200, 2400);
        mo.end().rectangle(400, 300, 3200, 2400);
        m.placeObject(
            PlaceObject{.depth = 1, .characterId = m.defineMorphShape(mo, 2), .ratio = ratio});
        add("morph-gradient-" + std::to_string(ratio), m);
    }
    {
        // Curves paired with straight edges.
        SwfWriter m = newMovie();
        MorphShape mo;
        const uint32_t f = mo.addFill(MorphFillStyle::solid(kGreen, kBlue));
        mo.start().fill1(f).moveTo(500, 500).lineTo(3500, 500).lineTo(3500, 2500).lineTo(500, 2500);
        mo.start().lineTo(500, 500);
        mo.end()
            .moveTo(500, 500)
            .curveTo(2000, -500, 3500, 500)
            .lineTo(3500, 2500)
            .curveTo(2000, 1500, 500, 2500);
        mo.end().lineTo(500, 500);
        m.placeObject(
            PlaceObject{.depth = 1, .characterId = m.defineMorphShape(mo, 1), .ratio = 32768});
        add("morph-curve-vs-line", m);
    }
}

uint16_t squareShape(SwfWriter& m, Rgba colour, int32_t x, int32_t y, int32_t w, int32_t h) {
    Shape s;
    s.fill1(s.addFill(FillStyle::solid(colour))).rectangle(x, y, w, h);
    return m.defineShape(s);
}

// A sprite holding a red square and a translucent blue circle over it.
uint16_t pictureSprite(SwfWriter& m) {
    Sprite sp;
    sp.place(squareShape(m, kRed, 0, 0, 1600, 1200), 1);
    Shape c;
    c.fill1(c.addFill(FillStyle::solid(Rgba{0, 0, 255, 160}))).ellipse(1400, 1000, 600, 600);
    sp.place(m.defineShape(c), 2);
    sp.showFrame();
    return m.defineSprite(sp);
}

void placement() {
    // Depths at and past the ends of what the timeline uses: 0 and the largest, each under
    // and over an ordinary one.
    for (uint16_t depth : {uint16_t{0}, uint16_t{65535}}) {
        SwfWriter m = newMovie();
        m.place(squareShape(m, Rgba{40, 160, 200, 255}, 400, 400, 2000, 1600), depth);
        m.place(squareShape(m, Rgba{200, 70, 40, 255}, 1200, 1000, 2000, 1600), 10);
        add("place-depth-" + std::to_string(depth), m);
    }
    {
        SwfWriter m = newMovie();
        const uint16_t sh = squareShape(m, kBlue, 0, 0, 1000, 800);
        m.place(sh, 1, Matrix::affine(1, 0.3, 0.5, 1, 800, 300));
        m.place(sh, 2, Matrix::affine(-1, 0, 0, -1.5, 3600, 2800));
        m.place(sh, 3, Matrix::affine(0.7, -0.7, 0.7, 0.7, 2200, 1200));
        add("place-skew-negative", m);
    }
    const ColorTransform transforms[] = {
        {.redMult = 128, .greenMult = 128, .blueMult = 128},
        {.redAdd = 100, .greenAdd = 100, .blueAdd = -100},
        {.redMult = 512, .greenMult = 512, .blueMult = 512, .redAdd = 40},
        {.alphaMult = 128},
        {.alphaMult = 0, .alphaAdd = 200},
        {.alphaMult = 256, .alphaAdd = -300},
        {.redMult = -256,
         .greenMult = -256,
         .blueMult = -256,
         .redAdd = 255,
         .greenAdd = 255,
         .blueAdd = 255},
        {.alphaMult = 512},
    };
    for (std::size_t i = 0; i < std::size(transforms); ++i) {
        SwfWriter m = newMovie();
        const uint16_t sp = pictureSprite(m);
        m.place(squareShape(m, kYellow, 200, 200, 3600, 600), 1);
        m.placeObject(PlaceObject{.depth = 2,
                                  .characterId = sp,
                                  .matrix = Matrix::translate(1000, 600),
                                  .colorTransform = transforms[i]});
        add("place-cxform-" + std::to_string(i), m);
    }
    {
        // One mask over two layers, a masked mask inside a sprite.
        SwfWriter m = newMovie();
        Shape circle;
        circle.fill1(circle.addFill(FillStyle::solid(kBlack()))).ellipse(2000, 1500, 1200, 1000);
        const uint16_t maskId = m.defineShape(circle);
        m.placeObject(PlaceObject{.depth = 1, .characterId = maskId, .clipDepth = 3});
        m.place(squareShape(m, kRed, 0, 0, 2000, 3000), 2);
        m.place(squareShape(m, kBlue, 2000, 0, 2000, 3000), 3);
        m.place(squareShape(m, kGreen, 1500, 1200, 1000, 3000), 4);
        add("mask-basic", m);
    }
    {
        SwfWriter m = newMovie();
        Sprite inner;
        Shape bar;
        bar.fill1(bar.addFill(FillStyle::solid(kBlack()))).rectangle(0, 1000, 4000, 1000);
        inner.placeObject(
            PlaceObject{.depth = 1, .characterId = m.defineShape(bar), .clipDepth = 2});
        Shape circle;
        circle.fill1(circle.addFill(FillStyle::solid(kBlack()))).ellipse(2000, 1500, 1200, 1200);
        inner.place(m.defineShape(circle), 2);
        inner.showFrame();
        const uint16_t maskSprite = m.defineSprite(inner);
        m.placeObject(PlaceObject{.depth = 1, .characterId = maskSprite, .clipDepth = 5});
        m.place(squareShape(m, kRed, 0, 0, 4000, 3000), 2);
        Shape circle2;
        circle2.fill1(circle2.addFill(FillStyle::solid(kBlack()))).ellipse(2000, 1500, 600, 1500);
        m.placeObject(
            PlaceObject{.depth = 3, .characterId = m.defineShape(circle2), .clipDepth = 4});
        m.place(squareShape(m, kBlue, 1000, 0, 2000, 3000), 4);
        add("mask-nested", m);
    }
    const char* blendNames[] = {"normal", "layer",      "multiply", "screen",   "lighten",
                                "darken", "difference", "add",      "subtract", "invert",
                                "alpha",  "erase",      "overlay",  "hardlight"};
    for (int b = 1; b <= 14; ++b) {
        SwfWriter m = newMovie();
        const uint16_t sp = pictureSprite(m);
        m.place(squareShape(m, Rgba{40, 200, 120, 255}, 200, 200, 2400, 2000), 1);
        m.place(squareShape(m, Rgba{250, 240, 100, 255}, 1600, 1000, 2200, 1800), 2);
        m.placeObject(PlaceObject{.depth = 3,
                                  .characterId = sp,
                                  .matrix = Matrix::translate(1000, 700),
                                  .blendMode = static_cast<BlendMode>(b)},
                      3);
        add(std::string("blend-") + blendNames[b - 1], m);
    }
    for (int b : {11, 12}) {
        // Alpha and erase inside a layer sprite: they cut the layer, not the stage.
        SwfWriter m = newMovie();
        Sprite holder;
        holder.place(squareShape(m, kBlue, 0, 0, 2400, 2000), 1);
        Shape circle;
        circle.fill1(circle.addFill(FillStyle::solid(Rgba{0, 0, 0, 180})))
            .ellipse(1200, 1000, 800, 800);
        holder.placeObject(PlaceObject{.depth = 2,
                                       .characterId = m.defineShape(circle),
                                       .blendMode = static_cast<BlendMode>(b)},
                           3);
        holder.showFrame();
        const uint16_t hid = m.defineSprite(holder);
        m.place(squareShape(m, kYellow, 0, 0, 4000, 1500), 1);
        m.placeObject(PlaceObject{.depth = 2,
                                  .characterId = hid,
                                  .matrix = Matrix::translate(800, 500),
                                  .blendMode = BlendMode::Layer},
                      3);
        add(b == 11 ? "blend-alpha-in-layer" : "blend-erase-in-layer", m);
    }
    {
        SwfWriter m = newMovie();
        const uint16_t sp = pictureSprite(m);
        m.placeObject(PlaceObject{.depth = 1, .characterId = sp, .visible = false}, 3);
        m.placeObject(PlaceObject{.depth = 2,
                                  .characterId = sp,
                                  .matrix = Matrix::translate(2000, 1500),
                                  .cacheAsBitmap = true},
                      3);
        add("place-visible-cache", m);
    }
    {
        SwfWriter m = newMovie();
        m.setBackgroundColor({30, 60, 90});
        m.place(squareShape(m, Rgba{255, 255, 255, 128}, 500, 500, 3000, 2000), 1);
        add("place-background", m);
    }
}

void filterCase(const std::string& name, const std::vector<uint8_t>& list,
                bool translucent = false) {
    SwfWriter m = newMovie();
    Sprite sp;
    Shape s;
    s.fill1(
         s.addFill(FillStyle::solid(translucent ? Rgba{200, 40, 40, 140} : Rgba{200, 40, 40, 255})))
        .rectangle(0, 0, 1600, 1200);
    Shape c;
    c.fill1(c.addFill(FillStyle::solid(kBlue))).ellipse(1600, 1200, 500, 500);
    sp.place(m.defineShape(s), 1);
    sp.place(m.defineShape(c), 2);
    sp.showFrame();
    const uint16_t id = m.defineSprite(sp);
    m.place(squareShape(m, Rgba{240, 220, 120, 255}, 0, 1500, 4000, 1500), 1);
    m.placeObject(
        PlaceObject{
            .depth = 2, .characterId = id, .matrix = Matrix::translate(1000, 700), .filters = list},
        3);
    add(name, m);
}

void placedFilterCase(const std::string& name, const std::vector<uint8_t>& list,
                      const Matrix& matrix, std::optional<ColorTransform> cx = std::nullopt,
                      std::optional<BlendMode> blend = std::nullopt) {
    SwfWriter m = newMovie();
    m.place(squareShape(m, Rgba{240, 220, 120, 255}, 0, 1500, 4000, 1500), 1);
    m.placeObject(PlaceObject{.depth = 2,
                              .characterId = pictureSprite(m),
                              .matrix = matrix,
                              .colorTransform = cx,
                              .filters = list,
                              .blendMode = blend},
                  3);
    add(name, m);
}

void placedFilters() {
    using namespace picturerules;
    std::vector<uint8_t> g;
    glow(g, ShadowLike{.color = kBlue, .blurX = 8, .blurY = 8, .strength = 2, .passes = 2});
    const auto glowList = filterList(1, g);
    std::vector<uint8_t> d;
    dropShadow(d, ShadowLike{.blurX = 4, .blurY = 4, .distance = 8, .passes = 1});
    const auto shadowList = filterList(1, d);
    std::vector<uint8_t> b;
    blur(b, 6, 6, 2);
    const auto blurList = filterList(1, b);
    const Matrix scaled = Matrix::scale(2.5, 1.5, 200, 200);
    const Matrix turned = Matrix::scaleRotate(1.2, 0.7, 1800, 200);
    const Matrix mirrored = Matrix::affine(-1.5, 0, 0, 1, 3500, 600);
    placedFilterCase("pfilter-glow-scaled", glowList, scaled);
    placedFilterCase("pfilter-glow-turned", glowList, turned);
    placedFilterCase("pfilter-shadow-scaled", shadowList, scaled);
    placedFilterCase("pfilter-shadow-turned", shadowList, turned);
    placedFilterCase("pfilter-shadow-mirrored", shadowList, mirrored);
    placedFilterCase("pfilter-blur-scaled", blurList, scaled);
    placedFilterCase("pfilter-blur-offstage", blurList, Matrix::translate(-800, -600));
    placedFilterCase(
        "pfilter-glow-cxform", glowList, Matrix::translate(1000, 700),
        ColorTransform{
            .redMult = 0, .greenMult = 256, .blueMult = 0, .alphaMult = 128, .greenAdd = 60});
    placedFilterCase("pfilter-shadow-multiply", shadowList, Matrix::translate(1000, 700),
                     std::nullopt, BlendMode::Multiply);
    placedFilterCase("pfilter-blur-add", blurList, Matrix::translate(1000, 700), std::nullopt,
                     BlendMode::Add);
    {
        // Filters at two levels: a glow around a blurred child.
        SwfWriter m = newMovie();
        Sprite outer;
        outer.placeObject(PlaceObject{.depth = 1,
                                      .characterId = pictureSprite(m),
                                      .matrix = Matrix::scaleRotate(0.8, 0.3, 200, 0),
                                      .filters = blurList},
                          3);
        outer.showFrame();
        m.placeObject(PlaceObject{.depth = 1,
                                  .characterId = m.defineSprite(outer),
                                  .matrix = Matrix::scale(1.5, 1.5, 800, 500),
                                  .filters = glowList},
                      3);
        add("pfilter-nested", m);
    }
}

void filters() {
    using namespace picturerules;
    for (uint8_t q : {1, 2, 3}) {
        std::vector<uint8_t> r;
        blur(r, 10, 4, q);
        filterCase("filter-blur-q" + std::to_string(q), filterList(1, r));
    }
    {
        std::vector<uint8_t> r;
        blur(r, 0, 30, 1);
        filterCase("filter-blur-vertical", filterList(1, r));
    }
    struct ShadowVariant {
        const char* name{};
        ShadowLike f;
    };
    const ShadowVariant shadows[] = {
        {"plain", ShadowLike{}},
        {"inner", ShadowLike{.inner = true}},
        {"knockout", ShadowLike{.knockout = true}},
        {"hide", ShadowLike{.compositeSource = false}},
        {"strong-q3",
         ShadowLike{.blurX = 12, .blurY = 12, .distance = 10, .strength = 3, .passes = 3}},
        {"colour",
         ShadowLike{
             .color = Rgba{0, 200, 0, 128}, .blurX = 2, .blurY = 2, .angle = 2.5, .distance = 15}},
    };
    for (const auto& v : shadows) {
        std::vector<uint8_t> r;
        dropShadow(r, v.f);
        filterCase(std::string("filter-shadow-") + v.name, filterList(1, r));
        std::vector<uint8_t> g;
        ShadowLike gf = v.f;
        gf.color = Rgba{255, 0, 255, 255};
        glow(g, gf);
        filterCase(std::string("filter-glow-") + v.name, filterList(1, g));
        std::vector<uint8_t> b;
        ShadowLike bf = v.f;
        bf.color = Rgba{0, 0, 0, 255};
        bevel(b, bf);
        filterCase(std::string("filter-bevel-") + v.name, filterList(1, b));
        std::vector<uint8_t> gg;
        gradientGlow(
            gg,
            GradientFilter{{Rgba{255, 255, 255, 0}, Rgba{255, 0, 0, 255}, Rgba{0, 0, 255, 255}},
                           {0, 128, 255},
                           v.f},
            false);
        filterCase(std::string("filter-gradglow-") + v.name, filterList(1, gg));
        std::vector<uint8_t> gb;
        gradientGlow(
            gb,
            GradientFilter{{Rgba{255, 255, 255, 255}, Rgba{255, 0, 0, 0}, Rgba{0, 0, 0, 255}},
                           {0, 128, 255},
                           v.f},
            true);
        filterCase(std::string("filter-gradbevel-") + v.name, filterList(1, gb));
    }
    {
        std::vector<uint8_t> r;
        colorMatrix(r, {0.3f, 0.59f, 0.11f, 0, 0, 0.3f, 0.59f, 0.11f, 0, 0,
                        0.3f, 0.59f, 0.11f, 0, 0, 0,    0,     0,     1, 0});
        filterCase("filter-colormatrix-grey", filterList(1, r));
        std::vector<uint8_t> r2;
        colorMatrix(r2, {1, 0, 0, 0, 50, 0, 1, 0, 0, -50, 0, 0, 1, 0, 0, 0, 0, 0, 0.5f, 20});
        filterCase("filter-colormatrix-offsets", filterList(1, r2), true);
    }
    {
        const std::vector<float> edge{0, -1, 0, -1, 4, -1, 0, -1, 0};
        for (int clamp = 0; clamp < 2; ++clamp) {
            for (int keep = 0; keep < 2; ++keep) {
                std::vector<uint8_t> r;
                convolution(r, 3, 3, edge, 1, 30, clamp != 0, keep != 0, Rgba{0, 255, 0, 128});
                filterCase("filter-convolution-c" + std::to_string(clamp) + "-p" +
                               std::to_string(keep),
                           filterList(1, r));
            }
        }
        std::vector<uint8_t> r;
        convolution(r, 3, 1, {1, 1, 1}, 0, 0, true, false, Rgba{});
        filterCase("filter-convolution-div0", filterList(1, r));
    }
    {
        std::vector<uint8_t> r;
        blur(r, 6, 6, 1);
        dropShadow(r, ShadowLike{});
        glow(r, ShadowLike{.color = Rgba{0, 255, 0, 255}, .inner = true});
        filterCase("filter-chain", filterList(3, r));
    }
}

std::vector<uint8_t> jpegOf(const QImage& img, int quality) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "JPEG", quality);
    return {bytes.begin(), bytes.end()};
}

QImage testPicture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, qRgb((x * 255) / w, (y * 255) / h, ((x / 8 + y / 8) % 2) * 255));
        }
    }
    return img;
}

// Splits a JPEG stream into its tables (DQT, DHT) and the rest, as DefineBits stores them.
void splitTables(const std::vector<uint8_t>& jpeg, std::vector<uint8_t>& tables,
                 std::vector<uint8_t>& image) {
    tables = {0xFF, 0xD8};
    image = {0xFF, 0xD8};
    std::size_t i = 2;
    while (i + 4 <= jpeg.size()) {
        const uint8_t marker = jpeg[i + 1];
        if (marker == 0xDA) {
            image.insert(image.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(i), jpeg.end());
            break;
        }
        const std::size_t len = (static_cast<std::size_t>(jpeg[i + 2]) << 8) | jpeg[i + 3];
        auto& dest = (marker == 0xDB || marker == 0xC4) ? tables : image;
        dest.insert(dest.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(i),
                    jpeg.begin() + static_cast<std::ptrdiff_t>(i + 2 + len));
        i += 2 + len;
    }
    tables.push_back(0xFF);
    tables.push_back(0xD9);
}

void placeBitmap(SwfWriter& m, uint16_t bitmapId, int w, int h, int depth, int32_t x, int32_t y,
                 double scale = 1) {
    Shape s;
    s.fill1(s.addFill(FillStyle::bitmap(bitmapId, Matrix::scale(20, 20), false, false)))
        .rectangle(0, 0, w * 20, h * 20);
    m.place(m.defineShape(s), static_cast<uint16_t>(depth), Matrix::scale(scale, scale, x, y));
}

void bitmaps() {
    struct Lossless {
        const char* name;
        int version;
        LosslessFormat format;
        bool alpha;
        uint16_t width;
    };
    const Lossless kinds[] = {
        {"v1-palette", 1, LosslessFormat::Palette8, false, 13},
        {"v1-rgb15", 1, LosslessFormat::Rgb15, false, 13},
        {"v1-rgb24", 1, LosslessFormat::Argb32, false, 13},
        {"v2-palette", 2, LosslessFormat::Palette8, true, 13},
        {"v2-argb", 2, LosslessFormat::Argb32, true, 13},
        {"v2-argb-even", 2, LosslessFormat::Argb32, true, 16},
        {"v1-palette-width1", 1, LosslessFormat::Palette8, false, 1},
    };
    for (const auto& k : kinds) {
        SwfWriter m = newMovie();
        m.place(squareShape(m, kYellow, 0, 1500, 4000, 1500), 1);
        RawImage img = checker(k.width, 7, k.alpha);
        const uint16_t id = m.defineBitsLossless(img, k.version, k.format);
        placeBitmap(m, id, k.width, 7, 2, 400, 400, 10);
        add(std::string("bitmap-lossless-") + k.name, m);
    }
    const QImage pic = testPicture(61, 45);
    const auto jpeg = jpegOf(pic, 80);
    {
        SwfWriter m = newMovie();
        placeBitmap(m, m.defineBitsJpeg(jpeg), 61, 45, 1, 200, 200, 2);
        add("bitmap-jpeg2", m);
    }
    {
        SwfWriter m = newMovie();
        m.place(squareShape(m, kYellow, 0, 1500, 4000, 1500), 1);
        std::vector<uint8_t> alpha;
        for (int y = 0; y < 45; ++y) {
            for (int x = 0; x < 61; ++x) {
                alpha.push_back(static_cast<uint8_t>((x * 255) / 60));
            }
        }
        placeBitmap(m, m.defineBitsJpeg(jpeg, alpha), 61, 45, 2, 200, 200, 2);
        add("bitmap-jpeg3-alpha", m);
    }
    {
        // DefineBits with JPEGTables, and DefineBitsJPEG4 with deblocking.
        SwfWriter m = newMovie();
        std::vector<uint8_t> tables;
        std::vector<uint8_t> image;
        splitTables(jpeg, tables, image);
        m.rawTag(8, tables, true);
        std::vector<uint8_t> body{0x84, 0x03}; // id 900
        body.insert(body.end(), image.begin(), image.end());
        m.rawTag(6, body, true);
        placeBitmap(m, 900, 61, 45, 1, 200, 200, 2);
        add("bitmap-definebits-tables", m);
    }
    for (int deblock = 0; deblock < 2; ++deblock) {
        SwfWriter m = newMovie();
        const auto low = jpegOf(pic, 10);
        std::vector<uint8_t> body{0x84, 0x03};
        const auto size = static_cast<uint32_t>(low.size());
        for (int i = 0; i < 4; ++i) {
            body.push_back(static_cast<uint8_t>(size >> (8 * i)));
        }
        body.push_back(0);
        body.push_back(deblock ? 1 : 0); // deblocking 8.8
        body.insert(body.end(), low.begin(), low.end());
        m.rawTag(90, body, true);
        placeBitmap(m, 900, 61, 45, 1, 200, 200, 2);
        add(deblock ? "bitmap-jpeg4-deblock" : "bitmap-jpeg4", m);
    }
}

void maskRules() {
    // What a mask keeps: filled areas only (strokes and alpha count as solid or not at all).
    struct MaskKind {
        const char* name;
        std::function<uint16_t(SwfWriter&)> define;
    };
    const MaskKind kinds[] = {
        {"stroke-only",
         [](SwfWriter& m) {
             Shape s;
             s.line(s.addLine(LineStyle{.width = 400, .color = kBlack()}))
                 .rectangle(800, 600, 2400, 1800);
             return m.defineShape(s);
         }},
        {"translucent",
         [](SwfWriter& m) {
             Shape s;
             s.fill1(s.addFill(FillStyle::solid(Rgba{0, 0, 0, 40})))
                 .ellipse(2000, 1500, 1200, 1000);
             return m.defineShape(s);
         }},
        {"gradient-alpha",
         [](SwfWriter& m) {
             Shape s;
             s.fill1(s.addFill(FillStyle::linear(
                         gradientBox(400, 300, 3200, 2400),
                         grad({{0, Rgba{0, 0, 0, 255}}, {255, Rgba{0, 0, 0, 0}}}))))
                 .rectangle(400, 300, 3200, 2400);
             return m.defineShape(s);
         }},
        {"bitmap",
         [](SwfWriter& m) {
             const uint16_t bmp = m.defineBitsLossless(checker(5, 4, true));
             Shape s;
             s.fill1(s.addFill(
                         FillStyle::bitmap(bmp, Matrix::scale(400, 400, 600, 400), false, false)))
                 .rectangle(600, 400, 2000, 1600);
             return m.defineShape(s);
         }},
        {"sprite-of-two",
         [](SwfWriter& m) {
             Sprite sp;
             sp.place(squareShape(m, kBlack(), 400, 400, 1000, 1000), 1);
             sp.place(squareShape(m, kBlack(), 2000, 1200, 1500, 1500), 2,
                      Matrix::scaleRotate(1, 0.3, 0, 0));
             sp.showFrame();
             return m.defineSprite(sp);
         }},
    };
    for (const auto& k : kinds) {
        SwfWriter m = newMovie();
        const uint16_t mask = k.define(m);
        m.placeObject(PlaceObject{.depth = 1, .characterId = mask, .clipDepth = 3});
        m.place(squareShape(m, kRed, 0, 0, 4000, 3000), 2);
        m.place(squareShape(m, kBlue, 1000, 500, 2000, 2000), 3);
        m.place(squareShape(m, kGreen, 0, 2500, 4000, 500), 4);
        add(std::string("mask-") + k.name, m);
    }
    {
        // A mask placed with a colour transform and blend mode: both ignored.
        SwfWriter m = newMovie();
        Shape s;
        s.fill1(s.addFill(FillStyle::solid(kBlack()))).ellipse(2000, 1500, 1200, 1000);
        m.placeObject(PlaceObject{.depth = 1,
                                  .characterId = m.defineShape(s),
                                  .colorTransform = ColorTransform::alpha(0.2),
                                  .clipDepth = 2,
                                  .blendMode = BlendMode::Multiply},
                      3);
        m.place(squareShape(m, kRed, 0, 0, 4000, 3000), 2);
        add("mask-with-cxform-blend", m);
    }
    {
        // Content under a mask with a filter: the glow is cut by the mask.
        SwfWriter m = newMovie();
        Shape s;
        s.fill1(s.addFill(FillStyle::solid(kBlack()))).rectangle(500, 500, 2000, 2000);
        m.placeObject(PlaceObject{.depth = 1, .characterId = m.defineShape(s), .clipDepth = 2});
        std::vector<uint8_t> r;
        picturerules::glow(
            r, picturerules::ShadowLike{.color = kBlue, .blurX = 20, .blurY = 20, .strength = 2});
        m.placeObject(PlaceObject{.depth = 2,
                                  .characterId = pictureSprite(m),
                                  .matrix = Matrix::translate(1500, 1000),
                                  .filters = picturerules::filterList(1, r)},
                      3);
        add("mask-over-filtered", m);
    }
}

// DefineBitsJPEG2 with the bytes as given, as character 900.
std::vector<uint8_t> withPrefix(std::vector<uint8_t> data, std::initializer_list<uint8_t> prefix) {
    data.insert(data.begin(), prefix);
    return data;
}

uint16_t rawJpeg2(SwfWriter& m, const std::vector<uint8_t>& data) {
    m.rawTag(21, withPrefix(data, {0x84, 0x03}), true);
    return 900;
}

void bitmapQuirks() {
    const QImage pic = testPicture(33, 21);
    auto jpeg = jpegOf(pic, 85);
    {
        // Old authoring tools wrote an end marker before the start marker.
        SwfWriter m = newMovie(6);
        const std::vector<uint8_t> odd = withPrefix(jpeg, {0xFF, 0xD9, 0xFF, 0xD8});
        placeBitmap(m, rawJpeg2(m, odd), 33, 21, 1, 200, 200, 4);
        add("bitmap-jpeg2-eoi-soi", m);
    }
    {
        // Tables and picture glued with their own markers: an end-start pair before the frame.
        std::vector<uint8_t> tables;
        std::vector<uint8_t> image;
        splitTables(jpeg, tables, image);
        std::vector<uint8_t> glued = tables;
        glued.insert(glued.end(), image.begin(), image.end());
        SwfWriter m = newMovie(8);
        placeBitmap(m, rawJpeg2(m, glued), 33, 21, 1, 200, 200, 4);
        add("bitmap-jpeg2-glued-tables", m);
        // And a stream without its end marker.
        SwfWriter m2 = newMovie(8);
        std::vector<uint8_t> cut(jpeg.begin(), jpeg.end() - 2);
        placeBitmap(m2, rawJpeg2(m2, cut), 33, 21, 1, 200, 200, 4);
        add("bitmap-jpeg2-no-eoi", m2);
    }
    {
        QImage argb(33, 21, QImage::Format_ARGB32);
        for (int y = 0; y < 21; ++y) {
            for (int x = 0; x < 33; ++x) {
                argb.setPixel(x, y, qRgba(x * 7, 255 - y * 12, 128, x * 255 / 32));
            }
        }
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        argb.save(&buf, "PNG");
        const std::vector<uint8_t> png(bytes.begin(), bytes.end());
        SwfWriter m = newMovie(8);
        m.place(squareShape(m, kYellow, 0, 1500, 4000, 1500), 1);
        placeBitmap(m, rawJpeg2(m, png), 33, 21, 2, 200, 200, 4);
        add("bitmap-jpeg2-png", m);
    }
    {
        // A JPEG3 whose alpha is shorter than the picture.
        SwfWriter m = newMovie(8);
        m.place(squareShape(m, kYellow, 0, 1500, 4000, 1500), 1);
        std::vector<uint8_t> alpha(33 * 10, 100);
        placeBitmap(m, m.defineBitsJpeg(jpeg, alpha), 33, 21, 2, 200, 200, 4);
        add("bitmap-jpeg3-short-alpha", m);
    }
    {
        // Alpha below colour in a premultiplied lossless bitmap: colour over alpha.
        SwfWriter m = newMovie(8);
        m.place(squareShape(m, kYellow, 0, 1500, 4000, 1500), 1);
        std::vector<uint8_t> body{0x84, 0x03, 5, 8, 0, 4, 0};
        std::vector<uint8_t> raw;
        for (int i = 0; i < 32; ++i) {
            raw.push_back(static_cast<uint8_t>(i * 8));
            raw.push_back(255);
            raw.push_back(static_cast<uint8_t>(i * 4));
            raw.push_back(0);
        }
        const auto z = zlibCompress(raw);
        body.insert(body.end(), z.begin(), z.end());
        m.rawTag(36, body, true);
        placeBitmap(m, 900, 8, 4, 2, 200, 200, 15);
        add("bitmap-lossless2-unpremultiplied", m);
    }
    {
        // A bitmap placed with scale in a version-7 movie and in a version-8 movie.
        for (uint8_t v : {uint8_t{7}, uint8_t{8}}) {
            SwfWriter m = newMovie(v);
            const uint16_t id = m.defineBitsLossless(checker(6, 5, false));
            Shape s;
            s.fill1(s.addFill(FillStyle::bitmap(id, Matrix::scale(20, 20), false, true)))
                .rectangle(0, 0, 120, 100);
            m.place(m.defineShape(s), 1, Matrix::scaleRotate(23.3, 0.2, 600, 300));
            add("bitmap-placed-scaled-v" + std::to_string(v), m);
        }
    }
}

// ---- Scripted pictures: the drawing API and clip properties of the second script version.

using picturerules::Arg;
using picturerules::ArgList;
using picturerules::Fields;
using picturerules::make;
using picturerules::Path;

void rectPath(Actions& a, const std::string& clip, double x, double y, double w, double h) {
    picturerules::call(a, clip, "moveTo", {x, y});
    picturerules::call(a, clip, "lineTo", {x + w, y});
    picturerules::call(a, clip, "lineTo", {x + w, y + h});
    picturerules::call(a, clip, "lineTo", {x, y + h});
    picturerules::call(a, clip, "lineTo", {x, y});
}

void zigzag(Actions& a, const std::string& clip) {
    picturerules::call(a, clip, "moveTo", {20, 120});
    picturerules::call(a, clip, "lineTo", {60, 30});
    picturerules::call(a, clip, "lineTo", {100, 120});
    picturerules::call(a, clip, "curveTo", {140, 10, 180, 70});
}

void scriptCase(const std::string& name, const std::function<void(Actions&)>& body,
                uint8_t version = 8) {
    SwfWriter m = newMovie(version);
    Actions a;
    picturerules::call(a, "_root", "createEmptyMovieClip", {"c", 10});
    body(a);
    a.stop();
    m.doAction(a);
    add(name, m);
}

Fields box(double x, double y, double w, double h, double r) {
    return Fields{{{"matrixType", "box"}, {"x", x}, {"y", y}, {"w", w}, {"h", h}, {"r", r}}};
}

void scripted() {
    namespace pr = picturerules;
    scriptCase("as-fill-alpha", [](Actions& a) {
        pr::call(a, "c", "beginFill", {0xFF0000, 50});
        rectPath(a, "c", 20, 20, 120, 80);
        pr::call(a, "c", "endFill", {});
        pr::call(a, "c", "beginFill", {0x0000FF, 60});
        pr::call(a, "c", "moveTo", {100, 50});
        pr::call(a, "c", "curveTo", {180, 50, 180, 100});
        pr::call(a, "c", "curveTo", {180, 140, 100, 140});
        pr::call(a, "c", "endFill", {});
    });
    for (int t : {0, 1, 2, 3, 10}) {
        scriptCase("as-line-" + std::to_string(t), [t](Actions& a) {
            pr::call(a, "c", "lineStyle", {t, 0x000080, 100});
            zigzag(a, "c");
        });
    }
    for (const char* mode : {"normal", "none", "vertical", "horizontal"}) {
        scriptCase(std::string("as-line-scale-") + mode, [mode](Actions& a) {
            pr::call(a, "c", "lineStyle", {6, 0x000080, 100, false, mode, "round", "round", 3});
            pr::call(a, "c", "moveTo", {5, 20});
            pr::call(a, "c", "lineTo", {25, 120});
            pr::call(a, "c", "lineTo", {50, 20});
            pr::set(a, "c", "_xscale", 300);
            pr::set(a, "c", "_yscale", 80);
        });
    }
    for (const char* cap : {"none", "round", "square"}) {
        for (const char* joint : {"miter", "bevel", "round"}) {
            scriptCase(std::string("as-line-") + cap + "-" + joint, [cap, joint](Actions& a) {
                pr::call(a, "c", "lineStyle", {14, 0x008000, 100, false, "normal", cap, joint, 2});
                zigzag(a, "c");
            });
        }
    }
    scriptCase("as-line-hinting", [](Actions& a) {
        pr::call(a, "c", "lineStyle", {3, 0x000080, 100, true});
        zigzag(a, "c");
    });
    scriptCase("as-line-alpha", [](Actions& a) {
        pr::call(a, "c", "lineStyle", {20, 0xFF0000, 30});
        zigzag(a, "c");
    });
    const char* types[] = {"linear", "radial"};
    for (const char* type : types) {
        for (const char* spread : {"pad", "reflect", "repeat"}) {
            scriptCase(
                std::string("as-gradient-") + type + "-" + spread, [type, spread](Actions& a) {
                    pr::call(a, "c", "beginGradientFill",
                             {type, ArgList{0xFF0000, 0xFFFF00, 0x0000FF}, ArgList{100, 100, 100},
                              ArgList{0, 100, 255}, box(60, 40, 60, 40, 0.5), spread});
                    rectPath(a, "c", 10, 10, 180, 130);
                    pr::call(a, "c", "endFill", {});
                });
        }
    }
    scriptCase("as-gradient-linearrgb-focal", [](Actions& a) {
        pr::call(a, "c", "beginGradientFill",
                 {"radial", ArgList{0xFF0000, 0x0000FF}, ArgList{100, 100}, ArgList{0, 255},
                  box(20, 20, 160, 110, 0), "pad", "linearRGB", 0.7});
        rectPath(a, "c", 10, 10, 180, 130);
        pr::call(a, "c", "endFill", {});
    });
    scriptCase("as-gradient-alphas", [](Actions& a) {
        pr::call(a, "c", "beginGradientFill",
                 {"linear", ArgList{0xFF0000, 0x0000FF}, ArgList{100, 0}, ArgList{0, 255},
                  box(10, 10, 180, 130, 0)});
        rectPath(a, "c", 10, 10, 180, 130);
        pr::call(a, "c", "endFill", {});
    });
    scriptCase("as-gradient-abcdef", [](Actions& a) {
        pr::call(a, "c", "beginGradientFill",
                 {"radial", ArgList{0xFF0000, 0x0000FF}, ArgList{100, 100}, ArgList{0, 255},
                  Fields{{{"a", 120},
                          {"b", 30},
                          {"c", 0},
                          {"d", -20},
                          {"e", 90},
                          {"f", 0},
                          {"g", 100},
                          {"h", 75},
                          {"i", 1}}}});
        rectPath(a, "c", 10, 10, 180, 130);
        pr::call(a, "c", "endFill", {});
    });
    scriptCase("as-gradient-geom-matrix", [](Actions& a) {
        pr::set(a, "_root", "mat", make("flash.geom.Matrix", {}));
        pr::call(a, "mat", "createGradientBox", {100, 60, 0.8, 30, 30});
        pr::call(a, "c", "beginGradientFill",
                 {"linear", ArgList{0xFF0000, 0x00FF00}, ArgList{100, 100}, ArgList{0, 255},
                  Path{"mat"}, "reflect"});
        rectPath(a, "c", 10, 10, 180, 130);
        pr::call(a, "c", "endFill", {});
    });
    scriptCase("as-line-gradient", [](Actions& a) {
        pr::call(a, "c", "lineStyle", {12, 0, 100});
        pr::call(a, "c", "lineGradientStyle",
                 {"linear", ArgList{0xFF0000, 0x0000FF}, ArgList{100, 100}, ArgList{0, 255},
                  box(20, 20, 160, 100, 0)});
        zigzag(a, "c");
    });
    for (int smooth = 0; smooth < 2; ++smooth) {
        for (int repeat = 0; repeat < 2; ++repeat) {
            scriptCase(
                "as-bitmapfill-r" + std::to_string(repeat) + "-s" + std::to_string(smooth),
                [repeat, smooth](Actions& a) {
                    pr::set(a, "_root", "bd",
                            make("flash.display.BitmapData", {3, 2, true, double(0xFFFF0000)}));
                    pr::call(a, "bd", "setPixel32", {1, 0, double(0xFF00FF00)});
                    pr::call(a, "bd", "setPixel32", {2, 1, double(0x800000FF)});
                    pr::set(a, "_root", "mat", make("flash.geom.Matrix", {12, 3, -2, 12, 30, 20}));
                    pr::call(a, "c", "beginBitmapFill",
                             {Path{"bd"}, Path{"mat"}, repeat != 0, smooth != 0});
                    rectPath(a, "c", 10, 10, 180, 130);
                    pr::call(a, "c", "endFill", {});
                });
        }
    }
    auto sample = [](Actions& a) {
        pr::call(a, "c", "beginFill", {0xCC2222, 100});
        rectPath(a, "c", 40, 30, 80, 60);
        pr::call(a, "c", "endFill", {});
        pr::call(a, "c", "beginFill", {0x2222CC, 70});
        rectPath(a, "c", 90, 60, 70, 60);
        pr::call(a, "c", "endFill", {});
    };
    const std::pair<const char*, pr::New> filterMakers[] = {
        {"blur", make("flash.filters.BlurFilter", {8, 4, 2})},
        {"shadow", make("flash.filters.DropShadowFilter", {6, 45, 0, 0.8, 4, 4, 1, 2})},
        {"shadow-inner", make("flash.filters.DropShadowFilter", {6, 45, 0, 0.8, 4, 4, 1, 2, true})},
        {"shadow-knockout",
         make("flash.filters.DropShadowFilter", {6, 45, 0, 0.8, 4, 4, 1, 2, false, true})},
        {"shadow-hide",
         make("flash.filters.DropShadowFilter", {6, 45, 0, 0.8, 4, 4, 1, 2, false, false, true})},
        {"glow", make("flash.filters.GlowFilter", {0x00FF00, 1, 10, 10, 2, 2})},
        {"glow-inner", make("flash.filters.GlowFilter", {0x00FF00, 1, 10, 10, 2, 2, true})},
        {"bevel",
         make("flash.filters.BevelFilter", {5, 45, 0xFFFFFF, 1, 0x000000, 1, 5, 5, 1, 2, "inner"})},
        {"bevel-outer",
         make("flash.filters.BevelFilter", {5, 45, 0xFFFFFF, 1, 0x000000, 1, 5, 5, 1, 2, "outer"})},
        {"colormatrix", make("flash.filters.ColorMatrixFilter",
                             {ArgList{0.3, 0.59, 0.11, 0, 0, 0.3, 0.59, 0.11, 0, 0,
                                      0.3, 0.59, 0.11, 0, 0, 0,   0,    0,    1, 0}})},
    };
    for (const auto& entry : filterMakers) {
        const pr::New maker = entry.second;
        scriptCase(std::string("as-filter-") + entry.first, [&, maker](Actions& a) {
            sample(a);
            pr::set(a, "c", "filters", ArgList{maker});
        });
    }
    for (const char* mode : {"multiply", "screen", "add", "subtract", "difference", "invert",
                             "overlay", "hardlight", "lighten", "darken"}) {
        scriptCase(std::string("as-blend-") + mode, [&, mode](Actions& a) {
            pr::call(a, "_root", "createEmptyMovieClip", {"b", 5});
            pr::call(a, "b", "beginFill", {0x40C080, 100});
            rectPath(a, "b", 0, 0, 200, 75);
            pr::call(a, "b", "endFill", {});
            sample(a);
            pr::set(a, "c", "blendMode", mode);
        });
    }
    scriptCase("as-props", [&](Actions& a) {
        sample(a);
        pr::set(a, "c", "_rotation", 20);
        pr::set(a, "c", "_xscale", -80);
        pr::set(a, "c", "_x", 180);
        pr::set(a, "c", "_alpha", 60);
    });
    scriptCase("as-color-transform", [&](Actions& a) {
        sample(a);
        pr::set(a, "_root", "col", make("Color", {Path{"c"}}));
        pr::call(a, "col", "setTransform",
                 {Fields{{{"ra", 50}, {"rb", 100}, {"ga", 120}, {"gb", -40}, {"aa", 80}}}});
    });
    scriptCase("as-opaque-background", [&](Actions& a) {
        sample(a);
        pr::set(a, "c", "opaqueBackground", 0x00FF00);
    });
    scriptCase("as-scale9", [&](Actions& a) {
        pr::call(a, "c", "lineStyle", {2, 0, 100});
        pr::call(a, "c", "beginFill", {0xCC2222, 100});
        rectPath(a, "c", 0, 0, 40, 30);
        pr::call(a, "c", "endFill", {});
        pr::call(a, "c", "beginFill", {0x2222CC, 100});
        rectPath(a, "c", 0, 0, 10, 10);
        pr::call(a, "c", "endFill", {});
        pr::set(a, "c", "scale9Grid", make("flash.geom.Rectangle", {10, 10, 20, 10}));
        pr::set(a, "c", "_x", 10);
        pr::set(a, "c", "_y", 10);
        pr::set(a, "c", "_xscale", 400);
        pr::set(a, "c", "_yscale", 350);
    });
    scriptCase("as-cache-rotated", [&](Actions& a) {
        sample(a);
        pr::set(a, "c", "cacheAsBitmap", true);
        pr::set(a, "c", "_rotation", 30);
        pr::set(a, "c", "_x", 40);
    });
    scriptCase("as-clear-redraw", [&](Actions& a) {
        sample(a);
        pr::call(a, "c", "clear", {});
        pr::call(a, "c", "lineStyle", {4, 0xFF00FF, 100});
        pr::call(a, "c", "beginFill", {0x00FFFF, 100});
        rectPath(a, "c", 60, 40, 80, 60);
        pr::call(a, "c", "endFill", {});
    });
    scriptCase("as-fill-unclosed", [&](Actions& a) {
        pr::call(a, "c", "beginFill", {0x0080FF, 100});
        pr::call(a, "c", "moveTo", {20, 20});
        pr::call(a, "c", "lineTo", {180, 40});
        pr::call(a, "c", "lineTo", {100, 130});
        pr::call(a, "c", "endFill", {});
        pr::call(a, "c", "lineStyle", {3, 0, 100});
        pr::call(a, "c", "beginFill", {0xFF8000, 100});
        pr::call(a, "c", "moveTo", {120, 20});
        pr::call(a, "c", "lineTo", {190, 20});
        pr::call(a, "c", "lineTo", {190, 90});
    });
    scriptCase("as-bitmap-draw", [&](Actions& a) {
        sample(a);
        pr::set(a, "_root", "bd",
                make("flash.display.BitmapData", {100, 80, true, double(0x40000000)}));
        pr::call(a, "bd", "draw", {Path{"c"}});
        pr::call(a, "_root", "createEmptyMovieClip", {"h", 20});
        pr::call(a, "h", "attachBitmap", {Path{"bd"}, 1});
        pr::set(a, "h", "_x", 100);
        pr::set(a, "h", "_y", 70);
    });
}

void textTables() {
    const auto make = [](uint8_t version) { return newMovie(version); };
    const auto write = [](const std::string& name, SwfWriter& m) { add(name, m); };
    picturerules::textTables(make, write);
    picturerules::blendTables(make, write);
    picturerules::curveTables(make, write);
}

void scriptedTables() {
    const picturerules::ScriptCaseWriter writer = [](const std::string& name,
                                                     const std::function<void(Actions&)>& body) {
        scriptCase(name, body);
    };
    picturerules::drawingApiTables(writer);
    picturerules::bitmapDataTables(writer);
    picturerules::clipTables(writer);
    picturerules::loadedPictureTables(writer);
    picturerules::colourTables(writer);
    picturerules::smoothingTables(writer);
    picturerules::cachedTables(writer);
    picturerules::scrollRectTables(writer);
    picturerules::depthTables(writer);
    picturerules::maskStrokeTables(writer);
    picturerules::pixelTables(writer);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: picturerules FOLDER\n", stderr);
        return 2;
    }
    const fs::path out(argv[1]);
    fs::create_directories(out);
    const std::function<void()> groups[] = {
        gradients, bitmapFills,  largeBitmapFills, edgeRules,      lines,
        morphs,    placement,    filters,          bitmaps,        scripted,
        maskRules, bitmapQuirks, placedFilters,    scriptedTables, textTables};
    for (const auto& g : groups) {
        g();
    }
    for (const auto& c : gCases) {
        std::ofstream f(out / (c.name + ".swf"), std::ios::binary);
        f.write(reinterpret_cast<const char*>(c.bytes.data()),
                static_cast<std::streamsize>(c.bytes.size()));
    }
    for (const auto& [name, bytes] : picturerules::loadedPictures()) {
        std::ofstream f(out / name, std::ios::binary);
        f.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
    }
    std::printf("%zu movies\n", gCases.size());
    return 0;
}
