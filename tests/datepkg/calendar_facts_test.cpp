// Day of the year, ISO 8601 week dates, Easter Sunday, std::chrono days and the order of instants,
// against published dates.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "datepkg/JulianDate.h"

namespace {

using ostrel::EDateError;
using ostrel::TCalendar;
using ostrel::TDateFault;
using ostrel::TIsoWeekDate;
using ostrel::TJulianDate;

TEST(CalendarFacts, DayOfYear) {
    struct Case {
        const char* date;
        TCalendar calendar;
        int day;
    };
    const Case cases[] = {
        {"2000-01-01", TCalendar::_Mixed, 1},      {"2000-12-31T23:59", TCalendar::_Mixed, 366},
        {"1999-12-31", TCalendar::_Mixed, 365},    {"2000-03-01", TCalendar::_Mixed, 61},
        {"1900-03-01", TCalendar::_Gregorian, 60}, {"1900-03-01", TCalendar::_Julian, 61},
        {"1582-10-15", TCalendar::_Mixed, 278},    {"1582-12-31", TCalendar::_Mixed, 355},
        {"-0044-03-15", TCalendar::_Julian, 75},   {"-10000-12-31", TCalendar::_Gregorian, 366},
        {"-9999-01-01", TCalendar::_Mixed, 1},     {"9999-12-31", TCalendar::_Gregorian, 365},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TJulianDate::FromIso(c.date, c.calendar).DayOfYear(c.calendar), c.day) << c.date;
}

// The examples of ISO 8601 week dates around the turn of the year that the standard's
// explanations list.
TEST(CalendarFacts, IsoWeekDates) {
    struct Case {
        const char* date;
        TIsoWeekDate week;
    };
    const Case cases[] = {
        {"2005-01-01", {2004, 53, 6}}, {"2005-01-02", {2004, 53, 7}}, {"2005-12-31", {2005, 52, 6}},
        {"2006-01-01", {2005, 52, 7}}, {"2006-01-02", {2006, 1, 1}},  {"2007-01-01", {2007, 1, 1}},
        {"2007-12-30", {2007, 52, 7}}, {"2007-12-31", {2008, 1, 1}},  {"2008-01-01", {2008, 1, 2}},
        {"2008-12-28", {2008, 52, 7}}, {"2008-12-29", {2009, 1, 1}},  {"2009-12-31", {2009, 53, 4}},
        {"2010-01-03", {2009, 53, 7}}, {"2010-01-04", {2010, 1, 1}},  {"1977-01-01", {1976, 53, 6}},
    };
    for (const Case& c : cases) {
        const TJulianDate noonish = TJulianDate::FromIso(std::string(c.date) + "T13:14");
        EXPECT_EQ(noonish.ToIsoWeek(), c.week) << c.date;
        EXPECT_EQ(TJulianDate::FromIsoWeek(c.week.year, c.week.week, c.week.weekday).ToIso(),
                  std::string(c.date) + "T00:00:00")
            << c.date;
    }
    // Before the reform the calendars' years start on different days, and so do their weeks.
    EXPECT_EQ(TJulianDate::FromIso("1500-01-01", TCalendar::_Julian).ToIsoWeek(TCalendar::_Julian),
              (TIsoWeekDate{1500, 1, 3}));
    EXPECT_EQ(TJulianDate::FromIsoWeek(1500, 1, 1, TCalendar::_Gregorian).ToIsoDate(TCalendar::_Gregorian),
              "1500-01-01");

    struct Bad {
        int year, week, weekday;
        const char* reason;
    };
    const Bad bad[] = {
        {2009, 54, 1, "week 54 of 2009 does not exist: the year has 53 weeks"},
        {2010, 53, 1, "week 53 of 2010 does not exist: the year has 52 weeks"},
        {2010, 0, 1, "week 0 of 2010 does not exist"},
        {2010, 1, 8, "weekday 8 is not 1 to 7 in 2010-W1-8"},
        {2010, 1, 0, "weekday 0 is not 1 to 7"},
        {10000, 1, 1, "10000-W1-1 is out of range"},
        {-2147483647 - 1, 1, 1, "-2147483648-W1-1 is out of range"},
    };
    for (const Bad& b : bad) {
        try {
            TJulianDate::FromIsoWeek(b.year, b.week, b.weekday);
            ADD_FAILURE() << b.reason;
        } catch (const EDateError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(b.reason, 0), 0u) << e.what();
        }
    }
}

// Meeus' examples and tables of Easter dates (Western churches: Gregorian; Orthodox: Julian).
TEST(CalendarFacts, EasterSunday) {
    struct Case {
        int year;
        TCalendar computus;
        const char* date;  // in the computus' own calendar
        const char* civil; // in the mixed calendar
    };
    const Case cases[] = {
        {1818, TCalendar::_Gregorian, "1818-03-22", "1818-03-22"},
        {1886, TCalendar::_Gregorian, "1886-04-25", "1886-04-25"},
        {1943, TCalendar::_Gregorian, "1943-04-25", "1943-04-25"},
        {1954, TCalendar::_Gregorian, "1954-04-18", "1954-04-18"},
        {1991, TCalendar::_Gregorian, "1991-03-31", "1991-03-31"},
        {1992, TCalendar::_Gregorian, "1992-04-19", "1992-04-19"},
        {1993, TCalendar::_Gregorian, "1993-04-11", "1993-04-11"},
        {2000, TCalendar::_Gregorian, "2000-04-23", "2000-04-23"},
        {2008, TCalendar::_Gregorian, "2008-03-23", "2008-03-23"},
        {2019, TCalendar::_Gregorian, "2019-04-21", "2019-04-21"},
        {2024, TCalendar::_Gregorian, "2024-03-31", "2024-03-31"},
        {2038, TCalendar::_Gregorian, "2038-04-25", "2038-04-25"},
        {2285, TCalendar::_Gregorian, "2285-03-22", "2285-03-22"},
        {179, TCalendar::_Julian, "0179-04-12", "0179-04-12"},
        {711, TCalendar::_Julian, "0711-04-12", "0711-04-12"},
        {1243, TCalendar::_Julian, "1243-04-12", "1243-04-12"},
        {2008, TCalendar::_Julian, "2008-04-14", "2008-04-27"},
        {2021, TCalendar::_Julian, "2021-04-19", "2021-05-02"},
        {2023, TCalendar::_Julian, "2023-04-03", "2023-04-16"},
        {2024, TCalendar::_Julian, "2024-04-22", "2024-05-05"},
        {2025, TCalendar::_Julian, "2025-04-07", "2025-04-20"},
    };
    for (const Case& c : cases) {
        const TJulianDate easter = TJulianDate::EasterSunday(c.year, c.computus);
        EXPECT_EQ(easter.ToIso(c.computus), std::string(c.date) + "T00:00:00") << c.year;
        EXPECT_EQ(easter.ToIsoDate(), c.civil) << c.year;
        EXPECT_EQ(easter.DayOfWeek(), ostrel::TWeekday::_Sunday) << c.year;
    }
    // The mixed calendar takes the Julian computus up to 1582.
    EXPECT_EQ(TJulianDate::EasterSunday(1582).ToIsoDate(), "1582-04-15");
    EXPECT_EQ(TJulianDate::EasterSunday(1583).ToIsoDate(), "1583-04-10");
    EXPECT_EQ(TJulianDate::EasterSunday(1243), TJulianDate::EasterSunday(1243, TCalendar::_Julian));
    for (int year : {0, -44, 10000}) {
        try {
            TJulianDate::EasterSunday(year);
            ADD_FAILURE() << year;
        } catch (const EDateError& e) {
            EXPECT_EQ(e.Fault(), TDateFault::_OutOfRange);
        }
    }
}

TEST(CalendarFacts, ChronoDays) {
    using namespace std::chrono;
    struct Case {
        sys_days day;
        const char* date; // in the mixed calendar
    };
    const Case cases[] = {
        {sys_days{1970y / January / 1}, "1970-01-01"},
        {sys_days{2000y / February / 29}, "2000-02-29"},
        {sys_days{1582y / October / 15}, "1582-10-15"},
        {sys_days{1582y / October / 14}, "1582-10-04"}, // proleptic Gregorian before the reform
        {sys_days{9999y / December / 31}, "9999-12-31"},
    };
    for (const Case& c : cases) {
        const TJulianDate t = TJulianDate::FromSysDays(c.day);
        EXPECT_EQ(t.ToIso(), std::string(c.date) + "T00:00:00");
        EXPECT_EQ(TJulianDate::FromIso(std::string(c.date) + "T23:59:59.999").ToSysDays(), c.day) << c.date;
    }
    EXPECT_THROW(TJulianDate::FromSysDays(sys_days{10000y / January / 1}), EDateError);
    EXPECT_THROW(TJulianDate::FromSysDays(sys_days{days{-1000000000}}), EDateError);
}

TEST(CalendarFacts, InstantsAreOrdered) {
    const TJulianDate a = TJulianDate::FromIso("2000-01-01T12:00:00.000001");
    const TJulianDate b = TJulianDate::FromIso("2000-01-01T12:00:00.000002");
    const TJulianDate nextDay = TJulianDate::FromIso("2000-01-02T00:00");
    EXPECT_LT(a, b);
    EXPECT_GT(nextDay, b);
    EXPECT_LE(a, a);
    EXPECT_GE(TJulianDate(2451545.0, 0.0), TJulianDate(2451544.5, 0.5));
    EXPECT_TRUE((TJulianDate(2451545.0, 0.0) <=> TJulianDate(2451544.5, 0.5)) == 0);
    // Later in the day but on an earlier day is earlier.
    EXPECT_LT(TJulianDate::FromIso("1999-12-31T23:59:59"), TJulianDate::FromIso("2000-01-01T00:00:01"));
    EXPECT_LT(TJulianDate::FromIso("-9999-01-01"), TJulianDate::FromIso("9999-12-31"));
}

} // namespace
