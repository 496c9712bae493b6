// Reading numbers and quantity texts: the characters a text may hold and ignore, the decimal
// conversion every number goes through, and the split of a quantity text into number and units.
#pragma once

#include <string>
#include <string_view>

std::string StripIgnoredChars(std::string_view text);

struct NormalizedQuantity {
    double number = 1;
    std::string unitText;
    bool ok = true;          // false when the number part does not convert to a finite double, or
                             // the unit part holds a character that belongs to no unit text
    bool outOfRange = false; // the number is beyond the double range
    std::string stray;       // the first character of the unit part that belongs to no unit text
};
NormalizedQuantity NormalizeQuantityText(std::string_view text);

// Internals shared with the unit lists, the exponents and the quantity type; not for use outside
// units/.
namespace unitdetail {

bool IsDigit(char c);
bool IsNumberChar(char c);
bool IsExponentMark(char c);

// The decimal conversion every number text goes through: an optional sign, digits with at most one
// point, an optional exponent. Nothing else is accepted, nor a value beyond the double range; a
// value too small for a double reads as zero.
bool ReadDecimal(std::string_view text, double& out);

// The common quantity text, a plain number, blanks and a unit text of plain unit characters
// ("12.5 ft", "3 lbf*ft/sec^2", "ft"), read in place. False when the text needs the general
// reading (other ignored characters, "x10" notation, a currency sign, a "-" among the units ...);
// when true, the general reading would give the same number and unit text.
bool SplitPlainQuantity(std::string_view text, double& number, std::string_view& unitText);

// The value a number takes after passing through its 15-significant-digit number text.
double RoundThroughNumberText(double value);

} // namespace unitdetail
