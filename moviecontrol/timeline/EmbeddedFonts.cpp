#include "EmbeddedFonts.h"

#include <string>
#include <variant>

namespace mc {

namespace {

// Font names match whatever their letters' case.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// How far a face is from the style asked for: the exact style, then the other weight in the
// slant asked for, then the other slant in the weight asked for, then both changed.
int styleDistance(const swf::Font& f, bool bold, bool italic) {
    return (f.bold != bold ? 1 : 0) + (f.italic != italic ? 2 : 0);
}

} // namespace

EmbeddedFont embeddedFontNamed(const swf::Movie& movie, std::string_view name, bool bold,
                               bool italic, StyleMatch match) {
    EmbeddedFont nearest;
    int distance = 4;
    for (const auto& [id, definition] : movie.dictionary) {
        const auto* f = std::get_if<swf::Font>(&definition);
        if (f == nullptr || !sameName(f->name, name) || f->glyphs.empty()) {
            continue;
        }
        const int d = styleDistance(*f, bold, italic);
        if (d == 0) {
            return {f, id};
        }
        if (match == StyleMatch::Preferred && d < distance) {
            nearest = {f, id};
            distance = d;
        }
    }
    if (nearest.font != nullptr) {
        return nearest;
    }
    // Fonts exported for scripts are often known to them by that name only: the family a
    // definition gives may be one the machine lacks, or one a device font of the movie shares.
    const auto exported = movie.exports.find(std::string(name));
    if (exported != movie.exports.end()) {
        const auto* f = movie.findAs<swf::Font>(exported->second);
        if (f != nullptr && !f->glyphs.empty()) {
            return {f, exported->second};
        }
    }
    return {};
}

} // namespace mc
