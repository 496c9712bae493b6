// The unit-aware arithmetic on quantity texts and quantities. Includes the real-number functions
// and the engine-wide flags, which callers reach through this header.
#pragma once

#include "units/RealFunctions.h"
#include "units/Trig.h"

#include <string>

class TNumberUnits;

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
