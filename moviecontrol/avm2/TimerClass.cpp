// flash.utils.Timer: a dispatcher the player ticks (runTimers) with its clock; each due
// timer sends `timer`, and `timerComplete` once its repeat count is reached.
#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/Timers.h"

#include <algorithm>
#include <cmath>

namespace avm2 {

namespace {

// Every number a timer keeps starts at 0.
Value field(const Object* o, const char* name) {
    return hiddenField(o, name, Value::number(0));
}

double numberField(const Object* o, const char* name) {
    return field(o, name).asNumber();
}

// Sets the machine's callback due time for one callback and restores the outer one after.
class CallbackClock {
  public:
    CallbackClock(Machine& m, double due) : m_(m), saved_(m.timerCallbackDue) {
        m.timerCallbackDue = due;
    }
    ~CallbackClock() { m_.timerCallbackDue = saved_; }
    CallbackClock(const CallbackClock&) = delete;
    CallbackClock& operator=(const CallbackClock&) = delete;

  private:
    Machine& m_;
    double saved_;
};

double startTime(Machine& m) {
    return std::isnan(m.timerCallbackDue) ? m.host().clockMs() : m.timerCallbackDue;
}

Object* timerSelf(Machine& m, const Value& self) {
    if (!self.isObject()) {
        m.throwError("TypeError", 1009,
                     "Cannot access a property or method of a null object reference.");
    }
    return self.asObject();
}

// `method` names the caller in the error's stack trace.
double checkedDelay(Machine& m, const Value& v, std::string_view method) {
    const double delay = m.toNumber(v);
    if (!(delay >= 0) || !std::isfinite(delay)) {
        m.throwErrorIn(method, "RangeError", 2066, "The Timer delay specified is out of range.");
    }
    return delay;
}

Value timerInit(Machine& m, const Value& self, Args& a) {
    Object* o = timerSelf(m, self);
    setHiddenField(
        o, "delay",
        Value::number(checkedDelay(m, a.empty() ? Value() : a[0], "flash.utils::Timer")));
    setHiddenField(o, "repeatCount", Value::integer(a.size() > 1 ? toInt32(m.toNumber(a[1])) : 0));
    setHiddenField(o, "currentCount", Value::integer(0));
    o->flag = false;
    return Value();
}

void stopTimer(Machine& m, Object* o) {
    o->flag = false;
    std::erase(m.runningTimers, o);
}

Value timerStart(Machine& m, const Value& self, Args&) {
    Object* o = timerSelf(m, self);
    if (!o->flag) {
        o->flag = true;
        setHiddenField(o, "due", Value::number(startTime(m) + numberField(o, "delay")));
        m.runningTimers.push_back(o);
    }
    return Value();
}

Value timerStop(Machine& m, const Value& self, Args&) {
    stopTimer(m, timerSelf(m, self));
    return Value();
}

Value timerReset(Machine& m, const Value& self, Args&) {
    Object* o = timerSelf(m, self);
    stopTimer(m, o);
    setHiddenField(o, "currentCount", Value::integer(0));
    return Value();
}

Value timerDelay(Machine& m, const Value& self, Args&) {
    return Value::number(numberField(timerSelf(m, self), "delay"));
}

Value timerSetDelay(Machine& m, const Value& self, Args& a) {
    Object* o = timerSelf(m, self);
    const double delay =
        checkedDelay(m, a.empty() ? Value() : a[0], "flash.utils::Timer/set delay");
    setHiddenField(o, "delay", Value::number(delay));
    if (o->flag) {
        setHiddenField(o, "due", Value::number(m.host().clockMs() + delay));
    }
    return Value();
}

Value timerRepeatCount(Machine& m, const Value& self, Args&) {
    return field(timerSelf(m, self), "repeatCount");
}

Value timerSetRepeatCount(Machine& m, const Value& self, Args& a) {
    Object* o = timerSelf(m, self);
    const std::int32_t count = toInt32(m.toNumber(a.empty() ? Value() : a[0]));
    setHiddenField(o, "repeatCount", Value::integer(count));
    if (o->flag && count > 0 && numberField(o, "currentCount") >= count) {
        stopTimer(m, o);
    }
    return Value();
}

Value timerCurrentCount(Machine& m, const Value& self, Args&) {
    return field(timerSelf(m, self), "currentCount");
}

Value timerRunning(Machine& m, const Value& self, Args&) {
    return Value::boolean(timerSelf(m, self)->flag);
}

// setTimeout and setInterval: a plain object on the running list holding the function,
// its arguments (elements) and its id; `flag` running, "interval" for repeating ones.
std::int32_t nextCallId = 0;

template <bool Repeat> Value setCall(Machine& m, const Value&, Args& a) {
    // The closure is typed Function: null (or undefined) passes and only fails when the call
    // comes due; anything else that is no function is refused at once.
    const bool nullish = a.empty() || a[0].isNullish();
    if (!nullish && (!a[0].isObject() || a[0].asObject()->kind != Object::Kind::Function)) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " +
                         m.errorText(a.empty() ? Value() : a[0]) + " to Function.");
    }
    const double delay = a.size() > 1 ? std::max(m.toNumber(a[1]), 0.0) : 0.0;
    Object* call = m.newObject();
    call->elements.assign(a.begin() + std::min<std::size_t>(a.size(), 2), a.end());
    setHiddenField(call, "callback", nullish ? Value::null() : a[0]);
    setHiddenField(call, "delay", Value::number(std::isfinite(delay) ? delay : 0.0));
    setHiddenField(call, "due", Value::number(startTime(m) + numberField(call, "delay")));
    setHiddenField(call, "interval", Value::boolean(Repeat));
    setHiddenField(call, "id", Value::integer(++nextCallId));
    call->flag = true;
    m.runningTimers.push_back(call);
    return Value::integer(nextCallId);
}

Value clearCall(Machine& m, const Value&, Args& a) {
    const std::int32_t id = a.empty() ? 0 : toInt32(m.toNumber(a[0]));
    const std::vector<Object*> running = m.runningTimers;
    for (Object* o : running) {
        if (o->cls == m.objectClass && field(o, "id").isInt() && field(o, "id").asInt() == id) {
            stopTimer(m, o);
        }
    }
    return Value();
}

void runCall(Machine& m, Object* call) {
    const Value callback = field(call, "callback");
    if (!Machine::toBoolean(field(call, "interval"))) {
        stopTimer(m, call);
    }
    Args args = call->elements;
    try {
        if (callback.isNullish()) {
            m.throwError("TypeError", 1009,
                         "Cannot access a property or method of a null object reference.");
        }
        m.call(callback, Value::null(), args);
    } catch (const ScriptThrow& t) {
        m.printUncaught(t.value);
    }
}

} // namespace

// A setInterval without an id a script could name: clearInterval never reaches it.
Object* startTicker(Machine& m, NativeFn tick, Object* target, double delayMs) {
    Object* call = m.newObject();
    call->elements.push_back(Value::object(target));
    setHiddenField(call, "callback", Value::object(m.newNative(tick)));
    setHiddenField(call, "delay", Value::number(delayMs));
    setHiddenField(call, "due", Value::number(startTime(m) + delayMs));
    setHiddenField(call, "interval", Value::boolean(true));
    setHiddenField(call, "id", Value::null());
    call->flag = true;
    m.runningTimers.push_back(call);
    return call;
}

void stopTicker(Machine& m, Object* ticker) {
    if (ticker != nullptr) {
        stopTimer(m, ticker);
    }
}

void runTimers(Machine& m, double nowMs) {
    static const std::string kTimerEvent = "flash.events::TimerEvent";
    const std::vector<Object*> running = m.runningTimers;
    for (Object* o : running) {
        if (!o->flag || numberField(o, "due") > nowMs) {
            continue;
        }
        const double delay = numberField(o, "delay");
        const CallbackClock clock(m, numberField(o, "due"));
        // At most once a frame: a timer faster than the frames fires with each frame.
        setHiddenField(o, "due", Value::number(std::max(numberField(o, "due") + delay, nowMs)));
        if (o->cls == m.objectClass) {
            runCall(m, o);
            continue;
        }
        const std::int32_t count = toInt32(numberField(o, "currentCount")) + 1;
        setHiddenField(o, "currentCount", Value::integer(count));
        // Both of a timer's events are TimerEvents, which its listeners may require.
        dispatchSimple(m, o, "timer", false, kTimerEvent);
        const double repeat = numberField(o, "repeatCount");
        if (o->flag && repeat > 0 && count >= repeat) {
            stopTimer(m, o);
            dispatchSimple(m, o, "timerComplete", false, kTimerEvent);
        }
    }
}

void installTimer(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* timer = m.defineClass("flash.utils", "Timer", dispatcher, timerInit);
    timer->sealed = true;
    m.defineMethod(timer, "start", timerStart);
    m.defineMethod(timer, "stop", timerStop);
    m.defineMethod(timer, "reset", timerReset);
    m.defineGetter(timer, "delay", timerDelay);
    m.defineSetter(timer, "delay", timerSetDelay);
    m.defineGetter(timer, "repeatCount", timerRepeatCount);
    m.defineSetter(timer, "repeatCount", timerSetRepeatCount);
    m.defineGetter(timer, "currentCount", timerCurrentCount);
    m.defineGetter(timer, "running", timerRunning);
    m.defineGlobal("flash.utils", "setTimeout",
                   Value::object(m.newNative(setCall<false>, "setTimeout")));
    m.defineGlobal("flash.utils", "setInterval",
                   Value::object(m.newNative(setCall<true>, "setInterval")));
    m.defineGlobal("flash.utils", "clearTimeout",
                   Value::object(m.newNative(clearCall, "clearTimeout")));
    m.defineGlobal("flash.utils", "clearInterval",
                   Value::object(m.newNative(clearCall, "clearInterval")));
}

} // namespace avm2
