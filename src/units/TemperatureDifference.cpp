#include "units/TemperatureDifference.h"

#include "units/UnitCatalogue.h"
#include "units/UnitLists.h"

namespace tempdiff {

int LoneUnit(const TUnitLists& lists) {
    if (unitdetail::EntryCount(lists, 0) != 1 || unitdetail::EntryCount(lists, 1) != 0) return 0;
    const unitdetail::Entry e = unitdetail::EntryAt(lists, 0, 0);
    return e.exponent == 1 && KindOf(e.unit) != Kind::None ? e.unit : 0;
}

Kind KindOf(int slot) {
    switch (slot) {
    case RuleSlot::C:
    case RuleSlot::F:
        return Kind::Point;
    case RuleSlot::K:
    case RuleSlot::R:
        return Kind::Both;
    case DifferenceSlot::dC:
    case DifferenceSlot::dF:
        return Kind::Interval;
    default:
        return Kind::None;
    }
}

Step ConversionStep(const TUnitLists& from, const TUnitLists& to) {
    const Kind a = KindOf(LoneUnit(from));
    const Kind b = KindOf(LoneUnit(to));
    if (a == Kind::None || b == Kind::None) return Step::Ordinary;
    if ((a == Kind::Interval && b == Kind::Point) || (a == Kind::Point && b == Kind::Interval))
        return Step::Refused;
    if ((a == Kind::Interval && b == Kind::Both) || (a == Kind::Both && b == Kind::Interval))
        return Step::Interval;
    return Step::Ordinary;
}

double IntervalValue(double value, int fromSlot, int toSlot) {
    // A Fahrenheit-sized degree (F, R, dF) is 1 / 1.8 of a Celsius-sized one (C, K, dC).
    const auto& f = unitcat::Slot(RuleSlot::F);
    auto fahrenheitSized = [](int slot) {
        return slot == RuleSlot::F || slot == RuleSlot::R || slot == DifferenceSlot::dF;
    };
    const double celsius = fahrenheitSized(fromSlot) ? value * f.inverse : value;
    return fahrenheitSized(toSlot) ? celsius * f.factor : celsius;
}

bool TemperatureOperand(const TNumberUnits& a, const TNumberUnits& b, int sign, double& converted,
                        int& resultSlot) {
    const int ua = LoneUnit(a.UnitLists);
    const int ub = LoneUnit(b.UnitLists);
    const Kind ka = KindOf(ua);
    const Kind kb = KindOf(ub);
    if ((ka == Kind::Point || ka == Kind::Both) && kb == Kind::Interval) {
        // A temperature moved by a step stays a temperature on its own scale.
        converted = IntervalValue(b.GetValue(), ub, ua);
        resultSlot = 0;
        return true;
    }
    if (sign < 0 && ka == Kind::Point && kb == Kind::Point) {
        // Two temperatures on the C and F scales are a step apart, measured on the first one's scale.
        if (!b.ValueInUnitsOf(a, converted)) return false;
        resultSlot = ua == RuleSlot::C ? DifferenceSlot::dC : DifferenceSlot::dF;
        return true;
    }
    return false;
}

} // namespace tempdiff
