#include "avm2/LoadSteps.h"

#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/LoadHost.h"
#include "avm2/Machine.h"

namespace avm2 {

namespace {

constexpr char kGeneration[] = "load.generation";
constexpr char kQueued[] = "load.queued";

double generationOf(Object* o) {
    const Value g = hiddenField(o, kGeneration, Value::number(0));
    return g.isNumeric() ? g.asNumber() : 0;
}

} // namespace

std::optional<std::vector<std::uint8_t>> readBesideMovie(Host& host, std::string_view url) {
    auto* loads = dynamic_cast<LoadHost*>(&host);
    return loads != nullptr ? loads->readBesideMovie(url) : std::nullopt;
}

void queueCall(Machine& m, Object* target, NativeFn step) {
    // sendQueuedEvents calls a function queued in place of an event: no event is one.
    m.queuedEvents.emplace_back(target, m.newNative(step));
}

void beginLoad(Object* o) {
    setHiddenField(o, kGeneration, Value::number(generationOf(o) + 1));
}

void queueLoadStep(Machine& m, Object* o, NativeFn step) {
    // The steps of one object run in the order queued: a first-in first-out list of the
    // loads they belong to says which load the step running now was queued by.
    Value queued = hiddenField(o, kQueued);
    if (!queued.isObject()) {
        queued = Value::object(m.newArray());
        setHiddenField(o, kQueued, queued);
    }
    queued.asObject()->elements.push_back(Value::number(generationOf(o)));
    queueCall(m, o, step);
}

bool stepIsCurrent(Object* o) {
    const Value queued = hiddenField(o, kQueued);
    if (!queued.isObject() || queued.asObject()->elements.empty()) {
        return false;
    }
    auto& list = queued.asObject()->elements;
    const Value front = list.front();
    list.erase(list.begin());
    return front.isNumeric() && front.asNumber() == generationOf(o);
}

std::optional<std::vector<std::uint8_t>> readForLoad(Machine& m, Object* o, const std::string& url,
                                                     NativeFn failed) {
    beginLoad(o);
    std::optional<std::vector<std::uint8_t>> bytes = readBesideMovie(m.host(), url);
    if (!bytes) {
        queueLoadStep(m, o, failed);
        return std::nullopt;
    }
    m.checkMemory(bytes->size());
    return bytes;
}

Value sendOpenStep(Machine& m, const Value& self, Args&) {
    Object* o = self.isObject() ? self.asObject() : nullptr;
    if (o != nullptr && stepIsCurrent(o)) {
        dispatchEvent(m, o, newEvent(m, "open"));
    }
    return Value();
}

std::string resolvedUrl(Machine& m, const std::string& url) {
    if (url.find(':') != std::string::npos) {
        return url;
    }
    std::string base = m.host().movieUrl();
    if (base.empty()) {
        return url;
    }
    const std::size_t slash = base.find_last_of('/');
    base.erase(slash == std::string::npos ? 0 : slash + 1);
    return base + url;
}

std::string requestUrl(Machine& m, const Value& request) {
    if (request.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter request must be non-null.");
    }
    const Value url = m.getProperty(request, Name::publicName("url"));
    if (url.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter url must be non-null.");
    }
    return m.toString(url);
}

void sendProgress(Machine& m, Object* o, double loaded, double total) {
    Object* event = newEvent(m, "progress", false, false, "flash.events::ProgressEvent");
    m.setProperty(Value::object(event), Name::publicName("bytesLoaded"), Value::number(loaded));
    m.setProperty(Value::object(event), Name::publicName("bytesTotal"), Value::number(total));
    dispatchEvent(m, o, event);
}

void sendStreamError(Machine& m, Object* o, const std::string& url) {
    const std::string text = "Error #2032: Stream Error. URL: " + resolvedUrl(m, url);
    Object* event = newEvent(m, "ioError", false, false, "flash.events::IOErrorEvent");
    m.setProperty(Value::object(event), Name::publicName("text"), Value::string(text));
    m.setProperty(Value::object(event), Name::publicName("errorID"), Value::integer(2032));
    if (!hasListener(o, "ioError")) {
        m.throwError("Error", 2044, "Unhandled IOErrorEvent:. text=" + text);
    }
    dispatchEvent(m, o, event);
}

} // namespace avm2
