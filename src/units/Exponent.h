// Exponents of units, held exactly as small fractions, and their texts.
#pragma once

#include <string>
#include <string_view>

// Not for use outside units/.
namespace unitdetail {

// Exponents are held exactly as fractions p/q with q up to this bound (the double nearest p/q).
constexpr int ExponentDenominatorBound = 12;

// An exponent worked out by arithmetic, put on the fraction it stands for when it lies within
// rounding error of one.
double SnapExponent(double x);
// An exponent written as text. A decimal within rounding error of a fraction p/q (q up to the
// bound) is that fraction ("0.5", "1.3", "0.333333333333333"); any other decimal is the fraction
// with the smallest denominator that agrees with every significant digit written (at least two),
// so the cut texts "0.33", "0.67", "0.17" are 1/3, 2/3, 1/6; failing that, the decimal itself.
bool ReadExponent(std::string_view text, double& out);
// Canonical display form: two significant digits ("2", "0.5", "0.33", "1.2E+2").
std::string DisplayExponentText(double x);
// Form that reads back as the same exponent: whole numbers in full, fractions with 15
// significant digits, or 17 where 15 would read back as another exponent.
std::string ExactExponentText(double x);

} // namespace unitdetail
