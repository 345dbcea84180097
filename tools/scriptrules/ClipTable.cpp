#include "ClipTable.h"

#include "Compiler.h"
#include "Parser.h"
#include "moviemaker/Sound.h"
#include "moviemaker/SwfWriter.h"

#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace scriptrules {

namespace {

constexpr uint16_t kDoInitAction = 59;
constexpr size_t kMaxLines = 4000;

std::string trimmed(std::string_view s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos) {
        return {};
    }
    const size_t e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

// The first word and what follows it.
std::pair<std::string, std::string> splitWord(const std::string& line) {
    const size_t space = line.find_first_of(" \t");
    if (space == std::string::npos) {
        return {line, {}};
    }
    return {line.substr(0, space), trimmed(line.substr(space))};
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    std::string w;
    while (in >> w) {
        out.push_back(w);
    }
    return out;
}

long wholeNumber(const std::string& text, long low, long high, const char* what) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < low || n > high) {
        throw ScriptError(std::string("bad ") + what + " '" + text + "'");
    }
    return n;
}

uint32_t eventFlags(const std::string& names) {
    static const std::map<std::string, uint32_t> events{{"load", 0x1},
                                                        {"enterFrame", 0x2},
                                                        {"unload", 0x4},
                                                        {"mouseMove", 0x8},
                                                        {"mouseDown", 0x10},
                                                        {"mouseUp", 0x20},
                                                        {"keyDown", 0x40},
                                                        {"keyUp", 0x80},
                                                        {"data", 0x100},
                                                        {"initialize", 0x200},
                                                        {"press", 0x400},
                                                        {"release", 0x800},
                                                        {"releaseOutside", 0x1000},
                                                        {"rollOver", 0x2000},
                                                        {"rollOut", 0x4000},
                                                        {"dragOver", 0x8000},
                                                        {"dragOut", 0x10000},
                                                        {"construct", 0x40000}};
    uint32_t flags = 0;
    std::istringstream in(names);
    std::string name;
    while (std::getline(in, name, ',')) {
        const auto it = events.find(name);
        if (it == events.end()) {
            throw ScriptError("no clip event '" + name + "'");
        }
        flags |= it->second;
    }
    return flags;
}

class ClipMovieBuilder {
  public:
    explicit ClipMovieBuilder(uint8_t version) : version_(version), movie_(header(version)) {}

    TableMovie build(std::string_view text, bool nested = false) {
        std::istringstream in{withVersion(text)};
        std::string raw;
        int number = 0;
        while (std::getline(in, raw)) {
            ++number;
            if (number > static_cast<int>(kMaxLines)) {
                throw ScriptError("more than " + std::to_string(kMaxLines) + " lines");
            }
            const std::string line = trimmed(raw);
            if (child_) {
                // The child's lines keep their numbers, so that its errors name the table's.
                if (line == "endmovie") {
                    endChild();
                } else {
                    child_->text += raw + '\n';
                }
                continue;
            }
            if (line.empty() || line[0] == '#') {
                continue;
            }
            try {
                if (nested && (line.starts_with("movie ") || line == "endmovie")) {
                    throw ScriptError("movies do not nest");
                }
                lineOf(line, number);
            } catch (const moviemaker::WriteError& e) {
                throw ScriptError("line " + std::to_string(number) + ": " + e.what());
            } catch (const ScriptError& e) {
                const std::string what = e.what();
                if (what.starts_with("line ")) {
                    throw;
                }
                throw ScriptError("line " + std::to_string(number) + ": " + what);
            }
        }
        if (sprite_) {
            throw ScriptError("sprite " + spriteName_ + " lacks its end");
        }
        if (child_) {
            throw ScriptError("movie " + child_->name + " lacks its endmovie");
        }
        flushPlacement();
        if (rootPending_ || movie_.frameCount() == 0) {
            movie_.showFrame();
        }
        out_.bytes = movie_.finish();
        return std::move(out_);
    }

  private:
    struct Child {
        std::string name;
        std::string text;
    };

    std::string withVersion(std::string_view text) const {
        std::string out(text);
        const std::string v = std::to_string(version_);
        for (size_t at = out.find("%V"); at != std::string::npos; at = out.find("%V", at)) {
            out.replace(at, 2, v);
            at += v.size();
        }
        return out;
    }

    // A file's name is one plain name in the movie's folder.
    static std::string fileName(const std::string& name) {
        const bool plain =
            !name.empty() && name[0] != '.' && name.size() <= 100 &&
            name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                   "0123456789._-") == std::string::npos;
        if (!plain) {
            throw ScriptError("bad file name '" + name + "'");
        }
        return name;
    }

    void addFile(const std::string& rest) {
        const auto [name, text] = splitWord(rest);
        std::vector<uint8_t> bytes;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
                bytes.push_back('\n');
                ++i;
            } else {
                bytes.push_back(static_cast<uint8_t>(text[i]));
            }
        }
        out_.files.emplace_back(fileName(name), std::move(bytes));
    }

    void beginChild(const std::string& rest, int number) {
        if (sprite_) {
            throw ScriptError("a movie begins outside sprites");
        }
        // Blank lines before its own keep the child's line numbers the table's.
        child_ = Child{fileName(rest), std::string(static_cast<size_t>(number), '\n')};
    }

    void endChild() {
        ClipMovieBuilder child(version_);
        TableMovie made = child.build(child_->text, true);
        for (std::string& s : made.skipped) {
            out_.skipped.push_back(child_->name + " " + s);
        }
        out_.files.emplace_back(child_->name, std::move(made.bytes));
        child_.reset();
    }

    static moviemaker::MovieHeader header(uint8_t version) {
        moviemaker::MovieHeader h;
        h.version = version;
        h.frameSize = moviemaker::Rect::pixels(100, 100);
        return h;
    }

    moviemaker::Timeline& timeline() {
        if (sprite_) {
            return *sprite_;
        }
        return movie_;
    }

    uint16_t symbol(const std::string& name) const {
        const auto it = symbols_.find(name);
        if (it == symbols_.end()) {
            throw ScriptError("no symbol '" + name + "' defined before");
        }
        return it->second;
    }

    // The actions of a script line, or nothing when the version cannot hold it.
    std::optional<moviemaker::Actions> compiled(const std::string& source, int number) {
        try {
            return compileScript(source, version_);
        } catch (const ScriptError& e) {
            out_.skipped.push_back("line " + std::to_string(number) + " (" + source +
                                   "): " + e.what());
            return std::nullopt;
        }
    }

    void lineOf(const std::string& line, int number) {
        const auto [word, rest] = splitWord(line);
        if (word == "timeline" || word == "versions") {
            return;
        }
        if (word == "on") {
            addHandler(rest, number);
            return;
        }
        flushPlacement();
        if (word == "shape") {
            defineShape(words(rest));
        } else if (word == "sprite") {
            beginSprite(words(rest));
        } else if (word == "end") {
            endSprite();
        } else if (word == "script") {
            if (auto actions = compiled(rest, number)) {
                timeline().doAction(*actions);
                pending();
            }
        } else if (word == "init") {
            initActions(rest, number);
        } else if (word == "place" || word == "place3") {
            placement(words(rest), word == "place3" ? 3 : 2, false);
        } else if (word == "move" || word == "replace") {
            placement(words(rest), 2, true);
        } else if (word == "remove") {
            const auto w = words(rest);
            if (w.size() != 1) {
                throw ScriptError("remove takes a depth");
            }
            timeline().removeObject(static_cast<uint16_t>(wholeNumber(w[0], 1, 65535, "depth")));
            pending();
        } else if (word == "label") {
            if (rest.empty()) {
                throw ScriptError("label takes a name");
            }
            timeline().frameLabel(rest);
            pending();
        } else if (word == "sound") {
            defineSound(words(rest));
        } else if (word == "file") {
            addFile(rest);
        } else if (word == "movie") {
            beginChild(rest, number);
        } else if (word == "show") {
            const long n = rest.empty() ? 1 : wholeNumber(rest, 1, 1000, "frame count");
            for (long i = 0; i < n; ++i) {
                timeline().showFrame();
            }
            if (sprite_) {
                spritePending_ = false;
            } else {
                rootPending_ = false;
            }
        } else {
            throw ScriptError("unknown line '" + word + "'");
        }
    }

    void pending() { (sprite_ ? spritePending_ : rootPending_) = true; }

    void defineShape(const std::vector<std::string>& w) {
        if (w.size() != 3 || sprite_) {
            throw ScriptError("shape NAME WIDTH HEIGHT, outside sprites");
        }
        const long width = wholeNumber(w[1], 1, 4000, "width");
        const long height = wholeNumber(w[2], 1, 4000, "height");
        moviemaker::Shape box;
        box.fill1(box.addFill(moviemaker::FillStyle::solid({255, 0, 0})))
            .rectangle(0, 0, static_cast<int32_t>(width * 20), static_cast<int32_t>(height * 20));
        symbols_[w[0]] = movie_.defineShape(box);
    }

    // A quiet tone of 16-bit samples at 11 kHz, exported under its name for attachSound.
    void defineSound(const std::vector<std::string>& w) {
        if (w.size() != 2 || sprite_) {
            throw ScriptError("sound NAME MILLISECONDS, outside sprites");
        }
        const long ms = wholeNumber(w[1], 1, 10000, "length");
        constexpr uint32_t kRate = 11025;
        const auto count = static_cast<uint32_t>(ms * kRate / 1000);
        std::vector<uint8_t> data;
        data.reserve(count * 2);
        for (uint32_t i = 0; i < count; ++i) {
            const int16_t sample = (i / 25) % 2 == 0 ? 600 : -600;
            data.push_back(static_cast<uint8_t>(sample & 0xFF));
            data.push_back(static_cast<uint8_t>((sample >> 8) & 0xFF));
        }
        moviemaker::SoundFormat format;
        format.rateCode = 1;
        const uint16_t id = movie_.defineSound(format, count, data);
        movie_.exportAssets(id, w[0]);
        symbols_[w[0]] = id;
    }

    void beginSprite(const std::vector<std::string>& w) {
        if (sprite_) {
            throw ScriptError("sprites do not nest");
        }
        if (w.size() != 1 && !(w.size() == 3 && w[1] == "export")) {
            throw ScriptError("sprite NAME [export NAME]");
        }
        sprite_.emplace();
        spriteName_ = w[0];
        spriteExport_ = w.size() == 3 ? w[2] : std::string();
        spritePending_ = false;
    }

    void endSprite() {
        if (!sprite_) {
            throw ScriptError("end outside a sprite");
        }
        if (spritePending_ || sprite_->frameCount() == 0) {
            sprite_->showFrame();
        }
        const uint16_t id = movie_.defineSprite(*sprite_);
        sprite_.reset();
        symbols_[spriteName_] = id;
        if (!spriteExport_.empty()) {
            movie_.exportAssets(id, spriteExport_);
        }
    }

    void initActions(const std::string& rest, int number) {
        const auto [name, source] = splitWord(rest);
        if (sprite_) {
            throw ScriptError("init actions belong to the root");
        }
        const uint16_t id = symbol(name);
        if (auto actions = compiled(source, number)) {
            std::vector<uint8_t> body{static_cast<uint8_t>(id & 0xFF),
                                      static_cast<uint8_t>(id >> 8)};
            const std::vector<uint8_t> code = actions->bytes();
            body.insert(body.end(), code.begin(), code.end());
            movie_.rawTag(kDoInitAction, body);
            rootPending_ = true;
        }
    }

    // place DEPTH SYMBOL [name N] [x X] [y Y]; move DEPTH [...]; replace DEPTH SYMBOL [...].
    void placement(const std::vector<std::string>& w, int placeVersion, bool move) {
        if (w.empty()) {
            throw ScriptError("a placement needs a depth");
        }
        moviemaker::PlaceObject p;
        p.depth = static_cast<uint16_t>(wholeNumber(w[0], 1, 65535, "depth"));
        p.move = move;
        p.movieVersion = version_;
        size_t i = 1;
        const bool needsSymbol = !move || (w.size() > 1 && symbols_.contains(w[1]));
        if (needsSymbol) {
            if (w.size() < 2) {
                throw ScriptError("a placement needs a symbol");
            }
            p.characterId = symbol(w[1]);
            i = 2;
        }
        double x = 0;
        double y = 0;
        bool moved = false;
        for (; i + 1 < w.size(); i += 2) {
            if (w[i] == "name") {
                p.name = w[i + 1];
            } else if (w[i] == "x") {
                x = static_cast<double>(wholeNumber(w[i + 1], -4000, 4000, "x"));
                moved = true;
            } else if (w[i] == "y") {
                y = static_cast<double>(wholeNumber(w[i + 1], -4000, 4000, "y"));
                moved = true;
            } else if (w[i] == "ratio") {
                p.ratio = static_cast<uint16_t>(wholeNumber(w[i + 1], 0, 65535, "ratio"));
            } else {
                throw ScriptError("unknown placement field '" + w[i] + "'");
            }
        }
        if (i != w.size()) {
            throw ScriptError("a placement field lacks its value");
        }
        if (moved) {
            p.matrix = moviemaker::Matrix::translate(static_cast<int32_t>(x * 20),
                                                     static_cast<int32_t>(y * 20));
        }
        placement_ = p;
        placementVersion_ = placeVersion;
    }

    void addHandler(const std::string& rest, int number) {
        if (!placement_) {
            throw ScriptError("an event handler follows a placement");
        }
        const auto [names, source] = splitWord(rest);
        const uint32_t flags = eventFlags(names);
        if (version_ <= 5 && flags > 0xFFFF) {
            out_.skipped.push_back("line " + std::to_string(number) + ": " + names +
                                   " needs version 6");
            return;
        }
        if (auto actions = compiled(source, number)) {
            placement_->clipActions.push_back({flags, 0, actions->bytes()});
        }
    }

    // A placement is written once its handlers are known.
    void flushPlacement() {
        if (placement_) {
            timeline().placeObject(*placement_, placementVersion_);
            placement_.reset();
            pending();
        }
    }

    uint8_t version_;
    moviemaker::SwfWriter movie_;
    std::optional<moviemaker::Sprite> sprite_;
    std::string spriteName_;
    std::string spriteExport_;
    bool spritePending_ = false;
    bool rootPending_ = false;
    std::optional<moviemaker::PlaceObject> placement_;
    int placementVersion_ = 2;
    std::map<std::string, uint16_t> symbols_;
    std::optional<Child> child_;
    TableMovie out_;
};

} // namespace

bool isClipTable(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::string raw;
    while (std::getline(in, raw)) {
        const std::string line = trimmed(raw);
        if (!line.empty() && line[0] != '#') {
            return line == "timeline";
        }
    }
    return false;
}

std::vector<uint8_t> clipTableVersions(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::string raw;
    while (std::getline(in, raw)) {
        const auto [word, rest] = splitWord(trimmed(raw));
        if (word == "versions") {
            std::vector<uint8_t> out;
            for (const std::string& v : words(rest)) {
                out.push_back(static_cast<uint8_t>(wholeNumber(v, 1, 40, "version")));
            }
            return out;
        }
    }
    throw ScriptError("a clip table names its versions");
}

TableMovie buildClipMovie(std::string_view text, uint8_t version) {
    ClipMovieBuilder builder(version);
    return builder.build(text);
}

} // namespace scriptrules
