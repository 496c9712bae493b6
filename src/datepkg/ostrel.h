/* Ostrel's C interface: calendar dates and times <-> two-part Julian Dates, for C and for any
 * language that calls C (Python's ctypes, Fortran, Julia, ...). Valid C99 and C++.
 *
 * Conventions are those of the C++ class TJulianDate (datepkg/JulianDate.h): days without time zones
 * or leap seconds, years numbered astronomically (0 is 1 BC), dates from -9999-01-01 (Julian) to
 * 9999-12-31 (Gregorian), and three calendars:
 *   OSTREL_MIXED      Julian up to 1582-10-04, then Gregorian from 1582-10-15;
 *   OSTREL_GREGORIAN  proleptic Gregorian for every date;
 *   OSTREL_JULIAN     proleptic Julian for every date.
 *
 * Two-part Julian Date: jd1 + jd2 is the JD. On output jd1 is the JD of the preceding midnight (a
 * whole number plus 0.5) and jd2 the fraction of the day, which keeps the time of day to far below
 * a microsecond; on input any split is taken (2451545.25 + 0, 2451545 + 0.25, 0 + 2451545.25).
 *
 * Every call returns a status: OSTREL_OK or one of the error statuses below (ostrel_strerror says
 * which in words). Nothing throws. On an error the outputs are left as they were, except that
 * ostrel_to_iso writes an empty text when it has room for one. */
#ifndef OSTREL_H
#define OSTREL_H

#include <stddef.h>

#include "datepkg/OstrelExport.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum { OSTREL_MIXED = 0, OSTREL_GREGORIAN = 1, OSTREL_JULIAN = 2 } ostrel_calendar;

enum {
    OSTREL_OK = 0,
    OSTREL_ERR_NO_SUCH_DATE = 1, /* 30 February, month 13, hour 24, week 54, 1582-10-10 mixed */
    OSTREL_ERR_CALENDAR = 2,     /* a calendar value outside ostrel_calendar */
    OSTREL_ERR_NOT_FINITE = 3,   /* NaN or infinite input */
    OSTREL_ERR_NULL = 4,         /* a NULL pointer */
    OSTREL_ERR_RANGE = 5,        /* a date out of range */
    OSTREL_ERR_BUFFER = 6,       /* the buffer is too small for the text */
    OSTREL_ERR_SYNTAX = 7,       /* a text that is not an ISO 8601 date */
    OSTREL_ERR_DECIMALS = 8,     /* decimals outside 0 to 9 */
    OSTREL_ERR_INTERNAL = 9      /* out of memory */
};

/* A calendar date and time (second in [0, 60)) -> two-part JD. */
OSTREL_API int ostrel_to_jd(int year, int month, int day, int hour, int minute, double second,
                            ostrel_calendar calendar, double* jd1, double* jd2);
/* Two-part JD -> calendar date and time. */
OSTREL_API int ostrel_from_jd(double jd1, double jd2, ostrel_calendar calendar, int* year, int* month,
                              int* day, int* hour, int* minute, double* second);
/* ISO 8601 text (YYYY-MM-DD[Thh:mm[:ss[.fffffffff]]][Z]) -> two-part JD. */
OSTREL_API int ostrel_from_iso(const char* text, ostrel_calendar calendar, double* jd1, double* jd2);
/* Two-part JD -> "YYYY-MM-DDThh:mm:ss" with 0 to 9 decimals of the second, into buffer of size
 * bytes; never writes past size and always ends what it writes with '\0'. OSTREL_ISO_SIZE bytes
 * hold any date with nine decimals. */
#define OSTREL_ISO_SIZE 32
OSTREL_API int ostrel_to_iso(double jd1, double jd2, ostrel_calendar calendar, int decimals, char* buffer,
                             size_t size);
/* 1 Monday ... 7 Sunday; 0 on error. */
OSTREL_API int ostrel_weekday(double jd1, double jd2);
/* Static text, never NULL; "unknown status" for values that are no status. */
OSTREL_API const char* ostrel_strerror(int status);

/* -1, 0 or 1 into *order as the instant a1 + a2 is before, at or after b1 + b2. */
OSTREL_API int ostrel_compare(double a1, double a2, double b1, double b2, int* order);
/* 1 for 1 January of the date that holds the instant, up to 366. */
OSTREL_API int ostrel_day_of_year(double jd1, double jd2, ostrel_calendar calendar, int* day_of_year);
/* ISO 8601 week date (week-numbering year, week 1 to 53, weekday 1 Monday to 7 Sunday) of the date
 * that holds the instant, and back to the midnight that starts such a day. */
OSTREL_API int ostrel_to_iso_week(double jd1, double jd2, ostrel_calendar calendar, int* year, int* week,
                                  int* weekday);
OSTREL_API int ostrel_from_iso_week(int year, int week, int weekday, ostrel_calendar calendar, double* jd1,
                                    double* jd2);
/* Easter Sunday of a year from 1 to 9999 as a month and day: the Gregorian computus with
 * OSTREL_GREGORIAN, the Julian one with OSTREL_JULIAN (the date then in the Julian calendar), and
 * with OSTREL_MIXED the Julian one before 1583. */
OSTREL_API int ostrel_easter(int year, ostrel_calendar calendar, int* month, int* day);

#ifdef __cplusplus
}
#endif

#endif /* OSTREL_H */
