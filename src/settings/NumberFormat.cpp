#include "settings/NumberFormat.h"

#include "units/FloatText.h"
#include "units/NumberUnits.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <exception>

namespace {

constexpr int FullTextDigits = 15;
constexpr int DefaultDecimalPlaces = 7;

// Reads a plain number text ("." decimal point, no separators) without consulting the locale.
double ReadNumber(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// True when the 15-decimal form of the value carries as much as the program's 15-digit number
// texts do; tiny values (1.6E-19, 3.38627458E-9) lose most or all of their digits in it.
bool FifteenDecimalsKeepValue(double value) {
    if (value == 0 || !std::isfinite(value)) return true;
    const double fixed = ReadNumber(FloatToText(value, ntFixed, 18, FullTextDigits));
    return FloatToText(fixed, ntGeneral, FullTextDigits, 0) ==
           FloatToText(value, ntGeneral, FullTextDigits, 0);
}

// True when the number that starts a quantity text has no digit other than 0 before its exponent.
bool ReadsAsZero(std::string_view shown) {
    for (char c : shown) {
        if (c == 'E' || c == ' ') return true;
        if (c >= '1' && c <= '9') return false;
    }
    return true;
}

} // namespace

std::string FormatForDisplay(std::string_view text, int notation, int decimalPlaces) {
    TNumberUnits a;
    try {
        if (!a.SetText(text) || a.Empty) return "";
    } catch (const std::exception&) {
        return ""; // an exponent the number conversion rejects: not a quantity either
    }
    return FormatForDisplay(a, notation, decimalPlaces);
}

std::string FormatForDisplay(const TNumberUnits& quantity, int notation, int decimalPlaces) {
    if (quantity.Empty) return "";
    if (decimalPlaces < 0 || decimalPlaces > 15) decimalPlaces = DefaultDecimalPlaces;
    TNumberUnits a = quantity;
    a.Digits = static_cast<std::uint8_t>(decimalPlaces);
    a.Precision = 18;
    a.SetFormat(static_cast<std::uint8_t>(notation));
    std::string shown = a.GetText();
    // A value that would read back as zero in this notation is shown in Scientific instead.
    if (a.GetValue() != 0 && ReadsAsZero(shown)) {
        a.SetFormat(ntScientific);
        shown = a.GetText();
    }
    return shown;
}

std::string FullText(const TNumberUnits& quantity, int notation) {
    TNumberUnits q = quantity;
    q.Digits = FullTextDigits;
    q.SetFormat(static_cast<std::uint8_t>(notation));
    const bool decimalsOnly = notation == ntFixed || notation == ntNumber || notation == ntCurrency;
    if (decimalsOnly && !FifteenDecimalsKeepValue(q.GetValue())) {
        q.SetFormat(ntGeneral);
        q.Precision = 18;
    }
    return q.GetText();
}
