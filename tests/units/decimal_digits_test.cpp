// The shortcuts taken for short decimals and plain quantity texts against the general paths they
// stand in for.
#include "units/DecimalDigits.h"
#include "units/NumberReading.h"

#include "support/reference_number_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {

using unitdetail::DecimalDigits;

using reference::Sample;

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

// Magnitudes spread over every exponent, and over the range the exact product covers (10^-5 to
// 10^16) in particular: powers of ten and their neighbours, and random mantissas.
TEST(DecimalDigits, WholeDigitsAgreeWithTheConversionAcrossExponents) {
    std::mt19937_64 rng(15);
    auto same = [](double v) {
        const unitdetail::DecimalWhole w = unitdetail::Whole18(v);
        ASSERT_TRUE(w.whole == 0 ? v == 0
                                 : w.whole >= 100000000000000000ULL && w.whole < 1000000000000000000ULL)
            << v;
        ASSERT_EQ(Shown(unitdetail::DigitsOf(w)), Shown(unitdetail::Digits18ByConversion(v))) << v;
    };
    for (int k = -320; k <= 308; ++k) {
        const double p = std::pow(10.0, k);
        for (double v :
             {p, std::nextafter(p, 0.0), std::nextafter(p, HUGE_VAL), p * 0.5, p * 9.5, p * 0.99999999})
            if (std::isfinite(v)) same(v);
    }
    for (int i = 0; i < 2000000; ++i) {
        const std::uint64_t mantissa = (rng() >> 11) | (std::uint64_t{1} << 52);
        const int exponent =
            i % 2 == 0 ? static_cast<int>(rng() % 2100) - 1126 : static_cast<int>(rng() % 84) - 72;
        const double v = std::ldexp(static_cast<double>(mantissa), exponent);
        if (std::isfinite(v)) same(v);
    }
}

TEST(DecimalDigits, DigitsAreWrittenAsTheLibraryWritesThem) {
    std::mt19937_64 rng(16);
    auto check = [](std::uint64_t whole) {
        char expected[24];
        const auto [end, ec] = std::to_chars(expected, expected + sizeof expected, whole);
        const auto length = static_cast<std::size_t>(end - expected);
        ASSERT_EQ(unitdetail::DigitCount(whole), static_cast<int>(length)) << whole;
        char written[18];
        unitdetail::Put18Digits(whole, written);
        ASSERT_EQ(std::string(18 - length, '0') + std::string(expected, length), std::string(written, 18))
            << whole;
    };
    for (std::uint64_t p = 1; p <= 1000000000000000000ULL; p *= 10)
        for (std::uint64_t v : {p - 1, p, p + 1, 5 * p - 1, 5 * p, 1000000000 * (p % 1000000000) + p - 1})
            if (v < 1000000000000000000ULL) check(v);
    for (int i = 0; i < 1000000; ++i) {
        check(rng() % 1000000000000000000ULL);
        check(rng() % 1000000000);
    }
}

// Rounding the whole number keeps what rounding its digits keeps, carries and all.
TEST(DecimalDigits, WholeRoundingAgreesWithDigitRounding) {
    std::mt19937_64 rng(17);
    for (int i = 0; i < 300000; ++i) {
        std::uint64_t whole = 100000000000000000ULL + rng() % 900000000000000000ULL;
        // Runs of nines and exact fives, where carries and ties are.
        if (i % 3 == 0) whole = 1000000000000000000ULL - 1 - rng() % 1000;
        if (i % 3 == 1) whole = whole / 1000000 * 1000000 + 500000;
        const int keep = static_cast<int>(rng() % 21) - 3;
        const DecimalDigits rounded = unitdetail::RoundDigits(unitdetail::DigitsOf({whole, 7}), keep);
        std::uint64_t expected = 0;
        for (char c : rounded.View()) expected = expected * 10 + static_cast<std::uint64_t>(c - '0');
        // A carry moves the digits one place up: the same whole number has one more digit.
        if (rounded.exponent == 8 && keep >= 1) expected *= 10;
        ASSERT_EQ(unitdetail::RoundWhole(whole, keep), expected) << whole << " keep " << keep;
    }
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
    const char* units[] = {"ft", "m/sec^2", "",   "lbf*in", "-m",     "x10",
                           "e",  "E5 m",    " 2", ",5",     "lbf-ft", " m^-2"};
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
