// Unit exponents: kept on the fractions they stand for, and written as display or exact text.
#include "units/Exponent.h"

#include "units/NumberReading.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace unitdetail {
namespace {

// Whole-number exponents beyond this are kept as they are.
constexpr double SnapRange = 1e6;
// Arithmetic on exponents (sums, products with a power) stays this close to the exact fraction.
constexpr double SnapTolerance = 1e-9;

// The leading `significant` digits of a magnitude in scientific form ("3.3e-01").
std::string_view Scientific(double magnitude, int significant, char (&buffer)[48]) {
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                         std::chars_format::scientific, significant - 1);
    if (ec != std::errc()) return {};
    return {buffer, static_cast<std::size_t>(end - buffer)};
}

// Significant digits written in a decimal text (its mantissa, trailing zeros included).
int SignificantDigits(std::string_view text) {
    int count = 0;
    bool started = false;
    for (char c : text) {
        if (c == 'e' || c == 'E') break;
        if (!IsDigit(c)) continue;
        if (c != '0') started = true;
        if (started) ++count;
    }
    return count;
}

// The general form of a value with the given significant digits ("0.333333333333333", "1.25").
std::string GeneralText(double x, int significant) {
    char buffer[48];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, significant);
    if (ec != std::errc()) return "?";
    std::string text(buffer, static_cast<std::size_t>(end - buffer));
    // to_chars writes "1e-06"; the unit texts write "1E-6".
    const auto e = text.find('e');
    if (e == std::string::npos) return text;
    text[e] = 'E';
    std::size_t firstDigit = e + 2;
    while (firstDigit + 1 < text.size() && text[firstDigit] == '0') text.erase(firstDigit, 1);
    return text;
}

} // namespace

// The fraction p/q (q up to the bound) that x lies within rounding error of, if any.
bool NearSmallFraction(double x, double& fraction) {
    if (!std::isfinite(x) || std::fabs(x) > SnapRange) return false;
    for (int q = 1; q <= ExponentDenominatorBound; ++q) {
        const double p = std::nearbyint(x * q);
        if (std::fabs(x * q - p) <= SnapTolerance * q) {
            fraction = p / q;
            return true;
        }
    }
    return false;
}

double SnapExponent(double x) {
    double fraction = 0;
    return NearSmallFraction(x, fraction) ? fraction : x;
}

bool ReadExponent(std::string_view text, double& out) {
    double x = 0;
    if (!ReadDecimal(text, x)) return false;
    // A decimal that is a small fraction already (0.5, 1.3, 0.333333333333333) is that fraction.
    if (NearSmallFraction(x, out) || std::fabs(x) > SnapRange) {
        if (std::fabs(x) > SnapRange) out = x;
        return true;
    }
    out = x;
    // Otherwise it may be one cut short (0.33, 0.67, 0.083): the fraction that agrees with every
    // digit written.
    const int significant = std::max(2, SignificantDigits(text));
    if (significant > 17) return true;
    char wantBuffer[48], candidateBuffer[48];
    const std::string_view want = Scientific(std::fabs(x), significant, wantBuffer);
    for (int q = 2; q <= ExponentDenominatorBound; ++q) {
        const double p = std::nearbyint(std::fabs(x) * q);
        if (p == 0) continue;
        const double candidate = p / q;
        if (Scientific(candidate, significant, candidateBuffer) == want) {
            out = std::copysign(candidate, x);
            return true;
        }
    }
    return true;
}

std::string DisplayExponentText(double x) {
    if (x >= 1 && x < 100 && x == std::trunc(x)) return std::to_string(static_cast<int>(x));
    if (x == 0) return "0";
    char buffer[48];
    std::string_view text = Scientific(std::fabs(x), 2, buffer);
    if (text.empty() || text.find('e') == std::string_view::npos) return "?";
    const std::string sign = x < 0 ? "-" : "";
    std::string digits{text[0]};
    if (text[2] != '0') digits += text[2];
    int exponent = 0;
    const auto e = text.find('e');
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
    const auto mantissa = digits.size() == 1 ? digits : digits.substr(0, 1) + "." + digits.substr(1);
    if (exponent >= 2 || std::fabs(x) < 0.00001)
        return sign + mantissa + (exponent < 0 ? "E-" : "E+") + std::to_string(std::abs(exponent));
    if (exponent == 1) return sign + digits + (digits.size() == 1 ? "0" : "");
    if (exponent == 0) return sign + mantissa;
    return sign + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
}

std::string ExactExponentText(double x) {
    if (x == std::trunc(x) && std::fabs(x) < 1e15) return std::to_string(static_cast<long long>(x));
    std::string text = GeneralText(x, 15);
    double back = 0;
    if (ReadExponent(text, back) && back == x) return text;
    // Fifteen digits would read as a neighbouring fraction: all seventeen keep the double itself.
    return GeneralText(x, 17);
}

} // namespace unitdetail
