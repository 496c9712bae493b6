#include "units/FloatText.h"

#include "support/reference_number_text.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <random>
#include <string>

namespace {

struct FloatCase {
    double value;
    int kind;
    int precision;
    int digits;
    const char* expected;
};

void PrintTo(const FloatCase& c, std::ostream* os) {
    *os << c.value << " kind " << c.kind << " P " << c.precision << " D " << c.digits;
}

class FloatToTextTest : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatToTextTest, Renders) {
    const FloatCase& c = GetParam();
    EXPECT_EQ(FloatToText(c.value, NotationFromInt(c.kind), c.precision, c.digits), c.expected)
        << "value " << c.value << " kind " << c.kind << " P " << c.precision << " D " << c.digits;
}

INSTANTIATE_TEST_SUITE_P(
    General, FloatToTextTest,
    ::testing::Values(FloatCase{0.1, 0, 18, 15, "0.100000000000000006"}, FloatCase{12.5, 0, 18, 15, "12.5"},
                      FloatCase{3.141592653589793, 0, 15, 0, "3.14159265358979"},
                      FloatCase{0.7853981633974483, 0, 15, 0, "0.785398163397448"},
                      FloatCase{0, 0, 18, 15, "0"}, FloatCase{-0.0, 0, 18, 15, "0"},
                      FloatCase{100, 0, 15, 0, "100"}, FloatCase{-2500, 0, 15, 0, "-2500"},
                      FloatCase{0.00001, 0, 15, 0, "0.00001"}, FloatCase{0.000015, 0, 15, 0, "0.000015"},
                      FloatCase{1e-5 * 0.99, 0, 15, 0, "9.9E-6"}, FloatCase{1.5e20, 0, 15, 0, "1.5E+20"},
                      FloatCase{1.6e-19, 0, 15, 15, "1.6E-0019"}, FloatCase{1e15, 0, 15, 0, "1E+15"},
                      FloatCase{999999999999999.0, 0, 15, 0, "999999999999999"},
                      // Rounding to 15 digits carries into a sixteenth integer digit.
                      FloatCase{9999999999999999.0, 0, 15, 0, "1E+16"}, FloatCase{0.1 + 0.2, 0, 15, 0, "0.3"},
                      FloatCase{2.5, 0, 1, 0, "3"}, FloatCase{12.5, 0, 40, 0, "12.5"}));

INSTANTIATE_TEST_SUITE_P(
    Scientific, FloatToTextTest,
    ::testing::Values(FloatCase{12.5, 1, 1, 0, "1E+1"}, FloatCase{0.0001, 1, 3, 2, "1.00E-04"},
                      FloatCase{-12.5, 1, 3, 2, "-1.25E+01"}, FloatCase{0, 1, 3, 2, "0.00E+00"},
                      FloatCase{12.5, 1, 8, 7, "1.2500000E+0001"}, FloatCase{1e-300, 1, 2, 1, "1.0E-300"},
                      FloatCase{9.996, 1, 3, 2, "1.00E+01"}));

// Kind 5: the exponent a multiple of three, one to three integer digits, D decimals, and the
// exponent digits of Scientific (at least min(D, 4)).
INSTANTIATE_TEST_SUITE_P(
    Engineering, FloatToTextTest,
    ::testing::Values(FloatCase{22443871.397, 5, 18, 3, "22.444E+006"},
                      FloatCase{12.5, 5, 18, 2, "12.50E+00"}, FloatCase{-12.5, 5, 18, 2, "-12.50E+00"},
                      FloatCase{0, 5, 18, 2, "0.00E+00"}, FloatCase{-0.0, 5, 18, 1, "0.0E+0"},
                      FloatCase{1234.5, 5, 18, 0, "1E+3"}, FloatCase{999.96, 5, 18, 1, "1.0E+3"},
                      FloatCase{99.96, 5, 18, 1, "100.0E+0"}, FloatCase{0.00012345, 5, 18, 3, "123.450E-006"},
                      FloatCase{0.001, 5, 18, 2, "1.00E-03"},
                      FloatCase{21297.1385305, 5, 18, 7, "21.2971385E+0003"},
                      FloatCase{1.7976931348623157e308, 5, 18, 2, "179.77E+306"},
                      FloatCase{4.9406564584124654e-324, 5, 18, 2, "4.94E-324"},
                      FloatCase{123456789012345678.0, 5, 18, 15, "123.456789012345680E+0015"}));

INSTANTIATE_TEST_SUITE_P(
    FixedNumberCurrency, FloatToTextTest,
    ::testing::Values(FloatCase{12.5, 2, 18, 7, "12.5000000"}, FloatCase{0.0001, 2, 18, 2, "0.00"},
                      FloatCase{0, 2, 18, 2, "0.00"}, FloatCase{12.5, 2, 18, 0, "13"},
                      FloatCase{13.5, 2, 18, 0, "14"}, FloatCase{-0.5, 2, 18, 2, "-0.50"},
                      FloatCase{0.125, 2, 18, 2, "0.13"}, FloatCase{1.005, 2, 18, 2, "1.00"},
                      // Exact halves round away from zero; a value just below a half (1.005 is
                      // 1.00499999999999989...) rounds down. Carries reach new integer digits.
                      FloatCase{9.9999, 2, 18, 2, "10.00"}, FloatCase{0.6, 2, 18, 0, "1"},
                      FloatCase{0.4, 2, 18, 0, "0"}, FloatCase{0.0005, 2, 18, 3, "0.001"},
                      FloatCase{1e20, 2, 18, 2, "1E+20"}, FloatCase{-1.5e20, 2, 18, 0, "-1.5E+20"},
                      FloatCase{123456789012345678.0, 2, 18, 0, "123456789012345680"},
                      FloatCase{1234567.891, 3, 18, 2, "1,234,567.89"},
                      FloatCase{-1234.5, 3, 18, 0, "-1,235"}, FloatCase{999.5, 3, 18, 0, "1,000"},
                      FloatCase{123, 3, 18, 1, "123.0"}, FloatCase{1234.5, 4, 18, 2, "$1,234.50"},
                      FloatCase{-1234.5, 4, 18, 2, "-$1,234.50"}, FloatCase{0.5, 4, 18, 0, "$1"},
                      FloatCase{1180591620717411303424.0, 4, 18, 2, "1.1805916207174113E+21"}));

TEST(FloatToText, NonFiniteValuesHaveDistinctTexts) {
    EXPECT_EQ(FloatToText(std::numeric_limits<double>::quiet_NaN(), Notation::Fixed, 18, 2), "NAN");
    EXPECT_EQ(FloatToText(std::numeric_limits<double>::infinity(), Notation::General, 18, 2), "INF");
    EXPECT_EQ(FloatToText(-std::numeric_limits<double>::infinity(), Notation::Currency, 18, 2), "-INF");
}

// General with 18 digits and Fixed with 15 decimals are what gets stored; both must keep the value.
TEST(FloatToText, StoredFormsReadBackExactly) {
    for (double v : {0.1, 1.0 / 3.0, 2.0 / 3.0 * 1e-7, 6.02214076e23, -1.602176634e-19, 1e308, 4.9e-324}) {
        std::string text = FloatToText(v, Notation::General, 18, 15);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
    }
    for (double v : {12.5, -1234.125, 0.000244140625}) {
        std::string text = FloatToText(v, Notation::Fixed, 18, 15);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
    }
}

// The writers against the digit-by-digit writing they replace, over values of every kind, every
// notation and the precisions and decimals the engine uses (and some it does not).
TEST(FloatToText, WritesWhatTheDigitByDigitWritingWrites) {
    std::mt19937_64 rng(21);
    const int precisions[] = {1, 2, 7, 15, 16, 18};
    const int decimals[] = {0, 1, 2, 3, 7, 12, 15, 17, 20, 64};
    for (int i = 0; i < 200000; ++i) {
        double value = reference::Sample(rng);
        // Halves of the last decimal shown, where rounding away from zero shows.
        if (i % 5 == 0)
            value =
                (static_cast<double>(rng() % 100000) + 0.5) / std::pow(10.0, static_cast<double>(rng() % 8));
        const Notation notation = NotationFromInt(static_cast<int>(rng() % NotationCount));
        const int precision = precisions[rng() % std::size(precisions)];
        const int digits = decimals[rng() % std::size(decimals)];
        const std::string expected = reference::NumberText(value, notation, precision, digits);
        ASSERT_EQ(FloatToText(value, notation, precision, digits), expected)
            << value << " notation " << static_cast<int>(notation) << " P " << precision << " D " << digits;
        ASSERT_EQ(QuantityText(value, notation, precision, digits, "ft*lbf"), expected + " ft*lbf");
    }
    for (double value : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity(), -0.0, 0.0, 1e308, 4.9e-324})
        for (int n = 0; n < NotationCount; ++n)
            EXPECT_EQ(FloatToText(value, NotationFromInt(n), 18, 7),
                      reference::NumberText(value, NotationFromInt(n), 18, 7));
    // Units too long to join in place are joined all the same.
    const std::string longUnits(600, 'm');
    EXPECT_EQ(QuantityText(-1e300, Notation::Fixed, 18, 64, longUnits),
              reference::NumberText(-1e300, Notation::Fixed, 18, 64) + " " + longUnits);
}

TEST(StripCurrencyPrefix, RemovesOnlyASymbolBeforeDigits) {
    struct Row {
        const char* in;
        const char* out;
    };
    for (const Row& r :
         {Row{"$1,234.50 ft", "1,234.50 ft"}, Row{"-$1,234.50 ft", "-1,234.50 ft"}, Row{" $0.50 ", " 0.50 "},
          Row{"$.5", ".5"}, Row{"5 $US", "5 $US"}, Row{"$US", "$US"}, Row{"-$US", "-$US"}, Row{"$", "$"},
          Row{"", ""}, Row{"12 ft", "12 ft"}, Row{"$1234.5ft", "1234.5ft"}})
        EXPECT_EQ(StripCurrencyPrefix(r.in), r.out) << r.in;
}

} // namespace
