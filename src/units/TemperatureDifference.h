// Temperature differences: the units dC and dF, and how differences and temperatures meet in
// conversions and in sums. C and F are points on a scale; dC and dF are steps; K and R are both.
#pragma once

#include "units/NumberUnits.h"

namespace tempdiff {

enum class Kind {
    None,     // not a lone temperature unit
    Point,    // C, F
    Both,     // K, R: a temperature and a difference alike
    Interval, // dC, dF
};

// The slot of a unit list pair that is one temperature-like unit alone (numerator, exponent 1);
// 0 for anything else.
int LoneUnit(const TUnitLists& lists);
Kind KindOf(int slot);

enum class Step {
    Ordinary, // the catalogue's own conversion
    Refused,  // a difference into a point on a scale, or back
    Interval, // between a difference and K or R: degree for degree, no offset
};
Step ConversionStep(const TUnitLists& from, const TUnitLists& to);

// A number of degrees of one lone unit as degrees of another, as steps (no offset).
double IntervalValue(double value, int fromSlot, int toSlot);

// The operand b of a ± b when a temperature rule decides it: a temperature and a difference, or the
// difference of two temperatures on the C and F scales. Gives b's value in a's terms and the unit
// of the result (0: a's own units). False when no rule applies.
bool TemperatureOperand(const TNumberUnits& a, const TNumberUnits& b, int sign, double& converted,
                        int& resultSlot);

} // namespace tempdiff
