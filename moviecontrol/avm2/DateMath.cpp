#include "avm2/DateMath.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <optional>

namespace avm2::datemath {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

double positiveModulo(double a, double b) {
    const double r = std::fmod(a, b);
    return r < 0 ? r + b : r;
}

double daysInYear(double y) {
    if (std::fmod(y, 4) != 0) {
        return 365;
    }
    if (std::fmod(y, 100) != 0) {
        return 366;
    }
    return std::fmod(y, 400) != 0 ? 365 : 366;
}

double dayFromYear(double y) {
    return 365 * (y - 1970) + std::floor((y - 1969) / 4) - std::floor((y - 1901) / 100) +
           std::floor((y - 1601) / 400);
}

bool inLeapYear(double t) {
    return daysInYear(yearFromTime(t)) == 366;
}

// The first day of each month in a common year.
constexpr std::array<int, 13> kMonthStarts = {0,   31,  59,  90,  120, 151, 181,
                                              212, 243, 273, 304, 334, 365};

double monthStart(int month, bool leap) {
    return kMonthStarts[static_cast<std::size_t>(month)] + (leap && month >= 2 ? 1 : 0);
}

std::string twoDigits(double v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", static_cast<int>(v));
    return buf;
}

std::string zoneText(double t) {
    const double offset = localOffset(t) / 60000; // minutes
    const double a = std::fabs(offset);
    return std::string("GMT") + (offset < 0 ? "-" : "+") + twoDigits(std::floor(a / 60)) +
           twoDigits(std::fmod(a, 60));
}

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", v);
    return buf;
}

} // namespace

double day(double t) {
    return std::floor(t / kMsPerDay);
}
double timeWithinDay(double t) {
    return positiveModulo(t, kMsPerDay);
}

double yearFromTime(double t) {
    double y = std::floor(day(t) / 365.2425) + 1970;
    while (dayFromYear(y) * kMsPerDay > t) {
        --y;
    }
    while (dayFromYear(y + 1) * kMsPerDay <= t) {
        ++y;
    }
    return y;
}

double monthFromTime(double t) {
    const double inYear = day(t) - dayFromYear(yearFromTime(t));
    const bool leap = inLeapYear(t);
    int m = 0;
    while (m < 11 && inYear >= monthStart(m + 1, leap)) {
        ++m;
    }
    return m;
}

double dateFromTime(double t) {
    const double inYear = day(t) - dayFromYear(yearFromTime(t));
    return inYear - monthStart(static_cast<int>(monthFromTime(t)), inLeapYear(t)) + 1;
}

double weekDay(double t) {
    return positiveModulo(day(t) + 4, 7);
}
double hourFromTime(double t) {
    return positiveModulo(std::floor(t / 3600000), 24);
}
double minFromTime(double t) {
    return positiveModulo(std::floor(t / 60000), 60);
}
double secFromTime(double t) {
    return positiveModulo(std::floor(t / 1000), 60);
}
double msFromTime(double t) {
    return positiveModulo(t, 1000);
}

double makeTime(double hour, double min, double sec, double ms) {
    if (!std::isfinite(hour) || !std::isfinite(min) || !std::isfinite(sec) || !std::isfinite(ms)) {
        return kNaN;
    }
    return std::trunc(hour) * 3600000 + std::trunc(min) * 60000 + std::trunc(sec) * 1000 +
           std::trunc(ms);
}

double makeDay(double year, double month, double date) {
    if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(date)) {
        return kNaN;
    }
    year = std::trunc(year);
    month = std::trunc(month);
    date = std::trunc(date);
    const double y = year + std::floor(month / 12);
    if (std::fabs(y) > 400000) {
        return kNaN;
    }
    const int m = static_cast<int>(positiveModulo(month, 12));
    return dayFromYear(y) + monthStart(m, daysInYear(y) == 366) + date - 1;
}

double makeDate(double dayNumber, double time) {
    if (!std::isfinite(dayNumber) || !std::isfinite(time)) {
        return kNaN;
    }
    return dayNumber * kMsPerDay + time;
}

double timeClip(double t) {
    if (!std::isfinite(t) || std::fabs(t) > 8.64e15) {
        return kNaN;
    }
    return std::trunc(t) + 0.0;
}

double localOffset(double t) {
    if (!std::isfinite(t)) {
        return 0;
    }
    const auto seconds = static_cast<std::time_t>(std::floor(t / 1000));
    std::tm parts{};
    if (localtime_r(&seconds, &parts) == nullptr) {
        return 0;
    }
    return static_cast<double>(parts.tm_gmtoff) * 1000;
}

double localTime(double t) {
    return t + localOffset(t);
}

double utcFromLocal(double local) {
    // The offset that holds at the UTC time this local time names.
    const double guess = local - localOffset(local);
    return local - localOffset(guess);
}

std::string toDateString(double t) {
    if (std::isnan(t)) {
        return "Invalid Date";
    }
    const double l = localTime(t);
    return std::string(kDays[static_cast<std::size_t>(weekDay(l))]) + " " +
           kMonths[static_cast<std::size_t>(monthFromTime(l))] + " " + number(dateFromTime(l)) +
           " " + number(yearFromTime(l));
}

std::string toTimeString(double t) {
    if (std::isnan(t)) {
        return "Invalid Date";
    }
    const double l = localTime(t);
    return twoDigits(hourFromTime(l)) + ":" + twoDigits(minFromTime(l)) + ":" +
           twoDigits(secFromTime(l)) + " " + zoneText(t);
}

std::string toFullString(double t) {
    if (std::isnan(t)) {
        return "Invalid Date";
    }
    const double l = localTime(t);
    return std::string(kDays[static_cast<std::size_t>(weekDay(l))]) + " " +
           kMonths[static_cast<std::size_t>(monthFromTime(l))] + " " + number(dateFromTime(l)) +
           " " + toTimeString(t) + " " + number(yearFromTime(l));
}

std::string toUtcString(double t) {
    if (std::isnan(t)) {
        return "Invalid Date";
    }
    return std::string(kDays[static_cast<std::size_t>(weekDay(t))]) + " " +
           kMonths[static_cast<std::size_t>(monthFromTime(t))] + " " + number(dateFromTime(t)) +
           " " + twoDigits(hourFromTime(t)) + ":" + twoDigits(minFromTime(t)) + ":" +
           twoDigits(secFromTime(t)) + " " + number(yearFromTime(t)) + " UTC";
}

std::string toLocaleTimeString(double t) {
    if (std::isnan(t)) {
        return "Invalid Date";
    }
    const double l = localTime(t);
    const double h = hourFromTime(l);
    const double h12 = std::fmod(h, 12) == 0 ? 12 : std::fmod(h, 12);
    return twoDigits(h12) + ":" + twoDigits(minFromTime(l)) + ":" + twoDigits(secFromTime(l)) +
           (h < 12 ? " AM" : " PM");
}

std::string toLocaleString(double t) {
    if (std::isnan(t)) {
        return "Invalid Date";
    }
    return toDateString(t) + " " + toLocaleTimeString(t);
}

double parse(std::string_view s) {
    std::optional<double> year;
    std::optional<double> month;
    std::optional<double> date;
    std::optional<double> time;
    std::optional<double> offset; // minutes east of UTC
    int half = 0;                 // 1 AM, 2 PM
    std::size_t i = 0;
    const auto readNumber = [&](double& out) {
        std::size_t digits = 0;
        out = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && digits < 9) {
            out = out * 10 + (s[i] - '0');
            ++i;
            ++digits;
        }
        return digits > 0;
    };
    while (i < s.size()) {
        const char c = s[i];
        if (std::isspace(static_cast<unsigned char>(c)) || c == ',') {
            ++i;
            continue;
        }
        if (std::isalpha(static_cast<unsigned char>(c))) {
            std::string word;
            while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) {
                word += static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
                ++i;
            }
            if (word == "gmt" || word == "utc" || word == "z") {
                if (offset) {
                    return kNaN;
                }
                offset = 0;
                if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
                    const double sign = s[i] == '-' ? -1 : 1;
                    ++i;
                    double hhmm = 0;
                    if (!readNumber(hhmm)) {
                        return kNaN;
                    }
                    offset = sign * (std::floor(hhmm / 100) * 60 + std::fmod(hhmm, 100));
                }
                continue;
            }
            if (word == "am" || word == "pm") {
                half = word == "am" ? 1 : 2;
                continue;
            }
            bool known = false;
            for (std::size_t k = 0; k < kMonths.size() && !known; ++k) {
                std::string name = kMonths[k];
                name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
                if (word.compare(0, 3, name) == 0 && word.size() >= 3) {
                    month = static_cast<double>(k);
                    known = true;
                }
            }
            for (std::size_t k = 0; k < kDays.size() && !known; ++k) {
                std::string name = kDays[k];
                name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
                known = word.compare(0, 3, name) == 0 && word.size() >= 3;
            }
            if (!known) {
                return kNaN;
            }
            // "Apr/03/1988": a month name with day and year after slashes.
            if (i < s.size() && s[i] == '/') {
                double d = 0;
                double y = 0;
                ++i;
                if (date || year || !readNumber(d) || i >= s.size() || s[i] != '/') {
                    return kNaN;
                }
                ++i;
                if (!readNumber(y)) {
                    return kNaN;
                }
                date = d;
                year = y;
            }
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            double n = 0;
            const std::size_t numberStart = i;
            readNumber(n);
            const bool longNumber = i - numberStart > 2;
            if (i < s.size() && s[i] == ':') {
                if (time) {
                    return kNaN;
                }
                double minutes = 0;
                double seconds = 0;
                ++i;
                if (!readNumber(minutes)) {
                    return kNaN;
                }
                if (i < s.size() && s[i] == ':') {
                    ++i;
                    if (!readNumber(seconds)) {
                        return kNaN;
                    }
                }
                time = (n * 3600 + minutes * 60 + seconds) * 1000;
                continue;
            }
            if (i < s.size() && s[i] == '/') {
                double d = 0;
                double y = 0;
                ++i;
                if (date || year || !readNumber(d) || i >= s.size() || s[i] != '/') {
                    return kNaN;
                }
                ++i;
                if (!readNumber(y)) {
                    return kNaN;
                }
                // MM/DD/YYYY, or YYYY/MM/DD when the first number is written as a year.
                month = (longNumber ? d : n) - 1;
                date = longNumber ? y : d;
                year = longNumber ? n : y;
                continue;
            }
            // A lone number before the month: the day when it can be one ("31 Jan 2000"),
            // else the year; after the month, the day and then the year.
            if (!month) {
                if (!longNumber && !date && n >= 1 && n <= 31) {
                    date = n;
                    continue;
                }
                if (year) {
                    return kNaN;
                }
                year = n;
            } else if (!date) {
                if (n < 1 || n > 31) {
                    return kNaN;
                }
                date = n;
            } else if (!year) {
                year = n;
            } else {
                return kNaN;
            }
            continue;
        }
        if ((c == '+' || c == '-') && offset) {
            return kNaN;
        }
        return kNaN;
    }
    if (!year || !month || !date) {
        return kNaN;
    }
    double y = *year;
    if (y < 100) {
        y += 1900;
    }
    double ms = time.value_or(0);
    if (half != 0) {
        double hours = std::floor(ms / 3600000);
        const double rest = ms - hours * 3600000;
        hours = std::fmod(hours, 12) + (half == 2 ? 12 : 0);
        ms = hours * 3600000 + rest;
    }
    const double local = makeDate(makeDay(y, *month, *date), ms);
    if (offset) {
        return timeClip(local - *offset * 60000);
    }
    return timeClip(utcFromLocal(local));
}

} // namespace avm2::datemath
