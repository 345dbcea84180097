#include "CurveTables.h"

#include <string>

namespace picturerules {
namespace {

using namespace moviemaker;

const Rgba kInk{30, 30, 120, 255};
const Rgba kFill{240, 120, 40, 255};

// A filled and stroked outline of curves: the first with its control on its start, the second
// with it on its end, the third with it on the chord, then a bulging one back to the start.
void degenerateOutline(Shape& s) {
    s.moveTo(400, 400)
        .curveTo(400, 400, 2000, 600)
        .curveTo(3600, 400, 3600, 400)
        .curveTo(3600, 1400, 3600, 2400)
        .curveTo(2000, 3400, 400, 2400)
        .close();
}

} // namespace

void curveTables(const MovieMaker& newMovie, const MovieCaseWriter& add) {
    for (int version = 1; version <= 4; ++version) {
        SwfWriter m = newMovie(10);
        Shape s;
        s.fill1(s.addFill(FillStyle::solid(kFill)));
        s.line(s.addLine(LineStyle{.width = 80, .color = kInk}));
        degenerateOutline(s);
        m.place(m.defineShape(s, version), 1);
        add("curve-degenerate-v" + std::to_string(version), m);
    }
    const std::pair<const char*, CapStyle> caps[] = {
        {"round", CapStyle::Round}, {"none", CapStyle::None}, {"square", CapStyle::Square}};
    for (const auto& [name, cap] : caps) {
        // A straight edge one twip long (the writer drops edges of no length), a curve of no
        // length, and a curve whose control point leaves and comes back, at three widths.
        SwfWriter m = newMovie(10);
        Shape s;
        int x = 500;
        for (const uint16_t width : {uint16_t{0}, uint16_t{60}, uint16_t{300}}) {
            s.line(s.addLine(LineStyle{.width = width,
                                       .color = kInk,
                                       .startCap = cap,
                                       .endCap = cap,
                                       .join = JoinStyle::Miter}));
            s.moveTo(x, 600).lineTo(x + 1, 600);
            s.moveTo(x, 1400).curveTo(x, 1400, x, 1400);
            s.moveTo(x, 2200).curveTo(x + 600, 2600, x, 2200);
            x += 1200;
        }
        m.place(m.defineShape(s, 4), 1);
        add(std::string("curve-zero-length-") + name, m);
    }
    for (const bool closed : {false, true}) {
        // One stroke around a square: closed, its ends meet in a join; open, in two caps.
        SwfWriter m = newMovie(10);
        Shape s;
        s.line(s.addLine(LineStyle{.width = 240,
                                   .color = Rgba{30, 30, 120, 160},
                                   .startCap = CapStyle::None,
                                   .endCap = CapStyle::None,
                                   .join = JoinStyle::Miter,
                                   .noClose = !closed}));
        s.moveTo(2000, 500).lineTo(3400, 500).lineTo(3400, 2500).lineTo(600, 2500).lineTo(600, 500);
        if (closed) {
            s.lineTo(2000, 500);
        } else {
            s.lineTo(1900, 500);
        }
        m.place(m.defineShape(s, 4), 1);
        add(std::string("curve-stroke-") + (closed ? "closed" : "open"), m);
    }
}

} // namespace picturerules
