// The significant digits of doubles: exact integer arithmetic where it is short, the library
// conversion otherwise. All of it rounds the exact binary value correctly.
#include "units/DecimalDigits.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

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

constexpr auto PowersOfFive = WholePowers<26>(5);

// The largest odd part whose product with 5^f stays below 10^18, so that no division is needed.
constexpr std::array<std::uint64_t, 26> OddLimits = [] {
    std::array<std::uint64_t, 26> limits{};
    for (std::size_t f = 0; f < limits.size(); ++f) limits[f] = (DigitLimit - 1) / PowersOfFive[f];
    return limits;
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
    if (f >= PowersOfFive.size() || parts.odd > OddLimits[f]) return false;
    whole = parts.odd * PowersOfFive[f];
    fractionDigits = static_cast<int>(f);
    return true;
}

int DigitCount(std::uint64_t whole) {
    if (whole == 0) return 1;
    // floor(bits * log10(2)) is the digit count or one less.
    const int guess = (std::bit_width(whole) * 1233) >> 12;
    return guess + (whole >= WholePowersOfTen[guess] ? 1 : 0);
}

namespace {

constexpr std::uint64_t Low = DigitLimit / 10; // 10^17, the smallest 18-digit whole

// The digits of a short exact decimal are those of its whole number.
bool ShortExactWhole(double magnitude, DecimalWhole& out) {
    std::uint64_t whole = 0;
    int f = 0;
    if (!ShortExactDecimal(magnitude, whole, f)) return false;
    const int length = DigitCount(whole);
    out.whole = whole * WholePowersOfTen[DecimalDigitCount - length];
    out.exponent = length - 1 - f;
    return true;
}

// "00" to "99", for writing two digits at a time.
constexpr std::array<char, 200> DigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// Nine digits of a number below 10^9. n / 10^8 is held as a fixed-point number with 32 fraction
// bits, a little above the true value (by at most 2^-32, well under the 10^-8 that would change a
// digit); each step multiplies the fraction by 100 and takes the next two digits off the top, so
// the digits come without a chain of divisions.
void Put9Digits(std::uint32_t n, char* out) {
    constexpr std::uint64_t Fraction = (std::uint64_t{1} << 32) - 1;
    std::uint64_t t = (std::uint64_t{n} << 32) / 100000000 + 1;
    out[0] = static_cast<char>('0' + (t >> 32));
    for (int i = 1; i < 9; i += 2) {
        t = (t & Fraction) * 100;
        std::memcpy(out + i, &DigitPairs[static_cast<std::size_t>(2 * (t >> 32))], 2);
    }
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
bool ProductWhole(double magnitude, DecimalWhole& out) {
    if (!(magnitude >= 1e-5 && magnitude < 1e16)) return false;
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    const int shift = 1075 - biased;
    if (shift <= 0) return false; // a whole number: the short path's
    const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    // The magnitude lies in [2^b, 2^(b+1)), so its decimal exponent is floor((b + 1) log10(2)) or
    // one less; 78913 / 2^18 stands in for log10(2) over this range.
    int exponent = ((biased - 1022) * 78913) >> 18;
    Wide product = mantissa * WidePowersOfTen[static_cast<std::size_t>(17 - exponent)];
    auto whole = static_cast<std::uint64_t>(product >> shift);
    if (whole < Low) {
        if (exponent <= -5) return false;
        --exponent;
        product *= 10;
        whole = static_cast<std::uint64_t>(product >> shift);
    }
    // The bits below the whole, moved to the top: above the top bit alone is above a half.
    const Wide rest = product << (128 - shift);
    constexpr Wide Half = Wide{1} << 127;
    if (rest > Half || (rest == Half && (whole & 1) != 0)) ++whole;
    // 99...95 and up rounds to one more digit: 1 and zeros, one place up.
    if (whole == DigitLimit) {
        whole = Low;
        ++exponent;
    }
    out.whole = whole;
    out.exponent = exponent;
    return true;
}
#else
bool ProductWhole(double, DecimalWhole&) {
    return false;
}
#endif

} // namespace

void Put18Digits(std::uint64_t whole, char* out) {
    const auto high = static_cast<std::uint32_t>(whole / 1000000000);
    const auto low = static_cast<std::uint32_t>(whole - std::uint64_t{high} * 1000000000);
    Put9Digits(high, out);
    Put9Digits(low, out + 9);
}

DecimalDigits DigitsOf(DecimalWhole w) {
    DecimalDigits d;
    Put18Digits(w.whole, d.digit.data());
    d.count = DecimalDigitCount;
    d.exponent = w.exponent;
    return d;
}

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

DecimalWhole Whole18(double magnitude) {
    DecimalWhole w;
    if (ShortExactWhole(magnitude, w) || ProductWhole(magnitude, w)) return w;
    const DecimalDigits d = Digits18ByConversion(magnitude);
    for (char c : d.View()) w.whole = w.whole * 10 + static_cast<std::uint64_t>(c - '0');
    w.exponent = d.exponent;
    return w;
}

DecimalDigits Digits18(double magnitude) {
    return DigitsOf(Whole18(magnitude));
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
