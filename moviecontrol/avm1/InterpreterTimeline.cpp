// Actions on clips and the player: timeline control, targets, clip properties, duplicates,
// dragging, URLs and trace. All of them reach the stage through the host.

#include "avm1/Interp.h"

#include "avm1/CodePage.h"
#include "avm1/Convert.h"
#include "unicode/Utf16Text.h"

#include <cmath>
#include <iterator>

namespace avm1 {

namespace {

// Names of GetProperty/SetProperty indexes.
constexpr std::string_view PropertyNames[] = {
    "_x",           "_y",           "_xscale",       "_yscale",       "_currentframe",
    "_totalframes", "_alpha",       "_visible",      "_width",        "_height",
    "_rotation",    "_target",      "_framesloaded", "_name",         "_droptarget",
    "_url",         "_highquality", "_focusrect",    "_soundbuftime", "_quality",
    "_xmouse",      "_ymouse"};

} // namespace

bool Interp::isPropertyName(std::string_view name) {
    for (std::string_view p : PropertyNames) {
        if (equalsFolded(name, p)) {
            return true;
        }
    }
    return false;
}

namespace {

// "FSCommand:" URLs go to the host's command handler, not to the browser.
constexpr std::string_view FscommandPrefix = "fscommand:";

bool isFscommand(std::string_view url) {
    return url.size() >= FscommandPrefix.size() &&
           equalsFolded(url.substr(0, FscommandPrefix.size()), FscommandPrefix);
}

bool isWholeNumber(double n) {
    return std::isfinite(n) && n == std::trunc(n);
}

} // namespace

void Interp::actionNextFrame() {
    if (Object* t = timelineTarget()) {
        s_.host.nextFrame(t);
    }
}

void Interp::actionPreviousFrame() {
    if (Object* t = timelineTarget()) {
        s_.host.prevFrame(t);
    }
}

void Interp::actionPlay() {
    if (Object* t = timelineTarget()) {
        s_.host.play(t);
    }
}

void Interp::actionStop() {
    if (Object* t = timelineTarget()) {
        s_.host.stop(t);
    }
}

void Interp::actionToggleQuality() {
    s_.host.toggleQuality();
}

void Interp::actionStopSounds() {
    s_.host.stopSounds();
}

void Interp::actionGotoFrame(Payload p) {
    if (Object* t = timelineTarget()) {
        s_.host.gotoFrame(t, p.u16(), false);
    }
}

void Interp::actionGotoLabel(Payload p) {
    if (Object* t = timelineTarget()) {
        s_.host.gotoLabel(t, str(p.cstring()).view(), false);
    }
}

void Interp::actionGotoFrame2(Payload p) {
    std::uint8_t flags = p.u8();
    std::uint32_t bias = (flags & 2) ? p.u16() : 0;
    gotoFrameValue(pop(), flags & 1, bias);
}

void Interp::gotoFrameValue(const Value& frame, bool play, std::uint32_t bias) {
    // A whole number is a frame (wrapping as a 32-bit integer); anything else, fractions,
    // undefined and booleans included, is read as text: after an optional "path:", a text
    // reading as a whole number is a frame and any other text a label ("4.8" is one). The
    // scene bias moves labels too. Frames before the first are ignored.
    // GotoFrame2 alone still drives the root while SetTarget named no clip.
    Object* clip = targetOrRoot();
    std::int64_t number = 0;
    if (frame.isNumber() && isWholeNumber(frame.asNumber())) {
        if (!clip) {
            return;
        }
        number = toInt32(frame.asNumber());
    } else {
        Str text = frameText(frame);
        std::string_view label = text.view();
        clip = frameOwner(label);
        if (!clip) {
            return;
        }
        const double n = stringToNumber(label, 7);
        if (isWholeNumber(n)) {
            number = toInt32(n);
        } else if (auto found = s_.host.frameOfLabel(clip, label)) {
            number = static_cast<std::int64_t>(*found) + 1;
        } else {
            return;
        }
    }
    // The 0-based frame wraps as a 32-bit integer too: -2147483648 lands past the end.
    const std::int32_t index = toInt32(static_cast<double>(number - 1 + bias));
    if (index >= 0) {
        s_.host.gotoFrame(clip, static_cast<std::uint32_t>(index), play);
    }
}

Str Interp::frameText(const Value& frame) {
    // A String object is read by its own text, as parseInt reads it: its toString, which a
    // script may have replaced, is not asked. Other objects are asked.
    if (Value held; frame.isObject() && frame.asObject()->primitiveValue(held) && held.isString()) {
        return m_.toString(held);
    }
    return m_.toString(frame);
}

Object* Interp::frameOwner(std::string_view& frame) {
    // "path:frame", or as in dot paths "a.b.frame" when the part before the last dot names a
    // clip; anything else ("4.8", "/a/b/4") is a frame or label of the current clip.
    const std::size_t colon = frame.find_last_of(':');
    if (colon == std::string_view::npos) {
        const std::size_t dot = frame.find_last_of('.');
        if (dot != std::string_view::npos && dot > 0) {
            Object* t = resolveTargetPath(m_, &a_, targetOrRoot(), frame.substr(0, dot));
            if (t && t->isDisplayObject()) {
                frame = frame.substr(dot + 1);
                return t;
            }
        }
        return currentTarget();
    }
    Object* t = resolveTargetPath(m_, &a_, targetOrRoot(), frame.substr(0, colon));
    frame = frame.substr(colon + 1);
    return t && t->isDisplayObject() ? t : nullptr;
}

void Interp::actionSetTarget(Payload p) {
    // An empty target goes back to the clip the block runs on.
    std::string_view target = p.cstring();
    Object* clip = target.empty()
                       ? a_.baseClip
                       : resolveTargetPath(m_, &a_, a_.baseClip ? a_.baseClip : targetOrRoot(),
                                           str(target).view());
    setTargetOrRoot(clip);
}

void Interp::actionSetTarget2() {
    Value v = pop();
    Object* clip = nullptr;
    if (Object* o = v.asObject(); o && o->isDisplayObject()) {
        // A clip is found again by its path: of two clips of one name, the lower.
        const std::string path = s_.host.dotPath(o);
        Object* found = path.empty() ? nullptr : resolveTargetPath(m_, &a_, o, path);
        clip = found ? found : o;
    } else {
        Str path = m_.toString(v);
        clip = path.empty() ? a_.baseClip
                            : resolveTargetPath(m_, &a_, a_.baseClip ? a_.baseClip : targetOrRoot(),
                                                path.view());
    }
    setTargetOrRoot(clip);
}

void Interp::actionGetProperty() {
    // Fractions truncate toward zero: -0.8 reads property 0.
    double index = std::trunc(m_.toNumber(pop()));
    Object* clip = targetFromValue(pop());
    Value out;
    if (clip && index >= 0 && index < std::size(PropertyNames)) {
        const std::string_view name = PropertyNames[static_cast<std::size_t>(index)];
        if (!s_.host.displayProperty(clip, name, out)) {
            out = m_.get(clip, m_.str(name));
        }
    }
    push(out);
}

void Interp::actionSetProperty() {
    Value value = pop();
    double index = std::trunc(m_.toNumber(pop()));
    Object* clip = targetFromValue(pop());
    if (clip && index >= 0 && index < std::size(PropertyNames)) {
        m_.set(clip, m_.str(PropertyNames[static_cast<std::size_t>(index)]), value);
    }
}

void Interp::actionCloneSprite() {
    double depth = m_.toNumber(pop());
    Str name = m_.toString(pop());
    Object* source = targetFromValue(pop());
    if (source) {
        s_.host.cloneSprite(source, name.view(), static_cast<int>(toInt32(depth)));
    }
}

void Interp::actionRemoveSprite() {
    if (Object* clip = targetFromValue(pop())) {
        s_.host.removeSprite(clip);
    }
}

void Interp::actionStartDrag() {
    Object* clip = targetFromValue(pop());
    bool lockCenter = m_.toBoolean(pop());
    bool constrain = m_.toBoolean(pop());
    std::optional<Host::DragBounds> bounds;
    if (constrain) {
        double bottom = m_.toNumber(pop());
        double right = m_.toNumber(pop());
        double top = m_.toNumber(pop());
        double left = m_.toNumber(pop());
        bounds = Host::DragBounds{left, top, right, bottom};
    }
    if (clip) {
        s_.host.startDrag(clip, lockCenter, bounds);
    }
}

void Interp::actionEndDrag() {
    s_.host.stopDrag();
}

void Interp::actionCall() {
    // Runs a frame's actions now, without going there.
    Str text = frameText(pop());
    std::string_view label = text.view();
    Object* clip = frameOwner(label);
    if (!clip) {
        return;
    }
    double n = stringToNumber(label, 7);
    if (!std::isnan(n)) {
        // Frame numbers wrap at 32 bits: 4294967299 is frame 3.
        if (std::uint32_t number = toUint32(n); number >= 1) {
            s_.host.callFrame(clip, number - 1);
        }
    } else if (auto f = s_.host.frameOfLabel(clip, label)) {
        s_.host.callFrame(clip, *f);
    }
}

void Interp::actionGetUrl(Payload p) {
    std::string_view url = p.cstring();
    std::string_view target = p.cstring();
    std::string u = unicode::decodeText(url);
    if (isFscommand(u)) {
        s_.host.fscommand(std::string_view(u).substr(FscommandPrefix.size()),
                          unicode::decodeText(target));
        return;
    }
    UrlRequest r;
    r.url = u;
    r.target = unicode::decodeText(target);
    r.sourceClip = currentTarget();
    s_.host.getUrl(r);
}

void Interp::actionGetUrl2(Payload p) {
    std::uint8_t flags = p.u8();
    Value target = pop();
    Value url = pop();
    UrlRequest r;
    r.url = m_.toString(url).str();
    r.target = m_.toString(target).str();
    // As the authoring tools write the byte: load variables 0x80, load into a target 0x40,
    // the method in the two low bits (the reverse of the order the format notes give).
    r.method = static_cast<UrlRequest::Method>(std::min(flags & 3, 2));
    r.loadTarget = (flags & 0x40) != 0;
    r.loadVariables = (flags & 0x80) != 0;
    r.sourceClip = currentTarget();
    if (isFscommand(r.url)) {
        s_.host.fscommand(std::string_view(r.url).substr(FscommandPrefix.size()), r.target);
        return;
    }
    s_.host.getUrl(r);
}

void Interp::actionTrace() {
    traceValue(m_, pop());
}

void traceValue(Machine& m, const Value& v) {
    // Flash prints undefined as "undefined" whatever the version; \r and \n each end a line.
    std::string_view text = v.isUndefined() ? std::string_view("undefined") : std::string_view();
    Str converted;
    if (!v.isUndefined()) {
        converted = m.toString(v);
        text = converted.view();
    }
    // The log is the player's: the first movie's version decides how it is written, whatever
    // movie the code tracing comes from (a version 5 library traces a version 6 movie's
    // texts as that movie wrote them).
    const std::string printable =
        m.state().rootVersion < 6 ? codePageForLog(text) : unicode::withoutLoneSurrogates(text);
    text = printable;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
            m.host().trace(text.substr(start, i - start));
            start = i + 1;
        }
    }
}

} // namespace avm1
