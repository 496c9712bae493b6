// How a value in the units of a unit pair reaches base units and comes back: factors, and the
// temperature and Saybolt rules.
#pragma once

#include "units/UnitLists.h"

#include <array>

// Not for use outside units/.
namespace unitdetail {

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
