#pragma once
// Script objects. Every object lives in the machine's heap and is freed by its mark-and-sweep
// collector, never by C++ ownership: objects form cycles (prototypes, constructors, closures).
//
// Native classes (the stage's MovieClip, TextField...) derive from Object and override the
// virtual hooks: getVirtual/setVirtual/deleteVirtual/enumerateVirtual for computed
// properties, and trace() to mark the heap objects they hold in C++ members.

#include "avm1/Value.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace avm1 {

class Machine;
class Object;
class FunctionObject;

// Marks reachable objects during a collection.
class Tracer {
  public:
    virtual ~Tracer() = default;
    virtual void mark(const Object* object) = 0;
    void mark(const Value& value) {
        if (value.isObject()) {
            { mark(value.asObject()); }
        }
    }
};

// Property attributes, as ASSetPropFlags sets them.
namespace attr {
inline constexpr std::uint32_t DontEnum = 1u << 0;
inline constexpr std::uint32_t DontDelete = 1u << 1;
inline constexpr std::uint32_t ReadOnly = 1u << 2;
// Version visibility: the property exists only for movies of at least that version
// (Only6...Only10), or is hidden from movies of version 6 alone (Hide6).
inline constexpr std::uint32_t Only6 = 1u << 7;
inline constexpr std::uint32_t Hide6 = 1u << 8;
inline constexpr std::uint32_t Only7 = 1u << 10;
inline constexpr std::uint32_t Only8 = 1u << 12;
inline constexpr std::uint32_t Only9 = 1u << 13;
inline constexpr std::uint32_t Only10 = 1u << 14;
inline constexpr std::uint32_t Hidden = DontEnum | DontDelete;
inline constexpr std::uint32_t VersionBits = Only6 | Hide6 | Only7 | Only8 | Only9 | Only10;
bool visibleToSlow(std::uint32_t attributes, int version);
// True when a property with these attributes is visible to a movie of `version`.
inline bool visibleTo(std::uint32_t attributes, int version) {
    return (attributes & VersionBits) == 0 || visibleToSlow(attributes, version);
}
} // namespace attr

struct Property {
    Str name;
    Value value;
    std::uint32_t attributes = 0;
    // addProperty accessors; when getter or setter is set, `value` is unused.
    Object* getter = nullptr;
    Object* setter = nullptr;
    // Unique among all properties ever made: tells a property from a later one of the
    // same name.
    std::uint64_t serial = 0;
    bool isAccessor() const { return getter != nullptr || setter != nullptr; }
};

// Own properties in insertion order with a name index; enumeration gives the most recently
// added first, as Flash does. Names compare with or without case per the machine's mode.
class PropertyMap {
  public:
    Property* find(const Str& name, bool caseSensitive);
    const Property* find(const Str& name, bool caseSensitive) const;
    // Adds a property at the end (it must not exist yet).
    Property& add(Property property, bool caseSensitive);
    bool remove(const Str& name, bool caseSensitive);
    std::size_t size() const { return live_; }
    // In insertion order (oldest first); removed entries are skipped.
    template <class F> void forEach(F&& f) const {
        for (const auto& p : slots_) {
            {
                if (p) {
                    { f(*p); }
                }
            }
        }
    }
    template <class F> void forEach(F&& f) {
        for (auto& p : slots_) {
            {
                if (p) {
                    { f(*p); }
                }
            }
        }
    }

  private:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::size_t locate(const Str& name, bool caseSensitive) const;
    void rebuildIndex();
    std::vector<std::unique_ptr<Property>> slots_;
    // Folded-name hash -> slot, built once the map is large.
    std::unordered_multimap<std::size_t, std::size_t> index_;
    std::size_t live_ = 0;
    bool indexed_ = false;
};

// What a built-in class keeps for an object beside its properties (a filter's fields, the
// clip a Transform stands for). A built-in constructor binds it to the object it runs on,
// also to the plain object of a script class that extends the built-in one.
class NativeState {
  public:
    virtual ~NativeState() = default;
    // Marks heap objects the state holds.
    virtual void trace(Tracer&) {}
};

struct Watcher {
    Str name;
    Object* callback = nullptr;
    Value userData;
    // How many calls of its callback are running now, one inside another.
    int running = 0;
};

class Object {
  public:
    explicit Object(Object* proto = nullptr) : proto_(proto) {}
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    // The "__proto__" property; stored apart for speed but seen by scripts as a normal,
    // hidden property.
    Object* proto() const { return proto_; }
    void setProto(Object* proto) { proto_ = proto; }
    // A function's __proto__ carries the version 6 flag: version 5 enumeration stops there
    // until ASSetPropFlags clears it.
    bool protoShownTo5() const { return protoShownTo5_; }
    void setProtoShownTo5(bool shown) { protoShownTo5_ = shown; }

    PropertyMap& properties() { return props_; }
    const PropertyMap& properties() const { return props_; }

    // Hooks for native classes. Each returns true when it handled the name.
    // Computed own property, asked after the stored own properties.
    virtual bool getVirtual(Machine&, const Str& /*name*/, Value& /*out*/) { return false; }
    // Computed own property assignment, asked before stored properties.
    virtual bool setVirtual(Machine&, const Str& /*name*/, const Value& /*value*/) { return false; }
    virtual bool hasVirtual(Machine&, const Str& /*name*/) { return false; }
    virtual bool deleteVirtual(Machine&, const Str& /*name*/) { return false; }
    // Adds enumerable computed names (for..in).
    virtual void enumerateVirtual(Machine&, std::vector<Str>& /*names*/) {}
    // Marks heap objects this object holds outside its properties.
    virtual void trace(Tracer&) {}

    // "Object", "Array", "Function", "MovieClip"... used by typeof and for diagnostics.
    virtual std::string_view className() const { return "Object"; }
    virtual FunctionObject* asFunction() { return nullptr; }
    // A display object of the stage (typeof gives "movieclip", paths resolve through it).
    virtual bool isDisplayObject() const { return false; }
    // The object that answers for this one: itself, except for a reference to a display
    // object that left the stage, which stands for whatever now stands at its path.
    // Equality compares these.
    virtual Object* referent() { return this; }
    // A reference to a clip that left the stage, with nothing at its path now: every member
    // it is asked for reads undefined, its own variables included.
    virtual bool vanished() { return false; }
    // The primitive a Date, Number, Boolean or String object wraps, if any.
    virtual bool primitiveValue(Value&) const { return false; }

    // Filled by the machine; natives may add their own watchers list.
    std::vector<Watcher>& watchers() { return watchers_; }
    const std::vector<Watcher>& watchers() const { return watchers_; }

    // Native state bound by a built-in constructor, or null. Bound once: a later
    // constructor call on the same object keeps the first.
    NativeState* nativeState() const { return native_.get(); }
    void setNativeState(std::unique_ptr<NativeState> state) { native_ = std::move(state); }

    // Interfaces recorded by `implements` (ImplementsOp) on a constructor's prototype.
    std::vector<Object*>& interfaces() { return interfaces_; }

    // Collector state.
    bool marked = false;

  private:
    friend class Heap;
    Object* proto_ = nullptr;
    bool protoShownTo5_ = false;
    PropertyMap props_;
    std::vector<Watcher> watchers_;
    std::vector<Object*> interfaces_;
    std::unique_ptr<NativeState> native_;
};

} // namespace avm1
