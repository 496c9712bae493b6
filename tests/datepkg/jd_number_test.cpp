// JD and MJD text: every instant written with the fewest digits reads back to the same two parts;
// rounding to a number of decimals; what is not a number.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "datepkg/JdNumber.h"

namespace {

using ostrel::EDateError;
using ostrel::TDateFault;
using ostrel::TJulianDate;
using ostrel::jdtext::Read;
using ostrel::jdtext::TScale;
using ostrel::jdtext::Write;

TEST(JdText, EveryInstantReadsBackExactly) {
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> day(-1931076, 5373484);
    std::uniform_real_distribution<double> second(0, 86400);
    std::uniform_int_distribution<int> shape(0, 3);
    long mismatches = 0;
    std::string first;
    for (int i = 0; i < 100000; ++i) {
        // Whole seconds, a midnight, and times with every bit of the double in use.
        double s = second(random);
        if (shape(random) == 0) s = std::floor(s);
        if (shape(random) == 0) s = 0;
        const TJulianDate t = TJulianDate(static_cast<double>(day(random)) - 0.5, s / 86400);
        for (TScale scale : {TScale::_JD, TScale::_MJD}) {
            const std::string text = Write(t, scale);
            const TJulianDate back = Read(text, scale);
            if (back.JD1() != t.JD1() || back.JD2() != t.JD2()) {
                if (mismatches++ == 0) first = text;
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << first;
}

TEST(JdText, WritesTheFewestDigits) {
    struct Case {
        const char* iso;
        TScale scale;
        const char* text;
    };
    const Case cases[] = {
        {"2000-01-01T12:00", TScale::_JD, "2451545.0"},
        {"2000-01-01", TScale::_JD, "2451544.5"},
        {"2000-01-01T18:00", TScale::_JD, "2451545.25"},
        {"2000-01-01T12:00:00.01", TScale::_JD, "2451545.0000001157407408"},
        {"-4712-01-01T12:00", TScale::_JD, "0.0"},
        {"-4712-01-01T06:00", TScale::_JD, "-0.25"},
        {"-4712-01-01T00:00", TScale::_JD, "-0.5"},
        {"-4713-12-31T18:00", TScale::_JD, "-0.75"},
        {"-4713-12-31T06:00", TScale::_JD, "-1.25"},
        {"-9999-01-01", TScale::_JD, "-1931076.5"},
        {"1858-11-17", TScale::_MJD, "0.0"},
        {"1858-11-16T18:00", TScale::_MJD, "-0.25"},
        {"2000-01-01T12:00", TScale::_MJD, "51544.5"},
        {"2000-01-01T12:00:00.01", TScale::_MJD, "51544.5000001157407408"},
    };
    for (const Case& c : cases) EXPECT_EQ(Write(TJulianDate::FromIso(c.iso), c.scale), c.text) << c.iso;
}

TEST(JdText, RoundsToDecimalsHalfToEven) {
    struct Case {
        double jd1, jd2;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {2451544.5, 0.5, 6, "2451545.000000"},
        {2451544.5, 0.25, 1, "2451544.8"}, // 0.75: tie to even
        {2451544.5, 0.375, 2, "2451544.88"},
        {2451544.5, 0.125, 2, "2451544.62"},
        {2451544.5, 0.999, 2, "2451545.50"},
        {2451544.5, 0.9999, 0, "2451545"},
        {2451544.5, 0, 0, "2451544"},
        {2451545.5, 0, 0, "2451546"},
        {-0.5, 0.25, 1, "-0.2"},
        {-0.5, 0.5, 3, "0.000"},
        {-1.5, 0.375, 1, "-1.1"},
        {-0.5, 0.0625, 3, "-0.438"},
        {2451544.5, 1.0 / 3, 20, "2451544.83333333333333331483"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Write(TJulianDate(c.jd1, c.jd2), TScale::_JD, c.decimals), c.text) << c.jd1 << " " << c.jd2;
}

TEST(JdText, ReadsDecimalTextOnly) {
    struct Case {
        const char* text;
        const char* iso; // nullptr: refused
    };
    const Case cases[] = {
        {"2451545", "2000-01-01T12:00:00"},
        {"+2451545.25", "2000-01-01T18:00:00"},
        {"2.45154525e6", "2000-01-01T18:00:00"},
        {"245154525E-2", "2000-01-01T18:00:00"},
        {".5e1", "-4712-01-06T12:00:00"},
        {"-0.25", "-4712-01-01T06:00:00"},
        {"2451545.", "2000-01-01T12:00:00"},
        {"-0", "-4712-01-01T12:00:00"},
        {"0x1p21", nullptr},
        {" 2451545", nullptr},
        {"2451545 ", nullptr},
        {"\t2451545", nullptr},
        {"inf", nullptr},
        {"nan", nullptr},
        {"", nullptr},
        {"-", nullptr},
        {".", nullptr},
        {"1e", nullptr},
        {"1e+99999", nullptr},
        {"2451545,5", nullptr},
        {"--1", nullptr},
        {"+-1", nullptr},
    };
    for (const Case& c : cases) {
        if (c.iso) {
            EXPECT_EQ(Read(c.text, TScale::_JD).ToIso(), c.iso) << c.text;
            continue;
        }
        try {
            Read(c.text, TScale::_JD);
            ADD_FAILURE() << c.text;
        } catch (const EDateError& e) {
            EXPECT_EQ(e.Fault(), TDateFault::_Syntax) << c.text;
            EXPECT_EQ(std::string(e.what()), "not a Julian Date: \"" + std::string(c.text) + "\"");
        }
    }
    for (const char* far : {"5373484.5", "1e300", "-1931076.5000001", "123456789012345678901234"}) {
        try {
            Read(far, TScale::_JD);
            ADD_FAILURE() << far;
        } catch (const EDateError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("JD " + std::string(far) + " is out of range", 0), 0u)
                << e.what();
        }
    }
    EXPECT_EQ(Read("2973483.99999999999", TScale::_MJD).ToIsoDate(), "9999-12-31");
    EXPECT_THROW(Read("2973484", TScale::_MJD), EDateError);
}

} // namespace
