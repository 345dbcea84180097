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

// flash.utils.escapeMultiByte: as escape, but a character beyond ASCII becomes the %XX of
// each of its UTF-8 bytes.
Value escapeMultiByteFn(Machine& m, const Value&, Args& a) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::string utf8 = unicode::fromUtf16(textArg(m, a));
    std::string out;
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') ||
                          std::string_view("@*_+-./").find(ch) != std::string_view::npos;
        if (kept) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return Value::string(out);
}

// flash.utils.unescapeMultiByte: every %XX is a byte, and the bytes are read as UTF-8.
Value unescapeMultiByteFn(Machine& m, const Value&, Args& a) {
    const std::string text = unicode::fromUtf16(textArg(m, a));
    const auto hex = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                      : -1;
    };
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 &&
            hex(text[i + 2]) >= 0) {
            bytes += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return Value::string(unicode::decodeText(bytes));
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
    for (const auto& [name, fn] :
         {std::pair<const char*, NativeFn>{"escapeMultiByte", escapeMultiByteFn},
          std::pair<const char*, NativeFn>{"unescapeMultiByte", unescapeMultiByteFn}}) {
        m.defineGlobal("flash.utils", name, Value::object(m.newNative(fn, name)));
    }
}

} // namespace avm2
