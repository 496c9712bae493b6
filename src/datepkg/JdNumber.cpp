// Decimal text <-> two-part JD. The text's value is held as whole + 0.digits (0 <= 0.digits < 1, the
// whole part possibly negative); the half day between JD and civil midnight is added or taken away
// on the digits themselves, so that the fraction of the day is read from, and written as, its own
// decimal digits at full precision.
#include "datepkg/JdNumber.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace ostrel::jdtext {

namespace {

struct TDecimal {
    std::int64_t whole = 0;
    std::string digits; // after the point
};

bool AllZero(std::string_view digits) {
    return digits.find_first_not_of('0') == std::string_view::npos;
}

// 1 - 0.digits, with as many digits, for digits that are not all zero.
std::string Complement(std::string digits) {
    const std::size_t last = digits.find_last_not_of('0');
    for (std::size_t i = 0; i < last; ++i) digits[i] = static_cast<char>('9' - (digits[i] - '0'));
    digits[last] = static_cast<char>('0' + 10 - (digits[last] - '0'));
    return digits;
}

const char* Name(TScale scale) {
    return scale == TScale::_JD ? "JD" : "MJD";
}

[[noreturn]] void NotANumber(std::string_view text, TScale scale) {
    throw EDateError(TDateFault::_Syntax,
                     std::string("not a ") + (scale == TScale::_JD ? "Julian Date" : "Modified Julian Date") +
                         ": \"" + std::string(text) + "\"");
}

[[noreturn]] void OutOfRange(std::string_view text, TScale scale) {
    throw EDateError(TDateFault::_OutOfRange,
                     std::string(Name(scale)) + " " + std::string(text) + " is out of range: " + RangeText);
}

std::string_view TakeDigits(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    return text.substr(start, at - start);
}

// The exact value of a number text; any day number beyond this many digits is out of range.
constexpr std::size_t MaxWholeDigits = 12;
constexpr int MaxExponent = 9999;

TDecimal Parse(std::string_view text, TScale scale) {
    std::size_t at = 0;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    const std::string_view whole = TakeDigits(text, at);
    std::string_view fraction;
    if (at < text.size() && text[at] == '.') fraction = TakeDigits(text, ++at);
    if (whole.empty() && fraction.empty()) NotANumber(text, scale);
    long exponent = 0;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        const bool down = ++at < text.size() && text[at] == '-';
        if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
        const std::string_view power = TakeDigits(text, at);
        if (power.empty() || power.size() > 4) NotANumber(text, scale);
        std::from_chars(power.data(), power.data() + power.size(), exponent);
        if (down) exponent = -exponent;
    }
    if (at != text.size()) NotANumber(text, scale);

    // Move the point by the exponent over all the digits.
    std::string all = std::string(whole) + std::string(fraction);
    long point = static_cast<long>(whole.size()) + exponent;
    if (point < 0) {
        all.insert(0, static_cast<std::size_t>(-point), '0');
        point = 0;
    } else if (point > static_cast<long>(all.size())) {
        all.append(static_cast<std::size_t>(point) - all.size(), '0');
    }
    std::string_view integer = std::string_view(all).substr(0, static_cast<std::size_t>(point));
    integer.remove_prefix(std::min(integer.size(), integer.find_first_not_of('0')));
    if (integer.size() > MaxWholeDigits) OutOfRange(text, scale);
    TDecimal value;
    std::from_chars(integer.data(), integer.data() + integer.size(), value.whole);
    value.digits = all.substr(static_cast<std::size_t>(point));
    if (negative) {
        // -(w + 0.d) = (-w - 1) + (1 - 0.d)
        if (AllZero(value.digits)) {
            value.whole = -value.whole;
        } else {
            value.whole = -value.whole - 1;
            value.digits = Complement(value.digits);
        }
    }
    return value;
}

// The decimals of a fraction of a day in [0, 1): the shortest that read back to it, or all of them
// (a double below 1 has at most 1074).
std::string FractionDigits(double fraction, bool shortest) {
    char text[1100];
    const std::to_chars_result end =
        shortest ? std::to_chars(text, text + sizeof text, fraction, std::chars_format::fixed)
                 : std::to_chars(text, text + sizeof text, fraction, std::chars_format::fixed, 1074);
    const std::string_view written(text, static_cast<std::size_t>(end.ptr - text));
    const std::size_t point = written.find('.');
    std::string digits = point == std::string_view::npos ? "" : std::string(written.substr(point + 1));
    digits.erase(digits.find_last_not_of('0') + 1);
    return digits;
}

double Fraction(const std::string& digits) {
    const std::string text = "0." + (digits.empty() ? std::string("0") : digits);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// whole + 0.digits + 0.5, kept in the same form.
void AddHalf(TDecimal& value) {
    if (value.digits.empty()) {
        value.digits = "5";
    } else if (value.digits[0] < '5') {
        value.digits[0] = static_cast<char>(value.digits[0] + 5);
    } else {
        value.digits[0] = static_cast<char>(value.digits[0] - 5);
        ++value.whole;
    }
}

// Rounded half to even to count digits.
void RoundTo(TDecimal& value, std::size_t count) {
    std::string& d = value.digits;
    if (d.size() <= count) {
        d.append(count - d.size(), '0');
        return;
    }
    bool up = d[count] > '5';
    if (d[count] == '5') {
        const bool odd = count > 0 ? (d[count - 1] - '0') % 2 != 0 : value.whole % 2 != 0;
        up = !AllZero(std::string_view(d).substr(count + 1)) || odd;
    }
    d.resize(count);
    if (!up) return;
    std::size_t i = count;
    while (i > 0 && d[i - 1] == '9') d[--i] = '0';
    if (i == 0) {
        ++value.whole;
    } else {
        ++d[i - 1];
    }
}

std::string Format(const TDecimal& value) {
    const std::string point = value.digits.empty() ? "" : ".";
    if (value.whole >= 0 || AllZero(value.digits)) return std::to_string(value.whole) + point + value.digits;
    return "-" + std::to_string(-value.whole - 1) + point + Complement(value.digits);
}

} // namespace

TJulianDate Read(std::string_view text, TScale scale) {
    TDecimal value = Parse(text, scale);
    double jd1 = 0;
    if (scale == TScale::_MJD) {
        jd1 = static_cast<double>(value.whole) + TJulianDate::MJDOffset;
    } else if (!value.digits.empty() && value.digits[0] >= '5') {
        // w + 0.d = (w + 0.5) + (0.d - 0.5)
        value.digits[0] = static_cast<char>(value.digits[0] - 5);
        jd1 = static_cast<double>(value.whole) + 0.5;
    } else {
        // w + 0.d = (w - 0.5) + (0.d + 0.5)
        AddHalf(value);
        jd1 = static_cast<double>(value.whole) - 0.5;
    }
    try {
        return {jd1, Fraction(value.digits)};
    } catch (const EDateError& e) {
        if (e.Fault() == TDateFault::_OutOfRange) OutOfRange(text, scale);
        throw;
    }
}

std::string Write(const TJulianDate& t, TScale scale, int decimals) {
    TDecimal value;
    // JD1() + 0.5 is the civil day: whole JDs start half a day before it, MJDs at its midnight.
    value.whole = static_cast<std::int64_t>(t.JD1() + 0.5) - (scale == TScale::_JD ? 1 : 2400001);
    value.digits = FractionDigits(t.JD2(), decimals < 0);
    if (scale == TScale::_JD) AddHalf(value);
    if (decimals >= 0) {
        RoundTo(value, static_cast<std::size_t>(decimals));
    } else if (value.digits.empty()) {
        value.digits = "0";
    }
    return Format(value);
}

} // namespace ostrel::jdtext
