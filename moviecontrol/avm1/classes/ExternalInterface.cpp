// flash.external.ExternalInterface, which a player without a hosting page answers as
// unavailable.

#include "avm1/Packages.h"
#include "avm1/State.h"

namespace avm1 {

namespace {

// Text quoted for a JavaScript string literal: double quotes get a backslash.
std::string jsQuote(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '"') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

} // namespace

void installExternalInterface(Machine& m) {
    FunctionObject* ei = m.newClass([](CallArgs&) -> Value { return {}; });
    m.define(ei, "available", Value(false), attr::Hidden | attr::ReadOnly);
    m.defineMethod(ei, "addCallback", [](CallArgs&) -> Value { return Value(false); });
    m.defineMethod(ei, "call", [](CallArgs&) -> Value { return Value::null(); });
    m.defineMethod(ei, "_jsQuoteString", [](CallArgs& c) -> Value {
        if (c.count() == 0) {
            return Value::null();
        }
        Str text = c.machine.toString(c.arg(0));
        if (text.empty()) {
            return Value::null();
        }
        return Value(Str(jsQuote(text.view())));
    });
    definePackaged(m, "flash.external", "ExternalInterface", ei);
}

} // namespace avm1
