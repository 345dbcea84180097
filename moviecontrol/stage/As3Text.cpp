// Text in ActionScript 3 movies: the fields' text model, which the TextField and TextFormat
// classes read and change in place, and the fonts the movie embeds for flash.text.Font.
#include "As3DisplayTree.h"
#include "MovieLibrary.h"
#include "ParagraphFrame.h"
#include "StyleSheet.h"
#include "TextFieldState.h"
#include "TextMetrics.h"
#include "swf/Movie.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace mc {

namespace {

// Ancestors climbed to tell whether a field is drawn.
constexpr int kMaxFieldClimb = 4096;

} // namespace

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

avm2::DisplayHost::TextLines As3DisplayTree::textLines(avm2::NodeId node) {
    TextLines out;
    DisplayObject* o = find(node);
    if (o == nullptr || !o->text) {
        return out;
    }
    TextFieldState& t = *o->text;
    clampScroll(player_.catalog(), t);
    for (const LineBox& line : fieldLines(player_.catalog(), t)) {
        out.lines.push_back({line.begin, line.end, line.x / 20.0, line.top / 20.0,
                             line.ascent / 20.0, line.descent / 20.0, line.leading / 20.0,
                             line.advance / 20.0});
    }
    out.scroll = t.scroll;
    out.width = (t.bounds.xMax - t.bounds.xMin) / 20.0;
    out.height = (t.bounds.yMax - t.bounds.yMin) / 20.0;
    return out;
}

namespace {

// How far the field's text is scrolled up, twips: the top of the first line shown.
double scrolledDown(const CharacterCatalog& catalog, const TextFieldState& t) {
    if (t.scroll <= 1) {
        return 0;
    }
    const std::vector<LineBox> lines = fieldLines(catalog, t);
    return lines.empty() ? 0 : lines[std::min(t.scroll, lines.size()) - 1].top;
}

} // namespace

std::optional<avm2::DisplayHost::CharacterBox> As3DisplayTree::textCharacterBox(avm2::NodeId node,
                                                                                std::size_t index) {
    DisplayObject* o = find(node);
    if (o == nullptr || !o->text) {
        return std::nullopt;
    }
    TextFieldState& t = *o->text;
    clampScroll(player_.catalog(), t);
    const std::optional<mc::CharacterBox> box = characterBox(player_.catalog(), t, index);
    if (!box) {
        return std::nullopt;
    }
    const double down = scrolledDown(player_.catalog(), t);
    // A line scrolled out above the box has no place in it.
    if (box->y - t.bounds.yMin - kFieldGutter < down) {
        return std::nullopt;
    }
    return CharacterBox{(box->x - t.hscroll * 20.0) / 20.0, (box->y - down) / 20.0,
                        box->width / 20.0, box->height / 20.0};
}

std::optional<std::size_t> As3DisplayTree::textCharacterAt(avm2::NodeId node, double x, double y) {
    DisplayObject* o = find(node);
    if (o == nullptr || !o->text || !std::isfinite(x) || !std::isfinite(y)) {
        return std::nullopt;
    }
    TextFieldState& t = *o->text;
    clampScroll(player_.catalog(), t);
    const double down = scrolledDown(player_.catalog(), t);
    return characterAt(player_.catalog(), t, x * 20.0 + t.hscroll * 20.0, y * 20.0 + down);
}

void As3DisplayTree::showTextSelection(avm2::NodeId node, std::size_t begin, std::size_t end) {
    DisplayObject* o = find(node);
    if (o == nullptr || !o->text) {
        return;
    }
    const TextFieldState::ShownSelection shown =
        begin < end ? TextFieldState::ShownSelection{begin, end} : TextFieldState::ShownSelection{};
    if (!(o->text->shownSelection == shown)) {
        o->text->shownSelection = shown;
        o->text->changed();
    }
}

void As3DisplayTree::layOutText(DisplayObject& o) {
    TextFieldState& t = *o.text;
    const Bounds kept = t.bounds;
    const swf::Rect keptRect = t.field.bounds;
    relayOut(player_.catalog(), t);
    PendingFit fit{t.bounds, t.field.bounds, o.matrix.tx, o.matrix.ty};
    const double shift = t.bounds.xMin - kept.xMin;
    if (shift != 0 && std::isfinite(shift)) {
        // A box that grows to the left moves the field itself, as its x reads; in the
        // parent's space.
        fit.bounds.xMin -= shift;
        fit.bounds.xMax -= shift;
        fit.rect.xMin = static_cast<std::int32_t>(fit.bounds.xMin);
        fit.rect.xMax = static_cast<std::int32_t>(fit.bounds.xMax);
        fit.tx += o.matrix.a * shift;
        fit.ty += o.matrix.b * shift;
    }
    t.bounds = kept;
    t.field.bounds = keptRect;
    if (fit.rect == keptRect && fit.tx == o.matrix.tx && fit.ty == o.matrix.ty) {
        pendingFits_.erase(o.serial);
        return;
    }
    pendingFits_[o.serial] = fit;
}

void As3DisplayTree::settleFit(avm2::NodeId node) {
    auto it = pendingFits_.find(node);
    if (it == pendingFits_.end()) {
        return;
    }
    const PendingFit fit = it->second;
    pendingFits_.erase(it);
    DisplayObject* o = find(node);
    if (o == nullptr || !o->text) {
        return;
    }
    TextFieldState& t = *o->text;
    t.bounds = fit.bounds;
    t.field.bounds = fit.rect;
    if (fit.tx != o->matrix.tx || fit.ty != o->matrix.ty) {
        o->scriptMoveTo(fit.tx, fit.ty);
    }
    t.changed();
}

void As3DisplayTree::settleShownFits() {
    std::vector<avm2::NodeId> shown;
    for (const auto& [node, fit] : pendingFits_) {
        const DisplayObject* o = find(node);
        bool visible = o != nullptr && onStage(node);
        for (int i = 0; visible && o != nullptr && i < kMaxFieldClimb; ++i, o = o->parent) {
            visible = o->visible;
        }
        if (visible) {
            shown.push_back(node);
        }
    }
    for (avm2::NodeId node : shown) {
        settleFit(node);
    }
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
