// flash.display.Loader and LoaderInfo. The info of the movie itself answers from the
// player's view of it; a Loader's info is empty until a load finished. A Loader reads a
// file beside the movie (load) or takes bytes (loadBytes); the player makes them content
// under the loader once the scripts running now are done, and the info hears open,
// progress, init and complete, as Flash sends them for a file it has whole, or ioError.
#include "avm2/LoaderClasses.h"

#include "avm2/BitmapDataValues.h"
#include "avm2/ByteArrayData.h"
#include "avm2/DisplayClasses.h"
#include "avm2/DomainObjects.h"
#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/LoadHost.h"
#include "avm2/LoadSteps.h"
#include "avm2/LoaderHost.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/UriCoding.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace avm2 {

namespace {

// What a finished load keeps in the info.
constexpr char kContent[] = "content";
constexpr char kLoaded[] = "loaded";
constexpr char kUrl[] = "url";
constexpr char kBytes[] = "bytes";
constexpr char kPending[] = "load.bytes";
constexpr char kRequested[] = "load.url";
constexpr char kWidth[] = "width";
constexpr char kHeight[] = "height";
constexpr char kFrameRate[] = "frameRate";
constexpr char kSwfVersion[] = "swfVersion";
constexpr char kScriptVersion[] = "actionScriptVersion";
constexpr char kContentType[] = "contentType";
constexpr char kSharedEvents[] = "sharedEvents";
constexpr char kUncaughtErrors[] = "uncaughtErrorEvents";
// The application domain the loaded movie's code goes into, chosen when the load starts.
constexpr char kDomain[] = "load.domain";
// Loads a Loader's content may start in turn: a movie that loads itself stops here.
constexpr double kMaxLoadsPerLoader = 1e6;

DisplayHost* hostOf(Machine& m) {
    return m.host().display();
}

NodeId nodeOf(const Value& v) {
    return v.isObject() ? v.asObject()->displayNode : 0;
}

void set(Machine& m, Object* o, const char* name, const Value& v) {
    m.setProperty(Value::object(o), Name::publicName(name), v);
}

// A Loader's info: it knows its loader.
bool ofLoader(const Value& self) {
    return hiddenField(self, kInfoLoader, Value()).isObject();
}

// A Loader's info before a load finished.
bool notLoaded(const Value& self) {
    return ofLoader(self) && !hiddenField(self, kLoaded, Value()).isBoolean();
}

void requireLoaded(Machine& m, const Value& self) {
    if (notLoaded(self)) {
        m.throwError("Error", 2099,
                     "The loading object is not sufficiently loaded to provide this information.");
    }
}

Value loaderBytes(Machine& m, const Value& self, Args&) {
    if (ofLoader(self)) {
        return hiddenField(self, kLoaded, Value()).isBoolean()
                   ? hiddenField(self, kBytes, Value::number(0))
                   : Value::number(0);
    }
    DisplayHost* h = hostOf(m);
    return Value::number(h != nullptr ? h->movieBytes() : 0);
}

Value loaderContent(Machine& m, const Value& self, Args&) {
    if (ofLoader(self)) {
        const Value content = hiddenField(self, kContent, Value::null());
        return content.isObject() ? content : Value::null();
    }
    DisplayHost* h = hostOf(m);
    Object* root = h != nullptr ? scriptObjectOf(m, h->rootNode()) : nullptr;
    return root != nullptr ? Value::object(root) : Value::null();
}

// A query string's part as text: %XX escapes as UTF-8 where they are, else one unit each.
std::string queryText(std::string_view s) {
    const std::u16string units = unicode::toUtf16(s);
    std::u16string out;
    if (decodeUri(units, UriSet::Component, out)) {
        return unicode::fromUtf16(out);
    }
    return unicode::fromUtf16(unescapeText(units));
}

// The name/value pairs of the query string of `url` ("a.swf?x=1&y=2"), each a property of
// `into`; a name given again keeps its last value.
void readQuery(Object* into, std::string_view url) {
    const std::size_t question = url.find('?');
    if (question == std::string_view::npos) {
        return;
    }
    std::string_view query = url.substr(question + 1);
    query = query.substr(0, query.find('#'));
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        const std::size_t eq = pair.find('=');
        const std::string name = queryText(pair.substr(0, eq));
        if (!name.empty()) {
            into->setProp(name, Value::string(eq == std::string_view::npos
                                                  ? std::string()
                                                  : queryText(pair.substr(eq + 1))));
        }
    }
}

// The movie's parameters: a loaded movie's are the query string of the address it was
// loaded from.
Value loaderParameters(Machine& m, const Value& self, Args&) {
    Value kept = hiddenField(self, "parameters", Value());
    if (!kept.isObject()) {
        kept = Value::object(m.newObject());
        const Value url = hiddenField(self, kUrl, Value::null());
        if (ofLoader(self) && url.isString()) {
            readQuery(kept.asObject(), url.asString());
        }
        setHiddenField(self, "parameters", kept);
    }
    return kept;
}

template <const char* Key> Value loaderNumber(Machine& m, const Value& self, Args&) {
    requireLoaded(m, self);
    if (ofLoader(self)) {
        return hiddenField(self, Key, Value::integer(0));
    }
    DisplayHost* h = hostOf(m);
    if (Key == kScriptVersion) {
        return Value::unsignedInt(3);
    }
    if (h == nullptr) {
        return Value::integer(0);
    }
    if (Key == kFrameRate) {
        return Value::number(h->frameRate());
    }
    if (Key == kWidth) {
        return Value::integer(static_cast<std::int32_t>(h->stageWidth()));
    }
    if (Key == kHeight) {
        return Value::integer(static_cast<std::int32_t>(h->stageHeight()));
    }
    return Value::integer(h->movieVersion());
}

// Everything loads from beside the movie, or from its own bytes: each side allows the other.
Value loaderTrust(Machine& m, const Value& self, Args&) {
    requireLoaded(m, self);
    return Value::boolean(true);
}

Value loaderUrl(Machine& m, const Value& self, Args&) {
    if (ofLoader(self)) {
        const Value url = hiddenField(self, kUrl, Value::null());
        return url.isString() ? url : Value::null();
    }
    return Value::string(m.host().movieUrl());
}

Value loaderContentType(Machine&, const Value& self, Args&) {
    if (ofLoader(self)) {
        const Value type = hiddenField(self, kContentType, Value::null());
        return type.isString() ? type : Value::null();
    }
    if (hiddenField(self, kInfoOfStage, Value()).isBoolean()) {
        return Value::null();
    }
    return Value::string("application/x-shockwave-flash");
}

// The loaded file's bytes; null while none arrived.
Value loaderFileBytes(Machine&, const Value& self, Args&) {
    const Value bytes = hiddenField(self, kPending, Value::null());
    return bytes.isObject() ? bytes : Value::null();
}

// The events shared with the loaded movie: made with the first question.
Value loaderSharedEvents(Machine& m, const Value& self, Args&) {
    Value kept = hiddenField(self, kSharedEvents, Value());
    if (!kept.isObject()) {
        kept = Value::object(m.instantiate(m.findClass("flash.events::EventDispatcher")));
        setHiddenField(self, kSharedEvents, kept);
    }
    return kept;
}

// Where a movie's uncaught errors are announced: one dispatcher for each info, made with the first
// question, so that listeners added early hear later errors.
Value uncaughtErrorEvents(Machine& m, const Value& self, Args&) {
    Value kept = hiddenField(self, kUncaughtErrors, Value());
    if (!kept.isObject()) {
        kept = Value::object(m.instantiate(m.findClass("flash.events::UncaughtErrorEvents")));
        setHiddenField(self, kUncaughtErrors, kept);
    }
    return kept;
}

// While the event is out, the errors its listeners throw are reported as they are, not
// announced again.
constexpr char kAnnouncing[] = "announcing";

struct Announcing {
    explicit Announcing(const Value& events) : events_(events) {
        setHiddenField(events_, kAnnouncing, Value::boolean(true));
    }
    ~Announcing() { setHiddenField(events_, kAnnouncing, Value::boolean(false)); }
    Announcing(const Announcing&) = delete;
    Announcing& operator=(const Announcing&) = delete;

  private:
    Value events_;
};

// The domain of the movie's code: the first movie's, or the one a Loader's movie went into
// (none before it arrived).
Value loaderDomain(Machine& m, const Value& self, Args&) {
    if (!ofLoader(self)) {
        return domainObject(m, Machine::kMovieDomain);
    }
    const std::optional<std::uint32_t> domain =
        hiddenField(self, kLoaded, Value()).isBoolean()
            ? domainOfObject(hiddenField(self, kDomain, Value()))
            : std::nullopt;
    return domain ? domainObject(m, *domain) : Value::null();
}

void installLoaderInfo(Machine& m, Class* dispatcher) {
    m.defineClass("flash.events", "UncaughtErrorEvents", dispatcher)->sealed = true;
    Class* loaderInfo = m.defineClass("flash.display", "LoaderInfo", dispatcher);
    loaderInfo->sealed = true;
    m.defineGetter(loaderInfo, "bytesLoaded", loaderBytes);
    m.defineGetter(loaderInfo, "bytesTotal", loaderBytes);
    m.defineGetter(loaderInfo, "content", loaderContent);
    m.defineGetter(loaderInfo, "parameters", loaderParameters);
    m.defineGetter(loaderInfo, "frameRate", loaderNumber<kFrameRate>);
    m.defineGetter(loaderInfo, "width", loaderNumber<kWidth>);
    m.defineGetter(loaderInfo, "height", loaderNumber<kHeight>);
    m.defineGetter(loaderInfo, "swfVersion", loaderNumber<kSwfVersion>);
    m.defineGetter(loaderInfo, "actionScriptVersion", loaderNumber<kScriptVersion>);
    m.defineGetter(loaderInfo, "childAllowsParent", loaderTrust);
    m.defineGetter(loaderInfo, "parentAllowsChild", loaderTrust);
    m.defineGetter(loaderInfo, "sameDomain", loaderTrust);
    m.defineGetter(loaderInfo, "contentType", loaderContentType);
    m.defineGetter(loaderInfo, "url", loaderUrl);
    m.defineGetter(loaderInfo, "bytes", loaderFileBytes);
    m.defineGetter(loaderInfo, "loaderURL", [](Machine& mm, const Value&, Args&) {
        return Value::string(mm.host().movieUrl());
    });
    m.defineGetter(loaderInfo, "isURLInaccessible",
                   [](Machine&, const Value&, Args&) { return Value::boolean(false); });
    m.defineGetter(loaderInfo, "loader", [](Machine&, const Value& self, Args&) {
        const Value loader = hiddenField(self, kInfoLoader, Value::null());
        return loader.isObject() ? loader : Value::null();
    });
    m.defineGetter(loaderInfo, "sharedEvents", loaderSharedEvents);
    m.defineGetter(loaderInfo, "uncaughtErrorEvents", uncaughtErrorEvents);
    m.defineGetter(loaderInfo, "applicationDomain", loaderDomain);
}

// --- Loading -------------------------------------------------------------------------------

// A Loader's info, made with the loader's first question: it knows its loader from the start.
Object* infoOf(Machine& m, const Value& loader) {
    Value info = hiddenField(loader, kContentInfo, Value::null());
    if (!info.isObject()) {
        info = Value::object(m.instantiate(m.findClass("flash.display::LoaderInfo")));
        setHiddenField(info, kInfoLoader, loader);
        setHiddenField(loader, kContentInfo, info);
    }
    return info.asObject();
}

Object* loaderOfInfo(Object* info) {
    const Value loader = hiddenField(info, kInfoLoader, Value::null());
    return loader.isObject() ? loader.asObject() : nullptr;
}

void sendIoError(Machine& m, Object* info, int code, const std::string& text) {
    Object* event = newEvent(m, "ioError", false, false, "flash.events::IOErrorEvent");
    set(m, event, "text", Value::string(text));
    set(m, event, "errorID", Value::integer(code));
    // Nobody listening: the player shows the error to a debugger alone.
    dispatchEvent(m, info, event);
}

Value stepOpen(Machine& m, const Value& s, Args&) {
    Object* info = s.isObject() ? s.asObject() : nullptr;
    if (info != nullptr && stepIsCurrent(info)) {
        // The address is known from the moment the file opens.
        setHiddenField(info, kUrl, hiddenField(info, kRequested, Value::null()));
        dispatchEvent(m, info, newEvent(m, "open"));
    }
    return Value();
}

Value stepMissing(Machine& m, const Value& s, Args&) {
    Object* info = s.isObject() ? s.asObject() : nullptr;
    if (info == nullptr || !stepIsCurrent(info)) {
        return Value();
    }
    const Value url = hiddenField(info, kRequested, Value::string(""));
    sendIoError(m, info, 2035,
                "Error #2035: URL Not Found. URL: " +
                    resolvedUrl(m, url.isString() ? url.asString() : std::string()));
    return Value();
}

// The content a Loader shows: a movie's root (its document class made now, then the
// children its first frame placed), an older movie as an AVM1Movie, a picture as a Bitmap.
Value contentObject(Machine& m, const LoadedContent& loaded, NodeId loaderNode) {
    DisplayHost* h = hostOf(m);
    if (loaded.kind == LoadedContent::Kind::Picture) {
        if (!loaded.picture || h == nullptr) {
            return Value::null();
        }
        Args args{bitmaps::makeBitmapData(m, *loaded.picture)};
        Value bitmap =
            m.construct(Value::object(m.findClass("flash.display::Bitmap")->classObject), args);
        if (nodeOf(bitmap) != 0) {
            h->insertChild(loaderNode, nodeOf(bitmap), 0);
        }
        return bitmap;
    }
    if (loaded.kind == LoadedContent::Kind::OlderMovie) {
        Object* movie = m.instantiate(m.findClass("flash.display::AVM1Movie"));
        movie->displayNode = loaded.node;
        if (h != nullptr) {
            h->bindScriptObject(loaded.node, movie);
        }
        return Value::object(movie);
    }
    Object* root = scriptObjectOf(m, loaded.node);
    if (root == nullptr) {
        return Value::null();
    }
    constructChildren(m, loaded.node);
    return Value::object(root);
}

Value stepArrived(Machine& m, const Value& s, Args&) {
    Object* info = s.isObject() ? s.asObject() : nullptr;
    if (info == nullptr || !stepIsCurrent(info)) {
        return Value();
    }
    Object* loader = loaderOfInfo(info);
    const Value pending = hiddenField(info, kPending, Value::null());
    const ByteArrayData* arrived = byteArrayData(pending);
    if (loader == nullptr || arrived == nullptr) {
        return Value();
    }
    // The bytes are all there before the content is made of them.
    const double total = static_cast<double>(arrived->data.size());
    setHiddenField(info, kBytes, Value::number(total));
    Object* progress = newEvent(m, "progress", false, false, "flash.events::ProgressEvent");
    set(m, progress, "bytesLoaded", Value::number(total));
    set(m, progress, "bytesTotal", Value::number(total));
    dispatchEvent(m, info, progress);
    // A listener that started another load or unloaded leaves other bytes, or none.
    const Value still = hiddenField(info, kPending, Value::null());
    ByteArrayData* data = byteArrayData(still);
    if (data == nullptr || still.asObject() != pending.asObject()) {
        return Value();
    }
    auto* places = dynamic_cast<LoaderHost*>(&m.host());
    const Value url = hiddenField(info, kRequested, Value::string(""));
    // The movie's blocks load into the domain the load chose, and its names resolve there.
    const Machine::DomainScope inside(
        m, domainOfObject(hiddenField(info, kDomain, Value())).value_or(Machine::kMovieDomain));
    // Its blocks are the loaded movie's: the errors their code lets escape are announced there.
    const Machine::LoadingFor loading(m, loader->displayNode);
    std::optional<LoadedContent> loaded;
    if (places != nullptr && loader->displayNode != 0) {
        loaded = places->placeContent(loader->displayNode, data->data,
                                      url.isString() ? url.asString() : std::string());
    }
    if (!loaded) {
        sendIoError(m, info, 2124, "Error #2124: Loaded file is an unknown type.");
        return Value();
    }
    setHiddenField(info, kWidth, Value::integer(static_cast<std::int32_t>(loaded->width)));
    setHiddenField(info, kHeight, Value::integer(static_cast<std::int32_t>(loaded->height)));
    setHiddenField(info, kFrameRate, Value::number(loaded->frameRate));
    setHiddenField(info, kSwfVersion, Value::integer(loaded->swfVersion));
    const bool movie = loaded->kind != LoadedContent::Kind::Picture;
    setHiddenField(info, kScriptVersion,
                   Value::unsignedInt(loaded->kind == LoadedContent::Kind::Movie ? 3 : 2));
    setHiddenField(info, kContentType,
                   Value::string(!loaded->contentType.empty() ? loaded->contentType
                                 : movie                      ? "application/x-shockwave-flash"
                                                              : "image/jpeg"));
    // The content exists from here: its scripts find their loader's info loaded.
    setHiddenField(info, kLoaded, Value::boolean(true));
    const Value content = contentObject(m, *loaded, loader->displayNode);
    setHiddenField(info, kContent, content);
    if (content.isObject()) {
        sendAddedEvents(m, content.asObject());
    }
    dispatchEvent(m, info, newEvent(m, "init"));
    dispatchEvent(m, info, newEvent(m, "complete"));
    return Value();
}

// Takes away what the loader shows; the info hears `unload` when there was content.
void removeContent(Machine& m, Object* info) {
    const Value content = hiddenField(info, kContent, Value::null());
    const bool had = hiddenField(info, kLoaded, Value()).isBoolean();
    setHiddenField(info, kContent, Value::null());
    setHiddenField(info, kLoaded, Value());
    setHiddenField(info, kPending, Value::null());
    setHiddenField(info, kBytes, Value::number(0));
    setHiddenField(info, kUrl, Value::null());
    setHiddenField(info, "parameters", Value());
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(content) != 0) {
        h->detach(nodeOf(content));
        if (auto* places = dynamic_cast<LoaderHost*>(&m.host())) {
            places->releaseContent(nodeOf(content));
        }
    }
    if (had) {
        dispatchEvent(m, info, newEvent(m, "unload"));
    }
}

// The domain a load's movie goes into: the context's, else a new child of the domain of the
// code that loads.
Value loadingDomain(Machine& m, const Value& context) {
    if (context.isObject()) {
        Value given = m.getProperty(context, Name::publicName("applicationDomain"));
        if (domainOfObject(given)) {
            return given;
        }
    }
    return domainObject(m, m.newDomain(m.currentDomain()));
}

void startLoading(Machine& m, Object* info, Object* bytes, const std::string& url,
                  const Value& domain) {
    const double loads = hiddenField(info, "load.count", Value::number(0)).asNumber();
    if (loads >= kMaxLoadsPerLoader) {
        return;
    }
    setHiddenField(info, "load.count", Value::number(loads + 1));
    removeContent(m, info);
    beginLoad(info);
    setHiddenField(info, kRequested, Value::string(url));
    setHiddenField(info, kDomain, domain);
    if (bytes == nullptr) {
        queueLoadStep(m, info, stepMissing);
        return;
    }
    setHiddenField(info, kPending, Value::object(bytes));
    queueLoadStep(m, info, stepOpen);
    queueLoadStep(m, info, stepArrived);
}

Value loaderLoad(Machine& m, const Value& self, Args& a) {
    Object* info = infoOf(m, self);
    const Value request = arg(a, 0);
    if (request.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter request must be non-null.");
    }
    const Value address = m.getProperty(request, Name::publicName("url"));
    if (address.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter url must be non-null.");
    }
    const std::string url = m.toString(address);
    std::optional<std::vector<std::uint8_t>> read = readBesideMovie(m.host(), url);
    Object* bytes = nullptr;
    if (read) {
        m.checkMemory(read->size());
        bytes = newByteArray(m);
        byteArrayData(Value::object(bytes))->data = std::move(*read);
    }
    startLoading(m, info, bytes, resolvedUrl(m, url), loadingDomain(m, arg(a, 1)));
    return Value();
}

Value loaderLoadBytes(Machine& m, const Value& self, Args& a) {
    Object* info = infoOf(m, self);
    ByteArrayData* given = byteArrayData(arg(a, 0));
    if (given == nullptr) {
        m.throwError("TypeError", 2007, "Parameter bytes must be non-null.");
    }
    // The bytes as they are now: the script may change its array after the call.
    Object* bytes = newByteArray(m);
    m.checkMemory(given->data.size());
    byteArrayData(Value::object(bytes))->data = given->data;
    // Flash names content made from bytes after the movie that made it.
    startLoading(
        m, info, bytes,
        m.host().movieUrl() + "/[[DYNAMIC]]/" +
            std::to_string(static_cast<long long>(
                               hiddenField(info, "load.count", Value::number(0)).asNumber()) +
                           1),
        loadingDomain(m, arg(a, 1)));
    return Value();
}

Value loaderUnload(Machine& m, const Value& self, Args&) {
    Object* info = infoOf(m, self);
    cancelLoad(info);
    removeContent(m, info);
    return Value();
}

Value loaderClose(Machine& m, const Value& self, Args&) {
    // A load still under way stops; what arrived stays.
    cancelLoad(infoOf(m, self));
    return Value();
}

Value loaderRefuses(Machine& m, const Value&, Args&) {
    m.throwError("Error", 2069, "The Loader class does not implement this method.");
}

} // namespace

void installLoaderClasses(Machine& m, Class* dispatcher, Class* container, Class* display,
                          NativeFn displayInit) {
    installLoaderInfo(m, dispatcher);
    Class* avm1Movie = m.defineClass("flash.display", "AVM1Movie", display);
    avm1Movie->sealed = true;
    Class* loader = m.defineClass("flash.display", "Loader", container, displayInit);
    loader->sealed = true;
    m.defineGetter(loader, "contentLoaderInfo", [](Machine& mm, const Value& self, Args&) {
        return Value::object(infoOf(mm, self));
    });
    m.defineGetter(loader, "content", [](Machine& mm, const Value& self, Args&) {
        const Value content = hiddenField(infoOf(mm, self), kContent, Value::null());
        return content.isObject() ? content : Value::null();
    });
    // A Loader keeps a dispatcher of its own, beside its movie's info's: it hears the
    // movie's errors on their way down and up again.
    m.defineGetter(loader, "uncaughtErrorEvents", uncaughtErrorEvents);
    m.defineMethod(loader, "load", loaderLoad);
    m.defineMethod(loader, "loadBytes", loaderLoadBytes);
    m.defineMethod(loader, "unload", loaderUnload);
    m.defineMethod(loader, "unloadAndStop", loaderUnload);
    m.defineMethod(loader, "close", loaderClose);
    for (const char* name :
         {"addChild", "addChildAt", "removeChild", "removeChildAt", "setChildIndex"}) {
        m.defineMethod(loader, name, loaderRefuses);
    }
}

namespace {

// Ancestors climbed looking for the Loaders a movie sits under.
constexpr int kMaxLoaderClimb = 4096;

bool isLoader(Machine& m, Object* o) {
    Class* loader = m.findClass("flash.display::Loader");
    return o != nullptr && loader != nullptr && o->cls != nullptr && o->cls->isSubclassOf(loader);
}

// The Loaders from `loader` out: it, then each Loader its movie's content sits under.
std::vector<Object*> loaderChain(Machine& m, DisplayHost& h, NodeId loader) {
    std::vector<Object*> chain;
    NodeId node = loader;
    for (int i = 0; node != 0 && i < kMaxLoaderClimb; ++i, node = h.parentOf(node)) {
        if (Object* o = h.scriptObject(node); isLoader(m, o)) {
            chain.push_back(o);
        }
    }
    return chain;
}

// The dispatcher of uncaught errors `holder` (an info or a Loader) made, if a script asked.
Object* keptEvents(Object* holder) {
    const Value events = holder != nullptr ? hiddenField(holder, kUncaughtErrors) : Value();
    return events.isObject() ? events.asObject() : nullptr;
}

} // namespace

bool announceUncaught(Machine& m, const Value& error) {
    const NodeId escapedFrom = m.takeEscapedLoader();
    DisplayHost* h = hostOf(m);
    Class* eventClass = m.findClass("flash.events::UncaughtErrorEvent");
    Object* root = h != nullptr ? h->scriptObject(h->rootNode()) : nullptr;
    if (eventClass == nullptr || root == nullptr) {
        return false;
    }
    const Value rootInfo = hiddenField(root, "loaderInfo");
    // The movie the error escaped from hears it at its target; the Loaders above it and the
    // movies holding them hear it on the way down (capture) and up again (bubble), nearest
    // first: a Loader's dispatcher never at its target.
    Object* targetHolder = rootInfo.isObject() ? rootInfo.asObject() : nullptr;
    std::vector<Object*> holders;
    if (escapedFrom != 0) {
        const std::vector<Object*> loaders = loaderChain(m, *h, escapedFrom);
        if (!loaders.empty()) {
            targetHolder = infoOf(m, Value::object(loaders.front()));
            for (std::size_t i = 0; i < loaders.size(); ++i) {
                holders.push_back(loaders[i]);
                holders.push_back(i + 1 < loaders.size()
                                      ? infoOf(m, Value::object(loaders[i + 1]))
                                      : (rootInfo.isObject() ? rootInfo.asObject() : nullptr));
            }
        }
    }
    std::vector<Object*> path;
    bool heard = hasListener(keptEvents(targetHolder), "uncaughtError");
    for (Object* holder : holders) {
        if (Object* events = keptEvents(holder)) {
            path.push_back(events);
            heard = heard || hasListener(events, "uncaughtError");
        }
    }
    if (!heard || targetHolder == nullptr) {
        return false;
    }
    Args none;
    const Value target = uncaughtErrorEvents(m, Value::object(targetHolder), none);
    std::vector<Value> all{target};
    for (Object* events : path) {
        all.push_back(Value::object(events));
    }
    if (std::any_of(all.begin(), all.end(), [](const Value& events) {
            return hiddenField(events, kAnnouncing, Value::boolean(false)).asBoolean();
        })) {
        return false;
    }
    bool prevented = false;
    std::vector<std::unique_ptr<Announcing>> guards;
    guards.reserve(all.size());
    for (const Value& events : all) {
        guards.push_back(std::make_unique<Announcing>(events));
    }
    try {
        Args args{Value::string("uncaughtError"), Value::boolean(true), Value::boolean(true),
                  error};
        const Value event = m.construct(Value::object(eventClass->classObject), args);
        prevented =
            event.isObject() && !dispatchEventAlong(m, target.asObject(), event.asObject(), path);
    } catch (const ScriptThrow& t) {
        m.printUncaught(t.value);
    }
    return prevented;
}

} // namespace avm2
