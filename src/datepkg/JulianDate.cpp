// Calendar arithmetic on whole days with exact integers; doubles only for the time of day.
#include "datepkg/JulianDate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "datepkg/CalendarMath.h"

namespace ostrel {

using detail::EndDay;
using detail::FloorDiv;
using detail::MinDay;
using detail::ReformDay;
using detail::SecondsPerDay;

namespace {

// Both calendars are counted in years starting on 1 March, so that the leap day ends the year and
// the month lengths from March on repeat in a fixed pattern (days before month m: (153 m + 2) / 5).
constexpr std::int64_t DayOfMarchYear(int month, int day) {
    const int m = month > 2 ? month - 3 : month + 9;
    return (153 * m + 2) / 5 + day - 1;
}

// JDN of Gregorian 0000-03-01 is 1721120, of Julian 0000-03-01 is 1721118.
std::int64_t GregorianDayNumber(std::int64_t year, int month, int day) {
    const std::int64_t y = month <= 2 ? year - 1 : year;
    const std::int64_t era = FloorDiv(y, 400); // 400 years = 146097 days
    const std::int64_t yoe = y - era * 400;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + DayOfMarchYear(month, day) + 1721120;
}

std::int64_t JulianDayNumber(std::int64_t year, int month, int day) {
    const std::int64_t y = month <= 2 ? year - 1 : year;
    const std::int64_t era = FloorDiv(y, 4); // 4 years = 1461 days
    const std::int64_t yoe = y - era * 4;
    return era * 1461 + yoe * 365 + DayOfMarchYear(month, day) + 1721118;
}

// Back from the day of a March-based year to the month and day; dayOfYear in [0, 365].
detail::Ymd FromMarchYear(std::int64_t year, std::int64_t dayOfYear) {
    const auto mp = static_cast<int>((5 * dayOfYear + 2) / 153);
    const auto day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(month <= 2 ? year + 1 : year), month, day};
}

detail::Ymd GregorianDate(std::int64_t jdn) {
    const std::int64_t z = jdn - 1721120;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t doe = z - era * 146097; // [0, 146096]
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    return FromMarchYear(era * 400 + yoe, doe - (yoe * 365 + yoe / 4 - yoe / 100));
}

detail::Ymd JulianDate(std::int64_t jdn) {
    const std::int64_t z = jdn - 1721118;
    const std::int64_t era = FloorDiv(z, 1461);
    const std::int64_t doe = z - era * 1461; // [0, 1460]
    const std::int64_t yoe = (doe - doe / 1460) / 365;
    return FromMarchYear(era * 4 + yoe, doe - yoe * 365);
}

bool IsGregorianDate(std::int64_t year, int month, int day, TCalendar calendar) {
    switch (calendar) {
    case TCalendar::_Gregorian:
        return true;
    case TCalendar::_Julian:
        return false;
    case TCalendar::_Mixed:
        break;
    }
    return year != 1582 ? year > 1582 : (month != 10 ? month > 10 : day >= 15);
}

constexpr std::array<const char*, 12> MonthNames{"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};

// The exact sum of two doubles: a + b = sum + error.
struct TExactSum {
    double sum;
    double error;
};

TExactSum TwoSum(double a, double b) {
    const double sum = a + b;
    const double bPart = sum - a;
    const double aPart = sum - bPart;
    return {sum, (a - aPart) + (b - bPart)};
}

// Whole parts beyond this cannot be part of a date in range, whatever the other part is; below it
// they convert to integers exactly.
constexpr double WholeLimit = 4.0e18;

std::string JdText(double jd1, double jd2) {
    return "JD " + detail::Number(jd1) + (jd2 != 0 ? " + " + detail::Number(jd2) : std::string());
}

// Whole seconds before the second of a time of day, e.g. 3723.5 -> 3720.
double StartOfMinute(double second) {
    const auto whole = static_cast<std::int64_t>(second);
    return static_cast<double>(whole - whole % 60);
}

} // namespace

EDateError::EDateError(const std::string& reason) : std::runtime_error(reason) {}
EDateError::EDateError(TDateFault fault, const std::string& reason)
    : std::runtime_error(reason), fault_(fault) {}
EDateError::~EDateError() = default;

namespace detail {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::int64_t DayNumberOf(std::int64_t year, int month, int day, TCalendar calendar) {
    return IsGregorianDate(year, month, day, calendar) ? GregorianDayNumber(year, month, day)
                                                       : JulianDayNumber(year, month, day);
}

std::int64_t CheckedDayNumber(int year, int month, int day, TCalendar calendar) {
    using enum TDateFault;
    if (month < 1 || month > 12)
        throw EDateError(_NoSuchDate, "month " + std::to_string(month) + " is not 1 to 12 in " +
                                          FormatYmd(year, month, day));
    const int length = TJulianDate::DaysInMonth(year, month, calendar);
    if (day < 1 || day > length)
        throw EDateError(_NoSuchDate, FormatYmd(year, month, day) +
                                          " does not exist: " + MonthNames[month - 1] + " " +
                                          std::to_string(year) + " has " + std::to_string(length) + " days");
    const bool gregorian = IsGregorianDate(year, month, day, calendar);
    const std::int64_t jdn = DayNumberOf(year, month, day, calendar);
    if (calendar == TCalendar::_Mixed && !gregorian && jdn >= ReformDay)
        throw EDateError(_NoSuchDate,
                         FormatYmd(year, month, day) +
                             " does not exist in the mixed calendar: 1582-10-04 (Julian) is followed "
                             "by 1582-10-15 (Gregorian)");
    if (jdn < MinDay || jdn >= EndDay)
        throw EDateError(_OutOfRange, FormatYmd(year, month, day) + " is out of range: " + RangeText);
    return jdn;
}

Ymd DateOfDay(std::int64_t jdn, TCalendar calendar) {
    const bool gregorian =
        calendar == TCalendar::_Gregorian || (calendar == TCalendar::_Mixed && jdn >= ReformDay);
    return gregorian ? GregorianDate(jdn) : JulianDate(jdn);
}

} // namespace detail

bool TJulianDate::IsLeapYear(int year, TCalendar calendar) noexcept {
    if (calendar == TCalendar::_Julian || (calendar == TCalendar::_Mixed && year < 1583))
        return year % 4 == 0;
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int TJulianDate::DaysInMonth(int year, int month, TCalendar calendar) noexcept {
    static constexpr std::array<int, 12> Lengths{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year, calendar) ? 29 : Lengths[month - 1];
}

std::int64_t TJulianDate::DayNumber(int year, int month, int day, TCalendar calendar) {
    return detail::CheckedDayNumber(year, month, day, calendar);
}

TJulianDate::TJulianDate(double jd1, double jd2) {
    using enum TDateFault;
    if (!std::isfinite(jd1) || !std::isfinite(jd2)) throw EDateError(_NotFinite, "JD is not a finite number");
    // Whole days and fractions apart, each exact; the civil day starts half a Julian day earlier.
    const double whole1 = std::floor(jd1), whole2 = std::floor(jd2);
    if (std::fabs(whole1) > WholeLimit || std::fabs(whole2) > WholeLimit)
        throw EDateError(_OutOfRange, JdText(jd1, jd2) + " is out of range: " + RangeText);
    const TExactSum fractions = TwoSum(jd1 - whole1, jd2 - whole2); // in [0, 2)
    const TExactSum shifted = TwoSum(fractions.sum, 0.5);           // in [0.5, 2.5]
    double carry = std::floor(shifted.sum);
    double rest = (shifted.sum - carry) + (shifted.error + fractions.error);
    if (rest < 0) {
        carry -= 1;
        rest += 1;
    } else if (rest >= 1) {
        carry += 1;
        rest -= 1;
    }
    const std::int64_t day = static_cast<std::int64_t>(whole1) + static_cast<std::int64_t>(whole2) +
                             static_cast<std::int64_t>(carry);
    if (day < MinDay || day >= EndDay)
        throw EDateError(_OutOfRange, JdText(jd1, jd2) + " is out of range: " + RangeText);
    *this = FromDayAndSecond(day, rest * SecondsPerDay);
}

TJulianDate TJulianDate::FromJD(double jd) {
    return {jd, 0.0};
}

TJulianDate TJulianDate::FromMJD(double mjd) {
    using enum TDateFault;
    if (!std::isfinite(mjd)) throw EDateError(_NotFinite, "MJD is not a finite number");
    if (mjd < MinJD - MJDOffset || mjd >= EndJD - MJDOffset)
        throw EDateError(_OutOfRange, "MJD " + detail::Number(mjd) + " is out of range: " + RangeText);
    // MJD days start at midnight, so its integer part is the civil day itself (MJD 0 = JDN 2400001).
    const double day = std::floor(mjd);
    return FromDayAndSecond(static_cast<std::int64_t>(day) + 2400001, (mjd - day) * SecondsPerDay);
}

TJulianDate TJulianDate::FromJDN(std::int64_t jdn) {
    if (jdn < MinDay || jdn >= EndDay)
        throw EDateError(TDateFault::_OutOfRange,
                         "JDN " + std::to_string(jdn) + " is out of range: " + RangeText);
    return {TRaw{}, jdn, SecondsPerDay / 2};
}

TJulianDate TJulianDate::FromCalendar(const TCalendarDate& d, TCalendar calendar) {
    using enum TDateFault;
    if (d.hour < 0 || d.hour > 23)
        throw EDateError(_NoSuchDate, "hour " + std::to_string(d.hour) + " is not 0 to 23");
    if (d.minute < 0 || d.minute > 59)
        throw EDateError(_NoSuchDate, "minute " + std::to_string(d.minute) + " is not 0 to 59");
    if (std::isnan(d.second) || std::isinf(d.second))
        throw EDateError(_NotFinite, "second " + detail::Number(d.second) + " is not a finite number");
    if (!(d.second >= 0 && d.second < 60))
        throw EDateError(_NoSuchDate, "second " + detail::Number(d.second) + " is not from 0 to below 60");
    const std::int64_t day = detail::CheckedDayNumber(d.year, d.month, d.day, calendar);
    return FromDayAndSecond(day, d.hour * 3600.0 + d.minute * 60.0 + d.second);
}

TJulianDate TJulianDate::FromCalendar(int year, int month, double day, TCalendar calendar) {
    if (!std::isfinite(day))
        throw EDateError(TDateFault::_NotFinite, "day " + detail::Number(day) + " is not a finite number");
    if (day < 1 || day >= 32)
        throw EDateError(TDateFault::_NoSuchDate,
                         "day " + detail::Number(day) + " is not a day of the month");
    const double whole = std::floor(day);
    const std::int64_t jdn = detail::CheckedDayNumber(year, month, static_cast<int>(whole), calendar);
    return FromDayAndSecond(jdn, (day - whole) * SecondsPerDay);
}

TJulianDate TJulianDate::FromIso(std::string_view text, TCalendar calendar) {
    return FromCalendar(detail::ParseIso(text), calendar);
}

// A product or sum that rounds up to a whole day belongs to the next day's midnight; past the end
// of the range the instant stays on the last representable one.
TJulianDate TJulianDate::FromDayAndSecond(std::int64_t day, double second) {
    if (second >= SecondsPerDay) {
        if (day + 1 < EndDay) return {TRaw{}, day + 1, 0};
        return {TRaw{}, day, std::nextafter(SecondsPerDay, 0.0)};
    }
    return {TRaw{}, day, second};
}

double TJulianDate::JD() const noexcept {
    // The last instants of the range would round up to its end, which is not itself in range.
    return std::min(JD1() + JD2(), std::nextafter(EndJD, 0.0));
}

double TJulianDate::MJD() const noexcept {
    return std::min(static_cast<double>(civilDay_ - 2400001) + JD2(), std::nextafter(EndJD - MJDOffset, 0.0));
}

double TJulianDate::JD1() const noexcept {
    return static_cast<double>(civilDay_) - 0.5;
}

double TJulianDate::JD2() const noexcept {
    return second_ / SecondsPerDay;
}

std::int64_t TJulianDate::JDN() const noexcept {
    return second_ < SecondsPerDay / 2 ? civilDay_ - 1 : civilDay_;
}

TWeekday TJulianDate::DayOfWeek() const noexcept {
    // JDN 0 was a Monday.
    return static_cast<TWeekday>(civilDay_ - FloorDiv(civilDay_, 7) * 7 + 1);
}

TCalendarDate TJulianDate::ToCalendar(TCalendar calendar) const {
    const detail::Ymd ymd = detail::DateOfDay(civilDay_, calendar);
    const double minuteStart = StartOfMinute(second_);
    const auto wholeMinutes = static_cast<int>(minuteStart / 60);
    return {ymd.year, ymd.month, ymd.day, wholeMinutes / 60, wholeMinutes % 60, second_ - minuteStart};
}

std::string TJulianDate::ToIsoDate(TCalendar calendar) const {
    const detail::Ymd ymd = detail::DateOfDay(civilDay_, calendar);
    return detail::FormatYmd(ymd.year, ymd.month, ymd.day);
}

} // namespace ostrel
