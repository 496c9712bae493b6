// Number texts written the slow way the fast writers stand in for: digits from the library
// conversion, rounded as characters, placed one at a time. The tests hold the writers to it byte
// for byte.
#pragma once

#include "units/DecimalDigits.h"
#include "units/Notation.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

namespace reference {

// Doubles of every kind the engine meets: short decimals typed or summed (12.5, 0.125, 6), whole
// numbers up to and past 10^18, halves and binary fractions, and arbitrary bit patterns.
inline double Sample(std::mt19937_64& rng) {
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

using unitdetail::DecimalDigits;

inline void DropTrailingZeros(DecimalDigits& d) {
    while (d.count > 1 && d.digit[static_cast<std::size_t>(d.count - 1)] == '0') --d.count;
}

inline std::string Scientific(const DecimalDigits& d, int exponentDigits) {
    std::string text(d.View().substr(0, 1));
    if (d.count > 1) text += "." + std::string(d.View().substr(1));
    text += d.exponent < 0 ? "E-" : "E+";
    const std::string e = std::to_string(std::abs(d.exponent));
    const int minDigits = std::min(exponentDigits, 4);
    if (static_cast<int>(e.size()) < minDigits)
        text.append(static_cast<std::size_t>(minDigits) - e.size(), '0');
    return text + e;
}

inline std::string General(double magnitude, int precision, int digits) {
    if (magnitude == 0) return "0";
    DecimalDigits d = unitdetail::RoundDigits(unitdetail::Digits18ByConversion(magnitude), precision);
    DropTrailingZeros(d);
    if (d.exponent >= precision || magnitude < 0.00001) return Scientific(d, digits);
    const std::string shown(d.View());
    if (d.exponent < 0) return "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + shown;
    const auto integerDigits = static_cast<std::size_t>(d.exponent) + 1;
    if (shown.size() <= integerDigits) return shown + std::string(integerDigits - shown.size(), '0');
    return shown.substr(0, integerDigits) + "." + shown.substr(integerDigits);
}

inline std::string Fixed(double magnitude, int precision, int digits, bool separators) {
    const DecimalDigits d18 = unitdetail::Digits18ByConversion(magnitude);
    const int keep = magnitude == 0 ? 0 : d18.exponent + 1 + digits;
    std::string text;
    if (keep >= unitdetail::DecimalDigitCount) {
        char buffer[512];
        const auto [end, ec] =
            std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, digits);
        text.assign(buffer, end);
    } else {
        const DecimalDigits r = unitdetail::RoundDigits(d18, keep);
        auto digitAt = [&r](int p) {
            const int i = r.exponent - p;
            return i >= 0 && i < r.count ? r.digit[static_cast<std::size_t>(i)] : '0';
        };
        for (int p = std::max(r.exponent, 0); p >= 0; --p) text += digitAt(p);
        if (digits > 0) text += '.';
        for (int p = -1; p >= -digits; --p) text += digitAt(p);
    }
    const std::size_t integerDigits = std::min(text.find('.'), text.size());
    if (static_cast<int>(integerDigits) > precision) {
        DecimalDigits d = unitdetail::RoundDigits(d18, precision);
        DropTrailingZeros(d);
        return Scientific(d, digits);
    }
    if (separators)
        for (std::size_t at = integerDigits; at > 3; at -= 3) text.insert(at - 3, 1, ',');
    return text;
}

// Engineering: of the exponents that are multiples of three, the one that leaves one to three integer
// digits once the mantissa is rounded to `digits` decimals; the digits placed one at a time.
inline std::string Engineering(double magnitude, int digits) {
    const DecimalDigits d18 = unitdetail::Digits18ByConversion(magnitude);
    const int low = magnitude == 0 ? 0 : static_cast<int>(std::floor(d18.exponent / 3.0)) * 3;
    for (int group : {low, low + 3}) {
        const int keep = std::min(d18.exponent - group + 1 + digits, unitdetail::DecimalDigitCount);
        const DecimalDigits r = magnitude == 0 ? d18 : unitdetail::RoundDigits(d18, keep);
        const int integerDigits = magnitude == 0 ? 1 : r.exponent - group + 1;
        if (integerDigits < 1 || integerDigits > 3) continue;
        std::string text;
        for (int i = 0; i < integerDigits + digits; ++i) {
            if (i == integerDigits) text += '.';
            text += magnitude != 0 && i < r.count ? r.digit[static_cast<std::size_t>(i)] : '0';
        }
        std::string e = std::to_string(std::abs(group));
        const int minDigits = std::min(digits, 4);
        if (static_cast<int>(e.size()) < minDigits)
            e.insert(0, static_cast<std::size_t>(minDigits) - e.size(), '0');
        return text + (group < 0 ? "E-" : "E+") + e;
    }
    return "?";
}

// FloatToText as it was written character by character.
inline std::string NumberText(double value, Notation notation, int precision, int digits) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    precision = std::clamp(precision, 1, unitdetail::DecimalDigitCount);
    digits = std::clamp(digits, 0, 64);
    const double magnitude = std::fabs(value);
    std::string body;
    switch (notation) {
    case Notation::Scientific:
        body = Scientific(unitdetail::RoundDigits(unitdetail::Digits18ByConversion(magnitude), precision),
                          digits);
        break;
    case Notation::General:
        body = General(magnitude, precision, digits);
        break;
    case Notation::Engineering:
        body = Engineering(magnitude, digits);
        break;
    default:
        body = Fixed(magnitude, precision, digits, notation != Notation::Fixed);
        break;
    }
    const bool currency = notation == Notation::Currency && body.find('E') == std::string::npos;
    return (std::signbit(value) && value != 0 ? "-" : "") + std::string(currency ? "$" : "") + body;
}

} // namespace reference
