#include "avm2/LoadSteps.h"

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

} // namespace avm2
