#include "TableMovie.h"

#include "Compiler.h"
#include "Parser.h"
#include "moviemaker/SwfWriter.h"
#include "swf/ActionCodes.h"

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
