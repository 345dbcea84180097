#include "StageObject.h"
#include "FilterBinding.h"
#include "TransformClass.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "DisplayProperties.h"
#include "Dragging.h"
#include "StageScripts.h"
#include "SurfaceProperties.h"
#include "TabIndex.h"
#include "TextFieldProperties.h"
#include "TextFieldState.h"
#include "avm1/Convert.h"
#include "avm1/Machine.h"

namespace mc {

namespace {

using avm1::Value;

bool is(std::string_view name, std::string_view wanted) {
    return avm1::equalsFolded(name, wanted);
}

// _root and _parent are words of target paths, not clip properties: from version 7 they match
// only as written, as every name does (`_ROOT` is then a variable like any other).
bool isPathWord(const avm1::Machine& m, std::string_view name, std::string_view word) {
    return m.version() >= 7 ? name == word : is(name, word);
}

// The number a geometry property (_x, _alpha, _visible...) takes. Undefined and null leave
// the property as it is in every version, and so do text that is no number and objects
// without a number: here even version 4, which reads those as 0 elsewhere, gets NaN,
// which the setters pass over.
double geometryNumber(avm1::Machine& m, const Value& value) {
    const Value primitive = value.isObject() ? m.toPrimitive(value) : value;
    if (primitive.isNullish() || primitive.isObject()) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (primitive.isString()) {
        return avm1::stringToNumber(primitive.asString().view(), std::max(m.version(), 5));
    }
    return m.toNumber(primitive);
}

constexpr std::array<std::string_view, 26> kDisplayNames = {
    "_x",           "_y",           "_xscale",       "_yscale",       "_currentframe",
    "_totalframes", "_alpha",       "_visible",      "_width",        "_height",
    "_rotation",    "_target",      "_framesloaded", "_name",         "_droptarget",
    "_url",         "_highquality", "_focusrect",    "_soundbuftime", "_quality",
    "_xmouse",      "_ymouse",      "_parent",       "_root",         "_lockroot",
    "_global"};

bool isDisplayName(std::string_view name) {
    if (name.empty() || name.front() != '_') {
        return false;
    }
    for (std::string_view n : kDisplayNames) {
        if (is(name, n)) {
            return true;
        }
    }
    return false;
}

} // namespace

StageObject::StageObject(avm1::Object* proto, StageScripts& stage,
                         const std::shared_ptr<DisplayObject>& object)
    : avm1::Object(proto), stage_(stage), object_(object), kind_(object->kind),
      path_(stage.dotPathOf(*object)) {}

std::string_view StageObject::className() const {
    switch (kind_) {
    case CharacterKind::EditText:
        return "TextField";
    case CharacterKind::Button:
        return "Button";
    case CharacterKind::Video:
        return "Video";
    default:
        return "MovieClip";
    }
}

DisplayObject* StageObject::display() {
    if (auto o = object_.lock(); o && (!o->removed || stage_.leaving(o->serial))) {
        return o.get();
    }
    return displayAtPath();
}

StageObject* StageObject::successor() {
    if (auto o = object_.lock(); o && (!o->removed || stage_.leaving(o->serial))) {
        return nullptr;
    }
    DisplayObject* next = displayAtPath();
    StageObject* s = next != nullptr ? stage_.objectOf(*next) : nullptr;
    return s != this ? s : nullptr;
}

avm1::Object* StageObject::referent() {
    StageObject* next = successor();
    return next != nullptr ? next : this;
}

bool StageObject::vanished() {
    const bool clip = kind_ != CharacterKind::EditText && kind_ != CharacterKind::Button &&
                      kind_ != CharacterKind::Video;
    return clip && display() == nullptr;
}

DisplayObject* StageObject::displayAtPath() {
    // Only references to clips are found again; a field or button that left stays gone.
    if (kind_ == CharacterKind::EditText || kind_ == CharacterKind::Button ||
        kind_ == CharacterKind::Video) {
        return nullptr;
    }
    // "_levelN" then instance names, as dotPathOf writes it.
    std::string_view rest = path_;
    const std::size_t dot = rest.find('.');
    const auto level = avm1::levelNumber(rest.substr(0, dot));
    if (!level || *level < 0) {
        return nullptr;
    }
    TimelinePlayer& player = stage_.player();
    DisplayObject* at = stage_.level(*level);
    const bool caseSensitive = stage_.machine().caseSensitive();
    rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    while (at != nullptr && !rest.empty()) {
        const std::size_t next = rest.find('.');
        const std::shared_ptr<DisplayObject> child =
            at->clip ? player.childByName(*at, rest.substr(0, next), caseSensitive) : nullptr;
        at = child.get();
        rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
    }
    return at != nullptr && !at->removed && at->clip ? at : nullptr;
}

bool StageObject::getVirtual(avm1::Machine& m, const avm1::Str& name, Value& out) {
    // A reference whose clip was replaced reads the replacement, all but what it stored on
    // itself meanwhile.
    if (StageObject* next = successor()) {
        out = m.get(next, name);
        return true;
    }
    DisplayObject* o = display();
    if (o == nullptr) {
        return false;
    }
    // Level names come first, then instance names of children, then the display properties.
    if (const auto level = avm1::levelNumber(name.view())) {
        // A level that is not loaded reads undefined, whatever the prototypes hold.
        avm1::Object* root = *level >= 0 ? stage_.host().level(*level) : nullptr;
        out = root != nullptr ? Value(root) : Value();
        return true;
    }
    if (o->clip) {
        if (auto c = stage_.player().childByName(*o, name.view(), m.caseSensitive())) {
            out = Value(static_cast<avm1::Object*>(stage_.objectOf(*c)));
            return true;
        }
    }
    return getOwnProperty(m, name.view(), out);
}

bool StageObject::getOwnProperty(avm1::Machine& m, std::string_view name, Value& out) {
    DisplayObject* o = display();
    if (o == nullptr) {
        return false;
    }
    // From version 6 on the prototype's accessors answer.
    if (o->text && m.version() < 6 && readFieldProperty(stage_, *this, *o, name, out)) {
        return true;
    }
    if (isDisplayName(name)) {
        return getDisplayProperty(m, *o, name, out);
    }
    if (ownsTabIndex(m) && is(name, "tabIndex")) {
        out = tabIndex_ ? Value(static_cast<double>(*tabIndex_)) : Value();
        return true;
    }
    return m.version() >= 8 && getLaterProperty(m, *o, name, out);
}

namespace {

constexpr std::array<std::string_view, 14> kBlendModes = {
    "normal", "layer",    "multiply", "screen", "lighten", "darken",  "difference",
    "add",    "subtract", "invert",   "alpha",  "erase",   "overlay", "hardlight"};

} // namespace

// A string names the mode; any other value is a number taken as the byte PlaceObject3 writes,
// where 0 and 1 both mean normal (so undefined and null, which count as 0, restore it).
std::optional<swf::BlendMode> blendModeOf(avm1::Machine& m, const avm1::Value& value) {
    if (!value.isString()) {
        const std::int32_t byte = avm1::toInt32(m.toNumber(value));
        if (byte >= 0 && byte <= static_cast<std::int32_t>(kBlendModes.size())) {
            return static_cast<swf::BlendMode>(std::max(byte, 1));
        }
        return std::nullopt;
    }
    return blendModeNamed(m.toString(value).str());
}

std::optional<swf::BlendMode> blendModeNamed(std::string_view name) {
    for (std::size_t i = 0; i < kBlendModes.size(); ++i) {
        if (name == kBlendModes[i]) {
            return static_cast<swf::BlendMode>(i + 1);
        }
    }
    return std::nullopt;
}

bool StageObject::getLaterProperty(avm1::Machine& m, DisplayObject& o, std::string_view n,
                                   Value& out) {
    if (n == "blendMode") {
        const auto index = static_cast<std::size_t>(o.blendMode);
        out = Value(
            m.str(index >= 1 && index <= kBlendModes.size() ? kBlendModes[index - 1] : "normal"));
    } else if (n == "cacheAsBitmap") {
        out = Value(o.cacheAsBitmap);
    } else if (n == "filters") {
        out = filtersValue(m, o);
    } else if (n == "transform") {
        out = Value(newTransform(stage_, this));
    } else {
        return readSurfaceProperty(m, o, n, out);
    }
    return true;
}

bool StageObject::setLaterProperty(avm1::Machine& m, DisplayObject& o, std::string_view n,
                                   const Value& value) {
    if (n == "blendMode") {
        if (const auto mode = blendModeOf(m, value)) {
            o.blendMode = *mode;
        }
    } else if (n == "cacheAsBitmap") {
        o.cacheAsBitmap = m.toBoolean(value);
    } else if (n == "filters") {
        setFilters(m, o, value);
    } else if (n == "transform") {
        assignTransform(stage_, o, value);
    } else {
        return writeSurfaceProperty(m, o, n, value);
    }
    return true;
}

bool StageObject::hasVirtual(avm1::Machine& m, const avm1::Str& name) {
    if (StageObject* next = successor()) {
        return m.hasOwnProperty(next, name);
    }
    Value ignored;
    return getVirtual(m, name, ignored);
}

bool StageObject::setVirtual(avm1::Machine& m, const avm1::Str& name, const Value& value) {
    if (StageObject* next = successor()) {
        m.set(next, name, value);
        return true;
    }
    DisplayObject* o = display();
    if (o == nullptr) {
        return false;
    }
    if (o->text && m.version() < 6 && writeFieldProperty(stage_, *this, *o, name.view(), value)) {
        return true;
    }
    if (isDisplayName(name.view())) {
        return setDisplayProperty(m, *o, name.view(), value);
    }
    if (ownsTabIndex(m) && is(name.view(), "tabIndex")) {
        tabIndex_ = tabIndexOfClip(value.isNullish(), m.toNumber(value));
        return true;
    }
    if (m.version() >= 8 && setLaterProperty(m, *o, name.view(), value)) {
        return true;
    }
    // An ordinary variable of the clip: the fields showing it follow at once.
    stage_.variableStored(this, name.view(), value);
    return false;
}

bool StageObject::ownsTabIndex(const avm1::Machine& m) const {
    // An edit field's tab index belongs with its other field properties.
    return m.version() >= 6 && kind_ != CharacterKind::EditText && kind_ != CharacterKind::Video;
}

void StageObject::enumerateVirtual(avm1::Machine& m, std::vector<avm1::Str>& names) {
    if (StageObject* next = successor()) {
        const std::vector<avm1::Str> theirs = m.enumerate(next);
        names.insert(names.end(), theirs.begin(), theirs.end());
        return;
    }
    DisplayObject* o = display();
    // A button lists its tab index, set or not; a movie clip keeps it hidden.
    if (o != nullptr && kind_ == CharacterKind::Button && ownsTabIndex(m)) {
        names.push_back(m.str("tabIndex"));
    }
    if (o == nullptr || !o->clip) {
        return;
    }
    // Named children enumerate like properties (most recent depth last, as stored).
    for (const auto& [depth, child] : o->clip->displayList) {
        if (!child->name.empty()) {
            names.push_back(m.str(child->name));
        }
    }
}

void StageObject::trace(avm1::Tracer& tracer) {
    for (avm1::Object* a : attached) {
        tracer.mark(a);
    }
    if (styleSheet != nullptr) {
        tracer.mark(styleSheet);
    }
}

bool StageObject::getDisplayProperty(avm1::Machine& m, DisplayObject& o, std::string_view n,
                                     Value& out) {
    TimelinePlayer& player = stage_.player();
    // A field's position is that of its box, whose corner its definition may move.
    const double boxX = o.text ? o.text->bounds.xMin / 20.0 : 0.0;
    const double boxY = o.text ? o.text->bounds.yMin / 20.0 : 0.0;
    if (is(n, "_x")) {
        out = Value(props::x(o) + boxX);
    } else if (is(n, "_y")) {
        out = Value(props::y(o) + boxY);
    } else if (is(n, "_xscale")) {
        out = Value(props::xScale(o));
    } else if (is(n, "_yscale")) {
        out = Value(props::yScale(o));
    } else if (is(n, "_rotation")) {
        out = Value(props::rotation(o));
    } else if (is(n, "_alpha")) {
        out = Value(props::alpha(o));
    } else if (is(n, "_visible")) {
        out = Value(o.visible);
    } else if (is(n, "_width")) {
        out = Value(props::width(player.geometry(), o));
    } else if (is(n, "_height")) {
        out = Value(props::height(player.geometry(), o));
    } else if (!o.clip &&
               (is(n, "_currentframe") || is(n, "_totalframes") || is(n, "_framesloaded"))) {
        // Only a movie clip has frames: a text field or a button answers nothing.
        out = Value();
    } else if (is(n, "_currentframe")) {
        // A clip without a timeline of its own (createEmptyMovieClip) stands at frame 0.
        // A goto moves it into its one frame; an unloaded clip has no frame at all.
        const bool timeline = o.clip && o.clip->timeline != nullptr && o.clip->frameCount() > 0;
        const bool entered = o.clip && o.clip->frameEntered && !o.clip->emptied;
        out = Value(timeline ? static_cast<double>(o.clip->frame + 1) : entered ? 1.0 : 0.0);
    } else if (is(n, "_totalframes") || is(n, "_framesloaded")) {
        const std::uint32_t n2 = o.clip ? o.clip->frameCount() : 1;
        const bool emptied = o.clip && o.clip->emptied && o.clip->timeline == nullptr;
        out = Value(emptied ? 0.0 : static_cast<double>(n2 == 0 ? 1 : n2));
    } else if (is(n, "_name")) {
        out = Value(m.str(o.name));
    } else if (is(n, "_target")) {
        out = Value(m.str(stage_.slashPathOf(o)));
    } else if (isPathWord(m, n, "_parent")) {
        DisplayObject* up = stage_.parentOf(o);
        out = up != nullptr ? Value(static_cast<avm1::Object*>(stage_.objectOf(*up))) : Value();
    } else if (isPathWord(m, n, "_root")) {
        out = Value(static_cast<avm1::Object*>(stage_.objectOf(*stage_.rootOf(o))));
    } else if (is(n, "_url")) {
        out = Value(m.str(stage_.urlOf(o)));
    } else if (is(n, "_quality")) {
        out = Value(m.str(stage_.quality));
    } else if (is(n, "_highquality")) {
        out = Value(stage_.quality == "LOW" ? 0.0 : (stage_.quality == "BEST" ? 2.0 : 1.0));
    } else if (is(n, "_droptarget")) {
        const auto drop = stage_.input.dropTargets.find(o.serial);
        out = Value(m.str(drop != stage_.input.dropTargets.end() ? drop->second : ""));
    } else if (is(n, "_focusrect")) {
        // A level's root speaks for the player's one setting, as every clip does before
        // version 6 (then as a number); other objects keep their own, null until set.
        const auto own = stage_.input.focusRects.find(o.serial);
        if (m.version() < 6) {
            out = Value(stage_.stageFocusRect ? 1.0 : 0.0);
        } else if (stage_.parentOf(o) == nullptr) {
            out = Value(stage_.stageFocusRect);
        } else {
            out = own != stage_.input.focusRects.end() ? Value(own->second) : Value::null();
        }
    } else if (is(n, "_soundbuftime")) {
        out = Value(stage_.soundBufferTime);
    } else if (is(n, "_xmouse") || is(n, "_ymouse")) {
        out = Value(mouseCoordinate(player, stage_.input, o, is(n, "_ymouse")));
    } else if (is(n, "_global") && m.version() >= 6) {
        // _global came with version 6: to version 5 code it is an ordinary name.
        out = Value(m.global());
    } else if (is(n, "_lockroot")) {
        out = Value(o.lockRoot);
    } else {
        return false;
    }
    return true;
}

bool StageObject::setDisplayProperty(avm1::Machine& m, DisplayObject& o, std::string_view n,
                                     const Value& value) {
    TimelinePlayer& player = stage_.player();
    const auto number = [&] { return geometryNumber(m, value); };
    if (is(n, "_x")) {
        props::setX(o, number() - (o.text ? o.text->bounds.xMin / 20.0 : 0.0));
    } else if (is(n, "_y")) {
        props::setY(o, number() - (o.text ? o.text->bounds.yMin / 20.0 : 0.0));
    } else if (is(n, "_xscale")) {
        props::setXScale(o, number());
    } else if (is(n, "_yscale")) {
        props::setYScale(o, number());
    } else if (is(n, "_rotation")) {
        props::setRotation(o, number());
    } else if (is(n, "_alpha")) {
        props::setAlpha(o, number());
    } else if (is(n, "_visible")) {
        const double v = number();
        // Players take the number: "0" hides, any other number shows, NaN is ignored.
        const bool was = o.visible;
        if (value.isBool()) {
            o.visible = value.asBool();
        } else if (!std::isnan(v)) {
            o.visible = v != 0.0;
        }
        // Hiding the focused object takes the focus away; hiding it again does not.
        if (was && !o.visible && stage_.input.focus.lock().get() == &o) {
            moveFocus(stage_, nullptr);
        }
    } else if (is(n, "_width")) {
        props::setWidth(player.geometry(), o, number());
    } else if (is(n, "_height")) {
        props::setHeight(player.geometry(), o, number());
    } else if (is(n, "_name")) {
        o.name = m.toString(value).str();
    } else if (is(n, "_lockroot")) {
        o.lockRoot = m.toBoolean(value);
    } else if (is(n, "_quality")) {
        const std::string q = m.toString(value).str();
        for (std::string_view known : {"LOW", "MEDIUM", "HIGH", "BEST"}) {
            if (avm1::equalsFolded(q, known)) {
                stage_.quality = std::string(known);
            }
        }
    } else if (is(n, "_highquality")) {
        const double v = m.toNumber(value);
        stage_.quality = v <= 0 ? "LOW" : (v >= 2 ? "BEST" : "HIGH");
    } else if (is(n, "_soundbuftime")) {
        // One setting for the player, in whole seconds; what is no number changes nothing.
        if (const double v = m.toNumber(value); std::isfinite(v)) {
            stage_.soundBufferTime = std::trunc(v);
        }
    } else if (is(n, "_focusrect") && (m.version() < 6 || stage_.parentOf(o) == nullptr)) {
        // The player's one setting: undefined and null leave it, an object or empty text
        // turns it off, any other value counts as a number, on unless it is zero.
        if (!value.isNullish()) {
            const bool empty = value.isString() && m.toString(value).str().empty();
            stage_.stageFocusRect = !value.isObject() && !empty && m.toNumber(value) != 0;
        }
    } else if (is(n, "_focusrect")) {
        if (value.isUndefined() || value.isNull()) {
            stage_.input.focusRects.erase(o.serial);
        } else {
            stage_.input.focusRects[o.serial] = m.toBoolean(value);
        }
    } else if (is(n, "_currentframe") || is(n, "_totalframes") || is(n, "_framesloaded") ||
               is(n, "_target") || is(n, "_url") || is(n, "_droptarget") || is(n, "_xmouse") ||
               is(n, "_ymouse") || isPathWord(m, n, "_parent") || isPathWord(m, n, "_root") ||
               is(n, "_global")) {
        // read-only: the assignment is dropped
    } else {
        return false;
    }
    return true;
}

} // namespace mc
