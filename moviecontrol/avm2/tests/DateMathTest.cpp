// Time values: the calendar arithmetic on both sides of 1970 and across leap years, the
// text forms Flash prints, and Flash's Date.parse with what it accepts and refuses. The
// local zone is pinned to UTC so that the answers do not depend on the machine.

#include "avm2/DateMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {

namespace dm = avm2::datemath;

class DateMath : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

TEST_F(DateMath, FieldsRoundTrip) {
    struct Case {
        double year, month, date, hours, minutes, seconds, ms;
        int weekDay;
    };
    const Case table[] = {
        {1970, 0, 1, 0, 0, 0, 0, 4},   {1969, 11, 31, 23, 59, 59, 999, 3},
        {2000, 1, 29, 12, 0, 0, 0, 2}, {1900, 1, 28, 0, 0, 0, 0, 3},
        {2024, 11, 31, 1, 2, 3, 4, 2}, {1601, 0, 1, 0, 0, 0, 0, 1},
        {1800, 5, 15, 6, 7, 8, 9, 0},  {1, 0, 1, 0, 0, 0, 0, 1},
    };
    for (const Case& c : table) {
        const double t = dm::makeDate(dm::makeDay(c.year, c.month, c.date),
                                      dm::makeTime(c.hours, c.minutes, c.seconds, c.ms));
        EXPECT_EQ(dm::yearFromTime(t), c.year) << c.year;
        EXPECT_EQ(dm::monthFromTime(t), c.month) << c.year;
        EXPECT_EQ(dm::dateFromTime(t), c.date) << c.year;
        EXPECT_EQ(dm::hourFromTime(t), c.hours) << c.year;
        EXPECT_EQ(dm::minFromTime(t), c.minutes) << c.year;
        EXPECT_EQ(dm::secFromTime(t), c.seconds) << c.year;
        EXPECT_EQ(dm::msFromTime(t), c.ms) << c.year;
        EXPECT_EQ(dm::weekDay(t), c.weekDay) << c.year;
    }
    // Months and days past their end carry over; the 13th month is next January.
    EXPECT_EQ(dm::makeDay(1999, 12, 1), dm::makeDay(2000, 0, 1));
    EXPECT_EQ(dm::makeDay(1999, 1, 29), dm::makeDay(1999, 2, 1));
    EXPECT_EQ(dm::makeDay(2000, -1, 1), dm::makeDay(1999, 11, 1));
    EXPECT_TRUE(std::isnan(dm::makeDay(NAN, 0, 1)));
    EXPECT_TRUE(std::isnan(dm::timeClip(8.64e15 + 1)));
    EXPECT_EQ(dm::timeClip(-1.5), -1);
}

TEST_F(DateMath, TextForms) {
    const double t = 1107216750000; // 2005-02-01 00:12:30 UTC
    EXPECT_EQ(dm::toFullString(t), "Tue Feb 1 00:12:30 GMT+0000 2005");
    EXPECT_EQ(dm::toDateString(t), "Tue Feb 1 2005");
    EXPECT_EQ(dm::toTimeString(t), "00:12:30 GMT+0000");
    EXPECT_EQ(dm::toUtcString(t), "Tue Feb 1 00:12:30 2005 UTC");
    EXPECT_EQ(dm::toLocaleString(t), "Tue Feb 1 2005 12:12:30 AM");
    EXPECT_EQ(dm::toLocaleTimeString(t + 13 * 3600000.0), "01:12:30 PM");
    EXPECT_EQ(dm::toFullString(NAN), "Invalid Date");
}

TEST_F(DateMath, ParseAcceptsFlashsForms) {
    const auto at = [](double y, double mo, double d, double h, double mi, double s) {
        return dm::makeDate(dm::makeDay(y, mo, d), dm::makeTime(h, mi, s, 0));
    };
    struct Case {
        const char* text;
        double expected;
    };
    const Case table[] = {
        {"Wed Apr 12 15:30:17 2006 GMT-0700", at(2006, 3, 12, 22, 30, 17)},
        {"Wed Apr 12 15:30:17 2006 GMT+0700", at(2006, 3, 12, 8, 30, 17)},
        {"Sat Apr 30 1974", at(1974, 3, 30, 0, 0, 0)},
        {"1999 Mon Sun Sat Apr 30 15:30:17", at(1999, 3, 30, 15, 30, 17)},
        {"Apr/03/1988 15:30:17", at(1988, 3, 3, 15, 30, 17)},
        {"15:30:17    Apr/03/1988   ", at(1988, 3, 3, 15, 30, 17)},
        {"04/03/1988", at(1988, 3, 3, 0, 0, 0)},
        {"Sat Apr 30 77", at(1977, 3, 30, 0, 0, 0)},
        {"Sat Jan Oct 30 77", at(1977, 9, 30, 0, 0, 0)}, // the last month named counts
        {"Apr 30 1974 3:05 PM", at(1974, 3, 30, 15, 5, 0)},
        {"Apr 30 1974 12:05 AM", at(1974, 3, 30, 0, 5, 0)},
        {"Tue Feb 1 00:00:00 UTC 2005", at(2005, 1, 1, 0, 0, 0)},
        // YYYY/MM/DD: a first number written as a year starts with the year.
        {"2006/04/12", at(2006, 3, 12, 0, 0, 0)},
        {"2006/04/12 15:30:17 GMT-0700", at(2006, 3, 12, 22, 30, 17)},
        // Day DD Mon HH:MM:SS TZD YYYY: a day number may come before the month.
        {"Wed 12 Apr 15:30:17 GMT-0700 2006", at(2006, 3, 12, 22, 30, 17)},
        {"12 Apr 2006", at(2006, 3, 12, 0, 0, 0)},
        {"2006 Apr 12", at(2006, 3, 12, 0, 0, 0)},
    };
    for (const Case& c : table) {
        EXPECT_EQ(dm::parse(c.text), c.expected) << c.text;
    }
    for (const char* bad : {"Wed Apr 12 15:30:17 GMT-0700", "Wed 12 15:30:17 GMT-0700 2006",
                            "Sat Jan 30", "Sat Jan 70 77", "Sat Jan 30 random 77",
                            "Sat Jan 30 77 Apr/03/1988", "Sat Jan 30 77 GMT-0700 GMT-0800", "12",
                            "", "Apr 30 1974 10:", "Apr/3 1974", "32 Apr 2006", "1 2 Apr 2006"}) {
        EXPECT_TRUE(std::isnan(dm::parse(bad))) << bad;
    }
}

} // namespace
