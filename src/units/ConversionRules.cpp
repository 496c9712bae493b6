// Conversion rules: the factors of a unit list, and the temperature and Saybolt rules that
// replace them for a lone temperature or Saybolt unit.
#include "units/ConversionRules.h"

#include "units/RealFunctions.h"
#include "units/UnitCatalogue.h"
#include "units/UnitLists.h"

#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Saybolt seconds to m^2/sec. Times at which the formulas give a negative viscosity (below about
// 29.4 seconds, and any time not above zero) have no viscosity: NaN.
double SayboltToBase(double t) {
    double stokes;
    if (t == 1)
        stokes = (0.00226 * t + -1.95 / t + 0.0022 * t + -1.35 / t) / 2;
    else if (t <= 100)
        stokes = 0.00226 * t + -1.95 / t;
    else
        stokes = 0.0022 * t + -1.35 / t;
    if (!(t > 0) || !(stokes >= 0)) return NaN;
    return stokes * unitcat::Slot(RuleSlot::St).inverse;
}

// m^2/sec to Saybolt seconds; a negative viscosity has no Saybolt time.
double SayboltFromBase(double value) {
    const double stokes = value * unitcat::Slot(RuleSlot::St).factor;
    if (!(stokes >= 0)) return NaN;
    const bool low = stokes <= 0.2065;
    const double c = low ? 0.00226 : 0.0022;
    const double a = low ? -1.95 : -1.35;
    return (std::sqrt(stokes * stokes - 4 * c * a) + stokes) / (2 * c);
}

double TemperatureRule(int unit, double value, bool toBase) {
    const auto& f = unitcat::Slot(RuleSlot::F);
    switch (unit) {
    case RuleSlot::F:
        return toBase ? (value - 32) * f.inverse : f.factor * value + 32;
    case RuleSlot::K: {
        const auto& k = unitcat::Slot(RuleSlot::K);
        return toBase ? value + k.inverse : value + k.factor;
    }
    case RuleSlot::R: {
        const auto& r = unitcat::Slot(RuleSlot::R);
        return toBase ? (value + r.inverse - 32) * f.inverse : f.factor * value + 32 + r.factor;
    }
    default: // C
        return value;
    }
}

// The factor of a unit inside a larger expression. "K" and "R" count as intervals there, equal to
// "C" and "F" intervals; "SUS" takes its rule applied to one.
double CompoundFactor(int unit, bool useInverse) {
    switch (unit) {
    case RuleSlot::K:
        return 1;
    case RuleSlot::R:
        unit = RuleSlot::F;
        break;
    case RuleSlot::SUS:
        return useInverse ? SayboltToBase(1) : SayboltFromBase(1);
    default:
        break;
    }
    const auto& info = unitcat::Slot(unit);
    return useInverse ? info.inverse : info.factor;
}

bool IsRuleUnit(int unit) {
    return (unit >= RuleSlot::C && unit <= RuleSlot::R) || unit == RuleSlot::SUS;
}

} // namespace

namespace unitdetail {

ConversionSteps StepsOf(const TUnitLists& lists, bool toBase) {
    ConversionSteps steps;
    const int numCount = EntryCount(lists, 0);
    const int denCount = EntryCount(lists, 1);
    if (numCount == 1 && denCount == 0) {
        const int unit = EntryAt(lists, 0, 0).unit;
        if (IsRuleUnit(unit)) {
            steps.ruleUnit = unit;
            return steps;
        }
    }
    for (int list = 0; list < 2; ++list) {
        const int n = list == 0 ? numCount : denCount;
        for (int k = 0; k < n; ++k) {
            const Entry e = EntryAt(lists, list, k);
            double& step = steps.factors[static_cast<std::size_t>(steps.count++)];
            if (!ValidSlot(e.unit)) {
                step = NaN;
                continue;
            }
            const bool useInverse = (list == 0) == toBase;
            const double f = IsRuleUnit(e.unit) ? CompoundFactor(e.unit, useInverse)
                                                : (useInverse ? unitcat::Slot(e.unit).inverse
                                                              : unitcat::Slot(e.unit).factor);
            step = std::isnan(f) ? NaN : e.exponent == 1 ? f : Power(f, e.exponent);
        }
    }
    return steps;
}

double ConversionSteps::Apply(double value, bool toBase) const {
    if (ruleUnit == RuleSlot::SUS) return toBase ? SayboltToBase(value) : SayboltFromBase(value);
    if (ruleUnit != 0) return TemperatureRule(ruleUnit, value, toBase);
    for (int k = 0; k < count; ++k) {
        const double f = factors[static_cast<std::size_t>(k)];
        if (std::isnan(f)) return NaN;
        value *= f;
    }
    return value;
}

} // namespace unitdetail
