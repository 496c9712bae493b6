// Real-number functions, engine-wide settings and the unit-aware arithmetic on quantity texts.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

class TNumberUnits;

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
// Correctly rounded sine and cosine, the same on every platform.
double Sine(double x);
double Cosine(double x);
double Tan(double x);
double ArcTan(double x);
double ArcSin(double x);
double ArcCos(double x);
void CombineUnitTexts(std::string_view unitsA, std::string_view unitsB, bool multiply, std::string& units);

// Value as "number text": general format, at most 15 significant digits.
std::string NumberText(double value);

// ---------------------------------------------------------------------------
// Unit-aware arithmetic on quantity texts
// ---------------------------------------------------------------------------

bool QuantityLogExp(std::string& text, int code, double& value);
double QuantityTrig(std::string& text, int code);
void GravityText(std::string& text);
bool QuantityAddSub(const std::string& a, const std::string& b, int sign, std::string& fullText,
                    double& value, std::string& unitsText, std::string& errorText);
bool QuantityMulDiv(const std::string& a, const std::string& b, bool multiply, std::string& fullText,
                    double& value, std::string& unitsText, std::string& errorText);
bool QuantityPower(const std::string& text, std::string& fullText, double& value, double exponent,
                   std::string& unitsText, std::string& errorText);
void CircleArea(const std::string& text, std::string& areaText);

// ---------------------------------------------------------------------------
// The same arithmetic on quantities already read: the result is the quantity the texts above
// stand for (its value as it reads back from them). False with the message in errorText. The result
// may be one of the operands.
// ---------------------------------------------------------------------------

bool QuantityAddSub(const TNumberUnits& a, const TNumberUnits& b, int sign, TNumberUnits& result,
                    std::string& errorText);
bool QuantityMulDiv(const TNumberUnits& a, const TNumberUnits& b, bool multiply, TNumberUnits& result,
                    std::string& errorText);
bool QuantityPower(const TNumberUnits& q, double exponent, TNumberUnits& result, std::string& errorText);
