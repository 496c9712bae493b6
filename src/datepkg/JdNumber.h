// Julian Dates and Modified Julian Dates as decimal text, exactly: the text is split at the half
// day into the two parts of TJulianDate in decimal, so that no digit is lost to a single double.
#pragma once

#include <string>
#include <string_view>

#include "datepkg/JulianDate.h"

namespace ostrel::jdtext {

enum class TScale : std::uint8_t { _JD, _MJD };

// "[+-]digits[.digits][e[+-]digits]" (or ".digits"); no blanks, no hexadecimal, no "inf" or "nan".
// Throws EDateError: _Syntax for any other text, _OutOfRange for a day number outside the dates.
TJulianDate Read(std::string_view text, TScale scale);
// The shortest text that Read takes back to the same two-part value, or with decimals >= 0 the value
// rounded (half to even) to that many decimals.
std::string Write(const TJulianDate& t, TScale scale, int decimals = -1);

} // namespace ostrel::jdtext
