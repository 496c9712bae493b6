// TJulianDate against published Julian Dates, weekdays and the calendar rules.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "datepkg/JulianDate.h"

namespace {

using ostrel::EDateError;
using ostrel::TCalendar;
using ostrel::TCalendarDate;
using ostrel::TJulianDate;
using ostrel::TWeekday;

struct Published {
    int year, month;
    double day; // with the fraction of the day
    double jd;
};

// The worked examples of the standard astronomical algorithms (mixed calendar).
TEST(JulianDate, PublishedExamples) {
    const Published examples[] = {
        {2000, 1, 1.5, 2451545.0},    {1999, 1, 1.0, 2451179.5},   {1987, 1, 27.0, 2446822.5},
        {1987, 6, 19.5, 2446966.0},   {1988, 1, 27.0, 2447187.5},  {1988, 6, 19.5, 2447332.0},
        {1900, 1, 1.0, 2415020.5},    {1600, 1, 1.0, 2305447.5},   {1600, 12, 31.0, 2305812.5},
        {1957, 10, 4.81, 2436116.31}, {837, 4, 10.3, 2026871.8},   {333, 1, 27.5, 1842713.0},
        {-123, 12, 31.0, 1676496.5},  {-122, 1, 1.0, 1676497.5},   {-1000, 7, 12.5, 1356001.0},
        {-1000, 2, 29.0, 1355866.5},  {-1001, 8, 17.9, 1355671.4}, {-4712, 1, 1.5, 0.0},
        {1858, 11, 17.0, 2400000.5},  {1582, 10, 4.0, 2299159.5},  {1582, 10, 15.0, 2299160.5},
    };
    for (const Published& p : examples) {
        const TJulianDate t = TJulianDate::FromCalendar(p.year, p.month, p.day);
        EXPECT_NEAR(t.JD(), p.jd, 1e-8) << p.year << "-" << p.month << "-" << p.day;
        const TCalendarDate back = TJulianDate::FromJD(p.jd).ToCalendar();
        const double day = back.day + (back.hour * 3600 + back.minute * 60 + back.second) / 86400;
        EXPECT_EQ(back.year, p.year);
        EXPECT_EQ(back.month, p.month);
        EXPECT_NEAR(day, p.day, 1e-8) << p.jd;
    }
}

TEST(JulianDate, EpochsAndDayNumbers) {
    EXPECT_EQ(TJulianDate().JD(), 2451545.0);
    EXPECT_EQ(TJulianDate::FromCalendar({-4712, 1, 1, 12}).JD(), 0.0);
    EXPECT_EQ(TJulianDate::FromCalendar({-4713, 11, 24, 12}, TCalendar::_Gregorian).JD(), 0.0);
    EXPECT_EQ(TJulianDate::FromCalendar({1858, 11, 17}).MJD(), 0.0);
    EXPECT_EQ(TJulianDate::FromMJD(51544.5).JD(), 2451545.0);
    EXPECT_EQ(TJulianDate::FromJD(2451545.25).MJD(), 51544.75);

    EXPECT_EQ(TJulianDate::DayNumber(1582, 10, 4), 2299160);
    EXPECT_EQ(TJulianDate::DayNumber(1582, 10, 15), 2299161);
    EXPECT_EQ(TJulianDate::DayNumber(1582, 10, 15, TCalendar::_Julian), 2299171);
    EXPECT_EQ(TJulianDate::DayNumber(1582, 10, 4, TCalendar::_Gregorian), 2299150);
    EXPECT_EQ(TJulianDate::DayNumber(9999, 12, 31), 5373484);
    EXPECT_EQ(TJulianDate::FromJDN(2299160).ToIsoDate(), "1582-10-04");
    EXPECT_EQ(TJulianDate::FromJDN(2299161).ToIsoDate(), "1582-10-15");

    // The Julian day runs from noon to noon; the calendar date from midnight.
    EXPECT_EQ(TJulianDate::FromIso("2000-01-01T00:00").JDN(), 2451544);
    EXPECT_EQ(TJulianDate::FromIso("2000-01-01T11:59:59").JDN(), 2451544);
    EXPECT_EQ(TJulianDate::FromIso("2000-01-01T12:00").JDN(), 2451545);
    EXPECT_EQ(TJulianDate::FromJD(-0.25).JDN(), -1);
}

TEST(JulianDate, DayOfWeek) {
    struct Case {
        const char* date;
        TWeekday weekday;
    };
    const Case cases[] = {
        {"-4712-01-01T12:00", TWeekday::_Monday},  {"1582-10-04", TWeekday::_Thursday},
        {"1582-10-15", TWeekday::_Friday},         {"1858-11-17", TWeekday::_Wednesday},
        {"1954-06-30", TWeekday::_Wednesday},      {"1957-10-04T19:26", TWeekday::_Friday},
        {"2000-01-01T23:59", TWeekday::_Saturday}, {"1066-10-14", TWeekday::_Saturday},
        {"1776-07-04", TWeekday::_Thursday},       {"1969-07-20T20:17", TWeekday::_Sunday},
    };
    for (const Case& c : cases) EXPECT_EQ(TJulianDate::FromIso(c.date).DayOfWeek(), c.weekday) << c.date;
}

TEST(JulianDate, LeapYearsFollowTheCalendar) {
    EXPECT_TRUE(TJulianDate::IsLeapYear(1500));
    EXPECT_FALSE(TJulianDate::IsLeapYear(1500, TCalendar::_Gregorian));
    EXPECT_FALSE(TJulianDate::IsLeapYear(1700));
    EXPECT_TRUE(TJulianDate::IsLeapYear(1700, TCalendar::_Julian));
    EXPECT_TRUE(TJulianDate::IsLeapYear(2000));
    EXPECT_TRUE(TJulianDate::IsLeapYear(0));
    EXPECT_TRUE(TJulianDate::IsLeapYear(-4));
    EXPECT_FALSE(TJulianDate::IsLeapYear(-1));
    EXPECT_FALSE(TJulianDate::IsLeapYear(-100, TCalendar::_Gregorian));
    EXPECT_EQ(TJulianDate::DaysInMonth(2024, 2), 29);
    EXPECT_EQ(TJulianDate::DaysInMonth(2024, 13), 0);
}

struct Invalid {
    const char* text;
    TCalendar calendar;
    const char* reason; // the start of the error message
};

TEST(JulianDate, InvalidDatesAreRefusedWithReason) {
    const Invalid cases[] = {
        {"2000-02-30", TCalendar::_Mixed, "2000-02-30 does not exist: February 2000 has 29 days"},
        {"2001-02-29", TCalendar::_Mixed, "2001-02-29 does not exist: February 2001 has 28 days"},
        {"1900-02-29", TCalendar::_Mixed, "1900-02-29 does not exist"},
        {"1500-02-29", TCalendar::_Gregorian, "1500-02-29 does not exist"},
        {"2000-04-31", TCalendar::_Julian, "2000-04-31 does not exist: April 2000 has 30 days"},
        {"2000-01-00", TCalendar::_Mixed, "2000-01-00 does not exist"},
        {"2000-13-01", TCalendar::_Mixed, "month 13 is not 1 to 12"},
        {"2000-00-10", TCalendar::_Mixed, "month 0 is not 1 to 12"},
        {"1582-10-05", TCalendar::_Mixed, "1582-10-05 does not exist in the mixed calendar"},
        {"1582-10-14T23:59", TCalendar::_Mixed, "1582-10-14 does not exist in the mixed calendar"},
        {"2000-01-01T24:00", TCalendar::_Mixed, "hour 24 is not 0 to 23"},
        {"2000-01-01T12:60", TCalendar::_Mixed, "minute 60 is not 0 to 59"},
        {"2000-01-01T12:00:60", TCalendar::_Mixed, "second 60"},
        {"10000-01-01", TCalendar::_Gregorian, "10000-01-01 is out of range"},
        {"9999-10-20", TCalendar::_Julian, "9999-10-20 is out of range"},
        {"-10000-12-31", TCalendar::_Mixed, "-10000-12-31 is out of range"},
        {"-10000-10-15", TCalendar::_Gregorian, "-10000-10-15 is out of range"},
        {"", TCalendar::_Mixed, "not an ISO 8601 date"},
        {"2000-1-1", TCalendar::_Mixed, "not an ISO 8601 date"},
        {"20000101", TCalendar::_Mixed, "not an ISO 8601 date"},
        {"2000-01-01 12:00", TCalendar::_Mixed, "not an ISO 8601 date"},
        {"2000-01-01T12", TCalendar::_Mixed, "not an ISO 8601 date"},
        {"2000-01-01T12:00+01:00", TCalendar::_Mixed, "not an ISO 8601 date"},
        {"2000-01-01T12:00:00.", TCalendar::_Mixed, "not an ISO 8601 date"},
        {"2000-01-01Z", TCalendar::_Mixed, "not an ISO 8601 date"},
        {"123456-01-01", TCalendar::_Mixed, "not an ISO 8601 date"},
    };
    for (const Invalid& c : cases) {
        try {
            TJulianDate::FromIso(c.text, c.calendar);
            ADD_FAILURE() << c.text << " accepted";
        } catch (const EDateError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.reason, 0), 0u) << c.text << ": " << e.what();
        }
    }
    // The same dates are fine where the calendar has them.
    EXPECT_EQ(TJulianDate::FromIso("1500-02-29").ToIsoDate(TCalendar::_Julian), "1500-02-29");
    EXPECT_EQ(TJulianDate::FromIso("1900-02-29", TCalendar::_Julian).ToIsoDate(), "1900-03-13");
    EXPECT_EQ(TJulianDate::FromIso("1582-10-10", TCalendar::_Gregorian).ToIsoDate(), "1582-09-30");
    EXPECT_THROW(TJulianDate::FromCalendar(2000, 1, 32.5), EDateError);
    EXPECT_THROW(TJulianDate::FromCalendar({2000, 1, 1, 0, 0, -0.5}), EDateError);
    EXPECT_THROW(TJulianDate::FromCalendar({2000, 1, 1, 0, 0, std::nan("")}), EDateError);
}

TEST(JulianDate, RangeEnds) {
    const double below = std::nextafter(TJulianDate::MinJD, -1e9);
    const double last = std::nextafter(TJulianDate::EndJD, 0.0);
    EXPECT_EQ(TJulianDate::FromIso("-9999-01-01").JD(), TJulianDate::MinJD);
    EXPECT_EQ(TJulianDate::FromIso("9999-12-31T23:59:59.999").JDN(), 5373484);
    EXPECT_EQ(TJulianDate::FromJD(TJulianDate::MinJD).ToIso(), "-9999-01-01T00:00:00");
    EXPECT_EQ(TJulianDate::FromJD(TJulianDate::MinJD).ToIso(TCalendar::_Gregorian), "-10000-10-16T00:00:00");
    EXPECT_EQ(TJulianDate::FromJD(last).ToIsoDate(), "9999-12-31");
    // Rounding at the very end stays on the last day instead of leaving the range.
    EXPECT_EQ(TJulianDate::FromJD(last).ToIso(), "9999-12-31T23:59:59");
    EXPECT_EQ(TJulianDate::FromJD(last).ToIso(TCalendar::_Julian), "9999-10-19T23:59:59");
    for (double jd : {below, TJulianDate::EndJD, std::numeric_limits<double>::infinity(), std::nan("")})
        EXPECT_THROW(TJulianDate::FromJD(jd), EDateError) << jd;
    EXPECT_THROW(TJulianDate::FromMJD(TJulianDate::EndJD - TJulianDate::MJDOffset), EDateError);
    EXPECT_THROW(TJulianDate::FromJDN(5373485), EDateError);
    EXPECT_THROW(TJulianDate::FromJDN(-1931077), EDateError);
    EXPECT_THROW(TJulianDate::DayNumber(-10000, 12, 31), EDateError);
}

TEST(JulianDate, IsoTextInAndOut) {
    struct Case {
        const char* in;
        TCalendar calendar;
        const char* out;
    };
    const Case cases[] = {
        {"2000-01-01", TCalendar::_Mixed, "2000-01-01T00:00:00"},
        {"2000-01-01T12:00", TCalendar::_Mixed, "2000-01-01T12:00:00"},
        {"+2000-01-01T12:34:56Z", TCalendar::_Mixed, "2000-01-01T12:34:56"},
        {"2000-01-01T12:34:56,75", TCalendar::_Mixed, "2000-01-01T12:34:57"},
        {"0000-03-01", TCalendar::_Mixed, "0000-03-01T00:00:00"},
        {"-0001-12-31T06:00", TCalendar::_Mixed, "-0001-12-31T06:00:00"},
        {"-0044-03-15", TCalendar::_Julian, "-0044-03-15T00:00:00"},
        {"-10000-12-31", TCalendar::_Gregorian, "-10000-12-31T00:00:00"},
        // Rounding carries through the minute, the hour and the date, never giving 24:00:00.
        {"2000-01-01T23:59:59.9999", TCalendar::_Mixed, "2000-01-02T00:00:00"},
        {"1582-10-04T23:59:59.6", TCalendar::_Mixed, "1582-10-15T00:00:00"},
        {"1999-12-31T23:59:59.5", TCalendar::_Gregorian, "2000-01-01T00:00:00"},
        {"2000-01-01T00:59:59.5", TCalendar::_Mixed, "2000-01-01T01:00:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TJulianDate::FromIso(c.in, c.calendar).ToIso(c.calendar), c.out) << c.in;

    const TJulianDate late = TJulianDate::FromIso("2000-01-01T23:59:59.9999");
    EXPECT_EQ(late.ToIso(TCalendar::_Mixed, 3), "2000-01-02T00:00:00.000");
    EXPECT_EQ(late.ToIso(TCalendar::_Mixed, 4), "2000-01-01T23:59:59.9999");
    EXPECT_EQ(late.ToIsoDate(), "2000-01-01");
    const TCalendarDate parts = late.ToCalendar();
    EXPECT_EQ(parts.hour, 23);
    EXPECT_EQ(parts.minute, 59);
    EXPECT_NEAR(parts.second, 59.9999, 1e-6);
    EXPECT_LT(parts.second, 60.0);

    // 0.81 of a day after midnight: 19:26:24.
    EXPECT_EQ(TJulianDate::FromJD(2436116.31).ToIso(), "1957-10-04T19:26:24");
    EXPECT_EQ(TJulianDate::FromJD(2451545.000001).ToIso(TCalendar::_Mixed, 3), "2000-01-01T12:00:00.086");
}

} // namespace
