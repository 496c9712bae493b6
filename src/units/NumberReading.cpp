// Reading numbers and splitting quantity texts into their number and unit text.
#include "units/NumberReading.h"

#include "units/DecimalDigits.h"
#include "units/FloatText.h"
#include "units/Utf8Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

constexpr bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsIgnored(char c) {
    switch (c) {
    case ' ':
    case '!':
    case '#':
    case '%':
    case '&':
    case ',':
    case '@':
    case '`':
    case '~':
        return true;
    default:
        return false;
    }
}
constexpr bool IsUnitTextChar(char c) {
    return (c >= '0' && c <= '9') || IsLetter(c) || c == '$' || c == '*' || c == '-' || c == '/' ||
           c == '^' || c == '.';
}

// What a character may be in a plain quantity text, looked up once instead of compared in turn.
enum : std::uint8_t { DigitKind = 1, NumberKind = 2, LetterKind = 4, PlainUnitKind = 8 };
constexpr std::array<std::uint8_t, 256> CharKinds = [] {
    std::array<std::uint8_t, 256> kinds{};
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        std::uint8_t k = 0;
        if (ch >= '0' && ch <= '9') k |= DigitKind;
        if ((ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == '.' || ch == 'E' || ch == 'e' ||
            ch == 'X' || ch == 'x')
            k |= NumberKind;
        if (IsLetter(ch)) k |= LetterKind;
        // The unit characters of a plain text: a "-" among the units needs the general reading.
        if (ch != '-' && IsUnitTextChar(ch)) k |= PlainUnitKind;
        kinds[static_cast<std::size_t>(c)] = k;
    }
    return kinds;
}();

// Half to the even neighbour.
double RoundHalfEven(double x) {
    const double floor = std::floor(x);
    const double rest = x - floor;
    if (rest > 0.5) return floor + 1;
    if (rest < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

} // namespace

namespace unitdetail {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsExponentMark(char c) {
    return c == 'E' || c == 'e' || c == 'X' || c == 'x';
}
bool IsNumberChar(char c) {
    return IsDigit(c) || c == '+' || c == '-' || c == '.' || IsExponentMark(c);
}

bool ReadDecimal(std::string_view text, double& out) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) ++i;
    const std::size_t bodyStart = i;
    int digits = 0;
    // The digits as a whole number, while there are at most 15 (exact in a double).
    std::uint64_t mantissa = 0;
    // Decimal position of the first non-zero digit, to tell underflow from overflow.
    long long firstNonZero = 0;
    bool seenNonZero = false;
    long long integerDigits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        if (!seenNonZero && text[i] != '0') {
            seenNonZero = true;
            firstNonZero = integerDigits;
        }
        if (digits < 15) mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i] - '0');
        ++integerDigits;
        ++digits;
        ++i;
    }
    long long fraction = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++fraction;
            if (!seenNonZero && text[i] != '0') {
                seenNonZero = true;
                firstNonZero = -fraction;
            }
            if (digits < 15) mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i] - '0');
            ++digits;
            ++i;
        }
    }
    if (digits == 0) return false;
    long long exponent = 0;
    const bool exponentWritten = i < text.size() && (text[i] == 'e' || text[i] == 'E');
    if (exponentWritten) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negativeExponent = text[i++] == '-';
        int exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) {
            exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000000LL);
            ++exponentDigits;
            ++i;
        }
        if (exponentDigits == 0) return false;
        if (negativeExponent) exponent = -exponent;
    }
    if (i != text.size()) return false;
    double value = 0;
    // Short plain decimals (most of what is typed and stored) are a whole number of at most 15
    // digits divided by a power of ten, both exact doubles, so one division rounds correctly.
    if (digits <= 15 && !exponentWritten && fraction <= 22) {
        value = static_cast<double>(mantissa) / PowersOfTen[fraction];
        out = negative ? -value : value;
        return true;
    }
    const auto [end, ec] = std::from_chars(text.data() + bodyStart, text.data() + text.size(), value);
    if (end != text.data() + text.size()) return false;
    if (ec == std::errc::result_out_of_range) {
        // Magnitude of the leading digit: integer digits before it count up, fraction digits down.
        const long long magnitude =
            (firstNonZero >= 0 ? integerDigits - firstNonZero - 1 : firstNonZero) + exponent;
        if (magnitude >= 0) return false;
        value = 0;
    } else if (ec != std::errc()) {
        return false;
    }
    out = negative ? -value : value;
    return std::isfinite(out);
}

bool SplitPlainQuantity(std::string_view text, double& number, std::string_view& unitText) {
    const std::size_t n = text.size();
    if (n == 0) return false;
    const char* const s = text.data();
    auto is = [s](std::size_t k, std::uint8_t kinds) {
        return (CharKinds[static_cast<unsigned char>(s[k])] & kinds) != 0;
    };
    // Number: [sign] digits [. digits] [e [sign] digits].
    std::size_t i = s[0] == '+' || s[0] == '-' ? 1 : 0;
    std::size_t digits = 0, fraction = 0;
    // The digits as a whole number, while there are at most 15.
    std::uint64_t mantissa = 0;
    for (; i < n && is(i, DigitKind); ++i, ++digits)
        if (digits < 15) mantissa = mantissa * 10 + static_cast<std::uint64_t>(s[i] - '0');
    if (i < n && s[i] == '.') {
        for (++i; i < n && is(i, DigitKind); ++i, ++digits, ++fraction)
            if (digits < 15) mantissa = mantissa * 10 + static_cast<std::uint64_t>(s[i] - '0');
    }
    const std::size_t mantissaEnd = i;
    const bool exponentWritten = i < n && (s[i] == 'e' || s[i] == 'E') && digits > 0;
    if (exponentWritten) {
        std::size_t j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
        const std::size_t exponentStart = j;
        while (j < n && is(j, DigitKind)) ++j;
        // Only short whole exponents: the general reading rounds and bounds anything else.
        if (j == exponentStart || j - exponentStart > 6) return false;
        i = j;
    }
    if (i == 0) {
        // No number: one of the unit, unless the text starts with a mark the general reading treats.
        if (IsExponentMark(s[0]) || !is(0, LetterKind)) return false;
        number = 1;
    } else {
        if (digits == 0 || mantissaEnd == 0) return false;
        if (i < n && is(i, NumberKind)) return false; // "5erg", "2.5x10-3", "1.2.3"
        if (digits <= 15 && !exponentWritten) {
            // As ReadDecimal reads a short plain decimal, without scanning it again.
            const double magnitude = static_cast<double>(mantissa) / PowersOfTen[fraction];
            number = s[0] == '-' ? -magnitude : magnitude;
        } else if (!ReadDecimal(text.substr(0, i), number)) {
            return false;
        }
    }
    const std::size_t beforeBlanks = i;
    while (i < n && s[i] == ' ') ++i;
    // Blanks are dropped before reading, so a number character after them would join the number.
    if (i > beforeBlanks && i < n && is(i, NumberKind)) return false;
    for (std::size_t k = i; k < n; ++k)
        if (!is(k, PlainUnitKind)) return false;
    unitText = text.substr(i);
    return true;
}

double RoundThroughNumberText(double value) {
    if (!std::isfinite(value)) return value;
    if (value == 0) return 0;
    // A decimal of at most 15 digits is its own number text.
    std::uint64_t exactWhole = 0;
    int exactFraction = 0;
    if (ShortExactDecimal(std::fabs(value), exactWhole, exactFraction) && exactWhole < 1000000000000000ULL)
        return value;
    // The 18 significant digits the number text starts from, rounded half up to 15.
    const DecimalWhole d18 = Whole18(std::fabs(value));
    std::uint64_t whole = RoundWhole(d18.whole, 15);
    int exponent = d18.exponent;
    if (whole == WholePowersOfTen[15]) {
        whole = WholePowersOfTen[14];
        ++exponent;
    }
    // The text reads as whole * 10^scale. A whole number below 10^15 and a power of ten up to 10^22
    // are exact doubles, so one multiplication or division rounds as reading the text would.
    const int scale = exponent - 14;
    const double magnitude = static_cast<double>(whole);
    double out = 0;
    if (scale >= 0 && scale <= 22) {
        out = magnitude * PowersOfTen[scale];
    } else if (scale < 0 && scale >= -22) {
        out = magnitude / PowersOfTen[-scale];
    } else {
        // Far from 1 the text itself is read (rarely: beyond 10^36 or below 10^-8).
        const std::string text = std::to_string(whole) + "e" + std::to_string(scale);
        if (!ReadDecimal(text, out)) return value < 0 ? -HUGE_VAL : HUGE_VAL;
    }
    return value < 0 ? -out : out;
}

} // namespace unitdetail

using unitdetail::IsExponentMark;
using unitdetail::IsNumberChar;
using unitdetail::ReadDecimal;

// A number text the decimal conversion refused because its value lies beyond the double range.
bool BeyondRange(std::string_view number) {
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) number.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    return ec == std::errc::result_out_of_range && end == number.data() + number.size();
}

std::string StripIgnoredChars(std::string_view input) {
    // Typographic forms are read as their ASCII spelling before anything else looks at the text.
    std::string spelled;
    std::string_view text = input;
    if (utf8text::HasNonAscii(input)) {
        spelled = utf8text::AsciiSpelling(input);
        text = spelled;
    }
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (!IsIgnored(c)) out += c;
    return out;
}

NormalizedQuantity NormalizeQuantityText(std::string_view input) {
    NormalizedQuantity result;
    if (input.empty()) return result;
    // Currency texts carry "$" before their digits; drop it so they read back as their number.
    const std::string unprefixed = StripCurrencyPrefix(input);
    input = unprefixed;
    std::string prefixed;
    std::string_view text = input;
    if (IsExponentMark(text[0])) {
        prefixed.reserve(input.size() + 1);
        prefixed += '1';
        prefixed.append(input);
        text = prefixed;
    }
    // Number part.
    std::string number;
    bool seenMark = false, seenPoint = false;
    std::size_t mark = 0, i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (IsExponentMark(c)) {
            if (seenMark) break;
            seenMark = true;
            mark = i;
            number += 'E';
            i += (c == 'X' || c == 'x') ? 3 : 1; // the "10" of 2.5x10-3 is skipped
            continue;
        }
        if (!IsNumberChar(c)) break;
        if (c == '.') {
            if (!seenPoint) number += c;
            seenPoint = true;
        } else {
            number += c;
        }
        ++i;
    }
    std::size_t unitStart = std::min(i, text.size());
    // An "e" directly before a letter starts the unit (5erg is 5 and erg).
    if (i < text.size() && seenMark && mark + 1 == i && (text[mark] == 'E' || text[mark] == 'e')) {
        number.pop_back();
        unitStart = mark;
    }
    if (number.empty()) {
        result.number = 1;
    } else if (const auto e = number.find('E'); e != std::string::npos) {
        double exponent = 0;
        std::string_view mantissa = std::string_view(number).substr(0, e);
        // The exponent is read as a number of its own and rounded to a whole one.
        if (!ReadDecimal(std::string_view(number).substr(e + 1), exponent) || mantissa.empty()) {
            result.ok = false;
        } else {
            const double whole = std::clamp(RoundHalfEven(exponent), -1e6, 1e6);
            const std::string rounded =
                std::string(mantissa) + "E" + std::to_string(static_cast<long>(whole));
            result.ok = ReadDecimal(rounded, result.number);
            result.outOfRange = !result.ok && BeyondRange(rounded);
        }
    } else {
        result.ok = ReadDecimal(number, result.number);
        result.outOfRange = !result.ok && BeyondRange(number);
    }
    // Unit part.
    std::string& units = result.unitText;
    units.reserve(text.size() - unitStart);
    for (i = unitStart; i < text.size();) {
        const char c = text[i];
        if (!IsUnitTextChar(c)) {
            // Parentheses are dropped (grouping is written with "/"); any other character means
            // nothing here, and reading on without it could give another unit.
            if (c != '(' && c != ')') {
                result.ok = false;
                result.stray = utf8text::CharacterAt(text, i);
                break;
            }
            ++i;
        } else if (c == '^') {
            // The exponent is the run of number characters after "^"; a second "-" ends it, and a
            // "-" that ends it is an operator.
            units += c;
            const std::size_t start = ++i;
            bool minus = false;
            while (i < text.size() && IsNumberChar(text[i])) {
                if (text[i] == '-') {
                    if (minus) break;
                    minus = true;
                }
                ++i;
            }
            if (i > start && text[i - 1] == '-') --i;
            units.append(text.substr(start, i - start));
        } else {
            units += c == '-' ? '*' : c;
            ++i;
        }
    }
    return result;
}
