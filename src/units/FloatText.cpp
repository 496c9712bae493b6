#include "units/FloatText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

// Every conversion goes through std::to_chars: it rounds the exact binary value correctly and,
// unlike the printf family, never follows the process locale, so "." stays the decimal point even
// after the windows have switched the locale to the user's.

namespace {

constexpr int MaxPrecision = 18;
// Decimals beyond this carry no information for a double; the bound keeps buffers small.
constexpr int MaxDecimals = 64;

// The rounded significant digits of a magnitude and the decimal exponent of the first one.
struct Digits {
    std::string digits;
    int exponent = 0;
};

// The correctly rounded 18 significant digits of a magnitude.
Digits Digits18(double magnitude) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific,
                                   MaxPrecision - 1);
    (void)ec; // 64 characters hold 18 digits and any exponent
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    auto e = text.find('e');
    Digits result;
    for (char c : text.substr(0, e))
        if (c != '.') result.digits += c;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), end, result.exponent);
    return result;
}

// Keeps the first `keep` digits of an 18-digit form, rounding half away from zero as a calculator
// user expects (12.5 shows as 13 with no decimals, 0.125 as 0.13 with two); rounding the binary
// value alone would send exact halves to the even neighbour. keep <= 0 rounds to the next power of
// ten or to nothing (an empty digit string).
Digits RoundDigits(Digits d, int keep) {
    if (keep >= static_cast<int>(d.digits.size())) return d;
    if (keep < 0) return {"", d.exponent};
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (!up) return d;
    int i = keep - 1;
    for (; i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9'; --i)
        d.digits[static_cast<std::size_t>(i)] = '0';
    if (i >= 0) {
        ++d.digits[static_cast<std::size_t>(i)];
    } else {
        // 9.99 -> 10.0: one more integer digit, "1" and zeros to the same length (at least "1").
        d.digits.assign(static_cast<std::size_t>(keep > 1 ? keep : 1), '0');
        d.digits[0] = '1';
        ++d.exponent;
    }
    return d;
}

Digits SignificantDigits(double magnitude, int significant) {
    return RoundDigits(Digits18(magnitude), significant);
}

std::string ExponentText(int exponent, int minDigits) {
    std::string number = std::to_string(exponent < 0 ? -exponent : exponent);
    if (static_cast<int>(number.size()) < minDigits) number.insert(0, minDigits - number.size(), '0');
    return (exponent < 0 ? "E-" : "E+") + number;
}

void DropTrailingZeros(std::string& digits) {
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

std::string MantissaText(const std::string& digits) {
    if (digits.size() == 1) return digits;
    return digits.substr(0, 1) + "." + digits.substr(1);
}

std::string GeneralText(double magnitude, int precision, int digits) {
    if (magnitude == 0) return "0";
    Digits d = SignificantDigits(magnitude, precision);
    DropTrailingZeros(d.digits);
    if (d.exponent >= precision || magnitude < 0.00001)
        return MantissaText(d.digits) + ExponentText(d.exponent, std::min(digits, 4));
    if (d.exponent < 0) return "0." + std::string(-d.exponent - 1, '0') + d.digits;
    std::size_t integerDigits = d.exponent + 1;
    if (d.digits.size() <= integerDigits) return d.digits + std::string(integerDigits - d.digits.size(), '0');
    return d.digits.substr(0, integerDigits) + "." + d.digits.substr(integerDigits);
}

std::string ScientificText(double magnitude, int precision, int digits) {
    Digits d = SignificantDigits(magnitude, precision);
    return MantissaText(d.digits) + ExponentText(d.exponent, std::min(digits, 4));
}

void InsertThousandsSeparators(std::string& text) {
    std::size_t integerEnd = text.find('.');
    if (integerEnd == std::string::npos) integerEnd = text.size();
    for (std::size_t i = integerEnd; i > 3; i -= 3) text.insert(i - 3, 1, ',');
}

// Fixed decimals; too many integer digits for the precision falls back to the general scientific form.
std::string FixedText(double magnitude, int precision, int digits, bool separators) {
    std::string text;
    const Digits d18 = Digits18(magnitude);
    const int keep = magnitude == 0 ? 0 : d18.exponent + 1 + digits;
    if (keep >= MaxPrecision) {
        // Beyond 18 significant digits the binary value's own decimal expansion is shown.
        text.resize(320 + MaxDecimals);
        auto [end, ec] = std::to_chars(text.data(), text.data() + text.size(), magnitude,
                                       std::chars_format::fixed, digits);
        (void)ec; // the buffer holds the largest double with MaxDecimals decimals
        text.resize(static_cast<std::size_t>(end - text.data()));
    } else {
        const Digits r = RoundDigits(d18, keep);
        // Digit at decimal position p (0 units, -1 tenths ...), zero outside the kept digits.
        auto digitAt = [&r](int p) {
            const int i = r.exponent - p;
            return i >= 0 && i < static_cast<int>(r.digits.size()) ? r.digits[static_cast<std::size_t>(i)]
                                                                   : '0';
        };
        for (int p = std::max(r.exponent, 0); p >= 0; --p) text += digitAt(p);
        if (digits > 0) text += '.';
        for (int p = -1; p >= -digits; --p) text += digitAt(p);
    }
    std::size_t integerDigits = std::min(text.find('.'), text.size());
    if (static_cast<int>(integerDigits) > precision) {
        Digits d = SignificantDigits(magnitude, precision);
        DropTrailingZeros(d.digits);
        return MantissaText(d.digits) + ExponentText(d.exponent, std::min(digits, 4));
    }
    if (separators) InsertThousandsSeparators(text);
    return text;
}

} // namespace

std::string FloatToText(double value, Notation notation, int precision, int digits) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    precision = std::clamp(precision, 1, MaxPrecision);
    digits = std::clamp(digits, 0, MaxDecimals);
    // Negative zero is shown as zero: a minus sign on nothing would only confuse.
    const bool negative = std::signbit(value) && value != 0;
    const double magnitude = std::fabs(value);
    std::string text;
    switch (notation) {
    case Notation::Scientific:
        text = ScientificText(magnitude, precision, digits);
        break;
    case Notation::Fixed:
    case Notation::Number:
        text = FixedText(magnitude, precision, digits, notation == Notation::Number);
        break;
    case Notation::Currency:
        text = FixedText(magnitude, precision, digits, true);
        // A scientific fallback carries no currency symbol; it reads back as a plain number.
        if (text.find('E') == std::string::npos) text.insert(0, 1, '$');
        break;
    case Notation::General:
        text = GeneralText(magnitude, precision, digits);
        break;
    }
    if (negative) text.insert(0, 1, '-');
    return text;
}

std::string StripCurrencyPrefix(std::string_view text) {
    std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return std::string(text);
    std::size_t dollar = start;
    if (text[dollar] == '-') ++dollar;
    auto isDigit = [&](std::size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
    bool beforeNumber =
        isDigit(dollar + 1) || (dollar + 1 < text.size() && text[dollar + 1] == '.' && isDigit(dollar + 2));
    if (dollar < text.size() && text[dollar] == '$' && beforeNumber) {
        std::string result(text);
        result.erase(dollar, 1);
        return result;
    }
    return std::string(text);
}
