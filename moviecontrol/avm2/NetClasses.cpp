// flash.net values: URLRequest (an address with its method, data and headers),
// URLRequestMethod, URLRequestHeader and URLVariables (name/value pairs in a query string).
// Loading and opening pages, which use them, go through the player.
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/PublicSlots.h"
#include "avm2/UriCoding.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <string_view>

namespace avm2 {

namespace {

// --- URLRequest ----------------------------------------------------------------------------

Value requestInit(Machine& m, const Value& s, Args& a) {
    if (!a.empty()) {
        m.setProperty(s, Name::publicName("url"), a[0]);
    }
    return Value();
}

// Only GET and POST, in capitals or in small letters, are accepted.
Value setMethod(Machine& m, const Value& s, Args& a) {
    const std::string method = m.toString(arg(a, 0));
    if (method != "GET" && method != "get" && method != "POST" && method != "post") {
        m.throwError("ArgumentError", 2008, "Parameter method must be one of the accepted values.");
    }
    setHiddenField(receiverObject(m, s), "method", Value::string(method));
    return Value();
}

Value getMethod(Machine& m, const Value& s, Args&) {
    return hiddenField(receiverObject(m, s), "method", Value::string("GET"));
}

// The headers are kept as a copy of the Array given; null is kept as null.
Value setHeaders(Machine& m, const Value& s, Args& a) {
    const Value given = m.coerce(arg(a, 0), m.arrayClass);
    setHiddenField(receiverObject(m, s), "requestHeaders",
                   given.isObject() ? Value::object(m.newArray(given.asObject()->elements))
                                    : Value::null());
    return Value();
}

Value getHeaders(Machine& m, const Value& s, Args&) {
    Object* request = receiverObject(m, s);
    Value headers = hiddenField(request, "requestHeaders");
    if (headers.isUndefined()) {
        headers = Value::object(m.newArray());
        setHiddenField(request, "requestHeaders", headers);
    }
    return headers;
}

void installRequest(Machine& m) {
    Class* request = m.defineClass("flash.net", "URLRequest", m.objectClass, requestInit);
    request->sealed = true;
    request->isFinal = true;
    addPublicSlot(request, "url", m.stringClass, Value::null());
    // Typed Object, as Flash declares it: an undefined given becomes null.
    addPublicSlot(request, "data", m.objectClass, Value::null());
    addPublicSlot(request, "contentType", m.stringClass,
                  Value::string("application/x-www-form-urlencoded"));
    addPublicSlot(request, "digest", m.stringClass, Value::null());
    m.defineGetter(request, "method", getMethod);
    m.defineSetter(request, "method", setMethod);
    m.defineGetter(request, "requestHeaders", getHeaders);
    m.defineSetter(request, "requestHeaders", setHeaders);

    Class* method = m.defineClass("flash.net", "URLRequestMethod", m.objectClass);
    for (const char* name : {"GET", "POST", "PUT", "DELETE", "HEAD", "OPTIONS"}) {
        method->classObject->setProp(name, Value::string(name));
        method->classObject->dontEnum.back() = true;
    }

    Class* header = m.defineClass(
        "flash.net", "URLRequestHeader", m.objectClass, [](Machine& mm, const Value& s, Args& a) {
            mm.setProperty(s, Name::publicName("name"), a.empty() ? Value::string("") : a[0]);
            mm.setProperty(s, Name::publicName("value"), a.size() < 2 ? Value::string("") : a[1]);
            return Value();
        });
    header->sealed = true;
    addPublicSlot(header, "name", m.stringClass, Value::null());
    addPublicSlot(header, "value", m.stringClass, Value::null());
}

// --- URLVariables --------------------------------------------------------------------------

// Escapes are UTF-8 bytes, as Flash writes them when the movie does not use the system's
// code page; a sequence that is not UTF-8 is read one unit per escape instead.
std::string unescaped(std::string_view s) {
    // A form's "+" stands for a space.
    std::string spaced(s);
    std::replace(spaced.begin(), spaced.end(), '+', ' ');
    const std::u16string units = unicode::toUtf16(spaced);
    std::u16string out;
    if (decodeUri(units, UriSet::Component, out)) {
        return unicode::fromUtf16(out);
    }
    return unicode::fromUtf16(unescapeText(units));
}

// Letters, digits and @*_+-./ stay; every other byte of the UTF-8 text becomes %XX.
std::string escaped(std::string_view s) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') ||
            std::string_view("@*_+-./").find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

// "a=1&b=2&a=3": each pair becomes a property; a name given again collects its values in
// an array, in order.
void decodeInto(Machine& m, Object* target, const std::string& source) {
    std::size_t start = 0;
    while (start <= source.size()) {
        std::size_t end = source.find('&', start);
        if (end == std::string::npos) {
            end = source.size();
        }
        const std::string_view pair(source.data() + start, end - start);
        const std::size_t eq = pair.find('=');
        if (eq == std::string_view::npos) {
            m.throwError("Error", 2101,
                         "The String passed to URLVariables.decode() must be a URL-encoded "
                         "query string containing name/value pairs.");
        }
        const std::string name = unescaped(pair.substr(0, eq));
        const Value value = Value::string(unescaped(pair.substr(eq + 1)));
        if (const Value* old = target->findProp(name)) {
            if (old->isObject() && old->asObject()->kind == Object::Kind::Array) {
                m.resizeElements(old->asObject(), old->asObject()->elements.size() + 1, value);
            } else {
                target->setProp(name, Value::object(m.newArray({*old, value})));
            }
        } else {
            target->setProp(name, value);
        }
        start = end + 1;
        m.checkBudget();
    }
}

Value variablesInit(Machine& m, const Value& s, Args& a) {
    // Any string given is decoded, the empty one too (which refuses it).
    if (!a.empty() && !a[0].isNullish()) {
        decodeInto(m, receiverObject(m, s), m.toString(a[0]));
    }
    return Value();
}

// Pairs in the order the properties were made; an array gives one pair per element.
Value variablesToString(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    std::string out;
    auto add = [&](const std::string& name, const Value& v) {
        if (!out.empty()) {
            out += '&';
        }
        out += escaped(name) + "=" + escaped(m.toString(v));
    };
    for (std::size_t i = 0; i < o->props.size(); ++i) {
        if (i < o->dontEnum.size() && o->dontEnum[i]) {
            continue;
        }
        const auto& [name, v] = o->props[i];
        if (v.isObject() && v.asObject()->kind == Object::Kind::Array) {
            for (const Value& e : v.asObject()->elements) {
                add(name, e);
            }
        } else {
            add(name, v);
        }
    }
    return Value::string(out);
}

void installVariables(Machine& m) {
    Class* vars = m.defineClass("flash.net", "URLVariables", m.objectClass, variablesInit);
    vars->sealed = false;
    vars->isFinal = true;
    m.defineMethod(vars, "decode", [](Machine& mm, const Value& s, Args& a) {
        // The source is split as a String: a null one has no split to call.
        if (arg(a, 0).isNullish()) {
            mm.throwError("TypeError", 1009,
                          "Cannot access a property or method of a null object reference.");
        }
        decodeInto(mm, receiverObject(mm, s), mm.toString(arg(a, 0)));
        return Value();
    });
    m.defineMethod(vars, "toString", variablesToString);
}

// --- FileFilter ----------------------------------------------------------------------------

// What a file dialog offers: a description, the patterns ("*.jpg;*.png") and the Mac types.
void installFileFilter(Machine& m) {
    Class* filter = m.defineClass("flash.net", "FileFilter", m.objectClass,
                                  [](Machine& mm, const Value& s, Args& a) {
                                      mm.setProperty(s, Name::publicName("description"), arg(a, 0));
                                      mm.setProperty(s, Name::publicName("extension"), arg(a, 1));
                                      if (a.size() > 2) {
                                          mm.setProperty(s, Name::publicName("macType"), a[2]);
                                      }
                                      return Value();
                                  });
    filter->sealed = true;
    filter->isFinal = true;
    addPublicSlot(filter, "description", m.stringClass, Value::null());
    addPublicSlot(filter, "extension", m.stringClass, Value::null());
    addPublicSlot(filter, "macType", m.stringClass, Value::null());
}

// --- navigateToURL and sendToURL ------------------------------------------------------------

// A card opens no pages and sends nothing; the request is still checked as Flash checks it,
// so that a movie's error handling runs as it would.
Value checkedRequestFn(Machine& m, const Value&, Args& a) {
    const Value request = arg(a, 0);
    if (request.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter request must be non-null.");
    }
    Class* cls = m.findClass("flash.net::URLRequest");
    if (!request.isObject() || !m.isType(request, cls)) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.toString(request) +
                         " to flash.net.URLRequest.");
    }
    if (m.getProperty(request, Name::publicName("url")).isNullish()) {
        m.throwError("TypeError", 2007, "Parameter url must be non-null.");
    }
    return Value();
}

void installPageFunctions(Machine& m) {
    m.defineGlobal("flash.net", "navigateToURL",
                   Value::object(m.newNative(checkedRequestFn, "navigateToURL")));
    m.defineGlobal("flash.net", "sendToURL",
                   Value::object(m.newNative(checkedRequestFn, "sendToURL")));
}

} // namespace

void installNetClasses(Machine& m) {
    installPageFunctions(m);
    installRequest(m);
    installVariables(m);
    installFileFilter(m);
}

} // namespace avm2
