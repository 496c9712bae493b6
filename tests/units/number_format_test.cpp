#include "units/NumberFormat.h"
#include "units/NumberUnits.h"

#include "support/reference_number_text.h"

#include <charconv>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>

namespace {

class NumberFormatTest : public ::testing::Test {
protected:
    void SetUp() override { InitUnitTables(); }
};

TEST_F(NumberFormatTest, DisplayText) {
    struct Row {
        const char* text;
        Notation notation;
        int places;
        const char* expected;
    };
    const Row rows[] = {
        {"12.5 ft", Notation::Fixed, 7, "12.5000000 ft"},
        {"0.0001 m", Notation::Fixed, 2, "1.00E-04 m"}, // 0.00 would read back as zero
        {"-0.0001 m", Notation::Fixed, 2, "-1.00E-04 m"},
        {"0 m", Notation::Fixed, 2, "0.00 m"}, // a true zero keeps its notation
        {"0.1", Notation::General, 2, "0.100000000000000006 "},
        {"12.5 m", Notation::Scientific, 0, "1E+1 m"},
        {"12.5 m", Notation::Scientific, 3, "1.250E+001 m"},
        {"1234.5 ft", Notation::Number, 2, "1,234.50 ft"},
        {"1234.5 ft", Notation::Currency, 2, "$1,234.50 ft"},
        {"-1234.5 ft", Notation::Currency, 2, "-$1,234.50 ft"},
        {"0.0001 m", Notation::Currency, 2, "1.00E-04 m"},
        {"-0.0001 m", Notation::Currency, 2, "-1.00E-04 m"}, // "-$0.00" is a zero too
        {"-0.004 m", Notation::Number, 2, "-4.00E-03 m"},
        {"0.005 m", Notation::Fixed, 2, "0.01 m"}, // rounds up to a digit that is not zero
        {"1234567.891 m", Notation::Number, 0, "1,234,568 m"},
        {"1E-7 m", Notation::General, 2, "9.99999999999999955E-08 m"}, // read by the library
        {"5", Notation::Fixed, 2, "5.00 "},
        {"12.5 ft", Notation::Fixed, 99, "12.5000000 ft"},       // out of range: the default places
        {"1.5 ft", Notation::Fixed, 15, "1.500000000000000 ft"}, // the top of the range
        {"12 fx", Notation::Fixed, 2, ""},
        {"", Notation::Fixed, 2, ""},
        // Too large for the positional form: scientific with the notation's places, no noise digits.
        {"1e300 m", Notation::Fixed, 7, "1.0000000E+0300 m"},
        {"123456789012345678901234567890 m", Notation::Fixed, 7, "1.2345679E+0029 m"},
        {"1e18", Notation::Fixed, 7, "1.0000000E+0018 "},
        {"1e17", Notation::Fixed, 2, "100000000000000000.00 "}, // still fits
        {"-1e30 m", Notation::Number, 2, "-1.00E+30 m"},
        {"1e300 m", Notation::Currency, 0, "1E+300 m"},
        {"1e300 m", Notation::Fixed, 15, "1.000000000000000E+0300 m"},
        {"1e300 m", Notation::General, 7, "1.00000000000000005E+0300 m"}, // General keeps its digits
        {"12345 m", Notation::Engineering, 2, "12.35E+03 m"},             // not a fallback
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FormatForDisplay(r.text, r.notation, r.places), r.expected)
            << r.text << " notation " << static_cast<int>(r.notation) << " places " << r.places;
        TNumberUnits q;
        q.SetText(r.text);
        EXPECT_EQ(DisplayText(q, r.notation, r.places), r.expected) << r.text;
    }
}

// Whatever the notation, a displayed text is itself a quantity text that displays the same way:
// the number reads back (separators and the currency symbol included) and the units survive.
TEST_F(NumberFormatTest, DisplayTextReadsBack) {
    for (const char* text : {"12.5 ft", "-1234567.891 lbf*ft", "0.0001 m", "6.02E23 ", "-2.5E-12 sec"}) {
        for (int n = 0; n < NotationCount; ++n) {
            const Notation notation = NotationFromInt(n);
            for (int places : {0, 2, 7, 15}) {
                const std::string shown = FormatForDisplay(text, notation, places);
                ASSERT_FALSE(shown.empty()) << text;
                EXPECT_EQ(FormatForDisplay(shown, notation, places), shown)
                    << text << " notation " << n << " places " << places;
            }
        }
    }
}

// The display text as it was made: the whole text written, then its number read back to see
// whether it shows as zero.
std::string SlowDisplayText(const TNumberUnits& q, Notation notation, int places) {
    if (places < 0 || places > 15) places = 7;
    auto number = [&](Notation n) {
        return reference::NumberText(q.GetValue(), n, n == Notation::Scientific ? places + 1 : q.Precision,
                                     places);
    };
    auto readsAsZero = [](const std::string& text) {
        std::string stripped;
        for (char c : text)
            if (c != ',' && c != '$') stripped += c;
        double value = 0;
        const auto [end, ec] = std::from_chars(stripped.data(), stripped.data() + stripped.size(), value);
        return ec != std::errc() || end != stripped.data() + stripped.size() || value == 0;
    };
    std::string shown = number(notation);
    const bool positional =
        notation == Notation::Fixed || notation == Notation::Number || notation == Notation::Currency;
    if (positional && shown.find('E') != std::string::npos) shown = number(Notation::Scientific);
    if (q.GetValue() != 0 && readsAsZero(shown)) shown = number(Notation::Scientific);
    return shown + " " + q.DisplayUnits();
}

TEST_F(NumberFormatTest, DisplayTextAgreesWithTheSlowWriting) {
    std::mt19937_64 rng(22);
    const char* units[] = {"m", "", "ft*lbf/sec", "m^0.5", "kg*m^2/sec^3*C"};
    for (int i = 0; i < 100000; ++i) {
        TNumberUnits q;
        ASSERT_TRUE(q.SetText(std::string("1 ") + units[rng() % std::size(units)]));
        double value = reference::Sample(rng);
        // Tiny values, which the fixed notations would show as zero.
        if (i % 4 == 0) value = std::ldexp(value, -static_cast<int>(rng() % 60));
        q.Value = value;
        if (i % 3 == 0) q.Precision = static_cast<int>(rng() % 18) + 1;
        const Notation notation = NotationFromInt(static_cast<int>(rng() % NotationCount));
        const int places = static_cast<int>(rng() % 19) - 1;
        ASSERT_EQ(DisplayText(q, notation, places), SlowDisplayText(q, notation, places))
            << value << " notation " << static_cast<int>(notation) << " places " << places;
    }
    TNumberUnits q;
    ASSERT_TRUE(q.SetText("1 m"));
    for (double value :
         {std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity()}) {
        q.Value = value;
        for (int n = 0; n < NotationCount; ++n)
            EXPECT_EQ(DisplayText(q, NotationFromInt(n), 2), SlowDisplayText(q, NotationFromInt(n), 2));
    }
}

TEST_F(NumberFormatTest, CurrencyTextsParseAsNumbers) {
    struct Row {
        const char* text;
        double value;
        const char* units;
    };
    for (const Row& r : {Row{"$1,234.50 ft", 1234.5, "ft"}, Row{"-$1,234.50 ft", -1234.5, "ft"},
                         Row{"$0.50 ", 0.5, ""}, Row{"5 $US", 5, "$US"}, Row{"$US", 1, "$US"}}) {
        TNumberUnits q;
        ASSERT_TRUE(q.SetText(r.text)) << r.text;
        EXPECT_DOUBLE_EQ(q.GetValue(), r.value) << r.text;
        EXPECT_EQ(q.GetUnits(), r.units) << r.text;
    }
}

TEST_F(NumberFormatTest, FullText) {
    struct Row {
        const char* text;
        Notation notation;
        const char* expected;
    };
    const Row rows[] = {
        {"12.5 ft", Notation::Fixed, "12.500000000000000 ft"},
        {"0.05 m", Notation::Fixed, "0.050000000000000 m"},
        {"1234.5 ft", Notation::Number, "1,234.500000000000000 ft"},
        {"1234.5 ft", Notation::Currency, "$1,234.500000000000000 ft"},
        {"0.1 m", Notation::General, "0.100000000000000006 m"},
        {"12.5 m", Notation::Scientific, "1.250000000000000E+0001 m"},
        // Fifteen decimals would lose these values: they keep their General form.
        {"1.6E-19 Coul", Notation::Fixed, "1.59999999999999991E-0019 Coul"},
        {"3.38627458E-9 m", Notation::Number, "3.38627457999999986E-0009 m"},
        {"-3.38627458E-9 m", Notation::Currency, "-3.38627457999999986E-0009 m"},
    };
    for (const Row& r : rows) {
        TNumberUnits q;
        ASSERT_TRUE(q.SetText(r.text)) << r.text;
        EXPECT_EQ(FullText(q, r.notation), r.expected)
            << r.text << " notation " << static_cast<int>(r.notation);
    }
}

// The stored text is what later calculations start from; it must not lose the value.
TEST_F(NumberFormatTest, FullTextKeepsFifteenDigits) {
    for (const char* text : {"1.6E-19 Coul", "0.0333333333333333 m", "2.5E-30 ", "123456.789012345 ft"}) {
        TNumberUnits original;
        ASSERT_TRUE(original.SetText(text));
        for (int n = 0; n < NotationCount; ++n) {
            const Notation notation = NotationFromInt(n);
            TNumberUnits back;
            ASSERT_TRUE(back.SetText(FullText(original, notation))) << text << " notation " << n;
            EXPECT_NEAR(back.GetValue(), original.GetValue(), 1e-14 * std::abs(original.GetValue()))
                << text << " notation " << n;
            EXPECT_EQ(back.GetUnits(), original.GetUnits());
        }
    }
}

} // namespace
