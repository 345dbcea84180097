#pragma once
// The objects of the machine: classes with their traits, objects with slots and dynamic
// properties, functions (compiled methods and built-ins), and the loaded ABC blocks.
//
// Objects live in the machine's heap until the machine goes: the heap's size is counted
// against the script memory budget, so a script making objects without end is stopped.

#include "avm2/AbcFile.h"
#include "avm2/Names.h"
#include "avm2/PreparedCode.h"
#include "avm2/Value.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace avm2 {

class Machine;
class Object;
struct Class;
struct AbcUnit;
struct ScopeChain;
struct EventState;
struct EventListeners;

using Args = std::vector<Value>;
using NativeFn = Value (*)(Machine&, const Value& self, Args& args);

// A compiled method or a built-in.
struct MethodRef {
    // A built-in written as a function with a fixed parameter list, as most of Flash's own
    // prototype functions are, checks how many arguments it is given (0xFF: it takes any).
    static constexpr std::uint8_t anyCount = 0xFF;
    AbcUnit* unit = nullptr;
    std::uint32_t index = 0;
    NativeFn native = nullptr;
    std::uint8_t nativeRequired = 0;
    std::uint8_t nativeParams = anyCount;
    // A rest list after the declared parameters: any number more is taken, and the length
    // still counts only the declared ones.
    bool nativeRest = false;
    bool valid() const { return unit != nullptr || native != nullptr; }
};

struct Binding {
    enum class Kind : std::uint8_t { Slot, Const, Method, Accessor, Class };
    Namespace ns;
    Kind kind = Kind::Slot;
    std::uint32_t slot = 0;
    MethodRef method;
    MethodRef getter;
    MethodRef setter;
    Class* declaredBy = nullptr; // for super lookups
};

struct SlotInit {
    Value value;
    std::uint32_t typeName = 0; // multiname in the unit, for coercion on store
    Class* type = nullptr;      // resolved lazily
};

// Trait bindings by local name, inherited ones included.
struct Traits {
    std::unordered_map<std::string, std::vector<Binding>> byName;
    std::vector<SlotInit> slots;

    const Binding* find(const Name& name) const;
    Binding* findExact(const std::string& local, const Namespace& ns);
    void add(const std::string& local, Binding b);
};

// The scope chain a function closes over.
struct ScopeChain {
    std::shared_ptr<const ScopeChain> parent;
    Value object;
    bool with = false;
    // The compiled class a scope was coerced to before it was pushed: Flash binds a name
    // through such a scope by that class's traits alone, when it verifies the method.
    const Class* declared = nullptr;
};
using ScopePtr = std::shared_ptr<const ScopeChain>;

struct Class {
    std::string name; // local name ("Sprite")
    Namespace ns;     // its package
    Class* super = nullptr;
    std::vector<Class*> interfaces;
    // Interfaces named but not defined yet when the class was made (multiname indices).
    std::vector<std::uint32_t> pendingInterfaces;
    bool isInterface = false;
    bool sealed = true;
    bool isFinal = false;
    Traits instance; // instance traits, inherited included
    Object* classObject = nullptr;
    Object* prototype = nullptr;
    // The instance initialiser: compiled, or a built-in's.
    MethodRef init;
    ScopePtr scope; // what the instance methods close over
    AbcUnit* unit = nullptr;
    std::optional<Namespace> protectedNs;
    // Vector.<T>: the element type T its elements are coerced to (null for Vector.<*>).
    Class* elementType = nullptr;
    // What a built-in instance is made of (Array, Error...).
    enum class Native : std::uint8_t {
        None,
        Array,
        Error,
        Date,
        Vector,
        Dictionary,
        RegExp,
        ByteArray,
        Proxy
    };
    Native native = Native::None;
    // Only the player makes objects of this built-in class: `new` on it, or on a script
    // class whose nearest built-in ancestor it is, fails before any constructor runs.
    bool playerMadeOnly = false;
    // Called with the new object and the arguments when the class (or a subclass) builds one.
    NativeFn call = nullptr; // `Class(value)` as a function: a conversion
    // A built-in class's own methods as the AS3 namespace knows them: fixed, whatever a script
    // later puts under the same names on the prototype (Haxe's boot code, for one, replaces
    // String.prototype.charCodeAt with a function calling AS3::charCodeAt).
    std::unordered_map<std::string, Value> as3Methods;
    std::string qualifiedName() const { return ns.uri.empty() ? name : ns.uri + "::" + name; }
    // How error messages name the class: its namespace joined with a dot
    // ("flash.display.Sprite").
    std::string messageName() const { return ns.uri.empty() ? name : ns.uri + "." + name; }
    bool isSubclassOf(const Class* other) const;
};

class Object {
  public:
    enum class Kind : std::uint8_t {
        Plain,
        Function,
        Class,
        Array,
        Activation,
        Global,
        Namespace,
        QName,
        Date,
        RegExp,
        Dictionary,
        ByteArray,
        Proxy,
        Xml,
        XmlList
    };

    Kind kind = Kind::Plain;
    Class* cls = nullptr;     // whose traits this object has (null: none)
    Traits* traits = nullptr; // the traits searched: the class's instance traits, or own
    Object* proto = nullptr;
    std::vector<Value> slots;
    bool dynamic = true;

    // Dynamic properties in the order they were made. A deleted one leaves its place empty
    // (a hole, not enumerable) until the table next grows, so that a for-in going over the
    // object meanwhile neither skips nor repeats the ones after it.
    std::vector<std::pair<std::string, Value>> props;
    std::unordered_map<std::string, std::size_t> propIndex;
    std::vector<bool> dontEnum;
    std::size_t emptyPlaces = 0;
    const Value* findProp(const std::string& k) const;
    void setProp(const std::string& k, Value v);
    bool deleteProp(const std::string& k);

    // Array
    std::vector<Value> elements;
    // An array's length when elements lie past the dense ones, kept as properties named by
    // their index (0: none do); see ArraySparse.h.
    std::uint32_t sparseLength = 0;
    // Function
    MethodRef method;
    ScopePtr scope;
    std::optional<Value> boundThis;
    Class* methodClass = nullptr; // the class a method closure belongs to (for super)
    // Class object: the class it builds; its statics live in `ownTraits`.
    Class* builds = nullptr;
    std::unique_ptr<Traits> ownTraits;
    // Namespace/QName, Date, RegExp...
    Namespace ns;
    std::string text;
    double number = 0;
    bool flag = false;
    // What a built-in class keeps beyond values (a RegExp's compiled pattern...).
    std::shared_ptr<void> nativeData;
    // Dictionary keyed by object identity.
    std::vector<std::pair<Value, Value>> entries;
    // flash.events: an event's state, a dispatcher's listeners; the display node a display
    // object shows (0: none).
    std::shared_ptr<EventState> event;
    std::shared_ptr<EventListeners> listeners;
    std::uint64_t displayNode = 0;
};

// One loaded ABC block: its pools resolved, its classes and checked method bodies.
struct AbcUnit {
    AbcFile abc;
    std::uint64_t id = 0;
    std::uint32_t domain = 0; // the application domain it loaded into
    // The display node of the Loader whose movie brought it; 0 for the first movie's blocks.
    std::uint64_t loader = 0;
    std::vector<Namespace> namespaces;
    std::vector<std::vector<Namespace>> nsSets;
    std::vector<Class*> classes; // by class index, once made by newclass
    std::vector<Object*> scriptGlobals;
    std::vector<std::uint8_t> scriptState; // 0 not run, 1 running, 2 done
    std::map<std::uint32_t, std::shared_ptr<PreparedCode>> prepared;
    std::map<std::uint32_t, Class*> methodOwner; // method index -> class (for names, super)
    std::map<std::uint32_t, std::string> methodTraitName; // "abc", "get x", "set x"
};

// A script exception travelling through C++ frames.
struct ScriptThrow {
    Value value;
};

// The frame, time or memory budget ran out: the script is abandoned.
struct ScriptAbort {
    std::string reason;
};

} // namespace avm2
