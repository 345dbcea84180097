#pragma once
// The ActionScript 3 machine: loads ABC blocks, runs their scripts and methods, and keeps
// the language's objects and classes. No Qt, no display tree; output and the clock go
// through avm2::Host.
//
//   avm2::Machine vm(host);
//   vm.beginFrame();
//   vm.loadAbc(bytes, /*lazy=*/false);       // a DoABC tag: its last script runs
//   vm.constructDocument("Main");             // SymbolClass id 0

#include "avm2/Host.h"
#include "avm2/Runtime.h"
#include "scriptbudget/NativeStack.h"
#include "scriptbudget/ScriptBudget.h"

#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace avm2 {

struct Limits {
    std::size_t maxDepth = 256;        // nested calls
    std::size_t maxObjects = 4u << 20; // live objects in the heap
    // Native stack the nested calls may use.
    std::size_t maxStackBytes = scriptbudget::defaultScriptStackBytes();
    scriptbudget::BudgetLimits budget;
};

class Machine {
  public:
    explicit Machine(Host& host, Limits limits = {});
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // --- What the player calls -----------------------------------------------------------
    void beginFrame();
    // Loads a DoABC block; unless `lazy`, runs its last script (the entry point). Errors
    // end up as uncaught script errors, printed as Flash prints them.
    void loadAbc(std::span<const std::uint8_t> bytes, bool lazy);
    // A DoABC tag of a frame: the block loads now, its entry point (unless `lazy`) waits for
    // runEntryPoints, as a frame's blocks start once its SymbolClass tags bound their classes.
    void loadFrameAbc(std::span<const std::uint8_t> bytes, bool lazy);
    // Runs the entry points loadFrameAbc kept, in the order their blocks came.
    void runEntryPoints();
    // Makes an instance of the class with that qualified name ("pkg.Main" or "Main").
    void constructDocument(const std::string& qualifiedName);
    // A SymbolClass name: the script defining it runs (once) so the class exists.
    void defineSymbolClass(const std::string& qualifiedName);
    // The class a SymbolClass tag names ("pkg.Name"), as the movie whose code loaded into
    // `domain` sees it (its script run first); null when none, errors reported.
    Class* symbolClassIn(std::uint32_t domain, const std::string& qualifiedName);
    // Runs the frame script the document registered for `frame` (from 0), if any.
    void runFrameScript(std::uint32_t frame);
    Object* document() const { return document_; }

    // --- What the interpreter and the built-ins use --------------------------------------
    Host& host() { return host_; }
    Object* newObject();
    Object* newArray(std::vector<Value> elements = {});
    Object* newFunction(MethodRef method, ScopePtr scope, Class* owner = nullptr);
    Object* newNative(NativeFn fn, std::string_view name = {});
    Object* instantiate(Class* cls);
    // Sets an array's length, filling new slots with `fill`; a length the memory budget
    // cannot hold abandons the script.
    void resizeElements(Object* array, std::size_t length, const Value& fill = Value::hole());
    // Abandons the script when holding `moreBytes` more would pass the memory budget.
    void checkMemory(std::size_t moreBytes);
    // Whether holding `moreBytes` more stays within the memory budget.
    bool memoryAllows(std::size_t moreBytes) const;
    Object* makeError(std::string_view className, int code, const std::string& message);
    [[noreturn]] void throwError(std::string_view className, int code, const std::string& message);
    // The same thrown from a player method Flash writes in ActionScript ("flash.utils::Timer/
    // set delay"): the stack trace shows it, called by Error.throwError, above the scripts.
    // Without `viaThrowError` the method throws natively: only its own frame shows.
    [[noreturn]] void throwErrorIn(std::string_view method, std::string_view className, int code,
                                   const std::string& message, bool viaThrowError = true);

    // A method of a player class read off an object comes bound to it, as a method closure;
    // a call made at once (`bindMethods` false) needs no closure.
    Value getProperty(const Value& target, const Name& name, bool bindMethods = true);
    void setProperty(const Value& target, const Name& name, const Value& value, bool init = false);
    bool deleteProperty(const Value& target, const Name& name);
    bool hasProperty(const Value& target, const Name& name);
    Value callProperty(const Value& target, const Name& name, Args& args);
    Value call(const Value& function, const Value& thisValue, Args& args);
    Value construct(const Value& constructor, Args& args);
    void constructSuper(Class* cls, const Value& self, Args& args);
    Value getSuper(const Value& self, Class* from, const Name& name);
    void setSuper(const Value& self, Class* from, const Name& name, const Value& v);
    Value callSuper(const Value& self, Class* from, const Name& name, Args& args);
    // Finds the object on the scope chain (then the globals) that has `name`.
    Value findProperty(const std::vector<ScopeChain>& local, const ScopePtr& outer,
                       const Name& name, bool strict);
    // A script-level definition as the running code sees it: in its own application domain.
    Value findDefinition(const Name& name);

    // --- Application domains -------------------------------------------------------------
    // The system domain holds the player's own definitions; the first movie's is its child;
    // a loaded movie's is a child of its loader's unless the loader named another. A name
    // resolves parent first: a child cannot redefine what a parent defines.
    static constexpr std::uint32_t kSystemDomain = 0;
    static constexpr std::uint32_t kMovieDomain = 1;
    std::uint32_t newDomain(std::uint32_t parent);
    // The parent of `domain`; none for the system domain (or an unknown one).
    std::optional<std::uint32_t> parentDomain(std::uint32_t domain) const;
    // The domain of the code running now: its block's, or the one a DomainScope chose while
    // no method of its own runs; the first movie's outside any.
    std::uint32_t currentDomain() const;
    Value findDefinitionIn(std::uint32_t domain, const Name& name);
    // The public definitions `domain` holds itself (its parents' not), "pkg::Name", in the
    // order their blocks came.
    std::vector<std::string> domainDefinitionNames(std::uint32_t domain) const;
    // The ByteArray the memory instructions (li8, si32...) of `domain`'s code use; null
    // while the domain has its own zeroed 1024 bytes.
    Value domainMemory(std::uint32_t domain) const;
    void setDomainMemory(std::uint32_t domain, const Value& byteArray);
    // Chooses the domain blocks load into and names resolve in, while it lives and no method
    // called meanwhile runs.
    class DomainScope {
      public:
        DomainScope(Machine& m, std::uint32_t domain);
        ~DomainScope();
        DomainScope(const DomainScope&) = delete;
        DomainScope& operator=(const DomainScope&) = delete;

      private:
        Machine& m_;
        std::uint32_t savedDomain_;
        std::size_t savedDepth_;
    };

    // --- Movies a Loader brought --------------------------------------------------------
    // The blocks added while it lives came with the movie the Loader at display node
    // `loader` loaded: an error their code lets escape belongs to that movie.
    class LoadingFor {
      public:
        LoadingFor(Machine& m, std::uint64_t loader) : m_(m), saved_(m.loadingFor_) {
            m.loadingFor_ = loader;
        }
        ~LoadingFor() { m_.loadingFor_ = saved_; }
        LoadingFor(const LoadingFor&) = delete;
        LoadingFor& operator=(const LoadingFor&) = delete;

      private:
        Machine& m_;
        std::uint64_t saved_;
    };
    // The Loader (display node) whose movie's code the error being reported last escaped
    // from, 0 for the first movie's; asking forgets it.
    std::uint64_t takeEscapedLoader() { return std::exchange(escapedLoader_, 0); }

    std::string toString(const Value& v);
    double toNumber(const Value& v);
    static bool toBoolean(const Value& v);
    Value toPrimitive(const Value& v, bool preferString);
    Object* toObject(const Value& v);
    std::string typeOf(const Value& v);
    bool strictEquals(const Value& a, const Value& b);
    bool looseEquals(const Value& a, const Value& b);
    // a < b: true, false, or undefined (NaN involved) as the third state.
    int lessThan(const Value& a, const Value& b);
    Value add(const Value& a, const Value& b);
    Class* classOf(const Value& v);
    bool isType(const Value& v, Class* cls);
    // Interfaces named before they are defined are settled when they appear, or when a
    // type test needs them.
    void resolveInterfaces(Class* cls);
    // As resolveInterfaces, but first runs the scripts that define the interfaces still to
    // come: a class's description lists them whether or not code has reached them yet.
    void settleInterfaces(Class* cls);
    Value coerce(const Value& v, Class* cls);
    std::string className(const Value& v);

    // Classes: built-ins by qualified name, and classes scripts define.
    Class* findClass(const std::string& qualifiedName);
    // Every class known by name, built-in or defined, sorted by qualified name.
    std::vector<std::string> classNames() const;
    Class* defineClass(const std::string& package, const std::string& name, Class* super,
                       NativeFn construct = nullptr);
    void defineMethod(Class* cls, const std::string& name, NativeFn fn, bool isStatic = false);
    // Gives a prototype method defined above its declared parameters: `required` of
    // `params`, the rest optional; called with fewer, or more without a rest list, it
    // throws #1063.
    void declareParams(Class* cls, const std::string& name, std::uint8_t required,
                       std::uint8_t params, bool rest = false);
    void defineGetter(Class* cls, const std::string& name, NativeFn fn, bool isStatic = false);
    void defineSetter(Class* cls, const std::string& name, NativeFn fn, bool isStatic = false);
    void defineGlobal(const std::string& package, const std::string& name, const Value& v);
    // A read-only static of a built-in class.
    void defineStaticConst(Class* cls, const std::string& name, const Value& v);
    Class* newClassFromAbc(AbcUnit& unit, std::uint32_t index, Class* super, const ScopePtr& scope);
    Class* resolveType(AbcUnit& unit, std::uint32_t multiname);
    // Vector.<T>: the class for that element type, made on first use.
    Value applyType(const Value& generic, const Args& params);

    Name nameOf(AbcUnit& unit, std::uint32_t multiname);
    Value defaultValue(AbcUnit& unit, std::uint8_t kind, std::uint32_t index);
    std::string methodName(AbcUnit& unit, std::uint32_t method);

    // Runs a compiled method; `owner` is the class it belongs to (super calls and names).
    Value runMethod(AbcUnit& unit, std::uint32_t method, const Value& self, Args& args,
                    const ScopePtr& scope, Class* owner, Object* callee);
    void checkBudget();
    Object* globalObject() { return builtinGlobal_; }
    std::size_t depth() const { return depth_; }
    Object* scriptGlobal(AbcUnit& unit, std::size_t script);
    void printUncaught(const Value& error);
    // "\n\tat Class/method()" for every compiled method running, innermost first.
    std::string stackTrace();
    std::string errorText(const Value& error);

    Class* objectClass = nullptr;
    Class* functionClass = nullptr;
    Class* classClass = nullptr;
    Class* arrayClass = nullptr;
    Class* stringClass = nullptr;
    Class* numberClass = nullptr;
    Class* intClass = nullptr;
    Class* uintClass = nullptr;
    Class* booleanClass = nullptr;
    Class* errorClass = nullptr;
    Class* namespaceClass = nullptr;
    Class* qnameClass = nullptr;
    Class* activationClass = nullptr;
    Class* vectorClass = nullptr;
    // flash.net.registerClassAlias: the class each AMF alias names.
    std::unordered_map<std::string, Class*> classAliases;
    // Events the player sends once the running scripts are done (the replies of connections
    // and streams): target and event, in the order they were queued.
    std::vector<std::pair<Object*, Object*>> queuedEvents;
    // Display objects listening for enterFrame and each other broadcast event, by event
    // type, in the order they first registered for that type.
    std::unordered_map<std::string, std::vector<Object*>> broadcastTargets;
    // flash.utils.Timer objects running, in the order they started.
    std::vector<Object*> runningTimers;
    // While a timer's callback runs, the time it was due (NaN outside callbacks): a timer
    // started from inside counts its delay from there, not from the late tick, so chains of
    // timers keep their spacing however coarse the ticks are.
    double timerCallbackDue = std::numeric_limits<double>::quiet_NaN();
    // The XML settings and default xml namespace (XmlNodes.h: XmlState), made on first use.
    std::shared_ptr<void> xmlData;

  private:
    friend class Interpreter;
    Object* allocate();
    Value classByQualifiedName(const std::string& qualifiedName);
    void ensureScript(AbcUnit& unit, std::size_t script);
    const Binding* findTrait(const Value& target, const Name& name, Object** holder);
    Value readBinding(const Value& target, Object* holder, const Binding& b, Class* owner);
    void installBuiltins();
    // Gives Flash's own functions (Math's, Date's, the global ones...) the length their
    // declarations report.
    void declareBuiltinLengths();
    void declarePlayerParameters();
    std::shared_ptr<PreparedCode> prepared(AbcUnit& unit, std::uint32_t method);
    void initSlots(Object* o, Traits& traits, AbcUnit* unit);
    void setVectorElement(Object* vector, std::uint32_t index, const Value& value);
    void bindInterfaceMethods(Class* cls);
    void noteInterfaces(Class* cls);
    static bool reachesInterface(const Class* from, const Class* target);
    static bool hasPendingInterfaces(const Class* cls);

    Host& host_;
    Limits limits_;
    scriptbudget::FrameBudget budget_;
    std::deque<std::unique_ptr<Object>> heap_;
    std::deque<std::unique_ptr<Class>> classes_;
    std::deque<std::unique_ptr<AbcUnit>> units_;
    // Loaded blocks whose entry point waits for runEntryPoints.
    std::vector<AbcUnit*> pendingEntries_;
    // Reads and binds a block; null when it is damaged (reported as Flash reports it).
    AbcUnit* addUnit(std::span<const std::uint8_t> bytes);
    void runEntryPoint(AbcUnit& unit);
    std::unordered_map<std::string, Class*> classByName_;
    // Classes one of whose interfaces (or their bases') was not defined when they were made.
    std::vector<Class*> awaitingInterfaces_;
    Object* builtinGlobal_ = nullptr;
    Traits builtinTraits_;
    // Script-level definitions of every loaded block: name -> (unit, script).
    struct Definition {
        Namespace ns;
        AbcUnit* unit = nullptr;
        std::size_t script = 0;
    };
    struct Domain {
        std::uint32_t parent = kSystemDomain;
        std::unordered_map<std::string, std::vector<Definition>> definitions;
        // The classes its blocks made, by qualified name: the first of a name stays.
        std::unordered_map<std::string, Class*> classes;
        std::vector<AbcUnit*> units;
        Value memory; // a ByteArray, or undefined for the domain's own bytes
        std::vector<std::uint8_t> ownMemory;
    };
    std::deque<Domain> domains_;
    // DomainScope's choice, and the call depth it holds for.
    std::uint32_t chosenDomain_ = kMovieDomain;
    std::size_t chosenDepth_ = 0;
    // The domains from the system's down to `domain`: the order names resolve in.
    std::vector<std::uint32_t> domainChain(std::uint32_t domain) const;
    // The same, held in `chain` when it has to be made.
    std::span<const std::uint32_t> resolutionPath(std::uint32_t domain,
                                                  std::vector<std::uint32_t>& chain) const;
    Class* domainClass(std::uint32_t domain, const std::string& qualifiedName) const;
    // The bytes the memory instructions of `unit`'s code read and write.
    std::vector<std::uint8_t>& memoryOf(const AbcUnit& unit);
    // A memory instruction of `unit`'s code on the operand stack (its operands checked there).
    void memoryInstruction(const AbcUnit& unit, std::uint8_t op, std::vector<Value>& stack);
    // Throws Error #1023 when one more nested call would pass the depth or stack bound;
    // the outermost call marks where the scripts' stack starts.
    void checkCallDepth();
    std::size_t depth_ = 0;
    scriptbudget::NativeStack nativeStack_;
    std::vector<std::pair<AbcUnit*, std::uint32_t>> callStack_;
    std::uint64_t loadingFor_ = 0;
    std::uint64_t escapedLoader_ = 0;
    std::uint64_t instructions_ = 0;
    bool aborted_ = false;
    Object* document_ = nullptr;
};

} // namespace avm2
