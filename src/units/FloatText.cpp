#include "units/FloatText.h"

#include "units/DecimalDigits.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

// Every conversion goes through std::to_chars or exact integer arithmetic: both round the exact
// binary value correctly and, unlike the printf family, never follow the process locale, so "."
// stays the decimal point even after the windows have switched the locale to the user's.

namespace {

using unitdetail::DecimalDigits;
using unitdetail::DecimalWhole;
using unitdetail::Digits18;
using unitdetail::RoundDigits;

constexpr int MaxPrecision = unitdetail::DecimalDigitCount;
// Decimals beyond this carry no information for a double; the bound keeps buffers small.
constexpr int MaxDecimals = 64;

// The fixed form of a magnitude with the given decimals through the library conversion.
void PutLibraryFixed(NumberBuffer& out, double magnitude, int digits) {
    char* const end = out.Data() + NumberBuffer::Capacity;
    const auto [last, ec] =
        std::to_chars(out.Data() + out.Size(), end, magnitude, std::chars_format::fixed, digits);
    (void)ec; // the buffer holds the largest double with MaxDecimals decimals
    out.Truncate(static_cast<std::size_t>(last - out.Data()));
}

// A "," before every group of three integer digits but the first; the integer digits start at
// `start` and the decimals, if any, follow them to the end of the text.
void InsertThousandsSeparators(NumberBuffer& out, std::size_t start, std::size_t integerDigits) {
    const std::size_t commas = integerDigits > 0 ? (integerDigits - 1) / 3 : 0;
    if (commas == 0) return;
    char* const text = out.Data();
    const std::size_t size = out.Size();
    const std::size_t integerEnd = start + integerDigits;
    for (std::size_t i = size; i > integerEnd; --i) text[i - 1 + commas] = text[i - 1];
    std::size_t to = integerEnd + commas;
    for (std::size_t from = integerEnd, group = 0; from > start; ++group) {
        if (group == 3) {
            text[--to] = ',';
            group = 0;
        }
        text[--to] = text[--from];
    }
    out.Truncate(size + commas);
}

// Decimal exponents of doubles have at most three digits.
void PutExponent(NumberBuffer& out, int exponent, int minDigits) {
    out.Put(exponent < 0 ? "E-" : "E+", 2);
    const int e = std::abs(exponent);
    const int length = e >= 100 ? 3 : e >= 10 ? 2 : 1;
    out.Repeat('0', minDigits - length);
    if (length == 3) out.Put(static_cast<char>('0' + e / 100));
    if (length >= 2) out.Put(static_cast<char>('0' + e / 10 % 10));
    out.Put(static_cast<char>('0' + e % 10));
}

void DropTrailingZeros(DecimalDigits& d) {
    while (d.count > 1 && d.digit[static_cast<std::size_t>(d.count - 1)] == '0') --d.count;
}

void PutMantissa(NumberBuffer& out, const DecimalDigits& d) {
    const std::string_view digits = d.View();
    out.Put(digits.substr(0, 1));
    if (digits.size() <= 1) return;
    out.Put('.');
    out.Put(digits.substr(1));
}

void PutScientific(NumberBuffer& out, DecimalDigits d, int exponentDigits) {
    PutMantissa(out, d);
    PutExponent(out, d.exponent, std::min(exponentDigits, 4));
}

void GeneralText(NumberBuffer& out, double magnitude, int precision, int digits) {
    if (magnitude == 0) return out.Put('0');
    DecimalDigits d = RoundDigits(Digits18(magnitude), precision);
    DropTrailingZeros(d);
    if (d.exponent >= precision || magnitude < 0.00001) return PutScientific(out, d, digits);
    // The first digit of a magnitude that is not zero is not zero.
    out.showsNonZeroDigit = true;
    const std::string_view shown = d.View();
    if (d.exponent < 0) {
        out.Put("0.", 2);
        out.Repeat('0', -d.exponent - 1);
        return out.Put(shown);
    }
    const std::size_t integerDigits = static_cast<std::size_t>(d.exponent) + 1;
    out.Put(shown.substr(0, integerDigits));
    if (shown.size() <= integerDigits) return out.Repeat('0', static_cast<int>(integerDigits - shown.size()));
    out.Put('.');
    out.Put(shown.substr(integerDigits));
}

// A whole number below 10^18 read as whole / 10^digits, with all those decimals (at least one
// integer digit). Gives the number of integer digits.
std::size_t PutWithDecimals(NumberBuffer& out, std::uint64_t whole, int digits) {
    // The digits, and room behind them for copying them in blocks.
    std::array<char, unitdetail::DecimalDigitCount + 32> d{};
    unitdetail::Put18Digits(whole, d.data());
    const char* const end = d.data() + unitdetail::DecimalDigitCount;
    const int n = unitdetail::DigitCount(whole);
    std::size_t integerDigits = 1;
    if (n > digits) {
        integerDigits = static_cast<std::size_t>(n - digits);
        out.PutBlock(end - n, integerDigits);
    } else {
        out.Put('0');
    }
    if (digits > 0) {
        out.Put('.');
        const int tail = std::min(n, digits);
        out.Repeat('0', digits - tail);
        out.PutBlock(end - tail, static_cast<std::size_t>(tail));
    }
    return integerDigits;
}

// Fixed decimals; too many integer digits for the precision falls back to the general scientific
// form, which carries no currency sign (it reads back as a plain number).
void FixedText(NumberBuffer& out, double magnitude, int precision, int digits, bool separators,
               bool currency) {
    const std::size_t start = out.Size();
    if (currency) out.Put('$');
    const std::size_t numberStart = out.Size();
    const DecimalWhole d18 = unitdetail::Whole18(magnitude);
    const int keep = magnitude == 0 ? 0 : d18.exponent + 1 + digits;
    std::size_t integerDigits = 0;
    if (keep >= MaxPrecision) {
        // Beyond 18 significant digits the binary value's own decimal expansion is shown.
        PutLibraryFixed(out, magnitude, digits);
        const std::string_view number = out.View().substr(numberStart);
        while (integerDigits < number.size() && number[integerDigits] != '.') ++integerDigits;
    } else {
        // The kept digits, rounded half away from zero, as one whole number of the last decimal.
        const std::uint64_t kept = unitdetail::RoundWhole(d18.whole, keep);
        integerDigits = PutWithDecimals(out, kept, digits);
        out.showsNonZeroDigit = kept != 0;
    }
    if (static_cast<int>(integerDigits) > precision) {
        DecimalDigits d = RoundDigits(unitdetail::DigitsOf(d18), precision);
        DropTrailingZeros(d);
        out.Truncate(start);
        out.showsNonZeroDigit = false;
        return PutScientific(out, d, digits);
    }
    if (separators) InsertThousandsSeparators(out, numberStart, integerDigits);
}

// Engineering: the exponent a multiple of three, one to three integer digits and exactly `digits`
// decimals; the exponent is written as Scientific writes it. A rounding carry (999.96 to one
// decimal) leaves a one and zeros, which the same placing writes as 1.0E+03.
void PutEngineering(NumberBuffer& out, double magnitude, int digits) {
    auto groupOffset = [](int exponent) { return ((exponent % 3) + 3) % 3; };
    const DecimalDigits all = Digits18(magnitude);
    const int keep = std::min(groupOffset(all.exponent) + 1 + digits, MaxPrecision);
    const DecimalDigits d = magnitude == 0 ? all : RoundDigits(all, keep);
    const int integerDigits = groupOffset(d.exponent) + 1;
    for (int i = 0; i < integerDigits + digits; ++i) {
        if (i == integerDigits) out.Put('.');
        out.Put(i < d.count && magnitude != 0 ? d.digit[static_cast<std::size_t>(i)] : '0');
    }
    out.showsNonZeroDigit = magnitude != 0;
    PutExponent(out, d.exponent - integerDigits + 1, std::min(digits, 4));
}

} // namespace

std::string NumberBuffer::Joined(const std::string_view* units) {
    if (units) {
        if (size_ + 1 + units->size() > Capacity) {
            std::string text;
            text.reserve(size_ + 1 + units->size());
            text.append(View());
            text += ' ';
            text.append(*units);
            return text;
        }
        Put(' ');
        Put(*units);
    }
    return std::string(View());
}

void WriteFloatText(NumberBuffer& out, double value, Notation notation, int precision, int digits) {
    if (std::isnan(value)) return out.Put("NAN", 3);
    if (std::isinf(value)) {
        if (value < 0) out.Put('-');
        return out.Put("INF", 3);
    }
    precision = std::clamp(precision, 1, MaxPrecision);
    digits = std::clamp(digits, 0, MaxDecimals);
    // Negative zero is shown as zero: a minus sign on nothing would only confuse.
    if (std::signbit(value) && value != 0) out.Put('-');
    const double magnitude = std::fabs(value);
    switch (notation) {
    case Notation::Scientific:
        return PutScientific(out, RoundDigits(Digits18(magnitude), precision), digits);
    case Notation::Fixed:
    case Notation::Number:
    case Notation::Currency:
        return FixedText(out, magnitude, precision, digits, notation != Notation::Fixed,
                         notation == Notation::Currency);
    case Notation::General:
        return GeneralText(out, magnitude, precision, digits);
    case Notation::Engineering:
        return PutEngineering(out, magnitude, digits);
    }
}

std::string FloatToText(double value, Notation notation, int precision, int digits) {
    NumberBuffer out;
    WriteFloatText(out, value, notation, precision, digits);
    return out.Joined(nullptr);
}

std::string QuantityText(double value, Notation notation, int precision, int digits, std::string_view units) {
    NumberBuffer out;
    WriteFloatText(out, value, notation, precision, digits);
    return out.Joined(&units);
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
