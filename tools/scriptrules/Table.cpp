#include "Table.h"

#include "Parser.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <map>
#include <optional>
#include <sstream>
#include <string>

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

int pixels(const std::string& text, int lineNumber) {
    size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || v < -4000 || v > 4000) {
        throw ScriptError("line " + std::to_string(lineNumber) + ": bad pixels '" + text + "'");
    }
    return v;
}

std::vector<std::string> wordsOf(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    std::string w;
    while (in >> w) {
        out.push_back(w);
    }
    return out;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

bool oneCharacter(std::string_view key) {
    return !key.empty() &&
           (key.size() == 1 || (static_cast<unsigned char>(key[0]) >= 0xC0 && key.size() <= 4));
}

// A key: a single character is a character key, `Numpad` and one character the keypad's key
// that types it, anything else a named key.
std::string keyJson(const std::string& key) {
    constexpr std::string_view pad = "Numpad";
    if (key.size() == pad.size() + 1 && key.starts_with(pad)) {
        return "{\"Numpad\": " + quoted(key.substr(pad.size())) + "}";
    }
    return oneCharacter(key) ? "{\"Char\": " + quoted(key) + "}" : quoted(key);
}

// One `input` line as events:
//   move X Y | down X Y [Left|Middle|Right] | up X Y [button] | click X Y
//   wheel LINES | keydown KEY | keyup KEY | key KEY (down, then up; Numpad5, Numpad/: the
//   keypad's keys) | text TEXT (each
//   character typed without a key) | control CODE (an editing command) | wait [N]
void inputEvents(const std::string& text, int lineNumber, std::vector<std::string>& out) {
    const std::vector<std::string> w = wordsOf(text);
    const auto bad = [&]() {
        return ScriptError("line " + std::to_string(lineNumber) + ": bad input '" + text + "'");
    };
    if (w.empty()) {
        throw bad();
    }
    const std::string& what = w[0];
    const auto pos = [&]() {
        if (w.size() < 3) {
            throw bad();
        }
        return "\"pos\": [" + std::to_string(pixels(w[1], lineNumber)) + ", " +
               std::to_string(pixels(w[2], lineNumber)) + "]";
    };
    if (what == "move" && w.size() == 3) {
        out.push_back("{\"type\": \"MouseMove\", " + pos() + "}");
    } else if ((what == "down" || what == "up") && (w.size() == 3 || w.size() == 4)) {
        const std::string btn = w.size() == 4 ? w[3] : "Left";
        if (btn != "Left" && btn != "Middle" && btn != "Right") {
            throw bad();
        }
        out.push_back("{\"type\": \"" + std::string(what == "down" ? "MouseDown" : "MouseUp") +
                      "\", " + pos() + ", \"btn\": \"" + btn + "\"}");
    } else if (what == "click" && w.size() == 3) {
        out.push_back("{\"type\": \"MouseDown\", " + pos() + ", \"btn\": \"Left\"}");
        out.push_back("{\"type\": \"MouseUp\", " + pos() + ", \"btn\": \"Left\"}");
    } else if (what == "wheel" && w.size() == 2) {
        out.push_back("{\"type\": \"MouseWheel\", \"lines\": " +
                      std::to_string(pixels(w[1], lineNumber)) + "}");
    } else if ((what == "keydown" || what == "keyup" || what == "key") && w.size() == 2) {
        if (what != "keyup") {
            out.push_back("{\"type\": \"KeyDown\", \"key\": " + keyJson(w[1]) + "}");
        }
        if (what != "keydown") {
            out.push_back("{\"type\": \"KeyUp\", \"key\": " + keyJson(w[1]) + "}");
        }
    } else if (what == "text" && w.size() == 2) {
        for (size_t i = 0; i < w[1].size();) {
            size_t n = 1;
            while (i + n < w[1].size() &&
                   (static_cast<unsigned char>(w[1][i + n]) & 0xC0) == 0x80) {
                ++n;
            }
            out.push_back("{\"type\": \"TextInput\", \"codepoint\": " + quoted(w[1].substr(i, n)) +
                          "}");
            i += n;
        }
    } else if (what == "control" && w.size() == 2) {
        out.push_back("{\"type\": \"TextControl\", \"code\": " + quoted(w[1]) + "}");
    } else if (what == "wait" && w.size() <= 2) {
        const int n = w.size() == 2 ? pixels(w[1], lineNumber) : 1;
        if (n < 1 || n > 1000) {
            throw bad();
        }
        for (int i = 0; i < n; ++i) {
            out.emplace_back("{\"type\": \"Wait\"}");
        }
    } else {
        throw bad();
    }
    if (out.size() > kMaxExpandedLines) {
        throw ScriptError("too many input events");
    }
}

// A key of a button's on(keyPress): a named key in angle brackets, as on() spells it, or
// one printable character.
std::optional<std::pair<uint8_t, std::string>> buttonKey(const std::string& word) {
    static const std::pair<const char*, uint8_t> kNamed[] = {
        {"<Left>", 1},    {"<Right>", 2},     {"<Home>", 3},   {"<End>", 4},     {"<Insert>", 5},
        {"<Delete>", 6},  {"<Backspace>", 8}, {"<Enter>", 13}, {"<Up>", 14},     {"<Down>", 15},
        {"<PageUp>", 16}, {"<PageDown>", 17}, {"<Tab>", 18},   {"<Escape>", 19}, {"<Space>", 32}};
    for (const auto& [name, code] : kNamed) {
        if (word == name) {
            return std::make_pair(code, word);
        }
    }
    if (word.size() == 1 && word[0] > 32 && word[0] < 127) {
        return std::make_pair(static_cast<uint8_t>(word[0]), word);
    }
    return std::nullopt;
}

//   button NAME X Y W H [menu] [keys KEY...]
TableButton buttonOf(const std::string& text, int lineNumber) {
    const std::vector<std::string> w = wordsOf(text);
    const auto bad = [&]() {
        return ScriptError("line " + std::to_string(lineNumber) + ": bad button '" + text + "'");
    };
    if (w.size() < 5) {
        throw bad();
    }
    TableButton b;
    b.name = w[0];
    b.x = pixels(w[1], lineNumber);
    b.y = pixels(w[2], lineNumber);
    b.width = pixels(w[3], lineNumber);
    b.height = pixels(w[4], lineNumber);
    size_t next = 5;
    if (next < w.size() && w[next] == "menu") {
        b.trackAsMenu = true;
        ++next;
    }
    if (next < w.size()) {
        if (w[next] != "keys" || next + 1 == w.size()) {
            throw bad();
        }
        for (++next; next < w.size(); ++next) {
            const auto key = buttonKey(w[next]);
            if (!key) {
                throw bad();
            }
            b.keys.push_back(*key);
        }
    }
    if (b.width <= 0 || b.height <= 0) {
        throw ScriptError("line " + std::to_string(lineNumber) + ": a button has a size");
    }
    return b;
}

//   statictext X Y SIZE TEXT
TableText staticTextOf(const std::string& text, int lineNumber) {
    const auto bad = [&](const std::string& why) {
        return ScriptError("line " + std::to_string(lineNumber) + ": " + why);
    };
    std::istringstream in(text);
    std::string x;
    std::string y;
    std::string size;
    if (!(in >> x >> y >> size)) {
        throw bad("statictext X Y SIZE TEXT");
    }
    TableText t;
    t.x = pixels(x, lineNumber);
    t.y = pixels(y, lineNumber);
    t.size = pixels(size, lineNumber);
    std::getline(in >> std::ws, t.text);
    // Glyph advances and the record's height are 16-bit twips.
    constexpr int kLargest = 200;
    if (t.size <= 0 || t.size > kLargest) {
        throw bad("a static text is 1 to 200 pixels high");
    }
    if (t.text.empty() || t.text.size() > 256 ||
        std::any_of(t.text.begin(), t.text.end(), [](char c) { return c < 32 || c > 126; })) {
        throw bad("a static text holds 1 to 256 printable ASCII characters");
    }
    return t;
}

} // namespace

std::string inputJson(const Table& table) {
    if (table.input.empty()) {
        return {};
    }
    std::string out = "[\n";
    for (size_t i = 0; i < table.input.size(); ++i) {
        out += "  " + table.input[i] + (i + 1 < table.input.size() ? ",\n" : "\n");
    }
    return out + "]\n";
}

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
        if (line.starts_with("stage ")) {
            const std::vector<std::string> w = wordsOf(line.substr(6));
            if (w.size() != 2) {
                throw ScriptError("line " + std::to_string(lineNumber) + ": stage W H");
            }
            table.stageWidth = pixels(w[0], lineNumber);
            table.stageHeight = pixels(w[1], lineNumber);
            if (table.stageWidth <= 0 || table.stageHeight <= 0) {
                throw ScriptError("line " + std::to_string(lineNumber) + ": an empty stage");
            }
            continue;
        }
        if (line.starts_with("button ")) {
            table.buttons.push_back(buttonOf(line.substr(7), lineNumber));
            continue;
        }
        if (line.starts_with("statictext ")) {
            table.texts.push_back(staticTextOf(line.substr(11), lineNumber));
            continue;
        }
        if (line.starts_with("input ")) {
            inputEvents(line.substr(6), lineNumber, table.input);
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
