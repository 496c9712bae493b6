// Every day of the range, walked with the test's own calendar rules: date -> JD -> date is the
// identity, each day adds exactly 1 to the JD, the day of the year and the ISO 8601 week date
// step on by one day, and the week date leads back to the day.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <sstream>

#include "datepkg/JulianDate.h"

namespace {

using ostrel::TCalendar;
using ostrel::TCalendarDate;
using ostrel::TJulianDate;

struct Walk {
    TCalendar calendar;
    TCalendarDate first; // the date of JDN 0
    TCalendarDate last;  // the last date of the range
    std::int64_t lastJdn;
};

void PrintTo(const Walk& w, std::ostream* os) {
    *os << "calendar " << static_cast<int>(w.calendar);
}

bool GregorianRules(const TCalendarDate& d, TCalendar calendar) {
    if (calendar != TCalendar::_Mixed) return calendar == TCalendar::_Gregorian;
    return d.year > 1582 || (d.year == 1582 && (d.month > 10 || (d.month == 10 && d.day >= 15)));
}

int MonthLength(const TCalendarDate& d, bool gregorian) {
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = d.year % 4 == 0 && (!gregorian || d.year % 100 != 0 || d.year % 400 == 0);
    return d.month == 2 && leap ? 29 : lengths[d.month - 1];
}

void NextDay(TCalendarDate& d, TCalendar calendar) {
    if (calendar == TCalendar::_Mixed && d.year == 1582 && d.month == 10 && d.day == 4) {
        d.day = 15; // the reform drops ten dates
        return;
    }
    if (++d.day <= MonthLength(d, GregorianRules(d, calendar))) return;
    d.day = 1;
    if (++d.month <= 12) return;
    d.month = 1;
    ++d.year;
}

bool SameDate(const TCalendarDate& a, const TCalendarDate& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

// The ISO 8601 week date of a day from that of the day before: a week belongs to the year that
// holds its Thursday.
void NextWeekDay(ostrel::TIsoWeekDate& w, const TCalendarDate& date, TCalendar calendar) {
    if (++w.weekday <= 7) return;
    TCalendarDate thursday = date;
    for (int i = 0; i < 3; ++i) NextDay(thursday, calendar);
    w = {thursday.year, thursday.year == w.year ? w.week + 1 : 1, 1};
}

class RoundTrip : public ::testing::TestWithParam<Walk> {};

TEST_P(RoundTrip, EveryDayFromJdZeroTo9999) {
    const Walk& w = GetParam();
    TCalendarDate date = w.first;
    std::int64_t jdn = 0;
    long failures = 0;
    std::ostringstream first;
    auto fail = [&](const char* what) {
        if (failures++ == 0)
            first << what << " at " << date.year << "-" << date.month << "-" << date.day << " (JDN " << jdn
                  << ")";
    };
    auto weekday = static_cast<int>(TJulianDate::FromJDN(0).DayOfWeek());
    int dayOfYear = TJulianDate::FromJDN(0).DayOfYear(w.calendar);
    ostrel::TIsoWeekDate week = TJulianDate::FromJDN(0).ToIsoWeek(w.calendar);
    const auto epoch = std::chrono::sys_days(std::chrono::days(-2440588));
    for (;; NextDay(date, w.calendar), ++jdn, weekday = weekday % 7 + 1) {
        if (TJulianDate::DayNumber(date.year, date.month, date.day, w.calendar) != jdn) fail("date -> JDN");
        const TJulianDate midnight = TJulianDate::FromCalendar(date, w.calendar);
        if (midnight.JD() != static_cast<double>(jdn) - 0.5) fail("date -> JD");
        if (!SameDate(TJulianDate::FromJD(static_cast<double>(jdn) - 0.5).ToCalendar(w.calendar), date))
            fail("JD -> date");
        if (static_cast<int>(midnight.DayOfWeek()) != weekday) fail("weekday");
        if (jdn > 0) {
            dayOfYear = date.month == 1 && date.day == 1 ? 1 : dayOfYear + 1;
            NextWeekDay(week, date, w.calendar);
        }
        if (midnight.DayOfYear(w.calendar) != dayOfYear) fail("day of the year");
        if (midnight.ToIsoWeek(w.calendar) != week || week.weekday != weekday) fail("date -> week date");
        if (TJulianDate::FromIsoWeek(week.year, week.week, week.weekday, w.calendar) != midnight)
            fail("week date -> date");
        if (midnight.ToSysDays() != epoch + std::chrono::days(jdn)) fail("sys_days");
        if (SameDate(date, w.last) || jdn > w.lastJdn) break;
    }
    EXPECT_EQ(failures, 0) << first.str();
    EXPECT_EQ(jdn, w.lastJdn);
}

INSTANTIATE_TEST_SUITE_P(
    Calendars, RoundTrip,
    ::testing::Values(Walk{TCalendar::_Mixed, {-4712, 1, 1}, {9999, 12, 31}, 5373484},
                      Walk{TCalendar::_Gregorian, {-4713, 11, 24}, {9999, 12, 31}, 5373484},
                      Walk{TCalendar::_Julian, {-4712, 1, 1}, {9999, 10, 19}, 5373484}),
    [](const auto& info) {
        switch (info.param.calendar) {
        case TCalendar::_Mixed:
            return "Mixed";
        case TCalendar::_Gregorian:
            return "Gregorian";
        case TCalendar::_Julian:
            return "Julian";
        }
        return "";
    });

} // namespace
