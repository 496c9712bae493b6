#include "units/QuantityMath.h"
#include "units/RealFunctions.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

struct PowerCase {
    double base, exponent, expected;
    const char* message; // nullptr: the power is allowed
};

TEST(Power, ResultsAndMessages) {
    const PowerCase cases[] = {
        {0, 0, 0, nullptr},
        {0, -2, 0, nullptr},
        {0, -1, 0, "Zero to negative one power not allowed-Divide by zero"},
        {-8, 1.0 / 3.0, 0, "Negative to a fractional power not allowed"},
        {-2, 3, -8, nullptr},
        {-2, 2, 4, nullptr},
        {2, 10, 1024, nullptr},
        {4, 0.5, 2, nullptr},
        {-3, -1, -1.0 / 3.0, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(Power(c.base, c.exponent), c.expected, 1e-12) << c.base << "^" << c.exponent;
        EXPECT_EQ(PowerMessage(c.base, c.exponent), c.message ? c.message : "")
            << c.base << "^" << c.exponent;
    }
}

// Powers reach the user through 15-digit number texts; whole powers, reciprocals and square roots
// must read as the exactly computed value there (8 to the 3rd is 512, not 511.999999999999).
TEST(Power, FifteenDigitsMatchTheExactResult) {
    struct Case {
        double exponent;
        double (*exact)(double);
    };
    const Case cases[] = {
        {2, [](double b) { return b * b; }},
        {3, [](double b) { return b * b * b; }},
        {-1, [](double b) { return 1 / b; }},
        {0.5, [](double b) { return std::sqrt(b); }},
    };
    for (const Case& c : cases)
        for (int base = 2; base <= 1000; ++base)
            EXPECT_EQ(NumberText(Power(base, c.exponent)), NumberText(c.exact(base)))
                << base << "^" << c.exponent;
}

// Exact squares and cubes are taken without the extended logarithm; the result must be the bits the
// logarithm gives, over the whole range where the shortcut applies and at its edges.
TEST(Power, ExactSquaresAndCubesMatchTheExtendedResult) {
    std::mt19937_64 rng(13);
    auto check = [](double magnitude) {
        for (double exponent : {2.0, 3.0})
            ASSERT_EQ(std::bit_cast<std::uint64_t>(unitdetail::MagnitudePower(magnitude, exponent)),
                      std::bit_cast<std::uint64_t>(unitdetail::MagnitudePowerExtended(magnitude, exponent)))
                << magnitude << "^" << exponent;
    };
    for (int i = 0; i < 200000; ++i) {
        // Whole numbers and binary fractions with few significant bits square and cube exactly.
        const double bits = static_cast<double>(rng() % (1u << (1 + rng() % 17)) + 1);
        check(std::ldexp(bits, static_cast<int>(rng() % 80) - 57));
    }
    for (double edge : {0x1p-40, 0x1p40, 0x1.8p-41, 0x1.8p39, 2.5, 1.5, 1.0, 1e6, 0.125}) check(edge);
}

TEST(Power, HugeOddExponentKeepsSign) {
    // The parity test must not overflow an integer conversion.
    EXPECT_LT(Power(-1, 1e15 + 1), 0);
    EXPECT_GT(Power(-1, 1e16), 0);
}

TEST(RealFunctions, InverseTrigAndSign) {
    EXPECT_DOUBLE_EQ(ArcSin(1), HalfPi);
    EXPECT_DOUBLE_EQ(ArcSin(-1), -HalfPi);
    EXPECT_DOUBLE_EQ(ArcCos(1), 0);
    EXPECT_NEAR(ArcSin(0.5), 0.5235987755982989, 1e-16);
    EXPECT_NEAR(ArcCos(0.5), 1.0471975511965979, 1e-15);
    EXPECT_NEAR(ArcTan(1), Pi / 4, 1e-16);
    EXPECT_EQ(Sign(-3.5), -1);
    EXPECT_EQ(Sign(0), 0);
    EXPECT_EQ(Sign(1e-300), 1);
    EXPECT_NEAR(Log10(1000), 3, 1e-15);
    EXPECT_NEAR(Tan(Pi / 4), 1, 1e-15);
}

struct CombineCase {
    const char *a, *b;
    bool multiply;
    const char* expected;
};

TEST(CombineUnitTexts, JoinsNumeratorsAndDenominators) {
    const CombineCase cases[] = {
        {"ft", "sec", true, "ft*sec/"},
        {"ft", "sec", false, "ft/sec"},
        {"lbf/in^2", "in^2", true, "lbf*in^2/in^2"},
        {"", "sec", false, "/sec"},
        {"/sec", "sec", false, "/sec*sec"},
        {"m/sec/kg", "kg", true, "m*kg/sec/kg"},
        {"N/m", "kg/sec", false, "N*sec/m*kg"},
        {"", "", true, "/"},
    };
    for (const auto& c : cases) {
        std::string units = "stale";
        CombineUnitTexts(c.a, c.b, c.multiply, units);
        EXPECT_EQ(units, c.expected) << c.a << (c.multiply ? " * " : " / ") << c.b;
    }
}

// Correctly rounded values, where a sloppy reduction by multiples of pi/2 goes wrong: near multiples
// of pi, beyond 2^63 (where the x87 gives up), and at the top of the double range.
TEST(RealFunctions, SineAndCosineAreCorrectlyRounded) {
    const struct {
        double x, sine, cosine;
    } cases[] = {
        {0.5, 0.479425538604203, 0.8775825618903728},
        {-2.5, -0.5984721441039565, -0.8011436155469337},
        {3.14159265358979, 3.2310891488651735e-15, -1.0},
        {355.0, -3.014435335948845e-05, -0.999999999545659},
        {6.283185307179586, -2.4492935982947064e-16, 1.0},
        {1.5707963267948966, 1.0, 6.123233995736766e-17},
        {-17453.292519943294, 0.9848077530125356, 0.17364817766507232},
        {40205851618347.0, 0.9598957803704055, 0.28035707736222815},
        {1e19, -0.9270631660486504, -0.37490516955071784},
        {1e22, -0.8522008497671888, 0.523214785395139},
        {-1e300, 0.8178819121159085, -0.5753861119575491},
        {1.7976931348623157e308, 0.004961954789184062, -0.9999876894265599},
        {1e-300, 1e-300, 1.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sine(c.x), c.sine) << c.x;
        EXPECT_EQ(Cosine(c.x), c.cosine) << c.x;
        EXPECT_EQ(Tan(c.x), c.sine / c.cosine) << c.x;
    }
    EXPECT_TRUE(std::isnan(Sine(INFINITY)));
    EXPECT_TRUE(std::isnan(Cosine(NAN)));
}

} // namespace
