// Unit-aware arithmetic and functions on quantity texts. Operands are parsed into local quantities,
// checked, combined and handed back as texts; nothing here keeps state between calls.
#include "units/QuantityMath.h"

#include "units/AngleUnits.h"
#include "units/NumberReading.h"
#include "units/NumberUnits.h"
#include "units/TemperatureDifference.h"
#include "units/UnitLists.h"

#include <array>
#include <cmath>
#include <optional>
#include <utility>

namespace {

constexpr double QuarterPi = 0.7853981633974483;
constexpr const char* OverflowMessage = "Floating point overflow";
constexpr const char* NegativeFractionalMessage = "Negative to a fractional power not allowed";

// The number and the unit text of a quantity text, without parsing the units.
NormalizedQuantity SplitQuantityText(std::string_view text) {
    return NormalizeQuantityText(StripIgnoredChars(text));
}

// A parse that leaves the quantity without a value (an empty text) counts as a failure here:
// an operation on nothing must not report a result.
bool ParseOperand(TNumberUnits& q, std::string_view text) {
    return q.SetText(text) && !q.Empty;
}

bool ParseOperands(const std::string& a, const std::string& b, TNumberUnits& qa, TNumberUnits& qb,
                   std::string& errorText) {
    for (auto [q, text] : {std::pair{&qa, &a}, std::pair{&qb, &b}}) {
        if (!ParseOperand(*q, *text)) {
            errorText = *text + " has incompatible units";
            return false;
        }
    }
    return true;
}

std::string QuantityTextOf(double value, std::string_view units) {
    std::string text = NumberText(value);
    text += ' ';
    text += units;
    return text;
}

struct Result {
    std::string fullText;
    double value = 0;
    std::string unitsText;
};

// Copies a finished result to the caller's outputs; a non-finite value is refused so that no
// infinity or NaN ever reaches the stack.
bool Deliver(const TNumberUnits& q, std::string& fullText, double& value, std::string& unitsText,
             std::string& errorText) {
    if (!std::isfinite(q.GetValue())) {
        errorText = OverflowMessage;
        return false;
    }
    fullText = q.GetText();
    value = q.GetValue();
    unitsText = q.GetUnits();
    return true;
}

// Products, quotients and powers are shown in the preferred units while AutoConvert is on.
bool InPreferredUnits(TNumberUnits& result, std::string& errorText) {
    if (AutoConvert) result.ConvertToPreferred();
    if (!std::isfinite(result.GetValue())) {
        errorText = OverflowMessage;
        return false;
    }
    return true;
}

double Checked(double result) {
    if (!std::isfinite(result)) throw E(OverflowMessage);
    return result;
}

} // namespace

bool QuantityLogExp(std::string& text, int code, double& value) {
    text = StripIgnoredChars(text);
    NormalizedQuantity parts = NormalizeQuantityText(text);
    if (!parts.ok) throw E(ErrorMessage(_UnitProblem));
    if (!parts.unitText.empty()) throw E("Must be unitless");
    const double x = parts.number;
    double result;
    if (code == 0 || code == 1) {
        if (!(x > 0)) throw E("Number must be greater than zero");
        result = code == 0 ? Log10(x) : std::log(x);
    } else if (code == 2) {
        result = Power(10, x);
    } else {
        result = std::exp(x);
    }
    value = Checked(result);
    return true;
}

double QuantityTrig(std::string& text, int code) {
    TNumberUnits q;
    if (code >= 0 && code <= 2) {
        if (!q.SetText(text)) throw E(q.GetErrorText());
        if (!q.IsAngleOrUnitless()) throw E("The units must be angular");
        if (!q.GetUnits().empty() && !q.ConvertTo("rad")) throw E(q.GetErrorText());
        const double x = q.GetValue();
        return Checked(code == 0 ? Sine(x) : code == 1 ? Cosine(x) : Tan(x));
    }

    NormalizedQuantity parts = SplitQuantityText(text);
    if (!parts.ok) throw E(ErrorMessage(_UnitProblem));
    if (!parts.unitText.empty()) throw E("Inverse trig functions must be unitless");
    const double x = parts.number;
    const bool arcTangent = code >= 11 && code <= 14;
    if (code < 3 || code > 14 || (!arcTangent && !(x >= -1 && x <= 1)))
        throw E("The number must be between -1 and 1");

    const double theta = code <= 6 ? ArcSin(x) : code <= 10 ? ArcCos(x) : ArcTan(x);
    const std::string target(AngleUnitNames[static_cast<std::size_t>((code - 3) % 4)]);
    std::string radianText = NumberText(theta) + " rad";
    if (!q.SetText(radianText)) throw E(q.GetErrorText());
    if (target == "rad") {
        text = radianText;
    } else {
        if (!q.ConvertTo(target)) throw E(q.GetErrorText());
        text = q.GetText();
    }
    return theta;
}

void GravityText(std::string& text) {
    text = UnitSystem ? "9.80665 m/sec^2" : "32.1740485564 ft/sec^2";
}

bool QuantityAddSub(const TNumberUnits& a, const TNumberUnits& b, int sign, TNumberUnits& result,
                    std::string& errorText) {
    double converted = 0;
    int differenceSlot = 0;
    if (!tempdiff::TemperatureOperand(a, b, sign, converted, differenceSlot) &&
        !b.ValueInUnitsOf(a, converted)) {
        errorText = "Second number convert failed";
        return false;
    }
    const double sum = a.GetValue() + sign * converted;
    if (!std::isfinite(sum)) {
        errorText = OverflowMessage;
        return false;
    }
    // The sum keeps the units of a as written, and the 15 significant digits of a number text;
    // the difference of two temperatures is a temperature difference instead.
    const double rounded = unitdetail::RoundThroughNumberText(sum);
    bool set = false;
    if (differenceSlot != 0) {
        set = result.SetQuantity(rounded, ParseUnitList(UnitName(differenceSlot)).lists);
    } else {
        result = a;
        set = result.SetValue(rounded);
    }
    if (!set) {
        errorText = OverflowMessage;
        return false;
    }
    return true;
}

bool QuantityAddSub(const std::string& a, const std::string& b, int sign, std::string& fullText,
                    double& value, std::string& unitsText, std::string& errorText) {
    TNumberUnits qa, qb;
    if (!ParseOperands(a, b, qa, qb, errorText)) return false;
    // The sum takes the place of the first operand.
    if (!QuantityAddSub(qa, qb, sign, qa, errorText)) return false;
    unitsText = qa.GetUnits();
    fullText = QuantityTextOf(qa.GetValue(), unitsText);
    value = qa.GetValue();
    return true;
}

bool QuantityMulDiv(const TNumberUnits& a, const TNumberUnits& b, bool multiply, TNumberUnits& result,
                    std::string& errorText) {
    if (!multiply && b.GetValue() == 0) {
        errorText = "Divide by zero";
        return false;
    }
    // Saybolt seconds are not proportional to viscosity; products are formed in centistokes.
    std::array<std::optional<TNumberUnits>, 2> centistokes;
    auto operand = [&centistokes](const TNumberUnits& q, int i) -> const TNumberUnits& {
        if (!q.IsSUS()) return q;
        auto& converted = centistokes[static_cast<std::size_t>(i)].emplace(q);
        converted.ConvertTo("CSt");
        return converted;
    };
    const TNumberUnits& qa = operand(a, 0);
    const TNumberUnits& qb = operand(b, 1);

    const double product = multiply ? qa.GetValue() * qb.GetValue() : qa.GetValue() / qb.GetValue();
    if (!std::isfinite(product)) {
        errorText = OverflowMessage;
        return false;
    }
    // The units combine as lists; the product keeps the 15 significant digits of a number text.
    TUnitLists units;
    if (!MultiplyUnitLists(qa.UnitLists, qb.UnitLists, multiply, units) ||
        !result.SetQuantity(unitdetail::RoundThroughNumberText(product), units)) {
        errorText = ErrorMessage(_UnitProblem);
        return false;
    }
    return InPreferredUnits(result, errorText);
}

bool QuantityMulDiv(const std::string& a, const std::string& b, bool multiply, std::string& fullText,
                    double& value, std::string& unitsText, std::string& errorText) {
    TNumberUnits qa, qb, product;
    return ParseOperands(a, b, qa, qb, errorText) && QuantityMulDiv(qa, qb, multiply, product, errorText) &&
           Deliver(product, fullText, value, unitsText, errorText);
}

bool QuantityPower(const TNumberUnits& q, double exponent, TNumberUnits& result, std::string& errorText) {
    result = q;
    // Refused here, with the message the user is shown, rather than left to fail in the power.
    const double base = q.GetValue();
    if (!q.Empty && base < 0 && exponent != std::trunc(exponent)) {
        errorText = NegativeFractionalMessage;
        return false;
    }
    if (!q.Empty && base != 0 && !std::isfinite(Power(base, exponent))) {
        errorText = OverflowMessage;
        return false;
    }
    if (!result.RaiseToPower(exponent)) {
        errorText = result.GetErrorText();
        return false;
    }
    return InPreferredUnits(result, errorText);
}

bool QuantityPower(const std::string& text, std::string& fullText, double& value, double exponent,
                   std::string& unitsText, std::string& errorText) {
    TNumberUnits q, power;
    if (!q.SetText(text)) {
        errorText = q.GetErrorText();
        return false;
    }
    return QuantityPower(q, exponent, power, errorText) &&
           Deliver(power, fullText, value, unitsText, errorText);
}

void CircleArea(const std::string& text, std::string& areaText) {
    NormalizedQuantity parts = SplitQuantityText(text);
    TNumberUnits q;
    if (!q.SetText(text)) return;
    if (!parts.unitText.empty() && !q.ConvertTo("m")) throw E(q.GetErrorText());

    std::string squared, units, error;
    double value = 0;
    if (!QuantityPower(text, squared, value, 2, units, error)) throw E(error);
    std::string area;
    if (!QuantityMulDiv(NumberText(QuarterPi), squared, true, area, value, units, error)) throw E(error);
    areaText = area;
}
