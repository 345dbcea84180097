// Date: milliseconds since 1970 UTC; local time from the host's time zone.

#include "avm1/Convert.h"
#include "avm1/Interpreter.h"
#include "avm1/State.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace avm1 {

namespace {

constexpr double MsPerDay = 86400000.0;
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

// A time value as Date keeps it: whole milliseconds within 100,000,000 days of 1970,
// anything else (NaN, the infinities, a time beyond) is no time at all.
double timeClip(double t) {
    if (!std::isfinite(t) || std::fabs(t) > 8.64e15) {
        return NaN;
    }
    return std::trunc(t) + 0.0;
}

double dayFromYear(double y) {
    return 365 * (y - 1970) + std::floor((y - 1969) / 4) - std::floor((y - 1901) / 100) +
           std::floor((y - 1601) / 400);
}
bool leap(double y) {
    return std::fmod(y, 4) == 0 && (std::fmod(y, 100) != 0 || std::fmod(y, 400) == 0);
}
double yearFromTime(double t) {
    double y = std::floor(t / (MsPerDay * 365.2425)) + 1970;
    while (dayFromYear(y) * MsPerDay > t) {
        --y;
    }
    while (dayFromYear(y + 1) * MsPerDay <= t) {
        ++y;
    }
    return y;
}
constexpr std::array<int, 12> MonthDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Year, month, date, hours, minutes, seconds, milliseconds of a time value.
std::array<double, 7> split(double t) {
    double year = yearFromTime(t);
    double dayInYear = std::floor(t / MsPerDay) - dayFromYear(year);
    int month = 0;
    for (; month < 11; ++month) {
        double length = MonthDays[static_cast<std::size_t>(month)] + (month == 1 && leap(year));
        if (dayInYear < length) {
            break;
        }
        dayInYear -= length;
    }
    double inDay = std::fmod(t, MsPerDay);
    if (inDay < 0) {
        inDay += MsPerDay;
    }
    return {year,
            static_cast<double>(month),
            dayInYear + 1,
            std::floor(inDay / 3600000),
            std::fmod(std::floor(inDay / 60000), 60),
            std::fmod(std::floor(inDay / 1000), 60),
            std::fmod(inDay, 1000)};
}

double compose(const std::array<double, 7>& f) {
    for (double v : f) {
        if (!std::isfinite(v)) {
            return NaN;
        }
    }
    double year = std::trunc(f[0]) + std::floor(std::trunc(f[1]) / 12);
    double month = std::fmod(std::trunc(f[1]), 12);
    if (month < 0) {
        month += 12;
    }
    if (std::fabs(year) > 400000) {
        return NaN;
    }
    double day = dayFromYear(year);
    for (int i = 0; i < month; ++i) {
        day += MonthDays[static_cast<std::size_t>(i)] + (i == 1 && leap(year));
    }
    day += std::trunc(f[2]) - 1;
    double time = std::trunc(f[3]) * 3600000 + std::trunc(f[4]) * 60000 + std::trunc(f[5]) * 1000 +
                  std::trunc(f[6]);
    return timeClip(day * MsPerDay + time);
}

double offsetMs(Machine& m, double utc) {
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
    if (std::isnan(timeClip(t))) {
        return "Invalid Date";
    }
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    double local = toLocal(m, t);
    auto f = split(local);
    double weekday = std::fmod(std::floor(local / MsPerDay) + 4, 7);
    if (weekday < 0) {
        weekday += 7;
    }
    double offset = std::round(offsetMs(m, t) / 60000);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %d",
                  days[static_cast<int>(weekday)], months[static_cast<int>(f[1])],
                  static_cast<int>(f[2]), static_cast<int>(f[3]), static_cast<int>(f[4]),
                  static_cast<int>(f[5]), offset < 0 ? '-' : '+',
                  static_cast<int>(std::fabs(offset)) / 60,
                  static_cast<int>(std::fabs(offset)) % 60, static_cast<int>(f[0]));
    return buf;
}

// The time of `year, month[, date, hours, minutes, seconds, ms]` arguments.
double fromFields(Machine& m, std::span<const Value> args) {
    std::array<double, 7> f = {0, 0, 1, 0, 0, 0, 0};
    for (std::size_t i = 0; i < args.size() && i < 7; ++i) {
        f[i] = m.toNumber(args[i]);
    }
    if (f[0] >= 0 && f[0] <= 99) {
        f[0] += 1900;
    }
    return compose(f);
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
        double t;
        if (c.count() == 0) {
            t = m.host().wallClockMs();
        } else if (c.count() == 1) {
            t = m.toNumber(c.arg(0));
        } else {
            double local = fromFields(m, c.args);
            t = std::isnan(local) ? local : toUtc(m, local);
        }
        return Value(static_cast<Object*>(m.make<DateObject>(p, timeClip(t))));
    };
    s.dateProto = constructorPrototype(m, date);
    Object* proto = s.dateProto;
    m.define(m.global(), "Date", Value(static_cast<Object*>(date)));
    m.defineMethod(date, "UTC",
                   [](CallArgs& c) -> Value { return Value(fromFields(c.machine, c.args)); });

    auto getter = [&](std::string_view name, bool utc, int field) {
        m.defineMethod(proto, name, [utc, field](CallArgs& c) -> Value {
            // On anything but a Date (an object merely inheriting from one) there is
            // nothing to read.
            DateObject* d = thisDate(c);
            if (!d) {
                return {};
            }
            if (std::isnan(d->time)) {
                return Value(NaN);
            }
            double t = utc ? d->time : toLocal(c.machine, d->time);
            if (field == 7) { // day of week
                double w = std::fmod(std::floor(t / MsPerDay) + 4, 7);
                return Value(w < 0 ? w + 7 : w);
            }
            return Value(split(t)[static_cast<std::size_t>(field)]);
        });
    };
    const char* names[] = {"FullYear", "Month",   "Date",         "Hours",
                           "Minutes",  "Seconds", "Milliseconds", "Day"};
    for (int i = 0; i < 8; ++i) {
        getter(std::string("get") + names[i], false, i);
        getter(std::string("getUTC") + names[i], true, i);
    }
    m.defineMethod(proto, "getYear", [](CallArgs& c) -> Value {
        DateObject* d = thisDate(c);
        if (!d) {
            return {};
        }
        if (std::isnan(d->time)) {
            return Value(NaN);
        }
        return Value(split(toLocal(c.machine, d->time))[0] - 1900);
    });
    auto timeValue = [](CallArgs& c) -> Value {
        DateObject* d = thisDate(c);
        return d ? Value(d->time) : Value();
    };
    m.defineMethod(proto, "getTime", timeValue);
    m.defineMethod(proto, "valueOf", timeValue);
    m.defineMethod(proto, "getTimezoneOffset", [](CallArgs& c) -> Value {
        DateObject* d = thisDate(c);
        if (!d || std::isnan(d->time)) {
            return Value(NaN);
        }
        return Value(-c.machine.host().localOffsetMinutes(d->time));
    });
    m.defineMethod(proto, "setTime", [](CallArgs& c) -> Value {
        DateObject* d = thisDate(c);
        if (!d) {
            return {};
        }
        d->time = timeClip(c.machine.toNumber(c.arg(0)));
        return Value(d->time);
    });
    m.defineMethod(proto, "toString", [](CallArgs& c) -> Value {
        DateObject* d = thisDate(c);
        if (!d) {
            return Value(c.machine.str("[object Object]"));
        }
        return Value(Str(dateText(c.machine, d->time)));
    });

    // Setters: replace fields from `first` on with the arguments, keep the others.
    auto setter = [&](std::string_view name, bool utc, int first, int most) {
        m.defineMethod(proto, name, [utc, first, most](CallArgs& c) -> Value {
            Machine& m = c.machine;
            DateObject* d = thisDate(c);
            if (!d) {
                return {};
            }
            double base = d->time;
            if (std::isnan(base)) {
                if (first != 0) {
                    return Value(NaN);
                }
                base = 0;
            }
            double t = utc ? base : toLocal(m, base);
            auto f = split(t);
            if (c.count() == 0) {
                d->time = NaN;
                return Value(NaN);
            }
            for (int i = 0; i < most && static_cast<std::size_t>(i) < c.count(); ++i) {
                f[static_cast<std::size_t>(first + i)] =
                    m.toNumber(c.arg(static_cast<std::size_t>(i)));
            }
            double composed = compose(f);
            d->time = utc || std::isnan(composed) ? composed : timeClip(toUtc(m, composed));
            return Value(d->time);
        });
    };
    const struct {
        const char* name;
        int first, most;
    } setters[] = {{"FullYear", 0, 3}, {"Month", 1, 2},   {"Date", 2, 1},        {"Hours", 3, 4},
                   {"Minutes", 4, 3},  {"Seconds", 5, 2}, {"Milliseconds", 6, 1}};
    for (const auto& st : setters) {
        setter(std::string("set") + st.name, false, st.first, st.most);
        setter(std::string("setUTC") + st.name, true, st.first, st.most);
    }
    m.defineMethod(proto, "setYear", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        DateObject* d = thisDate(c);
        if (!d) {
            return {};
        }
        double y = m.toNumber(c.arg(0));
        if (y >= 0 && y <= 99) {
            y += 1900;
        }
        auto f = split(toLocal(m, std::isnan(d->time) ? 0 : d->time));
        f[0] = y;
        double composed = compose(f);
        d->time = std::isnan(composed) ? composed : timeClip(toUtc(m, composed));
        return Value(d->time);
    });
}

} // namespace avm1
