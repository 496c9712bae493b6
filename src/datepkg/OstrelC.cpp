// The C interface: each call checks its pointers and numbers, then runs the C++ class inside a
// handler that turns every exception into a status, so that nothing unwinds into a C caller.
#include "datepkg/ostrel.h"

#include <cstring>
#include <new>
#include <string>

#include "datepkg/JulianDate.h"

namespace {

using ostrel::EDateError;
using ostrel::TCalendar;
using ostrel::TDateFault;
using ostrel::TJulianDate;

// Read through memcpy: a C caller may pass any int, which a C++ enum object need not hold.
static_assert(sizeof(ostrel_calendar) == sizeof(int));

bool ToCalendar(ostrel_calendar given, TCalendar* calendar) {
    int value = 0;
    std::memcpy(&value, &given, sizeof value);
    if (value < OSTREL_MIXED || value > OSTREL_JULIAN) return false;
    *calendar = value == OSTREL_MIXED
                    ? TCalendar::_Mixed
                    : (value == OSTREL_GREGORIAN ? TCalendar::_Gregorian : TCalendar::_Julian);
    return true;
}

int StatusOf(TDateFault fault) {
    switch (fault) {
    case TDateFault::_NoSuchDate:
        return OSTREL_ERR_NO_SUCH_DATE;
    case TDateFault::_NotFinite:
        return OSTREL_ERR_NOT_FINITE;
    case TDateFault::_OutOfRange:
        return OSTREL_ERR_RANGE;
    case TDateFault::_Syntax:
        return OSTREL_ERR_SYNTAX;
    }
    return OSTREL_ERR_INTERNAL;
}

// Runs body(calendar) once the calendar is known good, with every exception turned into a status.
template <class Body> int Guarded(ostrel_calendar given, Body body) noexcept {
    TCalendar calendar = TCalendar::_Mixed;
    if (!ToCalendar(given, &calendar)) return OSTREL_ERR_CALENDAR;
    try {
        return body(calendar);
    } catch (const EDateError& e) {
        return StatusOf(e.Fault());
    } catch (...) { // std::bad_alloc, the only other exception the class can raise
        return OSTREL_ERR_INTERNAL;
    }
}

int Store(const TJulianDate& t, double* jd1, double* jd2) {
    *jd1 = t.JD1();
    *jd2 = t.JD2();
    return OSTREL_OK;
}

} // namespace

extern "C" {

int ostrel_to_jd(int year, int month, int day, int hour, int minute, double second, ostrel_calendar calendar,
                 double* jd1, double* jd2) {
    if (!jd1 || !jd2) return OSTREL_ERR_NULL;
    return Guarded(calendar, [&](TCalendar c) {
        return Store(TJulianDate::FromCalendar({year, month, day, hour, minute, second}, c), jd1, jd2);
    });
}

int ostrel_from_jd(double jd1, double jd2, ostrel_calendar calendar, int* year, int* month, int* day,
                   int* hour, int* minute, double* second) {
    if (!year || !month || !day || !hour || !minute || !second) return OSTREL_ERR_NULL;
    return Guarded(calendar, [&](TCalendar c) {
        const ostrel::TCalendarDate d = TJulianDate(jd1, jd2).ToCalendar(c);
        *year = d.year;
        *month = d.month;
        *day = d.day;
        *hour = d.hour;
        *minute = d.minute;
        *second = d.second;
        return OSTREL_OK;
    });
}

int ostrel_from_iso(const char* text, ostrel_calendar calendar, double* jd1, double* jd2) {
    if (!text || !jd1 || !jd2) return OSTREL_ERR_NULL;
    return Guarded(calendar, [&](TCalendar c) { return Store(TJulianDate::FromIso(text, c), jd1, jd2); });
}

int ostrel_to_iso(double jd1, double jd2, ostrel_calendar calendar, int decimals, char* buffer, size_t size) {
    if (!buffer) return OSTREL_ERR_NULL;
    if (size > 0) buffer[0] = '\0';
    if (decimals < 0 || decimals > 9) return OSTREL_ERR_DECIMALS;
    return Guarded(calendar, [&](TCalendar c) {
        const std::string text = TJulianDate(jd1, jd2).ToIso(c, decimals);
        if (text.size() >= size) return OSTREL_ERR_BUFFER;
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return OSTREL_OK;
    });
}

int ostrel_weekday(double jd1, double jd2) {
    int weekday = 0;
    Guarded(OSTREL_MIXED, [&](TCalendar) {
        weekday = static_cast<int>(TJulianDate(jd1, jd2).DayOfWeek());
        return OSTREL_OK;
    });
    return weekday;
}

const char* ostrel_strerror(int status) {
    switch (status) {
    case OSTREL_OK:
        return "no error";
    case OSTREL_ERR_NO_SUCH_DATE:
        return "no such date or time of day";
    case OSTREL_ERR_CALENDAR:
        return "not a calendar (0 mixed, 1 Gregorian, 2 Julian)";
    case OSTREL_ERR_NOT_FINITE:
        return "a number is not finite";
    case OSTREL_ERR_NULL:
        return "a pointer is NULL";
    case OSTREL_ERR_RANGE:
        return "out of range: the dates run from -9999-01-01 (Julian) to 9999-12-31 (Gregorian)";
    case OSTREL_ERR_BUFFER:
        return "the buffer is too small";
    case OSTREL_ERR_SYNTAX:
        return "not an ISO 8601 date";
    case OSTREL_ERR_DECIMALS:
        return "decimals are not 0 to 9";
    case OSTREL_ERR_INTERNAL:
        return "out of memory";
    default:
        return "unknown status";
    }
}

int ostrel_compare(double a1, double a2, double b1, double b2, int* order) {
    if (!order) return OSTREL_ERR_NULL;
    return Guarded(OSTREL_MIXED, [&](TCalendar) {
        const auto cmp = TJulianDate(a1, a2) <=> TJulianDate(b1, b2);
        *order = cmp < 0 ? -1 : (cmp > 0 ? 1 : 0);
        return OSTREL_OK;
    });
}

int ostrel_day_of_year(double jd1, double jd2, ostrel_calendar calendar, int* day_of_year) {
    if (!day_of_year) return OSTREL_ERR_NULL;
    return Guarded(calendar, [&](TCalendar c) {
        *day_of_year = TJulianDate(jd1, jd2).DayOfYear(c);
        return OSTREL_OK;
    });
}

int ostrel_to_iso_week(double jd1, double jd2, ostrel_calendar calendar, int* year, int* week, int* weekday) {
    if (!year || !week || !weekday) return OSTREL_ERR_NULL;
    return Guarded(calendar, [&](TCalendar c) {
        const ostrel::TIsoWeekDate w = TJulianDate(jd1, jd2).ToIsoWeek(c);
        *year = w.year;
        *week = w.week;
        *weekday = w.weekday;
        return OSTREL_OK;
    });
}

int ostrel_from_iso_week(int year, int week, int weekday, ostrel_calendar calendar, double* jd1,
                         double* jd2) {
    if (!jd1 || !jd2) return OSTREL_ERR_NULL;
    return Guarded(calendar, [&](TCalendar c) {
        return Store(TJulianDate::FromIsoWeek(year, week, weekday, c), jd1, jd2);
    });
}

int ostrel_easter(int year, ostrel_calendar calendar, int* month, int* day) {
    if (!month || !day) return OSTREL_ERR_NULL;
    return Guarded(calendar, [&](TCalendar c) {
        // The mixed calendar writes the date in the calendar whose computus found it.
        const ostrel::TCalendarDate d = TJulianDate::EasterSunday(year, c).ToCalendar(c);
        *month = d.month;
        *day = d.day;
        return OSTREL_OK;
    });
}

} // extern "C"
