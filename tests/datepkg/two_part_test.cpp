// Two-part Julian Dates: any split in, the midnight and the fraction of the day out, and the time
// of day kept to far below a microsecond; the ends of the range; what the messages say.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "datepkg/JulianDate.h"

namespace {

using ostrel::EDateError;
using ostrel::TCalendar;
using ostrel::TCalendarDate;
using ostrel::TDateFault;
using ostrel::TJulianDate;

TEST(TwoPart, AnySplitGivesTheSameInstant) {
    struct Split {
        double jd1, jd2;
    };
    // All of them JD 2451545.25: 2000-01-01T18:00.
    const Split splits[] = {{2451545.25, 0},    {0, 2451545.25},      {2451545, 0.25},
                            {2451546, -0.75},   {2451544.5, 0.75},    {-1e6, 3451545.25},
                            {3451545.25, -1e6}, {2451545.125, 0.125}, {1e15, -1e15 + 2451545.25}};
    for (const Split& s : splits) {
        const TJulianDate t(s.jd1, s.jd2);
        EXPECT_EQ(t.JD1(), 2451544.5) << s.jd1 << " + " << s.jd2;
        EXPECT_EQ(t.JD2(), 0.75) << s.jd1 << " + " << s.jd2;
        EXPECT_EQ(t.ToIso(), "2000-01-01T18:00:00");
    }
    // The midnight and the fraction come out, whatever came in; at midnight the fraction is 0.
    EXPECT_EQ(TJulianDate(2451545.0, 0.5).JD1(), 2451545.5);
    EXPECT_EQ(TJulianDate(2451545.0, 0.5).JD2(), 0.0);
    EXPECT_EQ(TJulianDate(-0.25, 0).JD1(), -0.5);
    EXPECT_EQ(TJulianDate(-0.25, 0).JD2(), 0.25);
    EXPECT_EQ(TJulianDate::FromJDN(0).JD1(), -0.5);
}

TEST(TwoPart, BadPartsAreRefusedWithTheirFault) {
    struct Case {
        double jd1, jd2;
        TDateFault fault;
        const char* reason;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {std::nan(""), 0, TDateFault::_NotFinite, "JD is not a finite number"},
        {2451545, inf, TDateFault::_NotFinite, "JD is not a finite number"},
        {1e300, -1e300, TDateFault::_OutOfRange,
         "JD 1.0000000000000001e+300 + -1.0000000000000001e+300 is out"},
        {5373484, 0.5, TDateFault::_OutOfRange, "JD 5373484 + 0.5 is out of range"},
        {-1931076.5, -1e-9, TDateFault::_OutOfRange, "JD -1931076.5 + -1.0000000000000001e-09 is out"},
    };
    for (const Case& c : cases) {
        try {
            TJulianDate(c.jd1, c.jd2);
            ADD_FAILURE() << c.reason;
        } catch (const EDateError& e) {
            EXPECT_EQ(e.Fault(), c.fault) << c.reason;
            EXPECT_EQ(std::string(e.what()).rfind(c.reason, 0), 0u) << e.what();
        }
    }
    EXPECT_EQ(TJulianDate(-1931076.5, 0).ToIso(), "-9999-01-01T00:00:00");
    EXPECT_EQ(TJulianDate(5373484, 0.49999).ToIsoDate(), "9999-12-31");
}

// A date and time with nanoseconds, to the two parts and back, over the whole range: the second
// comes back to within 0.1 us (a single double JD steps by up to 0.9 ms at the ends of the range).
TEST(TwoPart, RoundTripsKeepSubMicroseconds) {
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<int> year(-9998, 9998), month(1, 12), day(1, 28), hour(0, 23),
        minute(0, 59);
    std::uniform_int_distribution<long> nanos(0, 59'999'999'999L);
    const TCalendar calendars[] = {TCalendar::_Mixed, TCalendar::_Gregorian, TCalendar::_Julian};
    double worst = 0;
    for (int i = 0; i < 200000; ++i) {
        const TCalendar calendar = calendars[i % 3];
        TCalendarDate d{year(random), month(random),  day(random),
                        hour(random), minute(random), static_cast<double>(nanos(random)) * 1e-9};
        if (calendar == TCalendar::_Mixed && d.year == 1582 && d.month == 10) d.day = 1;
        const TJulianDate t = TJulianDate::FromCalendar(d, calendar);
        const TCalendarDate back = TJulianDate(t.JD1(), t.JD2()).ToCalendar(calendar);
        ASSERT_EQ(back.year, d.year);
        ASSERT_EQ(back.month, d.month);
        ASSERT_EQ(back.day, d.day);
        ASSERT_EQ(back.hour * 60 + back.minute, d.hour * 60 + d.minute) << d.year;
        worst = std::max(worst, std::fabs(back.second - d.second));
    }
    EXPECT_LT(worst, 1e-7);
    // A single double cannot do this: 56.123456789 s near JD 2.46e6.
    const TJulianDate t = TJulianDate::FromIso("2024-06-30T12:34:56.123456789");
    EXPECT_EQ(TJulianDate(t.JD1(), t.JD2()).ToIso(TCalendar::_Mixed, 9), "2024-06-30T12:34:56.123456789");
    EXPECT_NE(TJulianDate::FromJD(t.JD()).ToIso(TCalendar::_Mixed, 9), "2024-06-30T12:34:56.123456789");
}

TEST(TwoPart, TheLastInstantsGiveJdsThatReadBack) {
    for (const char* text :
         {"9999-12-31T23:59:59.99999", "9999-12-31T23:59:59.999999999", "9999-12-31T23:59:59"}) {
        const TJulianDate t = TJulianDate::FromIso(text);
        EXPECT_LT(t.JD(), TJulianDate::EndJD) << text;
        EXPECT_LT(t.MJD(), TJulianDate::EndJD - TJulianDate::MJDOffset) << text;
        EXPECT_EQ(TJulianDate::FromJD(t.JD()).ToIsoDate(), "9999-12-31") << text;
        EXPECT_EQ(TJulianDate::FromMJD(t.MJD()).ToIsoDate(), "9999-12-31") << text;
        EXPECT_EQ(TJulianDate(t.JD1(), t.JD2()), t) << text;
    }
}

TEST(Messages, SayWhatWasGiven) {
    struct Case {
        void (*call)();
        const char* message;
    };
    const Case cases[] = {
        {[] { TJulianDate::DayNumber(2000, 1, 131); },
         "year 2000, month 1, day 131 does not exist: January 2000 has 31 days"},
        {[] { TJulianDate::DayNumber(2000, -5, 1); },
         "month -5 is not 1 to 12 in year 2000, month -5, day 1"},
        {[] { TJulianDate::DayNumber(2000, 113, 1); },
         "month 113 is not 1 to 12 in year 2000, month 113, day 1"},
        {[] { TJulianDate::DayNumber(2000, 2, -1); }, "year 2000, month 2, day -1 does not exist"},
        {[] { TJulianDate::FromJD(1e300); }, "JD 1.0000000000000001e+300 is out of range"},
        {[] { TJulianDate::FromJD(std::nextafter(TJulianDate::EndJD, 1e9)); },
         "JD 5373484.5000000009 is out"},
        {[] { TJulianDate::FromMJD(-1e300); }, "MJD -1.0000000000000001e+300 is out of range"},
        {[] { TJulianDate::FromMJD(2973484); }, "MJD 2973484 is out of range"},
        {[] {
             TJulianDate::FromCalendar({2000, 1, 1, 0, 0, -1e-300});
         },
         "second -1e-300 is not from 0 to below 60"},
        {[] {
             TJulianDate::FromCalendar({2000, 1, 1, 0, 0, 60.000000000000007});
         },
         "second 60.000000000000007 is not from 0 to below 60"},
        {[] { TJulianDate::FromCalendar(2000, 1, 32.000000000000007); },
         "day 32.000000000000007 is not a day of the month"},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.message;
        } catch (const EDateError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
    }
}

} // namespace
