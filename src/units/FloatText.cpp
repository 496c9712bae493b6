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
using unitdetail::Digits18;
using unitdetail::RoundDigits;

constexpr int MaxPrecision = unitdetail::DecimalDigitCount;
// Decimals beyond this carry no information for a double; the bound keeps buffers small.
constexpr int MaxDecimals = 64;

// A number text being written, with room for the fixed form of the largest double with the most
// decimals and its separators; one string is made from it at the end.
class Text {
public:
    void Put(char c) { chars_[size_++] = c; }
    void Put(std::string_view s) {
        std::copy(s.begin(), s.end(), chars_.begin() + static_cast<std::ptrdiff_t>(size_));
        size_ += s.size();
    }
    void Repeat(char c, int n) {
        for (; n > 0; --n) Put(c);
    }
    // Writes the fixed form of a magnitude with the given decimals through the library conversion.
    void PutFixed(double magnitude, int digits) {
        auto [end, ec] = std::to_chars(chars_.data() + size_, chars_.data() + chars_.size(), magnitude,
                                       std::chars_format::fixed, digits);
        (void)ec; // the buffer holds the largest double with MaxDecimals decimals
        size_ = static_cast<std::size_t>(end - chars_.data());
    }
    void Clear() { size_ = 0; }
    std::string_view View() const { return {chars_.data(), size_}; }
    // A "," before every group of three integer digits but the first (the text is a bare number).
    void InsertThousandsSeparators() {
        const std::size_t integerEnd = std::min(View().find('.'), size_);
        const std::size_t commas = integerEnd > 0 ? (integerEnd - 1) / 3 : 0;
        if (commas == 0) return;
        std::copy_backward(chars_.begin() + static_cast<std::ptrdiff_t>(integerEnd),
                           chars_.begin() + static_cast<std::ptrdiff_t>(size_),
                           chars_.begin() + static_cast<std::ptrdiff_t>(size_ + commas));
        std::size_t to = integerEnd + commas;
        for (std::size_t from = integerEnd, group = 0; from > 0; ++group) {
            if (group == 3) {
                chars_[--to] = ',';
                group = 0;
            }
            chars_[--to] = chars_[--from];
        }
        size_ += commas;
    }

private:
    std::array<char, 512> chars_;
    std::size_t size_ = 0;
};

void PutExponent(Text& out, int exponent, int minDigits) {
    out.Put(exponent < 0 ? "E-" : "E+");
    char number[16];
    const auto [end, ec] = std::to_chars(number, number + sizeof number, std::abs(exponent));
    (void)ec; // an int fits
    out.Repeat('0', minDigits - static_cast<int>(end - number));
    out.Put(std::string_view(number, static_cast<std::size_t>(end - number)));
}

void DropTrailingZeros(DecimalDigits& d) {
    while (d.count > 1 && d.digit[static_cast<std::size_t>(d.count - 1)] == '0') --d.count;
}

void PutMantissa(Text& out, const DecimalDigits& d) {
    const std::string_view digits = d.View();
    out.Put(digits.substr(0, 1));
    if (digits.size() <= 1) return;
    out.Put('.');
    out.Put(digits.substr(1));
}

void PutScientific(Text& out, DecimalDigits d, int exponentDigits) {
    PutMantissa(out, d);
    PutExponent(out, d.exponent, std::min(exponentDigits, 4));
}

void GeneralText(Text& out, double magnitude, int precision, int digits) {
    if (magnitude == 0) return out.Put('0');
    DecimalDigits d = RoundDigits(Digits18(magnitude), precision);
    DropTrailingZeros(d);
    if (d.exponent >= precision || magnitude < 0.00001) return PutScientific(out, d, digits);
    const std::string_view shown = d.View();
    if (d.exponent < 0) {
        out.Put("0.");
        out.Repeat('0', -d.exponent - 1);
        return out.Put(shown);
    }
    const std::size_t integerDigits = static_cast<std::size_t>(d.exponent) + 1;
    out.Put(shown.substr(0, integerDigits));
    if (shown.size() <= integerDigits) return out.Repeat('0', static_cast<int>(integerDigits - shown.size()));
    out.Put('.');
    out.Put(shown.substr(integerDigits));
}

// Fixed decimals; too many integer digits for the precision falls back to the general scientific form.
void FixedText(Text& out, double magnitude, int precision, int digits, bool separators) {
    const DecimalDigits d18 = Digits18(magnitude);
    const int keep = magnitude == 0 ? 0 : d18.exponent + 1 + digits;
    if (keep >= MaxPrecision) {
        // Beyond 18 significant digits the binary value's own decimal expansion is shown.
        out.PutFixed(magnitude, digits);
    } else {
        const DecimalDigits r = RoundDigits(d18, keep);
        // Digit at decimal position p (0 units, -1 tenths ...), zero outside the kept digits.
        auto digitAt = [&r](int p) {
            const int i = r.exponent - p;
            return i >= 0 && i < r.count ? r.digit[static_cast<std::size_t>(i)] : '0';
        };
        for (int p = std::max(r.exponent, 0); p >= 0; --p) out.Put(digitAt(p));
        if (digits > 0) out.Put('.');
        for (int p = -1; p >= -digits; --p) out.Put(digitAt(p));
    }
    const std::size_t integerDigits = std::min(out.View().find('.'), out.View().size());
    if (static_cast<int>(integerDigits) > precision) {
        DecimalDigits d = RoundDigits(d18, precision);
        DropTrailingZeros(d);
        out.Clear();
        return PutScientific(out, d, digits);
    }
    if (separators) out.InsertThousandsSeparators();
}

// The number text, and after it one blank and the unit text when there are units; one string is made.
std::string JoinedText(double value, Notation notation, int precision, int digits,
                       const std::string_view* units) {
    Text number;
    bool negative = false;
    if (std::isnan(value)) {
        number.Put("NAN");
    } else if (std::isinf(value)) {
        negative = value < 0;
        number.Put("INF");
    } else {
        precision = std::clamp(precision, 1, MaxPrecision);
        digits = std::clamp(digits, 0, MaxDecimals);
        // Negative zero is shown as zero: a minus sign on nothing would only confuse.
        negative = std::signbit(value) && value != 0;
        const double magnitude = std::fabs(value);
        switch (notation) {
        case Notation::Scientific:
            PutScientific(number, RoundDigits(Digits18(magnitude), precision), digits);
            break;
        case Notation::Fixed:
        case Notation::Number:
        case Notation::Currency:
            FixedText(number, magnitude, precision, digits, notation != Notation::Fixed);
            break;
        case Notation::General:
            GeneralText(number, magnitude, precision, digits);
            break;
        }
    }
    const std::string_view body = number.View();
    // A scientific fallback carries no currency symbol; it reads back as a plain number.
    const bool currencySign =
        notation == Notation::Currency && std::isfinite(value) && body.find('E') == std::string_view::npos;
    std::string text;
    text.reserve(body.size() + 2 + (units ? 1 + units->size() : 0));
    if (negative) text += '-';
    if (currencySign) text += '$';
    text.append(body);
    if (units) {
        text += ' ';
        text.append(*units);
    }
    return text;
}

} // namespace

std::string FloatToText(double value, Notation notation, int precision, int digits) {
    return JoinedText(value, notation, precision, digits, nullptr);
}

std::string QuantityText(double value, Notation notation, int precision, int digits, std::string_view units) {
    return JoinedText(value, notation, precision, digits, &units);
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
