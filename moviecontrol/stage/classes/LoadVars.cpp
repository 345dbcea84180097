// LoadVars, and XML's load, reading files beside the movie. Nothing is fetched from a
// network: an address the movie may not read arrives as a failed load. The text arrives
// through the object's onData after the running scripts, as a download would.
#include <memory>

#include "StageScripts.h"
#include "avm1/FormEncoding.h"
#include "avm1/Function.h"
#include "avm1/Packages.h"
#include "unicode/Utf16Text.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

class DataLoader {
  public:
    explicit DataLoader(StageScripts& stage) : stage_(stage) {}

    // Starts loading `url` for `target`; false when there is no address at all.
    bool load(avm1::Machine& m, avm1::Object* target, const Value& url) {
        if (target == nullptr || url.isNullish()) {
            return false;
        }
        // `loaded` is made hidden, so that toString leaves it out.
        if (m.hasProperty(target, m.str("loaded"))) {
            m.set(target, "loaded", Value(false));
        } else {
            m.define(target, "loaded", Value(false), avm1::attr::Hidden);
        }
        m.define(target, "_bytesLoaded", Value(0.0), avm1::attr::Hidden);
        m.define(target, "_bytesTotal", Value(), avm1::attr::Hidden);
        const std::vector<std::uint8_t> bytes = stage_.readBesideMovie(m.toString(url).view());
        Value text;
        if (!bytes.empty()) {
            text = Value(avm1::Str(unicode::decodeText(
                std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))));
        }
        const Value deliver(m.newFunction(arrive));
        avm1::callAfterScripts(m, deliver,
                               {Value(target), text, Value(static_cast<double>(bytes.size()))});
        return true;
    }

    // The answer arrives: its size first, then onData with its text (undefined: failed).
    static Value arrive(CallArgs& c) {
        avm1::Machine& m = c.machine;
        avm1::Object* target = c.arg(0).asObject();
        if (target == nullptr) {
            return Value();
        }
        if (!c.arg(1).isUndefined()) {
            m.define(target, "_bytesLoaded", c.arg(2), avm1::attr::Hidden);
            m.define(target, "_bytesTotal", c.arg(2), avm1::attr::Hidden);
        }
        const Value text = c.arg(1);
        m.callMethod(target, "onData", std::span<const Value>(&text, 1));
        return Value();
    }

    // The methods that reach the player's files: LoadVars has them as hidden members;
    // XML.prototype has them already, in their places, and keeps its own flags.
    void installLoading(avm1::Machine& m, avm1::Object* proto) {
        const auto flags = [&](std::string_view name) {
            const avm1::Property* p = proto->properties().find(m.str(name), true);
            return p ? p->attributes : avm1::attr::DontEnum | avm1::attr::DontDelete;
        };
        m.defineMethod(
            proto, "load",
            [this](CallArgs& c) { return Value(load(c.machine, c.thisObject(), c.arg(0))); },
            flags("load"));
        // What would be sent has nowhere to go; the answer is read like a load.
        m.defineMethod(
            proto, "sendAndLoad",
            [this](CallArgs& c) { return Value(load(c.machine, c.arg(1).asObject(), c.arg(0))); },
            flags("sendAndLoad"));
    }

    // LoadVars' own members beside the loading ones.
    static void installCounts(avm1::Machine& m, avm1::Object* proto) {
        m.defineMethod(proto, "send", [](CallArgs&) { return Value(false); });
        m.defineMethod(proto, "getBytesLoaded", [](CallArgs& c) {
            avm1::Object* self = c.thisObject();
            return self != nullptr ? c.machine.get(self, "_bytesLoaded") : Value();
        });
        m.defineMethod(proto, "getBytesTotal", [](CallArgs& c) {
            avm1::Object* self = c.thisObject();
            return self != nullptr ? c.machine.get(self, "_bytesTotal") : Value();
        });
    }

  private:
    StageScripts& stage_;
};

void installLoadVarsMethods(avm1::Machine& m, avm1::Object* proto) {
    m.defineMethod(proto, "decode", [](CallArgs& c) {
        avm1::Machine& m = c.machine;
        if (avm1::Object* self = c.thisObject()) {
            for (const auto& [name, value] : avm1::decodeForm(m.toString(c.arg(0)).view())) {
                m.set(self, name, Value(m.str(value)));
            }
        }
        return Value();
    });
    m.defineMethod(proto, "toString", [](CallArgs& c) {
        avm1::Machine& m = c.machine;
        avm1::Object* self = c.thisObject();
        if (self == nullptr) {
            return Value(m.str(""));
        }
        // Every enumerable variable, handlers the script added included.
        std::vector<avm1::FormPair> pairs;
        for (const avm1::Str& name : m.enumerate(self)) {
            pairs.emplace_back(name.str(), m.toString(m.get(self, name)).str());
        }
        return Value(avm1::Str(avm1::encodeForm(pairs)));
    });
    // Text that arrives is decoded into variables, then onLoad hears whether it came.
    m.defineMethod(proto, "onData", [](CallArgs& c) {
        avm1::Machine& m = c.machine;
        avm1::Object* self = c.thisObject();
        if (self == nullptr) {
            return Value();
        }
        const bool arrived = !c.arg(0).isUndefined();
        if (arrived) {
            // A copy: decode runs script, whose calls may move the arguments' storage.
            // NOLINTNEXTLINE(performance-unnecessary-copy-initialization): see above
            const Value text = c.arg(0);
            m.callMethod(self, "decode", std::span<const Value>(&text, 1));
            m.set(self, "loaded", Value(true));
        }
        const Value success(arrived);
        m.callMethod(self, "onLoad", std::span<const Value>(&success, 1));
        return Value();
    });
    m.defineMethod(proto, "onLoad", [](CallArgs&) { return Value(); });
    m.defineMethod(proto, "addRequestHeader", [](CallArgs&) { return Value(); });
    m.define(proto, "contentType", Value(m.str("application/x-www-form-urlencoded")));
}

} // namespace

void installLoadVars(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    auto loader = std::make_shared<DataLoader>(stage);
    avm1::FunctionObject* ctor = m.newClass([](CallArgs&) { return Value(); });
    avm1::Object* proto = m.get(ctor, "prototype").asObject();
    installLoadVarsMethods(m, proto);
    loader->installLoading(m, proto);
    DataLoader::installCounts(m, proto);
    m.define(m.global(), "LoadVars", Value(static_cast<avm1::Object*>(ctor)));
    if (avm1::Object* xmlProto = m.prototypeOf("XML")) {
        loader->installLoading(m, xmlProto);
    }
    stage.keepAlive(loader);
}

} // namespace mc
