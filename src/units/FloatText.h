// Floating point to text in the calculator's notations, with a fixed "." and "," layout
// so that every text the program writes reads back through the quantity parser.
#pragma once

#include "units/Notation.h"

#include <string>
#include <string_view>

// precision: significant digits; digits: decimals (Fixed, Number, Currency) or minimum exponent digits.
std::string FloatToText(double value, Notation notation, int precision, int digits);
// The same number text, one blank and a unit text, made as one string.
std::string QuantityText(double value, Notation notation, int precision, int digits, std::string_view units);

// A Currency text starts with "$" or "-$" directly before its digits ("$1,234.50 ft"). Gives the text
// with that symbol removed so the number reads back; any other text (a "$US" unit) comes back unchanged.
std::string StripCurrencyPrefix(std::string_view text);
