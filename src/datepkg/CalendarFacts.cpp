// Facts about the day that holds an instant: day of the year, ISO 8601 week date, Easter Sunday and
// the std::chrono day count.
#include <string>

#include "datepkg/CalendarMath.h"

namespace ostrel {

using detail::DayNumberOf;
using detail::FloorDiv;

namespace {

// ISO 8601: week 1 is the week (Monday to Sunday) that holds the year's 4 January.
std::int64_t StartOfWeekOne(std::int64_t year, TCalendar calendar) {
    const std::int64_t fourth = DayNumberOf(year, 1, 4, calendar);
    return fourth - (fourth - FloorDiv(fourth, 7) * 7); // JDN 0 was a Monday
}

struct TMonthDay {
    int month;
    int day;
};

// The Gregorian computus as Meeus gives it (Astronomical Algorithms, chapter 8).
TMonthDay GregorianEaster(int year) {
    const int a = year % 19, b = year / 100, c = year % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int n = h + l - 7 * m + 114;
    return {n / 31, n % 31 + 1};
}

// The Julian computus, likewise.
TMonthDay JulianEaster(int year) {
    const int a = year % 4, b = year % 7, c = year % 19;
    const int d = (19 * c + 15) % 30;
    const int e = (2 * a + 4 * b - d + 34) % 7;
    const int n = d + e + 114;
    return {n / 31, n % 31 + 1};
}

// Days from JDN 0 to the sys_days epoch 1970-01-01.
constexpr std::int64_t UnixEpochDay = 2440588;

} // namespace

int TJulianDate::DayOfYear(TCalendar calendar) const {
    const detail::Ymd ymd = detail::DateOfDay(civilDay_, calendar);
    return static_cast<int>(civilDay_ - DayNumberOf(ymd.year, 1, 1, calendar)) + 1;
}

TIsoWeekDate TJulianDate::ToIsoWeek(TCalendar calendar) const {
    const int weekday = static_cast<int>(DayOfWeek());
    // The week belongs to the year that holds its Thursday.
    const std::int64_t thursday = civilDay_ - weekday + 4;
    const int year = detail::DateOfDay(thursday, calendar).year;
    const auto week = static_cast<int>((thursday - StartOfWeekOne(year, calendar)) / 7 + 1);
    return {year, week, weekday};
}

TJulianDate TJulianDate::FromIsoWeek(int year, int week, int weekday, TCalendar calendar) {
    using enum TDateFault;
    auto given = [&] {
        return std::to_string(year) + "-W" + std::to_string(week) + "-" + std::to_string(weekday);
    };
    if (weekday < 1 || weekday > 7)
        throw EDateError(_NoSuchDate, "weekday " + std::to_string(weekday) + " is not 1 to 7 in " + given());
    const std::int64_t first = StartOfWeekOne(year, calendar);
    const std::int64_t weeks = (StartOfWeekOne(static_cast<std::int64_t>(year) + 1, calendar) - first) / 7;
    if (week < 1 || week > weeks)
        throw EDateError(_NoSuchDate, "week " + std::to_string(week) + " of " + std::to_string(year) +
                                          " does not exist: the year has " + std::to_string(weeks) +
                                          " weeks");
    const std::int64_t day = first + (week - 1) * 7 + (weekday - 1);
    if (day < detail::MinDay || day >= detail::EndDay)
        throw EDateError(_OutOfRange, given() + " is out of range: " + RangeText);
    return {TRaw{}, day, 0};
}

TJulianDate TJulianDate::EasterSunday(int year, TCalendar calendar) {
    if (year < 1 || year > 9999)
        throw EDateError(TDateFault::_OutOfRange, "Easter of the year " + std::to_string(year) +
                                                      " is out of range: the years are 1 to 9999");
    const bool gregorian =
        calendar == TCalendar::_Gregorian || (calendar == TCalendar::_Mixed && year > 1582);
    const TMonthDay easter = gregorian ? GregorianEaster(year) : JulianEaster(year);
    const TCalendar rule = gregorian ? TCalendar::_Gregorian : TCalendar::_Julian;
    return {TRaw{}, detail::CheckedDayNumber(year, easter.month, easter.day, rule), 0};
}

TJulianDate TJulianDate::FromSysDays(std::chrono::sys_days day) {
    const std::int64_t jdn = static_cast<std::int64_t>(day.time_since_epoch().count()) + UnixEpochDay;
    if (jdn < detail::MinDay || jdn >= detail::EndDay)
        throw EDateError(TDateFault::_OutOfRange,
                         "day " + std::to_string(day.time_since_epoch().count()) +
                             " of std::chrono::sys_days is out of range: " + RangeText);
    return {TRaw{}, jdn, 0};
}

std::chrono::sys_days TJulianDate::ToSysDays() const noexcept {
    return std::chrono::sys_days(std::chrono::days(civilDay_ - UnixEpochDay));
}

} // namespace ostrel
