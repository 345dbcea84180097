#include "avm1/ExternalEncoding.h"

#include "avm1/Convert.h"
#include "avm1/State.h"

#include <array>
#include <cmath>
#include <utility>

namespace avm1 {

namespace {

// Objects nest deeper than this only by holding themselves: past it a value encodes as
// null, so that a cycle ends.
constexpr int MaxDepth = 64;

constexpr std::array<std::pair<char, std::string_view>, 5> Entities = {{
    {'&', "&amp;"},
    {'<', "&lt;"},
    {'>', "&gt;"},
    {'\'', "&apos;"},
    {'"', "&quot;"},
}};

// Text grows by pieces: each counts against the script budget before it is kept.
void append(Machine& m, std::string& out, std::string_view more) {
    m.state().pace();
    m.state().reserve(out.size() + more.size());
    out += more;
}

double lengthOf(Machine& m, const Value& v) {
    double n = m.toNumber(m.getMember(v, m.state().sLength));
    return std::isnan(n) || n < 0 ? 0 : std::trunc(n);
}

Value element(Machine& m, const Value& list, double i) {
    return m.getMember(list, indexName(m, i));
}

std::string toXml(Machine& m, const Value& v, int depth);

// The player's class library asks `value == null` before it looks at an object's kind:
// an object whose primitive value is undefined or null (one without valueOf, such as an
// XML node's attribute map) encodes as null.
bool equalsNull(Machine& m, Object* o) {
    return m.toPrimitive(Value(o)).isNullish();
}

std::string objectXml(Machine& m, const Value& v, int depth) {
    std::string out = "<object>";
    if (Object* o = v.asObject(); o && depth < MaxDepth) {
        for (const Str& name : m.enumerate(o)) {
            append(m, out, "<property id=\"");
            append(m, out, name.view());
            append(m, out, "\">");
            append(m, out, toXml(m, m.get(o, name), depth + 1));
            append(m, out, "</property>");
        }
    }
    return out + "</object>";
}

std::string arrayXml(Machine& m, const Value& v, int depth) {
    std::string out = "<array>";
    double n = depth < MaxDepth ? lengthOf(m, v) : 0;
    for (double i = 0; i < n; ++i) {
        append(m, out, "<property id=\"");
        append(m, out, m.toString(Value(i)).view());
        append(m, out, "\">");
        append(m, out, toXml(m, element(m, v, i), depth + 1));
        append(m, out, "</property>");
    }
    return out + "</array>";
}

std::string toXml(Machine& m, const Value& v, int depth) {
    switch (v.type()) {
    case Type::Undefined:
        return "<undefined/>";
    case Type::Null:
        return "<null/>";
    case Type::Boolean:
        return v.asBool() ? "<true/>" : "<false/>";
    case Type::Number:
        return "<number>" + m.toString(v).str() + "</number>";
    case Type::String:
        return "<string>" + escapeXml(v.asString().view()) + "</string>";
    case Type::Object:
        break;
    }
    Object* o = v.asObject();
    if (depth >= MaxDepth || o->asFunction() || equalsNull(m, o)) {
        return "<null/>";
    }
    if (o->className() == "Date") {
        return "<date>" + m.toString(m.toPrimitive(v)).str() + "</date>";
    }
    if (o->className() == "Array") {
        return arrayXml(m, v, depth);
    }
    return objectXml(m, v, depth);
}

Value toValue(Machine& m, const Value& node, int depth);

// Each <property id="..."> child of `node`, by its id.
template <class F> void forEachChild(Machine& m, const Value& node, F&& f) {
    Value children = m.getMember(node, m.str("childNodes"));
    double n = children.isObject() ? lengthOf(m, children) : 0;
    for (double i = 0; i < n; ++i) {
        m.state().pace();
        f(element(m, children, i));
    }
}

Value propertiesToValue(Machine& m, const Value& node, Object* into, int depth) {
    if (depth < MaxDepth) {
        forEachChild(m, node, [&](const Value& child) {
            Value id = m.getMember(m.getMember(child, m.str("attributes")), m.str("id"));
            m.set(into, m.toString(id),
                  toValue(m, m.getMember(child, m.str("firstChild")), depth + 1));
        });
    }
    return Value(into);
}

Value toValue(Machine& m, const Value& node, int depth) {
    std::string type = m.toString(m.getMember(node, m.str("nodeName"))).str();
    Value first = m.getMember(node, m.str("firstChild"));
    if (type == "number") {
        return Value(stringToNumber(m.toString(first).view(), m.version()));
    }
    if (type == "string") {
        return Value(Str(unescapeXml(m.toString(first).view())));
    }
    if (type == "true" || type == "false") {
        return Value(type == "true");
    }
    if (type == "null") {
        return Value::null();
    }
    if (type == "date") {
        Value time(stringToNumber(m.toString(first).view(), m.version()));
        return Value(m.construct(m.get(m.global(), "Date"), {&time, 1}));
    }
    if (type == "array") {
        return propertiesToValue(m, node, m.newArray(), depth);
    }
    if (type == "object") {
        return propertiesToValue(m, node, m.newObject(), depth);
    }
    if (type == "class") {
        return m.get(m.global(), m.toString(first));
    }
    return {};
}

std::string jsString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

std::string toJs(Machine& m, const Value& v, int depth);

std::string arrayJs(Machine& m, const Value& v, int depth) {
    std::string out = "[";
    double n = depth < MaxDepth ? lengthOf(m, v) : 0;
    for (double i = 0; i < n; ++i) {
        if (i > 0) {
            append(m, out, ",");
        }
        append(m, out, toJs(m, element(m, v, i), depth + 1));
    }
    return out + "]";
}

std::string objectJs(Machine& m, const Value& v, int depth) {
    std::string out = "({";
    if (Object* o = v.asObject(); o && depth < MaxDepth) {
        bool first = true;
        for (const Str& name : m.enumerate(o)) {
            if (!first) {
                append(m, out, ",");
            }
            first = false;
            append(m, out, name.view());
            append(m, out, ":");
            append(m, out, toJs(m, m.get(o, name), depth + 1));
        }
    }
    return out + "})";
}

std::string toJs(Machine& m, const Value& v, int depth) {
    switch (v.type()) {
    case Type::Undefined:
        return "undefined";
    case Type::Null:
        return "null";
    case Type::Boolean:
        return v.asBool() ? "true" : "false";
    case Type::Number:
        return m.toString(v).str();
    case Type::String:
        return jsString(v.asString().view());
    case Type::Object:
        break;
    }
    Object* o = v.asObject();
    if (depth >= MaxDepth || o->asFunction() || equalsNull(m, o)) {
        return "null";
    }
    return o->className() == "Array" ? arrayJs(m, v, depth) : objectJs(m, v, depth);
}

} // namespace

std::string escapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        std::string_view entity;
        for (const auto& [ch, name] : Entities) {
            if (c == ch) {
                entity = name;
            }
        }
        if (entity.empty()) {
            out += c;
        } else {
            out += entity;
        }
    }
    return out;
}

std::string unescapeXml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool replaced = false;
        if (text[i] == '&') {
            for (const auto& [ch, name] : Entities) {
                if (text.substr(i, name.size()) == name) {
                    out += ch;
                    i += name.size() - 1;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) {
            out += text[i];
        }
    }
    return out;
}

std::string valueToXml(Machine& m, const Value& value) {
    return toXml(m, value, 0);
}

std::string objectToXml(Machine& m, const Value& object) {
    return objectXml(m, object, 0);
}

std::string arrayToXml(Machine& m, const Value& array) {
    return arrayXml(m, array, 0);
}

std::string argumentsToXml(Machine& m, const Value& list) {
    std::string out = "<arguments>";
    double n = lengthOf(m, list);
    for (double i = 1; i < n; ++i) {
        append(m, out, toXml(m, element(m, list, i), 1));
    }
    return out + "</arguments>";
}

Value xmlToValue(Machine& m, const Value& node) {
    return toValue(m, node, 0);
}

Value xmlToObject(Machine& m, const Value& node) {
    return propertiesToValue(m, node, m.newObject(), 0);
}

Value xmlToArray(Machine& m, const Value& node) {
    return propertiesToValue(m, node, m.newArray(), 0);
}

Value xmlToArguments(Machine& m, const Value& node) {
    Object* list = m.newArray();
    double at = 0;
    forEachChild(m, node, [&](const Value& child) {
        m.set(list, indexName(m, at++), toValue(m, child, 1));
    });
    return Value(list);
}

std::string valueToJs(Machine& m, const Value& value) {
    return toJs(m, value, 0);
}

std::string arrayToJs(Machine& m, const Value& array) {
    return arrayJs(m, array, 0);
}

std::string objectToJs(Machine& m, const Value& object) {
    return objectJs(m, object, 0);
}

} // namespace avm1
