// Day counting shared by the conversions and the ISO text code; not part of the public API.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "datepkg/JulianDate.h"

namespace ostrel::detail {

struct Ymd {
    int year;
    int month;
    int day;
};

// Civil days (JDNs of calendar dates) in range: [MinDay, EndDay).
constexpr std::int64_t MinDay = -1931076;   // -9999-01-01 Julian
constexpr std::int64_t EndDay = 5373485;    // 10000-01-01 Gregorian
constexpr std::int64_t ReformDay = 2299161; // 1582-10-15, the first Gregorian date
constexpr double SecondsPerDay = 86400;

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The JDN of a valid calendar date; throws EDateError when the date does not exist or is out of range.
std::int64_t CheckedDayNumber(int year, int month, int day, TCalendar calendar);
// The same count without any check, for day arithmetic near the ends of the range; month 1 to 12.
std::int64_t DayNumberOf(std::int64_t year, int month, int day, TCalendar calendar);
// The date of any JDN, in range or not.
Ymd DateOfDay(std::int64_t jdn, TCalendar calendar);

// A number in a message: every digit that tells it apart ("%.17g"), never rounded to look like a
// bound nor written with hundreds of digits.
std::string Number(double value);

// "2001-02-29", "-0044-03-15": the year with a sign when negative and at least four digits; a month
// or day that two digits cannot show is written out ("year 2000, month 1, day 131").
std::string FormatYmd(int year, int month, int day);
// The date and time of an ISO 8601 text; the date itself is not yet validated.
TCalendarDate ParseIso(std::string_view text);

} // namespace ostrel::detail
