// Unit exponents are kept exactly: roots and powers undo each other, fractions cancel, and the
// texts that carry values read back as the same exponent.
#include "support/unit_engine_scope.h"
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace {

class ExponentTest : public ::testing::Test {
protected:
    void SetUp() override { InitUnitTables(); }
    static TNumberUnits Q(const std::string& text) {
        TNumberUnits q;
        EXPECT_TRUE(q.SetText(text)) << text;
        return q;
    }
    // Exponent of the first numerator entry.
    static double FirstExponent(const TUnitLists& lists) { return lists[2]; }
};

struct ReadCase {
    const char* text;
    double exponent;
};
void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.text;
}

class ExponentTextTest : public ::testing::TestWithParam<ReadCase> {};

// Two-digit texts written by earlier versions stand for the fractions they were cut from; decimals
// that are already short fractions, and any other decimal, read as written.
TEST_P(ExponentTextTest, ReadsAsTheFractionItStandsFor) {
    InitUnitTables();
    const ParseResult r = ParseUnitList(GetParam().text);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.lists[2], GetParam().exponent);
}
INSTANTIATE_TEST_SUITE_P(Texts, ExponentTextTest,
                         ::testing::Values(ReadCase{"m^0.33", 1.0 / 3}, ReadCase{"m^0.67", 2.0 / 3},
                                           ReadCase{"sec^0.5", 0.5}, ReadCase{"m^0.17", 1.0 / 6},
                                           ReadCase{"m^0.083", 1.0 / 12}, ReadCase{"m^0.333", 1.0 / 3},
                                           ReadCase{"m^0.333333333333333", 1.0 / 3},
                                           ReadCase{"m^1.33333333333333", 4.0 / 3}, ReadCase{"m^1.25", 1.25},
                                           ReadCase{"m^0.37", 0.37}, ReadCase{"m^13.1", 13.1},
                                           ReadCase{"m^1.3", 1.3}, ReadCase{"m^0.330000000000000", 0.33}));

TEST_F(ExponentTest, RootThenMatchingPowerGivesTheUnitBack) {
    for (int n : {2, 3, 4, 5, 6, 7, 9, 11, 12}) {
        TNumberUnits q = Q("8 m*kg/sec^2");
        ASSERT_TRUE(q.RaiseToPower(1.0 / n)) << n;
        ASSERT_TRUE(q.RaiseToPower(n)) << n;
        EXPECT_EQ(q.GetUnits(), "m*kg/sec^2") << n;
        EXPECT_NEAR(q.GetValue(), 8, 1e-12) << n;
        EXPECT_TRUE(q.ConvertTo("N")) << n;
    }
}

TEST_F(ExponentTest, RepeatedSquaringAndRootingComesBack) {
    TNumberUnits q = Q("1 m");
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(q.RaiseToPower(0.5));
    EXPECT_EQ(q.DisplayUnits(), "m^0.00098");
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(q.RaiseToPower(2));
    EXPECT_EQ(q.GetUnits(), "m");
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(q.RaiseToPower(2));
    EXPECT_EQ(q.GetUnits(), "m^1024"); // whole exponents are written in full
    EXPECT_EQ(q.DisplayUnits(), "m^1E+3");
}

TEST_F(ExponentTest, FractionsCancelInProductsAndQuotients) {
    const TNumberUnits third = Q("2 m^0.33");
    TUnitLists product;
    ASSERT_TRUE(MultiplyUnitLists(third.UnitLists, third.UnitLists, true, product));
    ASSERT_TRUE(MultiplyUnitLists(product, third.UnitLists, true, product));
    EXPECT_EQ(RenderUnitLists(product, RenderKind::Names), "m");
    TUnitLists quotient;
    ASSERT_TRUE(MultiplyUnitLists(Q("1 m^0.67").UnitLists, third.UnitLists, false, quotient));
    EXPECT_EQ(RenderUnitLists(quotient, RenderKind::Names, ExponentForm::Exact), "m^0.333333333333333");

    std::string full, units, error;
    double value = 0;
    {
        const UnitEngineScope scope({.si = true, .autoConvert = false});
        ASSERT_TRUE(QuantityMulDiv("8 m^0.67", "2 m^0.33", true, full, value, units, error)) << error;
    }
    EXPECT_EQ(full, "16 m");
}

TEST_F(ExponentTest, SignaturesCompareExactly) {
    auto same = [&](const char* a, const char* b) {
        return TNumberUnits::SameDimensions(Q(a).Signature, Q(b).Signature);
    };
    EXPECT_TRUE(same("1 m^0.33", "1 ft^0.333333333333333"));
    EXPECT_TRUE(same("1 ft^0.1*in^0.2", "1 m^0.3"));
    EXPECT_FALSE(same("1 m^0.33", "1 m^0.34"));
    EXPECT_FALSE(same("1 m^0.37", "1 m^0.38"));
    TNumberUnits q = Q("3 ft^0.5");
    ASSERT_TRUE(q.ConvertTo("m^0.5"));
    EXPECT_NEAR(q.GetValue(), 3 * std::sqrt(0.3048), 1e-15);
}

// The full text keeps every exponent; the display text shows two significant digits.
TEST_F(ExponentTest, FullTextReadsBackAsTheSameExponent) {
    for (double x : {1.0 / 3, 2.0 / 3, 0.5, 1.25, 5.0 / 12, 1.0 / 24, 0.33, 0.37 * 3, 7.0 / 11, 1e-6}) {
        TNumberUnits q = Q("2 m*sec");
        ASSERT_TRUE(q.RaiseToPower(x)) << x;
        const TNumberUnits back = Q(q.GetText());
        EXPECT_EQ(back.UnitLists, q.UnitLists) << q.GetText();
        EXPECT_EQ(back.GetText(), q.GetText());
    }
    TNumberUnits q = Q("2 m");
    ASSERT_TRUE(q.RaiseToPower(1.25));
    EXPECT_EQ(q.GetUnits(), "m^1.25");
    EXPECT_EQ(q.DisplayUnits(), "m^1.2");
    ASSERT_TRUE(q.RaiseToPower(0.8 / 1.25 * 0.5)); // m^0.5
    EXPECT_EQ(q.GetDisplayText(), q.GetText());
    TNumberUnits third = Q("8 m^0.33");
    EXPECT_EQ(third.GetText(), "8 m^0.333333333333333");
    EXPECT_EQ(third.GetDisplayText(), "8 m^0.33");
}

} // namespace
