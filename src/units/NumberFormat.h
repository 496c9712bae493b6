// The display and full-text rules for quantity texts.
#pragma once

#include "units/Notation.h"

#include <string>
#include <string_view>

class TNumberUnits;

// Display text of a quantity text: the notation with the given decimal places, Scientific for a
// non-zero value that would read back as zero. A text that does not parse gives "".
std::string FormatForDisplay(std::string_view text, Notation notation, int decimalPlaces);
// The same for a quantity already read ("" for one without a value).
std::string DisplayText(const TNumberUnits& quantity, Notation notation, int decimalPlaces);
// The same for another value in these units, without a copy of the quantity.
std::string DisplayText(const TNumberUnits& units, double value, Notation notation, int decimalPlaces);

// Full text of a parsed quantity: its text in the notation with 15 digits when that reads back as
// the same value and units, otherwise its General form with 18 significant digits, which always does.
std::string FullText(const TNumberUnits& quantity, Notation notation);
