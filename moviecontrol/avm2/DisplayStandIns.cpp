// Display classes as stand-ins: the class tree a document class extends, and the
// MovieClip timeline calls, which reach the root timeline through the host when made on the
// document object and do nothing on other objects.
#include "avm2/Machine.h"

#include <cmath>

namespace avm2 {

namespace {

bool isDocument(Machine& m, const Value& self) {
    return self.isObject() && self.asObject() == m.document();
}

Value addFrameScript(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value();
    }
    Object* o = self.asObject();
    for (std::size_t i = 0; i + 1 < a.size(); i += 2) {
        const double frame = m.toNumber(a[i]);
        if (!(frame >= 0 && frame < 65536)) {
            continue;
        }
        const Value key = Value::integer(static_cast<std::int32_t>(frame));
        bool replaced = false;
        for (auto& [k, fn] : o->entries) {
            if (k.isInt() && k.asInt() == key.asInt()) {
                fn = a[i + 1];
                replaced = true;
            }
        }
        if (!replaced && !a[i + 1].isNullish()) {
            o->entries.emplace_back(key, a[i + 1]);
        }
    }
    return Value();
}

// A frame number (from 1) or label; labels are not known here, so they go nowhere.
bool frameOf(Machine& m, const Value& v, std::uint32_t& frame) {
    const double d = m.toNumber(v);
    if (!(d >= 1 && d <= 65536)) {
        return false;
    }
    frame = static_cast<std::uint32_t>(d) - 1;
    return true;
}

Value stop(Machine& m, const Value& self, Args&) {
    if (isDocument(m, self)) {
        m.host().rootSetPlaying(false);
    }
    return Value();
}

Value play(Machine& m, const Value& self, Args&) {
    if (isDocument(m, self)) {
        m.host().rootSetPlaying(true);
    }
    return Value();
}

template <bool Play> Value gotoFrame(Machine& m, const Value& self, Args& a) {
    std::uint32_t frame = 0;
    if (isDocument(m, self) && !a.empty() && frameOf(m, a[0], frame)) {
        m.host().rootGoto(std::min(frame, m.host().rootFrameCount() - 1), Play);
    }
    return Value();
}

Value currentFrame(Machine& m, const Value& self, Args&) {
    return Value::integer(isDocument(m, self) ? static_cast<std::int32_t>(m.host().rootFrame()) + 1
                                              : 1);
}

Value totalFrames(Machine& m, const Value& self, Args&) {
    return Value::integer(isDocument(m, self) ? static_cast<std::int32_t>(m.host().rootFrameCount())
                                              : 1);
}

} // namespace

void installDisplayStandIns(Machine& m) {
    Class* object = m.objectClass;
    Class* dispatcher = m.defineClass("flash.events", "EventDispatcher", object);
    Class* display = m.defineClass("flash.display", "DisplayObject", dispatcher);
    Class* interactive = m.defineClass("flash.display", "InteractiveObject", display);
    Class* container = m.defineClass("flash.display", "DisplayObjectContainer", interactive);
    Class* sprite = m.defineClass("flash.display", "Sprite", container);
    Class* clip = m.defineClass("flash.display", "MovieClip", sprite);
    m.defineClass("flash.display", "Shape", display);
    for (Class* c : {dispatcher, display, interactive, container, sprite}) {
        c->sealed = true;
    }
    m.defineMethod(clip, "addFrameScript", addFrameScript);
    m.defineMethod(clip, "stop", stop);
    m.defineMethod(clip, "play", play);
    m.defineMethod(clip, "gotoAndStop", gotoFrame<false>);
    m.defineMethod(clip, "gotoAndPlay", gotoFrame<true>);
    m.defineGetter(clip, "currentFrame", currentFrame);
    m.defineGetter(clip, "totalFrames", totalFrames);
    m.defineGetter(clip, "framesLoaded", totalFrames);
}

} // namespace avm2
