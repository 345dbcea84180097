// flash.net.FileReference and FileReferenceList. The player has no file dialogs and no
// network: a browse or download that would open a dialog is answered, once the running
// script has finished, as if the user cancelled it.

#include "avm1/Packages.h"
#include "avm1/State.h"

#include <cctype>

namespace avm1 {

namespace {

// An own property read where a throwing getter counts as a missing value.
Value ownOrNothing(Machine& m, Object* o, std::string_view name) {
    Str key = m.str(name);
    if (!m.hasOwnProperty(o, key)) {
        return {};
    }
    try {
        return m.get(o, key);
    } catch (const ScriptThrow&) {
        return {};
    }
}

// File type filters as browse takes them: an array of objects, each with a description
// and an extension that are not empty. Errors thrown while reading them as text go on to
// the script.
bool validFilters(CallArgs& c) {
    if (c.count() == 0) {
        return true;
    }
    Machine& m = c.machine;
    Object* list = c.arg(0).asObject();
    if (!list || list->className() != "Array") {
        return false;
    }
    double length = m.toNumber(m.get(list, "length"));
    if (!(length >= 1) || length > 1e6) {
        return false;
    }
    for (double i = 0; i < length; ++i) {
        m.state().pace();
        Object* filter = m.get(list, indexName(m, i)).asObject();
        if (!filter) {
            return false;
        }
        for (const char* field : {"description", "extension"}) {
            Value v = ownOrNothing(m, filter, field);
            if (v.isUndefined() || m.toString(v).empty()) {
                return false;
            }
        }
        Value mac = ownOrNothing(m, filter, "macType");
        if (!mac.isUndefined()) {
            m.toString(mac);
        }
    }
    return true;
}

bool networkAddress(std::string_view url) {
    std::string lower;
    for (char ch : url.substr(0, 8)) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    return lower.starts_with("http://") || lower.starts_with("https://");
}

// Tells the listeners that the user cancelled, after the running script.
void cancelLater(Machine& m, Object* self) {
    callAfterScripts(m, self, "broadcastMessage", {Value(m.str("onCancel")), Value(self)});
}

FunctionObject* fileClass(Machine& m, std::string_view name) {
    FunctionObject* ctor = m.newClass([](CallArgs& c) -> Value {
        Machine& m = c.machine;
        if (Object* self = c.thisObject()) {
            Value target(self);
            Value ab = m.get(m.global(), "AsBroadcaster");
            if (Object* broadcaster = ab.asObject()) {
                m.callMethod(broadcaster, "initialize", std::span<const Value>(&target, 1));
            }
        }
        return {};
    });
    Object* proto = constructorPrototype(m, ctor);
    m.defineMethod(proto, "browse", [](CallArgs& c) -> Value {
        Object* self = c.thisObject();
        if (!self || !validFilters(c)) {
            return Value(false);
        }
        cancelLater(c.machine, self);
        return Value(true);
    });
    definePackaged(m, "flash.net", name, ctor);
    return ctor;
}

} // namespace

void installFileReference(Machine& m) {
    FunctionObject* file = fileClass(m, "FileReference");
    Object* proto = constructorPrototype(m, file);
    m.defineMethod(proto, "download", [](CallArgs& c) -> Value {
        Object* self = c.thisObject();
        if (!self || !c.arg(0).isString() || !networkAddress(c.arg(0).asString().view())) {
            return Value(false);
        }
        cancelLater(c.machine, self);
        return Value(true);
    });
    // Nothing was ever chosen, so there is nothing to send.
    m.defineMethod(proto, "upload", [](CallArgs&) -> Value { return Value(false); });
    m.defineMethod(proto, "cancel", [](CallArgs&) -> Value { return {}; });
    fileClass(m, "FileReferenceList");
}

} // namespace avm1
