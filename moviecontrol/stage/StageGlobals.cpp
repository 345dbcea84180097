// The stage-side globals: Stage, Color, Sound, System.capabilities and
// MovieClipLoader.
#include <cmath>

#include "SoundPort.h"
#include "StageObject.h"
#include "StageScripts.h"
#include "avm1/Function.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// Stage: the movie's size and how it is fitted, as scripts read them.
class StageInfo final : public avm1::Object {
  public:
    StageInfo(avm1::Object* proto, const swf::Header& header)
        : avm1::Object(proto), header_(header) {}
    bool getVirtual(avm1::Machine& m, const avm1::Str& name, Value& out) override {
        const swf::Rect& r = header_.frameRect;
        if (avm1::equalsFolded(name.view(), "width")) {
            out = Value(std::floor((r.xMax - r.xMin) / 20.0));
        } else if (avm1::equalsFolded(name.view(), "height")) {
            out = Value(std::floor((r.yMax - r.yMin) / 20.0));
        } else if (avm1::equalsFolded(name.view(), "scaleMode")) {
            out = Value(m.str(scaleMode));
        } else if (avm1::equalsFolded(name.view(), "align")) {
            out = Value(m.str(align));
        } else {
            return false;
        }
        return true;
    }
    bool setVirtual(avm1::Machine& m, const avm1::Str& name, const Value& value) override {
        if (avm1::equalsFolded(name.view(), "scaleMode")) {
            const std::string mode = m.toString(value).str();
            for (const char* known : {"showAll", "noBorder", "exactFit", "noScale"}) {
                if (avm1::equalsFolded(mode, known)) {
                    scaleMode = known;
                }
            }
            return true;
        }
        if (avm1::equalsFolded(name.view(), "align")) {
            // Letters L, R, T, B in any order and case; kept in the players' order.
            const std::string given = m.toString(value).str();
            std::string a;
            for (const char letter : {'T', 'B', 'L', 'R'}) {
                if (given.find(letter) != std::string::npos ||
                    given.find(static_cast<char>(letter + 32)) != std::string::npos) {
                    a += letter;
                }
            }
            align = a;
            return true;
        }
        return avm1::equalsFolded(name.view(), "width") ||
               avm1::equalsFolded(name.view(), "height");
    }
    std::string scaleMode = "showAll";
    std::string align;

  private:
    const swf::Header& header_;
};

void broadcaster(avm1::Machine& m, avm1::Object* object) {
    const Value ab = m.get(m.global(), "AsBroadcaster");
    if (avm1::Object* a = ab.asObject()) {
        const Value arg(object);
        m.callMethod(a, "initialize", std::span<const Value>(&arg, 1));
    }
}

avm1::Object* plainObject(avm1::Machine& m, std::string_view globalName) {
    avm1::Object* o = m.newObject();
    m.define(m.global(), globalName, Value(o));
    return o;
}

void installCapabilities(avm1::Machine& m, const swf::Header& header) {
    avm1::Object* system = m.get(m.global(), "System").asObject();
    if (system == nullptr) {
        system = plainObject(m, "System");
    }
    avm1::Object* caps = m.newObject();
    m.define(system, "capabilities", Value(caps));
    const auto text = [&](const char* name, const char* value) {
        m.set(caps, name, Value(m.str(value)));
    };
    text("os", "Linux");
    text("language", "en");
    text("manufacturer", "Velmora");
    text("playerType", "StandAlone");
    text("version", "LNX 8,0,0,0");
    text("screenColor", "color");
    m.set(caps, "screenResolutionX", Value(1920.0));
    m.set(caps, "screenResolutionY", Value(1080.0));
    m.set(caps, "screenDPI", Value(72.0));
    m.set(caps, "pixelAspectRatio", Value(1.0));
    for (const char* yes : {"hasAudio", "hasMP3", "hasAudioEncoder", "isDebugger"}) {
        m.set(caps, yes,
              Value(std::string_view(yes) != "isDebugger" &&
                    std::string_view(yes) != "hasAudioEncoder"));
    }
    (void)header;
}

class ColorMethods {
  public:
    explicit ColorMethods(StageScripts& stage) : stage_(stage) {}

    DisplayObject* target(CallArgs& c) {
        avm1::Object* self = c.thisObject();
        if (self == nullptr) {
            return nullptr;
        }
        const Value t = c.machine.get(self, "__colorTarget");
        if (DisplayObject* o = stage_.displayOf(t)) {
            return o;
        }
        // A path string, as Color accepts too.
        return nullptr;
    }

    void install(avm1::Machine& m) {
        avm1::FunctionObject* ctor = m.newClass([](CallArgs& c) {
            if (avm1::Object* self = c.thisObject()) {
                c.machine.define(self, "__colorTarget", c.arg(0), avm1::attr::Hidden);
            }
            return Value();
        });
        m.define(m.global(), "Color", Value(static_cast<avm1::Object*>(ctor)));
        avm1::Object* proto = m.get(ctor, "prototype").asObject();
        m.defineMethod(proto, "setRGB", [this](CallArgs& c) {
            if (DisplayObject* o = target(c)) {
                const auto rgb = static_cast<std::uint32_t>(static_cast<std::int64_t>(
                    std::isfinite(c.machine.toNumber(c.arg(0))) ? c.machine.toNumber(c.arg(0))
                                                                : 0.0));
                ColorTransform& cx = o->colorTransform;
                cx.mult[0] = cx.mult[1] = cx.mult[2] = 0;
                cx.add[0] = static_cast<std::int32_t>((rgb >> 16) & 0xFF);
                cx.add[1] = static_cast<std::int32_t>((rgb >> 8) & 0xFF);
                cx.add[2] = static_cast<std::int32_t>(rgb & 0xFF);
            }
            return Value();
        });
        m.defineMethod(proto, "getRGB", [this](CallArgs& c) {
            if (DisplayObject* o = target(c)) {
                const ColorTransform& cx = o->colorTransform;
                const auto part = [](std::int32_t v) {
                    return static_cast<std::uint32_t>(v & 0xFF);
                };
                return Value(static_cast<double>((part(cx.add[0]) << 16) | (part(cx.add[1]) << 8) |
                                                 part(cx.add[2])));
            }
            return Value();
        });
        m.defineMethod(proto, "setTransform", [this](CallArgs& c) {
            DisplayObject* o = target(c);
            avm1::Object* t = c.arg(0).asObject();
            if (o == nullptr || t == nullptr) {
                return Value();
            }
            ColorTransform& cx = o->colorTransform;
            const char* mults[] = {"ra", "ga", "ba", "aa"};
            const char* adds[] = {"rb", "gb", "bb", "ab"};
            for (int i = 0; i < 4; ++i) {
                const Value mv = c.machine.get(t, mults[i]);
                if (!mv.isUndefined()) {
                    const double v = c.machine.toNumber(mv);
                    cx.mult[i] =
                        std::isfinite(v)
                            ? static_cast<std::int32_t>(std::clamp(v * 2.56, -32768.0, 32767.0))
                            : 0;
                }
                const Value av = c.machine.get(t, adds[i]);
                if (!av.isUndefined()) {
                    const double v = c.machine.toNumber(av);
                    cx.add[i] = std::isfinite(v)
                                    ? static_cast<std::int32_t>(std::clamp(v, -32768.0, 32767.0))
                                    : 0;
                }
            }
            return Value();
        });
        m.defineMethod(proto, "getTransform", [this](CallArgs& c) {
            DisplayObject* o = target(c);
            if (o == nullptr) {
                return Value();
            }
            avm1::Object* t = c.machine.newObject();
            const ColorTransform& cx = o->colorTransform;
            const char* mults[] = {"ra", "ga", "ba", "aa"};
            const char* adds[] = {"rb", "gb", "bb", "ab"};
            for (int i = 0; i < 4; ++i) {
                c.machine.set(t, mults[i], Value(cx.mult[i] / 2.56));
                c.machine.set(t, adds[i], Value(static_cast<double>(cx.add[i])));
            }
            return Value(t);
        });
    }

  private:
    StageScripts& stage_;
};

class SoundMethods {
  public:
    explicit SoundMethods(StageScripts& stage) : stage_(stage) {}

    std::uint64_t idOf(CallArgs& c) {
        avm1::Object* self = c.thisObject();
        if (self == nullptr) {
            return 0;
        }
        const Value id = c.machine.get(self, "__soundId");
        return id.isNumber() ? static_cast<std::uint64_t>(id.asNumber()) : 0;
    }
    const DisplayObject* clipOf(CallArgs& c) {
        avm1::Object* self = c.thisObject();
        return self != nullptr ? stage_.displayOf(c.machine.get(self, "__soundTarget")) : nullptr;
    }
    SoundPort* port() { return stage_.callbacks().sound; }

    void install(avm1::Machine& m) {
        avm1::FunctionObject* ctor = m.newClass([this](CallArgs& c) {
            if (avm1::Object* self = c.thisObject()) {
                c.machine.define(self, "__soundId", Value(static_cast<double>(++nextId_)),
                                 avm1::attr::Hidden);
                c.machine.define(self, "__soundTarget", c.arg(0), avm1::attr::Hidden);
            }
            return Value();
        });
        m.define(m.global(), "Sound", Value(static_cast<avm1::Object*>(ctor)));
        avm1::Object* proto = m.get(ctor, "prototype").asObject();
        m.defineMethod(proto, "attachSound", [this](CallArgs& c) {
            if (port() != nullptr) {
                port()->attachSound(idOf(c), c.machine.toString(c.arg(0)).view());
            }
            return Value();
        });
        m.defineMethod(proto, "start", [this](CallArgs& c) {
            if (port() != nullptr) {
                const double offset = c.machine.toNumber(c.arg(0));
                const double loops = c.machine.toNumber(c.arg(1));
                port()->start(
                    idOf(c), std::isfinite(offset) ? std::max(0.0, offset) : 0.0,
                    std::isfinite(loops) ? static_cast<int>(std::clamp(loops, 1.0, 65535.0)) : 1);
            }
            return Value();
        });
        m.defineMethod(proto, "stop", [this](CallArgs& c) {
            if (port() != nullptr) {
                port()->stop(idOf(c), c.count() > 0 ? c.machine.toString(c.arg(0)).view()
                                                    : std::string_view());
            }
            return Value();
        });
        m.defineMethod(proto, "setVolume", [this](CallArgs& c) {
            const double v = c.machine.toNumber(c.arg(0));
            if (port() != nullptr && std::isfinite(v)) {
                port()->setVolume(clipOf(c), v);
            }
            return Value();
        });
        m.defineMethod(proto, "getVolume", [this](CallArgs& c) {
            return Value(port() != nullptr ? port()->volume(clipOf(c)) : 100.0);
        });
        m.defineMethod(proto, "setPan", [this](CallArgs& c) {
            const double v = c.machine.toNumber(c.arg(0));
            if (port() != nullptr && std::isfinite(v)) {
                port()->setPan(clipOf(c), v);
            }
            return Value();
        });
        m.defineMethod(proto, "getPan", [this](CallArgs& c) {
            return Value(port() != nullptr ? port()->pan(clipOf(c)) : 0.0);
        });
    }

  private:
    StageScripts& stage_;
    std::uint64_t nextId_ = 0;
};

} // namespace

void installStageGlobals(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    auto* info = m.make<StageInfo>(m.objectPrototype(), stage.movie().header);
    m.define(m.global(), "Stage", Value(static_cast<avm1::Object*>(info)));
    broadcaster(m, info);
    installInputGlobals(stage);
    installCapabilities(m, stage.movie().header);
    auto color = std::make_shared<ColorMethods>(stage);
    color->install(m);
    stage.keepAlive(color);
    auto sound = std::make_shared<SoundMethods>(stage);
    sound->install(m);
    stage.keepAlive(sound);
}

} // namespace mc
