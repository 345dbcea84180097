// scriptrules [--verbose] OUTDIR TABLE.txt...: writes one movie per table and SWF version
// (OUTDIR/NAME-vN.swf, with the traced lines' text in NAME-vN.lines), each line tracing its own
// text and then its value, to compare the script machine with another player line by line. `include
// NAME` in a table takes the text of NAME from the table's folder. A table with input also gets
// NAME-vN.input.json, the person's input that `cardtool trace --input` and trace-diff feed it.
// Tables that begin with `timeline` are clip tables (see ClipTable.h): movies of several frames
// whose scripts trace what they mean to.

#include "ClipTable.h"
#include "Parser.h"
#include "Table.h"
#include "TableMovie.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        throw scriptrules::ScriptError(path.string() + ": cannot read");
    }
    return text.str();
}

// `include NAME` lines take the text of NAME beside the table (shared value lists).
std::string withIncludes(const fs::path& path, int depth = 0) {
    if (depth > 8) {
        throw scriptrules::ScriptError(path.string() + ": includes nest too deeply");
    }
    std::istringstream in(readFile(path));
    std::string out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.starts_with("include ")) {
            out += withIncludes(path.parent_path() / line.substr(8), depth + 1);
        } else {
            out += line;
            out += '\n';
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    int first = 1;
    const bool verbose = argc > 1 && std::string(argv[1]) == "--verbose";
    if (verbose) {
        ++first;
    }
    if (argc < first + 2) {
        std::fprintf(stderr, "usage: scriptrules [--verbose] OUTDIR TABLE.txt...\n");
        return 2;
    }
    const fs::path outDir = argv[first];
    fs::create_directories(outDir);
    int status = 0;
    for (int i = first + 1; i < argc; ++i) {
        const fs::path path = argv[i];
        try {
            const std::string text = withIncludes(path);
            const bool clips = scriptrules::isClipTable(text);
            scriptrules::Table table;
            if (clips) {
                table.versions = scriptrules::clipTableVersions(text);
            } else {
                table = scriptrules::readTable(text);
            }
            for (uint8_t v : table.versions) {
                const auto movie = clips ? scriptrules::buildClipMovie(text, v)
                                         : scriptrules::buildTableMovie(table, v);
                const fs::path file =
                    outDir / (path.stem().string() + "-v" + std::to_string(v) + ".swf");
                std::ofstream(file, std::ios::binary)
                    .write(reinterpret_cast<const char*>(movie.bytes.data()),
                           static_cast<std::streamsize>(movie.bytes.size()));
                const std::string input = scriptrules::inputJson(table);
                if (!input.empty()) {
                    std::ofstream(fs::path(file).replace_extension(".input.json")) << input;
                }
                for (const auto& [name, bytes] : movie.files) {
                    std::ofstream(outDir / name, std::ios::binary)
                        .write(reinterpret_cast<const char*>(bytes.data()),
                               static_cast<std::streamsize>(bytes.size()));
                }
                std::ofstream lines(fs::path(file).replace_extension(".lines"));
                for (const std::string& t : movie.traced) {
                    lines << t << '\n';
                }
                if (verbose) {
                    for (const std::string& s : movie.skipped) {
                        std::fprintf(stderr, "%s v%d: skipped %s\n", path.filename().c_str(), v,
                                     s.c_str());
                    }
                } else if (!movie.skipped.empty()) {
                    std::fprintf(stderr, "%s v%d: %zu lines skipped (--verbose lists them)\n",
                                 path.filename().c_str(), v, movie.skipped.size());
                }
            }
        } catch (const scriptrules::ScriptError& e) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), e.what());
            status = 1;
        }
    }
    return status;
}
