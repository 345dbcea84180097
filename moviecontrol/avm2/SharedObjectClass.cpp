// flash.net.SharedObject: data a movie keeps under a name. getLocal gives the same object
// for the same name and path as long as the movie plays; what it holds lives in memory only
// (a card is a stranger's program and never writes to the person's disk), so flush always
// succeeds and a new playing starts without it.
#include "avm2/Amf.h"
#include "avm2/ByteArrayData.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"

#include <string_view>

namespace avm2 {

namespace {

// As many names as a movie may keep; past it getLocal fails as it does for a bad name.
constexpr std::size_t kMaxObjects = 1024;
constexpr std::size_t kMaxNameLength = 1024;

// The characters Flash refuses in a name.
bool validName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxNameLength &&
           name.find_first_of("~%&\\;:\"',<>?# ") == std::string_view::npos;
}

[[noreturn]] void cannotCreate(Machine& m) {
    m.throwError("Error", 2134, "Cannot create SharedObject.");
}

Value dataOf(Machine& m, const Value& so) {
    Object* o = receiverObject(m, so);
    Value data = hiddenField(o, "data");
    if (!data.isObject()) {
        data = Value::object(m.newObject());
        setHiddenField(o, "data", data);
    }
    return data;
}

// The bytes the data takes as AMF, as Flash counts them: nothing kept is 0 bytes.
Value sizeOf(Machine& m, const Value& so) {
    const Value data = dataOf(m, so);
    const Object* d = data.asObject();
    bool any = false;
    for (std::size_t i = 0; i < d->props.size() && !any; ++i) {
        any = i >= d->dontEnum.size() || !d->dontEnum[i];
    }
    if (!any) {
        return Value::unsignedInt(0);
    }
    const Value stream = Value::object(newByteArray(m));
    amfWriteObject(m, stream, data);
    const ByteArrayData* bytes = byteArrayData(stream);
    return Value::unsignedInt(bytes == nullptr ? 0U
                                               : static_cast<std::uint32_t>(bytes->data.size()));
}

Value getLocal(Machine& m, const Value&, Args& a) {
    Class* cls = m.findClass("flash.net::SharedObject");
    const Value name = arg(a, 0);
    if (name.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter name must be non-null.");
    }
    if (!name.isString() || !validName(name.asString())) {
        cannotCreate(m);
    }
    const std::string path = arg(a, 1).isNullish() ? std::string() : m.toString(a[1]);
    // The registry of the names got so far, on the class object beside its statics.
    Value registry = hiddenField(cls->classObject, "sharedobject.registry");
    if (!registry.isObject()) {
        registry = Value::object(m.newObject());
        setHiddenField(cls->classObject, "sharedobject.registry", registry);
    }
    Object* known = registry.asObject();
    const std::string key = path + '\n' + name.asString();
    if (const Value* found = known->findProp(key)) {
        return *found;
    }
    if (known->props.size() >= kMaxObjects) {
        cannotCreate(m);
    }
    Object* so = m.instantiate(cls);
    setHiddenField(so, "data", Value::object(m.newObject()));
    known->setProp(key, Value::object(so));
    return Value::object(so);
}

void constant(Class* cls, const char* name, Value v) {
    cls->classObject->setProp(name, std::move(v));
    cls->classObject->dontEnum.back() = true;
}

} // namespace

void installSharedObject(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* so = m.defineClass("flash.net", "SharedObject", dispatcher);
    so->sealed = true;
    m.defineMethod(so, "getLocal", getLocal, true);
    m.defineMethod(
        so, "getRemote", [](Machine& mm, const Value&, Args&) -> Value { cannotCreate(mm); }, true);
    constant(so, "defaultObjectEncoding", Value::unsignedInt(3));
    m.defineGetter(so, "data", [](Machine& mm, const Value& s, Args&) { return dataOf(mm, s); });
    m.defineGetter(so, "objectEncoding",
                   [](Machine&, const Value&, Args&) { return Value::unsignedInt(3); });
    m.defineGetter(so, "size", [](Machine& mm, const Value& s, Args&) { return sizeOf(mm, s); });
    // The object callbacks of a remote shared object go to: itself until a movie says otherwise.
    m.defineGetter(so, "client", [](Machine& mm, const Value& s, Args&) {
        Object* o = receiverObject(mm, s);
        const Value client = hiddenField(o, "client");
        return client.isObject() ? client : Value::object(o);
    });
    m.defineSetter(so, "client", [](Machine& mm, const Value& s, Args& a) {
        if (arg(a, 0).isNullish()) {
            mm.throwError("TypeError", 2004, "One of the parameters is invalid.");
        }
        setHiddenField(receiverObject(mm, s), "client", arg(a, 0));
        return Value();
    });
    m.defineMethod(so, "flush", [](Machine& mm, const Value& s, Args&) {
        receiverObject(mm, s);
        return Value::string("flushed");
    });
    m.defineMethod(so, "clear", [](Machine& mm, const Value& s, Args&) {
        setHiddenField(receiverObject(mm, s), "data", Value::object(mm.newObject()));
        return Value();
    });
    m.defineMethod(so, "setProperty", [](Machine& mm, const Value& s, Args& a) {
        mm.setProperty(dataOf(mm, s), Name::publicName(mm.toString(arg(a, 0))), arg(a, 1));
        return Value();
    });
    // Nothing is written anywhere: closing and marking changed have nothing to do.
    m.defineMethod(so, "close", [](Machine& mm, const Value& s, Args&) {
        receiverObject(mm, s);
        return Value();
    });
    m.defineMethod(so, "setDirty", [](Machine& mm, const Value& s, Args&) {
        receiverObject(mm, s);
        return Value();
    });
}

} // namespace avm2
