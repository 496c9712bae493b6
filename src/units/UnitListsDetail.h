// Internals shared by the number reader, the unit-list arithmetic, the conversion rules and the
// quantity type. Not for use outside units/.
#pragma once

#include "units/NumberUnits.h"

#include <array>
#include <string>
#include <string_view>

namespace unitdetail {

// ---- number reading ----------------------------------------------------------------------------

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

// ---- powers ------------------------------------------------------------------------------------

// A positive finite magnitude to a power, as Power works it out. MagnitudePowerExtended always goes
// through an extended-precision logarithm; MagnitudePower takes exact squares and cubes directly,
// with the same result.
double MagnitudePower(double magnitude, double exponent);
double MagnitudePowerExtended(double magnitude, double exponent);

// ---- exponents ---------------------------------------------------------------------------------

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

// ---- unit lists ----------------------------------------------------------------------------------

struct Entry {
    int unit;
    double exponent;
};

// A list while it is being read; texts the engine builds may hold many entries before they reduce.
struct RawList {
    static constexpr int Capacity = 64;
    std::array<Entry, Capacity> entries;
    int count = 0;
    bool Add(int unit, double exponent) {
        if (count == Capacity) return false;
        entries[static_cast<std::size_t>(count++)] = {unit, exponent};
        return true;
    }
};

int EntryCount(const TUnitLists& lists, int list);
Entry EntryAt(const TUnitLists& lists, int list, int index);
bool ValidSlot(int unit);

// Sums each unit's exponents (numerator positive, denominator negative) and rebuilds both lists in
// unit-number order. Fails when a list would not fit or an exponent is not finite.
bool Reduce(const Entry* num, int numCount, const Entry* den, int denCount, TUnitLists& out);

// The base-unit pair of a reduced unit pair.
bool BaseListsOf(const TUnitLists& lists, TUnitLists& base);

// True when some exponent of the pair shows differently with two significant digits (a fraction,
// or a whole number from 100 up).
bool ExponentsShowRounded(const TUnitLists& lists);

// ---- conversion rules ----------------------------------------------------------------------------

// The factors by which a value in the units of a pair is multiplied, in order, to reach base units
// (toBase) or to come from them; or the one rule unit (temperature, Saybolt) that converts the
// value instead. A factor that is not a number makes the conversion fail.
struct ConversionSteps {
    int ruleUnit = 0;
    int count = 0;
    std::array<double, 2 * UnitListEntries> factors{};
    double Apply(double value, bool toBase) const;
};
ConversionSteps StepsOf(const TUnitLists& lists, bool toBase);

} // namespace unitdetail
