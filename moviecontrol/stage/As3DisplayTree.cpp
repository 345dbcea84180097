#include "As3DisplayTree.h"

#include "DepthRoom.h"
#include "DisplayProperties.h"
#include "Drawing.h"
#include "TextFieldState.h"
#include "TextMetrics.h"
#include "TwipExtent.h"
#include "swf/AbcTags.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace mc {

namespace {

// How far a walk up the tree goes: the timeline's nesting limit keeps real trees far lower.
constexpr int kMaxClimb = 4096;
// How deep scripts may nest containers: the painter and the hit tests walk the tree
// recursively.
constexpr int kMaxTreeDepth = 128;

int heightOf(const DisplayObject& top) {
    std::vector<std::pair<const DisplayObject*, int>> stack{{&top, 1}};
    int height = 0;
    while (!stack.empty()) {
        auto [o, level] = stack.back();
        stack.pop_back();
        height = std::max(height, level);
        if (height > kMaxTreeDepth || !o->clip) {
            continue;
        }
        for (const auto& [depth, child] : o->clip->displayList) {
            stack.emplace_back(child.get(), level + 1);
        }
    }
    return height;
}

std::shared_ptr<DisplayObject> takeFrom(DisplayObject& parent, DisplayObject& child) {
    if (!parent.clip) {
        return nullptr;
    }
    auto& list = parent.clip->displayList;
    auto it = list.find(child.depth);
    if (it == list.end() || it->second.get() != &child) {
        it = std::find_if(list.begin(), list.end(),
                          [&](const auto& entry) { return entry.second.get() == &child; });
    }
    if (it == list.end()) {
        return nullptr;
    }
    std::shared_ptr<DisplayObject> kept = std::move(it->second);
    list.erase(it);
    return kept;
}

} // namespace

As3DisplayTree::As3DisplayTree(TimelinePlayer& player, StageInfo stage)
    : player_(player), stage_(stage) {}

void As3DisplayTree::setSymbolClass(std::uint16_t characterId, std::string className) {
    // A class given to several symbols makes objects of the first it was given.
    classSymbols_.try_emplace(className, characterId);
    classKeys_.try_emplace(className, characterId);
    symbolClasses_[characterId] = std::move(className);
}

void As3DisplayTree::setLoadedSymbolClass(std::uint16_t library, std::uint16_t characterId,
                                          std::string className) {
    const std::uint32_t key = (std::uint32_t{library} << 16) | characterId;
    classKeys_.try_emplace(className, key);
    symbolClasses_[key] = std::move(className);
}

std::optional<std::vector<std::uint8_t>>
As3DisplayTree::binaryOfClass(const std::string& className) {
    const auto key = classKeys_.find(className);
    if (key == classKeys_.end()) {
        return std::nullopt;
    }
    const swf::Movie* movie =
        player_.library().movie(static_cast<std::uint16_t>(key->second >> 16));
    if (movie == nullptr) {
        return std::nullopt;
    }
    const auto data = swf::findBinaryData(*movie, static_cast<std::uint16_t>(key->second & 0xFFFF));
    if (data.empty()) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

DisplayObject* As3DisplayTree::find(avm2::NodeId node) const {
    if (node == 0 || node == kStageNode) {
        return nullptr;
    }
    auto o = player_.bySerial(node);
    return o && !o->removed ? o.get() : nullptr;
}

DisplayObject* As3DisplayTree::holding() {
    if (holding_ == nullptr || holding_->removed) {
        holding_ = player_.levels().makeLevel(MovieLevels::kMaxLevel);
        if (holding_ != nullptr) {
            holding_->visible = false;
        }
    }
    return holding_;
}

DisplayObject* As3DisplayTree::stageLayer(bool make) {
    if (stageLayer_ != nullptr && stageLayer_->removed) {
        stageLayer_ = nullptr;
    }
    if (stageLayer_ == nullptr && make) {
        // Just below the level that holds what is off the stage.
        stageLayer_ = player_.levels().makeLevel(MovieLevels::kMaxLevel - 1);
    }
    return stageLayer_;
}

bool As3DisplayTree::onStageLayer(const DisplayObject& o) const {
    return stageLayer_ != nullptr && !stageLayer_->removed && o.parent == stageLayer_;
}

bool As3DisplayTree::held(const DisplayObject& o) const {
    return holding_ != nullptr && o.parent == holding_;
}

avm2::NodeId As3DisplayTree::rootNode() {
    return player_.rootObject().serial;
}

avm2::NodeId As3DisplayTree::parentOf(avm2::NodeId node) {
    if (node == rootNode()) {
        return kStageNode;
    }
    DisplayObject* o = find(node);
    if (o == nullptr || o->parent == nullptr || held(*o)) {
        return 0;
    }
    if (onStageLayer(*o)) {
        return kStageNode;
    }
    return o->parent->serial;
}

std::size_t As3DisplayTree::childCount(avm2::NodeId node) {
    if (node == kStageNode) {
        // The root first, then what scripts added.
        const DisplayObject* layer = stageLayer(false);
        return 1 + (layer != nullptr ? layer->clip->displayList.size() : 0);
    }
    // A Bitmap or a Video is no container: the child drawing its pixels is the player's own.
    if (const auto made = madeAs_.find(node);
        made != madeAs_.end() &&
        (made->second == avm2::NodeKind::Bitmap || made->second == avm2::NodeKind::Video)) {
        return 0;
    }
    DisplayObject* o = find(node);
    return o != nullptr && o->clip && o->kind != CharacterKind::Button ? o->clip->displayList.size()
                                                                       : 0;
}

avm2::NodeId As3DisplayTree::childAt(avm2::NodeId node, std::size_t index) {
    if (index >= childCount(node)) {
        return 0;
    }
    if (node == kStageNode && index == 0) {
        return rootNode();
    }
    DisplayObject* o = node == kStageNode ? stageLayer(false) : find(node);
    if (node == kStageNode) {
        --index;
    }
    auto it = o->clip->displayList.begin();
    std::advance(it, static_cast<std::ptrdiff_t>(index));
    return it->second->serial;
}

std::vector<avm2::NodeId> As3DisplayTree::children(avm2::NodeId node) {
    std::vector<avm2::NodeId> out;
    const std::size_t count = childCount(node);
    if (count == 0) {
        return out;
    }
    out.reserve(count);
    if (node == kStageNode) {
        out.push_back(rootNode());
    }
    DisplayObject* o = node == kStageNode ? stageLayer(false) : find(node);
    if (o != nullptr && o->clip) {
        for (const auto& entry : o->clip->displayList) {
            out.push_back(entry.second->serial);
        }
    }
    return out;
}

avm2::NodeKind As3DisplayTree::kindOf(avm2::NodeId node) {
    if (auto it = madeAs_.find(node); it != madeAs_.end()) {
        return it->second;
    }
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return avm2::NodeKind::Other;
    }
    switch (o->kind) {
    case CharacterKind::Sprite:
        return avm2::NodeKind::MovieClip;
    case CharacterKind::Button:
        return avm2::NodeKind::Button;
    case CharacterKind::EditText:
        return avm2::NodeKind::Text;
    case CharacterKind::Bitmap:
        return avm2::NodeKind::Bitmap;
    case CharacterKind::Shape:
        return avm2::NodeKind::Shape;
    case CharacterKind::StaticText:
        return avm2::NodeKind::StaticText;
    case CharacterKind::MorphShape:
        return avm2::NodeKind::MorphShape;
    case CharacterKind::Video:
        return avm2::NodeKind::Video;
    default:
        return avm2::NodeKind::Other;
    }
}

std::uint16_t As3DisplayTree::symbolOf(avm2::NodeId node) {
    DisplayObject* o = find(node);
    return o != nullptr ? o->characterId : 0;
}

std::string As3DisplayTree::symbolClass(avm2::NodeId node) {
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return {};
    }
    if (const auto content = contentClasses_.find(node); content != contentClasses_.end()) {
        return content->second;
    }
    if (o->characterId == 0 || madeAs_.contains(node)) {
        return {};
    }
    auto it = symbolClasses_.find((std::uint32_t{o->library} << 16) | o->characterId);
    return it != symbolClasses_.end() ? it->second : std::string();
}

std::uint32_t As3DisplayTree::symbolDomain(avm2::NodeId node) {
    const DisplayObject* o = find(node);
    const auto it = o != nullptr ? libraryDomains_.find(o->library) : libraryDomains_.end();
    return it != libraryDomains_.end() ? it->second : 1;
}

bool As3DisplayTree::onStage(avm2::NodeId node) {
    if (node == kStageNode) {
        return true;
    }
    const DisplayObject* o = find(node);
    for (int i = 0; o != nullptr && i < kMaxClimb; ++i) {
        if (o == &player_.rootObject() || onStageLayer(*o)) {
            return true;
        }
        o = o->parent;
    }
    return false;
}

avm2::NodeId As3DisplayTree::createNode(avm2::NodeKind kind) {
    DisplayObject* holder = holding();
    if (holder == nullptr) {
        return 0;
    }
    // A depth another waiting object holds stays its own: placing there would unload it.
    std::int32_t tries = 0;
    while (holder->clip->displayList.contains(nextHoldingDepth_) && ++tries < kMaxDynamicDepth) {
        nextHoldingDepth_ = nextHoldingDepth_ >= kMaxDynamicDepth ? 0 : nextHoldingDepth_ + 1;
    }
    const std::int32_t depth = nextHoldingDepth_;
    nextHoldingDepth_ = nextHoldingDepth_ >= kMaxDynamicDepth ? 0 : nextHoldingDepth_ + 1;
    std::shared_ptr<DisplayObject> o;
    if (kind == avm2::NodeKind::Text) {
        o = player_.edits().createTextField(*holder, {}, depth,
                                            Bounds{0.0, 0.0, 2000.0, 2000.0, true});
    } else {
        o = player_.edits().createEmptyClip(*holder, {}, depth);
    }
    if (!o) {
        return 0;
    }
    o->name = player_.nextInstanceName();
    madeAs_[o->serial] = kind;
    return o->serial;
}

avm2::NodeId As3DisplayTree::createSymbolNode(const std::string& className) {
    const auto symbol = classSymbols_.find(className);
    DisplayObject* holder = symbol != classSymbols_.end() ? holding() : nullptr;
    if (holder == nullptr) {
        return 0;
    }
    // Only sprites and buttons bring their content to an object made with `new`: a shape's
    // class makes an empty Shape.
    const CharacterKind kind = player_.catalogOf(*holder).kind(symbol->second);
    if (kind != CharacterKind::Sprite && kind != CharacterKind::Button) {
        return 0;
    }
    while (holder->clip->displayList.contains(nextHoldingDepth_)) {
        nextHoldingDepth_ = nextHoldingDepth_ >= kMaxDynamicDepth ? 0 : nextHoldingDepth_ + 1;
    }
    auto o = player_.edits().placeCharacter(*holder, symbol->second, nextHoldingDepth_);
    if (!o) {
        return 0;
    }
    return o->serial;
}

bool As3DisplayTree::insertChild(avm2::NodeId parent, avm2::NodeId child, std::size_t index) {
    DisplayObject* p = parent == kStageNode ? stageLayer(true) : find(parent);
    if (parent == kStageNode) {
        // The root stays the lowest of the stage's children.
        index = index > 0 ? index - 1 : 0;
    }
    DisplayObject* c = find(child);
    if (p == nullptr || c == nullptr || !p->clip || c->parent == nullptr ||
        c == &player_.rootObject()) {
        return false;
    }
    int climb = 0;
    for (const DisplayObject* up = p; up != nullptr; up = up->parent) {
        if (up == c || ++climb > kMaxClimb) {
            return false;
        }
    }
    if (climb + heightOf(*c) > kMaxTreeDepth) {
        return false;
    }
    std::shared_ptr<DisplayObject> kept = takeFrom(*c->parent, *c);
    if (!kept) {
        return false;
    }
    auto& list = p->clip->displayList;
    index = std::min(index, list.size());
    std::int32_t depth = 0;
    if (std::optional<std::int32_t> room = roomBetween(list, index, kept->depth)) {
        // Room between the new neighbours: nothing else moves, and the timeline finds its
        // objects at the depths it placed them.
        depth = *room;
    } else if (index == list.size()) {
        depth = list.empty() ? 0 : std::max(list.rbegin()->first + 1, 0);
    } else {
        // Room at the depth of the child now at `index`: it and the run of children at the
        // depths right above it move up by one.
        auto at = std::next(list.begin(), static_cast<std::ptrdiff_t>(index));
        depth = at->first;
        auto end = at;
        std::int32_t next = depth;
        while (end != list.end() && end->first == next) {
            ++end;
            ++next;
        }
        std::vector<std::shared_ptr<DisplayObject>> moving;
        for (auto it = at; it != end;) {
            moving.push_back(std::move(it->second));
            it = list.erase(it);
        }
        for (auto& m : moving) {
            m->depth += 1;
            list.emplace(m->depth, std::move(m));
        }
    }
    kept->depth = depth;
    kept->parent = p;
    // Placed by a script now: the timeline no longer takes it away.
    kept->dynamic = true;
    if (kept->clip && p->clip) {
        kept->clip->nesting = p->clip->nesting + 1;
    }
    list.emplace(depth, std::move(kept));
    return true;
}

void As3DisplayTree::detach(avm2::NodeId child) {
    DisplayObject* c = find(child);
    DisplayObject* holder = holding();
    if (c == nullptr || holder == nullptr || c->parent == nullptr || held(*c)) {
        return;
    }
    std::shared_ptr<DisplayObject> kept = takeFrom(*c->parent, *c);
    if (!kept) {
        return;
    }
    while (holder->clip->displayList.contains(nextHoldingDepth_)) {
        nextHoldingDepth_ = nextHoldingDepth_ >= kMaxDynamicDepth ? 0 : nextHoldingDepth_ + 1;
    }
    kept->depth = nextHoldingDepth_;
    kept->parent = holder;
    kept->dynamic = true;
    holder->clip->displayList.emplace(kept->depth, std::move(kept));
}

std::string As3DisplayTree::nameOf(avm2::NodeId node) {
    if (node == rootNode()) {
        return "root1";
    }
    DisplayObject* o = find(node);
    return o != nullptr ? o->name : std::string();
}

bool As3DisplayTree::placedByTimeline(avm2::NodeId node) {
    if (node == rootNode()) {
        return true;
    }
    const DisplayObject* o = find(node);
    return o != nullptr && o->placedByTimeline;
}

void As3DisplayTree::setName(avm2::NodeId node, const std::string& name) {
    if (DisplayObject* o = find(node)) {
        o->name = name;
    }
}

namespace {

// A position as the player keeps it: a 32-bit count of twips, what is short of a whole twip
// dropped. A position past that range (infinities too) becomes the one value the processor
// gives for every number it cannot convert, the most negative.
double positionTwips(double pixels) {
    const double twips = std::trunc(pixels * 20.0);
    constexpr double kMin = -2147483648.0;
    // A whole count of twips has no negative zero.
    return twips >= kMin && twips <= 2147483647.0 ? twips + 0.0 : kMin;
}

// A point the player computes lands on a whole twip.
double wholeTwip(double twips) {
    return std::isfinite(twips) ? std::nearbyint(twips) : twips;
}

// The box around a box's four corners mapped by `m`, each corner on a whole twip.
Bounds twipCorners(const Transform& m, const Bounds& box) {
    const Bounds mapped = mapBounds(m, box);
    if (mapped.empty() || !std::isfinite(mapped.xMin) || !std::isfinite(mapped.yMin) ||
        !std::isfinite(mapped.xMax) || !std::isfinite(mapped.yMax)) {
        return {};
    }
    return {wholeTwip(mapped.xMin), wholeTwip(mapped.yMin), wholeTwip(mapped.xMax),
            wholeTwip(mapped.yMax), true};
}

} // namespace

double As3DisplayTree::number(avm2::NodeId node, avm2::NodeProperty p) {
    // Geometry read or set sees the box autoSize fitted the field to.
    if (p != avm2::NodeProperty::Visible && p != avm2::NodeProperty::Alpha) {
        settleFit(node);
    }
    using P = avm2::NodeProperty;
    if (node == kStageNode && (p == P::Width || p == P::Height)) {
        // The stage measures what it holds: the root's box on the stage.
        // Measured in twips, as Flash keeps sizes, then given in pixels.
        DisplayObject* root = find(rootNode());
        if (root == nullptr) {
            return 0.0;
        }
        const Bounds b =
            player_.geometry().scriptBoundsOf(*root, player_.geometry().globalMatrix(*root));
        if (b.empty()) {
            return 0.0;
        }
        const double twips = p == P::Width ? b.xMax - b.xMin : b.yMax - b.yMin;
        return std::isfinite(twips) ? twips / 20.0 : 0.0;
    }
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return p == P::ScaleX || p == P::ScaleY || p == P::Alpha || p == P::Visible ? 1.0 : 0.0;
    }
    switch (p) {
    case P::X:
        return props::x(*o);
    case P::Y:
        return props::y(*o);
    case P::ScaleX:
        return props::xScale(*o) / 100.0;
    case P::ScaleY:
        return props::yScale(*o) / 100.0;
    case P::Rotation:
        return props::rotation(*o);
    case P::Alpha:
        return props::alpha(*o) / 100.0;
    case P::Width:
    case P::Height: {
        // Sizes are measured on the box in the parent's space in whole twips, so a turned or
        // scaled object reads in steps of a twentieth.
        const Bounds b = player_.geometry().boundsOf(*o, o->matrix);
        if (b.empty() || o->text) {
            return p == P::Width ? props::width(player_.geometry(), *o)
                                 : props::height(player_.geometry(), *o);
        }
        return p == P::Width ? extentPixels(b.xMin, b.xMax) : extentPixels(b.yMin, b.yMax);
    }
    case P::Visible:
        return o->visible ? 1.0 : 0.0;
    case P::MouseX:
    case P::MouseY: {
        double x = mouseX_;
        double y = mouseY_;
        toGlobal(node, x, y, true);
        return p == P::MouseX ? x : y;
    }
    }
    return 0.0;
}

void As3DisplayTree::setNumber(avm2::NodeId node, avm2::NodeProperty p, double value) {
    // Geometry read or set sees the box autoSize fitted the field to.
    if (p != avm2::NodeProperty::Visible && p != avm2::NodeProperty::Alpha) {
        settleFit(node);
    }
    using P = avm2::NodeProperty;
    DisplayObject* o = find(node);
    if (o != nullptr && (p == P::X || p == P::Y)) {
        const double twips = positionTwips(value);
        o->scriptMoveTo(p == P::X ? twips : o->matrix.tx, p == P::Y ? twips : o->matrix.ty);
        return;
    }
    if (o != nullptr && std::isnan(value)) {
        if (p == P::ScaleX) {
            props::setXScaleNaN(*o);
        } else if (p == P::ScaleY) {
            props::setYScaleNaN(*o);
        } else if (p == P::Rotation) {
            props::setRotationNaN(*o);
        }
        return;
    }
    if (o != nullptr && !o->text && (p == P::Width || p == P::Height)) {
        // A negative size (or NaN) changes nothing; an infinite one leaves no scale to keep.
        if (value >= 0) {
            p == P::Width ? props::setWidth(player_.geometry(), *o, value)
                          : props::setHeight(player_.geometry(), *o, value);
        }
        return;
    }
    if (o == nullptr || !std::isfinite(value)) {
        return;
    }
    switch (p) {
    case P::X:
    case P::Y:
        break;
    case P::ScaleX:
        props::setXScale(*o, value * 100.0);
        break;
    case P::ScaleY:
        props::setYScale(*o, value * 100.0);
        break;
    case P::Rotation:
        props::setRotationAsGiven(*o, value);
        break;
    case P::Alpha:
        props::setAlpha(*o, value * 100.0);
        break;
    case P::Width:
        props::setWidth(player_.geometry(), *o, value);
        break;
    case P::Height:
        props::setHeight(player_.geometry(), *o, value);
        break;
    case P::Visible:
        o->visible = value != 0;
        break;
    case P::MouseX:
    case P::MouseY:
        break;
    }
}

std::string As3DisplayTree::text(avm2::NodeId node, bool html) {
    DisplayObject* o = find(node);
    if (o == nullptr || !o->text) {
        return {};
    }
    return html ? o->text->htmlText() : o->text->plainText();
}

void As3DisplayTree::setText(avm2::NodeId node, const std::string& text, bool html) {
    DisplayObject* o = find(node);
    if (o == nullptr || !o->text) {
        return;
    }
    if (html) {
        o->text->setHtmlText(text);
    } else {
        o->text->setPlainText(text);
    }
    layOutText(*o);
}

namespace {

// The flags of a text field by their script names; `inverted` when the field keeps the
// opposite (noSelect for selectable, readOnly for an input field).
struct TextFlag {
    const char* name;
    bool swf::EditText::*flag;
    bool inverted;
};

constexpr TextFlag kTextFlags[] = {
    {"wordWrap", &swf::EditText::wordWrap, false},
    {"multiline", &swf::EditText::multiline, false},
    {"displayAsPassword", &swf::EditText::password, false},
    {"border", &swf::EditText::border, false},
    {"selectable", &swf::EditText::noSelect, true},
    {"embedFonts", &swf::EditText::useOutlines, false},
};

} // namespace

std::string As3DisplayTree::textSetting(avm2::NodeId node, const std::string& name) {
    DisplayObject* o = find(node);
    if (o == nullptr || !o->text) {
        return {};
    }
    TextFieldState& t = *o->text;
    for (const TextFlag& f : kTextFlags) {
        if (name == f.name) {
            return (t.field.*f.flag != f.inverted) ? "true" : "false";
        }
    }
    if (name == "background") {
        return t.background ? "true" : "false";
    }
    if (name == "condenseWhite") {
        return t.condenseWhite ? "true" : "false";
    }
    if (name == "type") {
        return t.field.readOnly ? "dynamic" : "input";
    }
    if (name == "autoSize") {
        return t.autoSize;
    }
    if (name == "antiAliasType") {
        return t.antiAliasType;
    }
    if (name == "gridFitType") {
        return t.gridFitType;
    }
    if (name == "textWidth" || name == "textHeight") {
        // ActionScript 3 reads the measure unrounded, in pixels, and the height without the
        // leading below the last line.
        const TextExtent e = measureField(player_.catalog(), t);
        const double height = e.lines.empty() ? e.height : e.lines.back().bottom;
        char out[32];
        std::snprintf(out, sizeof out, "%.17g", (name == "textWidth" ? e.width : height) / 20.0);
        return out;
    }
    if (name == "borderColor" || name == "backgroundColor") {
        const swf::Rgba& c = name == "borderColor" ? t.borderColor : t.backgroundColor;
        return std::to_string((std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b);
    }
    if (name == "sharpness" || name == "thickness") {
        char out[32];
        std::snprintf(out, sizeof out, "%.17g", name == "sharpness" ? t.sharpness : t.thickness);
        return out;
    }
    if (name == "scrollV" || name == "scrollH") {
        clampScroll(player_.catalog(), t);
        char out[32];
        std::snprintf(out, sizeof out, "%.17g",
                      name == "scrollV" ? static_cast<double>(t.scroll) : t.hscroll);
        return out;
    }
    if (name == "numLines") {
        // The lines as the line methods count them: an empty line follows a last paragraph
        // end.
        return std::to_string(fieldLines(player_.catalog(), t).size());
    }
    if (name == "maxScrollV" || name == "maxScrollH" || name == "bottomScrollV") {
        const ScrollLimits limits = scrollLimits(player_.catalog(), t);
        const double v =
            name == "maxScrollV" ? static_cast<double>(limits.maxScroll)
            : name == "maxScrollH"
                ? limits.maxHScroll
                : static_cast<double>(bottomScroll(limits, std::min(t.scroll, limits.maxScroll)));
        char out[32];
        std::snprintf(out, sizeof out, "%.17g", v);
        return out;
    }
    return {};
}

void As3DisplayTree::setTextSetting(avm2::NodeId node, const std::string& name,
                                    const std::string& value) {
    DisplayObject* o = find(node);
    if (o == nullptr || !o->text) {
        return;
    }
    TextFieldState& t = *o->text;
    const bool on = value == "true";
    for (const TextFlag& f : kTextFlags) {
        if (name == f.name) {
            t.field.*f.flag = on != f.inverted;
        }
    }
    if (name == "background") {
        t.background = on;
    } else if (name == "condenseWhite") {
        t.condenseWhite = on;
    } else if (name == "type") {
        t.field.readOnly = value != "input";
    } else if (name == "autoSize") {
        t.autoSize = value;
    } else if (name == "antiAliasType") {
        t.antiAliasType = value;
    } else if (name == "gridFitType") {
        t.gridFitType = value;
    } else if (name == "sharpness" || name == "thickness") {
        (name == "sharpness" ? t.sharpness : t.thickness) = std::strtod(value.c_str(), nullptr);
    } else if (name == "scrollV" || name == "scrollH") {
        // Held to what the text allows: lines from 1, pixels from 0.
        const double v = std::strtod(value.c_str(), nullptr);
        if (std::isfinite(v)) {
            const ScrollLimits limits = scrollLimits(player_.catalog(), t);
            if (name == "scrollV") {
                t.scroll = static_cast<std::size_t>(
                    std::clamp(v, 1.0, static_cast<double>(limits.maxScroll)));
            } else {
                t.hscroll = std::clamp(v, 0.0, limits.maxHScroll);
            }
        }
    } else if (name == "maxChars") {
        // Input stops at the limit; 0 or a count past what a field holds is no limit.
        const long n = std::strtol(value.c_str(), nullptr, 10);
        t.field.maxLength = n > 0 && n < 65536
                                ? std::optional<std::uint16_t>(static_cast<std::uint16_t>(n))
                                : std::nullopt;
    } else if (name == "restrict") {
        t.restrict = value.empty() ? std::nullopt : std::optional<std::string>(value.substr(1));
    } else if (name == "borderColor" || name == "backgroundColor") {
        // Colours come as whole numbers of 0xRRGGBB; higher bits do not count.
        const auto rgb = static_cast<std::uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
        (name == "borderColor" ? t.borderColor : t.backgroundColor) =
            swf::Rgba{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                      static_cast<std::uint8_t>(rgb), 255};
    }
    // An autoSize box follows the text and the settings that lay it out.
    layOutText(*o);
}

bool As3DisplayTree::hitTestPoint(avm2::NodeId node, double x, double y, bool shape) {
    // Geometry read or set sees the box autoSize fitted the field to.
    settleFit(node);
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return false;
    }
    const double tx = x * 20.0;
    const double ty = y * 20.0;
    if (shape) {
        const HitTester* tester = scriptHit_ != nullptr ? scriptHit_ : hit_;
        return tester != nullptr && tester->hits(*o, tx, ty);
    }
    const Bounds b = player_.geometry().scriptBoundsOf(*o, player_.geometry().globalMatrix(*o));
    return b.valid && tx >= b.xMin && tx <= b.xMax && ty >= b.yMin && ty <= b.yMax;
}

avm2::DisplayHost::Box As3DisplayTree::bounds(avm2::NodeId node, avm2::NodeId space, bool strokes) {
    // Geometry read or set sees the box autoSize fitted the field to.
    settleFit(node);
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return {};
    }
    // getRect measures the outlines alone, getBounds the strokes around them too. The box is
    // measured in the object's own space; another space gets that box's corners moved there,
    // each to a whole twip, and the box around them (not the drawing itself moved there).
    const Transform own{};
    Bounds b = strokes ? player_.geometry().scriptBoundsOf(*o, own)
                       : player_.geometry().scriptEdgesOf(*o, own);
    if (b.empty() || !std::isfinite(b.xMin) || !std::isfinite(b.yMin) || !std::isfinite(b.xMax) ||
        !std::isfinite(b.yMax)) {
        return {};
    }
    if (space != node) {
        Transform toSpace = player_.geometry().globalMatrix(*o);
        if (DisplayObject* s = space != kStageNode ? find(space) : nullptr) {
            toSpace = inverse(player_.geometry().globalMatrix(*s)) * toSpace;
        }
        b = twipCorners(toSpace, b);
        if (b.empty()) {
            return {};
        }
    }
    return {b.xMin / 20.0, b.yMin / 20.0, b.xMax / 20.0, b.yMax / 20.0};
}

void As3DisplayTree::toGlobal(avm2::NodeId node, double& x, double& y, bool inverse) {
    // Geometry read or set sees the box autoSize fitted the field to.
    settleFit(node);
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return;
    }
    // The point goes in and comes out in whole twips, as the player keeps positions.
    const Transform m = player_.geometry().globalMatrix(*o);
    const double tx = wholeTwip(x * 20.0);
    const double ty = wholeTwip(y * 20.0);
    if (!inverse) {
        x = wholeTwip(m.mapX(tx, ty)) / 20.0;
        y = wholeTwip(m.mapY(tx, ty)) / 20.0;
        return;
    }
    const double det = m.a * m.d - m.b * m.c;
    if (det == 0 || !std::isfinite(det)) {
        return;
    }
    const double px = tx - m.tx;
    const double py = ty - m.ty;
    x = wholeTwip((m.d * px - m.c * py) / det) / 20.0;
    y = wholeTwip((-m.b * px + m.a * py) / det) / 20.0;
}

std::uint32_t As3DisplayTree::currentFrame(avm2::NodeId node) {
    if (const auto held = heldFrames_.find(node); held != heldFrames_.end()) {
        return held->second;
    }
    DisplayObject* o = find(node);
    return o != nullptr && o->clip ? o->clip->frame : 0;
}

std::uint32_t As3DisplayTree::frameCount(avm2::NodeId node) {
    DisplayObject* o = find(node);
    return o != nullptr && o->clip && o->kind != CharacterKind::Button ? o->clip->frameCount() : 0;
}

bool As3DisplayTree::playing(avm2::NodeId node) {
    DisplayObject* o = find(node);
    return o != nullptr && o->clip && o->clip->playing && o->clip->frameCount() > 1;
}

void As3DisplayTree::gotoFrame(avm2::NodeId node, std::uint32_t frame, bool play) {
    if (DisplayObject* o = find(node); o != nullptr && o->clip) {
        player_.clips().gotoClipFrame(*o, frame, play);
    }
}

void As3DisplayTree::setPlaying(avm2::NodeId node, bool playing) {
    if (DisplayObject* o = find(node); o != nullptr && o->clip) {
        player_.clips().setClipPlaying(*o, playing);
    }
}

avm2::Object* As3DisplayTree::scriptObject(avm2::NodeId node) {
    if (node == kStageNode) {
        return stageObject_;
    }
    auto it = objects_.find(node);
    return it != objects_.end() ? it->second : nullptr;
}

void As3DisplayTree::bindScriptObject(avm2::NodeId node, avm2::Object* object) {
    if (node == kStageNode) {
        stageObject_ = object;
    } else if (find(node) != nullptr) {
        objects_[node] = object;
    }
}

} // namespace mc
