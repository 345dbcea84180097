// Date: a time value in ms (NaN when invalid) with its getters and setters in local time
// and UTC, as methods and as properties, its text forms, Date.parse and Date.UTC.
#include "avm2/DateMath.h"
#include "avm2/Machine.h"
#include "avm2/StringPositions.h"

#include <array>
#include <chrono>
#include <cmath>
#include <limits>
#include <string>

namespace avm2 {

namespace dm = datemath;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double now() {
    return static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::system_clock::now().time_since_epoch())
                                   .count());
}

Object* dateSelf(Machine& m, const Value& self) {
    if (!self.isObject() || self.asObject()->kind != Object::Kind::Date) {
        m.throwError("TypeError", 1034, "Type Coercion failed: cannot convert to Date.");
    }
    return self.asObject();
}

// Year, month, date, hours, minutes, seconds, milliseconds, and (read only) the weekday.
using Fields = std::array<double, 8>;

Fields fieldsOf(double t) {
    return {dm::yearFromTime(t), dm::monthFromTime(t), dm::dateFromTime(t), dm::hourFromTime(t),
            dm::minFromTime(t),  dm::secFromTime(t),   dm::msFromTime(t),   dm::weekDay(t)};
}

double timeOf(const Fields& f) {
    return dm::makeDate(dm::makeDay(f[0], f[1], f[2]), dm::makeTime(f[3], f[4], f[5], f[6]));
}

// Years 0 to 99 given to the constructor and Date.UTC are 1900 to 1999.
double fullYear(double y) {
    return std::isfinite(y) && std::trunc(y) >= 0 && std::trunc(y) <= 99 ? 1900 + std::trunc(y) : y;
}

double fromFieldArgs(Machine& m, const Args& a) {
    Fields f = {0, 0, 1, 0, 0, 0, 0, 0};
    for (std::size_t i = 0; i < a.size() && i < 7; ++i) {
        f[i] = m.toNumber(a[i]);
    }
    f[0] = fullYear(f[0]);
    return timeOf(f);
}

Value dateInit(Machine& m, const Value& self, Args& a) {
    Object* o = dateSelf(m, self);
    if (a.empty()) {
        o->number = dm::timeClip(now());
    } else if (a.size() == 1) {
        Value v = a[0];
        if (v.isObject() && v.asObject()->kind == Object::Kind::Date) {
            o->number = v.asObject()->number;
            return Value();
        }
        // Only text given as it is is read as a date; an object counts by its number.
        o->number = v.isString() ? dm::parse(v.asString()) : dm::timeClip(m.toNumber(v));
    } else {
        o->number = dm::timeClip(dm::utcFromLocal(fromFieldArgs(m, a)));
    }
    return Value();
}

template <int Field, bool Utc> Value getField(Machine& m, const Value& self, Args&) {
    const double t = dateSelf(m, self)->number;
    if (std::isnan(t)) {
        return Value::number(kNaN);
    }
    return Value::number(fieldsOf(Utc ? t : dm::localTime(t))[Field]);
}

// setFullYear(y, month, date), setHours(h, min, sec, ms)...: the fields from `Field` on, as
// many as given (up to `Count`); the others keep their values.
template <int Field, int Count, bool Utc> Value setField(Machine& m, const Value& self, Args& a) {
    Object* o = dateSelf(m, self);
    // The setters pass on only the arguments given: with none, no field changes.
    if (a.empty()) {
        return Value::number(o->number);
    }
    double t = o->number;
    if (std::isnan(t)) {
        if (Field != 0) {
            return Value::number(kNaN);
        }
        t = 0; // a year given to an invalid date starts from the epoch
    }
    Fields f = fieldsOf(Utc || std::isnan(o->number) ? t : dm::localTime(t));
    const std::size_t given = std::min<std::size_t>(a.size(), Count);
    for (std::size_t i = 0; i < given; ++i) {
        f[Field + i] = m.toNumber(arg(a, i));
    }
    const double made = timeOf(f);
    o->number = dm::timeClip(Utc ? made : dm::utcFromLocal(made));
    return Value::number(o->number);
}

Value getTime(Machine& m, const Value& self, Args&) {
    return Value::number(dateSelf(m, self)->number);
}

Value setTime(Machine& m, const Value& self, Args& a) {
    Object* o = dateSelf(m, self);
    o->number = dm::timeClip(m.toNumber(arg(a, 0)));
    return Value::number(o->number);
}

Value timezoneOffset(Machine& m, const Value& self, Args&) {
    // An invalid date has no offset either (ECMA-262 15.9.5.26).
    const double t = dateSelf(m, self)->number;
    return Value::number(std::isnan(t) ? t : -dm::localOffset(t) / 60000);
}

template <std::string (*Form)(double)> Value dateText(Machine& m, const Value& self, Args&) {
    return Value::string(Form(dateSelf(m, self)->number));
}

Value dateParse(Machine& m, const Value&, Args& a) {
    return Value::number(dm::parse(m.toString(arg(a, 0))));
}

Value dateUtc(Machine& m, const Value&, Args& a) {
    // year and month are required parameters.
    if (a.size() < 2) {
        m.throwError("ArgumentError", 1063,
                     "Argument count mismatch on Date$/UTC(). Expected 2, got " +
                         std::to_string(a.size()) + ".");
    }
    return Value::number(dm::timeClip(fromFieldArgs(m, a)));
}

} // namespace

void installDate(Machine& m) {
    Class* c = m.defineClass("", "Date", m.objectClass, dateInit);
    c->native = Class::Native::Date;
    // Date() called as a function is the current time as text.
    c->call = [](Machine&, const Value&, Args&) { return Value::string(dm::toFullString(now())); };
    m.defineMethod(c, "getTime", getTime);
    m.defineMethod(c, "valueOf", getTime);
    m.defineMethod(c, "setTime", setTime);
    m.defineGetter(c, "time", getTime);
    m.defineSetter(c, "time", setTime);
    m.defineMethod(c, "getTimezoneOffset", timezoneOffset);
    m.defineGetter(c, "timezoneOffset", timezoneOffset);

    m.defineMethod(c, "getFullYear", getField<0, false>);
    m.defineMethod(c, "getMonth", getField<1, false>);
    m.defineMethod(c, "getDate", getField<2, false>);
    m.defineMethod(c, "getHours", getField<3, false>);
    m.defineMethod(c, "getMinutes", getField<4, false>);
    m.defineMethod(c, "getSeconds", getField<5, false>);
    m.defineMethod(c, "getMilliseconds", getField<6, false>);
    m.defineMethod(c, "getDay", getField<7, false>);
    m.defineMethod(c, "getUTCFullYear", getField<0, true>);
    m.defineMethod(c, "getUTCMonth", getField<1, true>);
    m.defineMethod(c, "getUTCDate", getField<2, true>);
    m.defineMethod(c, "getUTCHours", getField<3, true>);
    m.defineMethod(c, "getUTCMinutes", getField<4, true>);
    m.defineMethod(c, "getUTCSeconds", getField<5, true>);
    m.defineMethod(c, "getUTCMilliseconds", getField<6, true>);
    m.defineMethod(c, "getUTCDay", getField<7, true>);

    m.defineMethod(c, "setFullYear", setField<0, 3, false>);
    m.defineMethod(c, "setMonth", setField<1, 2, false>);
    m.defineMethod(c, "setDate", setField<2, 1, false>);
    m.defineMethod(c, "setHours", setField<3, 4, false>);
    m.defineMethod(c, "setMinutes", setField<4, 3, false>);
    m.defineMethod(c, "setSeconds", setField<5, 2, false>);
    m.defineMethod(c, "setMilliseconds", setField<6, 1, false>);
    m.defineMethod(c, "setUTCFullYear", setField<0, 3, true>);
    m.defineMethod(c, "setUTCMonth", setField<1, 2, true>);
    m.defineMethod(c, "setUTCDate", setField<2, 1, true>);
    m.defineMethod(c, "setUTCHours", setField<3, 4, true>);
    m.defineMethod(c, "setUTCMinutes", setField<4, 3, true>);
    m.defineMethod(c, "setUTCSeconds", setField<5, 2, true>);
    m.defineMethod(c, "setUTCMilliseconds", setField<6, 1, true>);

    // The same fields as properties: reading gets, writing sets that one field.
    m.defineGetter(c, "fullYear", getField<0, false>);
    m.defineGetter(c, "month", getField<1, false>);
    m.defineGetter(c, "date", getField<2, false>);
    m.defineGetter(c, "hours", getField<3, false>);
    m.defineGetter(c, "minutes", getField<4, false>);
    m.defineGetter(c, "seconds", getField<5, false>);
    m.defineGetter(c, "milliseconds", getField<6, false>);
    m.defineGetter(c, "day", getField<7, false>);
    m.defineGetter(c, "fullYearUTC", getField<0, true>);
    m.defineGetter(c, "monthUTC", getField<1, true>);
    m.defineGetter(c, "dateUTC", getField<2, true>);
    m.defineGetter(c, "hoursUTC", getField<3, true>);
    m.defineGetter(c, "minutesUTC", getField<4, true>);
    m.defineGetter(c, "secondsUTC", getField<5, true>);
    m.defineGetter(c, "millisecondsUTC", getField<6, true>);
    m.defineGetter(c, "dayUTC", getField<7, true>);
    m.defineSetter(c, "fullYear", setField<0, 1, false>);
    m.defineSetter(c, "month", setField<1, 1, false>);
    m.defineSetter(c, "date", setField<2, 1, false>);
    m.defineSetter(c, "hours", setField<3, 1, false>);
    m.defineSetter(c, "minutes", setField<4, 1, false>);
    m.defineSetter(c, "seconds", setField<5, 1, false>);
    m.defineSetter(c, "milliseconds", setField<6, 1, false>);
    m.defineSetter(c, "fullYearUTC", setField<0, 1, true>);
    m.defineSetter(c, "monthUTC", setField<1, 1, true>);
    m.defineSetter(c, "dateUTC", setField<2, 1, true>);
    m.defineSetter(c, "hoursUTC", setField<3, 1, true>);
    m.defineSetter(c, "minutesUTC", setField<4, 1, true>);
    m.defineSetter(c, "secondsUTC", setField<5, 1, true>);
    m.defineSetter(c, "millisecondsUTC", setField<6, 1, true>);

    m.defineMethod(c, "toString", dateText<dm::toFullString>);
    // JSON writes a date as its text.
    m.defineMethod(c, "toJSON", dateText<dm::toFullString>);
    m.defineMethod(c, "toDateString", dateText<dm::toDateString>);
    m.defineMethod(c, "toTimeString", dateText<dm::toTimeString>);
    m.defineMethod(c, "toUTCString", dateText<dm::toUtcString>);
    m.defineMethod(c, "toLocaleString", dateText<dm::toLocaleString>);
    m.defineMethod(c, "toLocaleDateString", dateText<dm::toDateString>);
    m.defineMethod(c, "toLocaleTimeString", dateText<dm::toLocaleTimeString>);
    m.defineMethod(c, "parse", dateParse, true);
    m.defineMethod(c, "UTC", dateUtc, true);
}

} // namespace avm2
