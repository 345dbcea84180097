// MovieClip's timeline as scripts see it: frames counted within the scene that holds them,
// scenes and frame labels (the Scene and FrameLabel classes), and the gotos that name a
// scene, a frame number or a label.
#include "avm2/DisplayClasses.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace avm2 {

namespace {

DisplayHost* hostOf(Machine& m) {
    return m.host().display();
}

NodeId nodeOf(const Value& v) {
    return v.isObject() ? v.asObject()->displayNode : 0;
}

constexpr const char* kPlayedByScript = " playedByScript";

// The scene that holds `frame`: the last to start at or before it. A clip that names no
// scenes is one unnamed scene of its header's length.
SceneRange sceneAt(DisplayHost& h, NodeId node, std::uint32_t frame) {
    std::optional<SceneRange> best;
    for (SceneRange& s : h.scenes(node)) {
        if (s.first <= frame && (!best || s.first >= best->first)) {
            best = std::move(s);
        }
    }
    if (best) {
        return *best;
    }
    return SceneRange{"", 0, std::max<std::uint32_t>(h.declaredFrameCount(node), 1)};
}

Value makeFrameLabel(Machine& m, const std::string& name, std::uint32_t frame) {
    Args args{Value::string(name), Value::integer(static_cast<std::int32_t>(frame))};
    return m.construct(Value::object(m.findClass("flash.display::FrameLabel")->classObject), args);
}

// The labels within the scene, frames counted from the scene's first (from 1).
Value labelsOf(Machine& m, DisplayHost& h, NodeId node, const SceneRange& scene) {
    std::vector<Value> labels;
    for (const FrameLabelAt& l : h.frameLabels(node)) {
        if (l.frame >= scene.first && l.frame - scene.first < scene.length) {
            labels.push_back(makeFrameLabel(m, l.name, l.frame - scene.first + 1));
        }
    }
    return Value::object(m.newArray(std::move(labels)));
}

Value makeScene(Machine& m, DisplayHost& h, NodeId node, const SceneRange& scene) {
    Args args{Value::string(scene.name), labelsOf(m, h, node, scene),
              Value::integer(static_cast<std::int32_t>(std::min<std::uint32_t>(
                  scene.length, std::numeric_limits<std::int32_t>::max())))};
    return m.construct(Value::object(m.findClass("flash.display::Scene")->classObject), args);
}

// --- Playing -------------------------------------------------------------------------------

Value clipStop(Machine& m, const Value& self, Args&) {
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        h->setPlaying(nodeOf(self), false);
    }
    return Value();
}

Value clipPlay(Machine& m, const Value& self, Args&) {
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        setHiddenField(self, kPlayedByScript, Value::boolean(true));
        h->setPlaying(nodeOf(self), true);
    }
    return Value();
}

void gotoAndConstruct(Machine& m, DisplayHost& h, NodeId node, std::uint32_t frame, bool play) {
    const std::uint32_t from = h.currentFrame(node);
    h.gotoFrame(node, frame, play);
    h.scriptedGotoRemoved(node, from);
    constructChildren(m, node);
    h.scriptedGoto(node);
}

[[noreturn]] void labelNotFound(Machine& m, const std::string& label, const std::string& scene) {
    m.throwError("ArgumentError", 2109,
                 "Frame label " + label + " not found in scene " + scene + ".");
}

// A goto's frame given as a whole number, or a string of one ("3", "-2"); nullopt for
// anything else. Kept within a range that cannot overflow once the scene's start is added.
std::optional<std::int64_t> wholeFrameNumber(Machine& m, const Value& what) {
    double n = 0;
    if (what.isNumeric()) {
        n = m.toNumber(what);
        if (!std::isfinite(n) || n != std::trunc(n)) {
            return std::nullopt;
        }
    } else {
        const std::string text = m.toString(what);
        std::size_t i = text.size() > 1 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
        if (i == text.size()) {
            return std::nullopt;
        }
        for (std::size_t k = i; k < text.size(); ++k) {
            if (text[k] < '0' || text[k] > '9') {
                return std::nullopt;
            }
        }
        n = stringToNumber(text);
        if (!std::isfinite(n)) {
            return std::nullopt;
        }
    }
    return static_cast<std::int64_t>(std::clamp(n, -1e9, 1e9));
}

// The frame (from 0, before clamping) a goto's arguments name. A number counts from the
// first frame of the scene named, else of the scene shown; a label names its own frame,
// and when a scene is named it must lie within that scene.
std::int64_t gotoTarget(Machine& m, DisplayHost& h, NodeId node, Args& a) {
    std::optional<SceneRange> named;
    if (a.size() > 1 && !a[1].isNullish()) {
        const std::string name = m.toString(a[1]);
        std::vector<SceneRange> scenes = h.scenes(node);
        for (SceneRange& s : scenes) {
            if (s.name == name) {
                named = std::move(s);
                break;
            }
        }
        if (!named && !scenes.empty()) {
            m.throwError("ArgumentError", 2108, "Scene " + name + " was not found.");
        }
    }
    const std::int64_t base = named ? named->first : sceneAt(h, node, h.currentFrame(node)).first;
    const Value& what = a[0];
    if (const std::optional<std::int64_t> n = wholeFrameNumber(m, what)) {
        return base + *n - 1;
    }
    // Anything else names a label, "2.5" and 2.5 alike.
    const std::string text = m.toString(what);
    const std::int64_t labelled = h.frameOfLabel(node, text);
    if (labelled >= 0) {
        if (named && (labelled < named->first || labelled - named->first >= named->length)) {
            labelNotFound(m, text, named->name);
        }
        return labelled;
    }
    if (named) {
        labelNotFound(m, text, named->name);
    }
    // Movies from before version 11 go to the first frame for a label they lack.
    if (h.movieVersion() < 11) {
        return 0;
    }
    labelNotFound(m, text, text);
}

template <bool Play> Value clipGoto(Machine& m, const Value& self, Args& a) {
    DisplayHost* h = hostOf(m);
    const NodeId node = nodeOf(self);
    if (h == nullptr || node == 0 || a.empty()) {
        return Value();
    }
    if (Play) {
        setHiddenField(self, kPlayedByScript, Value::boolean(true));
    }
    const std::int64_t last = std::max<std::uint32_t>(h->frameCount(node), 1) - 1;
    const std::int64_t frame = std::clamp<std::int64_t>(gotoTarget(m, *h, node, a), 0, last);
    gotoAndConstruct(m, *h, node, static_cast<std::uint32_t>(frame), Play);
    return Value();
}

template <int Step> Value clipStepFrame(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    const NodeId node = nodeOf(self);
    if (h == nullptr || node == 0) {
        return Value();
    }
    const std::uint32_t frame = h->currentFrame(node);
    const std::uint32_t count = std::max<std::uint32_t>(h->frameCount(node), 1);
    if (Step > 0 && frame + 1 < count) {
        gotoAndConstruct(m, *h, node, frame + 1, false);
    } else if (Step < 0 && frame > 0) {
        gotoAndConstruct(m, *h, node, frame - 1, false);
    } else {
        h->setPlaying(node, false);
    }
    return Value();
}

// nextScene goes to the first scene starting after the frame shown, prevScene to the last
// starting before the scene shown; without one, both go back to the start of the scene
// shown. Either plays on from there.
template <int Step> Value clipStepScene(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    const NodeId node = nodeOf(self);
    if (h == nullptr || node == 0) {
        return Value();
    }
    const std::uint32_t frame = h->currentFrame(node);
    const SceneRange current = sceneAt(*h, node, frame);
    std::optional<std::uint32_t> target;
    for (const SceneRange& s : h->scenes(node)) {
        if (Step > 0 && s.first > frame && (!target || s.first < *target)) {
            target = s.first;
        } else if (Step < 0 && s.first < current.first && (!target || s.first > *target)) {
            target = s.first;
        }
    }
    setHiddenField(self, kPlayedByScript, Value::boolean(true));
    const std::uint32_t last = std::max<std::uint32_t>(h->frameCount(node), 1) - 1;
    gotoAndConstruct(m, *h, node, std::min(target.value_or(current.first), last), true);
    return Value();
}

// --- What the playhead shows ---------------------------------------------------------------

Value clipCurrentFrame(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    const NodeId node = nodeOf(self);
    if (h == nullptr || node == 0) {
        return Value::integer(1);
    }
    if (h->frameCount(node) == 0) {
        return Value::integer(0); // a clip made by script has no frame to show
    }
    const std::uint32_t frame = h->currentFrame(node);
    const std::uint32_t first = sceneAt(*h, node, frame).first;
    return Value::integer(static_cast<std::int32_t>(
        std::min<std::uint32_t>(frame - first, std::numeric_limits<std::int32_t>::max() - 1) + 1));
}

Value clipTotalFrames(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || nodeOf(self) == 0) {
        return Value::integer(1);
    }
    return Value::integer(static_cast<std::int32_t>(
        std::clamp<std::uint32_t>(h->declaredFrameCount(nodeOf(self)), 1, 65535)));
}

// All of a movie is loaded: the frames present, never more than the header claims.
Value clipFramesLoaded(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    const NodeId node = nodeOf(self);
    if (h == nullptr || node == 0) {
        return Value::integer(1);
    }
    const std::uint32_t loaded =
        std::min(h->frameCount(node), std::max<std::uint32_t>(h->declaredFrameCount(node), 1));
    return Value::integer(static_cast<std::int32_t>(std::clamp<std::uint32_t>(loaded, 1, 65535)));
}

// True once a script set the clip playing, for as long as it plays; a clip whose header
// claims a single frame counts as stopped, whatever frames follow.
Value clipIsPlaying(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    const NodeId node = nodeOf(self);
    return Value::boolean(h != nullptr && node != 0 &&
                          hiddenField(self, kPlayedByScript).isBoolean() && h->playing(node) &&
                          h->declaredFrameCount(node) > 1);
}

Value clipCurrentLabel(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    if (h == nullptr || nodeOf(self) == 0) {
        return Value::null();
    }
    const std::string label = h->currentLabel(nodeOf(self));
    return label.empty() ? Value::null() : Value::string(label);
}

// The label of the frame shown itself; null when that frame has none.
Value clipCurrentFrameLabel(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    const NodeId node = nodeOf(self);
    if (h == nullptr || node == 0) {
        return Value::null();
    }
    const std::uint32_t frame = h->currentFrame(node);
    std::optional<std::string> found;
    for (const FrameLabelAt& l : h->frameLabels(node)) {
        if (l.frame == frame) {
            found = l.name;
        }
    }
    return found ? Value::string(*found) : Value::null();
}

Value clipCurrentLabels(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    const NodeId node = nodeOf(self);
    if (h == nullptr || node == 0) {
        return Value::object(m.newArray());
    }
    return labelsOf(m, *h, node, sceneAt(*h, node, h->currentFrame(node)));
}

Value clipCurrentScene(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    const NodeId node = nodeOf(self);
    if (h == nullptr || node == 0) {
        return Value::null();
    }
    return makeScene(m, *h, node, sceneAt(*h, node, h->currentFrame(node)));
}

Value clipScenes(Machine& m, const Value& self, Args&) {
    DisplayHost* h = hostOf(m);
    const NodeId node = nodeOf(self);
    if (h == nullptr || node == 0) {
        return Value::object(m.newArray());
    }
    std::vector<SceneRange> scenes = h->scenes(node);
    if (scenes.empty()) {
        scenes.push_back(sceneAt(*h, node, 0));
    }
    std::vector<Value> out;
    out.reserve(scenes.size());
    for (const SceneRange& s : scenes) {
        out.push_back(makeScene(m, *h, node, s));
    }
    return Value::object(m.newArray(std::move(out)));
}

// --- Scene and FrameLabel ------------------------------------------------------------------

template <const char* Key> Value fieldGetter(Machine&, const Value& self, Args&) {
    return hiddenField(self, Key);
}

constexpr char kName[] = " name";
constexpr char kFrame[] = " frame";
constexpr char kLabels[] = " labels";
constexpr char kNumFrames[] = " numFrames";

Value frameLabelInit(Machine& m, const Value& self, Args& a) {
    setHiddenField(self, kName, Value::string(m.toString(arg(a, 0))));
    setHiddenField(self, kFrame, Value::integer(toInt32(m.toNumber(arg(a, 1)))));
    return Value();
}

Value sceneInit(Machine& m, const Value& self, Args& a) {
    setHiddenField(self, kName, Value::string(m.toString(arg(a, 0))));
    setHiddenField(self, kLabels, arg(a, 1).isObject() ? arg(a, 1) : Value::null());
    setHiddenField(self, kNumFrames, Value::integer(toInt32(m.toNumber(arg(a, 2)))));
    return Value();
}

} // namespace

void installTimeline(Machine& m) {
    Class* frameLabel = m.defineClass("flash.display", "FrameLabel",
                                      m.findClass("flash.events::EventDispatcher"), frameLabelInit);
    m.defineGetter(frameLabel, "name", fieldGetter<kName>);
    m.defineGetter(frameLabel, "frame", fieldGetter<kFrame>);
    frameLabel->sealed = true;

    Class* scene = m.defineClass("flash.display", "Scene", m.objectClass, sceneInit);
    m.defineGetter(scene, "name", fieldGetter<kName>);
    m.defineGetter(scene, "labels", fieldGetter<kLabels>);
    m.defineGetter(scene, "numFrames", fieldGetter<kNumFrames>);
    scene->sealed = true;

    Class* clip = m.findClass("flash.display::MovieClip");
    m.defineMethod(clip, "stop", clipStop);
    m.defineMethod(clip, "play", clipPlay);
    m.defineMethod(clip, "gotoAndStop", clipGoto<false>);
    m.defineMethod(clip, "gotoAndPlay", clipGoto<true>);
    m.defineMethod(clip, "nextFrame", clipStepFrame<1>);
    m.defineMethod(clip, "prevFrame", clipStepFrame<-1>);
    m.defineMethod(clip, "nextScene", clipStepScene<1>);
    m.defineMethod(clip, "prevScene", clipStepScene<-1>);
    m.defineGetter(clip, "currentFrame", clipCurrentFrame);
    m.defineGetter(clip, "totalFrames", clipTotalFrames);
    m.defineGetter(clip, "framesLoaded", clipFramesLoaded);
    m.defineGetter(clip, "isPlaying", clipIsPlaying);
    m.defineGetter(clip, "currentLabel", clipCurrentLabel);
    m.defineGetter(clip, "currentFrameLabel", clipCurrentFrameLabel);
    m.defineGetter(clip, "currentLabels", clipCurrentLabels);
    m.defineGetter(clip, "currentScene", clipCurrentScene);
    m.defineGetter(clip, "scenes", clipScenes);
}

} // namespace avm2
