// Text in ActionScript 3 movies: the fields' text model, which the TextField and TextFormat
// classes read and change in place, and the fonts the movie embeds for flash.text.Font.
#include "As3DisplayTree.h"
#include "MovieLibrary.h"
#include "StyleSheet.h"
#include "TextFieldState.h"
#include "TextMetrics.h"
#include "swf/Movie.h"

#include <cmath>
#include <variant>

namespace mc {

TextDocument* As3DisplayTree::textDocument(avm2::NodeId node) {
    DisplayObject* o = find(node);
    return o != nullptr && o->text ? &o->text->document : nullptr;
}

TextFormat* As3DisplayTree::textNewFormat(avm2::NodeId node) {
    DisplayObject* o = find(node);
    return o != nullptr && o->text ? &o->text->newFormat : nullptr;
}

void As3DisplayTree::textEdited(avm2::NodeId node) {
    if (DisplayObject* o = find(node); o != nullptr && o->text) {
        layOutText(*o);
    }
}

void As3DisplayTree::layOutText(DisplayObject& o) {
    TextFieldState& t = *o.text;
    const double left = t.bounds.xMin;
    relayOut(player_.catalog(), t);
    const double shift = t.bounds.xMin - left;
    if (shift == 0 || !std::isfinite(shift)) {
        return;
    }
    t.bounds.xMin -= shift;
    t.bounds.xMax -= shift;
    t.field.bounds.xMin = static_cast<std::int32_t>(t.bounds.xMin);
    t.field.bounds.xMax = static_cast<std::int32_t>(t.bounds.xMax);
    // The box's move, in the parent's space.
    o.scriptMoveTo(o.matrix.tx + o.matrix.a * shift, o.matrix.ty + o.matrix.b * shift);
}

void As3DisplayTree::setStyledText(avm2::NodeId node, const std::string& html,
                                   const StyleSheet& styles) {
    if (DisplayObject* o = find(node); o != nullptr && o->text) {
        o->text->setHtmlText(html, &styles);
        layOutText(*o);
    }
}

namespace {

// Only fonts with a name count: a DefineFont without its info names nothing to ask for.
std::optional<avm2::DisplayHost::EmbeddedFont> embedded(const swf::Definition& d) {
    const auto* font = std::get_if<swf::Font>(&d);
    if (font == nullptr || font->name.empty()) {
        return std::nullopt;
    }
    std::string name = font->name;
    // Names are stored with their terminator in some files.
    while (!name.empty() && name.back() == '\0') {
        name.pop_back();
    }
    return avm2::DisplayHost::EmbeddedFont{name, font->bold, font->italic};
}

} // namespace

std::vector<avm2::DisplayHost::EmbeddedFont> As3DisplayTree::embeddedFonts() {
    std::vector<EmbeddedFont> fonts;
    const swf::Movie* movie = player_.library().movie(0);
    if (movie == nullptr) {
        return fonts;
    }
    for (const auto& [id, d] : movie->dictionary) {
        if (auto f = embedded(d)) {
            fonts.push_back(std::move(*f));
        }
    }
    return fonts;
}

std::optional<avm2::DisplayHost::EmbeddedFont>
As3DisplayTree::fontOfClass(const std::string& className) {
    const swf::Movie* movie = player_.library().movie(0);
    if (movie == nullptr) {
        return std::nullopt;
    }
    for (const auto& [id, name] : symbolClasses_) {
        if (name == className) {
            if (const swf::Definition* d = movie->find(id)) {
                return embedded(*d);
            }
        }
    }
    return std::nullopt;
}

} // namespace mc
