// flash.net connections: Socket, NetConnection and LocalConnection. A card reaches no
// network and no other player: sockets never connect, a NetConnection only opens its local
// (null) connection or a remoting address that is never called, and what LocalConnection
// sends reaches no one, which its sender hears as an error status.
#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/PublicSlots.h"

#include <initializer_list>
#include <utility>

namespace avm2 {

namespace {

// --- Socket --------------------------------------------------------------------------------

// Every transfer needs a connection, and a socket here never has one.
Value invalidSocket(Machine& m, const Value&, Args&) {
    m.throwError("flash.errors::IOError", 2002, "Operation attempted on invalid socket.");
}

void installSocket(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* socket = m.defineClass("flash.net", "Socket", dispatcher);
    socket->sealed = true;
    for (const char* name : {"flush",           "close",
                             "readBoolean",     "readByte",
                             "readBytes",       "readDouble",
                             "readFloat",       "readInt",
                             "readMultiByte",   "readObject",
                             "readShort",       "readUnsignedByte",
                             "readUnsignedInt", "readUnsignedShort",
                             "readUTF",         "readUTFBytes",
                             "writeBoolean",    "writeByte",
                             "writeBytes",      "writeDouble",
                             "writeFloat",      "writeInt",
                             "writeMultiByte",  "writeObject",
                             "writeShort",      "writeUnsignedInt",
                             "writeUTF",        "writeUTFBytes"}) {
        m.defineMethod(socket, name, invalidSocket);
    }
    m.defineMethod(socket, "connect", [](Machine&, const Value&, Args&) { return Value(); });
    m.defineGetter(socket, "connected",
                   [](Machine&, const Value&, Args&) { return Value::boolean(false); });
    for (const char* name : {"bytesAvailable", "bytesPending"}) {
        m.defineGetter(socket, name,
                       [](Machine&, const Value&, Args&) { return Value::unsignedInt(0); });
    }
    addPublicSlot(socket, "endian", m.stringClass, Value::string("bigEndian"));
    addPublicSlot(socket, "objectEncoding", m.uintClass, Value::unsignedInt(3));
    addPublicSlot(socket, "timeout", m.uintClass, Value::unsignedInt(20000));
}

// --- NetConnection -------------------------------------------------------------------------

constexpr char kConnected[] = "connected";
constexpr char kRemoting[] = "remoting";

// Sends a netStatus event whose info holds `fields` (name, value), now.
void sendStatus(Machine& m, Object* target,
                std::initializer_list<std::pair<const char*, const char*>> fields) {
    Object* info = m.newObject();
    for (const auto& [name, value] : fields) {
        info->setProp(name, Value::string(value));
    }
    Object* event = newEvent(m, "netStatus", false, false, "flash.events::NetStatusEvent");
    m.setProperty(Value::object(event), Name::publicName("info"), Value::object(info));
    dispatchEvent(m, target, event);
}

void sendClosed(Machine& m, Object* o) {
    sendStatus(m, o, {{"code", "NetConnection.Connect.Closed"}, {"level", "status"}});
}

// null opens the local connection streams play through; an http address is a remoting
// gateway, which only a call would reach. Opening one closes what was open.
Value netConnect(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    if (Machine::toBoolean(hiddenField(o, kConnected))) {
        setHiddenField(o, kConnected, Value::boolean(false));
        sendClosed(m, o);
    }
    if (arg(a, 0).isNullish()) {
        setHiddenField(o, kConnected, Value::boolean(true));
        sendStatus(m, o, {{"code", "NetConnection.Connect.Success"}, {"level", "status"}});
    } else {
        setHiddenField(o, kRemoting, Value::boolean(true));
    }
    return Value();
}

// Closing a remoting connection also ends the call it had pending, reported with an empty
// status.
Value netClose(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    const bool wasConnected = Machine::toBoolean(hiddenField(o, kConnected));
    const bool wasRemoting = Machine::toBoolean(hiddenField(o, kRemoting));
    setHiddenField(o, kConnected, Value::boolean(false));
    setHiddenField(o, kRemoting, Value::boolean(false));
    if (wasConnected || wasRemoting) {
        sendClosed(m, o);
    }
    if (wasRemoting) {
        sendStatus(m, o, {{"code", ""}, {"description", ""}, {"details", ""}, {"level", "status"}});
    }
    return Value();
}

void installNetConnection(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* connection = m.defineClass("flash.net", "NetConnection", dispatcher);
    connection->sealed = true;
    m.defineMethod(connection, "connect", netConnect);
    m.defineMethod(connection, "close", netClose);
    m.defineMethod(connection, "call", [](Machine&, const Value&, Args&) { return Value(); });
    m.defineGetter(connection, "connected", [](Machine& mm, const Value& s, Args&) {
        return Value::boolean(Machine::toBoolean(hiddenField(receiverObject(mm, s), kConnected)));
    });
    addPublicSlot(connection, "client", nullptr, Value::null());
    addPublicSlot(connection, "objectEncoding", m.uintClass, Value::unsignedInt(3));
}

// --- LocalConnection -----------------------------------------------------------------------

void requireNonNull(Machine& m, const Value& v, const char* name) {
    if (v.isNullish()) {
        m.throwError("TypeError", 2007, std::string("Parameter ") + name + " must be non-null.");
    }
}

// No other movie listens: once the sender's script is done it hears that the send failed.
Value localSend(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    requireNonNull(m, arg(a, 0), "connectionName");
    requireNonNull(m, arg(a, 1), "methodName");
    Object* event = newEvent(m, "status", false, false, "flash.events::StatusEvent");
    m.setProperty(Value::object(event), Name::publicName("code"), Value::null());
    m.setProperty(Value::object(event), Name::publicName("level"), Value::string("error"));
    queueEvent(m, o, event);
    return Value();
}

void installLocalConnection(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* local = m.defineClass("flash.net", "LocalConnection", dispatcher);
    local->sealed = true;
    m.defineMethod(local, "send", localSend);
    m.defineMethod(local, "connect", [](Machine& mm, const Value&, Args& a) {
        requireNonNull(mm, arg(a, 0), "connectionName");
        return Value();
    });
    for (const char* name : {"close", "allowDomain", "allowInsecureDomain"}) {
        m.defineMethod(local, name, [](Machine&, const Value&, Args&) { return Value(); });
    }
    m.defineGetter(local, "domain",
                   [](Machine&, const Value&, Args&) { return Value::string("localhost"); });
    m.defineGetter(
        local, "isSupported", [](Machine&, const Value&, Args&) { return Value::boolean(true); },
        true);
    addPublicSlot(local, "client", nullptr, Value::null());
}

} // namespace

void installConnections(Machine& m) {
    installSocket(m);
    installNetConnection(m);
    installLocalConnection(m);
}

} // namespace avm2
