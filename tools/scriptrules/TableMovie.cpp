#include "TableMovie.h"

#include "Compiler.h"
#include "Parser.h"
#include "moviemaker/SwfWriter.h"
#include "swf/ActionCodes.h"

#include <string>

namespace scriptrules {

namespace {

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
    header.frameSize = moviemaker::Rect::pixels(100, 100);
    moviemaker::SwfWriter movie(header);
    TableMovie out;
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
