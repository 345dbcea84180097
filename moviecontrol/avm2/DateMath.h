#pragma once
// Time values as ECMAScript keeps them: milliseconds since 1970-01-01 UTC, NaN for an
// invalid date, within ±8.64e15. The calendar arithmetic, the local time offset (from the
// C library's time zone), Flash's text forms and Flash's Date.parse.

#include <string>
#include <string_view>

namespace avm2::datemath {

inline constexpr double kMsPerDay = 86400000.0;

double day(double t);
double timeWithinDay(double t);
double yearFromTime(double t);
double monthFromTime(double t); // 0..11
double dateFromTime(double t);  // 1..31
double weekDay(double t);       // 0 is Sunday
double hourFromTime(double t);
double minFromTime(double t);
double secFromTime(double t);
double msFromTime(double t);

// Arguments are converted numbers; any not finite gives NaN.
double makeTime(double hour, double min, double sec, double ms);
double makeDay(double year, double month, double date);
double makeDate(double day, double time);
double timeClip(double t);

// The local time zone's offset from UTC at UTC time `t`, in ms (daylight saving included).
double localOffset(double t);
double localTime(double t);
double utcFromLocal(double local);

// "Tue Feb 1 00:00:00 GMT-0800 2005", and the parts and other forms Flash prints.
std::string toDateString(double t);       // "Tue Feb 1 2005"
std::string toTimeString(double t);       // "00:00:00 GMT-0800"
std::string toFullString(double t);       // "Tue Feb 1 00:00:00 GMT-0800 2005"
std::string toUtcString(double t);        // "Tue Feb 1 08:00:00 2005 UTC"
std::string toLocaleTimeString(double t); // "12:00:00 AM"
std::string toLocaleString(double t);     // "Tue Feb 1 2005 12:00:00 AM"

// Flash's reading of a date text: day and month names, "month/day/year", "h:m:s", a lone
// number as the year or the day, AM/PM, "GMT+hhmm" or "UTC". NaN when it is not a date.
double parse(std::string_view text);

} // namespace avm2::datemath
