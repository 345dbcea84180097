#include "Table.h"

#include "Parser.h"

#include <cctype>
#include <map>
#include <sstream>

namespace scriptrules {

namespace {

constexpr size_t kMaxExpandedLines = 200000;

std::string trim(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) {
        ++b;
    }
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) {
        --e;
    }
    return std::string(s.substr(b, e - b));
}

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

uint8_t versionNumber(const std::string& text, int lineNumber) {
    if (text.empty() || text.size() > 2 ||
        !std::isdigit(static_cast<unsigned char>(text.front())) ||
        !std::isdigit(static_cast<unsigned char>(text.back()))) {
        throw ScriptError("line " + std::to_string(lineNumber) + ": bad version '" + text + "'");
    }
    return static_cast<uint8_t>(std::stoi(text));
}

using Lists = std::map<std::string, std::vector<std::string>>;

// Replaces the first `$NAME` of a known list, and its other uses in the line, by each of its
// values, recursively. The values are not expanded again, so a value may hold a dollar sign.
void expand(const std::string& line, size_t from, const Lists& lists, std::vector<std::string>& out,
            int lineNumber) {
    for (size_t i = from; i < line.size(); ++i) {
        if (line[i] != '$') {
            continue;
        }
        size_t end = i + 1;
        while (end < line.size() && isNameChar(line[end])) {
            ++end;
        }
        const auto list = lists.find(line.substr(i + 1, end - i - 1));
        if (list == lists.end()) {
            continue; // a dollar sign of the script itself
        }
        const std::string token = line.substr(i, end - i);
        for (const std::string& v : list->second) {
            // Every use of the list in the line takes the same value.
            std::string filled = line.substr(0, i) + v;
            size_t next = end;
            while (true) {
                size_t at = line.find(token, next);
                while (at != std::string::npos && at + token.size() < line.size() &&
                       isNameChar(line[at + token.size()])) {
                    at = line.find(token, at + 1);
                }
                if (at == std::string::npos) {
                    break;
                }
                filled += line.substr(next, at - next) + v;
                next = at + token.size();
            }
            filled += line.substr(next);
            expand(filled, i + v.size(), lists, out, lineNumber);
        }
        return;
    }
    if (out.size() >= kMaxExpandedLines) {
        throw ScriptError("line " + std::to_string(lineNumber) + ": too many lines");
    }
    out.push_back(line);
}

} // namespace

Table readTable(std::string_view text) {
    Table table;
    Lists lists;
    std::istringstream in{std::string(text)};
    std::string raw;
    int lineNumber = 0;
    std::string openList;
    while (std::getline(in, raw)) {
        ++lineNumber;
        std::string line = trim(raw);
        if (!openList.empty()) {
            if (line == "end") {
                openList.clear();
            } else if (!line.empty() && line.front() != '#') {
                lists[openList].push_back(line);
            }
            continue;
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.starts_with("versions ")) {
            std::istringstream words(line.substr(9));
            std::string w;
            while (words >> w) {
                table.versions.push_back(versionNumber(w, lineNumber));
            }
            continue;
        }
        if (line.starts_with("values ")) {
            openList = trim(line.substr(7));
            lists[openList].clear();
            continue;
        }
        TableLine proto;
        proto.lineNumber = lineNumber;
        if (line.front() == '@') {
            const size_t space = line.find(' ');
            const std::string range = line.substr(1, space == std::string::npos ? 0 : space - 1);
            const size_t dash = range.find('-');
            proto.minVersion = versionNumber(range.substr(0, dash), lineNumber);
            if (dash != std::string::npos) {
                proto.maxVersion = versionNumber(range.substr(dash + 1), lineNumber);
            }
            line = space == std::string::npos ? std::string() : trim(line.substr(space));
        }
        if (line.starts_with("do ")) {
            proto.traced = false;
            proto.statements = true;
            line = trim(line.substr(3));
        } else if (line.starts_with("run ")) {
            proto.statements = true;
            line = trim(line.substr(4));
        }
        std::vector<std::string> sources;
        expand(line, 0, lists, sources, lineNumber);
        for (std::string& s : sources) {
            TableLine l = proto;
            l.source = std::move(s);
            table.lines.push_back(std::move(l));
            if (table.lines.size() > kMaxExpandedLines) {
                throw ScriptError("too many lines");
            }
        }
    }
    if (!openList.empty()) {
        throw ScriptError("list " + openList + " has no end");
    }
    return table;
}

} // namespace scriptrules
