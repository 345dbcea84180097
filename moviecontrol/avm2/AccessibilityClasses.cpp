// flash.accessibility: AccessibilityProperties, what a display object tells a screen reader,
// and AccessibilityImplementation, the base a component extends to describe itself. This
// player offers no screen reader; the classes keep their values so components load and run.
#include "avm2/Machine.h"
#include "avm2/PublicSlots.h"

namespace avm2 {

namespace {

Value nullValue(Machine&, const Value&, Args&) {
    return Value::null();
}

Value nothing(Machine&, const Value&, Args&) {
    return Value();
}

void installProperties(Machine& m) {
    Class* props = m.defineClass("flash.accessibility", "AccessibilityProperties", m.objectClass);
    props->sealed = true;
    for (const char* name : {"name", "description", "shortcut"}) {
        addPublicSlot(props, name, m.stringClass, Value::string(""));
    }
    for (const char* name : {"silent", "forceSimple", "noAutoLabeling"}) {
        addPublicSlot(props, name, m.booleanClass, Value::boolean(false));
    }
}

// The base answers "nothing to say" to every question but the two a component must answer,
// role and state: those are errors until a subclass overrides them.
void installImplementation(Machine& m) {
    Class* impl =
        m.defineClass("flash.accessibility", "AccessibilityImplementation", m.objectClass);
    addPublicSlot(impl, "errno", m.uintClass, Value::unsignedInt(0));
    addPublicSlot(impl, "stub", m.booleanClass, Value::boolean(false));
    m.defineMethod(impl, "accDoDefaultAction", nothing);
    m.defineMethod(impl, "accSelect", nothing);
    m.defineMethod(impl, "accLocation", nullValue);
    m.defineMethod(impl, "get_accDefaultAction", nullValue);
    m.defineMethod(impl, "get_accName", nullValue);
    m.defineMethod(impl, "get_accSelection", nullValue);
    m.defineMethod(impl, "get_accValue", nullValue);
    m.defineMethod(impl, "getChildIDArray", nullValue);
    m.defineMethod(impl, "get_accFocus",
                   [](Machine&, const Value&, Args&) { return Value::unsignedInt(0); });
    m.defineMethod(impl, "isLabeledBy",
                   [](Machine&, const Value&, Args&) { return Value::boolean(false); });
    m.defineMethod(impl, "get_accRole", [](Machine& mm, const Value&, Args&) -> Value {
        mm.throwErrorIn("flash.accessibility::AccessibilityImplementation/get_accRole", "Error",
                        2143,
                        "AccessibilityImplementation.get_accRole() must be overridden from its "
                        "default.");
    });
    m.defineMethod(impl, "get_accState", [](Machine& mm, const Value&, Args&) -> Value {
        mm.throwErrorIn("flash.accessibility::AccessibilityImplementation/get_accState", "Error",
                        2144,
                        "AccessibilityImplementation.get_accState() must be overridden from its "
                        "default.");
    });
}

} // namespace

void installAccessibility(Machine& m) {
    installProperties(m);
    installImplementation(m);
}

} // namespace avm2
