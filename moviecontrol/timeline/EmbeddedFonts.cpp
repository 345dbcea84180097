#include "EmbeddedFonts.h"

#include <string>
#include <variant>

namespace mc {

EmbeddedFont embeddedFontNamed(const swf::Movie& movie, std::string_view name, bool bold,
                               bool italic, StyleMatch match) {
    EmbeddedFont other;
    for (const auto& [id, definition] : movie.dictionary) {
        const auto* f = std::get_if<swf::Font>(&definition);
        if (f == nullptr || f->name != name || f->glyphs.empty()) {
            continue;
        }
        if (f->bold == bold && f->italic == italic) {
            return {f, id};
        }
        if (match == StyleMatch::Preferred && other.font == nullptr) {
            other = {f, id};
        }
    }
    if (other.font != nullptr) {
        return other;
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
