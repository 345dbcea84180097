// ASnative and ASSetNative: the player's numbered tables of native functions. Old
// class libraries fetch built-ins by number, e.g. `ASSetNative(o, 200, "abs,min")` or
// `ASnative(200, 0)` for Math.abs, so each table maps its numbers onto the built-in that
// already sits where the class library would put it.

#include "avm1/Interpreter.h"
#include "avm1/NumberedNatives.h"
#include "avm1/State.h"

#include <array>
#include <string_view>

namespace avm1 {

namespace {

struct NativeTable {
    int id;
    // Where the functions live: a global name, optionally followed by ".prototype".
    std::string_view owner;
    // Function names by index from `first` on, comma separated; an empty entry is a gap.
    std::string_view names;
    int first = 0;
};

// A table may spread over several rows: Date's keeps its local-time methods from 0, its
// UTC ones from 128 and the constructor with Date.UTC from 256.
constexpr std::array Tables{
    NativeTable{1, "", "ASSetPropFlags"},
    NativeTable{4, "", "ASSetNative,ASSetNativeAccessor"},
    NativeTable{100, "", "escape,unescape,parseInt,parseFloat"},
    NativeTable{101, "Object.prototype",
                "watch,unwatch,addProperty,valueOf,toString,hasOwnProperty,isPrototypeOf,"
                "isPropertyEnumerable"},
    NativeTable{101, "Object", "registerClass", 8},
    NativeTable{103, "Date.prototype",
                "getFullYear,getYear,getMonth,getDate,getDay,getHours,getMinutes,getSeconds,"
                "getMilliseconds,setFullYear,setMonth,setDate,setHours,setMinutes,setSeconds,"
                "setMilliseconds,getTime,setTime,getTimezoneOffset,toString,setYear"},
    NativeTable{103, "Date.prototype",
                "getUTCFullYear,getUTCYear,getUTCMonth,getUTCDate,getUTCDay,getUTCHours,"
                "getUTCMinutes,getUTCSeconds,getUTCMilliseconds,setUTCFullYear,setUTCMonth,"
                "setUTCDate,setUTCHours,setUTCMinutes,setUTCSeconds,setUTCMilliseconds",
                128},
    NativeTable{103, "", "Date", 256},
    NativeTable{103, "Date", ",UTC", 256},
    NativeTable{106, "Number.prototype", "valueOf,toString"},
    NativeTable{106, "", "Number", 2},
    NativeTable{107, "Boolean.prototype", "valueOf,toString"},
    NativeTable{200, "Math",
                "abs,min,max,sin,cos,atan2,tan,exp,log,sqrt,round,random,floor,ceil,atan,asin,"
                "acos,pow"},
    NativeTable{251, "String.prototype",
                ",valueOf,toString,toUpperCase,toLowerCase,charAt,charCodeAt,concat,indexOf,"
                "lastIndexOf,slice,substring,split,substr"},
    NativeTable{252, "Array.prototype",
                ",push,pop,concat,shift,unshift,slice,join,splice,toString,sort,reverse,sortOn"},
    NativeTable{252, "", "Array"},
    NativeTable{2106, "SharedObject.prototype", "connect,send,flush,close,getSize,setFps,clear"},
    NativeTable{2106, "SharedObject", "getRemote,,getDiskUsage", 203},
};

// Entry `index` of a comma-separated list, or empty.
std::string_view nthName(std::string_view list, int index) {
    for (int i = 0; i < index; ++i) {
        std::size_t comma = list.find(',');
        if (comma == std::string_view::npos) {
            return {};
        }
        list.remove_prefix(comma + 1);
    }
    return list.substr(0, list.find(','));
}

// A stored own property, without running getters.
Value ownValue(Machine& m, Object* object, std::string_view name) {
    if (!object) {
        return {};
    }
    const Property* p = object->properties().find(m.str(name), false);
    return p && !p->isAccessor() ? p->value : Value();
}

// ASCII-only case mapping of `this` as text: table 102, the case functions of the first
// players, leave every other letter as it is.
Value asciiCase(CallArgs& c, bool upper) {
    std::string text = c.machine.toString(c.thisValue).str();
    for (char& ch : text) {
        if (upper && ch >= 'a' && ch <= 'z') {
            ch = static_cast<char>(ch - 'a' + 'A');
        } else if (!upper && ch >= 'A' && ch <= 'Z') {
            ch = static_cast<char>(ch - 'A' + 'a');
        }
    }
    return Value(Str(std::move(text)));
}

// Natives that no class holds under a name: made anew on each request.
Value unnamedNative(Machine& m, double table, int at) {
    if (table == 2 && at == 0) {
        // ASnew: whether the script function running now was called by `new`.
        return Value(static_cast<Object*>(m.newFunction([](CallArgs& c) -> Value {
            const auto& activations = c.machine.state().activations;
            for (auto it = activations.rbegin(); it != activations.rend(); ++it) {
                if ((*it)->isFunction) {
                    return Value((*it)->constructing);
                }
            }
            return Value(false);
        })));
    }
    // Table 666 reads and writes the Stage's fitting: getter then setter of scaleMode,
    // align, width and height from 1 on. They act on the one Stage whatever `this` is.
    if (table == 666 && at >= 1 && at <= 8) {
        const std::string_view name = nthName("scaleMode,align,width,height", (at - 1) / 2);
        const bool setter = at % 2 == 0;
        return Value(static_cast<Object*>(m.newFunction([name, setter](CallArgs& c) -> Value {
            Machine& vm = c.machine;
            Object* stage = ownValue(vm, vm.global(), "Stage").asObject();
            if (!stage) {
                return {};
            }
            if (setter) {
                vm.set(stage, vm.str(name), c.arg(0));
                return {};
            }
            return vm.get(stage, vm.str(name));
        })));
    }
    if (table == 102 && (at == 0 || at == 1)) {
        bool upper = at == 0;
        return Value(static_cast<Object*>(
            m.newFunction([upper](CallArgs& c) -> Value { return asciiCase(c, upper); })));
    }
    return {};
}

Value nativeFunction(Machine& m, double table, double index) {
    if (!(index >= 0) || index > 1000) {
        return {};
    }
    int at = static_cast<int>(index);
    if (Value f = unnamedNative(m, table, at); f.isObject()) {
        return f;
    }
    if (table >= 0 && table < 65536) {
        const auto& numbered = m.state().numberedNatives;
        const auto it = numbered.find(static_cast<std::int64_t>(table) * 65536 + at);
        if (it != numbered.end()) {
            return Value(static_cast<Object*>(m.newFunction(it->second)));
        }
    }
    // isNaN and isFinite follow the Math functions in table 200.
    if (table == 200 && (at == 18 || at == 19)) {
        return ownValue(m, m.global(), at == 18 ? "isNaN" : "isFinite");
    }
    for (const NativeTable& t : Tables) {
        if (t.id != table || at < t.first) {
            continue;
        }
        std::string_view name = nthName(t.names, at - t.first);
        if (name.empty()) {
            continue;
        }
        Object* owner = m.global();
        if (!t.owner.empty()) {
            std::string_view cls = t.owner.substr(0, t.owner.find('.'));
            owner = ownValue(m, m.global(), cls).asObject();
            if (t.owner.find(".prototype") != std::string_view::npos) {
                owner = ownValue(m, owner, "prototype").asObject();
            }
        }
        Value f = ownValue(m, owner, name);
        return f.isObject() && f.asObject()->asFunction() ? f : Value();
    }
    return {};
}

// A leading version mark on a name ("6name" .. "9name", "10name") makes the property
// exist only for movies of that version on; a bare "1" mark means every version.
std::uint32_t takeVersionMark(std::string_view& name) {
    if (name.size() >= 2 && name[0] == '1' && name[1] == '0') {
        name.remove_prefix(2);
        return attr::Only10;
    }
    if (name.empty() || (name[0] != '1' && (name[0] < '6' || name[0] > '9'))) {
        return 0;
    }
    constexpr std::uint32_t ByDigit[] = {attr::Only6, attr::Only7, attr::Only8, attr::Only9};
    const char digit = name[0];
    name.remove_prefix(1);
    return digit == '1' ? 0 : ByDigit[digit - '6'];
}

} // namespace

void defineNumberedNative(Machine& m, int table, int index, NativeFn fn) {
    m.state().numberedNatives[static_cast<std::int64_t>(table) * 65536 + index] = std::move(fn);
}

void installNativeTables(Machine& m) {
    Object* g = m.global();
    // Each request makes a new function object around the native: two requests for the
    // same number are two functions, and neither is a class (no prototype).
    m.defineMethod(g, "ASnative", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Value native = nativeFunction(m, m.toNumber(c.arg(0)), m.toNumber(c.arg(1)));
        FunctionObject* f = native.isObject() ? native.asObject()->asFunction() : nullptr;
        if (f && f->isNative()) {
            return Value(static_cast<Object*>(m.newFunction(f->native())));
        }
        return native;
    });
    // ASconstructor: a native made a class, with a prototype of its own for `new` to give
    // its objects.
    m.defineMethod(g, "ASconstructor", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Value native = nativeFunction(m, m.toNumber(c.arg(0)), m.toNumber(c.arg(1)));
        FunctionObject* f = native.isObject() ? native.asObject()->asFunction() : nullptr;
        if (!f || !f->isNative()) {
            return {};
        }
        FunctionObject* ctor = m.newFunction(f->native());
        Object* proto = m.newObject();
        m.define(ctor, "prototype", Value(proto), attr::Hidden);
        m.define(proto, "constructor", Value(static_cast<Object*>(ctor)), attr::Hidden);
        return Value(static_cast<Object*>(ctor));
    });
    // ASSetNativeAccessor(object, table, "a,b", first): each name becomes an accessor whose
    // getter is native `first` and setter `first + 1`, the next name two numbers on.
    m.defineMethod(g, "ASSetNativeAccessor", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* target = c.arg(0).asObject();
        if (!target || c.count() < 3) {
            return {};
        }
        double table = m.toNumber(c.arg(1));
        Str list = m.toString(c.arg(2));
        double first = c.count() > 3 ? m.toNumber(c.arg(3)) : 0;
        if (!(first >= 0) || first > 1000) {
            return {};
        }
        std::string_view rest = list.view();
        for (int index = static_cast<int>(first); !rest.empty() && index <= 1000; index += 2) {
            std::size_t comma = rest.find(',');
            std::string_view name = rest.substr(0, comma);
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
            std::uint32_t version = takeVersionMark(name);
            if (!name.empty()) {
                Object* getter = nativeFunction(m, table, index).asObject();
                Object* setter = nativeFunction(m, table, index + 1).asObject();
                Str key = m.str(name);
                Property* p = target->properties().find(key, m.caseSensitive());
                if (!p && getter) {
                    p = &target->properties().add(Property{key, Value(), version, nullptr, nullptr},
                                                  m.caseSensitive());
                    ++m.state().propertyCount;
                }
                if (p && getter) {
                    p->getter = getter;
                    p->setter = setter;
                }
            }
        }
        return {};
    });
    m.defineMethod(g, "ASSetNative", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* target = c.arg(0).asObject();
        if (!target || c.count() < 3) {
            return {};
        }
        double table = m.toNumber(c.arg(1));
        Str list = m.toString(c.arg(2));
        std::string_view rest = list.view();
        for (int index = 0; !rest.empty() || index == 0; ++index) {
            std::size_t comma = rest.find(',');
            std::string_view name = rest.substr(0, comma);
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
            std::uint32_t version = takeVersionMark(name);
            if (!name.empty()) {
                Value f = nativeFunction(m, table, index);
                Str key = m.str(name);
                if (Property* p = target->properties().find(key, m.caseSensitive());
                    p && !p->isAccessor()) {
                    p->value = f;
                } else if (!p) {
                    m.define(target, name, f, version);
                }
            }
            if (comma == std::string_view::npos) {
                break;
            }
        }
        return {};
    });
}

} // namespace avm1
