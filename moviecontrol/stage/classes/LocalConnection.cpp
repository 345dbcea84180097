// LocalConnection: movies of one player talk by connection name. The movie control plays
// one movie tree at a time, so the connections a movie can reach are its own: a message
// sent to a name one of its connections listens on is delivered there after the running
// scripts, and the sender hears "status"; a name nobody listens on gives "error".
#include <algorithm>
#include <map>
#include <memory>
#include <string>

#include "StageScripts.h"
#include "StatusReports.h"
#include "avm1/Function.h"
#include "avm1/Packages.h"
#include "unicode/Utf16Text.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// The name a connection listens on ("" while it does not).
struct ConnectionState : avm1::NativeState {
    std::string name;
};

// The connections listening in this player, by folded name: Flash matches names without
// regard to case.
struct ListeningConnections {
    std::map<std::string, avm1::Root> byName;
};

std::string folded(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) {
        return static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    });
    return name;
}

ConnectionState* stateOf(const CallArgs& c) {
    avm1::Object* self = c.thisObject();
    return self != nullptr ? dynamic_cast<ConnectionState*>(self->nativeState()) : nullptr;
}

// Methods of the connection itself cannot be called through it.
bool reservedMethod(const std::string& name) {
    const std::string f = folded(name);
    return f == "send" || f == "connect" || f == "close" || f == "allowdomain" ||
           f == "allowinsecuredomain" || f == "domain" || f == "onstatus";
}

void stopListening(ListeningConnections& all, ConnectionState& s) {
    if (!s.name.empty()) {
        all.byName.erase(folded(s.name));
        s.name.clear();
    }
}

} // namespace

void installLocalConnection(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    auto all = std::make_shared<ListeningConnections>();
    avm1::FunctionObject* ctor = m.newClass([](CallArgs& c) {
        if (avm1::Object* self = c.thisObject(); self != nullptr && c.constructing) {
            self->setNativeState(std::make_unique<ConnectionState>());
        }
        return Value();
    });
    avm1::Object* proto = m.get(ctor, "prototype").asObject();

    // connect(name): listens on a name no other connection here holds; the answer is given
    // at once and onStatus is not called.
    m.defineMethod(proto, "connect", [all](CallArgs& c) {
        ConnectionState* s = stateOf(c);
        const Value& name = c.arg(0);
        if (s == nullptr || !name.isString() || name.asString().str().empty() || !s->name.empty()) {
            return Value(false);
        }
        const std::string key = folded(name.asString().str());
        if (all->byName.contains(key)) {
            return Value(false);
        }
        all->byName.emplace(key, avm1::Root(c.machine, c.thisObject()));
        s->name = name.asString().str();
        return Value(true);
    });
    m.defineMethod(proto, "close", [all](CallArgs& c) {
        if (ConnectionState* s = stateOf(c)) {
            stopListening(*all, *s);
        }
        return Value();
    });
    // A movie played from a file is on the local host.
    m.defineMethod(proto, "domain", [](CallArgs& c) { return Value(c.machine.str("localhost")); });
    // send(name, method, args...): true when the request is well formed; whether anyone got
    // it comes later, through the sender's onStatus.
    m.defineMethod(proto, "send", [all](CallArgs& c) {
        avm1::Machine& m = c.machine;
        const Value& name = c.arg(0);
        const Value& method = c.arg(1);
        if (c.count() < 2 || !name.isString() || !method.isString() ||
            method.asString().str().empty() || reservedMethod(method.asString().str())) {
            return Value(false);
        }
        const auto receiver = all->byName.find(folded(name.asString().str()));
        const bool delivered = receiver != all->byName.end();
        if (delivered) {
            avm1::callAfterScripts(m, receiver->second.get(), method.asString().str(),
                                   std::vector<Value>(c.args.begin() + 2, c.args.end()));
        }
        if (avm1::Object* self = c.thisObject()) {
            avm1::Object* info = m.newObject();
            m.set(info, "level", Value(m.str(delivered ? "status" : "error")));
            reportStatus(m, self, info, !delivered);
        }
        return Value(true);
    });
    m.define(m.global(), "LocalConnection", Value(static_cast<avm1::Object*>(ctor)),
             avm1::attr::DontEnum | avm1::attr::Only6);
    stage.keepAlive(all);
}

} // namespace mc
