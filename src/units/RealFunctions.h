// Real-number functions and the engine-wide unit flags.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// ---------------------------------------------------------------------------
// Engine-wide settings
// ---------------------------------------------------------------------------

// Read-only views of the two flags; SetUnitFlags is their one writer.
extern const bool& UnitSystem;  // true: SI, false: U.S. Customary
extern const bool& AutoConvert; // convert products, quotients and powers to preferred units

struct UnitFlags {
    bool si = true;
    bool autoConvert = true;
    bool operator==(const UnitFlags&) const = default;
};
UnitFlags CurrentUnitFlags();
// Sets both flags and reselects the preferred units, which follow the unit system.
void SetUnitFlags(UnitFlags flags);

// The engine's plain exception, carrying a message only.
class E : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr double HalfPi = 1.5707963267948966;
constexpr double Pi = 3.141592653589793;

// ---------------------------------------------------------------------------
// Real-number functions
// ---------------------------------------------------------------------------

// A power refused (zero to the -1st, a negative number to a fractional power) is 0; the caller that
// tells the user takes the reason from PowerMessage, which is empty for a power that is allowed.
double Power(double base, double exponent);
std::string_view PowerMessage(double base, double exponent);
double Log10(double x);
double Sign(double x);
double Tan(double x);
double ArcTan(double x);
double ArcSin(double x);
double ArcCos(double x);
void CombineUnitTexts(std::string_view unitsA, std::string_view unitsB, bool multiply, std::string& units);

// Value as "number text": general format, at most 15 significant digits.
std::string NumberText(double value);

// Not for use outside units/.
namespace unitdetail {

// A positive finite magnitude to a power, as Power works it out. MagnitudePowerExtended always goes
// through an extended-precision logarithm; MagnitudePower takes exact squares and cubes directly,
// with the same result.
double MagnitudePower(double magnitude, double exponent);
double MagnitudePowerExtended(double magnitude, double exponent);

} // namespace unitdetail
