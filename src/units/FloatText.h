// Floating point to text in the calculator's notations, with a fixed "." and "," layout
// so that every text the program writes reads back through the quantity parser.
#pragma once

#include <string>

// kind: 0 General, 1 Scientific (exponent), 2 Fixed, 3 Number, 4 Currency.
// precision: significant digits; digits: decimals (Fixed, Number, Currency) or minimum exponent digits.
std::string FloatToText(double value, int kind, int precision, int digits);
