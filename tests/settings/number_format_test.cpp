#include "settings/NumberFormat.h"
#include "units/NumberUnits.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace {

class NumberFormatTest : public ::testing::Test {
protected:
    void SetUp() override { InitUnitTables(); }
};

TEST_F(NumberFormatTest, DisplayText) {
    struct Row {
        const char* text;
        int notation;
        int places;
        const char* expected;
    };
    const Row rows[] = {
        {"12.5 ft", ntFixed, 7, "12.5000000 ft"},
        {"0.0001 m", ntFixed, 2, "1.00E-04 m"}, // 0.00 would read back as zero
        {"-0.0001 m", ntFixed, 2, "-1.00E-04 m"},
        {"0 m", ntFixed, 2, "0.00 m"}, // a true zero keeps its notation
        {"0.1", ntGeneral, 2, "0.100000000000000006 "},
        {"12.5 m", ntScientific, 0, "1E+1 m"},
        {"12.5 m", ntScientific, 3, "1.250E+001 m"},
        {"1234.5 ft", ntNumber, 2, "1,234.50 ft"},
        {"1234.5 ft", ntCurrency, 2, "$1,234.50 ft"},
        {"-1234.5 ft", ntCurrency, 2, "-$1,234.50 ft"},
        {"0.0001 m", ntCurrency, 2, "1.00E-04 m"},
        {"5", ntFixed, 2, "5.00 "},
        {"12.5 ft", ntFixed, 99, "12.5000000 ft"}, // out of range: the default places
        {"12 fx", ntFixed, 2, ""},
        {"", ntFixed, 2, ""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FormatForDisplay(r.text, r.notation, r.places), r.expected)
            << r.text << " notation " << r.notation << " places " << r.places;
}

// Whatever the notation, a displayed text is itself a quantity text that displays the same way:
// the number reads back (separators and the currency symbol included) and the units survive.
TEST_F(NumberFormatTest, DisplayTextReadsBack) {
    for (const char* text : {"12.5 ft", "-1234567.891 lbf*ft", "0.0001 m", "6.02E23 ", "-2.5E-12 sec"}) {
        for (int notation = ntGeneral; notation <= ntCurrency; ++notation) {
            for (int places : {0, 2, 7, 15}) {
                const std::string shown = FormatForDisplay(text, notation, places);
                ASSERT_FALSE(shown.empty()) << text;
                EXPECT_EQ(FormatForDisplay(shown, notation, places), shown)
                    << text << " notation " << notation << " places " << places;
            }
        }
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
        int notation;
        const char* expected;
    };
    const Row rows[] = {
        {"12.5 ft", ntFixed, "12.500000000000000 ft"},
        {"0.05 m", ntFixed, "0.050000000000000 m"},
        {"1234.5 ft", ntNumber, "1,234.500000000000000 ft"},
        {"1234.5 ft", ntCurrency, "$1,234.500000000000000 ft"},
        {"0.1 m", ntGeneral, "0.100000000000000006 m"},
        {"12.5 m", ntScientific, "1.250000000000000E+0001 m"},
        // Fifteen decimals would lose these values: they keep their General form.
        {"1.6E-19 Coul", ntFixed, "1.59999999999999991E-0019 Coul"},
        {"3.38627458E-9 m", ntNumber, "3.38627457999999986E-0009 m"},
        {"-3.38627458E-9 m", ntCurrency, "-3.38627457999999986E-0009 m"},
    };
    for (const Row& r : rows) {
        TNumberUnits q;
        ASSERT_TRUE(q.SetText(r.text)) << r.text;
        EXPECT_EQ(FullText(q, r.notation), r.expected) << r.text << " notation " << r.notation;
    }
}

// The stored text is what later calculations start from; it must not lose the value.
TEST_F(NumberFormatTest, FullTextKeepsFifteenDigits) {
    for (const char* text : {"1.6E-19 Coul", "0.0333333333333333 m", "2.5E-30 ", "123456.789012345 ft"}) {
        TNumberUnits original;
        ASSERT_TRUE(original.SetText(text));
        for (int notation = ntGeneral; notation <= ntCurrency; ++notation) {
            TNumberUnits back;
            ASSERT_TRUE(back.SetText(FullText(original, notation))) << text << " notation " << notation;
            EXPECT_NEAR(back.GetValue(), original.GetValue(), 1e-14 * std::abs(original.GetValue()))
                << text << " notation " << notation;
            EXPECT_EQ(back.GetUnits(), original.GetUnits());
        }
    }
}

} // namespace
