// The global text-coding functions: escape and unescape (%XX for a code unit below 256,
// %uXXXX above), and encodeURI, encodeURIComponent, decodeURI, decodeURIComponent (UTF-8
// bytes as %XX). Their argument is a String: none given reads "undefined", undefined and
// null read "null".
#include "avm2/Machine.h"
#include "avm2/UriCoding.h"
#include "unicode/Utf16Text.h"

namespace avm2 {

namespace {

std::u16string textArg(Machine& m, const Args& a) {
    if (a.empty()) {
        return u"undefined";
    }
    return a[0].isNullish() ? u"null" : unicode::toUtf16(m.toString(a[0]));
}

Value escapeFn(Machine& m, const Value&, Args& a) {
    return Value::string(escapeText(textArg(m, a)));
}

Value unescapeFn(Machine& m, const Value&, Args& a) {
    return Value::string(unicode::fromUtf16(unescapeText(textArg(m, a))));
}

template <UriSet Keep> Value encodeFn(Machine& m, const Value&, Args& a) {
    std::string out;
    if (!encodeUri(textArg(m, a), Keep, out)) {
        m.throwError(
            "URIError", 1052,
            "Invalid URI passed to " +
                std::string(Keep == UriSet::Component ? "encodeURIComponent" : "encodeURI") +
                " function.");
    }
    return Value::string(out);
}

template <UriSet Keep> Value decodeFn(Machine& m, const Value&, Args& a) {
    std::u16string out;
    if (!decodeUri(textArg(m, a), Keep, out)) {
        m.throwError(
            "URIError", 1052,
            "Invalid URI passed to " +
                std::string(Keep == UriSet::Component ? "decodeURIComponent" : "decodeURI") +
                " function.");
    }
    return Value::string(unicode::fromUtf16(out));
}

} // namespace

void installUriFunctions(Machine& m) {
    const std::pair<const char*, NativeFn> functions[] = {
        {"escape", escapeFn},
        {"unescape", unescapeFn},
        {"encodeURI", encodeFn<UriSet::Whole>},
        {"encodeURIComponent", encodeFn<UriSet::Component>},
        {"decodeURI", decodeFn<UriSet::Whole>},
        {"decodeURIComponent", decodeFn<UriSet::Component>},
    };
    for (const auto& [name, fn] : functions) {
        m.defineGlobal("", name, Value::object(m.newNative(fn, name)));
    }
}

} // namespace avm2
