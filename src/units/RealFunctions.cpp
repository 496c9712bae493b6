// Real-number helpers and the engine-wide flags.
#include "units/RealFunctions.h"

#include "units/DecimalDigits.h"
#include "units/FloatText.h"
#include "units/NumberUnits.h"
#include "units/Trig.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace {
UnitFlags flags;
} // namespace

const bool& UnitSystem = flags.si;
const bool& AutoConvert = flags.autoConvert;

UnitFlags CurrentUnitFlags() {
    return flags;
}

void SetUnitFlags(UnitFlags newFlags) {
    flags = newFlags;
    SelectPreferredUnits();
}

namespace unitdetail {

double MagnitudePowerExtended(double magnitude, double exponent) {
    // Worked out in extended precision: a double exp/log pair is often off in the fifteenth digit,
    // which the 15-digit number texts then show (8 to the 3rd came out as 511.999999999999).
    const long double extended =
        std::exp(static_cast<long double>(exponent) * std::log(static_cast<long double>(magnitude)));
    // Narrowing a value beyond the double range is not defined by the language: it is an overflow.
    return std::fabs(extended) > static_cast<long double>(std::numeric_limits<double>::max())
               ? std::numeric_limits<double>::infinity()
               : static_cast<double>(extended);
}

double MagnitudePower(double magnitude, double exponent) {
    // A square or cube that is an exact double (3 squared, 2.5 cubed: the odd part of the magnitude
    // to that power fits in 53 bits) is taken directly. For magnitudes this close to 1 the extended
    // result lies within 2^-55 of it (relatively), so it rounds to the same double.
    if ((exponent == 2 || exponent == 3) && magnitude >= 0x1p-40 && magnitude <= 0x1p40) {
        const std::uint64_t odd = BinaryPartsOf(magnitude).odd;
        constexpr std::uint64_t ExactLimit = std::uint64_t{1} << 53;
        if (odd < (std::uint64_t{1} << 27) && odd * odd < ExactLimit) {
            if (exponent == 2) return magnitude * magnitude;
            if (odd < (std::uint64_t{1} << 18) && odd * odd * odd < ExactLimit)
                return magnitude * magnitude * magnitude;
        }
    }
    return MagnitudePowerExtended(magnitude, exponent);
}

} // namespace unitdetail

std::string_view PowerMessage(double base, double exponent) {
    if (base == 0 && exponent == -1) return "Zero to negative one power not allowed-Divide by zero";
    if (base < 0 && exponent - std::trunc(exponent) != 0) return "Negative to a fractional power not allowed";
    return {};
}

double Power(double base, double exponent) {
    if (base == 0) return 0;
    const double r = unitdetail::MagnitudePower(std::fabs(base), exponent);
    if (base > 0) return r;
    if (exponent - std::trunc(exponent) != 0) return 0;
    // An odd whole exponent keeps the sign of the base. fmod avoids overflowing an integer
    // conversion for huge exponents.
    return std::fmod(std::trunc(exponent), 2.0) != 0 ? r * Sign(base) : r;
}

double Log10(double x) {
    return std::log(x) / std::log(10.0);
}

double Sign(double x) {
    if (x == 0) return 0;
    return std::round(x / std::fabs(x));
}

double Tan(double x) {
    return Sine(x) / Cosine(x);
}

double ArcTan(double x) {
    return std::atan2(x, 1.0);
}

double ArcSin(double x) {
    if (std::fabs(x) >= 1) return x * Pi / 2;
    return ArcTan(x / std::sqrt(1 - x * x));
}

double ArcCos(double x) {
    return HalfPi - ArcSin(x);
}

void CombineUnitTexts(std::string_view unitsA, std::string_view unitsB, bool multiply, std::string& units) {
    // Only the first "/" splits; anything after it stays in the denominator.
    auto split = [](std::string_view t) {
        const auto slash = t.find('/');
        if (slash == std::string_view::npos) return std::pair{t, std::string_view{}};
        return std::pair{t.substr(0, slash), t.substr(slash + 1)};
    };
    const auto [an, ad] = split(unitsA);
    const auto [bn, bd] = split(unitsB);
    const std::string_view top = multiply ? bn : bd;
    const std::string_view bottom = multiply ? bd : bn;
    units.clear();
    units.append(an);
    if (!an.empty() && !top.empty()) units += '*';
    units.append(top);
    units += '/';
    units.append(ad);
    if (!ad.empty() && !bottom.empty()) units += '*';
    units.append(bottom);
}

std::string NumberText(double value) {
    return FloatToText(value, Notation::General, 15, 0);
}
