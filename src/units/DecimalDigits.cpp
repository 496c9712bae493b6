// The significant digits of doubles: exact integer arithmetic where it is short, the library
// conversion otherwise. All of it rounds the exact binary value correctly.
#include "units/DecimalDigits.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace unitdetail {

BinaryParts BinaryPartsOf(double magnitude) {
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased != 0) mantissa |= std::uint64_t{1} << 52;
    if (mantissa == 0) return {0, 0};
    const int zeros = std::countr_zero(mantissa);
    return {mantissa >> zeros, (biased == 0 ? 1 : biased) - 1075 + zeros};
}

namespace {

constexpr std::uint64_t DigitLimit = 1000000000000000000ULL; // 10^18

constexpr std::array<std::uint64_t, 26> PowersOfFive = [] {
    std::array<std::uint64_t, 26> powers{};
    std::uint64_t p = 1;
    for (std::uint64_t& x : powers) {
        x = p;
        p *= 5;
    }
    return powers;
}();

} // namespace

// odd * 2^-f is odd * 5^f / 10^f: a decimal of f places whose digits are the whole number odd * 5^f.
bool ShortExactDecimal(double magnitude, std::uint64_t& whole, int& fractionDigits) {
    const BinaryParts parts = BinaryPartsOf(magnitude);
    if (parts.odd == 0) return false;
    if (parts.power >= 0) {
        if (parts.power > 60 || parts.odd > (DigitLimit - 1) >> parts.power) return false;
        whole = parts.odd << parts.power;
        fractionDigits = 0;
        return true;
    }
    const auto f = static_cast<std::size_t>(-parts.power);
    if (f >= PowersOfFive.size() || parts.odd > (DigitLimit - 1) / PowersOfFive[f]) return false;
    whole = parts.odd * PowersOfFive[f];
    fractionDigits = static_cast<int>(f);
    return true;
}

namespace {

// The digits of a short exact decimal are those of its whole number.
bool ShortExactDigits(double magnitude, DecimalDigits& out) {
    std::uint64_t whole = 0;
    int f = 0;
    if (!ShortExactDecimal(magnitude, whole, f)) return false;
    char text[24];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, whole);
    (void)ec; // 24 characters hold any 64-bit number
    const int length = static_cast<int>(end - text);
    out.digit.fill('0');
    std::copy(text, end, out.digit.begin());
    out.count = DecimalDigitCount;
    out.exponent = length - 1 - f;
    return true;
}

// "00" to "99", for writing two digits at a time.
constexpr std::array<char, 200> DigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
        pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Writes the 18 digits of a whole number from 10^17 up to below 10^18.
void PutDigits(std::uint64_t whole, int exponent, DecimalDigits& out) {
    static_assert(DecimalDigitCount % 2 == 0);
    for (int i = DecimalDigitCount - 2; i >= 0; i -= 2, whole /= 100) {
        const auto pair = static_cast<std::size_t>(2 * (whole % 100));
        out.digit[static_cast<std::size_t>(i)] = DigitPairs[pair];
        out.digit[static_cast<std::size_t>(i) + 1] = DigitPairs[pair + 1];
    }
    out.count = DecimalDigitCount;
    out.exponent = exponent;
}

#ifdef __SIZEOF_INT128__
__extension__ typedef unsigned __int128 Wide;

constexpr std::array<Wide, 23> WidePowersOfTen = [] {
    std::array<Wide, 23> powers{};
    Wide p = 1;
    for (Wide& x : powers) {
        x = p;
        p *= 10;
    }
    return powers;
}();

// A magnitude from 10^-5 to 10^16 with a binary fraction is mantissa / 2^shift; its 18 digits are
// that times 10^(17 - exponent), worked out exactly in 128 bits and rounded half to even as the
// library conversion rounds.
bool ProductDigits(double magnitude, DecimalDigits& out) {
    if (!(magnitude >= 1e-5 && magnitude < 1e16)) return false;
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    const int shift = 1075 - biased;
    if (shift <= 0) return false; // a whole number: the short path's
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    constexpr std::uint64_t Low = DigitLimit / 10;
    // The magnitude lies in [2^b, 2^(b+1)), so its decimal exponent is this or one less.
    int exponent = static_cast<int>(std::floor((biased - 1022) * 0.30102999566398120));
    for (; exponent >= -5; --exponent) {
        const Wide product = mantissa * WidePowersOfTen[static_cast<std::size_t>(17 - exponent)];
        Wide whole = product >> shift;
        if (whole < Low) continue;
        const Wide rest = product & ((Wide{1} << shift) - 1);
        const Wide half = Wide{1} << (shift - 1);
        if (rest > half || (rest == half && (whole & 1) != 0)) ++whole;
        // 99...95 and up rounds to one more digit: 1 and zeros, one place up.
        if (whole == 10 * Low) {
            PutDigits(Low, exponent + 1, out);
        } else {
            PutDigits(static_cast<std::uint64_t>(whole), exponent, out);
        }
        return true;
    }
    return false;
}
#else
bool ProductDigits(double, DecimalDigits&) {
    return false;
}
#endif

} // namespace

DecimalDigits Digits18ByConversion(double magnitude) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific,
                                   DecimalDigitCount - 1);
    (void)ec; // 64 characters hold 18 digits and any exponent
    DecimalDigits result;
    const char* p = buffer;
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.') result.digit[static_cast<std::size_t>(result.count++)] = *p;
    std::from_chars(p + (p[1] == '+' ? 2 : 1), end, result.exponent);
    return result;
}

DecimalDigits Digits18(double magnitude) {
    DecimalDigits result;
    if (ShortExactDigits(magnitude, result) || ProductDigits(magnitude, result)) return result;
    return Digits18ByConversion(magnitude);
}

DecimalDigits RoundDigits(DecimalDigits d, int keep) {
    if (keep >= d.count) return d;
    if (keep < 0) {
        d.count = 0;
        return d;
    }
    const bool up = d.digit[static_cast<std::size_t>(keep)] >= '5';
    d.count = keep;
    if (!up) return d;
    int i = keep - 1;
    for (; i >= 0 && d.digit[static_cast<std::size_t>(i)] == '9'; --i)
        d.digit[static_cast<std::size_t>(i)] = '0';
    if (i >= 0) {
        ++d.digit[static_cast<std::size_t>(i)];
    } else {
        // 9.99 -> 10.0: one more integer digit, "1" and zeros to the same length (at least "1").
        d.count = keep > 1 ? keep : 1;
        std::fill_n(d.digit.begin(), d.count, '0');
        d.digit[0] = '1';
        ++d.exponent;
    }
    return d;
}

} // namespace unitdetail
