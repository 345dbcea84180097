// NetConnection without a network: connect(null) opens the local connection that progressive
// streams use; a connection to a server never opens, and closing it reports the aborted
// attempt with an empty status.

#include "avm1/classes/NetConnection.h"

#include "avm1/Packages.h"
#include "avm1/State.h"

#include <optional>
#include <string>

namespace avm1 {

namespace {

class NetConnectionObject : public Object {
  public:
    using Object::Object;
    enum class State { Closed, Local, Remote } state = State::Closed;
    // What the last connect() was given, as text; nothing before the first.
    std::optional<std::string> uri;
};

void status(Machine& m, Object* self, std::string_view code) {
    Object* event = m.newObject();
    m.set(event, "code", Value(m.str(code)));
    m.set(event, "level", Value(m.str("status")));
    Value arg(event);
    m.callMethod(self, "onStatus", std::span<const Value>(&arg, 1));
}

// Closes the connection, telling the script as Flash does.
void closeConnection(Machine& m, NetConnectionObject* self) {
    auto was = self->state;
    self->state = NetConnectionObject::State::Closed;
    if (was == NetConnectionObject::State::Closed) {
        return;
    }
    status(m, self, "NetConnection.Connect.Closed");
    if (was == NetConnectionObject::State::Remote) {
        m.callMethod(self, "onStatus", {});
    }
}

} // namespace

bool isLocalNetConnection(const Object* connection) {
    const auto* nc = dynamic_cast<const NetConnectionObject*>(connection);
    return nc != nullptr && nc->state == NetConnectionObject::State::Local;
}

void installNetConnection(Machine& m) {
    FunctionObject* ctor = m.newClass([](CallArgs&) -> Value { return {}; });
    ctor->constructor = [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* proto = m.get(c.callee, "prototype").asObject();
        auto* made = m.make<NetConnectionObject>(proto);
        // Each connection carries its own state readers, as Flash gives them.
        defineAccessor(
            m, made, "isConnected",
            [](CallArgs& call) -> Value {
                auto* self = dynamic_cast<NetConnectionObject*>(call.thisObject());
                return self ? Value(self->state == NetConnectionObject::State::Local) : Value();
            },
            nullptr);
        defineAccessor(
            m, made, "uri",
            [](CallArgs& call) -> Value {
                auto* self = dynamic_cast<NetConnectionObject*>(call.thisObject());
                return self && self->uri ? Value(call.machine.str(*self->uri)) : Value();
            },
            nullptr);
        return Value(static_cast<Object*>(made));
    };
    Object* proto = constructorPrototype(m, ctor);
    m.defineMethod(proto, "connect", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        auto* self = dynamic_cast<NetConnectionObject*>(c.thisObject());
        if (!self) {
            return Value(false);
        }
        closeConnection(m, self);
        self->uri = m.toString(c.arg(0)).str();
        if (c.arg(0).isNull()) {
            self->state = NetConnectionObject::State::Local;
            status(m, self, "NetConnection.Connect.Success");
            return Value(true);
        }
        self->state = NetConnectionObject::State::Remote;
        return Value(true);
    });
    m.defineMethod(proto, "close", [](CallArgs& c) -> Value {
        if (auto* self = dynamic_cast<NetConnectionObject*>(c.thisObject())) {
            closeConnection(c.machine, self);
        }
        return {};
    });
    // A class of version 6 movies, as its streams are.
    // Remoting calls and their headers need a server: nothing is sent.
    m.defineMethod(proto, "call", [](CallArgs&) -> Value { return {}; });
    m.defineMethod(proto, "addHeader", [](CallArgs&) -> Value { return {}; });
    m.define(m.global(), "NetConnection", Value(static_cast<Object*>(ctor)),
             attr::DontEnum | attr::Only6);
}

} // namespace avm1
