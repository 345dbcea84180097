#include "TableMovie.h"

#include "Compiler.h"
#include "Parser.h"
#include "moviemaker/SwfWriter.h"
#include "swf/ActionCodes.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace scriptrules {

namespace {

// A button's transitions by their condition bits, with the names on() gives them.
constexpr std::array<std::pair<uint16_t, const char*>, 9> kButtonEvents = {{
    {0x0001, "rollOver"},
    {0x0002, "rollOut"},
    {0x0004, "press"},
    {0x0008, "release"},
    {0x0010, "dragOut"},
    {0x0020, "dragOver"},
    {0x0040, "releaseOutside"},
    {0x0080, "menu dragOver"},
    {0x0100, "menu dragOut"},
}};

// The table's buttons, each a square in all four states whose on() actions trace
// "NAME on(EVENT)", placed by name on the timeline before the script.
void placeButtons(moviemaker::SwfWriter& movie, const Table& table) {
    uint16_t depth = 1;
    for (const TableButton& b : table.buttons) {
        moviemaker::Shape square;
        square.fill1(square.addFill(moviemaker::FillStyle::solid({96, 128, 224, 255})))
            .rectangle(0, 0, b.width * 20, b.height * 20);
        moviemaker::Button button;
        button.trackAsMenu = b.trackAsMenu;
        moviemaker::ButtonRecord record;
        record.characterId = movie.defineShape(square);
        button.records.push_back(record);
        for (const auto& [bit, name] : kButtonEvents) {
            button.conditions.push_back(
                {bit, moviemaker::Actions().trace(b.name + " on(" + name + ")")});
        }
        // A key press is the condition's bits 9 to 15, the key's code.
        for (const auto& [code, name] : b.keys) {
            button.conditions.push_back(
                {static_cast<uint16_t>(code << 9),
                 moviemaker::Actions().trace(b.name + " on(keyPress \"" + name + "\")")});
        }
        moviemaker::PlaceObject place;
        place.depth = depth++;
        place.characterId = movie.defineButton2(button);
        place.matrix = moviemaker::Matrix::translate(b.x * 20, b.y * 20);
        place.name = b.name;
        movie.placeObject(place);
    }
}

// The table's static texts, each one record in one embedded font that holds every character
// they use, placed above the depths scripts take.
void placeStaticTexts(moviemaker::SwfWriter& movie, const Table& table) {
    if (table.texts.empty()) {
        return;
    }
    // A 20480-unit em: reaching 0.8 em above the baseline and 0.2 below, 0.6 em a glyph.
    constexpr uint16_t kAscent = 16384;
    constexpr uint16_t kDescent = 4096;
    constexpr int16_t kAdvance = 12288;
    std::string codes;
    for (const TableText& t : table.texts) {
        for (char c : t.text) {
            if (codes.find(c) == std::string::npos) {
                codes.push_back(c);
            }
        }
    }
    std::sort(codes.begin(), codes.end());
    moviemaker::Font font;
    font.name = "TableFont";
    font.ascent = kAscent;
    font.descent = kDescent;
    for (char c : codes) {
        moviemaker::Shape box;
        if (c != ' ') {
            box.rectangle(1024, -kAscent, kAdvance - 2048, kAscent);
        }
        font.glyphs.push_back({box, static_cast<uint16_t>(c), kAdvance});
    }
    const uint16_t fontId = movie.defineFont(font);
    uint16_t depth = 10000;
    for (const TableText& t : table.texts) {
        const int height = t.size * 20;
        const int advance = t.size * 12;
        moviemaker::TextRecord record;
        record.fontId = fontId;
        record.height = static_cast<uint16_t>(height);
        record.color = moviemaker::Rgba{0, 0, 0, 255};
        record.xOffset = 0;
        record.yOffset = 0;
        for (char c : t.text) {
            record.glyphs.push_back(
                {static_cast<uint32_t>(codes.find(c)), static_cast<int32_t>(advance)});
        }
        moviemaker::Text text;
        const int width = advance * static_cast<int>(t.text.size());
        text.bounds = moviemaker::Rect{0, width, -height * 4 / 5, height / 5};
        text.records.push_back(record);
        moviemaker::PlaceObject place;
        place.depth = depth++;
        place.characterId = movie.defineText(text);
        place.matrix = moviemaker::Matrix::translate(t.x * 20, t.y * 20 + height * 4 / 5);
        movie.placeObject(place);
    }
}

// Tables that attach clips get an empty one-frame sprite exported as `tableSymbol`; the
// others keep their movies as they were.
void addLibrarySymbol(moviemaker::SwfWriter& movie, const Table& table) {
    for (const TableLine& line : table.lines) {
        if (line.source.find("attachMovie") != std::string::npos) {
            moviemaker::Sprite symbol;
            symbol.showFrame();
            movie.exportAssets(movie.defineSprite(symbol), "tableSymbol");
            return;
        }
    }
}

} // namespace

TableMovie buildTableMovie(const Table& table, uint8_t version) {
    moviemaker::MovieHeader header;
    header.version = version;
    header.frameSize = moviemaker::Rect::pixels(table.stageWidth, table.stageHeight);
    moviemaker::SwfWriter movie(header);
    TableMovie out;
    placeButtons(movie, table);
    placeStaticTexts(movie, table);
    addLibrarySymbol(movie, table);
    // Lines share action blocks, a few dozen each: players cap the blocks one frame runs.
    constexpr size_t kLinesPerBlock = 64;
    moviemaker::Actions block;
    size_t linesInBlock = 0;
    for (const TableLine& line : table.lines) {
        if (version < line.minVersion || version > line.maxVersion) {
            continue;
        }
        moviemaker::Actions actions;
        try {
            if (line.statements) {
                if (line.traced) {
                    actions.push(line.source).code(swf::op::Trace);
                }
                actions.raw(compileScript(line.source, version).body());
            } else {
                const std::vector<Node> parsed = parseScript(line.source);
                if (parsed.size() != 1 || parsed[0].kind != Node::Kind::ExprStmt) {
                    throw ScriptError("a traced line holds one expression");
                }
                Node traced;
                traced.kind = Node::Kind::Call;
                traced.kids.resize(1);
                traced.kids[0].kind = Node::Kind::Name;
                traced.kids[0].text = "trace";
                traced.kids.push_back(parsed[0].kids[0]);
                Node statement;
                statement.kind = Node::Kind::ExprStmt;
                statement.kids.push_back(std::move(traced));
                actions.push(line.source).code(swf::op::Trace);
                actions.raw(compileStatements({statement}, version).body());
            }
        } catch (const ScriptError& e) {
            out.skipped.push_back("line " + std::to_string(line.lineNumber) + " (" + line.source +
                                  "): " + e.what());
            continue;
        }
        block.raw(actions.body());
        if (++linesInBlock == kLinesPerBlock) {
            movie.doAction(block);
            block = {};
            linesInBlock = 0;
        }
        if (line.traced) {
            out.traced.push_back(line.source);
        }
    }
    movie.doAction(block.stop());
    movie.showFrame();
    out.bytes = movie.finish();
    return out;
}

} // namespace scriptrules
