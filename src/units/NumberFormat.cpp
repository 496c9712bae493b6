#include "units/NumberFormat.h"

#include "units/FloatText.h"
#include "units/NumberUnits.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

constexpr int FullTextDigits = 15;
constexpr int DefaultDecimalPlaces = 7;

// General notation with this many significant digits names every double exactly: 17 suffice.
constexpr int ExactPrecision = 18;

// True when the text reads back as the quantity's own value (zero as zero) and units.
bool ReadsBackAs(const std::string& text, const TNumberUnits& quantity) {
    TNumberUnits back;
    return back.SetText(text) && !back.Empty && back.GetValue() == quantity.GetValue() &&
           back.GetUnits() == quantity.GetUnits();
}

// True when a number text reads back as zero (or not at all). Separators and the currency sign
// are not part of the number.
bool ReadsAsZero(std::string_view number) {
    // The plain decimals the fixed notations write ("-1,234.50", "$0.00") read as zero exactly when
    // no digit is; others (an exponent, "NAN") go through the library reading.
    std::size_t kept = 0, digits = 0, points = 0;
    bool plain = number.size() <= 64, nonZero = false;
    for (char c : number) {
        if (c == ',' || c == '$') continue;
        if (c >= '0' && c <= '9') {
            ++digits;
            nonZero = nonZero || c != '0';
        } else if (c == '.') {
            ++points;
        } else if (c != '-' || kept != 0) {
            plain = false;
        }
        ++kept;
    }
    if (plain && digits > 0 && points <= 1) return !nonZero;
    std::string stripped;
    for (char c : number)
        if (c != ',' && c != '$') stripped += c;
    double value = 0;
    const auto [end, ec] = std::from_chars(stripped.data(), stripped.data() + stripped.size(), value);
    return ec != std::errc() || end != stripped.data() + stripped.size() || value == 0;
}

} // namespace

std::string DisplayText(const TNumberUnits& quantity, Notation notation, int decimalPlaces) {
    return DisplayText(quantity, quantity.GetValue(), notation, decimalPlaces);
}

std::string DisplayText(const TNumberUnits& quantity, double value, Notation notation, int decimalPlaces) {
    if (quantity.Empty) return "";
    if (decimalPlaces < 0 || decimalPlaces > 15) decimalPlaces = DefaultDecimalPlaces;
    // The number is written in place and joined with its units into one string.
    NumberBuffer number;
    quantity.WriteNumber(number, notation, decimalPlaces, value);
    const bool positional =
        notation == Notation::Fixed || notation == Notation::Number || notation == Notation::Currency;
    if (positional && number.View().find('E') != std::string_view::npos) {
        // Too large for the positional form: the scientific form with the notation's decimal places,
        // not the full-text digits, whose last ones are noise on the display.
        number.Clear();
        quantity.WriteNumber(number, Notation::Scientific, decimalPlaces, value);
    }
    if (value != 0 && !number.showsNonZeroDigit && ReadsAsZero(number.View())) {
        // A value that would read back as zero in this notation is shown in Scientific instead.
        number.Clear();
        quantity.WriteNumber(number, Notation::Scientific, decimalPlaces, value);
    }
    if (!quantity.UnitsShowRounded()) {
        const std::string_view units = quantity.GetUnits();
        return number.Joined(&units);
    }
    const std::string rounded = quantity.DisplayUnits();
    const std::string_view units = rounded;
    return number.Joined(&units);
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
    std::string text = q.GetText();
    if (!std::isfinite(q.GetValue()) || ReadsBackAs(text, q)) return text;
    // Fifteen decimals (or sixteen digits) do not hold every value: tiny ones lose their digits,
    // others round to a neighbour or past the largest double. The General form keeps them exactly.
    q.SetFormat(Notation::General);
    q.Precision = ExactPrecision;
    return q.GetText();
}
