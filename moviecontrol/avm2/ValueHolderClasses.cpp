// Player classes that only hold what they are made with: SoundLoaderContext (how a sound
// loads), ID3Info (a sound's tags, dynamic as the reference declares it) and Responder (the
// functions a remote call answers to); and the IDataInput and IDataOutput interfaces the byte
// streams implement, so that a type test on them answers as the player's does.
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/PublicSlots.h"

#include <string_view>

namespace avm2 {

namespace {

constexpr char kResult[] = "responder.result";
constexpr char kStatus[] = "responder.status";

Value soundLoaderContextInit(Machine& m, const Value& self, Args& a) {
    if (!a.empty()) {
        m.setProperty(self, Name::publicName("bufferTime"), a[0]);
    }
    if (a.size() > 1) {
        m.setProperty(self, Name::publicName("checkPolicyFile"), a[1]);
    }
    return Value();
}

// Responder(result:Function, status:Function = null): both converted as typed parameters.
Value responderInit(Machine& m, const Value& self, Args& a) {
    const Value result = m.coerce(arg(a, 0), m.functionClass);
    const Value status = m.coerce(a.size() > 1 ? a[1] : Value::null(), m.functionClass);
    setHiddenField(self, kResult, result);
    setHiddenField(self, kStatus, status);
    return Value();
}

Class* interfaceClass(Machine& m, const char* name) {
    Class* iface = m.defineClass("flash.utils", name, m.objectClass);
    iface->isInterface = true;
    return iface;
}

} // namespace

void installValueHolders(Machine& m) {
    Class* context =
        m.defineClass("flash.media", "SoundLoaderContext", m.objectClass, soundLoaderContextInit);
    context->sealed = true;
    context->init.nativeParams = 2; // both have defaults
    addPublicSlot(context, "bufferTime", m.numberClass, Value::number(1000));
    addPublicSlot(context, "checkPolicyFile", m.booleanClass, Value::boolean(false));

    Class* id3 = m.defineClass("flash.media", "ID3Info", m.objectClass);
    id3->isFinal = true;
    for (const char* tag : {"album", "artist", "comment", "genre", "songName", "track", "year"}) {
        addPublicSlot(id3, tag, m.stringClass, Value::null());
    }

    Class* responder = m.defineClass("flash.net", "Responder", m.objectClass, responderInit);
    responder->sealed = true;
    responder->init.nativeRequired = 1;
    responder->init.nativeParams = 2;

    Class* input = interfaceClass(m, "IDataInput");
    Class* output = interfaceClass(m, "IDataOutput");
    for (const char* stream :
         {"flash.utils::ByteArray", "flash.net::Socket", "flash.net::URLStream"}) {
        if (Class* c = m.findClass(stream)) {
            c->interfaces.push_back(input);
            if (std::string_view(stream) != "flash.net::URLStream") {
                c->interfaces.push_back(output);
            }
        }
    }
}

} // namespace avm2
