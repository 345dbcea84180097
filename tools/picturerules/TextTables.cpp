#include "TextTables.h"

#include "moviemaker/BitWriter.h"

#include <cmath>
#include <string>
#include <vector>

namespace picturerules {
namespace {

using namespace moviemaker;

// Glyph outlines are drawn on a 1000-unit grid and scaled to the font's em square: 1024
// units for the first two font versions, 20480 for the third.
struct Grid {
    int em;
    int32_t operator()(int units) const {
        return static_cast<int32_t>(std::lround(units * em / 1000.0));
    }
};

int emOf(int fontVersion) {
    return fontVersion == 3 ? 20480 : 1024;
}

Glyph letterH(const Grid& u, int t) {
    Glyph g;
    g.code = 'H';
    g.advance = static_cast<int16_t>(u(600));
    const int pts[][2] = {{50, -700},      {50 + t, -700}, {50 + t, -400}, {550 - t, -400},
                          {550 - t, -700}, {550, -700},    {550, 0},       {550 - t, 0},
                          {550 - t, -300}, {50 + t, -300}, {50 + t, 0},    {50, 0}};
    g.outline.moveTo(u(50), 0);
    for (const auto& p : pts) {
        g.outline.lineTo(u(p[0]), u(p[1]));
    }
    return g;
}

// Two outlines turning the same way: the inner one is a hole only because each edge
// toggles the glyph's one fill.
Glyph letterO(const Grid& u, int t) {
    Glyph g;
    g.code = 'O';
    g.advance = static_cast<int16_t>(u(600));
    g.outline.ellipse(u(300), u(-350), u(250), u(350));
    g.outline.ellipse(u(300), u(-350), u(250 - t), u(350 - t));
    return g;
}

// Curves whose control point sits on one of their anchors.
Glyph letterV(const Grid& u, int t) {
    Glyph g;
    g.code = 'V';
    g.advance = static_cast<int16_t>(u(600));
    g.outline.moveTo(u(50), u(-700))
        .curveTo(u(50), u(-700), u(300), 0)
        .curveTo(u(550), u(-700), u(550), u(-700))
        .lineTo(u(550 - t), u(-700))
        .lineTo(u(300), u(-200))
        .lineTo(u(50 + t), u(-700))
        .close();
    return g;
}

Font testFont(int fontVersion, const std::string& name, bool bold) {
    const Grid u{emOf(fontVersion)};
    const int t = bold ? 240 : 120;
    Font f;
    f.name = name;
    f.bold = bold;
    f.ascent = static_cast<uint16_t>(u(800));
    f.descent = static_cast<uint16_t>(u(200));
    Glyph thin;
    thin.code = 'l';
    thin.advance = static_cast<int16_t>(u(300));
    thin.outline.rectangle(u(120), u(-750), u(bold ? 120 : 60), u(750));
    Glyph space;
    space.code = ' ';
    space.advance = static_cast<int16_t>(u(300));
    f.glyphs = {letterH(u, t), letterO(u, t), letterV(u, t), thin, space};
    return f;
}

constexpr const char* kGlyphCodes = "HOVl ";

// A static text record of `text` (glyphs of the test font) at `height` twips.
TextRecord line(uint16_t font, uint16_t height, const std::string& text, Rgba colour, int x,
                int y) {
    TextRecord r;
    r.fontId = font;
    r.height = height;
    r.color = colour;
    r.xOffset = static_cast<int16_t>(x);
    r.yOffset = static_cast<int16_t>(y);
    for (char c : text) {
        const auto index = static_cast<uint32_t>(std::string(kGlyphCodes).find(c));
        const int advance = (c == 'l' || c == ' ') ? 300 : 600;
        r.glyphs.push_back({index, static_cast<int32_t>(std::lround(advance * height / 1000.0))});
    }
    return r;
}

Text staticText(std::vector<TextRecord> records) {
    Text t;
    t.bounds = Rect::pixels(200, 150);
    t.records = std::move(records);
    return t;
}

void underlay(SwfWriter& m) {
    Shape s;
    s.fill1(s.addFill(FillStyle::solid({120, 170, 220}))).rectangle(0, 1500, 4000, 1500);
    m.place(m.defineShape(s), 1);
}

void staticTables(const MovieMaker& newMovie, const MovieCaseWriter& add) {
    for (int fontVersion = 1; fontVersion <= 3; ++fontVersion) {
        for (int textVersion = 1; textVersion <= 2; ++textVersion) {
            for (const uint16_t height : {uint16_t{160}, uint16_t{240}, uint16_t{1400}}) {
                // The first text version's colours have no alpha.
                const Rgba ink{200, 30, 30, static_cast<uint8_t>(textVersion == 2 ? 128 : 255)};
                SwfWriter m = newMovie(10);
                underlay(m);
                const uint16_t font =
                    m.defineFont(testFont(fontVersion, "Pict", false), fontVersion);
                const int rows = height < 1000 ? 6 : 1;
                std::vector<TextRecord> records;
                records.reserve(rows);
                for (int row = 0; row < rows; ++row) {
                    records.push_back(line(font, height, "HOVl HOV lHOV", ink, 200 + row * 7,
                                           600 + row * height * 2));
                }
                if (height > 1000) {
                    records.back().glyphs.resize(4);
                    records.back().yOffset = 2000;
                }
                m.place(m.defineText(staticText(records), textVersion), 2);
                add("text-static-f" + std::to_string(fontVersion) + "-t" +
                        std::to_string(textVersion) + "-h" + std::to_string(height),
                    m);
            }
        }
    }
    struct Placed {
        const char* name = "";
        Matrix own;
        Matrix place;
    };
    const Placed placements[] = {
        {"rotated", {}, Matrix::scaleRotate(1.0, 0.5, 600, 300)},
        {"scaled-up", {}, Matrix::scale(2.5, 1.5, -200, 0)},
        {"scaled-down", {}, Matrix::scale(0.4, 0.4, 100, 100)},
        {"mirrored", {}, Matrix::scale(-1.0, 1.0, 3800, 0)},
        {"own-skew", Matrix::affine(1.0, 0.0, -0.4, 1.0, 400, 0), {}},
        {"own-and-placed", Matrix::scale(2.0, 2.0, 0, 0), Matrix::scaleRotate(0.5, -0.3, 0, 900)},
    };
    for (const Placed& p : placements) {
        SwfWriter m = newMovie(10);
        const uint16_t font = m.defineFont(testFont(3, "Pict", false), 3);
        Text t = staticText({line(font, 480, "HOV lVOH", {20, 90, 20, 255}, 200, 800),
                             line(font, 480, "VVHH OOll", {20, 20, 160, 200}, 200, 1600)});
        t.matrix = p.own;
        m.place(m.defineText(t, 2), 1, p.place);
        add(std::string("text-static-") + p.name, m);
    }
    {
        // Records that keep the font, colour or position of the one before.
        SwfWriter m = newMovie(10);
        const uint16_t a = m.defineFont(testFont(2, "Pict", false), 2);
        const uint16_t b = m.defineFont(testFont(3, "PictB", true), 3);
        TextRecord first = line(a, 400, "HOV", {200, 0, 0, 255}, 200, 700);
        TextRecord kept = line(a, 400, "lHO", {0, 0, 0, 255}, 0, 0);
        kept.fontId.reset();
        kept.height = 0;
        kept.color.reset();
        kept.xOffset.reset();
        kept.yOffset = 1400;
        TextRecord other = line(b, 700, "HOV", {0, 120, 0, 160}, 300, 2600);
        TextRecord colourOnly = line(b, 700, "VO", {0, 0, 220, 255}, 0, 0);
        colourOnly.fontId.reset();
        colourOnly.height = 0;
        colourOnly.xOffset.reset();
        colourOnly.yOffset.reset();
        m.place(m.defineText(staticText({first, kept, other, colourOnly}), 2), 1);
        add("text-static-records-kept", m);
    }
    {
        SwfWriter m = newMovie(10);
        underlay(m);
        const uint16_t font = m.defineFont(testFont(3, "Pict", false), 3);
        const uint16_t text =
            m.defineText(staticText({line(font, 600, "HOV", {200, 30, 30, 255}, 200, 900),
                                     line(font, 600, "OlH", {30, 30, 200, 180}, 200, 2200)}),
                         2);
        PlaceObject p;
        p.depth = 2;
        p.characterId = text;
        p.colorTransform = ColorTransform{128, 300, 256, 200, 40, -60, 100, 30};
        m.placeObject(p);
        add("text-static-cxform", m);
    }
}

struct Field {
    Rect bounds = Rect::pixels(180, 120);
    bool wordWrap = true;
    bool multiline = true;
    bool border = false;
    bool html = false;
    bool outlines = true;
    uint16_t height = 400;
    Rgba colour{200, 30, 30, 255};
    uint8_t align = 0;
    uint16_t leftMargin = 0;
    uint16_t rightMargin = 0;
    uint16_t indent = 0;
    int16_t leading = 0;
    std::string text = "HOV lHOV VOH HH OO";
};

uint16_t defineField(SwfWriter& m, uint16_t font, const Field& f) {
    BitWriter body;
    const uint16_t id = m.nextId();
    body.u16(id);
    writeRect(body, f.bounds);
    // Text, word wrap, multiline, read-only, colour, font; then layout, no select, border, html,
    // outlines.
    body.u8(static_cast<uint8_t>(0x80 | (f.wordWrap ? 0x40 : 0) | (f.multiline ? 0x20 : 0) | 0x08 |
                                 0x04 | 0x01));
    body.u8(static_cast<uint8_t>(0x20 | 0x10 | (f.border ? 0x08 : 0) | (f.html ? 0x02 : 0) |
                                 (f.outlines ? 0x01 : 0)));
    body.u16(font);
    body.u16(f.height);
    writeRgba(body, f.colour);
    body.u8(f.align);
    body.u16(f.leftMargin);
    body.u16(f.rightMargin);
    body.u16(f.indent);
    body.u16(static_cast<uint16_t>(f.leading));
    body.string("");
    body.string(f.text);
    // The writer does not count this id as taken: the field is the movie's last definition.
    m.rawTag(37, body.data());
    return id;
}

void fieldCase(const MovieMaker& newMovie, const MovieCaseWriter& add, const std::string& name,
               const Field& f, const Matrix& place = Matrix::translate(200, 200)) {
    SwfWriter m = newMovie(10);
    underlay(m);
    const uint16_t font = m.defineFont(testFont(3, "Pict", false), 3);
    m.defineFont(testFont(3, "Pict", true), 3);
    m.defineFont(testFont(2, "Other", true), 2);
    m.place(defineField(m, font, f), 2, place);
    add(name, m);
}

void fieldTables(const MovieMaker& newMovie, const MovieCaseWriter& add) {
    const char* aligns[] = {"left", "right", "center", "justify"};
    for (uint8_t a = 0; a < 4; ++a) {
        Field f;
        f.align = a;
        fieldCase(newMovie, add, std::string("text-field-align-") + aligns[a], f);
        f.border = true;
        f.leftMargin = 300;
        f.rightMargin = 500;
        fieldCase(newMovie, add, std::string("text-field-margins-") + aligns[a], f);
    }
    for (const bool border : {false, true}) {
        Field f;
        f.border = border;
        f.colour = {20, 20, 160, 128};
        fieldCase(newMovie, add, std::string("text-field-alpha") + (border ? "-border" : ""), f);
    }
    for (const int leading : {-120, 0, 200}) {
        Field f;
        f.leading = static_cast<int16_t>(leading);
        f.indent = 400;
        fieldCase(newMovie, add, "text-field-leading-" + std::to_string(leading), f);
    }
    for (const uint16_t height : {uint16_t{120}, uint16_t{200}, uint16_t{1600}}) {
        Field f;
        f.height = height;
        f.border = true;
        fieldCase(newMovie, add, "text-field-height-" + std::to_string(height), f);
    }
    {
        Field f;
        f.border = true;
        fieldCase(newMovie, add, "text-field-rotated", f, Matrix::scaleRotate(1.0, 0.4, 900, 0));
        fieldCase(newMovie, add, "text-field-scaled", f, Matrix::scale(1.8, 0.7, 100, 300));
        fieldCase(newMovie, add, "text-field-mirrored", f, Matrix::scale(-1.0, 1.0, 3800, 200));
    }
    {
        Field f;
        f.wordWrap = false;
        f.multiline = false;
        f.border = true;
        f.bounds = Rect::pixels(100, 30);
        f.text = "HOVHOV HOVHOV";
        fieldCase(newMovie, add, "text-field-clipped", f);
    }
    const std::pair<const char*, const char*> html[] = {
        {"sizes", "<p><font size='30'>HO</font><font size='10'>VH</font>lH</p>"},
        {"colours", "<p><font color='#0000FF'>HOV</font> <font color='#00A000'>VOH</font></p>"},
        {"bold", "<p>HOV <b>HOV</b> HOV</p>"},
        {"faces", "<p>HOV <font face='Other'>HOV</font> <font face='Missing'>HOV</font></p>"},
        {"italic-missing", "<p>HOV <i>HOV</i> HOV</p>"},
        {"letterspacing",
         "<p><font letterSpacing='6'>HOV</font> <font letterSpacing='-3'>HOV</font></p>"},
        {"align", "<p align='right'>HOV</p><p align='center'>OH</p><p>VV</p>"},
        {"textformat", "<textformat leading='12' indent='20' leftmargin='10'><p>HOV HOV HOV "
                       "HOV</p></textformat><p>HOV</p>"},
        {"blockindent", "<textformat blockindent='30'><p>HOV HOV HOV HOV HOV</p></textformat>"},
    };
    for (const auto& [name, markup] : html) {
        Field f;
        f.html = true;
        f.border = true;
        f.text = markup;
        fieldCase(newMovie, add, std::string("text-field-html-") + name, f);
    }
}

} // namespace

uint16_t defineSampleText(SwfWriter& m) {
    const uint16_t font = m.defineFont(testFont(3, "Pict", true), 3);
    return m.defineText(staticText({line(font, 800, "HOVH", {200, 30, 160, 255}, 100, 900),
                                    line(font, 800, "OlVO", {30, 60, 200, 150}, 100, 1800)}),
                        2);
}

void textTables(const MovieMaker& newMovie, const MovieCaseWriter& add) {
    staticTables(newMovie, add);
    fieldTables(newMovie, add);
}

} // namespace picturerules
