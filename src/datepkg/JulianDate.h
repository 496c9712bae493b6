// TJulianDate: calendar dates and times <-> Julian Date (JD), Julian Day Number (JDN) and
// Modified Julian Date (MJD), the way astronomers and surveyors count days.
//
// Conventions
// - Time scale: whatever the caller's dates are in (normally UT); there are no time zones and no leap
//   seconds, every day has 86400 seconds.
// - JD counts days and fractions of a day from -4712-01-01 12:00 in the Julian calendar (JD 0); a
//   Julian day starts at noon, so a calendar date at 00:00 has a JD ending in .5.
// - The JDN of a calendar date is the JD of its noon (2000-01-01 has JDN 2451545). The JDN of an
//   instant is floor(JD): the number of the noon-to-noon Julian day that holds it.
// - MJD = JD - 2400000.5; MJD 0 is 1858-11-17 00:00 and MJD days start at midnight.
// - Years are numbered astronomically: year 0 is 1 BC, year -1 is 2 BC, and so on.
// - Calendars (TCalendar):
//     _Mixed      the astronomers' convention and the default: the Julian calendar up to 1582-10-04,
//                 then the Gregorian calendar from 1582-10-15; the ten dates 1582-10-05 to
//                 1582-10-14 do not exist.
//     _Gregorian  the proleptic Gregorian calendar for every date (as ISO 8601 assumes).
//     _Julian     the proleptic Julian calendar for every date.
// - Range: from -9999-01-01 00:00 in the Julian calendar (JD -1931076.5) up to, but not including,
//   10000-01-01 00:00 in the Gregorian calendar (JD 5373484.5); it covers every date of the years
//   -9999 to 9999 in the mixed calendar. In the proleptic Gregorian calendar the earliest instants
//   fall in the year -10000.
//
// Two-part JD: JD1() + JD2() is the JD, JD1() the JD of the preceding midnight (a whole number plus
// 0.5) and JD2() the fraction of the day, so that the time of day keeps its full precision (a single
// double near JD 2.46e6 steps by 40 microseconds). The constructor from two parts takes any split.
//
// Errors: every construction from a calendar date, a text, a JD or an MJD validates its input and
// throws EDateError with a readable reason and the kind of fault (no 30 February, no 29 February in a common
// year, no date in the ten days dropped by the Gregorian reform in the mixed calendar, nothing out of range,
// no hour 24 or second 60). A TJulianDate that exists is always valid, so the conversions out of it never
// throw.
//
// ISO 8601 text (extended format, always UT, no time-zone offsets):
//   in:  YYYY-MM-DD, YYYY-MM-DDThh:mm, YYYY-MM-DDThh:mm:ss, YYYY-MM-DDThh:mm:ss.fff (up to nine
//        decimals, "." or ","), each time optionally followed by "Z". The year has four or five
//        digits and may carry a sign ("+2000", "-0044", "-10000").
//   out: YYYY-MM-DDThh:mm:ss; a negative year carries "-" and at least four digits, so year 0 is
//        "0000" and 2 BC is "-0001". Seconds are rounded to the chosen decimals, carrying into the
//        minute, hour and date (23:59:59.9999 becomes 00:00:00 of the next day, never 24:00:00);
//        an instant that would round past the end of the range gives its last printable value
//        instead (9999-12-31T23:59:59 with no decimals).
#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "datepkg/OstrelExport.h"

namespace ostrel {

enum class TCalendar : std::uint8_t { _Mixed, _Gregorian, _Julian };

// ISO 8601 numbering: Monday 1 to Sunday 7.
enum class TWeekday : std::uint8_t {
    _Monday = 1,
    _Tuesday,
    _Wednesday,
    _Thursday,
    _Friday,
    _Saturday,
    _Sunday
};

// A calendar date with the time of day. second is in [0, 60).
struct TCalendarDate {
    int year = 2000;
    int month = 1; // 1 to 12
    int day = 1;   // 1 to the length of the month
    int hour = 0;  // 0 to 23
    int minute = 0;
    double second = 0;
    friend bool operator==(const TCalendarDate&, const TCalendarDate&) = default;
};

// An ISO 8601 week date: the week-numbering year, week 1 to 52 or 53, weekday 1 (Monday) to 7.
struct TIsoWeekDate {
    int year = 2000;
    int week = 1;
    int weekday = 1;
    friend bool operator==(const TIsoWeekDate&, const TIsoWeekDate&) = default;
};

// What was wrong with the input, for callers that act on it (the C interface maps each to a status).
enum class TDateFault : std::uint8_t {
    _NoSuchDate, // 30 February, month 13, 1582-10-10 in the mixed calendar, hour 24, week 54, ...
    _NotFinite,  // NaN or infinity
    _OutOfRange, // outside the range of dates
    _Syntax,     // not an ISO 8601 date
};

// Where the dates end, in words, for messages.
inline constexpr const char* RangeText = "the range is -9999-01-01 (Julian) to 9999-12-31 (Gregorian)";

class OSTREL_API EDateError : public std::runtime_error {
public:
    explicit EDateError(const std::string& reason);
    EDateError(TDateFault fault, const std::string& reason);
    ~EDateError() override;
    TDateFault Fault() const noexcept { return fault_; }

private:
    TDateFault fault_ = TDateFault::_NoSuchDate;
};

class OSTREL_API TJulianDate {
public:
    static constexpr double MinJD = -1931076.5; // -9999-01-01 00:00 Julian
    static constexpr double EndJD = 5373484.5;  // 10000-01-01 00:00 Gregorian, not itself in range
    static constexpr double MJDOffset = 2400000.5;

    // J2000.0: 2000-01-01 12:00, JD 2451545.0.
    TJulianDate() = default;
    // From a two-part JD: jd1 + jd2, split in any way (2451545 + 0.25, 2451545.25 + 0, 0 + 2451545.25).
    TJulianDate(double jd1, double jd2);

    static TJulianDate FromJD(double jd);
    static TJulianDate FromMJD(double mjd);
    // Noon of the Julian day jdn.
    static TJulianDate FromJDN(std::int64_t jdn);
    static TJulianDate FromCalendar(const TCalendarDate& date, TCalendar calendar = TCalendar::_Mixed);
    // A day of the month with a fraction, as in 1957-10-04.81 (the fraction counts from midnight).
    static TJulianDate FromCalendar(int year, int month, double day, TCalendar calendar = TCalendar::_Mixed);
    static TJulianDate FromIso(std::string_view text, TCalendar calendar = TCalendar::_Mixed);
    // Midnight at the start of the day of an ISO 8601 week date, counted in the calendar's years
    // (ISO 8601 itself assumes the proleptic Gregorian calendar; for dates after 1582 the mixed
    // calendar gives the same weeks).
    static TJulianDate FromIsoWeek(int year, int week, int weekday, TCalendar calendar = TCalendar::_Mixed);
    // Midnight at the start of the calendar day of a sys_days (a day count of the proleptic
    // Gregorian calendar from 1970-01-01).
    static TJulianDate FromSysDays(std::chrono::sys_days day);
    // Midnight at the start of Easter Sunday of the year 1 to 9999: the Gregorian computus with
    // _Gregorian, the Julian one with _Julian, and in the mixed calendar the Julian one before 1583.
    static TJulianDate EasterSunday(int year, TCalendar calendar = TCalendar::_Mixed);

    // The JDN of a calendar date; throws EDateError for an invalid or out-of-range date.
    static std::int64_t DayNumber(int year, int month, int day, TCalendar calendar = TCalendar::_Mixed);
    // The calendar's leap-year rule for the year (in the mixed calendar: Julian before 1583).
    static bool IsLeapYear(int year, TCalendar calendar = TCalendar::_Mixed) noexcept;
    // 28 to 31; 0 for a month outside 1 to 12.
    static int DaysInMonth(int year, int month, TCalendar calendar = TCalendar::_Mixed) noexcept;

    // JD() and MJD() round to one double; at the very end of the range they stay below its end, so
    // that FromJD and FromMJD take them back.
    double JD() const noexcept;
    double MJD() const noexcept;
    // The two-part JD: the preceding midnight (a whole number plus 0.5) and the fraction of the day.
    double JD1() const noexcept;
    double JD2() const noexcept;
    std::int64_t JDN() const noexcept;
    // The weekday of the calendar date that holds the instant.
    TWeekday DayOfWeek() const noexcept;
    // 1 for 1 January; up to 365 or 366 (355 in 1582 in the mixed calendar).
    int DayOfYear(TCalendar calendar = TCalendar::_Mixed) const;
    TIsoWeekDate ToIsoWeek(TCalendar calendar = TCalendar::_Mixed) const;
    // The calendar day that holds the instant (sys_days is proleptic Gregorian whatever the calendar).
    std::chrono::sys_days ToSysDays() const noexcept;
    TCalendarDate ToCalendar(TCalendar calendar = TCalendar::_Mixed) const;
    // YYYY-MM-DDThh:mm:ss with 0 to 9 decimals of the second (other counts are clamped).
    std::string ToIso(TCalendar calendar = TCalendar::_Mixed, int decimals = 0) const;
    // YYYY-MM-DD of the calendar date that holds the instant.
    std::string ToIsoDate(TCalendar calendar = TCalendar::_Mixed) const;

    // Earlier instants compare less; the day is compared first, then the time of day.
    friend bool operator==(const TJulianDate&, const TJulianDate&) = default;
    friend std::partial_ordering operator<=>(const TJulianDate&, const TJulianDate&) = default;

private:
    struct TRaw {};
    TJulianDate(TRaw, std::int64_t civilDay, double second) : civilDay_(civilDay), second_(second) {}
    static TJulianDate FromDayAndSecond(std::int64_t civilDay, double second);

    // The JDN of the calendar date that holds the instant, and the seconds since its midnight, in
    // [0, 86400): whole days stay exact integers, only the time of day is a double.
    std::int64_t civilDay_ = 2451545;
    double second_ = 43200;
};

} // namespace ostrel
