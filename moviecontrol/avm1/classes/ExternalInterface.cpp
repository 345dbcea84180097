// flash.external.ExternalInterface, which a player without a hosting page answers as
// unavailable.

#include "avm1/ExternalEncoding.h"
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
    // The class came with version 8: older movies find its members present (for..in,
    // hasOwnProperty) but cannot read them.
    constexpr std::uint32_t Members = attr::DontEnum | attr::Only8;
    m.define(ei, "available", Value(false), attr::Hidden | attr::ReadOnly | attr::Only8);
    m.defineMethod(
        ei, "addCallback", [](CallArgs&) -> Value { return Value(false); }, Members);
    m.defineMethod(
        ei, "call", [](CallArgs&) -> Value { return Value::null(); }, Members);
    m.defineMethod(
        ei, "_jsQuoteString",
        [](CallArgs& c) -> Value {
            if (c.count() == 0) {
                return Value::null();
            }
            Str text = c.machine.toString(c.arg(0));
            if (text.empty()) {
                return Value::null();
            }
            return Value(Str(jsQuote(text.view())));
        },
        Members);
    // The class library's helpers, which scripts may call themselves.
    using TextOf = std::string (*)(Machine&, const Value&);
    const std::pair<std::string_view, TextOf> encoders[] = {
        {"_toXML", valueToXml},      {"_objectToXML", objectToXml},
        {"_arrayToXML", arrayToXml}, {"_argumentsToXML", argumentsToXml},
        {"_toJS", valueToJs},        {"_arrayToJS", arrayToJs},
        {"_objectToJS", objectToJs},
    };
    for (const auto& entry : encoders) {
        TextOf encode = entry.second;
        m.defineMethod(
            ei, entry.first,
            [encode](CallArgs& c) -> Value { return Value(Str(encode(c.machine, c.arg(0)))); },
            Members);
    }
    using ValueOf = Value (*)(Machine&, const Value&);
    const std::pair<std::string_view, ValueOf> decoders[] = {
        {"_toAS", xmlToValue},
        {"_objectToAS", xmlToObject},
        {"_arrayToAS", xmlToArray},
        {"_argumentsToAS", xmlToArguments},
    };
    for (const auto& entry : decoders) {
        ValueOf decode = entry.second;
        m.defineMethod(
            ei, entry.first, [decode](CallArgs& c) -> Value { return decode(c.machine, c.arg(0)); },
            Members);
    }
    m.defineMethod(
        ei, "_escapeXML",
        [](CallArgs& c) -> Value {
            return Value(Str(escapeXml(c.machine.toString(c.arg(0)).view())));
        },
        Members);
    m.defineMethod(
        ei, "_unescapeXML",
        [](CallArgs& c) -> Value {
            return Value(Str(unescapeXml(c.machine.toString(c.arg(0)).view())));
        },
        Members);
    // Without a hosting page nothing calls in or out.
    for (std::string_view name : {"_callIn", "_callOut", "_evalJS", "_initJS", "_objectID"}) {
        m.defineMethod(
            ei, name, [](CallArgs&) -> Value { return {}; }, Members);
    }
    definePackaged(m, "flash.external", "ExternalInterface", ei);
}

} // namespace avm1
