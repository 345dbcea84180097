// Date: milliseconds since 1970 UTC; local time from the host's time zone.
//
// Flash reads a Date method's arguments as numbers up to the first undefined one, which
// ends the list as if nothing followed. Field arithmetic floors each field and reads the
// year and month through a saturating 32-bit conversion, so a year of NaN or an infinity
// lands at the far end of that range instead of failing; only the setters clip their
// result to the time range.

#include "avm1/Convert.h"
#include "avm1/Interpreter.h"
#include "avm1/State.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <span>

namespace avm1 {

namespace {

constexpr double MsPerDay = 86400000.0;
constexpr double TimeLimit = 8.64e15;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

class DateObject : public Object {
  public:
    DateObject(Object* proto, double time) : Object(proto), time(time) {}
    std::string_view className() const override { return "Date"; }
    bool primitiveValue(Value& out) const override {
        out = Value(time);
        return true;
    }
    double time;
};

// Up to seven numeric arguments, ending at the first undefined one.
struct Numbers {
    std::array<double, 7> v{};
    std::size_t count = 0;
};

Numbers numbers(Machine& m, std::span<const Value> args) {
    Numbers out;
    for (const Value& a : args) {
        if (a.isUndefined() || out.count == out.v.size()) {
            break;
        }
        out.v[out.count++] = m.toNumber(a);
    }
    return out;
}

// Out-of-range values and NaN all become the lowest 32-bit integer.
double saturate(double n) {
    return n >= -2147483648.0 && n <= 2147483647.0 ? std::trunc(n) : -2147483648.0;
}

// A time value as setters store it: within 100,000,000 days of 1970, else no time at all.
double timeClip(double t) {
    if (!std::isfinite(t) || std::fabs(t) > TimeLimit) {
        return NaN;
    }
    return std::trunc(t) + 0.0;
}

// Times whose calendar fields can be read.
bool readable(double t) {
    return std::isfinite(t) && std::fabs(t) <= TimeLimit;
}

double euclid(double a, double b) {
    double r = std::fmod(a, b);
    return r < 0 ? r + b : r;
}

double dayFromYear(double y) {
    return 365 * (y - 1970) + std::floor((y - 1969) / 4) - std::floor((y - 1901) / 100) +
           std::floor((y - 1601) / 400);
}
bool leap(double y) {
    return std::fmod(y, 4) == 0 && (std::fmod(y, 100) != 0 || std::fmod(y, 400) == 0);
}
constexpr std::array<int, 13> MonthStart = {0,   31,  59,  90,  120, 151, 181,
                                            212, 243, 273, 304, 334, 365};
double monthStart(double year, int month) {
    return MonthStart[static_cast<std::size_t>(month)] + (month >= 2 && leap(year) ? 1 : 0);
}

// Calendar fields of a time value.
struct Fields {
    double year, month, date, hours, minutes, seconds, ms, weekday;
};

// A double to a 32-bit integer as Flash converts it: cut toward zero, and anything out of
// range (NaN too) gives the lowest value.
std::int64_t toInt32Low(double n) {
    return static_cast<std::int64_t>(saturate(n));
}
// A sum of 32-bit integers wraps around as Flash's does.
std::int64_t wrap32(std::int64_t n) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(n)));
}
// The remainder of `n / by` in [0, by), through the 32-bit conversion.
double remainderIn(double n, double by) {
    const std::int64_t r = toInt32Low(std::fmod(n, by));
    return static_cast<double>(r < 0 ? r + static_cast<std::int64_t>(by) : r);
}

// Calendar fields of any finite time value, as Flash computes them: the year by a search
// over 32-bit years and the day within it as a 32-bit integer, so a time far past the
// range a Date can be set to still reads, with fields saturated at the 32-bit ends.
Fields fieldsOf(double t) {
    const double day = std::floor(t / MsPerDay);
    const auto fromYear = [](std::int64_t y) {
        return MsPerDay * dayFromYear(static_cast<double>(y));
    };
    const bool before = t < 0;
    std::int64_t low = wrap32(toInt32Low(std::floor(day / (before ? 365 : 366))) + 1970);
    std::int64_t high = wrap32(toInt32Low(std::ceil(day / (before ? 366 : 365))) + 1970);
    std::int64_t year = low;
    while (low < high) {
        const std::int64_t pivot = toInt32Low((static_cast<double>(low) + high) / 2);
        if (fromYear(pivot) <= t) {
            if (fromYear(wrap32(pivot + 1)) > t) {
                low = pivot;
                break;
            }
            low = wrap32(pivot + 1);
        } else {
            high = wrap32(pivot - 1);
        }
    }
    year = low;
    const std::int64_t inYear = toInt32Low(day - dayFromYear(static_cast<double>(year)));
    const bool leapYear = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    int month = 0;
    while (month < 11 &&
           static_cast<double>(inYear) >=
               MonthStart[static_cast<std::size_t>(month) + 1] + (leapYear && month >= 1 ? 1 : 0)) {
        ++month;
    }
    const double start =
        MonthStart[static_cast<std::size_t>(month)] + (leapYear && month >= 2 ? 1 : 0);
    return {static_cast<double>(year),
            static_cast<double>(month),
            static_cast<double>(wrap32(inYear - static_cast<std::int64_t>(start) + 1)),
            remainderIn(std::floor((t + 0.5) / 3600000), 24),
            remainderIn(std::floor(t / 60000), 60),
            remainderIn(std::floor(t / 1000), 60),
            remainderIn(t, 1000),
            remainderIn(day + 4, 7)};
}

double makeDay(double year, double month, double date) {
    year = std::floor(year);
    month = std::floor(month);
    year += std::floor(month / 12);
    month = euclid(month, 12);
    double y = saturate(year), mo = saturate(month);
    if (!(mo >= 0 && mo < 12)) {
        return NaN;
    }
    return dayFromYear(y) + monthStart(y, static_cast<int>(mo)) + std::floor(date) - 1;
}

double makeTime(double h, double mi, double s, double ms) {
    return std::floor(h) * 3600000 + std::floor(mi) * 60000 + std::floor(s) * 1000 + std::floor(ms);
}

// Through SWF 7 the time of day of a date before 1970 counts back from midnight, as C's
// remainder does; later versions count forward.
double timeWithinDay(Machine& m, double t) {
    return m.version() > 7 ? euclid(t, MsPerDay) : std::fmod(t, MsPerDay);
}

double offsetMs(Machine& m, double utc) {
    // Past the settable range the zone has no rules to ask: those times are read as UTC.
    if (!readable(utc)) {
        return 0;
    }
    return m.host().localOffsetMinutes(utc) * 60000.0;
}
double toLocal(Machine& m, double utc) {
    return utc + offsetMs(m, utc);
}
double toUtc(Machine& m, double local) {
    return local - offsetMs(m, local - offsetMs(m, local));
}

DateObject* thisDate(CallArgs& c) {
    return dynamic_cast<DateObject*>(c.thisObject());
}

std::string dateText(Machine& m, double t) {
    if (!std::isfinite(t)) {
        return "Invalid Date";
    }
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    Fields f = fieldsOf(toLocal(m, t));
    double offset = std::round(offsetMs(m, t) / 60000);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %.0f",
                  days[static_cast<int>(f.weekday)], months[static_cast<int>(f.month)],
                  static_cast<int>(f.date), static_cast<int>(f.hours), static_cast<int>(f.minutes),
                  static_cast<int>(f.seconds), offset < 0 ? '-' : '+',
                  static_cast<int>(std::fabs(offset)) / 60,
                  static_cast<int>(std::fabs(offset)) % 60, f.year);
    return buf;
}

// The time of `year, month[, date, hours, minutes, seconds, ms]`: years below 100 count
// from 1900, negative ones included.
double fromFields(const Numbers& n) {
    double year = n.v[0];
    if (year < 100) {
        year += 1900;
    }
    auto field = [&](std::size_t i, double fallback) { return i < n.count ? n.v[i] : fallback; };
    return makeDay(year, n.v[1], field(2, 1)) * MsPerDay +
           makeTime(field(3, 0), field(4, 0), field(5, 0), field(6, 0));
}

// Method indexes within the setters: full year, month, date, hours, minutes, seconds, ms.
enum Setter { SetFullYear, SetMonth, SetDate, SetHours, SetMinutes, SetSeconds, SetMs, SetYear };

double setFields(Machine& m, DateObject& d, Setter which, bool utc, const Numbers& n) {
    const int first = which == SetYear ? SetFullYear : which;
    // The first field is NaN when missing; later ones keep the date's own.
    auto arg = [&](int field) -> std::optional<double> {
        if (field < first) {
            return std::nullopt;
        }
        auto i = static_cast<std::size_t>(field - first);
        if (i < n.count) {
            return n.v[i];
        }
        return field == first ? std::optional<double>(NaN) : std::nullopt;
    };
    // An invalid date stays invalid whatever is set, a year included.
    double base = d.time;
    if (!std::isfinite(base)) {
        d.time = NaN;
        return NaN;
    }
    double t = utc ? base : toLocal(m, base);
    Fields f = std::isfinite(t) ? fieldsOf(t) : Fields{NaN, NaN, NaN, NaN, NaN, NaN, NaN, NaN};
    double result;
    if (first <= SetDate) {
        double year = f.year;
        if (auto y = arg(SetFullYear)) {
            year = *y;
            if (which == SetYear && year >= 0 && year <= 99) {
                year += 1900;
            }
        }
        double month = arg(SetMonth).value_or(f.month);
        if (which == SetMonth && std::isnan(month)) {
            month = 0;
        }
        double date = arg(SetDate).value_or(f.date);
        result = makeDay(year, month, date) * MsPerDay + timeWithinDay(m, t);
    } else {
        double minutes = arg(SetMinutes).value_or(f.minutes);
        double seconds = arg(SetSeconds).value_or(f.seconds);
        double ms = arg(SetMs).value_or(f.ms);
        if (which == SetMinutes) {
            minutes = saturate(minutes);
            seconds = saturate(seconds);
            ms = saturate(ms);
        }
        result = std::floor(t / MsPerDay) * MsPerDay +
                 makeTime(arg(SetHours).value_or(f.hours), minutes, seconds, ms);
    }
    d.time = timeClip(utc ? result : toUtc(m, result));
    return d.time;
}

} // namespace

void installDate(Machine& m) {
    auto& s = m.state();
    FunctionObject* date = m.newClass([](CallArgs& c) -> Value {
        Machine& m = c.machine;
        return Value(Str(dateText(m, m.host().wallClockMs())));
    });
    date->constructor = [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* p = m.get(c.callee, "prototype").asObject();
        Numbers n = numbers(m, c.args);
        double t;
        if (n.count == 0) {
            t = m.host().wallClockMs();
            if (m.version() > 7) {
                t = std::round(t);
            }
        } else if (n.count == 1) {
            t = n.v[0]; // kept as given, fractions and infinities too
        } else {
            t = toUtc(m, fromFields(n));
        }
        return Value(static_cast<Object*>(m.make<DateObject>(p, t)));
    };
    s.dateProto = constructorPrototype(m, date);
    Object* proto = s.dateProto;
    m.define(m.global(), "Date", Value(static_cast<Object*>(date)));
    m.defineMethod(date, "UTC", [](CallArgs& c) -> Value {
        Numbers n = numbers(c.machine, c.args);
        return n.count < 2 ? Value() : Value(fromFields(n));
    });

    auto getter = [&](std::string_view name, bool utc, double Fields::*field, double shift) {
        m.defineMethod(proto, name, [utc, field, shift](CallArgs& c) -> Value {
            // On anything but a Date (an object merely inheriting from one) there is
            // nothing to read.
            DateObject* d = thisDate(c);
            if (!d) {
                return {};
            }
            double t = utc ? d->time : toLocal(c.machine, d->time);
            if (!std::isfinite(d->time) || !std::isfinite(t)) {
                return Value(NaN);
            }
            return Value(fieldsOf(t).*field + shift);
        });
    };
    const struct {
        const char* name;
        double Fields::*field;
        double shift;
    } getters[] = {{"FullYear", &Fields::year, 0},   {"Year", &Fields::year, -1900},
                   {"Month", &Fields::month, 0},     {"Date", &Fields::date, 0},
                   {"Day", &Fields::weekday, 0},     {"Hours", &Fields::hours, 0},
                   {"Minutes", &Fields::minutes, 0}, {"Seconds", &Fields::seconds, 0},
                   {"Milliseconds", &Fields::ms, 0}};
    for (const auto& g : getters) {
        getter(std::string("get") + g.name, false, g.field, g.shift);
        getter(std::string("getUTC") + g.name, true, g.field, g.shift);
    }
    auto timeValue = [](CallArgs& c) -> Value {
        DateObject* d = thisDate(c);
        return d ? Value(d->time) : Value();
    };
    m.defineMethod(proto, "getTime", timeValue);
    m.defineMethod(proto, "valueOf", timeValue);
    m.defineMethod(proto, "getTimezoneOffset", [](CallArgs& c) -> Value {
        DateObject* d = thisDate(c);
        if (!d) {
            return {};
        }
        if (!std::isfinite(d->time)) {
            return Value(NaN);
        }
        return Value(-offsetMs(c.machine, d->time) / 60000);
    });
    m.defineMethod(proto, "setTime", [](CallArgs& c) -> Value {
        DateObject* d = thisDate(c);
        if (!d) {
            return {};
        }
        Numbers n = numbers(c.machine, c.args);
        // A time given whole is rounded down to its millisecond, before as after 1970.
        d->time = timeClip(n.count > 0 ? std::floor(n.v[0]) : NaN);
        return Value(d->time);
    });
    m.defineMethod(proto, "toString", [](CallArgs& c) -> Value {
        // As every Date method, it answers nothing for what is no date (Date.prototype
        // too): an object that inherits it then prints as "[type Object]".
        DateObject* d = thisDate(c);
        if (!d) {
            return {};
        }
        return Value(Str(dateText(c.machine, d->time)));
    });

    auto setter = [&](std::string_view name, Setter which, bool utc) {
        m.defineMethod(proto, name, [which, utc](CallArgs& c) -> Value {
            DateObject* d = thisDate(c);
            if (!d) {
                return {};
            }
            return Value(setFields(c.machine, *d, which, utc, numbers(c.machine, c.args)));
        });
    };
    const std::pair<const char*, Setter> setters[] = {
        {"FullYear", SetFullYear}, {"Month", SetMonth},     {"Date", SetDate},
        {"Hours", SetHours},       {"Minutes", SetMinutes}, {"Seconds", SetSeconds},
        {"Milliseconds", SetMs}};
    for (const auto& [name, which] : setters) {
        setter(std::string("set") + name, which, false);
        setter(std::string("setUTC") + name, which, true);
    }
    setter("setYear", SetYear, false);
}

} // namespace avm1
