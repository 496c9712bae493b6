#include "settings/NumberFormat.h"

#include "units/FloatText.h"
#include "units/NumberUnits.h"

#include <charconv>
#include <cmath>

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
    const double fixed = ReadNumber(FloatToText(value, Notation::Fixed, 18, FullTextDigits));
    return FloatToText(fixed, Notation::General, FullTextDigits, 0) ==
           FloatToText(value, Notation::General, FullTextDigits, 0);
}

// True when the number of a rendered quantity text reads back as zero (or not at all). The number
// runs up to the blank before the units; separators and the currency sign are not part of it.
bool ReadsAsZero(std::string_view shown) {
    std::string number;
    for (char c : shown.substr(0, shown.find(' ')))
        if (c != ',' && c != '$') number += c;
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    return ec != std::errc() || end != number.data() + number.size() || value == 0;
}

} // namespace

std::string DisplayText(const TNumberUnits& quantity, Notation notation, int decimalPlaces) {
    if (quantity.Empty) return "";
    if (decimalPlaces < 0 || decimalPlaces > 15) decimalPlaces = DefaultDecimalPlaces;
    const std::string units = quantity.DisplayUnits();
    std::string shown = quantity.FormatNumber(notation, decimalPlaces) + " " + units;
    if (quantity.GetValue() != 0 && ReadsAsZero(shown)) {
        // A value that would read back as zero in this notation is shown in Scientific instead.
        shown = quantity.FormatNumber(Notation::Scientific, decimalPlaces) + " " + units;
    }
    return shown;
}

std::string FormatForDisplay(std::string_view text, Notation notation, int decimalPlaces) {
    TNumberUnits a;
    if (!a.SetText(text) || a.Empty) return "";
    return DisplayText(a, notation, decimalPlaces);
}

std::string FullText(const TNumberUnits& quantity, Notation notation) {
    TNumberUnits q = quantity;
    q.Digits = FullTextDigits;
    q.SetFormat(notation);
    const bool decimalsOnly =
        notation == Notation::Fixed || notation == Notation::Number || notation == Notation::Currency;
    if (decimalsOnly && !FifteenDecimalsKeepValue(q.GetValue())) {
        q.SetFormat(Notation::General);
        q.Precision = 18;
    }
    return q.GetText();
}
