// JSON.parse and JSON.stringify. Parsing follows the JSON grammar strictly, with nesting
// bounded so that hostile text cannot exhaust the stack; stringify walks arrays and the
// enumerable properties of objects, with toJSON, a replacer (function or list of names)
// and indentation, refusing cycles.
#include "avm2/Machine.h"
#include "avm2/StringPositions.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace avm2 {

namespace {

constexpr std::size_t kMaxDepth = 512;

[[noreturn]] void badInput(Machine& m) {
    m.throwError("SyntaxError", 1132, "Invalid JSON parse input.");
}

class JsonParser {
  public:
    JsonParser(Machine& m, std::string_view text) : m_(m), s_(text) {}

    Value document() {
        Value v = value(0);
        skipSpace();
        if (i_ != s_.size()) {
            badInput(m_);
        }
        return v;
    }

  private:
    void skipSpace() {
        while (i_ < s_.size() &&
               (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) {
            ++i_;
        }
    }
    bool take(std::string_view word) {
        if (s_.substr(i_, word.size()) == word) {
            i_ += word.size();
            return true;
        }
        return false;
    }
    Value value(std::size_t depth) {
        if (depth > kMaxDepth) {
            badInput(m_);
        }
        if ((i_ & 0xFFF) == 0) {
            m_.checkBudget();
        }
        skipSpace();
        if (i_ >= s_.size()) {
            badInput(m_);
        }
        const char c = s_[i_];
        if (c == '{') {
            return object(depth);
        }
        if (c == '[') {
            return array(depth);
        }
        if (c == '"') {
            return Value::string(string());
        }
        if (take("true")) {
            return Value::boolean(true);
        }
        if (take("false")) {
            return Value::boolean(false);
        }
        if (take("null")) {
            return Value::null();
        }
        return number();
    }
    Value object(std::size_t depth) {
        ++i_;
        Object* o = m_.newObject();
        skipSpace();
        if (take("}")) {
            return Value::object(o);
        }
        for (;;) {
            skipSpace();
            if (i_ >= s_.size() || s_[i_] != '"') {
                badInput(m_);
            }
            const std::string key = string();
            skipSpace();
            if (!take(":")) {
                badInput(m_);
            }
            o->setProp(key, value(depth + 1));
            skipSpace();
            if (take("}")) {
                return Value::object(o);
            }
            if (!take(",")) {
                badInput(m_);
            }
        }
    }
    Value array(std::size_t depth) {
        ++i_;
        std::vector<Value> items;
        skipSpace();
        if (take("]")) {
            return Value::object(m_.newArray());
        }
        for (;;) {
            items.push_back(value(depth + 1));
            skipSpace();
            if (take("]")) {
                return Value::object(m_.newArray(std::move(items)));
            }
            if (!take(",")) {
                badInput(m_);
            }
        }
    }
    std::string string() {
        ++i_; // the opening quote
        std::u16string units;
        while (i_ < s_.size() && s_[i_] != '"') {
            const auto c = static_cast<unsigned char>(s_[i_]);
            if (c < 0x20) {
                badInput(m_);
            }
            if (c != '\\') {
                // Copy one UTF-8 sequence as it is.
                std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
                n = std::min(n, s_.size() - i_);
                units += unicode::toUtf16(s_.substr(i_, n));
                i_ += n;
                continue;
            }
            if (++i_ >= s_.size()) {
                badInput(m_);
            }
            const char e = s_[i_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                units += static_cast<char16_t>(e);
                break;
            case 'b':
                units += u'\b';
                break;
            case 'f':
                units += u'\f';
                break;
            case 'n':
                units += u'\n';
                break;
            case 'r':
                units += u'\r';
                break;
            case 't':
                units += u'\t';
                break;
            case 'u': {
                if (i_ + 4 > s_.size()) {
                    badInput(m_);
                }
                unsigned v = 0;
                for (int k = 0; k < 4; ++k) {
                    const char h = s_[i_++];
                    const int d = h >= '0' && h <= '9'   ? h - '0'
                                  : h >= 'a' && h <= 'f' ? h - 'a' + 10
                                  : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                         : -1;
                    if (d < 0) {
                        badInput(m_);
                    }
                    v = v * 16 + static_cast<unsigned>(d);
                }
                units += static_cast<char16_t>(v);
                break;
            }
            default:
                badInput(m_);
            }
        }
        if (i_ >= s_.size()) {
            badInput(m_);
        }
        ++i_;
        return unicode::fromUtf16(units);
    }
    Value number() {
        const std::size_t start = i_;
        take("-");
        if (take("0")) {
        } else if (i_ < s_.size() && s_[i_] >= '1' && s_[i_] <= '9') {
            digits();
        } else {
            badInput(m_);
        }
        if (take(".") && !digits()) {
            badInput(m_);
        }
        if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
            ++i_;
            if (!take("+")) {
                take("-");
            }
            if (!digits()) {
                badInput(m_);
            }
        }
        return Value::number(stringToNumber(std::string(s_.substr(start, i_ - start))));
    }
    bool digits() {
        const std::size_t start = i_;
        while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9') {
            ++i_;
        }
        return i_ > start;
    }

    Machine& m_;
    std::string_view s_;
    std::size_t i_ = 0;
};

// The reviver sees every value after its members, and may replace or (with undefined)
// remove it.
Value revive(Machine& m, const Value& reviver, const Value& holder, const std::string& key,
             std::size_t depth) {
    Value v = m.getProperty(holder, Name::publicName(key));
    if (v.isObject() && depth < kMaxDepth) {
        Object* o = v.asObject();
        if (o->kind == Object::Kind::Array) {
            for (std::size_t i = 0; i < o->elements.size(); ++i) {
                const Value r = revive(m, reviver, v, std::to_string(i), depth + 1);
                o->elements[i] = r.isUndefined() ? Value::hole() : r;
            }
        } else {
            std::vector<std::string> keys;
            for (const auto& [k, value] : o->props) {
                if (!value.isHole()) {
                    keys.push_back(k);
                }
            }
            for (const std::string& k : keys) {
                const Value r = revive(m, reviver, v, k, depth + 1);
                if (r.isUndefined()) {
                    o->deleteProp(k);
                } else {
                    o->setProp(k, r);
                }
            }
        }
    }
    Args args{Value::string(key), v};
    return m.call(reviver, holder, args);
}

Value jsonParse(Machine& m, const Value&, Args& a) {
    // The text is a required parameter.
    if (a.empty()) {
        m.throwError("ArgumentError", 1063,
                     "Argument count mismatch on JSON$/parse(). Expected 1, got 0.");
    }
    const Value text = arg(a, 0);
    if (text.isNullish()) {
        badInput(m);
    }
    const std::string source = m.toString(text);
    Value result = JsonParser(m, source).document();
    const Value reviver = arg(a, 1);
    if (reviver.isObject() && reviver.asObject()->kind == Object::Kind::Function) {
        Object* root = m.newObject();
        root->setProp("", result);
        result = revive(m, reviver, Value::object(root), "", 0);
    }
    return result;
}

std::string quote(std::string_view text) {
    std::string out = "\"";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

class JsonWriter {
  public:
    JsonWriter(Machine& m, Value replacer, std::string gap)
        : m_(m), replacer_(std::move(replacer)), gap_(std::move(gap)) {
        if (replacer_.isObject() && replacer_.asObject()->kind == Object::Kind::Array) {
            for (const Value& v : replacer_.asObject()->elements) {
                // A name listed twice is written once, where it is first listed.
                if (v.isString() || v.isNumeric()) {
                    std::string name = m_.toString(v);
                    if (std::find(names_.begin(), names_.end(), name) == names_.end()) {
                        names_.push_back(std::move(name));
                    }
                }
            }
            useNames_ = true;
        }
    }

    // False when the value has no JSON form (undefined, a function).
    bool write(const Value& holder, const std::string& key, Value v, std::string& out) {
        if (v.isObject()) {
            const Name toJson = Name::publicName("toJSON");
            if (v.asObject()->kind != Object::Kind::Function && m_.hasProperty(v, toJson)) {
                Args args{Value::string(key)};
                v = m_.callProperty(v, toJson, args);
            }
        }
        if (replacer_.isObject() && replacer_.asObject()->kind == Object::Kind::Function) {
            Args args{Value::string(key), v};
            v = m_.call(replacer_, holder, args);
        }
        if (v.isUndefined() || (v.isObject() && v.asObject()->kind == Object::Kind::Function)) {
            return false;
        }
        if (v.isNull()) {
            out += "null";
        } else if (v.isBoolean()) {
            out += v.asBoolean() ? "true" : "false";
        } else if (v.isNumeric()) {
            out += std::isfinite(v.asNumber()) ? numberToString(v.asNumber()) : "null";
        } else if (v.isString()) {
            out += quote(v.asString());
        } else {
            writeObject(v, out);
        }
        return true;
    }

  private:
    // A class object shows its public statics that hold values, in the order they were
    // declared, then the prototype every class has.
    static std::vector<std::string> classMembers(const Object* o) {
        std::vector<std::pair<std::uint32_t, std::string>> statics;
        if (o->ownTraits != nullptr) {
            for (const auto& [local, bindings] : o->ownTraits->byName) {
                for (const Binding& b : bindings) {
                    const bool holdsValue =
                        b.kind == Binding::Kind::Slot || b.kind == Binding::Kind::Const;
                    if (holdsValue && b.ns == Namespace::publicNs()) {
                        statics.emplace_back(b.slot, local);
                    }
                }
            }
        }
        std::sort(statics.begin(), statics.end());
        std::vector<std::string> keys;
        keys.reserve(statics.size() + 1);
        for (auto& entry : statics) {
            keys.push_back(std::move(entry.second));
        }
        if (o->builds != nullptr) {
            keys.emplace_back("prototype");
        }
        return keys;
    }

    // An instance of a class shows its public variables and constants, then the accessors it
    // can read, each group by name (as describeType lists them), before its own dynamic
    // properties.
    static std::vector<std::string> instanceMembers(const Object* o) {
        std::vector<std::string> variables;
        std::vector<std::string> accessors;
        if (o->cls != nullptr) {
            for (const auto& [local, bindings] : o->cls->instance.byName) {
                for (const Binding& b : bindings) {
                    if (!(b.ns == Namespace::publicNs())) {
                        continue;
                    }
                    if (b.kind == Binding::Kind::Slot || b.kind == Binding::Kind::Const) {
                        variables.push_back(local);
                    } else if (b.kind == Binding::Kind::Accessor && b.getter.valid()) {
                        accessors.push_back(local);
                    }
                }
            }
        }
        std::sort(variables.begin(), variables.end());
        std::sort(accessors.begin(), accessors.end());
        variables.insert(variables.end(), accessors.begin(), accessors.end());
        return variables;
    }

    void writeObject(const Value& v, std::string& out) {
        Object* o = v.asObject();
        for (Object* seen : stack_) {
            if (seen == o) {
                m_.throwError("TypeError", 1129,
                              "Cyclic structure cannot be converted to JSON string.");
            }
        }
        if (stack_.size() >= kMaxDepth) {
            m_.throwError("TypeError", 1129,
                          "Cyclic structure cannot be converted to JSON string.");
        }
        m_.checkBudget();
        stack_.push_back(o);
        const std::string outer = indent_;
        indent_ += gap_;
        const std::string open = gap_.empty() ? "" : "\n" + indent_;
        const std::string close = gap_.empty() ? "" : "\n" + outer;
        bool any = false;
        if (o->kind == Object::Kind::Array) {
            out += '[';
            for (std::size_t i = 0; i < o->elements.size(); ++i) {
                out += any ? "," + open : open;
                any = true;
                const Value item = o->elements[i].isHole() ? Value() : o->elements[i];
                if (!write(v, std::to_string(i), item, out)) {
                    out += "null";
                }
            }
            out += any ? close + "]" : "]";
        } else {
            out += '{';
            std::vector<std::string> keys = names_;
            if (!useNames_) {
                if (o->kind == Object::Kind::Class) {
                    keys = classMembers(o);
                } else {
                    keys = instanceMembers(o);
                }
                for (std::size_t i = 0; i < o->props.size(); ++i) {
                    if (!o->dontEnum[i]) {
                        keys.push_back(o->props[i].first);
                    }
                }
            }
            for (const std::string& k : keys) {
                const Name name = Name::publicName(k);
                if (useNames_ && !m_.hasProperty(v, name)) {
                    continue;
                }
                std::string member;
                if (!write(v, k, m_.getProperty(v, name), member)) {
                    continue;
                }
                out += any ? "," + open : open;
                any = true;
                out += quote(k);
                out += gap_.empty() ? ":" : ": ";
                out += member;
            }
            out += any ? close + "}" : "}";
        }
        indent_ = outer;
        stack_.pop_back();
    }

    Machine& m_;
    Value replacer_;
    std::string gap_;
    std::string indent_;
    std::vector<std::string> names_;
    bool useNames_ = false;
    std::vector<Object*> stack_;
};

Value jsonStringify(Machine& m, const Value&, Args& a) {
    // The gap: up to ten spaces, or the first ten characters of a string.
    std::string gap;
    const Value space = arg(a, 2);
    if (space.isNumeric()) {
        const double n = std::min(10.0, std::trunc(space.asNumber()));
        gap.assign(n > 0 ? static_cast<std::size_t>(n) : 0, ' ');
    } else if (space.isString()) {
        const std::u16string units = unicode::toUtf16(space.asString());
        gap = unicode::fromUtf16(std::u16string_view(units).substr(0, 10));
    }
    // The replacer is a function, a list of names, or nothing (null or undefined).
    const Value replacer = arg(a, 1);
    const bool usable =
        replacer.isNullish() ||
        (replacer.isObject() && (replacer.asObject()->kind == Object::Kind::Function ||
                                 replacer.asObject()->kind == Object::Kind::Array));
    if (!usable) {
        m.throwError("TypeError", 1131,
                     "Replacer argument to JSON stringifier must be an array or a two parameter "
                     "function.");
    }
    JsonWriter writer(m, replacer, gap);
    // The value is declared an Object: undefined arrives as null, and is written as null.
    const Value value = arg(a, 0).isUndefined() ? Value::null() : arg(a, 0);
    Object* root = m.newObject();
    root->setProp("", value);
    std::string out;
    // stringify is declared to return a String: "no JSON form" arrives as null.
    if (!writer.write(Value::object(root), "", value, out)) {
        return Value::null();
    }
    return Value::string(out);
}

} // namespace

void installJson(Machine& m) {
    Class* c = m.defineClass("", "JSON", m.objectClass);
    m.defineMethod(c, "parse", jsonParse, true);
    m.defineMethod(c, "stringify", jsonStringify, true);
}

} // namespace avm2
