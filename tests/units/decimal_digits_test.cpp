// The shortcuts taken for short decimals and plain quantity texts against the general paths they
// stand in for.
#include "units/DecimalDigits.h"
#include "units/UnitListsDetail.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

using unitdetail::DecimalDigits;

// Doubles of every kind the engine meets: short decimals typed or summed (12.5, 0.125, 6), whole
// numbers up to and past 10^18, halves and binary fractions, and arbitrary bit patterns.
double Sample(std::mt19937_64& rng) {
    auto below = [&rng](std::uint64_t n) { return rng() % n; };
    const double sign = (rng() & 1) ? 1 : -1;
    switch (below(6)) {
    case 0:
        return sign * static_cast<double>(below(2000000001)) / std::pow(10.0, static_cast<double>(below(12)));
    case 1:
        return sign * std::ldexp(static_cast<double>(below(100000)), static_cast<int>(below(80)) - 60);
    case 2:
        return sign * static_cast<double>(below(4000000000000000000ULL));
    case 3:
        return sign * (static_cast<double>(below(1000)) + 0.5) /
               std::pow(10.0, static_cast<double>(below(6)));
    case 4:
        return sign * std::uniform_real_distribution<double>(0, 10)(rng) *
               std::pow(10.0, static_cast<double>(below(80)) - 40);
    default:
        for (;;)
            if (const double v = std::bit_cast<double>(rng()); std::isfinite(v)) return v;
    }
}

std::string Shown(const DecimalDigits& d) {
    return std::string(d.View()) + "e" + std::to_string(d.exponent);
}

TEST(DecimalDigits, ShortcutAgreesWithTheConversion) {
    std::mt19937_64 rng(11);
    for (int i = 0; i < 100000; ++i) {
        const double v = std::fabs(Sample(rng));
        ASSERT_EQ(Shown(unitdetail::Digits18(v)), Shown(unitdetail::Digits18ByConversion(v))) << v;
    }
    // Odd multiples of small powers of two end in a 5 around the 19th digit: exact halves, which round
    // to the even neighbour.
    for (int k = 20; k <= 45; ++k)
        for (int i = 0; i < 2000; ++i) {
            const double v = std::ldexp(static_cast<double>(2 * (rng() % (1u << 20)) + 1), -k);
            ASSERT_EQ(Shown(unitdetail::Digits18(v)), Shown(unitdetail::Digits18ByConversion(v))) << v;
        }
    for (double v :
         {0.0, 12.5, 6.0, 0.125, 1e17, 999999999999999999.0, 1e18, 4.9e-324, 1.7976931348623157e308, 1e-5,
          0.99999e-5, 9.999999999999999e15, 1e16, 0.1, 0.3, 2.0 / 3, 9.9999999999999999e-1})
        EXPECT_EQ(Shown(unitdetail::Digits18(v)), Shown(unitdetail::Digits18ByConversion(v))) << v;
}

// What a value becomes after its 15-digit number text is written and read again, done with texts.
double ThroughText(double value) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 17);
    std::string digits;
    const char* p = buffer;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.') digits += *p;
    int exponent = 0;
    std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
    const bool up = digits[15] >= '5';
    digits.resize(15);
    if (up) {
        int k = 14;
        for (; k >= 0 && digits[static_cast<std::size_t>(k)] == '9'; --k)
            digits[static_cast<std::size_t>(k)] = '0';
        if (k >= 0) {
            ++digits[static_cast<std::size_t>(k)];
        } else {
            digits[0] = '1';
            ++exponent;
        }
    }
    const std::string text = (value < 0 ? "-" : "") + digits + "e" + std::to_string(exponent - 14);
    double out = 0;
    const auto [e2, ec2] = std::from_chars(text.data(), text.data() + text.size(), out);
    // Out of range: too small reads as zero, too large is an overflow.
    if (ec2 == std::errc::result_out_of_range) out = exponent < 0 ? 0 : HUGE_VAL;
    return value < 0 && ec2 == std::errc::result_out_of_range ? -out : out;
}

TEST(DecimalDigits, RoundingThroughTheNumberTextMatchesTheText) {
    std::mt19937_64 rng(12);
    for (int i = 0; i < 100000; ++i) {
        const double v = Sample(rng);
        if (v == 0) continue;
        const double expected = ThroughText(v);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(unitdetail::RoundThroughNumberText(v)),
                  std::bit_cast<std::uint64_t>(expected))
            << v;
    }
    // Sums and products that land just off a short decimal come back to it.
    EXPECT_EQ(unitdetail::RoundThroughNumberText(0.1 + 0.2), 0.3);
    EXPECT_EQ(unitdetail::RoundThroughNumberText(-1.7976931348623157e308), -HUGE_VAL);
}

// Plain quantity texts are split and their numbers read in place; wherever that is done, the general
// reading must give the same number (to the bit) and unit text.
TEST(DecimalDigits, PlainQuantitiesReadAsTheGeneralReadingReadsThem) {
    std::mt19937_64 rng(14);
    const char* units[] = {"ft", "m/sec^2", "", "lbf*in", "-m", "x10", "e", "E5 m", " 2", ",5"};
    int split = 0;
    for (int i = 0; i < 100000; ++i) {
        std::string text;
        if (rng() % 3 == 0) text += (rng() & 1) ? '-' : '+';
        for (auto k = rng() % 19; k > 0; --k) text += static_cast<char>('0' + rng() % 10);
        if (rng() % 2) text += '.';
        for (auto k = rng() % 20; k > 0; --k) text += static_cast<char>('0' + rng() % 10);
        if (rng() % 4 == 0) text += "e" + std::to_string(static_cast<int>(rng() % 80) - 40);
        if (rng() % 2) text += ' ';
        text += units[rng() % std::size(units)];
        double number = 0;
        std::string_view unitText;
        if (!unitdetail::SplitPlainQuantity(text, number, unitText)) continue;
        ++split;
        const NormalizedQuantity general = NormalizeQuantityText(StripIgnoredChars(text));
        ASSERT_TRUE(general.ok) << text;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(number), std::bit_cast<std::uint64_t>(general.number)) << text;
        ASSERT_EQ(unitText, general.unitText) << text;
    }
    EXPECT_GT(split, 25000);
}

} // namespace
